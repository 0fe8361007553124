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
    bool question(MessageKind kind, const QString& text, const QString& caption = {}) override;
};

// The caption of a typed message box of that kind.
QString messageCaption(MessageKind kind);

}  // namespace zelvan
