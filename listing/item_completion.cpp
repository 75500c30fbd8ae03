#include "listing/item_completion.h"

#include <algorithm>

#include "listing/completion_key.h"

namespace kistora {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

ItemCompletion::ItemCompletion() : lines_(LineKey) {}

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

void ItemCompletion::Count(std::size_t position) {
  names_.Insert(counted_, position);
  CountLines(counted_[position].get(), 1);
}

void ItemCompletion::Uncount(std::size_t position) {
  names_.Erase(counted_, position);
  CountLines(counted_[position].get(), -1);
}

void ItemCompletion::CheckComplete(const ItemVector& items) {
  complete_ = counted_.size() == items.size();
  if (complete_) names_.Complete(counted_);
}

bool ItemCompletion::CountMore(const ItemVector& items, std::size_t count) {
  if (!started_) return false;
  if (counted_.empty()) counted_.reserve(items.size());
  const std::size_t end = counted_.size() + std::min(count, items.size() - std::min(items.size(), counted_.size()));
  for (std::size_t i = counted_.size(); i < end; ++i) {
    counted_.push_back(items[i]);
    Count(i);
  }
  CheckComplete(items);
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
        counted_.push_back(items[position]);
        Count(position);
      }
      break;
    case ChangeKind::ItemRestored:
      // Put back in its place (a deletion taken back): counted now if the items before it are.
      followed = change.Position >= 0 && position < items.size();
      if (followed && position <= counted) {
        counted_.insert(counted_.begin() + change.Position, items[position]);
        Count(position);
      }
      break;
    case ChangeKind::ItemModified:
      followed = change.Position >= 0 && position < items.size();
      if (followed && position < counted) {
        Uncount(position);
        counted_[position] = items[position];
        Count(position);
      }
      break;
    case ChangeKind::ItemDeleted:
      followed = change.Position >= 0 && position <= items.size();
      if (followed && position < counted) {
        Uncount(position);
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
  CheckComplete(items);
}

void ItemCompletion::CountLines(const TD2Item* item, int delta) {
  if (!item) return;
  for (const std::string_view line : item->MagicProps) lines_.Count(line, delta);
}

std::vector<NameProposal> ItemCompletion::Names(std::string_view typed, std::size_t limit) const {
  std::vector<NameProposal> proposals;
  if (!complete_) return proposals;
  for (CompletionTally::Found& found : names_.Find(counted_, CompletionKey(typed, false, true), limit)) {
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
