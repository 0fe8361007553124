#include "formula/infix.h"

#include <cmath>
#include <cstring>

namespace zelvan {

namespace {

constexpr double kLimit = 1e37;       // the largest magnitude any step may reach
constexpr double kIntegerLimit = 1e36;  // an integer part above this cannot take a digit more

// Safe bounds inside which a product, quotient or scaled number certainly has a
// decimal magnitude within (-37, 37), so that the logarithms need not be taken: the
// guard's decision is the same, and the result is the plain operation.
constexpr double kSafeLow = 1e-36;
constexpr double kSafeHigh = 1e36;

const double kLn10 = std::log(10.0);

// The fraction steps 1/10, (1/10)/10, ... and the scales 10, 10*10, ... exactly as the
// scanner computes them one after another, made once so that scanning needs neither
// divisions nor loops; the values are the very same doubles.
struct Steps {
    static constexpr int kFractionSteps = 64;
    double fraction[kFractionSteps];
    double scale[38];
    Steps() {
        double step = 1;
        for (double& f : fraction) f = step = step / 10;
        double s = 1;
        for (double& k : scale) {
            k = s;
            s = s * 10;
        }
    }
};
const Steps kSteps;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text.data()), n_(text.size()) {}

    Evaluation run() {
        Evaluation result;
        double value = simpleExpression();
        if (!failed_) {
            skipBlanks();
            if (pos_ < n_) fail(EvalFailure::Garbage);
        }
        result.value = value;
        if (failed_) {
            result.failurePosition = static_cast<int>(pos_ + 1);
            result.failure = failure_;
            if (nameLength_ > 0) {
                result.functionName.assign(s_ + nameStart_, nameLength_);
                for (char& c : result.functionName) c = upper(c);
            }
        }
        return result;
    }

private:
    bool atEnd() const { return pos_ >= n_; }
    char cur() const { return s_[pos_]; }
    void skipBlanks() {
        while (pos_ < n_ && s_[pos_] == ' ') ++pos_;
    }
    void fail(EvalFailure failure) {
        failed_ = true;
        failure_ = failure;
    }

    double simpleExpression() {
        skipBlanks();
        if (atEnd()) {
            fail(EvalFailure::EndSimpleExpression);
            return 0;
        }
        const char sign = cur();
        if (sign == '+' || sign == '-') ++pos_;
        double value = term();
        if (failed_) return value;
        if (sign == '-') value = -value;
        for (;;) {
            skipBlanks();
            if (atEnd()) return value;
            const char op = cur();
            if (op != '+' && op != '-') return value;
            ++pos_;
            const double right = term();
            if (failed_) return value;
            value = op == '+' ? add(value, right) : subtract(value, right);
            if (failed_) return value;
        }
    }

    double term() {
        skipBlanks();
        if (atEnd()) {
            fail(EvalFailure::EndTerm);
            return 0;
        }
        double value = factor();
        if (failed_) return value;
        for (;;) {
            skipBlanks();
            if (atEnd()) return value;
            const char op = cur();
            if (op != '*' && op != '/') return value;
            ++pos_;
            const double right = factor();
            if (failed_) return value;
            value = op == '*' ? multiply(value, right) : divide(value, right);
            if (failed_) return value;
        }
    }

    double factor() {
        skipBlanks();
        if (atEnd()) {
            fail(EvalFailure::EndFactor);
            return 0;
        }
        const char c = cur();
        if (c == '(') {
            ++pos_;
            const double value = simpleExpression();
            if (failed_) return value;
            skipBlanks();
            if (atEnd()) {
                fail(EvalFailure::EndCloseParen);
            } else if (cur() != ')') {
                fail(EvalFailure::NoCloseParen);
            } else {
                ++pos_;
            }
            return value;
        }
        if (isDigit(c)) return unsignedNumber();
        if (isLetter(c)) return functionCall();
        fail(EvalFailure::FactorExpected);
        return 0;
    }

    // Digits read as value × 10 + d, failing once the value passed 1e36.
    bool integerDigits(double& value) {
        while (!atEnd() && isDigit(cur())) {
            if (value > kIntegerLimit) {
                fail(EvalFailure::ConstantTooBig);
                return false;
            }
            value = value * 10 + (cur() - '0');
            ++pos_;
        }
        return true;
    }

