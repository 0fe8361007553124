#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/error.h"
#include "platform/files.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

void touch(const QString& path, const QByteArray& bytes = "x") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(Files, FindsAFileWhateverTheLetterCase) {
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("saveint.FRF")));
    touch(dir.filePath(QStringLiteral("Шаблон_2Д.docx")));
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("SaveInt.frf")), dir.filePath(QStringLiteral("saveint.FRF")));
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("шаблон_2д.DOCX")),
              dir.filePath(QStringLiteral("Шаблон_2Д.docx")));
    EXPECT_TRUE(fileExistsIgnoringCase(dir.path(), QStringLiteral("SAVEINT.frf")));
    EXPECT_FALSE(fileExistsIgnoringCase(dir.path(), QStringLiteral("SaveExtAll.frf")));
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("SaveExtAll.frf")),
              dir.filePath(QStringLiteral("SaveExtAll.frf")));
}

TEST(Files, AtomicWriteReplacesWholeOrReportsWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    touch(path, "old");
    writeFileAtomically(path, "new contents");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("new contents"));

    try {
        writeFileAtomically(dir.filePath(QStringLiteral("missing/b.ini")), "x");
        FAIL() << "no error";
    } catch (const ZelvanError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не вдалося записати файл"))) << e.message().toStdString();
    }
}
