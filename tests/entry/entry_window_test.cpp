#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/app_state.h"
#include "app/windows.h"
#include "docs/word_document.h"
#include "entry/entry_grid_view.h"
#include "entry/form_grid_model.h"
#include "entry/form_entry.h"
#include "entry/input_znach_form.h"
#include "formula/progress_form.h"
#include "model/database_folder.h"
#include "model/main_form.h"
#include "platform/database.h"
#include "support/printers.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using zelvan::test::ScriptedPrompter;

namespace {

class EntryWindow : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), true);
        state.configPath = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
        state.locale = UserLocale{u',', QStringLiteral("dd.MM.yyyy")};
        state.dm.pointAt(dir.path());
        state.dm.probe();
        window = std::make_unique<TInput_Znach_Form>(state, prompter);
    }

    // Shows form `kodForm` for the demo organisation under the given keys.
    void open(int kodForm, const QString& number, std::array<int, 4> keys) {
        window->setContextProvider([=] {
            EntryContext c;
            c.selection.kodDanper = 41;
            c.selection.kodObj = 31245;
            c.selection.kodStan = 1;
            c.selection.kodForm = kodForm;
            c.selection.nomerForm = number;
            c.selection.nameForm = QStringLiteral("Форма");
            c.selection.locPeriod = QStringLiteral("01.07.2026");
            c.selection.kodK = keys[0];
            c.selection.kodF = keys[1];
            c.selection.kodZ = keys[2];
            c.selection.kodG = keys[3];
            c.codes[0] = QStringLiteral("0");
            c.codes[1] = QStringLiteral("1");
            c.codes[2] = QStringLiteral("0");
            c.codes[3] = QStringLiteral("2");
            return c;
        });
        ASSERT_TRUE(window->FormShow());
        window->show();
        QApplication::setActiveWindow(window.get());
        view()->setFocus();
    }

    EntryGridView* view() const { return window->grid(); }
    FormGrid& grid() const { return window->entry().grid(); }
    std::pair<int, int> current() const { return {view()->currentIndex().column(), view()->currentIndex().row()}; }

    QTemporaryDir dir;
    AppState state;
    ScriptedPrompter prompter;
    std::unique_ptr<TInput_Znach_Form> window;
};

const std::array<int, 4> kGeneralFund{1000, 2001, 3000, 4002};

}  // namespace

