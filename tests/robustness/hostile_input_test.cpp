// Hostile input: texts of a megabyte, numbers at the limits of 32 bits, paths
// longer than the system allows, and text that is not Windows-1252. Every case
// has a clear outcome: the data comes back whole, or a clear error is raised.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <limits>

#include "export/export_run.h"
#include "export/export_selection.h"
#include "export/export_writer.h"
#include "export_test_support.h"
#include "fuzz/catalogue_diff.h"
#include "fuzz/options_diff.h"
#include "listing/item_list_rows.h"
#include "model/cp1252.h"
#include "model/text_utils.h"
#include "options/option_values.h"
#include "options/options_file.h"
#include "robustness_support.h"
#include "storage/database.h"
#include "storage/file_copy.h"
#include "storage/file_error.h"

namespace kistora {
namespace {

using robust::TempDir;
using testing::Export;
using testing::ReadBytes;
using testing::WriteBytes;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::size_t kMegabyte = 1 << 20;

// A megabyte holding every byte value, NUL, CR, LF and 0x1A included.
std::string EveryByte(std::size_t size, int shift) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(shift)) & 0xFF);
  return s;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

// ---- Texts of a megabyte ------------------------------------------------------

TEST(MegabyteTexts, ItemsAndCharactersComeBackWhole) {
  TempDir dir;
  TCatalogue catalogue;
  auto weapon = std::make_unique<TD2Weapon>();
  weapon->Name = EveryByte(kMegabyte, 1);
  weapon->Notes = EveryByte(kMegabyte, 2);
  weapon->MagicProps = {EveryByte(kMegabyte, 3), "", EveryByte(17, 4)};
  catalogue.ItemList.push_back(std::move(weapon));
  auto shield = std::make_unique<TD2Shield>();
  shield->Name = std::string(kMegabyte, ' ');
  catalogue.ItemList.push_back(std::move(shield));
  auto character = std::make_unique<TChar>();
  character->Name = EveryByte(kMegabyte, 5);
  character->Account = EveryByte(kMegabyte, 6);
  character->Class = EveryByte(kMegabyte, 7);
  character->Level = EveryByte(kMegabyte, 8);
  character->Notes = EveryByte(kMegabyte, 9);
  character->Items.assign(100000, 42);
  catalogue.CharList.push_back(std::move(character));

  SaveItems(catalogue, dir.File("items.kdb"));
  SaveChars(catalogue, dir.File("chars.kdb"));
  TCatalogue loaded;
  ASSERT_EQ(LoadItems(loaded, dir.File("items.kdb")), kLoadOk);
  ASSERT_EQ(LoadChars(loaded, dir.File("chars.kdb")), kLoadOk);
  EXPECT_EQ(check::ItemsDifference(catalogue, loaded), "");
  EXPECT_EQ(check::CharsDifference(catalogue, loaded), "");
}

// A set item's link names the set first: with a megabyte of words and French
// connectors in its name, finding the set still takes one pass over it.
TEST(MegabyteTexts, AMegabyteSetNameIsExported) {
  std::string pieces;
  while (pieces.size() < kMegabyte) pieces += "Heaume de ";
  const std::string name = pieces + "Tal Rasha";
  EXPECT_EQ(SetName(name), "tal rasha");
  const std::string expectedPiece = pieces.substr(0, pieces.size() - 4);  // the last " de " dropped
  EXPECT_EQ(SetTitle(name), "Tal Rasha: " + expectedPiece);

  TCatalogue catalogue;
  for (int i = 0; i < 3; ++i)
    testing::AddItem<TD2Helm>(catalogue, i, name + std::to_string(i), 4, 0, std::string(kMegabyte, 'n'));
  ExportSettings settings;
  settings.Scope = ExportScope::AllItems;
  const std::string page = Export(settings, catalogue);
  for (int i = 0; i < 3; ++i) {
    const std::string link = "javascript:bascule(i" + std::to_string(i + 1) + ")\">Tal Rasha" + std::to_string(i) +
                             ": " + expectedPiece + "</A>\r\n";
    EXPECT_EQ(Occurrences(page, link), 1u) << "item " << i;
  }

  settings.Format = ExportFormat::Ascii;
  settings.ShowPrice = true;
  const std::string list = Export(settings, catalogue);
  // A name longer than its 30 columns is written whole, never cut.
  EXPECT_EQ(Occurrences(list, "  " + name + "0    0   " + std::string(kMegabyte, 'n') + "\r\n"), 1u);
}

