#include "cli_support.h"

#include <cerrno>
#include <cstring>

#include "commands.h"
#include "model/cp1252.h"
#include "model/database.h"
#include "model/file_error.h"
#include "model/stale_temporaries.h"

namespace kistora::cli {

void PrintUsage(std::FILE* out) {
  std::fputs(
      "Usage: kistora-cli COMMAND DIR [OPTIONS]\n"
      "DIR is the folder holding items.kdb and chars.kdb (the program's own folder).\n\n"
      "Commands:\n",
      out);
  for (const Command& command : Commands()) {
    std::fprintf(out, "  %-7s %s\n          %s\n", command.name, command.operands, command.summary);
  }
  std::fputs(
      "\nA backup is checked in its folder: check DIR/backups --date 2026-12-07 reads\n"
      "items-2026-12-07.kdb and chars-2026-12-07.kdb there. To restore one, close the\n"
      "program and copy both files over DIR/items.kdb and DIR/chars.kdb.\n"
      "\nresave takes DIR's lock (the file kistora.lock) and removes the temporary files\n"
      "left by killed saves; it refuses while the program runs on DIR. It copies both\n"
      "databases into DIR/backups at the first write of each day.\n"
      "\nExit status: 0 both files loaded cleanly; 1 a file is damaged (result 1, 2 or 3);\n"
      "2 a file is missing or cannot be opened or written; 64 wrong command line;\n"
      "75 resave refused because the program (or another writer) is using DIR.\n"
      "export: 0 written; 2 a file cannot be read, created or written; 3 the options\n"
      "select one character and none is selected (nothing written).\n",
      out);
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "kistora-cli: %s\n\n", message.c_str());
  PrintUsage(stderr);
  return kExitUsage;
}

bool TakeDirOperand(int argc, char** argv, std::string& dir) {
  const std::string command = argc > 0 ? argv[0] : "command";
  if (argc != 2) {
    UsageError(command + (argc < 2 ? " needs the folder DIR" : " takes only the folder DIR"));
    return false;
  }
  dir = argv[1];
  if (dir.empty()) {
    UsageError(command + ": DIR is empty");
    return false;
  }
  return true;
}

std::string DataFilePath(const std::string& dir, std::string_view name) {
  std::string path = dir;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

int LoadedDir::Status() const {
  if (!BothOpened()) return kExitUnreadable;
  return BothClean() ? kExitOk : kExitDamaged;
}

namespace {

template <typename Load>
void LoadOne(FileLoad& file, const std::string& dir, const char* name, TCatalogue& catalogue, Load load) {
  file.name = name;
  file.path = DataFilePath(dir, name);
  try {
    file.result = load(catalogue, file.path);
  } catch (const EFileError& e) {
    file.error = e.Errno;
  }
}

}  // namespace

LoadedDir LoadDataDir(const std::string& dir) { return LoadDataDir(dir, "items.kdb", "chars.kdb"); }

LoadedDir LoadDataDir(const std::string& dir, const std::string& itemsName, const std::string& charsName) {
  LoadedDir loaded;
  LoadOne(loaded.items, dir, itemsName.c_str(), loaded.catalogue, LoadItems);
  LoadOne(loaded.chars, dir, charsName.c_str(), loaded.catalogue, LoadChars);
  return loaded;
}

int TakeDataDirForWriting(const std::string& dir, const char* command, DataFolderLock& lock) {
  const LockAttempt attempt = lock.TryAcquire(dir);
  switch (attempt.State) {
    case LockState::Held:
      // No save can be running in DIR now: every temporary file there is litter.
      RemoveStaleTemporaries(dir);
      return kExitOk;
    case LockState::Busy:
      if (attempt.OtherPid > 0) {
        std::fprintf(stderr, "kistora-cli: %s is in use by Kistora (process %d); %s refused, nothing written\n",
                     dir.c_str(), static_cast<int>(attempt.OtherPid), command);
      } else {
        std::fprintf(stderr, "kistora-cli: %s is in use by Kistora; %s refused, nothing written\n", dir.c_str(),
                     command);
      }
      return kExitBusy;
    case LockState::Error:
      break;
  }
  std::fprintf(stderr, "kistora-cli: cannot lock %s: %s; %s refused, nothing written\n",
               DataFolderLock::LockFilePath(dir).c_str(), std::strerror(attempt.Errno), command);
  return kExitUnreadable;
}

std::string ResultMeaning(std::uint8_t result) {
  switch (result) {
    case kLoadOk:
      return "ok";
    case kLoadBadMagic:
      return "wrong file magic, not a database of this kind; nothing loaded";
    case kLoadBadVersion:
      return "unknown version; nothing loaded";
    case kLoadDamaged:
      return "damaged: a record magic was wrong or the file ended early";
    default:
      return "unknown result";
  }
}

void ReportOpenFailures(const LoadedDir& loaded) {
  for (const FileLoad* file : {&loaded.items, &loaded.chars}) {
    if (file->result) continue;
    std::fprintf(stderr, "kistora-cli: cannot open %s: %s\n", file->path.c_str(),
                 file->error != 0 ? std::strerror(file->error) : "unknown error");
  }
}

std::string JsonString(std::string_view cp1252) {
  static const char kHex[] = "0123456789abcdef";
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (b < 0x20 || b == 0x7F) {
          out += "\\u00";
          out += kHex[b >> 4];
          out += kHex[b & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

bool WriteOut(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "kistora-cli: cannot write to standard output: %s\n",
               errno != 0 ? std::strerror(errno) : "write error");
  return false;
}

}  // namespace kistora::cli
