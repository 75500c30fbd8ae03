#include "export/export_memory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <vector>

#include "export/export_run.h"
#include "model/cp1252.h"
#include "model/text_utils.h"
#include "storage/file_ops.h"
#include "storage/safe_file.h"

namespace kistora {

namespace {

constexpr std::string_view kHeader = "// Kistora: the items of the last list of each export format (safe to delete)";
constexpr std::size_t kDigestDigits = 16;

bool IsWordChar(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'; }

// "[word]": the word, or empty for any other line.
std::string_view SectionWord(std::string_view line) {
  if (line.size() < 3 || line.front() != '[' || line.back() != ']') return {};
  const std::string_view word = line.substr(1, line.size() - 2);
  return std::all_of(word.begin(), word.end(), IsWordChar) ? word : std::string_view{};
}

// "number digest": both, or false.
bool ItemLine(std::string_view line, std::int32_t& number, std::uint64_t& digest) {
  const auto space = line.find(' ');
  if (space == std::string_view::npos) return false;
  const std::string_view numberText = line.substr(0, space);
  const std::string_view digestText = line.substr(space + 1);
  if (digestText.empty() || digestText.size() > kDigestDigits) return false;
  const auto [numberEnd, numberError] =
      std::from_chars(numberText.data(), numberText.data() + numberText.size(), number);
  if (numberError != std::errc() || numberEnd != numberText.data() + numberText.size()) return false;
  const auto [digestEnd, digestError] =
      std::from_chars(digestText.data(), digestText.data() + digestText.size(), digest, 16);
  return digestError == std::errc() && digestEnd == digestText.data() + digestText.size();
}

std::string Hex16(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(kDigestDigits, '0');
  for (std::size_t i = kDigestDigits; i-- > 0; value >>= 4) text[i] = kDigits[value & 0xF];
  return text;
}

// The whole file, or the errno that stopped its reading (ENOENT: no file).
int ReadWhole(const std::string& path, std::string& text) {
  const int fd = Files().Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
  if (fd < 0) return errno;
  struct stat info {};
  int error = 0;
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;  // a pipe or a device would never end
  }
  char buffer[64 * 1024];
  while (error == 0) {
    const ssize_t n = Files().Read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  Files().Close(fd);
  return error;
}

}  // namespace

std::string_view ExportFormatWord(ExportFormat format) {
  switch (format) {
    case ExportFormat::Html:
      return "html";
    case ExportFormat::Ascii:
      return "ascii";
    case ExportFormat::BBCode:
      return "bbcode";
    case ExportFormat::Markdown:
      return "markdown";
  }
  return "html";
}

ExportMemoryLoad ParseExportMemory(std::string_view text, const std::string& shownPath) {
  ExportMemoryLoad load;
  ListedItems* list = nullptr;
  int lineNumber = 0;
  int firstBad = 0;
  int bad = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.starts_with("//")) continue;
    if (const std::string_view word = SectionWord(line); !word.empty()) {
      list = &load.Memory.Lists[std::string(word)];
      continue;
    }
    std::int32_t number = 0;
    std::uint64_t digest = 0;
    if (list && ItemLine(line, number, digest)) {
      (*list)[number] = digest;
    } else if (++bad == 1) {
      firstBad = lineNumber;
    }
  }
  if (bad > 0) {
    load.Problem = Utf8ToCp1252(shownPath) + " : " + IntToStr(bad) +
                   (bad == 1 ? " ligne illisible" : " lignes illisibles") + " (ligne " + IntToStr(firstBad) +
                   ") ; les objets qu'elles nommaient comptent comme nouveaux.";
  }
  return load;
}

ExportMemoryLoad LoadExportMemory(const std::string& path) {
  std::string text;
  const int error = ReadWhole(path, text);
  if (error == ENOENT) return {};
  if (error != 0) {
    ExportMemoryLoad load;
    load.Problem = "Impossible de lire le fichier " + Utf8ToCp1252(path) + " : " + ExportErrorMessage(error) +
                   " Tous les objets comptent comme nouveaux.";
    return load;
  }
  return ParseExportMemory(text, path);
}

std::string ExportMemoryText(const ExportMemory& memory) {
  std::string text(kHeader);
  text += "\r\n";
  std::vector<std::pair<std::int32_t, std::uint64_t>> items;
  for (const auto& [word, list] : memory.Lists) {
    text.append("[").append(word).append("]\r\n");
    items.assign(list.begin(), list.end());
    std::sort(items.begin(), items.end());
    for (const auto& [number, digest] : items)
      text.append(IntToStr(number)).append(" ").append(Hex16(digest)).append("\r\n");
  }
  return text;
}

void SaveExportMemory(const std::string& path, const ExportMemory& memory) {
  SafeFileWriter file(path);
  file.Write(ExportMemoryText(memory));
  file.Commit();
}

}  // namespace kistora
