#include "listing/completion_names.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "listing/completion_key.h"

namespace kistora {

namespace {

constexpr unsigned char kLongRecord = 255;  // the record's length is a varint after this byte

void PutVarint(std::string& out, std::uint32_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<char>(value));
}

std::uint32_t GetVarint(const char*& at) {
  std::uint32_t value = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*at++);
    value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value;
  }
}

// One item's record in the records: where its code is, and where the next record starts.
struct Record {
  std::size_t CodeStart = 0;
  std::size_t CodeSize = 0;
  std::size_t Next = 0;
};

Record ReadRecord(std::string_view records, std::size_t offset) {
  const char* at = records.data() + offset;
  std::size_t size = static_cast<unsigned char>(*at++);
  if (size == kLongRecord) size = GetVarint(at);
  const auto start = static_cast<std::size_t>(at - records.data());
  return {start, size, start + size};
}

std::string MakeRecord(const std::string& code) {
  std::string record;
  if (code.size() < kLongRecord) {
    record.push_back(static_cast<char>(code.size()));
  } else {
    record.push_back(static_cast<char>(kLongRecord));
    PutVarint(record, static_cast<std::uint32_t>(code.size()));
  }
  return record + code;
}

// The word numbers of a code.
void DecodeNumbers(std::string_view code, std::vector<std::uint32_t>& numbers) {
  numbers.clear();
  const char* at = code.data();
  while (at < code.data() + code.size()) numbers.push_back(GetVarint(at));
}

std::size_t HashOf(std::string_view text) { return std::hash<std::string_view>()(text); }

// The typed key read as words: all but the last whole; the last whole only
// when a space follows it (then another word must follow it in the key), else
// the start of a word.
struct TypedWords {
  std::vector<std::uint32_t> Whole;  // the numbers of the whole words
  std::vector<char> LastStarts;      // by word number: the typed last word starts it (a byte each: quick to read)
  bool LastWhole = false;

  // Whether the key of code holds the typed words from one of its words on
  // (numbers: room for the code's word numbers).
  bool Match(std::string_view code, std::vector<std::uint32_t>& numbers) const {
    // First a word the last typed word starts (or is): most keys have none.
    bool last = false;
    for (const char* at = code.data(); !last && at < code.data() + code.size();) {
      const std::uint32_t number = GetVarint(at);
      last = LastWhole ? number == Whole.back() : LastStarts[number] != 0;
    }
    if (!last) return false;
    if (Whole.empty()) return true;  // one word typed, the most common look-up
    DecodeNumbers(code, numbers);
    return MatchNumbers(numbers);
  }

  bool MatchNumbers(const std::vector<std::uint32_t>& key) const {
    const std::size_t whole = LastWhole ? Whole.size() - 1 : Whole.size();
    const std::size_t typed = whole + 1;
    if (key.size() < typed) return false;
    for (std::size_t start = 0; start + typed <= key.size(); ++start) {
      std::size_t i = 0;
      while (i < whole && key[start + i] == Whole[i]) ++i;
      if (i < whole) continue;
      const std::uint32_t last = key[start + whole];
      if (LastWhole ? last == Whole.back() && start + typed < key.size() : LastStarts[last] != 0) return true;
    }
    return false;
  }
};

}  // namespace

void CompletionNames::Clear() {
  words_.clear();
  wordStarts_.assign(1, 0);
  wordSlots_.clear();
  records_.clear();
  recordCount_ = 0;
  marks_.assign(1, 0);
  shared_.clear();
  keyed_ = 0;
  complete_ = false;
}

std::uint32_t CompletionNames::WordNumber(std::string_view word) const {
  if (wordSlots_.empty()) return kNoWord;
  const std::size_t mask = wordSlots_.size() - 1;
  for (std::size_t slot = HashOf(word) & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = wordSlots_[slot];
    if (held == 0) return kNoWord;
    const std::uint32_t number = held - 1;
    if (std::string_view(words_).substr(wordStarts_[number], wordStarts_[number + 1] - wordStarts_[number]) == word)
      return number;
  }
}

