#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "formula/infix.h"

using namespace zelvan;

namespace {

struct Case {
    const char* text;
    double value;
    int position;
    const char* message;  // nullptr: not checked; "" for no failure
};

// Bit-for-bit equality, so that -0 and 0 differ and no rounding slips through.
bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void check(const Case& c) {
    const Evaluation e = EvaluateExpression(std::string_view(c.text));
    EXPECT_TRUE(sameBits(e.value, c.value)) << '"' << c.text << "\" gave " << e.value << " instead of " << c.value;
    EXPECT_EQ(e.failurePosition, c.position) << '"' << c.text << '"';
    if (c.message) {
        EXPECT_EQ(e.message(), std::string(c.message)) << '"' << c.text << '"';
    }
}

// 10 multiplied by itself n times, as the number scanner scales.
double tenTo(int n) {
    double s = 1;
    for (int i = 0; i < n; ++i) s = s * 10;
    return s;
}

}  // namespace

TEST(EvaluateExpression, EdgeCasesOfTheEvaluator) {
    const Case cases[] = {
        {"", 0, 1, "Error:  end of expression encountered where simple expression expected."},
        {"   ", 0, 4, "Error:  end of expression encountered where simple expression expected."},
        {"2+3*4", 14, 0, ""},
        {"(2+3)*4", 20, 0, ""},
        {"-2*3", -6, 0, ""},
        {"10-4-3", 3, 0, ""},
        {"8/4/2", 1, 0, ""},
        {" ( 1.5 + 2 ) ", 3.5, 0, ""},
        {"1.5e2", 150, 0, ""},
        {"1.5E+2", 150, 0, ""},
        {"2e-3", 2.0 * (1 / tenTo(3)), 0, ""},
        {"5.", 5, 3, "Error:  end of expression encountered where decimal part expected."},
        {".5", 0, 1, "Error:  function, unsigned number, or \"(\" expected."},
        {"1e38", 1, 5, "Error:  magnitude of exponent is too large."},
        {"1e37", tenTo(37), 0, ""},
        {"9e37", 9, 5, "Error:  constant is too big."},
        {"0.1e-37", 0, 0, ""},
        {"1e37+1e37", 0, 10, "Error:  overflow detected during addition."},
        {"1e20*1e20", 0, 10, "Error:  overflow detected during multiplication."},
        {"1e-20*1e-20", 0, 0, ""},
        {"7/0", 0, 4, "Error:  division by zero attempted."},
        {"0/7", 0, 0, ""},
        {"abs(-3)", 3, 0, ""},
        {"ABS (-3)", 3, 0, ""},
        {"Abs(0-3)", 3, 0, ""},
        {"SQRT(16)", 4, 0, ""},
        {"SQR(3)", 9, 0, ""},
        {"PI", 4 * std::atan(1.0), 0, ""},
        {"LN(0)", 0, 6, "Error:  argument to \"LN\" is other than positive."},
        {"SQRT(-1)", 0, 9, "Error:  argument to \"SQRT\" is negative."},
        {"ABS(1,2)", 0, 9, "Error:  extraneous argument supplied to function \"ABS\"."},
        {"MAX(1,2)", 0, 9, "Error:  the function \"MAX\" is unrecognized."},
        {"SQRT2", 0, 5, "Error:  argument to \"SQRT\" is missing."},
        {"2*-3", 2, 3, "Error:  function, unsigned number, or \"(\" expected."},
        {"2*(-3)", -6, 0, ""},
        {"(1", 1, 3, "Error:  end of expression encountered where \")\" was expected."},
        {"(1]", 1, 3, "Error:  expression not followed by \")\"."},
        {"1 2", 1, 3, "Error:  expression followed by garbage."},
    };
    for (const Case& c : cases) check(c);
}

