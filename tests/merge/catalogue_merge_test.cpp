// The three-way merge of catalogues: one table per family of rules (items,
// characters), and a property test over random catalogues edited at random on
// both sides.
#include "merge/catalogue_merge.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>

namespace kistora {
namespace {

using Items = std::map<std::int32_t, std::string>;  // number -> name, a ring each
struct Stored {
  std::string Name, Notes;
  bool operator==(const Stored&) const = default;
};

CatalogueVersion Version(const Items& items, std::vector<TChar> chars = {}, std::int32_t last = 0) {
  CatalogueVersion version;
  for (const auto& [number, name] : items) {
    auto ring = std::make_unique<TD2Ring>();
    ring->Index = number;
    ring->Name = name;
    version.Items.push_back(ItemPtr(std::move(ring)));
  }
  version.Chars = std::move(chars);
  version.LastItemIndex = last;
  return version;
}

std::map<std::int32_t, Stored> Contents(const CatalogueVersion& version) {
  std::map<std::int32_t, Stored> out;
  for (const ItemPtr& item : version.Items) {
    EXPECT_TRUE(out.emplace(item->Index, Stored{std::string(item->Name), std::string(item->Notes)}).second)
        << "number " << item->Index << " twice";
  }
  return out;
}

TChar Char(std::string name, std::vector<std::int32_t> items = {}, std::string account = "", std::string level = "") {
  TChar c;
  c.Name = std::move(name);
  c.Items = std::move(items);
  c.Account = std::move(account);
  c.Level = std::move(level);
  return c;
}

TEST(MergeItems, EachRuleOnOneItem) {
  const auto conflict = [](std::int32_t ours) { return ConflictNote(ours); };
  struct Case {
    const char* what;
    std::optional<Items> base;  // nullopt: two-way
    Items ours, theirs;
    std::int32_t oursLast;
    std::map<std::int32_t, Stored> expected;
  };
  const Case cases[] = {
      {"added on one side each",
       Items{{1, "A"}},
       {{1, "A"}, {2, "B"}},
       {{1, "A"}, {3, "C"}},
       2,
       {{1, {"A", ""}}, {2, {"B", ""}}, {3, {"C", ""}}}},
      {"added on both, the same",
       Items{{1, "A"}},
       {{1, "A"}, {2, "B"}},
       {{1, "A"}, {2, "B"}},
       2,
       {{1, {"A", ""}}, {2, {"B", ""}}}},
      {"added on both under one number",
       Items{{1, "A"}},
       {{1, "A"}, {2, "B"}},
       {{1, "A"}, {2, "C"}},
       2,
       {{1, {"A", ""}}, {2, {"B", ""}}, {3, {"C", ""}}}},
      {"the next free number is above the last handed out",
       Items{{1, "A"}},
       {{1, "A"}, {2, "B"}},
       {{1, "A"}, {2, "C"}},
       9,
       {{1, {"A", ""}}, {2, {"B", ""}}, {10, {"C", ""}}}},
      {"changed on one side each",
       Items{{1, "A"}, {2, "B"}},
       {{1, "A2"}, {2, "B"}},
       {{1, "A"}, {2, "B2"}},
       2,
       {{1, {"A2", ""}}, {2, {"B2", ""}}}},
      {"changed on both, the same way", Items{{1, "A"}}, {{1, "A2"}}, {{1, "A2"}}, 1, {{1, {"A2", ""}}}},
      {"changed on both differently",
       Items{{1, "A"}},
       {{1, "X"}},
       {{1, "Y"}},
       1,
       {{1, {"X", ""}}, {2, {"Y", conflict(1)}}}},
      {"deleted here, unchanged there",
       Items{{1, "A"}, {2, "B"}},
       {{1, "A"}},
       {{1, "A"}, {2, "B"}},
       2,
       {{1, {"A", ""}}}},
      {"deleted there, unchanged here",
       Items{{1, "A"}, {2, "B"}},
       {{1, "A"}, {2, "B"}},
       {{2, "B"}},
       2,
       {{2, {"B", ""}}}},
      {"deleted here, changed there", Items{{1, "A"}}, {}, {{1, "A2"}}, 1, {{1, {"A2", ""}}}},
      {"deleted there, changed here", Items{{1, "A"}}, {{1, "A2"}}, {}, 1, {{1, {"A2", ""}}}},
      {"two-way: nothing is deleted", std::nullopt, {{1, "A"}}, {{2, "B"}}, 2, {{1, {"A", ""}}, {2, {"B", ""}}}},
      {"two-way: a difference is a conflict",
       std::nullopt,
       {{1, "A"}, {2, "B"}},
       {{1, "A"}, {2, "C"}},
       2,
       {{1, {"A", ""}}, {2, {"B", ""}}, {3, {"C", conflict(2)}}}},
  };
  for (const Case& c : cases) {
    MergeBase base;
    if (c.base) base = BaseOf(Version(*c.base));
    if (!c.base) base.Chars.reset();
    const MergeResult result = MergeCatalogues(base, Version(c.ours, {}, c.oursLast), Version(c.theirs, {}, 1));
    EXPECT_EQ(Contents(result.Merged), c.expected) << c.what;
    EXPECT_GE(result.Merged.LastItemIndex, c.expected.rbegin()->first) << c.what;
  }
}

TEST(MergeItems, TheReportSaysWhatHappenedToOurs) {
  const CatalogueVersion base = Version({{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}}, {}, 4);
  const MergeResult result =
      MergeCatalogues(BaseOf(base), Version({{1, "A"}, {2, "B"}, {3, "C3"}, {4, "D"}, {5, "E"}}, {}, 5),
                      Version({{1, "A1"}, {3, "C4"}, {4, "D"}, {5, "F"}, {6, "G"}}, {}, 6));
  const MergeReport& r = result.Report;
  EXPECT_EQ(r.ItemsChanged, (std::vector<std::int32_t>{1}));
  EXPECT_EQ(r.ItemsDeleted, (std::vector<std::int32_t>{2}));
  EXPECT_EQ(r.ItemsAdded, (std::vector<std::int32_t>{8, 6}));  // 5 renumbered to 8 (after 3's copy), then 6 added
  ASSERT_EQ(r.ItemConflicts.size(), 1u);
  EXPECT_EQ(r.ItemConflicts[0].Ours, 3);
  EXPECT_EQ(r.ItemConflicts[0].Theirs, 7);
  ASSERT_EQ(r.ItemsRenumbered.size(), 1u);
  EXPECT_EQ(r.ItemsRenumbered[0].Was, 5);
  EXPECT_EQ(r.ItemsRenumbered[0].Now, 8);
  EXPECT_EQ(result.Merged.LastItemIndex, 8);
  // Numbers only grow along the list, as they do in a catalogue.
  std::vector<std::int32_t> numbers;
  for (const ItemPtr& item : result.Merged.Items) numbers.push_back(item->Index);
  EXPECT_EQ(numbers, (std::vector<std::int32_t>{1, 3, 4, 5, 6, 7, 8}));
}

TEST(MergeCharacters, EachRuleOnOneCharacter) {
  struct Case {
    const char* what;
    std::optional<std::vector<TChar>> base;
    std::vector<TChar> ours, theirs, expected;
    std::vector<std::string> conflicts;  // fields kept from ours
  };
  const Items items{{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}, {5, "E"}};
  const Case cases[] = {
      {"fields changed on one side each",
       std::vector{Char("Mule", {}, "a", "1")},
       {Char("Mule", {}, "b", "1")},
       {Char("Mule", {}, "a", "2")},
       {Char("Mule", {}, "b", "2")},
       {}},
      {"a field changed on both differently keeps ours",
       std::vector{Char("Mule", {}, "a")},
       {Char("Mule", {}, "b")},
       {Char("Mule", {}, "c")},
       {Char("Mule", {}, "b")},
       {"compte"}},
      {"an inventory holds ours + theirs - base of each number",
       std::vector{Char("Mule", {1, 2})},
       {Char("Mule", {1, 2, 3})},
       {Char("Mule", {2, 4})},
       {Char("Mule", {2, 3, 4})},
       {}},
      {"an item held several times",
       std::vector{Char("Mule", {5})},
       {Char("Mule", {5, 5})},
       {Char("Mule", {5, 5, 5})},
       {Char("Mule", {5, 5, 5, 5})},
       {}},
      {"characters added on each side come after ours' rows",
       std::vector{Char("A"), Char("B")},
       {Char("B"), Char("A"), Char("D")},
       {Char("C"), Char("A"), Char("B")},
       {Char("B"), Char("A"), Char("D"), Char("C")},
       {}},
      {"removed on one side, unchanged on the other",
       std::vector{Char("A"), Char("B")},
       {Char("A")},
       {Char("A"), Char("B")},
       {Char("A")},
       {}},
      {"removed on one side, changed on the other",
       std::vector{Char("A"), Char("B")},
       {Char("A"), Char("B", {1})},
       {Char("A")},
       {Char("A"), Char("B", {1})},
       {}},
      {"names count as typed", std::vector<TChar>{}, {Char("mule")}, {Char("Mule")}, {Char("mule"), Char("Mule")}, {}},
      {"two-way: the larger count, nothing removed",
       std::nullopt,
       {Char("Mule", {1, 1, 2}, "a")},
       {Char("Mule", {1, 3}, "b"), Char("Other")},
       {Char("Mule", {1, 1, 2, 3}, "a"), Char("Other")},
       {"compte"}},
  };
  for (const Case& c : cases) {
    MergeBase base = BaseOf(Version(items));
    base.Chars = c.base;
    const MergeResult result = MergeCatalogues(base, Version(items, c.ours, 5), Version(items, c.theirs, 5));
    ASSERT_EQ(result.Merged.Chars.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      const TChar& got = result.Merged.Chars[i];
      EXPECT_EQ(got.Name, c.expected[i].Name) << c.what;
      EXPECT_EQ(got.Account, c.expected[i].Account) << c.what;
      EXPECT_EQ(got.Level, c.expected[i].Level) << c.what;
      EXPECT_EQ(got.Items, c.expected[i].Items) << c.what;
    }
    std::vector<std::string> conflicts;
    for (const auto& field : result.Report.CharConflicts) conflicts.push_back(field.Field);
    EXPECT_EQ(conflicts, c.conflicts) << c.what;
  }
}

TEST(MergeCharacters, EntriesFollowARenumberedItemAndLeaveADeletedOne) {
  const CatalogueVersion base = Version({{1, "A"}, {2, "B"}}, {Char("Mule", {2})}, 2);
  // Both added item 3 and handed it over; theirs also deleted item 2.
  const CatalogueVersion ours = Version({{1, "A"}, {2, "B"}, {3, "Ours"}}, {Char("Mule", {2, 3})}, 3);
  const CatalogueVersion theirs = Version({{1, "A"}, {3, "Theirs"}}, {Char("Mule", {3}), Char("Alt", {3})}, 3);
  const MergeResult result = MergeCatalogues(BaseOf(base), ours, theirs);
  const auto items = Contents(result.Merged);
  ASSERT_EQ(items.at(4).Name, "Theirs");
  EXPECT_FALSE(items.contains(2));
  ASSERT_EQ(result.Merged.Chars.size(), 2u);
  EXPECT_EQ(result.Merged.Chars[0].Items, (std::vector<std::int32_t>{3, 4}));  // ours' 3, theirs' 3 now 4
  EXPECT_EQ(result.Merged.Chars[1].Items, (std::vector<std::int32_t>{4}));
}

// ---- property test ----

// A catalogue edited at random, with what each edit did, by number and name.
struct Edits {
  std::map<std::int32_t, std::string> Changed;  // number -> the new name
  std::set<std::int32_t> Deleted;
  std::map<std::int32_t, std::string> Added;
};

class RandomCatalogues {
 public:
  explicit RandomCatalogues(unsigned seed) : random_(seed) {}

