#pragma once

#include <QApplication>
#include <functional>

namespace zelvan {

// The general handler of unexpected errors. An exception that leaves an event handler
// is shown to the user with its text; the handler that raised it stops there and the
// program goes on.
namespace general_handler {

// Shows an error text; a message box unless replaced (tests record the texts).
using Reporter = std::function<void(const QString&)>;
void setReporter(Reporter reporter);
void report(const QString& text);

// Runs `work`; any exception it throws is reported. Returns false when it failed.
bool run(const std::function<void()>& work);

}  // namespace general_handler

// The application object: every event is delivered under the general handler.
class ZelvanApplication : public QApplication {
    Q_OBJECT
public:
    ZelvanApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace zelvan
