#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/error.h"
#include "app/windows.h"
#include "dict/vidatki_forms.h"
#include "entry/input_znach_form.h"
#include "model/database_folder.h"
#include "model/main_form.h"
#include "model/organisation_card.h"
#include "platform/database.h"
#include "support/printers.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using zelvan::test::ScriptedPrompter;

namespace {

class FixedClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 11), QTime(15, 30, 5)); }
};

// The main window over a fresh demo database, with a configuration file.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        dbDir = dir.filePath(QStringLiteral("db"));
        createDatabaseFolder(dbDir, true);
        state.configPath = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
        ConfigFile config;
        config.setValue(QStringLiteral("DB_Dir"), dbDir);
        config.setValue(QStringLiteral("WinRar_Dir"), dir.filePath(QStringLiteral("copies")));
        config.setValue(QStringLiteral("FTP_KOD_OBJ"), QStringLiteral("31245"));
        config.setValue(QStringLiteral("Custom"), QStringLiteral("kept"));
        config.save(state.configPath);
        state.settings = AppSettings::fromConfig(config);
        state.locale = UserLocale{u',', QStringLiteral("dd.MM.yyyy")};
        state.clock = &clock;
        state.dm.pointAt(dbDir);
        state.dm.probe();
        windows = std::make_unique<Windows>(state, prompter);
        form = std::make_unique<TMain_Form>(state, prompter, *windows, desktop);
    }

    void show() { form->show(); }

    QStringList listColumn(int column) const {
        QStringList texts;
        for (int i = 0; i < form->ListView1->topLevelItemCount(); ++i) texts << form->ListView1->topLevelItem(i)->text(column);
        return texts;
    }

    void selectForm(const QString& kodForm) {
        for (int i = 0; i < form->ListView1->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = form->ListView1->topLevelItem(i);
            if (item->text(2) == kodForm) {
                item->setSelected(true);
                return;
            }
        }
        ADD_FAILURE() << "no form " << kodForm.toStdString() << " in the list";
    }

    int count(const QString& sql) {
        QSqlQuery q = state.dm.db().exec(sql);
        return q.next() ? q.value(0).toInt() : -1;
    }

    QTemporaryDir dir;
    QString dbDir;
    FixedClock clock;
    AppState state;
    ScriptedPrompter prompter;
    test::RecordingDesktop desktop;
    std::unique_ptr<Windows> windows;
    std::unique_ptr<TMain_Form> form;
};

// Runs `act` on the modal window that the next exec() opens.
template <typename Act>
void onNextModal(Act act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr) << "no modal window opened";
        act(modal);
    });
}

}  // namespace

TEST_F(MainWindow, FillsItselfFromTheDatabase) {
    show();
    EXPECT_EQ(form->Label7->text(), QStringLiteral("01.07.2026"));
    EXPECT_EQ(form->ComboBox1->count(), 4);
    EXPECT_EQ(form->ComboBox1->itemText(0), QStringLiteral("01.01.2026"));
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("01.07.2026"));  // no LocPeriod: the structure period
    EXPECT_EQ(form->ComboBox2->count(), 2);
    EXPECT_EQ(form->ComboBox2->currentText(), QStringLiteral("Бюджетна"));  // preselected by the card
    EXPECT_TRUE(form->Panel4->isVisible());
    EXPECT_FALSE(form->Panel1->isVisible());
    EXPECT_EQ(listColumn(1), (QStringList{QStringLiteral("2"), QStringLiteral("4.1"), QStringLiteral("4.2"),
                                          QStringLiteral("4.21")}));
    EXPECT_FALSE(form->filledFormsMode());
    for (QLineEdit* code : {form->Edit3, form->Edit5, form->Edit7, form->Edit1}) EXPECT_EQ(code->text(), QStringLiteral("0"));
    for (QLineEdit* name : {form->Edit4, form->Edit6, form->Edit8, form->Edit2}) EXPECT_EQ(name->text(), QStringLiteral("НЕ ВКАЗАНО"));
    const ReportSelection s = form->selection();
    EXPECT_EQ(s.kodDanper, 41);
    EXPECT_EQ(s.kodObj, 31245);
    EXPECT_EQ(s.kodStan, 1);
    EXPECT_EQ(s.kodTypeZvitnost, 1);
    EXPECT_EQ((std::array<int, 4>{s.kodK, s.kodF, s.kodZ, s.kodG}), (std::array<int, 4>{1000, 2000, 3000, 4000}));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(MainWindow, ThePeriodBoxShowsTheSavedLocalPeriod) {
    ConfigFile config = ConfigFile::load(state.configPath);
    config.setValue(QStringLiteral("LocPeriod"), QStringLiteral("01.04.2026"));
    config.save(state.configPath);
    show();
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("01.04.2026"));
}

