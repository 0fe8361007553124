#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

#include "app/app_settings.h"

namespace zelvan {

class Prompter;
class TDM;

// The text of the workstation id: the identifier as an unsigned decimal number, or,
// when the system gives none, the message "Немає серійного номера HDD" and nothing.
QString workstationIdText(std::optional<quint32> id, Prompter& prompter);

// What start-up needs from the windows: the settings dialog, shown modally.
class StartupHost {
public:
    virtual ~StartupHost() = default;
    virtual void showSettingsDialog() = 0;
};

// The start-up steps that decide what the program works with, without any window
// of their own.
class Startup {
public:
    Startup(Prompter& prompter, StartupHost& host, QString configPath);

    // The main window's creation: reads the configuration file into the settings; a
    // file that cannot be read opens the settings dialog, with no message.
    void readSettings(AppSettings& settings);

    // The data module's creation: points it at the database folder and probes it.
    // A failing probe shows "Вкажіть папку, де лежать файли БД.", opens the settings
    // dialog and takes the database folder from the file again; the data module is
    // then pointed at the folder chosen there. Returns true when the database opened.
    bool openDataModule(TDM& dm, AppSettings& settings);

    const QString& configPath() const { return configPath_; }

private:
    Prompter& prompter_;
    StartupHost& host_;
    QString configPath_;
};

}  // namespace zelvan
