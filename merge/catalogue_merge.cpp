#include "merge/catalogue_merge.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "model/number_index.h"

namespace kistora {

namespace {

// An item's key in a version: its number and which of that number's items it is.
struct ItemKey {
  std::int32_t Number = 0;
  std::uint32_t Occurrence = 0;
  auto operator<=>(const ItemKey&) const = default;
};

// The items of a version in key order, with their positions.
struct KeyedItem {
  ItemKey Key;
  std::uint32_t Position = 0;
};

std::vector<KeyedItem> KeysOf(const ItemVector& items) {
  const NumberIndex index(items);
  std::vector<KeyedItem> keys;
  keys.reserve(index.Entries().size());
  for (const NumberIndex::Entry& entry : index.Entries()) {
    const std::uint32_t occurrence =
        !keys.empty() && keys.back().Key.Number == entry.Number ? keys.back().Key.Occurrence + 1 : 0;
    keys.push_back({{entry.Number, occurrence}, entry.Position});
  }
  return keys;
}

// An item of the base: itself, or its digest only.
struct KeyedDigest {
  ItemKey Key;
  std::uint64_t Digest = 0;
  const ItemPtr* Item = nullptr;

  bool Holds(const ItemPtr& item) const {
    return Item ? (*Item == item || SameItemContents(**Item, *item)) : ItemContentDigest(*item) == Digest;
  }
};

std::vector<KeyedDigest> KeysOf(std::vector<NumberedDigest> digests) {
  std::stable_sort(digests.begin(), digests.end(),
                   [](const NumberedDigest& a, const NumberedDigest& b) { return a.Number < b.Number; });
  std::vector<KeyedDigest> keys;
  keys.reserve(digests.size());
  for (const NumberedDigest& d : digests) {
    const std::uint32_t occurrence =
        !keys.empty() && keys.back().Key.Number == d.Number ? keys.back().Key.Occurrence + 1 : 0;
    keys.push_back({{d.Number, occurrence}, d.Digest});
  }
  return keys;
}

bool Same(const ItemPtr& a, const ItemPtr& b) { return a == b || SameItemContents(*a, *b); }

std::int32_t HighestNumber(const ItemVector& items) {
  std::int32_t highest = 0;
  for (const ItemPtr& item : items) highest = std::max(highest, item->Index);
  return highest;
}

bool InNumberOrder(const ItemVector& items) {
  return std::is_sorted(items.begin(), items.end(),
                        [](const ItemPtr& a, const ItemPtr& b) { return a->Index < b->Index; });
}

// ---- items ----

enum class OurFate : std::uint8_t { Keep, TakeTheirs, Delete };

// What the item pass decides, for the character pass and the report.
struct ItemOutcome {
  ItemVector Items;
  std::int32_t LastItemIndex = 0;
  std::unordered_map<std::int32_t, std::int32_t> TheirNumbers;  // theirs' renumbered items: was -> now
  std::vector<std::int32_t> GoneNumbers;                        // numbers whose items the merge deleted
};

class ItemMerge {
 public:
  ItemMerge(const MergeBase& base, const CatalogueVersion& ours, const CatalogueVersion& theirs, std::int32_t floor,
            MergeReport& report)
      : ours_(ours.Items), theirs_(theirs.Items), report_(report) {
    next_ = std::max({ours.LastItemIndex, theirs.LastItemIndex, floor, HighestNumber(ours_), HighestNumber(theirs_)});
    if (base.Items) {
      for (const KeyedItem& k : KeysOf(*base.Items)) base_.push_back({k.Key, 0, &(*base.Items)[k.Position]});
    } else if (base.Digests) {
      base_ = KeysOf(*base.Digests);
    }
    for (const KeyedDigest& b : base_) next_ = std::max(next_, b.Key.Number);
    hasBase_ = base.KnowsItems();
    last_ = std::max({ours.LastItemIndex, theirs.LastItemIndex, floor});
  }