TEST_F(MainWindow, ReportTypeChangeSetsPanelsAndList) {
    show();
    form->ComboBox2->setEditText(QStringLiteral("Госпрозрахункова"));
    EXPECT_FALSE(form->Panel4->isVisible());
    EXPECT_TRUE(form->Panel1->isVisible());
    EXPECT_EQ(listColumn(2), (QStringList{QStringLiteral("201"), QStringLiteral("202")}));
    EXPECT_EQ(form->selection().kodTypeZvitnost, 2);

    form->ComboBox2->setEditText(QString());
    EXPECT_EQ(listColumn(2).size(), 6);  // every form but the two control forms
    EXPECT_FALSE(listColumn(2).contains(QStringLiteral("105")));

    form->ComboBox2->setEditText(QStringLiteral("Інша"));
    EXPECT_EQ(form->selection().kodTypeZvitnost, 0);
    EXPECT_TRUE(form->Panel4->isVisible());
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 0);
}

TEST_F(MainWindow, PeriodChangeAnsweredNoPutsBackTheRememberedEntry) {
    show();
    // Never opened: the remembered entry is the first.
    prompter.answer({false});
    form->ComboBox1->setEditText(QStringLiteral("0"));  // one keystroke asks at once
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("01.01.2026"));

    // The list is opened while the box shows 01.07.2026: that entry is remembered.
    {
        const QSignalBlocker block(form->ComboBox1);
        form->ComboBox1->setEditText(QStringLiteral("01.07.2026"));
    }
    form->ComboBox1DropDown();
    EXPECT_EQ(form->rememberedPeriodIndex(), 2);
    prompter.answer({false});
    form->ComboBox1->setEditText(QStringLiteral("01.10.2026"));
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("01.07.2026"));
    prompter.answer({true, false});
    form->ComboBox1->setCurrentIndex(0);
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("01.07.2026"));

    EXPECT_GT(count(QStringLiteral("select count(*) from ZNACHENIE")), 0);
    EXPECT_FALSE(ConfigFile::load(state.configPath).contains(QStringLiteral("LocPeriod")));
    EXPECT_FALSE(QDir(QDir(dbDir).filePath(QStringLiteral("backup"))).exists());
    ASSERT_EQ(prompter.shown().size(), 4u);
    for (const auto& shown : prompter.shown()) {
        EXPECT_TRUE(shown.isStyled);
        EXPECT_EQ(shown.styledType, TMsgDlgType::mtWarning);
        EXPECT_EQ(shown.styleLanguage, QChar(u'U'));
    }
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("За зміною періоду звітності будуть знищені всі дані, введені "
                                                       "раніше в форми звітності! Продовжити?"));
    EXPECT_EQ(prompter.shown()[3].text, QStringLiteral("Знищити всі дані?"));
}

TEST_F(MainWindow, PeriodChangeConfirmedTwiceDeletesEveryValueAfterABackup) {
    // A value of another organisation goes too.
    loadTableText(state.dm.db(), QStringLiteral("ZNACHENIE"), "KOD_FORM\tKOD_OBJ\tZNACHENIE\n101\t999\t5\n");
    show();
    const int before = count(QStringLiteral("select count(*) from ZNACHENIE"));
    prompter.answer({true, true});
    form->ComboBox1->setCurrentIndex(3);
    EXPECT_EQ(count(QStringLiteral("select count(*) from ZNACHENIE")), 0);

    const ConfigFile config = ConfigFile::load(state.configPath);
    EXPECT_EQ(config.value(QStringLiteral("LocPeriod")), QStringLiteral("01.10.2026"));
    EXPECT_EQ(config.value(QStringLiteral("DB_Dir")), dbDir);
    EXPECT_EQ(config.value(QStringLiteral("Custom")), QStringLiteral("kept"));
    EXPECT_EQ(config.lines().last(), QStringLiteral("LocPeriod=01.10.2026"));

    const QString backup = QDir(dbDir).filePath(QStringLiteral("backup/zelvan-2026-12-11_15-30-05.sqlite"));
    ASSERT_TRUE(QFile::exists(backup));
    Database copy(backup, Database::Mode::OpenExisting);
    QSqlQuery q = copy.exec(QStringLiteral("select count(*) from ZNACHENIE"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), before);
    // The structure period and the list stay.
    EXPECT_EQ(form->selection().kodDanper, 41);
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 4);
}

