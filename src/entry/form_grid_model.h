#pragma once

#include <QAbstractTableModel>
#include <QSet>

namespace zelvan {

class FormGrid;

// The entry grid as a table model: every cell's text, which cells are headings or
// protected, and which can be edited (open cells outside the fixed rows and columns).
class FormGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { HeadingRole = Qt::UserRole + 1, ProtectedRole, DeviationRole };

    explicit FormGridModel(FormGrid& grid, QObject* parent = nullptr);

    // The grid was rebuilt: every view reads it again.
    void refresh();
    // Some texts changed in place (a save or a clear rewrote them).
    void textsChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    FormGrid& grid() const { return grid_; }

    // Cells a control found deviating: marked until they are edited, saved or controlled again.
    void markDeviations(const QSet<qint64>& cells);
    void clearDeviations();
    bool isMarked(int col, int row) const { return marked_.contains(key(col, row)); }
    static qint64 key(int col, int row) { return (qint64(col) << 32) | quint32(row); }

private:
    FormGrid& grid_;
    QSet<qint64> marked_;
};

}  // namespace zelvan
