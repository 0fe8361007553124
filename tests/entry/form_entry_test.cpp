#include <gtest/gtest.h>

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "app/environment.h"
#include "entry/form_entry.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "support/printers.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using zelvan::test::ScriptedPrompter;

namespace {

// Form 1: columns 1 (names) and 2 (codes) are headings, 3 to 5 data; rows 1 (titles)
// and 2 (column numbers) are headings, 3 to 6 data. Row 4 takes no negatives, cell
// (3,6) whole numbers only, (4,3) is protected, (5,5) a formula cell.
// Form 2: only column 1 a heading; form 3: every column a heading; form 4: two rows.
const char* const kForms =
    "KOD_FORM\tNOMER_FORM\tNAME_FORM\tKOD_DANPER\tKOD_TYPE_ZVITNOST\tKOD_TYPE_FORM\tROUNDTOWHOLE\n"
    "1\t1\tПроба\t41\t1\t1\t0\n"
    "2\t2\tДруга\t41\t2\t1\t0\n"
    "3\t3\tБез даних\t41\t1\t1\t0\n"
    "4\t4\tКоротка\t41\t1\t1\t0\n";

const char* const kColumns =
    "KOD_FORM\tNOMER_COL\tNOMER_GRID\tKOD_PRIZN\n"
    "1\t1\t1\t1\n1\t2\t2\t1\n1\t3\t3\t0\n1\t4\t4\t0\n1\t5\t5\t0\n"
    "2\t1\t1\t1\n2\t2\t2\t0\n2\t3\t3\t0\n"
    "3\t1\t1\t1\n3\t2\t2\t1\n3\t3\t3\t1\n"
    "4\t1\t1\t1\n4\t2\t2\t0\n4\t3\t3\t0\n";

const char* const kRows =
    "KOD_FORM\tNOMER_ROW\tNOMER_GRID\tKOD_PRIZN\tIS_POS\n"
    "1\t1\t1\t1\t0\n1\t2\t2\t1\t0\n1\t3\t3\t0\t0\n1\t4\t4\t0\t1\n1\t5\t5\t0\t2\n1\t6\t6\t0\t0\n"
    "2\t1\t1\t1\t0\n2\t2\t2\t1\t0\n2\t3\t3\t0\t0\n2\t4\t4\t0\t0\n"
    "3\t1\t1\t1\t0\n3\t2\t2\t1\t0\n3\t3\t3\t0\t0\n3\t4\t4\t0\t0\n"
    "4\t1\t1\t1\t0\n4\t2\t2\t0\t0\n";

const char* const kCells =
    "KOD_FORM\tNOMER_COL\tNOMER_ROW\tNAME_CELL\tKOD_PRIZN\n"
    "1\t1\t1\tНазва\t1\n1\t2\t1\tКод\t1\n1\t3\t1\tПлан, тис.\t1\n"
    "1\t3\t2\t3\t1\n1\t4\t2\t4\t1\n1\t5\t2\t5\t1\n"
    "1\t1\t3\tДоходи\t1\n1\t2\t3\t010\t1\n1\t1\t4\tВидатки\t1\n1\t2\t4\t020\t1\n"
    "1\t1\t5\tЗбиток\t1\n1\t2\t5\t030\t1\n1\t1\t6\tПрацівники\t1\n1\t2\t6\t040\t1\n"
    "1\t4\t3\t*****\t1\n1\t5\t5\tVexa_Formula\t1\n1\t3\t6\tIntegerCell\t0\n"
    "1\t9\t9\tБез пари\t1\n";

class FormEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), false);
        dm.pointAt(dir.path());
        dm.probe();
        loadTableText(dm.db(), QStringLiteral("S_FORM"), kForms);
        loadTableText(dm.db(), QStringLiteral("S_COLUMN"), kColumns);
        loadTableText(dm.db(), QStringLiteral("S_ROW"), kRows);
        loadTableText(dm.db(), QStringLiteral("DISABLE_CELL"), kCells);
    }

    FormEntry& open(int form, QChar separator = u',') {
        locale.decimalSeparator = separator;
        entry = std::make_unique<FormEntry>(dm, locale, [](const QString& text) { return int(text.size()) * 7; });
        entry->build({form, QString::number(form), QStringLiteral("Форма")}, keys(form));
        return *entry;
    }

    ValueKeys keys(int form = 1) const { return {form, 41, 7, 1, 10, 20, 30, 40}; }

    void store(const char* rows) { loadTableText(dm.db(), QStringLiteral("ZNACHENIE"), rows); }

    // The values stored under the test's selection (or another organisation or period).
    QMap<QPair<int, int>, double> stored(int form = 1, int obj = 7, int danper = 41) {
        QSqlQuery q = dm.db().exec(QStringLiteral("select NOMER_COL, NOMER_ROW, ZNACHENIE from ZNACHENIE where KOD_FORM = :f "
                                                  "and KOD_OBJ = :o and KOD_DANPER = :d and KOD_STAN = 1 and KOD_K = 10 "
                                                  "and KOD_F = 20 and KOD_Z = 30 and KOD_G = 40"),
                                   {{QStringLiteral(":f"), form}, {QStringLiteral(":o"), obj}, {QStringLiteral(":d"), danper}});
        QMap<QPair<int, int>, double> values;
        while (q.next()) values[{q.value(0).toInt(), q.value(1).toInt()}] = q.value(2).toDouble();
        return values;
    }

    QTemporaryDir dir;
    TDM dm;
    UserLocale locale;
    ScriptedPrompter prompter;
    std::unique_ptr<FormEntry> entry;
};

