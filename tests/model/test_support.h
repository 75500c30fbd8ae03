// Helpers shared by the core tests: a scratch directory and whole-file byte access.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace kistora::test {

// A fresh directory under /tmp, removed with its content at the end of the test.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/kistora-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    path_ = made != nullptr ? made : "";
  }
  ~TempDir() {
    const std::string command = "rm -rf '" + path_ + "'";
    if (!path_.empty()) (void)std::system(command.c_str());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // Names of the entries of the directory (without . and ..).
  std::set<std::string> Entries() const {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(path_.c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.insert(name);
      }
      ::closedir(dir);
    }
    return names;
  }

 private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Bytes from a list of values 0..255, for writing out expected file contents.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// Little-endian 32-bit integer, and a length-prefixed string.
inline std::string Int32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return Bytes({static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF), static_cast<int>((u >> 16) & 0xFF),
                static_cast<int>(u >> 24)});
}
inline std::string Str(const std::string& s) { return Int32(static_cast<std::int32_t>(s.size())) + s; }

}  // namespace kistora::test
