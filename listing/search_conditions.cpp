#include "listing/search_conditions.h"

#include <algorithm>
#include <array>
#include <memory>
#include <typeinfo>
#include <utility>

#include "listing/item_search.h"

namespace kistora {

namespace {

constexpr std::array<std::pair<std::string_view, ItemField>, 21> kFieldWords = {{
    {"numero", ItemField::Number},
    {"num", ItemField::Number},
    {"prix", ItemField::Price},
    {"niveau", ItemField::Level},
    {"niv", ItemField::Level},
    {"clvl", ItemField::Level},
    {"lvl", ItemField::Level},
    {"force", ItemField::Strength},
    {"str", ItemField::Strength},
    {"dex", ItemField::Dexterity},
    {"dexterite", ItemField::Dexterity},
    {"durabilite", ItemField::Durability},
    {"dur", ItemField::Durability},
    {"durabilitemax", ItemField::MaxDurability},
    {"durmax", ItemField::MaxDurability},
    {"defense", ItemField::Defence},
    {"def", ItemField::Defence},
    {"blocage", ItemField::Block},
    {"parade", ItemField::Block},
    {"degats", ItemField::MaxDamage},
    {"dmg", ItemField::MaxDamage},
}};
constexpr std::array<std::pair<std::string_view, ItemField>, 4> kDamageWords = {{
    {"degatsmin", ItemField::MinDamage},
    {"dmgmin", ItemField::MinDamage},
    {"degatsmax", ItemField::MaxDamage},
    {"dmgmax", ItemField::MaxDamage},
}};

// Numbers beyond this are no item value; refusing them keeps every bound arithmetic exact.
constexpr std::int64_t kLargestNumber = 999'999'999'999'999;

bool IsSpace(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b <= 0x20 || b == 0x7F || b == 0xA0;
}
bool IsOperatorChar(char c) { return c == '<' || c == '>' || c == '='; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One piece of the typed text: a word (quotes removed) or a run of operator characters.
struct Lexeme {
  bool IsOperator = false;
  bool Quoted = false;  // the word begins with a quoted part
  std::string Text;
  std::size_t Begin = 0;  // span in the typed text, quotes included
  std::size_t End = 0;
  std::size_t Parts = 0;  // for digit groups joined into one lexeme: the index of the lexeme after them
};

std::vector<Lexeme> Lex(std::string_view typed) {
  std::vector<Lexeme> lexemes;
  bool glued = false;  // nothing but a quote between this piece and the last
  std::size_t i = 0;
  while (i < typed.size()) {
    const char c = typed[i];
    if (IsSpace(c)) {
      glued = false;
      ++i;
      continue;
    }
    const std::size_t begin = i;
    if (IsOperatorChar(c)) {
      while (i < typed.size() && IsOperatorChar(typed[i])) ++i;
      lexemes.push_back({true, false, std::string(typed.substr(begin, i - begin)), begin, i});
      glued = false;
      continue;
    }
    std::string text;
    bool quoted = false;
    if (c == '"') {
      // An unclosed quote runs to the end: the player is still typing it.
      const std::size_t close = typed.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? typed.size() : close;
      text = typed.substr(i + 1, end - i - 1);
      quoted = true;
      i = close == std::string_view::npos ? typed.size() : close + 1;
    } else {
      while (i < typed.size() && !IsSpace(typed[i]) && !IsOperatorChar(typed[i]) && typed[i] != '"') ++i;
      text = typed.substr(begin, i - begin);
    }
    // Pieces with no space between them make one word: perso:"Mule 01".
    if (glued && !lexemes.empty() && !lexemes.back().IsOperator) {
      lexemes.back().Text += text;
      lexemes.back().End = i;
    } else {
      lexemes.push_back({false, quoted, std::move(text), begin, i});
    }
    glued = true;
  }
  return lexemes;
}

// An optional sign, decimal digits, an optional "%".
enum class NumberRead { Ok, NotANumber, TooLarge };
NumberRead ReadNumber(std::string_view text, std::int64_t& value) {
  if (!text.empty() && text.back() == '%') text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return NumberRead::NotANumber;
  std::int64_t v = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return NumberRead::NotANumber;
    if (v > kLargestNumber / 10) return NumberRead::TooLarge;
    v = v * 10 + (c - '0');
  }
  if (v > kLargestNumber) return NumberRead::TooLarge;
  value = negative ? -v : v;
  return NumberRead::Ok;
}

// "A..B": what stands on each side of the first "..".
struct RangeText {
  std::string_view Low, High;
};
std::optional<RangeText> SplitRange(std::string_view text) {
  const std::size_t dots = text.find("..");
  if (dots == std::string_view::npos) return std::nullopt;
  return RangeText{text.substr(0, dots), text.substr(dots + 2)};
}
// Whether a word is meant as a range (and is then read as one, or reported):
// it holds ".." with nothing or a number before it. "etc..." stays a word.
bool LooksLikeRange(const Lexeme& word) {
  if (word.IsOperator || word.Quoted) return false;
  const auto range = SplitRange(word.Text);
  std::int64_t ignored = 0;
  return range && (range->Low.empty() || ReadNumber(range->Low, ignored) != NumberRead::NotANumber);
}

// Whether text is where a number was meant: a digit, a sign and a digit, or a range's "..".
bool StartsLikeNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  return !text.empty() && (IsDigit(text.front()) || text.starts_with(".."));
}

// The run of digits text ends with.
std::size_t TrailingDigits(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && IsDigit(text[text.size() - 1 - n])) ++n;
  return n;
}

