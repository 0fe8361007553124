#pragma once

#include <QMainWindow>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTreeWidget;
class QWidget;

namespace zelvan {

struct AppState;
class Prompter;
class Windows;

// The main window "Вибір форми": the structure period, the local reporting period,
// the organisation card, the report type, the form list, the classifier codes and
// every command of the program.
class TMain_Form : public QMainWindow {
    Q_OBJECT
public:
    TMain_Form(AppState& state, Prompter& prompter, Windows& windows, QWidget* parent = nullptr);

    // Fills the window from the database.
    void FormShow();
    // "Настройки": the settings dialog, modally.
    void BitBtn2Click();
    // "Закрити": closes the window, which ends the program.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    QWidget* buildClassifierGroup(const QString& caption, QLineEdit*& code, QLineEdit*& name, QPushButton*& pick,
                                  QLineEdit** second = nullptr);

    AppState& state_;
    Prompter& prompter_;
    Windows& windows_;

public:
    // Controls, named as the other windows and the tests find them.
    QLabel* Label7 = nullptr;
    QWidget* Panel1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
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