std::string CompletionNames::Encode(std::string_view text) {
  std::string key(2 * text.size(), '\0');
  key.resize(WriteCompletionKey(text, false, false, key.data()));
  std::string code;
  for (std::size_t start = 0; start < key.size();) {
    std::size_t end = key.find(' ', start);
    if (end == std::string::npos) end = key.size();
    const std::string_view word = std::string_view(key).substr(start, end - start);
    std::uint32_t number = WordNumber(word);
    if (number == kNoWord) {
      number = static_cast<std::uint32_t>(wordStarts_.size() - 1);
      words_.append(word);
      wordStarts_.push_back(static_cast<std::uint32_t>(words_.size()));
      // At most half the slots used: grow, then place every number again.
      if (2 * wordStarts_.size() > wordSlots_.size()) {
        wordSlots_.assign(std::max<std::size_t>(64, 2 * wordSlots_.size()), 0);
        for (std::uint32_t n = 0; n + 1 < wordStarts_.size(); ++n) {
          const std::string_view w =
              std::string_view(words_).substr(wordStarts_[n], wordStarts_[n + 1] - wordStarts_[n]);
          std::size_t slot = HashOf(w) & (wordSlots_.size() - 1);
          while (wordSlots_[slot] != 0) slot = (slot + 1) & (wordSlots_.size() - 1);
          wordSlots_[slot] = n + 1;
        }
      } else {
        std::size_t slot = HashOf(word) & (wordSlots_.size() - 1);
        while (wordSlots_[slot] != 0) slot = (slot + 1) & (wordSlots_.size() - 1);
        wordSlots_[slot] = number + 1;
      }
    }
    PutVarint(code, number);
    start = end + 1;
  }
  return code;
}

std::string CompletionNames::Decode(std::string_view code) const {
  std::string key;
  DecodeInto(code, key);
  return key;
}

void CompletionNames::DecodeInto(std::string_view code, std::string& key) const {
  key.clear();
  const char* at = code.data();
  while (at < code.data() + code.size()) {
    const std::uint32_t number = GetVarint(at);
    if (!key.empty()) key.push_back(' ');
    key.append(words_, wordStarts_[number], wordStarts_[number + 1] - wordStarts_[number]);
  }
}

bool CompletionNames::KeyBefore(std::string_view code, std::string_view other) const {
  // Word by word, without making the key: most keys differ from other in their first letters.
  std::size_t at = 0;
  const char* next = code.data();
  for (bool firstWord = true; next < code.data() + code.size(); firstWord = false) {
    if (!firstWord) {
      if (at == other.size()) return false;  // other ended: it is the shorter
      if (other[at] != ' ') return static_cast<unsigned char>(' ') < static_cast<unsigned char>(other[at]);
      ++at;
    }
    const std::uint32_t number = GetVarint(next);
    const std::string_view word =
        std::string_view(words_).substr(wordStarts_[number], wordStarts_[number + 1] - wordStarts_[number]);
    const std::string_view part = other.substr(at, word.size());
    if (const int order = word.compare(part); order != 0 || part.size() < word.size()) {
      return order != 0 ? order < 0 : false;
    }
    at += word.size();
  }
  return at < other.size();
}

std::size_t CompletionNames::RecordAt(std::size_t position) const {
  if (position == recordCount_) return records_.size();  // at the end, as counting goes
  // From the last mark at or before position known right, marking the way.
  const std::size_t mark = std::min(position / kMarkEvery, marks_.size() - 1);
  std::size_t offset = marks_[mark];
  for (std::size_t i = mark * kMarkEvery; i < position; ++i) {
    offset = ReadRecord(Records(), offset).Next;
    if ((i + 1) % kMarkEvery == 0 && (i + 1) / kMarkEvery == marks_.size()) marks_.push_back(offset);
  }
  return offset;
}

void CompletionNames::Moved(std::size_t position) {
  // The records after position moved: so did the marks past it.
  marks_.resize(std::min(marks_.size(), position / kMarkEvery + 1));
}

