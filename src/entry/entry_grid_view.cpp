#include "entry/entry_grid_view.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>

#include "entry/form_grid.h"
#include "entry/form_grid_model.h"

namespace zelvan {

namespace {

const QColor kTeal(0, 128, 128);
const QColor kGrey(128, 128, 128);

}  // namespace

void EntryCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool heading = index.data(FormGridModel::HeadingRole).toBool();
    const bool isProtected = index.data(FormGridModel::ProtectedRole).toBool();
    if (!heading && !isProtected) {
        QStyledItemDelegate::paint(painter, option, index);
        if (index.data(FormGridModel::DeviationRole).toBool()) {
            // A cell a control found deviating.
            painter->save();
            painter->setPen(QPen(QColor(220, 0, 0), 2));
            painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
            painter->restore();
        }
        return;
    }
    const QRect r = option.rect;
    painter->save();
    if (heading) {
        painter->fillRect(r, kTeal);
        painter->setPen(Qt::white);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(Qt::black);
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->setPen(Qt::yellow);
        painter->setFont(option.font);
        painter->drawText(r.adjusted(4, 1, -1, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data().toString());
    }
    if (isProtected) painter->fillRect(r, kGrey);
    painter->restore();
}

QWidget* EntryCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    // The grid sees the editor's keys first: typed characters and Enter.
    if (auto* view = qobject_cast<QAbstractItemView*>(parent ? parent->parentWidget() : nullptr))
        editor->installEventFilter(view);
    return editor;
}

EntryGridView::EntryGridView(QWidget* parent)
    : QTableView(parent),
      frozenColumns_(new QTableView(this)),
      frozenRows_(new QTableView(this)),
      frozenCorner_(new QTableView(this)) {
    setObjectName(QStringLiteral("StringGrid1"));
    setItemDelegate(new EntryCellDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(FormGrid::kDefaultRowHeight);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTabKeyNavigation(true);
    for (QTableView* view : {frozenColumns_, frozenRows_, frozenCorner_}) view->hide();
}

FormGrid& EntryGridView::grid() const { return model_->grid(); }

void EntryGridView::setupFrozen(QTableView* view) {
    view->setModel(model_);
    view->setSelectionModel(selectionModel());
    view->setItemDelegate(itemDelegate());
    view->setFocusPolicy(Qt::NoFocus);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(FormGrid::kDefaultRowHeight);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->horizontalHeader()->setMinimumSectionSize(0);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFrameShape(QFrame::NoFrame);
    // The overlays never scroll to the current cell: they follow the grid's scroll bars.
    view->setAutoScroll(false);
    view->viewport()->installEventFilter(this);
}

void EntryGridView::setGridModel(FormGridModel* model) {
    model_ = model;
    setModel(model);
    for (QTableView* view : {frozenColumns_, frozenRows_, frozenCorner_}) setupFrozen(view);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, frozenColumns_->verticalScrollBar(), &QScrollBar::setValue);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, frozenRows_->horizontalScrollBar(), &QScrollBar::setValue);
}

void EntryGridView::gridRebuilt() {
    const FormGrid& g = grid();
    // Every view shows the whole grid but row 0 and column 0; an overlay is only as wide
    // or as high as the fixed part, so the rest of it is never seen.
    for (QTableView* view : {static_cast<QTableView*>(this), frozenColumns_, frozenRows_, frozenCorner_}) {
        for (int c = 0; c < g.colCount(); ++c) view->setColumnWidth(c, g.columnWidth(c));
        view->setColumnHidden(0, true);
        view->setRowHidden(0, true);
    }
    for (QTableView* view : {frozenColumns_, frozenRows_, frozenCorner_}) view->show();
    frozenRows_->raise();
    frozenColumns_->raise();
    frozenCorner_->raise();
    updateFrozenGeometry();
    syncCurrent();
}