// Whether text begins with a group of exactly three digits ("000", "000..2", "000%").
bool StartsWithGroup(std::string_view text) {
  return text.size() >= 3 && IsDigit(text[0]) && IsDigit(text[1]) && IsDigit(text[2]) &&
         (text.size() == 3 || !IsDigit(text[3]));
}

bool AllDigits(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit); }

class Parser {
 public:
  explicit Parser(std::string_view typed) : typed_(typed), lexemes_(Lex(typed)) {}

  ParsedSearch Parse() {
    for (std::size_t i = 0; i < lexemes_.size();) i = ParseAt(i);
    return std::move(parsed_);
  }

 private:
  // Reads the condition or word that starts at lexeme i; returns the next one to read.
  std::size_t ParseAt(std::size_t i) {
    const Lexeme& lexeme = lexemes_[i];
    const Lexeme* next = i + 1 < lexemes_.size() ? &lexemes_[i + 1] : nullptr;
    if (lexeme.IsOperator) {
      const bool withNumber = next && !next->IsOperator;
      Report(lexeme.Begin, withNumber ? next->End : lexeme.End,
             "il manque le mot avant \xAB " + lexeme.Text + " \xBB (exemple : feu>=30)");
      return i + (withNumber ? 2 : 1);
    }
    if (next && next->IsOperator) return ParseComparison(i);
    if (next) {
      const Lexeme range = WithDigitGroups(i + 1);
      if (LooksLikeRange(range)) return ParseNumberAt(lexeme, range, "=", true);
    }
    if (const Lexeme range = WithDigitGroups(i); LooksLikeRange(range)) {
      Report(range.Begin, range.End, "il manque le mot avant l'intervalle (exemple : prix 100..500)");
      return range.Parts;
    }
    const std::string folded = SearchFolded(lexeme.Text);
    const std::string typed(typed_.substr(lexeme.Begin, lexeme.End - lexeme.Begin));
    if (!lexeme.Quoted && folded == "libre") {
      parsed_.Holders.emplace_back();
      parsed_.HolderTexts.push_back(typed);
    } else if (!lexeme.Quoted && folded.starts_with("perso:")) {
      const std::string name = Trimmed(folded.substr(6));
      if (name.empty()) {
        Report(lexeme.Begin, lexeme.End, "il manque le nom du perso (exemple : perso:Mule01)");
      } else {
        parsed_.Holders.push_back(name);
        parsed_.HolderTexts.push_back(typed);
      }
    } else if (!Trimmed(folded).empty()) {
      parsed_.Words.push_back(lexeme.Quoted ? folded : Trimmed(folded));
    }
    return i + 1;
  }

  // WORD OP NUMBER (or WORD = A..B).
  std::size_t ParseComparison(std::size_t i) {
    const Lexeme& word = lexemes_[i];
    const Lexeme& op = lexemes_[i + 1];
    const Lexeme* number = i + 2 < lexemes_.size() && !lexemes_[i + 2].IsOperator ? &lexemes_[i + 2] : nullptr;
    static constexpr std::string_view kOperators[] = {">=", "<=", ">", "<", "="};
    if (std::find(std::begin(kOperators), std::end(kOperators), op.Text) == std::end(kOperators)) {
      Report(word.Begin, number ? number->End : op.End,
             "\xAB " + op.Text + " \xBB n'est pas un op\xE9rateur (>=, <=, >, <, =)");
      return i + (number ? 3 : 2);
    }
    // A word apart from the operator that is no number is the next word, not this condition's.
    if (!number || (number->Begin > op.End && !StartsLikeNumber(number->Text))) {
      Report(word.Begin, op.End, "il manque un nombre apr\xE8s \xAB " + op.Text + " \xBB");
      return i + 2;
    }
    return ParseNumberAt(word, WithDigitGroups(i + 2), op.Text, op.Text == "=");
  }

