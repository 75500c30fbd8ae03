// Reading kistora.ini: line rules, value forms and their fallbacks, the holders'
// own behaviour (format and file name, selected character, last item number),
// and files that cannot be read (a read failing part-way, at each read in turn:
// tests/robustness/fault_injection_test.cpp).
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "core_test_support.h"
#include "model/text_utils.h"
#include "options/option_values.h"
#include "options/options_file.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class OptionsRead : public ::testing::Test {
 protected:
  // Reads bytes as the options file into values and catalogue; returns the
  // number of lines seen (the after-each-line hook runs once per line).
  int Read(const std::string& bytes) {
    WriteBytes(path_, bytes);
    int lines = 0;
    const OptionBindings bindings = BindOptionValues(values, catalogue);
    EXPECT_TRUE(ReadOptions(path_, bindings, [&] {
      ++lines;
      catalogue.SyncLastItemIndex();
    }));
    return lines;
  }

  TempDir dir_;
  std::string path_ = dir_.File("kistora.ini");
  OptionValues values;
  TCatalogue catalogue;
};

TEST_F(OptionsRead, MissingFileChangesNothing) {
  values.MainWidth = 5;
  EXPECT_FALSE(ReadOptionValues(dir_.File("none.ini"), values, catalogue));
  EXPECT_FALSE(ReadOptionValues(dir_.File("no-such-dir/kistora.ini"), values, catalogue));
  EXPECT_EQ(values.MainWidth, 5);
}

TEST_F(OptionsRead, LineEndsAreCrWithAnOptionalLf) {
  EXPECT_EQ(Read("mwp_left 10\r\nmwp_top 20\rmwp_width 30\r\n\r\nmwp_height 40"), 5);
  EXPECT_EQ(values.MainLeft, 10);
  EXPECT_EQ(values.MainTop, 20);
  EXPECT_EQ(values.MainWidth, 30);
  EXPECT_EQ(values.MainHeight, 40) << "a last line without line end still counts";
}

TEST_F(OptionsRead, AFileWithLfOnlyIsOneLine) {
  EXPECT_EQ(Read("mwp_width 700\nmwp_height 500\nccs_name 9\n"), 1);
  EXPECT_EQ(values.MainWidth, 609) << "the value \"700\\nmwp_height...\" does not parse: current value kept";
  EXPECT_EQ(values.MainHeight, 482);
  EXPECT_EQ(values.CharsColumns[0], 100);
}

TEST_F(OptionsRead, ByteOneAEndsTheFile) {
  EXPECT_EQ(Read("mwp_width 700\r\nmwp_height 5\x1A"
                 "00\r\nccs_name 9\r\n"),
            2);
  EXPECT_EQ(values.MainWidth, 700);
  EXPECT_EQ(values.MainHeight, 5) << "the line is cut at the end-of-file byte";
  EXPECT_EQ(values.CharsColumns[0], 100);
}

TEST_F(OptionsRead, CommentsAnywhereAndFirstSpaceSplit) {
  Read(
      "// a comment\r\n"
      "expsign   http://example.org/shop  \r\n"
      "mwp_width    640   // resized by hand\r\n"
      "exppagetitle  Mes   objets  \r\n"
      "expfilename //nothing\r\n");
  EXPECT_EQ(values.Export.Sign, "http:") << "a value holding // is cut there";
  EXPECT_EQ(values.MainWidth, 640);
  EXPECT_EQ(values.Export.PageTitle, "Mes   objets") << "inner spaces stay";
  EXPECT_EQ(values.Export.FileName, "") << "a key line without value: the text becomes empty";
}

TEST_F(OptionsRead, KeysAreMatchedInAnyCaseButNotAcrossATab) {
  Read("MWP_LEFT 10\r\nMwp_Top\t20\r\nmwp_width\t 30\r\n");
  EXPECT_EQ(values.MainLeft, 10);
  EXPECT_EQ(values.MainTop, 0) << "a tab is part of the key";
  EXPECT_EQ(values.MainWidth, 609);
}

TEST_F(OptionsRead, ALineIndentedBySpacesKeepsItsKeyWordInTheValue) {
  // The value is what follows the line's first space, so an indented key line
  // gives "mwp_width 30" as value: an integer that does not parse.
  Read("  mwp_width 30\r\n");
  EXPECT_EQ(values.MainWidth, 609);
}

