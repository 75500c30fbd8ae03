// The export run after OK in the export dialog, shared by the window and the
// command line: the selected-character check, the ".bak" copy, the list written
// through the never-destroy-the-old-file save and handed to the clipboard or
// standard output, the memory of the last list of each format, and the error
// message. Opening the written file with the shell is left to the window (the
// core only says whether to); the command line never opens it.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "export/export_settings.h"
#include "export/export_writer.h"
#include "model/catalogue.h"

namespace kistora {

enum class ExportStatus {
  Written,         // the file holds the new list
  NoSelectedChar,  // "Personnage sélectionné" with no character selected: nothing done
  Failed,          // the file could not be created or written: Message says why
};

struct ExportResult {
  ExportStatus Status = ExportStatus::Written;
  std::string Message;         // Failed: the error text with its full stop (Windows-1252)
  int Errno = 0;               // Failed: the system error behind Message, 0 if none
  bool OpenWithShell = false;  // Written and DoShellExec: the window opens settings.FileName
  std::string Path;            // the file system path used (UTF-8), empty for NoSelectedChar
  int ItemCount = 0;           // Written: the items the list holds
  // Written: the memory of the last lists could not be read or kept (Windows-1252,
  // with its full stop); the list is whole all the same.
  std::string MemoryProblem;
};

// Where the list goes besides its file, and where the lists are remembered.
struct ExportOutputs {
  bool File = true;  // writes settings.FileName (keeping the previous one as ".bak"); false: no file
  // Takes the whole list, its bytes as the file holds them, once the file (if
  // any) is written; returns false when it could not (Failed, "Erreur E/S 5.").
  std::function<bool(std::string_view list)> Deliver;
  // The file of the last list of each format (kExportMemoryFileName in the data
  // folder), updated with this list once it is delivered; empty: nothing is
  // remembered and "only the new items" lists every item.
  std::string MemoryPath;
};

// The list as the clipboard takes plain text: UTF-8 (the page and the text list
// are converted from Windows-1252, the lists to paste are UTF-8 already), LF
// line ends.
std::string ExportListClipboardText(std::string_view list, ExportFormat format);

// "Liste copiée (N objets)", "objet" for 0 or 1 (Windows-1252).
std::string ExportCopiedText(int itemCount);

// Whether the export writes a file: always, except when the list goes to the
// clipboard and no file name is given.
bool ExportWritesFile(const ExportSettings& settings);

// The file system path of an export file name: FileName is Windows-1252 text
// like every text of the core (the options file stores it so); the file system
// spells names in UTF-8.
std::string ExportFilePath(std::string_view fileName);

// The text shown for a file that cannot be created or written, full stop
// included: "Fichier introuvable." (ENOENT), "Nom de fichier incorrect." (EINVAL,
// ENAMETOOLONG, EISDIR, ENOTDIR, ELOOP; an empty file name is reported as EINVAL),
// "Trop de fichiers ouverts." (EMFILE, ENFILE), "Accès au fichier refusé."
// (EACCES, EPERM, EROFS, ETXTBSY), "Disque plein." (ENOSPC, EDQUOT, EFBIG),
// otherwise "Erreur E/S <errno>.".
std::string ExportErrorMessage(int error);

// Runs the export of catalogue with settings. selectedCharRow is the selected
// character's index in CharList (-1 for none). now is the local time written in
// the list (tm_wday must be right).
//  1. Scope "selected" without a selected character: NoSelectedChar, nothing touched.
//  2. With a memory path, the items of the format's last list are read: with
//     NewOnly only the items added or changed since are listed.
//  3. With a file, an existing file named settings.FileName (ExportFilePath) is
//     copied to that name + ".bak" (overwriting; a failed copy is ignored), and
//     the list is written to a temporary file beside it, synced and renamed over
//     it (a symbolic link is followed, permissions are kept), so a failure
//     leaves the previous file whole and reports Failed.
//  4. The list is delivered, then remembered as the format's last list (every
//     item in scope, new or not).
ExportResult RunExport(const ExportSettings& settings, const TCatalogue& catalogue, int selectedCharRow,
                       const std::tm& now, const ExportOutputs& outputs = {},
                       std::string_view caption = kExportCaption);

}  // namespace kistora
