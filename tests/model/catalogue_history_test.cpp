// Taking changes back and doing them again: random runs of every operation
// leave, after each undo and each redo, exactly the files the catalogue had at
// that point; numbers handed out stay handed out; the words of each step.
#include "model/catalogue_history.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <random>

#include "core_test_support.h"
#include "storage/database.h"

namespace kistora {
namespace {

using testing::W;

// What the saves as you go would write now: items.kdb and chars.kdb, byte for byte.
struct SavedFiles {
  explicit SavedFiles(const testing::TempDir& dir) : dir_(dir) {}
  std::string Of(const TCatalogue& catalogue) const {
    SaveItems(catalogue, dir_.File("items.kdb"));
    SaveChars(catalogue, dir_.File("chars.kdb"));
    return testing::ReadBytes(dir_.File("items.kdb")) + testing::ReadBytes(dir_.File("chars.kdb"));
  }

 private:
  const testing::TempDir& dir_;
};

// Whether the quick lookups by number (which follow the list change by change) still find what a scan finds.
bool LookupsRight(const TCatalogue& c) {
  for (std::size_t i = 0; i < c.ItemList.size(); ++i) {
    const std::int32_t number = c.ItemList[i]->Index;
    std::size_t first = 0;
    while (c.ItemList[first]->Index != number) ++first;
    const TD2Item* last = nullptr;
    for (const auto& item : c.ItemList) last = item->Index == number ? item.get() : last;
    if (c.FindFirstItemPos(number) != static_cast<int>(first) || c.FindItem(number) != last) return false;
  }
  return true;
}

class RandomOperations {
 public:
  RandomOperations(TCatalogue& catalogue, CatalogueHistory& history, unsigned seed)
      : c_(catalogue), history_(history), random_(seed) {}

