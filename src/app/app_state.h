#pragma once

#include <QString>
#include <QStringList>

#include "app/app_settings.h"
#include "app/environment.h"
#include "model/tdm.h"
#include "platform/report_engine.h"
#include "platform/volumes.h"

#include <functional>
#include <vector>

namespace zelvan {

class Desktop;

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
    Desktop* desktop = nullptr;            // opens documents in the desktop's applications
    // Where filled Word templates are written; the user's data folder when empty.
    QString filledDocumentsDir;
    // The filled copies this run made: deleted when the program closes, and only they.
    QStringList madeDocuments;
    // The pause before the medium dialog, so that a medium inserted just now is ready.
    int mediumPauseMs = 5000;
    // The mounted volumes the medium dialog lists and the kernel's block device folder;
    // the system's own when not set.
    std::function<std::vector<Volume>()> volumes;
    QString sysfsRoot = QStringLiteral("/sys");
    // FTP: how often the server is asked for answers (0: only when asked by a test), the
    // pause before an answer is downloaded, and a certificate authority to trust besides
    // the system's (tests).
    int ftpPollMs = 3000;
    int ftpAnswerDelayMs = 10000;
    QString ftpCaFile;

    QString filledDocumentsFolder() const;
};

}  // namespace zelvan
