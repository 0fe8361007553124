#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QTemporaryDir>

#include "formula/controls.h"
#include "formula/substitution.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "support/printers.h"

using namespace zelvan;

TEST(ReportNumber, AtMostTheGivenDecimals) {
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {{1234.5, 3, "1234,5"}, {1.0006, 3, "1,001"}, {1.503, 2, "1,5"}, {-5, 3, "-5"}, {0.0001, 3, "0"},
                 {-0.0001, 3, "0"},     {1777620.54, 3, "1777620,54"}, {2.0 / 3, 2, "0,67"}, {1e20, 2, "100000000000000000000"}};
    for (const auto& c : cases) EXPECT_EQ(reportNumber(c.value, c.decimals, u','), QString::fromUtf8(c.text)) << c.value;
    EXPECT_EQ(reportNumber(1234.5, 3, u'.'), QStringLiteral("1234.5"));
}

namespace {

// Form 5 of the structure period 41: rows 1 to 6, columns 1 to 3, row 4 sign-inverted;
// each case writes its formulas and values.
class FormControl : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), false);
        dm.pointAt(dir.path());
        dm.probe();
        loadTableText(dm.db(), QStringLiteral("S_ROW"),
                      "KOD_FORM\tNOMER_ROW\tNOMER_GRID\tKOD_PRIZN\tIS_POS\n5\t3\t3\t0\t0\n5\t4\t4\t0\t2\n5\t5\t5\t0\t0\n");
        loadTableText(dm.db(), QStringLiteral("DISABLE_CELL"),
                      "KOD_FORM\tNOMER_COL\tNOMER_ROW\tNAME_CELL\tKOD_PRIZN\tKOD_KOORD\n"
                      "5\t0\t3\tДоходи\t0\t1\n5\t0\t4\tВидатки\t0\t1\n5\t3\t0\tЗвітний рік\t0\t2\n");
        loadTableText(dm.db(), QStringLiteral("SORG"),
                      "SYS_NAME\tSOFT_NAME\tKOD_NAME\tSOFT_KOD\nКод\tТОВ \"Сонце\"\tза ЄДРПОУ\t12345678\n");
    }

    void form(int type, int checkNegative) {
        dm.db().exec(QStringLiteral("delete from S_FORM"));
        dm.db().exec(QStringLiteral("insert into S_FORM (KOD_FORM, NOMER_FORM, KOD_DANPER, KOD_TYPE_ZVITNOST, "
                                    "CHECK_NEGATIVE) values (5, 5, 41, :t, :c)"),
                     {{QStringLiteral(":t"), type}, {QStringLiteral(":c"), checkNegative}});
    }

    void formula(int id, int row, const QString& name, const QString& znak = QStringLiteral("="), int isAbs = 0,
                 const QString& depend = {}) {
        dm.db().exec(QStringLiteral("insert into FORMULA_NEW (KOD_FORMULA, KOD_FORM, KOD_DANPER, NOMER_COL, NOMER_ROW, "
                                    "NAME, NAME_LONG, DEPEND, IS_ABS, ZNAK) values (:id, 5, 41, 3, :row, :name, :long, "
                                    ":depend, :abs, :znak)"),
                     {{QStringLiteral(":id"), id},
                      {QStringLiteral(":row"), row},
                      {QStringLiteral(":name"), name},
                      {QStringLiteral(":long"), QStringLiteral("Формула %1").arg(id)},
                      {QStringLiteral(":depend"), depend.isEmpty() ? QVariant() : QVariant(depend)},
                      {QStringLiteral(":abs"), isAbs},
                      {QStringLiteral(":znak"), znak}});
    }

    void value(int row, double v, int col = 3, int obj = 1) {
        dm.db().exec(QStringLiteral("insert into ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_STAN, KOD_DANPER, KOD_K, KOD_F, KOD_Z, "
                                    "KOD_G, NOMER_COL, NOMER_ROW, ZNACHENIE, CHECK_KONTROL) values (5, :obj, 1, 41, 1, 2, 3, "
                                    "4, :col, :row, :v, 1)"),
                     {{QStringLiteral(":obj"), obj}, {QStringLiteral(":col"), col}, {QStringLiteral(":row"), row}, {QStringLiteral(":v"), v}});
    }

    void reset() {
        dm.db().exec(QStringLiteral("delete from FORMULA_NEW"));
        dm.db().exec(QStringLiteral("delete from ZNACHENIE"));
    }

    FormControlResult run(QChar separator = u'.') { return runFormControl(dm, {5, 41, 1, 1, 1, 2, 3, 4}, separator); }

    QTemporaryDir dir;
    TDM dm;
};

}  // namespace

