#include "app/program.h"

#include "app/zelvan_application.h"
#include "platform/volumes.h"

namespace zelvan {

std::unique_ptr<Program> startProgram(const QString& configPath) {
    auto program = std::make_unique<Program>();
    Program& p = *program;
    p.state.configPath = configPath;
    p.state.locale = UserLocale::system();
    p.state.clock = &p.clock;
    p.state.desktop = &p.desktop;
    p.windows = std::make_unique<Windows>(p.state, p.prompter);
    p.startup = std::make_unique<Startup>(p.prompter, *p.windows, configPath);

    p.mainForm = std::make_unique<TMain_Form>(p.state, p.prompter, *p.windows, p.desktop);
    general_handler::run([&] {
        p.state.workstationId = workstationIdText(rootFileSystemId(), p.prompter);
        p.startup->readSettings(p.state.settings);
    });
    general_handler::run([&] { p.startup->openDataModule(p.state.dm, p.state.settings); });
    return program;
}

}  // namespace zelvan
