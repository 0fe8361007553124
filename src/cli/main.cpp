#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>
#include <string_view>

#include "app/config_file.h"
#include "cli/cli.h"
#include "platform/locale_setup.h"

int main(int argc, char* argv[]) {
    zelvan::ensureUtf8Locale();
    // Writing a PDF lays out text with fonts, which needs a GUI application; without a
    // display it paints off screen. Every other command stays a console program.
    bool needsFonts = false;
    for (int i = 1; i < argc; ++i) needsFonts = needsFonts || std::string_view(argv[i]) == "--pdf";
    std::unique_ptr<QCoreApplication> app;
    if (needsFonts) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt warns on every start without a runtime folder; give it the private one it
        // would make itself.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            const QByteArray runtime = QByteArray("/tmp/runtime-") + QByteArray::number(::getuid());
            ::mkdir(runtime.constData(), 0700);
            struct stat info {};
            if (::stat(runtime.constData(), &info) == 0 && info.st_uid == ::getuid() && (info.st_mode & 077) == 0)
                qputenv("XDG_RUNTIME_DIR", runtime);
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("zelvan"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return zelvan::runCli(args, out, err, {zelvan::defaultConfigPath()});
}