TEST_F(EntryWindow, ShowsTheFormWithItsCaptionsAndValues) {
    open(101, QStringLiteral("2"), kGeneralFund);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Ввод / редагування данних"));
    EXPECT_EQ(window->minimumSize(), QSize(221, 196));
    EXPECT_EQ(window->laDate->text(), QStringLiteral("01.07.2026"));
    EXPECT_EQ(window->laOrganisation->text(), QStringLiteral("Комунальний заклад \"Ліцей № 7\" Житомирської міської ради"));
    EXPECT_EQ(window->laForm->text(), QStringLiteral("№2  Форма Бюджетна(грн.)"));
    EXPECT_EQ(window->statusPanels[2]->text(), QStringLiteral("Шаблон : F2D.docx"));
    EXPECT_EQ(window->laCodes[3]->text(), QStringLiteral("2"));
    EXPECT_EQ(grid().text(5, 4), QStringLiteral("1032456,78"));
    EXPECT_TRUE(view()->isColumnHidden(0));
    EXPECT_TRUE(view()->isRowHidden(0));
    EXPECT_EQ(current(), std::make_pair(3, 3));
    for (const QString& name : {QStringLiteral("BitBtn3"), QStringLiteral("BitBtn6"), QStringLiteral("BitBtn7"),
                                QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2")})
        EXPECT_TRUE(window->findChild<QPushButton*>(name)->isVisible()) << name.toStdString();
}

TEST_F(EntryWindow, KeysWalkTheOpenCellsAndMarkTheFormChanged) {
    open(101, QStringLiteral("2"), kGeneralFund);
    EXPECT_FALSE(grid().unsaved());
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(current(), std::make_pair(4, 3));
    EXPECT_TRUE(grid().unsaved());  // Enter counts as typed
    EXPECT_EQ(window->statusPanels[0]->text(), QStringLiteral("Колонка: 4"));
    EXPECT_EQ(window->statusPanels[1]->text(), QStringLiteral("Рядок: X"));

    // The staff row: column 4 is grey, so Ctrl+Right jumps from 3 to 5.
    grid().placeCurrent(3, 16);
    view()->syncCurrent();
    QTest::keyClick(view(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(current(), std::make_pair(5, 16));
    // A plain arrow stops in front of the grey cell.
    QTest::keyClick(view(), Qt::Key_Left);
    EXPECT_EQ(current(), std::make_pair(5, 16));
    // Ctrl+Up walks up the open rows; Ctrl+Left never enters the heading columns.
    grid().placeCurrent(3, 4);
    view()->syncCurrent();
    QTest::keyClick(view(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(current(), std::make_pair(3, 3));
    QTest::keyClick(view(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(current(), std::make_pair(3, 3));
    QTest::keyClick(view(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(current(), std::make_pair(3, 3));

    // Esc too marks the form changed.
    grid().setUnsaved(false);
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_TRUE(grid().unsaved());
}

TEST_F(EntryWindow, ClickingAClosedCellDoesNotMoveButNamesIt) {
    open(101, QStringLiteral("2"), kGeneralFund);
    const QModelIndex heading = view()->model()->index(5, 1);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(heading).center());
    EXPECT_EQ(current(), std::make_pair(3, 3));
    EXPECT_EQ(window->statusPanels[1]->text(), QStringLiteral("Рядок: 2120"));
    const QModelIndex open = view()->model()->index(6, 5);
    view()->scrollTo(open);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(open).center());
    EXPECT_EQ(current(), std::make_pair(5, 6));
}

TEST_F(EntryWindow, TypedValuesAreSavedAndShownAgain) {
    open(102, QStringLiteral("4.1"), {1000, 2002, 3000, 4002});
    grid().placeCurrent(3, 10);  // 2250
    view()->syncCurrent();
    QTest::keyClick(view(), Qt::Key_1);  // typing opens the cell editor
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("200,5"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(grid().text(3, 10), QStringLiteral("1200,5"));
    EXPECT_EQ(current(), std::make_pair(4, 10));
    EXPECT_TRUE(grid().unsaved());
    window->BitBtn1Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Ведені дані збережені."));
    EXPECT_FALSE(grid().unsaved());
    EXPECT_EQ(window->ProgressBar1->value(), 0);
    window->FormShow();
    EXPECT_EQ(grid().text(3, 10), QStringLiteral("1200,5"));
}

TEST_F(EntryWindow, AFailedSaveSelectsTheCell) {
    open(102, QStringLiteral("4.1"), {1000, 2002, 3000, 4002});
    grid().setText(4, 6, QStringLiteral("1,25"));  // the form allows one decimal
    window->BitBtn1Click();
    EXPECT_TRUE(prompter.shown().back().yesOnly);
    EXPECT_EQ(current(), std::make_pair(4, 6));
    EXPECT_EQ(window->ProgressBar1->value(), 0);
}

TEST_F(EntryWindow, SheetsOfAMultiSheetFormSwitchKeepingTheUnsavedFlag) {
    open(103, QStringLiteral("4.2"), {1000, 2002, 3000, 4001});
    ASSERT_EQ(window->dblForm->count(), 2);
    EXPECT_EQ(window->dblForm->currentText(), QStringLiteral("4.2"));
    grid().setUnsaved(true);
    window->dblFormChange(1);
    EXPECT_EQ(window->entry().kodForm(), 104);
    EXPECT_TRUE(window->laForm->text().startsWith(QStringLiteral("№4.21  ")));
    EXPECT_TRUE(grid().unsaved());
    EXPECT_EQ(grid().text(3, 4), QStringLiteral("65000"));
    EXPECT_EQ(grid().colCount(), 4);
    // A single-sheet form shown afterwards leaves the selector as it was.
    open(101, QStringLiteral("2"), kGeneralFund);
    EXPECT_EQ(window->dblForm->count(), 2);
}

TEST_F(EntryWindow, ClearAnsweredYesEmptiesTheForm) {
    open(101, QStringLiteral("2"), kGeneralFund);
    prompter.answer({true});
    window->BitBtn3Click();
    EXPECT_EQ(grid().text(5, 4), QString());
    EXPECT_EQ(grid().text(4, 16), QStringLiteral("*****"));
    QSqlQuery q = state.dm.db().exec(QStringLiteral("select count(*) from ZNACHENIE where KOD_FORM = 101"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
}

TEST(EntryFromMainWindow, OpensTheChosenFormAndRefusesABrokenOne) {
    QTemporaryDir dir;
    createDatabaseFolder(dir.path(), true);
    AppState state;
    state.configPath = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    state.dm.pointAt(dir.path());
    state.dm.probe();
    loadTableText(state.dm.db(), QStringLiteral("S_FORM"),
                  "KOD_FORM\tNOMER_FORM\tNAME_FORM\tKOD_DANPER\tKOD_TYPE_ZVITNOST\tKOD_TYPE_FORM\n"
                  "301\t9\tБез колонок\t41\t1\t1\n");
    ScriptedPrompter prompter;
    test::RecordingDesktop desktop;
    Windows windows(state, prompter);
    TMain_Form main(state, prompter, windows, desktop);
    main.show();
    const auto select = [&](const QString& kodForm) {
        main.ListView1->clearSelection();
        for (int i = 0; i < main.ListView1->topLevelItemCount(); ++i) {
            if (main.ListView1->topLevelItem(i)->text(2) == kodForm) main.ListView1->topLevelItem(i)->setSelected(true);
        }
    };
    select(QStringLiteral("101"));
    main.Edit5->setText(QStringLiteral("1"));
    main.Edit1->setText(QStringLiteral("2"));
    int shownForm = 0;
    QTimer::singleShot(0, [&] {
        auto* entry = qobject_cast<TInput_Znach_Form*>(QApplication::activeModalWidget());
        if (entry) {
            shownForm = entry->entry().kodForm();
            EXPECT_EQ(entry->entry().grid().text(3, 4), QStringLiteral("4200000"));
            entry->close();
        }
    });
    main.BitBtn3Click();
    EXPECT_EQ(shownForm, 101);

    select(QStringLiteral("301"));
    main.BitBtn3Click();  // no modal window opens
    EXPECT_TRUE(prompter.texts().last().startsWith(QStringLiteral("Форму № 9 \"Без колонок\" не можна відкрити")));
}

namespace {

// The control of the general fund's form 2d, whose cash total (column 5, row 3) is typed
// 100 too high.
class EntryControl : public EntryWindow {
protected:
    void SetUp() override {
        EntryWindow::SetUp();
        state.reportViewer = &viewer;
        open(101, QStringLiteral("2"), kGeneralFund);
    }
    bool marked(int col, int row) const {
        return view()->model()->index(row, col).data(FormGridModel::DeviationRole).toBool();
    }
    test::RecordingViewer viewer;
};

}  // namespace

TEST_F(EntryControl, DeviationsAreReportedListedMarkedAndGoneAfterTheFix) {
    prompter.answer({true});
    window->BitBtn4Click();
    ASSERT_FALSE(prompter.shown().empty());
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("Прокотролювати введені данні?"));
    EXPECT_EQ(prompter.shown()[0].caption, QStringLiteral("Завершення роботи "));
    EXPECT_EQ(prompter.shown().size(), 1u);  // the report speaks for itself

    ASSERT_EQ(viewer.reports.size(), 1u);
    const QString report = viewer.reports[0].plainText();
    EXPECT_TRUE(report.contains(QStringLiteral("Форма: / №2  Форма Бюджетна(грн.)"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Звітний період: / 01.07.2026")));
    EXPECT_TRUE(report.contains(QStringLiteral("рядок Видатки - усього, графа Касові видатки за звітний період | "
                                               "1777620,54 | ")))
        << report.toStdString();

    ASSERT_TRUE(window->lvDeviations->isVisible());
    ASSERT_EQ(window->lvDeviations->topLevelItemCount(), 1);
    QTreeWidgetItem* line = window->lvDeviations->topLevelItem(0);
    EXPECT_EQ(line->text(1), QStringLiteral("1777620,54"));
    EXPECT_EQ(line->text(2), QStringLiteral("1777520,54"));
    EXPECT_TRUE(marked(5, 3));
    EXPECT_FALSE(marked(5, 4));

    // Choosing the line makes its cell current; the corrected value clears its mark. (The
    // progress window took the activation; the window manager gives it back.)
    QApplication::setActiveWindow(window.get());
    grid().placeCurrent(3, 4);
    view()->syncCurrent();
    window->lvDeviations->setCurrentItem(line);
    emit window->lvDeviations->itemActivated(line, 0);
    EXPECT_EQ(current(), std::make_pair(5, 3));
    QTest::keyClick(view(), Qt::Key_1);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("1777520,54"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(marked(5, 3));

    // Not saved yet: no control.
    window->BitBtn4Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Дані не збережено! Контроль неможливий!"));

    window->BitBtn1Click();
    prompter.answer({true});
    window->BitBtn4Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Обробка даних закінчена. Помилок не виявлено."));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Information);
    EXPECT_EQ(viewer.reports.size(), 1u);
    EXPECT_FALSE(window->lvDeviations->isVisible());
}

TEST_F(EntryControl, AnsweredNoOrStoppedWithEscGivesNothing) {
    prompter.answer({false});
    window->BitBtn4Click();
    EXPECT_EQ(prompter.shown().size(), 1u);
    EXPECT_TRUE(viewer.reports.empty());

    // Esc in the progress window as soon as it shows stops before the second formula.
    bool pressed = false;
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<TfmProgress*>(top); progress && progress->isVisible() && !pressed) {
                QTest::keyClick(progress, Qt::Key_Escape);
                pressed = true;
            }
        }
    });
    escape.start(0);
    prompter.answer({true});
    window->BitBtn4Click();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(prompter.shown().size(), 2u);  // the two questions only
    EXPECT_TRUE(viewer.reports.empty());
    EXPECT_FALSE(window->lvDeviations->isVisible());
}

TEST_F(EntryControl, AMissingTemplateIsNamedAndTheDeviationsStillListed) {
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("SaveInt.frf"))));
    prompter.answer({true});
    window->BitBtn4Click();
    EXPECT_TRUE(viewer.reports.empty());
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("SaveInt.frf"))) << prompter.texts().last().toStdString();
    EXPECT_EQ(window->lvDeviations->topLevelItemCount(), 1);
}

TEST_F(EntryWindow, TheTemplateIsFilledIntoAProgramCopyAndOpened) {
    test::RecordingDesktop desktop;
    state.desktop = &desktop;
    state.filledDocumentsDir = dir.filePath(QStringLiteral("filled"));
    open(101, QStringLiteral("2"), kGeneralFund);
    grid().setText(3, 4, QStringLiteral("4200001"));  // typed, not saved: the grid is what is filled
    grid().setUnsaved(true);
    window->BitBtn6Click();
    const QString copy = dir.filePath(QStringLiteral("filled/F2D.docx"));
    EXPECT_EQ(desktop.opened, QStringList{copy});
    EXPECT_EQ(state.madeDocuments, QStringList{copy});
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(WordDocument::load(copy).cellText(1, 4, 3), QStringLiteral("4200001,00"));
    EXPECT_EQ(window->ProgressBar1->value(), 0);
    EXPECT_TRUE(grid().unsaved());

    // A multi-sheet form with unsaved values is not walked.
    open(103, QStringLiteral("4.2"), {1000, 2002, 3000, 4001});
    grid().setUnsaved(true);
    window->BitBtn6Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Дані не збережено! Збережіть форму, а потім заповнюйте шаблон."));
    EXPECT_EQ(desktop.opened.size(), 1);

    // Saved, it is walked sheet by sheet and ends on the last sheet.
    grid().setUnsaved(false);
    window->BitBtn6Click();
    EXPECT_EQ(desktop.opened.last(), dir.filePath(QStringLiteral("filled/F4_2D.docx")));
    EXPECT_EQ(window->entry().kodForm(), 104);
    EXPECT_EQ(window->dblForm->currentText(), QStringLiteral("4.21"));

    // A missing template: its name in the message, nothing opened.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("F2D.docx"))));
    open(101, QStringLiteral("2"), kGeneralFund);
    window->BitBtn6Click();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("Файл шаблону \"%1\" не знайдено.").arg(dir.filePath(QStringLiteral("F2D.docx"))));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Error);
    EXPECT_EQ(desktop.opened.size(), 2);
}