  ItemOutcome Run() {
    const std::vector<KeyedItem> ours = KeysOf(ours_);
    const std::vector<KeyedItem> theirs = KeysOf(theirs_);
    fates_.assign(ours_.size(), OurFate::Keep);
    replacements_.assign(ours_.size(), nullptr);
    std::size_t o = 0, t = 0, b = 0;
    while (o < ours.size() || t < theirs.size() || b < base_.size()) {
      ItemKey key{INT32_MAX, UINT32_MAX};
      if (o < ours.size()) key = std::min(key, ours[o].Key);
      if (t < theirs.size()) key = std::min(key, theirs[t].Key);
      if (b < base_.size()) key = std::min(key, base_[b].Key);
      const KeyedItem* our = o < ours.size() && ours[o].Key == key ? &ours[o++] : nullptr;
      const KeyedItem* their = t < theirs.size() && theirs[t].Key == key ? &theirs[t++] : nullptr;
      const KeyedDigest* common = b < base_.size() && base_[b].Key == key ? &base_[b++] : nullptr;
      Decide(key, our, their, common);
    }
    return Assemble();
  }

 private:
  void Decide(ItemKey key, const KeyedItem* our, const KeyedItem* their, const KeyedDigest* common) {
    const ItemPtr* o = our ? &ours_[our->Position] : nullptr;
    const ItemPtr* t = their ? &theirs_[their->Position] : nullptr;
    if (o && t && Same(*o, *t)) return;  // one item, whatever the base says
    if (!hasBase_ || !common) {
      // Not in the common version (or none known): added on a side.
      if (o && t) {
        if (!hasBase_) {
          Conflicting(*our, *t);
        } else {
          Renumbered(key, *t);
        }
      } else if (t) {
        Add(*t);
      }
      return;
    }
    const bool oursChanged = o && !common->Holds(*o);
    const bool theirsChanged = t && !common->Holds(*t);
    if (!o && !t) return;  // deleted on both sides
    if (!o) {
      if (theirsChanged) Add(*t);  // deleted here, changed there: kept, changed
      return;
    }
    if (!t) {
      if (!oursChanged) Delete(*our);  // deleted there, unchanged here
      return;
    }
    if (!oursChanged) {
      TakeTheirs(*our, *t);
    } else if (theirsChanged) {
      Conflicting(*our, *t);
    }
  }

  void Add(const ItemPtr& theirs) {
    additions_.push_back(theirs);
    report_.ItemsAdded.push_back(theirs->Index);
  }
  void Delete(const KeyedItem& our) {
    fates_[our.Position] = OurFate::Delete;
    report_.ItemsDeleted.push_back(our.Key.Number);
  }
  void TakeTheirs(const KeyedItem& our, const ItemPtr& theirs) {
    fates_[our.Position] = OurFate::TakeTheirs;
    replacements_[our.Position] = theirs;
    report_.ItemsChanged.push_back(our.Key.Number);
  }
  void Renumbered(ItemKey key, const ItemPtr& theirs) {
    const std::int32_t now = ++next_;
    renumbered_.push_back(ItemPtr(CopyItem(*theirs, now)));
    // Theirs' entries of that number meant this item; a second item of one number is not told apart.
    if (key.Occurrence == 0) theirNumbers_[key.Number] = now;
    report_.ItemsRenumbered.push_back({key.Number, now});
    report_.ItemsAdded.push_back(now);
  }
  void Conflicting(const KeyedItem& our, const ItemPtr& theirs) {
    auto copy = CopyItem(*theirs, 0);
    copy->Notes = std::string(copy->Notes.view()) + ConflictNote(our.Key.Number);
    // A conflict merged before has its copy in ours already: not a second one.
    if (OursHold(*copy)) return;
    copy->Index = ++next_;
    report_.ItemConflicts.push_back({our.Key.Number, copy->Index});
    renumbered_.push_back(ItemPtr(std::move(copy)));
  }
  bool OursHold(const TD2Item& item) {
    if (!oursDigests_) {
      oursDigests_.emplace();
      for (const ItemPtr& o : ours_) oursDigests_->insert(ItemContentDigest(*o));
    }
    return oursDigests_->contains(ItemContentDigest(item));
  }

