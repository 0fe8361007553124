#include "app/zelvan_application.h"

#include <QMessageBox>

#include "app/widget_prompter.h"

namespace zelvan {

ZelvanApplication::ZelvanApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("zelvan"));
    setApplicationDisplayName(kApplicationTitle);
    setApplicationVersion(QStringLiteral(ZELVAN_VERSION));
}

bool ZelvanApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const ZelvanError& error) {
        reportError(error.message());
    } catch (const std::exception& error) {
        reportError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportError(QStringLiteral("Невідома помилка."));
    }
    return true;
}

void ZelvanApplication::reportError(const QString& text) {
    WidgetPrompter().message(MessageKind::Error, text);
}

}  // namespace zelvan
