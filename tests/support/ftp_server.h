#pragma once

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

}  // namespace zelvan::test
