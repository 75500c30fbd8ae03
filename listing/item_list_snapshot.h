// Every item of the item database list, with the numbers the filter boxes look
// at side by side and the folded texts the quick search looks in. Filtering
// then only picks positions: a keystroke in the search field neither copies
// texts nor touches the items, which keeps it fast on a catalogue of a million
// items. A change of one item updates only its row, so that adding or deleting
// an item in a catalogue of a million does not make every row again.
// The rows themselves are views of the items, made when asked for; the search
// texts are made in steps after the first screen (BuildSearchTexts), or all at
// once by the first search that needs them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "listing/item_list_rows.h"
#include "model/catalogue_change.h"

namespace kistora {

// What ItemListSnapshot::Apply did to its rows, for the shown rows that follow it.
struct SnapshotEdit {
  enum class Kind { Nothing, Appended, Inserted, Replaced, Erased, Rebuilt };
  SnapshotEdit() = default;
  SnapshotEdit(Kind what, std::size_t position = 0, std::int32_t oldPrice = 0)
      : What(what), Position(position), OldPrice(oldPrice) {}
  Kind What = Kind::Nothing;
  std::size_t Position = 0;   // the row appended, inserted (the rows from there on moved down), replaced or erased
  std::int32_t OldPrice = 0;  // the price the replaced or erased row had
  // After a rebuild that kept rows: for each row, its position before, or kNewRow.
  // Empty when every row was made anew.
  static constexpr std::uint32_t kNewRow = UINT32_MAX;
  std::vector<std::uint32_t> KeptFrom;
};

class ItemListSnapshot {
 public:
  // The rows of every item (null entries skipped), in list order, as
  // MakeItemListRows makes them with no filter. Makes no search text yet.
  void Build(const ItemVector& items);
  // Build, keeping the search text of every item the rows had already (the
  // same object): a whole catalogue replaced by one that differs in a few
  // items (another machine's version taken in) costs those few texts.
  // Returns each row's position before (SnapshotEdit::KeptFrom), or nothing
  // when every row was made anew.
  std::vector<std::uint32_t> Rebuild(const ItemVector& items);
  // Makes the search texts of the rows that have none yet, in list order,
  // stopping once maxRows rows are made; true when every row has its text.
  bool BuildSearchTexts(std::size_t maxRows = SIZE_MAX) const;
  bool SearchTextsReady() const { return textReady_ == items_.size(); }
  // Follows one change of the catalogue whose items are items (already
  // changed): appends, inserts, replaces or erases the one row concerned, or builds
  // everything again after a reset or when the rows no longer match the items
  // one for one (a null entry among them). Says which.
  SnapshotEdit Apply(const CatalogueChange& change, const ItemVector& items);

  // Row operations by position (the item's position in a list without null entries).
  void AppendRow(ItemPtr item);
  void InsertRow(std::size_t position, ItemPtr item);
  void ReplaceRow(std::size_t position, ItemPtr item);
  void EraseRow(std::size_t position);

  std::size_t Size() const { return items_.size(); }
  ItemListRow Row(std::size_t position) const { return MakeItemListRow(*items_[position]); }
  ItemListRowAt RowSource() const {
    return [this](std::uint32_t position) { return Row(position); };
  }
  ItemListValues Values() const { return {&numbers_, &prices_}; }
  // The item a row was made from (items are never changed in place: a change
  // puts a new object in the catalogue, and the row follows it).
  const TD2Item& ItemAt(std::size_t position) const { return *items_[position]; }
  // Whether the rows stand for items one for one, at the same positions.
  bool AlignedWith(const ItemVector& items) const { return items_.size() == itemCount_ && items.size() == itemCount_; }
  // Positions of the rows the filter shows, in list order: the same
  // rows as MakeItemListRows(items, filter) while the items are unchanged.
  void Select(const ItemFilter& filter, std::vector<std::uint32_t>& positions) const;
  // Whether the filter shows the row at position (as Select would pick it).
  bool Shows(std::size_t position, const ItemFilter& filter) const;
  std::int32_t PriceAt(std::size_t position) const { return prices_[position]; }
  // The item number of every row, in row order.
  const std::vector<std::int32_t>& Numbers() const { return numbers_; }

 private:
  // A row's text in searchText_: 40 bits of start (a terabyte), 24 of length;
  // a longer text (a name of megabytes) keeps its first 16 MB searchable.
  struct TextSpan {
    TextSpan() = default;
    TextSpan(std::size_t start, std::size_t length)
        : Start(start & kFarthest), Length((length < kLongest ? length : kLongest) & kLongest) {}
    static constexpr std::size_t kFarthest = (std::size_t{1} << 40) - 1;
    static constexpr std::size_t kLongest = (std::size_t{1} << 24) - 1;
    std::uint64_t Start : 40 = 0;
    std::uint64_t Length : 24 = 0;
  };
  std::string_view SearchText(std::size_t position) const;
  SearchedItem Searched(std::size_t position) const {
    return {numbers_[position], prices_[position], SearchText(position), items_[position].get(),
            ItemLabelSearchText(tags_[position], qualities_[position])};
  }
  TextSpan AppendText(const TD2Item& item) const;
  // Drops the texts of replaced and erased rows once they fill half the buffer.
  void CompactTextsWhenHalfDead();

  // The item of each row, kept alive for the value conditions of a search.
  std::vector<ItemPtr> items_;
  // Quality code, class tag, price and number of each row, side by side for a quick pass.
  std::vector<std::uint8_t> qualities_;
  std::vector<std::uint8_t> tags_;  // ClassTag of each row's item, for its labels
  std::vector<std::int32_t> prices_;
  std::vector<std::int32_t> numbers_;
  // The search texts are a cache made on demand (a const search may complete
  // them): AppendItemOwnSearchText of the first textReady_ rows (and dead texts),
  // end to end, and each row's span in it.
  mutable std::string searchText_;
  mutable std::vector<TextSpan> textSpans_;
  mutable std::size_t textReady_ = 0;
  std::size_t deadBytes_ = 0;  // bytes of searchText_ no row uses any more
  std::size_t itemCount_ = 0;  // entries of the item list the rows were made from, nulls included
};

}  // namespace kistora
