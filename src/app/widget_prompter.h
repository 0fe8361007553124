#pragma once

#include "app/prompter.h"

class QWidget;

namespace zelvan {

// The application title: plain message boxes carry it.
inline const QString kApplicationTitle = QStringLiteral("ЗЕЛВАН");

// Real message boxes for the prompts of core logic.
class WidgetPrompter final : public Prompter {
public:
    void message(MessageKind kind, const QString& text) override;
    void errorWithYesButton(const QString& text) override;
    bool question(MessageKind kind, const QString& text, const QString& caption = {}) override;
    int styledMessage(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                      const TMsgDlgStyle& style) override;
};

// The desktop's default application for a document.
class WidgetDesktop final : public Desktop {
public:
    bool openDocument(const QString& path) override;
};

// The caption of a typed message box of that kind.
QString messageCaption(MessageKind kind);

}  // namespace zelvan
