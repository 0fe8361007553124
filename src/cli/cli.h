#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace zelvan {

// What the command line needs from its surroundings.
struct CliContext {
    QString configPath;  // where the configuration file is
};

// Exit codes of zelvan-cli.
namespace cli_exit {
constexpr int Ok = 0;
constexpr int Failure = 1;  // the command ran and failed
constexpr int Usage = 2;    // wrong arguments, or a database that would be overwritten
}  // namespace cli_exit

// Runs one command of zelvan-cli; `args` without the program name.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const CliContext& context);

}  // namespace zelvan
