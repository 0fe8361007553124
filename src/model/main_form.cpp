#include "model/main_form.h"

#include <QFile>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/config_file.h"
#include "app/error.h"
#include "app/prompter.h"
#include "app/windows.h"
#include "app/zastavka_form.h"
#include "dict/vidatki_forms.h"
#include "entry/input_znach_form.h"
#include "exchange/data_exchange.h"
#include "exchange/drive_form.h"
#include "exchange/ftp_main_form.h"
#include "formula/report_kontr.h"
#include "model/main_queries.h"
#include "model/organisation_card.h"
#include "model/schema.h"
#include "platform/files.h"

namespace zelvan {

namespace {

const QColor kCardBackground(153, 204, 204);  // 13421721
const QString kEmailCaption = QStringLiteral("E-Mail (обов`язкове заповнення)");
const QString kInstruction = QStringLiteral("Instrukcia_ROBOTA.doc");

// Column widths of the form list in its two modes.
constexpr int kTypeModeWidths[7] = {600, 100, 0, 0, 0, 0, 0};
constexpr int kFilledModeWidths[7] = {400, 100, 0, 50, 50, 50, 50};

// Draws the card: the captions and keys in blue, the e-mail caption in bold and the
// e-mail key in the grid's background colour, so that the cell looks empty.
class CardDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int column = index.column();
        const QString text = index.data().toString();
        if (column == OrganisationCardModel::SysName || column == OrganisationCardModel::KodName)
            option->palette.setColor(QPalette::Text, Qt::blue);
        if (column == OrganisationCardModel::SysName && text == kEmailCaption) option->font.setBold(true);
        if (column == OrganisationCardModel::KodName && text == QStringLiteral("EMail"))
            option->palette.setColor(QPalette::Text, kCardBackground);
    }
};

// Draws the form list's grid lines below and right of every cell.
class GridLinesDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(208, 208, 208));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }
};

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLineEdit* edit(const QString& name, QWidget* parent, bool readOnly = false) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(readOnly);
    return e;
}

}  // namespace

void PeriodComboBox::showPopup() {
    if (onDropDown) onDropDown();
    QComboBox::showPopup();
}

TMain_Form::TMain_Form(AppState& state, Prompter& prompter, Windows& windows, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter), windows_(windows), desktop_(desktop) {
    setObjectName(QStringLiteral("Main_Form"));
    setWindowTitle(QStringLiteral("Вибір форми"));
    buildLayout();

    connect(BitBtn1, &QPushButton::clicked, this, &TMain_Form::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TMain_Form::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TMain_Form::BitBtn3Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TMain_Form::BitBtn7Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TMain_Form::BitBtn8Click);
    connect(BitBtn9, &QPushButton::clicked, this, &TMain_Form::BitBtn9Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TMain_Form::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TMain_Form::BitBtn5Click);
    connect(bbBackData, &QPushButton::clicked, this, &TMain_Form::bbBackDataClick);
    connect(BitBtn6, &QPushButton::clicked, this, &TMain_Form::BitBtn6Click);
    connect(ComboBox2, &QComboBox::editTextChanged, this, &TMain_Form::ComboBox2Change);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TMain_Form::ComboBox1Change);
    ComboBox1->onDropDown = [this] { ComboBox1DropDown(); };
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &TMain_Form::ListView1Change);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &TMain_Form::BitBtn3Click);
    connect(Edit3, &QLineEdit::textChanged, this, &TMain_Form::Edit3Change);
    connect(Edit5, &QLineEdit::textChanged, this, &TMain_Form::Edit5Change);
    connect(Edit7, &QLineEdit::textChanged, this, &TMain_Form::Edit7Change);
    connect(Edit1, &QLineEdit::textChanged, this, &TMain_Form::Edit1Change);
    connect(Button3, &QPushButton::clicked, this, &TMain_Form::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TMain_Form::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TMain_Form::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TMain_Form::Button6Click);
    for (QLineEdit* name : {Edit4, Edit6, Edit8, Edit2}) name->installEventFilter(this);
    dbgSorg->installEventFilter(this);

    // The card's pending change is posted when the focus leaves the grid and its editors.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto inGrid = [this](QWidget* w) { return w && (w == dbgSorg || dbgSorg->isAncestorOf(w)); };
        if (inGrid(old) && !inGrid(now)) postCard();
    });
}

