#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "app/app_settings.h"

namespace zelvan {

class FtpClient;
class TDM;

// The number of a data request: at least three digits, zeros in front ("001", "027",
// "1234").
QString requestNumberText(int number);

// The warning when the organisation, state or period code of the settings is empty;
// empty when all three are there.
QString missingCodesMessage(const AppSettings& settings);

// The server folders of a workstation: "Otpravka/IN/<id>" for data requests,
// "Otpravka/rar/<id>" for their answers, "Priyom/<id>" for values. An empty id leaves its
// level out.
QString requestFolder(const QString& workstationId);
QString answerFolder(const QString& workstationId);
QString valuesFolder(const QString& workstationId);

using UploadProgress = std::function<void(qint64 sent, qint64 total)>;

// Writes the next data request into FTP_Directory/Otpravka (the first number whose file
// is not there), creates the server folder and uploads it. Returns the number. When
// the server refuses the file, the local file is deleted (its number is free again)
// and FtpError says "Помилка при передачі заявки на сервер".
QString sendDataRequest(FtpClient& client, const AppSettings& settings, const QString& workstationId,
                        const UploadProgress& progress = {});

// Packs the table of stored values as a stand-alone "Znachenie.DB" into the zip archive
// <obj>_<stan>_<danper>.zip in the database folder and uploads it to the values folder.
// Returns the archive's path. A refused upload: FtpError "Помилка при передачі даних на
// сервер"; the archive stays.
QString sendValues(FtpClient& client, TDM& dm, const AppSettings& settings, const QString& workstationId,
                   const UploadProgress& progress = {});

// An answer archive downloaded into FTP_Directory/Otpravka.
struct ReceivedAnswer {
    QString name;       // as on the server
    QString localPath;  // where it was downloaded
    QString number;     // the name without its first ".rar" (or ".zip", ".7z"), for the messages
};

// The answer archives of the answer folder with no local copy yet, in listing order.
QStringList pendingAnswers(FtpClient& client, const AppSettings& settings, const QString& workstationId);

// Downloads one answer archive into FTP_Directory/Otpravka (made first when missing).
ReceivedAnswer fetchAnswer(FtpClient& client, const AppSettings& settings, const QString& workstationId,
                           const QString& name);

// FTP settings as the client takes them; the server address read from the
// configuration file at each connection.
struct FtpAccount;
FtpAccount ftpAccountFrom(const AppSettings& settings, const QString& server);

// ---- selection requests and answers ----------------------------------------------

// A text file of "key=value" lines in code page 1251; keys compared ignoring letter case,
// the first line of a key counts, a missing key gives an empty value.
class KeyedText {
public:
    static KeyedText fromBytes(const QByteArray& bytes);
    // Reads the file; throws ZelvanError naming it when it cannot be read.
    static KeyedText load(const QString& path);
    QString value(const QString& key) const;

private:
    QHash<QString, QString> values_;
};

// The fields of an enterprise in a selection answer: the key after "<k>" and the caption
// the viewer shows (the seventh key is spelt "управлыння" as the server writes it).
struct AnswerField {
    QString key;
    QString caption;
};
const std::vector<AnswerField>& selectionAnswerFields();

// The number of enterprises of an answer ("Count_Predpr"); throws ZelvanError when the
// key is missing or not a whole number.
int enterpriseCount(const KeyedText& answer, const QString& name);

// The six fields of a selection request, in their order: name, number, EDRPOU code,
// street, house, building.
using SelectionRequest = std::array<QString, 6>;
extern const std::array<QString, 6> kSelectionRequestKeys;

QString selectionRequestFolder(const QString& workstationId);  // "Zamov/IN/<id>"
QString selectionAnswerFolder(const QString& workstationId);   // "Zamov/Out/<id>"

// Writes the request (a line per filled field) as the next number in
// FTP_Directory/ZAMOV/OUT and uploads it; the number is freed again when the upload
// fails, which FtpError reports as "Помилка при передачі заявки на сервер".
QString sendSelectionRequest(FtpClient* client, const AppSettings& settings, const QString& workstationId,
                             const SelectionRequest& request, const UploadProgress& progress = {});

// The answers of the selection answer folder ("*.ftp") without a local copy in
// FTP_Directory/ZAMOV/IN, and the download of one of them there (the folder made first).
QStringList pendingSelectionAnswers(FtpClient& client, const AppSettings& settings, const QString& workstationId);
void fetchSelectionAnswer(FtpClient& client, const AppSettings& settings, const QString& workstationId,
                          const QString& name);

// Downloads the answer archives ("*.rar", also ".zip" and ".7z") of the answer folder
// that have no local copy yet, each whole or not at all, in listing order.
std::vector<ReceivedAnswer> fetchNewAnswers(FtpClient& client, const AppSettings& settings,
                                            const QString& workstationId);

}  // namespace zelvan
