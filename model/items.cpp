#include "model/items.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "model/text_utils.h"

namespace kistora {

// ---- The numbers of each category -----------------------------------------

namespace {

constexpr std::uint8_t kShieldTag = 4;
constexpr std::uint8_t kWeaponTag = 6;

bool IsDefensiveTag(std::uint8_t tag) { return tag == 1 || tag == 2 || tag == 3 || tag == 5 || tag == 11; }

}  // namespace

std::size_t ClassNumberCount(std::uint8_t tag) {
  if (tag == kShieldTag) return 2;
  if (tag == kWeaponTag) return 3;
  return IsDefensiveTag(tag) ? 1 : 0;
}

ClassNumbers ClassNumbersOf(const TD2Item& item) {
  ClassNumbers numbers;
  const std::uint8_t tag = item.Tag();
  if (tag == kWeaponTag) {
    const auto& weapon = static_cast<const TD2Weapon&>(item);
    numbers.Values = {weapon.MinDmg, weapon.MaxDmg, weapon.Speed};
  } else if (tag == kShieldTag) {
    const auto& shield = static_cast<const TD2Shield&>(item);
    numbers.Values = {shield.Def, shield.Parade, 0};
  } else if (IsDefensiveTag(tag)) {
    numbers.Values = {static_cast<const TD2DefItem&>(item).Def, 0, 0};
  }
  numbers.Count = ClassNumberCount(tag);
  return numbers;
}

void SetClassNumbers(TD2Item& item, const std::int32_t* values) {
  const std::uint8_t tag = item.Tag();
  if (tag == kWeaponTag) {
    auto& weapon = static_cast<TD2Weapon&>(item);
    weapon.MinDmg = values[0];
    weapon.MaxDmg = values[1];
    weapon.Speed = values[2];
  } else if (tag == kShieldTag) {
    auto& shield = static_cast<TD2Shield&>(item);
    shield.Def = values[0];
    shield.Parade = values[1];
  } else if (IsDefensiveTag(tag)) {
    static_cast<TD2DefItem&>(item).Def = values[0];
  }
}

// ---- Classes, tags and labels ----------------------------------------------

std::uint8_t ClassTag(const TD2Item& item) { return item.Tag(); }

namespace {

std::size_t RoomForText(std::string_view text) { return text.size() > ItemText::kInPlace ? text.size() : 0; }

void PlaceText(ItemText& text, char*& room, std::string_view bytes) {
  if (bytes.size() <= ItemText::kInPlace) {
    text = bytes;
    return;
  }
  std::memcpy(room, bytes.data(), bytes.size());
  text.PointAt(room, bytes.size());
  room += bytes.size();
}

template <typename Item>
std::unique_ptr<TD2Item> MakeItem(const StoredItemTexts& texts) {
  // The lines first: their block wants an even address, which the item's end is.
  const std::size_t linesRoom = PropertyLines::RoomFor(texts.packedLines);
  const std::size_t room = linesRoom + RoomForText(texts.name) + RoomForText(texts.notes);
  std::unique_ptr<Item> item(new (TD2Item::TextRoom{room}) Item());
  char* at = reinterpret_cast<char*>(item.get()) + sizeof(Item);
  if (linesRoom > 0) item->MagicProps.PlacePacked(at, texts.packedLines);
  at += linesRoom;
  PlaceText(item->Name, at, texts.name);
  PlaceText(item->Notes, at, texts.notes);
  return item;
}

}  // namespace

std::unique_ptr<TD2Item> CreateItemFromTag(std::uint8_t tag, const StoredItemTexts& texts) {
  switch (tag) {
    case 1:
      return MakeItem<TD2Gloves>(texts);
    case 2:
      return MakeItem<TD2Belt>(texts);
    case 3:
      return MakeItem<TD2Helm>(texts);
    case 4:
      return MakeItem<TD2Shield>(texts);
    case 5:
      return MakeItem<TD2Armor>(texts);
    case 6:
      return MakeItem<TD2Weapon>(texts);
    case 7:
      return MakeItem<TD2Amulet>(texts);
    case 8:
      return MakeItem<TD2Ring>(texts);
    case 9:
      return MakeItem<TD2Charm>(texts);
    case 10:
      return MakeItem<TD2Jewel>(texts);
    case 11:
      return MakeItem<TD2Boots>(texts);
    default:
      return MakeItem<TD2Item>(texts);
  }
}

const std::array<const char*, 11> kDialogCategories = {"Amulette", "Anneau",   "Arme",   "Armure", "Bottes", "Bouclier",
                                                       "Casque",   "Ceinture", "Charme", "Gants",  "Joyaux"};
const std::array<const char*, 6> kDialogQualities = {"Unique", "Set", "Crafted", "Rare", "Magique", "Normal"};
const std::array<const char*, 5> kSpeedLabels = {"Tr\xE8s lente", "Lente", "Normale", "Rapide", "Tr\xE8s rapide"};

namespace {

constexpr std::array<const char*, 6> kQualityLabels = {"Normal", "Magique", "Rare", "Crafted", "Set", "Unique"};

// The category label of each class tag (0: a bare item, no category).
constexpr std::array<const char*, 12> kCategoryByTag = {"",     "Gants",    "Ceinture", "Casque", "Bouclier", "Armure",
                                                        "Arme", "Amulette", "Anneau",   "Charme", "Joyau",    "Bottes"};
constexpr std::uint8_t kJewelTag = 10;

const char* CategoryLabel(const TD2Item& item, bool dialogSpelling) {
  const std::uint8_t tag = ClassTag(item);
  if (tag == kJewelTag && dialogSpelling) return "Joyaux";
  return tag < kCategoryByTag.size() ? kCategoryByTag[tag] : "";
}

}  // namespace

std::unique_ptr<TD2Item> CreateItemFromDialogLabel(std::string_view label) {
  if (label == "Amulette") return std::make_unique<TD2Amulet>();
  if (label == "Anneau") return std::make_unique<TD2Ring>();
  if (label == "Arme") return std::make_unique<TD2Weapon>();
  if (label == "Armure") return std::make_unique<TD2Armor>();
  if (label == "Bottes") return std::make_unique<TD2Boots>();
  if (label == "Bouclier") return std::make_unique<TD2Shield>();
  if (label == "Casque") return std::make_unique<TD2Helm>();
  if (label == "Ceinture") return std::make_unique<TD2Belt>();
  if (label == "Charme") return std::make_unique<TD2Charm>();
  if (label == "Gants") return std::make_unique<TD2Gloves>();
  if (label == "Joyaux") return std::make_unique<TD2Jewel>();
  return nullptr;
}

std::string ClassName(const TD2Item& item) {
  const std::type_info& type = typeid(item);
  if (type == typeid(TD2Gloves)) return "TD2Gloves";
  if (type == typeid(TD2Boots)) return "TD2Boots";
  if (type == typeid(TD2Belt)) return "TD2Belt";
  if (type == typeid(TD2Helm)) return "TD2Helm";
  if (type == typeid(TD2Armor)) return "TD2Armor";
  if (type == typeid(TD2Shield)) return "TD2Shield";
  if (type == typeid(TD2DefItem)) return "TD2DefItem";
  if (type == typeid(TD2Weapon)) return "TD2Weapon";
  if (type == typeid(TD2Amulet)) return "TD2Amulet";
  if (type == typeid(TD2Ring)) return "TD2Ring";
  if (type == typeid(TD2Charm)) return "TD2Charm";
  if (type == typeid(TD2Jewel)) return "TD2Jewel";
  return "TD2Item";
}

std::string ListCategoryLabel(const TD2Item& item) { return CategoryLabel(item, false); }

std::string DialogCategoryLabel(const TD2Item& item) { return CategoryLabel(item, true); }

std::string QualityLabel(int code) { return std::string(QualityLabelView(code)); }

std::string_view ListCategoryLabelView(const TD2Item& item) { return CategoryLabel(item, false); }

std::string_view QualityLabelView(int code) {
  if (code < 0 || code >= static_cast<int>(kQualityLabels.size())) return {};
  return kQualityLabels[static_cast<std::size_t>(code)];
}

std::string SpeedLabel(std::int32_t code) {
  if (code < 0 || code >= static_cast<std::int32_t>(kSpeedLabels.size())) return "Normale";
  return kSpeedLabels[static_cast<std::size_t>(code)];
}

int QualityFromLabel(std::string_view label) {
  for (std::size_t code = 0; code < kQualityLabels.size(); ++code) {
    if (label == kQualityLabels[code]) return static_cast<int>(code);
  }
  return 0;
}

// ---- Set name and title -----------------------------------------------------

std::string SetName(std::string_view name) {
  std::string s = LowerAscii(name);
  for (const std::string_view connector : {" de ", " d'", " du ", " des "}) {
    // Cutting after the first connector again and again ends after the last of
    // the occurrences found from the left without overlap: one pass finds it,
    // where cutting copy by copy made a long name cost its length squared.
    std::size_t start = 0;
    for (auto at = s.find(connector); at != std::string::npos; at = s.find(connector, start)) {
      start = at + connector.size();
    }
    s.erase(0, start);
  }
  return TrimSpaces(s);
}

std::string SetName(const TD2Item& item) { return SetName(item.Name); }

std::string SetTitle(std::string_view name) {
  const std::string lower = LowerAscii(name);
  const std::string set = SetName(name);
  const std::size_t p = Pos(set, lower);
  std::string piece = p > 1 ? std::string(name.substr(0, p - 1)) : std::string();
  const std::string setPart = p == 0 ? std::string(name) : std::string(name.substr(p - 1));
  // Drop the connecting word: cut before the last occurrence of the last word.
  const std::string word = NthWord(WordCount(piece), piece);
  piece = BeforeNth(word, piece, CountOf(word, piece));
  return TrimSpaces(setPart) + ": " + TrimSpaces(piece);
}

std::string SetTitle(const TD2Item& item) { return SetTitle(item.Name); }

}  // namespace kistora