TEST(MegabyteTexts, AMegabyteOptionValueRoundTrips) {
  TempDir dir;
  OptionValues values;
  TCatalogue catalogue;
  std::string sign = EveryByte(kMegabyte, 11);
  // Only what a text value can hold: no line end, no end-of-file byte, no comment, no outer spaces.
  for (char& c : sign) {
    if (c == '\r' || c == '\x1A' || c == '/' || c == ' ') c = 'x';
  }
  values.Export.Sign = sign;
  values.Export.PageTitle = std::string(kMegabyte, '\n') + "titre";
  WriteOptions(dir.File("kistora.ini"), BindOptionValues(values, catalogue), "Kistora");
  OptionValues read;
  TCatalogue readCatalogue;
  ASSERT_TRUE(ReadOptionValues(dir.File("kistora.ini"), read, readCatalogue));
  EXPECT_EQ(check::OptionValuesDifference(values, read), "");
  EXPECT_EQ(read.Export.Sign.size(), kMegabyte);
}

// A file of 4 MB without a single CR is one line: read at once, nothing applied
// but its first key.
TEST(MegabyteTexts, AnOptionsFileOfOneHugeLineIsReadAsOneLine) {
  TempDir dir;
  std::string text = "mwp_width 777\n";
  while (text.size() < 4 * kMegabyte) text += "mwp_height 1 // ignored\n";
  WriteBytes(dir.File("kistora.ini"), text);
  OptionValues values;
  TCatalogue catalogue;
  ASSERT_TRUE(ReadOptionValues(dir.File("kistora.ini"), values, catalogue));
  EXPECT_EQ(values.MainWidth, 609) << "the value '777\\nmwp_height 1' does not parse";
  EXPECT_EQ(values.MainHeight, 482);
}

// ---- Numbers at the limits of 32 bits -------------------------------------------

TEST(Limits, EveryNumberAtTheLimitsComesBackFromTheFiles) {
  TempDir dir;
  TCatalogue catalogue;
  for (const std::int32_t v : {kMin, kMax, kMin + 1, kMax - 1, -1, 0}) {
    auto weapon = std::make_unique<TD2Weapon>();
    weapon->Index = v;
    weapon->Quality = static_cast<std::uint8_t>(v & 0xFF);
    weapon->Price = v;
    weapon->CLvl = v;
    weapon->Str = ~v;  // the opposite limit: kMin and kMax swap
    weapon->Dex = v;
    weapon->Dur = v;
    weapon->MaxDur = v;
    weapon->MinDmg = v;
    weapon->MaxDmg = v;
    weapon->Speed = v;
    catalogue.ItemList.push_back(std::move(weapon));
    auto shield = std::make_unique<TD2Shield>();
    shield->Index = v;
    shield->Def = v;
    shield->Parade = v;
    catalogue.ItemList.push_back(std::move(shield));
  }
  auto character = std::make_unique<TChar>();
  character->Items = {kMin, kMax, kMin, 0, -1};
  catalogue.CharList.push_back(std::move(character));
  SaveItems(catalogue, dir.File("items.kdb"));
  SaveChars(catalogue, dir.File("chars.kdb"));
  TCatalogue loaded;
  ASSERT_EQ(LoadItems(loaded, dir.File("items.kdb")), kLoadOk);
  ASSERT_EQ(LoadChars(loaded, dir.File("chars.kdb")), kLoadOk);
  EXPECT_EQ(check::ItemsDifference(catalogue, loaded), "");
  EXPECT_EQ(check::CharsDifference(catalogue, loaded), "");
}

