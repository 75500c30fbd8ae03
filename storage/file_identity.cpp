#include "storage/file_identity.h"

#include <sys/stat.h>

namespace kistora {

FileIdentity IdentityOf(const std::string& path) {
  FileIdentity identity;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return identity;
  identity.Exists = true;
  identity.Device = info.st_dev;
  identity.Inode = info.st_ino;
  identity.Size = static_cast<std::int64_t>(info.st_size);
  identity.ModifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
  return identity;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace kistora
