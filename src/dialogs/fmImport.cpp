#include "dialogs/fmImport.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PasswordDialogs.h"
#include "model/CollatedSort.h"
#include "model/brmPW.h"
#include "platform/qt/QtText.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "services/brmFormRtn.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* const PlacementName = "TfrmImport";
const QSize DesignedClientSize(625, 361);
const QSize MinimumOuterSize(633, 388);
const QRect DesignedLeftList(16, 32, 233, 265);
const QRect DesignedRightList(376, 32, 233, 265);
constexpr int ItemHeight = 13;
// As designed; the platform's own threshold may differ.
constexpr int DragThreshold = 5;
constexpr int PanelButtonWidth = 110;
// What the anchored controls keep from the client area's right and bottom edges.
constexpr int ListBottomMargin = 64;
constexpr int OkRightOffset = 177;
constexpr int CancelRightOffset = 89;
constexpr int ButtonBottomOffset = 41;

struct TImportItem {
    std::unique_ptr<TbrmPwRec> record;
};

std::string_view NameOf(const TImportItem& item)
{
    return item.record->SiteName();
}

// The items of one list, sorted by site name in the locale's order ignoring case;
// of equal names, the ones that arrived later come last. Items move in and out in
// whole batches, each in one pass over the list, so moving many items among many
// costs no more than moving one.
class TImportItems : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : Count();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= Count())
            return QVariant();
        if (role == Qt::DisplayRole)
            return ToQString(items[static_cast<std::size_t>(index.row())].record->SiteName());
        if (role == Qt::SizeHintRole)
            return QSize(0, ItemHeight);
        return QVariant();
    }

    int Count() const { return static_cast<int>(items.size()); }

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        lines.reserve(items.size());
        for (const TImportItem& item : items)
            lines.push_back(item.record->GetLine());
        return lines;
    }

    // Sorts Added in; yields the row now of every item held before.
    std::vector<int> Add(std::vector<TImportItem> added)
    {
        beginResetModel();
        const std::vector<int> rowsNow = MergeCollated(items, std::move(added), NameOf, TKeepArrivalOrder());
        endResetModel();
        return rowsNow;
    }

    // Hands over the items of the rows flagged in Taken, in row order; yields the row
    // now of every item held before, -1 for those taken.
    std::vector<int> Take(const std::vector<bool>& taken, std::vector<TImportItem>& handed)
    {
        beginResetModel();
        std::vector<TImportItem> kept;
        kept.reserve(items.size());
        std::vector<int> rowsNow(items.size(), -1);
        for (std::size_t row = 0; row < items.size(); ++row) {
            if (taken[row]) {
                handed.push_back(std::move(items[row]));
            } else {
                rowsNow[row] = static_cast<int>(kept.size());
                kept.push_back(std::move(items[row]));
            }
        }
        items = std::move(kept);
        endResetModel();
        return rowsNow;
    }

private:
    std::vector<TImportItem> items;
};

} // namespace

