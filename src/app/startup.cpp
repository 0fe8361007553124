#include "app/startup.h"

#include "app/config_file.h"
#include "app/error.h"
#include "app/prompter.h"
#include "model/tdm.h"

namespace zelvan {

QString workstationIdText(std::optional<quint32> id, Prompter& prompter) {
    if (!id) {
        prompter.message(MessageKind::Plain, QStringLiteral("Немає серійного номера HDD"));
        return {};
    }
    return QString::number(*id);
}

Startup::Startup(Prompter& prompter, StartupHost& host, QString configPath)
    : prompter_(prompter), host_(host), configPath_(std::move(configPath)) {}

void Startup::readSettings(AppSettings& settings) {
    try {
        settings = AppSettings::fromConfig(ConfigFile::load(configPath_));
    } catch (const ConfigError&) {
        // The dialog writes a new file and replaces the settings when the user saves.
        host_.showSettingsDialog();
    }
}

bool Startup::openDataModule(TDM& dm, AppSettings& settings) {
    dm.pointAt(settings.dbDir);
    try {
        dm.probe();
        return true;
    } catch (const ZelvanError&) {
    }
    prompter_.message(MessageKind::Warning, QStringLiteral("Вкажіть папку, де лежать файли БД."));
    host_.showSettingsDialog();
    try {
        settings.dbDir = ConfigFile::load(configPath_).value(key::DB_Dir);
    } catch (const ZelvanError& error) {
        // Reported like any unexpected error; start-up goes on.
        prompter_.message(MessageKind::Error, error.message());
        return false;
    }
    // The folder chosen just now is used at once rather than at the next start.
    dm.pointAt(settings.dbDir);
    try {
        dm.probe();
        return true;
    } catch (const ZelvanError&) {
        return false;
    }
}

}  // namespace zelvan
