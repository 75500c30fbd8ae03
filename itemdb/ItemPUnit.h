// Item properties dialog: shows every field of one item, read-only or editable,
// and builds a new item of the chosen category from its fields.
#pragma once

#include <QDialog>
#include <memory>

#include "model/items.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

class TItemP : public QDialog {
  Q_OBJECT
 public:
  explicit TItemP(QWidget* parent = nullptr);

  void ClearFields();
  void LoadItem(const kistora::TD2Item& item);
  void SetReadOnly(bool flag);
  // Shows the dialog modally (centred on the main window the first time); true when closed with OK.
  bool Execute();
  // A new item of the class ItemCat names, Index 0; nullptr after the error box when no category.
  std::unique_ptr<kistora::TD2Item> ItemFromDialog();

  QLineEdit* ItemName = nullptr;
  QLineEdit* ItemNotes = nullptr;
  QComboBox* ItemCat = nullptr;
  QComboBox* ItemQuality = nullptr;
  QSpinBox* ItemDur = nullptr;
  QSpinBox* ItemMaxDur = nullptr;
  QSpinBox* ItemCLvl = nullptr;
  QSpinBox* ItemDex = nullptr;
  QSpinBox* ItemStr = nullptr;
  QSpinBox* ItemPrice = nullptr;
  QSpinBox* ItemDef = nullptr;
  QSpinBox* ItemParade = nullptr;
  QSpinBox* ItemMinDmg = nullptr;
  QSpinBox* ItemMaxDmg = nullptr;
  QComboBox* ItemSpeed = nullptr;
  QPlainTextEdit* ItemMagicProps = nullptr;
  QPushButton* OK = nullptr;
  QPushButton* Cancel = nullptr;

 private:
  void BuildControls();
  bool shownOnce_ = false;
};
