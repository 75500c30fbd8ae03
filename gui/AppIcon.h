// The program's icon: the PNGs made at build time from data/kistora.svg (the
// drawing the installed icons come from), compiled in as Qt resources.
#pragma once

#include <QIcon>

namespace kistora {

QIcon KistoraIcon();

}  // namespace kistora
