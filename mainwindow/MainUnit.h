// The main window: the character list, the selected character's inventory, and
// the program's start (load) and close (save) of the catalogue it is given.
#pragma once

#include <QMainWindow>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/catalogue.h"
#include "options/option_bindings.h"
#include "storage/damaged_file.h"

class QLabel;
class QPushButton;
class QTreeView;
class QSplitter;
class QAction;
class QTimer;
class QWidget;
class TPerso;
class TItemP;

namespace kistora {
class CatalogueStore;
struct SaveReport;
class CatalogueSignals;
class HistorySignals;
class CharDropTarget;
class CharListModel;
class InventoryModel;
}  // namespace kistora

class TMain : public QMainWindow {
  Q_OBJECT
 public:
  // Creation: loads items.kdb then chars.kdb of store's folder into catalogue,
  // whose changes it follows through changes; once start-up is over, store
  // saves every change as it comes.
  TMain(kistora::TCatalogue& catalogue, kistora::CatalogueSignals& changes, kistora::CatalogueStore& store,
        QWidget* parent = nullptr);
  ~TMain() override;

  kistora::TCatalogue& Catalogue() { return catalogue_; }
  // The character dialog and the item properties dialog it opens (created after it).
  void UseDialogs(TPerso* perso, TItemP* itemP);
  // The history of the catalogue's changes, which the Édition menu takes back and does again.
  void UseHistory(kistora::HistorySignals* history);
  // Every window's options (set where the windows are created): read at the
  // first show, written at close.
  std::function<kistora::OptionBindings()> BindAllOptions;
  // Binds the main window's own keys: bounds, column widths, selected character, last item number.
  void BindOptions(kistora::OptionBindings& b);
  // Row index of the selected character, -1 when none.
  int SelectedCharRow() const;
  void SelectCharRow(int row);  // -1 clears the selection; the inventory follows
  // Rebuilds the inventory list from the selected character.
  void FillCharInv();
  // Appends the number to the selected character's inventory and returns that
  // character's row (and says itemHandedOver); nothing (and -1) when none is selected.
  int AddItemToChar(std::int32_t number);
  // Rebuilds the character list from CharList (after a load or a reorder).
  void FillChars();
  // Full path of a data file (items.kdb, chars.kdb, kistora.ini) in the data folder.
  static std::string DataPath(const char* fileName);

  // Button, menu and list handlers.
  void AddCharClick();
  void DelCharClick();
  void ModCharClick();
  void UpCharClick();
  void DownCharClick();
  void CharsClick();  // the selected character changed (mouse or keyboard)
  void DelItemClick();
  void SeeItemClick();
  void CharInvDblClick() { SeeItemClick(); }
  void ItemGestionClick();
  void ExportInvClick();
  // "Exporter en CSV…": the item database as a CSV file for a spreadsheet.
  void ExportCsvClick();
  // Where the CSV goes (a save dialog); replaceable so that tests can answer it.
  std::function<std::optional<QString>(QWidget* parent)> PickCsvFile = PickCsvFileWithDialog;
  static std::optional<QString> PickCsvFileWithDialog(QWidget* parent);
  // "Importer un CSV…": the items of a CSV file (as "Exporter en CSV…" writes
  // it) join the database with new numbers, in one step of the history.
  void ImportCsvClick();
  std::function<std::optional<QString>(QWidget* parent)> PickCsvImportFile = PickCsvImportFileWithDialog;
  static std::optional<QString> PickCsvImportFileWithDialog(QWidget* parent);
  // "Annuler", "Rétablir" (also asked by the item database window) and a step
  // clicked in the history window: the catalogue goes back or forward, and the
  // selected character stays selected (or the one that came back is).
  void UndoClick();
  void RedoClick();
  void HistoryGoTo(std::size_t done);
  void Quitter1Click() { close(); }
  // The first show runs the start-up's last steps (FormShow) before the window is made.
  void setVisible(bool visible) override;
  // Says line on the inventory's count line for a few seconds (what another
  // machine's changes brought, what could not be read).
  void ShowLine(const QString& line);
  // Around a change of the whole catalogue (taken in from disk, a restored
  // backup): the selected character stays selected when it is still there.
  void KeepSelection();
  void SelectKept();
  void Apropos1Click();

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
  QLabel* InvCount = nullptr;  // right of the inventory's buttons: its count and value
  QAction* Statistics = nullptr;
  QAction* ExportInv = nullptr;
  QAction* ExportCsv = nullptr;
  QAction* ImportCsv = nullptr;
  QAction* Restaurer1 = nullptr;  // "Restaurer une sauvegarde…"
  QAction* Fusionner1 = nullptr;  // "Fusionner un catalogue…"
  QAction* Annuler1 = nullptr;
  QAction* Retablir1 = nullptr;
  QAction* Historique1 = nullptr;
  QAction* GestionnaireObjets1 = nullptr;  // "Fenêtre › Gestionnaire d'objets" (Ctrl+G)
  QAction* Quitter1 = nullptr;
  QAction* Apropos1 = nullptr;
  QSplitter* Splitter = nullptr;
  QWidget* CharPanel = nullptr;
  QWidget* ItemsPanel = nullptr;

