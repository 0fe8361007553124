#include <QTimer>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/widget_prompter.h"
#include "app/windows.h"
#include "app/zastavka_form.h"
#include "app/zelvan_application.h"
#include "model/main_form.h"
#include "platform/locale_setup.h"
#include "platform/volumes.h"

using namespace zelvan;

int main(int argc, char* argv[]) {
    ensureUtf8Locale();
    ZelvanApplication app(argc, argv);

    // The start goes on only when the splash window is confirmed.
    TZastavka_Form splash;
    if (splash.exec() != QDialog::Accepted) return 0;
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    SystemClock clock;
    WidgetPrompter prompter;
    WidgetDesktop desktop;
    AppState state;
    state.configPath = defaultConfigPath();
    state.locale = UserLocale::system();
    state.clock = &clock;
    Windows windows(state, prompter);
    Startup startup(prompter, windows, state.configPath);

    // The main window's creation: the workstation id and the settings come first,
    // then the data module is pointed at the database folder and probed.
    TMain_Form mainForm(state, prompter, windows, desktop);
    general_handler::run([&] {
        state.workstationId = workstationIdText(rootFileSystemId(), prompter);
        startup.readSettings(state.settings);
    });
    general_handler::run([&] { startup.openDataModule(state.dm, state.settings); });
    windows.waitForm();

    splash.hide();
    mainForm.show();
    return app.exec();
}