TEST_F(FormControl, NoFormulasAndAllAgreeing) {
    form(1, 1);
    EXPECT_EQ(run().outcome, ControlOutcome::NoFormulas);
    value(3, 30);
    value(4, 10, 2);
    value(4, 20, 1);
    formula(1, 3, QStringLiteral("5,1,4,+5,2,4,"));
    const FormControlResult agree = run();
    EXPECT_EQ(agree.outcome, ControlOutcome::NoDeviations);
    EXPECT_EQ(agree.formulas, 1);
    EXPECT_EQ(agree.organisation.code, QStringLiteral("12345678"));
    EXPECT_EQ(agree.organisation.name, QStringLiteral("ТОВ \"Сонце\""));

    // A total off by 0.01: one line with the stored total and the sum.
    reset();
    value(3, 30.01);
    value(4, 10, 2);
    value(4, 20, 1);
    formula(1, 3, QStringLiteral("5,1,4,+5,2,4,"));
    const FormControlResult off = run(u',');
    ASSERT_EQ(off.lines.size(), 1u);
    const auto& line = off.lines[0].columns;
    EXPECT_EQ(line[0], QStringLiteral("рядок Доходи, графа Звітний рік"));
    EXPECT_EQ(line[1], QStringLiteral("30,01"));
    EXPECT_EQ(line[2], QStringLiteral("Формула 1"));
    EXPECT_EQ(line[3], QStringLiteral("(20)+(10)="));
    EXPECT_EQ(line[4], QStringLiteral("30"));
    EXPECT_EQ(off.lines[0].col, 3);
    EXPECT_EQ(off.lines[0].row, 3);
}

TEST_F(FormControl, RelationSignsAndSignHandling) {
    struct Case {
        const char* name;
        int checkNegative;
        int row;
        double stored;
        const char* computed;  // a literal formula gives the computed value
        const char* znak;
        int isAbs;
        bool line;
        const char* shownStored;
    };
    const Case cases[] = {
        {">= computed above", 1, 3, 10, "#12@", ">=", 0, true, "10"},
        {">= computed below", 1, 3, 12, "#10@", ">=", 0, false, ""},
        {"<= computed below", 1, 3, 12, "#10@", "<=", 0, true, "12"},
        {"<= computed above", 1, 3, 10, "#12@", "<=", 0, false, ""},
        {"blanks around >=", 1, 3, 10, "#12@", " >= ", 0, true, "10"},
        {"empty sign is =", 1, 3, 10, "#12@", "", 0, true, "10"},
        {"unknown sign never", 1, 3, 10, "#12@", "<>", 0, false, ""},
        {"signs ignored", 0, 3, -5, "#5@", "=", 0, false, ""},
        {"abs, both -5", 1, 3, -5, "#-5@", "=", 1, true, "-5"},
        {"abs, stored 5", 1, 3, 5, "#-5@", "=", 1, false, ""},
        {"inverted row, -5", 1, 4, 5, "#-5@", "=", 0, false, ""},
        {"inverted row, 5", 1, 4, 5, "#5@", "=", 0, true, "-5"},
        {"within 0.001", 1, 3, 10, "#10.0009@", "=", 0, false, ""},
    };
    for (const Case& c : cases) {
        reset();
        form(1, c.checkNegative);
        value(c.row, c.stored);
        formula(1, c.row, QString::fromUtf8(c.computed), QString::fromUtf8(c.znak), c.isAbs);
        const FormControlResult r = run();
        ASSERT_EQ(r.lines.size(), c.line ? 1u : 0u) << c.name;
        if (c.line) {
            EXPECT_EQ(r.lines[0].columns[1], QString::fromUtf8(c.shownStored)) << c.name;
        }
    }
}