  // The condition of word on bounds (the lexemes up to bounds.Parts), and a
  // run of digits just after them that is no group of three; returns the next lexeme to read.
  std::size_t ParseNumberAt(const Lexeme& word, const Lexeme& bounds, const std::string& op, bool rangeAllowed) {
    const std::size_t next = bounds.Parts;
    if (next < lexemes_.size() && SeparatedByOneSpace(lexemes_[next - 1], lexemes_[next]) &&
        AllDigits(lexemes_[next].Text) && !lexemes_[next].Quoted) {
      Report(word.Begin, lexemes_[next].End,
             "les chiffres d'un nombre se groupent par trois (exemple : 1 000 ou 1000)");
      return next + 1;
    }
    ParseBounds(word, bounds, op, rangeAllowed);
    return next;
  }

  bool SeparatedByOneSpace(const Lexeme& before, const Lexeme& after) const {
    return after.Begin == before.End + 1 && (typed_[before.End] == ' ' || typed_[before.End] == '\xA0');
  }

  // The lexeme at i with the groups of three digits that follow it joined, as
  // the program writes numbers ("1 000..2 000", a space or a no-break space
  // between groups); Parts is the index of the lexeme after them.
  Lexeme WithDigitGroups(std::size_t i) const {
    Lexeme joined = lexemes_[i];
    std::size_t j = i + 1;
    if (!joined.IsOperator && !joined.Quoted) {
      for (; j < lexemes_.size(); ++j) {
        const Lexeme& group = lexemes_[j];
        // The digits before the space: a number's first group (one to three
        // digits) or a group joined already.
        const std::size_t lead = TrailingDigits(lexemes_[j - 1].Text);
        if (group.IsOperator || group.Quoted || !SeparatedByOneSpace(lexemes_[j - 1], group) || lead == 0 || lead > 3 ||
            !StartsWithGroup(group.Text))
          break;
        joined.Text += group.Text;
        joined.End = group.End;
      }
    }
    joined.Parts = j;
    return joined;
  }

  // The condition of word on bounds: a number under op, or a range A..B when allowed.
  void ParseBounds(const Lexeme& word, const Lexeme& bounds, const std::string& op, bool rangeAllowed) {
    ValueCondition condition;
    condition.Word = SearchFolded(word.Text);
    if (!word.Quoted) condition.Field = ItemFieldNamed(condition.Word);
    if (condition.Word.empty()) {
      Report(word.Begin, bounds.End, "il manque le mot avant \xAB " + op + " \xBB (exemple : feu>=30)");
      return;
    }
    const auto range = rangeAllowed ? SplitRange(bounds.Text) : std::nullopt;
    if (range) {
      std::int64_t low = 0;
      std::int64_t high = 0;
      if (!ReadBound(word, bounds, range->Low, low) || !ReadBound(word, bounds, range->High, high)) return;
      condition.Low = std::min(low, high);
      condition.High = std::max(low, high);
    } else {
      std::int64_t n = 0;
      if (!ReadBound(word, bounds, bounds.Text, n)) return;
      if (op == ">=" || op == "=") condition.Low = n;
      if (op == "<=" || op == "=") condition.High = n;
      if (op == ">") condition.Low = n + 1;
      if (op == "<") condition.High = n - 1;
    }
    parsed_.Values.push_back(std::move(condition));
  }

  bool ReadBound(const Lexeme& word, const Lexeme& bounds, std::string_view text, std::int64_t& value) {
    switch (ReadNumber(text, value)) {
      case NumberRead::Ok:
        return true;
      case NumberRead::TooLarge:
        Report(word.Begin, bounds.End, "\xAB " + std::string(text) + " \xBB est un nombre trop grand");
        return false;
      case NumberRead::NotANumber:
        break;
    }
    if (SplitRange(bounds.Text)) {
      // A range takes no operator but "=": "prix 100..500", "prix=100..500".
      Report(word.Begin, bounds.End,
             "un intervalle s'\xE9"
             "crit A..B, sans autre op\xE9rateur (exemple : prix 100..500)");
    } else {
      Report(word.Begin, bounds.End, "\xAB " + std::string(text) + " \xBB n'est pas un nombre");
    }
    return false;
  }

