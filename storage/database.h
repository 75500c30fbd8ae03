// items.kdb and chars.kdb: load and save.
#pragma once

#include <cstdint>
#include <string>

#include "model/catalogue.h"
#include "storage/item_blocks.h"

namespace kistora {

// Load results.
enum : std::uint8_t {
  kLoadOk = 0,          // read to the end of its record count, every magic right
  kLoadBadMagic = 1,    // wrong file magic: nothing read or changed
  kLoadBadVersion = 2,  // version not 1: nothing changed
  kLoadDamaged = 3,     // a record magic was wrong, or the file ended early
};

// Replace the items / characters with a file's content. A file that cannot be
// opened raises EFileError "Impossible d'ouvrir le fichier <path>". A file that
// ends early keeps every record read whole and gives kLoadDamaged. Memory and
// reads stay bounded by the file's size whatever counts it claims.
std::uint8_t LoadItems(TCatalogue& catalogue, const std::string& path);
std::uint8_t LoadChars(TCatalogue& catalogue, const std::string& path);

// Write the items / characters; the previous file stays whole until the new one
// is complete. Failure raises EFileError "Impossible de créer le fichier <path>".
void SaveItems(const TCatalogue& catalogue, const std::string& path);
void SaveChars(const TCatalogue& catalogue, const std::string& path);

// The same files, byte for byte, from a snapshot that a background save holds
// while the catalogue moves on: the shared items, and copies of the characters.
void SaveItems(const ItemVector& items, const std::string& path);
void SaveItems(const ItemBlocks& blocks, const std::string& path);
void SaveChars(const std::vector<TChar>& characters, const std::string& path);

}  // namespace kistora
