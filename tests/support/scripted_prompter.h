#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <gtest/gtest.h>

#include "app/prompter.h"
#include "platform/report_engine.h"

namespace zelvan::test {

// A report preview that keeps the reports it was asked to show.
class RecordingViewer final : public ReportViewer {
public:
    void showReport(const RenderedReport& report) override { reports.push_back(report); }
    std::vector<RenderedReport> reports;
};

// A desktop that records the documents it was asked to open.
class RecordingDesktop final : public Desktop {
public:
    bool openDocument(const QString& path) override {
        opened << path;
        return true;
    }
    QStringList opened;
};

}  // namespace zelvan::test

namespace zelvan::test {

// A prompter that records every text it is shown and answers questions from a
// script; a question with no scripted answer fails the test.
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        MessageKind kind;
        QString text;
        QString caption;
        bool isQuestion;
        bool isStyled = false;
        bool yesOnly = false;
        TMsgDlgType styledType = TMsgDlgType::mtCustom;
        QChar styleLanguage;
    };

    void message(MessageKind kind, const QString& text) override;
    // Recorded as an error with `yesOnly` set.
    void errorWithYesButton(const QString& text) override;
    bool question(MessageKind kind, const QString& text, const QString& caption = {}) override;
    // Styled dialogs take their results from the same script: true gives Yes (6), false No (7).
    int styledMessage(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                      const TMsgDlgStyle& style) override;

    // Queues the answers to the next questions, in order.
    void answer(std::initializer_list<bool> answers) { answers_.insert(answers_.end(), answers); }

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;

private:
    bool nextAnswer(const QString& text);
    std::vector<Shown> shown_;
    std::deque<bool> answers_;
};

}  // namespace zelvan::test
