#pragma once

#include <QComboBox>
#include <QDate>
#include <QMainWindow>
#include <optional>
#include <array>
#include <functional>

#include "dict/classifier.h"
#include "model/report_selection.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace zelvan {

struct AppState;
class Desktop;
class OrganisationCardModel;
class Prompter;
class Windows;

// The period box: an editable drop-down list that tells when its list is opened.
class PeriodComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    std::function<void()> onDropDown;
    void showPopup() override;
};

// The main window "Вибір форми": the structure period, the local reporting period,
// the organisation card, the report type, the form list, the classifier codes and
// every command of the program. It holds the current selection.
class TMain_Form : public QMainWindow {
    Q_OBJECT
public:
    TMain_Form(AppState& state, Prompter& prompter, Windows& windows, Desktop& desktop, QWidget* parent = nullptr);
    ~TMain_Form() override;

    // Fills the whole window from the database.
    void FormShow();
    // The report type box changed: type code, panels and form list.
    void ComboBox2Change();
    // The period box's list opens: remembers the entry equal to the box's text.
    void ComboBox1DropDown();
    // The period box's text changed: the two questions, then the change of period.
    void ComboBox1Change();
    // A list item's state changed: the classifier codes follow the selected item.
    void ListView1Change();
    // "Заповнення даними": checks the selection and opens the entry window.
    void BitBtn3Click();
    // "Міжформовий контроль": checks that a period and a report type are chosen.
    void BitBtn7Click();
    // "Інструкція": the instruction document.
    void BitBtn8Click();
    // "Настройки": the settings dialog.
    void BitBtn2Click();
    // "Закрити".
    void BitBtn1Click();
    // "Заповнені форми": the forms with stored values, with their classifier codes.
    void BitBtn9Click();
    // "Оновлення структур": the department's structure update from a medium.
    void BitBtn4Click();
    // "Передача даних": the data set for the department onto a medium.
    void BitBtn5Click();
    // "Повернення звітності": the data set of an earlier export back from a medium.
    void bbBackDataClick();
    // "Робота через Internet": the FTP window.
    void BitBtn6Click();

    // Code lookups of the four groups (a change of the code field) and name lookups
    // (the name field losing focus).
    void Edit3Change();
    void Edit5Change();
    void Edit7Change();
    void Edit1Change();
    void Edit4Exit();
    void Edit6Exit();
    void Edit8Exit();
    void Edit2Exit();
    // The "..." pick lists.
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();

    // Writes the organisation card's pending change; a failure leaves it pending and is
    // not reported (the grid keeps what was typed).
    void postCard();

    // The selection as the controls hold it now.
    ReportSelection selection() const;
    bool filledFormsMode() const { return filledFormsMode_; }
    int rememberedPeriodIndex() const { return rememberedPeriodIndex_; }
    OrganisationCardModel* cardModel() const { return card_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The opening steps of the exchange commands: the USB message, the wait window and
    // the pause, the medium dialog. The medium folder, or nothing on "Закрити" (the wait
    // window then closed).
    std::optional<QString> chooseMedium(const QString& usbMessage, int use);
    void finishExchange(const QString& success, const QStringList& failedFiles, bool reload);

    struct Classifier {
        ClassifierGroup group;
        QLineEdit* code;
        QLineEdit* name;
        QPushButton* pick;
        QLineEdit* second;  // the expense group's second code
        int key;
        QString missingWarning;
    };

    void buildLayout();
    QWidget* buildClassifierGroup(const QString& caption, Classifier& c);
    void setListMode(bool filledForms);
    void addListItem(const QString& name, const QString& number, const QString& kodForm, const QString (&codes)[4]);
    void codeLookup(Classifier& c);
    void nameLookup(Classifier& c);
    void pick(Classifier& c);
    // Sets a code field and runs its lookup even when the text does not change.
    void setCode(Classifier& c, const QString& code);
    void cardDeleteRow();
    void cardInsertRow();
    void fitCardColumns();

    AppState& state_;
    Prompter& prompter_;
    Windows& windows_;
    Desktop& desktop_;
    OrganisationCardModel* card_ = nullptr;

    int kodDanper_ = 0;
    QDate danperStart_;
    int kodTypeZvitnost_ = 0;
    int kodObj_ = 0;
    int kodStan_ = 0;
    int rememberedPeriodIndex_ = 0;
    bool filledFormsMode_ = false;
    std::array<Classifier, 4> classifiers_;  // expense, fund, order, kind of funds

public:
    // Controls, named as the other windows and the tests find them.
    QLabel* Label7 = nullptr;
    QWidget* Panel1 = nullptr;
    PeriodComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QPushButton* BitBtn6 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* BitBtn8 = nullptr;
    QPushButton* BitBtn9 = nullptr;
    QPushButton* bbBackData = nullptr;
    QTableView* dbgSorg = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QWidget* Panel4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
};

}  // namespace zelvan
