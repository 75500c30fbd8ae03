// Item database window: lists, filters and sorts every item; adds, modifies,
// views and deletes items; hands an item to the selected character.
#pragma once

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QPushButton;
class QTreeView;

class TItemG : public QWidget {
  Q_OBJECT
 public:
  explicit TItemG(QWidget* parent = nullptr);

  void FillListe();
  // Shows the window non-modally and brings it to the front (centred over Main
  // at its first show unless the options file gave its position).
  void ShowAndRaise();

  std::int32_t SortColumn = 0;
  bool SortInverted = false;
  bool PositionFromOptions = false;  // set by the options file's iwp_left / iwp_top

  QCheckBox* ShowUniques = nullptr;
  QCheckBox* ShowSets = nullptr;
  QCheckBox* ShowRares = nullptr;
  QCheckBox* ShowCrafted = nullptr;
  QCheckBox* ShowMagics = nullptr;
  QCheckBox* ShowNormals = nullptr;
  QCheckBox* MaskPrice0 = nullptr;
  QPushButton* AddItem = nullptr;
  QPushButton* DelItem = nullptr;
  QPushButton* ModItem = nullptr;
  QPushButton* SeeItem = nullptr;
  QPushButton* AddToChar = nullptr;
  QTreeView* Liste = nullptr;
};
