// The two controls over a large database, each against an anchor measured in the same run.
//   cross:    the control across forms of 2,000 pairs with six references each over a
//             database of 1,000,000 stored values, against the same 12,000 sums made with
//             raw SQLite (the same query prepared once, one read transaction, same keys);
//   one form: the control of a form with 1,000 formulas of five references each, against
//             evaluating the same 1,000 substituted texts with the evaluator alone.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QTemporaryDir>
#include <random>
#include <string>
#include <vector>

#include "formula/controls.h"
#include "formula/infix.h"
#include "formula/substitution.h"
#include "model/database_folder.h"
#include "model/tdm.h"

using namespace zelvan;

namespace {

constexpr int kDanper = 41;
constexpr int kObj = 1;
constexpr int kDataForms = 50;
constexpr int kCols = 20;   // columns 3..22
constexpr int kRows = 50;   // rows 3..52
constexpr int kKinds = 4;   // classifier code sets per cell and organisation
constexpr int kObjects = 5;  // organisations: 50 × 20 × 50 × 4 × 5 = 1,000,000 values
constexpr int kControlForm = 9000;
constexpr int kPairs = 2000;
constexpr int kOneForm = 8000;
constexpr int kFormulas = 1000;

struct Reference {
    int form, col, row;
};

double storedValue(int form, int col, int row, int kind, int obj) {
    return double((form * 7919 + col * 104729 + row * 1299709 + kind * 15485863 + obj * 32452843) % 10000000) / 100.0;
}

void exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, error);
        std::abort();
    }
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
        std::abort();
    }
    return statement;
}

void bindText(sqlite3_stmt* s, int i, const std::string& text) { sqlite3_bind_text(s, i, text.c_str(), -1, SQLITE_TRANSIENT); }

std::string referenceText(const Reference& r) {
    return std::to_string(r.form) + "," + std::to_string(r.col) + "," + std::to_string(r.row) + ",";
}

struct Fixture {
    QTemporaryDir dir;
    QString dbPath;
    std::vector<Reference> crossReferences;  // every reference of every pair, in order
    std::vector<std::string> oneFormTexts;   // the substituted texts of the form's formulas