TEST_F(MainWindow, PeriodChangeDropsEmptyKeysAndKeepsTheOthers) {
    QFile file(state.configPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("DB_Dir=" + dbDir.toUtf8() + "\r\nWinRar_Dir=\r\nOther=1\r\nLocPeriod=01.01.2026\r\n");
    file.close();
    show();
    prompter.answer({true, true});
    form->ComboBox1->setEditText(QStringLiteral("01.04.2026"));
    EXPECT_EQ(ConfigFile::load(state.configPath).lines(),
              (QStringList{QStringLiteral("DB_Dir=") + dbDir, QStringLiteral("Other=1"),
                           QStringLiteral("LocPeriod=01.04.2026")}));
}

TEST_F(MainWindow, ChoosingAFormInTypeModeResetsTheCodes) {
    show();
    form->Edit3->setText(QStringLiteral("2111"));
    form->Edit5->setText(QStringLiteral("1"));
    EXPECT_EQ(form->Edit4->text(), QStringLiteral("Заробітна плата"));
    selectForm(QStringLiteral("102"));
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("0"));
    EXPECT_EQ(form->selection().kodK, 1000);
    EXPECT_EQ(form->selection().kodForm, 102);
}

TEST_F(MainWindow, ClassifierLookups) {
    show();
    struct Case {
        QLineEdit* code;
        QLineEdit* name;
        const char* typed;
        const char* expectedName;
        int expectedKey;
        int keyIndex;
    };
    const Case cases[] = {
        {form->Edit3, form->Edit4, "2111", "Заробітна плата", 1001, 0},
        {form->Edit3, form->Edit4, "2282", "", 0, 0},  // ended before the structure period
        {form->Edit3, form->Edit4, "0", "НЕ ВКАЗАНО", 1000, 0},
        {form->Edit5, form->Edit6, "2", "Спеціальний фонд", 2002, 1},
        {form->Edit7, form->Edit8, "9", "", 0, 2},
        {form->Edit1, form->Edit2, "1", "Кошти державного бюджету", 4001, 3},
    };
    for (const Case& c : cases) {
        c.code->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(c.name->text(), QString::fromUtf8(c.expectedName)) << c.typed;
        const ReportSelection s = form->selection();
        const int keys[4] = {s.kodK, s.kodF, s.kodZ, s.kodG};
        EXPECT_EQ(keys[c.keyIndex], c.expectedKey) << c.typed;
    }
    form->Edit3->setText(QStringLiteral("2210"));
    EXPECT_EQ(form->Edit10->text(), QStringLiteral("2200"));
    // An emptied field empties the name but keeps the key.
    form->Edit3->clear();
    EXPECT_EQ(form->Edit4->text(), QString());
    EXPECT_EQ(form->Edit10->text(), QString());
    EXPECT_EQ(form->selection().kodK, 1003);
    // Letters cannot be typed into a code field.
    QLineEdit* code = form->Edit5;
    int position = 0;
    QString letters = QStringLiteral("1a");
    EXPECT_NE(code->validator()->validate(letters, position), QValidator::Acceptable);
}

TEST_F(MainWindow, NameLookupOnLeavingTheNameField) {
    show();
    form->Edit6->setText(QStringLiteral("Загальний фонд"));
    form->Edit6Exit();
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("1"));
    EXPECT_EQ(form->selection().kodF, 2001);
    form->Edit6->setText(QStringLiteral("Немає такого"));
    form->Edit6Exit();
    EXPECT_EQ(form->Edit5->text(), QString());
    EXPECT_EQ(form->Edit6->text(), QString());
    EXPECT_EQ(form->selection().kodF, 0);
}

