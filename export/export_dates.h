// The dates and times written at the top of a trading list, formatted by the C
// library's LC_TIME locale and converted to Windows-1252. The caller passes the
// moment, so tests and the command line can fix the clock.
#pragma once

#include <ctime>
#include <string>

namespace kistora {

struct ExportDates {
  std::string ShortDate;   // strftime "%x"
  std::string LongTime;    // strftime "%X"
  std::string UpdateDate;  // strftime "%A %d %B": weekday, day in two digits, month
};

// now is a local broken-down time whose tm_wday is right (mktime or timegm fill it).
ExportDates FormatExportDates(const std::tm& now);

}  // namespace kistora
