#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class QProgressBar;
class QPushButton;
class QTimer;

namespace zelvan {

struct AppState;
class FtpClient;
class Prompter;
class TFTP_Zapros_Form;
class Windows;

// "Робота через FTP": the connection to the department's server, the data request, the
// values sent, and the answers polled for and applied.
class TFTP_Main_Form : public QDialog {
    Q_OBJECT
public:
    TFTP_Main_Form(AppState& state, Prompter& prompter, Windows& windows, QWidget* parent = nullptr);
    ~TFTP_Main_Form() override;

    // Closes the main window when an accepted answer asks for a restart.
    void setEndProgram(std::function<void()> end) { endProgram_ = std::move(end); }

    void BitBtn1Click();  // Підключитися
    void BitBtn5Click();  // Прийом даних: the data request
    void BitBtn7Click();  // Передача даних: the values
    void BitBtn8Click();  // Настройки
    void BitBtn2Click();  // Заявка на відбір (hidden)
    void Timer1Timer();   // polls for answers

    // The connection, shared with the requests window; empty until connected.
    FtpClient* connection() const { return client_.get(); }

    QPushButton* BitBtn1;
    QPushButton* BitBtn5;
    QPushButton* BitBtn7;
    QPushButton* BitBtn8;
    QPushButton* BitBtn2;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;

private:
    bool codesFilled();
    void showProgress(qint64 sent, qint64 total);
    void pause(int ms);

    AppState& state_;
    Prompter& prompter_;
    Windows& windows_;
    std::unique_ptr<FtpClient> client_;
    std::unique_ptr<TFTP_Zapros_Form> zapros_;
    std::function<void()> endProgram_;
    bool polling_ = false;  // a tick is under way: the next one waits for it
    int answersReceived_ = 0;
};

}  // namespace zelvan
