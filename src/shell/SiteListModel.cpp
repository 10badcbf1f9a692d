#include "shell/SiteListModel.h"

#include "model/CollatedText.h"
#include "model/Parallel.h"
#include "platform/AppError.h"
#include "platform/qt/QtText.h"

#include <algorithm>

int TSiteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

QVariant TSiteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count() || role != Qt::DisplayRole)
        return QVariant();
    return ToQString(items[static_cast<std::size_t>(index.row())].name);
}

TbrmPwRec& TSiteListModel::Record(int row) const
{
    if (row < 0 || row >= Count())
        throw AppError("List index out of bounds (" + std::to_string(row) + ")");
    return *items[static_cast<std::size_t>(row)].record;
}

bool TSiteListModel::NameOrders(const Item& a, const Item& b)
{
    return CompareCollated({ { a.sortHead[0], a.sortHead[1] }, a.name }, { { b.sortHead[0], b.sortHead[1] }, b.name })
        < 0;
}

void TSiteListModel::AddRecords(std::vector<std::unique_ptr<TbrmPwRec>> records)
{
    if (records.empty())
        return;
    std::vector<Item> added(records.size());
    // Sort keys are costly, so they are built on all processors.
    ForEachPiece(PieceBounds(records.size(), 1 << 14), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            Item& item = added[i];
            item.name = records[i]->SiteName();
            const TCollatedText key = TCollatedText::WithHead(item.name);
            item.sortHead[0] = key.sortHead[0];
            item.sortHead[1] = key.sortHead[1];
            item.record = std::move(records[i]);
        }
    });
    std::stable_sort(added.begin(), added.end(), NameOrders);
    beginResetModel();
    const auto middle = static_cast<std::ptrdiff_t>(items.size());
    items.insert(items.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    std::inplace_merge(items.begin(), items.begin() + middle, items.end(), NameOrders);
    endResetModel();
}

void TSiteListModel::Clear()
{
    beginResetModel();
    items.clear();
    endResetModel();
}