TMain_Form::~TMain_Form() = default;

QWidget* TMain_Form::buildClassifierGroup(const QString& caption, Classifier& c) {
    // A caption over a framed row of fields.
    auto* group = new QWidget(Panel4);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    column->addWidget(new QLabel(caption, group));
    auto* frame = new QFrame(group);
    frame->setFrameShape(QFrame::StyledPanel);
    column->addWidget(frame);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(4, 3, 4, 3);
    c.code->setMaximumWidth(70);
    c.code->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), c.code));
    row->addWidget(c.code);
    if (c.second) {
        c.second->setMaximumWidth(50);
        QPalette palette = c.second->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        c.second->setPalette(palette);
        row->addWidget(c.second);
    }
    row->addWidget(c.name, 1);
    c.pick->setMaximumWidth(28);
    row->addWidget(c.pick);
    return group;
}

void TMain_Form::buildLayout() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Upper area: structure period, period panel, commands and the organisation card.
    auto* upper = new QWidget(central);
    auto* upperLayout = new QVBoxLayout(upper);
    auto* topRow = new QHBoxLayout;
    auto* periodFrame = new QFrame(upper);
    periodFrame->setFrameShape(QFrame::StyledPanel);
    auto* periodFrameLayout = new QHBoxLayout(periodFrame);
    periodFrameLayout->addWidget(new QLabel(QStringLiteral("Форми на"), periodFrame));
    Label7 = new QLabel(periodFrame);
    Label7->setObjectName(QStringLiteral("Label7"));
    QFont bold = Label7->font();
    bold.setBold(true);
    Label7->setFont(bold);
    periodFrameLayout->addWidget(Label7);
    topRow->addWidget(periodFrame);

    Panel1 = new QWidget(upper);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* panel1Layout = new QHBoxLayout(Panel1);
    panel1Layout->addWidget(new QLabel(QStringLiteral("Вибір періоду"), Panel1));
    ComboBox1 = new PeriodComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(120);
    panel1Layout->addWidget(ComboBox1);
    Panel1->hide();
    topRow->addWidget(Panel1);
    topRow->addStretch();

    BitBtn4 = button(QStringLiteral("BitBtn4"), QStringLiteral("Оновлення структур"), upper);
    BitBtn5 = button(QStringLiteral("BitBtn5"), QStringLiteral("Передача даних"), upper);
    BitBtn8 = button(QStringLiteral("BitBtn8"), QStringLiteral("Інструкція"), upper);
    BitBtn2 = button(QStringLiteral("BitBtn2"), QStringLiteral("Настройки"), upper);
    BitBtn6 = button(QStringLiteral("BitBtn6"), QStringLiteral("Робота через Internet"), upper);
    BitBtn6->hide();
    for (QPushButton* b : {BitBtn4, BitBtn5, BitBtn8, BitBtn2, BitBtn6}) topRow->addWidget(b);
    upperLayout->addLayout(topRow);

    dbgSorg = new QTableView(upper);
    dbgSorg->setObjectName(QStringLiteral("dbgSorg"));
    dbgSorg->horizontalHeader()->hide();
    dbgSorg->verticalHeader()->hide();
    dbgSorg->verticalHeader()->setDefaultSectionSize(dbgSorg->fontMetrics().height() + 6);
    dbgSorg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the columns share the width
    dbgSorg->setFrameShape(QFrame::StyledPanel);
    dbgSorg->setItemDelegate(new CardDelegate(dbgSorg));
    dbgSorg->setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette cardPalette = dbgSorg->palette();
    cardPalette.setColor(QPalette::Base, kCardBackground);
    cardPalette.setColor(QPalette::AlternateBase, kCardBackground);
    dbgSorg->setPalette(cardPalette);
    card_ = new OrganisationCardModel(state_.dm, this);
    dbgSorg->setModel(card_);
    connect(dbgSorg, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(dbgSorg);
        menu.addAction(QStringLiteral("Додати рядок"), this, &TMain_Form::cardInsertRow);
        menu.addAction(QStringLiteral("Видалити рядок"), this, &TMain_Form::cardDeleteRow);
        menu.exec(dbgSorg->viewport()->mapToGlobal(at));
    });
    upperLayout->addWidget(dbgSorg, 1);

    // Form area: report type, commands and the form list.
    auto* formArea = new QWidget(central);
    auto* formLayout = new QVBoxLayout(formArea);
    formLayout->addWidget(new QLabel(QStringLiteral("Форма"), formArea));
    auto* typeRow = new QHBoxLayout;
    auto* typeFrame = new QFrame(formArea);
    typeFrame->setFrameShape(QFrame::StyledPanel);
    auto* typeFrameLayout = new QHBoxLayout(typeFrame);
    typeFrameLayout->addWidget(new QLabel(QStringLiteral("Форма звітності"), typeFrame));
    ComboBox2 = new QComboBox(typeFrame);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    ComboBox2->setMinimumWidth(220);
    typeFrameLayout->addWidget(ComboBox2);
    typeRow->addWidget(typeFrame);
    typeRow->addStretch();
    BitBtn7 = button(QStringLiteral("BitBtn7"), QStringLiteral("Міжформовий контроль"), formArea);
    BitBtn9 = button(QStringLiteral("BitBtn9"), QStringLiteral("Заповнені форми"), formArea);
    typeRow->addWidget(BitBtn7);
    typeRow->addWidget(BitBtn9);
    formLayout->addLayout(typeRow);

    ListView1 = new QTreeWidget(formArea);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setItemDelegate(new GridLinesDelegate(ListView1));
    ListView1->setHeaderLabels({QStringLiteral("Назва форми"), QStringLiteral("Номер форми"), QString(),
                                QStringLiteral("Код видатків"), QStringLiteral("Код фонду"),
                                QStringLiteral("Код замовлення"), QStringLiteral("Код коштів")});
    setListMode(false);
    formLayout->addWidget(ListView1, 1);

    auto* splitter = new QSplitter(Qt::Vertical, central);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->addWidget(upper);
    splitter->addWidget(formArea);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);

    // Classifier panel.
    Panel4 = new QWidget(central);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Edit3 = edit(QStringLiteral("Edit3"), Panel4);
    Edit10 = edit(QStringLiteral("Edit10"), Panel4, true);
    Edit4 = edit(QStringLiteral("Edit4"), Panel4, true);
    Edit5 = edit(QStringLiteral("Edit5"), Panel4);
    Edit6 = edit(QStringLiteral("Edit6"), Panel4, true);
    Edit7 = edit(QStringLiteral("Edit7"), Panel4);
    Edit8 = edit(QStringLiteral("Edit8"), Panel4, true);
    Edit1 = edit(QStringLiteral("Edit1"), Panel4);
    Edit2 = edit(QStringLiteral("Edit2"), Panel4, true);
    Button3 = button(QStringLiteral("Button3"), QStringLiteral("..."), Panel4);
    Button4 = button(QStringLiteral("Button4"), QStringLiteral("..."), Panel4);
    Button5 = button(QStringLiteral("Button5"), QStringLiteral("..."), Panel4);
    Button6 = button(QStringLiteral("Button6"), QStringLiteral("..."), Panel4);
    classifiers_ = {{
        {ClassifierGroup::Expense, Edit3, Edit4, Button3, Edit10, 0,
         QStringLiteral("Не вибран код класифікації видатків. Програма підставить значення \"НЕ ВКАЗАНО\".")},
        {ClassifierGroup::Fund, Edit5, Edit6, Button4, nullptr, 0,
         QStringLiteral("Не вибран вид фонду. Програма підставить значення \"НЕ ВКАЗАНО\".")},
        {ClassifierGroup::Order, Edit7, Edit8, Button5, nullptr, 0,
         QStringLiteral("Не вибран вид замовлення. Програма підставить значення \"НЕ ВКАЗАНО\".")},
        {ClassifierGroup::Funds, Edit1, Edit2, Button6, nullptr, 0,
         QStringLiteral("Не вибран вид коштів. Програма підставить значення \"НЕ ВКАЗАНО\".")},
    }};
    auto* panel4Layout = new QHBoxLayout(Panel4);
    panel4Layout->setContentsMargins(0, 0, 0, 0);
    panel4Layout->addWidget(buildClassifierGroup(QStringLiteral("Код класифікації видатків"), classifiers_[0]), 3);
    panel4Layout->addWidget(buildClassifierGroup(QStringLiteral("Вид фонду"), classifiers_[1]), 2);
    panel4Layout->addWidget(buildClassifierGroup(QStringLiteral("Вид замовлення"), classifiers_[2]), 2);
    panel4Layout->addWidget(buildClassifierGroup(QStringLiteral("Вид коштів"), classifiers_[3]), 2);

    // Bottom bar.
    auto* bottom = new QHBoxLayout;
    BitBtn3 = button(QStringLiteral("BitBtn3"), QStringLiteral("Заповнення даними"), central);
    bbBackData = button(QStringLiteral("bbBackData"), QStringLiteral("Повернення звітності"), central);
    BitBtn1 = button(QStringLiteral("BitBtn1"), QStringLiteral("Закрити"), central);
    bottom->addWidget(BitBtn3);
    bottom->addWidget(bbBackData);
    bottom->addStretch();
    bottom->addWidget(new QLabel(QStringLiteral("Версія 6.5"), central));
    bottom->addStretch();
    bottom->addWidget(BitBtn1);

    auto* layout = new QVBoxLayout(central);
    layout->addWidget(splitter, 1);
    layout->addWidget(Panel4);
    layout->addLayout(bottom);
    resize(1000, 720);
}

