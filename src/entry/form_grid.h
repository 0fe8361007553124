#pragma once

#include <QChar>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace zelvan {

// The protected-cell text.
inline const QString kProtected = QStringLiteral("*****");

// The entry grid of one form, without any widget: texts in ColCount × RowCount cells,
// column 0 holding the row marks and row 0 the column marks ("1" marks a heading row
// or column), the fixed rows and columns, the current cell, the column widths and the
// two flags of the entry window.
class FormGrid {
public:
    FormGrid() = default;

    // Makes an empty grid of that size, every column of the default width.
    void reset(int colCount, int rowCount);

    int colCount() const { return colCount_; }
    int rowCount() const { return rowCount_; }
    const QString& text(int col, int row) const;
    void setText(int col, int row, const QString& text);
    bool inside(int col, int row) const { return col >= 0 && row >= 0 && col < colCount_ && row < rowCount_; }

    bool columnMarked(int col) const { return text(col, 0) == QStringLiteral("1"); }
    bool rowMarked(int row) const { return text(0, row) == QStringLiteral("1"); }
    // Open to entry: its row and column unmarked and its text not "*****".
    bool isOpen(int col, int row) const;

    int fixedCols() const { return fixedCols_; }
    int fixedRows() const { return fixedRows_; }
    void setFixed(int cols, int rows) {
        fixedCols_ = cols;
        fixedRows_ = rows;
    }

    int currentCol() const { return currentCol_; }
    int currentRow() const { return currentRow_; }
    // Sets the current cell without asking the move check (the build does so).
    void placeCurrent(int col, int row) {
        currentCol_ = col;
        currentRow_ = row;
    }

    bool editableCell() const { return editableCell_; }
    void setEditableCell(bool on) { editableCell_ = on; }
    bool unsaved() const { return unsaved_; }
    void setUnsaved(bool on) { unsaved_ = on; }

    int columnWidth(int col) const { return widths_[size_t(col)]; }
    void setColumnWidth(int col, int width) { widths_[size_t(col)] = width; }
    static constexpr int kDefaultColumnWidth = 64;
    static constexpr int kDefaultRowHeight = 20;

    // --- moving -------------------------------------------------------------------

    // The move check: whether the current cell may move to (col, row). The status texts
    // are set for any cell outside column 0 and row 0, whether it is refused or not.
    bool canMoveTo(int col, int row);
    // Moves when the move check allows; returns whether it moved.
    bool moveTo(int col, int row);
    bool setCurrentCol(int col) { return moveTo(col, currentRow_); }
    bool setCurrentRow(int row) { return moveTo(currentCol_, row); }

    const QString& statusColumn() const { return statusColumn_; }
    const QString& statusRow() const { return statusRow_; }
    void setStatus(const QString& column, const QString& row) {
        statusColumn_ = column;
        statusRow_ = row;
    }

    // Enter: to the first cell after the current one, in reading order, that the move
    // check accepts; nowhere when there is none.
    void enterWalk();

    enum class Direction { Left, Right, Up, Down };
    // Ctrl with an arrow: jump over heading and protected cells in that direction.
    void ctrlArrow(Direction direction);

private:
    int colCount_ = 0;
    int rowCount_ = 0;
    std::vector<QString> cells_;
    std::vector<int> widths_;
    int fixedCols_ = 0;
    int fixedRows_ = 0;
    int currentCol_ = 0;
    int currentRow_ = 0;
    bool editableCell_ = false;
    bool unsaved_ = false;
    QString statusColumn_ = QStringLiteral("Колонка:");
    QString statusRow_ = QStringLiteral("Рядок:");
};

// --- saving ---------------------------------------------------------------------------

// The form's rules a save checks.
struct SaveRules {
    int roundToWhole = 0;           // 1 whole numbers, 2 one decimal at most, other: no limit
    QSet<int> nonNegativeRows;      // grid rows whose values must not be negative
    QSet<qint64> integerCells;      // (col << 32 | row) of cells that take whole numbers only
    int reportType = 1;             // 1 hryvnias; 2 thousands, stored multiplied by 1000
    QChar decimalSeparator = u'.';  // the user's

    static qint64 cellKey(int col, int row) { return (qint64(col) << 32) | quint32(row); }
};

// Why a save stopped at a cell.
enum class SaveFailure { None, Negative, IntegerCell, WholeNumber, OneDecimal, Invalid };

// One value to store.
struct CellValue {
    int col;
    int row;
    double value;
};

// What the check of the whole grid found.
struct SaveCheck {
    SaveFailure failure = SaveFailure::None;
    int col = 0;  // the failing cell, made current
    int row = 0;
    QString message;  // the exact text of the message box
    std::vector<CellValue> values;  // every value to store, when nothing failed
};

// Checks every open cell of the grid in the save's order (column by column, each from
// the top), rewriting the texts as the save does (commas, the user's separator, budget
// zeros removed), and collects the values to store. Stops at the first cell that breaks
// a rule, makes it the current cell and gives its message. `visited` is called once per
// visited cell (for the progress bar).
SaveCheck checkForSave(FormGrid& grid, const SaveRules& rules, const std::function<void()>& visited = {});

// Reads a number typed with the given decimal separator: blanks around it, an optional
// sign, digits with at most one separator, an optional exponent. Nothing when it is none.
std::optional<double> readTypedNumber(const QString& text, QChar decimalSeparator);

// The number of decimals a typed number really has (trailing zeros and the exponent
// counted); the precision rules are decided on it rather than on a rounded double.
int typedDecimals(const QString& text, QChar decimalSeparator);

}  // namespace zelvan
