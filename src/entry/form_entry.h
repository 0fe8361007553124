#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

#include "app/error.h"
#include "entry/form_grid.h"
#include "model/report_selection.h"

namespace zelvan {

class Prompter;
class TDM;
struct UserLocale;

// A grid that cannot be shown: the message names the form.
class GridBuildError : public ZelvanError {
public:
    using ZelvanError::ZelvanError;
};

// One sheet of a multi-sheet form (the group list).
struct FormSheet {
    int kodForm = 0;
    QString nomerForm;
    QString nameForm;
};

// The title of a form in the entry window: "№" number, two blanks, name, and the report
// type's words.
QString formCaptionText(const QString& nomerForm, const QString& nameForm, int typeZvitnost);

// The progress bar of a save.
struct SaveProgress {
    std::function<void(int maximum)> start;
    std::function<void()> step;
    std::function<void()> reset;
};

// The entry window's work without widgets: building the grid of a form from its
// description and the stored values, switching sheets, saving and clearing.
class FormEntry {
public:
    using TextWidth = std::function<int(const QString&)>;

    FormEntry(TDM& dm, const UserLocale& locale, TextWidth measure);

    // The whole build for a form (the window being shown). Throws GridBuildError, with
    // nothing changed for the user, when the form's grid cannot be shown.
    void build(const FormSheet& form, const ValueKeys& keys);

    // Switches to another sheet of the group; the unsaved-changes flag stays.
    void switchSheet(int groupIndex, const ValueKeys& keys);

    // Checks every cell and, only when all pass, replaces the selection's values in one
    // transaction. A failed check shows its message with the failing cell current; a
    // failing statement rolls everything back and is thrown. True when saved.
    bool save(const ValueKeys& keys, Prompter& prompter, const SaveProgress& progress = {});

    // Asks, deletes the selection's values and empties the open cells.
    void clear(const ValueKeys& keys, Prompter& prompter);

    FormGrid& grid() { return grid_; }
    const FormGrid& grid() const { return grid_; }
    int kodForm() const { return kodForm_; }
    int reportType() const { return reportType_; }
    const QString& formCaption() const { return caption_; }
    const QString& templateStatus() const { return templateStatus_; }
    bool controlMark() const { return controlMark_; }
    const std::vector<FormSheet>& group() const { return group_; }
    int groupIndex() const { return groupIndex_; }

    // For tests of an interrupted save: called after each stored value.
    std::function<void(int stored)> afterInsert;

private:
    struct FormRow {
        int typeZvitnost = 0;
        QString fileName2;
        QVariant kodMainForm;
        QString nomerForm;
        QString nameForm;
    };
    FormRow readForm(int kodForm);
    // Steps 7 to 11 into a new grid, which is checked before it replaces the shown one.
    FormGrid readDescription(int kodForm) const;
    void adopt(FormGrid&& grid);
    void loadValues(const ValueKeys& keys, bool followStoredMark);  // step 13
    void finishLayout();                    // steps 14 to 17
    static void checkShowable(const FormGrid& grid, const QString& number, const QString& name);

    TDM& dm_;
    const UserLocale& locale_;
    TextWidth measure_;
    FormGrid grid_;
    int kodForm_ = 0;
    int reportType_ = 1;
    QString caption_;
    QString templateStatus_;
    bool controlMark_ = true;
    std::vector<FormSheet> group_;
    int groupIndex_ = -1;
};

}  // namespace zelvan
