// The history window: the steps of this run in French words, oldest first,
// those taken back in grey; choosing a step (a click, or the arrow keys then
// Enter) brings the catalogue back to just after it, and the first line to
// before them all. Escape or Ctrl+W closes it.
// It asks the main window to move through the history (goToRequested), so that
// the character selected there stays selected. Created once; closing hides it.
#pragma once

#include <QWidget>
#include <cstddef>

class QLabel;
class QListWidget;

namespace kistora {
class HistorySignals;
}

class THistory : public QWidget {
  Q_OBJECT
 public:
  explicit THistory(kistora::HistorySignals& history, QWidget* parent = nullptr);

  // Shows the window (beside the main window the first time) and brings it to the front.
  void ShowAndRaise();

  QListWidget* Steps = nullptr;  // row 0: before every step; row n: just after step n
  QLabel* CountLine = nullptr;

 signals:
  // The catalogue is to hold exactly the first done steps.
  void goToRequested(std::size_t done);
  // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y, as in the main window.
  void undoRequested();
  void redoRequested();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillSteps();
  void RowChosen(int row);

  kistora::HistorySignals& history_;
  bool shownOnce_ = false;
  bool filling_ = false;  // the list is being made: its current row is not a choice
};
