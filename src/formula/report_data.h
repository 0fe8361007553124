#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "formula/controls.h"
#include "platform/report_engine.h"

namespace zelvan {

// What the control reports print besides the result lines: the organisation, the main
// window's period and classifier fields, the entry window's form title and the report type.
struct ReportContext {
    ReportOrganisation organisation;
    QString periodText;
    QString codes[4];  // expense code, fund kind, order kind, kind of funds, as typed
    QString names[4];  // their names
    QString formTitle;
    int selectionReportType = 1;  // of the selection (the text object "meZvitn")
    int typeBoxCode = 1;          // of the main window's report type box (the variable "REZ")
    QChar decimalSeparator = u'.';
};

// The answers to the report engine for a control run: the variables of the result
// table's current line and the completions of the named text objects.
class ControlReportData {
public:
    static ControlReportData oneForm(const FormControlResult& result, ReportContext context);
    static ControlReportData crossForm(const CrossControlResult& result, ReportContext context);

    int records() const { return static_cast<int>(lines_.size()); }

    // The value of a report variable for a record; nothing for a name it does not know.
    std::optional<QString> frRepCheckGetValue(const QString& name, int record) const;
    // Adds the object's line or hides it (false).
    bool frRepCheckBeforePrint(const QString& objectName, QStringList& added) const;

    ReportCallbacks callbacks() const;

private:
    bool crossForm_ = false;
    std::vector<QStringList> lines_;
    ReportContext context_;
};

}  // namespace zelvan
