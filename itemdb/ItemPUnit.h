// Item properties dialog: shows every field of one item, read-only or editable,
// and builds a new item of the chosen category from its fields.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "listing/item_completion.h"
#include "model/catalogue.h"
#include "model/items.h"

class CompletionPopup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace kistora {
class CatalogueSignals;
}

class TItemP : public QDialog {
  Q_OBJECT
 public:
  explicit TItemP(QWidget* parent = nullptr);
  // The catalogue the dialog completes names and property lines from (built at
  // the first editable show, then kept up to date from changes) and whose
  // characters "Voir..." names as the item's holders.
  void UseCatalogue(const kistora::TCatalogue& catalogue, kistora::CatalogueSignals& changes);
  // Starts counting the catalogue for completion, a slice at a time while the
  // program is idle (the first editable show counts whatever is left at once).
  void PrepareCompletion();

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
  // Read-only, right of OK: who holds the item shown (« Détenu par … »).
  QLabel* HeldBy = nullptr;
  // The proposals under the name and under the magic property line being typed.
  CompletionPopup* NamePopup = nullptr;
  CompletionPopup* LinePopup = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildCompletion();
  void ProposeNames();
  void ProposeLines();
  void ChooseName(int index);
  void ChooseLine(int index);
  void ShowHolders();

  bool shownOnce_ = false;
  bool readOnly_ = false;
  bool choosing_ = false;                     // a proposal is being written: no new proposals for it
  std::optional<std::int32_t> loadedNumber_;  // the number of the item LoadItem showed
  const kistora::TCatalogue* catalogue_ = nullptr;
  kistora::ItemCompletion completion_;
  QTimer* completionSlices_ = nullptr;  // counts the next slice when the program is idle
  std::vector<kistora::NameProposal> names_;
  std::vector<kistora::PropertyProposal> lines_;
  // A chosen line while its number is typed: its block (-1: none) and the text
  // after the number. Enter there ends the line, whatever was typed for it.
  int chosenBlock_ = -1;
  QString chosenTail_;
};