void TMain_Form::setListMode(bool filledForms) {
    filledFormsMode_ = filledForms;
    const int* widths = filledForms ? kFilledModeWidths : kTypeModeWidths;
    for (int c = 0; c < 7; ++c) {
        ListView1->setColumnHidden(c, widths[c] == 0);
        if (widths[c] > 0) ListView1->setColumnWidth(c, widths[c]);
    }
}

void TMain_Form::addListItem(const QString& name, const QString& number, const QString& kodForm,
                             const QString (&codes)[4]) {
    auto* item = new QTreeWidgetItem(ListView1);
    item->setText(0, name);
    item->setText(1, number);
    item->setText(2, kodForm);
    for (int k = 0; k < 4; ++k) item->setText(3 + k, codes[k]);
}

void TMain_Form::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TMain_Form::closeEvent(QCloseEvent* event) {
    // Nothing typed into the card is lost when the program ends.
    postCard();
    // The filled template copies this run made go; nothing else of that folder.
    for (const QString& copy : std::as_const(state_.madeDocuments)) QFile::remove(copy);
    state_.madeDocuments.clear();
    QMainWindow::closeEvent(event);
}

bool TMain_Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == Edit4) Edit4Exit();
        else if (watched == Edit6) Edit6Exit();
        else if (watched == Edit8) Edit8Exit();
        else if (watched == Edit2) Edit2Exit();
    }
    if (watched == dbgSorg && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            cardInsertRow();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            cardDeleteRow();
            return true;
        }
    }
    if (watched == dbgSorg && event->type() == QEvent::Resize) fitCardColumns();
    return QMainWindow::eventFilter(watched, event);
}

