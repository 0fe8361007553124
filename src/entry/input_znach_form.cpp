#include "entry/input_znach_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "app/app_state.h"
#include "app/error.h"
#include "app/prompter.h"
#include "entry/entry_grid_view.h"
#include "entry/form_entry.h"
#include "entry/form_grid_model.h"
#include "formula/controls.h"
#include "formula/progress_form.h"
#include "docs/template_fill.h"
#include "formula/report_data.h"
#include "formula/report_preview.h"
#include "model/main_queries.h"
#include "platform/files.h"

namespace zelvan {

namespace {

QLabel* coloured(const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// Text widths for the column widths, from the advance of each character: a large form
// has thousands of cell texts, and measuring each whole costs far more than adding up
// its characters. The column gets 10 pixels of room beyond the text in any case.
class TextWidthCache {
public:
    explicit TextWidthCache(const QFont& font) : metrics_(std::make_shared<QFontMetrics>(font)) {}
    int operator()(const QString& text) {
        int width = 0;
        for (const QChar c : text) {
            const ushort code = c.unicode();
            if (code < advances_.size()) {
                int& advance = advances_[code];
                if (advance < 0) advance = metrics_->horizontalAdvance(c);
                width += advance;
            } else {
                width += metrics_->horizontalAdvance(c);
            }
        }
        return width;
    }

private:
    std::shared_ptr<QFontMetrics> metrics_;
    std::vector<int> advances_ = std::vector<int>(0x500, -1);  // Latin and Cyrillic
};

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TInput_Znach_Form::TInput_Znach_Form(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), state_(state), prompter_(prompter) {
    setObjectName(QStringLiteral("Input_Znach_Form"));
    setWindowTitle(QStringLiteral("Ввод / редагування данних"));
    setMinimumSize(221, 196);
    resize(1000, 650);

    StringGrid1 = new EntryGridView(this);
    entry_ = std::make_unique<FormEntry>(state_.dm, state_.locale, TextWidthCache(StringGrid1->font()));
    model_ = new FormGridModel(entry_->grid(), this);
    StringGrid1->setGridModel(model_);

    const QColor maroon(128, 0, 0);
    auto* captions = new QGridLayout;
    captions->addWidget(new QLabel(QStringLiteral("Дата"), this), 0, 0);
    captions->addWidget(laDate = coloured(maroon, this), 0, 1);
    captions->addWidget(new QLabel(QStringLiteral("Підприємство"), this), 1, 0);
    captions->addWidget(laOrganisation = coloured(maroon, this), 1, 1);
    captions->addWidget(new QLabel(QStringLiteral("Форма"), this), 2, 0);
    captions->addWidget(laForm = coloured(maroon, this), 2, 1);
    laForm->setWordWrap(true);
    captions->setColumnStretch(1, 1);
    auto* number = new QVBoxLayout;
    number->addWidget(new QLabel(QStringLiteral("Номер форми"), this));
    dblForm = new QComboBox(this);
    dblForm->setObjectName(QStringLiteral("dblForm"));
    number->addWidget(dblForm);
    number->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(captions, 1);
    top->addLayout(number);

    const QColor green(0, 128, 0);
    auto* codes = new QHBoxLayout;
    const QString codeCaptions[4] = {QStringLiteral("Класифікація видатків"), QStringLiteral("Вид фонду"),
                                     QStringLiteral("Вид замовлення"), QStringLiteral("Вид коштів")};
    for (int i = 0; i < 4; ++i) {
        QLabel* caption = coloured(green, this);
        caption->setText(codeCaptions[i]);
        codes->addWidget(caption);
        codes->addWidget(laCodes[i] = coloured(green, this));
        codes->addSpacing(16);
    }
    codes->addStretch();

    BitBtn3 = button(QStringLiteral("BitBtn3"), QStringLiteral("Очистити"), this);
    BitBtn6 = button(QStringLiteral("BitBtn6"), QStringLiteral("Шаблон"), this);
    BitBtn7 = button(QStringLiteral("BitBtn7"), QStringLiteral("Контроль"), this);
    BitBtn4 = button(QStringLiteral("BitBtn4"), QStringLiteral("Контроль"), this);
    BitBtn4->hide();
    BitBtn1 = button(QStringLiteral("BitBtn1"), QStringLiteral("Зберегти"), this);
    BitBtn2 = button(QStringLiteral("BitBtn2"), QStringLiteral("Закрити"), this);
    CheckBox1 = new QCheckBox(QStringLiteral("Контроль даних"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setEnabled(false);
    CheckBox1->hide();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn3, BitBtn6, BitBtn7, BitBtn1, BitBtn2}) buttons->addWidget(b);
    buttons->addStretch();

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setMaximumHeight(6);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(true);
    const QString starts[3] = {QStringLiteral("Колонка:"), QStringLiteral("Рядок:"), QStringLiteral("Шаблон:")};
    for (int i = 0; i < 3; ++i) {
        statusPanels[i] = new QLabel(starts[i], status);
        status->addWidget(statusPanels[i], i == 2 ? 2 : 1);
    }

    // The deviations of the last control, beside the grid.
    lvDeviations = new QTreeWidget(this);
    lvDeviations->setObjectName(QStringLiteral("lvDeviations"));
    lvDeviations->setRootIsDecorated(false);
    lvDeviations->setHeaderLabels({QStringLiteral("Відхилення"), QStringLiteral("Введено"), QStringLiteral("Розраховано"),
                                   QStringLiteral("Розрахунок")});
    lvDeviations->hide();
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(StringGrid1);
    split->addWidget(lvDeviations);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(codes);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    layout->addWidget(ProgressBar1);
    layout->addWidget(status);

    connect(BitBtn6, &QPushButton::clicked, this, &TInput_Znach_Form::BitBtn6Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TInput_Znach_Form::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TInput_Znach_Form::BitBtn3Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TInput_Znach_Form::BitBtn4Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TInput_Znach_Form::BitBtn4Click);
    connect(lvDeviations, &QTreeWidget::itemActivated, this, &TInput_Znach_Form::deviationChosen);
    connect(lvDeviations, &QTreeWidget::itemClicked, this, &TInput_Znach_Form::deviationChosen);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(dblForm, qOverload<int>(&QComboBox::activated), this, &TInput_Znach_Form::dblFormChange);
    connect(StringGrid1, &EntryGridView::statusChanged, this, &TInput_Znach_Form::updateStatus);
}

TInput_Znach_Form::~TInput_Znach_Form() = default;

ValueKeys TInput_Znach_Form::keys() const {
    const ReportSelection& s = context_.selection;
    return {entry_->kodForm(), s.kodDanper, s.kodObj, s.kodStan, s.kodK, s.kodF, s.kodZ, s.kodG};
}

bool TInput_Znach_Form::FormShow() {
    if (provider_) context_ = provider_();
    const ReportSelection& s = context_.selection;
    try {
        entry_->build({s.kodForm, s.nomerForm, s.nameForm},
                      {s.kodForm, s.kodDanper, s.kodObj, s.kodStan, s.kodK, s.kodF, s.kodZ, s.kodG});
    } catch (const GridBuildError& error) {
        prompter_.message(MessageKind::Error, error.message());
        return false;
    }
    laOrganisation->setText(organisationName(state_.dm));
    laDate->setText(s.locPeriod);
    for (int i = 0; i < 4; ++i) laCodes[i]->setText(context_.codes[i]);
    if (!entry_->group().empty()) {
        const QSignalBlocker block(dblForm);
        dblForm->clear();
        for (const FormSheet& sheet : entry_->group()) dblForm->addItem(sheet.nomerForm);
        dblForm->setCurrentIndex(entry_->groupIndex());
    }
    showGrid();
    StringGrid1->setFocus();
    return true;
}

void TInput_Znach_Form::showGrid() {
    model_->clearDeviations();
    lvDeviations->clear();
    lvDeviations->hide();
    laForm->setText(entry_->formCaption());
    statusPanels[2]->setText(entry_->templateStatus());
    CheckBox1->setChecked(entry_->controlMark());
    model_->refresh();
    StringGrid1->gridRebuilt();
}

void TInput_Znach_Form::updateStatus() {
    statusPanels[0]->setText(entry_->grid().statusColumn());
    statusPanels[1]->setText(entry_->grid().statusRow());
}

SaveProgress TInput_Znach_Form::barProgress() {
    SaveProgress progress;
    progress.start = [this](int maximum) {
        ProgressBar1->setMaximum(maximum);
        ProgressBar1->setValue(0);
    };
    progress.step = [this] { ProgressBar1->setValue(ProgressBar1->value() + 1); };
    progress.reset = [this] { ProgressBar1->setValue(0); };
    return progress;
}

void TInput_Znach_Form::BitBtn6Click() {
    ProgressBar1->setValue(0);
    StringGrid1->commitEditing();
    const int selected = context_.selection.kodForm;
    // Filling a multi-sheet form shows each sheet from the database in turn; values typed
    // and not yet saved would be lost on the way.
    if (entry_->group().size() >= 2 && entry_->grid().unsaved() && selected != 234 && selected != 249) {
        prompter_.message(MessageKind::Plain,
                          QStringLiteral("Дані не збережено! Збережіть форму, а потім заповнюйте шаблон."));
        return;
    }
    TemplateContext context;
    context.kodForm = selected;
    context.periodText = context_.selection.locPeriod;
    for (int i = 0; i < 4; ++i) {
        context.codes[i] = context_.codes[i];
        context.names[i] = context_.names[i];
    }
    const SaveProgress progress = barProgress();
    const auto showSheet = [this](int index) {
        entry_->switchSheet(index, keys());
        {
            const QSignalBlocker block(dblForm);
            dblForm->setCurrentIndex(index);
        }
        const FormSheet& sheet = entry_->group()[size_t(index)];
        context_.selection.kodForm = sheet.kodForm;
        context_.selection.nomerForm = sheet.nomerForm;
        context_.selection.nameForm = sheet.nameForm;
        showGrid();
        QApplication::processEvents();
    };
    QString path;
    try {
        TemplateFiller filler(state_.dm, state_.locale);
        path = filler.fill(*entry_, keys(), context, state_.filledDocumentsFolder(), progress, showSheet);
    } catch (const ZelvanError& error) {
        ProgressBar1->setValue(0);
        prompter_.message(MessageKind::Error, error.message());
        return;
    }
    if (!state_.madeDocuments.contains(path)) state_.madeDocuments << path;
    if (!state_.desktop || !state_.desktop->openDocument(path))
        prompter_.message(MessageKind::Warning,
                          QStringLiteral("Заповнений шаблон збережено у файлі \"%1\", але відкрити його не вдалося. "
                                         "Відкрийте його в текстовому редакторі самостійно.")
                              .arg(QDir::toNativeSeparators(path)));
}

void TInput_Znach_Form::dblFormChange(int index) {
    try {
        entry_->switchSheet(index, keys());
    } catch (const GridBuildError& error) {
        prompter_.message(MessageKind::Error, error.message());
        return;
    }
    showGrid();
    StringGrid1->setFocus();
}

void TInput_Znach_Form::BitBtn1Click() {
    // The code fields of the main window decide the keys the values are stored under.
    if (provider_) {
        const QString period = context_.selection.locPeriod;
        const ReportSelection fresh = provider_().selection;
        context_.selection.kodK = fresh.kodK;
        context_.selection.kodF = fresh.kodF;
        context_.selection.kodZ = fresh.kodZ;
        context_.selection.locPeriod = period;
    }
    StringGrid1->commitEditing();
    const SaveProgress progress = barProgress();
    const bool saved = [&] {
        try {
            return entry_->save(keys(), prompter_, progress);
        } catch (...) {
            model_->textsChanged();
            StringGrid1->syncCurrent();
            throw;
        }
    }();
    if (saved) model_->clearDeviations();
    model_->textsChanged();
    StringGrid1->syncCurrent();
    updateStatus();
}

void TInput_Znach_Form::BitBtn3Click() {
    entry_->clear(keys(), prompter_);
    model_->textsChanged();
}

}  // namespace zelvan

namespace zelvan {

void TInput_Znach_Form::BitBtn4Click() {
    if (entry_->grid().unsaved()) {
        prompter_.message(MessageKind::Plain, QStringLiteral("Дані не збережено! Контроль неможливий!"));
        return;
    }
    const SystemClock systemClock;
    const Clock& clock = state_.clock ? *state_.clock : systemClock;
    const QDateTime start = clock.now();
    RunContinues = true;
    if (!prompter_.question(MessageKind::Confirmation, QStringLiteral("Прокотролювати введені данні?"),
                            QStringLiteral("Завершення роботи ")))
        return;
    model_->clearDeviations();
    lvDeviations->clear();
    lvDeviations->hide();

    std::unique_ptr<TfmProgress> progressWindow;
    const ControlProgress progress = progressInWindow(progressWindow, clock, start, this);
    const FormControlResult result = runFormControl(state_.dm, keys(), state_.locale.decimalSeparator, progress);
    switch (result.outcome) {
        case ControlOutcome::NoFormulas:
            prompter_.message(MessageKind::Plain, QStringLiteral("Для даної форми немає контрольних формул"));
            return;
        case ControlOutcome::Stopped: return;
        case ControlOutcome::NoDeviations:
            progressWindow.reset();
            prompter_.message(MessageKind::Information, QStringLiteral("Обробка даних закінчена. Помилок не виявлено."));
            return;
        case ControlOutcome::Deviations: break;
    }

    // The deviations beside the grid, their cells marked.
    QSet<qint64> cells;
    for (const FormDeviation& line : result.lines) {
        auto* item = new QTreeWidgetItem(lvDeviations, {line.columns[0], line.columns[1], line.columns[4], line.columns[3]});
        item->setToolTip(0, line.columns[2]);
        item->setData(0, Qt::UserRole, line.col);
        item->setData(0, Qt::UserRole + 1, line.row);
        cells.insert(FormGridModel::key(line.col, line.row));
    }
    model_->markDeviations(cells);
    lvDeviations->show();

    ReportContext context;
    context.organisation = result.organisation;
    context.periodText = context_.selection.locPeriod;
    for (int i = 0; i < 4; ++i) {
        context.codes[i] = context_.codes[i];
        context.names[i] = context_.names[i];
    }
    context.formTitle = laForm->text();
    context.selectionReportType = entry_->reportType();
    context.typeBoxCode = context_.typeBoxCode;
    context.decimalSeparator = state_.locale.decimalSeparator;
    const ControlReportData data = ControlReportData::oneForm(result, context);
    // A template that cannot be read is named; the deviations stay where they are shown.
    showControlReport(state_, prompter_, QStringLiteral("SaveInt.frf"), data);
}

void TInput_Znach_Form::deviationChosen() {
    QTreeWidgetItem* item = lvDeviations->currentItem();
    if (!item) return;
    entry_->grid().placeCurrent(item->data(0, Qt::UserRole).toInt(), item->data(0, Qt::UserRole + 1).toInt());
    StringGrid1->syncCurrent();
    StringGrid1->setFocus();
}

}  // namespace zelvan
