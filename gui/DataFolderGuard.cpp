#include "gui/DataFolderGuard.h"

#include <QFile>

#include "gui/Platform.h"
#include "storage/data_folder_lock.h"
#include "storage/stale_temporaries.h"

namespace kistora {

bool TakeDataFolder(DataFolderLock& lock, const std::string& dir, QWidget* parent) {
  const LockAttempt attempt = lock.TryAcquire(dir);
  if (attempt.State == LockState::Busy) {
    const QString owner = attempt.OtherPid > 0 ? QString::fromUtf8(" (processus %1)").arg(attempt.OtherPid) : QString();
    CurrentPlatform().Messages->Message(
        parent, QStringLiteral("Kistora"),
        QString::fromUtf8("Kistora est déjà ouvert sur le dossier %1%2. Fermez-le, ou revenez à sa fenêtre : "
                          "deux copies sur les mêmes fichiers perdraient des changements.")
            .arg(QFile::decodeName(dir.c_str()), owner));
    return false;
  }
  // Held: no save of another program can be running here, so every temporary
  // file of a save is a leftover of one that was killed.
  if (attempt.State == LockState::Held) RemoveStaleTemporaries(dir);
  return true;
}

}  // namespace kistora
