#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/error.h"

namespace zelvan {

// A transfer or command the server refused or that failed on the way; the message says
// which file or folder and why, in the user's words.
class FtpError : public ZelvanError {
public:
    enum class Kind { Connection, Login, Refused, Transfer };
    FtpError(Kind kind, const QString& message) : ZelvanError(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Where and how to reach the server. The account comes from the configuration file.
struct FtpAccount {
    QString server;  // an IPv4 address or host name, optionally with ":port"
    QString user;
    QString password;
    bool activeMode = false;  // passive unless the configuration asks for active
    bool tls = false;         // explicit TLS (AUTH TLS) on the control and data channels
    QString caFile;           // a certificate authority to trust besides the system's (tests)
};

// An FTP connection over libcurl: binary transfers, one connection reused for every
// command. Server paths use "/" between folders and are relative to the account's home.
class FtpClient {
public:
    explicit FtpClient(FtpAccount account);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // Called now and then during every transfer, so that a window can stay responsive.
    void setTick(std::function<void()> tick) { tick_ = std::move(tick); }

    // Logs in and lists the home folder; throws FtpError (Connection or Login).
    void connect();

    // Creates the folder and every missing parent.
    void makeFolder(const QString& folder);

    // Uploads a local file, read in blocks of 1024 bytes; `progress` gets the bytes sent
    // and the file size. The folder must exist. Throws FtpError (Refused when the
    // server does not accept the file).
    void uploadFile(const QString& localPath, const QString& remotePath,
                    const std::function<void(qint64 sent, qint64 total)>& progress = {});

    // The names of the files of a folder that match the mask ("*" and "?"), compared
    // ignoring letter case, in the server's order. A missing folder gives none.
    QStringList list(const QString& folder, const QString& mask = QStringLiteral("*"));

    // Downloads a file to a temporary name beside `localPath` and renames it when the
    // whole file has arrived; a cut transfer leaves nothing under `localPath`.
    void download(const QString& remotePath, const QString& localPath);

private:
    struct Handle;
    QString url(const QString& path) const;
    void perform(const QString& what);
    void checkIdle(const QString& what) const;

    FtpAccount account_;
    std::unique_ptr<Handle> handle_;
    std::function<void()> tick_;
    bool busy_ = false;  // a request is under way (a window's timer may ask meanwhile)
};

}  // namespace zelvan
