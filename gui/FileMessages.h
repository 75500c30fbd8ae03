// What the main window tells the player about its data files: a failed file
// operation, a database that could not be read cleanly at start-up, and a
// damaged original that could not be kept at close.
#pragma once

#include <QString>
#include <string>

#include "storage/damaged_file.h"
#include "storage/file_error.h"

namespace kistora {

struct SaveFailure;

// A failed file operation in a sentence: what could not be done, the file's
// name as the file system spells it, and a full stop.
QString FileFailureText(FileAction action, const std::string& path);
QString FileFailureText(const EFileError& failure);

// The start-up box for one database file, empty when there is nothing to say
// (a clean read). A missing file gives the usual "Impossible d'ouvrir le
// fichier <path>."; a file that was not read whole says what was read and
// under which name its original will be kept before the first save (keptAs);
// a folder in the file's place is named as such.
QString StartupReadText(const StartupRead& read, DatabaseKind kind, const std::string& keptAs);

// A database that changed on disk since Kistora read or wrote it: the other
// version was kept as keptAs before the catalogue was written.
QString ConflictKeptText(const std::string& path, const std::string& keptAs);

// A save that failed, in the close's words: a folder where the file should be,
// a damaged original or other version that could not be kept (the file was not
// replaced), or the file operation that failed.
QString SaveFailureText(const SaveFailure& failure);
QString KeepFailureText(const std::string& path);

}  // namespace kistora
