#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "entry/form_entry.h"
#include "model/report_selection.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace zelvan {

struct AppState;
class EntryGridView;
class FormEntry;
class FormGridModel;
class Prompter;

// What the entry window reads from the main window when it is shown and when it saves.
struct EntryContext {
    ReportSelection selection;  // with the keys after the code lookups
    QString codes[4];           // the four codes as typed
    QString names[4];           // and their names
    int typeBoxCode = 1;        // the report type code of the main window's type box
};

// The data entry window "Ввод / редагування данних": one form as an editable grid.
class TInput_Znach_Form : public QDialog {
    Q_OBJECT
public:
    TInput_Znach_Form(AppState& state, Prompter& prompter, QWidget* parent = nullptr);
    ~TInput_Znach_Form() override;

    // The main window gives the selection (running its code lookups first).
    void setContextProvider(std::function<EntryContext()> provider) { provider_ = std::move(provider); }

    // Builds the window for the form chosen in the main window. False, after a message
    // that names the form, when its grid cannot be shown; the window then stays closed.
    bool FormShow();
    // The form-number selector chose another sheet.
    void dblFormChange(int index);
    // "Зберегти".
    void BitBtn1Click();
    // "Очистити".
    void BitBtn3Click();
    // "Шаблон": fills the form's Word template and opens it in the office suite.
    void BitBtn6Click();
    // "Контроль": the control of the form shown.
    void BitBtn4Click();
    // A line of the deviations list chosen: its cell becomes current.
    void deviationChosen();

    FormEntry& entry() const { return *entry_; }
    EntryGridView* grid() const { return StringGrid1; }
    ValueKeys keys() const;

    QLabel* laDate;
    QLabel* laOrganisation;
    QLabel* laForm;
    QLabel* laCodes[4];
    QComboBox* dblForm;
    EntryGridView* StringGrid1;
    QPushButton* BitBtn3;  // Очистити
    QPushButton* BitBtn6;  // Шаблон
    QPushButton* BitBtn7;  // Контроль
    QPushButton* BitBtn4;  // hidden twin of Контроль
    QPushButton* BitBtn1;  // Зберегти
    QPushButton* BitBtn2;  // Закрити
    QCheckBox* CheckBox1;
    QProgressBar* ProgressBar1;
    QLabel* statusPanels[3];
    QTreeWidget* lvDeviations;

private:
    void showGrid();
    // The window's progress bar as the progress of a save or a template fill.
    SaveProgress barProgress();
    void updateStatus();

    AppState& state_;
    Prompter& prompter_;
    std::function<EntryContext()> provider_;
    EntryContext context_;
    std::unique_ptr<FormEntry> entry_;
    FormGridModel* model_;
};

}  // namespace zelvan
