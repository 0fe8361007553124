#include "platform/report_pdf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

#include "app/error.h"

namespace zelvan {

void paintReport(const RenderedReport& report, QPagedPaintDevice* device) {
    QTextDocument document;
    document.setHtml(report.html());
    document.print(device);
}

void writeReportPdf(const RenderedReport& report, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    // The writer reports no failure of its own; a file that cannot be opened is found
    // out first, so that a failed write is never taken for a written report.
    {
        QFile probe(path);
        const bool existed = probe.exists();
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw ZelvanError(
                QStringLiteral("Не вдалося записати файл \"%1\". Перевірте, чи є така папка і чи дозволено в ній писати.")
                    .arg(shown));
        probe.close();
        if (!existed) probe.remove();
    }
    {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setResolution(300);
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("Zelvan"));
        paintReport(report, &writer);
    }
    if (!QFileInfo(path).exists() || QFileInfo(path).size() == 0)
        throw ZelvanError(QStringLiteral("Не вдалося записати файл \"%1\".").arg(shown));
}

}  // namespace zelvan
