#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>
#include <cmath>

#include "app/error.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

class DemoSet : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), true);
        dm.pointAt(dir.path());
        dm.probe();
    }
    QVariant scalar(const QString& sql, std::initializer_list<Binding> bindings = {}) {
        QSqlQuery q = dm.db().exec(sql, bindings);
        return q.next() ? q.value(0) : QVariant();
    }
    QTemporaryDir dir;
    TDM dm;
};

}  // namespace

TEST_F(DemoSet, CardPeriodsAndTypesAreThere) {
    EXPECT_EQ(scalar(QStringLiteral("select SOFT_NAME from SORG where SYS_NAME = 'Kod_Obj'")).toInt(), 31245);
    EXPECT_EQ(scalar(QStringLiteral("select SOFT_NAME from SORG where SYS_NAME = 'Kod_Stan'")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select SYS_NAME from SORG where KOD_NAME = 'EMail'")).toString(),
              QStringLiteral("E-Mail (обов`язкове заповнення)"));
    EXPECT_EQ(scalar(QStringLiteral("select SOFT_KOD from SORG where KOD_NAME = :k"), {{QStringLiteral(":k"), QStringLiteral("за ЄДРПОУ")}})
                  .toString(),
              QStringLiteral("02145678"));
    EXPECT_EQ(scalar(QStringLiteral("select SOFT_NAME from SORG where SYS_NAME = 'Форма фінансування'")).toString(),
              QStringLiteral("Бюджетна"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from LocDANPER")).toInt(), 4);
    EXPECT_EQ(scalar(QStringLiteral("select PERIOD from LocDANPER order by NACHALO")).toString(),
              QStringLiteral("I квартал 2026 року"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from TYPE_ZVITNOST")).toInt(), 2);
}

TEST_F(DemoSet, ExpenseCodesValidOnThePeriodStartLeaveOneOut) {
    const QString start = scalar(QStringLiteral("select NACHALO from DANPER")).toString();
    const int valid = scalar(QStringLiteral("select count(*) from KLASIFIK where KOD_PARENT = 1 and :d between DT_POCHATOK and DT_ZAKIN"),
                             {{QStringLiteral(":d"), start}})
                          .toInt();
    const int all = scalar(QStringLiteral("select count(*) from KLASIFIK where KOD_PARENT = 1")).toInt();
    EXPECT_EQ(all - valid, 1);
    for (int parent : {1, 2, 3, 1000}) {
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from KLASIFIK where KOD_PARENT = :p and ID = 0"),
                         {{QStringLiteral(":p"), parent}})
                      .toInt(),
                  1)
            << parent;
    }
}

TEST_F(DemoSet, FormsCoverEveryFeatureTheWindowsUse) {
    const auto count = [&](const char* where) {
        return scalar(QStringLiteral("select count(*) from S_FORM where ") + QString::fromLatin1(where)).toInt();
    };
    EXPECT_GE(count("KOD_TYPE_ZVITNOST = 1 and KOD_TYPE_FORM <> 3"), 3);
    EXPECT_GE(count("KOD_TYPE_ZVITNOST = 2 and KOD_TYPE_FORM <> 3"), 2);
    EXPECT_EQ(count("KOD_MAIN_FORM is not null"), 2);
    EXPECT_EQ(count("KOD_TYPE_FORM = 3 and PRIZNAK_ZELVAN = 1"), 2);
    for (int r : {0, 1, 2}) EXPECT_GE(count(QStringLiteral("ROUNDTOWHOLE = %1").arg(r).toLatin1()), 1) << r;
    for (const char* cell : {"*****", "Vexa_Formula", "IntegerCell"}) {
        EXPECT_GE(scalar(QStringLiteral("select count(*) from DISABLE_CELL where NAME_CELL = :n"),
                         {{QStringLiteral(":n"), QString::fromLatin1(cell)}})
                      .toInt(),
                  1)
            << cell;
    }
    for (int k : {1, 2, 3})
        EXPECT_GE(scalar(QStringLiteral("select count(*) from DISABLE_CELL where KOD_KOORD = :k"), {{QStringLiteral(":k"), k}}).toInt(), 1);
    for (int p : {1, 2})
        EXPECT_GE(scalar(QStringLiteral("select count(*) from S_ROW where IS_POS = :p"), {{QStringLiteral(":p"), p}}).toInt(), 1);
    // Every form has heading rows 1 and 2 and a heading column 1, as the grid needs.
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from S_FORM f where not exists (select * from S_ROW r where "
                                    "r.KOD_FORM = f.KOD_FORM and r.NOMER_GRID = 2 and r.KOD_PRIZN = 1)"))
                  .toInt(),
              0);
}

TEST_F(DemoSet, FormulasHaveEverySignAndFeature) {
    for (const char* znak : {"=", ">=", "<=", " >= "}) {
        EXPECT_GE(scalar(QStringLiteral("select count(*) from FORMULA_NEW where ZNAK = :z"), {{QStringLiteral(":z"), QString::fromLatin1(znak)}})
                      .toInt(),
                  1)
            << znak;
    }
    EXPECT_GE(scalar(QStringLiteral("select count(*) from FORMULA_NEW where IS_ABS = 1")).toInt(), 1);
    EXPECT_GE(scalar(QStringLiteral("select count(*) from FORMULA_NEW where NAME like '%#%@%'")).toInt(), 1);
    // Dependent formulas come in pairs that name each other.
    EXPECT_GE(scalar(QStringLiteral("select count(*) from FORMULA_NEW a join FORMULA_NEW b on a.DEPEND = b.KOD_FORMULA "
                                    "and b.DEPEND = a.KOD_FORMULA"))
                  .toInt(),
              2);
    EXPECT_EQ(dm.quViewKontr(41, 1).size(), 3u);
    EXPECT_EQ(dm.quViewKontr(41, 2).size(), 2u);
}

TEST_F(DemoSet, StoredTotalsAgreeButForTheDeliberateDeviations) {
    // Form 2d: the cash total (column 5, row 3) is typed 100 too high; the others agree.
    const ValueKeys generalFund{101, 41, 31245, 1, 1000, 2001, 3000, 4002};
    QMap<QPair<int, int>, double> v;
    for (const StoredCell& c : dm.quZnKontr(generalFund)) v[{c.col, c.row}] = c.value.value_or(0);
    for (int col : {3, 4, 5}) {
        double sum = 0;
        for (int row = 4; row <= 15; ++row) sum += v.value({col, row});
        const double difference = v.value({col, 3}) - sum;
        EXPECT_NEAR(difference, col == 5 ? 100.0 : 0.0, 0.001) << col;
    }
    // The cross-form sums of form 4-2d agree over both kinds of funds.
    EXPECT_NEAR(*dm.quRazrah_Flag(104, 3, 5, 41, 31245), *dm.quRazrah_Flag(103, 5, 3, 41, 31245), 0.001);
    EXPECT_NEAR(*dm.quRazrah_Flag(104, 3, 4, 41, 31245), *dm.quRazrah_Flag(103, 4, 3, 41, 31245), 0.001);
}

TEST(DemoFolder, RefusesToOverwriteAnExistingDatabase) {
    QTemporaryDir dir;
    createDatabaseFolder(dir.path(), true);
    EXPECT_THROW(createDatabaseFolder(dir.path(), false), ZelvanError);
    TDM dm;
    dm.pointAt(dir.path());
    dm.probe();
    QSqlQuery q = dm.db().exec(QStringLiteral("select count(*) from ZNACHENIE"));
    ASSERT_TRUE(q.next());
    EXPECT_GT(q.value(0).toInt(), 100);
}
