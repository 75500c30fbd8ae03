// Helpers shared by the tests of every folder (toolkit-free): a scratch
// directory, whole-file byte access, byte builders for expected file contents,
// Windows-1252 texts and builders of sample catalogues.
#pragma once

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/catalogue.h"
#include "model/cp1252.h"
#include "model/items.h"

namespace kistora::testing {

// A fresh directory (under parent, else $TMPDIR, else /tmp), removed with its
// content at the end of the test.
class TempDir {
 public:
  explicit TempDir(const std::string& parent = "") {
    std::string base = parent;
    if (base.empty()) {
      const char* tmp = std::getenv("TMPDIR");
      base = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    }
    std::string pattern = base + "/kistora-test-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    if (path_.empty()) return;
    const std::string command = "rm -rf '" + path_ + "'";
    (void)std::system(command.c_str());
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  std::set<std::string> Entries() const { return Entries(path_); }

  // Names of the entries of any directory (without . and ..).
  static std::set<std::string> Entries(const std::string& path) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(path.c_str())) {
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

// The whole file ("" when it cannot be read).
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes the whole file; a failure fails the test (the test would not start from what it says).
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) ADD_FAILURE() << "cannot write " << path;
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

// Joins lines with CR LF after each one.
inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// Windows-1252 bytes of a UTF-8 literal, so expected texts read naturally.
inline std::string W(std::string_view utf8) { return Utf8ToCp1252(utf8); }

// Appends an item of class Item (a ring unless told) to the catalogue and returns it for more fields.
template <class Item = TD2Ring>
Item& AddItem(TCatalogue& catalogue, std::int32_t index, std::string_view name = {}, int quality = 0,
              std::int32_t price = 0, std::string_view notes = {}) {
  auto item = std::make_unique<Item>();
  item->Index = index;
  item->Name = std::string(name);
  item->Quality = static_cast<std::uint8_t>(quality);
  item->Price = price;
  item->Notes = std::string(notes);
  Item& ref = *item;
  catalogue.ItemList.push_back(std::move(item));
  return ref;
}

// Appends a character holding these item numbers (in this order, duplicates kept).
inline TChar& AddChar(TCatalogue& catalogue, std::string_view name, std::vector<std::int32_t> items = {}) {
  auto character = std::make_unique<TChar>();
  character->Name = std::string(name);
  character->Items = std::move(items);
  TChar& ref = *character;
  catalogue.CharList.push_back(std::move(character));
  return ref;
}

// A character of the account "compte" and the class "Paladin" at this level.
inline TChar& AddPaladin(TCatalogue& catalogue, std::string_view name, std::vector<std::int32_t> items,
                         std::string_view level) {
  TChar& character = AddChar(catalogue, name, std::move(items));
  character.Account = "compte";
  character.Class = "Paladin";
  character.Level = std::string(level);
  return character;
}

// The magic ring of the worked example of items.kdb: item 5 "Bague", quality 1,
// price 100, level 12, one property "+10 Force".
inline std::unique_ptr<TD2Ring> ExampleRing() {
  auto ring = std::make_unique<TD2Ring>();
  ring->Index = 5;
  ring->Name = "Bague";
  ring->Quality = 1;
  ring->Price = 100;
  ring->CLvl = 12;
  ring->MagicProps = {"+10 Force"};
  return ring;
}

}  // namespace kistora::testing
