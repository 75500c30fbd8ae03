#include "model/catalogue_history.h"

#include <utility>

#include "model/edit_text.h"

namespace kistora {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

bool InRange(int value, std::size_t size) { return value >= 0 && static_cast<std::size_t>(value) < size; }

// Whether the number can go back at each of entries, in order, as PutItemBack puts it.
bool EntriesFit(const TCatalogue& catalogue, const std::vector<EntryPlace>& entries) {
  std::vector<std::size_t> sizes(catalogue.CharList.size());
  for (std::size_t row = 0; row < sizes.size(); ++row) sizes[row] = catalogue.CharList[row]->Items.size();
  for (const EntryPlace& place : entries) {
    if (!InRange(place.Row, sizes.size()) || !InRange(place.Position, sizes[place.Row] + 1)) return false;
    ++sizes[place.Row];
  }
  return true;
}

// The character at e.Row and e.Other trade their five texts (a change of texts is its own inverse).
bool TradeTexts(TCatalogue& catalogue, edit::CharTexts& e) {
  const TChar* character = catalogue.CharAt(e.Row);
  if (!character || !e.Other) return false;
  auto now = std::make_unique<TChar>();
  now->Name = character->Name;
  now->Account = character->Account;
  now->Class = character->Class;
  now->Level = character->Level;
  now->Notes = character->Notes;
  catalogue.ModifyChar(e.Row, *e.Other);
  e.Other = std::move(now);
  return true;
}

}  // namespace

CatalogueHistory::CatalogueHistory(TCatalogue& catalogue, std::size_t capacity)
    : catalogue_(catalogue), capacity_(capacity == 0 ? 1 : capacity) {
  catalogue_.SetRecorder(this);
}

CatalogueHistory::~CatalogueHistory() { catalogue_.SetRecorder(nullptr); }

void CatalogueHistory::Record(CatalogueEdit edit) {
  if (replaying_) return;
  if (groupDepth_ > 0) {
    if (group_.Text.empty()) group_.Text = EditText(edit, catalogue_);
    group_.Edits.push_back(std::move(edit));
    return;
  }
  Step step{EditText(edit, catalogue_), {}};
  step.Edits.push_back(std::move(edit));
  Push(std::move(step));
}

void CatalogueHistory::Push(Step step) {
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  steps_.push_back(std::move(step));
  if (steps_.size() > capacity_) steps_.pop_front();
  done_ = steps_.size();
  Changed();
}

void CatalogueHistory::Forget() {
  steps_.clear();
  done_ = 0;
  group_.Edits.clear();  // what it gathered took the catalogue from a state that is gone
  Changed();
}

void CatalogueHistory::BeginGroup(std::string text) {
  if (groupDepth_++ == 0) group_ = Step{std::move(text), {}};
}

void CatalogueHistory::EndGroup() {
  if (groupDepth_ == 0 || --groupDepth_ > 0) return;
  Step step = std::exchange(group_, Step{});
  if (!step.Edits.empty()) Push(std::move(step));
}

bool CatalogueHistory::Undo() {
  if (!CanUndo()) return false;
  if (!Replay(steps_[done_ - 1], true)) return false;
  --done_;
  Changed();
  return true;
}

bool CatalogueHistory::Redo() {
  if (!CanRedo()) return false;
  if (!Replay(steps_[done_], false)) return false;
  ++done_;
  Changed();
  return true;
}

bool CatalogueHistory::GoTo(std::size_t done) {
  if (done > steps_.size() || groupDepth_ > 0) return false;
  quiet_ = true;
  bool ok = true;
  while (ok && done_ > done) ok = Undo();
  while (ok && done_ < done) ok = Redo();
  quiet_ = false;
  Changed();
  return ok;
}

bool CatalogueHistory::Replay(Step& step, bool undo) {
  replaying_ = true;
  bool ok = true;
  if (undo) {
    for (auto edit = step.Edits.rbegin(); ok && edit != step.Edits.rend(); ++edit) ok = UndoEdit(*edit);
  } else {
    for (auto edit = step.Edits.begin(); ok && edit != step.Edits.end(); ++edit) ok = RedoEdit(*edit);
  }
  replaying_ = false;
  // Only a catalogue changed outside its operations gets here: no step can be trusted any more.
  if (!ok) Forget();
  return ok;
}

