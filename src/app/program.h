#pragma once

#include <QString>
#include <memory>

#include "app/app_state.h"
#include "app/environment.h"
#include "app/widget_prompter.h"
#include "app/windows.h"
#include "model/main_form.h"

namespace zelvan {

// Everything the running program is made of after its splash window: the shared
// state, the real prompter, the windows and the main window, created in their order.
struct Program {
    SystemClock clock;
    WidgetPrompter prompter;
    WidgetDesktop desktop;
    AppState state;
    std::unique_ptr<Windows> windows;
    std::unique_ptr<Startup> startup;
    std::unique_ptr<TMain_Form> mainForm;
};

// Creates the program's windows and data module with the configuration file at
// `configPath`: the main window (which reads the settings and the workstation id), then
// the data module pointed at the database folder and probed. The main window is not
// shown yet.
std::unique_ptr<Program> startProgram(const QString& configPath);

}  // namespace zelvan
