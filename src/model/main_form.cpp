#include "model/main_form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSqlQuery>
#include <QTableView>
#include <QTreeWidget>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/windows.h"
#include "platform/database.h"

namespace zelvan {

namespace {

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

TMain_Form::TMain_Form(AppState& state, Prompter& prompter, Windows& windows, QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter), windows_(windows) {
    setObjectName(QStringLiteral("Main_Form"));
    setWindowTitle(QStringLiteral("Вибір форми"));
    buildLayout();
    connect(BitBtn1, &QPushButton::clicked, this, &TMain_Form::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TMain_Form::BitBtn2Click);
}

QWidget* TMain_Form::buildClassifierGroup(const QString& caption, QLineEdit*& code, QLineEdit*& name,
                                          QPushButton*& pick, QLineEdit** second) {
    auto* group = new QGroupBox(caption, Panel4);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(4, 2, 4, 4);
    code->setMaximumWidth(70);
    row->addWidget(code);
    if (second) {
        (*second)->setMaximumWidth(50);
        QPalette palette = (*second)->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        (*second)->setPalette(palette);
        row->addWidget(*second);
    }
    row->addWidget(name, 1);
    pick->setMaximumWidth(28);
    row->addWidget(pick);
    return group;
}

void TMain_Form::buildLayout() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Upper area: structure period, period panel, commands and the organisation card.
    auto* upper = new QWidget(central);
    auto* upperLayout = new QVBoxLayout(upper);
    auto* topRow = new QHBoxLayout;
    auto* periodFrame = new QGroupBox(upper);
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
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
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
    dbgSorg->setFrameShape(QFrame::StyledPanel);
    QPalette cardPalette = dbgSorg->palette();
    cardPalette.setColor(QPalette::Base, QColor(153, 204, 204));
    dbgSorg->setPalette(cardPalette);
    upperLayout->addWidget(dbgSorg, 1);

    // Form area: report type, commands and the form list.
    auto* formArea = new QWidget(central);
    auto* formLayout = new QVBoxLayout(formArea);
    formLayout->addWidget(new QLabel(QStringLiteral("Форма"), formArea));
    auto* typeRow = new QHBoxLayout;
    auto* typeFrame = new QGroupBox(QStringLiteral("Форма звітності"), formArea);
    auto* typeFrameLayout = new QHBoxLayout(typeFrame);
    ComboBox2 = new QComboBox(typeFrame);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setEditable(true);
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
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setHeaderLabels({QStringLiteral("Назва форми"), QStringLiteral("Номер форми"), QString(),
                                QStringLiteral("Код видатків"), QStringLiteral("Код фонду"),
                                QStringLiteral("Код замовлення"), QStringLiteral("Код коштів")});
    const int typeModeWidths[] = {600, 100, 0, 0, 0, 0, 0};
    for (int c = 0; c < 7; ++c) {
        ListView1->setColumnWidth(c, typeModeWidths[c]);
        ListView1->setColumnHidden(c, typeModeWidths[c] == 0);
    }
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
    auto* panel4Layout = new QHBoxLayout(Panel4);
    panel4Layout->setContentsMargins(0, 0, 0, 0);
    panel4Layout->addWidget(
        buildClassifierGroup(QStringLiteral("Код класифікації видатків"), Edit3, Edit4, Button3, &Edit10), 3);
    panel4Layout->addWidget(buildClassifierGroup(QStringLiteral("Вид фонду"), Edit5, Edit6, Button4), 2);
    panel4Layout->addWidget(buildClassifierGroup(QStringLiteral("Вид замовлення"), Edit7, Edit8, Button5), 2);
    panel4Layout->addWidget(buildClassifierGroup(QStringLiteral("Вид коштів"), Edit1, Edit2, Button6), 2);

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

void TMain_Form::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TMain_Form::FormShow() {
    QSqlQuery danper = state_.dm.db().exec(QStringLiteral("Select * From Danper"));
    if (danper.next()) {
        Label7->setText(state_.locale.formatDate(fromIsoDate(danper.value(QStringLiteral("NACHALO")).toString())));
    }
}

void TMain_Form::BitBtn2Click() { windows_.showSettingsDialog(); }

void TMain_Form::BitBtn1Click() { close(); }

}  // namespace zelvan
