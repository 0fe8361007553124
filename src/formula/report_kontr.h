#pragma once

#include "formula/controls.h"

namespace zelvan {

struct AppState;
class Prompter;

// The control window of the control across forms: never shown; it holds the command and
// the run's result table, and lives for one run.
class TfmReportKontr {
public:
    struct Context {
        int kodDanper = 0;
        int kodObj = 0;
        int typeCode = 0;      // the report type the main window's type box carries
        QString periodText;
    };

    TfmReportKontr(AppState& state, Prompter& prompter, Context context);

    bool rbExtKontr = false;  // the "Міжформовий" mode

    // "Контроль": the question, the run with its progress window, and the report or message.
    void bbKontrolClick();

    const CrossControlResult& result() const { return result_; }

private:
    AppState& state_;
    Prompter& prompter_;
    Context context_;
    CrossControlResult result_;
};

}  // namespace zelvan
