#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/environment.h"
#include "app/error.h"

namespace zelvan {

class TDM;

// An exchange that could not be made; the message says why. Nothing was changed unless
// the message says otherwise.
class ExchangeError : public ZelvanError {
public:
    using ZelvanError::ZelvanError;
};

// The two folders of a medium: the department's update lies in "Out_Zelvan_Files", the
// data set of an export or return in "In_Zelvan_Files", both under "LZelvan_Data" at
// the medium's root.
enum class MediumUse { Update, ExportOrReturn };
QString mediumFolder(const QString& root, MediumUse use);

// Where the exchange commands find and put things.
struct ExchangePlaces {
    QString dbDir;         // the database folder
    QString ftpDirectory;  // the folder of the configuration copy that travels with a data set
    QString programDir;    // "Dir": where the instruction document is installed
    QString configPath;    // the configuration file the update writes its four keys into
};

// What a command did besides its main work: the files it could not copy (each "name:
// reason"), the backup it wrote first.
struct ExchangeOutcome {
    QStringList failedFiles;
    QString backupPath;
    bool cardKept = false;  // the update kept the user's organisation card
};

// The text that lists the files that could not be copied, after the given first line.
QString failedFilesMessage(const QString& firstLine, const QStringList& failedFiles);

// Export: writes the data set for the department into the medium folder: "Znachenie.DB"
// and "SORG.DB" (stand-alone databases holding that one table each), and
// "AllDataFiles" with a consistent snapshot of the database, the report and form
// templates and documents, and the configuration copy from `ftpDirectory`. Throws
// ExchangeError when the medium cannot be written at all; files that fail are listed.
ExchangeOutcome exportDataSet(TDM& dm, const ExchangePlaces& places, const QString& medium,
                              const std::function<void()>& tick = {});

// Return: brings back the database of a data set on the medium (after a backup of the
// current one), its templates and documents, and the configuration copy. Throws
// ExchangeError, with nothing changed, when the medium lacks the data set or it is not a
// database of this program.
ExchangeOutcome returnDataSet(TDM& dm, const ExchangePlaces& places, const QString& medium, const QDateTime& now,
                              const std::function<void()>& tick = {});

// The department's update archive in the folder: the first, in name order, whose name
// ends with ".rar", ".zip" or ".7z" in any letter case.
std::optional<QString> findUpdateArchive(const QString& folder);

// Structure update: the archive is copied into the database folder and unpacked into a
// staging folder there; only when that is complete and its database is one of this
// program are the archive's tables put in place of ours in one transaction (after a
// backup), keeping the user's organisation card when the archive's card is for the same
// organisation and state; the other files go into the database folder, the instruction
// document also into `programDir`, and the configuration file gets the new codes and
// period. Throws ExchangeError (or ArchiveError) with nothing changed.
ExchangeOutcome applyStructureUpdate(TDM& dm, const ExchangePlaces& places, const QString& medium,
                                     const QDateTime& now, const UserLocale& locale,
                                     const std::function<void()>& tick = {});

// The same for an archive already at hand (an answer received by FTP): copied into the
// database folder, unpacked, checked and applied as above.
ExchangeOutcome applyUpdateArchive(TDM& dm, const ExchangePlaces& places, const QString& archivePath,
                                   const QDateTime& now, const UserLocale& locale,
                                   const std::function<void()>& tick = {});

// A stand-alone database file holding the table of stored values and nothing else.
void writeValuesDatabase(TDM& dm, const QString& path);

}  // namespace zelvan
