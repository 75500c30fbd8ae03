#include "listing/item_holders.h"

#include <algorithm>

#include "listing/item_search.h"

namespace kistora {

std::vector<ItemHolder> HoldersOf(const std::vector<std::unique_ptr<TChar>>& characters, std::int32_t number) {
  std::vector<ItemHolder> holders;
  for (std::size_t row = 0; row < characters.size(); ++row) {
    const TChar* character = characters[row].get();
    if (!character) continue;
    const auto count = std::count(character->Items.begin(), character->Items.end(), number);
    if (count > 0) holders.push_back({static_cast<int>(row), character->Name, static_cast<int>(count)});
  }
  return holders;
}

std::string HeldByText(const std::vector<ItemHolder>& holders, std::size_t maxNames) {
  if (holders.empty()) return "D\xE9tenu par aucun perso";
  std::string text = "D\xE9tenu par ";
  const std::size_t named = holders.size() > maxNames ? std::max<std::size_t>(maxNames, 1) : holders.size();
  for (std::size_t i = 0; i < named; ++i) {
    if (i > 0) text += ", ";
    text += holders[i].Name.empty() ? "(sans nom)" : holders[i].Name;
    if (holders[i].Count > 1) text += " (" + std::to_string(holders[i].Count) + "\xD7)";
  }
  const std::size_t others = holders.size() - named;
  if (others == 1) text += " et 1 autre";
  if (others > 1) text += " et " + std::to_string(others) + " autres";
  return text;
}

bool CharacterNamed(std::string_view name, std::string_view foldedName) {
  std::string folded = SearchFolded(name);
  const auto notSpace = [](char c) { return c != ' '; };
  folded.erase(folded.begin(), std::find_if(folded.begin(), folded.end(), notSpace));
  folded.erase(std::find_if(folded.rbegin(), folded.rend(), notSpace).base(), folded.end());
  if (folded == foldedName) return true;
  folded.erase(std::remove(folded.begin(), folded.end(), ' '), folded.end());
  return folded == foldedName;
}

bool SomeCharacterNamed(const std::vector<std::unique_ptr<TChar>>& characters, std::string_view foldedName) {
  return std::any_of(characters.begin(), characters.end(),
                     [&](const auto& character) { return character && CharacterNamed(character->Name, foldedName); });
}

namespace {

// Letters to add, remove or change to turn a into b.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

const TChar* ClosestCharacter(const std::vector<std::unique_ptr<TChar>>& characters, std::string_view foldedName) {
  const TChar* closest = nullptr;
  std::size_t best = 0;
  for (const auto& character : characters) {
    if (!character) continue;
    std::string folded = SearchFolded(character->Name);
    std::size_t distance = EditDistance(folded, foldedName);
    folded.erase(std::remove(folded.begin(), folded.end(), ' '), folded.end());
    distance = std::min(distance, EditDistance(folded, foldedName));
    if (!closest || distance < best) {
      closest = character.get();
      best = distance;
    }
  }
  return closest;
}

namespace {

// Every entry of the characters CharacterNamed foldedName (any when empty), in inventory order.
std::vector<std::int32_t> EntriesOf(const std::vector<std::unique_ptr<TChar>>& characters,
                                    std::string_view foldedName) {
  std::vector<std::int32_t> numbers;
  for (const auto& character : characters) {
    if (!character || (!foldedName.empty() && !CharacterNamed(character->Name, foldedName))) continue;
    numbers.insert(numbers.end(), character->Items.begin(), character->Items.end());
  }
  return numbers;
}

void SortUnique(std::vector<std::int32_t>& numbers) {
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

}  // namespace

std::vector<std::int32_t> HeldNumbers(const std::vector<std::unique_ptr<TChar>>& characters,
                                      std::string_view foldedName) {
  std::vector<std::int32_t> numbers = EntriesOf(characters, foldedName);
  SortUnique(numbers);
  return numbers;
}

HeldNumberSet::HeldNumberSet(const std::vector<std::unique_ptr<TChar>>& characters, std::string_view foldedName) {
  std::vector<std::int32_t> numbers = EntriesOf(characters, foldedName);
  if (numbers.empty()) return;
  const auto [low, high] = std::minmax_element(numbers.begin(), numbers.end());
  const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(*high) - *low) + 1;
  // Bits while they take no more room than the numbers themselves would.
  if (span / 8 > numbers.size() * sizeof(std::int32_t)) {
    SortUnique(numbers);
    sorted_ = std::move(numbers);
    return;
  }
  low_ = *low;
  span_ = span;
  bits_.assign((span + 63) / 64, 0);
  for (const std::int32_t number : numbers) {
    const auto offset = static_cast<std::uint64_t>(static_cast<std::int64_t>(number) - low_);
    bits_[offset >> 6] |= std::uint64_t{1} << (offset & 63);
  }
}

std::vector<std::int32_t> HeldNumberSet::Sorted() const {
  if (bits_.empty()) return sorted_;
  std::vector<std::int32_t> numbers;
  for (std::uint64_t offset = 0; offset < span_; ++offset) {
    if ((bits_[offset >> 6] >> (offset & 63)) & 1)
      numbers.push_back(static_cast<std::int32_t>(low_ + static_cast<std::int64_t>(offset)));
  }
  return numbers;
}

}  // namespace kistora