  CatalogueVersion Base() {
    Items items;
    const int count = Pick(30);
    for (int i = 1; i <= count; ++i) items[i * 2] = "base" + std::to_string(i);  // with gaps
    std::vector<TChar> chars;
    for (int c = 0; c < Pick(4); ++c) chars.push_back(Char("Perso" + std::to_string(c), PickNumbers(items)));
    return Version(items, chars, count * 2 + Pick(3));
  }

  // Edits version, side naming its new contents so that both sides never make the same by chance.
  CatalogueVersion Edit(const CatalogueVersion& version, const std::string& side, Edits& edits) {
    Items items;
    for (const ItemPtr& item : version.Items) items[item->Index] = std::string(item->Name);
    std::int32_t last = version.LastItemIndex;
    for (int turn = Pick(8); turn > 0 && !items.empty(); --turn) {
      auto it = std::next(items.begin(), Pick(static_cast<int>(items.size())));
      switch (Pick(3)) {
        case 0:
          it->second = side + "-changed-" + std::to_string(turn);
          edits.Changed[it->first] = it->second;
          edits.Added.erase(it->first);
          break;
        case 1:
          if (!edits.Added.erase(it->first)) edits.Deleted.insert(it->first);
          edits.Changed.erase(it->first);
          items.erase(it);
          break;
        default:
          items[++last] = side + "-added-" + std::to_string(turn);
          edits.Added[last] = items[last];
      }
    }
    std::vector<TChar> chars = version.Chars;
    for (TChar& c : chars) {
      std::erase_if(c.Items, [&](std::int32_t n) { return !items.contains(n); });
      if (Pick(2) == 0 && !items.empty()) c.Items.push_back(std::next(items.begin(), Pick(items.size()))->first);
      if (Pick(3) == 0) c.Level = side;
    }
    return Version(items, chars, last);
  }