TEST_F(MainWindow, PickListSearchAndChoice) {
    show();
    QStringList names;
    QString title;
    onNextModal([&](QWidget* modal) {
        auto* list = qobject_cast<TVidatki_List_Form*>(modal);
        ASSERT_NE(list, nullptr);
        title = list->windowTitle();
        for (int r = 0; r < list->rowCountOfData(); ++r) names << list->nameAt(r);
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_TRUE(list->StringGrid1->isColumnHidden(2));
        EXPECT_FALSE(list->StringGrid1->isColumnHidden(3));
        // The search: case counts, the first name in name order wins.
        onNextModal([](QWidget* findWindow) {
            auto* find = findWindow->findChild<QLineEdit*>(QStringLiteral("Edit1"));
            EXPECT_EQ(find->text(), QString());
            find->setText(QStringLiteral("ОПЛАТА"));
            findWindow->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            EXPECT_TRUE(findWindow->isVisible());  // nothing: stays open on the last row
            find->setText(QStringLiteral("Оплата"));
            findWindow->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            EXPECT_FALSE(findWindow->isVisible());
        });
        list->BitBtn5Click();
        EXPECT_EQ(list->nameAt(list->currentRow()), QStringLiteral("Оплата водопостачання та водовідведення"));
        list->BitBtn1->click();
    });
    form->Button3Click();
    EXPECT_EQ(title, QStringLiteral("Словник видатків"));
    EXPECT_EQ(names.size(), 13);  // the ended code is not offered
    EXPECT_FALSE(names.contains(QStringLiteral("Окремі заходи по реалізації державних (регіональних) програм, не "
                                               "віднесені до заходів розвитку")));
    EXPECT_EQ(names.first(), QStringLiteral("Видатки на відрядження"));
    EXPECT_LT(names.indexOf(QStringLiteral("Інші поточні видатки")), names.indexOf(QStringLiteral("Нарахування на оплату праці")));
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("2272"));
    EXPECT_EQ(form->selection().kodK, 1008);
}

TEST_F(MainWindow, PickListClosedWithoutMovingTakesTheFirstEntry) {
    show();
    onNextModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Словник видів фонду"));
        modal->close();
    });
    form->Button4Click();
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("Загальний фонд"));
}

TEST_F(MainWindow, OpeningTheEntryWindowChecksTheSelection) {
    show();
    const QString empty;
    form->ComboBox1->blockSignals(true);
    form->ComboBox1->setEditText(empty);
    form->ComboBox1->blockSignals(false);
    form->BitBtn3Click();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Не вибран період.")});

    form->ComboBox1->blockSignals(true);
    form->ComboBox1->setEditText(QStringLiteral("01.07.2026"));
    form->ComboBox1->blockSignals(false);
    form->BitBtn3Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Не вибрана форма."));

    selectForm(QStringLiteral("101"));
    for (QLineEdit* code : {form->Edit3, form->Edit5, form->Edit7, form->Edit1}) code->setText(QStringLiteral("77"));
    bool opened = false;
    onNextModal([&](QWidget* modal) {
        opened = qobject_cast<TInput_Znach_Form*>(modal) != nullptr;
        modal->close();
    });
    const size_t before = prompter.shown().size();
    form->BitBtn3Click();
    EXPECT_TRUE(opened);
    const QStringList texts = prompter.texts().mid(qsizetype(before));
    EXPECT_EQ(texts, (QStringList{
                         QStringLiteral("Не вибран код класифікації видатків. Програма підставить значення \"НЕ ВКАЗАНО\"."),
                         QStringLiteral("Не вибран вид фонду. Програма підставить значення \"НЕ ВКАЗАНО\"."),
                         QStringLiteral("Не вибран вид замовлення. Програма підставить значення \"НЕ ВКАЗАНО\"."),
                         QStringLiteral("Не вибран вид коштів. Програма підставить значення \"НЕ ВКАЗАНО\"."),
                     }));
    for (QLineEdit* code : {form->Edit3, form->Edit5, form->Edit7, form->Edit1}) EXPECT_EQ(code->text(), QStringLiteral("0"));
    EXPECT_EQ(form->selection().kodG, 4000);
}

TEST_F(MainWindow, ControlOnlyFormsAreRefused) {
    loadTableText(state.dm.db(), QStringLiteral("ZNACHENIE"),
                  "KOD_FORM\tKOD_OBJ\tKOD_STAN\tKOD_DANPER\tKOD_K\tKOD_F\tKOD_Z\tKOD_G\tNOMER_COL\tNOMER_ROW\tZNACHENIE\n"
                  "105\t31245\t1\t41\t1000\t2000\t3000\t4000\t2\t3\t1\n");
    show();
    form->BitBtn9Click();
    selectForm(QStringLiteral("105"));
    form->BitBtn3Click();
    EXPECT_EQ(prompter.texts().last(),
              QStringLiteral("Дана форма призначена для контроля показників. Ввод даних неможливий."));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Information);
}

