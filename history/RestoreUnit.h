// "Restaurer une sauvegarde…": the days of the data folder's backups/ with
// their number of items and characters, read as start-up reads the databases
// (a damaged or incomplete day is shown as such and cannot be chosen), what
// restoring the chosen day would change, item by item, and the restore itself:
// one step of the history, so that "Annuler" brings the present catalogue back.
// The days are listed at once from the folder; their files are read in the
// background (a day's million items take a second), the chosen day first.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "storage/backup_reader.h"
#include "storage/backup_restore.h"

class QLabel;
class QPlainTextEdit;
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

  // Lists the backups of the data folder and shows the dialog modally.
  void Execute();
  // Until every day listed has been read (for tests).
  void WaitForReads();

  QTreeWidget* Backups = nullptr;     // "Date", "Objets", "Personnages", "État"
  QLabel* Preview = nullptr;          // what restoring the selected day would change, in counts
  QPlainTextEdit* Changes = nullptr;  // the same, item by item and character by character
  QPushButton* RestoreButton = nullptr;
  QPushButton* Cancel = nullptr;

 signals:
  // Around the restore, which replaces the whole catalogue: the windows keep their selection.
  void aboutToRestore();
  void restored();

 private:
  void FillBackups();
  void DayChosen();
  // A day read in the background: its row, and the preview when it is the chosen one.
  void DayRead(const kistora::BackupDay& day, const std::shared_ptr<kistora::TCatalogue>& catalogue);
  void ShowPreview(const kistora::TCatalogue& backup);
  // The changes by name under their label, both hidden when there are none.
  void ShowChanges(const QString& list);
  void RestoreClick();
  int RowOf(const std::string& date, const std::string& version) const;

  QLabel* changesLabel_ = nullptr;
  kistora::TCatalogue& catalogue_;
  kistora::CatalogueHistory* history_;
  std::vector<kistora::BackupDayFiles> days_;
  std::vector<bool> read_;  // by row: the day's files were read
  // The chosen day's backup, read once it is chosen (a big catalogue is not kept for every day).
  std::shared_ptr<kistora::TCatalogue> chosen_;
  std::string chosenDate_;
  std::string chosenVersion_;
  std::string readerDir_;
  std::unique_ptr<kistora::BackupReader> reader_;  // last: stopped first
};
