// The program's icon, drawn in code so that no image file has to be shipped.
#pragma once

#include <QIcon>

namespace kistora {

QIcon KistoraIcon();

}  // namespace kistora