TEST(Limits, TheExportSortsAndHighlightsPricesAtTheLimits) {
  TCatalogue catalogue;
  const std::int32_t prices[] = {0, kMin, kMax, -1, 1, kMax - 1, kMin + 1};
  for (std::size_t i = 0; i < std::size(prices); ++i)
    testing::AddItem(catalogue, static_cast<std::int32_t>(i), "ring" + std::to_string(i), 5, prices[i]);
  ExportSettings settings;
  settings.Scope = ExportScope::AllItems;
  settings.SortBy = ExportSort::Price;
  settings.ShowPrice = true;
  const ExportSelection selection(settings, catalogue, -1);
  std::vector<std::int32_t> order;
  for (const TD2Item* item : selection.SectionItems(0)) order.push_back(item->Price);
  EXPECT_EQ(order, (std::vector<std::int32_t>{kMax, kMax - 1, 1, 0, -1, kMin + 1, kMin}));
  EXPECT_LT(selection.CompareExportItems(*catalogue.ItemList[2], *catalogue.ItemList[1]), 0);
  EXPECT_GT(selection.CompareExportItems(*catalogue.ItemList[1], *catalogue.ItemList[2]), 0);

  settings.IICol = 0x0000FF;
  settings.IIPrice = kMin;
  EXPECT_EQ(Occurrences(Export(settings, catalogue), "<TR BGCOLOR=#FF0000>"), 7u) << "every price reaches the lowest";
  settings.IIPrice = kMax;
  const std::string page = Export(settings, catalogue);
  EXPECT_EQ(Occurrences(page, "<TR BGCOLOR=#FF0000>"), 1u) << "only the highest price reaches the highest";
  EXPECT_EQ(Occurrences(page, "  <TD>-2147483648</TD>\r\n"), 1u);
  EXPECT_EQ(Occurrences(page, "  <TD>2147483647</TD>\r\n"), 1u);

  settings.Format = ExportFormat::Ascii;
  const std::string list = Export(settings, catalogue);
  EXPECT_EQ(Occurrences(list, "  " + PadRight("ring1", 30) + "-2147483648   \r\n"), 1u) << "eleven columns, not cut";
}

TEST(Limits, CharacteristicsAtTheLimits) {
  TD2Weapon weapon;
  weapon.Name = "Hache";
  weapon.MinDmg = kMin;
  weapon.MaxDmg = kMax;
  weapon.Speed = kMin;
  weapon.Dur = kMin;
  weapon.MaxDur = kMax;
  weapon.Str = kMin;  // a negative requirement is not shown
  TCatalogue catalogue;
  auto copy = std::make_unique<TD2Weapon>(weapon);
  catalogue.ItemList.push_back(std::move(copy));
  ExportSettings settings;
  settings.Scope = ExportScope::AllItems;
  const std::string page = Export(settings, catalogue);
  EXPECT_NE(page.find("      Dommages: -2147483648 \xE0 2147483647<BR>\r\n"), std::string::npos);
  EXPECT_NE(page.find("      R\xE9sistance: -2147483648 sur 2147483647<BR>\r\n"), std::string::npos);
  EXPECT_NE(page.find("      Vitesse d'attaque: Normale<BR>\r\n"), std::string::npos);
  EXPECT_EQ(page.find("Force n\xE9"
                      "cessaire"),
            std::string::npos);
}

TEST(Limits, NumbersInTheOptionsFileAtTheLimits) {
  TempDir dir;
  WriteBytes(dir.File("kistora.ini"),
             "mwp_left -2147483648\r\nmwp_top 2147483647\r\nmwp_width 2147483648\r\nmwp_height -2147483649\r\n"
             "lastitemindex 2147483647\r\nidbsortcol -2147483648\r\nexpgooditemprice 99999999999999999999\r\n"
             "iwp_left +2147483647\r\niwp_top 0002147483647\r\n");
  OptionValues values;
  TCatalogue catalogue;
  ASSERT_TRUE(ReadOptionValues(dir.File("kistora.ini"), values, catalogue));
  EXPECT_EQ(values.MainLeft, kMin);
  EXPECT_EQ(values.MainTop, kMax);
  EXPECT_EQ(values.MainWidth, 609) << "one past the top does not parse: the current value stays";
  EXPECT_EQ(values.MainHeight, 482) << "one past the bottom does not parse";
  EXPECT_EQ(catalogue.LastItemIndex, kMax);
  EXPECT_EQ(values.IdbSortColumn, kMin);
  EXPECT_EQ(EffectiveSortColumn(values.IdbSortColumn), kColIndex);
  EXPECT_EQ(values.Export.IIPrice, 1) << "the key's fallback";
  EXPECT_EQ(values.ItemGLeft, kMax);
  EXPECT_EQ(values.ItemGTop, kMax);
  // (The counter at the top of its range: tests/model/catalogue_test.cpp.)

  WriteOptions(dir.File("kistora.ini"), BindOptionValues(values, catalogue), "Kistora");
  const std::string text = ReadBytes(dir.File("kistora.ini"));
  EXPECT_NE(text.find("mwp_left            -2147483648\r\n"), std::string::npos);
  EXPECT_NE(text.find("lastitemindex       2147483647\r\n"), std::string::npos);
}

