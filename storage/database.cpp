#include "storage/database.h"

#include <algorithm>
#include <cstring>

#include "model/number_index.h"
#include "storage/ext_file_stream.h"
#include "storage/item_record.h"

namespace kistora {

namespace {

constexpr std::int32_t kVersion = 1;
// The smallest whole records: an item with empty strings and no property line
// (magic, tag, index, two empty strings, eight integers), and a character with
// five empty strings and no numbers. Used only to bound what a count may reserve.
constexpr std::uint64_t kMinItemRecord = 4 + 1 + 4 + 4 + 4 + 8 * 4;
constexpr std::uint64_t kMinCharRecord = 4 + 4 + 5 * 4;

// Reads the file magic and version. Returns kLoadOk when both are right.
std::uint8_t ReadHeader(TExtFileStream& stream, const char* magic) {
  if (stream.ReadChars(4) != magic) return kLoadBadMagic;
  if (stream.ReadInt() != kVersion) return kLoadBadVersion;
  return kLoadOk;
}

// Room to reserve for count records without trusting a count the file cannot hold.
std::size_t BoundedCount(std::int32_t count, const TExtFileStream& stream, std::uint64_t minRecord) {
  if (count <= 0) return 0;
  return static_cast<std::size_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(count), stream.Remaining() / minRecord));
}

}  // namespace

namespace {

// Reads an items file record by record: start(count bound) once the header is
// right, then record(fields) for each record read whole. Returns the load result.
template <typename Start, typename Record>
std::uint8_t ReadItemFile(const std::string& path, Start&& start, Record&& record) {
  TExtFileStream stream(path, TExtFileStream::Mode::OpenRead);
  const std::uint8_t header = ReadHeader(stream, "DBIL");
  if (header != kLoadOk) return header;
  const std::int32_t count = stream.ReadInt();
  start(stream.ShortRead() ? 0 : BoundedCount(count, stream, kMinItemRecord));
  if (stream.ShortRead()) return kLoadDamaged;
  std::uint8_t result = kLoadOk;
  // The fields are read into buffers kept from record to record.
  thread_local ItemRecordFields fields;
  // Every turn consumes at least the four magic bytes, and a read past the end
  // stops the loop, so a huge count cannot make it spin.
  for (std::int32_t turn = 0; turn < count; ++turn) {
    char magic[4];
    stream.ReadRaw(magic, sizeof magic);
    if (stream.ShortRead()) return kLoadDamaged;
    if (std::memcmp(magic, "DBIt", sizeof magic) != 0) {
      result = kLoadDamaged;
      continue;
    }
    ReadItemFields(stream, stream.ReadByte(), fields);
    if (stream.ShortRead()) return kLoadDamaged;  // the cut record is dropped
    record(fields);
  }
  return result;
}

}  // namespace

std::uint8_t LoadItems(TCatalogue& catalogue, const std::string& path) {
  return ReadItemFile(
      path,
      [&](std::size_t bound) {
        catalogue.ClearItems();
        catalogue.ItemList.reserve(bound);
      },
      [&](const ItemRecordFields& fields) { catalogue.ItemList.push_back(MakeItem(fields)); });
}

std::uint8_t LoadItemsSharing(const std::string& path, const ItemVector& reuse, ItemVector& out) {
  const NumberIndex index(reuse);
  // The n-th record of a number meets the n-th item of that number: records of
  // one number come one after another, as items of one number do.
  std::int32_t lastNumber = 0;
  std::size_t occurrence = 0;
  bool any = false;
  return ReadItemFile(
      path,
      [&](std::size_t bound) {
        out.clear();
        out.reserve(bound);
      },
      [&](const ItemRecordFields& fields) {
        occurrence = any && fields.Number == lastNumber ? occurrence + 1 : 0;
        lastNumber = fields.Number;
        any = true;
        const int first = index.FindFirst(fields.Number);
        if (first >= 0) {
          const std::size_t at = static_cast<std::size_t>(first) + occurrence;
          if (at < index.Size() && index.NumberAt(at) == fields.Number) {
            const ItemPtr& same = reuse[index.PositionAt(at)];
            if (ContentsOf(*same) == fields.Contents()) {
              out.push_back(same);
              return;
            }
          }
        }
        out.push_back(MakeItem(fields));
      });
}

