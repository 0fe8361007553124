#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/windows.h"
#include "app/zastavka_form.h"
#include "exchange/data_exchange.h"
#include "exchange/drive_form.h"
#include "model/database_folder.h"
#include "model/main_form.h"
#include "model/schema.h"
#include "platform/database.h"
#include "platform/zip_archive.h"
#include "support/printers.h"
#include "support/test_files.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using zelvan::test::ScriptedPrompter;
using zelvan::test::read;
using zelvan::test::write;

namespace {


// Presses a button of the medium dialog as soon as it shows.
class DialogAnswer : public QObject {
public:
    DialogAnswer(TDrive_Form& dialog, bool ok, int choose = 0) {
        connect(&timer_, &QTimer::timeout, this, [&dialog, ok, choose, this] {
            if (!dialog.isVisible()) return;
            timer_.stop();
            dialog.dcbOut->setCurrentIndex(choose);
            (ok ? dialog.Button1 : dialog.Button2)->click();
        });
        timer_.start(5);
    }

private:
    QTimer timer_;
};

class FixedClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 11), QTime(15, 30, 5)); }
};

}  // namespace

TEST(DriveForm, TellsTheKindOfTheChosenVolume) {
    QTemporaryDir sys;
    write(sys.filePath(QStringLiteral("block/sdb/removable")), "1\n");
    ScriptedPrompter prompter;
    const std::vector<Volume> volumes{
        {QStringLiteral("/home"), {}, QStringLiteral("/dev/sda2"), QStringLiteral("ext4")},
        {QStringLiteral("/media/u/STICK"), QStringLiteral("STICK"), QStringLiteral("/dev/sdb1"), QStringLiteral("vfat")},
        {QStringLiteral("/media/u/CD"), {}, QStringLiteral("/dev/sr0"), QStringLiteral("iso9660")},
        {QStringLiteral("/mnt/share"), {}, QStringLiteral("//s/x"), QStringLiteral("cifs")},
        {QStringLiteral("/dev/shm"), {}, QStringLiteral("tmpfs"), QStringLiteral("tmpfs")},
        {QStringLiteral("/odd"), {}, QStringLiteral("odd"), QStringLiteral("fuse.odd")},
    };
    TDrive_Form form(prompter, [&] { return volumes; }, sys.path());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Виберить електронний носій"));
    EXPECT_FALSE(form.dcbOut->isEnabled());
    form.FormShow();
    EXPECT_TRUE(form.dcbOut->isEnabled());
    EXPECT_EQ(form.SelectedDrive, QStringLiteral("/home"));
    EXPECT_EQ(form.laDrive->text(), QStringLiteral("Жорсткий диск"));
    EXPECT_EQ(form.dcbOut->itemText(1), QStringLiteral("/media/u/STICK  [STICK]"));

    struct Step {
        int index;
        QString label;
        QString message;  // empty: none
    };
    const Step steps[] = {
        {1, QStringLiteral("Флешка"), {}},
        {2, QString(), QStringLiteral("Вибран оптичний диск (CD-ROM)!")},
        {3, QStringLiteral("Мережевий диск"), {}},
        {4, QString(), QStringLiteral("Вибран виртуальний диск!")},
        {5, QString(), QStringLiteral("Диск не визначено!")},
        {0, QStringLiteral("Жорсткий диск"), {}},  // the first again: it differs from the chosen one
    };
    for (const Step& step : steps) {
        const size_t before = prompter.shown().size();
        form.dcbOut->setCurrentIndex(step.index);
        EXPECT_EQ(form.SelectedDrive, volumes[size_t(step.index)].root);
        EXPECT_EQ(form.laDrive->text(), step.label) << step.index;
        if (step.message.isEmpty()) {
            EXPECT_EQ(prompter.shown().size(), before) << step.index;
        } else {
            ASSERT_EQ(prompter.shown().size(), before + 1) << step.index;
            EXPECT_EQ(prompter.texts().last(), step.message);
            EXPECT_EQ(prompter.shown().back().kind, MessageKind::Plain);
        }
    }
    // "Закрити" is Cancel whatever is chosen; the choice stays.
    form.dcbOut->setCurrentIndex(2);
    QTimer::singleShot(0, form.Button2, &QPushButton::click);
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_EQ(form.SelectedDrive, QStringLiteral("/home"));  // each showing starts again
    QTimer::singleShot(0, form.Button1, &QPushButton::click);
    EXPECT_EQ(form.exec(), QDialog::Accepted);
}

