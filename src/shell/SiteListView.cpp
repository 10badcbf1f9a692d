#include "shell/SiteListView.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <limits>

namespace {

int ToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// What QListView tells accessibility clients, with the row as the child: QListView
// works the child out from its own layout, which this view leaves empty.
void NotifyAccessibility(QListView* view, const QModelIndex& index, QAccessible::Event type)
{
    if (!QAccessible::isActive() || !index.isValid())
        return;
    QAccessibleEvent event(view, type);
    event.setChild(index.row());
    QAccessible::updateAccessibility(&event);
}

// Not indexes().first(): that lists every index of a range first.
QModelIndex FirstOf(const QItemSelection& selection)
{
    return selection.isEmpty() ? QModelIndex() : QModelIndex(selection.first().topLeft());
}

} // namespace

TSiteListView::TSiteListView(QWidget* parent)
    : QListView(parent)
{
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TSiteListView::setModel(QAbstractItemModel* model)
{
    rowHeight = 0;
    QListView::setModel(model);
}

int TSiteListView::RowCount() const
{
    const QAbstractItemModel* items = model();
    return items != nullptr && items->columnCount(rootIndex()) > modelColumn() ? items->rowCount(rootIndex()) : 0;
}

int TSiteListView::RowHeight() const
{
    if (rowHeight > 0)
        return rowHeight;
    // Without a row there is nothing to measure nor to place.
    if (RowCount() == 0)
        return 1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex first = RowIndex(0);
    rowHeight = std::max(1, itemDelegateForIndex(first)->sizeHint(option, first).height());
    return rowHeight;
}

qint64 TSiteListView::RowTop(int row) const
{
    return static_cast<qint64>(row) * RowHeight() - verticalOffset();
}

int TSiteListView::RowAtY(int y) const
{
    const qint64 contentY = std::max<qint64>(0, static_cast<qint64>(y) + verticalOffset());
    return ToInt(std::min<qint64>(contentY / RowHeight(), RowCount() - 1));
}

QModelIndex TSiteListView::RowIndex(int row) const
{
    return model()->index(row, modelColumn(), rootIndex());
}

bool TSiteListView::IsOwnRow(const QModelIndex& index) const
{
    return index.isValid() && index.model() == model() && index.parent() == rootIndex()
        && index.column() == modelColumn();
}

int TSiteListView::RowsPerPage() const
{
    // As QListView pages: the rows that fit, less one that stays in sight.
    return std::max(1, viewport()->height() / RowHeight() - 1);
}

QRect TSiteListView::visualRect(const QModelIndex& index) const
{
    if (!IsOwnRow(index))
        return {};
    return QRect(0, ToInt(RowTop(index.row())), viewport()->width(), RowHeight());
}

QModelIndex TSiteListView::indexAt(const QPoint& point) const
{
    const qint64 contentY = static_cast<qint64>(point.y()) + verticalOffset();
    const qint64 contentHeight = static_cast<qint64>(RowCount()) * RowHeight();
    if (point.x() < 0 || point.x() >= viewport()->width() || contentY < 0 || contentY >= contentHeight)
        return {};
    return RowIndex(ToInt(contentY / RowHeight()));
}

void TSiteListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!IsOwnRow(index))
        return;
    // A row just inserted lies beyond the scroll range until the layout has run.
    executeDelayedItemsLayout();
    const qint64 top = static_cast<qint64>(index.row()) * RowHeight();
    const qint64 bottom = top + RowHeight();
    const qint64 shown = verticalOffset();
    const int height = viewport()->height();
    qint64 target = shown;
    switch (hint) {
    case EnsureVisible:
        if (top < shown)
            target = top;
        else if (bottom > shown + height)
            target = std::min(top, bottom - height);
        break;
    case PositionAtTop:
        target = top;
        break;
    case PositionAtBottom:
        target = bottom - height;
        break;
    case PositionAtCenter:
        target = top - (height - RowHeight()) / 2;
        break;
    }
    verticalScrollBar()->setValue(ToInt(target));
}

