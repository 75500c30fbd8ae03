#include "storage/item_record.h"

#include <string>

#include "storage/ext_file_stream.h"

namespace kistora {

void WriteItemRecord(TExtFileStream& stream, const TD2Item& item) {
  stream.WriteChars("DBIt");
  stream.WriteByte(ClassTag(item));
  stream.WriteInt(item.Index);
  stream.WriteStr(item.Name);
  stream.WriteStr(item.Notes);
  stream.WriteInt(item.Quality);  // the one-byte code, zero-extended
  stream.WriteInt(item.Price);
  stream.WriteInt(item.CLvl);
  stream.WriteInt(item.Str);
  stream.WriteInt(item.Dex);
  stream.WriteInt(item.Dur);
  stream.WriteInt(item.MaxDur);
  stream.WriteInt(static_cast<std::int32_t>(item.MagicProps.size()));
  for (const auto& line : item.MagicProps) stream.WriteStr(line);
  const ClassNumbers numbers = ClassNumbersOf(item);
  for (std::size_t i = 0; i < numbers.Count; ++i) stream.WriteInt(numbers.Values[i]);
}

std::unique_ptr<TD2Item> LoadItemRecord(TExtFileStream& stream, std::uint8_t tag) {
  const std::int32_t index = stream.ReadInt();
  // The texts are read into buffers kept from item to item, then copied into
  // the room the item is made with.
  thread_local std::string name;
  thread_local std::string notes;
  thread_local std::string line;
  thread_local std::string packed;
  stream.ReadStrInto(name);
  stream.ReadStrInto(notes);
  const std::int32_t numbers[7] = {stream.ReadInt(), stream.ReadInt(), stream.ReadInt(), stream.ReadInt(),
                                   stream.ReadInt(), stream.ReadInt(), stream.ReadInt()};
  packed.clear();
  const std::int32_t count = stream.ReadInt();
  for (std::int32_t i = 0; i < count && !stream.ShortRead(); ++i) {
    stream.ReadStrInto(line);
    PropertyLines::Append(packed, line);
  }
  std::unique_ptr<TD2Item> item = CreateItemFromTag(tag, {name, notes, packed});
  item->Index = index;
  item->Quality = static_cast<std::uint8_t>(numbers[0] & 0xFF);  // only the lowest byte is kept
  item->Price = numbers[1];
  item->CLvl = numbers[2];
  item->Str = numbers[3];
  item->Dex = numbers[4];
  item->Dur = numbers[5];
  item->MaxDur = numbers[6];
  std::int32_t own[3] = {};
  for (std::size_t i = 0; i < ClassNumberCount(tag); ++i) own[i] = stream.ReadInt();
  SetClassNumbers(*item, own);
  return item;
}

}  // namespace kistora
