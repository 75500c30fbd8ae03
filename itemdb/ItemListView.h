// The item database window's list: a table of rows, which unlike a tree view
// keeps nothing per row (a tree view lays out an entry for each of a million
// rows), set up to look and move like the other lists: whole rows, no grid,
// no row header, Home and End to the first and last row, Tab to the next field.
// A dragged item shows as a small label with its name beside the pointer
// rather than its whole row under it, so that the character row the pointer
// is over stays in sight, highlighted as the one that would receive it.
// Reached by the keyboard with no row selected, it selects the row it is on,
// so that what follows the selection (who holds the item, the buttons) does.
#pragma once

#include <QTableView>

class QHeaderView;

class ItemListView final : public QTableView {
  Q_OBJECT
 public:
  explicit ItemListView(QWidget* parent = nullptr);
  // The column headers (as a tree view's header()).
  QHeaderView* header() const { return horizontalHeader(); }
  // Rows as tall as the item delegate wants them for the list's font (call
  // after setting the delegate).
  void FitRowsToText();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
};
