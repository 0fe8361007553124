#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "app/config_file.h"
#include "exchange/data_exchange.h"
#include "model/database_folder.h"
#include "model/schema.h"
#include "model/tdm.h"
#include "platform/archive_extract.h"
#include "platform/database.h"
#include "platform/volumes.h"
#include "platform/zip_archive.h"
#include "support/printers.h"
#include "support/test_files.h"
#include "support/rar_writer.h"

using namespace zelvan;
using namespace zelvan::test;

namespace {



QVariant scalar(const Database& db, const QString& sql, std::initializer_list<Binding> bindings = {}) {
    QSqlQuery q = db.exec(sql, bindings);
    return q.next() ? q.value(0) : QVariant();
}

class Exchange : public ::testing::Test {
protected:
    void SetUp() override {
        places.dbDir = dir.filePath(QStringLiteral("db"));
        places.ftpDirectory = dir.filePath(QStringLiteral("ftp"));
        places.programDir = dir.filePath(QStringLiteral("program"));
        places.configPath = dir.filePath(QStringLiteral("program/Local_Zelvan.ini"));
        createDatabaseFolder(places.dbDir, true);
        QDir().mkpath(places.programDir);
        write(QDir(places.ftpDirectory).filePath(QStringLiteral("Local_Zelvan.ini")), "DB_Dir=exported\r\n");
        write(places.configPath, "Dir=/opt/zelvan\r\nFTP_KOD_OBJ=31245\r\nLocPeriod=01.07.2026\r\n");
        dm.pointAt(places.dbDir);
        dm.probe();
    }

    const Database& db() { return dm.db(); }
    int values() { return scalar(db(), QStringLiteral("select count(*) from ZNACHENIE")).toInt(); }
    QString email() {
        return scalar(db(), QStringLiteral("select SOFT_NAME from SORG where KOD_NAME = 'EMail'")).toString();
    }