namespace {

// The main window over a demo database, a folder standing for a USB stick, no pause.
class MediaCommands : public ::testing::Test {
protected:
    void SetUp() override {
        dbDir = dir.filePath(QStringLiteral("db"));
        createDatabaseFolder(dbDir, true);
        state.configPath = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
        ConfigFile config;
        config.setValue(QStringLiteral("DB_Dir"), dbDir);
        config.setValue(QStringLiteral("FTP_Directory"), dir.filePath(QStringLiteral("ftp")));
        config.setValue(QStringLiteral("FTP_KOD_OBJ"), QStringLiteral("31245"));
        config.save(state.configPath);
        write(dir.filePath(QStringLiteral("ftp/Local_Zelvan.ini")), "DB_Dir=x\r\n");
        state.settings = AppSettings::fromConfig(config);
        state.locale = UserLocale{u',', QStringLiteral("dd.MM.yyyy")};
        state.clock = &clock;
        state.mediumPauseMs = 0;
        QDir().mkpath(usb());
        state.volumes = [this] {
            return std::vector<Volume>{{usb(), QStringLiteral("STICK"), QStringLiteral("/dev/sdz1"), QStringLiteral("vfat")}};
        };
        state.dm.pointAt(dbDir);
        state.dm.probe();
        windows = std::make_unique<Windows>(state, prompter);
        form = std::make_unique<TMain_Form>(state, prompter, *windows, desktop);
        form->show();
    }

    QString usb() const { return dir.filePath(QStringLiteral("usb")); }
    int values() {
        QSqlQuery q = state.dm.db().exec(QStringLiteral("select count(*) from ZNACHENIE"));
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

}  // namespace

TEST_F(MediaCommands, ExportThenReturnWithTheirQuestionsAndMessages) {
    const int exported = values();
    {
        DialogAnswer ok(windows->driveForm(), true);
        prompter.answer({true, true});
        form->BitBtn5Click();
    }
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("За даною командою на вибраний електронний носій\r\nбуде скопійовано фінансову "
                                          "звітність для передачі Департаменту.\r\nПродовжити?"),
                           QStringLiteral("Якщо Ви будете копіювати дані на флешку, вставте її у роз\"їм USB!"),
                           QStringLiteral("Почати копіювання файлів?"),
                           QStringLiteral("Формування вихідних даних закінчилося.")}));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Information);
    EXPECT_FALSE(windows->waitForm().isVisible());
    EXPECT_TRUE(QFileInfo::exists(usb() + QStringLiteral("/LZelvan_Data/In_Zelvan_Files/AllDataFiles/zelvan.sqlite")));

    state.dm.db().exec(QStringLiteral("delete from ZNACHENIE where KOD_FORM = 101"));
    ASSERT_LT(values(), exported);
    {
        DialogAnswer ok(windows->driveForm(), true);
        prompter.answer({true, true});
        form->bbBackDataClick();
    }
    EXPECT_EQ(prompter.texts().mid(4),
              (QStringList{QStringLiteral("За даною командою можливо повернення звітності,\r\nяка  була вивантажена на "
                                          "електронний носій.\r\nПродовжити?"),
                           QStringLiteral("Якщо Ви будете копіювати дані з флешки, вставте її у роз\"їм USB!"),
                           QStringLiteral("Увага, показники форм звітності буде змінено! Продовжити?"),
                           QStringLiteral("Копіювання даних завершилося.")}));
    EXPECT_EQ(values(), exported);
    EXPECT_EQ(QDir(dbDir + QStringLiteral("/backup")).entryList(QDir::Files).size(), 1);
}

