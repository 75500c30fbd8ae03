#include "export/bbcode_writer.h"

#include <string>
#include <string_view>

#include "export/listed_item.h"
#include "export/markup_text.h"
#include "model/text_utils.h"

namespace kistora {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kJoin = " \xC2\xB7 ";  // " · "

void Join(std::string& line, std::string_view piece) {
  if (piece.empty()) return;
  if (line.size() > 3) line.append(kJoin);  // something after "[*]" already
  line.append(piece);
}

// One "[*]" line: price, coloured name, category, notes; then the sub-list.
void AppendItem(std::string& out, const TD2Item& item, const ExportSettings& settings) {
  std::string line = "[*]";
  if (settings.ShowPrice) Join(line, "[b]" + IntToStr(item.Price) + "[/b]");
  const bool named = !TrimSpaces(item.Name).empty();
  if (named) {
    Join(line, "[color=" + std::string(BBCodeQualityColour(item.Quality)) + "][b]" +
                   BBCodeText(ListedName(item, settings.UseBascule)) + "[/b][/color]");
  }
  Join(line, BBCodeText(ExportCategoryLabel(item, "")));
  if (!TrimSpaces(item.Notes).empty()) Join(line, BBCodeText(item.Notes));
  out.append(line).append(kEol);

  // As on the page, a blank name unfolds nothing.
  if (!named || !settings.UseBascule) return;
  std::string lines;
  ForEachCharacteristic(item, [&lines](std::string_view label, const std::string& values) {
    lines.append("[*]").append(BBCodeText(std::string(label) + values)).append(kEol);
  });
  for (const std::string_view property : item.MagicProps) {
    if (!TrimSpaces(property).empty()) lines.append("[*]").append(BBCodeText(property)).append(kEol);
  }
  if (!lines.empty()) out.append("[list]").append(kEol).append(lines).append("[/list]").append(kEol);
}

}  // namespace

void WriteBBCodeList(const ExportSelection& selection, ExportSink& sink, const ExportDates& dates) {
  const ExportSettings& settings = selection.Settings();
  std::string out;
  if (const std::string title = TrimSpaces(settings.PageTitle); !title.empty())
    out.append("[b]").append(BBCodeText(title)).append("[/b]").append(kEol);
  if (settings.ShowMajDate) {
    out.append("[i]").append(BBCodeText("Derni\xE8re mise \xE0 jour le " + dates.UpdateDate)).append("[/i]");
    out.append(kEol);
  }
  sink.Write(out);
  for (std::size_t s = 0; s < kExportSections.size(); ++s) {
    const auto& items = selection.SectionItems(static_cast<int>(s));
    if (items.empty()) continue;
    out.assign(kEol).append("[b]").append(kExportSections[s].Title).append("[/b]").append(kEol);
    out.append("[list]").append(kEol);
    sink.Write(out);
    for (const TD2Item* item : items) {
      out.clear();
      AppendItem(out, *item, settings);
      sink.Write(out);
    }
    sink.Write("[/list]");
    sink.Write(kEol);
  }
  if (const std::string sign = TrimSpaces(settings.Sign); !sign.empty()) {
    out.assign(kEol).append("[i]").append(BBCodeText(sign)).append("[/i]").append(kEol);
    sink.Write(out);
  }
}

}  // namespace kistora