  ItemOutcome Assemble() {
    ItemOutcome out;
    out.Items.reserve(ours_.size() + additions_.size() + renumbered_.size());
    for (std::size_t i = 0; i < ours_.size(); ++i) {
      if (fates_[i] == OurFate::Keep) out.Items.push_back(ours_[i]);
      if (fates_[i] == OurFate::TakeTheirs) out.Items.push_back(std::move(replacements_[i]));
    }
    const bool ordered = InNumberOrder(out.Items);
    const auto byNumber = [](const ItemPtr& a, const ItemPtr& b) { return a->Index < b->Index; };
    std::stable_sort(additions_.begin(), additions_.end(), byNumber);
    const auto middle = static_cast<std::ptrdiff_t>(out.Items.size());
    out.Items.insert(out.Items.end(), additions_.begin(), additions_.end());
    // Numbers only grow in a list kept in order, which finds an item by a binary search.
    if (ordered) std::inplace_merge(out.Items.begin(), out.Items.begin() + middle, out.Items.end(), byNumber);
    out.Items.insert(out.Items.end(), renumbered_.begin(), renumbered_.end());

    out.LastItemIndex = std::max(last_, next_);
    for (const ItemPtr& item : out.Items) out.LastItemIndex = std::max(out.LastItemIndex, item->Index);
    out.TheirNumbers = std::move(theirNumbers_);
    // A number held by an item of either side and by none of the result is gone.
    std::vector<std::int32_t> kept;
    kept.reserve(out.Items.size());
    for (const ItemPtr& item : out.Items) kept.push_back(item->Index);
    std::sort(kept.begin(), kept.end());
    for (const ItemVector* side : {&ours_, &theirs_}) {
      for (const ItemPtr& item : *side) {
        if (!std::binary_search(kept.begin(), kept.end(), item->Index)) out.GoneNumbers.push_back(item->Index);
      }
    }
    std::sort(out.GoneNumbers.begin(), out.GoneNumbers.end());
    out.GoneNumbers.erase(std::unique(out.GoneNumbers.begin(), out.GoneNumbers.end()), out.GoneNumbers.end());
    return out;
  }

  const ItemVector& ours_;
  const ItemVector& theirs_;
  MergeReport& report_;
  std::vector<KeyedDigest> base_;
  bool hasBase_ = false;
  std::int32_t next_ = 0;  // the last number taken
  std::int32_t last_ = 0;
  std::vector<OurFate> fates_;
  ItemVector replacements_;
  ItemVector additions_;
  ItemVector renumbered_;
  std::unordered_map<std::int32_t, std::int32_t> theirNumbers_;
  std::optional<std::unordered_set<std::uint64_t>> oursDigests_;  // made at the first conflict
};

// ---- characters ----

using CharKey = std::pair<std::string, int>;  // name as typed, and which character of that name

std::map<CharKey, std::size_t> RowsByKey(const std::vector<TChar>& chars) {
  std::map<CharKey, std::size_t> rows;
  std::map<std::string, int> seen;
  for (std::size_t row = 0; row < chars.size(); ++row) rows[{chars[row].Name, seen[chars[row].Name]++}] = row;
  return rows;
}

std::map<std::int32_t, int> Counts(const std::vector<std::int32_t>& items) {
  std::map<std::int32_t, int> counts;
  for (const std::int32_t number : items) ++counts[number];
  return counts;
}

// ours + theirs - base entries of each number (the larger side without a base),
// ours' order first, then theirs' last entries of a number that ours lacks.
std::vector<std::int32_t> MergeInventory(const std::vector<std::int32_t>& ours, const std::vector<std::int32_t>& theirs,
                                         const std::vector<std::int32_t>* base) {
  const auto o = Counts(ours), t = Counts(theirs);
  const auto b = base ? Counts(*base) : std::map<std::int32_t, int>();
  const auto count = [](const std::map<std::int32_t, int>& m, std::int32_t n) {
    const auto it = m.find(n);
    return it == m.end() ? 0 : it->second;
  };
  std::map<std::int32_t, int> target;
  for (const auto* side : {&o, &t}) {
    for (const auto& [number, unused] : *side) {
      const int on = count(o, number), tn = count(t, number);
      target[number] = base ? std::max(0, on + tn - count(b, number)) : std::max(on, tn);
    }
  }
  std::vector<std::int32_t> merged;
  std::map<std::int32_t, int> placed;
  for (const std::int32_t number : ours) {
    if (placed[number] < target[number]) {
      merged.push_back(number);
      ++placed[number];
    }
  }
  std::map<std::int32_t, int> seen;
  for (const std::int32_t number : theirs) {
    const int extra = target[number] - placed[number];
    if (extra > 0 && ++seen[number] > count(t, number) - extra) merged.push_back(number);
  }
  return merged;
}

class CharMerge {
 public:
  CharMerge(const MergeBase& base, const CatalogueVersion& ours, const CatalogueVersion& theirs,
            const ItemOutcome& items, MergeReport& report)
      : base_(base.Chars ? &*base.Chars : nullptr),
        ours_(ours.Chars),
        theirs_(theirs.Chars),
        items_(items),
        report_(report) {
    // Theirs' entries of an item renumbered follow it.
    for (TChar& character : theirs_) {
      for (std::int32_t& number : character.Items) {
        const auto renumbered = items.TheirNumbers.find(number);
        if (renumbered != items.TheirNumbers.end()) number = renumbered->second;
      }
    }
  }

