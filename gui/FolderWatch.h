// Noticing, within about two seconds, what another machine (through a sync
// tool) or anything else changed in the data folder, and taking it in: a
// watch of the folder, and a look every second for the changes a watch
// misses (a file replaced by rename on some file systems). A change is taken
// in once the folder has been still for a moment and no sync tool is writing
// there, and never while the program must not be interrupted (a dialog open,
// start-up running): then it waits until it may.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "merge/folder_sync.h"

class QFileSystemWatcher;
class QTimer;

namespace kistora {

class FolderWatch final : public QObject {
  Q_OBJECT
 public:
  FolderWatch(FolderSync& sync, const std::string& dataDir, QObject* parent = nullptr);

  // Whether a take-in must wait now (a modal dialog or a menu open, start-up
  // running). The wiring sets it; by default, while a modal dialog or a popup is open.
  std::function<bool()> MustWait;

  // Starts watching (once start-up has read the files).
  void Start();
  // Takes in at once whatever the folder holds (before the close writes, or
  // when a save was held back); false when nothing could be taken in.
  bool TakeInNow();

 signals:
  // Around a take-in that changes the catalogue: the windows keep what was selected.
  void aboutToTakeIn();
  // summary: "Catalogue mis \u00E0 jour depuis le disque : ..." (empty when the catalogue did not change).
  void takenIn(const QString& summary);
  // A line to tell the player (a version that cannot be read, a copy that could not be put away).
  void trouble(const QString& line);

 private:
  void Look();
  void TellTrouble();

  FolderSync& sync_;
  QFileSystemWatcher* watcher_ = nullptr;
  QTimer* poll_ = nullptr;
  QTimer* settle_ = nullptr;
  std::optional<FolderLook> last_;  // the previous look that had news, to see the folder still
};

}  // namespace kistora
