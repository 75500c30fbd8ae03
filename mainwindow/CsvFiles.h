// "Exporter en CSV…" and "Importer un CSV…" of the main window's Fichier menu:
// where the file is chosen, and what becomes of it (the item database written
// for a spreadsheet, or the items of a file added in one step of the history).
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace kistora {

class TCatalogue;
class CatalogueHistory;

// Save and open dialogs starting in the data folder; nothing when cancelled.
std::optional<QString> PickCsvToWrite(QWidget* parent);
std::optional<QString> PickCsvToRead(QWidget* parent);

// Writes the item database to path through the safe save; a failure is told in a box.
void WriteItemsCsv(QWidget* parent, const TCatalogue& catalogue, const QString& path);
// Adds the items of the file at path with new numbers, all or nothing, as one
// step of history (none when null); every bad line, or what was added, is told in a box.
void ReadItemsCsv(QWidget* parent, TCatalogue& catalogue, CatalogueHistory* history, const QString& path);

}  // namespace kistora