void TMain_Form::fitCardColumns() {
    // The four columns share the grid's width in the proportion of their starting widths.
    const int widths[4] = {200, 405, 77, 70};
    const int total = 200 + 405 + 77 + 70;
    const int available = dbgSorg->viewport()->width();
    for (int c = 0; c < 4; ++c) dbgSorg->setColumnWidth(c, available * widths[c] / total);
}

void TMain_Form::FormShow() {
    ComboBox2->setEnabled(true);
    // Work through the department's FTP server is offered where the settings name one.
    BitBtn6->setVisible(!state_.settings.ftpIpServer.isEmpty());

    const StructurePeriod period = readStructurePeriod(state_.dm);
    kodDanper_ = period.kodDanper;
    danperStart_ = period.start;
    Label7->setText(state_.locale.formatDate(period.start));

    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        for (const QDate& date : localPeriodDates(state_.dm)) ComboBox1->addItem(state_.locale.formatDate(date));
        QString locPeriod;
        try {
            locPeriod = ConfigFile::load(state_.configPath).value(key::LocPeriod);
        } catch (const ConfigError&) {
            // Without a readable file the structure period's start stands in.
        }
        ComboBox1->setEditText(locPeriod.isEmpty() ? Label7->text() : locPeriod);
    }

    {
        const QSignalBlocker block(ComboBox2);
        ComboBox2->clear();
        ComboBox2->addItems(reportTypeNames(state_.dm));
        ComboBox2->setEditText(QString());
    }

    card_->reload();
    fitCardColumns();
    const CardReading card = readCard(state_.dm);  // a state code that is no number ends here
    if (!card.kodObj) return;
    kodObj_ = *card.kodObj;
    kodStan_ = card.kodStan;
    {
        const QSignalBlocker block(ComboBox2);
        ComboBox2->setEditText(card.fundingForm);
    }

    ListView1->clear();
    setCode(classifiers_[3], QStringLiteral("0"));
    setCode(classifiers_[0], QStringLiteral("0"));
    setCode(classifiers_[1], QStringLiteral("0"));
    setCode(classifiers_[2], QStringLiteral("0"));
    ComboBox2Change();
}

