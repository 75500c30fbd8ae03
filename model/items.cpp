#include "model/items.h"

#include <algorithm>
#include <typeinfo>

#include "model/text_utils.h"
#include "storage/ext_file_stream.h"

namespace kistora {

// ---- Stored fields --------------------------------------------------------

void TD2Item::SaveToStream(TExtFileStream& stream) const {
  stream.WriteInt(Index);
  stream.WriteStr(Name);
  stream.WriteStr(Notes);
  stream.WriteInt(Quality);  // the one-byte code, zero-extended
  stream.WriteInt(Price);
  stream.WriteInt(CLvl);
  stream.WriteInt(Str);
  stream.WriteInt(Dex);
  stream.WriteInt(Dur);
  stream.WriteInt(MaxDur);
  stream.WriteInt(static_cast<std::int32_t>(MagicProps.size()));
  for (const auto& line : MagicProps) stream.WriteStr(line);
}

void TD2Item::LoadFromStream(TExtFileStream& stream) {
  Index = stream.ReadInt();
  // Read through a buffer kept from item to item: each text then costs only its own allocation.
  thread_local std::string text;
  stream.ReadStrInto(text);
  Name = text;
  stream.ReadStrInto(text);
  Notes = text;
  Quality = static_cast<std::uint8_t>(stream.ReadInt() & 0xFF);  // only the lowest byte is kept
  Price = stream.ReadInt();
  CLvl = stream.ReadInt();
  Str = stream.ReadInt();
  Dex = stream.ReadInt();
  Dur = stream.ReadInt();
  MaxDur = stream.ReadInt();
  MagicProps.clear();
  const std::int32_t count = stream.ReadInt();
  if (count <= 0) return;
  // The lines are packed into buffers kept from item to item, then copied in at
  // their exact size: one allocation for all of an item's lines.
  thread_local std::string line;
  thread_local std::string packed;
  packed.clear();
  for (std::int32_t i = 0; i < count && !stream.ShortRead(); ++i) {
    stream.ReadStrInto(line);
    PropertyLines::Append(packed, line);
  }
  MagicProps.AdoptPacked(packed);
}

void TD2DefItem::SaveToStream(TExtFileStream& stream) const {
  TD2Item::SaveToStream(stream);
  stream.WriteInt(Def);
}

void TD2DefItem::LoadFromStream(TExtFileStream& stream) {
  TD2Item::LoadFromStream(stream);
  Def = stream.ReadInt();
}

void TD2Shield::SaveToStream(TExtFileStream& stream) const {
  TD2DefItem::SaveToStream(stream);
  stream.WriteInt(Parade);
}

void TD2Shield::LoadFromStream(TExtFileStream& stream) {
  TD2DefItem::LoadFromStream(stream);
  Parade = stream.ReadInt();
}

void TD2Weapon::SaveToStream(TExtFileStream& stream) const {
  TD2Item::SaveToStream(stream);
  stream.WriteInt(MinDmg);
  stream.WriteInt(MaxDmg);
  stream.WriteInt(Speed);
}

void TD2Weapon::LoadFromStream(TExtFileStream& stream) {
  TD2Item::LoadFromStream(stream);
  MinDmg = stream.ReadInt();
  MaxDmg = stream.ReadInt();
  Speed = stream.ReadInt();
}

// ---- Classes, tags and labels ----------------------------------------------

std::uint8_t ClassTag(const TD2Item& item) { return item.Tag(); }

std::unique_ptr<TD2Item> CreateItemFromTag(std::uint8_t tag) {
  switch (tag) {
    case 1:
      return std::make_unique<TD2Gloves>();
    case 2:
      return std::make_unique<TD2Belt>();
    case 3:
      return std::make_unique<TD2Helm>();
    case 4:
      return std::make_unique<TD2Shield>();
    case 5:
      return std::make_unique<TD2Armor>();
    case 6:
      return std::make_unique<TD2Weapon>();
    case 7:
      return std::make_unique<TD2Amulet>();
    case 8:
      return std::make_unique<TD2Ring>();
    case 9:
      return std::make_unique<TD2Charm>();
    case 10:
      return std::make_unique<TD2Jewel>();
    case 11:
      return std::make_unique<TD2Boots>();
    default:
      return std::make_unique<TD2Item>();
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
