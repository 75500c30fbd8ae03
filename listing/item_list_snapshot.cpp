#include "listing/item_list_snapshot.h"

#include <algorithm>

namespace kistora {

void ItemListSnapshot::Build(const ItemVector& items) {
  // Room for some more items: adding items one by one seldom moves a million
  // rows to a bigger buffer (which costs milliseconds when it happens).
  const std::size_t room = items.size() + items.size() / 16 + 1024;
  items_.clear();
  items_.reserve(room);
  qualities_.clear();
  qualities_.reserve(room);
  tags_.clear();
  tags_.reserve(room);
  prices_.clear();
  prices_.reserve(room);
  numbers_.clear();
  numbers_.reserve(room);
  std::string().swap(searchText_);
  textSpans_.clear();
  textSpans_.reserve(room);
  textReady_ = 0;
  deadBytes_ = 0;
  itemCount_ = items.size();
  for (const auto& item : items) {
    if (!item) continue;
    items_.push_back(item);
    qualities_.push_back(item->Quality);
    tags_.push_back(ClassTag(*item));
    prices_.push_back(item->Price);
    numbers_.push_back(item->Index);
  }
  textSpans_.resize(items_.size());
}

std::vector<std::uint32_t> ItemListSnapshot::Rebuild(const ItemVector& items) {
  // Kept rows are found by walking both lists in number order (the usual
  // case: numbers only grow; a list out of order only keeps fewer rows). With
  // no texts yet there is nothing to keep: made anew.
  if (!std::is_sorted(numbers_.begin(), numbers_.end()) || !SearchTextsReady() || items_.empty() ||
      items_.size() != itemCount_) {
    Build(items);
    return {};
  }
  std::vector<ItemPtr> oldItems = std::move(items_);
  const std::vector<std::uint8_t> oldQualities = std::move(qualities_), oldTags = std::move(tags_);
  const std::vector<std::int32_t> oldPrices = std::move(prices_), oldNumbers = std::move(numbers_);
  const std::vector<TextSpan> oldSpans = std::move(textSpans_);
  const std::size_t room = items.size() + items.size() / 16 + 1024;
  for (auto* rows : {&qualities_, &tags_}) rows->reserve(room);
  for (auto* rows : {&prices_, &numbers_}) rows->reserve(room);
  items_.reserve(room);
  textSpans_.reserve(room);
  std::vector<std::uint32_t> keptFrom;
  keptFrom.reserve(items.size());
  itemCount_ = items.size();
  // An item the rows had (the same object, at its place in number order) keeps
  // its row and its text where it is without being read again; the others are
  // made, their texts after the others. What the rows gone held is dead room,
  // given back once it is half of the texts.
  std::size_t old = 0;
  for (const ItemPtr& item : items) {
    if (!item) continue;
    // Rows of items gone (deleted, replaced) are passed by number.
    if (old < oldItems.size() && oldItems[old] != item) {
      while (old < oldItems.size() && oldNumbers[old] < item->Index) ++old;
    }
    if (old < oldItems.size() && oldItems[old] == item) {
      items_.push_back(std::move(oldItems[old]));
      qualities_.push_back(oldQualities[old]);
      tags_.push_back(oldTags[old]);
      prices_.push_back(oldPrices[old]);
      numbers_.push_back(oldNumbers[old]);
      textSpans_.push_back(oldSpans[old]);
      keptFrom.push_back(static_cast<std::uint32_t>(old));
      ++old;
      continue;
    }
    keptFrom.push_back(SnapshotEdit::kNewRow);
    items_.push_back(item);
    qualities_.push_back(item->Quality);
    tags_.push_back(ClassTag(*item));
    prices_.push_back(item->Price);
    numbers_.push_back(item->Index);
    textSpans_.push_back(AppendText(*item));
  }
  textReady_ = items_.size();
  std::size_t liveBytes = 0;
  for (const TextSpan& span : textSpans_) liveBytes += span.Length;
  deadBytes_ = searchText_.size() - liveBytes;
  CompactTextsWhenHalfDead();
  return keptFrom;
}

bool ItemListSnapshot::BuildSearchTexts(std::size_t maxRows) const {
  const std::size_t end = items_.size() - textReady_ > maxRows ? textReady_ + maxRows : items_.size();
  const bool first = textReady_ == 0 && searchText_.empty();
  for (; textReady_ < end; ++textReady_) textSpans_[textReady_] = AppendText(*items_[textReady_]);
  if (first && textReady_ > 0 && textReady_ < items_.size()) {
    // Room for every row's text at the first step's mean length, and a little
    // more: the texts then grow without a copy of the whole buffer.
    const std::size_t mean = searchText_.size() / textReady_ + 1;
    searchText_.reserve(mean * (items_.size() + items_.size() / 32));
  }
  return SearchTextsReady();
}

SnapshotEdit ItemListSnapshot::Apply(const CatalogueChange& change, const ItemVector& items) {
  // Positions in the item list are positions in the rows only while no entry is null.
  const bool oneForOne = items_.size() == itemCount_;
  const auto position = static_cast<std::size_t>(change.Position);
  const bool inRange = change.Position >= 0 && position < items.size() && items[position];
  switch (change.Kind) {
    case ChangeKind::ItemAdded:
    case ChangeKind::ItemRestored:
      // A new item comes at the end; one put back comes at its old place.
      if (oneForOne && inRange && position <= items_.size() && items.size() == itemCount_ + 1) {
        itemCount_ = items.size();
        if (position == items_.size()) {
          AppendRow(items[position]);
          return {SnapshotEdit::Kind::Appended, position};
        }
        InsertRow(position, items[position]);
        return {SnapshotEdit::Kind::Inserted, position};
      }
      break;
    case ChangeKind::ItemModified:
      if (oneForOne && inRange && position < items_.size() && items.size() == itemCount_) {
        const std::int32_t oldPrice = prices_[position];
        ReplaceRow(position, items[position]);
        return {SnapshotEdit::Kind::Replaced, position, oldPrice};
      }
      break;
    case ChangeKind::ItemDeleted:
      if (oneForOne && change.Position >= 0 && position < items_.size() && items.size() + 1 == itemCount_) {
        const std::int32_t oldPrice = prices_[position];
        EraseRow(position);
        itemCount_ = items.size();
        return {SnapshotEdit::Kind::Erased, position, oldPrice};
      }
      break;
    case ChangeKind::Reset: {
      SnapshotEdit edit{SnapshotEdit::Kind::Rebuilt};
      edit.KeptFrom = Rebuild(items);
      return edit;
    }
    default:
      return {};  // characters and inventories: no row of the item list changes
  }
  Build(items);
  return {SnapshotEdit::Kind::Rebuilt};
}

// A row's search text is made with the row when the rows before it have
// theirs; otherwise BuildSearchTexts makes it in its turn.
void ItemListSnapshot::AppendRow(ItemPtr item) {
  const bool withText = SearchTextsReady();
  qualities_.push_back(item->Quality);
  tags_.push_back(ClassTag(*item));
  prices_.push_back(item->Price);
  numbers_.push_back(item->Index);
  textSpans_.push_back(withText ? AppendText(*item) : TextSpan{});
  if (withText) ++textReady_;
  items_.push_back(std::move(item));
}

void ItemListSnapshot::InsertRow(std::size_t position, ItemPtr item) {
  const auto at = static_cast<std::ptrdiff_t>(position);
  const bool withText = position <= textReady_;
  qualities_.insert(qualities_.begin() + at, item->Quality);
  tags_.insert(tags_.begin() + at, ClassTag(*item));
  prices_.insert(prices_.begin() + at, item->Price);
  numbers_.insert(numbers_.begin() + at, item->Index);
  textSpans_.insert(textSpans_.begin() + at, withText ? AppendText(*item) : TextSpan{});
  if (withText) ++textReady_;
  items_.insert(items_.begin() + at, std::move(item));
}

void ItemListSnapshot::ReplaceRow(std::size_t position, ItemPtr item) {
  qualities_[position] = item->Quality;
  tags_[position] = ClassTag(*item);
  prices_[position] = item->Price;
  numbers_[position] = item->Index;
  if (position < textReady_) {
    deadBytes_ += textSpans_[position].Length;
    textSpans_[position] = AppendText(*item);
  }
  items_[position] = std::move(item);
  CompactTextsWhenHalfDead();
}

void ItemListSnapshot::EraseRow(std::size_t position) {
  const auto at = static_cast<std::ptrdiff_t>(position);
  items_.erase(items_.begin() + at);
  qualities_.erase(qualities_.begin() + at);
  tags_.erase(tags_.begin() + at);
  prices_.erase(prices_.begin() + at);
  numbers_.erase(numbers_.begin() + at);
  if (position < textReady_) {
    deadBytes_ += textSpans_[position].Length;
    --textReady_;
  }
  textSpans_.erase(textSpans_.begin() + at);
  CompactTextsWhenHalfDead();
}

ItemListSnapshot::TextSpan ItemListSnapshot::AppendText(const TD2Item& item) const {
  const std::size_t start = searchText_.size();
  AppendItemOwnSearchText(item, searchText_);
  return {start, searchText_.size() - start};
}

void ItemListSnapshot::CompactTextsWhenHalfDead() {
  if (deadBytes_ * 2 <= searchText_.size()) return;
  std::string live;
  live.reserve(searchText_.size() - deadBytes_);
  for (std::size_t i = 0; i < textReady_; ++i) {
    TextSpan& span = textSpans_[i];
    const std::size_t start = live.size();
    live.append(searchText_, span.Start, span.Length);
    span.Start = start & TextSpan::kFarthest;
  }
  searchText_.swap(live);
  deadBytes_ = 0;
}

std::string_view ItemListSnapshot::SearchText(std::size_t position) const {
  return std::string_view(searchText_).substr(textSpans_[position].Start, textSpans_[position].Length);
}

bool ItemListSnapshot::Shows(std::size_t position, const ItemFilter& filter) const {
  if (!filter.Search.IsEmpty() && position >= textReady_) BuildSearchTexts();
  return PassesFilterBoxes(qualities_[position], prices_[position], filter) &&
         (filter.Search.IsEmpty() || filter.Search.Matches(Searched(position)));
}

void ItemListSnapshot::Select(const ItemFilter& filter, std::vector<std::uint32_t>& positions) const {
  positions.clear();
  positions.reserve(items_.size());
  const bool searching = !filter.Search.IsEmpty();
  if (searching) BuildSearchTexts();
  // A condition on a field reads each item, scattered in memory: asking for the
  // items some rows ahead lets those reads overlap instead of waiting one by one.
  const bool readsItems = filter.Search.ReadsItemFields();
  constexpr std::size_t kAhead = 16;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (readsItems && i + kAhead < items_.size()) {
      const char* ahead = reinterpret_cast<const char*>(items_[i + kAhead].get());
      // Its class, its common numbers, then the class's own fields: three cache lines.
      __builtin_prefetch(ahead);
      __builtin_prefetch(ahead + 64);
      __builtin_prefetch(ahead + 128);
    }
    if (!PassesFilterBoxes(qualities_[i], prices_[i], filter)) continue;
    if (searching && !filter.Search.Matches(Searched(i))) continue;
    positions.push_back(static_cast<std::uint32_t>(i));
  }
}

}  // namespace kistora
