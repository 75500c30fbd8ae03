// Program entry: the data folder is chosen (--data-dir DIR, KISTORA_DATA_DIR,
// beside the program, or the user's data folder for an installed copy), Qt's
// own dialogs speak French, the windows are created once, in order, and the
// main window is shown; closing it ends the program. A second copy on the same
// folder says so and stops.
#include <QApplication>
#include <QMessageBox>
#include <cstring>
#include <string>

#include "app/Windows.h"
#include "gui/AppIcon.h"
#include "gui/DataFolderGuard.h"
#include "gui/Platform.h"
#include "gui/QtFrench.h"
#include "gui/QtText.h"
#include "mainwindow/MainUnit.h"
#include "storage/data_folder.h"
#include "storage/data_folder_lock.h"

namespace {

// The folder given by "--data-dir DIR" or "--data-dir=DIR"; empty when none.
std::string DataDirArgument(int argc, char** argv) {
  constexpr const char* kOption = "--data-dir";
  const std::size_t length = std::strlen(kOption);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], kOption) == 0 && i + 1 < argc) return argv[i + 1];
    if (std::strncmp(argv[i], kOption, length) == 0 && argv[i][length] == '=') return argv[i] + length + 1;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kistora"));
  QApplication::setWindowIcon(kistora::KistoraIcon());
  kistora::InstallQtFrenchTranslations(app);

  std::string error;
  const kistora::DataDirChoice folder = kistora::ResolveDataDir(DataDirArgument(argc, argv), error);
  kistora::CurrentPlatform().DataDir = folder.dir;
  kistora::CurrentPlatform().DataDirCreated = folder.created;
  if (!error.empty()) {
    // Nothing could be kept there: say so rather than lose the player's work at close.
    QMessageBox::critical(nullptr, QStringLiteral("Kistora"), kistora::QtText(error));
    return 1;
  }

  // One copy of the program per folder, for the whole run.
  kistora::DataFolderLock lock;
  if (!kistora::TakeDataFolder(lock, folder.dir)) return 1;

  CreateWindows();
  Windows().Main->show();
  const int result = QApplication::exec();
  DestroyWindows();
  return result;
}
