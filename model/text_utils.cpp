#include "model/text_utils.h"

#include <unistd.h>

#include <charconv>
#include <vector>

namespace kistora {

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string TrimSpaces(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

std::string SubRange(std::string_view s, std::int64_t from, std::int64_t to) {
  const auto length = static_cast<std::int64_t>(s.size());
  if (from < 1 || from > length || to > length || to < from) return {};
  return std::string(s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1)));
}

std::size_t Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const auto at = s.find(sub);
  return at == std::string_view::npos ? 0 : at + 1;
}

// Words are the runs of characters other than the space; both walk the text
// once, so a megabyte of words costs a megabyte of steps.
int WordCount(std::string_view s) {
  int count = 0;
  bool inWord = false;
  for (const char c : s) {
    if (c == ' ') {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      ++count;
    }
  }
  return count;
}

std::string NthWord(int n, std::string_view s) {
  if (n < 1) return {};
  std::size_t at = 0;
  for (int seen = 1;; ++seen) {
    at = s.find_first_not_of(' ', at);
    if (at == std::string_view::npos) return {};
    const auto end = s.find(' ', at);
    if (seen == n) return std::string(s.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) return {};
    at = end;
  }
}

std::string AfterFirst(std::string_view sub, std::string_view s) {
  const auto p = Pos(sub, s);
  if (p == 0) return {};
  return std::string(s.substr(p - 1 + sub.size()));
}

std::string BeforeFirst(std::string_view sub, std::string_view s) {
  const auto p = Pos(sub, s);
  if (p <= 1) return {};
  return std::string(s.substr(0, p - 1));
}

std::size_t NthPos(std::string_view sub, std::string_view s, int n) {
  if (sub.empty()) return 0;
  std::size_t sum = 0;
  for (int i = 1; i < n; ++i) {
    const auto p = Pos(sub, s);
    if (p == 0) return 0;
    sum += p + sub.size() - 1;
    s = s.substr(p - 1 + sub.size());
  }
  const auto p = Pos(sub, s);
  return p == 0 ? 0 : sum + p;
}

std::string BeforeNth(std::string_view sub, std::string_view s, int n) {
  const auto p = NthPos(sub, s, n);
  if (p <= 1) return {};
  return std::string(s.substr(0, p - 1));
}

int CountOf(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  int count = 0;
  for (auto at = s.find(sub); at != std::string_view::npos; at = s.find(sub, at + sub.size())) ++count;
  return count;
}

std::string PadLeft(std::string_view s, std::size_t length, char c) {
  if (s.size() >= length) return std::string(s);
  return std::string(length - s.size(), c) + std::string(s);
}

std::string PadRight(std::string_view s, std::size_t length, char c) {
  std::string out(s);
  if (out.size() < length) out.append(length - out.size(), c);
  return out;
}

std::string IfThenStr(bool flag, std::string_view a, std::string_view b) { return std::string(flag ? a : b); }

std::string BoolToText(bool flag) { return IfThenStr(flag, "true", "false"); }

bool TextToBool(std::string_view s) {
  const std::string t = LowerAscii(TrimSpaces(s));
  return t == "true" || t == "yes" || t == "1" || t == "oui" || t == "y" || t == "o";
}

std::string IntToStr(std::int64_t v) { return std::to_string(v); }

bool TryStrToInt(std::string_view s, std::int32_t& out) {
  if (s.empty()) return false;
  bool negative = false;
  if (s.front() == '+' || s.front() == '-') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  std::int64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return false;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

namespace {

std::string ExePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string ExeDir() {
  const std::string path = ExePath();
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

std::string ExeName() {
  const std::string path = ExePath();
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kistora
