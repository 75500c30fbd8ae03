// Small builders for export tests: items of any class, characters, a fixed clock.
#pragma once

#include <ctime>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "export/export_dates.h"
#include "export/export_selection.h"
#include "export/export_writer.h"
#include "model/catalogue.h"
#include "model/cp1252.h"

namespace kistora::testing {

// Windows-1252 bytes of a UTF-8 literal, so expected texts read naturally.
inline std::string W(std::string_view utf8) { return Utf8ToCp1252(utf8); }

template <class Item>
Item& AddItem(TCatalogue& catalogue, std::int32_t index, std::string_view name, int quality, std::int32_t price = 0,
              std::string_view notes = {}) {
  auto item = std::make_unique<Item>();
  item->Index = index;
  item->Name = std::string(name);
  item->Quality = static_cast<std::uint8_t>(quality);
  item->Price = price;
  item->Notes = std::string(notes);
  Item& ref = *item;
  catalogue.ItemList.push_back(std::move(item));
  return ref;
}

inline TChar& AddChar(TCatalogue& catalogue, std::string_view name, std::initializer_list<std::int32_t> items) {
  auto character = std::make_unique<TChar>();
  character->Name = std::string(name);
  for (std::int32_t number : items) character->AddItem(number);
  TChar& ref = *character;
  catalogue.CharList.push_back(std::move(character));
  return ref;
}

// Sunday 6 December 2026, 17:55:03.
inline std::tm FixedNow() {
  std::tm now{};
  now.tm_year = 2026 - 1900;
  now.tm_mon = 11;
  now.tm_mday = 6;
  now.tm_hour = 17;
  now.tm_min = 55;
  now.tm_sec = 3;
  ::timegm(&now);  // fills tm_wday
  return now;
}

// The dates the C locale gives for FixedNow.
inline ExportDates FixedDates() { return {"12/06/26", "17:55:03", "Sunday 06 December"}; }

// The whole page or list for these settings.
inline std::string Export(const ExportSettings& settings, const TCatalogue& catalogue, int selectedRow = -1) {
  const ExportSelection selection(settings, catalogue, selectedRow);
  StringSink sink;
  ExportWriter writer(selection, sink);
  writer.WritePage(FixedDates());
  return sink.Text;
}

// Only the item lines/rows of one item written alone.
inline std::string ItemText(const ExportSettings& settings, const TD2Item& item) {
  TCatalogue empty;
  const ExportSelection selection(settings, empty, -1);
  StringSink sink;
  ExportWriter writer(selection, sink);
  writer.WriteItem(item);
  return sink.Text;
}

}  // namespace kistora::testing
