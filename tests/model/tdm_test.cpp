#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "app/error.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

// A reporting database with values of one cell under two classifier combinations,
// two states, two CHECK_KONTROL groups and another organisation and period.
class TdmTest : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), false);
        dm.pointAt(dir.path());
        dm.probe();
        const Database& db = dm.db();
        loadTableText(db, QStringLiteral("ZNACHENIE"),
                      "KOD_FORM\tKOD_OBJ\tKOD_STAN\tKOD_DANPER\tKOD_K\tKOD_F\tKOD_Z\tKOD_G\tNOMER_ROW\tNOMER_COL\tZNACHENIE\tCHECK_KONTROL\n"
                      "5\t100\t1\t41\t1\t2\t3\t4\t10\t2\t100\t1\n"
                      "5\t100\t1\t41\t9\t2\t3\t4\t10\t2\t50\t1\n"
                      "5\t100\t2\t41\t1\t2\t3\t4\t10\t2\t25\t1\n"
                      "5\t100\t1\t41\t1\t2\t3\t4\t11\t2\t\t1\n"
                      "5\t200\t1\t41\t1\t2\t3\t4\t10\t2\t1000\t1\n"
                      "5\t100\t1\t40\t1\t2\t3\t4\t10\t2\t2000\t1\n"
                      "6\t100\t1\t41\t1\t2\t3\t4\t1\t3\t7\t0\n"
                      "6\t100\t1\t41\t1\t2\t3\t4\t1\t3\t8\t0\n");
        loadTableText(db, QStringLiteral("S_FORM"),
                      "KOD_FORM\tNOMER_FORM\tNAME_FORM\tKOD_DANPER\tKOD_TYPE_ZVITNOST\tKOD_TYPE_FORM\tPRIZNAK_ZELVAN\n"
                      "90\t90\tКонтроль 1\t41\t1\t3\t1\n"
                      "91\t91\tКонтроль 2\t41\t2\t3\t1\n"
                      "5\t5\tФорма 5\t41\t1\t1\t0\n");
        loadTableText(db, QStringLiteral("FORMULA_NEW"),
                      "KOD_FORMULA\tKOD_FORM\tKOD_DANPER\tNOMER_COL\tNOMER_ROW\tNAME\tNAME_LONG\tIS_ABS\n"
                      "1\t90\t41\t2\t1\t5,2,10,+5,2,11,\tЛіва 1\t0\n"
                      "2\t90\t41\t3\t1\t6,3,1,\tПрава 1\t1\n"
                      "3\t90\t41\t2\t2\t5,2,10,\tЛіва 2\t\n"
                      "4\t90\t41\t3\t3\t6,3,1,\tБез пари\t0\n"
                      "5\t91\t41\t2\t1\t6,3,1,\tІнший тип\t0\n"
                      "6\t91\t41\t3\t1\t6,3,1,\tІнший тип\t0\n"
                      "7\t5\t41\t2\t1\t5,2,10,\tНе контрольна форма\t0\n"
                      "8\t5\t41\t3\t1\t5,2,10,\tНе контрольна форма\t0\n");
        loadTableText(db, QStringLiteral("DISABLE_CELL"),
                      "KOD_FORM\tNOMER_COL\tNOMER_ROW\tNAME_CELL\tKOD_PRIZN\n"
                      "5\t3\t4\tIntegerCell\t0\n"
                      "5\t5\t6\tIntegerCell\t0\n"
                      "5\t4\t4\t*****\t1\n"
                      "6\t3\t4\tIntegerCell\t0\n");
    }

    QTemporaryDir dir;
    TDM dm;
};

}  // namespace

TEST_F(TdmTest, ValueSetOfOneSelection) {
    const auto cells = dm.quZnKontr({5, 41, 100, 1, 1, 2, 3, 4});
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].col, 2);
    EXPECT_EQ(cells[0].row, 10);
    EXPECT_EQ(cells[0].value, 100.0);
    EXPECT_EQ(cells[1].row, 11);
    EXPECT_FALSE(cells[1].value.has_value());
    EXPECT_TRUE(dm.quZnKontr({5, 41, 100, 1, 7, 2, 3, 4}).empty());
}

TEST_F(TdmTest, FlagSumCoversEveryCombinationAndStateOfTheOrganisationAndPeriod) {
    EXPECT_EQ(dm.quRazrah_Flag(5, 2, 10, 41, 100), 175.0);
    EXPECT_EQ(dm.quRazrah_Flag(5, 2, 10, 41, 200), 1000.0);
    EXPECT_EQ(dm.quRazrah_Flag(5, 2, 10, 40, 100), 2000.0);
    EXPECT_EQ(dm.quRazrah_Flag(5, 2, 99, 41, 100), std::nullopt);  // no row
    EXPECT_EQ(dm.quRazrah_Flag(5, 2, 11, 41, 100), std::nullopt);  // an empty sum
    // Bound again and again, the one prepared statement gives each cell its own sum.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dm.quRazrah_Flag(6, 3, 1, 41, 100), 15.0);
        EXPECT_EQ(dm.quRazrah_Flag(5, 2, 10, 41, 100), 175.0);
    }
}

