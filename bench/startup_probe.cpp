// Started by the start-up benchmark: either the program's start over a configuration
// (without its splash window) up to the main window's first paint, or, with "bare", an
// empty main window's first paint. Exits as soon as the window has painted.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <QTreeWidget>
#include <cstring>

#include "app/program.h"
#include "app/zelvan_application.h"

namespace {

class QuitOnFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return 2;
    const bool bare = std::strcmp(argv[1], "bare") == 0;
    QuitOnFirstPaint quit;
    if (bare) {
        QApplication app(argc, argv);
        QMainWindow window;
        window.resize(1000, 720);
        window.installEventFilter(&quit);
        window.show();
        return app.exec();
    }
    zelvan::ZelvanApplication app(argc, argv);
    const auto program = zelvan::startProgram(QString::fromLocal8Bit(argv[1]));
    program->mainForm->installEventFilter(&quit);
    program->mainForm->show();
    const int code = app.exec();
    // The window must really have been filled from the database.
    return program->mainForm->ListView1->topLevelItemCount() > 0 ? code : 3;
}
