#include "model/item_digest.h"

#include <cstring>
#include <string_view>

namespace kistora {

namespace {

// A 64-bit hash that reads eight bytes at a time, mixed as SplitMix64 mixes,
// fixed here so that a digest kept on disk never changes meaning.
class Digest64 {
 public:
  void Add(std::uint64_t word) { state_ = Mix(state_ ^ word) + kStep; }
  void Add(std::string_view bytes) {
    Add(static_cast<std::uint64_t>(bytes.size()));
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data() + i, 8);
      Add(word);
    }
    if (i < bytes.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data() + i, bytes.size() - i);
      Add(word);
    }
  }
  std::uint64_t Value() const { return Mix(state_); }

 private:
  static constexpr std::uint64_t kStep = 0x9E3779B97F4A7C15ull;
  static std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_ = 0x4B6973746F7261ull;
};

std::uint64_t Pack(std::int32_t a, std::int32_t b) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32 | static_cast<std::uint32_t>(b);
}

}  // namespace

ItemContents ContentsOf(const TD2Item& item) {
  ItemContents c;
  c.Tag = item.Tag();
  c.Quality = item.Quality;
  c.Name = item.Name.view();
  c.Notes = item.Notes.view();
  c.PackedLines = item.MagicProps.Packed();
  c.Price = item.Price;
  c.CLvl = item.CLvl;
  c.Str = item.Str;
  c.Dex = item.Dex;
  c.Dur = item.Dur;
  c.MaxDur = item.MaxDur;
  c.Own = ClassNumbersOf(item);
  return c;
}

std::uint64_t ContentDigest(const ItemContents& c) {
  Digest64 digest;
  digest.Add(static_cast<std::uint64_t>(c.Tag) << 8 | c.Quality);
  digest.Add(c.Name);
  digest.Add(c.Notes);
  digest.Add(c.PackedLines);
  digest.Add(Pack(c.Price, c.CLvl));
  digest.Add(Pack(c.Str, c.Dex));
  digest.Add(Pack(c.Dur, c.MaxDur));
  for (std::size_t i = 0; i < c.Own.Count; ++i) digest.Add(static_cast<std::uint32_t>(c.Own.Values[i]));
  return digest.Value();
}

namespace {

template <typename Item>
std::unique_ptr<TD2Item> CopyAs(const TD2Item& item) {
  return std::make_unique<Item>(static_cast<const Item&>(item));
}

}  // namespace

std::unique_ptr<TD2Item> CopyItem(const TD2Item& item, std::int32_t number) {
  std::unique_ptr<TD2Item> copy;
  switch (item.Tag()) {
    case 1:
      copy = CopyAs<TD2Gloves>(item);
      break;
    case 2:
      copy = CopyAs<TD2Belt>(item);
      break;
    case 3:
      copy = CopyAs<TD2Helm>(item);
      break;
    case 4:
      copy = CopyAs<TD2Shield>(item);
      break;
    case 5:
      copy = CopyAs<TD2Armor>(item);
      break;
    case 6:
      copy = CopyAs<TD2Weapon>(item);
      break;
    case 7:
      copy = CopyAs<TD2Amulet>(item);
      break;
    case 8:
      copy = CopyAs<TD2Ring>(item);
      break;
    case 9:
      copy = CopyAs<TD2Charm>(item);
      break;
    case 10:
      copy = CopyAs<TD2Jewel>(item);
      break;
    case 11:
      copy = CopyAs<TD2Boots>(item);
      break;
    default:
      copy = CopyAs<TD2Item>(item);
      break;
  }
  copy->Index = number;
  return copy;
}

}  // namespace kistora
