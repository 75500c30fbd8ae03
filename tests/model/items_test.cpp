// Item classes, their tags and labels, and the set name / set title of a name.
#include "model/items.h"

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

#include "model/item_digest.h"

namespace kistora {
namespace {

struct Category {
  int tag;
  const char* className;
  const char* listLabel;
  const char* dialogLabel;
};

constexpr Category kCategories[] = {
    {0, "TD2Item", "", ""},
    {1, "TD2Gloves", "Gants", "Gants"},
    {2, "TD2Belt", "Ceinture", "Ceinture"},
    {3, "TD2Helm", "Casque", "Casque"},
    {4, "TD2Shield", "Bouclier", "Bouclier"},
    {5, "TD2Armor", "Armure", "Armure"},
    {6, "TD2Weapon", "Arme", "Arme"},
    {7, "TD2Amulet", "Amulette", "Amulette"},
    {8, "TD2Ring", "Anneau", "Anneau"},
    {9, "TD2Charm", "Charme", "Charme"},
    {10, "TD2Jewel", "Joyau", "Joyaux"},
    {11, "TD2Boots", "Bottes", "Bottes"},
};

TEST(Items, EachTagCreatesItsClassWithItsLabels) {
  for (const Category& c : kCategories) {
    const auto item = CreateItemFromTag(static_cast<std::uint8_t>(c.tag));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(ClassName(*item), c.className);
    EXPECT_EQ(ClassTag(*item), c.tag) << c.className;
    EXPECT_EQ(ListCategoryLabel(*item), c.listLabel);
    EXPECT_EQ(DialogCategoryLabel(*item), c.dialogLabel);
    if (c.tag != 0) {
      const auto fromLabel = CreateItemFromDialogLabel(c.dialogLabel);
      ASSERT_NE(fromLabel, nullptr);
      EXPECT_EQ(typeid(*fromLabel), typeid(*item)) << c.dialogLabel;
    }
  }
}

TEST(Items, UnknownTagsAndLabels) {
  for (int tag : {12, 100, 255}) {
    const auto item = CreateItemFromTag(static_cast<std::uint8_t>(tag));
    EXPECT_EQ(typeid(*item), typeid(TD2Item));
  }
  EXPECT_EQ(CreateItemFromDialogLabel("Joyau"), nullptr);  // the list spelling is not a dialog entry
  EXPECT_EQ(CreateItemFromDialogLabel(""), nullptr);
  EXPECT_EQ(CreateItemFromDialogLabel("gants"), nullptr);
  const TD2DefItem bareDefence;
  EXPECT_EQ(ClassTag(bareDefence), 0);
  EXPECT_EQ(ListCategoryLabel(bareDefence), "");
  EXPECT_EQ(ClassName(bareDefence), "TD2DefItem");
}

TEST(Items, DialogListsEveryCategoryOnce) {
  ASSERT_EQ(kDialogCategories.size(), 11u);
  for (const char* label : kDialogCategories) {
    const auto item = CreateItemFromDialogLabel(label);
    ASSERT_NE(item, nullptr) << label;
    EXPECT_EQ(DialogCategoryLabel(*item), label);
  }
  EXPECT_STREQ(kDialogCategories.front(), "Amulette");
  EXPECT_STREQ(kDialogCategories.back(), "Joyaux");
}

TEST(Items, AFreshItemIsEmpty) {
  const TD2Weapon w;
  EXPECT_EQ(w.Index, 0);
  EXPECT_TRUE(w.Name.empty());
  EXPECT_EQ(w.Quality, 0);
  EXPECT_TRUE(w.MagicProps.empty());
  EXPECT_EQ(w.Speed, 0);
  const TD2Shield s;
  EXPECT_EQ(s.Def, 0);
  EXPECT_EQ(s.Parade, 0);
}

TEST(Items, QualityAndSpeedLabels) {
  const char* qualities[] = {"Normal", "Magique", "Rare", "Crafted", "Set", "Unique"};
  for (int code = 0; code < 6; ++code) {
    EXPECT_EQ(QualityLabel(code), qualities[code]);
    EXPECT_EQ(QualityFromLabel(qualities[code]), code);
  }
  EXPECT_EQ(QualityLabel(6), "");
  EXPECT_EQ(QualityLabel(-1), "");
  EXPECT_EQ(QualityLabel(255), "");
  EXPECT_EQ(QualityFromLabel("Legendary"), 0);
  EXPECT_STREQ(kDialogQualities.front(), "Unique");
  EXPECT_STREQ(kDialogQualities.back(), "Normal");

  EXPECT_EQ(SpeedLabel(0), "Tr\xE8s lente");
  EXPECT_EQ(SpeedLabel(1), "Lente");
  EXPECT_EQ(SpeedLabel(3), "Rapide");
  EXPECT_EQ(SpeedLabel(4), "Tr\xE8s rapide");
  for (int code : {2, 7, -1, 5, -2147483647 - 1}) EXPECT_EQ(SpeedLabel(code), "Normale") << code;
}

struct SetCase {
  const char* name;
  const char* setName;
  const char* title;
};

TEST(Items, SetNamesAndTitles) {
  const SetCase cases[] = {
      {"Gants de Fer", "fer", "Fer: Gants"},
      {"Garde de Fer", "fer", "Fer: Garde"},
      {"Armure d'Acier", "acier", "Acier: Armure"},
      {"Bouclier des Rois", "rois", "Rois: Bouclier"},
      {"Talisman", "talisman", "Talisman: "},
      {"Heaume du Roi", "roi", "Roi: Heaume"},
      {"Cape de Fer de Feu", "feu", "Feu: Cape de Fer"},
      {"Fer de Fer", "fer", "Fer de Fer: "},
      {"", "", ": "},
      {"Gants de \xC9"
       "CLAT",
       "\xC9"
       "clat",
       "\xC9"
       "CLAT: Gants"},
      {"  Bottes de Vent  ", "vent", "Vent: Bottes"},
  };
  for (const SetCase& c : cases) {
    EXPECT_EQ(SetName(c.name), c.setName) << c.name;
    EXPECT_EQ(SetTitle(c.name), c.title) << c.name;
  }
  TD2Helm helm;
  helm.Name = "Heaume du Roi";
  EXPECT_EQ(SetName(helm), "roi");
  EXPECT_EQ(SetTitle(helm), "Roi: Heaume");
}

TEST(Items, TheLastHolderDeletesAndACopyStartsUnshared) {
  struct Watched : TD2Ring {
    explicit Watched(bool& gone) : gone_(gone) {}
    ~Watched() override { gone_ = true; }
    bool& gone_;
  };
  bool gone = false;
  ItemPtr first(std::make_unique<Watched>(gone));
  ItemPtr second = first;
  EXPECT_EQ(first.use_count(), 2u);
  // A copy of a shared item is another item, held by nobody yet.
  auto copy = std::make_unique<TD2Ring>(static_cast<const TD2Ring&>(*first));
  EXPECT_EQ(ItemPtr(std::move(copy)).use_count(), 1u);
  first.reset();
  EXPECT_FALSE(gone);
  second = nullptr;
  EXPECT_TRUE(gone);
  // Another holder joined through the item itself counts as one more.
  ItemPtr held(std::make_unique<TD2Ring>());
  ItemPtr joined = ItemPtr::Share(*held);
  EXPECT_EQ(held.use_count(), 2u);
}

TEST(ItemText, KeepsEveryByteInPlaceOrOnTheHeapThroughCopiesMovesAndSelfAssignment) {
  // 15 bytes fit in place, 16 do not; NUL and high bytes are text like any other.
  for (const std::size_t length : {0u, 1u, 14u, 15u, 16u, 17u, 300u}) {
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) bytes.push_back(static_cast<char>(i % 3 == 0 ? 0x80 + i : i));
    const ItemText text(bytes);
    EXPECT_EQ(text.size(), length);
    EXPECT_EQ(text, bytes);
    ItemText copy = text;
    ItemText moved = std::move(copy);
    EXPECT_EQ(moved, bytes) << length;
    EXPECT_TRUE(copy.empty());  // NOLINT: a moved-from text is empty
    moved = moved;              // NOLINT: self-assignment keeps the text
    EXPECT_EQ(moved, bytes);
    moved = moved.view().substr(length / 2);  // a part of itself
    EXPECT_EQ(moved, bytes.substr(length / 2));
    moved = "court";
    EXPECT_EQ(std::string(moved), "court");
  }
}

TEST(Items, TextsMadeInTheItemsRoomLeaveItOnlyAsCopies) {
  // Made as the loader makes it: the long texts and the lines in the item's own
  // allocation. Whatever leaves the item must outlive it (ASan sees a dangling one).
  const std::string name(40, 'N');
  const std::string notes = "courtes";
  std::string packed;
  for (const std::string& line : {std::string("+2 \xE0 toutes les comp\xE9tences"), std::string(300, 'L')})
    PropertyLines::Append(packed, line);
  ItemText movedName;
  PropertyLines movedLines;
  PropertyLines given{"Ajout\xE9"};
  std::unique_ptr<TD2Item> copy;
  {
    std::unique_ptr<TD2Item> item = CreateItemFromTag(6, {name, notes, packed});
    ASSERT_NE(dynamic_cast<TD2Weapon*>(item.get()), nullptr);
    EXPECT_EQ(item->Name, name);
    EXPECT_EQ(item->Notes, notes);
    ASSERT_EQ(item->MagicProps.size(), 2u);
    EXPECT_EQ(item->MagicProps[1], std::string(300, 'L'));
    copy = std::make_unique<TD2Weapon>(static_cast<const TD2Weapon&>(*item));
    movedName = std::move(item->Name);
    movedLines = std::move(item->MagicProps);
    EXPECT_EQ(item->Name, name);  // moving out of the room copies: the item keeps its texts
    // Changing a text of such an item frees nothing of its room.
    item->Notes = std::string(20, 'n');
    item->MagicProps = std::move(given);  // and what moves in takes nothing of the room out
    EXPECT_EQ(item->MagicProps[0], "Ajout\xE9");
    item->MagicProps.clear();
    item->Name = "Shako";
  }
  EXPECT_EQ(movedName, name);
  EXPECT_EQ(movedLines[1], std::string(300, 'L'));
  EXPECT_TRUE(given.empty());  // NOLINT: nothing of the item's room was swapped into it
  EXPECT_EQ(copy->Name, name);
  EXPECT_EQ(copy->MagicProps[0], "+2 \xE0 toutes les comp\xE9tences");
}

TEST(ItemDigest, SameContentsWhateverTheNumberAndAnyFieldChangesIt) {
  auto weapon = [] {
    auto item = std::make_unique<TD2Weapon>();
    item->Name = "Lame de cristal d'Arreat";  // past the texts kept in place
    item->Notes = "pour Mule01";
    item->MagicProps = {"+30% vitesse", "+2 comp\xE9tences"};
    item->Quality = 5;
    item->Price = 1200;
    item->MinDmg = 10;
    item->MaxDmg = 20;
    item->Speed = 3;
    return item;
  };
  const auto reference = weapon();
  auto renumbered = weapon();
  renumbered->Index = 77;
  EXPECT_EQ(ItemContentDigest(*reference), ItemContentDigest(*renumbered));
  EXPECT_TRUE(SameItemContents(*reference, *renumbered));
  // Kept on disk between runs: the value of a given item never changes.
  EXPECT_EQ(ItemContentDigest(*reference), 9251846309517472199u);

  const std::vector<std::function<void(TD2Weapon&)>> changes = {
      [](TD2Weapon& w) { w.Name = "Lame de cristal d'Arreat."; },
      [](TD2Weapon& w) { w.Notes = ""; },
      [](TD2Weapon& w) { w.MagicProps = {"+30% vitesse"}; },
      [](TD2Weapon& w) { w.MagicProps = {"+30% vitesse+2 comp\xE9tences"}; },  // the same bytes, one line
      [](TD2Weapon& w) { w.Quality = 4; },
      [](TD2Weapon& w) { w.Price = -1200; },
      [](TD2Weapon& w) { w.CLvl = 1; },
      [](TD2Weapon& w) { w.Str = 1; },
      [](TD2Weapon& w) { w.Dex = 1; },
      [](TD2Weapon& w) { w.Dur = 1; },
      [](TD2Weapon& w) { w.MaxDur = 1; },
      [](TD2Weapon& w) { w.MinDmg = 11; },
      [](TD2Weapon& w) { w.MaxDmg = 21; },
      [](TD2Weapon& w) { w.Speed = 2; },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    auto changed = weapon();
    changes[i](*changed);
    EXPECT_NE(ItemContentDigest(*reference), ItemContentDigest(*changed)) << "change " << i;
    EXPECT_FALSE(SameItemContents(*reference, *changed)) << "change " << i;
  }
  // The category counts too, even with every shared field alike.
  TD2Ring ring;
  TD2Amulet amulet;
  EXPECT_NE(ItemContentDigest(ring), ItemContentDigest(amulet));
  EXPECT_FALSE(SameItemContents(ring, amulet));
}

}  // namespace
}  // namespace kistora
