// "Restaurer une sauvegarde…": the days of the data folder's backups/ with
// their number of items and characters, read as start-up reads the databases
// (a damaged or incomplete day is shown as such and cannot be chosen), what
// restoring the chosen day would change, and the restore itself: one step of
// the history, so that "Annuler" brings the present catalogue back.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "storage/backup_restore.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace kistora {
class CatalogueHistory;
}

class TRestore : public QDialog {
  Q_OBJECT
 public:
  // Restores into catalogue, as one step of history (none when null).
  TRestore(kistora::TCatalogue& catalogue, kistora::CatalogueHistory* history, QWidget* parent = nullptr);
  ~TRestore() override;

  // Reads the backups of the data folder and shows the dialog modally.
  void Execute();

  QTreeWidget* Backups = nullptr;  // "Date", "Objets", "Personnages", "État"
  QLabel* Preview = nullptr;       // what restoring the selected day would change
  QPushButton* RestoreButton = nullptr;
  QPushButton* Cancel = nullptr;

 private:
  void FillBackups();
  void DayChosen();
  void RestoreClick();

  kistora::TCatalogue& catalogue_;
  kistora::CatalogueHistory* history_;
  std::vector<kistora::BackupDay> days_;
  // The chosen day's backup, read once it is chosen (a big catalogue is not kept for every day).
  std::unique_ptr<kistora::TCatalogue> chosen_;
  std::string chosenDate_;
};
