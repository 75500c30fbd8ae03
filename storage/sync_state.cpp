#include "storage/sync_state.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "model/catalogue.h"
#include "storage/data_folder.h"
#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/safe_file.h"

namespace kistora {

namespace {

constexpr char kDigestsMagic[] = "KSDG";
constexpr std::int32_t kDigestsVersion = 1;

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

void PutInt(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t GetInt(const std::string& in, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return value;
}

// FNV-1a over the bytes: the check that a digests file was written whole.
std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  return hash;
}

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    std::fclose(file);
  }
  return bytes;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
  SafeFileWriter writer(path);
  writer.Write(bytes);
  writer.Commit();
}

void MakeFolder(const std::string& dir) {
  const std::string reason = CreateDataDir(dir);
  if (!reason.empty()) throw EFileError(FileAction::Create, dir, EIO);
}

std::string IdentityText(const std::optional<FileIdentity>& id) {
  if (!id || !id->Exists) return "-";
  std::ostringstream text;
  text << id->Device << ':' << id->Inode << ':' << id->Size << ':' << id->ModifiedNs;
  return text.str();
}

std::optional<FileIdentity> IdentityFrom(const std::string& text) {
  FileIdentity id;
  unsigned long long device = 0, inode = 0;
  long long size = 0, modified = 0;
  if (std::sscanf(text.c_str(), "%llu:%llu:%lld:%lld", &device, &inode, &size, &modified) != 4) return std::nullopt;
  id.Exists = true;
  id.Device = static_cast<dev_t>(device);
  id.Inode = static_cast<ino_t>(inode);
  id.Size = size;
  id.ModifiedNs = modified;
  return id;
}

}  // namespace

std::string StateHome() {
  const char* xdg = std::getenv("XDG_STATE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return WithSlash(xdg);
  const char* home = std::getenv("HOME");
  return WithSlash(home != nullptr ? home : "/tmp") + ".local/state/";
}

std::string StateDirOf(const std::string& dataDir, const std::string& stateHome) {
  std::string full = dataDir;
  if (char* resolved = ::realpath(dataDir.c_str(), nullptr)) {
    full = resolved;
    std::free(resolved);
  }
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  std::string name = full.substr(full.rfind('/') + 1);
  for (char& c : name) {
    if (c == '/' || c == ' ' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  char digest[17];
  std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(Checksum(full)));
  return WithSlash(stateHome) + "kistora/" + (name.empty() ? "racine" : name) + "-" + digest + "/";
}

CommonVersion SyncState::ReadCommon() const {
  CommonVersion common;
  const std::string bytes = ReadWhole(dir_ + "common-items.digests");
  constexpr std::size_t kHeader = 12, kEntry = 12, kCheck = 8;
  if (bytes.size() >= kHeader + kCheck && bytes.compare(0, 4, kDigestsMagic) == 0 &&
      static_cast<std::int32_t>(GetInt(bytes, 4, 4)) == kDigestsVersion) {
    const std::uint64_t count = GetInt(bytes, 8, 4);
    const std::size_t end = bytes.size() - kCheck;
    if (count * kEntry == end - kHeader && Checksum(std::string_view(bytes).substr(0, end)) == GetInt(bytes, end, 8)) {
      common.Items.emplace();
      common.Items->reserve(count);
      for (std::size_t at = kHeader; at < end; at += kEntry) {
        common.Items->push_back({static_cast<std::int32_t>(GetInt(bytes, at, 4)), GetInt(bytes, at + 4, 8)});
      }
    }
  }
  try {
    TCatalogue chars;
    if (LoadChars(chars, dir_ + "common-chars.kdb") == kLoadOk) {
      common.Chars.emplace();
      for (const auto& character : chars.CharList) common.Chars->push_back(*character);
    }
  } catch (const EFileError&) {
    // No characters kept: that part of the next merge is two-way.
  }
  return common;
}

void SyncState::WriteCommon(const std::vector<NumberedDigest>& items, const std::vector<TChar>& chars) const {
  MakeFolder(dir_);
  std::string bytes = kDigestsMagic;
  PutInt(bytes, kDigestsVersion, 4);
  PutInt(bytes, items.size(), 4);
  bytes.reserve(bytes.size() + items.size() * 12 + 8);
  for (const NumberedDigest& d : items) {
    PutInt(bytes, static_cast<std::uint32_t>(d.Number), 4);
    PutInt(bytes, d.Digest, 8);
  }
  PutInt(bytes, Checksum(bytes), 8);
  WriteWhole(dir_ + "common-items.digests", bytes);
  SaveChars(chars, dir_ + "common-chars.kdb");
}

std::int32_t SyncState::ReadHighestNumber() const {
  std::istringstream lines(ReadWhole(dir_ + "numbers.txt"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("highest=", 0) == 0) return static_cast<std::int32_t>(std::strtol(line.c_str() + 8, nullptr, 10));
  }
  return 0;
}

WrittenFiles SyncState::ReadWritten() const {
  WrittenFiles written;
  std::istringstream lines(ReadWhole(dir_ + "numbers.txt"));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("items=", 0) == 0) written.Items = IdentityFrom(line.substr(6));
    if (line.rfind("chars=", 0) == 0) written.Chars = IdentityFrom(line.substr(6));
  }
  return written;
}

void SyncState::WriteNumbers(std::int32_t highest, const WrittenFiles& written) const {
  MakeFolder(dir_);
  WriteWhole(dir_ + "numbers.txt", "highest=" + std::to_string(highest) + "\nitems=" + IdentityText(written.Items) +
                                       "\nchars=" + IdentityText(written.Chars) + "\n");
}

}  // namespace kistora
