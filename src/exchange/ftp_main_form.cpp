#include "exchange/ftp_main_form.h"

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/prompter.h"
#include "app/windows.h"
#include "app/zastavka_form.h"
#include "exchange/data_exchange.h"
#include "exchange/ftp_exchange.h"
#include "exchange/ftp_zapros_form.h"
#include "platform/ftp_client.h"

namespace zelvan {

namespace {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

// Lets the windows repaint while a transfer runs; what the user types waits.
void keepResponsive() { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

TFTP_Main_Form::TFTP_Main_Form(AppState& state, Prompter& prompter, Windows& windows, QWidget* parent)
    : QDialog(parent), state_(state), prompter_(prompter), windows_(windows) {
    setObjectName(QStringLiteral("FTP_Main_Form"));
    setWindowTitle(QStringLiteral("Робота через FTP"));
    BitBtn1 = button(QStringLiteral("BitBtn1"), QStringLiteral("Підключитися"), this);
    BitBtn5 = button(QStringLiteral("BitBtn5"), QStringLiteral("Прийом даних"), this);
    BitBtn7 = button(QStringLiteral("BitBtn7"), QStringLiteral("Передача даних"), this);
    BitBtn8 = button(QStringLiteral("BitBtn8"), QStringLiteral("Настройки"), this);
    BitBtn2 = button(QStringLiteral("BitBtn2"), QStringLiteral("Заявка на відбір"), this);
    BitBtn5->setEnabled(false);
    BitBtn7->setEnabled(false);
    BitBtn2->setEnabled(false);
    BitBtn2->hide();
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn5, BitBtn7, BitBtn8, BitBtn2}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(ProgressBar1);
    setMinimumWidth(320);

    connect(BitBtn1, &QPushButton::clicked, this, &TFTP_Main_Form::BitBtn1Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFTP_Main_Form::BitBtn5Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TFTP_Main_Form::BitBtn7Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TFTP_Main_Form::BitBtn8Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFTP_Main_Form::BitBtn2Click);
    connect(Timer1, &QTimer::timeout, this, &TFTP_Main_Form::Timer1Timer);
}

TFTP_Main_Form::~TFTP_Main_Form() = default;

void TFTP_Main_Form::BitBtn1Click() {
    // The server's address is read from the file at each attempt.
    QString server;
    try {
        server = ConfigFile::load(state_.configPath).value(key::FTP_IP_Server).trimmed();
    } catch (const ZelvanError&) {
        server = state_.settings.ftpIpServer;
    }
    FtpAccount account = ftpAccountFrom(state_.settings, server);
    account.caFile = state_.ftpCaFile;
    auto client = std::make_unique<FtpClient>(account);
    client->setTick(keepResponsive);
    try {
        if (server.isEmpty()) throw FtpError(FtpError::Kind::Connection, {});
        client->connect();
    } catch (const FtpError&) {
        prompter_.message(MessageKind::Error, QStringLiteral("Зв'язку з сервером нема."));
        return;
    }
    client_ = std::move(client);
    BitBtn5->setEnabled(true);
    BitBtn7->setEnabled(true);
    BitBtn1->setEnabled(false);
    // The selection requests need the connection: offered once there is one.
    BitBtn2->setEnabled(true);
    BitBtn2->show();
    prompter_.message(MessageKind::Information, QStringLiteral("Встановлено зв'язок з сервером."));
    if (state_.ftpPollMs > 0) {
        Timer1->setInterval(state_.ftpPollMs);
        Timer1->start();
    }
}

bool TFTP_Main_Form::codesFilled() {
    const QString missing = missingCodesMessage(state_.settings);
    if (missing.isEmpty()) return true;
    prompter_.message(MessageKind::Warning, missing);
    return false;
}

void TFTP_Main_Form::showProgress(qint64 sent, qint64 total) {
    // The bar counts in per cent of the file: sizes beyond the range of an int fit too.
    ProgressBar1->setValue(total > 0 ? int(sent * 100 / total) : 100);
}

void TFTP_Main_Form::pause(int ms) {
    if (ms <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void TFTP_Main_Form::BitBtn5Click() {
    if (!client_ || !codesFilled()) return;
    const int answersBefore = answersReceived_;
    QString number;
    try {
        number = sendDataRequest(*client_, state_.settings, state_.workstationId,
                                 [this](qint64 sent, qint64 total) { showProgress(sent, total); });
    } catch (const FtpError& error) {
        ProgressBar1->setValue(0);
        prompter_.message(MessageKind::Error, error.kind() == FtpError::Kind::Refused
                                                  ? QStringLiteral("Помилка при передачі заявки на сервер")
                                                  : error.message());
        return;
    }
    prompter_.message(MessageKind::Plain, QStringLiteral("Відправлення заявки завершилося. Номер заявки ") + number +
                                              QStringLiteral(". Чекайте відповіді."));
    // The wait window stays until an answer arrives (or the user closes it with Esc);
    // an answer that came while the request was sent needs no waiting.
    if (answersReceived_ != answersBefore) {
        ProgressBar1->setValue(0);
        return;
    }
    TWaitForm& wait = windows_.waitForm();
    wait.setWindowModality(Qt::ApplicationModal);
    wait.show();
    QEventLoop loop;
    const auto closed = connect(&wait, &TWaitForm::closed, &loop, &QEventLoop::quit);
    if (wait.isVisible()) loop.exec();
    disconnect(closed);
    wait.setWindowModality(Qt::NonModal);
    ProgressBar1->setValue(0);
}

void TFTP_Main_Form::BitBtn7Click() {
    if (!client_ || !codesFilled()) return;
    try {
        sendValues(*client_, state_.dm, state_.settings, state_.workstationId,
                   [this](qint64 sent, qint64 total) { showProgress(sent, total); });
    } catch (const FtpError& error) {
        prompter_.message(MessageKind::Error, error.kind() == FtpError::Kind::Refused
                                                  ? QStringLiteral("Помилка при передачі даних на сервер")
                                                  : error.message());
        return;
    } catch (const ZelvanError& error) {
        prompter_.message(MessageKind::Error, error.message());
        return;
    }
    prompter_.message(MessageKind::Plain, QStringLiteral("Відправлення даних завершилося."));
    ProgressBar1->setValue(0);
}

void TFTP_Main_Form::BitBtn8Click() { windows_.showSettingsDialog(); }

void TFTP_Main_Form::BitBtn2Click() {
    if (!zapros_) zapros_ = std::make_unique<TFTP_Zapros_Form>(state_, prompter_, [this] { return client_.get(); }, this);
    zapros_->exec();
}

void TFTP_Main_Form::Timer1Timer() {
    // A tick that is still asking its questions is not overtaken by the next one.
    if (!client_ || polling_) return;
    polling_ = true;
    const auto done = qScopeGuard([this] { polling_ = false; });
    QStringList names;
    try {
        names = pendingAnswers(*client_, state_.settings, state_.workstationId);
    } catch (const FtpError&) {
        return;  // the server is asked again at the next tick
    }
    for (const QString& name : names) {
        pause(state_.ftpAnswerDelayMs);
        ReceivedAnswer answer;
        try {
            answer = fetchAnswer(*client_, state_.settings, state_.workstationId, name);
        } catch (const FtpError&) {
            continue;  // nothing was kept: the answer is offered again at the next tick
        }
        ++answersReceived_;
        windows_.waitForm().close();
        prompter_.message(MessageKind::Information,
                          QStringLiteral("Отримані дані по заявці №") + answer.number + QStringLiteral(" на прийом даних."));
        if (!prompter_.question(
                MessageKind::Confirmation,
                QStringLiteral("Ви бажаєте ці дані внести до бази даних? Увага! Якщо ви натисните \"Yes\", то всі дані, які "
                               "знаходяться у Вашій базі даних будуть перезаписані отриманими даними, тобто будуть знищені. "
                               "Якщо ви помилково відправили цю заявку, то натисніть \"No\".")))
            continue;
        try {
            const SystemClock systemClock;
            const Clock& clock = state_.clock ? *state_.clock : systemClock;
            applyUpdateArchive(state_.dm, {state_.dm.dbDir(), state_.settings.ftpDirectory, state_.settings.dir, state_.configPath},
                               answer.localPath, clock.now(), state_.locale, keepResponsive);
        } catch (const ZelvanError& error) {
            prompter_.message(MessageKind::Error, error.message());
            continue;
        }
        prompter_.message(MessageKind::Information,
                          QStringLiteral("Копіювання даних завершилося. Для того щоб користуватися новими даними, потрібно "
                                         "перезапустити програму."));
        Timer1->stop();
        if (endProgram_) endProgram_();
        return;
    }
}

}  // namespace zelvan
