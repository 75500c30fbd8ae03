#include "storage/item_record.h"

#include "storage/ext_file_stream.h"

namespace kistora {

ItemContents ItemRecordFields::Contents() const {
  ItemContents c;
  c.Tag = Tag;
  c.Quality = static_cast<std::uint8_t>(Common[0] & 0xFF);
  c.Name = Name;
  c.Notes = Notes;
  c.PackedLines = PackedLines;
  c.Price = Common[1];
  c.CLvl = Common[2];
  c.Str = Common[3];
  c.Dex = Common[4];
  c.Dur = Common[5];
  c.MaxDur = Common[6];
  c.Own.Count = ClassNumberCount(Tag);
  for (std::size_t i = 0; i < c.Own.Count; ++i) c.Own.Values[i] = Own[i];
  return c;
}

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

void ReadItemFields(TExtFileStream& stream, std::uint8_t tag, ItemRecordFields& fields) {
  fields.Tag = tag;
  fields.Number = stream.ReadInt();
  stream.ReadStrInto(fields.Name);
  stream.ReadStrInto(fields.Notes);
  for (std::int32_t& number : fields.Common) number = stream.ReadInt();
  fields.PackedLines.clear();
  // The lines are read one by one into a buffer kept from record to record.
  thread_local std::string line;
  const std::int32_t count = stream.ReadInt();
  for (std::int32_t i = 0; i < count && !stream.ShortRead(); ++i) {
    stream.ReadStrInto(line);
    PropertyLines::Append(fields.PackedLines, line);
  }
  const std::size_t own = ClassNumberCount(tag);
  for (std::size_t i = 0; i < 3; ++i) fields.Own[i] = i < own ? stream.ReadInt() : 0;
}

std::unique_ptr<TD2Item> MakeItem(const ItemRecordFields& fields) {
  std::unique_ptr<TD2Item> item = CreateItemFromTag(fields.Tag, {fields.Name, fields.Notes, fields.PackedLines});
  item->Index = fields.Number;
  item->Quality = static_cast<std::uint8_t>(fields.Common[0] & 0xFF);  // only the lowest byte is kept
  item->Price = fields.Common[1];
  item->CLvl = fields.Common[2];
  item->Str = fields.Common[3];
  item->Dex = fields.Common[4];
  item->Dur = fields.Common[5];
  item->MaxDur = fields.Common[6];
  SetClassNumbers(*item, fields.Own);
  return item;
}

std::unique_ptr<TD2Item> LoadItemRecord(TExtFileStream& stream, std::uint8_t tag) {
  // The fields are read into buffers kept from item to item, then copied into
  // the room the item is made with.
  thread_local ItemRecordFields fields;
  ReadItemFields(stream, tag, fields);
  return MakeItem(fields);
}

}  // namespace kistora
