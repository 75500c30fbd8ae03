// "Fichier" > "Exporter en CSV…": the items as the command line's csv writes
// them, and a file that cannot be written told in a box.
#include <fstream>
#include <sstream>

#include "MainWindowHelpers.h"
#include "storage/items_csv.h"

namespace kistora::testing {
namespace {

TEST(CsvExport, WritesTheItemsAsTheCommandLineDoesAndTellsAFailure) {
  GuiTestEnvironment env;
  TCatalogue start;
  AddItem<TD2Ring>(start, 3, "Anneau de Tal Rasha", 4, 12);
  env.WriteDatabases(start);
  ScopedProgram program;
  TMain& main = program.Main();
  const std::string path = env.Path("liste.csv");
  main.PickCsvFile = [&](QWidget*) { return std::optional<QString>(QString::fromStdString(path)); };
  main.ExportCsv->trigger();
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  EXPECT_EQ(bytes.str(), ItemsToCsv(main.Catalogue()));
  EXPECT_EQ(bytes.str().rfind("\xEF\xBB\xBF", 0), 0u) << "UTF-8 with its byte order mark";

  std::ofstream(env.Path("plain")) << "x";
  main.PickCsvFile = [&](QWidget*) { return std::optional<QString>(QString::fromStdString(env.Path("plain/x.csv"))); };
  main.ExportCsv->trigger();
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
            QStringList({QString::fromUtf8("Impossible de créer le fichier ") +
                         QString::fromStdString(env.Path("plain/x.csv")) + QStringLiteral(".")}));
}

}  // namespace
}  // namespace kistora::testing
