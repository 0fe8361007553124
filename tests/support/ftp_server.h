#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zelvan::test {

// A real FTP server (pyftpdlib) on 127.0.0.1 and a free port, serving a temporary home
// folder, for as long as the object lives. Users "zelvan" (all rights) and "reader"
// (list and read only), both with the password "secret". With a PEM file the server
// speaks explicit TLS.
class FtpServer {
public:
    explicit FtpServer(const QString& certificate = {}) {
        QStringList args{QStringLiteral(ZELVAN_TEST_SUPPORT_DIR "/ftp_server.py"), home.path()};
        if (!certificate.isEmpty()) args << certificate;
        process.start(QStringLiteral("/usr/bin/python3"), args);
        if (!process.waitForStarted(10000) || !process.waitForReadyRead(20000)) {
            ADD_FAILURE() << "the FTP server did not start: " << process.readAllStandardError().toStdString();
            return;
        }
        port = process.readLine().trimmed().toInt();
    }
    ~FtpServer() {
        process.kill();
        process.waitForFinished(5000);
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port); }
    QString path(const QString& relative) const { return home.filePath(relative); }

    QTemporaryDir home;
    QProcess process;
    int port = 0;
};

// A certificate for 127.0.0.1 made by openssl in `folder`: "cert.pem" for the client to
// trust and "both.pem" (certificate and key) for the server. False when openssl failed.
inline bool makeCertificate(const QTemporaryDir& folder) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                   QStringLiteral("-nodes"), QStringLiteral("-keyout"), folder.filePath(QStringLiteral("key.pem")),
                   QStringLiteral("-out"), folder.filePath(QStringLiteral("cert.pem")), QStringLiteral("-days"),
                   QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) return false;
    QFile cert(folder.filePath(QStringLiteral("cert.pem")));
    QFile key(folder.filePath(QStringLiteral("key.pem")));
    QFile both(folder.filePath(QStringLiteral("both.pem")));
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly) || !both.open(QIODevice::WriteOnly)) return false;
    both.write(cert.readAll() + key.readAll());
    return true;
}

}  // namespace zelvan::test
