// Small builders for export tests: Windows-1252 texts, a fixed clock, whole exports.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "core_test_support.h"
#include "export/export_dates.h"
#include "export/export_selection.h"
#include "export/export_writer.h"
#include "model/catalogue.h"
#include "model/cp1252.h"

namespace kistora::testing {

// Windows-1252 bytes of a UTF-8 literal, so expected texts read naturally.
inline std::string W(std::string_view utf8) { return Utf8ToCp1252(utf8); }

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
