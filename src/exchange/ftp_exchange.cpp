#include "exchange/ftp_exchange.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "exchange/data_exchange.h"
#include "model/tdm.h"
#include "platform/files.h"
#include "platform/ftp_client.h"
#include "platform/text_codec.h"
#include "platform/zip_archive.h"

namespace zelvan {

namespace {

QString serverPath(std::initializer_list<QString> parts) {
    QStringList kept;
    for (const QString& part : parts)
        if (!part.isEmpty()) kept << part;
    return kept.join(u'/');
}

}  // namespace

QString requestNumberText(int number) {
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char(' ')).replace(u' ', u'0');
}

QString missingCodesMessage(const AppSettings& settings) {
    if (!settings.ftpKodObj.isEmpty() && !settings.ftpKodStan.isEmpty() && !settings.ftpKodDanper.isEmpty()) return {};
    return QStringLiteral("Не заповнено поле \"Код організації\" або \"Код стану\" або \"Код періода\". Вони заповняються у "
                          "вікні \"Настройки\". Для того щоб їх заповнити, треба зателефонунати за номером вказаному у "
                          "Інструкції.");
}

QString requestFolder(const QString& id) { return serverPath({QStringLiteral("Otpravka/IN"), id}); }
QString answerFolder(const QString& id) { return serverPath({QStringLiteral("Otpravka/rar"), id}); }
QString valuesFolder(const QString& id) { return serverPath({QStringLiteral("Priyom"), id}); }

QString sendDataRequest(FtpClient& client, const AppSettings& settings, const QString& workstationId,
                        const UploadProgress& progress) {
    const QString local = QDir(settings.ftpDirectory).filePath(QStringLiteral("Otpravka"));
    if (!QDir().mkpath(local))
        throw FtpError(FtpError::Kind::Transfer,
                       QStringLiteral("Не вдалося створити папку \"%1\".").arg(QDir::toNativeSeparators(local)));
    int n = 1;
    while (QFileInfo::exists(QDir(local).filePath(requestNumberText(n) + QStringLiteral(".ftp")))) ++n;
    const QString number = requestNumberText(n);
    const QString file = QDir(local).filePath(number + QStringLiteral(".ftp"));
    const QString text = QStringLiteral("Kod_Obj=%1\r\nKod_Stan=%2\r\nKod_Danper=%3\r\n")
                             .arg(settings.ftpKodObj, settings.ftpKodStan, settings.ftpKodDanper);
    const auto bytes = encodeCp1251(text);
    if (!bytes)
        throw FtpError(FtpError::Kind::Transfer,
                       QStringLiteral("Коди організації, стану чи періоду містять символи, яких немає в кодуванні 1251."));
    writeFileAtomically(file, *bytes);
    try {
        client.makeFolder(requestFolder(workstationId));
        client.uploadFile(file, serverPath({requestFolder(workstationId), number + QStringLiteral(".ftp")}), progress);
    } catch (const FtpError& error) {
        // The number is free again for the next request.
        QFile::remove(file);
        if (error.kind() == FtpError::Kind::Refused)
            throw FtpError(FtpError::Kind::Refused, QStringLiteral("Помилка при передачі заявки на сервер"));
        throw;
    }
    return number;
}

QString sendValues(FtpClient& client, TDM& dm, const AppSettings& settings, const QString& workstationId,
                   const UploadProgress& progress) {
    const QString name = QStringLiteral("%1_%2_%3.zip").arg(settings.ftpKodObj, settings.ftpKodStan, settings.ftpKodDanper);
    const QString archive = QDir(dm.dbDir()).filePath(name);
    {
        QTemporaryDir work(QDir(dm.dbDir()).filePath(QStringLiteral(".send-XXXXXX")));
        if (!work.isValid())
            throw FtpError(FtpError::Kind::Transfer, QStringLiteral("Не вдалося створити тимчасову папку в \"%1\".")
                                                         .arg(QDir::toNativeSeparators(dm.dbDir())));
        const QString values = work.filePath(QStringLiteral("Znachenie.DB"));
        writeValuesDatabase(dm, values);
        QFile file(values);
        if (!file.open(QIODevice::ReadOnly))
            throw FtpError(FtpError::Kind::Transfer, QStringLiteral("Не вдалося прочитати \"%1\".").arg(values));
        writeFileAtomically(archive, writeZip({{QStringLiteral("Znachenie.DB"), file.readAll()}}));
    }
    try {
        client.makeFolder(valuesFolder(workstationId));
        client.uploadFile(archive, serverPath({valuesFolder(workstationId), name}), progress);
    } catch (const FtpError& error) {
        if (error.kind() == FtpError::Kind::Refused)
            throw FtpError(FtpError::Kind::Refused, QStringLiteral("Помилка при передачі даних на сервер"));
        throw;
    }
    return archive;
}

