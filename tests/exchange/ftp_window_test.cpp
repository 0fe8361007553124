#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/windows.h"
#include "app/zastavka_form.h"
#include "exchange/ftp_main_form.h"
#include "model/database_folder.h"
#include "model/schema.h"
#include "platform/database.h"
#include "platform/zip_archive.h"
#include "support/ftp_server.h"
#include "support/printers.h"
#include "support/test_files.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using namespace zelvan::test;

namespace {



const QString kQuestion = QStringLiteral(
    "Ви бажаєте ці дані внести до бази даних? Увага! Якщо ви натисните \"Yes\", то всі дані, які знаходяться у Вашій базі "
    "даних будуть перезаписані отриманими даними, тобто будуть знищені. Якщо ви помилково відправили цю заявку, то "
    "натисніть \"No\".");

class FtpWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const QString db = dir.filePath(QStringLiteral("db"));
        createDatabaseFolder(db, true);
        state.configPath = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
        ConfigFile config;
        config.setValue(key::DB_Dir, db);
        config.setValue(key::FTP_KOD_OBJ, QStringLiteral("31245"));
        config.setValue(key::FTP_KOD_STAN, QStringLiteral("1"));
        config.setValue(key::FTP_KOD_DANPER, QStringLiteral("41"));
        config.setValue(key::FTP_Directory, dir.filePath(QStringLiteral("ftp")));
        config.setValue(key::FTP_IP_Server, QStringLiteral("127.0.0.1"));
        config.setValue(key::FTP_Port, QString::number(server.port));
        config.setValue(key::FTP_User, QStringLiteral("zelvan"));
        config.setValue(key::FTP_Password, QStringLiteral("secret"));
        config.save(state.configPath);
        state.settings = AppSettings::fromConfig(config);
        state.workstationId = QStringLiteral("123");
        state.ftpPollMs = 0;
        state.ftpAnswerDelayMs = 0;
        state.dm.pointAt(db);
        state.dm.probe();
        windows = std::make_unique<Windows>(state, prompter);
        form = std::make_unique<TFTP_Main_Form>(state, prompter, *windows);
        form->setEndProgram([this] { ++ended; });
    }

    // An answer archive on the server: the demo database with form 101 renamed.
    void putAnswer(const QString& name, const QString& formName) {
        QTemporaryDir source;
        createDatabaseFolder(source.path(), true);
        {
            Database answer(QDir(source.path()).filePath(kDatabaseFileName), Database::Mode::OpenExisting);
            answer.exec(QStringLiteral("update S_FORM set NAME_FORM = :n where KOD_FORM = 101"), {{QStringLiteral(":n"), formName}});
            answer.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        write(server.path(QStringLiteral("Otpravka/rar/123/") + name),
              writeZip({{QStringLiteral("zelvan.sqlite"), read(QDir(source.path()).filePath(kDatabaseFileName))}}));
    }
    QString formName() {
        QSqlQuery q = state.dm.db().exec(QStringLiteral("select NAME_FORM from S_FORM where KOD_FORM = 101"));
        return q.next() ? q.value(0).toString() : QString();
    }

    FtpServer server;
    QTemporaryDir dir;
    AppState state;
    ScriptedPrompter prompter;
    std::unique_ptr<Windows> windows;
    std::unique_ptr<TFTP_Main_Form> form;
    int ended = 0;
};

}  // namespace

TEST_F(FtpWindow, ConnectsOnlyWithTheRightAccount) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Робота через FTP"));
    EXPECT_FALSE(form->BitBtn5->isEnabled());
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    state.settings.ftpPassword = QStringLiteral("wrong");
    form->BitBtn1Click();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Зв'язку з сервером нема.")});
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Error);
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_EQ(form->connection(), nullptr);

    state.settings.ftpPassword = QStringLiteral("secret");
    form->BitBtn1Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Встановлено зв'язок з сервером."));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Information);
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->BitBtn5->isEnabled());
    EXPECT_TRUE(form->BitBtn7->isEnabled());
}

TEST_F(FtpWindow, ARequestWaitsForItsAnswerWhichIsApplied) {
    form->BitBtn1Click();
    state.settings.ftpKodDanper.clear();
    form->BitBtn5Click();
    EXPECT_TRUE(prompter.texts().last().startsWith(QStringLiteral("Не заповнено поле")));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("ftp/Otpravka"))).exists());
    state.settings.ftpKodDanper = QStringLiteral("41");

    putAnswer(QStringLiteral("001.rar.zip"), QStringLiteral("З відповіді"));
    prompter.answer({true});
    // The answer arrives at the first tick while the wait window is shown.
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, form.get(), [&] {
        if (windows->waitForm().isVisible()) form->Timer1Timer();
    });
    tick.start(5);
    const qsizetype before = prompter.texts().size();
    form->BitBtn5Click();
    EXPECT_EQ(prompter.texts().mid(before),
              (QStringList{QStringLiteral("Відправлення заявки завершилося. Номер заявки 001. Чекайте відповіді."),
                           QStringLiteral("Отримані дані по заявці №001.zip на прийом даних."), kQuestion,
                           QStringLiteral("Копіювання даних завершилося. Для того щоб користуватися новими даними, потрібно "
                                          "перезапустити програму.")}));
    EXPECT_EQ(read(server.path(QStringLiteral("Otpravka/IN/123/001.ftp"))), "Kod_Obj=31245\r\nKod_Stan=1\r\nKod_Danper=41\r\n");
    EXPECT_FALSE(windows->waitForm().isVisible());
    EXPECT_EQ(formName(), QStringLiteral("З відповіді"));
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("db/backup"))).entryList(QDir::Files).size(), 1);
}

