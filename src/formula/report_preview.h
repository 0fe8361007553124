#pragma once

#include <QString>

#include "platform/report_engine.h"

namespace zelvan {

// The report preview: a modal window with the report on A4 pages, printing and saving
// as PDF.
class WidgetReportViewer final : public ReportViewer {
public:
    void showReport(const RenderedReport& report) override;
};

// Writes the report as a PDF file (A4); throws ZelvanError when it cannot be written.
void writeReportPdf(const RenderedReport& report, const QString& path);

}  // namespace zelvan
