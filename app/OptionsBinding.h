// The options file bound to the program's windows: each key reads from, and
// applies to, the control or member that holds its value (window bounds, list
// column widths, the character dialog's account, the selected character, the
// last item number, every control of the export dialog, the item database
// window's filters and sort).
#pragma once

#include <string>

#include "options/option_bindings.h"

struct KistoraWindows;

namespace kistora {

// Binds every key whose window exists; a key whose window does not exist stays
// unbound (its designed value is written, and reading it changes nothing).
OptionBindings BindWindowOptions(const KistoraWindows& windows);

// Applies the file at path to the windows, raising LastItemIndex and rebuilding
// the inventory after every line. Returns false when no file exists; a file
// that cannot be read raises EFileError (the lines before stay applied).
bool ReadWindowOptions(const KistoraWindows& windows, const std::string& path);

// Writes the windows' state to path (keeping the previous file as ".bak"); a
// failure raises EFileError and leaves the previous file whole.
void WriteWindowOptions(const KistoraWindows& windows, const std::string& path);

}  // namespace kistora
