#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "formula/substitution.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

const ValueSet kValues({{3, 40, 1500.0}, {4, 40, -200.0}, {5, 41, std::nullopt}, {6, 41, 1234.5}, {3, 40, 99.0}});

QString substitute(const QString& formula, int reportType = 1, QChar separator = u'.') {
    QString out;
    SubstituteReferences(formula, out, kValues, reportType, separator);
    return out;
}

}  // namespace

TEST(ValueText, GeneralFormatWith15Digits) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {1500, "1500"},
        {-200, "-200"},
        {1234.5, "1234.5"},
        {1.5, "1.5"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456789012345, "123456789012345"},
        {999999999999999, "999999999999999"},
        {1e15, "1E15"},
        {1e20, "1E20"},
        {-1.5e20, "-1.5E20"},
        {0.00001, "0.00001"},
        {0.000012345, "0.000012345"},
        {1.5e-6, "1.5E-6"},
        {-0.0000015, "-1.5E-6"},
        {1234567.891, "1234567.891"},
        {9.9999999999999999e14, "1E15"},
        {0.1, "0.1"},
    };
    for (const auto& c : cases) EXPECT_EQ(valueText(c.value, u'.'), QString::fromLatin1(c.text)) << c.value;
    EXPECT_EQ(valueText(1234.5, u','), QStringLiteral("1234,5"));
    EXPECT_EQ(valueText(-1.5e-6, u','), QStringLiteral("-1,5E-6"));
}

TEST(SubstituteReferences, EdgeCases) {
    EXPECT_EQ(substitute(QStringLiteral("12,3,40,+12,4,40,")), QStringLiteral("(1500)+(-200)"));
    EXPECT_EQ(substitute(QStringLiteral("(12,3,40,-12,4,40,)*#2@")), QStringLiteral("((1500)-(-200))*2"));
    EXPECT_EQ(substitute(QStringLiteral("12,5,40,")), QStringLiteral("(0)"));
    EXPECT_EQ(substitute(QStringLiteral("99,3,40,")), QStringLiteral("(1500)"));
    EXPECT_EQ(substitute(QStringLiteral(",3,40,")), QStringLiteral("(1500)"));
    EXPECT_EQ(substitute(QStringLiteral("12,3,40,"), 2), QStringLiteral("(1.5)"));
    EXPECT_EQ(substitute(QStringLiteral("12,6,41,"), 1, u','), QStringLiteral("(1234,5)"));
    EXPECT_EQ(substitute(QStringLiteral("12,6,41,"), 2, u','), QStringLiteral("(1,2345)"));
    EXPECT_EQ(substitute(QStringLiteral("12,5,41,")), QStringLiteral("(0)"));  // an empty stored value
    EXPECT_EQ(substitute(QString()), QString());
    EXPECT_EQ(substitute(QStringLiteral("#ABS@(12,4,40,)")), QStringLiteral("ABS((-200))"));
    EXPECT_EQ(substitute(QStringLiteral("#@12,3,40,")), QStringLiteral("(1500)"));
    // A "#" without its "@": the rest is copied as it stands and the substitution ends.
    EXPECT_EQ(substitute(QStringLiteral("12,3,40,*#1.5+12,4,40,")), QStringLiteral("(1500)*1.5+12,4,40,"));
    EXPECT_EQ(substitute(QStringLiteral("12,3,+40,")), QStringLiteral("(1500)"));  // a signed field is an integer
}

TEST(SubstituteReferences, FieldsThatAreNotIntegersFail) {
    for (const QString& bad : {QStringLiteral("12,x,40,"), QStringLiteral("12,3,4x,"), QStringLiteral("12,3,40"),
                               QStringLiteral("12,3"), QStringLiteral("12"), QStringLiteral("12,,40,"),
                               QStringLiteral("12, 3,40,"), QStringLiteral("12,3,99999999999,")}) {
        QString out;
        EXPECT_THROW(SubstituteReferences(bad, out, kValues, 1, u'.'), IntegerConversionError) << bad.toStdString();
    }
    try {
        substitute(QStringLiteral("12,x,40,"));
    } catch (const IntegerConversionError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("\"x\" не є цілим числом"))) << e.message().toStdString();
    }
}

namespace {

// Values of cells of forms 5 and 7 under two classifier combinations and two
// CHECK_KONTROL groups, for two organisations.
class FlagSums : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), false);
        dm.pointAt(dir.path());
        dm.probe();
        loadTableText(dm.db(), QStringLiteral("ZNACHENIE"),
                      "KOD_FORM\tKOD_OBJ\tKOD_STAN\tKOD_DANPER\tKOD_K\tKOD_F\tKOD_Z\tKOD_G\tNOMER_COL\tNOMER_ROW\tZNACHENIE\tCHECK_KONTROL\n"
                      "5\t1\t1\t41\t10\t20\t30\t40\t2\t10\t100\t1\n"
                      "5\t1\t1\t41\t11\t20\t30\t40\t2\t10\t50\t1\n"
                      "5\t1\t2\t41\t11\t21\t30\t40\t2\t12\t2500\t0\n"
                      "5\t2\t1\t41\t10\t20\t30\t40\t2\t10\t7777\t1\n"
                      "7\t1\t1\t41\t10\t20\t30\t40\t3\t1\t1500.5\t1\n"
                      "7\t1\t1\t41\t10\t20\t30\t40\t3\t2\t2\t0\n"
                      "7\t1\t1\t41\t11\t20\t30\t40\t3\t2\t3\t1\n");
    }
    QString run(const QString& formula, int reportType = 1, QChar separator = u'.') {
        QString out;
        SubstituteFlagSums(formula, out, dm, 41, 1, reportType, separator);
        return out;
    }
    QTemporaryDir dir;
    TDM dm;
};

}  // namespace

TEST_F(FlagSums, SumsOverCombinationsAndStates) {
    EXPECT_EQ(run(QStringLiteral("5,2,10,+5,2,11,")), QStringLiteral("(150)+(0)"));
    EXPECT_EQ(run(QStringLiteral("5,2,10,+")), QStringLiteral("(150)+"));
    EXPECT_EQ(run(QStringLiteral("5,2,10,")), QStringLiteral("(150)"));
    EXPECT_EQ(run(QStringLiteral("5,2,12,"), 2), QStringLiteral("(2.5)"));
    EXPECT_EQ(run(QStringLiteral("5,2,12,"), 2, u','), QStringLiteral("(2,5)"));
    EXPECT_EQ(run(QStringLiteral("5,2,10,+5,2,12,-7,3,1,"), 1), QStringLiteral("(150)+(2500)-(1500.5)"));
    // Parentheses are not recognised: the character after a reference joins, whatever it is.
    EXPECT_EQ(run(QStringLiteral("5,2,10,)")), QStringLiteral("(150))"));
}

TEST_F(FlagSums, DifferentCheckKontrolGroupsGiveTheFirstGroupOnly) {
    const QString text = run(QStringLiteral("7,3,2,"));
    EXPECT_TRUE(text == QStringLiteral("(2)") || text == QStringLiteral("(3)")) << text.toStdString();
}

TEST_F(FlagSums, BadFieldsFail) {
    for (const QString& bad : {QStringLiteral("x,2,10,"), QStringLiteral("5,2,y,"), QStringLiteral("5,2,10"),
                               QString(), QStringLiteral("5,2,10,+5")}) {
        QString out;
        EXPECT_THROW(SubstituteFlagSums(bad, out, dm, 41, 1, 1, u'.'), IntegerConversionError) << bad.toStdString();
    }
}
