// Where the trading-list writers put their bytes.
#pragma once

#include <string>
#include <string_view>

namespace kistora {

class ExportSink {
 public:
  virtual ~ExportSink() = default;
  virtual void Write(std::string_view text) = 0;
};

// Collects everything in memory (the clipboard, standard output, tests).
class StringSink : public ExportSink {
 public:
  void Write(std::string_view text) override { Text.append(text); }
  std::string Text;
};

}  // namespace kistora