TEST(Limits, ListComparisonsDoNotOverflow) {
  // (The two ends of the range against each other: tests/listing/item_list_rows_test.cpp.)
  EXPECT_LT(CompareAsNumbers("2147483648", "1"), 0) << "text that does not parse counts as 0";
  EXPECT_EQ(CompareAsNumbers("-2147483649", "0"), 0);
  ItemListRow low;
  low.Price = kMin;
  low.Index = kMin;
  ItemListRow high;
  high.Price = kMax;
  high.Index = kMax;
  EXPECT_LT(CompareItemListRows(low, high, kColIndex, false), 0);
  EXPECT_GT(CompareItemListRows(low, high, kColIndex, true), 0);
  EXPECT_LT(CompareItemListRows(high, low, kColPrice, false), 0) << "highest price first";
  EXPECT_GT(CompareItemListRows(high, low, kColPrice, true), 0);
  EXPECT_LT(CompareItemListRows(low, high, kMin, false), 0) << "a column out of range sorts by number";
  EXPECT_LT(CompareItemListRows(low, high, kMax, false), 0);
}

// ---- Paths longer than the system allows ----------------------------------------

std::string OverLongPath(const TempDir& dir, const std::string& name) {
  std::string path = dir.Path();
  while (path.size() <= 4200) path += "/abcdefghijklmnop";
  return path + "/" + name;
}

TEST(LongPaths, EveryFileOperationGivesAClearError) {
  TempDir dir;
  const std::string items = OverLongPath(dir, "items.kdb");
  ASSERT_GT(items.size(), 4096u);
  TCatalogue catalogue;
  catalogue.ItemList.push_back(std::make_unique<TD2Ring>());

  try {
    LoadItems(catalogue, items);
    ADD_FAILURE() << "loading from an over-long path must fail";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier " + items);
    EXPECT_EQ(e.Errno, ENAMETOOLONG);
  }
  EXPECT_EQ(catalogue.ItemList.size(), 1u) << "the items in memory stay";
  for (const auto& save : {+[](const TCatalogue&c, const std::string&p) { SaveItems(c, p); },
                           +[](const TCatalogue&c, const std::string&p) { SaveChars(c, p); }}) {
    try {
      save(catalogue, items);
      ADD_FAILURE() << "saving to an over-long path must fail";
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Impossible de cr\xE9"
                "er le fichier " +
                    items);
      EXPECT_EQ(e.Errno, ENAMETOOLONG);
    }
  }

  WriteBytes(dir.File("source"), "x");
  EXPECT_FALSE(CopyFileTo(dir.File("source"), items, false));
  EXPECT_FALSE(CopyFileTo(dir.File("source"), items, true));
  EXPECT_FALSE(CopyFileTo(items, dir.File("target"), false));

  OptionValues values;
  TCatalogue optionsCatalogue;
  const std::string ini = OverLongPath(dir, "kistora.ini");
  try {
    ReadOptionValues(ini, values, optionsCatalogue);
    ADD_FAILURE() << "an options file that cannot be looked up is reported";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.Errno, ENAMETOOLONG);
  }
  try {
    WriteOptions(ini, BindOptionValues(values, optionsCatalogue), "Kistora");
    ADD_FAILURE() << "writing to an over-long path must fail";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Impossible de cr\xE9"
              "er le fichier " +
                  ini);
    EXPECT_EQ(e.Errno, ENAMETOOLONG);
  }

  ExportSettings settings;
  settings.FileName = OverLongPath(dir, "liste.html");
  settings.Scope = ExportScope::AllItems;
  const ExportResult result = RunExport(settings, catalogue, -1, std::tm{});
  EXPECT_EQ(result.Status, ExportStatus::Failed);
  EXPECT_EQ(result.Message, "Nom de fichier incorrect.");
  EXPECT_FALSE(result.OpenWithShell);

  EXPECT_EQ(dir.Entries(), std::set<std::string>{"source"});
}

// ---- Text that is not Windows-1252 -----------------------------------------------
// (Malformed and unmappable sequences, and random bytes: tests/model/cp1252_test.cpp.)

TEST(NotWindows1252, EightMegabytesOfEveryByteNeverGrowAndComeBack) {
  const std::string big = EveryByte(8 * kMegabyte, 3);
  EXPECT_LE(Utf8ToCp1252(big).size(), big.size());
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(big)), big);
}

}  // namespace
}  // namespace kistora
