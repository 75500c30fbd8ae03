// Program entry: the windows are created once, in order, and the main window is
// shown; closing it ends the program. No argument is read.
#include <QApplication>

#include "app/AppIcon.h"
#include "app/MainUnit.h"
#include "app/Windows.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kistora"));
  QApplication::setWindowIcon(kistora::KistoraIcon());
  CreateWindows();
  Windows().Main->show();
  const int result = QApplication::exec();
  DestroyWindows();
  return result;
}
