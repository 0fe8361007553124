#pragma once

#include <QDialog>
#include <functional>

class QDateEdit;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zelvan {

struct AppState;
class FtpClient;
class Prompter;

// "Заявки / відповіді на відбір даних": selection requests sent to the department's
// server and the answers it gives, browsed as a tree.
class TFTP_Zapros_Form : public QDialog {
    Q_OBJECT
public:
    // The kinds of tree node, kept as each node's state.
    enum NodeKind { RequestsRoot = 1, AnswersRoot = 2, SentRequest = 3, ReceivedAnswer = 4, Enterprise = 5 };

    TFTP_Zapros_Form(AppState& state, Prompter& prompter, std::function<FtpClient*()> connection,
                     QWidget* parent = nullptr);

    void FormShow();
    void BitBtn1Click();       // Відправити (both buttons)
    void SpeedButton1Click();  // Обновлення
    void TViewExpanding(QTreeWidgetItem* item);
    void TViewChanging(QTreeWidgetItem* item);
    void Timer1Timer();

    QTabWidget* PageControl1;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QTreeWidget* TView;
    QTreeWidget* ListView1;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QPushButton* BitBtn1;
    QDateEdit* DateEdit1;
    QPushButton* BitBtn2;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddValueRow(const QString& caption, const QString& value);
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, int image, NodeKind kind, bool placeholder);
    QString folder(const QString& name) const;

    AppState& state_;
    Prompter& prompter_;
    std::function<FtpClient*()> connection_;
    bool polling_ = false;
};

}  // namespace zelvan