TEST(EvaluateExpression, EveryFailureMessageAndPartialValue) {
    const Case cases[] = {
        {"5+", 5, 3, "Error:  end of expression encountered where term was expected."},
        {"-", 0, 2, "Error:  end of expression encountered where term was expected."},
        {"2*", 2, 3, "Error:  end of expression encountered where factor expected."},
        {"2*(3+", 2, 6, "Error:  end of expression encountered where term was expected."},
        {"(4+2", 6, 5, "Error:  end of expression encountered where \")\" was expected."},
        {"1.x", 1, 3, "Error:  decimal part of real number is missing."},
        {"3e", 3, 3, "Error:  end of expression encountered where exponent expected."},
        {"3e-", 3, 4, "Error:  end of expression encountered where exponent magnitude expected."},
        {"3ex", 3, 3, "Error:  nonnumeric exponent encountered."},
        {"1e99", 1, 5, "Error:  magnitude of exponent is too large."},
        {"ABS(1 2)", 0, 7, "Error:  comma missing from function arguments."},
        {"ABS(1", 0, 6, "Error:  \")\" to terminate function arguments is missing."},
        {"ABS", 0, 4, "Error:  argument to \"ABS\" is missing."},
        {"pi(1)", 0, 6, "Error:  extraneous argument supplied to function \"PI\"."},
        {"PI()", 0, 4, "Error:  function, unsigned number, or \"(\" expected."},
        {"ABS()", 0, 5, "Error:  function, unsigned number, or \"(\" expected."},
        {"exp(100)", 0, 9, "Error:  overflow detected while calculating \"EXP\"."},
        {"sqr(1e20)", 0, 10, "Error:  overflow detected during calculation of \"SQR\"."},
        {"-1e37-1e37", 0, 11, "Error:  overflow detected during subtraction."},
        {"-1e37+-1", -tenTo(37), 7, "Error:  function, unsigned number, or \"(\" expected."},
        {"(0-1e37)+(0-1e37)", 0, 18, "Error:  overflow detected during addition."},
        {"1e37-(0-1e37)", 0, 14, "Error:  overflow detected during subtraction."},
        {"1e30/1e-30", 0, 11, "Error:  overflow detected during division."},
        {"1e-30/1e30", 0, 0, ""},
        {"4+\t1", 4, 3, "Error:  function, unsigned number, or \"(\" expected."},
        {"1\t", 1, 2, "Error:  expression followed by garbage."},
        {"\xd0\x90", 0, 1, "Error:  function, unsigned number, or \"(\" expected."},
        {"2+abc(1)*3", 2, 9, "Error:  the function \"ABC\" is unrecognized."},
        {"1+2+", 3, 5, "Error:  end of expression encountered where term was expected."},
        {"7/0+5", 0, 4, "Error:  division by zero attempted."},
        {"- 3", -3, 0, ""},
        {"+3", 3, 0, ""},
        {"-(2+", 2, 5, "Error:  end of expression encountered where term was expected."},  // no sign on a failed term
    };
    for (const Case& c : cases) check(c);
}

TEST(EvaluateExpression, FunctionsUseTheCLibrary) {
    const Case cases[] = {
        {"ARCTAN(1)", std::atan(1.0), 0, ""},
        {"cos(0.5)", std::cos(0.5), 0, ""},
        {"SIN(2)", std::sin(2.0), 0, ""},
        {"exp(2)", std::exp(2.0), 0, ""},
        {"exp(0-100)", 0, 0, ""},
        {"ln(10)", std::log(10.0), 0, ""},
        {"sqrt(2)", std::sqrt(2.0), 0, ""},
        {"sqr(1e-20)", 0, 0, ""},
        {"sqr(0)", 0, 0, ""},
        {"sqr(0-4)", 16, 0, ""},
        {"ABS(ABS(0-2)*SQRT(9))", 6, 0, ""},
        {"ln(0-1)", 0, 8, "Error:  argument to \"LN\" is other than positive."},
    };
    for (const Case& c : cases) check(c);
}

TEST(EvaluateExpression, NumbersAreScannedInTheStatedOrder) {
    // The integer part is built digit by digit as value * 10 + d.
    double integer = 0;
    for (char d : std::string("123456789012345678901234567890")) integer = integer * 10 + (d - '0');
    check({"123456789012345678901234567890", integer, 0, ""});

    // The fraction adds factor * d with the factor divided by 10 per digit; a 40-digit
    // fraction comes out as that loop makes it, not as a correctly rounded reading.
    const std::string digits = "1234567890123456789012345678901234567891";
    double fraction = 0;
    double factor = 1;
    for (char d : digits) {
        factor = factor / 10;
        fraction = fraction + factor * (d - '0');
    }
    check({("0." + digits).c_str(), fraction, 0, ""});
    check({"0.1", 0.1, 0, ""});
    check({"0.3", 0.30000000000000004, 0, ""});  // 0.1 * 3: the scanner's own rounding

    // A number whose magnitude falls below -37 becomes 0, also without an exponent.
    check({"0.0000000000000000000000000000000000000001", 0, 0, ""});
    // The scale is repeated multiplication, and a negative exponent divides by it.
    check({"1.5e-6", 1.5 * (1 / tenTo(6)), 0, ""});
    check({"3e30", 3 * tenTo(30), 0, ""});
    check({"1e-37", 1 / tenTo(37), 0, ""});
    // An integer part past 1e36 cannot take another digit: the 39th digit fails and
    // the value of the first 38 stays.
    double big = 0;
    for (int i = 0; i < 38; ++i) big = big * 10 + (i == 0 ? 1 : 0);
    check({"100000000000000000000000000000000000000", big, 39, "Error:  constant is too big."});
    check({"10000000000000000000000000000000000000", big, 0, ""});
}

TEST(EvaluateExpression, LongTextsAreEvaluatedWhole) {
    std::string text = "1";
    for (int i = 0; i < 300; ++i) text += "+1";
    const Evaluation e = EvaluateExpression(std::string_view(text));
    EXPECT_EQ(e.value, 301);
    EXPECT_EQ(e.failurePosition, 0);

    std::string deep(500, '(');
    deep += "2";
    deep += std::string(500, ')');
    EXPECT_EQ(EvaluateExpression(std::string_view(deep)).value, 2);
}

TEST(EvaluateExpression, QStringTextsNonLatinCharactersFailWhereTheyStand) {
    EXPECT_EQ(EvaluateExpression(QStringLiteral("(1500)+(-200)")).value, 1300);
    const Evaluation e = EvaluateExpression(QStringLiteral("2+ж"));
    EXPECT_EQ(e.value, 2);
    EXPECT_EQ(e.failurePosition, 3);
}