QStringList pendingAnswers(FtpClient& client, const AppSettings& settings, const QString& workstationId) {
    const QString local = QDir(settings.ftpDirectory).filePath(QStringLiteral("Otpravka"));
    QStringList names;
    for (const QString& name : client.list(answerFolder(workstationId))) {
        bool archive = false;
        for (const char* suffix : {".rar", ".zip", ".7z"}) archive = archive || name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
        // An answer with a local copy was handled before.
        if (archive && !QFileInfo::exists(QDir(local).filePath(name))) names << name;
    }
    return names;
}

ReceivedAnswer fetchAnswer(FtpClient& client, const AppSettings& settings, const QString& workstationId,
                           const QString& name) {
    // The answers' folder is made before the first download, also when no request was
    // ever sent from this workstation.
    const QString local = QDir(settings.ftpDirectory).filePath(QStringLiteral("Otpravka"));
    QDir().mkpath(local);
    const QString path = QDir(local).filePath(name);
    client.download(serverPath({answerFolder(workstationId), name}), path);
    QString number = name;
    for (const char* suffix : {".rar", ".zip", ".7z"}) {
        const qsizetype at = number.indexOf(QLatin1String(suffix), 0, Qt::CaseInsensitive);
        if (at >= 0) {
            number.remove(at, qsizetype(qstrlen(suffix)));
            break;
        }
    }
    return {name, path, number};
}

FtpAccount ftpAccountFrom(const AppSettings& settings, const QString& server) {
    FtpAccount account;
    account.server = settings.ftpPort.isEmpty() ? server : server + u':' + settings.ftpPort;
    account.user = settings.ftpUser;
    account.password = settings.ftpPassword;
    account.activeMode = settings.ftpActive == QStringLiteral("1");
    account.tls = settings.ftpTls == QStringLiteral("1");
    return account;
}

std::vector<ReceivedAnswer> fetchNewAnswers(FtpClient& client, const AppSettings& settings, const QString& workstationId) {
    std::vector<ReceivedAnswer> received;
    for (const QString& name : pendingAnswers(client, settings, workstationId))
        received.push_back(fetchAnswer(client, settings, workstationId, name));
    return received;
}

// ---- selection requests and answers ----------------------------------------------

KeyedText KeyedText::fromBytes(const QByteArray& bytes) {
    KeyedText text;
    QString all = decodeCp1251(bytes);
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    all.replace(u'\r', u'\n');
    for (const QString& line : all.split(u'\n')) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString key = line.left(eq).toCaseFolded();
        if (!text.values_.contains(key)) text.values_.insert(key, line.mid(eq + 1));
    }
    return text;
}

