// Texts counted by how often the catalogue uses them, grouped under a folded
// key, and found again by a few typed keys: the store behind the completion
// of the item dialog's name and magic property lines. A key is matched at the
// start of any of its words, and the most used keys come first.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kistora {

class CompletionTally {
 public:
  // The key a text is grouped and found under (two texts with the same key are
  // the same proposal); an empty key leaves the text out.
  using KeyMaker = std::string (*)(std::string_view text);
  explicit CompletionTally(KeyMaker makeKey) : makeKey_(makeKey) {}

  struct Found {
    std::string Text;    // the key's most used text
    std::string Key;     // the folded key
    std::uint32_t Uses;  // uses of every text of the key
  };

  void Clear();
  // One more use of text (delta +1), or one less (-1: a use counted before).
  void Count(std::string_view text, int delta);
  // Up to limit keys in which typedKey (made by the same KeyMaker, its end
  // left as typed) starts a word, most used first, then in key order.
  std::vector<Found> Find(std::string_view typedKey, std::size_t limit) const;
  // Distinct texts and keys held, the unused ones included until the next compaction.
  std::size_t TextCount() const { return entries_.size(); }
  std::size_t KeyCount() const { return keys_.size(); }

 private:
  struct Entry {
    std::uint32_t Start = 0;  // in texts_
    std::uint32_t Length = 0;
    std::uint32_t Uses = 0;
    std::uint32_t Key = 0;
    std::uint32_t NextOfKey = 0;  // the key's next entry + 1, 0 at the end
  };
  struct Key {
    std::uint32_t Start = 0;  // in keyText_: a space, the key, '\n'
    std::uint32_t Length = 0;
    std::uint32_t Uses = 0;
    std::uint32_t FirstEntry = 0;
    std::uint32_t BestEntry = 0;
  };
  // Open addressing by a 32-bit hash of the text: each slot holds an id + 1
  // (0: empty) and the hash, so that a probe reads a text only when the hashes
  // match (each read is a cache miss among a million texts) and growing needs
  // no text at all.
  class IdTable {
   public:
    void Clear() { slots_.clear(); }
    static std::uint32_t HashOf(std::string_view text);
    // The id whose text (given by textOf) equals text, whose hash is hash, or -1.
    template <class Lookup>
    std::int64_t Find(std::string_view text, std::uint32_t hash, Lookup textOf) const;
    // Adds id for a text of that hash (absent); grows so that at most half the slots are used.
    void Insert(std::uint32_t hash, std::uint32_t id, std::size_t count);

   private:
    struct Slot {
      std::uint32_t Id = 0;  // id + 1
      std::uint32_t Hash = 0;
    };
    void Place(Slot slot);
    std::vector<Slot> slots_;
  };

  std::string_view TextOf(std::uint32_t entry) const;
  std::string_view KeyOf(std::uint32_t key) const;
  std::uint32_t KeyFor(std::string_view keyText);
  // The key whose text holds position of keyText_, looked for from key from on.
  std::size_t KeyHolding(std::size_t position, std::size_t from) const;
  void ChooseBestEntry(Key& key);
  bool BetterEntry(std::uint32_t entry, std::uint32_t other) const;
  // Drops the unused texts and keys once they outnumber the used ones.
  void CompactWhenHalfUnused();

  KeyMaker makeKey_;
  std::string texts_;    // every entry's text, end to end
  std::string keyText_;  // " key\n" for every key, end to end, in key id order
  std::vector<Entry> entries_;
  std::vector<Key> keys_;
  IdTable entryIds_;
  IdTable keyIds_;
  std::size_t unusedKeys_ = 0;
  std::array<std::size_t, 256> byteCounts_{};  // how often each byte occurs in keyText_
};

}  // namespace kistora
