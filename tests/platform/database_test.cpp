#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "app/error.h"
#include "platform/database.h"
#include "support/printers.h"

using namespace zelvan;

TEST(Database, OpeningNeverCreatesAMissingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("none.sqlite"));
    EXPECT_THROW(Database(path, Database::Mode::OpenExisting), DatabaseError);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(Database, CreatingRefusesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("db.sqlite"));
    { Database created(path, Database::Mode::Create); }
    EXPECT_THROW(Database(path, Database::Mode::Create), DatabaseError);
    EXPECT_NO_THROW(Database(path, Database::Mode::OpenExisting));
}

TEST(Database, AFileThatIsNotADatabaseIsAnErrorWithTheEnginesText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("garbage.sqlite"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'z'));
    f.close();
    try {
        Database db(path, Database::Mode::OpenExisting);
        FAIL() << "opened a garbage file";
    } catch (const DatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("not a database"))) << e.message().toStdString();
    }
}

TEST(Database, ATransactionThatFailsLeavesNothingWritten) {
    QTemporaryDir dir;
    Database db(dir.filePath(QStringLiteral("db.sqlite")), Database::Mode::Create);
    db.exec(QStringLiteral("create table T (A integer)"));
    db.exec(QStringLiteral("insert into T values (1)"));
    EXPECT_THROW(db.transaction([&] {
        db.exec(QStringLiteral("delete from T"));
        db.exec(QStringLiteral("insert into T values (:a)"), {{QStringLiteral(":a"), 2}});
        db.exec(QStringLiteral("insert into Missing values (3)"));
    }),
                 DatabaseError);
    QSqlQuery q = db.exec(QStringLiteral("select A from T"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_FALSE(q.next());
}

TEST(Database, BoundTextIsNeverReadAsSql) {
    QTemporaryDir dir;
    Database db(dir.filePath(QStringLiteral("db.sqlite")), Database::Mode::Create);
    db.exec(QStringLiteral("create table T (A text)"));
    const QString hostile = QStringLiteral("x\"); drop table T; --");
    db.exec(QStringLiteral("insert into T values (:a)"), {{QStringLiteral(":a"), hostile}});
    EXPECT_TRUE(db.hasTable(QStringLiteral("t")));
    QSqlQuery q = db.exec(QStringLiteral("select A from T"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), hostile);
}
