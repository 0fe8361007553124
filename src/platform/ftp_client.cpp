#include "platform/ftp_client.h"

#include <curl/curl.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QUrl>

namespace zelvan {

namespace {

// libcurl's global state, set up once for the whole program.
struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
};

void ensureCurl() { static CurlGlobal global; }

QRegularExpression maskExpression(const QString& mask) {
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(mask, QRegularExpression::UnanchoredWildcardConversion)
                                  .prepend(u'^')
                                  .append(u'$'),
                              QRegularExpression::CaseInsensitiveOption);
}

}  // namespace

struct FtpClient::Handle {
    CURL* curl = nullptr;
    char error[CURL_ERROR_SIZE] = {};
    ~Handle() {
        if (curl) curl_easy_cleanup(curl);
    }
};

FtpClient::FtpClient(FtpAccount account) : account_(std::move(account)), handle_(std::make_unique<Handle>()) {
    ensureCurl();
    handle_->curl = curl_easy_init();
}

FtpClient::~FtpClient() = default;

QString FtpClient::url(const QString& path) const {
    // Every folder and file name is percent-encoded: a name may hold blanks or Cyrillic.
    QStringList parts;
    for (const QString& part : path.split(u'/', Qt::KeepEmptyParts))
        parts << QString::fromLatin1(QUrl::toPercentEncoding(part));
    return QStringLiteral("ftp://%1/%2").arg(account_.server, parts.join(u'/'));
}

void FtpClient::perform(const QString& what) {
    checkIdle(what);
    busy_ = true;
    const auto release = qScopeGuard([this] { busy_ = false; });
    CURL* c = handle_->curl;
    // The settings every request shares; a request sets its own on top of them.
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, handle_->error);
    curl_easy_setopt(c, CURLOPT_USERNAME, account_.user.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, account_.password.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    if (account_.activeMode) curl_easy_setopt(c, CURLOPT_FTPPORT, "-");
    else curl_easy_setopt(c, CURLOPT_FTPPORT, nullptr);
    if (account_.tls) {
        curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        curl_easy_setopt(c, CURLOPT_FTPSSLAUTH, long(CURLFTPAUTH_TLS));
        if (!account_.caFile.isEmpty()) curl_easy_setopt(c, CURLOPT_CAINFO, QFile::encodeName(account_.caFile).constData());
    }
    if (tick_) {
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, &tick_);
        curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION,
                         +[](void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
                             (*static_cast<std::function<void()>*>(data))();
                             return 0;
                         });
    }
    handle_->error[0] = 0;
    const CURLcode rc = curl_easy_perform(c);
    if (rc == CURLE_OK) return;
    long response = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response);
    const QString detail = handle_->error[0] ? QString::fromUtf8(handle_->error) : QString::fromUtf8(curl_easy_strerror(rc));
    switch (rc) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_USE_SSL_FAILED:
            throw FtpError(FtpError::Kind::Connection,
                           QStringLiteral("Немає з'єднання з сервером %1 (%2).").arg(account_.server, detail));
        case CURLE_LOGIN_DENIED:
            throw FtpError(FtpError::Kind::Login,
                           QStringLiteral("Сервер %1 не прийняв ім'я користувача або пароль.").arg(account_.server));
        case CURLE_UPLOAD_FAILED:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_QUOTE_ERROR:
            throw FtpError(FtpError::Kind::Refused, QStringLiteral("Сервер відмовив: %1 (%2).").arg(what, detail));
        default:
            throw FtpError(FtpError::Kind::Transfer,
                           QStringLiteral("Обмін з сервером перервано: %1 (%2).").arg(what, detail));
    }
}

void FtpClient::checkIdle(const QString& what) const {
    // One request at a time on the connection: a timer that fires while a transfer keeps
    // the windows painting is told to come back later, before anything is touched.
    if (busy_) throw FtpError(FtpError::Kind::Transfer, QStringLiteral("З'єднання зайняте іншою передачею: %1.").arg(what));
}

void FtpClient::connect() {
    list(QString());
}

void FtpClient::makeFolder(const QString& folder) {
    checkIdle(folder);
    CURL* c = handle_->curl;
    curl_easy_reset(c);
    // Each level in turn; "*" lets a level that exists already pass.
    curl_slist* commands = nullptr;
    QString path;
    for (const QString& part : folder.split(u'/', Qt::SkipEmptyParts)) {
        path += (path.isEmpty() ? QString() : QStringLiteral("/")) + part;
        commands = curl_slist_append(commands, (QStringLiteral("*MKD ") + path).toUtf8().constData());
    }
    curl_easy_setopt(c, CURLOPT_URL, url(QString()).toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_QUOTE, commands);
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    try {
        perform(QStringLiteral("створення папки \"%1\"").arg(folder));
    } catch (...) {
        curl_slist_free_all(commands);
        throw;
    }
    curl_slist_free_all(commands);
    curl_easy_setopt(c, CURLOPT_QUOTE, nullptr);
    // The folder must be there now.
    curl_easy_reset(c);
    QByteArray ignored;
    curl_easy_setopt(c, CURLOPT_URL, url(folder + u'/').toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* target) {
        static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
        return size * count;
    });
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &ignored);
    perform(QStringLiteral("створення папки \"%1\"").arg(folder));
}

