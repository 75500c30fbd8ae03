// Reading and writing the options file kistora.ini.
//
// Format: Windows-1252 text. Written lines end with CR LF; on reading a CR ends
// a line (an LF right after it is skipped, a lone LF is an ordinary character)
// and a 0x1A byte ends the file. Everything from a line's first "//" on is a
// comment. A key line is the key, spaces, and the value; keys are matched after
// lower-casing A..Z, unknown keys are skipped, and a key given twice is applied
// twice, so its last line wins.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/text_utils.h"
#include "options/option_bindings.h"

namespace kistora {

// One line of the file cut into its key (lower-cased, empty for comments and
// blank lines) and its value (trimmed, empty when the line has no space).
struct OptionLine {
  std::string Key;
  std::string Value;
};
OptionLine SplitOptionLine(std::string_view line);

// Reads the file at path and applies each known key to its binding, in file
// order. afterEachLine runs after every line, comments and blank lines included
// (the main window raises LastItemIndex and rebuilds the inventory there).
// Returns false, changing nothing, when no file exists at path. A file that
// exists but cannot be opened or read raises EFileError ("Impossible d'ouvrir le
// fichier <path>" / "Impossible de lire le fichier <path>"); the values of the
// lines before the failure stay applied. Anything but a regular file (a
// directory, a pipe, a device) cannot be read: nothing is applied.
bool ReadOptions(const std::string& path, const OptionBindings& bindings,
                 const std::function<void()>& afterEachLine = {});

// The whole file as written: three header lines naming programName, a blank
// line, then the eleven groups with their comment and PadRight(key, 20) + value
// lines, a blank line between groups, CR LF after every line. A CR or 0x1A
// byte inside a value is written as a space, so that no value can split its
// line or end the file early.
std::string OptionsFileText(const OptionBindings& bindings, std::string_view programName);

// Copies an existing file to path + ".bak" (a failed copy is ignored), then
// saves OptionsFileText without ever leaving a half-written file: a failure
// raises EFileError "Impossible de créer le fichier <path>" and the previous
// file stays whole. programName is the executable's file name by default.
void WriteOptions(const std::string& path, const OptionBindings& bindings, const std::string& programName = ExeName());

}  // namespace kistora