void EntryGridView::updateFrozenGeometry() {
    if (!model_) return;
    const FormGrid& g = grid();
    int width = 0;
    for (int c = 1; c < g.fixedCols() && c < g.colCount(); ++c) width += columnWidth(c);
    int height = 0;
    for (int r = 1; r < g.fixedRows() && r < g.rowCount(); ++r) height += rowHeight(r);
    const int frame = frameWidth();
    const QRect area = viewport()->geometry();
    frozenColumns_->setGeometry(frame, frame, width, area.height());
    frozenRows_->setGeometry(frame, frame, area.width(), height);
    frozenCorner_->setGeometry(frame, frame, width, height);
    frozenColumns_->verticalScrollBar()->setValue(verticalScrollBar()->value());
    frozenRows_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
}

void EntryGridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    updateFrozenGeometry();
}

void EntryGridView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // A cell behind the fixed parts is scrolled out from under them.
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || !model_) return;
    const FormGrid& g = grid();
    if (index.column() >= g.fixedCols()) {
        const int fixedWidth = frozenColumns_->width();
        const int x = columnViewportPosition(index.column());
        if (x < fixedWidth) horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (fixedWidth - x));
    }
    if (index.row() >= g.fixedRows()) {
        const int fixedHeight = frozenRows_->height();
        const int y = rowViewportPosition(index.row());
        if (y < fixedHeight) verticalScrollBar()->setValue(verticalScrollBar()->value() - (fixedHeight - y));
    }
}

void EntryGridView::syncCurrent() {
    if (!model_) return;
    syncing_ = true;
    const QModelIndex target = model_->index(grid().currentRow(), grid().currentCol());
    if (target.isValid()) {
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        scrollTo(target);
    }
    syncing_ = false;
}

void EntryGridView::commitEditing() {
    if (state() != EditingState) return;
    for (QLineEdit* editor : viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
        if (!editor->isVisible()) continue;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void EntryGridView::afterMove() {
    syncCurrent();
    emit statusChanged();
}

QModelIndex EntryGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (!model_ || !target.isValid() || target == current) return target;
    const bool allowed = grid().canMoveTo(target.column(), target.row());
    emit statusChanged();
    return allowed ? target : current;
}

void EntryGridView::clickCell(const QModelIndex& index) {
    if (!index.isValid()) return;
    grid().moveTo(index.column(), index.row());
    afterMove();
}

void EntryGridView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (model_ && index.isValid() && !(index.column() == grid().currentCol() && index.row() == grid().currentRow())) {
        commitEditing();
        clickCell(index);
        return;
    }
    QTableView::mousePressEvent(event);
}

void EntryGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!syncing_ && model_ && current.isValid()) grid().placeCurrent(current.column(), current.row());
}

void EntryGridView::keyPressEvent(QKeyEvent* event) {
    if (!model_) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (!event->text().isEmpty()) {
        grid().setUnsaved(true);
        emit typed();
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        grid().enterWalk();
        afterMove();
        return;
    }
    if (event->modifiers() == Qt::ControlModifier) {
        const std::pair<int, FormGrid::Direction> arrows[] = {{Qt::Key_Left, FormGrid::Direction::Left},
                                                              {Qt::Key_Right, FormGrid::Direction::Right},
                                                              {Qt::Key_Up, FormGrid::Direction::Up},
                                                              {Qt::Key_Down, FormGrid::Direction::Down}};
        for (const auto& [key, direction] : arrows) {
            if (event->key() == key) {
                grid().ctrlArrow(direction);
                afterMove();
                return;
            }
        }
    }
    QTableView::keyPressEvent(event);
}

bool EntryGridView::eventFilter(QObject* watched, QEvent* event) {
    // Clicks on the fixed parts ask the move check like clicks on the grid.
    for (QTableView* view : {frozenColumns_, frozenRows_, frozenCorner_}) {
        if (watched == view->viewport() && event->type() == QEvent::MouseButtonPress) {
            clickCell(view->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
            setFocus();
            return true;
        }
    }
    // The cell editor's keys: every character marks the form changed; Enter closes the
    // editor and walks on.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched) && model_) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->text().isEmpty()) {
            grid().setUnsaved(true);
            emit typed();
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            auto* editor = static_cast<QWidget*>(watched);
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
            grid().enterWalk();
            afterMove();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace zelvan
