#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "app/config_file.h"
#include "app/startup.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "support/printers.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using zelvan::test::ScriptedPrompter;

namespace {

// Stands for the settings dialog: counts its showings and does what the user would.
class ScriptedHost final : public StartupHost {
public:
    std::function<void()> onShow;
    int shown = 0;
    void showSettingsDialog() override {
        ++shown;
        if (onShow) onShow();
    }
};

void writeConfig(const QString& path, const QString& dbDir) {
    ConfigFile file;
    file.setValue(QStringLiteral("DB_Dir"), dbDir);
    file.save(path);
}

}  // namespace

TEST(Startup, WorkstationIdIsUnsignedDecimal) {
    ScriptedPrompter prompter;
    EXPECT_EQ(workstationIdText(4294967295u, prompter), QStringLiteral("4294967295"));
    EXPECT_EQ(workstationIdText(2147483648u, prompter), QStringLiteral("2147483648"));
    EXPECT_EQ(workstationIdText(0u, prompter), QStringLiteral("0"));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(Startup, NoWorkstationIdSaysSoAndStaysEmpty) {
    ScriptedPrompter prompter;
    EXPECT_EQ(workstationIdText(std::nullopt, prompter), QString());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("Немає серійного номера HDD"));
    EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Plain);
}

TEST(Startup, AReadableConfigurationNeedsNoDialog) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    writeConfig(config, QStringLiteral("/db"));
    ScriptedPrompter prompter;
    ScriptedHost host;
    AppSettings settings;
    Startup(prompter, host, config).readSettings(settings);
    EXPECT_EQ(settings.dbDir, QStringLiteral("/db"));
    EXPECT_EQ(host.shown, 0);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(Startup, MissingConfigurationOpensTheDialogSilentlyAndTheProbeUsesItsFolder) {
    QTemporaryDir dir;
    const QString dbDir = dir.filePath(QStringLiteral("db"));
    createDatabaseFolder(dbDir, false);
    const QString config = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    ScriptedPrompter prompter;
    ScriptedHost host;
    AppSettings settings;
    host.onShow = [&] {
        writeConfig(config, dbDir);
        settings.dbDir = dbDir;
    };
    Startup startup(prompter, host, config);
    startup.readSettings(settings);
    EXPECT_EQ(host.shown, 1);
    TDM dm;
    EXPECT_TRUE(startup.openDataModule(dm, settings));
    EXPECT_EQ(host.shown, 1);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(dm.dbDir(), dbDir);
}

TEST(Startup, AFailingProbeWarnsOpensTheDialogAndTakesTheNewFolder) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good"));
    createDatabaseFolder(good, true);
    const QString empty = dir.filePath(QStringLiteral("empty"));
    QDir().mkpath(empty);

    // A folder with no database, one whose file is not a database and one whose
    // database lacks a table all fail the probe the same way.
    const QString garbage = dir.filePath(QStringLiteral("garbage"));
    QDir().mkpath(garbage);
    {
        QFile f(QDir(garbage).filePath(QStringLiteral("zelvan.sqlite")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2048, '\x7f'));
    }
    for (const QString& bad : {empty, garbage, dir.filePath(QStringLiteral("nowhere")), QString()}) {
        const QString config = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
        writeConfig(config, bad);
        ScriptedPrompter prompter;
        ScriptedHost host;
        host.onShow = [&] { writeConfig(config, good); };
        AppSettings settings;
        settings.dbDir = bad;
        TDM dm;
        EXPECT_TRUE(Startup(prompter, host, config).openDataModule(dm, settings)) << bad.toStdString();
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Вкажіть папку, де лежать файли БД.")});
        EXPECT_EQ(prompter.shown()[0].kind, MessageKind::Warning);
        EXPECT_EQ(host.shown, 1);
        EXPECT_EQ(settings.dbDir, good);
        EXPECT_FALSE(QFile::exists(QDir(empty).filePath(QStringLiteral("zelvan.sqlite"))));
    }
}

TEST(Startup, AConfigurationUnreadableAfterTheDialogIsReportedAndStartGoesOn) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("Local_Zelvan.ini"));
    ScriptedPrompter prompter;
    ScriptedHost host;  // the user closes the dialog without saving
    AppSettings settings;
    TDM dm;
    EXPECT_FALSE(Startup(prompter, host, config).openDataModule(dm, settings));
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(prompter.shown()[0].text, QStringLiteral("Вкажіть папку, де лежать файли БД."));
    EXPECT_EQ(prompter.shown()[1].kind, MessageKind::Error);
    EXPECT_TRUE(prompter.shown()[1].text.contains(QStringLiteral("Local_Zelvan.ini")));
}
