// Completion of names and magic property lines: what a few typed letters
// propose, in which order, what choosing a line writes, and that proposals
// counted in slices and followed change by change are those of a fresh build.
#include "listing/item_completion.h"

#include <gtest/gtest.h>

#include <random>

#include "core_test_support.h"
#include "listing/completion_key.h"
#include "listing/completion_tally.h"
#include "model/catalogue_history.h"

namespace kistora {
namespace {

using testing::W;

std::vector<std::string> Names(const ItemCompletion& completion, std::string_view typedUtf8) {
  std::vector<std::string> names;
  for (const NameProposal& p : completion.Names(W(typedUtf8), 8)) names.push_back(Cp1252ToUtf8(p.Name));
  return names;
}

std::vector<std::string> Patterns(const ItemCompletion& completion, std::string_view typedUtf8) {
  std::vector<std::string> patterns;
  for (const PropertyProposal& p : completion.PropertyLines(W(typedUtf8), 8)) {
    patterns.push_back(Cp1252ToUtf8(p.Pattern) + " | " + Cp1252ToUtf8(p.Line) + " | " + std::to_string(p.Uses));
  }
  return patterns;
}

TEST(ItemCompletion, MostUsedFirstFoldedByPrefixOrWordWithNumbersAsPlaceholders) {
  TCatalogue c;
  const auto add = [&c](const char* name, std::vector<std::string> lines) {
    testing::AddItem(c, static_cast<std::int32_t>(c.ItemList.size() + 1), W(name)).MagicProps = std::move(lines);
  };
  add("Anneau de Nagel", {W("+1 à toutes les compétences"), W("+25% résistance au feu")});
  add("Anneau de Nagel", {W("+1 à toutes les compétences"), W("+25% résistance au feu")});
  add("anneau de nagel", {W("+2 à toutes les compétences")});
  add("Anneau", {W("+30% Résistance au feu"), W("+1 à toutes les compétences")});
  add("Bague de l'Ange", {W("Ajoute 5-10 dégâts de feu")});
  add("Épée", {});
  add("   ", {});
  ItemCompletion completion;
  completion.Build(c.ItemList);

  // Names: one proposal per folded name, spelt as most items spell it.
  EXPECT_EQ(Names(completion, "ann"), (std::vector<std::string>{"Anneau de Nagel", "Anneau"}));
  EXPECT_EQ(Names(completion, "NAG"), (std::vector<std::string>{"Anneau de Nagel"}));  // by word
  EXPECT_EQ(Names(completion, "de n"), (std::vector<std::string>{"Anneau de Nagel"}));
  EXPECT_EQ(Names(completion, "ange"), (std::vector<std::string>{"Bague de l'Ange"}));  // after an apostrophe
  EXPECT_EQ(Names(completion, "epe"), (std::vector<std::string>{"Épée"}));
  EXPECT_EQ(Names(completion, "anneau "), (std::vector<std::string>{"Anneau de Nagel"}));  // a whole word typed
  EXPECT_TRUE(Names(completion, "agel").empty());                                          // inside a word
  EXPECT_TRUE(Names(completion, " ").empty());

  // Lines: patterns of the most used lines first; typed numbers stand for any number.
  EXPECT_EQ(Patterns(completion, "+3"),
            (std::vector<std::string>{"+# à toutes les compétences | +1 à toutes les compétences | 4",
                                      "+#% résistance au feu | +25% résistance au feu | 3"}));
  EXPECT_EQ(Patterns(completion, "resi"),
            (std::vector<std::string>{"+#% résistance au feu | +25% résistance au feu | 3"}));
  EXPECT_EQ(Patterns(completion, "dégâts"),
            (std::vector<std::string>{"Ajoute #-# dégâts de feu | Ajoute 5-10 dégâts de feu | 1"}));

  // Choosing: the typed numbers stay, the first number still to type is selected.
  const auto fill = [](const char* line, const char* typed) {
    const FilledLine f = FillPropertyLine(W(line), W(typed));
    return std::tuple(Cp1252ToUtf8(f.Text), f.SelectionStart, f.SelectionLength);
  };
  EXPECT_EQ(fill("+25% résistance au feu", "rés"), std::tuple("+25% résistance au feu", 1u, 2u));
  EXPECT_EQ(fill("+25% résistance au feu", "+3"), std::tuple("+3% résistance au feu", 21u, 0u));
  EXPECT_EQ(fill("Ajoute 5-10 dégâts de feu", "ajoute 7"), std::tuple("Ajoute 7-10 dégâts de feu", 9u, 2u));
  EXPECT_EQ(fill("Indestructible", "ind"), std::tuple("Indestructible", 14u, 0u));
}

std::unique_ptr<TD2Item> RandomItem(std::mt19937& random) {
  static const char* const kNames[] = {"Anneau", "anneau", "Anneau de feu", "Heaume", "Bottes", ""};
  static const char* const kLines[] = {"+1 a toutes", "+2 a toutes", "+30% feu", "+30% Feu", "Indestructible"};
  auto item = CreateItemFromTag(static_cast<std::uint8_t>(1 + random() % 11));
  item->Name = kNames[random() % std::size(kNames)];
  for (auto n = random() % 3; n > 0; --n) item->MagicProps.emplace_back(kLines[random() % std::size(kLines)]);
  return item;
}

TEST(ItemCompletion, FollowsChangesWhileCountedInSlicesAsAFreshBuild) {
  std::mt19937 random(3);
  TCatalogue catalogue;
  for (int i = 0; i < 20; ++i) catalogue.AddNewItem(RandomItem(random));
  ItemCompletion followed;
  followed.Start();  // counted two items a step, while the catalogue changes
  struct Follower : CatalogueObserver {
    ItemCompletion& completion;
    const TCatalogue& catalogue;
    Follower(ItemCompletion& c, const TCatalogue& cat) : completion(c), catalogue(cat) {}
    void CatalogueChanged(const CatalogueChange& change) override { completion.Follow(change, catalogue.ItemList); }
  } follower(followed, catalogue);
  catalogue.AddObserver(&follower);
  CatalogueHistory history(catalogue);
  for (int step = 0; step < 300; ++step) {
    const int position = static_cast<int>(random() % catalogue.ItemList.size());
    switch (random() % 8) {
      case 0:
      case 1:
        catalogue.AddNewItem(RandomItem(random));
        break;
      case 2:
      case 3:
        catalogue.ReplaceItemAt(position, RandomItem(random));
        break;
      case 4:
      case 5:
        if (catalogue.ItemList.size() > 1) catalogue.DeleteItemAt(position);
        break;
      case 6:
        history.Undo();  // a deletion taken back puts its item back in its place
        break;
      default:
        if (step % 50 == 0) catalogue.NotifyReset();  // a load: counted again from the start
        break;
    }
    followed.CountMore(catalogue.ItemList, 2);
    ItemCompletion finished = followed;
    EXPECT_TRUE(finished.CountMore(catalogue.ItemList, catalogue.ItemList.size()));
    ItemCompletion fresh;
    fresh.Build(catalogue.ItemList);
    for (const char* typed : {"a", "an", "de", "h", "b"}) {
      ASSERT_EQ(Names(finished, typed), Names(fresh, typed)) << "step " << step << " " << typed;
    }
    for (const char* typed : {"+", "+5", "f", "i"}) {
      ASSERT_EQ(Patterns(finished, typed), Patterns(fresh, typed)) << "step " << step << " " << typed;
    }
  }
  EXPECT_TRUE(followed.IsComplete());
  catalogue.RemoveObserver(&follower);
}

TEST(ItemCompletion, NamesProposeWhatATallyOfEveryNameProposes) {
  // The names kept small propose what a tally holding a copy of every name would.
  static const char* const kWords[] = {"Anneau", "anneau", "ANNEAU", "\xC9p\xE9\x65", "epee", "de", "l'Ange",
                                       "Nagel",  "nagel",  "12",     "120",           "1 2",  "  ", "Tal Rasha"};
  std::mt19937 random(7);
  TCatalogue catalogue;
  CompletionTally tally(NameKey);
  for (int i = 0; i < 400; ++i) {
    std::string name;
    for (auto words = random() % 4; words > 0; --words) name += std::string(kWords[random() % std::size(kWords)]) + " ";
    auto item = CreateItemFromTag(static_cast<std::uint8_t>(1 + random() % 11));
    item->Name = name.substr(0, name.size() - random() % 2);
    tally.Count(item->Name, 1);
    catalogue.ItemList.push_back(std::move(item));
  }
  ItemCompletion completion;
  completion.Build(catalogue.ItemList);
  for (const char* typed :
       {"a", "an", "anneau ", "de", "de n", "ange", "e", "1", "12", "1 2", "ta", "tal r", "z", " "}) {
    std::vector<std::string> fromTally;
    for (const CompletionTally::Found& found : tally.Find(CompletionKey(typed, false, true), 8))
      fromTally.push_back(found.Text + " (" + std::to_string(found.Uses) + ")");
    std::vector<std::string> proposed;
    for (const NameProposal& p : completion.Names(typed, 8))
      proposed.push_back(p.Name + " (" + std::to_string(p.Uses) + ")");
    EXPECT_EQ(proposed, fromTally) << typed;
  }
}

}  // namespace
}  // namespace kistora