const char* const kSelectionValues =
    "KOD_FORM\tKOD_OBJ\tKOD_STAN\tKOD_DANPER\tKOD_K\tKOD_F\tKOD_Z\tKOD_G\tNOMER_COL\tNOMER_ROW\tZNACHENIE\tCHECK_KONTROL\n"
    "1\t7\t1\t41\t10\t20\t30\t40\t3\t3\t1234.5\t1\n"
    "1\t7\t1\t41\t10\t20\t30\t40\t5\t5\t2500\t1\n"
    "1\t7\t1\t41\t10\t20\t30\t40\t9\t9\t77\t1\n"   // outside the grid
    "1\t7\t1\t41\t11\t20\t30\t40\t3\t4\t5\t1\n"    // another expense key
    "1\t8\t1\t41\t10\t20\t30\t40\t3\t4\t6\t1\n"    // another organisation
    "1\t7\t1\t40\t10\t20\t30\t40\t3\t4\t8\t1\n";   // another period

}  // namespace

TEST_F(FormEntryTest, BuildsTheGridFromTheDescriptionAndTheValues) {
    store(kSelectionValues);
    FormGrid& g = open(1).grid();
    EXPECT_EQ(g.colCount(), 6);
    EXPECT_EQ(g.rowCount(), 7);
    EXPECT_TRUE(g.columnMarked(1) && g.columnMarked(2) && !g.columnMarked(3));
    EXPECT_TRUE(g.rowMarked(1) && g.rowMarked(2) && !g.rowMarked(3));
    EXPECT_EQ(g.text(1, 3), QStringLiteral("Доходи"));
    EXPECT_EQ(g.text(4, 3), kProtected);
    EXPECT_EQ(g.text(3, 3), QStringLiteral("1234,5"));
    EXPECT_EQ(g.text(5, 5), QStringLiteral("2500"));  // a formula cell shows its stored value
    EXPECT_EQ(g.text(3, 4), QString());             // other keys' values are not this selection's
    EXPECT_EQ(g.fixedCols(), 3);
    EXPECT_EQ(g.fixedRows(), 3);
    EXPECT_EQ(g.currentCol(), 3);
    EXPECT_EQ(g.currentRow(), 3);
    EXPECT_TRUE(g.editableCell());
    EXPECT_FALSE(g.unsaved());
    EXPECT_EQ(g.columnWidth(1), std::max(64, int(QStringLiteral("Працівники").size()) * 7 + 10));
    EXPECT_EQ(entry->formCaption(), QStringLiteral("№1  Форма Бюджетна(грн.)"));
    EXPECT_TRUE(entry->controlMark());
}

