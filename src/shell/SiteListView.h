#pragma once

#include <QListView>

// The main window's site list: one column of one-line items of equal height. A row's
// place is its number times the row height, worked out when asked for and never
// stored, so inserting or removing a site costs the same whatever the number of
// sites. QListView's own layout keeps a position per row and redoes them all after
// every change; none of its layout is used here. The view scrolls by pixels and not
// sideways: a name too long for the width is elided.
class TSiteListView : public QListView {
public:
    explicit TSiteListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    QModelIndex indexAt(const QPoint& point) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void doItemsLayout() override;
    void setModel(QAbstractItemModel* model) override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    int RowCount() const;
    int RowHeight() const;
    // The top of Row in the viewport, the scrolling taken into account.
    qint64 RowTop(int row) const;
    // The row under the viewport's line Y, clamped to the rows there are.
    int RowAtY(int y) const;
    QModelIndex RowIndex(int row) const;
    bool IsOwnRow(const QModelIndex& index) const;
    int RowsPerPage() const;
    void PaintRow(QPainter& painter, QStyleOptionViewItem option, const QModelIndex& index) const;

    // 0 until measured; measured from a row, once per font or style.
    mutable int rowHeight = 0;
};