void TMain_Form::ComboBox2Change() {
    const QString typeText = ComboBox2->currentText();
    kodTypeZvitnost_ = reportTypeCode(state_.dm, typeText);
    const bool selfSupporting = kodTypeZvitnost_ == 2;
    Panel4->setVisible(!selfSupporting);
    Panel1->setVisible(selfSupporting);

    const std::vector<FormListItem> forms = formsOfType(state_.dm, kodDanper_, typeText, kodTypeZvitnost_);
    setListMode(false);
    const QSignalBlocker block(ListView1);
    ListView1->clear();
    for (const FormListItem& form : forms) addListItem(form.name, form.number, form.kodForm, form.codes);
}

void TMain_Form::ComboBox1DropDown() {
    const QString text = ComboBox1->currentText();
    for (int i = 0; i < ComboBox1->count(); ++i) {
        if (ComboBox1->itemText(i) == text) rememberedPeriodIndex_ = i;
    }
}

void TMain_Form::ComboBox1Change() {
    const TMsgDlgButtons yesNo{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
    const bool confirmed =
        prompter_.styledMessage(QStringLiteral("За зміною періоду звітності будуть знищені всі дані, введені раніше в "
                                               "форми звітності! Продовжити?"),
                                TMsgDlgType::mtWarning, yesNo, WarningStyleUkr) == mr::Yes &&
        prompter_.styledMessage(QStringLiteral("Знищити всі дані?"), TMsgDlgType::mtWarning, yesNo, WarningStyleUkr) ==
            mr::Yes;
    if (!confirmed) {
        const QSignalBlocker block(ComboBox1);
        if (rememberedPeriodIndex_ < ComboBox1->count()) {
            ComboBox1->setCurrentIndex(rememberedPeriodIndex_);
            ComboBox1->setEditText(ComboBox1->itemText(rememberedPeriodIndex_));
        }
        return;
    }
    const QDateTime now = state_.clock ? state_.clock->now() : QDateTime::currentDateTime();
    changeLocalPeriod(state_.dm, state_.configPath, ComboBox1->currentText(), now);
}

void TMain_Form::ListView1Change() {
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty()) return;
    const QTreeWidgetItem* item = selected.first();
    for (int k = 0; k < 4; ++k) classifiers_[size_t(k)].code->setText(filledFormsMode_ ? item->text(3 + k) : QStringLiteral("0"));
}

ReportSelection TMain_Form::selection() const {
    ReportSelection s;
    s.kodDanper = kodDanper_;
    s.danperStart = danperStart_;
    s.locPeriod = ComboBox1->currentText();
    s.kodTypeZvitnost = kodTypeZvitnost_;
    s.kodObj = kodObj_;
    s.kodStan = kodStan_;
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (!selected.isEmpty()) {
        s.kodForm = selected.first()->text(2).toInt();
        s.nomerForm = selected.first()->text(1);
        s.nameForm = selected.first()->text(0);
    }
    s.kodK = classifiers_[0].key;
    s.kodF = classifiers_[1].key;
    s.kodZ = classifiers_[2].key;
    s.kodG = classifiers_[3].key;
    return s;
}

