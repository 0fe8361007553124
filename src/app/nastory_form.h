#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zelvan {

class DirectoryEdit;
class Prompter;
struct AppState;

// The settings dialog "Настройки": the database folder, the archiver folder and the
// FTP exchange settings kept in the configuration file.
class TNastory_Form : public QDialog {
    Q_OBJECT
public:
    TNastory_Form(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // Saves the fields into the configuration file and the settings in memory, then
    // closes the dialog. A wrong server address or a file that cannot be written
    // keeps the dialog open with everything as it was.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Fills the fields from the settings held in memory.
    void FormShow();

    AppState& state_;
    Prompter& prompter_;
    DirectoryEdit* DirectoryEdit1;
    DirectoryEdit* DirectoryEdit2;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    DirectoryEdit* DirectoryEdit3;
    QLineEdit* MaskEdit1;
    QLineEdit* edFtpPort;
    QLineEdit* edFtpUser;
    QLineEdit* edFtpPassword;
    QCheckBox* cbFtpActive;
    QCheckBox* cbFtpTls;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

}  // namespace zelvan