TEST_F(TdmTest, FlagSumTakesTheFirstCheckKontrolGroup) {
    loadTableText(dm.db(), QStringLiteral("ZNACHENIE"),
                  "KOD_FORM\tKOD_OBJ\tKOD_DANPER\tNOMER_COL\tNOMER_ROW\tZNACHENIE\tCHECK_KONTROL\n"
                  "7\t100\t41\t1\t1\t10\t0\n"
                  "7\t100\t41\t1\t1\t20\t1\n"
                  "7\t100\t41\t1\t1\t30\t1\n");
    const auto sum = dm.quRazrah_Flag(7, 1, 1, 41, 100);
    ASSERT_TRUE(sum.has_value());
    EXPECT_TRUE(*sum == 10.0 || *sum == 50.0) << *sum;
}

TEST_F(TdmTest, FormExistence) {
    EXPECT_TRUE(dm.quFormExist_Flag(5, 41, 100));
    EXPECT_TRUE(dm.quFormExist_Flag(5, 40, 100));
    EXPECT_FALSE(dm.quFormExist_Flag(5, 39, 100));
    EXPECT_FALSE(dm.quFormExist_Flag(7, 41, 100));
    EXPECT_FALSE(dm.quFormExist_Flag(6, 41, 200));
}

TEST_F(TdmTest, ControlPairsOfTheControlFormsOfTheTypeAndPeriod) {
    const auto pairs = dm.quViewKontr(41, 1);
    ASSERT_EQ(pairs.size(), 1u);
    const ControlPair& p = pairs[0];
    EXPECT_EQ(p.kodForm, 90);
    EXPECT_EQ(p.kodDanper, 41);
    EXPECT_EQ(p.name.toString(), QStringLiteral("5,2,10,+5,2,11,"));
    EXPECT_EQ(p.name1.toString(), QStringLiteral("6,3,1,"));
    EXPECT_EQ(p.nameLong.toString(), QStringLiteral("Ліва 1"));
    EXPECT_EQ(p.nameLong1.toString(), QStringLiteral("Права 1"));
    EXPECT_EQ(p.kodTypeZvitnost, 1);
    EXPECT_EQ(p.priznakZelvan, 1);
    EXPECT_EQ(p.isAbs.toInt(), 0);
    EXPECT_EQ(p.isAbs1.toInt(), 1);
    EXPECT_EQ(dm.quViewKontr(41, 2).size(), 1u);
    EXPECT_TRUE(dm.quViewKontr(40, 1).empty());
}

TEST_F(TdmTest, IntegerCellsOfAForm) {
    auto cells = dm.quIntegerCell(5);
    std::sort(cells.begin(), cells.end(), [](CellPos a, CellPos b) { return a.col < b.col; });
    EXPECT_EQ(cells, (std::vector<CellPos>{{3, 4}, {5, 6}}));
    EXPECT_TRUE(dm.quIntegerCell(99).empty());
}

TEST_F(TdmTest, CardAndFormListStatementsRun) {
    loadTableText(dm.db(), QStringLiteral("SORG"),
                  "SYS_NAME\tSOFT_NAME\nKod_Obj\t100\nKod_Stan\t1\nНазва організації\tЛіцей\n");
    QSqlQuery card = dm.db().exec(TDM::quSorgSql);
    QStringList shown;
    while (card.next()) shown << card.value(QStringLiteral("SYS_NAME")).toString();
    EXPECT_EQ(shown, QStringList{QStringLiteral("Назва організації")});
    QSqlQuery forms = dm.db().exec(TDM::quTempSql);
    int n = 0;
    while (forms.next()) ++n;
    EXPECT_EQ(n, 3);
}

TEST(TdmProbe, FailsWithAReasonForEveryKindOfWrongFolder) {
    QTemporaryDir dir;
    TDM dm;
    struct Case {
        const char* name;
        QString folder;
        QString reasonPart;
    };
    const QString empty = dir.filePath(QStringLiteral("empty"));
    QDir().mkpath(empty);
    const QString partial = dir.filePath(QStringLiteral("partial"));
    QDir().mkpath(partial);
    {
        Database db(QDir(partial).filePath(QStringLiteral("ZELVAN.SQLITE")), Database::Mode::Create);
        db.exec(QStringLiteral("create table SORG (SYS_NAME text)"));
    }
    const Case cases[] = {
        {"no folder given", QString(), QStringLiteral("не вказано")},
        {"missing folder", dir.filePath(QStringLiteral("none")), QStringLiteral("не існує")},
        {"no database file", empty, QStringLiteral("немає файлу бази даних")},
        {"other schema", partial, QStringLiteral("немає таблиці ZNACHENIE")},
    };
    for (const Case& c : cases) {
        dm.pointAt(c.folder);
        try {
            dm.probe();
            ADD_FAILURE() << c.name;
        } catch (const DatabaseError& e) {
            EXPECT_TRUE(e.message().contains(c.reasonPart)) << c.name << ": " << e.message().toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(QDir(empty).filePath(QStringLiteral("zelvan.sqlite"))));
}
