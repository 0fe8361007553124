#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/archive_extract.h"
#include "platform/zip_archive.h"
#include "support/printers.h"
#include "support/test_files.h"
#include "support/rar_writer.h"

using namespace zelvan;
using namespace zelvan::test;

namespace {

enum class Kind { Zip, SevenZip, Rar4, Rar5 };

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Zip: return "zip";
        case Kind::SevenZip: return "7z";
        case Kind::Rar4: return "rar4";
        case Kind::Rar5: return "rar5";
    }
    return "";
}

QByteArray archiveOf(Kind kind, const std::vector<RarEntry>& entries) {
    if (kind == Kind::Rar4) return makeRar4(entries);
    if (kind == Kind::Rar5) return makeRar5(entries);
    std::vector<ZipEntry> files;
    for (const RarEntry& e : entries)
        if (!e.directory) files.push_back({e.name, e.data, {}});
    return writeArchive(files, kind == Kind::Zip ? ArchiveFormat::Zip : ArchiveFormat::SevenZip);
}

QString stored(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}


// Every file below a folder, relative, sorted.
QStringList filesBelow(const QString& folder) {
    QStringList found;
    QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (info.isDir()) {
            for (const QString& inner : filesBelow(info.filePath())) found << info.fileName() + u'/' + inner;
        } else {
            found << info.fileName();
        }
    }
    found.sort();
    return found;
}

}  // namespace

TEST(ExtractArchive, EveryKindUnpacksWithInnerPaths) {
    const QByteArray big(200000, 'z');
    for (Kind kind : {Kind::Zip, Kind::SevenZip, Kind::Rar4, Kind::Rar5}) {
        QTemporaryDir dir;
        const QString archive = stored(dir.filePath(QStringLiteral("update.bin")),  // the kind is told by content
                                      archiveOf(kind, {{QStringLiteral("forms"), {}, true},
                                                       {QStringLiteral("zelvan.sqlite"), big},
                                                       {QStringLiteral("forms/F1.docx"), QByteArrayLiteral("docx bytes")}}));
        const QString staging = dir.filePath(QStringLiteral("staging"));
        QDir().mkpath(staging);
        QStringList written = extractArchive(archive, staging);
        written.sort();
        EXPECT_EQ(written, (QStringList{QStringLiteral("forms/F1.docx"), QStringLiteral("zelvan.sqlite")})) << kindName(kind);
        EXPECT_EQ(read(staging + QStringLiteral("/zelvan.sqlite")), big) << kindName(kind);
        EXPECT_EQ(read(staging + QStringLiteral("/forms/F1.docx")), QByteArrayLiteral("docx bytes")) << kindName(kind);
    }
}

TEST(ExtractArchive, HostileAndBrokenArchivesAreRefusedAndWriteNothingOutside) {
    struct Case {
        const char* what;
        std::function<QByteArray()> make;
        QString message;
    };
    const std::vector<RarEntry> escape{{QStringLiteral("ok.txt"), "1"}, {QStringLiteral("../evil.txt"), "x"}};
    const std::vector<RarEntry> absolute{{QStringLiteral("/tmp/zelvan-evil.txt"), "x"}};
    std::vector<Case> cases;
    for (Kind kind : {Kind::Zip, Kind::SevenZip, Kind::Rar4, Kind::Rar5}) {
        cases.push_back({kindName(kind), [=] { return archiveOf(kind, escape); },
                         QStringLiteral("шлях \"../evil.txt\" виходить за межі папки розпакування")});
        cases.push_back({kindName(kind), [=] { return archiveOf(kind, absolute); },
                         QStringLiteral("виходить за межі папки розпакування")});
        cases.push_back({kindName(kind),
                         [=] {
                             const QByteArray whole = archiveOf(kind, {{QStringLiteral("a.bin"), QByteArray(5000, 'a')}});
                             return whole.left(whole.size() / 2);
                         },
                         QStringLiteral("пошкоджений або неповний")});
    }
    cases.push_back({"zip link", [] { return writeZip({{QStringLiteral("l"), {}, QStringLiteral("../../etc/passwd")}}); },
                     QStringLiteral("посилання \"l\" вказує за межі папки розпакування")});
    cases.push_back({"zip absolute link", [] { return writeZip({{QStringLiteral("d/l"), {}, QStringLiteral("/etc")}}); },
                     QStringLiteral("посилання \"d/l\" вказує за межі")});
    cases.push_back({"text", [] { return QByteArrayLiteral("just some text, not an archive"); },
                     QStringLiteral("не вдалося відкрити")});

    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString archive = stored(dir.filePath(QStringLiteral("update.rar")), c.make());
        const QString staging = dir.filePath(QStringLiteral("stage/inner"));
        QDir().mkpath(staging);
        try {
            extractArchive(archive, staging);
            ADD_FAILURE() << c.what << ": not refused";
        } catch (const ArchiveError& e) {
            EXPECT_TRUE(e.message().contains(c.message)) << c.what << ": " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(archive))) << c.what;
        }
        // Nothing beside the staging folder, and nothing at the absolute path.
        EXPECT_EQ(filesBelow(dir.filePath(QStringLiteral("stage"))).filter(QStringLiteral("evil")), QStringList()) << c.what;
        EXPECT_EQ(filesBelow(dir.path()).filter(QStringLiteral("evil")), QStringList()) << c.what;
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/zelvan-evil.txt"))) << c.what;
    }
}

TEST(ExtractArchive, LimitsStopAnArchiveThatGrowsTooLarge) {
    QTemporaryDir dir;
    const QString archive = stored(dir.filePath(QStringLiteral("bomb.zip")),
                                  writeZip({{QStringLiteral("a"), QByteArray(3 << 20, '\0')}, {QStringLiteral("b"), QByteArray(10, 'b')}}));
    QDir().mkpath(dir.filePath(QStringLiteral("s")));
    try {
        extractArchive(archive, dir.filePath(QStringLiteral("s")), {1 << 20, 100});
        FAIL();
    } catch (const ArchiveError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("понад 1 МБ"))) << e.message().toStdString();
    }
    try {
        extractArchive(archive, dir.filePath(QStringLiteral("s")), {qint64(1) << 30, 1});
        FAIL();
    } catch (const ArchiveError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("більше 1 файлів"))) << e.message().toStdString();
    }
}
