#include "storage/item_blocks.h"

#include <algorithm>

#include "model/item_digest.h"

namespace kistora {

namespace {

constexpr std::size_t kChecks = 32;  // places compared by Matches besides the ends

}  // namespace

ItemBlocks BlocksOf(const ItemVector& items) {
  ItemBlockMirror mirror;
  mirror.Rebuild(items);
  return mirror.Snapshot();
}

ItemVector ItemsOf(const ItemBlocks& blocks) {
  ItemVector items;
  std::size_t count = 0;
  for (const auto& block : blocks) count += block->size();
  items.reserve(count);
  for (const auto& block : blocks) items.insert(items.end(), block->begin(), block->end());
  return items;
}

bool SameItems(const ItemBlocks& a, const ItemBlocks& b) {
  // Walks both lists item by item whatever their blocks' sizes.
  std::size_t blockA = 0, blockB = 0, atA = 0, atB = 0;
  for (;;) {
    while (blockA < a.size() && atA == a[blockA]->size()) ++blockA, atA = 0;
    while (blockB < b.size() && atB == b[blockB]->size()) ++blockB, atB = 0;
    if (blockA == a.size() || blockB == b.size()) return blockA == a.size() && blockB == b.size();
    if (atA == 0 && atB == 0 && a[blockA] == b[blockB]) {
      atA = atB = a[blockA]->size();  // one block shared whole
      continue;
    }
    const ItemPtr& x = (*a[blockA])[atA++];
    const ItemPtr& y = (*b[blockB])[atB++];
    if (x != y && (x->Index != y->Index || !SameItemContents(*x, *y))) return false;
  }
}

bool SameItems(const ItemBlocks& a, const ItemVector& b) {
  std::size_t at = 0;
  for (const auto& block : a) {
    for (const ItemPtr& x : *block) {
      if (at == b.size()) return false;
      const ItemPtr& y = b[at++];
      if (x != y && (x->Index != y->Index || !SameItemContents(*x, *y))) return false;
    }
  }
  return at == b.size();
}

void ItemBlockMirror::Rebuild(const ItemVector& items) {
  blocks_.clear();
  for (std::size_t start = 0; start < items.size(); start += kBlockSize) {
    const std::size_t end = std::min(items.size(), start + kBlockSize);
    blocks_.push_back(std::make_shared<ItemVector>(items.begin() + static_cast<std::ptrdiff_t>(start),
                                                   items.begin() + static_cast<std::ptrdiff_t>(end)));
  }
  size_ = items.size();
}

void ItemBlockMirror::Apply(const ItemVector& items, const CatalogueChange& change) {
  const auto position = static_cast<std::size_t>(std::max(change.Position, 0));
  bool followed = true;
  switch (change.Kind) {
    case ChangeKind::ItemAdded:
    case ChangeKind::ItemRestored:
      followed = change.Position >= 0 && Insert(items, position);
      break;
    case ChangeKind::ItemModified:
      followed = change.Position >= 0 && Replace(items, position);
      break;
    case ChangeKind::ItemDeleted:
      followed = change.Position >= 0 && Erase(position);
      break;
    case ChangeKind::Reset:
      followed = false;
      break;
    default:
      break;  // a character change leaves the items as they are
  }
  if (!followed || !Matches(items)) Rebuild(items);
}

bool ItemBlockMirror::Matches(const ItemVector& items) const {
  if (items.size() != size_) return false;
  if (size_ == 0) return true;
  const std::size_t step = std::max<std::size_t>(1, size_ / kChecks);
  for (std::size_t position = 0; position < size_; position += step) {
    if (At(position) != items[position]) return false;
  }
  return At(size_ - 1) == items[size_ - 1];
}

ItemBlocks ItemBlockMirror::Snapshot() const { return ItemBlocks(blocks_.begin(), blocks_.end()); }

ItemBlockMirror::Place ItemBlockMirror::Locate(std::size_t position) const {
  Place place;
  for (; place.Block < blocks_.size(); ++place.Block) {
    const std::size_t size = blocks_[place.Block]->size();
    if (position < size) break;
    position -= size;
  }
  place.Offset = position;
  return place;
}

ItemVector& ItemBlockMirror::Writable(std::size_t block) {
  // Another owner is a snapshot being written: it keeps the block it saw.
  if (blocks_[block].use_count() > 1) blocks_[block] = std::make_shared<ItemVector>(*blocks_[block]);
  return *blocks_[block];
}

const ItemPtr& ItemBlockMirror::At(std::size_t position) const {
  const Place place = Locate(position);
  return (*blocks_[place.Block])[place.Offset];
}

bool ItemBlockMirror::Insert(const ItemVector& items, std::size_t position) {
  if (position > size_ || items.size() != size_ + 1) return false;
  if (blocks_.empty()) blocks_.push_back(std::make_shared<ItemVector>());
  Place place = Locate(position);
  if (place.Block == blocks_.size()) {
    // The end: the last block takes it while it has room, else a new block.
    place.Block = blocks_.size() - 1;
    place.Offset = blocks_.back()->size();
    if (place.Offset >= kBlockSize) {
      blocks_.push_back(std::make_shared<ItemVector>());
      ++place.Block;
      place.Offset = 0;
    }
  }
  ItemVector& block = Writable(place.Block);
  block.insert(block.begin() + static_cast<std::ptrdiff_t>(place.Offset), items[position]);
  if (block.size() >= 2 * kBlockSize) {
    // Split in two so that a copy on write stays small.
    auto tail = std::make_shared<ItemVector>(block.begin() + static_cast<std::ptrdiff_t>(kBlockSize), block.end());
    block.resize(kBlockSize);
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(place.Block) + 1, std::move(tail));
  }
  ++size_;
  return true;
}

bool ItemBlockMirror::Replace(const ItemVector& items, std::size_t position) {
  if (position >= size_ || items.size() != size_) return false;
  const Place place = Locate(position);
  Writable(place.Block)[place.Offset] = items[position];
  return true;
}

bool ItemBlockMirror::Erase(std::size_t position) {
  if (position >= size_) return false;
  const Place place = Locate(position);
  ItemVector& block = Writable(place.Block);
  block.erase(block.begin() + static_cast<std::ptrdiff_t>(place.Offset));
  if (block.empty()) blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(place.Block));
  --size_;
  return true;
}

}  // namespace kistora
