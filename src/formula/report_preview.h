#pragma once

#include <QString>

#include "platform/report_engine.h"
#include "platform/report_pdf.h"

namespace zelvan {

struct AppState;
class ControlReportData;
class Prompter;

// Shows a control run's report from its template in the database folder: in the state's
// viewer when it has one, in the preview window otherwise. A template that cannot be
// read is named in a message instead.
void showControlReport(AppState& state, Prompter& prompter, const QString& templateName, const ControlReportData& data);

// The report preview: a modal window with the report on A4 pages, printing and saving
// as PDF.
class WidgetReportViewer final : public ReportViewer {
public:
    void showReport(const RenderedReport& report) override;
};

}  // namespace zelvan
