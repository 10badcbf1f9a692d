#include "shell/SiteListModel.h"

#include "model/CollatedSort.h"
#include "model/Parallel.h"
#include "platform/AppError.h"
#include "platform/qt/QtText.h"

#include <algorithm>

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
    return ToQString(std::string(NameOf(items[static_cast<std::size_t>(index.row())])));
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
        item.record->SetLine(taken->Strings(item.takenLine));
    }
    return *item.record;
}

std::string TSiteListModel::Line(int row) const
{
    const Item& item = ItemAt(row);
    // A taken line without a record is one its record would write back unchanged.
    return item.record ? item.record->GetLine() : std::string(taken->Strings(item.takenLine));
}

int TSiteListModel::RowOf(const TbrmPwRec& record) const
{
    const auto owner = std::find_if(items.begin(), items.end(), [&](const Item& item) { return item.record.get() == &record; });
    return owner == items.end() ? -1 : static_cast<int>(owner - items.begin());
}

std::string_view TSiteListModel::NameOf(const Item& item) const
{
    if (item.takenLine >= 0)
        return SiteNameOfLine(taken->Strings(item.takenLine));
    return keptNames[static_cast<std::size_t>(item.keptName)];
}

bool TSiteListModel::NameOrders(const Item& a, const Item& b) const
{
    return CollatedPrecedes(a, b, [this](const Item& item) { return NameOf(item); }, TKeepArrivalOrder());
}

void TSiteListModel::MergeIn(std::vector<Item> added)
{
    MergeCollated(items, std::move(added), [this](const Item& item) { return NameOf(item); }, TKeepArrivalOrder());
}

// The name is kept apart from the record, which the editor changes before the item
// is taken out and added again at its new place.
TSiteListModel::Item TSiteListModel::ItemFor(std::unique_ptr<TbrmPwRec> record)
{
    Item item;
    item.keptName = static_cast<int>(keptNames.size());
    keptNames.push_back(record->SiteName());
    item.record = std::move(record);
    return item;
}

void TSiteListModel::AddLines(std::shared_ptr<const TbrmPwList> sites)
{
    if (sites->Count() == 0)
        return;
    beginResetModel();
    if (items.empty() && !taken)
        TakeLines(std::move(sites));
    else
        CopyLines(*sites);
    endResetModel();
}

// The items point into the list, which the model keeps; names are found on all
// processors.
void TSiteListModel::TakeLines(std::shared_ptr<const TbrmPwList> sites)
{
    taken = std::move(sites);
    std::vector<Item> added(static_cast<std::size_t>(taken->Count()));
    ForEachPiece(PieceBounds(added.size(), PieceSize), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const std::string_view line = taken->Strings(static_cast<int>(i));
            added[i].takenLine = static_cast<int>(i);
            // A line its record would write otherwise gets its record now, so that
            // every line the model writes is the one the record gives.
            if (!IsWrittenLine(line)) {
                added[i].record = std::make_unique<TbrmPwRec>();
                added[i].record->SetLine(line);
            }
        }
    });
    MergeIn(std::move(added));
}

void TSiteListModel::CopyLines(const TbrmPwList& sites)
{
    std::vector<Item> added;
    added.reserve(static_cast<std::size_t>(sites.Count()));
    for (int i = 0; i < sites.Count(); ++i) {
        auto record = std::make_unique<TbrmPwRec>();
        record->SetLine(sites.Strings(i));
        added.push_back(ItemFor(std::move(record)));
    }
    MergeIn(std::move(added));
}

int TSiteListModel::AddRecord(std::unique_ptr<TbrmPwRec> record)
{
    Item item = ItemFor(std::move(record));
    const auto place = std::upper_bound(items.begin(), items.end(), item,
        [this](const Item& a, const Item& b) { return NameOrders(a, b); });
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
    taken.reset();
    keptNames.clear();
    endResetModel();
}

std::unique_ptr<TbrmPwList> TSiteListModel::SiteList() const
{
    std::vector<bool> kept(taken ? static_cast<std::size_t>(taken->Count()) : 0, false);
    std::string changed;
    for (std::size_t row = 0; row < items.size(); ++row) {
        const Item& item = items[row];
        const bool unchanged = item.takenLine >= 0
            && (!item.record || item.record->GetLine() == taken->Strings(item.takenLine));
        if (unchanged)
            kept[static_cast<std::size_t>(item.takenLine)] = true;
        else
            changed.append(Line(static_cast<int>(row))).append("\r\n");
    }
    if (taken)
        return taken->WithChanges(kept, std::move(changed));
    auto sites = std::make_unique<TbrmPwList>();
    sites->LoadFromText(std::move(changed));
    return sites;
}
