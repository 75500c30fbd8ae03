#include "mainwindow/CsvFiles.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <string>
#include <string_view>
#include <utility>

#include "gui/FileMessages.h"
#include "gui/Platform.h"
#include "gui/QtText.h"
#include "model/catalogue.h"
#include "model/catalogue_history.h"
#include "model/item_counts.h"
#include "storage/file_error.h"
#include "storage/items_csv.h"

namespace kistora {

namespace {

const QString kCsvFilter = QStringLiteral("Fichiers CSV (*.csv);;Tous les fichiers (*)");

QString DataFolder() { return QFile::decodeName(CurrentPlatform().DataDir.c_str()); }

}  // namespace

std::optional<QString> PickCsvToWrite(QWidget* parent) {
  const QString chosen =
      QFileDialog::getSaveFileName(parent, QString::fromUtf8("Exporter en CSV"), DataFolder() + "kistora.csv",
                                   kCsvFilter, nullptr, QFileDialog::DontUseNativeDialog);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

std::optional<QString> PickCsvToRead(QWidget* parent) {
  const QString chosen = QFileDialog::getOpenFileName(parent, QString::fromUtf8("Importer un CSV"), DataFolder(),
                                                      kCsvFilter, nullptr, QFileDialog::DontUseNativeDialog);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

void WriteItemsCsv(QWidget* parent, const TCatalogue& catalogue, const QString& path) {
  try {
    // The items for a spreadsheet (UTF-8, one column per field), through the safe save.
    SaveItemsCsv(catalogue, QFile::encodeName(path).toStdString());
  } catch (const EFileError& failure) {
    CurrentPlatform().Messages->FileError(parent, FileFailureText(failure));
  }
}

void ReadItemsCsv(QWidget* parent, TCatalogue& catalogue, CatalogueHistory* history, const QString& path) {
  MessageService* messages = CurrentPlatform().Messages;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    messages->FileError(parent, FileFailureText(FileAction::Open, QFile::encodeName(path).toStdString()));
    return;
  }
  const QByteArray bytes = file.readAll();
  CsvItems read = ItemsFromCsv(std::string_view(bytes.constData(), bytes.size()));
  // All or nothing, as kistora-cli import-csv: every bad line is told.
  if (!read.problems.empty()) {
    constexpr std::size_t kLinesShown = 12;
    QString text = QString::fromUtf8("Rien n'a été importé : %1 ligne(s) de %2 sont incorrectes.\n")
                       .arg(read.problems.size())
                       .arg(QFileInfo(path).fileName());
    for (std::size_t i = 0; i < read.problems.size() && i < kLinesShown; ++i) {
      text += QString::fromUtf8("\nligne %1 : ").arg(read.problems[i].line) + QtText(read.problems[i].reason);
    }
    if (read.problems.size() > kLinesShown) text += QString::fromUtf8("\n…");
    messages->Error(parent, text);
    return;
  }
  const std::size_t count = read.items.size();
  if (count == 0) {
    messages->Message(parent, QStringLiteral("Kistora"), QString::fromUtf8("Ce fichier ne contient aucun objet."));
    return;
  }
  const std::string words = GroupedNumber(static_cast<std::int64_t>(count)) + (count > 1 ? " objets" : " objet");
  {
    // One step of the history, however many items.
    CatalogueHistory::Group step(history, "Import de " + words + " (" + Cp1252Text(QFileInfo(path).fileName()) + ")");
    AddWithNewNumbers(catalogue, std::move(read.items));
  }
  messages->Message(parent, QStringLiteral("Kistora"),
                    QtText(words) + (count > 1 ? QString::fromUtf8(" ajoutés") : QString::fromUtf8(" ajouté")) +
                        QString::fromUtf8(" à la base d'objets."));
}

}  // namespace kistora
