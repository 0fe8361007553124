#include "app/widget_prompter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "app/dialogsm.h"

namespace zelvan {

namespace {

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Plain: return QMessageBox::NoIcon;
        case MessageKind::Warning: return QMessageBox::Warning;
        case MessageKind::Error: return QMessageBox::Critical;
        case MessageKind::Information: return QMessageBox::Information;
        case MessageKind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString messageCaption(MessageKind kind) {
    switch (kind) {
        case MessageKind::Plain: return kApplicationTitle;
        case MessageKind::Warning: return QStringLiteral("Warning");
        case MessageKind::Error: return QStringLiteral("Error");
        case MessageKind::Information: return QStringLiteral("Information");
        case MessageKind::Confirmation: return QStringLiteral("Confirm");
    }
    return kApplicationTitle;
}

void WidgetPrompter::message(MessageKind kind, const QString& text) {
    QMessageBox box(iconOf(kind), messageCaption(kind), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void WidgetPrompter::errorWithYesButton(const QString& text) {
    QMessageBox box(QMessageBox::Critical, messageCaption(MessageKind::Error), text, QMessageBox::Yes,
                    QApplication::activeWindow());
    box.exec();
}

bool WidgetPrompter::question(MessageKind kind, const QString& text, const QString& caption) {
    QMessageBox box(iconOf(kind), caption.isEmpty() ? messageCaption(kind) : caption, text,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

int WidgetPrompter::styledMessage(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                  const TMsgDlgStyle& style) {
    return StyledMessageDlg(text, QString(), type, buttons, 0, style);
}

bool WidgetDesktop::openDocument(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace zelvan
