#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace zelvan {

// A banded report template: a <report> of bands (title, header, data, summary,
// pageFooter), each holding named <memo> text objects. "[NAME]" in a memo is a variable
// the program answers for each record of the data band; before a memo is printed the
// program may add a line to it or hide it.
struct ReportMemo {
    QString name;
    QString text;
    int width = 0;  // relative width in a row of memos (0: share equally)
    bool bold = false;
    bool centre = false;
};

struct ReportBand {
    QString type;
    std::vector<ReportMemo> memos;
};

struct ReportTemplate {
    QString title;
    std::vector<ReportBand> bands;

    // Reads a template file; throws ZelvanError naming the file when it is missing or is
    // not a report template.
    static ReportTemplate load(const QString& path);
    static ReportTemplate parse(const QByteArray& xml, const QString& fileName);
};

// What the report asks the program.
struct ReportCallbacks {
    // The value of a variable for a record; nothing leaves "[NAME]" as the template has it.
    std::function<std::optional<QString>(const QString& name, int record)> getValue;
    // Before a memo is printed: may add lines to its text; false hides it.
    std::function<bool(const QString& memoName, QStringList& addedLines)> beforePrint;
};

// A report with every variable answered and every memo completed or hidden.
// A memo as printed: its text with every variable answered and the added lines.
using RenderedMemo = ReportMemo;
struct RenderedRow {
    QString bandType;
    std::vector<RenderedMemo> memos;
};
struct RenderedReport {
    QString title;
    std::vector<RenderedRow> rows;  // in print order; the data band once per record

    // The report as plain text, one row a line, the memos of a row separated by " | ";
    // outside the table, empty memos are left out as on the page.
    QString plainText() const;
    // The report as HTML for printing: bands of one memo as paragraphs, the header and
    // data bands as one table.
    QString html() const;
};

RenderedReport renderReport(const ReportTemplate& report, int records, const ReportCallbacks& callbacks);

// Shows a finished report: a modal preview with printing and PDF in the program; a
// recorder in tests.
class ReportViewer {
public:
    virtual ~ReportViewer() = default;
    virtual void showReport(const RenderedReport& report) = 0;
};

// The program's own templates, written into a new database folder.
QByteArray defaultOneFormTemplate();
QByteArray defaultCrossFormTemplate();

}  // namespace zelvan
