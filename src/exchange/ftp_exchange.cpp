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

}  // namespace zelvan
