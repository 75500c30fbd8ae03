// The main window: owner of the catalogue, the character list, the selected
// character's inventory, and the program's start (load) and close (save).
#pragma once

#include <QMainWindow>
#include <cstdint>

#include "model/catalogue.h"

class QPushButton;
class QTreeView;
class QSplitter;
class QAction;

class TMain : public QMainWindow {
  Q_OBJECT
 public:
  // Creation: loads items.kdb then chars.kdb from the data folder.
  explicit TMain(QWidget* parent = nullptr);
  ~TMain() override;

  kistora::TCatalogue& Catalogue() { return catalogue_; }
  // Row index of the selected character, -1 when none.
  int SelectedCharRow() const;
  void SelectCharRow(int row);  // -1 clears the selection; the inventory follows
  // Rebuilds the inventory list from the selected character.
  void FillCharInv();
  // Appends the item's number to the selected character, then FillCharInv; nothing when none selected.
  void AddItemToChar(const kistora::TD2Item& item);
  // Rebuilds the character list from CharList (after a load or a reorder).
  void FillChars();

  QTreeView* Chars = nullptr;
  QTreeView* CharInv = nullptr;
  QPushButton* AddChar = nullptr;
  QPushButton* DelChar = nullptr;
  QPushButton* ModChar = nullptr;
  QPushButton* UpChar = nullptr;
  QPushButton* DownChar = nullptr;
  QPushButton* DelItem = nullptr;
  QPushButton* SeeItem = nullptr;
  QPushButton* ItemGestion = nullptr;
  QAction* ExportInv = nullptr;
  QAction* Quitter1 = nullptr;
  QAction* Apropos1 = nullptr;
  QSplitter* Splitter = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  kistora::TCatalogue catalogue_;
  bool shown_ = false;
};
