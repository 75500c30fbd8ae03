#include "listing/item_completion.h"

#include <algorithm>

#include "listing/item_search.h"

namespace kistora {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text folded as the search folds, apostrophes read as spaces (so that
// "ange" starts a word of "l'Ange"), spaces run together, and with
// numbersAsHash every run of digits as one "#". keepEnd keeps one space at the
// end, as a player who typed a whole word and a space means it.
std::string CompletionKey(std::string_view text, bool numbersAsHash, bool keepEnd) {
  const std::string folded = SearchFolded(text);
  std::string key;
  key.reserve(folded.size());
  bool inNumber = false;
  for (char c : folded) {
    if (c == '\'' || c == '\x91' || c == '\x92' || c == '`') c = ' ';
    const bool digit = numbersAsHash && IsDigit(c);
    if (c == ' ') {
      if (!key.empty() && key.back() != ' ') key.push_back(' ');
    } else if (!digit) {
      key.push_back(c);
    } else if (!inNumber) {
      key.push_back('#');
    }
    inNumber = digit;
  }
  if (!keepEnd && !key.empty() && key.back() == ' ') key.pop_back();
  return key;
}

std::string NameKey(std::string_view name) { return CompletionKey(name, false, false); }
std::string LineKey(std::string_view line) { return CompletionKey(line, true, false); }

// The runs of digits of text, in order.
std::vector<std::string_view> NumbersOf(std::string_view text) {
  std::vector<std::string_view> numbers;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsDigit(text[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    numbers.push_back(text.substr(start, i - start));
  }
  return numbers;
}

}  // namespace

std::string PropertyPattern(std::string_view line) {
  std::string pattern;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (!IsDigit(line[i])) {
      pattern.push_back(line[i]);
    } else if (i == 0 || !IsDigit(line[i - 1])) {
      pattern.push_back('#');
    }
  }
  return pattern;
}

FilledLine FillPropertyLine(std::string_view line, std::string_view typed) {
  const std::vector<std::string_view> typedNumbers = NumbersOf(typed);
  FilledLine filled;
  bool selected = false;
  std::size_t number = 0;
  for (std::size_t i = 0; i < line.size();) {
    if (!IsDigit(line[i])) {
      filled.Text.push_back(line[i++]);
      continue;
    }
    const std::size_t start = i;
    while (i < line.size() && IsDigit(line[i])) ++i;
    const std::string_view digits = number < typedNumbers.size() ? typedNumbers[number] : line.substr(start, i - start);
    if (number >= typedNumbers.size() && !selected) {
      filled.SelectionStart = filled.Text.size();
      filled.SelectionLength = digits.size();
      selected = true;
    }
    filled.Text.append(digits);
    ++number;
  }
  if (!selected) filled.SelectionStart = filled.Text.size();
  return filled;
}

ItemCompletion::ItemCompletion() : names_(NameKey), lines_(LineKey) {}

void ItemCompletion::Build(const ItemVector& items) {
  Start();
  CountMore(items, items.size());
}

void ItemCompletion::Start() {
  names_.Clear();
  lines_.Clear();
  counted_.clear();
  started_ = true;
  complete_ = false;
}

bool ItemCompletion::CountMore(const ItemVector& items, std::size_t count) {
  if (!started_) return false;
  if (counted_.empty()) counted_.reserve(items.size());
  const std::size_t end = counted_.size() + std::min(count, items.size() - std::min(items.size(), counted_.size()));
  for (std::size_t i = counted_.size(); i < end; ++i) {
    CountItem(items[i].get(), 1);
    counted_.push_back(items[i]);
  }
  complete_ = counted_.size() == items.size();
  return complete_;
}

void ItemCompletion::Follow(const CatalogueChange& change, const ItemVector& items) {
  if (!started_) return;
  const auto position = static_cast<std::size_t>(change.Position);
  const std::size_t counted = counted_.size();
  bool followed = false;
  switch (change.Kind) {
    case ChangeKind::ItemAdded:
      // Appended at the end: counted now if every item before it is, else later.
      followed = change.Position >= 0 && position + 1 == items.size() && position >= counted;
      if (followed && position == counted) {
        CountItem(items[position].get(), 1);
        counted_.push_back(items[position]);
      }
      break;
    case ChangeKind::ItemModified:
      followed = change.Position >= 0 && position < items.size();
      if (followed && position < counted) {
        CountItem(counted_[position].get(), -1);
        CountItem(items[position].get(), 1);
        counted_[position] = items[position];
      }
      break;
    case ChangeKind::ItemDeleted:
      followed = change.Position >= 0 && position <= items.size();
      if (followed && position < counted) {
        CountItem(counted_[position].get(), -1);
        counted_.erase(counted_.begin() + change.Position);
      }
      break;
    case ChangeKind::Reset:
      break;
    default:
      return;  // characters and inventories: no name or line changes
  }
  // A reset, or a change the counted items do not match: counted again from the start.
  if (!followed || counted_.size() > items.size()) Start();
  complete_ = counted_.size() == items.size();
}

void ItemCompletion::CountItem(const TD2Item* item, int delta) {
  if (!item) return;
  names_.Count(item->Name, delta);
  for (const std::string_view line : item->MagicProps) lines_.Count(line, delta);
}

std::vector<NameProposal> ItemCompletion::Names(std::string_view typed, std::size_t limit) const {
  std::vector<NameProposal> proposals;
  for (CompletionTally::Found& found : names_.Find(CompletionKey(typed, false, true), limit)) {
    proposals.push_back({std::move(found.Text), found.Uses});
  }
  return proposals;
}

std::vector<PropertyProposal> ItemCompletion::PropertyLines(std::string_view typedLine, std::size_t limit) const {
  std::vector<PropertyProposal> proposals;
  for (CompletionTally::Found& found : lines_.Find(CompletionKey(typedLine, true, true), limit)) {
    proposals.push_back({PropertyPattern(found.Text), std::move(found.Text), found.Uses});
  }
  return proposals;
}

}  // namespace kistora