    double unsignedNumber() {
        double value = 0;
        if (!integerDigits(value)) return value;
        if (!atEnd() && cur() == '.') {
            ++pos_;
            if (atEnd()) {
                fail(EvalFailure::EndDecimalPart);
                return value;
            }
            if (!isDigit(cur())) {
                fail(EvalFailure::DecimalPartMissing);
                return value;
            }
            int k = 0;
            double step = 1;
            while (!atEnd() && isDigit(cur())) {
                step = k < Steps::kFractionSteps ? kSteps.fraction[k] : step / 10;
                ++k;
                value = value + step * (cur() - '0');
                ++pos_;
            }
        }
        double scale = 1;
        if (!atEnd() && (cur() == 'e' || cur() == 'E')) {
            ++pos_;
            if (atEnd()) {
                fail(EvalFailure::EndExponent);
                return value;
            }
            bool negative = false;
            if (cur() == '+' || cur() == '-') {
                negative = cur() == '-';
                ++pos_;
                if (atEnd()) {
                    fail(EvalFailure::EndExponentMagnitude);
                    return value;
                }
            }
            if (!isDigit(cur())) {
                fail(EvalFailure::NonnumericExponent);
                return value;
            }
            double exponent = 0;
            if (!integerDigits(exponent)) return value;
            if (exponent > 37) {
                fail(EvalFailure::ExponentTooLarge);
                return value;
            }
            scale = kSteps.scale[static_cast<int>(exponent)];
            if (negative) scale = 1 / scale;
        }
        if (value == 0) return value;
        const double scaled = value * scale;
        const double magnitudeProbe = std::fabs(scaled);
        if (magnitudeProbe >= kSafeLow && magnitudeProbe <= kSafeHigh) return scaled;
        const double magnitude = (std::log(scale) + std::log(std::fabs(value))) / kLn10;
        if (magnitude < -37) return 0;
        if (magnitude > 37) {
            fail(EvalFailure::ConstantTooBig);
            return value;
        }
        return scaled;
    }

    double add(double a, double b) {
        if (a > 0 && b > 0 && a > kLimit - b) return overflow(EvalFailure::AddOverflow);
        if (a < 0 && b < 0 && a < -kLimit - b) return overflow(EvalFailure::AddOverflow);
        return a + b;
    }

    double subtract(double a, double b) {
        if (a < 0 && b > 0 && a < b - kLimit) return overflow(EvalFailure::SubOverflow);
        if (a > 0 && b < 0 && a > kLimit + b) return overflow(EvalFailure::SubOverflow);
        return a - b;
    }

    double multiply(double a, double b) {
        if (a == 0 || b == 0) return 0;
        const double product = a * b;
        const double probe = std::fabs(product);
        if (probe >= kSafeLow && probe <= kSafeHigh) return product;
        const double magnitude = (std::log(std::fabs(a)) + std::log(std::fabs(b))) / kLn10;
        if (magnitude < -37) return 0;
        if (magnitude > 37) return overflow(EvalFailure::MulOverflow);
        return product;
    }

    double divide(double a, double b) {
        if (b == 0) return overflow(EvalFailure::DivisionByZero);
        if (a == 0) return 0;
        const double quotient = a / b;
        const double probe = std::fabs(quotient);
        if (probe >= kSafeLow && probe <= kSafeHigh) return quotient;
        const double magnitude = (std::log(std::fabs(a)) - std::log(std::fabs(b))) / kLn10;
        if (magnitude < -37) return 0;
        if (magnitude > 37) return overflow(EvalFailure::DivOverflow);
        return quotient;
    }

    double overflow(EvalFailure failure) {
        fail(failure);
        return 0;
    }

    // A function failure names the function as read, upper-cased.
    double functionFailure(EvalFailure failure, const char* name, size_t length) {
        nameStart_ = static_cast<size_t>(name - s_);
        nameLength_ = length;
        fail(failure);
        return 0;
    }

    double functionCall() {
        const size_t start = pos_;
        while (!atEnd() && isLetter(cur())) ++pos_;
        const char* name = s_ + start;
        const size_t length = pos_ - start;
        skipBlanks();

        // The arguments, last in first out; a small fixed stack covers every real
        // formula, and a longer list only needs its count and its last value.
        double last = 0;
        int count = 0;
        if (!atEnd() && cur() == '(') {
            ++pos_;
            for (;;) {
                const double argument = simpleExpression();
                if (failed_) return 0;
                last = argument;
                ++count;
                skipBlanks();
                if (atEnd()) {
                    fail(EvalFailure::ArgumentsNotTerminated);
                    return 0;
                }
                if (cur() == ',') {
                    ++pos_;
                    continue;
                }
                if (cur() == ')') {
                    ++pos_;
                    break;
                }
                fail(EvalFailure::CommaMissing);
                return 0;
            }
        }
        return callFunction(name, length, last, count);
    }

    static bool nameIs(const char* name, size_t length, const char* expected) {
        if (std::strlen(expected) != length) return false;
        for (size_t i = 0; i < length; ++i) {
            if (upper(name[i]) != expected[i]) return false;
        }
        return true;
    }

