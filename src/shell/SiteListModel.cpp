#include "shell/SiteListModel.h"

#include "model/Parallel.h"
#include "platform/AppError.h"
#include "platform/LargeBuffer.h"
#include "platform/qt/QtText.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr std::size_t PieceSize = 1 << 14;

} // namespace

int TSiteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant TSiteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count() || role != Qt::DisplayRole)
        return QVariant();
    return ToQString(std::string(items[static_cast<std::size_t>(index.row())].name.text));
}

const TSiteListModel::Item& TSiteListModel::ItemAt(int row) const
{
    if (row < 0 || row >= Count())
        throw AppError("List index out of bounds (" + std::to_string(row) + ")");
    return items[static_cast<std::size_t>(row)];
}

TbrmPwRec& TSiteListModel::Record(int row) const
{
    const Item& item = ItemAt(row);
    if (!item.record) {
        item.record = std::make_unique<TbrmPwRec>();
        item.record->SetLine(item.line);
    }
    return *item.record;
}

std::string TSiteListModel::Line(int row) const
{
    const Item& item = ItemAt(row);
    if (item.record)
        return item.record->GetLine();
    TbrmPwRec scratch;
    scratch.SetLine(item.line);
    return scratch.GetLine();
}

int TSiteListModel::RowOf(const TbrmPwRec& record) const
{
    const auto owner = std::find_if(items.begin(), items.end(), [&](const Item& item) { return item.record.get() == &record; });
    return owner == items.end() ? -1 : static_cast<int>(owner - items.begin());
}

std::string_view TSiteListModel::Keep(std::string text)
{
    return *texts.emplace_back(std::make_unique<std::string>(std::move(text)));
}

bool TSiteListModel::NameOrders(const Item& a, const Item& b)
{
    return CompareCollated(a.name, b.name) < 0;
}

// Sites saved by the program come in name order already; comparing neighbours on all
// processors finds that out without building sort keys.
bool TSiteListModel::NamesInOrder(const std::vector<Item>& added)
{
    std::atomic<bool> inOrder = true;
    ForEachPiece(PieceBounds(added.size(), PieceSize), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = std::max<std::size_t>(begin, 1); i < end && inOrder; ++i)
            if (NameOrders(added[i], added[i - 1]))
                inOrder = false;
    });
    return inOrder;
}

// Sort keys are costly, so they are built on all processors.
void TSiteListModel::SortByName(std::vector<Item>& added)
{
    ForEachPiece(PieceBounds(added.size(), PieceSize), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            added[i].name = TCollatedText::WithHead(added[i].name.text);
    });
    std::stable_sort(added.begin(), added.end(), NameOrders);
}

void TSiteListModel::AddLines(const TbrmPwList& sites)
{
    const auto count = static_cast<std::size_t>(sites.Count());
    if (count == 0)
        return;
    std::vector<std::size_t> offsets(count + 1, 0);
    for (std::size_t i = 0; i < count; ++i)
        offsets[i + 1] = offsets[i] + sites.Strings(static_cast<int>(i)).size();
    std::string& block = *texts.emplace_back(std::make_unique<std::string>());
    ReserveLargeBuffer(block, offsets[count]);
    block.resize(offsets[count]);

    // The lines are copied and their names found on all processors.
    std::vector<Item> added(count);
    ForEachPiece(PieceBounds(count, PieceSize), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const std::string_view line = sites.Strings(static_cast<int>(i));
            std::copy(line.begin(), line.end(), block.begin() + static_cast<std::ptrdiff_t>(offsets[i]));
            added[i].line = std::string_view(block).substr(offsets[i], line.size());
            added[i].name = TCollatedText::WithoutHead(SiteNameOfLine(added[i].line));
        }
    });
    if (!NamesInOrder(added))
        SortByName(added);

    beginResetModel();
    if (items.empty()) {
        items = std::move(added);
    } else {
        const auto middle = static_cast<std::ptrdiff_t>(items.size());
        items.insert(items.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
        std::inplace_merge(items.begin(), items.begin() + middle, items.end(), NameOrders);
    }
    endResetModel();
}

int TSiteListModel::AddRecord(std::unique_ptr<TbrmPwRec> record)
{
    Item item;
    item.name = TCollatedText::WithoutHead(Keep(record->SiteName()));
    item.record = std::move(record);
    const auto place = std::upper_bound(items.begin(), items.end(), item, NameOrders);
    const int row = static_cast<int>(place - items.begin());
    beginInsertRows(QModelIndex(), row, row);
    items.insert(place, std::move(item));
    endInsertRows();
    return row;
}

std::unique_ptr<TbrmPwRec> TSiteListModel::TakeRecord(int row)
{
    Record(row);
    beginRemoveRows(QModelIndex(), row, row);
    std::unique_ptr<TbrmPwRec> record = std::move(items[static_cast<std::size_t>(row)].record);
    items.erase(items.begin() + row);
    endRemoveRows();
    return record;
}

void TSiteListModel::Clear()
{
    beginResetModel();
    items.clear();
    texts.clear();
    endResetModel();
}
