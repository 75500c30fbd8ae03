#include "export/export_writer.h"

#include "export/bbcode_writer.h"
#include "export/markdown_writer.h"
#include "model/colour_text.h"
#include "model/text_utils.h"

namespace kistora {

namespace {

constexpr std::string_view kEol = "\r\n";

// The unfolding script and the link style, written when UseBascule is checked.
constexpr std::string_view kScriptLines[] = {
    "<SCRIPT LANGUAGE=\"JavaScript\">",
    "function bascule(texte)",
    "{",
    "  if (texte.style.display==\"none\")",
    "  {",
    "    texte.style.display=\"\"",
    "  }",
    "  else",
    "  {",
    "    texte.style.display=\"none\"",
    "  }",
    "}",
    "</SCRIPT>",
    "<style type=\"text/css\">",
    "<!--",
    "        A:link {text-decoration: none; color: #000080}",
    "        A:visited {text-decoration: none; color: #000080}",
    "        A:active {text-decoration: none; color: #0000FF}",
    "        A:hover {text-decoration: underline; color: #0000FF}",
    "-->",
    "</style>",
    "",
};

std::string GeneratedLine(const ExportDates& dates, std::string_view caption) {
  std::string text = "Fichier g\xE9n\xE9r\xE9 le ";
  text.append(dates.ShortDate).append(" \xE0 ").append(dates.LongTime).append(" par ").append(caption);
  return text;
}

}  // namespace

ExportWriter::ExportWriter(const ExportSelection& selection, ExportSink& sink, std::string_view caption)
    : selection_(selection), settings_(selection.Settings()), sink_(sink), caption_(caption) {}

void ExportWriter::Line(std::string_view text) {
  sink_.Write(text);
  sink_.Write(kEol);
}

void ExportWriter::WritePage(const ExportDates& dates) {
  switch (settings_.Format) {
    case ExportFormat::Html:
      WriteHtmlPage(dates);
      return;
    case ExportFormat::Ascii:
      WriteTextList(dates);
      return;
    case ExportFormat::BBCode:
      WriteBBCodeList(selection_, sink_, dates);
      return;
    case ExportFormat::Markdown:
      WriteMarkdownList(selection_, sink_, dates);
      return;
  }
}

void ExportWriter::WriteHtmlPage(const ExportDates& dates) {
  row_ = 0;
  Line("<! " + GeneratedLine(dates, caption_) + ">");
  Line("<HTML>");
  Line("<HEAD><TITLE>" + settings_.PageTitle + "</TITLE></HEAD>");
  Line("<BODY BGCOLOR=" + ColorToText(settings_.PageCol) + ">");
  Line("");
  if (settings_.UseBascule) {
    for (std::string_view line : kScriptLines) Line(line);
  }
  Line("<CENTER><H2>" + settings_.PageTitle + "</H2></CENTER><P>");
  Line("");
  if (settings_.ShowMajDate) Line("<I>Derni\xE8re mise \xE0 jour le " + dates.UpdateDate + "</I>");
  Line(std::string(settings_.TabBorder ? "<TABLE WIDTH=100% BORDER BGCOLOR=" : "<TABLE WIDTH=100% BGCOLOR=") +
       ColorToText(settings_.TabCol) + ">");
  WriteSections();
  Line("</TABLE>");
  if (!TrimSpaces(settings_.Sign).empty()) Line("<P ALIGN = right><I>" + settings_.Sign + "</I></P>");
  Line("</BODY>");
  Line("</HTML>");
}

void ExportWriter::WriteTextList(const ExportDates& dates) {
  Line(GeneratedLine(dates, caption_));
  Line(settings_.PageTitle);
  Line("");
  WriteSections();
  Line("");
  if (!TrimSpaces(settings_.Sign).empty()) Line("          " + settings_.Sign);
}

void ExportWriter::WriteSections() {
  for (std::size_t s = 0; s < kExportSections.size(); ++s) {
    const ExportSection& section = kExportSections[s];
    int count = selection_.CountExported(section.Qualities[0]);
    if (section.Qualities[1] != section.Qualities[0]) count += selection_.CountExported(section.Qualities[1]);
    if (count <= 0) continue;
    WriteSectionHeader(section.Title);
    for (const TD2Item* item : selection_.SectionItems(static_cast<int>(s))) WriteItem(*item);
    if (s + 1 < kExportSections.size()) Line("");
  }
}

void ExportWriter::WriteSectionHeader(std::string_view title) {
  if (!Html()) {
    Line(title);
    return;
  }
  const int columns = settings_.ShowPrice ? 4 : 3;
  Line("<TR BGCOLOR=" + ColorToText(settings_.PTCol) + "><TH COLSPAN = " + IntToStr(columns) + ">" +
       std::string(title) + "</TH></TR>");
  Line("<TR BGCOLOR=" + ColorToText(settings_.STCol) + ">");
  Line("  <TH>Nom</TH>");
  Line("  <TH>Cat\xE9gorie</TH>");
  if (settings_.ShowPrice) Line("  <TH>Prix</TH>");
  Line("  <TH>Notes</TH>");
  Line("</TR>");
}

void ExportWriter::WriteItem(const TD2Item& item) {
  buffer_.clear();
  if (Html()) {
    WriteHtmlItem(item);
  } else {
    WriteTextItem(item);
  }
  sink_.Write(buffer_);
}

void ExportWriter::WriteTextItem(const TD2Item& item) {
  buffer_.append("  ").append(PadRight(item.Name, 30, ' '));
  if (settings_.ShowPrice) buffer_.append(PadLeft(IntToStr(item.Price), 5, ' ')).append("   ");
  buffer_.append(item.Notes).append(kEol);
}

void ExportWriter::WriteHtmlItem(const TD2Item& item) {
  ++row_;
  std::string& out = buffer_;
  if (item.Price < settings_.IIPrice) {
    out.append("<TR>").append(kEol);
  } else {
    out.append("<TR BGCOLOR=").append(ColorToText(settings_.IICol)).append(">").append(kEol);
  }

  if (TrimSpaces(item.Name).empty()) {
    out.append("  <TD>&nbsp;</TD>").append(kEol);
  } else if (settings_.UseBascule) {
    const std::string number = IntToStr(row_);
    const std::string linkText = ListedName(item, true);
    out.append("  <TD><A HREF=\"javascript:bascule(i").append(number).append(")\">").append(linkText);
    out.append("</A>").append(kEol);
    out.append("    <span id=\"i").append(number);
    out.append("\" style=\"z-index:1; overflow: visible; display:none\"><P>").append(kEol);
    AppendCharacteristics(item);
    for (const std::string_view property : item.MagicProps)
      out.append("      ").append(property).append("<BR>").append(kEol);
    out.append("    <P></span>").append(kEol);
    out.append("  </TD>").append(kEol);
  } else {
    out.append("  <TD>").append(item.Name).append("</TD>").append(kEol);
  }

  out.append("  <TD>").append(ExportCategoryLabel(item, "&nbsp")).append("</TD>").append(kEol);
  if (settings_.ShowPrice) out.append("  <TD>").append(IntToStr(item.Price)).append("</TD>").append(kEol);
  if (TrimSpaces(item.Notes).empty()) {
    out.append("  <TD>&nbsp;</TD>").append(kEol);
  } else {
    out.append("  <TD>").append(item.Notes).append("</TD>").append(kEol);
  }
  out.append("</TR>").append(kEol);
}

void ExportWriter::AppendCharacteristics(const TD2Item& item) {
  std::string& out = buffer_;
  const int written = ForEachCharacteristic(item, [&out](std::string_view label, const std::string& values) {
    out.append("      ").append(label).append(values).append("<BR>").append(kEol);
  });
  if (written > 0) out.append("      <BR>").append(kEol);
}

}  // namespace kistora
