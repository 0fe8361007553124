#pragma once

#include <QApplication>

namespace zelvan {

class Prompter;

// The application object. It is also the general handler of unexpected errors: an
// exception that leaves an event handler is shown to the user with its text, and the
// handler that raised it stops there; the program goes on.
class ZelvanApplication : public QApplication {
    Q_OBJECT
public:
    ZelvanApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an error the way the general handler does.
    static void reportError(const QString& text);
};

// Runs `work`, and reports any exception it throws as the general handler does.
// Returns false when it failed.
template <typename Work>
bool runGuarded(Work&& work);

}  // namespace zelvan

#include "app/error.h"

template <typename Work>
bool zelvan::runGuarded(Work&& work) {
    try {
        work();
        return true;
    } catch (const ZelvanError& error) {
        ZelvanApplication::reportError(error.message());
    } catch (const std::exception& error) {
        ZelvanApplication::reportError(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
