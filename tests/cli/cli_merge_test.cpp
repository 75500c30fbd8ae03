// kistora-cli merge: its report and exit statuses on a conflict and a number
// taken on both sides, an unreadable input, and a folder the program holds.
#include <gtest/gtest.h>

#include <map>

#include "cli_run.h"
#include "core_test_support.h"
#include "storage/data_folder_lock.h"
#include "storage/database.h"

namespace kistora {
namespace {

using namespace testing;

CliRun RunCli(const std::string& args) {
  return RunCaptured("env -u KISTORA_DATA_DIR LC_ALL=C " + Quote(KISTORA_CLI_PATH) + " " + args);
}

void Save(const TempDir& dir, const std::map<std::int32_t, std::string>& items, std::vector<std::int32_t> held) {
  TCatalogue c;
  for (const auto& [number, name] : items) AddItem(c, number, name);
  AddChar(c, "Mule", std::move(held));
  SaveItems(c, dir.File("items.kdb"));
  SaveChars(c, dir.File("chars.kdb"));
}

std::map<std::int32_t, std::string> ItemsIn(const TempDir& dir, std::vector<std::int32_t>* held = nullptr) {
  TCatalogue c;
  EXPECT_EQ(LoadItems(c, dir.File("items.kdb")), kLoadOk);
  EXPECT_EQ(LoadChars(c, dir.File("chars.kdb")), kLoadOk);
  std::map<std::int32_t, std::string> items;
  for (const ItemPtr& item : c.ItemList) items[item->Index] = std::string(item->Name) + std::string(item->Notes);
  if (held && !c.CharList.empty()) *held = c.CharList[0]->Items;
  return items;
}

TEST(CliMerge, ThreeWayWithAConflictAndANumberTakenTwiceThenItsRefusals) {
  TempDir base, dir, other;
  Save(base, {{1, "Anneau"}, {2, "Epee"}}, {1});
  Save(dir, {{1, "Anneau"}, {2, "Epee A"}, {3, "Ici"}}, {1});
  Save(other, {{1, "Anneau"}, {2, "Epee B"}, {3, "La-bas"}}, {1, 3});
  const std::string args = Quote(dir.Path()) + " " + Quote(other.Path()) + " --base " + Quote(base.Path());

  const std::string before = ReadBytes(dir.File("items.kdb")) + ReadBytes(dir.File("chars.kdb"));
  const CliRun dry = RunCli("merge " + args + " --dry-run");
  EXPECT_EQ(dry.status, 0) << dry.err;
  EXPECT_NE(dry.out.find("objets en conflit : 1 (2 ; l'autre version est l'objet 4)"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("objets renum\xC3\xA9rot\xC3\xA9s : 1 (3 devenu 5)"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("(rien n'a \xC3\xA9t\xC3\xA9 \xC3\xA9"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")) + ReadBytes(dir.File("chars.kdb")), before);

  const CliRun json = RunCli("merge " + args + " --json");
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"conflicts\": [{\"ours\": 2, \"theirs\": 4}], \"renumbered\": [{\"was\": 3, \"now\": 5}]"),
            std::string::npos)
      << json.out;
  std::vector<std::int32_t> held;
  EXPECT_EQ(ItemsIn(dir, &held),
            (std::map<std::int32_t, std::string>{
                {1, "Anneau"}, {2, "Epee A"}, {3, "Ici"}, {4, "Epee B (conflit avec l'objet 2)"}, {5, "La-bas"}}));
  EXPECT_EQ(held, (std::vector<std::int32_t>{1, 5})) << "the other's item 3 is now 5, and so is its entry";

  // An input that cannot be read whole: 65, nothing written.
  const std::string merged = ReadBytes(dir.File("items.kdb"));
  const std::string whole = ReadBytes(other.File("items.kdb"));
  WriteBytes(other.File("items.kdb"), whole.substr(0, whole.size() - 3));
  const CliRun damaged = RunCli("merge " + args);
  EXPECT_EQ(damaged.status, 65);
  EXPECT_NE(damaged.err.find("rien n'a \xC3\xA9t\xC3\xA9 fusionn\xC3\xA9"), std::string::npos) << damaged.err;
  EXPECT_EQ(RunCli("merge " + Quote(dir.Path()) + " " + Quote(other.File("nothing.kdb"))).status, 65);
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")), merged);

  // One database file, such as a sync tool's conflict copy, two-way: nothing deleted.
  WriteBytes(other.File("items.sync-conflict-20261208-153012-ABCDEFG.kdb"), whole);
  const CliRun copy =
      RunCli("merge " + Quote(dir.Path()) + " " + Quote(other.File("items.sync-conflict-20261208-153012-ABCDEFG.kdb")));
  EXPECT_EQ(copy.status, 0) << copy.err;
  EXPECT_NE(copy.out.find("deux voies"), std::string::npos);
  // Two-way, 3 differs: kept beside; 2's conflict is in the folder already: not again.
  const auto items = ItemsIn(dir);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items.at(6), "La-bas (conflit avec l'objet 3)");

  // The program holds the folder: 75.
  DataFolderLock program;
  ASSERT_EQ(program.TryAcquire(dir.Path()).State, LockState::Held);
  EXPECT_EQ(RunCli("merge " + args).status, 75);
}

}  // namespace
}  // namespace kistora