void CompletionNames::Insert(const ItemVector& counted, std::size_t position) {
  const TD2Item* item = counted[position].get();
  const std::string code = item ? Encode(item->Name) : std::string();
  const std::string record = MakeRecord(code);
  if (records_.size() + record.size() > records_.capacity()) {
    // Room asked for as needed, never doubled: while counting, for the items
    // left at the rate so far; afterwards a sixteenth more.
    std::size_t room = records_.size() + records_.size() / 16 + record.size();
    if (!complete_ && position == recordCount_) {
      const std::size_t countedSoFar = std::max<std::size_t>(recordCount_, 1);
      const std::size_t rate = (records_.size() + countedSoFar - 1) / countedSoFar;
      const std::size_t left = counted.capacity() - std::min(counted.capacity(), position);
      room = records_.size() + record.size() + std::max<std::size_t>(rate, 1) * left * 17 / 16;
    }
    records_.reserve(room);
  }
  const auto at = records_.begin() + static_cast<std::ptrdiff_t>(RecordAt(position));
  records_.insert(at, record.begin(), record.end());
  Moved(position);
  ++recordCount_;
  if (code.empty()) return;
  ++keyed_;
  if (!complete_) return;
  if (const auto shared = shared_.find(code); shared != shared_.end()) {
    ++shared->second;
  } else if (code != lastErasedAlone_) {
    ShareIfOthersHave(code);
  }
  lastErasedAlone_.clear();
}

void CompletionNames::ShareIfOthersHave(const std::string& code) {
  std::uint32_t uses = 0;
  for (std::size_t offset = 0; offset < records_.size();) {
    const Record record = ReadRecord(Records(), offset);
    if (Records().substr(record.CodeStart, record.CodeSize) == code) ++uses;
    offset = record.Next;
  }
  if (uses > 1) shared_.emplace(code, uses);
}

void CompletionNames::Erase(const ItemVector& /*counted*/, std::size_t position) {
  const std::size_t offset = RecordAt(position);
  const Record record = ReadRecord(Records(), offset);
  const std::string code(Records().substr(record.CodeStart, record.CodeSize));
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(offset),
                 records_.begin() + static_cast<std::ptrdiff_t>(record.Next));
  Moved(position);
  --recordCount_;
  lastErasedAlone_.clear();
  if (code.empty()) return;
  --keyed_;
  if (!complete_) return;
  const auto shared = shared_.find(code);
  if (shared == shared_.end()) {
    lastErasedAlone_ = code;  // a modified item keeping its name stays alone: no pass to check
    return;
  }
  if (--shared->second < 2) shared_.erase(shared);  // one name left: used once, as any other
}

void CompletionNames::Complete(const ItemVector& /*counted*/) {
  if (complete_) return;
  complete_ = true;
  shared_.clear();
  // Codes met twice: first a bit per hash bucket, seen once and seen again
  // (a few bytes per name), then the names of the buckets seen again, by hash.
  std::size_t buckets = 1024;
  while (buckets < 8 * keyed_) buckets *= 2;
  std::vector<bool> seen(buckets);
  std::vector<bool> again(buckets);
  for (std::size_t offset = 0; offset < records_.size();) {
    const Record record = ReadRecord(Records(), offset);
    if (record.CodeSize > 0) {
      const std::size_t hash = HashOf(Records().substr(record.CodeStart, record.CodeSize));
      const std::size_t bucket = hash & (buckets - 1);
      if (seen[bucket]) again[bucket] = true;
      seen[bucket] = true;
    }
    offset = record.Next;
  }
  seen = {};
  // The candidates by hash and where their code is: equal codes end up side by side.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> candidates;  // hash, record offset
  for (std::size_t offset = 0; offset < records_.size();) {
    const Record record = ReadRecord(Records(), offset);
    const std::size_t hash = HashOf(Records().substr(record.CodeStart, record.CodeSize));
    if (record.CodeSize > 0 && again[hash & (buckets - 1)])
      candidates.emplace_back(static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(offset));
    offset = record.Next;
  }
  again = {};
  const auto codeAt = [this](std::uint32_t offset) {
    const Record record = ReadRecord(Records(), offset);
    return Records().substr(record.CodeStart, record.CodeSize);
  };
  std::sort(candidates.begin(), candidates.end(), [&](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : codeAt(a.second) < codeAt(b.second);
  });
  for (std::size_t i = 0; i < candidates.size();) {
    const std::string_view code = codeAt(candidates[i].second);
    std::size_t same = i + 1;
    while (same < candidates.size() && codeAt(candidates[same].second) == code) ++same;
    if (same - i > 1) shared_.emplace(std::string(code), static_cast<std::uint32_t>(same - i));
    i = same;
  }
}