  std::vector<TChar> Run() {
    const auto theirRows = RowsByKey(theirs_);
    const auto baseRows = base_ ? RowsByKey(*base_) : std::map<CharKey, std::size_t>();
    const auto find = [](const std::map<CharKey, std::size_t>& rows, const std::vector<TChar>& chars,
                         const CharKey& key) -> const TChar* {
      const auto it = rows.find(key);
      return it == rows.end() ? nullptr : &chars[it->second];
    };
    std::vector<TChar> merged;
    std::vector<bool> theirsTaken(theirs_.size(), false);
    std::map<std::string, int> seen;
    for (const TChar& our : ours_) {
      const CharKey key{our.Name, seen[our.Name]++};
      const TChar* their = find(theirRows, theirs_, key);
      const TChar* common = base_ ? find(baseRows, *base_, key) : nullptr;
      if (their) {
        theirsTaken[theirRows.at(key)] = true;
        merged.push_back(Merge(our, *their, common));
      } else if (base_ && common && our == *common) {
        report_.CharsRemoved.push_back(our.Name);  // removed there, unchanged here
      } else {
        merged.push_back(our);
      }
    }
    seen.clear();
    for (std::size_t row = 0; row < theirs_.size(); ++row) {
      const TChar& their = theirs_[row];
      const CharKey key{their.Name, seen[their.Name]++};
      if (theirsTaken[row]) continue;
      const TChar* common = base_ ? find(baseRows, *base_, key) : nullptr;
      if (common && their == *common) continue;  // removed here, unchanged there
      merged.push_back(their);
      report_.CharsAdded.push_back(their.Name);
    }
    // An item the merge deleted leaves every inventory, as a deletion does.
    for (TChar& character : merged) {
      std::erase_if(character.Items, [&](std::int32_t number) {
        return std::binary_search(items_.GoneNumbers.begin(), items_.GoneNumbers.end(), number);
      });
    }
    return merged;
  }

 private:
  TChar Merge(const TChar& our, const TChar& their, const TChar* common) {
    TChar merged = our;
    bool changed = false;
    const auto field = [&](std::string TChar::*member, const char* name) {
      const std::string& o = our.*member;
      const std::string& t = their.*member;
      if (o == t) return;
      if (common && o == (*common).*member) {
        merged.*member = t;
        changed = true;
      } else if (!common || t != (*common).*member) {
        report_.CharConflicts.push_back({our.Name, name});
      }
    };
    field(&TChar::Account, "compte");
    field(&TChar::Class, "classe");
    field(&TChar::Level, "niveau");
    field(&TChar::Notes, "notes");
    merged.Items = MergeInventory(our.Items, their.Items, base_ ? (common ? &common->Items : &kNone) : nullptr);
    if (changed || merged.Items != our.Items) report_.CharsChanged.push_back(our.Name);
    return merged;
  }

  static const std::vector<std::int32_t> kNone;
  const std::vector<TChar>* base_;
  const std::vector<TChar>& ours_;
  std::vector<TChar> theirs_;
  const ItemOutcome& items_;
  MergeReport& report_;
};

const std::vector<std::int32_t> CharMerge::kNone;

}  // namespace

MergeBase BaseOf(const CatalogueVersion& version) {
  MergeBase base;
  base.Items = version.Items;
  base.Chars = version.Chars;
  return base;
}

std::vector<NumberedDigest> DigestsOf(const ItemVector& items) {
  std::vector<NumberedDigest> digests;
  digests.reserve(items.size());
  for (const ItemPtr& item : items) digests.push_back({item->Index, ItemContentDigest(*item)});
  return digests;
}

std::string ConflictNote(std::int32_t oursNumber) {
  return " (conflit avec l'objet " + std::to_string(oursNumber) + ")";
}

MergeResult MergeCatalogues(const MergeBase& base, const CatalogueVersion& ours, const CatalogueVersion& theirs,
                            std::int32_t numberFloor) {
  MergeResult result;
  ItemOutcome items = ItemMerge(base, ours, theirs, numberFloor, result.Report).Run();
  result.Merged.Chars = CharMerge(base, ours, theirs, items, result.Report).Run();
  result.Merged.Items = std::move(items.Items);
  result.Merged.LastItemIndex = items.LastItemIndex;
  return result;
}

}  // namespace kistora
