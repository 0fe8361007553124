#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <string>
#include <string_view>

namespace zelvan {

// What the command line needs from its surroundings.
struct CliContext {
    QString configPath;      // where the configuration file is
    std::FILE* in = stdin;   // raw streams for the line-by-line evaluation
    std::FILE* out = stdout;
};

// One output line of `eval` for one text, without its line feed:
// VALUE<TAB>POSITION<TAB>MESSAGE, the value printed with %.17g.
std::string evaluationLine(std::string_view text);

// Evaluates every line of `in` (only LF ends a line) and writes one result line each.
void evaluateLines(std::FILE* in, std::FILE* out);

// Exit codes of zelvan-cli.
namespace cli_exit {
constexpr int Ok = 0;
constexpr int Failure = 1;  // the command ran and failed
constexpr int Usage = 2;    // wrong arguments, or a database that would be overwritten
}  // namespace cli_exit

// Runs one command of zelvan-cli; `args` without the program name.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const CliContext& context);

}  // namespace zelvan