std::vector<CompletionTally::Found> CompletionNames::Find(const ItemVector& counted, std::string_view typedKey,
                                                          std::size_t limit) const {
  std::vector<CompletionTally::Found> found;
  if (typedKey.empty() || limit == 0) return found;
  // The typed words by their numbers: a whole word no key has, or a start no word has, finds nothing.
  TypedWords typed;
  typed.LastWhole = typedKey.back() == ' ';
  std::string_view rest = typedKey;
  if (typed.LastWhole) rest.remove_suffix(1);
  for (std::size_t start = 0;;) {
    const std::size_t end = rest.find(' ', start);
    const std::string_view word =
        rest.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (end == std::string_view::npos && !typed.LastWhole) {
      typed.LastStarts.assign(wordStarts_.size() - 1, 0);
      bool any = false;
      for (std::uint32_t n = 0; n + 1 < wordStarts_.size(); ++n) {
        if (std::string_view(words_).substr(wordStarts_[n], wordStarts_[n + 1] - wordStarts_[n]).starts_with(word)) {
          typed.LastStarts[n] = 1;
          any = true;
        }
      }
      if (!any) return found;
      break;
    }
    const std::uint32_t number = WordNumber(word);
    if (number == kNoWord) return found;
    typed.Whole.push_back(number);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }

  thread_local std::vector<std::uint32_t> numbers;
  thread_local std::string key;
  // The keys several names share: their uses are known; their most used
  // spelling is read from the items met on the way (few).
  struct SharedMatch {
    std::uint32_t Uses = 0;
    std::vector<std::pair<std::string, std::uint32_t>> Spellings;
  };
  std::unordered_map<std::string_view, SharedMatch> sharedMatches;
  // Every other name is used once: of those, the first keys in key order.
  const auto byKey = [](const auto& a, const auto& b) { return a.first < b.first; };
  std::vector<std::pair<std::string, std::size_t>> first;  // a heap, its last key on top
  std::size_t position = 0;
  for (std::size_t offset = 0; offset < records_.size(); ++position) {
    const Record record = ReadRecord(Records(), offset);
    offset = record.Next;
    const std::string_view code = Records().substr(record.CodeStart, record.CodeSize);
    if (code.empty() || !typed.Match(code, numbers)) continue;
    if (!shared_.empty()) {
      if (const auto shared = shared_.find(code); shared != shared_.end()) {
        SharedMatch& match = sharedMatches[code];
        match.Uses = shared->second;
        const std::string_view name = counted[position]->Name;
        const auto spelling = std::find_if(match.Spellings.begin(), match.Spellings.end(),
                                           [&](const auto& s) { return s.first == name; });
        if (spelling == match.Spellings.end()) {
          match.Spellings.emplace_back(name, 1);
        } else {
          ++spelling->second;
        }
        continue;
      }
    }
    if (first.size() == limit && !KeyBefore(code, first.front().first)) continue;
    DecodeInto(code, key);
    if (first.size() == limit) {
      std::pop_heap(first.begin(), first.end(), byKey);
      first.pop_back();
    }
    first.emplace_back(key, position);
    std::push_heap(first.begin(), first.end(), byKey);
  }
  const auto better = [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  };
  for (const auto& [code, match] : sharedMatches) {
    const auto best = std::min_element(match.Spellings.begin(), match.Spellings.end(), better);
    found.push_back({best->first, Decode(code), match.Uses});
  }
  for (auto& [firstKey, at] : first) found.push_back({std::string(counted[at]->Name), std::move(firstKey), 1});
  const auto ranks = [](const CompletionTally::Found& a, const CompletionTally::Found& b) {
    return a.Uses != b.Uses ? a.Uses > b.Uses : a.Key < b.Key;
  };
  const std::size_t kept = std::min(limit, found.size());
  std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(kept), found.end(), ranks);
  found.resize(kept);
  return found;
}

std::size_t CompletionNames::KeyCount() const {
  std::size_t repeated = 0;
  for (const auto& [code, uses] : shared_) repeated += uses - 1;
  return keyed_ - repeated;
}

}  // namespace kistora
