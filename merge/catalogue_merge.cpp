#include "merge/catalogue_merge.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace kistora {

namespace {

// An item's key in a version: its number and which of that number's items it is.
struct ItemKey {
  std::int32_t Number = 0;
  std::uint32_t Occurrence = 0;
  auto operator<=>(const ItemKey&) const = default;
};

// The items of a version in number order: the list itself when its numbers
// only grow (the usual case: no table of a million entries), else an order.
class OrderedItems {
 public:
  explicit OrderedItems(const ItemVector& items) : items_(items) {
    const auto byNumber = [&](std::uint32_t a, std::uint32_t b) { return items_[a]->Index < items_[b]->Index; };
    for (std::size_t i = 1; i < items_.size() && ordered_; ++i) ordered_ = items_[i - 1]->Index <= items_[i]->Index;
    if (ordered_) return;
    order_.resize(items_.size());
    for (std::uint32_t i = 0; i < order_.size(); ++i) order_[i] = i;
    std::stable_sort(order_.begin(), order_.end(), byNumber);
  }
  std::size_t Size() const { return items_.size(); }
  std::uint32_t PositionAt(std::size_t i) const { return ordered_ ? static_cast<std::uint32_t>(i) : order_[i]; }
  std::int32_t NumberAt(std::size_t i) const { return items_[PositionAt(i)]->Index; }
  std::int32_t Highest() const { return items_.empty() ? 0 : NumberAt(items_.size() - 1); }

 private:
  const ItemVector& items_;
  bool ordered_ = true;
  std::vector<std::uint32_t> order_;
};

// A walk over a version in key order (number, then occurrence).
template <typename NumberAt>
class KeyWalk {
 public:
  KeyWalk(std::size_t size, NumberAt numberAt) : size_(size), numberAt_(numberAt) {
    if (size_ > 0) number_ = numberAt_(0);
  }
  bool At(ItemKey key) const { return place_ < size_ && key == Key(); }
  ItemKey Key() const { return place_ < size_ ? ItemKey{number_, occurrence_} : ItemKey{INT32_MAX, UINT32_MAX}; }
  std::size_t Place() const { return place_; }
  void Next() {
    if (++place_ >= size_) return;
    const std::int32_t next = numberAt_(place_);
    occurrence_ = next == number_ ? occurrence_ + 1 : 0;
    number_ = next;
  }

 private:
  std::size_t size_;
  NumberAt numberAt_;
  std::size_t place_ = 0;
  std::int32_t number_ = 0;
  std::uint32_t occurrence_ = 0;
};

template <typename NumberAt>
KeyWalk<NumberAt> Walk(std::size_t size, NumberAt numberAt) {
  return KeyWalk<NumberAt>(size, numberAt);
}

// An item of the base: itself, or its digest only.
struct BaseItem {
  const ItemPtr* Item = nullptr;
  std::uint64_t Digest = 0;

  bool Holds(const ItemPtr& item) const {
    return Item ? (*Item == item || SameItemContents(**Item, *item)) : ItemContentDigest(*item) == Digest;
  }
};

bool Same(const ItemPtr& a, const ItemPtr& b) { return a == b || SameItemContents(*a, *b); }

bool InNumberOrder(const ItemVector& items) {
  return std::is_sorted(items.begin(), items.end(),
                        [](const ItemPtr& a, const ItemPtr& b) { return a->Index < b->Index; });
}

// ---- items ----

// What the item pass decides, for the character pass and the report.
struct ItemOutcome {
  ItemVector Items;
  std::int32_t LastItemIndex = 0;
  std::unordered_map<std::int32_t, std::int32_t> TheirNumbers;  // theirs' renumbered items: was -> now
  std::vector<std::int32_t> GoneNumbers;                        // numbers whose items the merge deleted, ascending
};

class ItemMerge {
 public:
  ItemMerge(const MergeBase& base, const CatalogueVersion& ours, const CatalogueVersion& theirs, std::int32_t floor,
            MergeReport& report)
      : base_(base), ours_(ours.Items), theirs_(theirs.Items), report_(report) {
    last_ = std::max({ours.LastItemIndex, theirs.LastItemIndex, floor});
    if (base_.Digests && !base_.Items &&
        !std::is_sorted(base_.Digests->begin(), base_.Digests->end(),
                        [](const NumberedDigest& a, const NumberedDigest& b) { return a.Number < b.Number; })) {
      sortedDigests_ = *base_.Digests;
      std::stable_sort(sortedDigests_->begin(), sortedDigests_->end(),
                       [](const NumberedDigest& a, const NumberedDigest& b) { return a.Number < b.Number; });
    }
  }

