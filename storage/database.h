// items.kdb and chars.kdb: load and save.
#pragma once

#include <cstdint>
#include <string>

#include "model/catalogue.h"
#include "model/item_digest.h"
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

// Another version of an items file, read beside a catalogue's items (reuse):
// the n-th item of a number whose contents are those of reuse's n-th item of
// that number is reuse's item itself, shared; only the others are made. So a
// version that differs in a few items costs memory for those only. out gets
// the items in file order; the result is LoadItems'.
std::uint8_t LoadItemsSharing(const std::string& path, const ItemVector& reuse, ItemVector& out);
// The number and content digest of each item of an items file, in file order;
// no item is made. The result is LoadItems'.
std::uint8_t ReadItemDigests(const std::string& path, std::vector<NumberedDigest>& out);

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
