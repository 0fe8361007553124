#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/app_settings.h"
#include "app/config_file.h"
#include "app/error.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const SettingsFields kAllFilled{QStringLiteral("/srv/Zelvan/DB"), QStringLiteral("/srv/Zelvan/Copies"),
                                QStringLiteral("31245"),          QStringLiteral("1"),
                                QStringLiteral("41"),             QStringLiteral("/srv/Zelvan/Ftp"),
                                QStringLiteral("10.0.5.120"),     QString(),
                                QString(),                        QString(),
                                QString(),                        QString()};

}  // namespace

TEST(Settings, ReadFromTheFileInKeyOrderWithMissingKeysEmpty) {
    const ConfigFile file = ConfigFile::fromBytes(
        "FTP_IP_Server=10.1.1.1\r\nDB_Dir=/db\r\ndir=/prog\r\nWinRar_Dir=/w\r\nFTP_KOD_OBJ=7\r\n");
    const AppSettings s = AppSettings::fromConfig(file);
    EXPECT_EQ(s.dir, QStringLiteral("/prog"));
    EXPECT_EQ(s.dbDir, QStringLiteral("/db"));
    EXPECT_EQ(s.winRarDir, QStringLiteral("/w"));
    EXPECT_EQ(s.ftpKodObj, QStringLiteral("7"));
    EXPECT_EQ(s.ftpKodStan, QString());
    EXPECT_EQ(s.ftpIpServer, QStringLiteral("10.1.1.1"));
}

TEST(Settings, SavingWritesTheSevenKeysInOrderAndKeepsOtherLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    write(path, "LocPeriod=01.07.2026\r\nDir=/opt/zelvan\r\nDB_Dir=/old\r\nFTP_KOD_DANPER=40\r\n");
    AppSettings settings;
    saveSettings(path, kAllFilled, settings);
    EXPECT_EQ(readAll(path),
              QByteArray("DB_Dir=/srv/Zelvan/DB\r\nWinRar_Dir=/srv/Zelvan/Copies\r\nFTP_KOD_OBJ=31245\r\n"
                         "FTP_KOD_STAN=1\r\nFTP_KOD_DANPER=41\r\nFTP_Directory=/srv/Zelvan/Ftp\r\n"
                         "FTP_IP_Server=10.0.5.120\r\nLocPeriod=01.07.2026\r\nDir=/opt/zelvan\r\n"));
    EXPECT_EQ(settings.dbDir, QStringLiteral("/srv/Zelvan/DB"));
    EXPECT_EQ(settings.ftpIpServer, QStringLiteral("10.0.5.120"));
    EXPECT_EQ(settings.dir, QString());  // not the dialog's to change
}

TEST(Settings, EmptyFieldsWriteNoLineAndFoldersKeepTheirCase) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    SettingsFields fields = kAllFilled;
    fields.ftpKodDanper.clear();
    fields.ftpIpServer = QStringLiteral("  ");
    fields.dbDir = QStringLiteral("  /home/Olena/Звітність  ");
    AppSettings settings;
    saveSettings(path, fields, settings);
    const ConfigFile saved = ConfigFile::load(path);
    EXPECT_FALSE(saved.contains(QStringLiteral("FTP_KOD_DANPER")));
    EXPECT_FALSE(saved.contains(QStringLiteral("FTP_IP_Server")));
    EXPECT_EQ(saved.value(QStringLiteral("DB_Dir")), QStringLiteral("/home/Olena/Звітність"));
    EXPECT_EQ(settings.dbDir, QStringLiteral("/home/Olena/Звітність"));
}

TEST(Settings, AFileThatCannotBeWrittenChangesNothingInMemory) {
    QTemporaryDir dir;
    AppSettings settings;
    settings.dbDir = QStringLiteral("/before");
    EXPECT_THROW(saveSettings(dir.filePath(QStringLiteral("missing/Local_Zelvan.ini")), kAllFilled, settings),
                 ZelvanError);
    EXPECT_EQ(settings.dbDir, QStringLiteral("/before"));
}

TEST(Settings, AWrongServerAddressIsRefusedBeforeAnythingIsWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    SettingsFields fields = kAllFilled;
    fields.ftpIpServer = QStringLiteral("300.1.1.1");
    AppSettings settings;
    EXPECT_THROW(saveSettings(path, fields, settings), ZelvanError);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(settings.dbDir, QString());
}

TEST(Settings, ServerAddresses) {
    struct Case {
        const char* text;
        bool accepted;
    };
    const Case cases[] = {
        {"", true},           {"10.0.5.120", true},   {"192.168.001.010", true}, {"ftp.zvit.gov.ua", true},
        {"localhost", true},  {"FTP-1.Example.UA", true}, {"  10.1.1.1 ", true},
        {"256.1.1.1", false}, {"10.0.5", false},      {"10.0.5.120.7", false},   {"   .   . .   ", false},
        {"ftp..ua", false},   {"-ftp.ua", false},      {"ftp_server", false},     {"1.2.3.4:21", false},
        {"сервер.укр", false},
    };
    for (const Case& c : cases) {
        const QString problem = checkServerAddress(QString::fromUtf8(c.text));
        EXPECT_EQ(problem.isEmpty(), c.accepted) << c.text;
        if (!c.accepted) {
            EXPECT_TRUE(problem.startsWith(QStringLiteral("Адреса сервера"))) << c.text;
        }
    }
}

TEST(SaveSettings, TheFtpAccountFollowsTheSevenKeys) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    SettingsFields fields = kAllFilled;
    fields.ftpPort = QStringLiteral(" 2121 ");
    fields.ftpUser = QStringLiteral("lyceum7");
    fields.ftpPassword = QStringLiteral(" pass word ");  // a password keeps its blanks
    fields.ftpTls = QStringLiteral("1");
    AppSettings settings;
    saveSettings(path, fields, settings);
    const QStringList lines = ConfigFile::load(path).lines();
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines.mid(7), (QStringList{QStringLiteral("FTP_Port=2121"), QStringLiteral("FTP_User=lyceum7"),
                                         QStringLiteral("FTP_Password= pass word "), QStringLiteral("FTP_TLS=1")}));
    EXPECT_EQ(settings.ftpPassword, QStringLiteral(" pass word "));
    EXPECT_EQ(AppSettings::fromConfig(ConfigFile::load(path)).ftpUser, QStringLiteral("lyceum7"));

    for (const char* bad : {"0", "65536", "ftp"}) {
        fields.ftpPort = QString::fromLatin1(bad);
        EXPECT_THROW(saveSettings(path, fields, settings), ZelvanError) << bad;
    }
    EXPECT_EQ(checkServerPort(QStringLiteral("x")),
              QStringLiteral("Порт сервера \"x\" неправильний: потрібне число від 1 до 65535 (звичайно 21)."));
}
