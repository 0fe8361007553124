#include "formula/report_preview.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QHBoxLayout>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/error.h"
#include "app/prompter.h"
#include "formula/report_data.h"
#include "platform/files.h"
#include "platform/report_pdf.h"

namespace zelvan {

void WidgetReportViewer::showReport(const RenderedReport& report) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(report.title.isEmpty() ? QStringLiteral("Звіт") : report.title);
    dialog.resize(1000, 760);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    auto* preview = new QPrintPreviewWidget(&printer, &dialog);
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, [&](QPrinter* target) { paintReport(report, target); });
    auto* print = new QPushButton(QStringLiteral("Друк..."), &dialog);
    auto* pdf = new QPushButton(QStringLiteral("Зберегти як PDF..."), &dialog);
    auto* close = new QPushButton(QStringLiteral("Закрити"), &dialog);
    QObject::connect(print, &QPushButton::clicked, [&] {
        QPrintDialog ask(&printer, &dialog);
        if (ask.exec() == QDialog::Accepted) paintReport(report, &printer);
    });
    QObject::connect(pdf, &QPushButton::clicked, [&] {
        const QString path = QFileDialog::getSaveFileName(&dialog, QStringLiteral("Зберегти звіт"),
                                                          QDir::home().filePath(QStringLiteral("Протокол контролю.pdf")),
                                                          QStringLiteral("PDF (*.pdf)"));
        if (path.isEmpty()) return;
        try {
            writeReportPdf(report, path);
        } catch (const ZelvanError& error) {
            QMessageBox::warning(&dialog, QStringLiteral("Помилка"), error.message());
        }
    });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(pdf);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(buttons);
    layout->addWidget(preview, 1);
    dialog.exec();
}

void showControlReport(AppState& state, Prompter& prompter, const QString& templateName, const ControlReportData& data) {
    try {
        const ReportTemplate layout = ReportTemplate::load(findFileIgnoringCase(state.dm.dbDir(), templateName));
        const RenderedReport rendered = renderReport(layout, data.records(), data.callbacks());
        WidgetReportViewer widgetViewer;
        (state.reportViewer ? *state.reportViewer : static_cast<ReportViewer&>(widgetViewer)).showReport(rendered);
    } catch (const ZelvanError& error) {
        prompter.message(MessageKind::Error, error.message());
    }
}

}  // namespace zelvan
