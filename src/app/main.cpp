#include "app/config_file.h"
#include "app/program.h"
#include "app/zastavka_form.h"
#include "app/zelvan_application.h"
#include "platform/locale_setup.h"

using namespace zelvan;

int main(int argc, char* argv[]) {
    ensureUtf8Locale();
    ZelvanApplication app(argc, argv);

    // The start goes on only when the splash window is confirmed; it stays on screen
    // while the windows are made.
    TZastavka_Form splash;
    if (splash.exec() != QDialog::Accepted) return 0;
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    const std::unique_ptr<Program> program = startProgram(defaultConfigPath());

    splash.hide();
    program->mainForm->show();
    return app.exec();
}
