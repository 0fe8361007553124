#include "entry/form_grid_model.h"

#include "entry/form_grid.h"

namespace zelvan {

FormGridModel::FormGridModel(FormGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

void FormGridModel::refresh() {
    beginResetModel();
    endResetModel();
}

void FormGridModel::markDeviations(const QSet<qint64>& cells) {
    marked_ = cells;
    textsChanged();
}

void FormGridModel::clearDeviations() {
    if (marked_.isEmpty()) return;
    marked_.clear();
    textsChanged();
}

void FormGridModel::textsChanged() {
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole, Qt::EditRole});
}

int FormGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.rowCount(); }

int FormGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.colCount(); }

QVariant FormGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int c = index.column();
    const int r = index.row();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return grid_.text(c, r);
        case HeadingRole: return grid_.rowMarked(r) || grid_.columnMarked(c);
        case ProtectedRole: return grid_.text(c, r) == kProtected;
        case DeviationRole: return marked_.contains(key(c, r));
        default: return {};
    }
}

bool FormGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    grid_.setText(index.column(), index.row(), value.toString());
    marked_.remove(key(index.column(), index.row()));
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags FormGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const int c = index.column();
    const int r = index.row();
    const bool outsideFixed = c >= grid_.fixedCols() && r >= grid_.fixedRows();
    if (outsideFixed && (!grid_.editableCell() || grid_.isOpen(c, r))) f |= Qt::ItemIsEditable;
    return f;
}

}  // namespace zelvan