  void Report(std::size_t begin, std::size_t end, const std::string& why) {
    if (!parsed_.Problem.empty()) return;  // the first one is enough to fix first
    parsed_.Problem = "\xAB " + std::string(typed_.substr(begin, end - begin)) + " \xBB : " + why;
  }

  static std::string Trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
  }

  std::string_view typed_;
  std::vector<Lexeme> lexemes_;
  ParsedSearch parsed_;
};

// Which class-specific fields an item's class has.
struct ClassFields {
  bool Defence = false;
  bool Block = false;
  bool Damage = false;
};

ClassFields FieldsOfClass(const TD2Item& item) {
  return {dynamic_cast<const TD2DefItem*>(&item) != nullptr, dynamic_cast<const TD2Shield*>(&item) != nullptr,
          dynamic_cast<const TD2Weapon*>(&item) != nullptr};
}

// The same found by the item's exact class among those the program creates:
// a few pointer comparisons, where a dynamic_cast costs as much as the rest of
// a condition on a million items.
ClassFields FieldsOf(const TD2Item& item) {
  static const std::vector<std::pair<const std::type_info*, ClassFields>> kKnown = [] {
    std::vector<std::pair<const std::type_info*, ClassFields>> known;
    for (std::uint8_t tag = 0; tag < 12; ++tag) {
      const std::unique_ptr<TD2Item> sample = CreateItemFromTag(tag);
      const TD2Item& ref = *sample;
      known.emplace_back(&typeid(ref), FieldsOfClass(ref));
    }
    return known;
  }();
  const std::type_info* type = &typeid(item);
  for (const auto& [known, fields] : kKnown) {
    if (known == type) return fields;
  }
  return FieldsOfClass(item);  // a class the program does not create
}

// Whether a number of line (a folded magic property line) lies in the bounds.
bool LineHasNumberIn(std::string_view line, const ValueCondition& condition) {
  for (std::size_t i = 0; i < line.size();) {
    if (!IsDigit(line[i])) {
      ++i;
      continue;
    }
    const bool negative = i > 0 && line[i - 1] == '-' && (i < 2 || !IsDigit(line[i - 2]));
    std::int64_t v = 0;
    for (; i < line.size() && IsDigit(line[i]); ++i) v = std::min(v * 10 + (line[i] - '0'), kLargestNumber + 1);
    if (condition.Admits(negative ? -v : v)) return true;
  }
  return false;
}

}  // namespace

std::optional<ItemField> ItemFieldNamed(std::string_view foldedWord) {
  for (const auto& [word, field] : kFieldWords) {
    if (word == foldedWord) return field;
  }
  for (const auto& [word, field] : kDamageWords) {
    if (word == foldedWord) return field;
  }
  return std::nullopt;
}

std::optional<std::int64_t> ItemFieldValue(const TD2Item& item, ItemField field) {
  switch (field) {
    case ItemField::Number:
      return item.Index;
    case ItemField::Price:
      return item.Price;
    case ItemField::Level:
      return item.CLvl;
    case ItemField::Strength:
      return item.Str;
    case ItemField::Dexterity:
      return item.Dex;
    case ItemField::Durability:
      return item.Dur;
    case ItemField::MaxDurability:
      return item.MaxDur;
    case ItemField::Defence:
      if (!FieldsOf(item).Defence) return std::nullopt;
      return static_cast<const TD2DefItem&>(item).Def;
    case ItemField::Block:
      if (!FieldsOf(item).Block) return std::nullopt;
      return static_cast<const TD2Shield&>(item).Parade;
    case ItemField::MinDamage:
    case ItemField::MaxDamage: {
      if (!FieldsOf(item).Damage) return std::nullopt;
      const auto& weapon = static_cast<const TD2Weapon&>(item);
      return field == ItemField::MinDamage ? weapon.MinDmg : weapon.MaxDmg;
    }
  }
  return std::nullopt;
}

ParsedSearch ParseSearch(std::string_view typed) { return Parser(typed).Parse(); }

bool PropertyLinesHold(std::string_view searchText, const ValueCondition& condition) {
  const std::size_t lines = searchText.find(kPropertyLineMark);
  if (lines == std::string_view::npos || condition.Word.empty()) return false;
  for (std::size_t hit = searchText.find(condition.Word, lines); hit != std::string_view::npos;) {
    const std::size_t start = searchText.rfind(kPropertyLineMark, hit) + 1;
    std::size_t end = searchText.find('\n', hit);
    if (end == std::string_view::npos) end = searchText.size();
    if (LineHasNumberIn(searchText.substr(start, end - start), condition)) return true;
    hit = searchText.find(condition.Word, end);
  }
  return false;
}

}  // namespace kistora
