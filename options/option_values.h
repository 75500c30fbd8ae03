// A plain in-memory holder of every option, for the command line and the tests:
// it stands in for the windows' controls and behaves as they do when the options
// file is applied (checking a format rewrites the export file's extension,
// selectedchar selects the last character of that name, lastitemindex is raised
// to the highest item number after every line).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "export/export_settings.h"
#include "model/catalogue.h"
#include "options/option_bindings.h"

namespace kistora {

struct OptionValues {
  // Window bounds. The edges a window centres at its first show have no screen
  // to centre on here and stay 0.
  std::int32_t MainLeft = 0, MainTop = 0, MainWidth = 609, MainHeight = 482;
  std::int32_t ItemGLeft = 0, ItemGTop = 0, ItemGWidth = 701, ItemGHeight = 572;
  bool ItemGPositionFromOptions = false;  // iwp_left or iwp_top was applied
  // Column widths of the character list, the inventory list and the item database list.
  std::array<std::int32_t, 5> CharsColumns = {100, 100, 100, 40, 200};
  std::array<std::int32_t, 6> CharInvColumns = {50, 100, 100, 100, 40, 200};
  std::array<std::int32_t, 6> ListeColumns = {50, 100, 100, 100, 40, 200};
  // The character dialog's Account field (defaccount also sets the catalogue's DefaultAccount).
  std::string CharAccount;
  // Row of the selected character in the catalogue's CharList, -1 for none.
  int SelectedCharRow = -1;
  ExportSettings Export;
  // The item database window's filters and sort state.
  bool IdbShowUniques = true, IdbShowSets = true, IdbShowRares = true, IdbShowCrafted = true;
  bool IdbShowMagics = true, IdbShowNormals = true, IdbMaskPrice0 = false;
  std::int32_t IdbSortColumn = 0;
  bool IdbSortInverted = false;
};

// Binds every key to values, and defaccount, selectedchar and lastitemindex to
// the catalogue as the main window holds them. Both must outlive the bindings.
OptionBindings BindOptionValues(OptionValues& values, TCatalogue& catalogue);

// ReadOptions over BindOptionValues, raising LastItemIndex (SyncLastItemIndex)
// after each line as the main window does. Returns false when no file exists.
bool ReadOptionValues(const std::string& path, OptionValues& values, TCatalogue& catalogue);

}  // namespace kistora
