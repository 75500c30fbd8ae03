#include "merge/merge_inputs.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <optional>

#include "model/catalogue_history.h"
#include "storage/database.h"
#include "storage/file_error.h"

namespace kistora {

namespace {

struct Parts {
  std::optional<std::string> Items;
  std::optional<std::string> Chars;
};

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string MagicOf(const std::string& path) {
  char magic[4] = {};
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {};
  const std::size_t n = std::fread(magic, 1, 4, file);
  std::fclose(file);
  return n == 4 ? std::string(magic, 4) : std::string();
}

std::string Joined(const std::string& dir, const char* name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string PartsOf(const std::string& path, Parts& parts) {
  if (IsFolder(path)) {
    for (const char* name : {"items.kdb", "chars.kdb"}) {
      struct stat info {};
      if (::stat(Joined(path, name).c_str(), &info) != 0) continue;
      (name[0] == 'i' ? parts.Items : parts.Chars) = Joined(path, name);
    }
    return parts.Items || parts.Chars ? std::string() : path + " ne contient ni items.kdb ni chars.kdb";
  }
  const std::string magic = MagicOf(path);
  if (magic == "DBIL") {
    parts.Items = path;
  } else if (magic == "DBCL") {
    parts.Chars = path;
  } else {
    return path + (magic.empty() ? " ne peut \xEAtre lu" : " n'est pas une base d'objets ni de personnages");
  }
  return {};
}

std::string LoadProblem(const std::string& path, std::uint8_t result) {
  switch (result) {
    case kLoadBadMagic:
      return path + " n'est pas une base de Kistora";
    case kLoadBadVersion:
      return path + " est d'une version inconnue";
    default:
      return path + " est endommag\xE9 ou incomplet";
  }
}

template <typename Read>
std::string ReadWith(const std::string& path, Read&& read) {
  try {
    const std::uint8_t result = read();
    return result == kLoadOk ? std::string() : LoadProblem(path, result);
  } catch (const EFileError& failure) {
    return path + " ne peut \xEAtre ouvert (" + std::strerror(failure.Errno) + ")";
  }
}

std::string ReadChars(const std::string& path, std::vector<TChar>& out) {
  TCatalogue read;
  std::string problem = ReadWith(path, [&] { return LoadChars(read, path); });
  if (problem.empty()) {
    out.clear();
    for (const auto& character : read.CharList) out.push_back(*character);
  }
  return problem;
}

}  // namespace

CatalogueVersion VersionOf(const TCatalogue& catalogue) {
  CatalogueVersion version;
  version.Items = catalogue.ItemList;
  version.Chars.reserve(catalogue.CharList.size());
  for (const auto& character : catalogue.CharList) version.Chars.push_back(*character);
  version.LastItemIndex = catalogue.LastItemIndex;
  return version;
}

bool PutVersion(TCatalogue& catalogue, CatalogueHistory* history, const CatalogueVersion& before,
                const CatalogueVersion& after, const std::string& text) {
  catalogue.LastItemIndex = std::max(catalogue.LastItemIndex, after.LastItemIndex);
  bool same = before.Items.size() == after.Items.size() && before.Chars == after.Chars;
  for (std::size_t i = 0; same && i < before.Items.size(); ++i) {
    const ItemPtr& x = before.Items[i];
    const ItemPtr& y = after.Items[i];
    same = x == y || (x->Index == y->Index && SameItemContents(*x, *y));
  }
  if (same) return false;
  std::vector<std::unique_ptr<TChar>> chars;
  chars.reserve(after.Chars.size());
  for (const TChar& character : after.Chars) chars.push_back(std::make_unique<TChar>(character));
  const CatalogueHistory::Group step(history, text);
  catalogue.ReplaceContent(after.Items, std::move(chars));
  return true;
}

std::string ReadOtherVersion(const std::string& path, const CatalogueVersion& ours, CatalogueVersion& theirs) {
  Parts parts;
  if (std::string problem = PartsOf(path, parts); !problem.empty()) return problem;
  theirs.Items = ours.Items;
  theirs.Chars = ours.Chars;
  theirs.LastItemIndex = 0;
  if (parts.Items) {
    std::string problem =
        ReadWith(*parts.Items, [&] { return LoadItemsSharing(*parts.Items, ours.Items, theirs.Items); });
    if (!problem.empty()) return problem;
  }
  if (parts.Chars) {
    if (std::string problem = ReadChars(*parts.Chars, theirs.Chars); !problem.empty()) return problem;
  }
  for (const ItemPtr& item : theirs.Items) theirs.LastItemIndex = std::max(theirs.LastItemIndex, item->Index);
  return {};
}

std::string ReadBaseVersion(const std::string& path, MergeBase& base) {
  Parts parts;
  if (std::string problem = PartsOf(path, parts); !problem.empty()) return problem;
  if (parts.Items) {
    base.Digests.emplace();
    std::string problem = ReadWith(*parts.Items, [&] { return ReadItemDigests(*parts.Items, *base.Digests); });
    if (!problem.empty()) return problem;
  }
  if (parts.Chars) {
    base.Chars.emplace();
    if (std::string problem = ReadChars(*parts.Chars, *base.Chars); !problem.empty()) return problem;
  }
  return {};
}

}  // namespace kistora
