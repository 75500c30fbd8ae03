// The changes of this run, to take back and to do again. Every operation of the
// catalogue is one step (several make one inside a group: one dialog's OK, one
// import), kept with what it takes to put the catalogue back exactly as it was:
// a deleted item comes back with its number, at its place, and in every
// inventory entry it had. Taking a step back or doing it again goes through the
// catalogue like any change, so the windows and the saves follow. A new change
// after steps were taken back drops them. The oldest steps go past the
// capacity; item numbers handed out are never given back.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/catalogue_edit.h"

namespace kistora {

class CatalogueHistory final : public CatalogueRecorder {
 public:
  static constexpr std::size_t kDefaultCapacity = 1000;

  // Records every operation of catalogue from now on (until destroyed).
  explicit CatalogueHistory(TCatalogue& catalogue, std::size_t capacity = kDefaultCapacity);
  ~CatalogueHistory() override;
  CatalogueHistory(const CatalogueHistory&) = delete;
  CatalogueHistory& operator=(const CatalogueHistory&) = delete;

  // The steps kept, oldest first; the first DoneCount() of them are in the catalogue.
  std::size_t StepCount() const { return steps_.size(); }
  std::size_t DoneCount() const { return done_; }
  // A step in French words (Windows-1252), e.g. "Suppression de l'objet 1 204 « Épée »".
  const std::string& StepText(std::size_t step) const { return steps_[step].Text; }
  bool CanUndo() const { return done_ > 0 && groupDepth_ == 0; }
  bool CanRedo() const { return done_ < steps_.size() && groupDepth_ == 0; }
  // The step Undo / Redo would take; empty when there is none.
  std::string UndoText() const { return CanUndo() ? steps_[done_ - 1].Text : std::string(); }
  std::string RedoText() const { return CanRedo() ? steps_[done_].Text : std::string(); }

  // False when there is nothing to do. A catalogue changed behind the
  // history's back (which the program never does) makes it forget every step.
  bool Undo();
  bool Redo();
  // Takes steps back or does them again until exactly done steps are in the catalogue.
  bool GoTo(std::size_t done);

  // The operations until the matching EndGroup make one step, described by
  // text (empty: the first operation's own words). Groups nest: the outermost
  // one makes the step. No undo or redo meanwhile.
  void BeginGroup(std::string text = {});
  void EndGroup();
  // A group for the life of this object; a null history makes none.
  class Group {
   public:
    Group(CatalogueHistory* history, std::string text = {}) : history_(history) {
      if (history_) history_->BeginGroup(std::move(text));
    }
    ~Group() {
      if (history_) history_->EndGroup();
    }
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

   private:
    CatalogueHistory* history_;
  };

  // Called after each change of the steps: one recorded, taken back, done again, or all forgotten.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

  void Record(CatalogueEdit edit) override;
  void Forget() override;

 private:
  struct Step {
    std::string Text;
    std::vector<CatalogueEdit> Edits;
  };
  void Push(Step step);
  bool Replay(Step& step, bool undo);
  bool UndoEdit(CatalogueEdit& edit);
  bool RedoEdit(CatalogueEdit& edit);
  // The moves an edit is taken back or done again with (undoing an insertion
  // is redoing an erasure): each checks that the catalogue is as the edit left
  // it, and changes nothing otherwise.
  bool EraseItem(int position, const ItemPtr& item);
  bool InsertItem(int position, const ItemPtr& item, const std::vector<EntryPlace>& entries);
  bool SwapItem(edit::ItemReplaced& e);
  bool TakeChar(int row, std::unique_ptr<TChar>& held);
  bool InsertChar(int row, std::unique_ptr<TChar>& held);
  bool EraseEntry(int row, int position, std::int32_t number);
  bool InsertEntry(int row, int position, std::int32_t number);
  void Changed();

  TCatalogue& catalogue_;
  std::size_t capacity_;
  std::deque<Step> steps_;
  std::size_t done_ = 0;
  int groupDepth_ = 0;
  Step group_;
  bool replaying_ = false;  // the catalogue's operations called from here are not new steps
  bool quiet_ = false;      // GoTo tells the listener once, at the end
  std::function<void()> listener_;
};

}  // namespace kistora
