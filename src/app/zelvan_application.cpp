#include "app/zelvan_application.h"

#include "app/error.h"
#include "app/widget_prompter.h"

namespace zelvan {

namespace general_handler {

namespace {

Reporter& currentReporter() {
    static Reporter reporter = [](const QString& text) { WidgetPrompter().message(MessageKind::Error, text); };
    return reporter;
}

}  // namespace

void setReporter(Reporter reporter) { currentReporter() = std::move(reporter); }

void report(const QString& text) { currentReporter()(text); }

bool run(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const ZelvanError& error) {
        report(error.message());
    } catch (const std::exception& error) {
        report(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        report(QStringLiteral("Невідома помилка."));
    }
    return false;
}

}  // namespace general_handler

ZelvanApplication::ZelvanApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("zelvan"));
    setApplicationDisplayName(kApplicationTitle);
    setApplicationVersion(QStringLiteral(ZELVAN_VERSION));
}

bool ZelvanApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = true;
    general_handler::run([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

}  // namespace zelvan
