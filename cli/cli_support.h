// What the commands of kistora-cli share: exit statuses, the usage texts, the
// data folder of a command, loading its two databases with error reporting, and
// JSON text. Every message of kistora-cli's own is French; system error texts
// (strerror) follow the C library's message locale.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "model/catalogue.h"
#include "storage/data_folder_lock.h"

namespace kistora::cli {

enum ExitStatus : int {
  kExitOk = 0,              // both databases loaded with result 0
  kExitDamaged = 1,         // a database gave result 1, 2 or 3 (or resave refused for that reason)
  kExitUnreadable = 2,      // a database is missing, cannot be opened, or cannot be written
  kExitNoSelectedChar = 3,  // export: the options select one character and none is selected
  kExitUsage = 64,          // wrong command line
  kExitBadCsv = 65,         // import-csv: a line of the CSV file is wrong (nothing added)
  kExitBusy = 75,           // a writer found the data folder in use by the program (or another writer)
  kExitNothingFound = 1,    // find: no item matched
  kExitBadQuery = 65,       // find: a condition of the query cannot be read
};

struct Command;
struct CommandArgs;

// "kistora-cli <version>".
std::string VersionText();
// Prints the general usage text (every command of the table).
void PrintUsage(std::FILE* out);
// Prints the usage text of one command ("kistora-cli check --help").
void PrintCommandHelp(const Command& command, std::FILE* out);
// Prints "kistora-cli : <message>" and the general usage text to standard error; returns kExitUsage.
int UsageError(const std::string& message);
// The same with the usage of one command only.
int CommandUsageError(const Command& command, const std::string& message);
// CommandUsageError for the command args were parsed for.
int UsageErrorFor(const CommandArgs& args, const std::string& message);

// The data folder of a command: dirOperand (the DIR operand, when the command
// line has one) or --data-dir, not both; else the program's own rule
// (KISTORA_DATA_DIR, then the installed copy's folder or the executable's).
// Returns the problem when the command line is wrong.
std::optional<std::string> TakeDataDir(const CommandArgs& args, const std::optional<std::string>& dirOperand,
                                       std::string& dir);
// For commands whose only operand is DIR: at most one operand, then TakeDataDir.
std::optional<std::string> TakeOnlyDataDir(const CommandArgs& args, std::string& dir);

// Whether path names a folder (or a link to one).
bool IsFolder(const std::string& path);

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

// Plain words for a load result, e.g. "endommagé : ...".
std::string ResultMeaning(std::uint8_t result);
// Prints "kistora-cli : impossible d'ouvrir PATH : REASON" to standard error for each file that could not be opened.
void ReportOpenFailures(const LoadedDir& loaded);
// Warns when an opened file was read only in part: "attention : PATH : MEANING ; goingOn"
// (goingOn says what the command does with what was read). Nothing for a file read whole or not opened.
void WarnPartlyRead(const FileLoad& file, const std::string& goingOn);

// A Windows-1252 text as a quoted JSON string in UTF-8, with every character
// JSON requires escaped.
std::string JsonString(std::string_view cp1252);

// Writes all of text to standard output; false (after saying so on standard
// error) when the output failed, e.g. on a full disk.
bool WriteOut(std::string_view text);

// strerror(error), or "erreur inconnue" for 0.
std::string SystemErrorText(int error);
// Prints "kistora-cli : <text>" to standard error; text is UTF-8.
void Complain(const std::string& utf8);
// The same for a Windows-1252 text of the core (its error messages).
void ComplainCp1252(const std::string& cp1252);

}  // namespace kistora::cli
