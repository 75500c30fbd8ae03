#include "model/item_list_snapshot.h"

namespace kistora {

void ItemListSnapshot::Build(const ItemVector& items) {
  rows_ = MakeItemListRows(items, ItemFilter());
  qualities_.clear();
  qualities_.reserve(rows_.size());
  prices_.clear();
  prices_.reserve(rows_.size());
  searchText_.clear();
  textStarts_.clear();
  textStarts_.reserve(rows_.size() + 1);
  for (const auto& item : items) {
    if (!item) continue;
    qualities_.push_back(item->Quality);
    prices_.push_back(item->Price);
    textStarts_.push_back(searchText_.size());
    AppendItemSearchText(*item, searchText_);
  }
  textStarts_.push_back(searchText_.size());
}

std::string_view ItemListSnapshot::SearchText(std::size_t position) const {
  return std::string_view(searchText_).substr(textStarts_[position], textStarts_[position + 1] - textStarts_[position]);
}

void ItemListSnapshot::Select(const ItemFilter& filter, std::vector<std::uint32_t>& positions) const {
  positions.clear();
  positions.reserve(rows_.size());
  const bool searching = !filter.Search.IsEmpty();
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (!PassesFilterBoxes(qualities_[i], prices_[i], filter)) continue;
    if (searching && !filter.Search.MatchesSearchText(SearchText(i))) continue;
    positions.push_back(static_cast<std::uint32_t>(i));
  }
}

}  // namespace kistora
