#pragma once

#include <QDialog>
#include <vector>

#include "dict/classifier.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace zelvan {

class TVidatki_Find_Form;

// The pick list of a classifier dictionary: code, name, the hidden key and, for
// expense codes, the second code.
class TVidatki_List_Form : public QDialog {
    Q_OBJECT
public:
    explicit TVidatki_List_Form(QWidget* parent = nullptr);

    // Fills the grid with the entries (already in name order), sets the caption and
    // makes the first data row current.
    void fill(const std::vector<ClassifierEntry>& entries, bool expenseCodes, const QString& title);

    // The code of the current row; empty when the list has no row.
    QString currentCode() const;
    int currentRow() const;
    void setCurrentRow(int row);
    int rowCountOfData() const;
    // The name in a data row.
    QString nameAt(int row) const;

    // "Пошук": the search window, modally.
    void BitBtn5Click();

    QTableWidget* StringGrid1;
    QPushButton* BitBtn5;
    QPushButton* BitBtn1;

private:
    TVidatki_Find_Form* find_;
};

// The search window of the pick list.
class TVidatki_Find_Form : public QDialog {
    Q_OBJECT
public:
    explicit TVidatki_Find_Form(TVidatki_List_Form* list);

    // Walks the list from its first row: the first name that contains the text (letter
    // case counting) becomes current and the window closes; with none the last row is
    // current and the window stays open.
    void BitBtn1Click();

    QLineEdit* Edit1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TVidatki_List_Form* list_;
};

}  // namespace zelvan
