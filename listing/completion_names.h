// The names of the counted items as the item dialog proposes them, kept small:
// a catalogue of a million items has nearly as many different names, and a
// copy of each with its key (what the lines' CompletionTally keeps) would cost
// most of what the names cost in the catalogue. Here each word of the keys is
// kept once, and each name's key as the numbers of its words, a few bytes end
// to end in the counted items' order: a look-up reads those bytes, and only
// the items of the keys it keeps. The keys several names share (few) are kept
// with their uses; every other name is used once and spelt as its item spells it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "listing/completion_tally.h"
#include "model/items.h"

namespace kistora {

class CompletionNames {
 public:
  void Clear();
  // The item now at position of counted (the items counted, that one
  // included) was put there, before the items from there on.
  void Insert(const ItemVector& counted, std::size_t position);
  // The item at position of counted leaves it (counted still holds it).
  void Erase(const ItemVector& counted, std::size_t position);
  // Every item is counted: from now on the keys several names share are known.
  void Complete(const ItemVector& counted);
  // Up to limit keys in which typedKey starts a word, most used first, then in
  // key order, each with its most used spelling (of equals, the first in byte
  // order): the proposals of a CompletionTally that counted each name.
  std::vector<CompletionTally::Found> Find(const ItemVector& counted, std::string_view typedKey,
                                           std::size_t limit) const;
  // Different keys (for the benchmarks; once complete).
  std::size_t KeyCount() const;

 private:
  // The numbers of the words of the key of text, as varints (new words numbered as they come).
  std::string Encode(std::string_view text);
  // The key whose word numbers are code, in words.
  std::string Decode(std::string_view code) const;
  void DecodeInto(std::string_view code, std::string& key) const;
  // Whether the key of code comes before other in byte order.
  bool KeyBefore(std::string_view code, std::string_view other) const;
  std::uint32_t WordNumber(std::string_view word) const;  // kNoWord when not a word of any key
  std::string_view Records() const { return {records_.data(), records_.size()}; }
  // The byte where the record of the item at position starts.
  std::size_t RecordAt(std::size_t position) const;
  // The records from position on moved.
  void Moved(std::size_t position);
  // Makes shared_ hold code (just counted) when other items have it too: a pass over the records.
  void ShareIfOthersHave(const std::string& code);

  static constexpr std::uint32_t kNoWord = 0xFFFFFFFF;
  // The words, end to end, where each starts (one more for the end), and
  // their numbers by a hash of the word (number + 1; 0: empty slot).
  std::string words_;
  std::vector<std::uint32_t> wordStarts_{0};
  std::vector<std::uint32_t> wordSlots_;
  // Each counted item's record, in order: the length of its code (one byte,
  // or 255 and a varint), then the code; a name without a key has length 0.
  std::vector<char> records_;    // a vector: its room grows only as asked
  std::size_t recordCount_ = 0;  // the records held: one per counted item
  // Where the record of every kMarkEvery-th item starts, as far as known.
  static constexpr std::size_t kMarkEvery = 4096;
  mutable std::vector<std::size_t> marks_{0};
  // Codes found by their bytes as they lie in the records.
  struct CodeHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view code) const { return std::hash<std::string_view>()(code); }
  };
  // The codes of two names or more, and their uses.
  std::unordered_map<std::string, std::uint32_t, CodeHash, std::equal_to<>> shared_;
  std::string lastErasedAlone_;  // the code of the item just erased, when no other item had it
  std::size_t keyed_ = 0;        // counted names that have a key
  bool complete_ = false;
};

}  // namespace kistora
