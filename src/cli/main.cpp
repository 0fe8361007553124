#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "app/config_file.h"
#include "cli/cli.h"
#include "platform/locale_setup.h"

int main(int argc, char* argv[]) {
    zelvan::ensureUtf8Locale();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zelvan"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return zelvan::runCli(args, out, err, {zelvan::defaultConfigPath()});
}
