#pragma once

#include <QString>

#include "app/app_settings.h"
#include "app/environment.h"
#include "model/tdm.h"
#include "platform/report_engine.h"

namespace zelvan {

// What the whole program shares from start to end: where its configuration file is,
// the settings read from it, the workstation id, the data module and the user's
// number and date settings.
struct AppState {
    QString configPath;
    AppSettings settings;
    QString workstationId;
    TDM dm;
    UserLocale locale;
    const Clock* clock = nullptr;
    ReportViewer* reportViewer = nullptr;  // the report preview; the windows' own when not set
};

}  // namespace zelvan