 private:
  int Pick(std::size_t n) { return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(random_)); }
  std::vector<std::int32_t> PickNumbers(const Items& items) {
    std::vector<std::int32_t> numbers;
    for (int i = Pick(4); i > 0 && !items.empty(); --i)
      numbers.push_back(std::next(items.begin(), Pick(items.size()))->first);
    return numbers;
  }
  std::mt19937 random_;
};

std::multiset<std::string> Names(const CatalogueVersion& version) {
  std::multiset<std::string> names;
  for (const ItemPtr& item : version.Items) names.insert(std::string(item->Name));
  return names;
}

TEST(MergeProperties, RandomEditsOnBothSides) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomCatalogues random(seed);
    const CatalogueVersion base = random.Base();
    Edits ourEdits, theirEdits;
    const CatalogueVersion ours = random.Edit(base, "ours", ourEdits);
    const CatalogueVersion theirs = random.Edit(base, "theirs", theirEdits);
    // The base whole, or known by its digests only, as kept between runs.
    MergeBase common = BaseOf(base);
    if (seed % 2 == 0) {
      common.Digests = DigestsOf(*common.Items);
      common.Items.reset();
    }

    // Merging a version with itself or with the base changes nothing.
    for (const auto& [a, b] : {std::pair(&ours, &ours), std::pair(&ours, &base), std::pair(&base, &ours)}) {
      const MergeResult same = MergeCatalogues(common, *a, *b);
      EXPECT_EQ(Contents(same.Merged), Contents(a == &base ? *b : *a));
      EXPECT_FALSE(same.Report.ItemConflicts.size());
    }

