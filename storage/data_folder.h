// Where the three data files (items.kdb, chars.kdb, kistora.ini) live.
//
// 1. A folder named on the command line (--data-dir DIR) wins, then the
//    environment variable KISTORA_DATA_DIR.
// 2. An installed copy (its executable in a "bin" folder beside a
//    "share/kistora" folder holding the install marker) keeps them in
//    $XDG_DATA_HOME/kistora, by default ~/.local/share/kistora, unless data
//    files already sit beside the executable.
// 3. Any other copy (a build folder, an unpacked folder) keeps them beside its
//    executable.
// The choice never rests on write permission: tests and CI run as root.
#pragma once

#include <string>

namespace kistora {

// Name of the file the install rules put in share/kistora to mark an installed copy.
inline constexpr const char* kInstallMarkerName = "installed";

enum class DataDirSource { CommandLine, Environment, Portable, Installed };

// Everything the rule looks at, so that tests can make up any layout.
struct DataDirInputs {
  std::string commandLineDir;  // --data-dir DIR, empty when not given
  std::string environmentDir;  // $KISTORA_DATA_DIR, empty when unset
  std::string exeDir;          // folder of the running executable
  std::string xdgDataHome;     // $XDG_DATA_HOME, empty when unset
  std::string home;            // $HOME (or the account's home folder)
};

struct DataDirChoice {
  std::string dir;  // always ends with "/"
  DataDirSource source = DataDirSource::Portable;
  bool created = false;  // the folder did not exist: this start made it (so it holds no file yet)
};

// Applies the rule; only looks at the file system (never writes to it).
DataDirChoice ChooseDataDir(const DataDirInputs& inputs);

// The inputs of this process: the environment and the executable's folder.
DataDirInputs CurrentDataDirInputs(const std::string& commandLineDir);

// Creates dir and its missing parents (new folders private to the user, as the
// XDG rules ask). Returns an empty text on success, else the reason in French
// (Windows-1252), e.g. when a file stands where a folder should be. created,
// when given, tells whether dir itself was made by this call.
std::string CreateDataDir(const std::string& dir, bool* created = nullptr);

// What the windowed program calls at start: the chosen folder, created when it
// is not the program's own folder and does not exist yet (then its created
// flag is set). error receives the reason when it could not be created (the
// folder is returned anyway).
DataDirChoice ResolveDataDir(const std::string& commandLineDir, std::string& error);

}  // namespace kistora
