// Every setting of the export: the state of each control of the export options
// dialog, with the values the dialog is designed to start with. The dialog fills
// one of these from its controls; the command line gets one from the options file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/colour_text.h"

namespace kistora {

enum class ExportFormat { Html, Ascii, BBCode, Markdown };  // FormatHTML / FormatASCII / FormatBBCode / FormatMarkdown
enum class ExportScope { SelectedChar, AllChars, AllItems };  // ShowSelChar / ShowAllChar / ShowAll
enum class ExportSort { None, Name, Price };                  // TrierNo / TrierName / TrierPrice

struct ExportSettings {
  ExportFormat Format = ExportFormat::Html;
  std::string FileName = "export.html";  // used as typed, relative to the current directory
  bool ShowUniques = true;
  bool ShowSets = true;
  bool ShowRares = true;
  bool ShowCrafted = true;
  bool ShowMagics = true;
  bool ShowNormals = true;
  bool MaskPrice0 = false;  // leave out items whose price is 0
  ExportScope Scope = ExportScope::AllChars;

  bool ShowPrice = false;
  TColor PTCol = 0xFFC040;    // #40C0FF, section title rows
  TColor STCol = 0xFFE0B0;    // #B0E0FF, column-heading rows
  TColor PageCol = 0xFFFFFF;  // page background
  TColor TabCol = 0xFFFFFF;   // table background
  bool TabBorder = true;
  std::string PageTitle = "Inventaire de Diablo II - Liste de trade";
  std::string Sign;
  bool DoShellExec = true;   // open the written file with the shell afterwards
  TColor IICol = 0xFFFFFF;   // background of interesting items
  std::int32_t IIPrice = 1;  // minimum price of an interesting item
  bool UseBascule = true;    // item names unfold their characteristics (script)
  bool ShowMajDate = true;
  ExportSort SortBy = ExportSort::Name;
  bool TrierSets = true;  // group set items by set

  bool CopyToClipboard = false;  // the list also goes to the clipboard (the file only when named)
  bool NewOnly = false;          // only items added or changed since the last list of the format
};

// What the dialog's "Défaut" button restores: the presentation settings only
// (TabBorder off, IICol #FFD9D9 and IIPrice 2 differ from the designed values);
// format, file name, qualities, price-0 mask, scope and sorting are kept.
void RestorePresentationDefaults(ExportSettings& settings);

// The export file name given a new extension (".html" or ".txt"): appended when
// the name holds no ".", otherwise it replaces everything from the last "."
// (directories are not considered: "C:\a.b\export" gives "C:\a.html").
std::string ChangeExportExtension(std::string_view fileName, std::string_view extension);

// The extension a format gives the file name: ".html", ".txt" (text list and
// forum markup, both plain text to a text editor), ".md".
std::string_view ExportExtension(ExportFormat format);

// Checks a format as its radio button does: when it was not checked already, its
// click action gives the file name the format's extension (ExportExtension);
// checking the format already checked changes nothing.
void SelectExportFormat(ExportSettings& settings, ExportFormat format);

}  // namespace kistora
