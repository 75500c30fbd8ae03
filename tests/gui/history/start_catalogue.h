// The catalogue the history and take-in window tests start from: Anneau 1 and
// Épée 1 204, Zoe holding 1, 1 204, 1 and Ana holding 1 204.
#pragma once

#include "MainWindowHelpers.h"

namespace kistora::testing {

inline TCatalogue Start() {
  TCatalogue start;
  AddItem<TD2Ring>(start, 1, "Anneau", 1, 10);
  AddItem<TD2Weapon>(start, 1204, W("Épée de cristal"), 5, 300);
  AddPaladin(start, "Zoe", {1, 1204, 1}, "42");
  AddPaladin(start, "Ana", {1204}, "7");
  return start;
}

}  // namespace kistora::testing