 signals:
  // "Gestionnaire d'objets", "Exporter..." and "A propos...": the windows they show.
  void itemDatabaseRequested();
  void exportRequested();
  void aboutRequested();
  // "Statistiques": the statistics window, over this one.
  void statsRequested();
  // "Historique…" and "Restaurer une sauvegarde…": the windows they show.
  void historyRequested();
  void restoreRequested();
  // The item numbered number went to the character at row, by "<< Ajouter au perso" or a drop.
  void itemHandedOver(std::int32_t number, int row);
  // The options file was read at the first show (it may have lowered the last item number).
  void optionsRead();
  // Start-up is over: the catalogue may change from outside from now on.
  void startedUp();
  // The close is about to write (what the folder holds from outside is taken in first).
  void closing();
  // A save as you go waits: a database changed on disk behind the program's back.
  void saveHeldBack();
  // "Fusionner un catalogue…".
  void mergeRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  // The Édition entries say what they would take back or do again.
  void ShowHistoryState();
  void ReplayHistory(const std::function<bool()>& replay);
  void BuildCharPanel();
  void BuildItemsPanel();
  // The three lifecycle steps: load at creation, options at the first show,
  // save at close (false when a step failed and the window must stay open).
  void FormCreate();
  void FormShow();
  bool FormClose();
  // The options file; kept as separate steps so that it slots in first at
  // close and last at the first show.
  void ReadOptionsStep();
  void WriteOptionsStep();
  // Tells the player what a save had to say: its failure (in the close's
  // words) and the files changed behind the program's back that were kept aside.
  void ShowSaveReport(const kistora::SaveReport& report);
  // The saves as you go report from their thread: shown from the window's.
  void ShowBackgroundReports();
  // Start-up (the loads at creation, the options at the first show) runs
  // whole: a close asked for meanwhile waits until it is over.
  void EndStartupStep();
  void MoveChar(int row, int otherRow);
  int SelectedInvRow() const;

  kistora::TCatalogue& catalogue_;
  TPerso* perso_ = nullptr;
  TItemP* itemP_ = nullptr;
  kistora::CharListModel* charsModel_ = nullptr;
  kistora::InventoryModel* invModel_ = nullptr;
  kistora::CharDropTarget* dropTarget_ = nullptr;
  kistora::CatalogueStore& store_;
  kistora::HistorySignals* history_ = nullptr;
  int startupSteps_ = 0;         // start-up steps running
  bool closeRequested_ = false;  // a close asked for during start-up
  bool shown_ = false;
  bool selectingChar_ = false;   // SelectCharRow fills the inventory itself
  QTimer* lineTimer_ = nullptr;  // how long ShowLine's line stays
  std::optional<std::string> keptChar_;
};