void TMain_Form::BitBtn3Click() {
    if (ComboBox1->currentText().isEmpty()) {
        prompter_.message(MessageKind::Warning, QStringLiteral("Не вибран період."));
        return;
    }
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty()) {
        prompter_.message(MessageKind::Warning, QStringLiteral("Не вибрана форма."));
        return;
    }
    for (Classifier& c : classifiers_) {
        if (c.name->text().isEmpty()) {
            prompter_.message(MessageKind::Warning, c.missingWarning);
            setCode(c, QStringLiteral("0"));
        }
    }
    const QString kodForm = selected.first()->text(2);
    if (formKind(state_.dm, kodForm.toInt()) == 3) {
        prompter_.message(MessageKind::Information,
                          QStringLiteral("Дана форма призначена для контроля показників. Ввод даних неможливий."));
        return;
    }
    TInput_Znach_Form& entry = windows_.inputZnachForm();
    entry.setContextProvider([this] {
        // The entry window runs the lookups of the expense code, the fund kind and the
        // order kind; the kind of funds key is taken as it is.
        for (int k = 0; k < 3; ++k) setCode(classifiers_[size_t(k)], classifiers_[size_t(k)].code->text());
        EntryContext context;
        context.selection = selection();
        for (int k = 0; k < 4; ++k) {
            context.codes[k] = classifiers_[size_t(k)].code->text();
            context.names[k] = classifiers_[size_t(k)].name->text();
        }
        context.typeBoxCode = kodTypeZvitnost_;
        return context;
    });
    if (entry.FormShow()) entry.exec();
}

void TMain_Form::BitBtn7Click() {
    if (ComboBox1->currentText().isEmpty()) {
        prompter_.message(MessageKind::Plain, QStringLiteral("Введить період!"));
        return;
    }
    if (ComboBox2->currentText().isEmpty()) {
        prompter_.message(MessageKind::Plain, QStringLiteral("Введить форму звітності!"));
        return;
    }
    TfmReportKontr control(state_, prompter_, {kodDanper_, kodObj_, kodTypeZvitnost_, ComboBox1->currentText()});
    control.rbExtKontr = true;
    control.bbKontrolClick();
}

void TMain_Form::BitBtn8Click() {
    QStringList folders;
    if (!state_.settings.dir.isEmpty()) folders << state_.settings.dir;
    folders << QApplication::applicationDirPath();
    for (const QString& folder : folders) {
        if (!fileExistsIgnoringCase(folder, kInstruction)) continue;
        const QString path = findFileIgnoringCase(folder, kInstruction);
        if (!desktop_.openDocument(path)) {
            prompter_.message(MessageKind::Warning, QStringLiteral("Не вдалося відкрити інструкцію \"%1\": у системі "
                                                                   "немає програми для документів Word.")
                                                        .arg(QDir::toNativeSeparators(path)));
        }
        return;
    }
    prompter_.message(MessageKind::Warning, QStringLiteral("Файл інструкції \"%1\" не знайдено в папці \"%2\".")
                                                .arg(kInstruction, QDir::toNativeSeparators(folders.first())));
}

void TMain_Form::BitBtn2Click() { windows_.showSettingsDialog(); }

void TMain_Form::BitBtn1Click() { close(); }

void TMain_Form::BitBtn9Click() {
    if (ComboBox1->currentText().isEmpty()) {
        prompter_.message(MessageKind::Warning, QStringLiteral("Вкажіть дату."));
        return;
    }
    {
        const QSignalBlocker block(ComboBox2);
        ComboBox2->setEditText(QString());
    }
    setListMode(true);
    const QSignalBlocker block(ListView1);
    ListView1->clear();
    for (const FormListItem& form : filledForms(state_.dm, kodObj_, kodStan_, kodDanper_))
        addListItem(form.name, form.number, form.kodForm, form.codes);
}

void TMain_Form::setCode(Classifier& c, const QString& code) {
    {
        const QSignalBlocker block(c.code);
        c.code->setText(code);
    }
    codeLookup(c);
}

void TMain_Form::codeLookup(Classifier& c) {
    const QString code = c.code->text();
    if (code.isEmpty()) {
        c.name->clear();
        if (c.second) c.second->clear();
        return;
    }
    const std::optional<ClassifierEntry> entry = lookupCode(state_.dm, c.group, code, danperStart_);
    c.name->setText(entry ? entry->name : QString());
    c.name->setCursorPosition(0);
    if (c.second) c.second->setText(entry ? entry->kodParent2 : QString());
    c.key = entry ? entry->kod : 0;
}

void TMain_Form::nameLookup(Classifier& c) {
    const QString name = c.name->text();
    if (name.isEmpty()) return;
    const std::optional<ClassifierEntry> entry = lookupName(state_.dm, c.group, name);
    c.code->setText(entry ? entry->id : QString());
    c.key = entry ? entry->kod : 0;
}

