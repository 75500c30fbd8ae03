#include "export/markdown_writer.h"

#include <string>
#include <string_view>

#include "export/listed_item.h"
#include "export/markup_text.h"
#include "model/text_utils.h"

namespace kistora {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kJoin = " \xC2\xB7 ";  // " · "

// The name in bold, then what unfolds under it on the page, on one line.
std::string NameCell(const TD2Item& item, bool unfolding) {
  if (TrimSpaces(item.Name).empty()) return {};  // as on the page, a blank name unfolds nothing
  std::string cell = "**" + MarkdownText(ListedName(item, unfolding)) + "**";
  if (!unfolding) return cell;
  ForEachCharacteristic(item, [&cell](std::string_view label, const std::string& values) {
    cell.append(kJoin).append(MarkdownText(std::string(label) + values));
  });
  for (const std::string_view property : item.MagicProps) {
    if (!TrimSpaces(property).empty()) cell.append(kJoin).append(MarkdownText(property));
  }
  return cell;
}

std::string TableHead(bool showPrice) {
  std::string head = "| Nom | Cat\xC3\xA9gorie | Qualit\xC3\xA9 |";
  if (showPrice) head += " Prix |";
  head.append(" Notes |").append(kEol);
  head += "| --- | --- | --- |";
  if (showPrice) head += " ---: |";
  head.append(" --- |").append(kEol);
  return head;
}

std::string TableRow(const TD2Item& item, const ExportSettings& settings) {
  std::string row = "| " + NameCell(item, settings.UseBascule);
  row.append(" | ").append(MarkdownText(ExportCategoryLabel(item, "")));
  row.append(" | ").append(MarkdownText(QualityLabel(item.Quality)));
  if (settings.ShowPrice) row.append(" | ").append(IntToStr(item.Price));
  row.append(" | ").append(MarkdownText(item.Notes)).append(" |").append(kEol);
  return row;
}

}  // namespace

void WriteMarkdownList(const ExportSelection& selection, ExportSink& sink, const ExportDates& dates) {
  const ExportSettings& settings = selection.Settings();
  std::string out;
  if (const std::string title = TrimSpaces(settings.PageTitle); !title.empty())
    out.append("# ").append(MarkdownText(title)).append(kEol);
  if (settings.ShowMajDate) {
    out.append(kEol).append("*").append(MarkdownText("Derni\xE8re mise \xE0 jour le " + dates.UpdateDate)).append("*");
    out.append(kEol);
  }
  sink.Write(out);
  const std::string head = TableHead(settings.ShowPrice);
  for (std::size_t s = 0; s < kExportSections.size(); ++s) {
    const auto& items = selection.SectionItems(static_cast<int>(s));
    if (items.empty()) continue;
    out.assign(kEol).append("## ").append(kExportSections[s].Title).append(kEol).append(kEol).append(head);
    sink.Write(out);
    for (const TD2Item* item : items) sink.Write(TableRow(*item, settings));
  }
  if (const std::string sign = TrimSpaces(settings.Sign); !sign.empty()) {
    out.assign(kEol).append("*").append(MarkdownText(sign)).append("*").append(kEol);
    sink.Write(out);
  }
}

}  // namespace kistora
