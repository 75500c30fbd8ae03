#include "listing/completion_tally.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <utility>

namespace kistora {

namespace {

// Compaction only pays once this many unused texts or keys piled up.
constexpr std::size_t kCompactFrom = 1024;

}  // namespace

std::uint32_t CompletionTally::IdTable::HashOf(std::string_view text) {
  const std::uint64_t hash = std::hash<std::string_view>()(text);
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

template <class Lookup>
std::int64_t CompletionTally::IdTable::Find(std::string_view text, std::uint32_t hash, Lookup textOf) const {
  if (slots_.empty()) return -1;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const Slot& held = slots_[slot];
    if (held.Id == 0) return -1;
    if (held.Hash == hash && textOf(held.Id - 1) == text) return held.Id - 1;
  }
}

void CompletionTally::IdTable::Place(Slot slot) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = slot.Hash & mask;
  while (slots_[at].Id != 0) at = (at + 1) & mask;
  slots_[at] = slot;
}

void CompletionTally::IdTable::Insert(std::uint32_t hash, std::uint32_t id, std::size_t count) {
  if (count * 2 > slots_.size()) {
    const std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(64, old.size() * 2), Slot{});
    for (const Slot& held : old) {
      if (held.Id != 0) Place(held);
    }
  }
  Place({id + 1, hash});
}

void CompletionTally::Clear() {
  texts_.clear();
  keyText_.clear();
  entries_.clear();
  keys_.clear();
  entryIds_.Clear();
  keyIds_.Clear();
  unusedKeys_ = 0;
  byteCounts_.fill(0);
}

std::string_view CompletionTally::TextOf(std::uint32_t entry) const {
  return std::string_view(texts_).substr(entries_[entry].Start, entries_[entry].Length);
}

std::string_view CompletionTally::KeyOf(std::uint32_t key) const {
  return std::string_view(keyText_).substr(keys_[key].Start + 1, keys_[key].Length);
}

std::uint32_t CompletionTally::KeyFor(std::string_view keyText) {
  const auto keyOf = [this](std::uint32_t id) { return KeyOf(id); };
  const std::uint32_t hash = IdTable::HashOf(keyText);
  if (const std::int64_t found = keyIds_.Find(keyText, hash, keyOf); found >= 0) {
    return static_cast<std::uint32_t>(found);
  }
  const auto id = static_cast<std::uint32_t>(keys_.size());
  Key key;
  key.Start = static_cast<std::uint32_t>(keyText_.size());
  key.Length = static_cast<std::uint32_t>(keyText.size());
  keyText_.push_back(' ');
  keyText_.append(keyText);
  keyText_.push_back('\n');
  for (const char c : keyText) ++byteCounts_[static_cast<unsigned char>(c)];
  keys_.push_back(key);
  ++unusedKeys_;
  keyIds_.Insert(hash, id, keys_.size());
  return id;
}

void CompletionTally::Count(std::string_view text, int delta) {
  const auto textOf = [this](std::uint32_t id) { return TextOf(id); };
  const std::uint32_t hash = IdTable::HashOf(text);
  std::int64_t found = entryIds_.Find(text, hash, textOf);
  if (found < 0) {
    if (delta <= 0) return;
    const std::string keyText = makeKey_(text);
    if (keyText.empty()) return;
    const std::uint32_t key = KeyFor(keyText);
    const auto id = static_cast<std::uint32_t>(entries_.size());
    Entry entry;
    entry.Start = static_cast<std::uint32_t>(texts_.size());
    entry.Length = static_cast<std::uint32_t>(text.size());
    entry.Key = key;
    entry.NextOfKey = keys_[key].FirstEntry;
    texts_.append(text);
    entries_.push_back(entry);
    if (keys_[key].FirstEntry == 0) keys_[key].BestEntry = id;
    keys_[key].FirstEntry = id + 1;
    entryIds_.Insert(hash, id, entries_.size());
    found = id;
  }
  const auto id = static_cast<std::uint32_t>(found);
  Entry& entry = entries_[id];
  Key& key = keys_[entry.Key];
  if (delta > 0) {
    if (key.Uses == 0) --unusedKeys_;
    entry.Uses += static_cast<std::uint32_t>(delta);
    key.Uses += static_cast<std::uint32_t>(delta);
    if (BetterEntry(id, key.BestEntry)) key.BestEntry = id;
    return;
  }
  const auto less = std::min<std::uint32_t>(entry.Uses, static_cast<std::uint32_t>(-delta));
  if (less == 0) return;
  entry.Uses -= less;
  key.Uses -= less;
  if (key.Uses == 0) ++unusedKeys_;
  if (key.BestEntry == id) ChooseBestEntry(key);
  CompactWhenHalfUnused();
}