TEST_F(FormControl, DependentPairs) {
    struct Case {
        const char* name;
        std::optional<double> a, b;  // stored in cells A (row 3) and B (row 5)
        const char* computedA;
        bool lineForA;
        bool aSelected;
    };
    const Case cases[] = {
        {"A empty, B filled: A not selected", std::nullopt, 8, "#7@", false, false},
        {"both empty, A computes 7", std::nullopt, std::nullopt, "#7@", true, true},
        {"both empty, A computes -7", std::nullopt, std::nullopt, "#-7@", false, true},
        {"both filled, A 5 computes -5", 5, 8, "#-5@", true, true},
        {"both filled, A 5 computes 6", 5, 8, "#6@", true, true},
        {"both filled, A -5 computes 5", -5, 8, "#5@", false, true},
    };
    for (const Case& c : cases) {
        reset();
        form(1, 1);
        if (c.a) value(3, *c.a);
        if (c.b) value(5, *c.b);
        formula(1, 3, QString::fromUtf8(c.computedA), QStringLiteral("="), 0, QStringLiteral("2"));
        formula(2, 5, QStringLiteral("5,3,5,"), QStringLiteral("="), 0, QStringLiteral("1"));  // B always agrees
        const FormControlResult r = run();
        EXPECT_EQ(r.formulas, c.aSelected ? 2 : 1) << c.name;
        const bool hasA = std::any_of(r.lines.begin(), r.lines.end(), [](const FormDeviation& l) { return l.row == 3; });
        EXPECT_EQ(hasA, c.lineForA) << c.name;
    }
    // A partner that is not among the form's formulas: never evaluated.
    reset();
    form(1, 1);
    formula(1, 3, QStringLiteral("#7@"), QStringLiteral("="), 0, QStringLiteral("99"));
    EXPECT_EQ(run().formulas, 0);
}

TEST_F(FormControl, ThousandsAndDecimalSeparators) {
    form(2, 1);
    value(3, 1500);
    value(5, 1500);
    formula(1, 3, QStringLiteral("5,3,5,"));
    EXPECT_EQ(run().outcome, ControlOutcome::NoDeviations);
    reset();
    value(3, 1500);
    value(5, 1500.5);
    formula(1, 3, QStringLiteral("5,3,5,"));
    EXPECT_EQ(run().outcome, ControlOutcome::NoDeviations);  // 1.5 against 1.5005

    reset();
    form(1, 1);
    value(3, 1234.5);
    value(5, 1234.5);
    formula(1, 3, QStringLiteral("5,3,5,*#2@"));
    const FormControlResult r = run(u',');
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0].columns[3], QStringLiteral("(1234,5)*2="));
    EXPECT_EQ(r.lines[0].columns[4], QStringLiteral("2469"));
}

TEST_F(FormControl, StoppingAtTheFirstFormula) {
    form(1, 1);
    formula(1, 3, QStringLiteral("#1@"));
    formula(2, 5, QStringLiteral("#1@"));
    int maximum = -1;
    const FormControlResult r = runFormControl(dm, {5, 41, 1, 1, 1, 2, 3, 4}, u'.',
                                               {[&](int m) { maximum = m; }, [](int) { return false; }});
    EXPECT_EQ(maximum, 1);
    EXPECT_EQ(r.outcome, ControlOutcome::Stopped);
    EXPECT_EQ(r.formulas, 1);
}

TEST_F(FormControl, AReferenceThatIsNoIntegerStopsTheRun) {
    form(1, 1);
    formula(1, 3, QStringLiteral("5,x,4,"));
    EXPECT_THROW(run(), IntegerConversionError);
}

namespace {

// Control forms 90 (type 1) and 91 (type 2) over forms 5 and 7 of organisation 1.
class CrossControl : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), false);
        dm.pointAt(dir.path());
        dm.probe();
        loadTableText(dm.db(), QStringLiteral("S_FORM"),
                      "KOD_FORM\tNOMER_FORM\tKOD_DANPER\tKOD_TYPE_ZVITNOST\tKOD_TYPE_FORM\tPRIZNAK_ZELVAN\n"
                      "90\t90\t41\t1\t3\t1\n91\t91.5\t41\t2\t3\t1\n");
    }
    void pair(int form, const QString& left, const QString& right, int absLeft = 0) {
        static int id = 0;
        for (const auto& [col, text, isAbs] : {std::tuple{2, left, absLeft}, std::tuple{3, right, 0}}) {
            dm.db().exec(QStringLiteral("insert into FORMULA_NEW (KOD_FORMULA, KOD_FORM, KOD_DANPER, NOMER_COL, NOMER_ROW, "
                                        "NAME, NAME_LONG, IS_ABS) values (:id, :form, 41, :col, 1, :name, :long, :abs)"),
                         {{QStringLiteral(":id"), ++id},
                          {QStringLiteral(":form"), form},
                          {QStringLiteral(":col"), col},
                          {QStringLiteral(":name"), text},
                          {QStringLiteral(":long"), col == 2 ? QStringLiteral("Ліва") : QStringLiteral("Права")},
                          {QStringLiteral(":abs"), isAbs}});
        }
    }
    void value(int form, int col, int row, double v, int k = 1) {
        dm.db().exec(QStringLiteral("insert into ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_STAN, KOD_DANPER, KOD_K, NOMER_COL, "
                                    "NOMER_ROW, ZNACHENIE, CHECK_KONTROL) values (:f, 1, 1, 41, :k, :c, :r, :v, 1)"),
                     {{QStringLiteral(":f"), form}, {QStringLiteral(":k"), k}, {QStringLiteral(":c"), col},
                      {QStringLiteral(":r"), row}, {QStringLiteral(":v"), v}});
    }
    CrossControlResult run(int type = 1, QChar separator = u'.') { return runCrossControl(dm, 41, 1, type, separator); }
    QTemporaryDir dir;
    TDM dm;
};

}  // namespace

