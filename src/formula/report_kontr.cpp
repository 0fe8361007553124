#include "formula/report_kontr.h"

#include <QApplication>
#include <memory>

#include "app/app_state.h"
#include "app/prompter.h"
#include "formula/progress_form.h"
#include "formula/report_data.h"
#include "formula/report_preview.h"
#include "platform/files.h"

namespace zelvan {

TfmReportKontr::TfmReportKontr(AppState& state, Prompter& prompter, Context context)
    : state_(state), prompter_(prompter), context_(std::move(context)) {}

void TfmReportKontr::bbKontrolClick() {
    if (!rbExtKontr) return;
    const SystemClock systemClock;
    const Clock& clock = state_.clock ? *state_.clock : systemClock;
    const QDateTime start = clock.now();
    RunContinues = true;
    if (!prompter_.question(MessageKind::Confirmation,
                            QStringLiteral("Розрахувати та прокотролювати данні між формами по об\"єкту?"),
                            QStringLiteral("Контроль")))
        return;

    std::unique_ptr<TfmProgress> progressWindow;
    const ControlProgress progress = progressInWindow(progressWindow, clock, start);
    result_ = runCrossControl(state_.dm, context_.kodDanper, context_.kodObj, context_.typeCode,
                              state_.locale.decimalSeparator, progress);
    if (!result_.stopMessage.isEmpty()) {
        progressWindow.reset();
        prompter_.message(MessageKind::Plain, result_.stopMessage);
        return;
    }
    switch (result_.outcome) {
        case ControlOutcome::NoFormulas:
            prompter_.message(MessageKind::Plain, QStringLiteral("Немає формул в контрольних формах на данний період"));
            return;
        case ControlOutcome::Stopped: return;
        case ControlOutcome::NoDeviations:
            prompter_.message(MessageKind::Plain, QStringLiteral("Немає відхилень!"));
            return;
        case ControlOutcome::Deviations: break;
    }
    ReportContext report;
    report.organisation = result_.organisation;
    report.periodText = context_.periodText;
    report.selectionReportType = context_.typeCode;
    report.typeBoxCode = context_.typeCode;
    report.decimalSeparator = state_.locale.decimalSeparator;
    const ControlReportData data = ControlReportData::crossForm(result_, report);
    // A template that cannot be read is named; the deviations stay where they are shown.
    showControlReport(state_, prompter_, QStringLiteral("SaveExtAll.frf"), data);
}

}  // namespace zelvan
