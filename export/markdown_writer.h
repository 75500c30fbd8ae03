// The trading list for a chat or a site that takes Markdown: the page title as
// a heading, one heading and one table per section (name, category, quality,
// price when shown, notes), the characteristics and property lines in the name
// cell joined by " · ". UTF-8, CR LF after every line; every item text escaped.
#pragma once

#include "export/export_dates.h"
#include "export/export_selection.h"
#include "export/export_sink.h"

namespace kistora {

// The same sections, order, title, signature, price column and set titles as
// the HTML page; the update date with ShowMajDate, the characteristics with
// UseBascule. Colours, border and highlighting are the HTML page's own.
void WriteMarkdownList(const ExportSelection& selection, ExportSink& sink, const ExportDates& dates);

}  // namespace kistora
