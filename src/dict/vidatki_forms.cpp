#include "dict/vidatki_forms.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvan {

TVidatki_List_Form::TVidatki_List_Form(QWidget* parent)
    : QDialog(parent),
      StringGrid1(new QTableWidget(this)),
      BitBtn5(new QPushButton(QStringLiteral("Пошук"), this)),
      BitBtn1(new QPushButton(QStringLiteral("Відібрати"), this)),
      find_(new TVidatki_Find_Form(this)) {
    setObjectName(QStringLiteral("Vidatki_List_Form"));
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    StringGrid1->setColumnCount(4);
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Код"), QStringLiteral("Назва"), QString(), QStringLiteral("Код 2")});
    const int widths[] = {64, 538, 64, 64};
    for (int c = 0; c < 4; ++c) StringGrid1->setColumnWidth(c, widths[c]);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(18);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn5);
    buttons->addWidget(BitBtn1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
    resize(780, 480);

    connect(BitBtn5, &QPushButton::clicked, this, &TVidatki_List_Form::BitBtn5Click);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

void TVidatki_List_Form::fill(const std::vector<ClassifierEntry>& entries, bool expenseCodes, const QString& title) {
    StringGrid1->clearContents();
    StringGrid1->setRowCount(static_cast<int>(entries.size()));
    for (int r = 0; r < static_cast<int>(entries.size()); ++r) {
        const ClassifierEntry& e = entries[size_t(r)];
        const QString cells[4] = {e.id, e.name, QString::number(e.kod), e.kodParent2};
        for (int c = 0; c < 4; ++c) StringGrid1->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    StringGrid1->setColumnHidden(2, true);
    StringGrid1->setColumnHidden(3, !expenseCodes);
    if (expenseCodes) StringGrid1->setColumnWidth(3, 64);
    setWindowTitle(title);
    if (!entries.empty()) setCurrentRow(0);
}

QString TVidatki_List_Form::currentCode() const {
    const int row = currentRow();
    if (row < 0 || row >= StringGrid1->rowCount()) return {};
    return StringGrid1->item(row, 0)->text();
}

int TVidatki_List_Form::currentRow() const { return StringGrid1->currentRow(); }

void TVidatki_List_Form::setCurrentRow(int row) {
    StringGrid1->setCurrentCell(row, 1);
    StringGrid1->selectRow(row);
}

int TVidatki_List_Form::rowCountOfData() const { return StringGrid1->rowCount(); }

QString TVidatki_List_Form::nameAt(int row) const {
    const QTableWidgetItem* item = StringGrid1->item(row, 1);
    return item ? item->text() : QString();
}

void TVidatki_List_Form::BitBtn5Click() { find_->exec(); }

TVidatki_Find_Form::TVidatki_Find_Form(TVidatki_List_Form* list)
    : QDialog(list),
      Edit1(new QLineEdit(this)),
      BitBtn1(new QPushButton(QStringLiteral("OK"), this)),
      BitBtn2(new QPushButton(QStringLiteral("Закрити"), this)),
      list_(list) {
    setObjectName(QStringLiteral("Vidatki_Find_Form"));
    setWindowTitle(QStringLiteral("Пошук"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setDefault(true);
    auto* field = new QHBoxLayout;
    field->addWidget(new QLabel(QStringLiteral("Назва"), this));
    field->addWidget(Edit1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Edit1->setMinimumWidth(320);
    connect(BitBtn1, &QPushButton::clicked, this, &TVidatki_Find_Form::BitBtn1Click);
    connect(Edit1, &QLineEdit::returnPressed, this, &TVidatki_Find_Form::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TVidatki_Find_Form::showEvent(QShowEvent* event) {
    Edit1->clear();
    Edit1->setFocus();
    QDialog::showEvent(event);
}

void TVidatki_Find_Form::BitBtn1Click() {
    const QString text = Edit1->text();
    const int rows = list_->rowCountOfData();
    for (int r = 0; r < rows; ++r) {
        list_->setCurrentRow(r);
        if (!text.isEmpty() && list_->nameAt(r).contains(text, Qt::CaseSensitive)) {
            accept();
            return;
        }
    }
}

}  // namespace zelvan
