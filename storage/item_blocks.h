// The items of a catalogue as consecutive blocks of shared items, kept in step
// with the catalogue change by change, so that a background save can take a
// snapshot of a million items by copying a few hundred block pointers. A block
// held by a snapshot is never changed: the mirror copies it before a change
// (copy on write), so the snapshot keeps what it saw.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/catalogue_change.h"
#include "model/items.h"

namespace kistora {

// What a snapshot holds: the items in order, block after block.
using ItemBlocks = std::vector<std::shared_ptr<const ItemVector>>;

// The items in blocks (a version read from a file, kept as a snapshot is).
ItemBlocks BlocksOf(const ItemVector& items);
// The items of blocks in one list.
ItemVector ItemsOf(const ItemBlocks& blocks);
// Whether two snapshots hold items of the same contents in the same order (a
// block or an item shared by both is not read).
bool SameItems(const ItemBlocks& a, const ItemBlocks& b);
// The same for a snapshot and a list.
bool SameItems(const ItemBlocks& a, const ItemVector& b);

class ItemBlockMirror {
 public:
  static constexpr std::size_t kBlockSize = 4096;

  // Takes every item of items again (a load, or a mirror that lost step).
  void Rebuild(const ItemVector& items);
  // Follows one change of the catalogue whose items are now items; rebuilds
  // when the change cannot be followed or the result does not match.
  void Apply(const ItemVector& items, const CatalogueChange& change);
  // Whether the mirror holds items: same count, and the same objects at the
  // ends and at a spread of places between (a cheap check, not a full one).
  bool Matches(const ItemVector& items) const;
  // The current blocks, for a snapshot (cheap: one pointer per block).
  ItemBlocks Snapshot() const;
  std::size_t Size() const { return size_; }

 private:
  struct Place {
    std::size_t Block = 0;
    std::size_t Offset = 0;
  };
  // The block and offset of position (position == Size() gives the end).
  Place Locate(std::size_t position) const;
  ItemVector& Writable(std::size_t block);
  const ItemPtr& At(std::size_t position) const;
  bool Insert(const ItemVector& items, std::size_t position);
  bool Replace(const ItemVector& items, std::size_t position);
  bool Erase(std::size_t position);

  std::vector<std::shared_ptr<ItemVector>> blocks_;
  std::size_t size_ = 0;
};

}  // namespace kistora