TEST_F(FormEntryTest, SelfSupportingValuesShowInThousands) {
    store("KOD_FORM\tKOD_OBJ\tKOD_STAN\tKOD_DANPER\tKOD_K\tKOD_F\tKOD_Z\tKOD_G\tNOMER_COL\tNOMER_ROW\tZNACHENIE\n"
          "2\t7\t1\t41\t10\t20\t30\t40\t2\t3\t2500\n");
    FormGrid& g = open(2).grid();
    EXPECT_EQ(g.text(2, 3), QStringLiteral("2,5"));
    EXPECT_EQ(g.fixedCols(), 2);  // only column 1 is a heading
    EXPECT_EQ(entry->formCaption(), QStringLiteral("№2  Форма Госпрозрахункова(тис.грн.)"));
    EXPECT_EQ(entry->reportType(), 2);
}

TEST_F(FormEntryTest, FormsThatCannotBeShownSayWhyAndChangeNothing) {
    open(1);
    entry->grid().setText(3, 3, QStringLiteral("typed"));
    for (int form : {3, 4}) {
        try {
            entry->build({form, QString::number(form), QStringLiteral("Погана")}, keys(form));
            ADD_FAILURE() << form;
        } catch (const GridBuildError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Форму № %1 \"Погана\" не можна відкрити").arg(form)))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(entry->grid().text(3, 3), QStringLiteral("typed"));
    EXPECT_EQ(entry->kodForm(), 1);
}