void TMain_Form::pick(Classifier& c) {
    TVidatki_List_Form& list = windows_.vidatkiListForm();
    const std::vector<ClassifierEntry> entries = pickList(state_.dm, c.group, danperStart_);
    list.fill(entries, c.group == ClassifierGroup::Expense, dictionaryTitle(c.group));
    list.exec();
    // With an empty dictionary the code stays as it was.
    if (!entries.empty() && list.currentRow() >= 0) c.code->setText(list.currentCode());
}

void TMain_Form::Edit3Change() { codeLookup(classifiers_[0]); }
void TMain_Form::Edit5Change() { codeLookup(classifiers_[1]); }
void TMain_Form::Edit7Change() { codeLookup(classifiers_[2]); }
void TMain_Form::Edit1Change() { codeLookup(classifiers_[3]); }
void TMain_Form::Edit4Exit() { nameLookup(classifiers_[0]); }
void TMain_Form::Edit6Exit() { nameLookup(classifiers_[1]); }
void TMain_Form::Edit8Exit() { nameLookup(classifiers_[2]); }
void TMain_Form::Edit2Exit() { nameLookup(classifiers_[3]); }
void TMain_Form::Button3Click() { pick(classifiers_[0]); }
void TMain_Form::Button4Click() { pick(classifiers_[1]); }
void TMain_Form::Button5Click() { pick(classifiers_[2]); }
void TMain_Form::Button6Click() { pick(classifiers_[3]); }

void TMain_Form::postCard() {
    try {
        card_->post();
    } catch (const ZelvanError&) {
        // The change stays pending in the grid, as typed.
    }
}

void TMain_Form::cardInsertRow() {
    const int at = dbgSorg->currentIndex().isValid() ? dbgSorg->currentIndex().row() : card_->rowCount();
    const int row = card_->addRow(at);
    dbgSorg->setCurrentIndex(card_->index(row, OrganisationCardModel::SysName));
    dbgSorg->edit(dbgSorg->currentIndex());
}

void TMain_Form::cardDeleteRow() {
    const QModelIndex current = dbgSorg->currentIndex();
    if (!current.isValid()) return;
    if (!prompter_.question(MessageKind::Confirmation, QStringLiteral("Видалити запис?"))) return;
    card_->deleteRow(current.row());
}

// ---- exchange through media ----------------------------------------------------------

