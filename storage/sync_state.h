// What this copy of the program keeps about a data folder outside of it, in
// the user's state folder ($XDG_STATE_HOME/kistora/, by default
// ~/.local/state/kistora/, one folder per data folder), so that a folder
// synced between machines never carries it:
//   common-items.digests  the item database last known to be shared with the
//                         other machines, as item numbers and digests (the
//                         base of the next merge, kept across restarts);
//   common-chars.kdb      the characters of that version;
//   numbers.txt           the highest item number this copy ever handed out,
//                         and the identity of the two files it last wrote.
// Losing any of it loses nothing of the catalogue: a merge without its base
// deletes nothing, and the item numbers are also kept in the files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/catalogue.h"
#include "model/item_digest.h"
#include "storage/file_identity.h"

namespace kistora {

// $XDG_STATE_HOME (when absolute), else $HOME/.local/state, with a trailing "/".
std::string StateHome();
// The state folder of dataDir under stateHome: "kistora/" then the folder's
// own name and a digest of its full path, so that two folders never share one.
std::string StateDirOf(const std::string& dataDir, const std::string& stateHome);

struct CommonVersion {
  std::optional<std::vector<NumberedDigest>> Items;
  std::optional<std::vector<TChar>> Chars;
};

struct WrittenFiles {
  std::optional<FileIdentity> Items;
  std::optional<FileIdentity> Chars;
  bool operator==(const WrittenFiles&) const = default;
};

class SyncState {
 public:
  explicit SyncState(std::string dir) : dir_(std::move(dir)) {}
  const std::string& Dir() const { return dir_; }

  // A part missing or damaged comes back unset. Never throws.
  CommonVersion ReadCommon() const;
  std::int32_t ReadHighestNumber() const;
  WrittenFiles ReadWritten() const;

  // Each write goes through the safe save (the folder is made when missing);
  // a failure raises EFileError.
  void WriteCommon(const std::vector<NumberedDigest>& items, const std::vector<TChar>& chars) const;
  void WriteNumbers(std::int32_t highest, const WrittenFiles& written) const;

 private:
  std::string dir_;
};

}  // namespace kistora