TEST_F(OptionsRead, AKeyGivenTwiceIsAppliedTwice) {
  values.MainLeft = -7;
  Read("mwp_width 640\r\nmwp_width 800\r\nexpsortby price\r\nexpsortby\r\n");
  EXPECT_EQ(values.MainWidth, 800);
  EXPECT_EQ(values.Export.SortBy, ExportSort::None) << "the later, empty value selects the last choice";
}

TEST_F(OptionsRead, IntegersFallBackByKey) {
  values.MainLeft = 33;
  values.ItemGWidth = 44;
  Read(
      "mwp_left 1e3\r\niwp_width\r\nexpgooditemprice 2.5\r\nidbsortcol x\r\nccs_clvl 2147483648\r\n"
      "ics_price -2147483648\r\ndcs_notes +15\r\n");
  EXPECT_EQ(values.MainLeft, 33);
  EXPECT_EQ(values.ItemGWidth, 44);
  EXPECT_EQ(values.Export.IIPrice, 1);
  EXPECT_EQ(values.IdbSortColumn, 0);
  EXPECT_EQ(values.CharsColumns[3], 40) << "out of 32-bit range keeps the current width";
  EXPECT_EQ(values.CharInvColumns[4], -2147483647 - 1);
  EXPECT_EQ(values.ListeColumns[5], 15);
}

TEST_F(OptionsRead, IdbSortColIsNotRangeChecked) {
  Read("idbsortcol 99\r\nidbsortinvert yes\r\n");
  EXPECT_EQ(values.IdbSortColumn, 99);
  EXPECT_TRUE(values.IdbSortInverted);
}

TEST_F(OptionsRead, FlagsFollowTextToBool) {
  values.Export.MaskPrice0 = true;
  Read(
      "expshowuniques\r\nexpshowsets Oui\r\nexpshowrares Y\r\nexpshowcrafted vrai\r\n"
      "expshowmagics 1\r\nexpshownormals O\r\nexphideprice0 false\r\n");
  EXPECT_FALSE(values.Export.ShowUniques) << "a flag without value unchecks";
  EXPECT_TRUE(values.Export.ShowSets);
  EXPECT_TRUE(values.Export.ShowRares);
  EXPECT_FALSE(values.Export.ShowCrafted);
  EXPECT_TRUE(values.Export.ShowMagics);
  EXPECT_TRUE(values.Export.ShowNormals);
  EXPECT_FALSE(values.Export.MaskPrice0);
}

TEST_F(OptionsRead, ColoursFollowTextToColor) {
  Read(
      "expptitlecol #ff0000\r\nexpstitlecol FF0000\r\nexppagecol blue\r\nexptablecol red\r\n"
      "expgooditemcol\r\n");
  EXPECT_EQ(values.Export.PTCol, 0x0000FFu);
  EXPECT_EQ(values.Export.STCol, 0x00000Fu);
  EXPECT_EQ(values.Export.PageCol, 0xFFFFFFu);
  EXPECT_EQ(values.Export.TabCol, 0xED0000u);
  EXPECT_EQ(values.Export.IICol, 0xFFFFFFu);
}

TEST_F(OptionsRead, ChoicesAreLowerCasedAndFallToTheLastWord) {
  Read("expshowchars SELECTED\r\nexpsortby Price\r\n");
  EXPECT_EQ(values.Export.Scope, ExportScope::SelectedChar);
  EXPECT_EQ(values.Export.SortBy, ExportSort::Price);
  Read("expshowchars tous\r\nexpsortby names\r\n");
  EXPECT_EQ(values.Export.Scope, ExportScope::AllItems);
  EXPECT_EQ(values.Export.SortBy, ExportSort::None);
  Read("expshowchars allchars\r\nexpsortby name\r\n");
  EXPECT_EQ(values.Export.Scope, ExportScope::AllChars);
  EXPECT_EQ(values.Export.SortBy, ExportSort::Name);
}

