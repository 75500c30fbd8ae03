#include "gui/AppIcon.h"

#include <QString>

namespace kistora {

QIcon KistoraIcon() {
  QIcon icon;
  for (int size : {48, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/kistora-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace kistora