    Fixture() {
        dbPath = createDatabaseFolder(dir.path(), false);
        sqlite3* db = nullptr;
        sqlite3_open(dbPath.toUtf8().constData(), &db);
        exec(db, "begin");
        sqlite3_stmt* form = prepare(db, "insert into S_FORM (KOD_FORM, NOMER_FORM, NAME_FORM, KOD_DANPER, "
                                         "KOD_TYPE_ZVITNOST, KOD_TYPE_FORM, ROUNDTOWHOLE, CHECK_NEGATIVE, PRIZNAK_ZELVAN) "
                                         "values (?1, ?1, 'Форма', 41, 1, 1, 2, 0, ?2)");
        const auto addForm = [&](int kod, int zelvan) {
            sqlite3_bind_int(form, 1, kod);
            sqlite3_bind_int(form, 2, zelvan);
            sqlite3_step(form);
            sqlite3_reset(form);
        };
        for (int f = 1; f <= kDataForms; ++f) addForm(f, 0);
        addForm(kControlForm, 1);
        addForm(kOneForm, 0);
        sqlite3_finalize(form);

        sqlite3_stmt* value = prepare(db, "insert into ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_STAN, KOD_DANPER, KOD_K, KOD_F, "
                                          "KOD_Z, KOD_G, NOMER_COL, NOMER_ROW, ZNACHENIE, CHECK_KONTROL) "
                                          "values (?1, ?2, 1, 41, ?3, 2, 3, 4, ?4, ?5, ?6, 1)");
        const auto put = [&](int f, int obj, int kind, int c, int r, double v) {
            sqlite3_bind_int(value, 1, f);
            sqlite3_bind_int(value, 2, obj);
            sqlite3_bind_int(value, 3, kind);
            sqlite3_bind_int(value, 4, c);
            sqlite3_bind_int(value, 5, r);
            sqlite3_bind_double(value, 6, v);
            sqlite3_step(value);
            sqlite3_reset(value);
        };
        for (int obj = 1; obj <= kObjects; ++obj)
            for (int f = 1; f <= kDataForms; ++f)
                for (int c = 3; c < 3 + kCols; ++c)
                    for (int r = 3; r < 3 + kRows; ++r)
                        for (int kind = 1; kind <= kKinds; ++kind) put(f, obj, kind, c, r, storedValue(f, c, r, kind, obj));

        // The control form: pair i compares three sums on the left with the same three in
        // another order on the right; every twentieth pair names another cell instead.
        std::mt19937 random(20261211);
        const auto any = [&] {
            return Reference{int(random() % kDataForms) + 1, 3 + int(random() % kCols), 3 + int(random() % kRows)};
        };
        sqlite3_stmt* formula = prepare(db, "insert into FORMULA_NEW (KOD_FORMULA, KOD_FORM, KOD_DANPER, NOMER_COL, "
                                            "NOMER_ROW, NAME, NAME_LONG, IS_ABS, ZNAK) values (?1, ?2, 41, ?3, ?4, ?5, ?6, 0, ?7)");
        int kodFormula = 1;
        const auto addFormula = [&](int kodForm, int col, int row, const std::string& name, const std::string& sign) {
            sqlite3_bind_int(formula, 1, kodFormula++);
            sqlite3_bind_int(formula, 2, kodForm);
            sqlite3_bind_int(formula, 3, col);
            sqlite3_bind_int(formula, 4, row);
            bindText(formula, 5, name);
            bindText(formula, 6, "Контрольне співвідношення " + std::to_string(row));
            bindText(formula, 7, sign);
            sqlite3_step(formula);
            sqlite3_reset(formula);
        };
        for (int i = 0; i < kPairs; ++i) {
            const Reference a = any(), b = any(), c = any();
            const Reference third = i % 20 == 0 ? any() : c;
            addFormula(kControlForm, 2, i + 1, referenceText(a) + "+" + referenceText(b) + "+" + referenceText(c), "=");
            addFormula(kControlForm, 3, i + 1, referenceText(third) + "+" + referenceText(a) + "+" + referenceText(b), "=");
            for (const Reference& r : {a, b, c, third, a, b}) crossReferences.push_back(r);
        }

        // The form with 1,000 formulas: cell (3, i) is the sum of five cells of column 4..8
        // of row i, stored in the form's own selection.
        for (int i = 1; i <= kFormulas; ++i) {
            std::string name;
            std::string substituted;
            double sum = 0;
            for (int c = 4; c <= 8; ++c) {
                if (!name.empty()) name += "+";
                name += referenceText({kOneForm, c, i});
                const double v = double(i * 10 + c) + 0.25;
                put(kOneForm, kObj, 1, c, i, v);
                if (!substituted.empty()) substituted += "+";
                substituted += "(" + valueText(v, u'.').toStdString() + ")";
                sum += v;
            }
            put(kOneForm, kObj, 1, 3, i, i % 10 == 0 ? sum + 1 : sum);
            addFormula(kOneForm, 3, i, name, "=");
            oneFormTexts.push_back(substituted);
        }
        sqlite3_finalize(formula);
        sqlite3_finalize(value);
        exec(db, "commit");
        exec(db, "analyze");
        sqlite3_close(db);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// ---- across forms ---------------------------------------------------------------------

void BM_CrossControl(benchmark::State& state) {
    TDM dm;
    dm.pointAt(fixture().dir.path());
    dm.probe();
    size_t lines = 0;
    for (auto _ : state) {
        const CrossControlResult result = runCrossControl(dm, kDanper, kObj, 1, u'.');
        if (result.pairs != kPairs) state.SkipWithError("not every pair was controlled");
        lines = result.lines.size();
    }
    state.counters["deviations"] = double(lines);
    state.counters["references"] = double(fixture().crossReferences.size());
}

void BM_RawSqliteSums(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(fixture().dbPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* sum = prepare(db, "select SUM(ZNACHENIE) from ZNACHENIE where KOD_FORM=?1 and NOMER_COL=?2 and "
                                    "NOMER_ROW=?3 and KOD_DANPER=?4 and KOD_OBJ=?5 group by CHECK_KONTROL");
    double total = 0;
    for (auto _ : state) {
        exec(db, "begin");
        for (const Reference& r : fixture().crossReferences) {
            sqlite3_bind_int(sum, 1, r.form);
            sqlite3_bind_int(sum, 2, r.col);
            sqlite3_bind_int(sum, 3, r.row);
            sqlite3_bind_int(sum, 4, kDanper);
            sqlite3_bind_int(sum, 5, kObj);
            if (sqlite3_step(sum) == SQLITE_ROW) total += sqlite3_column_double(sum, 0);
            sqlite3_reset(sum);
        }
        exec(db, "commit");
    }
    benchmark::DoNotOptimize(total);
    sqlite3_finalize(sum);
    sqlite3_close(db);
}

// ---- one form ------------------------------------------------------------------------

void BM_OneFormControl(benchmark::State& state) {
    TDM dm;
    dm.pointAt(fixture().dir.path());
    dm.probe();
    const ValueKeys keys{kOneForm, kDanper, kObj, 1, 1, 2, 3, 4};
    size_t lines = 0;
    for (auto _ : state) {
        const FormControlResult result = runFormControl(dm, keys, u'.');
        if (result.formulas != kFormulas) state.SkipWithError("not every formula was evaluated");
        lines = result.lines.size();
    }
    state.counters["deviations"] = double(lines);
}

void BM_EvaluatorAlone(benchmark::State& state) {
    double total = 0;
    for (auto _ : state)
        for (const std::string& text : fixture().oneFormTexts) total += EvaluateExpression(text).value;
    benchmark::DoNotOptimize(total);
}

}  // namespace

BENCHMARK(BM_CrossControl)->Name("cross/zelvan")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSqliteSums)->Name("cross/raw_sqlite")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneFormControl)->Name("one_form/zelvan")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluatorAlone)->Name("one_form/evaluator")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    fixture();  // built before any timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