    const MergeResult merged = MergeCatalogues(common, ours, theirs);
    const auto result = Contents(merged.Merged);  // also checks that numbers stay unique
    const auto touched = [](const Edits& e, std::int32_t n) {
      return e.Changed.contains(n) || e.Deleted.contains(n) || e.Added.contains(n);
    };
    // Every change of one side that the other did not touch is in the result.
    for (const auto* side : {&ourEdits, &theirEdits}) {
      const Edits& other = side == &ourEdits ? theirEdits : ourEdits;
      for (const auto& [n, name] : side->Changed) {
        if (!touched(other, n)) {
          EXPECT_EQ(result.at(n).Name, name);
        }
      }
      for (const std::int32_t n : side->Deleted) {
        if (!touched(other, n)) {
          EXPECT_FALSE(result.contains(n));
        }
      }
    }
    // Nothing changed or added on either side is lost, even in a conflict.
    const auto names = Names(merged.Merged);
    for (const auto* side : {&ourEdits, &theirEdits}) {
      for (const auto* list : {&side->Changed, &side->Added}) {
        for (const auto& [n, name] : *list) EXPECT_TRUE(names.contains(name)) << name;
      }
    }
    // Numbers are never handed out twice, and every entry names an item of the result.
    EXPECT_GE(merged.Merged.LastItemIndex, std::max(ours.LastItemIndex, theirs.LastItemIndex));
    for (const auto& [n, unused] : result) EXPECT_LE(n, merged.Merged.LastItemIndex);
    for (const TChar& c : merged.Merged.Chars) {
      for (const std::int32_t n : c.Items) EXPECT_TRUE(result.contains(n)) << c.Name << " holds " << n;
    }
  }
}

}  // namespace
}  // namespace kistora