TEST_F(MainWindow, FilledFormsListEveryCombination) {
    // Form 101 filled under a second expense code too.
    loadTableText(state.dm.db(), QStringLiteral("ZNACHENIE"),
                  "KOD_FORM\tKOD_OBJ\tKOD_STAN\tKOD_DANPER\tKOD_K\tKOD_F\tKOD_Z\tKOD_G\tNOMER_COL\tNOMER_ROW\tZNACHENIE\n"
                  "101\t31245\t1\t41\t1001\t2001\t3000\t4002\t3\t4\t10\n"
                  "101\t31245\t1\t41\t5555\t2001\t3000\t4002\t3\t4\t10\n"
                  "202\t31245\t2\t41\t1000\t2000\t3000\t4000\t3\t3\t10\n");
    show();
    form->BitBtn9Click();
    EXPECT_TRUE(form->filledFormsMode());
    EXPECT_EQ(form->ComboBox2->currentText(), QString());
    EXPECT_TRUE(form->Panel4->isVisible());  // the panels stay
    EXPECT_FALSE(form->ListView1->isColumnHidden(4));
    // One item per form and classifier combination, in the order of the form numbers;
    // the values under state 2 are not this card's.
    QStringList forms = listColumn(2);
    EXPECT_EQ(forms.count(QStringLiteral("101")), 3);
    EXPECT_EQ(forms.count(QStringLiteral("103")), 2);
    EXPECT_EQ(forms.count(QStringLiteral("202")), 1);
    EXPECT_EQ(forms.size(), 10);
    const QStringList numbers = listColumn(1);
    for (qsizetype i = 1; i < numbers.size(); ++i) EXPECT_LE(numbers[i - 1].toDouble(), numbers[i].toDouble());
    QStringList expenseOf101;
    for (int i = 0; i < form->ListView1->topLevelItemCount(); ++i) {
        if (form->ListView1->topLevelItem(i)->text(2) == QStringLiteral("101"))
            expenseOf101 << form->ListView1->topLevelItem(i)->text(3);
    }
    expenseOf101.sort();
    EXPECT_EQ(expenseOf101, (QStringList{QString(), QStringLiteral("0"), QStringLiteral("2111")}));
    // Choosing an item puts its codes into the panel.
    form->ListView1->topLevelItem(form->ListView1->topLevelItemCount() - 1)->setSelected(true);
    EXPECT_EQ(form->Edit5->text(), QStringLiteral("2"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("2"));
    EXPECT_EQ(form->selection().kodF, 2002);

    prompter.answer({});
    form->ComboBox1->blockSignals(true);
    form->ComboBox1->setEditText(QString());
    form->ComboBox1->blockSignals(false);
    form->BitBtn9Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Вкажіть дату."));
}

TEST_F(MainWindow, CrossFormControlNeedsPeriodAndType) {
    show();
    form->ComboBox2->setEditText(QString());
    form->BitBtn7Click();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Введить форму звітності!")});
    form->ComboBox1->blockSignals(true);
    form->ComboBox1->setEditText(QString());
    form->ComboBox1->blockSignals(false);
    form->BitBtn7Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Введить період!"));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Plain);
}

TEST_F(MainWindow, CrossFormControlReportsTheDemoDeviation) {
    test::RecordingViewer viewer;
    state.reportViewer = &viewer;
    show();
    form->ComboBox2->setEditText(QStringLiteral("Бюджетна"));
    prompter.answer({true});
    form->BitBtn7Click();
    ASSERT_FALSE(prompter.shown().empty());
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("Розрахувати та прокотролювати данні між формами по об\"єкту?"));
    EXPECT_EQ(prompter.shown()[0].caption, QStringLiteral("Контроль"));
    EXPECT_EQ(prompter.shown().size(), 1u);
    ASSERT_EQ(viewer.reports.size(), 1u);
    const QString report = viewer.reports[0].plainText();
    EXPECT_TRUE(report.contains(QStringLiteral("\n90 | "))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral(" | 1777620,54 | 1777520,54 | (1777620,54)= | "))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Вид звітності: / Бюджетна(грн.)")));

    form->ComboBox2->setEditText(QStringLiteral("Госпрозрахункова"));
    prompter.answer({true});
    form->BitBtn7Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Немає відхилень!"));
    EXPECT_EQ(viewer.reports.size(), 1u);

    prompter.answer({false});
    form->BitBtn7Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Розрахувати та прокотролювати данні між формами по об\"єкту?"));
}

