// An item dragged from the item database window onto the main window: over a
// character of the character list, that character would receive it; over the
// inventory, the selected one would. While the item is dragged the receiving
// character's row is highlighted; the drop tells who received what.
#pragma once

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <functional>

class QDropEvent;
class QTreeView;

namespace kistora {

class CharListModel;

class CharDropTarget : public QObject {
  Q_OBJECT
 public:
  // chars shows charsModel; selectedRow gives the selected character's row (-1 for none).
  CharDropTarget(QTreeView* chars, CharListModel* charsModel, QTreeView* inventory, std::function<int()> selectedRow,
                 QObject* parent = nullptr);
  // Stops watching the lists (which outlive it).
  ~CharDropTarget() override;

 signals:
  // The item numbered number was dropped for the character at row.
  void itemDropped(std::int32_t number, int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Accepted when the event carries an item and a character would receive it.
  bool DragEvent(bool onChars, QDropEvent* event);
  int TargetRow(bool onChars, const QPoint& position) const;

  QTreeView* chars_;
  CharListModel* charsModel_;
  QTreeView* inventory_;
  std::function<int()> selectedRow_;
};

}  // namespace kistora
