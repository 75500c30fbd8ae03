// The item database as CSV for spreadsheets: RFC 4180 (fields separated by
// commas, quoted when needed, CR LF line ends), UTF-8 with a byte order mark so
// that spreadsheets show the accents, a header line, then one line per item with
// one column per field; magic properties are joined by " | " (a "|" inside a
// property is doubled).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/catalogue.h"

namespace kistora {

// The header's column names in file order (Windows-1252).
const std::vector<std::string>& ItemsCsvColumns();

// The whole file: byte order mark, header, one line per item of ItemList in order.
std::string ItemsToCsv(const TCatalogue& catalogue);

// Writes ItemsToCsv to path through the safe save (the previous file stays whole
// until the new one is complete). Raises EFileError "Impossible de créer le
// fichier <path>" on failure. This is what "Exporter en CSV…" calls.
void SaveItemsCsv(const TCatalogue& catalogue, const std::string& path);

// A line that cannot become an item: its line number in the file (where the
// record starts, counting from 1 with the header) and the reason in French
// (Windows-1252).
struct CsvProblem {
  int line = 0;
  std::string reason;
};

// Every line of a CSV file read as items, all or nothing: when any line has a
// problem, items is empty and problems lists every bad line. Numbers in the "Numéro" column
// are not kept: every item gets a new one when it is added. Lines separated by
// semicolons (as some spreadsheets write them) are read as well; empty lines
// are skipped.
struct CsvItems {
  std::vector<std::unique_ptr<TD2Item>> items;
  std::vector<CsvProblem> problems;
};
CsvItems ItemsFromCsv(std::string_view bytes);

// Appends the items to the catalogue, each with a new number (AddNewItem, one by one).
void AddWithNewNumbers(TCatalogue& catalogue, std::vector<std::unique_ptr<TD2Item>> items);

}  // namespace kistora
