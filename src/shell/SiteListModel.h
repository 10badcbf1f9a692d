#pragma once

#include "model/brmPW.h"

#include <QAbstractListModel>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The items of the main window's site list, and the document between a load and a
// save: each item shows a site name and owns its own record. Items stay sorted by
// name in the locale's order ignoring case; equal names are allowed, a new item
// going after those already there.
//
// The first list of site lines filled into an empty model is taken as it is: its
// items point at their lines and make their record on first use, so a million sites
// are shown without a million records or a second copy of their text, and saving
// writes the lines nobody changed straight from that list.
class TSiteListModel : public QAbstractListModel {
public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int Count() const { return static_cast<int>(items.size()); }
    // The record of the item at Row, owned by the item.
    TbrmPwRec& Record(int row) const;
    // The site line of the item's record.
    std::string Line(int row) const;
    // The row of the item that owns Record, -1 when none does.
    int RowOf(const TbrmPwRec& record) const;

    // Adds one item per line of Sites, each with its own record.
    void AddLines(std::shared_ptr<const TbrmPwList> sites);
    // Adds an item for Record at its sorted place; yields its row.
    int AddRecord(std::unique_ptr<TbrmPwRec> record);
    // Removes the item at Row and hands its record over.
    std::unique_ptr<TbrmPwRec> TakeRecord(int row);
    // Removes every item and frees its record.
    void Clear();

    // The site lines of all items' records, in the site list's order.
    std::unique_ptr<TbrmPwList> SiteList() const;

private:
    // Small, since there is one per site: a row of the taken list, or the name kept
    // for a record, and the record once made.
    struct Item {
        // The item's line in the taken list; -1 for an item made from a record.
        int takenLine = -1;
        // The name shown for an item made from a record, as it was when the item was added.
        int keptName = -1;
        mutable std::unique_ptr<TbrmPwRec> record;
    };

    std::string_view NameOf(const Item& item) const;
    bool NameOrders(const Item& a, const Item& b) const;
    void MergeIn(std::vector<Item> added);
    const Item& ItemAt(int row) const;
    // Keeps Name for as long as the item made for Record may show it.
    Item ItemFor(std::unique_ptr<TbrmPwRec> record);
    void TakeLines(std::shared_ptr<const TbrmPwList> sites);
    void CopyLines(const TbrmPwList& sites);

    std::vector<Item> items;
    std::shared_ptr<const TbrmPwList> taken;
    std::vector<std::string> keptNames;
};
