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

std::uint64_t ItemContentDigest(const TD2Item& item) {
  Digest64 digest;
  digest.Add(static_cast<std::uint64_t>(item.Tag()) << 8 | item.Quality);
  digest.Add(item.Name.view());
  digest.Add(item.Notes.view());
  digest.Add(item.MagicProps.Packed());
  digest.Add(Pack(item.Price, item.CLvl));
  digest.Add(Pack(item.Str, item.Dex));
  digest.Add(Pack(item.Dur, item.MaxDur));
  const ClassNumbers own = ClassNumbersOf(item);
  for (std::size_t i = 0; i < own.Count; ++i) digest.Add(static_cast<std::uint32_t>(own.Values[i]));
  return digest.Value();
}

bool SameItemContents(const TD2Item& a, const TD2Item& b) {
  if (a.Tag() != b.Tag() || a.Quality != b.Quality || a.Price != b.Price || a.CLvl != b.CLvl || a.Str != b.Str ||
      a.Dex != b.Dex || a.Dur != b.Dur || a.MaxDur != b.MaxDur) {
    return false;
  }
  if (a.Name.view() != b.Name.view() || a.Notes.view() != b.Notes.view() || !(a.MagicProps == b.MagicProps)) {
    return false;
  }
  const ClassNumbers ownA = ClassNumbersOf(a);
  const ClassNumbers ownB = ClassNumbersOf(b);
  return ownA.Values == ownB.Values;
}

}  // namespace kistora
