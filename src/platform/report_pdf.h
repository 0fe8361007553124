#pragma once

#include <QString>

#include "platform/report_engine.h"

class QPagedPaintDevice;

namespace zelvan {

// Paints a finished report on A4 landscape pages of a printer or PDF writer.
void paintReport(const RenderedReport& report, QPagedPaintDevice* device);

// Writes the report as a PDF file (A4 landscape); throws ZelvanError naming the file
// when it cannot be written. Needs a QGuiApplication.
void writeReportPdf(const RenderedReport& report, const QString& path);

}  // namespace zelvan
