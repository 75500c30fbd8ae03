// Item database window: lists, filters and sorts every item; adds, modifies,
// views and deletes items; hands an item to the selected character.
#pragma once

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "itemdb/ItemListView.h"
#include "listing/item_list_rows.h"
#include "model/catalogue.h"
#include "options/option_bindings.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class ItemListModel;
class TItemP;

namespace kistora {
class CatalogueSignals;
class HistorySignals;
}  // namespace kistora

class TItemG : public QWidget {
  Q_OBJECT
 public:
  // Lists catalogue, following its changes.
  TItemG(kistora::TCatalogue& catalogue, kistora::CatalogueSignals& changes, QWidget* parent = nullptr);
  // The item properties dialog through which items are added, modified and seen (created after this window).
  void UseItemDialog(TItemP* itemP) { itemP_ = itemP; }
  // The history of the catalogue's changes, whose steps the list's context menu names.
  void UseHistory(kistora::HistorySignals* history);

  void FillListe();
  // The filter test of the seven check boxes and the search field.
  bool IsItemShown(const kistora::TD2Item& item) const;
  kistora::ItemFilter Filter() const;
  // For each position of the database, whether the list shows that item;
  // none while the list is not made or lags behind the catalogue (hidden).
  std::optional<std::vector<bool>> ShownAt() const;
  // Both texts as signed 32-bit decimals (0 when they do not parse): <0, 0, >0.
  static int CompareAsNumbers(std::string_view a, std::string_view b);
  ItemListModel* ListeModel() const { return model_; }
  // Shows the window non-modally and brings it to the front (centred over its
  // parent, the main window, at its first show unless the options file gave its position).
  void ShowAndRaise();
  // Binds the window's own keys: bounds, column widths, filters and sort.
  void BindOptions(kistora::OptionBindings& b);

  std::int32_t SortColumn = 0;
  bool SortInverted = false;
  bool PositionFromOptions = false;  // set by the options file's iwp_left / iwp_top
  // Where the window's frame goes at its first show: centred over the main
  // window, unless the options file gave the position (then where it is).
  QPoint FirstShowPosition() const;
  // The item numbered number went to the character at row: beside the counts,
  // the count line says so for a few seconds (EndHandOverNote), then goes back
  // to who holds the selected item.
  void ShowHandedOver(std::int32_t number, int row);
  // Around a change of the whole catalogue (taken in from disk, a restored
  // backup): the selected item stays selected when it is still listed.
  void KeepSelection();
  void SelectKept();
  // "<< Ajouter au perso" found no character selected in the main window: the count line says so.
  void ShowNoCharSelected();
  void EndHandOverNote();
  // Down or Enter in the search field: the keyboard goes into the list, on its first row.
  void EnterList();
  // Lists with the search field's text now (typing coalesces keystrokes on a big catalogue).
  void ApplySearchNow();

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
  ItemListView* Liste = nullptr;
  QLineEdit* Search = nullptr;  // quick search, between "Voir..." and "<< Ajouter au perso"
  // Under the buttons, across the window, only while the search holds one: a
  // condition that cannot be read (or a perso:NOM no character has), whole.
  QLabel* SearchProblem = nullptr;
  QLabel* CountLine = nullptr;  // under the list: shown and total items, value of the shown ones
  // Right of the counts: for a few seconds what was just done (an item handed
  // over, a step taken back), else who holds the selected item.
  QLabel* CountNote = nullptr;
  QAction* DuplicateAction = nullptr;
  QAction* AddToCharAction = nullptr;  // Ctrl+Entrée
  // "Annuler …" and "Rétablir …" of the list's context menu, named after the step.
  QAction* UndoAction = nullptr;
  QAction* RedoAction = nullptr;

  // Event handlers (buttons, check boxes, list).
  void ShowClick();
  void AddItemClick();
  void ModItemClick();
  void SeeItemClick();
  void DelItemClick();
  void AddToCharClick();
  void DuplicateItemClick();
  void ListeColumnClick(int column);
  void StatsClick() { emit statsRequested(); }
  // Ctrl+Z and Ctrl+Shift+Z (or Ctrl+Y) here: the main window takes the step
  // back or does it again, and the count line names it for a few seconds.
  void UndoClick();
  void RedoClick();

 signals:
  // "<< Ajouter au perso": the item numbered number goes to the selected character.
  void addToCharRequested(std::int32_t number);
  // Ctrl+E and Ctrl+Q typed in this window: what the main window's menu does.
  void exportRequested();
  void quitRequested();
  // "Statistiques" (the list's context menu, Ctrl+I): the statistics of the listed items.
  void statsRequested();
  // The check boxes or the search changed what the list shows (also while the window is hidden).
  void filterChanged();
  // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y: the main window's "Annuler" and "Rétablir".
  void undoRequested();
  void redoRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Position in ItemList of the selected row's item (first match by number), or -1.
  int SelectedItemPos() const;
  // The properties dialog, editable, filled from start (empty when null): the
  // item it gives on OK, nullptr on Annuler.
  std::unique_ptr<kistora::TD2Item> EditInDialog(const kistora::TD2Item* start);
  void ShowSortIndicator();
  void PlaceControls();
  void BuildShortcutsAndMenu();
  void SearchEdited();
  void ShowCounts();
  void ShowNote();
  void ShowSearchProblem();
  void ShowHistoryState();
  // Shows note right of the counts for a few seconds.
  void ShowBriefly(const QString& note);
  void PlaceCountLine();
  void CatalogueChanged(const kistora::CatalogueChange& change);
  std::optional<std::int32_t> keptNumber_;

  kistora::TCatalogue& catalogue_;
  TItemP* itemP_ = nullptr;
  ItemListModel* model_ = nullptr;
  bool shownOnce_ = false;
  bool listStale_ = true;         // the rows were never made, or the catalogue was replaced while hidden
  bool refilterPending_ = false;  // the filter changed while the window was hidden
  kistora::ItemSearchQuery search_;
  QTimer* searchTimer_ = nullptr;
  QTimer* searchTextTimer_ = nullptr;  // makes the search texts in steps after a listing
  static constexpr qint64 kSearchTextStepMs = 20;
  static constexpr std::size_t kSearchTextRows = 2048;
  QString briefNote_;  // "« Écu » ajouté à Bob" while handOverTimer_ runs
  QTimer* handOverTimer_ = nullptr;
  kistora::HistorySignals* history_ = nullptr;
};