void FtpClient::uploadFile(const QString& localPath, const QString& remotePath,
                           const std::function<void(qint64, qint64)>& progress) {
    checkIdle(remotePath);
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly))
        throw FtpError(FtpError::Kind::Transfer, QStringLiteral("Файл \"%1\" не вдалося прочитати: %2")
                                                     .arg(QDir::toNativeSeparators(localPath), file.errorString()));
    struct Source {
        QFile* file;
        qint64 sent = 0;
        qint64 total = 0;
        const std::function<void(qint64, qint64)>* progress;
        bool failed = false;
    } source{&file, 0, file.size(), &progress};
    CURL* c = handle_->curl;
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_URL, url(remotePath).toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(source.total));
    curl_easy_setopt(c, CURLOPT_READDATA, &source);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, +[](char* buffer, size_t size, size_t count, void* data) -> size_t {
        auto* s = static_cast<Source*>(data);
        // The file is read in blocks of 1024 bytes, each reported as sent.
        const qint64 room = qint64(size * count);
        qint64 given = 0;
        while (given + 1024 <= room) {
            const qint64 got = s->file->read(buffer + given, 1024);
            if (got < 0) {
                s->failed = true;
                return CURL_READFUNC_ABORT;
            }
            if (got == 0) break;
            given += got;
            s->sent += got;
            if (*s->progress) (*s->progress)(s->sent, s->total);
            if (got < 1024) break;
        }
        if (given == 0 && room < 1024 && room > 0) {
            const qint64 got = s->file->read(buffer, room);
            if (got < 0) {
                s->failed = true;
                return CURL_READFUNC_ABORT;
            }
            given = got;
            s->sent += got;
            if (*s->progress) (*s->progress)(s->sent, s->total);
        }
        return size_t(given);
    });
    perform(QStringLiteral("передача файлу \"%1\"").arg(remotePath));
    if (source.failed || source.sent != source.total)
        throw FtpError(FtpError::Kind::Transfer,
                       QStringLiteral("Файл \"%1\" передано не повністю.").arg(QDir::toNativeSeparators(localPath)));
}

QStringList FtpClient::list(const QString& folder, const QString& mask) {
    checkIdle(folder);
    CURL* c = handle_->curl;
    curl_easy_reset(c);
    QByteArray listing;
    curl_easy_setopt(c, CURLOPT_URL, url(folder.isEmpty() ? QString() : folder + u'/').toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* target) {
        static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
        return size * count;
    });
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &listing);
    try {
        perform(QStringLiteral("перелік папки \"%1\"").arg(folder));
    } catch (const FtpError& error) {
        // A folder the server does not have holds no files.
        if (error.kind() == FtpError::Kind::Refused) return {};
        throw;
    }
    const QRegularExpression match = maskExpression(mask);
    QStringList names;
    for (QByteArray line : listing.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty()) continue;
        // Some servers give the path with the name.
        const QString name = QFileInfo(QString::fromUtf8(line)).fileName();
        if (match.match(name).hasMatch()) names << name;
    }
    return names;
}

void FtpClient::download(const QString& remotePath, const QString& localPath) {
    checkIdle(remotePath);
    const QString partial = localPath + QStringLiteral(".part");
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FtpError(FtpError::Kind::Transfer, QStringLiteral("Файл \"%1\" не вдалося записати: %2")
                                                     .arg(QDir::toNativeSeparators(partial), file.errorString()));
    CURL* c = handle_->curl;
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_URL, url(remotePath).toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* target) -> size_t {
        return size_t(static_cast<QFile*>(target)->write(data, qint64(size * count)));
    });
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &file);
    try {
        perform(QStringLiteral("прийом файлу \"%1\"").arg(remotePath));
    } catch (...) {
        file.close();
        QFile::remove(partial);
        throw;
    }
    // The size the server announced must have arrived whole.
    curl_off_t expected = -1;
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
    const bool complete = file.flush() && (expected < 0 || file.size() == expected);
    file.close();
    if (!complete) {
        QFile::remove(partial);
        throw FtpError(FtpError::Kind::Transfer, QStringLiteral("Файл \"%1\" отримано не повністю.").arg(remotePath));
    }
    QFile::remove(localPath);
    if (!QFile::rename(partial, localPath)) {
        QFile::remove(partial);
        throw FtpError(FtpError::Kind::Transfer,
                       QStringLiteral("Файл \"%1\" не вдалося записати.").arg(QDir::toNativeSeparators(localPath)));
    }
}

}  // namespace zelvan