namespace {

const QString kUsbFrom = QStringLiteral("Якщо Ви будете копіювати дані з флешки, вставте її у роз\"їм USB!");
const QString kUsbTo = QStringLiteral("Якщо Ви будете копіювати дані на флешку, вставте її у роз\"їм USB!");
const QString kCopyDone = QStringLiteral("Копіювання даних завершилося.");

// Lets the windows repaint and take input while a command works.
void keepResponsive() { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace

std::optional<QString> TMain_Form::chooseMedium(const QString& usbMessage, int use) {
    prompter_.message(MessageKind::Plain, usbMessage);
    TWaitForm& wait = windows_.waitForm();
    wait.show();
    wait.raise();
    // A medium inserted just now needs a moment; the windows go on painting meanwhile.
    if (state_.mediumPauseMs > 0) {
        QEventLoop loop;
        QTimer::singleShot(state_.mediumPauseMs, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        keepResponsive();
    }
    TDrive_Form& drive = windows_.driveForm();
    if (drive.exec() != QDialog::Accepted) {
        wait.hide();
        return std::nullopt;
    }
    return mediumFolder(drive.SelectedDrive, static_cast<MediumUse>(use));
}

void TMain_Form::finishExchange(const QString& success, const QStringList& failedFiles, bool reload) {
    if (reload) FormShow();
    windows_.waitForm().hide();
    if (failedFiles.isEmpty()) prompter_.message(MessageKind::Information, success);
    else prompter_.message(MessageKind::Warning, failedFilesMessage(success, failedFiles));
}

namespace {

ExchangePlaces placesOf(const AppState& state) {
    return {state.dm.dbDir(), state.settings.ftpDirectory, state.settings.dir, state.configPath};
}

}  // namespace

void TMain_Form::BitBtn4Click() {
    if (!prompter_.question(MessageKind::Confirmation,
                            QStringLiteral("За даною командою можливо тільки оновлення\r\nструктур форм фінансової "
                                           "звітності\r\n(без оновлення програмного модуля \"Локал зелван\").\r\nПродовжити?")))
        return;
    const auto medium = chooseMedium(kUsbFrom, int(MediumUse::Update));
    if (!medium) return;
    const auto hideWait = qScopeGuard([this] { windows_.waitForm().hide(); });
    if (!findUpdateArchive(*medium)) {
        prompter_.message(MessageKind::Error, QStringLiteral("На електронному носії немає потрібного файла!"));
        return;
    }
    if (!prompter_.question(MessageKind::Confirmation, QStringLiteral("Ви впевнені, що бажаєте копіювати дані?"))) return;
    postCard();
    const SystemClock systemClock;
    const Clock& clock = state_.clock ? *state_.clock : systemClock;
    try {
        const ExchangeOutcome outcome =
            applyStructureUpdate(state_.dm, placesOf(state_), *medium, clock.now(), state_.locale, keepResponsive);
        finishExchange(kCopyDone, outcome.failedFiles, true);
    } catch (const ZelvanError& error) {
        prompter_.message(MessageKind::Error, error.message());
    }
}

void TMain_Form::BitBtn5Click() {
    if (!prompter_.question(MessageKind::Confirmation,
                            QStringLiteral("За даною командою на вибраний електронний носій\r\nбуде скопійовано фінансову "
                                           "звітність для передачі Департаменту.\r\nПродовжити?")))
        return;
    // The card's e-mail row, made current; an empty e-mail asks first.
    postCard();
    for (int row = 0; row < card_->rowCount(); ++row) {
        if (card_->index(row, OrganisationCardModel::KodName).data().toString() != QStringLiteral("EMail")) continue;
        dbgSorg->setCurrentIndex(card_->index(row, OrganisationCardModel::SoftName));
        if (card_->index(row, OrganisationCardModel::SoftName).data().toString().trimmed().isEmpty() &&
            !prompter_.question(MessageKind::Confirmation,
                                QStringLiteral("Увага! Ви не заповнили поле E-Mail. Продовжити формування даних?")))
            return;
        break;
    }
    const auto medium = chooseMedium(kUsbTo, int(MediumUse::ExportOrReturn));
    if (!medium) return;
    const auto hideWait = qScopeGuard([this] { windows_.waitForm().hide(); });
    if (!prompter_.question(MessageKind::Confirmation, QStringLiteral("Почати копіювання файлів?"))) return;
    try {
        const ExchangeOutcome outcome = exportDataSet(state_.dm, placesOf(state_), *medium, keepResponsive);
        finishExchange(QStringLiteral("Формування вихідних даних закінчилося."), outcome.failedFiles, false);
    } catch (const ZelvanError& error) {
        prompter_.message(MessageKind::Error, error.message());
    }
}

void TMain_Form::bbBackDataClick() {
    if (!prompter_.question(MessageKind::Confirmation,
                            QStringLiteral("За даною командою можливо повернення звітності,\r\nяка  була вивантажена на "
                                           "електронний носій.\r\nПродовжити?")))
        return;
    const auto medium = chooseMedium(kUsbFrom, int(MediumUse::ExportOrReturn));
    if (!medium) return;
    const auto hideWait = qScopeGuard([this] { windows_.waitForm().hide(); });
    const QString all = QDir(*medium).filePath(QStringLiteral("AllDataFiles"));
    if (!fileExistsIgnoringCase(all, kDatabaseFileName)) {
        prompter_.message(MessageKind::Error, QStringLiteral("На електронному носії нема потрібних файлів: [") +
                                                  QDir::toNativeSeparators(all) + u']');
        return;
    }
    if (!prompter_.question(MessageKind::Confirmation,
                            QStringLiteral("Увага, показники форм звітності буде змінено! Продовжити?")))
        return;
    postCard();
    const SystemClock systemClock;
    const Clock& clock = state_.clock ? *state_.clock : systemClock;
    try {
        const ExchangeOutcome outcome = returnDataSet(state_.dm, placesOf(state_), *medium, clock.now(), keepResponsive);
        finishExchange(kCopyDone, outcome.failedFiles, true);
    } catch (const ZelvanError& error) {
        prompter_.message(MessageKind::Error, error.message());
    }
}

void TMain_Form::BitBtn6Click() {
    TFTP_Main_Form& ftp = windows_.ftpMainForm();
    ftp.setEndProgram([this] { close(); });
    ftp.exec();
}

}  // namespace zelvan
