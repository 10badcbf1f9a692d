#pragma once

#include "model/brmPW.h"

#include <QAbstractListModel>

#include <memory>
#include <vector>

// The items of the main window's site list: each shows a site name and owns its own
// record. Items stay sorted by name in the locale's order ignoring case; equal
// names are allowed, a new item going after those already there.
class TSiteListModel : public QAbstractListModel {
public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int Count() const { return static_cast<int>(items.size()); }
    TbrmPwRec& Record(int row) const;

    // Adds one item per record, each at its sorted place.
    void AddRecords(std::vector<std::unique_ptr<TbrmPwRec>> records);
    // Removes every item and frees its record.
    void Clear();

private:
    struct Item {
        std::uint64_t sortHead[2];
        std::string name;
        std::unique_ptr<TbrmPwRec> record;
    };

    static bool NameOrders(const Item& a, const Item& b);

    std::vector<Item> items;
};
