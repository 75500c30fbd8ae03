#include "model/item_list_rows.h"

#include <algorithm>

#include "model/text_utils.h"

namespace kistora {

namespace {

// Byte -> sort key: a..z folded onto A..Z, every other byte kept.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> t{};
  for (int b = 0; b < 256; ++b) {
    t[static_cast<std::size_t>(b)] =
        static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - ('a' - 'A') : b);
  }
  return t;
}
constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

std::int32_t ParseOrZero(std::string_view s) {
  std::int32_t v = 0;
  return TryStrToInt(s, v) ? v : 0;
}

int CompareInts(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

const std::string& TextCell(const ItemListRow& row, int column) {
  switch (column) {
    case kColName: return row.Name;
    case kColType: return row.Type;
    case kColQuality: return row.Quality;
    default: return row.Notes;
  }
}

// Strict weak ordering "a before b" for one column, not inverted.
template <typename Less>
void SortBy(std::vector<std::uint32_t>& order, bool inverted, Less less) {
  if (inverted) {
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t x, std::uint32_t y) { return less(y, x); });
  } else {
    std::stable_sort(order.begin(), order.end(), less);
  }
}

}  // namespace

bool IsItemShown(const TD2Item& item, const ItemFilter& filter) {
  if (item.Price == 0 && filter.HidePrice0) return false;
  if (item.Quality < filter.ShowQuality.size() && !filter.ShowQuality[item.Quality]) return false;
  return true;
}

ItemListRow MakeItemListRow(const TD2Item& item) {
  ItemListRow row;
  row.Index = item.Index;
  row.Price = item.Price;
  row.Name = item.Name;
  row.Type = ListCategoryLabel(item);
  row.Quality = QualityLabel(item.Quality);
  row.Notes = item.Notes;
  return row;
}

std::string ItemListCell(const ItemListRow& row, int column) {
  switch (column) {
    case kColIndex: return IntToStr(row.Index);
    case kColPrice: return IntToStr(row.Price);
    case kColName:
    case kColType:
    case kColQuality:
    case kColNotes: return TextCell(row, column);
    default: return {};
  }
}

int CompareAsNumbers(std::string_view a, std::string_view b) {
  return CompareInts(ParseOrZero(a), ParseOrZero(b));
}

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
int CompareItemListRows(const ItemListRow& a, const ItemListRow& b, std::int32_t column,
                        bool inverted) {
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

void SortItemListOrder(const std::vector<ItemListRow>& rows, std::vector<std::uint32_t>& order,
                       std::int32_t column, bool inverted) {
  const int col = EffectiveSortColumn(column);
  const ItemListRow* r = rows.data();
  if (col == kColIndex) {
    SortBy(order, inverted, [r](std::uint32_t x, std::uint32_t y) { return r[x].Index < r[y].Index; });
  } else if (col == kColPrice) {
    SortBy(order, inverted, [r](std::uint32_t x, std::uint32_t y) { return r[x].Price > r[y].Price; });
  } else {
    std::string ItemListRow::*text = &ItemListRow::Notes;
    if (col == kColName) text = &ItemListRow::Name;
    if (col == kColType) text = &ItemListRow::Type;
    if (col == kColQuality) text = &ItemListRow::Quality;
    SortBy(order, inverted, [r, text](std::uint32_t x, std::uint32_t y) {
      return CompareFoldedText(r[x].*text, r[y].*text) < 0;
    });
  }
}

}  // namespace kistora
