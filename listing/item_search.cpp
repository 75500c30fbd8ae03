#include "listing/item_search.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <memory>
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

// Tags beyond the program's classes have no category label, as the bare item.
constexpr std::size_t kLabelledTags = 12;
// Quality codes 0..5 have a label; any other code none.
constexpr std::size_t kLabelledQualities = 6;

// The folded labels of each class tag and quality code: "anneau anneaux\nunique\n".
std::vector<std::string> FoldedLabelTexts() {
  std::vector<std::string> texts((kLabelledTags + 1) * (kLabelledQualities + 1));
  for (std::size_t tag = 0; tag <= kLabelledTags; ++tag) {
    const std::unique_ptr<TD2Item> sample =
        tag < kLabelledTags ? CreateItemFromTag(static_cast<std::uint8_t>(tag)) : std::make_unique<TD2Item>();
    const std::string classLabels = SearchFolded(ListCategoryLabel(*sample) + " " + DialogCategoryLabel(*sample));
    for (std::size_t quality = 0; quality <= kLabelledQualities; ++quality) {
      std::string& text = texts[tag * (kLabelledQualities + 1) + quality];
      text = classLabels + "\n";
      if (quality < kLabelledQualities) text += SearchFolded(QualityLabel(static_cast<int>(quality))) + "\n";
    }
  }
  return texts;
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

std::string_view ItemLabelSearchText(std::uint8_t tag, std::uint8_t quality) {
  static const std::vector<std::string> kTexts = FoldedLabelTexts();
  const std::size_t row = tag < kLabelledTags ? tag : kLabelledTags;
  const std::size_t column = quality < kLabelledQualities ? quality : kLabelledQualities;
  return kTexts[row * (kLabelledQualities + 1) + column];
}

void AppendItemOwnSearchText(const TD2Item& item, std::string& out) {
  AppendSearchFolded(item.Name, out);
  out.push_back('\n');
  AppendSearchFolded(item.Notes, out);
  out.push_back('\n');
  for (const std::string_view line : item.MagicProps) {
    out.push_back(kPropertyLineMark);
    AppendSearchFolded(line, out);
    out.push_back('\n');
  }
}

void AppendItemSearchText(const TD2Item& item, std::string& out) {
  char number[16];
  const auto written = std::to_chars(number, number + sizeof number, item.Index);
  out.append(number, written.ptr);
  out.push_back('\n');
  AppendItemOwnSearchText(item, out);
  out.append(ItemLabelSearchText(ClassTag(item), item.Quality));
}

ItemSearchQuery::ItemSearchQuery(std::string_view typed) : parsed_(ParseSearch(typed)) {
  held_.resize(parsed_.Holders.size());
}

void ItemSearchQuery::ResolveHolders(const std::vector<std::unique_ptr<TChar>>& characters) {
  for (std::size_t i = 0; i < parsed_.Holders.size(); ++i) held_[i] = HeldNumberSet(characters, parsed_.Holders[i]);
  CheckHolderNames(characters);
}

void ItemSearchQuery::CheckHolderNames(const std::vector<std::unique_ptr<TChar>>& characters) {
  holderProblem_.clear();
  for (std::size_t i = 0; i < parsed_.Holders.size(); ++i) {
    const std::string& name = parsed_.Holders[i];
    if (name.empty() || SomeCharacterNamed(characters, name)) continue;
    holderProblem_ = "\xAB " + parsed_.HolderTexts[i] + " \xBB : aucun perso ne porte ce nom";
    if (const TChar* closest = ClosestCharacter(characters, name)) {
      holderProblem_ += " ; le plus proche : \xAB " + (closest->Name.empty() ? "(sans nom)" : closest->Name) + " \xBB";
    }
    return;
  }
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
  CheckHolderNames(characters);
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
  return Matches(SearchedItem{item.Index, item.Price, text, &item, {}});
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
  char number[16];
  std::string_view numberText;
  if (!item.Labels.empty() && !parsed_.Words.empty()) {
    const auto written = std::to_chars(number, number + sizeof number, item.Number);
    numberText = std::string_view(number, static_cast<std::size_t>(written.ptr - number));
  }
  for (const std::string& word : parsed_.Words) {
    if (item.Text.find(word) == std::string_view::npos && item.Labels.find(word) == std::string_view::npos &&
        numberText.find(word) == std::string_view::npos) {
      return false;
    }
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
