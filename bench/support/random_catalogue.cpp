#include "random_catalogue.h"

#include <random>
#include <string>

namespace kistora::bench {

namespace {

std::string RandomText(std::mt19937& rng, int minLength, int maxLength) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ \xE9\xE8\xE0+%0123456789";
  std::uniform_int_distribution<int> length(minLength, maxLength);
  std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
  std::string s(static_cast<std::size_t>(length(rng)), ' ');
  for (char& c : s) c = kLetters[letter(rng)];
  return s;
}

}  // namespace

void MakeRandomCatalogue(TCatalogue& catalogue, int itemCount, int charCount, int numbersPerChar) {
  std::mt19937 rng(20240601);
  std::uniform_int_distribution<int> tag(0, 11);
  std::uniform_int_distribution<int> lines(0, 4);
  std::uniform_int_distribution<int> number(0, 5000);
  catalogue.ItemList.reserve(static_cast<std::size_t>(itemCount));
  for (int i = 0; i < itemCount; ++i) {
    auto item = CreateItemFromTag(static_cast<std::uint8_t>(tag(rng)));
    item->Index = i + 1;
    item->Name = RandomText(rng, 10, 30);
    item->Quality = static_cast<std::uint8_t>(i % 6);
    item->Price = number(rng);
    item->CLvl = number(rng) % 99;
    const int count = lines(rng);
    for (int k = 0; k < count; ++k) item->MagicProps.push_back(RandomText(rng, 8, 28));
    catalogue.ItemList.push_back(std::move(item));
  }
  for (int i = 0; i < charCount; ++i) {
    auto character = std::make_unique<TChar>();
    character->Name = RandomText(rng, 4, 15);
    character->Account = RandomText(rng, 4, 12);
    character->Class = "Paladin";
    character->Level = std::to_string(i % 99 + 1);
    for (int k = 0; k < numbersPerChar; ++k) character->AddItem(number(rng) * 200 + k);
    catalogue.CharList.push_back(std::move(character));
  }
}

}  // namespace kistora::bench