// One of the two lists: extended selection, and a drag of its whole selection that
// starts from a press on an item and ends on the list it is dropped on.
class TImportListBox : public QListView {
public:
    TImportListBox(QWidget& parent, const char* name, const QRect& bounds) : QListView(&parent)
    {
        setObjectName(name);
        setGeometry(bounds);
        setModel(new TImportItems(this));
        setSelectionMode(ExtendedSelection);
        setEditTriggers(NoEditTriggers);
        setUniformItemSizes(true);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    TImportItems& Items() const { return *static_cast<TImportItems*>(model()); }

    // The focus mark on the first item, with nothing selected.
    void MarkFirstItem()
    {
        if (Items().Count() > 0)
            selectionModel()->setCurrentIndex(Items().index(0), QItemSelectionModel::NoUpdate);
    }

    // Moves every selected item, with its record, to Target, where it is not selected.
    void MoveSelectedTo(TImportListBox& target)
    {
        const std::vector<bool> chosen = SelectedRows();
        if (std::find(chosen.begin(), chosen.end(), true) == chosen.end())
            return;
        const std::vector<bool> targetChosen = target.SelectedRows();
        const int targetCurrent = target.currentIndex().row();
        const int current = currentIndex().row();
        std::vector<TImportItem> moved;
        KeepMarks(Items().Take(chosen, moved), {}, current);
        target.KeepMarks(target.Items().Add(std::move(moved)), targetChosen, targetCurrent);
    }

    // A list takes the drags of the other list, never its own.
    bool AcceptsDragFrom(const TImportListBox& source) const { return &source != this; }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (FDragStart) {
            // Other buttons wait until a left-button drag has ended.
            if (event->button() != Qt::LeftButton)
                return;
            // The release of the last press went where this list could not see it.
            EndDrag();
        }
        QListView::mousePressEvent(event);
        const QPoint pressed = event->position().toPoint();
        if (event->button() == Qt::LeftButton && indexAt(pressed).isValid())
            FDragStart = pressed;
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!FDragStart) {
            QListView::mouseMoveEvent(event);
            return;
        }
        if (!event->buttons().testFlag(Qt::LeftButton)) {
            EndDrag();
            return;
        }
        const QPoint moved = event->position().toPoint() - *FDragStart;
        if (std::abs(moved.x()) >= DragThreshold || std::abs(moved.y()) >= DragThreshold)
            FDragging = true;
        if (FDragging) {
            const bool accepted = DropTargetAt(event->globalPosition().toPoint()) != nullptr;
            viewport()->setCursor(accepted ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!FDragStart) {
            QListView::mouseReleaseEvent(event);
            return;
        }
        if (event->button() != Qt::LeftButton)
            return;
        if (!FDragging) {
            // A click: the view settles the selection it held back at the press.
            FDragStart.reset();
            QListView::mouseReleaseEvent(event);
            return;
        }
        TImportListBox* target = DropTargetAt(event->globalPosition().toPoint());
        EndDrag();
        if (target != nullptr)
            MoveSelectedTo(*target);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (FDragging && event->key() == Qt::Key_Escape) {
            EndDrag();
            event->accept();
            return;
        }
        QListView::keyPressEvent(event);
    }

private:
    std::vector<bool> SelectedRows() const
    {
        std::vector<bool> selected(static_cast<std::size_t>(Items().Count()), false);
        for (const QItemSelectionRange& range : selectionModel()->selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                selected[static_cast<std::size_t>(row)] = true;
        return selected;
    }

    // After the items moved, selects again the rows Chosen before and puts the focus
    // mark back on its item, or on the next one left when that item went.
    void KeepMarks(const std::vector<int>& rowsNow, const std::vector<bool>& chosen, int current)
    {
        QItemSelection selection;
        int first = -1;
        int last = -1;
        for (std::size_t row = 0; row < chosen.size(); ++row) {
            if (!chosen[row])
                continue;
            if (first >= 0 && rowsNow[row] != last + 1) {
                selection.select(Items().index(first), Items().index(last));
                first = -1;
            }
            if (first < 0)
                first = rowsNow[row];
            last = rowsNow[row];
        }
        if (first >= 0)
            selection.select(Items().index(first), Items().index(last));
        selectionModel()->select(selection, QItemSelectionModel::Select);
        if (current < 0 || Items().Count() == 0)
            return;
        auto left = std::find_if(rowsNow.begin() + current, rowsNow.end(), [](int row) { return row >= 0; });
        const int row = left != rowsNow.end() ? *left : Items().Count() - 1;
        selectionModel()->setCurrentIndex(Items().index(row), QItemSelectionModel::NoUpdate);
    }

    TImportListBox* DropTargetAt(QPoint globalPos) const
    {
        for (QWidget* widget = QApplication::widgetAt(globalPos); widget != nullptr; widget = widget->parentWidget()) {
            if (auto* list = dynamic_cast<TImportListBox*>(widget))
                return list->AcceptsDragFrom(*this) ? list : nullptr;
        }
        return nullptr;
    }

    void EndDrag()
    {
        FDragStart.reset();
        FDragging = false;
        viewport()->unsetCursor();
        setState(NoState);
    }

    // The press point while a drag may begin or is under way.
    std::optional<QPoint> FDragStart;
    bool FDragging = false;
};

TfrmImport::TfrmImport(TbrmPwList& list) : FPwList(&list)
{
    CreateControls();
    SetTabOrders();
    ConnectEvents();
    FormCreate();
    FillFromList();
}

TfrmImport::~TfrmImport()
{
    FormDestroy();
}

void TfrmImport::CreateControls()
{
    setObjectName("frmImport");
    setFont(DesignedFont("Tahoma"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
        | Qt::WindowMaximizeButtonHint);
    // Until the window system frames the window, its minimum is the designed client area.
    setMinimumSize(DesignedClientSize);
    resize(DesignedClientSize);
    lblFromArchive = AddLabel(*this, "lblFromArchive", "From archive items", 16, 16);
    lblCopyItems = AddLabel(*this, "lblCopyItems", "Items to copy", 376, 16);
    lbxFromArchive = new TImportListBox(*this, "lbxFromArchive", DesignedLeftList);
    lbxCopyItems = new TImportListBox(*this, "lbxCopyItems", DesignedRightList);
    CreateButtonPanel();
    btnOK = AddButton(*this, "btnOK", "OK", 448, 320);
    btnCancel = AddButton(*this, "btnCancel", "Cancel", 536, 320);
    btnOK->setDefault(true);
    lbxFromArchive->setFocus();
}

void TfrmImport::CreateButtonPanel()
{
    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName("pnlButtons");
    pnlButtons->setGeometry(255, 104, 120, 121);
    const auto addButton = [this](const char* name, const char* text, int top) {
        QPushButton* button = AddButton(*pnlButtons, name, text, 5, top);
        button->resize(PanelButtonWidth, button->height());
        return button;
    };
    btnAdd = addButton("btnAdd", "Add >", 0);
    btnAddAll = addButton("btnAddAll", "Add All >>", 32);
    btnRemoveAll = addButton("btnRemoveAll", "<< Remove All", 64);
    btnRemove = addButton("btnRemove", "< Remove", 96);
}

void TfrmImport::SetTabOrders()
{
    QWidget* const order[] = { lbxFromArchive, lbxCopyItems, btnOK, btnCancel, btnRemoveAll, btnAdd, btnRemove,
        btnAddAll };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TfrmImport::ConnectEvents()
{
    connect(btnAdd, &QPushButton::clicked, this, &TfrmImport::btnAddClick);
    connect(btnAddAll, &QPushButton::clicked, this, &TfrmImport::btnAddAllClick);
    connect(btnRemove, &QPushButton::clicked, this, &TfrmImport::btnRemoveClick);
    connect(btnRemoveAll, &QPushButton::clicked, this, &TfrmImport::btnRemoveAllClick);
    connect(btnOK, &QPushButton::clicked, this, &TfrmImport::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmImport::btnCancelClick);
}

void TfrmImport::FormCreate()
{
    FormRtn().RestorePlacement(*this, State().Values(PlacementName));
    setWindowTitle(ToQString("Import items from another " + ApplicationTitle() + " file"));
    CentreOverMainWindow(*this);
}

void TfrmImport::FormDestroy()
{
    State().SetValues(PlacementName, FormRtn().SavePlacement(*this));
}

void TfrmImport::FillFromList()
{
    std::vector<TImportItem> items;
    items.reserve(static_cast<std::size_t>(FPwList->Count()));
    for (int i = 0; i < FPwList->Count(); ++i)
        items.push_back({ FPwList->Records(i).Clone() });
    lbxFromArchive->Items().Add(std::move(items));
    lbxFromArchive->MarkFirstItem();
}

bool TfrmImport::event(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)
        KeepOuterMinimumSize();
    return QDialog::event(event);
}

// The minimum is an outer size, and the frame is known only once the window system
// has framed the window.
void TfrmImport::KeepOuterMinimumSize()
{
    const QSize frame = frameGeometry().size() - geometry().size();
    if (FMinimumFramed || frame.isNull())
        return;
    FMinimumFramed = true;
    setMinimumSize(MinimumOuterSize - frame);
}

void TfrmImport::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    KeepAnchors();
    FormResize();
}

// The lists follow the window's height; OK and Cancel keep to the bottom right corner.
void TfrmImport::KeepAnchors()
{
    const int listHeight = height() - lbxFromArchive->y() - ListBottomMargin;
    lbxFromArchive->resize(lbxFromArchive->width(), listHeight);
    lbxCopyItems->resize(lbxCopyItems->width(), listHeight);
    btnOK->move(width() - OkRightOffset, height() - ButtonBottomOffset);
    btnCancel->move(width() - CancelRightOffset, height() - ButtonBottomOffset);
}

// The two lists share the width beside the panel, which sits between them at the
// middle of their height.
void TfrmImport::FormResize()
{
    const int listWidth = (width() - pnlButtons->width() - 2 * lbxFromArchive->x()) / 2;
    lbxFromArchive->resize(listWidth, lbxFromArchive->height());
    lbxCopyItems->resize(listWidth, lbxCopyItems->height());
    int x = lbxFromArchive->x() + lbxFromArchive->width();
    pnlButtons->move(x, pnlButtons->y());
    x += pnlButtons->width();
    lbxCopyItems->move(x, lbxCopyItems->y());
    lblCopyItems->move(x, lblCopyItems->y());
    pnlButtons->move(
        pnlButtons->x(), lbxFromArchive->height() / 2 - pnlButtons->height() / 2 + lbxFromArchive->y());
}

void TfrmImport::btnAddClick()
{
    lbxFromArchive->MoveSelectedTo(*lbxCopyItems);
}

void TfrmImport::btnRemoveClick()
{
    lbxCopyItems->MoveSelectedTo(*lbxFromArchive);
}

void TfrmImport::btnAddAllClick()
{
    lbxFromArchive->selectAll();
    btnAddClick();
}

void TfrmImport::btnRemoveAllClick()
{
    lbxCopyItems->selectAll();
    btnRemoveClick();
}

void TfrmImport::btnOKClick()
{
    // Loading the lines at once gives what adding them one by one gives, without the
    // cost of a sorted insert per line.
    std::string text;
    for (const std::string& line : lbxCopyItems->Items().Lines())
        text.append(line).append("\r\n");
    FPwList->LoadFromText(std::move(text));
    done(ModalOk);
}

void TfrmImport::btnCancelClick()
{
    done(ModalCancel);
}

int ExecImport(TbrmPwList& list)
{
    const auto dialog = std::make_unique<TfrmImport>(list);
    return dialog->exec() == ModalOk ? ModalOk : ModalCancel;
}
