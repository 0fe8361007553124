// The evaluator against two anchors in the same run, on expression shapes as the
// controls produce them. Every shape has thousands of different texts, taken in turn,
// so that no result can be cached.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "formula/infix.h"

namespace {

// ---------------------------------------------------------------------------------
// Anchor (a): a minimal recursive-descent evaluator of + - * / ( ), unary minus,
// ABS and numbers read with std::from_chars. No guards, no diagnostics.
class Minimal {
public:
    explicit Minimal(std::string_view s) : p_(s.data()), end_(s.data() + s.size()) {}
    double run() { return expr(); }

private:
    double expr() {
        double v = term();
        while (p_ < end_ && (*p_ == '+' || *p_ == '-')) {
            const char op = *p_++;
            const double r = term();
            v = op == '+' ? v + r : v - r;
        }
        return v;
    }
    double term() {
        double v = factor();
        while (p_ < end_ && (*p_ == '*' || *p_ == '/')) {
            const char op = *p_++;
            const double r = factor();
            v = op == '*' ? v * r : v / r;
        }
        return v;
    }
    double factor() {
        if (p_ < end_ && *p_ == '-') {
            ++p_;
            return -factor();
        }
        if (p_ < end_ && *p_ == '(') {
            ++p_;
            const double v = expr();
            if (p_ < end_ && *p_ == ')') ++p_;
            return v;
        }
        if (p_ + 3 <= end_ && p_[0] == 'A' && p_[1] == 'B' && p_[2] == 'S') {
            p_ += 3;
            return std::fabs(factor());
        }
        double v = 0;
        const auto r = std::from_chars(p_, end_, v);
        p_ = r.ptr;
        return v;
    }
    const char* p_;
    const char* end_;
};

// ---------------------------------------------------------------------------------
// The shapes: each a pattern where @ stands for a substituted value in parentheses.

std::string number(std::mt19937_64& rng, bool allowNegative = true) {
    std::uniform_int_distribution<long long> cents(0, 99999999999LL);
    std::uniform_int_distribution<int> sign(0, 4);
    const long long c = cents(rng);
    std::string text = std::to_string(c / 100);
    if (c % 100) {
        const int frac = int(c % 100);
        text += '.';
        text += char('0' + frac / 10);
        if (frac % 10) text += char('0' + frac % 10);
    }
    if (allowNegative && sign(rng) == 0) text = "-" + text;
    return text;
}

std::string scientific(std::mt19937_64& rng) {
    std::uniform_int_distribution<int> mantissa(11, 99);
    std::uniform_int_distribution<int> exponent(-12, 20);
    const int m = mantissa(rng);
    std::string text = std::to_string(m / 10) + "." + std::to_string(m % 10) + "E" + std::to_string(exponent(rng));
    return text;
}

struct Shape {
    const char* name;
    std::string pattern;  // @: a value in parentheses; #: a scientific value in parentheses
};

const std::vector<Shape>& shapes() {
    static const std::vector<Shape> list = {
        {"single", "@"},
        {"pair_sum", "@+@"},
        {"difference_times_literal", "(@-@)*2"},
        {"abs_difference", "ABS(@-@)"},
        {"product_quotient", "@*@/@"},
        {"grouped_sums", "(@+@)-(@+@)"},
        {"scientific", "#+#-#"},
        {"operating_result", "@-@+@-@-@"},
        {"share_of_total", "(@+@+@)*0.2"},
        {"percentage", "@/@*100"},
        {"nested_sums", "((@+@)+(@+@))-((@+@)+@)"},
        {"total_row_12", "@+@+@+@+@+@+@+@+@+@+@+@"},
    };
    return list;
}

constexpr size_t kTexts = 4096;

std::vector<std::string> texts(const Shape& shape, unsigned seed) {
    std::mt19937_64 rng(seed);
    std::vector<std::string> list;
    list.reserve(kTexts);
    for (size_t i = 0; i < kTexts; ++i) {
        std::string text;
        for (char c : shape.pattern) {
            if (c == '@') text += "(" + number(rng) + ")";
            else if (c == '#') text += "(" + scientific(rng) + ")";
            else text += c;
        }
        list.push_back(std::move(text));
    }
    return list;
}

void BM_Zelvan(benchmark::State& state, const Shape& shape) {
    const auto list = texts(shape, 1);
    size_t i = 0;
    double sink = 0;
    for (auto _ : state) {
        const zelvan::Evaluation e = zelvan::EvaluateExpression(std::string_view(list[i]));
        sink += e.value;
        if (e.failurePosition != 0) state.SkipWithError(list[i].c_str());
        i = (i + 1) % kTexts;
    }
    benchmark::DoNotOptimize(sink);
}

void BM_Minimal(benchmark::State& state, const Shape& shape) {
    const auto list = texts(shape, 1);
    size_t i = 0;
    double sink = 0;
    for (auto _ : state) {
        sink += Minimal(list[i]).run();
        i = (i + 1) % kTexts;
    }
    benchmark::DoNotOptimize(sink);
}

void BM_MuParser(benchmark::State& state, const Shape& shape) {
    const auto list = texts(shape, 1);
    mu::Parser parser;
    parser.DefineFun("ABS", static_cast<double (*)(double)>(std::fabs));
    size_t i = 0;
    double sink = 0;
    for (auto _ : state) {
        parser.SetExpr(list[i]);
        sink += parser.Eval();
        i = (i + 1) % kTexts;
    }
    benchmark::DoNotOptimize(sink);
}

// The three evaluators must agree before their speed is compared.
bool agree() {
    for (const Shape& shape : shapes()) {
        mu::Parser parser;
        parser.DefineFun("ABS", static_cast<double (*)(double)>(std::fabs));
        for (const std::string& text : texts(shape, 7)) {
            const double z = zelvan::EvaluateExpression(std::string_view(text)).value;
            const double m = Minimal(text).run();
            double u = 0;
            try {
                parser.SetExpr(text);
                u = parser.Eval();
            } catch (const mu::ParserError& error) {
                std::fprintf(stderr, "muparser refused %s: %s\n", text.c_str(), error.GetMsg().c_str());
                return false;
            }
            const double scale = std::max(1.0, std::fabs(m));
            if (std::fabs(z - m) > 1e-9 * scale || std::fabs(u - m) > 1e-9 * scale) {
                std::fprintf(stderr, "disagreement on %s: %.17g %.17g %.17g\n", text.c_str(), z, m, u);
                return false;
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!agree()) return 1;
    for (const Shape& shape : shapes()) {
        benchmark::RegisterBenchmark((std::string("zelvan/") + shape.name).c_str(), BM_Zelvan, shape);
        benchmark::RegisterBenchmark((std::string("minimal/") + shape.name).c_str(), BM_Minimal, shape);
        benchmark::RegisterBenchmark((std::string("muparser/") + shape.name).c_str(), BM_MuParser, shape);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