bool CatalogueHistory::EraseItem(int position, const ItemPtr& item) {
  TCatalogue& c = catalogue_;
  if (!InRange(position, c.ItemList.size()) || c.ItemList[position] != item) return false;
  c.DeleteItemAt(position);
  return true;
}

bool CatalogueHistory::InsertItem(int position, const ItemPtr& item, const std::vector<EntryPlace>& entries) {
  TCatalogue& c = catalogue_;
  if (!InRange(position, c.ItemList.size() + 1) || !EntriesFit(c, entries)) return false;
  c.PutItemBack(position, item, entries);
  return true;
}

bool CatalogueHistory::SwapItem(edit::ItemReplaced& e) {
  TCatalogue& c = catalogue_;
  if (!InRange(e.Position, c.ItemList.size()) || c.ItemList[e.Position]->Index != e.Other->Index) return false;
  c.SwapItemAt(e.Position, e.Other);
  return true;
}

bool CatalogueHistory::TakeChar(int row, std::unique_ptr<TChar>& held) {
  if (!InRange(row, catalogue_.CharList.size())) return false;
  held = catalogue_.TakeCharAt(row);
  return true;
}

bool CatalogueHistory::InsertChar(int row, std::unique_ptr<TChar>& held) {
  if (!InRange(row, catalogue_.CharList.size() + 1) || !held) return false;
  catalogue_.InsertCharAt(row, std::move(held));
  return true;
}

bool CatalogueHistory::EraseEntry(int row, int position, std::int32_t number) {
  const TChar* character = catalogue_.CharAt(row);
  if (!character || !InRange(position, character->Items.size()) || character->ItemAt(position) != number) {
    return false;
  }
  return catalogue_.RemoveInventoryEntry(row, position);
}

bool CatalogueHistory::InsertEntry(int row, int position, std::int32_t number) {
  const TChar* character = catalogue_.CharAt(row);
  if (!character || !InRange(position, character->Items.size() + 1)) return false;
  catalogue_.InsertInventoryEntry(row, position, number);
  return true;
}

bool CatalogueHistory::UndoEdit(CatalogueEdit& edit) {
  TCatalogue& c = catalogue_;
  return std::visit(Overloaded{
                        [&](edit::ItemInserted& e) { return EraseItem(e.Position, e.Item); },
                        [&](edit::ItemErased& e) { return InsertItem(e.Position, e.Item, e.Entries); },
                        [&](edit::ItemReplaced& e) { return SwapItem(e); },
                        [&](edit::CharInserted& e) { return TakeChar(e.Row, e.Held); },
                        [&](edit::CharErased& e) { return InsertChar(e.Row, e.Held); },
                        [&](edit::CharTexts& e) { return TradeTexts(c, e); },
                        [&](edit::CharsSwapped& e) { return c.SwapChars(e.Row, e.OtherRow); },
                        [&](edit::EntryInserted& e) { return EraseEntry(e.Row, e.Position, e.Number); },
                        [&](edit::EntryErased& e) { return InsertEntry(e.Row, e.Position, e.Number); },
                        [&](edit::ContentReplaced& e) {
                          c.SwapContent(e.OtherItems, e.OtherChars);
                          return true;
                        },
                    },
                    edit);
}

bool CatalogueHistory::RedoEdit(CatalogueEdit& edit) {
  TCatalogue& c = catalogue_;
  return std::visit(Overloaded{
                        [&](edit::ItemInserted& e) { return InsertItem(e.Position, e.Item, {}); },
                        [&](edit::ItemErased& e) { return EraseItem(e.Position, e.Item); },
                        [&](edit::ItemReplaced& e) { return SwapItem(e); },
                        [&](edit::CharInserted& e) { return InsertChar(e.Row, e.Held); },
                        [&](edit::CharErased& e) { return TakeChar(e.Row, e.Held); },
                        [&](edit::CharTexts& e) { return TradeTexts(c, e); },
                        [&](edit::CharsSwapped& e) { return c.SwapChars(e.Row, e.OtherRow); },
                        [&](edit::EntryInserted& e) { return InsertEntry(e.Row, e.Position, e.Number); },
                        [&](edit::EntryErased& e) { return EraseEntry(e.Row, e.Position, e.Number); },
                        [&](edit::ContentReplaced& e) {
                          c.SwapContent(e.OtherItems, e.OtherChars);
                          return true;
                        },
                    },
                    edit);
}

void CatalogueHistory::Changed() {
  if (!quiet_ && listener_) listener_();
}

}  // namespace kistora
