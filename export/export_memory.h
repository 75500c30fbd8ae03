// The items of the last list of each export format, kept so that a list of only
// what is new since then can be made: for each format, the item numbers of its
// last list and a digest of each item's contents.
//
// The file, last-exports.txt in the data folder, is small text and safe to
// lose (without it every item counts as new): a comment line, then for each
// format a line "[html]", "[ascii]", "[bbcode]" or "[markdown]" followed by one
// line per item, its number and its digest in sixteen hexadecimal digits. CR LF
// line ends are written; LF alone is read too. Sections of other words are
// kept as they are, so a later program's formats survive an earlier one's save.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "export/export_selection.h"
#include "export/export_settings.h"

namespace kistora {

inline constexpr std::string_view kExportMemoryFileName = "last-exports.txt";

// The word that names a format in the file.
std::string_view ExportFormatWord(ExportFormat format);

struct ExportMemory {
  std::map<std::string, ListedItems> Lists;  // by format word
};

struct ExportMemoryLoad {
  ExportMemory Memory;
  // Empty when the file was read whole or does not exist; otherwise what could
  // not be read (Windows-1252), the items concerned counting as new.
  std::string Problem;
};

// Reads the file; a missing one is an empty memory. Never throws: a file that
// cannot be read, or lines that cannot, are told in Problem.
ExportMemoryLoad LoadExportMemory(const std::string& path);
// The memory from the file's text, as LoadExportMemory reads it (shownPath names it in Problem).
ExportMemoryLoad ParseExportMemory(std::string_view text, const std::string& shownPath);

// The file's text, sections and items in order.
std::string ExportMemoryText(const ExportMemory& memory);
// Writes the file through the safe save; raises EFileError when it cannot.
void SaveExportMemory(const std::string& path, const ExportMemory& memory);

}  // namespace kistora
