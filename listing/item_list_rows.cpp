#include "listing/item_list_rows.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "model/text_utils.h"

namespace kistora {

namespace {

// Byte -> sort key: a..z folded onto A..Z, every other byte kept.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> t{};
  for (int b = 0; b < 256; ++b) {
    t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - ('a' - 'A') : b);
  }
  return t;
}
constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

std::int32_t ParseOrZero(std::string_view s) {
  std::int32_t v = 0;
  return TryStrToInt(s, v) ? v : 0;
}

int CompareInts(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

std::string_view TextCell(const ItemListRow& row, int column) {
  switch (column) {
    case kColName:
      return row.Name;
    case kColType:
      return row.Type;
    case kColQuality:
      return row.Quality;
    default:
      return row.Notes;
  }
}

// Sorts order through a contiguous copy of each row's sort key, so that the
// comparisons read keys side by side instead of jumping through the rows.
// Rows with equal keys keep their relative order.
template <typename Key>
void SortByKeys(std::vector<std::uint32_t>& order, bool inverted, std::vector<std::pair<Key, std::uint32_t>>& keyed) {
  using Entry = std::pair<Key, std::uint32_t>;
  const auto before = [inverted](const Entry& x, const Entry& y) {
    return inverted ? y.first < x.first : x.first < y.first;
  };
  // Rows listed in catalogue order are often in order already (item numbers
  // only grow): checking is much cheaper than sorting a million keys.
  if (!std::is_sorted(keyed.begin(), keyed.end(), before)) std::stable_sort(keyed.begin(), keyed.end(), before);
  for (std::size_t i = 0; i < keyed.size(); ++i) order[i] = keyed[i].second;
}

}  // namespace

bool PassesFilterBoxes(std::uint8_t quality, std::int32_t price, const ItemFilter& filter) {
  if (price == 0 && filter.HidePrice0) return false;
  return quality >= filter.ShowQuality.size() || filter.ShowQuality[quality];
}

bool IsItemShown(const TD2Item& item, const ItemFilter& filter) {
  return PassesFilterBoxes(item.Quality, item.Price, filter) && filter.Search.Matches(item);
}

ItemListRow MakeItemListRow(const TD2Item& item) {
  ItemListRow row;
  row.Index = item.Index;
  row.Price = item.Price;
  row.Name = item.Name;
  row.Type = ListCategoryLabelView(item);
  row.Quality = QualityLabelView(item.Quality);
  row.Notes = item.Notes;
  return row;
}

std::vector<ItemListRow> MakeItemListRows(const ItemVector& items, const ItemFilter& filter, std::size_t capacity) {
  std::vector<ItemListRow> rows;
  rows.reserve(std::max(capacity, items.size()));
  for (const auto& item : items) {
    if (item && IsItemShown(*item, filter)) rows.push_back(MakeItemListRow(*item));
  }
  return rows;
}

std::string ItemListCell(const ItemListRow& row, int column) {
  switch (column) {
    case kColIndex:
      return IntToStr(row.Index);
    case kColPrice:
      return IntToStr(row.Price);
    case kColName:
    case kColType:
    case kColQuality:
    case kColNotes:
      return std::string(TextCell(row, column));
    default:
      return {};
  }
}

int CompareAsNumbers(std::string_view a, std::string_view b) { return CompareInts(ParseOrZero(a), ParseOrZero(b)); }

int CompareFoldedText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = kFold[static_cast<unsigned char>(a[i])];
    const unsigned char y = kFold[static_cast<unsigned char>(b[i])];
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int EffectiveSortColumn(std::int32_t column) {
  return column >= 0 && column < kItemListColumnCount ? static_cast<int>(column) : kColIndex;
}

// The cells hold the decimal text of Index and Price, so comparing the numbers
// themselves is CompareAsNumbers of the two texts without the parsing.
int CompareItemListRows(const ItemListRow& a, const ItemListRow& b, std::int32_t column, bool inverted) {
  const int col = EffectiveSortColumn(column);
  int result = 0;
  if (col == kColIndex) {
    result = CompareInts(a.Index, b.Index);
  } else if (col == kColPrice) {
    result = -CompareInts(a.Price, b.Price);
  } else {
    result = CompareFoldedText(TextCell(a, col), TextCell(b, col));
  }
  return inverted ? -result : result;
}

void SortItemListOrder(const ItemListRowAt& rowAt, std::vector<std::uint32_t>& order, std::int32_t column,
                       bool inverted, const ItemListValues& values) {
  const int col = EffectiveSortColumn(column);
  if (col == kColIndex || col == kColPrice) {
    const std::vector<std::int32_t>* kept = col == kColIndex ? values.Numbers : values.Prices;
    const auto valueAt = [&](std::uint32_t position) -> std::int64_t {
      if (kept) return (*kept)[position];
      const ItemListRow row = rowAt(position);
      return col == kColIndex ? row.Index : row.Price;
    };
    // Prices run highest first: sort their negation (as 64 bits, -INT_MIN fits).
    std::vector<std::pair<std::int64_t, std::uint32_t>> keyed(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      const std::int64_t value = valueAt(order[i]);
      keyed[i] = {col == kColIndex ? value : -value, order[i]};
    }
    SortByKeys(order, inverted, keyed);
    return;
  }

  // With a..z folded onto A..Z beforehand, CompareFoldedText is a plain byte
  // comparison, which string_view does with memcmp (unsigned bytes).
  std::vector<std::string_view> texts(order.size());
  std::size_t total = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    texts[i] = TextCell(rowAt(order[i]), col);
    total += texts[i].size();
  }
  std::string folded(total, '\0');
  std::vector<std::pair<std::string_view, std::uint32_t>> keyed(order.size());
  char* out = folded.data();
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::string_view s = texts[i];
    for (std::size_t k = 0; k < s.size(); ++k) out[k] = static_cast<char>(kFold[static_cast<unsigned char>(s[k])]);
    keyed[i] = {std::string_view(out, s.size()), order[i]};
    out += s.size();
  }
  SortByKeys(order, inverted, keyed);
}

void SortItemListOrder(const std::vector<ItemListRow>& rows, std::vector<std::uint32_t>& order, std::int32_t column,
                       bool inverted) {
  SortItemListOrder([&rows](std::uint32_t position) { return rows[position]; }, order, column, inverted);
}

}  // namespace kistora
