#include "merge/folder_sync.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <utility>

#include "merge/merge_inputs.h"
#include "model/catalogue_history.h"
#include "model/item_counts.h"
#include "model/number_index.h"
#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/item_blocks.h"

namespace kistora {

namespace {

constexpr auto kUnreadableGrace = std::chrono::seconds(5);

std::size_t Slot(DatabaseKind kind) { return kind == DatabaseKind::Items ? 0 : 1; }

std::string Counted(std::size_t count, const char* singular, const char* plural) {
  return GroupedNumber(static_cast<std::int64_t>(count)) + " " + (count > 1 ? plural : singular);
}

}  // namespace

std::string TakeInSummary(const CatalogueVersion& before, const CatalogueVersion& after, const MergeReport& report) {
  // The two numbers of each conflict are told as one conflict, not as an addition and a change.
  std::vector<std::int32_t> conflicting;
  for (const MergeReport::Conflict& c : report.ItemConflicts) conflicting.insert(conflicting.end(), {c.Ours, c.Theirs});
  std::sort(conflicting.begin(), conflicting.end());
  const auto inConflict = [&](std::int32_t n) { return std::binary_search(conflicting.begin(), conflicting.end(), n); };
  std::size_t added = 0, changed = 0, deleted = 0;
  // Both versions walked in number order, the n-th item of a number with the n-th.
  const NumberIndex was(before.Items), is(after.Items);
  for (std::size_t w = 0, i = 0; w < was.Size() || i < is.Size();) {
    const bool onlyBefore = i == is.Size() || (w < was.Size() && was.NumberAt(w) < is.NumberAt(i));
    const bool onlyAfter = !onlyBefore && (w == was.Size() || is.NumberAt(i) < was.NumberAt(w));
    const std::int32_t number = onlyBefore ? was.NumberAt(w) : is.NumberAt(i);
    if (!inConflict(number)) {
      if (onlyBefore) {
        ++deleted;
      } else if (onlyAfter) {
        ++added;
      } else {
        const ItemPtr& old = before.Items[was.PositionAt(w)];
        const ItemPtr& now = after.Items[is.PositionAt(i)];
        if (old != now && !SameItemContents(*old, *now)) ++changed;
      }
    }
    if (!onlyAfter) ++w;
    if (!onlyBefore) ++i;
  }
  std::map<std::string, const TChar*> oldChars;
  for (const TChar& c : before.Chars) oldChars.emplace(c.Name, &c);
  std::size_t charsAdded = 0, charsChanged = 0, charsRemoved = 0;
  std::map<std::string, bool> seen;
  for (const TChar& c : after.Chars) {
    const auto old = oldChars.find(c.Name);
    seen[c.Name] = true;
    if (old == oldChars.end()) {
      ++charsAdded;
    } else if (!(*old->second == c)) {
      ++charsChanged;
    }
  }
  for (const TChar& c : before.Chars) charsRemoved += seen.count(c.Name) ? 0 : 1;

  std::vector<std::string> parts;
  bool first = true;
  const auto part = [&](std::size_t count, const char* singular, const char* plural) {
    if (count == 0) return;
    // "3 objets ajout\xE9s, 1 modifi\xE9": the noun only with the first figure.
    parts.push_back(
        first ? Counted(count, (std::string("objet ") + singular).c_str(), (std::string("objets ") + plural).c_str())
              : Counted(count, singular, plural));
    first = false;
  };
  part(added, "ajout\xE9", "ajout\xE9s");
  part(changed, "modifi\xE9", "modifi\xE9s");
  part(deleted, "supprim\xE9", "supprim\xE9s");
  if (!conflicting.empty()) part(report.ItemConflicts.size(), "en conflit", "en conflit");
  if (charsAdded) parts.push_back(Counted(charsAdded, "perso ajout\xE9", "persos ajout\xE9s"));
  if (charsChanged) parts.push_back(Counted(charsChanged, "perso modifi\xE9", "persos modifi\xE9s"));
  if (charsRemoved) parts.push_back(Counted(charsRemoved, "perso supprim\xE9", "persos supprim\xE9s"));
  std::string summary = "Catalogue mis \xE0 jour depuis le disque";
  for (std::size_t i = 0; i < parts.size(); ++i) summary += (i == 0 ? " : " : ", ") + parts[i];
  return summary;
}

FolderSync::FolderSync(TCatalogue& catalogue, CatalogueStore& store, SyncState state, CatalogueHistory* history)
    : catalogue_(catalogue), store_(store), history_(history), state_(std::move(state)) {
  persister_ = std::thread([this] { PersistLoop(); });
  store_.SetWrittenListener([this](DatabaseKind kind, const FileIdentity& identity) {
    {
      const std::lock_guard lock(persistMutex_);
      (kind == DatabaseKind::Items ? written_.Items : written_.Chars) = identity;
      numbersToWrite_ = true;
    }
    persistWake_.notify_one();
  });
  catalogue_.AddObserver(this);
}

FolderSync::~FolderSync() {
  catalogue_.RemoveObserver(this);
  store_.SetWrittenListener({});
  {
    const std::lock_guard lock(persistMutex_);
    stopping_ = true;
  }
  persistWake_.notify_one();
  persister_.join();
}

void FolderSync::Started() {
  const CommonVersion kept = state_.ReadCommon();
  const WrittenFiles ownWrites = state_.ReadWritten();
  {
    const std::lock_guard lock(persistMutex_);
    written_ = ownWrites;
  }
  highest_ = std::max(state_.ReadHighestNumber(), catalogue_.LastItemIndex);
  {
    const std::lock_guard lock(persistMutex_);
    highestToWrite_ = highest_;
  }
  bool keptAsItWas = true;
  for (const DatabaseKind kind : {DatabaseKind::Items, DatabaseKind::Chars}) {
    const KnownFile read = store_.Known(kind);
    const std::optional<FileIdentity>& own = kind == DatabaseKind::Items ? ownWrites.Items : ownWrites.Chars;
    // A file this copy wrote last may not have reached the other machines: the
    // version they share stays the one kept. So it does while a sync tool's
    // conflict copy waits to be merged: that copy comes from the version kept,
    // not from the file beside it. Any other file came from the other machines.
    bool ownFile = own && read.Identity && *own == *read.Identity;
    for (const ConflictCopy& copy : FindConflictCopies(store_.DataDir())) ownFile |= copy.Kind == kind;
    if (kind == DatabaseKind::Items) {
      if ((ownFile || !read.Items) && kept.Items) {
        common_.Digests = kept.Items;
      } else if (read.Items) {
        common_.Items = ItemsOf(*read.Items);
        keptAsItWas = false;
      }
    } else {
      if ((ownFile || !read.Chars) && kept.Chars) {
        common_.Chars = kept.Chars;
      } else if (read.Chars) {
        common_.Chars = read.Chars;
        keptAsItWas = false;
      }
    }
  }
  if (!keptAsItWas) PersistCommon();
  started_ = true;
}

void FolderSync::RaiseLastItemIndex() { catalogue_.LastItemIndex = std::max(catalogue_.LastItemIndex, highest_); }

void FolderSync::CatalogueChanged(const CatalogueChange& /*change*/) {
  if (!started_ || catalogue_.LastItemIndex <= highest_) return;
  highest_ = catalogue_.LastItemIndex;
  PersistNumbers();
}

FolderLook FolderSync::LookAtFolder() const {
  FolderLook look;
  look.Items = IdentityOf(store_.PathOf(DatabaseKind::Items));
  look.Chars = IdentityOf(store_.PathOf(DatabaseKind::Chars));
  for (const ConflictCopy& copy : FindConflictCopies(store_.DataDir())) {
    look.Copies.emplace_back(copy.Path, IdentityOf(copy.Path));
  }
  for (const SideFileCopy& copy : FindSideFileCopies(store_.DataDir())) {
    look.Copies.emplace_back(copy.Path, IdentityOf(copy.Path));
  }
  look.SyncToolWriting = SyncToolWriting(store_.DataDir());
  return look;
}

bool FolderSync::Skipped(const std::string& path, const FileIdentity& identity) const {
  return std::any_of(unreadable_.begin(), unreadable_.end(),
                     [&](const Unreadable& u) { return u.Path == path && u.Identity == identity; });
}

bool FolderSync::HasNews(const FolderLook& look) const {
  for (const DatabaseKind kind : {DatabaseKind::Items, DatabaseKind::Chars}) {
    const FileIdentity& now = kind == DatabaseKind::Items ? look.Items : look.Chars;
    const std::optional<FileIdentity> known = store_.Known(kind).Identity;
    if (now.Exists && (!known || now != *known) && !Skipped(store_.PathOf(kind), now)) return true;
  }
  return std::any_of(look.Copies.begin(), look.Copies.end(),
                     [&](const auto& copy) { return !Skipped(copy.first, copy.second); });
}

void FolderSync::NoteUnreadable(const std::string& path, const FileIdentity& identity,
                                std::optional<DatabaseKind> database) {
  std::erase_if(unreadable_, [&](const Unreadable& u) { return u.Path == path; });
  unreadable_.push_back({path, identity, std::chrono::steady_clock::now(), database, false});
}

std::vector<std::string> FolderSync::TroubleToTell(std::chrono::steady_clock::time_point now) {
  std::vector<std::string> tell;
  for (Unreadable& u : unreadable_) {
    if (u.Told || now - u.Since < kUnreadableGrace || IdentityOf(u.Path) != u.Identity) continue;
    u.Told = true;
    tell.push_back(u.Path);
    // The catalogue goes on being saved; the unreadable version is kept beside it first.
    if (u.Database) {
      store_.GiveUpOn(*u.Database, u.Identity);
      store_.ScheduleSave(catalogue_, *u.Database == DatabaseKind::Items, *u.Database == DatabaseKind::Chars);
    }
  }
  return tell;
}

CatalogueVersion FolderSync::Current() const { return VersionOf(catalogue_); }

bool FolderSync::ReadItemsVersion(const std::string& path, ItemVector& out) const {
  try {
    return LoadItemsSharing(path, catalogue_.ItemList, out) == kLoadOk;
  } catch (const EFileError&) {
    return false;
  }
}

bool FolderSync::ReadCharsVersion(const std::string& path, std::vector<TChar>& out) const {
  try {
    TCatalogue read;
    if (LoadChars(read, path) != kLoadOk) return false;
    out.clear();
    for (const auto& character : read.CharList) out.push_back(*character);
    return true;
  } catch (const EFileError&) {
    return false;
  }
}

TakeInOutcome FolderSync::TakeIn() {
  TakeInOutcome outcome;
  store_.WaitIdle();  // a save of this copy's own is on disk, and known, before anything is compared
  const std::array<DatabaseKind, 2> kinds = {DatabaseKind::Items, DatabaseKind::Chars};
  std::array<KnownFile, 2> known = {store_.Known(kinds[0]), store_.Known(kinds[1])};
  std::array<FileIdentity, 2> disk{};
  std::array<bool, 2> replaced{}, ownAside{};
  for (std::size_t k = 0; k < 2; ++k) {
    const std::string& path = store_.PathOf(kinds[k]);
    disk[k] = IdentityOf(path);
    replaced[k] = disk[k].Exists && (!known[k].Identity || disk[k] != *known[k].Identity) && !Skipped(path, disk[k]);
  }
  std::vector<ConflictCopy> others, done;
  for (ConflictCopy& copy : FindConflictCopies(store_.DataDir())) {
    const FileIdentity identity = IdentityOf(copy.Path);
    const std::optional<FileIdentity>& last = known[Slot(copy.Kind)].Identity;
    if (last && identity == *last) {
      // This copy's own last version, put aside by a sync tool: already in the catalogue.
      ownAside[Slot(copy.Kind)] = true;
      done.push_back(std::move(copy));
    } else if (!Skipped(copy.Path, identity)) {
      others.push_back(std::move(copy));
    }
  }
  // The other files' conflict copies: a lock's is of no use, the options' are kept.
  for (const SideFileCopy& copy : FindSideFileCopies(store_.DataDir())) {
    if (copy.Useless) {
      ::unlink(copy.Path.c_str());
      continue;
    }
    try {
      outcome.Moved.push_back(MoveToMergedCopies(store_.DataDir(), copy.Path));
    } catch (const EFileError&) {
      NoteUnreadable(copy.Path, IdentityOf(copy.Path), std::nullopt);
      outcome.NotMoved.push_back(copy.Path);
    }
  }
  if (!replaced[0] && !replaced[1] && others.empty() && done.empty()) return outcome;

  const CatalogueVersion before = Current();
  CatalogueVersion working = before;
  CatalogueVersion onDisk;  // the replaced files as read

  // The other machine's version, part by part: a file replaced on disk, else its
  // conflict copy, else (unchanged there) what the disk holds. Taking both parts
  // together keeps an item and the entries that name it in one numbering. One
  // round per conflict copy left (several machines, earlier conflicts).
  std::array<std::vector<ConflictCopy>, 2> pending;
  for (ConflictCopy& copy : others) pending[Slot(copy.Kind)].push_back(std::move(copy));
  for (bool first = true; first || !pending[0].empty() || !pending[1].empty(); first = false) {
    CatalogueVersion outside;
    MergeBase base;
    std::vector<ConflictCopy> used;
    bool readable = true;
    std::array<bool, 2> fromDisk{}, fromCopy{};
    for (std::size_t k = 0; k < 2; ++k) {
      std::string path;
      if (first && replaced[k]) {
        path = store_.PathOf(kinds[k]);
        fromDisk[k] = true;
      } else if (!pending[k].empty()) {
        used.push_back(std::move(pending[k].front()));
        pending[k].erase(pending[k].begin());
        path = used.back().Path;
        fromCopy[k] = true;
      }
      const bool ok = path.empty() ? true
                      : k == 0     ? ReadItemsVersion(path, outside.Items)
                                   : ReadCharsVersion(path, outside.Chars);
      if (!ok) {
        readable = false;
        NoteUnreadable(path, IdentityOf(path), fromDisk[k] ? std::optional(kinds[k]) : std::nullopt);
        outcome.Unreadable.push_back(path);
      }
      // The base: what this copy last wrote or read, which a file replaced in its
      // place came from; the version both shared for a conflict's other side.
      const bool fromShared = fromCopy[k] || (fromDisk[k] && ownAside[k]);
      if (k == 0) {
        if (fromShared) {
          base.Items = common_.Items;
          base.Digests = common_.Digests;
        } else if (!first) {
          base.Items = working.Items;
        } else if (known[0].Items) {
          base.Items = ItemsOf(*known[0].Items);
        }
        if (path.empty()) outside.Items = base.Items && !fromShared ? *base.Items : working.Items;
      } else {
        base.Chars = fromShared ? common_.Chars : !first ? std::optional(working.Chars) : known[1].Chars;
        if (path.empty()) outside.Chars = base.Chars ? *base.Chars : working.Chars;
      }
    }
    if (!readable) {
      if (first && (replaced[0] || replaced[1])) return outcome;  // nothing until the file changes again
      continue;                                                   // that copy is left where it is, named once
    }
    outside.LastItemIndex = working.LastItemIndex;
    // Whoever's items are on disk keeps its numbers, so that both machines agree on them.
    const bool diskOutside = fromDisk[0] || (!fromCopy[0] && fromDisk[1]);
    // A file replaced in place of this copy's last version while nothing waits
    // to be saved here (the usual case, saving as you go): the disk's version is the merge.
    const bool nothingWaits = first && used.empty() && !ownAside[0] && !ownAside[1] &&
                              (known[0].Items && SameItems(*known[0].Items, working.Items)) && known[1].Chars &&
                              *known[1].Chars == working.Chars;
    if (nothingWaits) {
      outside.LastItemIndex = std::max(outside.LastItemIndex, working.LastItemIndex);
      for (const ItemPtr& item : outside.Items) outside.LastItemIndex = std::max(outside.LastItemIndex, item->Index);
      working = outside;
    } else {
      MergeResult merged = diskOutside ? MergeCatalogues(base, outside, working, highest_)
                                       : MergeCatalogues(base, working, outside, highest_);
      for (auto& c : merged.Report.ItemConflicts) outcome.Report.ItemConflicts.push_back(c);
      for (auto& r : merged.Report.ItemsRenumbered) outcome.Report.ItemsRenumbered.push_back(r);
      working = std::move(merged.Merged);
    }
    if (fromDisk[0]) onDisk.Items = std::move(outside.Items);
    if (fromDisk[1]) onDisk.Chars = std::move(outside.Chars);
    for (ConflictCopy& copy : used) done.push_back(std::move(copy));
  }

  // What the disk holds is from now on the version both machines share.
  // and this copy's version that stayed on disk beside another's conflict copy
  // (the other machine takes it in).
  for (std::size_t k = 0; k < 2; ++k) {
    if (replaced[k]) {
      KnownFile content;
      if (k == 0) {
        content.Items = BlocksOf(onDisk.Items);
        common_.Items = onDisk.Items;
        common_.Digests.reset();
      } else {
        content.Chars = onDisk.Chars;
        common_.Chars = onDisk.Chars;
      }
      store_.TakenIn(kinds[k], disk[k], std::move(content));
    } else if (!done.empty()) {
      if (k == 0 && known[0].Items) {
        common_.Items = ItemsOf(*known[0].Items);
        common_.Digests.reset();
      }
      if (k == 1 && known[1].Chars) common_.Chars = known[1].Chars;
    }
  }
  PersistCommon();

  Apply(before, working, outcome);
  for (const ConflictCopy& copy : done) {
    outcome.CopiesMerged.push_back(copy.Name);
    try {
      outcome.Moved.push_back(MoveToMergedCopies(store_.DataDir(), copy.Path));
    } catch (const EFileError&) {
      NoteUnreadable(copy.Path, IdentityOf(copy.Path), std::nullopt);
      outcome.NotMoved.push_back(copy.Path);
    }
  }
  // A save held back meanwhile goes now (the disk's own content is not written again).
  store_.ScheduleSave(catalogue_, true, true);
  return outcome;
}

void FolderSync::Apply(const CatalogueVersion& before, const CatalogueVersion& after, TakeInOutcome& outcome) {
  catalogue_.LastItemIndex = std::max(catalogue_.LastItemIndex, highest_);
  const std::string summary = TakeInSummary(before, after, outcome.Report);
  if (!PutVersion(catalogue_, history_, before, after, summary)) return;
  outcome.Summary = summary;
  outcome.Changed = true;
}

void FolderSync::PersistCommon() {
  {
    const std::lock_guard lock(persistMutex_);
    if (common_.Items) {
      commonToWrite_.emplace(*common_.Items, common_.Chars.value_or(std::vector<TChar>()));
      commonDigestsToWrite_.reset();
    } else if (common_.Digests) {
      commonDigestsToWrite_ = common_.Digests;
      commonToWrite_.emplace(ItemVector(), common_.Chars.value_or(std::vector<TChar>()));
    } else {
      return;
    }
  }
  persistWake_.notify_one();
}

void FolderSync::PersistNumbers() {
  {
    const std::lock_guard lock(persistMutex_);
    highestToWrite_ = highest_;
    numbersToWrite_ = true;
  }
  persistWake_.notify_one();
}

void FolderSync::PersistLoop() {
  std::unique_lock lock(persistMutex_);
  for (;;) {
    persistWake_.wait(lock, [this] { return stopping_ || commonToWrite_ || numbersToWrite_; });
    if (!commonToWrite_ && !numbersToWrite_) break;
    // The common version's digests take a moment's work: not while the take-in
    // that asked for them still updates the windows (one write for a burst).
    if (commonToWrite_) persistWake_.wait_for(lock, std::chrono::seconds(2), [this] { return stopping_; });
    auto common = std::exchange(commonToWrite_, std::nullopt);
    auto digests = std::exchange(commonDigestsToWrite_, std::nullopt);
    const bool numbers = std::exchange(numbersToWrite_, false);
    const WrittenFiles written = written_;
    const std::int32_t highest = highestToWrite_;
    lock.unlock();
    // Best effort: a state not written only makes a later merge two-way.
    try {
      if (common) state_.WriteCommon(digests ? *digests : DigestsOf(common->first), common->second);
      if (numbers) state_.WriteNumbers(highest, written);
    } catch (const EFileError&) {
    }
    lock.lock();
  }
}

}  // namespace kistora
