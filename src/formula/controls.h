#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "app/error.h"
#include "model/report_selection.h"

namespace zelvan {

class TDM;

// The program-wide continue flag of a control run: set when a run starts, cleared by Esc
// in the progress window, read after each formula or pair.
extern bool RunContinues;

// A number as the control reports show it: at most `decimals` decimals, no trailing
// zeros, no thousands separator, the user's decimal separator ("0.###", "0.##").
QString reportNumber(double value, int decimals, QChar decimalSeparator);

// The organisation code and name printed by the reports: the card row whose Kod_Name is
// "за ЄДРПОУ" (the code only when it is not empty).
struct ReportOrganisation {
    QString code;
    QString name;
};
ReportOrganisation readReportOrganisation(TDM& dm);

// What a control run reports to its window while it runs.
struct ControlProgress {
    std::function<void(int maximum)> start;
    // Called after each formula or pair with the number processed; false stops the run
    // (Esc in the progress window).
    std::function<bool(int processed)> step;
};

enum class ControlOutcome {
    NoFormulas,    // nothing to control
    NoDeviations,  // all agree
    Deviations,    // lines to report
    Stopped,       // stopped by the user
};

// --- control of one form ---------------------------------------------------------------

// One deviation of the control of one form: the five report columns and the cell.
struct FormDeviation {
    std::array<QString, 5> columns;  // label, stored "0.###", description, expression "=", computed "0.###"
    int col = 0;
    int row = 0;
};

struct FormControlResult {
    ControlOutcome outcome = ControlOutcome::NoFormulas;
    std::vector<FormDeviation> lines;
    ReportOrganisation organisation;
    int reportType = 1;
    int formulas = 0;  // formulas evaluated
};

// Runs the form's control formulas over the stored values of the selection. A reference
// field that is not an integer throws IntegerConversionError.
FormControlResult runFormControl(TDM& dm, const ValueKeys& keys, QChar decimalSeparator,
                                 const ControlProgress& progress = {});

// --- control across forms --------------------------------------------------------------

struct CrossControlResult {
    ControlOutcome outcome = ControlOutcome::NoFormulas;
    std::vector<std::array<QString, 7>> lines;  // form number, descriptions, values "0.##", expressions "="
    ReportOrganisation organisation;
    // When the run ended on a message of its own ("Ошибка в формуле: ...",
    // "Вкажить форму звітності!"), its text; the run then has no report.
    QString stopMessage;
    int pairs = 0;  // pairs evaluated
};

// Compares the control pairs of the control forms of the period and report type over the
// organisation's flag sums.
CrossControlResult runCrossControl(TDM& dm, int kodDanper, int kodObj, int reportType, QChar decimalSeparator,
                                   const ControlProgress& progress = {});

}  // namespace zelvan