void TSiteListView::doItemsLayout()
{
    // Skips QListView's layout, which places every row; geometry is all there is.
    QAbstractItemView::doItemsLayout();
}

void TSiteListView::updateGeometries()
{
    const qint64 contentHeight = static_cast<qint64>(RowCount()) * RowHeight();
    const int height = viewport()->height();
    verticalScrollBar()->setRange(0, ToInt(std::max<qint64>(0, contentHeight - height)));
    verticalScrollBar()->setPageStep(height);
    verticalScrollBar()->setSingleStep(RowHeight());
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
    // Shows or hides the scroll bar now, as QListView does, not on the next turn of
    // the event loop: until then the viewport would keep its old width.
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &request);
}

int TSiteListView::horizontalOffset() const
{
    return 0;
}

int TSiteListView::verticalOffset() const
{
    return verticalScrollBar()->value();
}

void TSiteListView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

bool TSiteListView::event(QEvent* event)
{
    // Measured again before the base class lays the rows out for the new look.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        rowHeight = 0;
    return QListView::event(event);
}

QModelIndex TSiteListView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int rows = RowCount();
    if (rows == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!IsOwnRow(current))
        return RowIndex(0);
    int row = current.row();
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= RowsPerPage();
        break;
    case MovePageDown:
        row += RowsPerPage();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return RowIndex(std::clamp(row, 0, rows - 1));
}

void TSiteListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (selectionModel() == nullptr)
        return;
    const QRect area = rect.normalized();
    const qint64 contentTop = static_cast<qint64>(area.top()) + verticalOffset();
    const qint64 contentBottom = static_cast<qint64>(area.bottom()) + verticalOffset();
    const qint64 contentHeight = static_cast<qint64>(RowCount()) * RowHeight();
    QItemSelection selection;
    if (area.right() >= 0 && area.left() < viewport()->width() && contentBottom >= 0 && contentTop < contentHeight)
        selection.select(RowIndex(RowAtY(area.top())), RowIndex(RowAtY(area.bottom())));
    selectionModel()->select(selection, command);
}

QRegion TSiteListView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    const int height = viewport()->height();
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid() || range.parent() != rootIndex() || range.left() > modelColumn()
            || range.right() < modelColumn())
            continue;
        // Only the part in sight: a range may span a million rows.
        const qint64 top = std::max<qint64>(RowTop(range.top()), 0);
        const qint64 bottom = std::min<qint64>(RowTop(range.bottom()) + RowHeight(), height);
        if (top < bottom)
            region += QRect(0, ToInt(top), viewport()->width(), ToInt(bottom - top));
    }
    return region;
}

void TSiteListView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    if (RowCount() == 0)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QRect area = event->rect();
    const int last = RowAtY(area.bottom());
    for (int row = RowAtY(area.top()); row <= last; ++row)
        PaintRow(painter, option, RowIndex(row));
}

void TSiteListView::PaintRow(QPainter& painter, QStyleOptionViewItem option, const QModelIndex& index) const
{
    option.rect = visualRect(index);
    if (selectionModel() != nullptr && selectionModel()->isSelected(index))
        option.state |= QStyle::State_Selected;
    if (option.state & QStyle::State_Enabled) {
        const bool itemEnabled = model()->flags(index) & Qt::ItemIsEnabled;
        option.state.setFlag(QStyle::State_Enabled, itemEnabled);
        option.palette.setCurrentColorGroup(itemEnabled ? QPalette::Normal : QPalette::Disabled);
    }
    if ((hasFocus() || viewport()->hasFocus()) && index == currentIndex())
        option.state |= QStyle::State_HasFocus;
    itemDelegateForIndex(index)->paint(&painter, option, index);
}

void TSiteListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    NotifyAccessibility(this, current, QAccessible::Focus);
    QAbstractItemView::currentChanged(current, previous);
}

void TSiteListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    NotifyAccessibility(this, FirstOf(selected), QAccessible::SelectionAdd);
    NotifyAccessibility(this, FirstOf(deselected), QAccessible::SelectionRemove);
    QAbstractItemView::selectionChanged(selected, deselected);
}
