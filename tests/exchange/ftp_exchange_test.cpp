#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "exchange/data_exchange.h"
#include "exchange/ftp_exchange.h"
#include "model/database_folder.h"
#include "model/schema.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "platform/ftp_client.h"
#include "platform/zip_archive.h"
#include "support/ftp_server.h"
#include "support/printers.h"
#include "support/test_files.h"

using namespace zelvan;
using namespace zelvan::test;

namespace {



class FtpExchange : public ::testing::Test {
protected:
    void SetUp() override {
        settings.ftpDirectory = local.filePath(QStringLiteral("ftp dir"));
        settings.dbDir = local.filePath(QStringLiteral("db"));
        settings.ftpKodObj = QStringLiteral("31245");
        settings.ftpKodStan = QStringLiteral("1");
        settings.ftpKodDanper = QStringLiteral("41");
        createDatabaseFolder(settings.dbDir, true);
        dm.pointAt(settings.dbDir);
        dm.probe();
        client.connect();
    }
    FtpAccount account(const QString& user) const {
        return {server.address(), user, QStringLiteral("secret"), false, false, {}};
    }

    const QString ws = QStringLiteral("2864434397");
    FtpServer server;
    QTemporaryDir local;
    AppSettings settings;
    TDM dm;
    FtpClient client{account(QStringLiteral("zelvan"))};
};

}  // namespace

TEST(FtpNames, NumbersFoldersAndTheCodesCheck) {
    EXPECT_EQ(requestNumberText(1), QStringLiteral("001"));
    EXPECT_EQ(requestNumberText(27), QStringLiteral("027"));
    EXPECT_EQ(requestNumberText(1234), QStringLiteral("1234"));
    EXPECT_EQ(requestFolder(QStringLiteral("17")), QStringLiteral("Otpravka/IN/17"));
    EXPECT_EQ(answerFolder(QStringLiteral("17")), QStringLiteral("Otpravka/rar/17"));
    EXPECT_EQ(valuesFolder(QString()), QStringLiteral("Priyom"));
    AppSettings s;
    s.ftpKodObj = QStringLiteral("1");
    s.ftpKodStan = QStringLiteral("1");
    EXPECT_TRUE(missingCodesMessage(s).startsWith(QStringLiteral("Не заповнено поле \"Код організації\"")));
    s.ftpKodDanper = QStringLiteral("41");
    EXPECT_EQ(missingCodesMessage(s), QString());
}

TEST_F(FtpExchange, DataRequestsAreNumberedWrittenAndUploaded) {
    write(settings.ftpDirectory + QStringLiteral("/Otpravka/001.ftp"), "old");
    write(settings.ftpDirectory + QStringLiteral("/Otpravka/002.ftp"), "old");
    std::vector<qint64> progress;
    EXPECT_EQ(sendDataRequest(client, settings, ws, [&](qint64 sent, qint64) { progress.push_back(sent); }),
              QStringLiteral("003"));
    const QByteArray expected = "Kod_Obj=31245\r\nKod_Stan=1\r\nKod_Danper=41\r\n";
    EXPECT_EQ(read(settings.ftpDirectory + QStringLiteral("/Otpravka/003.ftp")), expected);
    EXPECT_EQ(read(server.path(QStringLiteral("Otpravka/IN/") + ws + QStringLiteral("/003.ftp"))), expected);
    EXPECT_EQ(progress, std::vector<qint64>{expected.size()});

    // A refused upload frees its number.
    FtpClient reader(account(QStringLiteral("reader")));
    try {
        sendDataRequest(reader, settings, ws);
        FAIL();
    } catch (const FtpError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Помилка при передачі заявки на сервер"));
    }
    EXPECT_FALSE(QFileInfo::exists(settings.ftpDirectory + QStringLiteral("/Otpravka/004.ftp")));
    EXPECT_EQ(sendDataRequest(client, settings, ws), QStringLiteral("004"));
}

TEST_F(FtpExchange, TheValuesGoAsAZipOfTheValuesTable) {
    const QString archive = sendValues(client, dm, settings, ws);
    EXPECT_EQ(archive, QDir(settings.dbDir).filePath(QStringLiteral("31245_1_41.zip")));
    const QByteArray sent = read(server.path(QStringLiteral("Priyom/") + ws + QStringLiteral("/31245_1_41.zip")));
    EXPECT_EQ(sent, read(archive));
    const std::vector<ZipEntry> entries = readZip(sent, QStringLiteral("sent"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, QStringLiteral("Znachenie.DB"));
    write(local.filePath(QStringLiteral("check.db")), entries[0].data);
    Database values(local.filePath(QStringLiteral("check.db")), Database::Mode::OpenExisting);
    QSqlQuery count = values.exec(QStringLiteral("select count(*) from ZNACHENIE"));
    QSqlQuery live = dm.db().exec(QStringLiteral("select count(*) from ZNACHENIE"));
    ASSERT_TRUE(count.next() && live.next());
    EXPECT_EQ(count.value(0).toInt(), live.value(0).toInt());
    EXPECT_FALSE(values.hasTable(QStringLiteral("SORG")));

    FtpClient reader(account(QStringLiteral("reader")));
    QFile::remove(server.path(QStringLiteral("Priyom/") + ws + QStringLiteral("/31245_1_41.zip")));
    try {
        sendValues(reader, dm, settings, ws);
        FAIL();
    } catch (const FtpError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Помилка при передачі даних на сервер"));
    }
    EXPECT_TRUE(QFileInfo::exists(archive));  // the archive stays
}

TEST_F(FtpExchange, AnswersAreDownloadedOnceAndApplyLikeAnUpdate) {
    EXPECT_TRUE(fetchNewAnswers(client, settings, ws).empty());  // no folder on the server yet

    QTemporaryDir source;
    createDatabaseFolder(source.path(), true);
    {
        Database answer(QDir(source.path()).filePath(kDatabaseFileName), Database::Mode::OpenExisting);
        answer.exec(QStringLiteral("update S_FORM set NAME_FORM = 'З відповіді' where KOD_FORM = 101"));
        answer.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    write(server.path(QStringLiteral("Otpravka/rar/") + ws + QStringLiteral("/007.RAR.zip")),
          writeZip({{QStringLiteral("zelvan.sqlite"), read(QDir(source.path()).filePath(kDatabaseFileName))}}));
    write(server.path(QStringLiteral("Otpravka/rar/") + ws + QStringLiteral("/readme.txt")), "not an answer");

    const std::vector<ReceivedAnswer> first = fetchNewAnswers(client, settings, ws);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].name, QStringLiteral("007.RAR.zip"));
    EXPECT_EQ(first[0].number, QStringLiteral("007.zip"));  // only the first ".rar" goes, in any letter case
    EXPECT_EQ(first[0].localPath, settings.ftpDirectory + QStringLiteral("/Otpravka/007.RAR.zip"));
    EXPECT_TRUE(fetchNewAnswers(client, settings, ws).empty());  // never twice

    ExchangePlaces places{settings.dbDir, settings.ftpDirectory, QString(), local.filePath(QStringLiteral("cfg.ini"))};
    const ExchangeOutcome outcome =
        applyUpdateArchive(dm, places, first[0].localPath, QDateTime(QDate(2026, 12, 11), QTime(9, 0)), UserLocale());
    EXPECT_TRUE(QFileInfo::exists(outcome.backupPath));
    QSqlQuery name = dm.db().exec(QStringLiteral("select NAME_FORM from S_FORM where KOD_FORM = 101"));
    ASSERT_TRUE(name.next());
    EXPECT_EQ(name.value(0).toString(), QStringLiteral("З відповіді"));
}
