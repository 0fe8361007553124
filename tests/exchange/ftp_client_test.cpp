#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include "platform/ftp_client.h"
#include "support/ftp_server.h"
#include "support/printers.h"
#include "support/test_files.h"

using namespace zelvan;
using namespace zelvan::test;

namespace {



QByteArray pattern(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

FtpAccount account(const FtpServer& server, const QString& user = QStringLiteral("zelvan"),
                   const QString& password = QStringLiteral("secret")) {
    return {server.address(), user, password, false, false, {}};
}

}  // namespace

TEST(FtpClient, ConnectsOrSaysWhy) {
    FtpServer server;
    FtpClient good(account(server));
    EXPECT_NO_THROW(good.connect());

    FtpClient wrong(account(server, QStringLiteral("zelvan"), QStringLiteral("nope")));
    try {
        wrong.connect();
        FAIL();
    } catch (const FtpError& e) {
        EXPECT_EQ(e.kind(), FtpError::Kind::Login);
        EXPECT_EQ(e.message(), QStringLiteral("Сервер %1 не прийняв ім'я користувача або пароль.").arg(server.address()));
    }

    // A port nobody listens on.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 closed = probe.serverPort();
    probe.close();
    FtpClient down({QStringLiteral("127.0.0.1:%1").arg(closed), QStringLiteral("zelvan"), QStringLiteral("secret"), false, false, {}});
    try {
        down.connect();
        FAIL();
    } catch (const FtpError& e) {
        EXPECT_EQ(e.kind(), FtpError::Kind::Connection);
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Немає з'єднання з сервером 127.0.0.1:"))) << e.message().toStdString();
    }
}

TEST(FtpClient, FoldersUploadsListsAndDownloads) {
    for (const bool active : {false, true}) {
        FtpServer server;
        FtpAccount a = account(server);
        a.activeMode = active;
        FtpClient client(a);
        client.connect();
        client.makeFolder(QStringLiteral("Otpravka/IN/12345"));
        client.makeFolder(QStringLiteral("Otpravka/IN/12345"));  // again: already there
        EXPECT_TRUE(QDir(server.path(QStringLiteral("Otpravka/IN/12345"))).exists());

        QTemporaryDir local;
        const QByteArray bytes = pattern(100 * 1024 + 77);
        write(local.filePath(QStringLiteral("дані 1.zip")), bytes);
        std::vector<qint64> reported;
        client.uploadFile(local.filePath(QStringLiteral("дані 1.zip")), QStringLiteral("Otpravka/IN/12345/дані 1.zip"),
                          [&](qint64 sent, qint64 total) {
                              EXPECT_EQ(total, bytes.size());
                              reported.push_back(sent);
                          });
        EXPECT_EQ(read(server.path(QStringLiteral("Otpravka/IN/12345/дані 1.zip"))), bytes) << active;
        ASSERT_FALSE(reported.empty());
        EXPECT_EQ(reported.back(), bytes.size());
        for (size_t i = 0; i + 1 < reported.size(); ++i) EXPECT_EQ(reported[i], qint64(i + 1) * 1024);

        write(server.path(QStringLiteral("Otpravka/OUT/a.RAR")), "a");
        write(server.path(QStringLiteral("Otpravka/OUT/b.zip")), "b");
        write(server.path(QStringLiteral("Otpravka/OUT/c.rar")), pattern(300000));
        QStringList rars = client.list(QStringLiteral("Otpravka/OUT"), QStringLiteral("*.rar"));
        rars.sort();
        EXPECT_EQ(rars, (QStringList{QStringLiteral("a.RAR"), QStringLiteral("c.rar")}));
        EXPECT_EQ(client.list(QStringLiteral("Nowhere"), QStringLiteral("*.rar")), QStringList());

        client.download(QStringLiteral("Otpravka/OUT/c.rar"), local.filePath(QStringLiteral("c.rar")));
        EXPECT_EQ(read(local.filePath(QStringLiteral("c.rar"))), pattern(300000));
        EXPECT_THROW(client.download(QStringLiteral("Otpravka/OUT/none.rar"), local.filePath(QStringLiteral("none.rar"))),
                     FtpError);
        EXPECT_FALSE(QFile::exists(local.filePath(QStringLiteral("none.rar"))));
        EXPECT_FALSE(QFile::exists(local.filePath(QStringLiteral("none.rar.part"))));
    }
}

TEST(FtpClient, ARefusedUploadIsAnError) {
    FtpServer server;
    QDir().mkpath(server.path(QStringLiteral("IN")));
    FtpClient reader(account(server, QStringLiteral("reader")));
    reader.connect();
    QTemporaryDir local;
    write(local.filePath(QStringLiteral("001.ftp")), "x\r\n");
    try {
        reader.uploadFile(local.filePath(QStringLiteral("001.ftp")), QStringLiteral("IN/001.ftp"));
        FAIL();
    } catch (const FtpError& e) {
        EXPECT_EQ(e.kind(), FtpError::Kind::Refused);
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Сервер відмовив: передача файлу \"IN/001.ftp\""))) << e.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(server.path(QStringLiteral("IN/001.ftp"))));
}

TEST(FtpClient, ExplicitTls) {
    // A certificate for 127.0.0.1 made for this test, trusted by the client.
    QTemporaryDir keys;
    ASSERT_TRUE(makeCertificate(keys));
    FtpServer server(keys.filePath(QStringLiteral("both.pem")));
    FtpAccount a = account(server);
    a.tls = true;
    a.caFile = keys.filePath(QStringLiteral("cert.pem"));
    FtpClient client(a);
    client.connect();
    client.makeFolder(QStringLiteral("Otpravka/IN/7"));
    QTemporaryDir local;
    write(local.filePath(QStringLiteral("v.zip")), pattern(70000));
    client.uploadFile(local.filePath(QStringLiteral("v.zip")), QStringLiteral("Otpravka/IN/7/v.zip"));
    EXPECT_EQ(read(server.path(QStringLiteral("Otpravka/IN/7/v.zip"))), pattern(70000));
    EXPECT_EQ(client.list(QStringLiteral("Otpravka/IN/7")), QStringList{QStringLiteral("v.zip")});
    client.download(QStringLiteral("Otpravka/IN/7/v.zip"), local.filePath(QStringLiteral("back.zip")));
    EXPECT_EQ(read(local.filePath(QStringLiteral("back.zip"))), pattern(70000));

    // Without trusting the certificate the connection is refused, not made in the clear.
    FtpAccount untrusted = a;
    untrusted.caFile.clear();
    FtpClient doubtful(untrusted);
    try {
        doubtful.connect();
        FAIL();
    } catch (const FtpError& e) {
        EXPECT_EQ(e.kind(), FtpError::Kind::Connection);
    }
}
