#include "exchange/ftp_zapros_form.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/prompter.h"
#include "exchange/ftp_exchange.h"
#include "platform/ftp_client.h"

namespace zelvan {

namespace {

const QString kPlaceholder = QStringLiteral("TEMP");
constexpr int kKindRole = Qt::UserRole + 1;

}  // namespace

TFTP_Zapros_Form::TFTP_Zapros_Form(AppState& state, Prompter& prompter, std::function<FtpClient*()> connection,
                                   QWidget* parent)
    : QDialog(parent), state_(state), prompter_(prompter), connection_(std::move(connection)) {
    setObjectName(QStringLiteral("FTP_Zapros_Form"));
    setWindowTitle(QStringLiteral("Заявки / відповіді на відбір даних"));
    resize(760, 480);
    PageControl1 = new QTabWidget(this);

    // "Броузер": the toolbar, the tree and the list of the chosen item's fields.
    auto* browser = new QWidget;
    const auto tool = [&](const QString& name, const QString& hint, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(browser);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setIcon(style()->standardIcon(icon));
        return b;
    };
    SpeedButton1 = tool(QStringLiteral("SpeedButton1"), QStringLiteral("Обновлення"), QStyle::SP_BrowserReload);
    SpeedButton2 = tool(QStringLiteral("SpeedButton2"), QStringLiteral("Вибрати підприємство"), QStyle::SP_DialogApplyButton);
    SpeedButton3 = tool(QStringLiteral("SpeedButton3"), QStringLiteral("Вибрати дату"), QStyle::SP_FileDialogDetailedView);
    SpeedButton2->setEnabled(false);
    SpeedButton3->setEnabled(false);
    TView = new QTreeWidget;
    TView->setObjectName(QStringLiteral("TView"));
    TView->setHeaderHidden(true);
    ListView1 = new QTreeWidget;
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({QStringLiteral("Назва"), QStringLiteral("Значення")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->header()->resizeSection(0, 260);
    auto* toolbar = new QHBoxLayout;
    for (QToolButton* b : {SpeedButton1, SpeedButton2, SpeedButton3}) toolbar->addWidget(b);
    toolbar->addStretch();
    auto* splitter = new QSplitter;
    splitter->addWidget(TView);
    splitter->addWidget(ListView1);
    splitter->setStretchFactor(1, 1);
    auto* browserLayout = new QVBoxLayout(browser);
    browserLayout->addLayout(toolbar);
    browserLayout->addWidget(splitter, 1);
    PageControl1->addTab(browser, QStringLiteral("Броузер"));

    // "Нова заявка": the enterprise and the period.
    auto* request = new QWidget;
    auto* enterprise = new QGroupBox(QStringLiteral("Підприємство"), request);
    auto* fields = new QFormLayout(enterprise);
    QLineEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6};
    const char* captions[] = {"Назва", "Номер", "Код ЄДРПОУ", "Вулиця", "Будинок", "Корпус"};
    for (int i = 0; i < 6; ++i) {
        *edits[i] = new QLineEdit(enterprise);
        (*edits[i])->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        fields->addRow(QString::fromUtf8(captions[i]), *edits[i]);
    }
    BitBtn1 = new QPushButton(QStringLiteral("Відправити"), enterprise);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    fields->addRow(QString(), BitBtn1);
    auto* period = new QGroupBox(QStringLiteral("Період для ввода даних"), request);
    auto* periodFields = new QFormLayout(period);
    DateEdit1 = new QDateEdit(period);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setCalendarPopup(true);
    periodFields->addRow(QStringLiteral("Дата"), DateEdit1);
    BitBtn2 = new QPushButton(QStringLiteral("Відправити"), period);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    periodFields->addRow(QString(), BitBtn2);
    ProgressBar1 = new QProgressBar(request);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    auto* requestLayout = new QVBoxLayout(request);
    requestLayout->addWidget(enterprise);
    requestLayout->addWidget(period);
    requestLayout->addWidget(ProgressBar1);
    requestLayout->addStretch();
    PageControl1->addTab(request, QStringLiteral("Нова заявка"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);

    connect(SpeedButton1, &QToolButton::clicked, this, &TFTP_Zapros_Form::SpeedButton1Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFTP_Zapros_Form::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFTP_Zapros_Form::BitBtn1Click);
    connect(TView, &QTreeWidget::itemExpanded, this, &TFTP_Zapros_Form::TViewExpanding);
    connect(TView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { TViewChanging(item); });
    connect(Timer1, &QTimer::timeout, this, &TFTP_Zapros_Form::Timer1Timer);
    SpeedButton1Click();
}

void TFTP_Zapros_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

QString TFTP_Zapros_Form::folder(const QString& name) const {
    return QDir(state_.settings.ftpDirectory).filePath(QStringLiteral("ZAMOV/") + name);
}

void TFTP_Zapros_Form::FormShow() {
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6}) edit->clear();
    DateEdit1->setDate(QDate::currentDate());
    if (state_.ftpPollMs > 0) {
        Timer1->setInterval(state_.ftpPollMs);
        Timer1->start();
    }
}

QTreeWidgetItem* TFTP_Zapros_Form::addNode(QTreeWidgetItem* parent, const QString& text, int image, NodeKind kind,
                                           bool placeholder) {
    auto* item = parent ? new QTreeWidgetItem(parent, {text}) : new QTreeWidgetItem(TView, {text});
    static const QStyle::StandardPixmap images[] = {QStyle::SP_DirOpenIcon, QStyle::SP_DirHomeIcon,
                                                    QStyle::SP_FileIcon, QStyle::SP_FileDialogContentsView,
                                                    QStyle::SP_ComputerIcon};
    item->setIcon(0, style()->standardIcon(images[image]));
    item->setData(0, kKindRole, int(kind));
    if (placeholder) new QTreeWidgetItem(item, {kPlaceholder});
    return item;
}

void TFTP_Zapros_Form::SpeedButton1Click() {
    TView->clear();
    ListView1->clear();
    addNode(nullptr, QStringLiteral("Заявки"), 0, RequestsRoot, true);
    addNode(nullptr, QStringLiteral("Відповіді"), 1, AnswersRoot, true);
}

void TFTP_Zapros_Form::TViewExpanding(QTreeWidgetItem* item) {
    if (!item || item->childCount() == 0 || item->child(0)->text(0) != kPlaceholder) return;
    delete item->takeChild(0);
    const int kind = item->data(0, kKindRole).toInt();
    const auto files = [&](const QString& sub) {
        return QDir(folder(sub)).entryList({QStringLiteral("*.ftp")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    };
    if (kind == RequestsRoot) {
        for (const QString& name : files(QStringLiteral("OUT"))) addNode(item, name.chopped(4), 2, SentRequest, false);
    } else if (kind == AnswersRoot) {
        for (const QString& name : files(QStringLiteral("IN"))) addNode(item, name.chopped(4), 3, ReceivedAnswer, true);
    } else if (kind == ReceivedAnswer) {
        try {
            const QString name = item->text(0) + QStringLiteral(".ftp");
            const KeyedText answer = KeyedText::load(QDir(folder(QStringLiteral("IN"))).filePath(name));
            const int count = enterpriseCount(answer, name);
            for (int k = 1; k <= count; ++k)
                addNode(item,
                        answer.value(QString::number(k) + QStringLiteral("@Назва")) + QStringLiteral(" №") +
                            answer.value(QString::number(k) + QStringLiteral("@Номер")),
                        4, Enterprise, false);
        } catch (const ZelvanError& error) {
            prompter_.message(MessageKind::Error, error.message());
        }
    }
}

void TFTP_Zapros_Form::AddValueRow(const QString& caption, const QString& value) {
    new QTreeWidgetItem(ListView1, {caption, value});
}

void TFTP_Zapros_Form::TViewChanging(QTreeWidgetItem* item) {
    ListView1->clear();
    const int kind = item ? item->data(0, kKindRole).toInt() : 0;
    try {
        if (kind == SentRequest) {
            const KeyedText request =
                KeyedText::load(QDir(folder(QStringLiteral("OUT"))).filePath(item->text(0) + QStringLiteral(".ftp")));
            const std::pair<const char*, const char*> rows[] = {
                {"Назва підприємства", "Short_Name_Obj"}, {"Номер підприємства", "Nomer_Obj"},
                {"Код ЄДРПОУ", "Kod_ZKPO"},              {"Назва вулиці", "Name_Ul"},
                {"Номер дома", "Nomer_Doma"},            {"Номер корпуса", "Nomer_Korpus"},
                {"Період для вода даних", "Nachalo"}};
            for (const auto& [caption, key] : rows) AddValueRow(QString::fromUtf8(caption), request.value(QString::fromLatin1(key)));
        } else if (kind == Enterprise) {
            const KeyedText answer = KeyedText::load(
                QDir(folder(QStringLiteral("IN"))).filePath(item->parent()->text(0) + QStringLiteral(".ftp")));
            const QString k = QString::number(item->parent()->indexOfChild(item) + 1);
            for (const AnswerField& field : selectionAnswerFields()) AddValueRow(field.caption, answer.value(k + field.key));
        }
    } catch (const ZelvanError& error) {
        prompter_.message(MessageKind::Error, error.message());
    }
    SpeedButton2->setEnabled(kind == Enterprise);
    SpeedButton3->setEnabled(kind == Enterprise);
}

void TFTP_Zapros_Form::BitBtn1Click() {
    const SelectionRequest request{Edit1->text().trimmed(), Edit2->text().trimmed(), Edit3->text().trimmed(),
                                   Edit4->text().trimmed(), Edit5->text().trimmed(), Edit6->text().trimmed()};
    try {
        sendSelectionRequest(connection_ ? connection_() : nullptr, state_.settings, state_.workstationId, request,
                             [this](qint64 sent, qint64 total) {
                                 ProgressBar1->setValue(total > 0 ? int(sent * 100 / total) : 100);
                             });
        prompter_.message(MessageKind::Plain, QStringLiteral("Відправлення заявки завершилося"));
    } catch (const ZelvanError& error) {
        prompter_.message(MessageKind::Error, error.message());
    }
    ProgressBar1->setValue(0);
    if (state_.ftpPollMs > 0 && !Timer1->isActive()) Timer1->start(state_.ftpPollMs);
}

void TFTP_Zapros_Form::Timer1Timer() {
    FtpClient* client = connection_ ? connection_() : nullptr;
    if (!client || polling_) return;
    polling_ = true;
    const auto done = qScopeGuard([this] { polling_ = false; });
    QStringList names;
    try {
        names = pendingSelectionAnswers(*client, state_.settings, state_.workstationId);
    } catch (const FtpError&) {
        return;
    }
    for (const QString& name : names) {
        try {
            fetchSelectionAnswer(*client, state_.settings, state_.workstationId, name);
        } catch (const FtpError&) {
            continue;  // nothing was kept: offered again at the next tick
        }
        SpeedButton1Click();
        prompter_.message(MessageKind::Information, QStringLiteral("Отримана відповідь на заявку ") + name + u'.');
    }
}

}  // namespace zelvan
