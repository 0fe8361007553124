#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/directory_edit.h"
#include "app/nastory_form.h"
#include "support/printers.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using zelvan::test::ScriptedPrompter;

namespace {

struct Fixture {
    QTemporaryDir dir;
    AppState state;
    ScriptedPrompter prompter;
    Fixture() {
        state.configPath = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
        state.settings.dbDir = QStringLiteral("/srv/Db");
        state.settings.ftpKodObj = QStringLiteral("31245");
        state.settings.ftpIpServer = QStringLiteral("10.0.5.120");
    }
    template <typename T>
    T* find(QWidget& form, const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
};

}  // namespace

TEST(SettingsDialog, ShowsTheValuesInMemoryNotTheFile) {
    Fixture f;
    ConfigFile onDisk;
    onDisk.setValue(QStringLiteral("DB_Dir"), QStringLiteral("/elsewhere"));
    onDisk.save(f.state.configPath);
    TNastory_Form form(f.state, f.prompter);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Настройки"));
    form.show();
    EXPECT_EQ(f.find<DirectoryEdit>(form, "DirectoryEdit1")->text(), QStringLiteral("/srv/Db"));
    EXPECT_EQ(f.find<QLineEdit>(form, "Edit1")->text(), QStringLiteral("31245"));
    EXPECT_EQ(f.find<QLineEdit>(form, "MaskEdit1")->text(), QStringLiteral("10.0.5.120"));
}

TEST(SettingsDialog, SaveWritesTheFileAndMemoryAndCloses) {
    Fixture f;
    TNastory_Form form(f.state, f.prompter);
    form.show();
    auto* folder = f.find<DirectoryEdit>(form, "DirectoryEdit2");
    folder->lineEdit()->selectAll();
    folder->lineEdit()->insert(QStringLiteral("/home/Olena/Копії"));
    f.find<QLineEdit>(form, "Edit3")->setText(QString());
    f.find<QPushButton>(form, "BitBtn1")->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(f.state.settings.winRarDir, QStringLiteral("/home/Olena/Копії"));
    const ConfigFile saved = ConfigFile::load(f.state.configPath);
    EXPECT_EQ(saved.value(QStringLiteral("WinRar_Dir")), QStringLiteral("/home/Olena/Копії"));
    EXPECT_FALSE(saved.contains(QStringLiteral("FTP_KOD_DANPER")));
    EXPECT_TRUE(f.prompter.shown().empty());
}

TEST(SettingsDialog, CloseChangesNothing) {
    Fixture f;
    const AppSettings before = f.state.settings;
    TNastory_Form form(f.state, f.prompter);
    form.show();
    f.find<QLineEdit>(form, "Edit1")->setText(QStringLiteral("999"));
    f.find<QPushButton>(form, "BitBtn2")->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(f.state.settings, before);
    EXPECT_FALSE(QFile::exists(f.state.configPath));
}

TEST(SettingsDialog, AWrongServerKeepsTheDialogOpenWithTheFocusThere) {
    Fixture f;
    TNastory_Form form(f.state, f.prompter);
    form.show();
    QApplication::setActiveWindow(&form);
    auto* server = f.find<QLineEdit>(form, "MaskEdit1");
    server->setText(QStringLiteral("10.0.5"));
    f.find<QPushButton>(form, "BitBtn1")->click();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(f.prompter.shown().size(), 1u);
    EXPECT_TRUE(f.prompter.shown()[0].text.startsWith(QStringLiteral("Адреса сервера")));
    EXPECT_EQ(form.focusWidget(), server);
    EXPECT_FALSE(QFile::exists(f.state.configPath));
    EXPECT_EQ(f.state.settings.ftpIpServer, QStringLiteral("10.0.5.120"));
}

TEST(SettingsDialog, AFileThatCannotBeWrittenIsReportedAndTheDialogStays) {
    Fixture f;
    f.state.configPath = f.dir.filePath(QStringLiteral("no/such/folder/Local_Zelvan.ini"));
    TNastory_Form form(f.state, f.prompter);
    form.show();
    f.find<QLineEdit>(form, "Edit1")->setText(QStringLiteral("1"));
    f.find<QPushButton>(form, "BitBtn1")->click();
    EXPECT_TRUE(form.isVisible());
    ASSERT_EQ(f.prompter.shown().size(), 1u);
    EXPECT_EQ(f.prompter.shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(f.state.settings.ftpKodObj, QStringLiteral("31245"));
}
