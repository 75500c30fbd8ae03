// Shared by the export tests of every folder: a fixed clock, whole exports, a
// catalogue with every kind of item, settings away from their designed values
// and a field-by-field comparison of two sets of export settings.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <string_view>

#include "core_test_support.h"
#include "export/export_dates.h"
#include "export/export_selection.h"
#include "export/export_writer.h"
#include "model/catalogue.h"

namespace kistora::testing {

// Sunday 6 December 2026, 17:55:03.
inline std::tm FixedNow() {
  std::tm now{};
  now.tm_year = 2026 - 1900;
  now.tm_mon = 11;
  now.tm_mday = 6;
  now.tm_hour = 17;
  now.tm_min = 55;
  now.tm_sec = 3;
  ::timegm(&now);  // fills tm_wday
  return now;
}

// The same moment as kistora-cli's --now builds it from kFixedNowText: local
// fields, the weekday filled, daylight saving left to the C library.
inline std::tm FixedLocalNow() {
  std::tm now = FixedNow();
  now.tm_isdst = -1;
  return now;
}
inline constexpr const char* kFixedNowText = "2026-12-06T17:55:03";

// The dates the C locale gives for FixedNow.
inline ExportDates FixedDates() { return {"12/06/26", "17:55:03", "Sunday 06 December"}; }

// The whole page or list for these settings.
inline std::string Export(const ExportSettings& settings, const TCatalogue& catalogue, int selectedRow = -1) {
  const ExportSelection selection(settings, catalogue, selectedRow);
  StringSink sink;
  ExportWriter writer(selection, sink);
  writer.WritePage(FixedDates());
  return sink.Text;
}

// Only the item lines/rows of one item written alone.
inline std::string ItemText(const ExportSettings& settings, const TD2Item& item) {
  TCatalogue empty;
  const ExportSelection selection(settings, empty, -1);
  StringSink sink;
  ExportWriter writer(selection, sink);
  writer.WriteItem(item);
  return sink.Text;
}

// Items of every quality and several classes (Windows-1252 texts), held by two
// characters; item 9 is held by nobody.
inline TCatalogue ExportCatalogue() {
  TCatalogue c;
  auto& sword = AddItem<TD2Weapon>(c, 1,
                                   "Lame de l'\xE9"
                                   "clair",
                                   5, 120, "tr\xE8s bonne");
  sword.MinDmg = 12;
  sword.MaxDmg = 40;
  sword.Speed = 3;
  sword.CLvl = 30;
  sword.Str = 90;
  sword.MagicProps = {"+50% dommages", "Vol de vie 5%"};
  auto& shield = AddItem<TD2Shield>(c, 2, "Egide", 5, 0);
  shield.Def = 140;
  shield.Parade = 25;
  shield.Dur = 30;
  shield.MaxDur = 60;
  AddItem<TD2Armor>(c, 3, "Armure de Tal Rasha", 4, 60).Def = 400;
  AddItem<TD2Amulet>(c, 4, "Amulette de Tal Rasha", 4, 45).MagicProps = {"+2 comp\xE9tences"};
  AddItem<TD2Ring>(c, 5, "Anneau rare <forg\xE9>", 2, 3, "a & b");
  AddItem<TD2Charm>(c, 6, "Grand charme", 3, 1);
  AddItem<TD2Jewel>(c, 7, "Joyau magique", 1, 2);
  AddItem<TD2Boots>(c, 8, "Bottes", 0, 0);
  AddItem<TD2Gloves>(c, 9, "Gants perdus", 5, 99);
  AddPaladin(c, "Zo\xE9", {1, 3, 5, 7, 7}, "80");
  AddPaladin(c, "Alric", {2, 4, 6, 8}, "80");
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
  s.CopyToClipboard = true;
  s.NewOnly = true;
  return s;
}

// Every field of a and b, one by one.
inline void ExpectSameExportSettings(const ExportSettings& a, const ExportSettings& b) {
  EXPECT_EQ(a.Format, b.Format);
  EXPECT_EQ(a.FileName, b.FileName);
  EXPECT_EQ(a.ShowUniques, b.ShowUniques);
  EXPECT_EQ(a.ShowSets, b.ShowSets);
  EXPECT_EQ(a.ShowRares, b.ShowRares);
  EXPECT_EQ(a.ShowCrafted, b.ShowCrafted);
  EXPECT_EQ(a.ShowMagics, b.ShowMagics);
  EXPECT_EQ(a.ShowNormals, b.ShowNormals);
  EXPECT_EQ(a.MaskPrice0, b.MaskPrice0);
  EXPECT_EQ(a.Scope, b.Scope);
  EXPECT_EQ(a.ShowPrice, b.ShowPrice);
  EXPECT_EQ(a.PTCol, b.PTCol);
  EXPECT_EQ(a.STCol, b.STCol);
  EXPECT_EQ(a.PageCol, b.PageCol);
  EXPECT_EQ(a.TabCol, b.TabCol);
  EXPECT_EQ(a.TabBorder, b.TabBorder);
  EXPECT_EQ(a.PageTitle, b.PageTitle);
  EXPECT_EQ(a.Sign, b.Sign);
  EXPECT_EQ(a.DoShellExec, b.DoShellExec);
  EXPECT_EQ(a.IICol, b.IICol);
  EXPECT_EQ(a.IIPrice, b.IIPrice);
  EXPECT_EQ(a.UseBascule, b.UseBascule);
  EXPECT_EQ(a.ShowMajDate, b.ShowMajDate);
  EXPECT_EQ(a.SortBy, b.SortBy);
  EXPECT_EQ(a.TrierSets, b.TrierSets);
  EXPECT_EQ(a.CopyToClipboard, b.CopyToClipboard);
  EXPECT_EQ(a.NewOnly, b.NewOnly);
}

}  // namespace kistora::testing
