// Shared by the export window tests: a catalogue with every kind of item, a
// set of export settings in which every field differs from its designed value,
// a field-by-field comparison and the fixed clock of the exports.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "export/export_settings.h"
#include "export_settings_expect.h"
#include "model/catalogue.h"
#include "model/items.h"

namespace kistora::testing {

template <class T>
T& AddExportItem(TCatalogue& catalogue, std::int32_t index, const std::string& name, std::uint8_t quality,
                 std::int32_t price, const std::string& notes = {}) {
  auto item = std::make_unique<T>();
  item->Index = index;
  item->Name = name;
  item->Quality = quality;
  item->Price = price;
  item->Notes = notes;
  T& ref = *item;
  catalogue.ItemList.push_back(std::move(item));
  return ref;
}

inline void AddExportChar(TCatalogue& catalogue, const std::string& name, std::vector<std::int32_t> items) {
  auto character = std::make_unique<TChar>();
  character->Name = name;
  character->Account = "compte";
  character->Class = "Paladin";
  character->Level = "80";
  character->Items = std::move(items);
  catalogue.CharList.push_back(std::move(character));
}

// Items of every quality and several classes (Windows-1252 texts), held by two
// characters; item 9 is held by nobody.
inline TCatalogue ExportCatalogue() {
  TCatalogue c;
  auto& sword = AddExportItem<TD2Weapon>(c, 1,
                                         "Lame de l'\xE9"
                                         "clair",
                                         5, 120, "tr\xE8s bonne");
  sword.MinDmg = 12;
  sword.MaxDmg = 40;
  sword.Speed = 3;
  sword.CLvl = 30;
  sword.Str = 90;
  sword.MagicProps = {"+50% dommages", "Vol de vie 5%"};
  auto& shield = AddExportItem<TD2Shield>(c, 2, "Egide", 5, 0);
  shield.Def = 140;
  shield.Parade = 25;
  shield.Dur = 30;
  shield.MaxDur = 60;
  AddExportItem<TD2Armor>(c, 3, "Armure de Tal Rasha", 4, 60).Def = 400;
  AddExportItem<TD2Amulet>(c, 4, "Amulette de Tal Rasha", 4, 45).MagicProps = {"+2 comp\xE9tences"};
  AddExportItem<TD2Ring>(c, 5, "Anneau rare <forg\xE9>", 2, 3, "a & b");
  AddExportItem<TD2Charm>(c, 6, "Grand charme", 3, 1);
  AddExportItem<TD2Jewel>(c, 7, "Joyau magique", 1, 2);
  AddExportItem<TD2Boots>(c, 8, "Bottes", 0, 0);
  AddExportItem<TD2Gloves>(c, 9, "Gants perdus", 5, 99);
  AddExportChar(c, "Zo\xE9", {1, 3, 5, 7, 7});
  AddExportChar(c, "Alric", {2, 4, 6, 8});
  return c;
}

// Every field away from its designed value (Windows-1252 texts).
inline ExportSettings OddExportSettings(const std::string& fileName = "mes objets.txt") {
  ExportSettings s;
  s.Format = ExportFormat::Ascii;
  s.FileName = fileName;
  s.ShowUniques = false;
  s.ShowSets = false;
  s.ShowRares = false;
  s.ShowCrafted = false;
  s.ShowMagics = false;
  s.ShowNormals = false;
  s.MaskPrice0 = true;
  s.Scope = ExportScope::SelectedChar;
  s.ShowPrice = true;
  s.PTCol = 0x010203;
  s.STCol = 0x040506;
  s.PageCol = 0x070809;
  s.TabCol = 0x0A0B0C;
  s.TabBorder = false;
  s.PageTitle =
      "Liste d'\xE9"
      "change";
  s.Sign = "Sign\xE9 Zo\xE9";
  s.DoShellExec = false;
  s.IICol = 0x0D0E0F;
  s.IIPrice = -7;
  s.UseBascule = false;
  s.ShowMajDate = false;
  s.SortBy = ExportSort::Price;
  s.TrierSets = false;
  return s;
}

// The field-by-field comparison shared with the options tests.
inline void ExpectSameSettings(const ExportSettings& a, const ExportSettings& b) {
  kistora::testing::ExpectSameExportSettings(a, b);
}

// 2026-12-06T17:55:03 as kistora-cli's --now builds it: local fields, weekday filled.
inline std::tm FixedExportTime() {
  std::tm now{};
  now.tm_year = 2026 - 1900;
  now.tm_mon = 11;
  now.tm_mday = 6;
  now.tm_hour = 17;
  now.tm_min = 55;
  now.tm_sec = 3;
  std::tm weekday = now;
  ::timegm(&weekday);
  now.tm_wday = weekday.tm_wday;
  now.tm_yday = weekday.tm_yday;
  now.tm_isdst = -1;
  return now;
}
inline constexpr const char* kFixedExportTimeText = "2026-12-06T17:55:03";

inline QByteArray FileBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace kistora::testing
