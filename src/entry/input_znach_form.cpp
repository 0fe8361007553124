#include "entry/input_znach_form.h"

#include <QCheckBox>
#include <QComboBox>
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
#include "model/main_queries.h"

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

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(codes);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
    layout->addWidget(ProgressBar1);
    layout->addWidget(status);

    connect(BitBtn1, &QPushButton::clicked, this, &TInput_Znach_Form::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TInput_Znach_Form::BitBtn3Click);
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
    SaveProgress progress;
    progress.start = [this](int maximum) {
        ProgressBar1->setMaximum(maximum);
        ProgressBar1->setValue(0);
    };
    progress.step = [this] { ProgressBar1->setValue(ProgressBar1->value() + 1); };
    progress.reset = [this] { ProgressBar1->setValue(0); };
    const bool saved = [&] {
        try {
            return entry_->save(keys(), prompter_, progress);
        } catch (...) {
            model_->textsChanged();
            StringGrid1->syncCurrent();
            throw;
        }
    }();
    Q_UNUSED(saved);
    model_->textsChanged();
    StringGrid1->syncCurrent();
    updateStatus();
}

void TInput_Znach_Form::BitBtn3Click() {
    entry_->clear(keys(), prompter_);
    model_->textsChanged();
}

}  // namespace zelvan
