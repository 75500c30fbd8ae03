// Only what is new: the last list of each format remembered in last-exports.txt,
// what counts as new, and a memory that is damaged, unreadable or cannot be kept.
#include "export/export_memory.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "export/export_run.h"
#include "export_test_support.h"

namespace kistora {
namespace {

using testing::AddItem;
using testing::FixedNow;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class ExportMemoryTest : public ::testing::Test {
 protected:
  ExportMemoryTest() {
    settings.Scope = ExportScope::AllItems;
    settings.NewOnly = true;
    SelectExportFormat(settings, ExportFormat::BBCode);
    settings.FileName = dir.File("liste.txt");
    outputs.MemoryPath = dir.File("last-exports.txt");
  }
  ExportResult Run(ExportFormat format = ExportFormat::BBCode) {
    settings.Format = format;
    return RunExport(settings, catalogue, -1, FixedNow(), outputs);
  }

  TempDir dir;
  TCatalogue catalogue = testing::ExportCatalogue();
  ExportSettings settings;
  ExportOutputs outputs;
};

TEST_F(ExportMemoryTest, EachFormatListsWhatWasAddedOrChangedSinceItsLastList) {
  const int all = static_cast<int>(catalogue.ItemList.size());
  EXPECT_EQ(Run().ItemCount, all) << "nothing remembered yet: every item is new";
  EXPECT_EQ(Run().ItemCount, 0);

  catalogue.ItemList[2]->Price += 1;  // item 3
  AddItem<TD2Ring>(catalogue, 20, "Anneau neuf", 2, 5);
  const ExportResult news = Run();
  EXPECT_EQ(news.Status, ExportStatus::Written);
  EXPECT_EQ(news.ItemCount, 2);
  const std::string list = ReadBytes(settings.FileName);
  EXPECT_NE(list.find("Anneau neuf"), std::string::npos);
  EXPECT_EQ(list.find("Egide"), std::string::npos) << "unchanged";

  EXPECT_EQ(Run(ExportFormat::Markdown).ItemCount, all + 1) << "the Markdown list has its own memory";
  settings.NewOnly = false;
  EXPECT_EQ(Run(ExportFormat::Html).ItemCount, all + 1);
  settings.NewOnly = true;
  EXPECT_EQ(Run(ExportFormat::Html).ItemCount, 0) << "a whole list is remembered too";
  EXPECT_EQ(Run().ItemCount, 0);
}

TEST_F(ExportMemoryTest, AListNotDeliveredIsNotRemembered) {
  outputs.File = false;
  outputs.Deliver = [](std::string_view) { return false; };
  EXPECT_EQ(Run().Status, ExportStatus::Failed);
  outputs.Deliver = [](std::string_view) { return true; };
  EXPECT_EQ(Run().ItemCount, static_cast<int>(catalogue.ItemList.size()));
  EXPECT_FALSE(std::filesystem::exists(settings.FileName)) << "no file asked for";
}

TEST_F(ExportMemoryTest, DamagedLinesAreToldAndTheirItemsCountAsNew) {
  Run();
  std::string memory = ReadBytes(outputs.MemoryPath);
  memory.replace(memory.find("\n1 "), 3, "\nun ");            // item 1's line
  memory.replace(memory.find("\n7 ") + 3, 16, "zz");          // item 7's digest
  WriteBytes(outputs.MemoryPath, memory + "[wiki]\n3 2a\n");  // a later program's format, LF alone
  const ExportResult result = Run();
  EXPECT_EQ(result.ItemCount, 2);  // items 1 and 7
  EXPECT_NE(result.MemoryProblem.find("2 lignes illisibles"), std::string::npos) << result.MemoryProblem;
  const ExportResult again = Run();
  EXPECT_EQ(again.MemoryProblem, "") << "the file was written whole again";
  EXPECT_EQ(again.ItemCount, 0);
  EXPECT_TRUE(ReadBytes(outputs.MemoryPath).ends_with("[wiki]\r\n3 000000000000002a\r\n")) << "kept";
}

TEST_F(ExportMemoryTest, AMemoryThatCannotBeReadOrKeptLosesNoItem) {
  std::filesystem::create_directory(outputs.MemoryPath);  // neither a file to read nor one to replace
  const ExportResult result = Run();
  EXPECT_EQ(result.Status, ExportStatus::Written);
  EXPECT_EQ(result.ItemCount, static_cast<int>(catalogue.ItemList.size()));
  EXPECT_TRUE(result.MemoryProblem.starts_with("Impossible de lire le fichier ")) << result.MemoryProblem;
  EXPECT_NE(result.MemoryProblem.find("Impossible d'\xE9"
                                      "crire le fichier "),
            std::string::npos)
      << result.MemoryProblem;
  EXPECT_EQ(Run().ItemCount, result.ItemCount) << "nothing was remembered";
}

}  // namespace
}  // namespace kistora
