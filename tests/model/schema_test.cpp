#include <gtest/gtest.h>

#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "app/error.h"
#include "model/database_folder.h"
#include "model/schema.h"
#include "platform/database.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

QStringList columnsOf(const Database& db, const QString& table) {
    QSqlQuery q = db.exec(QStringLiteral("select name from pragma_table_info(:t)"), {{QStringLiteral(":t"), table}});
    QStringList names;
    while (q.next()) names << q.value(0).toString();
    return names;
}

}  // namespace

TEST(Schema, EveryTableWithExactlyItsColumns) {
    QTemporaryDir dir;
    Database db(createDatabaseFolder(dir.path(), false), Database::Mode::OpenExisting);
    const QMap<QString, QStringList> expected{
        {QStringLiteral("ZNACHENIE"),
         {QStringLiteral("KOD_FORM"), QStringLiteral("KOD_OBJ"), QStringLiteral("KOD_STAN"), QStringLiteral("KOD_DANPER"),
          QStringLiteral("KOD_K"), QStringLiteral("KOD_F"), QStringLiteral("KOD_Z"), QStringLiteral("KOD_G"),
          QStringLiteral("NOMER_ROW"), QStringLiteral("NOMER_COL"), QStringLiteral("ZNACHENIE"),
          QStringLiteral("CHECK_KONTROL"), QStringLiteral("KOD_KLASIFIK")}},
        {QStringLiteral("S_FORM"),
         {QStringLiteral("KOD_FORM"), QStringLiteral("NOMER_FORM"), QStringLiteral("NAME_FORM"),
          QStringLiteral("KOD_DANPER"), QStringLiteral("KOD_TYPE_ZVITNOST"), QStringLiteral("KOD_TYPE_FORM"),
          QStringLiteral("KOD_MAIN_FORM"), QStringLiteral("FILE_NAME2"), QStringLiteral("ROUNDTOWHOLE"),
          QStringLiteral("CHECK_NEGATIVE"), QStringLiteral("PRIZNAK_ZELVAN")}},
        {QStringLiteral("S_COLUMN"),
         {QStringLiteral("KOD_FORM"), QStringLiteral("NOMER_COL"), QStringLiteral("NOMER_GRID"), QStringLiteral("KOD_PRIZN")}},
        {QStringLiteral("S_ROW"),
         {QStringLiteral("KOD_FORM"), QStringLiteral("NOMER_ROW"), QStringLiteral("NOMER_GRID"), QStringLiteral("KOD_PRIZN"),
          QStringLiteral("IS_POS")}},
        {QStringLiteral("DISABLE_CELL"),
         {QStringLiteral("KOD_FORM"), QStringLiteral("NOMER_COL"), QStringLiteral("NOMER_ROW"), QStringLiteral("NAME_CELL"),
          QStringLiteral("KOD_PRIZN"), QStringLiteral("KOD_KOORD")}},
        {QStringLiteral("FORMULA_NEW"),
         {QStringLiteral("KOD_FORMULA"), QStringLiteral("KOD_FORM"), QStringLiteral("KOD_DANPER"),
          QStringLiteral("NOMER_COL"), QStringLiteral("NOMER_ROW"), QStringLiteral("NAME"), QStringLiteral("NAME_LONG"),
          QStringLiteral("DEPEND"), QStringLiteral("IS_ABS"), QStringLiteral("ZNAK"), QStringLiteral("USER_KOREG"),
          QStringLiteral("DATE_KOREG")}},
        {QStringLiteral("DANPER"), {QStringLiteral("KOD_DANPER"), QStringLiteral("NACHALO")}},
        {QStringLiteral("LocDANPER"), {QStringLiteral("NACHALO"), QStringLiteral("PERIOD")}},
        {QStringLiteral("TYPE_ZVITNOST"), {QStringLiteral("KOD_TYPE_ZVITNOST"), QStringLiteral("NAME")}},
        {QStringLiteral("KLASIFIK"),
         {QStringLiteral("KOD"), QStringLiteral("ID"), QStringLiteral("NAME"), QStringLiteral("KOD_PARENT"),
          QStringLiteral("KOD_PARENT_2"), QStringLiteral("DT_POCHATOK"), QStringLiteral("DT_ZAKIN")}},
        {QStringLiteral("SORG"),
         {QStringLiteral("SYS_NAME"), QStringLiteral("SOFT_NAME"), QStringLiteral("KOD_NAME"), QStringLiteral("SOFT_KOD")}},
        {QStringLiteral("PRE_KLASIFIK"),
         {QStringLiteral("KOD_KLASIFIK"), QStringLiteral("KOD_K"), QStringLiteral("KOD_F"), QStringLiteral("KOD_Z"),
          QStringLiteral("KOD_G")}},
    };
    QSqlQuery tables = db.exec(QStringLiteral("select name from sqlite_master where type = 'table' order by name"));
    QStringList present;
    while (tables.next()) present << tables.value(0).toString();
    QStringList wanted = expected.keys();
    present.sort(Qt::CaseInsensitive);
    wanted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(present, wanted);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(columnsOf(db, it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(schemaProblems(db), QString());
}

TEST(Schema, ValuesAreFoundThroughTheCellIndex) {
    QTemporaryDir dir;
    Database db(createDatabaseFolder(dir.path(), false), Database::Mode::OpenExisting);
    QSqlQuery plan = db.exec(QStringLiteral(
        "explain query plan select ZNACHENIE from ZNACHENIE where KOD_FORM=1 and NOMER_COL=2 and NOMER_ROW=3 "
        "and KOD_DANPER=4 and KOD_OBJ=5"));
    QString detail;
    while (plan.next()) detail += plan.value(3).toString();
    EXPECT_TRUE(detail.contains(QStringLiteral("ZNACHENIE_CELL"))) << detail.toStdString();
}

TEST(Schema, MissingIndexesAreMadeAndTheNarrowFormulaIndexReplaced) {
    QTemporaryDir dir;
    Database db(createDatabaseFolder(dir.path(), false), Database::Mode::OpenExisting);
    db.exec(QStringLiteral("drop index FORMULA_NEW_CELL"));
    db.exec(QStringLiteral("drop index S_ROW_NUMBER"));
    db.exec(QStringLiteral("create index FORMULA_NEW_FORM on FORMULA_NEW (KOD_FORM, KOD_DANPER)"));
    ensureIndexes(db);
    QSqlQuery q = db.exec(QStringLiteral("select name from sqlite_master where type = 'index' order by name"));
    QStringList names;
    while (q.next()) names << q.value(0).toString();
    EXPECT_TRUE(names.contains(QStringLiteral("FORMULA_NEW_CELL")));
    EXPECT_TRUE(names.contains(QStringLiteral("S_ROW_NUMBER")));
    EXPECT_FALSE(names.contains(QStringLiteral("FORMULA_NEW_FORM")));

    // The formulas of one form are joined to its values cell by cell.
    QSqlQuery plan = db.exec(QStringLiteral(
        "explain query plan select f.KOD_FORMULA from FORMULA_NEW f join ZNACHENIE z on f.KOD_FORM = z.KOD_FORM and "
        "f.KOD_DANPER = z.KOD_DANPER and f.NOMER_COL = z.NOMER_COL and f.NOMER_ROW = z.NOMER_ROW and z.KOD_OBJ = 1 "
        "and z.KOD_STAN = 1 and z.KOD_F = 1 and z.KOD_K = 1 and z.KOD_Z = 1 and z.KOD_G = 1 where f.KOD_FORM = 8 and "
        "f.KOD_DANPER = 41"));
    QString detail;
    while (plan.next()) detail += plan.value(3).toString() + u'\n';
    EXPECT_TRUE(detail.contains(QStringLiteral("NOMER_COL=? AND NOMER_ROW=?"))) << detail.toStdString();
}

TEST(Schema, TableNamesIgnoreLetterCase) {
    QTemporaryDir dir;
    Database db(createDatabaseFolder(dir.path(), true), Database::Mode::OpenExisting);
    QSqlQuery upper = db.exec(QStringLiteral("select count(*) from ZNACHENIE"));
    QSqlQuery mixed = db.exec(QStringLiteral("select count(*) from Znachenie"));
    ASSERT_TRUE(upper.next() && mixed.next());
    EXPECT_GT(upper.value(0).toInt(), 0);
    EXPECT_EQ(upper.value(0), mixed.value(0));
}

TEST(Schema, MissingTablesAndColumnsAreNamed) {
    QTemporaryDir dir;
    Database db(QDir(dir.path()).filePath(QStringLiteral("x.sqlite")), Database::Mode::Create);
    db.exec(QStringLiteral("create table SORG (SYS_NAME text, SOFT_NAME text)"));
    const QString problems = schemaProblems(db);
    EXPECT_TRUE(problems.contains(QStringLiteral("немає таблиці ZNACHENIE")));
    EXPECT_TRUE(problems.contains(QStringLiteral("у таблиці SORG немає стовпця KOD_NAME")));
}

TEST(TableText, LoadsBoundValuesAndRefusesUnknownColumns) {
    QTemporaryDir dir;
    Database db(createDatabaseFolder(dir.path(), false), Database::Mode::OpenExisting);
    loadTableText(db, QStringLiteral("sorg"),
                  "SYS_NAME\tSOFT_NAME\tKOD_NAME\n"
                  "Kod_Obj\t12\t\n"
                  "Назва\tТОВ \"Ромашка\"'); drop table SORG; --\tA\\tB\\\\C\n");
    QSqlQuery q = db.exec(QStringLiteral("select SYS_NAME, SOFT_NAME, KOD_NAME from SORG order by rowid"));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.value(2).isNull());
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("ТОВ \"Ромашка\"'); drop table SORG; --"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("A\tB\\C"));

    EXPECT_THROW(loadTableText(db, QStringLiteral("SORG"), "SYS_NAME\tEVIL\nx\ty\n"), ZelvanError);
    EXPECT_THROW(loadTableText(db, QStringLiteral("NOPE"), "A\n1\n"), ZelvanError);
    EXPECT_THROW(loadTableText(db, QStringLiteral("SORG"), "SYS_NAME\tSOFT_NAME\nonly-one\n"), ZelvanError);
}