TEST_F(OptionsRead, CheckingAFormatRewritesTheExportFileExtension) {
  Read("exportformat text\r\n");
  EXPECT_EQ(values.Export.Format, ExportFormat::Ascii);
  EXPECT_EQ(values.Export.FileName, "export.txt");

  Read("exportformat HTML\r\n");
  EXPECT_EQ(values.Export.Format, ExportFormat::Html);
  EXPECT_EQ(values.Export.FileName, "export.html");

  // As written by the program: the file name follows the format and wins.
  Read("exportformat ascii\r\nexpfilename mes.objets.html\r\n");
  EXPECT_EQ(values.Export.Format, ExportFormat::Ascii);
  EXPECT_EQ(values.Export.FileName, "mes.objets.html");

  // Checking the format already checked runs no click action.
  Read("exportformat ascii\r\n");
  EXPECT_EQ(values.Export.FileName, "mes.objets.html");

  Read("expfilename liste\r\nexportformat html\r\n");
  EXPECT_EQ(values.Export.FileName, "liste.html");
}

TEST_F(OptionsRead, TheFormatsToPasteComeAfterExportformatAndKeepTheFileName) {
  struct Case {
    const char* lines;
    ExportFormat format;
  };
  const Case cases[] = {
      {"exportformat html\r\nexpfilename a.html\r\n", ExportFormat::Html},  // a file written before them
      {"exportformat ascii\r\nexpfilename a.html\r\n", ExportFormat::Ascii},
      {"exportformat ascii\r\nexpfilename a.html\r\nexpmarkup BBCode\r\n", ExportFormat::BBCode},
      {"exportformat ascii\r\nexpfilename a.html\r\nexpmarkup markdown\r\n", ExportFormat::Markdown},
      {"exportformat html\r\nexpfilename a.html\r\nexpmarkup no\r\n", ExportFormat::Html},
      {"exportformat ascii\r\nexpfilename a.html\r\nexpmarkup textile\r\n", ExportFormat::Ascii},
  };
  for (const Case& c : cases) {
    values = OptionValues();
    Read(c.lines);
    EXPECT_EQ(values.Export.Format, c.format) << c.lines;
    EXPECT_EQ(values.Export.FileName, "a.html") << c.lines;
  }
}

TEST_F(OptionsRead, SelectedCharPicksTheLastRowOfThatNameWithAToZFolded) {
  AddChar(catalogue, "Bob");
  AddChar(catalogue, "Alice");
  AddChar(catalogue, "BOB");
  AddChar(catalogue, "\xC9lise");  // Élise
  Read("selectedchar bob\r\n");
  EXPECT_EQ(values.SelectedCharRow, 2);
  Read("selectedchar Alice\r\nselectedchar Nobody\r\n");
  EXPECT_EQ(values.SelectedCharRow, 1) << "a name that matches nothing leaves the selection";
  Read("selectedchar \xE9lise\r\n");
  EXPECT_EQ(values.SelectedCharRow, 1) << "accented capitals are not folded";
  Read("selectedchar \xC9lise\r\nselectedchar\r\n");
  EXPECT_EQ(values.SelectedCharRow, 3);
}

TEST_F(OptionsRead, NoSelectedCharAtStartLeavesNoneSelected) {
  AddChar(catalogue, "Bob");
  Read("selectedchar Nobody\r\n");
  EXPECT_EQ(values.SelectedCharRow, -1);
}

TEST_F(OptionsRead, LastItemIndexIsRaisedToTheHighestItemNumber) {
  Read("lastitemindex junk\r\n");
  EXPECT_EQ(catalogue.LastItemIndex, -1) << "unreadable with no item: the next number is 0";
  EXPECT_EQ(catalogue.NewItemIndex(), 0);

  AddItem(catalogue, 3);
  AddItem(catalogue, 17);
  Read("lastitemindex 9\r\n");
  EXPECT_EQ(catalogue.LastItemIndex, 17);
  Read("lastitemindex 40\r\n");
  EXPECT_EQ(catalogue.LastItemIndex, 40);
}

TEST_F(OptionsRead, DefaultAccountGoesToTheCatalogueAndTheCharacterDialog) {
  Read("defaccount  Mon compte  \r\n");
  EXPECT_EQ(catalogue.DefaultAccount, "Mon compte");
  EXPECT_EQ(values.CharAccount, "Mon compte");
}

TEST_F(OptionsRead, ItemWindowPositionFromTheFileIsRemembered) {
  Read("iwp_width 800\r\n");
  EXPECT_FALSE(values.ItemGPositionFromOptions);
  Read("iwp_top 15\r\n");
  EXPECT_TRUE(values.ItemGPositionFromOptions);
  EXPECT_EQ(values.ItemGTop, 15);
}

