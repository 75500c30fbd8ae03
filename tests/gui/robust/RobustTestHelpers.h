// Shared by the robustness window tests: whole-folder snapshots, a sample
// catalogue, and a program folder made read-only for real (a read-only bind
// mount) or, where this machine does not allow mounting, by the file layer.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core_test_support.h"
#include "model/catalogue.h"
#include "model/items.h"
#include "storage/file_ops.h"

namespace kistora::testing {

// Every entry of a folder (not recursive) with its bytes; links and folders
// are listed with a marker instead of their content.
inline std::map<std::string, std::string> Snapshot(const std::string& dirWithSlash) {
  std::map<std::string, std::string> files;
  if (DIR* dir = ::opendir(dirWithSlash.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (entry->d_type == DT_REG)
        files[name] = ReadBytes(dirWithSlash + name);
      else
        files[name] = "<not a regular file>";
    }
    ::closedir(dir);
  }
  return files;
}

// Three items; Zoé holds all three, Alric the last one.
inline TCatalogue SampleCatalogue() {
  TCatalogue catalogue;
  AddItem<TD2Ring>(catalogue, 1, "Bague de la Lune", 4, 10);
  AddItem<TD2Weapon>(catalogue, 2, "Hache", 4, 300).MagicProps = {"+2 comp\xE9tences"};
  AddItem<TD2Shield>(catalogue, 3, "Egide", 4, 40).Def = 140;
  AddChar(catalogue, "Zo\xE9", {1, 2, 3}).Account = "compte";
  AddChar(catalogue, "Alric", {3}).Account = "compte";
  return catalogue;
}

// The file layer standing in for a read-only file system on one folder:
// creating, writing, renaming or removing anything in it fails with EROFS.
class ReadOnlyFileLayer final : public FileOps {
 public:
  explicit ReadOnlyFileLayer(std::string dirWithSlash) : dir_(std::move(dirWithSlash)) {}
  int Open(const char* path, int flags, mode_t mode) override {
    if (Inside(path) && (flags & (O_CREAT | O_WRONLY | O_RDWR | O_TRUNC)) != 0) return Refuse();
    return FileOps::Open(path, flags, mode);
  }
  int Rename(const char* from, const char* to) override {
    if (Inside(from) || Inside(to)) return Refuse();
    return FileOps::Rename(from, to);
  }
  int Unlink(const char* path) override {
    if (Inside(path)) return Refuse();
    return FileOps::Unlink(path);
  }

 private:
  bool Inside(const char* path) const { return std::string(path).rfind(dir_, 0) == 0; }
  static int Refuse() {
    errno = EROFS;
    return -1;
  }
  std::string dir_;
};

// A folder made read-only for the life of this object: a read-only bind mount
// of the folder on itself when the machine allows it (root in a container may
// not be allowed to mount), else the file layer above. Which one is in use is
// written to the test log: a test never passes without saying how its fault
// was made.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::string& dirWithSlash) : dirWithSlash_(dirWithSlash) {
    dir_ = dirWithSlash.substr(0, dirWithSlash.size() - 1);
    int error = 0;
    if (::mount(dir_.c_str(), dir_.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      error = errno;
    } else {
      bound_ = true;
      if (::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) error = errno;
    }
    if (error == 0) error = ProbeReadOnly();
    if (error == 0) {
      std::cerr << "[ fault    ] " << dir_ << " is a read-only bind mount\n";
      return;
    }
    Unmount();
    std::cerr << "[ fault    ] a read-only bind mount cannot be made here (" << std::strerror(error)
              << "): the file layer refuses every write in " << dir_ << " with EROFS instead\n";
    layer_ = std::make_unique<ReadOnlyFileLayer>(dirWithSlash);
    scoped_.emplace(*layer_);
  }
  ~ReadOnlyFolder() { Lift(); }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  // True with the real mount: copies made by plain system calls (the ".bak"
  // copies) fail too, which the file layer cannot make them do.
  bool Real() const { return bound_; }
  // The fault is removed: the folder is writable again.
  void Lift() {
    scoped_.reset();
    layer_.reset();
    Unmount();
  }

 private:
  // The mount is only trusted once a write in it has really failed.
  int ProbeReadOnly() const {
    const std::string probe = dirWithSlash_ + ".probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return errno == EROFS ? 0 : errno;
    ::close(fd);
    ::unlink(probe.c_str());
    return EINVAL;  // still writable
  }
  void Unmount() {
    if (bound_) ::umount2(dir_.c_str(), MNT_DETACH);
    bound_ = false;
  }

  std::string dirWithSlash_;
  std::string dir_;
  bool bound_ = false;
  std::unique_ptr<ReadOnlyFileLayer> layer_;
  std::optional<ScopedFileOps> scoped_;
};

}  // namespace kistora::testing
