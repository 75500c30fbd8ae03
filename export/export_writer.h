// The trading-list writers of the page to publish, the HTML page (optionally
// with the script that unfolds each item's characteristics), and of the
// plain-text list: both write Windows-1252 bytes, CR LF after every line, and
// escape nothing. WritePage also hands the lists to paste (forum markup,
// Markdown) to their own writers.
#pragma once

#include <string>
#include <string_view>

#include "export/export_dates.h"
#include "export/export_selection.h"
#include "export/export_settings.h"
#include "export/export_sink.h"
#include "export/listed_item.h"
#include "model/items.h"

namespace kistora {

// The main window's caption, named in the first line of every list.
inline constexpr std::string_view kExportCaption = "Kistora";

class ExportWriter {
 public:
  // The format (HTML or text) is the one of selection's settings. selection and
  // sink must outlive the writer.
  ExportWriter(const ExportSelection& selection, ExportSink& sink, std::string_view caption = kExportCaption);

  // The whole list in the format the settings ask for.
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
