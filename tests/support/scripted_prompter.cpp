#include "support/scripted_prompter.h"

namespace zelvan::test {

void ScriptedPrompter::message(MessageKind kind, const QString& text) {
    shown_.push_back({kind, text, {}, false, false, false, TMsgDlgType::mtCustom, QChar()});
}

void ScriptedPrompter::errorWithYesButton(const QString& text) {
    shown_.push_back({MessageKind::Error, text, {}, false, false, true, TMsgDlgType::mtCustom, QChar()});
}

bool ScriptedPrompter::question(MessageKind kind, const QString& text, const QString& caption) {
    shown_.push_back({kind, text, caption, true, false, false, TMsgDlgType::mtCustom, QChar()});
    return nextAnswer(text);
}

int ScriptedPrompter::styledMessage(const QString& text, TMsgDlgType type, TMsgDlgButtons, const TMsgDlgStyle& style) {
    shown_.push_back({MessageKind::Warning, text, {}, true, true, false, type, style.Language});
    return nextAnswer(text) ? mr::Yes : mr::No;
}

bool ScriptedPrompter::nextAnswer(const QString& text) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QStringList ScriptedPrompter::texts() const {
    QStringList list;
    for (const Shown& s : shown_) list << s.text;
    return list;
}

}  // namespace zelvan::test
