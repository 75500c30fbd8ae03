#include "listing/item_search.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <memory>
#include <typeinfo>
#include <utility>

#include "listing/item_holders.h"

namespace kistora {

namespace {

// What one byte becomes: one or two bytes.
struct Folded {
  char first = 0;
  char second = 0;
  std::uint8_t length = 1;
};

constexpr Folded One(char c) { return {c, 0, 1}; }
constexpr Folded Two(char a, char b) { return {a, b, 2}; }

constexpr std::array<Folded, 256> MakeSearchFoldTable() {
  std::array<Folded, 256> t{};
  for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = One(static_cast<char>(b));
  // Spaces and control bytes separate words; the no-break space too.
  for (int b = 0; b <= 0x20; ++b) t[static_cast<std::size_t>(b)] = One(' ');
  t[0x7F] = One(' ');
  t[0xA0] = One(' ');
  for (int b = 'A'; b <= 'Z'; ++b) t[static_cast<std::size_t>(b)] = One(static_cast<char>(b - 'A' + 'a'));
  // Letters of the upper half, by ranges of the same base letter.
  const auto range = [&t](int from, int to, char base) {
    for (int b = from; b <= to; ++b) t[static_cast<std::size_t>(b)] = One(base);
  };
  range(0xC0, 0xC5, 'a');                            // À..Å
  range(0xE0, 0xE5, 'a');                            // à..å
  range(0xC8, 0xCB, 'e');                            // È..Ë
  range(0xE8, 0xEB, 'e');                            // è..ë
  range(0xCC, 0xCF, 'i');                            // Ì..Ï
  range(0xEC, 0xEF, 'i');                            // ì..ï
  range(0xD2, 0xD6, 'o');                            // Ò..Ö
  range(0xF2, 0xF6, 'o');                            // ò..ö
  range(0xD9, 0xDC, 'u');                            // Ù..Ü
  range(0xF9, 0xFC, 'u');                            // ù..ü
  t[0xC7] = t[0xE7] = One('c');                      // Ç ç
  t[0xD0] = t[0xF0] = One('d');                      // Ð ð
  t[0xD1] = t[0xF1] = One('n');                      // Ñ ñ
  t[0xD8] = t[0xF8] = One('o');                      // Ø ø
  t[0xDD] = t[0xFD] = t[0xFF] = t[0x9F] = One('y');  // Ý ý ÿ Ÿ
  t[0x8A] = t[0x9A] = One('s');                      // Š š
  t[0x8E] = t[0x9E] = One('z');                      // Ž ž
  t[0x83] = One('f');                                // ƒ
  t[0x8C] = t[0x9C] = Two('o', 'e');                 // Œ œ
  t[0xC6] = t[0xE6] = Two('a', 'e');                 // Æ æ
  t[0xDE] = t[0xFE] = Two('t', 'h');                 // Þ þ
  t[0xDF] = Two('s', 's');                           // ß
  return t;
}
constexpr std::array<Folded, 256> kSearchFold = MakeSearchFoldTable();

// The folded labels of every item class the program creates (and of the
// defence-family base class, which has no label).
std::vector<std::pair<const std::type_info*, std::string>> FoldedClassLabels() {
  std::vector<std::unique_ptr<TD2Item>> samples;
  for (std::uint8_t tag = 0; tag < 12; ++tag) samples.push_back(CreateItemFromTag(tag));
  samples.push_back(std::make_unique<TD2DefItem>());
  std::vector<std::pair<const std::type_info*, std::string>> labels;
  for (const auto& sample : samples) {
    const TD2Item& item = *sample;
    labels.emplace_back(&typeid(item), SearchFolded(ListCategoryLabel(item) + " " + DialogCategoryLabel(item)));
  }
  return labels;
}

void AppendText(std::string_view folded, std::string& out) {
  out.append(folded);
  out.push_back('\n');
}

}  // namespace

void AppendSearchFolded(std::string_view s, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + 2 * s.size());
  char* p = out.data() + start;
  for (const char c : s) {
    const Folded& f = kSearchFold[static_cast<unsigned char>(c)];
    p[0] = f.first;
    p[1] = f.second;
    p += f.length;
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
}

std::string SearchFolded(std::string_view s) {
  std::string out;
  AppendSearchFolded(s, out);
  return out;
}

void AppendItemSearchText(const TD2Item& item, std::string& out) {
  static const std::vector<std::pair<const std::type_info*, std::string>> kClassLabels = FoldedClassLabels();
  static const std::array<std::string, 6> kQualityLabels = {
      SearchFolded(QualityLabel(0)), SearchFolded(QualityLabel(1)), SearchFolded(QualityLabel(2)),
      SearchFolded(QualityLabel(3)), SearchFolded(QualityLabel(4)), SearchFolded(QualityLabel(5))};
  char number[16];
  const auto written = std::to_chars(number, number + sizeof number, item.Index);
  out.append(number, written.ptr);
  out.push_back('\n');
  AppendSearchFolded(item.Name, out);
  out.push_back('\n');
  AppendSearchFolded(item.Notes, out);
  out.push_back('\n');
  const std::type_info* type = &typeid(item);
  bool labelled = false;
  for (const auto& [classType, labels] : kClassLabels) {
    if (classType == type) {
      AppendText(labels, out);
      labelled = true;
      break;
    }
  }
  // A class the program does not create: its family's labels, found the slow way.
  if (!labelled) AppendText(SearchFolded(ListCategoryLabel(item) + " " + DialogCategoryLabel(item)), out);
  if (item.Quality < kQualityLabels.size()) AppendText(kQualityLabels[item.Quality], out);
  for (const std::string_view line : item.MagicProps) {
    out.push_back(kPropertyLineMark);
    AppendSearchFolded(line, out);
    out.push_back('\n');
  }
}

ItemSearchQuery::ItemSearchQuery(std::string_view typed) : parsed_(ParseSearch(typed)) {
  held_.resize(parsed_.Holders.size());
}

void ItemSearchQuery::ResolveHolders(const std::vector<std::unique_ptr<TChar>>& characters) {
  for (std::size_t i = 0; i < parsed_.Holders.size(); ++i) held_[i] = HeldNumberSet(characters, parsed_.Holders[i]);
}

std::vector<std::int32_t> ItemSearchQuery::ResolveHoldersTellingChanges(
    const std::vector<std::unique_ptr<TChar>>& characters) {
  std::vector<std::int32_t> changed;
  for (std::size_t i = 0; i < parsed_.Holders.size(); ++i) {
    const std::vector<std::int32_t> before = held_[i].Sorted();
    held_[i] = HeldNumberSet(characters, parsed_.Holders[i]);
    const std::vector<std::int32_t> after = held_[i].Sorted();
    std::set_symmetric_difference(before.begin(), before.end(), after.begin(), after.end(),
                                  std::back_inserter(changed));
  }
  std::sort(changed.begin(), changed.end());
  changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
  return changed;
}

bool ItemSearchQuery::ReadsItemFields() const {
  return std::any_of(parsed_.Values.begin(), parsed_.Values.end(), [](const ValueCondition& condition) {
    return condition.Field && *condition.Field != ItemField::Price && *condition.Field != ItemField::Number;
  });
}

bool ItemSearchQuery::Matches(const TD2Item& item) const {
  if (IsEmpty()) return true;
  thread_local std::string text;
  text.clear();
  AppendItemSearchText(item, text);
  return Matches(SearchedItem{item.Index, item.Price, text, &item});
}

bool ItemSearchQuery::Matches(const SearchedItem& item) const {
  // The cheapest tests first: what is at hand, then the texts, then the item's own fields.
  for (std::size_t i = 0; i < held_.size(); ++i) {
    // perso:NOM wants the item held by that character; libre (no name) held by nobody.
    if (held_[i].Contains(item.Number) == parsed_.Holders[i].empty()) return false;
  }
  for (const ValueCondition& condition : parsed_.Values) {
    if (condition.Field == ItemField::Price && !condition.Admits(item.Price)) return false;
    if (condition.Field == ItemField::Number && !condition.Admits(item.Number)) return false;
  }
  for (const std::string& word : parsed_.Words) {
    if (item.Text.find(word) == std::string_view::npos) return false;
  }
  for (const ValueCondition& condition : parsed_.Values) {
    if (!condition.Field) {
      if (!PropertyLinesHold(item.Text, condition)) return false;
    } else if (*condition.Field != ItemField::Price && *condition.Field != ItemField::Number) {
      const std::optional<std::int64_t> value = ItemFieldValue(*item.Item, *condition.Field);
      if (!value || !condition.Admits(*value)) return false;
    }
  }
  return true;
}

}  // namespace kistora