TEST_F(CrossControl, PairsAgreeOrDeviate) {
    EXPECT_EQ(run().outcome, ControlOutcome::NoFormulas);
    pair(90, QStringLiteral("5,2,10,+5,2,11,"), QStringLiteral("7,3,1,"));
    value(5, 2, 10, 60);
    value(5, 2, 10, 40, 2);  // another classifier combination adds up
    value(5, 2, 11, 50);
    value(7, 3, 1, 150);
    EXPECT_EQ(run().outcome, ControlOutcome::NoDeviations);
    dm.db().exec(QStringLiteral("update ZNACHENIE set ZNACHENIE = 151 where KOD_FORM = 7"));
    const CrossControlResult r = run();
    ASSERT_EQ(r.lines.size(), 1u);
    const std::array<QString, 7> expected{QStringLiteral("90"),        QStringLiteral("Ліва"),         QStringLiteral("Права"),
                                          QStringLiteral("150"),       QStringLiteral("151"),          QStringLiteral("(100)+(50)="),
                                          QStringLiteral("(151)=")};
    EXPECT_EQ(r.lines[0], expected);
}

TEST_F(CrossControl, OnlyTheRightSideMakesAPairActive) {
    pair(90, QStringLiteral("5,2,10,"), QStringLiteral("7,3,1,"));
    value(5, 2, 10, 100);
    EXPECT_EQ(run().pairs, 0);  // form 7 has no values: skipped
    dm.db().exec(QStringLiteral("delete from ZNACHENIE"));
    value(7, 3, 1, 150);
    const CrossControlResult r = run();
    EXPECT_EQ(r.pairs, 1);
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0][3], QStringLiteral("0"));
}

TEST_F(CrossControl, AbsoluteSidesThousandsAndSeparators) {
    pair(90, QStringLiteral("5,2,10,"), QStringLiteral("7,3,1,"), 1);
    value(5, 2, 10, -150);
    value(7, 3, 1, 150);
    EXPECT_EQ(run().outcome, ControlOutcome::NoDeviations);

    pair(91, QStringLiteral("5,2,20,"), QStringLiteral("7,3,2,"));
    value(5, 2, 20, 1500);
    value(7, 3, 2, 1500.9);
    EXPECT_EQ(run(2).outcome, ControlOutcome::NoDeviations);
    dm.db().exec(QStringLiteral("update ZNACHENIE set ZNACHENIE = 1503 where KOD_FORM = 7 and NOMER_ROW = 2"));
    const CrossControlResult r = run(2, u',');
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0][0], QStringLiteral("91.5"));
    EXPECT_EQ(r.lines[0][3], QStringLiteral("1,5"));
    EXPECT_EQ(r.lines[0][4], QStringLiteral("1,5"));
    EXPECT_EQ(r.lines[0][6], QStringLiteral("(1,503)="));
}

TEST_F(CrossControl, AFormFieldThatIsNoIntegerEndsTheRunWithAMessage) {
    pair(90, QStringLiteral("5,2,10,"), QStringLiteral("x,2,10,"));
    value(5, 2, 10, 1);
    const CrossControlResult r = run();
    EXPECT_EQ(r.stopMessage, QStringLiteral("Ошибка в формуле: Права\n\rВведите формулу заново."));
    EXPECT_TRUE(r.lines.empty());
}

TEST_F(CrossControl, AnEmptyFormulaAsksForTheReportType) {
    pair(90, QString(), QStringLiteral("7,3,1,"));
    EXPECT_EQ(run().stopMessage, QStringLiteral("Вкажить форму звітності!"));
}

TEST_F(CrossControl, EscAtTheFirstPair) {
    pair(90, QStringLiteral("5,2,10,"), QStringLiteral("7,3,1,"));
    pair(90, QStringLiteral("5,2,10,"), QStringLiteral("7,3,1,"));
    const CrossControlResult r = runCrossControl(dm, 41, 1, 1, u'.', {{}, [](int) { return false; }});
    EXPECT_EQ(r.outcome, ControlOutcome::Stopped);
}