TEST_F(FormEntryTest, MovesAreCheckedAndNameTheCell) {
    FormGrid& g = open(1).grid();
    struct Case {
        int col, row;
        bool allowed;
        const char* column;
        const char* rowText;
    };
    const Case cases[] = {
        {4, 3, false, "Колонка: 4", "Рядок: 010"},   // protected
        {1, 4, false, "Колонка: ", "Рядок: 020"},    // heading column
        {3, 2, false, "Колонка: 3", "Рядок: "},      // heading row
        {5, 6, true, "Колонка: 5", "Рядок: 040"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(g.moveTo(c.col, c.row), c.allowed) << c.col << ',' << c.row;
        EXPECT_EQ(g.statusColumn(), QString::fromUtf8(c.column));
        EXPECT_EQ(g.statusRow(), QString::fromUtf8(c.rowText));
    }
    EXPECT_FALSE(g.moveTo(0, 3));
    EXPECT_FALSE(g.moveTo(3, 0));
    EXPECT_EQ(g.currentCol(), 5);
    EXPECT_EQ(g.currentRow(), 6);
}

TEST_F(FormEntryTest, EnterWalksTheOpenCellsInReadingOrder) {
    FormGrid& g = open(1).grid();
    std::vector<std::pair<int, int>> visited{{g.currentCol(), g.currentRow()}};
    for (int i = 0; i < 14; ++i) {
        g.enterWalk();
        visited.emplace_back(g.currentCol(), g.currentRow());
    }
    const std::vector<std::pair<int, int>> expected{{3, 3}, {5, 3}, {3, 4}, {4, 4}, {5, 4}, {3, 5}, {4, 5}, {5, 5},
                                                    {3, 6}, {4, 6}, {5, 6}, {5, 6}, {5, 6}, {5, 6}, {5, 6}};
    EXPECT_EQ(visited, expected);
}

TEST_F(FormEntryTest, CtrlArrowsJumpOverClosedCells) {
    FormGrid& g = open(1).grid();
    using D = FormGrid::Direction;
    struct Case {
        int col, row;
        D direction;
        int toCol, toRow;
    };
    const Case cases[] = {
        {3, 3, D::Right, 5, 3},  // over the grey cell
        {5, 3, D::Right, 5, 3},  // the last column: no move
        {5, 3, D::Left, 3, 3},
        {3, 3, D::Left, 3, 3},   // not into the heading columns
        {3, 3, D::Up, 3, 3},     // heading rows are skipped until row 0 ends the search
        {4, 4, D::Up, 4, 4},     // the grey cell above and then headings
        {4, 6, D::Down, 4, 6},
        {4, 4, D::Down, 4, 5},
    };
    for (const Case& c : cases) {
        g.placeCurrent(c.col, c.row);
        g.ctrlArrow(c.direction);
        EXPECT_EQ(std::make_pair(g.currentCol(), g.currentRow()), std::make_pair(c.toCol, c.toRow))
            << c.col << ',' << c.row << ' ' << int(c.direction);
    }
}

TEST_F(FormEntryTest, AFormWithoutOpenCellsLetsEveryCellBeSelected) {
    FormGrid& g = open(1).grid();
    g.setEditableCell(false);
    EXPECT_TRUE(g.moveTo(4, 3));
    EXPECT_TRUE(g.moveTo(1, 1));
}

TEST_F(FormEntryTest, SaveMessagesStopAtTheCellAndKeepTheStoredValues) {
    store(kSelectionValues);
    struct Case {
        int form;
        int roundToWhole;
        int col, row;
        const char* typed;
        const char* message;
        bool yesOnly;
    };
    const QString fix = QStringLiteral("\nВиправте помилку та повторіть збереження даних.");
    const Case cases[] = {
        {1, 0, 4, 4, "-0,01", "Рядок \"Видатки\" заповнюється без знака \"мінус\" !", true},
        {1, 0, 3, 5, "-1", "Рядок \"Збиток\" заповнюється без знака \"мінус\" !", true},
        {1, 0, 3, 6, "5,5", "Рядок № 040 заповнюється без десяткового знаку !", true},
        {1, 1, 5, 6, "-3,5", "Форма заповнюється без десяткового знаку !", true},
        {1, 1, 5, 6, "3.5", "Форма заповнюється без десяткового знаку !", true},
        {1, 2, 5, 6, "2,25", "Форма заповнюється тільки з одним десятковим знаком !", true},
        {1, 0, 4, 5, "abc", "Дані у цій ячейці не є коректними. Збереження даних припинено. Виправте помилку.", false},
        {1, 0, 4, 5, "1,2,3", "Дані у цій ячейці не є коректними. Збереження даних припинено. Виправте помилку.", false},
    };
    for (const Case& c : cases) {
        dm.db().exec(QStringLiteral("update S_FORM set ROUNDTOWHOLE = :r where KOD_FORM = 1"), {{QStringLiteral(":r"), c.roundToWhole}});
        FormGrid& g = open(c.form).grid();
        g.setText(3, 3, QStringLiteral("1"));   // whole, so that the rule under test decides
        g.setText(5, 4, QStringLiteral("99"));  // a good value that must not reach the table either
        g.setText(c.col, c.row, QString::fromUtf8(c.typed));
        ScriptedPrompter messages;
        EXPECT_FALSE(entry->save(keys(), messages)) << c.typed;
        ASSERT_EQ(messages.shown().size(), 1u) << c.typed;
        const QString expected = QString::fromUtf8(c.message) + (c.yesOnly ? fix : QString());
        EXPECT_EQ(messages.shown()[0].text, expected) << c.typed;
        EXPECT_EQ(messages.shown()[0].yesOnly, c.yesOnly);
        EXPECT_EQ(messages.shown()[0].kind, c.yesOnly ? MessageKind::Error : MessageKind::Warning);
        EXPECT_EQ(g.currentCol(), c.col) << c.typed;
        EXPECT_EQ(g.currentRow(), c.row) << c.typed;
        EXPECT_EQ(stored().value({3, 3}), 1234.5) << c.typed;
        EXPECT_FALSE(stored().contains({5, 4})) << c.typed;
    }
}

TEST_F(FormEntryTest, PrecisionRulesAcceptWhatTheyAllow) {
    struct Case {
        int roundToWhole;
        const char* typed;
    };
    const Case accepted[] = {{2, "2,50"}, {2, "1,1"}, {1, "7,0"}, {1, "1E3"}, {0, "0,123456"}, {2, "12.5"}};
    for (const Case& c : accepted) {
        dm.db().exec(QStringLiteral("update S_FORM set ROUNDTOWHOLE = :r where KOD_FORM = 1"), {{QStringLiteral(":r"), c.roundToWhole}});
        open(1).grid().setText(5, 6, QString::fromUtf8(c.typed));
        ScriptedPrompter messages;
        EXPECT_TRUE(entry->save(keys(), messages)) << c.typed;
    }
    // A non-negative row takes 0; an integer cell takes 5.
    open(1).grid().setText(3, 4, QStringLiteral("0,0"));
    entry->grid().setText(3, 6, QStringLiteral("5"));
    EXPECT_TRUE(entry->save(keys(), prompter));
}

TEST_F(FormEntryTest, DecimalSeparatorsEitherWay) {
    // A comma user types 7.5: stored 7.5, shown 7,5.
    FormGrid& comma = open(1, u',').grid();
    comma.setText(3, 3, QStringLiteral("7.5"));
    comma.setText(5, 3, QStringLiteral("7,5"));
    ASSERT_TRUE(entry->save(keys(), prompter));
    EXPECT_EQ(comma.text(3, 3), QStringLiteral("7,5"));
    EXPECT_EQ(comma.text(5, 3), QStringLiteral("7,5"));
    EXPECT_EQ(stored().value({3, 3}), 7.5);
    EXPECT_EQ(stored().value({5, 3}), 7.5);
    // A point user types 7,5: shown 7.5.
    FormGrid& point = open(1, u'.').grid();
    point.setText(3, 3, QStringLiteral("7,5"));
    ASSERT_TRUE(entry->save(keys(), prompter));
    EXPECT_EQ(point.text(3, 3), QStringLiteral("7.5"));
    EXPECT_EQ(stored().value({3, 3}), 7.5);
    // A heading caption with a comma keeps it.
    EXPECT_EQ(point.text(3, 1), QStringLiteral("План, тис."));
}

TEST_F(FormEntryTest, BudgetZerosAreEmptiedAndThousandsMultiplied) {
    FormGrid& budget = open(1).grid();
    budget.setText(3, 3, QStringLiteral("0"));
    budget.setText(5, 3, QStringLiteral("0,0"));
    ASSERT_TRUE(entry->save(keys(), prompter));
    EXPECT_EQ(budget.text(3, 3), QString());
    EXPECT_FALSE(stored().contains({3, 3}));
    EXPECT_EQ(stored().value({5, 3}, -1), 0.0);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Ведені дані збережені."));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Information);

    FormGrid& thousands = open(2).grid();
    thousands.setText(2, 3, QStringLiteral("0,25"));
    thousands.setText(3, 3, QStringLiteral("1,2345"));
    thousands.setText(2, 4, QStringLiteral("0"));
    ASSERT_TRUE(entry->save(keys(2), prompter));
    EXPECT_EQ(stored(2).value({2, 3}), 250.0);
    EXPECT_EQ(stored(2).value({3, 3}), 1234.5);
    EXPECT_EQ(stored(2).value({2, 4}, -1), 0.0);  // only budget forms drop zeros
}

TEST_F(FormEntryTest, SaveReplacesOnlyTheFullSelection) {
    store(kSelectionValues);
    FormGrid& g = open(1).grid();
    g.setUnsaved(true);
    g.setText(3, 3, QString());
    g.setText(3, 4, QStringLiteral("42"));
    int steps = 0;
    int maximum = 0;
    bool reset = false;
    ASSERT_TRUE(entry->save(keys(), prompter, {[&](int m) { maximum = m; }, [&] { ++steps; }, [&] { reset = true; }}));
    EXPECT_EQ(maximum, 5 * 6);
    EXPECT_EQ(steps, 5 * 6);
    EXPECT_TRUE(reset);
    EXPECT_FALSE(g.unsaved());
    const auto mine = stored();
    EXPECT_FALSE(mine.contains({3, 3}));
    EXPECT_FALSE(mine.contains({9, 9}));  // outside the grid: removed by a save
    EXPECT_EQ(mine.value({3, 4}), 42.0);
    EXPECT_EQ(mine.value({5, 5}), 2500.0);
    EXPECT_EQ(stored(1, 8).value({3, 4}), 6.0);      // another organisation keeps its value
    EXPECT_EQ(stored(1, 7, 40).value({3, 4}), 8.0);  // and another period
    QSqlQuery q = dm.db().exec(QStringLiteral("select count(*) from ZNACHENIE where KOD_K = 11"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    QSqlQuery mark = dm.db().exec(QStringLiteral("select distinct CHECK_KONTROL from ZNACHENIE where KOD_OBJ = 7 and KOD_K = 10 and KOD_DANPER = 41"));
    ASSERT_TRUE(mark.next());
    EXPECT_EQ(mark.value(0).toInt(), 1);
}

TEST_F(FormEntryTest, AnInterruptedSaveLeavesTheOldValues) {
    store(kSelectionValues);
    FormGrid& g = open(1).grid();
    g.setText(3, 4, QStringLiteral("1"));
    g.setText(3, 5, QStringLiteral("2"));
    g.setText(3, 6, QStringLiteral("3"));
    entry->afterInsert = [](int stored) {
        if (stored == 2) throw DatabaseError(QStringLiteral("Помилка бази даних: disk I/O error"));
    };
    EXPECT_THROW(entry->save(keys(), prompter), DatabaseError);
    const auto values = stored();
    EXPECT_EQ(values.value({3, 3}), 1234.5);
    EXPECT_EQ(values.value({9, 9}), 77.0);
    EXPECT_FALSE(values.contains({3, 4}));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(FormEntryTest, ClearAsksAndEmptiesOnlyTheSelection) {
    store(kSelectionValues);
    FormGrid& g = open(1).grid();
    prompter.answer({false});
    entry->clear(keys(), prompter);
    EXPECT_EQ(g.text(3, 3), QStringLiteral("1234,5"));
    EXPECT_EQ(stored().size(), 3);
    const auto otherKey = [&] {
        QSqlQuery q = dm.db().exec(QStringLiteral("select count(*) from ZNACHENIE where KOD_K = 11"));
        return q.next() ? q.value(0).toInt() : -1;
    };
    prompter.answer({true});
    entry->clear(keys(), prompter);
    EXPECT_EQ(prompter.shown().back().text, QStringLiteral("Ви впевнені, що бажаєте очистити форму?"));
    EXPECT_EQ(g.text(3, 3), QString());
    EXPECT_EQ(g.text(4, 3), kProtected);
    EXPECT_EQ(g.text(1, 3), QStringLiteral("Доходи"));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(otherKey(), 1);
    EXPECT_EQ(stored(1, 8).size(), 1);
    EXPECT_EQ(stored(1, 7, 40).size(), 1);
}

TEST(InterruptedSave, AKilledProcessLeavesTheOldValues) {
    QTemporaryDir dir;
    createDatabaseFolder(dir.path(), false);
    {
        TDM dm;
        dm.pointAt(dir.path());
        dm.probe();
        const Database& db = dm.db();
        db.transaction([&] {
            db.exec(QStringLiteral("insert into S_FORM (KOD_FORM, NOMER_FORM, NAME_FORM, KOD_DANPER, KOD_TYPE_ZVITNOST, "
                                   "ROUNDTOWHOLE) values (1, 1, 'Велика', 41, 1, 0)"));
            for (int c = 1; c <= 30; ++c)
                db.exec(QStringLiteral("insert into S_COLUMN values (1, :c, :c, :p)"),
                        {{QStringLiteral(":c"), c}, {QStringLiteral(":p"), c == 1 ? 1 : 0}});
            for (int r = 1; r <= 200; ++r)
                db.exec(QStringLiteral("insert into S_ROW values (1, :r, :r, :p, 0)"),
                        {{QStringLiteral(":r"), r}, {QStringLiteral(":p"), r <= 2 ? 1 : 0}});
            for (int c = 2; c <= 30; ++c)
                for (int r = 3; r <= 200; ++r)
                    db.exec(QStringLiteral("insert into ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_STAN, KOD_DANPER, KOD_K, KOD_F, "
                                           "KOD_Z, KOD_G, NOMER_COL, NOMER_ROW, ZNACHENIE, CHECK_KONTROL) values "
                                           "(1, 7, 1, 41, 10, 20, 30, 40, :c, :r, 1, 1)"),
                            {{QStringLiteral(":c"), c}, {QStringLiteral(":r"), r}});
        });
    }
    QProcess child;
    child.start(QStringLiteral(SAVE_CHILD_PATH), {dir.path()});
    ASSERT_TRUE(child.waitForReadyRead(60000)) << child.readAllStandardError().toStdString();
    EXPECT_EQ(child.readLine().trimmed(), QByteArray("inserting"));
    child.kill();  // SIGKILL in the middle of the transaction
    ASSERT_TRUE(child.waitForFinished(10000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    TDM dm;
    dm.pointAt(dir.path());
    dm.probe();
    QSqlQuery q = dm.db().exec(QStringLiteral("select count(*), min(ZNACHENIE), max(ZNACHENIE) from ZNACHENIE"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 29 * 198);  // every old value, and no new one
    EXPECT_EQ(q.value(1).toDouble(), 1.0);
    EXPECT_EQ(q.value(2).toDouble(), 1.0);
}