TEST_F(OptionsRead, TheHookRunsAfterEveryLineCommentsAndBlanksIncluded) {
  EXPECT_EQ(Read("// c\r\n\r\n   \r\nunknown 1\r\nmwp_left 1\r\n"), 5);
  EXPECT_EQ(Read(""), 0);
  EXPECT_EQ(Read("\r\n"), 1);
}

TEST(OptionLineSplit, TakesTheSameFirstWordAsNthWord) {
  for (const char* line : {"mwp_left 10", "   spaced   key  value ", "single", "", "    ", "a\tb c", "x  // comment",
                           "//only", "k v // c // d"}) {
    const OptionLine split = SplitOptionLine(line);
    std::string text = line;
    if (Pos("//", text) != 0) text = TrimSpaces(BeforeFirst("//", text));
    EXPECT_EQ(split.Key, LowerAscii(NthWord(1, text))) << '"' << line << '"';
  }
  EXPECT_EQ(SplitOptionLine("Key   a b  ").Value, "a b");
  EXPECT_EQ(SplitOptionLine("key").Value, "");
}

TEST(OptionLineSplit, AVeryLongLineIsSplitQuickly) {
  // A whole LF-only file reads as one line; splitting it must stay linear.
  std::string line;
  for (int i = 0; i < 200000; ++i) line += "w ";
  const OptionLine split = SplitOptionLine(line);
  EXPECT_EQ(split.Key, "w");
  EXPECT_EQ(split.Value.size(), line.size() - 3);
}

TEST_F(OptionsRead, AFileThatCannotBeReadIsReportedWithItsPath) {
  const std::string folder = dir_.File("a-directory.ini");
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  try {
    ReadOptionValues(folder, values, catalogue);
    FAIL() << "a directory is not an options file";
  } catch (const EFileError& error) {
    EXPECT_EQ(error.Errno, EISDIR);
    EXPECT_NE(std::string(error.what()).find(folder), std::string::npos);
  }
}

// Refuses to open anything, as a file without read permission would for a normal user.
class DeniedOpen : public FileOps {
 public:
  int Open(const char*, int, mode_t) override {
    errno = EACCES;
    return -1;
  }
};

TEST_F(OptionsRead, AFileThatCannotBeOpenedIsReported) {
  WriteBytes(path_, "mwp_left 1\r\n");
  DeniedOpen denied;
  ScopedFileOps scoped(denied);
  try {
    ReadOptionValues(path_, values, catalogue);
    FAIL() << "an unreadable file must be reported";
  } catch (const EFileError& error) {
    EXPECT_EQ(error.Errno, EACCES);
    EXPECT_EQ(std::string(error.what()), "Impossible d'ouvrir le fichier " + path_);
  }
  EXPECT_EQ(values.MainLeft, 0);
}

TEST(OptionBindingsForm, BindingAKeyWithTheWrongFormIsRefused) {
  OptionBindings bindings;
  bool flag = false;
  std::int32_t number = 0;
  EXPECT_THROW(bindings.BindFlag(OptionId::MwpLeft, flag), std::logic_error);
  EXPECT_THROW(bindings.BindInteger(OptionId::ExpShowPrice, number), std::logic_error);
  EXPECT_FALSE(bindings.IsBound(OptionId::MwpLeft));
  bindings.Apply(OptionId::MwpLeft, "5");  // unbound: nothing happens
  EXPECT_EQ(bindings.ValueText(OptionId::MwpWidth), "609");
}

TEST(OptionBindingsForm, AChoiceHolderOutOfRangeWritesTheLastWord) {
  OptionBindings bindings;
  int position = 7;
  bindings.BindChoice(
      OptionId::ExpShowChars, [&] { return position; }, [&](int p) { position = p; });
  EXPECT_EQ(bindings.ValueText(OptionId::ExpShowChars), "allitems");
  position = -1;
  EXPECT_EQ(bindings.ValueText(OptionId::ExpShowChars), "allitems");
  bindings.Apply(OptionId::ExpShowChars, "AllChars");
  EXPECT_EQ(position, 1);
}

}  // namespace
}  // namespace kistora