    // A database file of the program holding the demo set, changed by `change`, packed
    // with other files into an archive of the given kind in the update folder.
    QString makeUpdate(const QString& archiveName, const std::function<void(const Database&)>& change,
                       std::vector<RarEntry> extra = {}, bool rar5 = false) {
        QTemporaryDir source;
        createDatabaseFolder(source.path(), true);
        {
            Database update(QDir(source.path()).filePath(kDatabaseFileName), Database::Mode::OpenExisting);
            change(update);
            update.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        extra.insert(extra.begin(), {QStringLiteral("zelvan.sqlite"), read(QDir(source.path()).filePath(kDatabaseFileName))});
        QByteArray bytes;
        if (archiveName.endsWith(QStringLiteral(".rar"))) {
            bytes = rar5 ? makeRar5(extra) : makeRar4(extra);
        } else {
            std::vector<ZipEntry> files;
            for (const RarEntry& e : extra) files.emplace_back(e.name, e.data);
            bytes = writeArchive(files, archiveName.endsWith(QStringLiteral(".7z")) ? ArchiveFormat::SevenZip : ArchiveFormat::Zip);
        }
        const QString path = QDir(updateFolder()).filePath(archiveName);
        write(path, bytes);
        return path;
    }
    QString updateFolder() const { return mediumFolder(dir.filePath(QStringLiteral("usb")), MediumUse::Update); }
    QString dataFolder() const { return mediumFolder(dir.filePath(QStringLiteral("usb")), MediumUse::ExportOrReturn); }

    const QDateTime now{QDate(2026, 12, 11), QTime(10, 30)};
    const UserLocale locale{u',', QStringLiteral("dd.MM.yyyy")};
    QTemporaryDir dir;
    ExchangePlaces places;
    TDM dm;
};

}  // namespace

TEST(MediumFolder, BelowTheMediumRoot) {
    EXPECT_EQ(mediumFolder(QStringLiteral("/media/user/USB"), MediumUse::Update),
              QStringLiteral("/media/user/USB/LZelvan_Data/Out_Zelvan_Files"));
    EXPECT_EQ(mediumFolder(QStringLiteral("/media/user/USB"), MediumUse::ExportOrReturn),
              QStringLiteral("/media/user/USB/LZelvan_Data/In_Zelvan_Files"));
}

TEST(DriveKinds, ByFileSystemAndTheKernelsRemovableFlag) {
    QTemporaryDir sys;
    write(sys.filePath(QStringLiteral("block/sdb/removable")), "1\n");
    write(sys.filePath(QStringLiteral("block/sda/removable")), "0\n");
    write(sys.filePath(QStringLiteral("block/mmcblk0/removable")), "1\n");
    struct Case {
        Volume volume;
        DriveKind kind;
    };
    const Case cases[] = {
        {{QStringLiteral("/media/u/STICK"), {}, QStringLiteral("/dev/sdb1"), QStringLiteral("vfat")}, DriveKind::Removable},
        {{QStringLiteral("/media/u/SD"), {}, QStringLiteral("/dev/mmcblk0p1"), QStringLiteral("exfat")}, DriveKind::Removable},
        {{QStringLiteral("/"), {}, QStringLiteral("/dev/sda2"), QStringLiteral("ext4")}, DriveKind::Fixed},
        {{QStringLiteral("/data"), {}, QStringLiteral("/dev/nvme0n1p3"), QStringLiteral("xfs")}, DriveKind::Fixed},
        {{QStringLiteral("/mnt/share"), {}, QStringLiteral("//server/share"), QStringLiteral("cifs")}, DriveKind::Network},
        {{QStringLiteral("/mnt/nfs"), {}, QStringLiteral("server:/x"), QStringLiteral("nfs4")}, DriveKind::Network},
        {{QStringLiteral("/mnt/ssh"), {}, QStringLiteral("u@h:"), QStringLiteral("fuse.sshfs")}, DriveKind::Network},
        {{QStringLiteral("/media/u/CD"), {}, QStringLiteral("/dev/sr0"), QStringLiteral("iso9660")}, DriveKind::Optical},
        {{QStringLiteral("/media/u/DVD"), {}, QStringLiteral("/dev/sr0"), QStringLiteral("udf")}, DriveKind::Optical},
        {{QStringLiteral("/run"), {}, QStringLiteral("tmpfs"), QStringLiteral("tmpfs")}, DriveKind::Ram},
        {{QStringLiteral("/x"), {}, QStringLiteral("something"), QStringLiteral("fuse.weird")}, DriveKind::Unknown},
        {{QStringLiteral("/y"), {}, QStringLiteral("/dev/sdc1"), QString()}, DriveKind::Unknown},
        {{QStringLiteral("/z"), {}, QStringLiteral("/dev/sdb1"), QStringLiteral("vfat"), false}, DriveKind::NotFormatted},
    };
    for (const Case& c : cases) EXPECT_EQ(driveKind(c.volume, sys.path()), c.kind) << c.volume.root.toStdString();
    // The home folder's volume comes first.
    const std::vector<Volume> volumes = mountedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_TRUE(QDir::homePath().startsWith(volumes.front().root)) << volumes.front().root.toStdString();
}

TEST_F(Exchange, ExportThenReturnBringsBackTheExportedValues) {
    const int exported = values();
    const ExchangeOutcome out = exportDataSet(dm, places, dataFolder());
    EXPECT_EQ(out.failedFiles, QStringList());
    const QDir medium(dataFolder());
    for (const char* name : {"Znachenie.DB", "SORG.DB", "AllDataFiles/zelvan.sqlite", "AllDataFiles/SaveInt.frf",
                             "AllDataFiles/SaveExtAll.frf", "AllDataFiles/F2D.docx", "AllDataFiles/Local_Zelvan.ini"})
        EXPECT_TRUE(QFileInfo(medium.filePath(QString::fromLatin1(name))).isFile()) << name;
    EXPECT_EQ(read(medium.filePath(QStringLiteral("AllDataFiles/Local_Zelvan.ini"))), "DB_Dir=exported\r\n");
    {
        // The stand-alone tables hold their table and rows only.
        Database values(medium.filePath(QStringLiteral("Znachenie.DB")), Database::Mode::OpenExisting);
        EXPECT_EQ(scalar(values, QStringLiteral("select count(*) from ZNACHENIE")).toInt(), exported);
        EXPECT_FALSE(values.hasTable(QStringLiteral("SORG")));
        EXPECT_FALSE(values.hasTable(QStringLiteral("S_FORM")));
        Database card(medium.filePath(QStringLiteral("SORG.DB")), Database::Mode::OpenExisting);
        EXPECT_EQ(scalar(card, QStringLiteral("select count(*) from SORG")).toInt(), 13);
        EXPECT_FALSE(card.hasTable(QStringLiteral("ZNACHENIE")));
    }

    // Work goes on: a value changed, one added, the configuration copy changed.
    db().exec(QStringLiteral("update ZNACHENIE set ZNACHENIE = 1 where KOD_FORM = 101"));
    db().exec(QStringLiteral("insert into ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_STAN, KOD_DANPER, KOD_K, KOD_F, KOD_Z, KOD_G, "
                             "NOMER_COL, NOMER_ROW, ZNACHENIE, CHECK_KONTROL) values (202, 31245, 1, 41, 1, 1, 1, 1, 3, 3, 5, 1)"));
    write(QDir(places.ftpDirectory).filePath(QStringLiteral("Local_Zelvan.ini")), "DB_Dir=later\r\n");
    const double beforeReturn = scalar(db(), QStringLiteral("select sum(ZNACHENIE) from ZNACHENIE")).toDouble();

    const ExchangeOutcome back = returnDataSet(dm, places, dataFolder(), now);
    EXPECT_EQ(back.failedFiles, QStringList());
    EXPECT_EQ(values(), exported);
    EXPECT_EQ(scalar(db(), QStringLiteral("select count(*) from ZNACHENIE where KOD_FORM = 101 and ZNACHENIE = 1")).toInt(), 0);
    EXPECT_EQ(read(QDir(places.ftpDirectory).filePath(QStringLiteral("Local_Zelvan.ini"))), "DB_Dir=exported\r\n");
    // The lost work is in the backup.
    ASSERT_TRUE(QFileInfo::exists(back.backupPath)) << back.backupPath.toStdString();
    Database backup(back.backupPath, Database::Mode::OpenExisting);
    EXPECT_DOUBLE_EQ(scalar(backup, QStringLiteral("select sum(ZNACHENIE) from ZNACHENIE")).toDouble(), beforeReturn);
}

TEST_F(Exchange, ExportReportsWhatCouldNotBeCopied) {
    QFile::remove(QDir(places.ftpDirectory).filePath(QStringLiteral("Local_Zelvan.ini")));
    const ExchangeOutcome out = exportDataSet(dm, places, dataFolder());
    ASSERT_EQ(out.failedFiles.size(), 1);
    EXPECT_TRUE(out.failedFiles[0].startsWith(QStringLiteral("Local_Zelvan.ini: немає файлу"))) << out.failedFiles[0].toStdString();

    // A medium that cannot be written: nothing is claimed.
    write(dir.filePath(QStringLiteral("ro/LZelvan_Data")), "a file where the folder should be");
    try {
        exportDataSet(dm, places, mediumFolder(dir.filePath(QStringLiteral("ro")), MediumUse::ExportOrReturn));
        FAIL();
    } catch (const ExchangeError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не вдалося створити папку"))) << e.message().toStdString();
    }
}

TEST_F(Exchange, AReturnWithoutAGoodDataSetChangesNothing) {
    const int before = values();
    const QString all = QDir(dataFolder()).filePath(QStringLiteral("AllDataFiles"));
    struct Case {
        std::function<void()> prepare;
        QString message;
    };
    const Case cases[] = {
        {[] {}, QStringLiteral("На електронному носії нема потрібних файлів: [%1]").arg(all)},
        {[&] { write(QDir(all).filePath(QStringLiteral("ZELVAN.sqlite")), QByteArray(8192, 'x')); },
         QStringLiteral("База даних на носії не читається")},
        {[&] {
             QFile::remove(QDir(all).filePath(QStringLiteral("ZELVAN.sqlite")));
             Database other(QDir(all).filePath(QStringLiteral("zelvan.sqlite")), Database::Mode::Create);
             other.exec(QStringLiteral("create table X (A integer)"));
         },
         QStringLiteral("База даних на носії не відповідає програмі")},
    };
    for (const Case& c : cases) {
        c.prepare();
        try {
            returnDataSet(dm, places, dataFolder(), now);
            ADD_FAILURE() << c.message.toStdString();
        } catch (const ExchangeError& e) {
            EXPECT_TRUE(e.message().startsWith(c.message)) << e.message().toStdString();
        }
        EXPECT_EQ(values(), before);
    }
    EXPECT_FALSE(QDir(QDir(places.dbDir).filePath(QStringLiteral("backup"))).exists());
}

TEST_F(Exchange, AnUpdateForTheSameOrganisationKeepsTheCard) {
    db().exec(QStringLiteral("update SORG set SOFT_NAME = 'mine@school.ua' where KOD_NAME = 'EMail'"));
    const int before = values();
    makeUpdate(QStringLiteral("update.zip"),
               [](const Database& u) {
                   u.exec(QStringLiteral("update S_FORM set NAME_FORM = 'Нова назва' where KOD_FORM = 101"));
                   u.exec(QStringLiteral("update DANPER set KOD_DANPER = 42, NACHALO = '2026-10-01'"));
                   u.exec(QStringLiteral("delete from ZNACHENIE"));
                   u.exec(QStringLiteral("drop table ZNACHENIE"));  // values are not part of an update
               },
               {{QStringLiteral("F9.docx"), "new template"},
                {QStringLiteral("docs/Instrukcia_ROBOTA.doc"), "instruction"}});
    const ExchangeOutcome out = applyStructureUpdate(dm, places, updateFolder(), now, locale);
    EXPECT_TRUE(out.cardKept);
    EXPECT_EQ(out.failedFiles, QStringList());
    EXPECT_EQ(email(), QStringLiteral("mine@school.ua"));
    EXPECT_EQ(scalar(db(), QStringLiteral("select NAME_FORM from S_FORM where KOD_FORM = 101")).toString(), QStringLiteral("Нова назва"));
    EXPECT_EQ(values(), before);  // the archive brought no values: they stay
    EXPECT_EQ(read(QDir(places.dbDir).filePath(QStringLiteral("F9.docx"))), "new template");
    EXPECT_EQ(read(QDir(places.dbDir).filePath(QStringLiteral("update.zip"))).left(2), "PK");  // the archive's copy
    const QString instruction = QDir(places.programDir).filePath(QStringLiteral("Instrukcia_ROBOTA.doc"));
    EXPECT_EQ(read(instruction), "instruction");
    EXPECT_FALSE(QFileInfo(instruction).permissions() & QFileDevice::WriteOwner);  // read-only
    EXPECT_TRUE(QFileInfo::exists(out.backupPath));
    const ConfigFile config = ConfigFile::load(places.configPath);
    EXPECT_EQ(config.value(QStringLiteral("Dir")), QStringLiteral("/opt/zelvan"));
    EXPECT_EQ(config.value(QStringLiteral("FTP_KOD_OBJ")), QStringLiteral("31245"));
    EXPECT_EQ(config.value(QStringLiteral("FTP_KOD_STAN")), QStringLiteral("1"));
    EXPECT_EQ(config.value(QStringLiteral("FTP_KOD_DANPER")), QStringLiteral("42"));
    EXPECT_EQ(config.value(QStringLiteral("LocPeriod")), QStringLiteral("01.10.2026"));
    // No staging folder is left behind.
    EXPECT_EQ(QDir(places.dbDir).entryList({QStringLiteral(".update-*")}, QDir::Dirs | QDir::Hidden), QStringList());
}

TEST_F(Exchange, AnUpdateForAnotherOrganisationBringsItsCard) {
    for (const bool rar5 : {false, true}) {
        QDir(updateFolder()).removeRecursively();
        makeUpdate(QStringLiteral("update.rar"),
                   [](const Database& u) {
                       u.exec(QStringLiteral("update SORG set SOFT_NAME = '77777' where SYS_NAME = 'Kod_Obj'"));
                       u.exec(QStringLiteral("update SORG set SOFT_NAME = 'other@x.ua' where KOD_NAME = 'EMail'"));
                   },
                   {}, rar5);
        const ExchangeOutcome out = applyStructureUpdate(dm, places, updateFolder(), now, locale);
        EXPECT_FALSE(out.cardKept);
        EXPECT_EQ(email(), QStringLiteral("other@x.ua"));
        EXPECT_EQ(ConfigFile::load(places.configPath).value(QStringLiteral("FTP_KOD_OBJ")), QStringLiteral("77777"));
        // Back to the first organisation for the second round.
        db().exec(QStringLiteral("update SORG set SOFT_NAME = '31245' where SYS_NAME = 'Kod_Obj'"));
    }
}

TEST_F(Exchange, AnUpdateWithoutACardKeepsOursAndTheFirstArchiveCounts) {
    db().exec(QStringLiteral("update SORG set SOFT_NAME = 'mine@school.ua' where KOD_NAME = 'EMail'"));
    makeUpdate(QStringLiteral("a-update.7z"), [](const Database& u) {
        u.exec(QStringLiteral("drop table SORG"));
        u.exec(QStringLiteral("update S_FORM set NAME_FORM = 'З першого архіву' where KOD_FORM = 101"));
    });
    makeUpdate(QStringLiteral("b-update.zip"),
               [](const Database& u) { u.exec(QStringLiteral("update S_FORM set NAME_FORM = 'З другого' where KOD_FORM = 101")); });
    const ExchangeOutcome out = applyStructureUpdate(dm, places, updateFolder(), now, locale);
    EXPECT_TRUE(out.cardKept);
    EXPECT_EQ(email(), QStringLiteral("mine@school.ua"));
    EXPECT_EQ(scalar(db(), QStringLiteral("select NAME_FORM from S_FORM where KOD_FORM = 101")).toString(),
              QStringLiteral("З першого архіву"));
}

TEST_F(Exchange, ABadUpdateChangesNothing) {
    const QByteArray configBefore = read(places.configPath);
    const QString formName = scalar(db(), QStringLiteral("select NAME_FORM from S_FORM where KOD_FORM = 101")).toString();
    struct Case {
        const char* what;
        std::function<void()> prepare;
        QString message;
    };
    const Case cases[] = {
        {"no archive", [] {}, QStringLiteral("На електронному носії немає потрібного файла!")},
        {"no database",
         [&] { write(QDir(updateFolder()).filePath(QStringLiteral("u.zip")), writeZip({{QStringLiteral("F1.docx"), "x"}})); },
         QStringLiteral("В архіві \"u.zip\" немає бази даних zelvan.sqlite; нічого не змінено.")},
        {"other schema",
         [&] {
             QTemporaryDir t;
             {
                 Database other(t.filePath(QStringLiteral("zelvan.sqlite")), Database::Mode::Create);
                 other.exec(QStringLiteral("create table S_FORM (KOD_FORM integer)"));
                 other.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
             }
             write(QDir(updateFolder()).filePath(QStringLiteral("u.zip")),
                   writeZip({{QStringLiteral("zelvan.sqlite"), read(t.filePath(QStringLiteral("zelvan.sqlite")))}}));
         },
         QStringLiteral("База даних в архіві \"u.zip\" не відповідає програмі (S_FORM.NOMER_FORM")},
        {"truncated",
         [&] {
             const QString path = makeUpdate(QStringLiteral("u.zip"), [](const Database&) {});
             const QByteArray whole = read(path);
             write(path, whole.left(whole.size() / 2));
         },
         QStringLiteral("пошкоджений або неповний")},
        {"escaping path",
         [&] {
             write(QDir(updateFolder()).filePath(QStringLiteral("u.rar")),
                   makeRar5({{QStringLiteral("../../evil.doc"), "x"}, {QStringLiteral("zelvan.sqlite"), "y"}}));
         },
         QStringLiteral("виходить за межі папки розпакування")},
    };
    for (const Case& c : cases) {
        QDir(updateFolder()).removeRecursively();
        QDir().mkpath(updateFolder());
        c.prepare();
        try {
            applyStructureUpdate(dm, places, updateFolder(), now, locale);
            ADD_FAILURE() << c.what;
        } catch (const ZelvanError& e) {
            EXPECT_TRUE(e.message().contains(c.message)) << c.what << ": " << e.message().toStdString();
        }
        EXPECT_EQ(read(places.configPath), configBefore) << c.what;
        EXPECT_EQ(scalar(db(), QStringLiteral("select NAME_FORM from S_FORM where KOD_FORM = 101")).toString(), formName) << c.what;
        EXPECT_FALSE(QFileInfo::exists(QDir(places.dbDir).filePath(QStringLiteral("../evil.doc")))) << c.what;
        EXPECT_FALSE(QFileInfo::exists(QDir(places.dbDir).filePath(QStringLiteral("evil.doc")))) << c.what;
        EXPECT_EQ(QDir(places.dbDir).entryList({QStringLiteral(".update-*")}, QDir::Dirs | QDir::Hidden), QStringList()) << c.what;
    }
}