void CompletionTally::ChooseBestEntry(Key& key) {
  for (std::uint32_t next = key.FirstEntry; next != 0; next = entries_[next - 1].NextOfKey) {
    if (BetterEntry(next - 1, key.BestEntry)) key.BestEntry = next - 1;
  }
}

bool CompletionTally::BetterEntry(std::uint32_t entry, std::uint32_t other) const {
  // The most used text; of equals, the first in byte order, whatever order they were counted in.
  if (entries_[entry].Uses != entries_[other].Uses) return entries_[entry].Uses > entries_[other].Uses;
  return TextOf(entry) < TextOf(other);
}

void CompletionTally::CompactWhenHalfUnused() {
  if (unusedKeys_ < kCompactFrom || unusedKeys_ * 2 < keys_.size()) return;
  std::vector<std::pair<std::string, std::uint32_t>> used;
  for (std::uint32_t id = 0; id < entries_.size(); ++id) {
    if (entries_[id].Uses > 0) used.emplace_back(std::string(TextOf(id)), entries_[id].Uses);
  }
  Clear();
  for (const auto& [text, uses] : used) Count(text, static_cast<int>(uses));
}

std::size_t CompletionTally::KeyHolding(std::size_t position, std::size_t from) const {
  // Galloping from the last key found: hits come in text order, mostly close together.
  std::size_t step = 1;
  std::size_t low = from;
  std::size_t high = from + 1;
  while (high < keys_.size() && keys_[high].Start <= position) {
    low = high;
    step *= 2;
    high = std::min(keys_.size(), high + step);
  }
  const auto holder = std::upper_bound(keys_.begin() + static_cast<std::ptrdiff_t>(low),
                                       keys_.begin() + static_cast<std::ptrdiff_t>(high), position,
                                       [](std::size_t at, const Key& k) { return at < k.Start; });
  return static_cast<std::size_t>(holder - keys_.begin()) - 1;
}

std::vector<CompletionTally::Found> CompletionTally::Find(std::string_view typedKey, std::size_t limit) const {
  std::vector<Found> found;
  if (typedKey.empty() || limit == 0) return found;
  // Every key whose text holds typedKey just after a space: at its start or at one of its words.
  std::vector<std::uint32_t> matches;
  // A space and the typed key. The search jumps (memchr) from one place of the
  // needle's rarest byte to the next and compares the needle around it there:
  // a million keys hold far fewer "k" than "e".
  const std::string needle = " " + std::string(typedKey);
  std::size_t anchor = 1;
  for (std::size_t i = 2; i < needle.size(); ++i) {
    if (byteCounts_[static_cast<unsigned char>(needle[i])] < byteCounts_[static_cast<unsigned char>(needle[anchor])])
      anchor = i;
  }
  const char* const text = keyText_.data();
  const std::size_t size = keyText_.size();
  std::size_t holder = 0;
  for (std::size_t from = anchor; from < size;) {
    const void* place = std::memchr(text + from, needle[anchor], size - from);
    if (!place) break;
    const std::size_t start = static_cast<std::size_t>(static_cast<const char*>(place) - text) - anchor;
    if (start + needle.size() > size || std::memcmp(text + start, needle.data(), needle.size()) != 0) {
      from = start + anchor + 1;
      continue;
    }
    holder = KeyHolding(start, holder);
    if (keys_[holder].Uses > 0) matches.push_back(static_cast<std::uint32_t>(holder));
    from = keys_[holder].Start + keys_[holder].Length + 2 + anchor;  // past this key's '\n'
  }
  const auto ranks = [this](std::uint32_t a, std::uint32_t b) {
    if (keys_[a].Uses != keys_[b].Uses) return keys_[a].Uses > keys_[b].Uses;
    return KeyOf(a) < KeyOf(b);
  };
  const std::size_t kept = std::min(limit, matches.size());
  std::partial_sort(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(kept), matches.end(), ranks);
  for (std::size_t i = 0; i < kept; ++i) {
    const Key& match = keys_[matches[i]];
    found.push_back({std::string(TextOf(match.BestEntry)), std::string(KeyOf(matches[i])), match.Uses});
  }
  return found;
}

}  // namespace kistora