TEST_F(MediaCommands, CancelNoAnswersAndMissingFilesStopTheCommands) {
    // "Закрити" in the medium dialog: nothing more is said.
    {
        DialogAnswer cancel(windows->driveForm(), false);
        prompter.answer({true});
        form->BitBtn5Click();
    }
    EXPECT_EQ(prompter.texts().size(), 2);
    EXPECT_FALSE(windows->waitForm().isVisible());
    EXPECT_FALSE(QDir(usb() + QStringLiteral("/LZelvan_Data")).exists());

    // A return from a medium without a data set.
    {
        DialogAnswer ok(windows->driveForm(), true);
        prompter.answer({true});
        form->bbBackDataClick();
    }
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("На електронному носії нема потрібних файлів: [%1]")
                                           .arg(usb() + QStringLiteral("/LZelvan_Data/In_Zelvan_Files/AllDataFiles")));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Error);

    // An update without an archive.
    {
        DialogAnswer ok(windows->driveForm(), true);
        prompter.answer({true});
        form->BitBtn4Click();
    }
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("На електронному носії немає потрібного файла!"));

    // An empty e-mail asks; No ends the export before the medium is asked for.
    state.dm.db().exec(QStringLiteral("update SORG set SOFT_NAME = '' where KOD_NAME = 'EMail'"));
    form->FormShow();
    const qsizetype before = prompter.texts().size();
    prompter.answer({true, false});
    form->BitBtn5Click();
    EXPECT_EQ(prompter.texts().mid(before + 1),
              QStringList{QStringLiteral("Увага! Ви не заповнили поле E-Mail. Продовжити формування даних?")});
}

TEST_F(MediaCommands, AStructureUpdateFromTheStick) {
    QTemporaryDir source;
    createDatabaseFolder(source.path(), true);
    {
        Database update(QDir(source.path()).filePath(kDatabaseFileName), Database::Mode::OpenExisting);
        update.exec(QStringLiteral("update S_FORM set NAME_FORM = 'Оновлена форма' where KOD_FORM = 101"));
        update.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    }
    QFile db(QDir(source.path()).filePath(kDatabaseFileName));
    ASSERT_TRUE(db.open(QIODevice::ReadOnly));
    write(usb() + QStringLiteral("/LZelvan_Data/Out_Zelvan_Files/Update_2027.ZIP"),
          writeZip({{QStringLiteral("zelvan.sqlite"), db.readAll()}}));
    {
        DialogAnswer ok(windows->driveForm(), true);
        prompter.answer({true, true});
        form->BitBtn4Click();
    }
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("За даною командою можливо тільки оновлення\r\nструктур форм фінансової "
                                          "звітності\r\n(без оновлення програмного модуля \"Локал зелван\").\r\nПродовжити?"),
                           QStringLiteral("Якщо Ви будете копіювати дані з флешки, вставте її у роз\"їм USB!"),
                           QStringLiteral("Ви впевнені, що бажаєте копіювати дані?"),
                           QStringLiteral("Копіювання даних завершилося.")}));
    // The form list was read again.
    bool found = false;
    for (int i = 0; i < form->ListView1->topLevelItemCount(); ++i)
        for (int c = 0; c < form->ListView1->columnCount(); ++c)
            found = found || form->ListView1->topLevelItem(i)->text(c).contains(QStringLiteral("Оновлена форма"));
    EXPECT_TRUE(found);
    EXPECT_EQ(ConfigFile::load(state.configPath).value(QStringLiteral("LocPeriod")), QStringLiteral("01.07.2026"));
}
