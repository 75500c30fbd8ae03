// Every option written by WriteOptions comes back from ReadOptions.
#include <gtest/gtest.h>

#include "core_test_support.h"
#include "export_test_support.h"
#include "options/option_values.h"
#include "options/options_file.h"

namespace kistora {
namespace {

using testing::ExpectSameExportSettings;
using testing::ReadBytes;
using testing::TempDir;

// Every holder away from its designed value.
OptionValues OddValues() {
  OptionValues v;
  v.MainLeft = -12;
  v.MainTop = 34;
  v.MainWidth = 1001;
  v.MainHeight = 2147483647;
  v.ItemGLeft = -2147483647 - 1;
  v.ItemGTop = 7;
  v.ItemGWidth = 640;
  v.ItemGHeight = 0;
  v.CharsColumns = {1, 2, 3, 4, 5};
  v.CharInvColumns = {6, 7, 8, 9, 10, 11};
  v.ListeColumns = {12, 13, 14, 15, 16, -17};
  v.CharAccount = "compte \xE9t\xE9 #2";
  // Read back, the format to paste comes after the file name: the name stays as
  // it was, whatever its extension.
  v.Export.Format = ExportFormat::Markdown;
  v.Export.FileName = "/tmp/mes objets/liste.v2.txt";
  v.Export.ShowUniques = false;
  v.Export.ShowSets = false;
  v.Export.ShowRares = false;
  v.Export.ShowCrafted = false;
  v.Export.ShowMagics = false;
  v.Export.ShowNormals = false;
  v.Export.MaskPrice0 = true;
  v.Export.Scope = ExportScope::SelectedChar;
  v.Export.ShowPrice = true;
  v.Export.PTCol = 0x010203;
  v.Export.STCol = 0xABCDEF;
  v.Export.PageCol = 0x000000;
  v.Export.TabCol = 0x7F7F7F;
  v.Export.TabBorder = false;
  v.Export.PageTitle = "Mes <b>objets</b> & co";
  v.Export.Sign = "Sign\xE9 \t Moi";
  v.Export.DoShellExec = false;
  v.Export.IICol = 0xD9D9FF;
  v.Export.IIPrice = -3;
  v.Export.UseBascule = false;
  v.Export.ShowMajDate = false;
  v.Export.SortBy = ExportSort::Price;
  v.Export.TrierSets = false;
  v.Export.CopyToClipboard = true;
  v.Export.NewOnly = true;
  v.IdbShowUniques = false;
  v.IdbShowSets = false;
  v.IdbShowRares = false;
  v.IdbShowCrafted = false;
  v.IdbShowMagics = false;
  v.IdbShowNormals = false;
  v.IdbMaskPrice0 = true;
  v.IdbSortColumn = 4;
  v.IdbSortInverted = true;
  return v;
}

void ExpectSame(const OptionValues& a, const OptionValues& b) {
  EXPECT_EQ(a.MainLeft, b.MainLeft);
  EXPECT_EQ(a.MainTop, b.MainTop);
  EXPECT_EQ(a.MainWidth, b.MainWidth);
  EXPECT_EQ(a.MainHeight, b.MainHeight);
  EXPECT_EQ(a.ItemGLeft, b.ItemGLeft);
  EXPECT_EQ(a.ItemGTop, b.ItemGTop);
  EXPECT_EQ(a.ItemGWidth, b.ItemGWidth);
  EXPECT_EQ(a.ItemGHeight, b.ItemGHeight);
  EXPECT_EQ(a.CharsColumns, b.CharsColumns);
  EXPECT_EQ(a.CharInvColumns, b.CharInvColumns);
  EXPECT_EQ(a.ListeColumns, b.ListeColumns);
  EXPECT_EQ(a.CharAccount, b.CharAccount);
  EXPECT_EQ(a.SelectedCharRow, b.SelectedCharRow);
  ExpectSameExportSettings(a.Export, b.Export);
  EXPECT_EQ(a.IdbShowUniques, b.IdbShowUniques);
  EXPECT_EQ(a.IdbShowSets, b.IdbShowSets);
  EXPECT_EQ(a.IdbShowRares, b.IdbShowRares);
  EXPECT_EQ(a.IdbShowCrafted, b.IdbShowCrafted);
  EXPECT_EQ(a.IdbShowMagics, b.IdbShowMagics);
  EXPECT_EQ(a.IdbShowNormals, b.IdbShowNormals);
  EXPECT_EQ(a.IdbMaskPrice0, b.IdbMaskPrice0);
  EXPECT_EQ(a.IdbSortColumn, b.IdbSortColumn);
  EXPECT_EQ(a.IdbSortInverted, b.IdbSortInverted);
}

TCatalogue CatalogueWithChars() {
  TCatalogue catalogue;
  for (const char* name : {"Alpha", "B\xE9ta", "Gamma"}) testing::AddChar(catalogue, name);
  return catalogue;
}

TEST(OptionsRoundTrip, EveryKeyComesBack) {
  TempDir dir;
  const std::string path = dir.File("kistora.ini");

  OptionValues written = OddValues();
  written.SelectedCharRow = 1;
  TCatalogue source = CatalogueWithChars();
  source.LastItemIndex = 123456;
  source.DefaultAccount = "ignored: the dialog's field is what is written";
  WriteOptions(path, BindOptionValues(written, source), "Kistora");

  OptionValues read;
  TCatalogue target = CatalogueWithChars();
  ASSERT_TRUE(ReadOptionValues(path, read, target));
  read.ItemGPositionFromOptions = false;  // a side effect of reading, not an option
  ExpectSame(read, written);
  EXPECT_EQ(target.LastItemIndex, 123456);
  EXPECT_EQ(target.DefaultAccount, written.CharAccount);

  // Writing what was read gives the same bytes again.
  const std::string first = ReadBytes(path);
  WriteOptions(path, BindOptionValues(read, target), "Kistora");
  EXPECT_EQ(ReadBytes(path), first);
}

TEST(OptionsRoundTrip, DesignedValuesComeBackToo) {
  TempDir dir;
  const std::string path = dir.File("kistora.ini");
  OptionValues written;
  TCatalogue source;
  WriteOptions(path, BindOptionValues(written, source), "Kistora");
  OptionValues read = OddValues();
  TCatalogue target;
  ASSERT_TRUE(ReadOptionValues(path, read, target));
  read.ItemGPositionFromOptions = false;
  ExpectSame(read, written);
  EXPECT_EQ(target.LastItemIndex, 0);
}

TEST(OptionsRoundTrip, TextsLoseWhatTheFormatCannotHold) {
  // Texts are read trimmed and cut before "//": the documented limits.
  TempDir dir;
  const std::string path = dir.File("kistora.ini");
  OptionValues written;
  written.Export.Sign = "  voir http://shop  ";
  written.Export.PageTitle = " Titre ";
  TCatalogue catalogue;
  WriteOptions(path, BindOptionValues(written, catalogue), "Kistora");
  OptionValues read;
  ReadOptionValues(path, read, catalogue);
  EXPECT_EQ(read.Export.Sign, "voir http:");
  EXPECT_EQ(read.Export.PageTitle, "Titre");
}

TEST(OptionsRoundTrip, NoSelectedRowWritesAnEmptyName) {
  OptionValues values;
  TCatalogue catalogue = CatalogueWithChars();
  const std::string text = OptionsFileText(BindOptionValues(values, catalogue), "Kistora");
  EXPECT_NE(text.find("\r\nselectedchar        \r\n"), std::string::npos);
  values.SelectedCharRow = 2;
  EXPECT_NE(OptionsFileText(BindOptionValues(values, catalogue), "Kistora").find("\r\nselectedchar        Gamma\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace kistora
