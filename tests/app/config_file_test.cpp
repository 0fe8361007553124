#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/config_file.h"
#include "app/error.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

QByteArray cp1251(const QString& text) {
    // The test texts use only letters code page 1251 has.
    QByteArray out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x80) out += char(u);
        else if (u >= 0x410 && u <= 0x44F) out += char(0xC0 + (u - 0x410));
        else if (u == 0x0406) out += char(0xB2);
        else if (u == 0x0456) out += char(0xB3);
        else if (u == 0x0404) out += char(0xAA);
        else if (u == 0x0454) out += char(0xBA);
        else ADD_FAILURE() << "letter outside the test table";
    }
    return out;
}

}  // namespace

struct ReadCase {
    const char* name;
    QByteArray bytes;
    QString key;
    QString expected;
};

TEST(ConfigFile, ReadingRules) {
    const ReadCase cases[] = {
        {"exact key", "DB_Dir=/srv/zelvan\r\n", QStringLiteral("DB_Dir"), QStringLiteral("/srv/zelvan")},
        {"key in small letters", "db_dir=/srv/db\r\n", QStringLiteral("DB_Dir"), QStringLiteral("/srv/db")},
        {"key alone with =", "DB_Dir=\r\nWinRar_Dir=/x\r\n", QStringLiteral("DB_Dir"), QString()},
        {"value holding =", "FTP_IP_Server=a=b=c\r\n", QStringLiteral("FTP_IP_Server"), QStringLiteral("a=b=c")},
        {"blanks kept", "Dir= /a b \r\n", QStringLiteral("Dir"), QStringLiteral(" /a b ")},
        {"first of two lines wins", "Dir=/one\nDIR=/two\n", QStringLiteral("Dir"), QStringLiteral("/one")},
        {"missing key", "Dir=/one\n", QStringLiteral("DB_Dir"), QString()},
        {"line without = ignored", "DB_Dir\nDB_Dir=/real\n", QStringLiteral("DB_Dir"), QStringLiteral("/real")},
        {"blank before = is part of the key", "DB_Dir =/x\n", QStringLiteral("DB_Dir"), QString()},
        {"CR only", "Dir=/a\rDB_Dir=/b\r", QStringLiteral("DB_Dir"), QStringLiteral("/b")},
        {"LF only", "Dir=/a\nDB_Dir=/b", QStringLiteral("DB_Dir"), QStringLiteral("/b")},
        {"mixed endings", "Dir=/a\r\nX=1\rDB_Dir=/b\n", QStringLiteral("DB_Dir"), QStringLiteral("/b")},
        {"Cyrillic value", cp1251(QStringLiteral("LocPeriod=I квартал")), QStringLiteral("LocPeriod"),
         QStringLiteral("I квартал")},
        {"Cyrillic key in other case", cp1251(QStringLiteral("ПЕРІОД=1")), QStringLiteral("період"), QStringLiteral("1")},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ConfigFile::fromBytes(c.bytes).value(c.key), c.expected) << c.name;
    }
}

struct WriteCase {
    const char* name;
    QByteArray before;
    QString key;
    QString value;
    QByteArray after;
};

TEST(ConfigFile, WritingRules) {
    const WriteCase cases[] = {
        {"replace keeps the key's spelling", "db_dir=/old\r\nX=1\r\n", QStringLiteral("DB_Dir"), QStringLiteral("/new"),
         "db_dir=/new\r\nX=1\r\n"},
        {"append when missing", "X=1\r\n", QStringLiteral("LocPeriod"), QStringLiteral("01.04.2026"),
         "X=1\r\nLocPeriod=01.04.2026\r\n"},
        {"empty value deletes the line", "A=1\r\nDir=/x\r\nB=2\r\n", QStringLiteral("dir"), QString(), "A=1\r\nB=2\r\n"},
        {"empty value deletes only the first line", "Dir=/x\nDir=/y\n", QStringLiteral("Dir"), QString(), "Dir=/y\r\n"},
        {"empty value of a missing key changes nothing", "A=1\n", QStringLiteral("Dir"), QString(), "A=1\r\n"},
        {"other lines are kept as they are", "; note\r\n\r\nA=1\r\n", QStringLiteral("A"), QStringLiteral("2"),
         "; note\r\n\r\nA=2\r\n"},
        {"value with = written whole", "", QStringLiteral("K"), QStringLiteral("a=b"), "K=a=b\r\n"},
    };
    for (const WriteCase& c : cases) {
        ConfigFile file = ConfigFile::fromBytes(c.before);
        file.setValue(c.key, c.value);
        EXPECT_EQ(file.toBytes(), c.after) << c.name;
    }
}

TEST(ConfigFile, CodePage1251RoundTripThroughAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    ConfigFile file;
    file.setValue(QStringLiteral("DB_Dir"), QStringLiteral("/home/бухгалтерія/Звітність ЄІЇҐ"));
    file.setValue(QStringLiteral("LocPeriod"), QStringLiteral("01.07.2026"));
    file.save(path);

    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_TRUE(bytes.contains("\xE1\xF3\xF5\xE3\xE0\xEB\xF2\xE5\xF0\xB3\xFF"));  // бухгалтерія in 1251
    EXPECT_TRUE(bytes.endsWith("LocPeriod=01.07.2026\r\n"));
    EXPECT_EQ(ConfigFile::load(path).value(QStringLiteral("db_dir")), QStringLiteral("/home/бухгалтерія/Звітність ЄІЇҐ"));
}

TEST(ConfigFile, AValueOutsideTheCodePageIsRefusedAndTheFileKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    ConfigFile good;
    good.setValue(QStringLiteral("DB_Dir"), QStringLiteral("/a"));
    good.save(path);
    ConfigFile bad = good;
    bad.setValue(QStringLiteral("DB_Dir"), QStringLiteral("/数据"));
    EXPECT_THROW(bad.save(path), ConfigError);
    EXPECT_EQ(ConfigFile::load(path).value(QStringLiteral("DB_Dir")), QStringLiteral("/a"));
}

TEST(ConfigFile, MissingUnreadableOrBinaryFilesCannotBeRead) {
    QTemporaryDir dir;
    EXPECT_THROW(ConfigFile::load(dir.filePath(QStringLiteral("none.ini"))), ConfigError);
    EXPECT_THROW(ConfigFile::load(dir.path()), ConfigError);  // a folder, not a file

    const QString binary = dir.filePath(QStringLiteral("binary.ini"));
    QFile f(binary);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("DB_Dir=/x\r\n\0\0\x01\x02", 15));
    f.close();
    EXPECT_THROW(ConfigFile::load(binary), ConfigError);
}

TEST(ConfigLocation, ProgramFolderWhenFileIsThereOrFolderWritable) {
    QTemporaryDir program;
    QTemporaryDir user;
    EXPECT_EQ(resolveConfigPath(program.path(), user.path()), program.filePath(QStringLiteral("Local_Zelvan.ini")));

    // A program folder that cannot hold the file: the user's folder.
    const QString gone = program.filePath(QStringLiteral("gone"));
    EXPECT_EQ(resolveConfigPath(gone, user.path()), user.filePath(QStringLiteral("Local_Zelvan.ini")));
}

TEST(ConfigLocation, AnExistingFileInTheProgramFolderWins) {
    QTemporaryDir program;
    QTemporaryDir user;
    const QString inProgram = program.filePath(QStringLiteral("Local_Zelvan.ini"));
    QFile f(inProgram);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(resolveConfigPath(program.path(), user.path()), inProgram);
    QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
