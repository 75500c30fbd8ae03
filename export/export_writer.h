// The two trading-list writers: the HTML page (optionally with the script that
// unfolds each item's characteristics) and the plain-text list. Both write
// Windows-1252 bytes, CR LF after every line, and escape nothing.
#pragma once

#include <string>
#include <string_view>

#include "export/export_dates.h"
#include "export/export_selection.h"
#include "export/export_settings.h"
#include "model/items.h"

namespace kistora {

// The main window's caption, named in the first line of every list.
inline constexpr std::string_view kExportCaption = "Kistora";

// Where the writers put their bytes.
class ExportSink {
 public:
  virtual ~ExportSink() = default;
  virtual void Write(std::string_view text) = 0;
};

// Collects everything in memory (tests, previews).
class StringSink : public ExportSink {
 public:
  void Write(std::string_view text) override { Text.append(text); }
  std::string Text;
};

// The "Catégorie" cell: the category label in its export spelling ("Joyaux" for
// jewels), or fallback for a bare item (TD2Item, TD2DefItem).
std::string ExportCategoryLabel(const TD2Item& item, std::string_view fallback);

class ExportWriter {
 public:
  // The format (HTML or text) is the one of selection's settings. selection and
  // sink must outlive the writer.
  ExportWriter(const ExportSelection& selection, ExportSink& sink, std::string_view caption = kExportCaption);

  // The whole HTML page or text list, whichever the settings ask for.
  void WritePage(const ExportDates& dates);
  void WriteHtmlPage(const ExportDates& dates);
  void WriteTextList(const ExportDates& dates);

  // The four quality sections; a section with no exported item is left out,
  // and each of the first three written is followed by an empty line.
  void WriteSections();
  // HTML: the title row and the column-heading row; text: the title alone.
  void WriteSectionHeader(std::string_view title);
  // HTML: one table row (numbered "i1", "i2"... across sections); text: one line.
  void WriteItem(const TD2Item& item);

  // Number of the last HTML row written (0 before the first).
  int RowNumber() const { return row_; }

 private:
  bool Html() const { return settings_.Format == ExportFormat::Html; }
  void Line(std::string_view text);
  void WriteHtmlItem(const TD2Item& item);
  void WriteTextItem(const TD2Item& item);
  void AppendCharacteristics(const TD2Item& item);

  const ExportSelection& selection_;
  const ExportSettings& settings_;
  ExportSink& sink_;
  std::string caption_;
  int row_ = 0;
  std::string buffer_;  // one item's lines, handed to the sink at once
};

}  // namespace kistora
