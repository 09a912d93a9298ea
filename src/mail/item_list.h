#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace sievo {

// An ordered list that owns its items and copies them deeply (addresses, attachments).
template <typename Item>
class ItemList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const Item& operator[](int index) const { return items_.at(static_cast<std::size_t>(index)); }
    Item& operator[](int index) { return items_.at(static_cast<std::size_t>(index)); }
    Item& Add(const Item& item) { return items_.emplace_back(item); }
    Item& Add(Item&& item) { return items_.emplace_back(std::move(item)); }
    void Clear() { items_.clear(); }
    void Assign(const ItemList& source) { items_ = source.items_; }
    bool Empty() const { return items_.empty(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }

private:
    std::vector<Item> items_;
};

}  // namespace sievo
