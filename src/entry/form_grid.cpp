#include "entry/form_grid.h"

#include <cmath>
#include <cstdlib>

#include "formula/substitution.h"

namespace zelvan {

namespace {

const QString kEmpty;

}  // namespace

void FormGrid::reset(int colCount, int rowCount) {
    colCount_ = colCount;
    rowCount_ = rowCount;
    cells_.assign(size_t(colCount) * size_t(rowCount), QString());
    widths_.assign(size_t(colCount), kDefaultColumnWidth);
    if (colCount > 0) widths_[0] = 0;
}

const QString& FormGrid::text(int col, int row) const {
    if (!inside(col, row)) return kEmpty;
    return cells_[size_t(row) * size_t(colCount_) + size_t(col)];
}

void FormGrid::setText(int col, int row, const QString& text) {
    if (inside(col, row)) cells_[size_t(row) * size_t(colCount_) + size_t(col)] = text;
}

bool FormGrid::isOpen(int col, int row) const {
    return !columnMarked(col) && !rowMarked(row) && text(col, row) != kProtected;
}

bool FormGrid::canMoveTo(int col, int row) {
    bool allowed = true;
    if (editableCell_ && (text(col, row) == kProtected || rowMarked(row) || columnMarked(col))) allowed = false;
    if (col <= 0 || row <= 0) return false;
    if (col >= colCount_ || row >= rowCount_) return false;
    statusColumn_ = QStringLiteral("Колонка: ") + text(col, 2);
    statusRow_ = QStringLiteral("Рядок: ") + text(2, row);
    return allowed;
}

bool FormGrid::moveTo(int col, int row) {
    if (col == currentCol_ && row == currentRow_) return true;
    if (!canMoveTo(col, row)) return false;
    currentCol_ = col;
    currentRow_ = row;
    return true;
}

void FormGrid::enterWalk() {
    const int c = currentCol_;
    const int r = currentRow_;
    for (int i = r; i < rowCount_; ++i) {
        for (int j = (i == r ? c + 1 : 1); j < colCount_; ++j) {
            if (i < 1) continue;
            if (canMoveTo(j, i)) {
                currentCol_ = j;
                currentRow_ = i;
                return;
            }
        }
    }
}

void FormGrid::ctrlArrow(Direction direction) {
    const int c = currentCol_;
    const int r = currentRow_;
    // A column or row stops the search when it is unmarked and its cell is not protected;
    // column 0 and row 0 always stop it, and so does the first position past the end.
    switch (direction) {
        case Direction::Left: {
            int x = c - 1;
            while (x > 0 && (columnMarked(x) || text(x, r) == kProtected)) --x;
            if (x > 0) setCurrentCol(x);
            break;
        }
        case Direction::Right: {
            int x = c + 1;
            while (x < colCount_ && (columnMarked(x) || text(x, r) == kProtected)) ++x;
            if (x < colCount_) setCurrentCol(x);
            break;
        }
        case Direction::Up: {
            int y = r - 1;
            while (y > 0 && (rowMarked(y) || text(c, y) == kProtected)) --y;
            if (y > 0) setCurrentRow(y);
            break;
        }
        case Direction::Down: {
            int y = r + 1;
            while (y < rowCount_ && (rowMarked(y) || text(c, y) == kProtected)) ++y;
            if (y < rowCount_) setCurrentRow(y);
            break;
        }
    }
}

std::optional<double> readTypedNumber(const QString& typed, QChar separator) {
    const QString text = typed.trimmed();
    QByteArray normal;
    normal.reserve(text.size());
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) normal += char(text[i++].unicode());
    int digits = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        normal += char(text[i++].unicode());
        ++digits;
    }
    if (i < n && text[i] == separator) {
        normal += '.';
        ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            normal += char(text[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        normal += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) normal += char(text[i++].unicode());
        int exponentDigits = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            normal += char(text[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(normal.constData(), &end);
    if (end != normal.constData() + normal.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

int typedDecimals(const QString& typed, QChar separator) {
    const QString text = typed.trimmed();
    qsizetype at = text.indexOf(separator);
    qsizetype exponentAt = text.indexOf(u'e', 0, Qt::CaseInsensitive);
    const qsizetype fractionEnd = exponentAt < 0 ? text.size() : exponentAt;
    int decimals = 0;
    if (at >= 0 && at < fractionEnd) {
        decimals = int(fractionEnd - at - 1);
        while (decimals > 0 && text[at + decimals] == u'0') --decimals;
    }
    if (exponentAt >= 0) decimals -= text.mid(exponentAt + 1).toInt();
    return decimals < 0 ? 0 : decimals;
}

SaveCheck checkForSave(FormGrid& grid, const SaveRules& rules, const std::function<void()>& visited) {
    SaveCheck check;
    const QString fix = QStringLiteral("\nВиправте помилку та повторіть збереження даних.");
    const auto stop = [&](SaveFailure failure, int col, int row, const QString& message) {
        check.failure = failure;
        check.col = col;
        check.row = row;
        check.message = message;
        check.values.clear();
        grid.setCurrentCol(col);
        grid.setCurrentRow(row);
        grid.placeCurrent(col, row);
        return check;
    };

    // Commas become points in every open cell.
    for (int c = 1; c < grid.colCount(); ++c) {
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (grid.isOpen(c, r) && grid.text(c, r).contains(u','))
                grid.setText(c, r, QString(grid.text(c, r)).replace(u',', u'.'));
        }
    }

    for (int c = 1; c < grid.colCount(); ++c) {
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (visited) visited();
            if (!grid.isOpen(c, r)) continue;
            QString text = grid.text(c, r);
            if (!text.isEmpty()) {
                std::optional<double> number = readTypedNumber(text, rules.decimalSeparator);
                if (!number) {
                    text.replace(u',', rules.decimalSeparator).replace(u'.', rules.decimalSeparator);
                    grid.setText(c, r, text);
                    number = readTypedNumber(text, rules.decimalSeparator);
                }
                if (!number) {
                    return stop(SaveFailure::Invalid, c, r,
                                QStringLiteral("Дані у цій ячейці не є коректними. Збереження даних припинено. "
                                               "Виправте помилку."));
                }
                const int decimals = typedDecimals(text, rules.decimalSeparator);
                if (rules.nonNegativeRows.contains(r) && *number < 0) {
                    return stop(SaveFailure::Negative, c, r,
                                QStringLiteral("Рядок \"%1\" заповнюється без знака \"мінус\" !").arg(grid.text(1, r)) +
                                    fix);
                }
                if (rules.integerCells.contains(SaveRules::cellKey(c, r)) && decimals > 0) {
                    return stop(SaveFailure::IntegerCell, c, r,
                                QStringLiteral("Рядок № %1 заповнюється без десяткового знаку !").arg(grid.text(2, r)) +
                                    fix);
                }
                if (rules.roundToWhole == 1 && decimals > 0) {
                    return stop(SaveFailure::WholeNumber, c, r,
                                QStringLiteral("Форма заповнюється без десяткового знаку !") + fix);
                }
                if (rules.roundToWhole == 2 && decimals > 1) {
                    return stop(SaveFailure::OneDecimal, c, r,
                                QStringLiteral("Форма заповнюється тільки з одним десятковим знаком !") + fix);
                }
                // Budget forms store no zeros.
                if (rules.reportType == 1 && text == QStringLiteral("0")) {
                    grid.setText(c, r, QString());
                    continue;
                }
                double stored = *number;
                if (rules.reportType != 1) {
                    // The value in hryvnias, as its 15-digit text reads.
                    stored = valueText(*number * 1000, u'.').toDouble();
                }
                check.values.push_back({c, r, stored});
            }
        }
    }
    return check;
}

}  // namespace zelvan
