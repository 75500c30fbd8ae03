#include "export/export_dates.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <clocale>
#include <cstring>

#include "model/cp1252.h"

namespace kistora {

namespace {

// Whether the LC_TIME locale writes its names in UTF-8 (its own codeset, which
// may differ from LC_CTYPE's).
bool TimeLocaleIsUtf8() {
  const char* name = std::setlocale(LC_TIME, nullptr);
  if (name == nullptr) return false;
  const locale_t time = ::newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
  if (time == static_cast<locale_t>(nullptr)) return false;
  const bool utf8 = std::strcmp(::nl_langinfo_l(CODESET, time), "UTF-8") == 0;
  ::freelocale(time);
  return utf8;
}

std::string Format(const char* pattern, const std::tm& now, bool utf8) {
  std::array<char, 256> buffer{};
  const std::size_t n = std::strftime(buffer.data(), buffer.size(), pattern, &now);
  std::string text(buffer.data(), n);
  // A UTF-8 locale spells accented names (février, décembre) in UTF-8; the
  // page is Windows-1252. Single-byte Latin locales already match it for French.
  if (utf8) text = Utf8ToCp1252(text);
  return text;
}

}  // namespace

ExportDates FormatExportDates(const std::tm& now) {
  const bool utf8 = TimeLocaleIsUtf8();
  return {Format("%x", now, utf8), Format("%X", now, utf8), Format("%A %d %B", now, utf8)};
}

}  // namespace kistora
