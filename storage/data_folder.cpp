#include "storage/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/text_utils.h"

namespace kistora {
namespace {

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

// A relative folder is taken from the current folder, so that the program and
// its About box name the same place whatever folder it later works in.
std::string Absolute(const std::string& dir) {
  if (dir.empty() || dir.front() == '/') return dir;
  std::vector<char> buffer(4096);
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) return dir;
  return WithSlash(buffer.data()) + dir;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// The folder's last component, without its final "/".
std::string LastComponent(const std::string& dirWithSlash) {
  const std::string dir = dirWithSlash.substr(0, dirWithSlash.size() - 1);
  const auto slash = dir.rfind('/');
  return slash == std::string::npos ? dir : dir.substr(slash + 1);
}

bool HasDataFiles(const std::string& dir) {
  for (const char* name : {"items.kdb", "chars.kdb", "kistora.ini"}) {
    if (Exists(dir + name)) return true;
  }
  return false;
}

bool LooksInstalled(const std::string& exeDir) {
  if (LastComponent(exeDir) != "bin") return false;
  return Exists(exeDir + "../share/kistora/" + kInstallMarkerName);
}

std::string UserDataHome(const DataDirInputs& inputs) {
  // The XDG rules ignore a relative $XDG_DATA_HOME.
  if (!inputs.xdgDataHome.empty() && inputs.xdgDataHome.front() == '/') return WithSlash(inputs.xdgDataHome);
  return WithSlash(inputs.home) + ".local/share/";
}

}  // namespace

DataDirChoice ChooseDataDir(const DataDirInputs& inputs) {
  if (!inputs.commandLineDir.empty()) return {WithSlash(Absolute(inputs.commandLineDir)), DataDirSource::CommandLine};
  if (!inputs.environmentDir.empty()) return {WithSlash(Absolute(inputs.environmentDir)), DataDirSource::Environment};
  const std::string exeDir = WithSlash(inputs.exeDir);
  if (LooksInstalled(exeDir) && !HasDataFiles(exeDir)) {
    return {UserDataHome(inputs) + "kistora/", DataDirSource::Installed};
  }
  return {exeDir, DataDirSource::Portable};
}

DataDirInputs CurrentDataDirInputs(const std::string& commandLineDir) {
  const auto env = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value != nullptr ? value : "");
  };
  DataDirInputs inputs;
  inputs.commandLineDir = commandLineDir;
  inputs.environmentDir = env("KISTORA_DATA_DIR");
  inputs.exeDir = ExeDir();
  inputs.xdgDataHome = env("XDG_DATA_HOME");
  inputs.home = env("HOME");
  if (inputs.home.empty()) {
    if (const passwd* account = ::getpwuid(::getuid())) inputs.home = account->pw_dir;
  }
  return inputs;
}

std::string CreateDataDir(const std::string& dir, bool* created) {
  const std::string path = WithSlash(dir);
  if (created) *created = false;
  // Every folder on the way, from the root down.
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (IsDirectory(part)) continue;
    if (Exists(part))
      return "Impossible de cr\xE9"
             "er le dossier " +
             part + " : un fichier porte d\xE9j\xE0 ce nom";
    if (::mkdir(part.c_str(), 0700) != 0) {
      if (errno == EEXIST && IsDirectory(part)) continue;  // made meanwhile by someone else
      return "Impossible de cr\xE9"
             "er le dossier " +
             part + " : " + std::strerror(errno);
    }
    if (created && slash + 1 == path.size()) *created = true;
  }
  return {};
}

DataDirChoice ResolveDataDir(const std::string& commandLineDir, std::string& error) {
  DataDirChoice choice = ChooseDataDir(CurrentDataDirInputs(commandLineDir));
  error.clear();
  if (choice.source != DataDirSource::Portable) error = CreateDataDir(choice.dir, &choice.created);
  return choice;
}

}  // namespace kistora
