// The item database window's list. A dragged item shows as a small label with
// its name beside the pointer rather than its whole row under it, so that the
// character row the pointer is over stays in sight, highlighted as the one
// that would receive it.
#pragma once

#include <QTreeView>

class ItemListView final : public QTreeView {
  Q_OBJECT
 public:
  using QTreeView::QTreeView;

 protected:
  void startDrag(Qt::DropActions supportedActions) override;
};
