#pragma once

#include <QChar>
#include <QSet>
#include <QString>
#include <functional>

#include "app/environment.h"
#include "docs/word_document.h"
#include "entry/form_entry.h"
#include "model/report_selection.h"

namespace zelvan {

class FormGrid;
class TDM;

// What the fill takes from the main window.
struct TemplateContext {
    int kodForm = 0;     // the form selected in the main window
    QString periodText;  // the reporting date as the period box shows it
    QString codes[4];    // expense code, fund kind, order kind, kind of funds, as typed
    QString names[4];    // their names
};

// "0.00", "0.0" or "0" of a number: rounded half away from zero on the decimal digits
// of the shortest text that gives the number back, with the user's separator.
QString fixedDecimals(double value, int decimals, QChar separator);

// The grid row that a cell of forms 234 and 249 goes to in table 2 or 4 of their
// template; 0 when the grid row is not copied.
int fixedTableRow(int kodForm, int table, int gridRow);

// Converts a legacy .doc template once to .docx with LibreOffice into `cacheFolder`;
// returns the .docx path. Throws DocumentError when LibreOffice is missing or fails.
QString convertLegacyTemplate(const QString& docPath, const QString& cacheFolder);

// Fills a form's Word template with the organisation card, the reporting date and the
// values of the entry grid, into a copy in a folder of the program's own.
class TemplateFiller {
public:
    TemplateFiller(TDM& dm, const UserLocale& locale);

    // The whole operation for the form open in `entry`: reads the template, replaces the
    // placeholders, types the grid (walking every sheet of a multi-sheet form through
    // `showSheet`, which shows sheet i of the group; by default the entry switches
    // itself) or copies the fixed cells of forms 234 and 249, and writes the filled
    // copy into `outputFolder`. Returns the copy's path. Nothing is written when a step
    // fails: DocumentError (or ZelvanError) says what is wrong.
    QString fill(FormEntry& entry, const ValueKeys& keys, const TemplateContext& context, const QString& outputFolder,
                 const SaveProgress& progress = {}, const std::function<void(int)>& showSheet = {});

    // The same, giving the filled document instead of writing it: its file name (the
    // template's, ".docx" for a converted ".doc") and its bytes. Converted templates are
    // kept in `cacheFolder`.
    struct Filled {
        QString fileName;
        QByteArray bytes;
    };
    Filled produce(FormEntry& entry, const ValueKeys& keys, const TemplateContext& context, const QString& cacheFolder,
                   const SaveProgress& progress = {}, const std::function<void(int)>& showSheet = {});

    // One find-and-replace over the whole document.
    static void ReplacePlaceholder(WordDocument& document, const QString& placeholder, const QString& value);

    // Types the grid rows into the document's tables next to their row-code placeholders.
    // `kodForm` chooses the cells typed as whole numbers.
    void FillTemplateTables(WordDocument& document, const FormGrid& grid, int codeColumn, int roundToWhole,
                            int kodForm, const SaveProgress& progress = {});

    // The card, date and classifier placeholders, in their order.
    void replaceCardAndDate(WordDocument& document, const TemplateContext& context, const QDate& date);

    // The fixed cells of forms 234 and 249; throws DocumentError naming the first
    // missing table cell before anything is written.
    static void fillFixedTables(WordDocument& document, const FormGrid& grid, int kodForm, const QString& templateName);

    // The grid column that holds each row's code (0 when the form names none).
    int codeColumn(int kodForm);

private:
    QString formattedValue(const QString& text, int roundToWhole, bool integerCell, int col, int row) const;

    TDM& dm_;
    const UserLocale& locale_;
};

}  // namespace zelvan