TEST_F(MainWindow, OrganisationCardEditsArePosted) {
    show();
    OrganisationCardModel* card = form->cardModel();
    QStringList captions;
    for (int r = 0; r < card->rowCount(); ++r) captions << card->index(r, 0).data().toString();
    EXPECT_FALSE(captions.contains(QStringLiteral("Kod_Obj")));
    EXPECT_FALSE(captions.contains(QStringLiteral("Kod_Stan")));
    const int row = int(captions.indexOf(QStringLiteral("Адреса, телефон")));
    ASSERT_GE(row, 0);
    EXPECT_FALSE(card->flags(card->index(row, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(card->setData(card->index(row, 1), QStringLiteral("10014, м. Житомир, вул. Нова, 1")));
    EXPECT_FALSE(card->setData(card->index(row, 2), QStringLiteral("X")));
    // A new row typed into, and one left untouched.
    const int added = card->addRow(-1);
    card->setData(card->index(added, 0), QStringLiteral("Веб-сайт"));
    card->setData(card->index(added, 1), QStringLiteral("lyceum7.zt.ua"));
    card->addRow(-1);
    form->postCard();
    EXPECT_FALSE(card->hasPendingChanges());
    QSqlQuery q = state.dm.db().exec(QStringLiteral("select SOFT_NAME from SORG where SYS_NAME = :s"),
                                     {{QStringLiteral(":s"), QStringLiteral("Адреса, телефон")}});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("10014, м. Житомир, вул. Нова, 1"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from SORG where SOFT_NAME = 'lyceum7.zt.ua'")), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from SORG where SYS_NAME is null")), 0);

    // Deleting asks first.
    const int before = count(QStringLiteral("select count(*) from SORG"));
    prompter.answer({false, true});
    form->dbgSorg->setCurrentIndex(card->index(0, 1));
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
    QApplication::sendEvent(form->dbgSorg, &del);
    EXPECT_EQ(count(QStringLiteral("select count(*) from SORG")), before);
    QApplication::sendEvent(form->dbgSorg, &del);
    EXPECT_EQ(count(QStringLiteral("select count(*) from SORG")), before - 1);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Видалити запис?"));
}

TEST_F(MainWindow, ClosingDeletesOnlyTheFilledCopiesThisRunMade) {
    show();
    QDir().mkpath(dir.filePath(QStringLiteral("filled")));
    const QString made = dir.filePath(QStringLiteral("filled/F2D.docx"));
    const QString other = dir.filePath(QStringLiteral("filled/Мій звіт.doc"));
    for (const QString& path : {made, other}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    state.madeDocuments << made;
    form->close();
    EXPECT_FALSE(QFile::exists(made));
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_TRUE(state.madeDocuments.isEmpty());
}

TEST_F(MainWindow, CardChangesArePostedWhenTheWindowCloses) {
    show();
    OrganisationCardModel* card = form->cardModel();
    card->setData(card->index(0, 3), QStringLiteral("K-1"));
    form->close();
    EXPECT_EQ(count(QStringLiteral("select count(*) from SORG where SOFT_KOD = 'K-1'")), 1);
}

TEST_F(MainWindow, CardWithoutANumericOrganisationCodeStopsTheFillingSilently) {
    state.dm.db().exec(QStringLiteral("update SORG set SOFT_NAME = 'ABC' where SYS_NAME = 'Kod_Obj'"));
    show();
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(form->ComboBox2->currentText(), QString());
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 0);
    EXPECT_EQ(form->Edit3->text(), QString());

    state.dm.db().exec(QStringLiteral("update SORG set SOFT_NAME = '31245' where SYS_NAME = 'Kod_Obj'"));
    state.dm.db().exec(QStringLiteral("update SORG set SOFT_NAME = 'перший' where SYS_NAME = 'Kod_Stan'"));
    EXPECT_THROW(form->FormShow(), ZelvanError);
}

TEST_F(MainWindow, InstructionDocument) {
    show();
    form->BitBtn8Click();
    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_TRUE(prompter.texts().last().startsWith(QStringLiteral("Файл інструкції \"Instrukcia_ROBOTA.doc\" не знайдено")));

    state.settings.dir = dir.path();
    QFile doc(dir.filePath(QStringLiteral("INSTRUKCIA_robota.DOC")));
    ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
    doc.close();
    form->BitBtn8Click();
    EXPECT_EQ(desktop.opened, QStringList{doc.fileName()});
}
