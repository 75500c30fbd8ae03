// "Fusionner un catalogue…": another catalogue (a folder, or one database file
// such as a sync tool's conflict copy or a file sent by mail) merged into this
// one, nothing deleted (its origin is unknown), as one step of the history;
// what was added, changed and put in conflict is then told in a box.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace kistora {
class TCatalogue;
class CatalogueHistory;
}  // namespace kistora

class TMergeCatalogue : public QObject {
  Q_OBJECT
 public:
  TMergeCatalogue(kistora::TCatalogue& catalogue, kistora::CatalogueHistory* history, QObject* parent = nullptr);

  // Asks for the other catalogue, merges it and tells what it did.
  void Execute(QWidget* parent);
  // Merges the catalogue at path; the text to tell (a failure's too).
  QString MergeFrom(const QString& path);

  // Where the other catalogue is (a file dialog); replaceable so that tests can answer it.
  // A file named items.kdb or chars.kdb stands for its whole folder.
  std::function<std::optional<QString>(QWidget* parent)> PickCatalogue = PickCatalogueWithDialog;
  static std::optional<QString> PickCatalogueWithDialog(QWidget* parent);

 private:
  kistora::TCatalogue& catalogue_;
  kistora::CatalogueHistory* history_;
};
