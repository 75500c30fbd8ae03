// The trading list for a forum post, in forum markup (BBCode): the page title
// and section titles in bold, one list per section, each item a line with its
// price first (where a reader's eye finds it), its name bold in its quality's
// colour, its category and notes, and its characteristics and property lines
// in a list under it. UTF-8, CR LF after every line; every item text escaped.
#pragma once

#include "export/export_dates.h"
#include "export/export_selection.h"
#include "export/export_sink.h"

namespace kistora {

// The same sections, order, title, signature, price column and set titles as
// the HTML page; the update date with ShowMajDate, the characteristics with
// UseBascule. Colours, border and highlighting are the HTML page's own.
void WriteBBCodeList(const ExportSelection& selection, ExportSink& sink, const ExportDates& dates);

}  // namespace kistora