std::uint8_t ReadItemDigests(const std::string& path, std::vector<NumberedDigest>& out) {
  return ReadItemFile(
      path,
      [&](std::size_t bound) {
        out.clear();
        out.reserve(bound);
      },
      [&](const ItemRecordFields& fields) {
        out.push_back({fields.Number, ContentDigest(fields.Contents())});
      });
}

std::uint8_t LoadChars(TCatalogue& catalogue, const std::string& path) {
  TExtFileStream stream(path, TExtFileStream::Mode::OpenRead);
  const std::uint8_t header = ReadHeader(stream, "DBCL");
  if (header != kLoadOk) return header;
  const std::int32_t count = stream.ReadInt();
  catalogue.ClearChars();
  if (stream.ShortRead()) return kLoadDamaged;
  std::uint8_t result = kLoadOk;
  catalogue.CharList.reserve(BoundedCount(count, stream, kMinCharRecord));
  for (std::int32_t turn = 0; turn < count; ++turn) {
    const std::string magic = stream.ReadChars(4);
    if (stream.ShortRead()) return kLoadDamaged;
    if (magic != "DBCh") {
      result = kLoadDamaged;
      continue;
    }
    auto character = std::make_unique<TChar>();
    const std::int32_t held = stream.ReadInt();
    character->Name = stream.ReadStr();
    character->Account = stream.ReadStr();
    character->Class = stream.ReadStr();
    character->Level = stream.ReadStr();
    character->Notes = stream.ReadStr();
    if (held > 0) {
      // Each number takes four bytes: more than the rest of the file can hold is a cut record.
      if (static_cast<std::uint64_t>(held) > stream.Remaining() / 4) return kLoadDamaged;
      character->Items.reserve(static_cast<std::size_t>(held));
      for (std::int32_t i = 0; i < held; ++i) character->Items.push_back(stream.ReadInt());
    }
    if (stream.ShortRead()) return kLoadDamaged;
    catalogue.CharList.push_back(std::move(character));
  }
  return result;
}

namespace {

void WriteItemsHeader(TExtFileStream& stream, std::size_t count) {
  stream.WriteChars("DBIL");
  stream.WriteInt(kVersion);
  stream.WriteInt(static_cast<std::int32_t>(count));
}

void WriteCharRecord(TExtFileStream& stream, const TChar& character) {
  stream.WriteChars("DBCh");
  stream.WriteInt(character.ItemCount());
  stream.WriteStr(character.Name);
  stream.WriteStr(character.Account);
  stream.WriteStr(character.Class);
  stream.WriteStr(character.Level);
  stream.WriteStr(character.Notes);
  for (const std::int32_t number : character.Items) stream.WriteInt(number);
}

void WriteCharsHeader(TExtFileStream& stream, std::size_t count) {
  stream.WriteChars("DBCL");
  stream.WriteInt(kVersion);
  stream.WriteInt(static_cast<std::int32_t>(count));
}

}  // namespace

void SaveItems(const TCatalogue& catalogue, const std::string& path) { SaveItems(catalogue.ItemList, path); }

void SaveItems(const ItemVector& items, const std::string& path) {
  TExtFileStream stream(path, TExtFileStream::Mode::Create);
  WriteItemsHeader(stream, items.size());
  for (const auto& item : items) WriteItemRecord(stream, *item);
  stream.Commit();
}

void SaveItems(const ItemBlocks& blocks, const std::string& path) {
  std::size_t count = 0;
  for (const auto& block : blocks) count += block->size();
  TExtFileStream stream(path, TExtFileStream::Mode::Create);
  WriteItemsHeader(stream, count);
  for (const auto& block : blocks) {
    for (const auto& item : *block) WriteItemRecord(stream, *item);
  }
  stream.Commit();
}

void SaveChars(const TCatalogue& catalogue, const std::string& path) {
  TExtFileStream stream(path, TExtFileStream::Mode::Create);
  WriteCharsHeader(stream, catalogue.CharList.size());
  for (const auto& character : catalogue.CharList) WriteCharRecord(stream, *character);
  stream.Commit();
}

void SaveChars(const std::vector<TChar>& characters, const std::string& path) {
  TExtFileStream stream(path, TExtFileStream::Mode::Create);
  WriteCharsHeader(stream, characters.size());
  for (const TChar& character : characters) WriteCharRecord(stream, character);
  stream.Commit();
}

}  // namespace kistora
