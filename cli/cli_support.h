// What the commands of kistora-cli share: exit statuses, the usage text,
// loading a data folder's two databases with error reporting, and JSON text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "model/catalogue.h"
#include "model/data_folder_lock.h"

namespace kistora::cli {

enum ExitStatus : int {
  kExitOk = 0,          // both databases loaded with result 0
  kExitDamaged = 1,     // a database gave result 1, 2 or 3 (or resave refused for that reason)
  kExitUnreadable = 2,  // a database is missing, cannot be opened, or cannot be written
  kExitUsage = 64,      // wrong command line
  kExitBusy = 75,       // a writer found the data folder in use by the program (or another writer)
};

// Prints the usage text (every command of the table).
void PrintUsage(std::FILE* out);
// Prints "kistora-cli: <message>" and the usage text to standard error; returns kExitUsage.
int UsageError(const std::string& message);
// The single DIR operand of "COMMAND DIR"; false (after reporting the usage
// error) when there is not exactly one non-empty operand.
bool TakeDirOperand(int argc, char** argv, std::string& dir);

// DIR joined with a file name ("DIR/items.kdb", without doubling a final "/").
std::string DataFilePath(const std::string& dir, std::string_view name);

// For a command that writes into DIR: takes the data folder's lock (held
// until lock is destroyed) and then removes the temporary files left there by
// killed saves. Returns kExitOk when it holds the folder; otherwise it has
// said why on standard error ("COMMAND refused, nothing written") and returns
// kExitBusy (the program or another writer holds it) or kExitUnreadable.
int TakeDataDirForWriting(const std::string& dir, const char* command, DataFolderLock& lock);

// One database file after a load attempt.
struct FileLoad {
  std::string name;                    // "items.kdb" or "chars.kdb"
  std::string path;                    // the full path used
  std::optional<std::uint8_t> result;  // the load result; empty when it could not be opened
  int error = 0;                       // errno when it could not be opened
};

// The two databases of a data folder, loaded the way the program loads them.
struct LoadedDir {
  TCatalogue catalogue;
  FileLoad items;
  FileLoad chars;

  bool BothOpened() const { return items.result && chars.result; }
  bool BothClean() const { return items.result == 0 && chars.result == 0; }
  // kExitOk, kExitDamaged or kExitUnreadable, as check and dump report them.
  int Status() const;
};

// Loads DIR/items.kdb then DIR/chars.kdb (the second even when the first
// failed). Never throws for a file that cannot be opened.
LoadedDir LoadDataDir(const std::string& dir);
// The same with other file names (a backups folder's items-DATE.kdb ...).
LoadedDir LoadDataDir(const std::string& dir, const std::string& itemsName, const std::string& charsName);

// Plain words for a load result, e.g. "damaged: a record magic was wrong or the file ended early".
std::string ResultMeaning(std::uint8_t result);
// Prints "kistora-cli: cannot open PATH: REASON" to standard error for each file that could not be opened.
void ReportOpenFailures(const LoadedDir& loaded);

// A Windows-1252 text as a quoted JSON string in UTF-8, with every character
// JSON requires escaped.
std::string JsonString(std::string_view cp1252);

// Writes all of text to standard output; false (after saying so on standard
// error) when the output failed, e.g. on a full disk.
bool WriteOut(std::string_view text);

}  // namespace kistora::cli