  // One operation of any kind (a few of them in one group now and then).
  void Any() {
    switch (Pick(12)) {
      case 0: {
        CatalogueHistory::Group group(&history_, "Import");
        for (int n = 1 + Pick(3); n > 0; --n) One();
        break;
      }
      case 1:
        if (Pick(4) == 0) c_.ReplaceContent(OtherItems(), OtherChars());  // a backup restored
        break;
      default:
        One();
    }
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  int ItemPos() { return c_.ItemList.empty() ? 0 : Pick(static_cast<int>(c_.ItemList.size())); }
  int Row() { return c_.CharList.empty() ? 0 : Pick(static_cast<int>(c_.CharList.size())); }
  std::int32_t HeldNumber() { return c_.ItemList.empty() ? 7 : c_.ItemList[ItemPos()]->Index; }

  std::unique_ptr<TD2Item> Item() {
    auto item = CreateItemFromTag(static_cast<std::uint8_t>(Pick(12)));
    item->Name = "Objet " + std::to_string(Pick(100));
    item->Price = Pick(1000);
    if (Pick(2)) item->MagicProps = {"+" + std::to_string(Pick(20)) + " Force"};
    return item;
  }
  std::unique_ptr<TChar> Char() {
    auto character = std::make_unique<TChar>();
    character->Name = "Perso" + std::to_string(Pick(50));
    character->Level = std::to_string(1 + Pick(99));
    character->Notes = Pick(2) ? "mule" : "";
    return character;
  }
  ItemVector OtherItems() {
    ItemVector items;
    for (int n = Pick(4); n > 0; --n) {
      items.push_back(Item());
      items.back()->Index = 1 + Pick(40);
    }
    return items;
  }
  std::vector<std::unique_ptr<TChar>> OtherChars() {
    std::vector<std::unique_ptr<TChar>> characters;
    for (int n = Pick(3); n > 0; --n) characters.push_back(Char());
    return characters;
  }

  void One() {
    switch (Pick(10)) {
      case 0:
        c_.AddNewItem(Item());
        break;
      case 1:
        c_.ModifyItem(HeldNumber(), Item());
        break;
      case 2:
        c_.DeleteItem(HeldNumber());
        break;
      case 3:
        c_.AddChar(Char());
        break;
      case 4:
        c_.ModifyChar(Row(), *Char());
        break;
      case 5:
        c_.RemoveChar(Row());
        break;
      case 6:
        c_.SwapChars(Row(), Row());
        break;
      case 7:
      case 8:
        c_.AddItemToChar(Row(), HeldNumber());
        break;
      default: {
        const int row = Row();
        if (const TChar* character = c_.CharAt(row); character && character->ItemCount() > 0)
          c_.RemoveInventoryEntry(row, Pick(character->ItemCount()));
        break;
      }
    }
  }

  TCatalogue& c_;
  CatalogueHistory& history_;
  std::mt19937 random_;
};

TEST(History, UndoAndRedoGiveBackTheFilesOfEachStepExactly) {
  // Thousands of safe saves: in memory where the system has it, so that their syncs cost nothing.
  testing::TempDir dir(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "");
  const SavedFiles saved(dir);
  for (unsigned trial = 1; trial <= 12; ++trial) {
    TCatalogue c;
    for (std::int32_t n = 1; n <= 6; ++n) testing::AddItem(c, n * 2, "Anneau", n % 6, n * 10);
    testing::AddPaladin(c, "Zoe", {2, 4, 2, 12}, "42");
    testing::AddChar(c, "Ana", {4, 99});  // 99: an item that is gone
    CatalogueHistory history(c);
    RandomOperations operations(c, history, trial);
    // files[k]: what the catalogue holds with k steps done.
    std::vector<std::string> files = {saved.Of(c)};
    std::int32_t highest = c.LastItemIndex;  // the highest number handed out
    for (int turn = 0; turn < 150; ++turn) {
      if (turn % 9 == 4) {
        // Some steps back, then new changes drop the steps taken back.
        for (int back = 1 + turn % 3; back > 0; --back) history.Undo();
        ASSERT_EQ(saved.Of(c), files[history.DoneCount()]) << "trial " << trial << " turn " << turn;
      }
      operations.Any();
      highest = std::max(highest, c.LastItemIndex);
      if (history.CanRedo()) {
        // The operation found nothing to act on: no step, nothing changed.
        ASSERT_EQ(saved.Of(c), files[history.DoneCount()]) << "trial " << trial << " turn " << turn;
        continue;
      }
      files.resize(history.DoneCount());
      files.push_back(saved.Of(c));
      ASSERT_EQ(files.size(), history.StepCount() + 1);
    }
    const std::string end = files.back();
    while (history.Undo()) {
      ASSERT_EQ(saved.Of(c), files[history.DoneCount()]) << "trial " << trial << " undo to " << history.DoneCount();
      ASSERT_TRUE(LookupsRight(c)) << "trial " << trial << " undo to " << history.DoneCount();
    }
    EXPECT_EQ(saved.Of(c), files.front()) << "trial " << trial;
    EXPECT_TRUE(history.GoTo(history.StepCount()));
    EXPECT_EQ(saved.Of(c), end) << "trial " << trial;
    // No number goes back to the pool: the next item gets a number never seen.
    EXPECT_TRUE(history.GoTo(0));
    EXPECT_GT(c.NewItemIndex(), highest) << "trial " << trial;
  }
}

TEST(History, KeepsTheNewestStepsAndForgetsAfterALoad) {
  TCatalogue c;
  CatalogueHistory history(c, 3);
  int told = 0;
  history.SetListener([&] { ++told; });
  for (int n = 0; n < 5; ++n) c.AddNewItem(std::make_unique<TD2Ring>());
  EXPECT_EQ(told, 5);
  EXPECT_EQ(history.StepCount(), 3u);
  while (history.Undo()) {
  }
  EXPECT_EQ(c.ItemList.size(), 2u);  // the two oldest additions cannot be taken back
  history.Redo();
  EXPECT_EQ(c.ItemList.size(), 3u);
  c.NotifyReset();  // the lists were loaded anew behind the operations
  EXPECT_EQ(history.StepCount(), 0u);
  EXPECT_FALSE(history.Undo());
  EXPECT_FALSE(history.Redo());
}

TEST(History, DescribesEachStepInFrenchWords) {
  TCatalogue c;
  testing::AddItem(c, 1204, W("Épée de cristal"));
  testing::AddChar(c, "Mule01");
  testing::AddChar(c, "Zoe");
  CatalogueHistory history(c);
  auto named = std::make_unique<TD2Ring>();
  named->Name = "Anneau";
  TChar renamed;
  renamed.Name = "Mule02";
  // Numbers are grouped and names set in guillemets with no-break spaces.
  const std::vector<std::pair<std::function<void()>, std::string>> steps = {
      {[&] { c.AddItemToChar(0, 1204); }, W("Ajout de l'objet 1\u00A0204 «\u00A0Épée de cristal\u00A0» à Mule01")},
      {[&] { c.RemoveInventoryEntry(0, 0); },
       W("Retrait de l'objet 1\u00A0204 «\u00A0Épée de cristal\u00A0» de Mule01")},
      {[&] { c.AddItemToChar(1, 77); }, W("Ajout de l'objet 77 à Zoe")},  // no such item: its number
      {[&] { c.DeleteItem(1204); }, W("Suppression de l'objet 1\u00A0204 «\u00A0Épée de cristal\u00A0»")},
      {[&] { c.AddNewItem(std::move(named)); }, W("Ajout de l'objet 1\u00A0205 «\u00A0Anneau\u00A0»")},
      {[&] { c.ModifyItem(1205, std::make_unique<TD2Jewel>()); }, W("Modification de l'objet 1\u00A0205")},
      {[&] { c.ModifyChar(0, renamed); }, W("Modification du perso «\u00A0Mule02\u00A0»")},
      {[&] { c.SwapChars(1, 0); }, W("Déplacement du perso «\u00A0Zoe\u00A0» vers le haut")},
      {[&] { c.RemoveChar(0); }, W("Suppression du perso «\u00A0Zoe\u00A0»")},
      {[&] { c.AddChar(std::make_unique<TChar>()); }, W("Ajout du perso sans nom")},
  };
  for (const auto& [operation, text] : steps) {
    operation();
    EXPECT_EQ(history.UndoText(), text);
  }
  history.Undo();
  EXPECT_EQ(history.RedoText(), steps.back().second);
}

}  // namespace
}  // namespace kistora
