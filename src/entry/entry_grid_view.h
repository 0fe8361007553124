#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

namespace zelvan {

class FormGrid;
class FormGridModel;

// Paints heading cells (teal with yellow text, white top and left edges, black bottom
// and right edges) and protected cells (a grey block).
class EntryCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The entry grid `StringGrid1`: row 0 and column 0 hidden, the fixed rows and columns
// kept in place while the rest scrolls (frozen views laid over the grid), every move of
// the current cell asked of the move check, Enter walking the open cells, Ctrl with an
// arrow jumping over closed ones, and every typed character marking the form changed.
class EntryGridView : public QTableView {
    Q_OBJECT
public:
    explicit EntryGridView(QWidget* parent = nullptr);

    void setGridModel(FormGridModel* model);
    // The grid was rebuilt: sizes, hidden parts, fixed parts and the current cell again.
    void gridRebuilt();
    // Shows the grid's current cell as the view's current cell.
    void syncCurrent();
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Takes what the open cell editor holds into the grid and closes the editor.
    void commitEditing();

signals:
    // The move check named a cell: the status texts changed.
    void statusChanged();
    // A character was typed (the unsaved-changes flag was set).
    void typed();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;


private:
    FormGrid& grid() const;
    void updateFrozenGeometry();
    void setupFrozen(QTableView* view);
    // Asks the move check for a clicked cell; moves when allowed.
    void clickCell(const QModelIndex& index);
    void afterMove();

    FormGridModel* model_ = nullptr;
    QTableView* frozenColumns_;
    QTableView* frozenRows_;
    QTableView* frozenCorner_;
    bool syncing_ = false;
};

}  // namespace zelvan
