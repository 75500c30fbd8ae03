// Item database window: lists, filters and sorts every item; adds, modifies,
// views and deletes items; hands an item to the selected character.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string_view>

#include "model/item_list_rows.h"

class QCheckBox;
class QPushButton;
class QTreeView;
class ItemListModel;

class TItemG : public QWidget {
  Q_OBJECT
 public:
  explicit TItemG(QWidget* parent = nullptr);

  void FillListe();
  // The filter test of the seven check boxes.
  bool IsItemShown(const kistora::TD2Item& item) const;
  kistora::ItemFilter Filter() const;
  // Both texts as signed 32-bit decimals (0 when they do not parse): <0, 0, >0.
  static int CompareAsNumbers(std::string_view a, std::string_view b);
  ItemListModel* ListeModel() const { return model_; }
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

  // Event handlers (buttons, check boxes, list).
  void ShowClick();
  void AddItemClick();
  void ModItemClick();
  void SeeItemClick();
  void DelItemClick();
  void AddToCharClick();
  void ListeColumnClick(int column);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Position in ItemList of the selected row's item (first match by number), or -1.
  int SelectedItemPos() const;
  void ShowSortIndicator();
  void PlaceControls();

  ItemListModel* model_ = nullptr;
  bool shownOnce_ = false;
};
