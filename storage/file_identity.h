// What a database file was on disk when this program last read or wrote it,
// so that a file replaced behind its back (a sync tool, a restored copy,
// another program) is noticed before a save would overwrite it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace kistora {

struct FileIdentity {
  bool Exists = false;
  dev_t Device = 0;
  ino_t Inode = 0;
  std::int64_t Size = 0;
  std::int64_t ModifiedNs = 0;  // modification time, nanoseconds since the epoch

  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file path names now (links followed); Exists is false
// when there is none.
FileIdentity IdentityOf(const std::string& path);

// True when path names a folder (links followed): a database file's name taken by a folder.
bool IsFolder(const std::string& path);

}  // namespace kistora