    double callFunction(const char* name, size_t length, double x, int count) {
        enum Fn { Abs, Arctan, Cos, Exp, Ln, Pi, Sin, Sqr, Sqrt, Unknown };
        Fn fn = Unknown;
        static constexpr const char* kNames[] = {"ABS", "ARCTAN", "COS", "EXP", "LN", "PI", "SIN", "SQR", "SQRT"};
        for (int i = 0; i < 9; ++i) {
            if (nameIs(name, length, kNames[i])) {
                fn = static_cast<Fn>(i);
                break;
            }
        }
        if (fn == Unknown) return functionFailure(EvalFailure::UnknownFunction, name, length);
        if (fn == Pi) {
            if (count > 0) return functionFailure(EvalFailure::ExtraneousArgument, name, length);
            return 4 * std::atan(1.0);
        }
        if (count == 0) return functionFailure(EvalFailure::ArgumentMissing, name, length);
        if (count > 1) return functionFailure(EvalFailure::ExtraneousArgument, name, length);
        switch (fn) {
            case Abs: return std::fabs(x);
            case Arctan: return std::atan(x);
            case Cos: return std::cos(x);
            case Sin: return std::sin(x);
            case Exp: {
                const double magnitude = x / kLn10;
                if (magnitude < -37) return 0;
                if (magnitude > 37) return functionFailure(EvalFailure::ExpOverflow, name, length);
                return std::exp(x);
            }
            case Ln:
                if (x <= 0) return functionFailure(EvalFailure::NotPositive, name, length);
                return std::log(x);
            case Sqr: {
                if (x == 0) return 0;
                const double magnitude = 2 * std::log(std::fabs(x)) / kLn10;
                if (magnitude < -37) return 0;
                if (magnitude > 37) return functionFailure(EvalFailure::SqrOverflow, name, length);
                return x * x;
            }
            case Sqrt:
                if (x < 0) return functionFailure(EvalFailure::Negative, name, length);
                return std::sqrt(x);
            default: break;
        }
        return 0;
    }

    const char* s_;
    size_t n_;
    size_t pos_ = 0;
    bool failed_ = false;
    EvalFailure failure_ = EvalFailure::None;
    size_t nameStart_ = 0;
    size_t nameLength_ = 0;
};

}  // namespace

std::string Evaluation::message() const {
    const std::string& n = functionName;
    const std::string q = "\"";
    std::string text;
    switch (failure) {
        case EvalFailure::None: return {};
        case EvalFailure::Garbage: text = "expression followed by garbage"; break;
        case EvalFailure::EndSimpleExpression: text = "end of expression encountered where simple expression expected"; break;
        case EvalFailure::EndTerm: text = "end of expression encountered where term was expected"; break;
        case EvalFailure::EndFactor: text = "end of expression encountered where factor expected"; break;
        case EvalFailure::FactorExpected: text = "function, unsigned number, or " + q + "(" + q + " expected"; break;
        case EvalFailure::EndCloseParen: text = "end of expression encountered where " + q + ")" + q + " was expected"; break;
        case EvalFailure::NoCloseParen: text = "expression not followed by " + q + ")" + q; break;
        case EvalFailure::EndDecimalPart: text = "end of expression encountered where decimal part expected"; break;
        case EvalFailure::DecimalPartMissing: text = "decimal part of real number is missing"; break;
        case EvalFailure::EndExponent: text = "end of expression encountered where exponent expected"; break;
        case EvalFailure::EndExponentMagnitude: text = "end of expression encountered where exponent magnitude expected"; break;
        case EvalFailure::NonnumericExponent: text = "nonnumeric exponent encountered"; break;
        case EvalFailure::ExponentTooLarge: text = "magnitude of exponent is too large"; break;
        case EvalFailure::ConstantTooBig: text = "constant is too big"; break;
        case EvalFailure::CommaMissing: text = "comma missing from function arguments"; break;
        case EvalFailure::ArgumentsNotTerminated: text = q + ")" + q + " to terminate function arguments is missing"; break;
        case EvalFailure::UnknownFunction: text = "the function " + q + n + q + " is unrecognized"; break;
        case EvalFailure::ArgumentMissing: text = "argument to " + q + n + q + " is missing"; break;
        case EvalFailure::ExtraneousArgument: text = "extraneous argument supplied to function " + q + n + q; break;
        case EvalFailure::NotPositive: text = "argument to " + q + n + q + " is other than positive"; break;
        case EvalFailure::Negative: text = "argument to " + q + n + q + " is negative"; break;
        case EvalFailure::ExpOverflow: text = "overflow detected while calculating " + q + n + q; break;
        case EvalFailure::SqrOverflow: text = "overflow detected during calculation of " + q + n + q; break;
        case EvalFailure::AddOverflow: text = "overflow detected during addition"; break;
        case EvalFailure::SubOverflow: text = "overflow detected during subtraction"; break;
        case EvalFailure::MulOverflow: text = "overflow detected during multiplication"; break;
        case EvalFailure::DivOverflow: text = "overflow detected during division"; break;
        case EvalFailure::DivisionByZero: text = "division by zero attempted"; break;
    }
    return "Error:  " + text + ".";
}

Evaluation EvaluateExpression(std::string_view text) { return Parser(text).run(); }

Evaluation EvaluateExpression(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return EvaluateExpression(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace zelvan