TEST_F(FtpWindow, AnAnswerDeclinedIsKeptButNotAskedAgain) {
    form->BitBtn1Click();
    const QString before = formName();
    putAnswer(QStringLiteral("002.rar"), QStringLiteral("Інша"));
    prompter.answer({false});
    form->Timer1Timer();
    EXPECT_EQ(prompter.texts().mid(1), (QStringList{QStringLiteral("Отримані дані по заявці №002 на прийом даних."), kQuestion}));
    EXPECT_EQ(formName(), before);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("ftp/Otpravka/002.rar"))));
    form->Timer1Timer();
    EXPECT_EQ(prompter.texts().size(), 3);
    EXPECT_EQ(ended, 0);
}

TEST_F(FtpWindow, TheValuesAreSentOrTheRefusalSaid) {
    form->BitBtn1Click();
    form->BitBtn7Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Відправлення даних завершилося."));
    EXPECT_TRUE(read(server.path(QStringLiteral("Priyom/123/31245_1_41.zip"))).startsWith("PK"));
    EXPECT_EQ(form->ProgressBar1->value(), 0);

    state.settings.ftpUser = QStringLiteral("reader");
    TFTP_Main_Form readerForm(state, prompter, *windows);
    readerForm.BitBtn1Click();
    QFile::remove(server.path(QStringLiteral("Priyom/123/31245_1_41.zip")));
    readerForm.BitBtn7Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Помилка при передачі даних на сервер"));
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Error);
    readerForm.BitBtn5Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Помилка при передачі заявки на сервер"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("ftp/Otpravka/001.ftp"))));
}

TEST_F(FtpWindow, ADamagedAnswerChangesNothing) {
    form->BitBtn1Click();
    const QString before = formName();
    write(server.path(QStringLiteral("Otpravka/rar/123/003.rar")), "Rar!\x1a\x07\x00 broken");
    prompter.answer({true});
    form->Timer1Timer();
    EXPECT_TRUE(prompter.texts().last().contains(QStringLiteral("пошкоджений"))) << prompter.texts().last().toStdString();
    EXPECT_EQ(prompter.shown().back().kind, MessageKind::Error);
    EXPECT_EQ(formName(), before);
    EXPECT_EQ(ended, 0);
}

TEST(FtpWindowTls, ConnectsAndSendsOverExplicitTls) {
    QTemporaryDir keys;
    ASSERT_TRUE(makeCertificate(keys));
    FtpServer server(keys.filePath(QStringLiteral("both.pem")));
    QTemporaryDir dir;
    AppState state;
    const QString db = dir.filePath(QStringLiteral("db"));
    createDatabaseFolder(db, true);
    state.configPath = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    ConfigFile config;
    config.setValue(key::FTP_IP_Server, QStringLiteral("127.0.0.1"));
    config.save(state.configPath);
    state.settings = AppSettings::fromConfig(config);
    state.settings.ftpPort = QString::number(server.port);
    state.settings.ftpUser = QStringLiteral("zelvan");
    state.settings.ftpPassword = QStringLiteral("secret");
    state.settings.ftpTls = QStringLiteral("1");
    state.settings.ftpKodObj = QStringLiteral("31245");
    state.settings.ftpKodStan = QStringLiteral("1");
    state.settings.ftpKodDanper = QStringLiteral("41");
    state.settings.ftpDirectory = dir.filePath(QStringLiteral("ftp"));
    state.ftpCaFile = keys.filePath(QStringLiteral("cert.pem"));
    state.ftpPollMs = 0;
    state.workstationId = QStringLiteral("9");
    state.dm.pointAt(db);
    state.dm.probe();
    ScriptedPrompter prompter;
    Windows windows(state, prompter);
    TFTP_Main_Form form(state, prompter, windows);
    form.BitBtn1Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Встановлено зв'язок з сервером."));
    form.BitBtn7Click();
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Відправлення даних завершилося."));
    EXPECT_TRUE(read(server.path(QStringLiteral("Priyom/9/31245_1_41.zip"))).startsWith("PK"));
}
