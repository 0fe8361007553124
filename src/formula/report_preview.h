#pragma once

#include <QString>

#include "platform/report_engine.h"
#include "platform/report_pdf.h"

namespace zelvan {

// The report preview: a modal window with the report on A4 pages, printing and saving
// as PDF.
class WidgetReportViewer final : public ReportViewer {
public:
    void showReport(const RenderedReport& report) override;
};

}  // namespace zelvan