KeyedText KeyedText::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ZelvanError(QStringLiteral("Файл \"%1\" не вдалося прочитати: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return fromBytes(file.readAll());
}

QString KeyedText::value(const QString& key) const { return values_.value(key.toCaseFolded()); }

const std::vector<AnswerField>& selectionAnswerFields() {
    static const std::vector<AnswerField> fields = [] {
        std::vector<AnswerField> list;
        for (const char* name : {"Назва", "Повна назва", "Номер", "Код ЄДРОПУ", "Ознака особи",
                                 "Орг.-правова форма госп. (КОПФГ)", "Орган госп управлыння (ЗКГНГ)",
                                 "Форма власності (КФВ)", "Форма фінансування", "Галузь (ЗКГНГ)",
                                 "Вид основної діяльності (ЗКГНГ)", "Вид основної діяльності (КВЕД)",
                                 "Госп. структура (ЗКГНГ)", "Орган управління (СПОДУ)", "Район", "Поштовий індекс",
                                 "Вулиця", "буд.", "корп.", "ПІБ керівника", "телефон керівника", "ПІБ бухгалтера",
                                 "телефон бухгалтера"}) {
            const QString text = QString::fromUtf8(name);
            QString caption = text;
            caption.replace(QStringLiteral("управлыння"), QStringLiteral("управління"));
            list.push_back({u'@' + text, caption});
        }
        return list;
    }();
    return fields;
}

int enterpriseCount(const KeyedText& answer, const QString& name) {
    const QString count = answer.value(QStringLiteral("Count_Predpr")).trimmed();
    bool ok = false;
    const int n = count.toInt(&ok);
    if (!ok || n < 0)
        throw ZelvanError(count.isEmpty()
                              ? QStringLiteral("У відповіді \"%1\" немає рядка Count_Predpr з кількістю підприємств.").arg(name)
                              : QStringLiteral("У відповіді \"%1\" кількість підприємств \"%2\" не є цілим числом.").arg(name, count));
    return n;
}

const std::array<QString, 6> kSelectionRequestKeys{QStringLiteral("Short_Name_Obj"), QStringLiteral("Nomer_Obj"),
                                                   QStringLiteral("Kod_ZKPO"),       QStringLiteral("Name_Ul"),
                                                   QStringLiteral("Nomer_Doma"),     QStringLiteral("Nomer_Korpus")};

QString selectionRequestFolder(const QString& id) { return serverPath({QStringLiteral("Zamov/IN"), id}); }
QString selectionAnswerFolder(const QString& id) { return serverPath({QStringLiteral("Zamov/Out"), id}); }

QString sendSelectionRequest(FtpClient* client, const AppSettings& settings, const QString& workstationId,
                             const SelectionRequest& request, const UploadProgress& progress) {
    QString text;
    for (size_t i = 0; i < request.size(); ++i)
        if (!request[i].isEmpty()) text += kSelectionRequestKeys[i] + u'=' + request[i] + QStringLiteral("\r\n");
    const auto bytes = encodeCp1251(text);
    if (!bytes) throw ZelvanError(QStringLiteral("Заявка містить символи, яких немає в кодуванні 1251."));
    const QString local = QDir(settings.ftpDirectory).filePath(QStringLiteral("ZAMOV/OUT"));
    if (!QDir().mkpath(local))
        throw ZelvanError(QStringLiteral("Не вдалося створити папку \"%1\".").arg(QDir::toNativeSeparators(local)));
    int n = 1;
    while (QFileInfo::exists(QDir(local).filePath(requestNumberText(n) + QStringLiteral(".ftp")))) ++n;
    const QString number = requestNumberText(n);
    const QString file = QDir(local).filePath(number + QStringLiteral(".ftp"));
    writeFileAtomically(file, *bytes);
    try {
        if (!client) throw FtpError(FtpError::Kind::Connection, {});
        client->makeFolder(selectionRequestFolder(workstationId));
        client->uploadFile(file, serverPath({selectionRequestFolder(workstationId), number + QStringLiteral(".ftp")}), progress);
    } catch (const FtpError&) {
        QFile::remove(file);
        throw FtpError(FtpError::Kind::Refused, QStringLiteral("Помилка при передачі заявки на сервер"));
    }
    return number;
}

QStringList pendingSelectionAnswers(FtpClient& client, const AppSettings& settings, const QString& workstationId) {
    const QString local = QDir(settings.ftpDirectory).filePath(QStringLiteral("ZAMOV/IN"));
    QStringList names;
    for (const QString& name : client.list(selectionAnswerFolder(workstationId), QStringLiteral("*.ftp")))
        if (!QFileInfo::exists(QDir(local).filePath(name))) names << name;
    return names;
}

void fetchSelectionAnswer(FtpClient& client, const AppSettings& settings, const QString& workstationId, const QString& name) {
    const QString local = QDir(settings.ftpDirectory).filePath(QStringLiteral("ZAMOV/IN"));
    QDir().mkpath(local);
    client.download(serverPath({selectionAnswerFolder(workstationId), name}), QDir(local).filePath(name));
}

}  // namespace zelvan