  ItemOutcome Run() {
    const OrderedItems ours(ours_), theirs(theirs_);
    const std::optional<OrderedItems> baseItems =
        base_.Items ? std::optional<OrderedItems>(std::in_place, *base_.Items) : std::nullopt;
    const std::vector<NumberedDigest>* digests = sortedDigests_                  ? &*sortedDigests_
                                                 : base_.Digests && !base_.Items ? &*base_.Digests
                                                                                 : nullptr;
    next_ = std::max({last_, ours.Highest(), theirs.Highest()});
    if (baseItems) next_ = std::max(next_, baseItems->Highest());
    if (digests && !digests->empty()) next_ = std::max(next_, digests->back().Number);

    deleted_.assign(ours_.size(), false);
    auto o = Walk(ours.Size(), [&](std::size_t i) { return ours.NumberAt(i); });
    auto t = Walk(theirs.Size(), [&](std::size_t i) { return theirs.NumberAt(i); });
    auto b = Walk(baseItems ? baseItems->Size()
                  : digests ? digests->size()
                            : 0,
                  [&](std::size_t i) { return baseItems ? baseItems->NumberAt(i) : (*digests)[i].Number; });
    while (true) {
      const ItemKey key = std::min({o.Key(), t.Key(), b.Key()});
      if (key.Number == INT32_MAX && key.Occurrence == UINT32_MAX) break;
      const std::int64_t our = o.At(key) ? static_cast<std::int64_t>(ours.PositionAt(o.Place())) : -1;
      const ItemPtr* their = t.At(key) ? &theirs_[theirs.PositionAt(t.Place())] : nullptr;
      std::optional<BaseItem> common;
      if (b.At(key)) {
        common = baseItems ? BaseItem{&(*base_.Items)[baseItems->PositionAt(b.Place())], 0}
                           : BaseItem{nullptr, (*digests)[b.Place()].Digest};
      }
      if (o.At(key)) o.Next();
      if (t.At(key)) t.Next();
      if (b.At(key)) b.Next();
      if (key.Number != number_) EndNumber(key.Number);
      keyDropped_ = false;
      Decide(key, our, their, common);
      if (our >= 0 || their) (keyDropped_ ? numberDropped_ : numberKept_) = true;
    }
    EndNumber(INT32_MAX);
    return Assemble();
  }

 private:
  // Whether a number whose last item the merge dropped is gone (no item of it stays).
  void EndNumber(std::int32_t next) {
    if (numberDropped_ && !numberKept_) gone_.push_back(number_);
    number_ = next;
    numberDropped_ = numberKept_ = false;
  }

  // ourPlace: the position in ours, -1 when ours has no item of that key.
  void Decide(ItemKey key, std::int64_t ourPlace, const ItemPtr* t, const std::optional<BaseItem>& common) {
    const ItemPtr* o = ourPlace >= 0 ? &ours_[static_cast<std::size_t>(ourPlace)] : nullptr;
    const auto place = static_cast<std::uint32_t>(ourPlace);
    if (!o && !t) return;                // deleted on both sides
    if (o && t && Same(*o, *t)) return;  // one item, whatever the base says
    if (!base_.KnowsItems() || !common) {
      // Not in the common version (or none known): added on a side.
      if (o && t) {
        if (!base_.KnowsItems()) {
          Conflicting(key, *t);
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
    if (!o) {
      if (theirsChanged) {
        Add(*t);  // deleted here, changed there: kept, changed
      } else {
        Dropped();
      }
      return;
    }
    if (!t) {
      if (!oursChanged) Delete(key, place);  // deleted there, unchanged here
      return;
    }
    if (!oursChanged) {
      TakeTheirs(key, place, *t);
    } else if (theirsChanged) {
      Conflicting(key, *t);
    }
  }

  void Dropped() { keyDropped_ = true; }
  void Add(const ItemPtr& theirs) {
    additions_.push_back(theirs);
    report_.ItemsAdded.push_back(theirs->Index);
  }
  void Delete(ItemKey key, std::uint32_t ourPlace) {
    deleted_[ourPlace] = true;
    Dropped();
    report_.ItemsDeleted.push_back(key.Number);
  }
  void TakeTheirs(ItemKey key, std::uint32_t ourPlace, const ItemPtr& theirs) {
    replacements_.emplace(ourPlace, theirs);
    report_.ItemsChanged.push_back(key.Number);
  }
  void Renumbered(ItemKey key, const ItemPtr& theirs) {
    const std::int32_t now = ++next_;
    renumbered_.push_back(ItemPtr(CopyItem(*theirs, now)));
    // Theirs' entries of that number meant this item; a second item of one number is not told apart.
    if (key.Occurrence == 0) theirNumbers_[key.Number] = now;
    report_.ItemsRenumbered.push_back({key.Number, now});
    report_.ItemsAdded.push_back(now);
  }
  void Conflicting(ItemKey key, const ItemPtr& theirs) {
    auto copy = CopyItem(*theirs, 0);
    copy->Notes = std::string(copy->Notes.view()) + ConflictNote(key.Number);
    // A conflict merged before has its copy in ours already: not a second one.
    if (OursHold(*copy)) return;
    copy->Index = ++next_;
    report_.ItemConflicts.push_back({key.Number, copy->Index});
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
    for (std::uint32_t i = 0; i < ours_.size(); ++i) {
      if (deleted_[i]) continue;
      const auto replaced = replacements_.find(i);
      out.Items.push_back(replaced == replacements_.end() ? ours_[i] : replaced->second);
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
    out.TheirNumbers = std::move(theirNumbers_);
    out.GoneNumbers = std::move(gone_);
    return out;
  }

  const MergeBase& base_;
  const ItemVector& ours_;
  const ItemVector& theirs_;
  MergeReport& report_;
  std::optional<std::vector<NumberedDigest>> sortedDigests_;  // the base's digests, when they came out of order
  std::int32_t next_ = 0;                                     // the last number taken
  std::int32_t last_ = 0;
  std::vector<bool> deleted_;                                // by position in ours
  std::unordered_map<std::uint32_t, ItemPtr> replacements_;  // by position in ours
  ItemVector additions_;
  ItemVector renumbered_;
  std::unordered_map<std::int32_t, std::int32_t> theirNumbers_;
  std::optional<std::unordered_set<std::uint64_t>> oursDigests_;  // made at the first conflict
  std::vector<std::int32_t> gone_;
  std::int32_t number_ = INT32_MIN;                  // the number the walk is at
  bool numberKept_ = false, numberDropped_ = false;  // an item of it stays / one was dropped
  bool keyDropped_ = false;                          // the item of the key decided last was dropped
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
