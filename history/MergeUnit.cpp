#include "history/MergeUnit.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "gui/Platform.h"
#include "gui/QtText.h"
#include "merge/catalogue_merge.h"
#include "merge/folder_sync.h"
#include "merge/merge_inputs.h"
#include "model/catalogue.h"

using kistora::CurrentPlatform;
using kistora::QtText;

TMergeCatalogue::TMergeCatalogue(kistora::TCatalogue& catalogue, kistora::CatalogueHistory* history, QObject* parent)
    : QObject(parent), catalogue_(catalogue), history_(history) {}

std::optional<QString> TMergeCatalogue::PickCatalogueWithDialog(QWidget* parent) {
  const QString chosen = QFileDialog::getOpenFileName(
      parent, QString::fromUtf8("Fusionner un catalogue"), QFile::decodeName(CurrentPlatform().DataDir.c_str()),
      QString::fromUtf8("Bases de Kistora (*.kdb *.conflict*);;Tous les fichiers (*)"), nullptr,
      QFileDialog::DontUseNativeDialog);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

void TMergeCatalogue::Execute(QWidget* parent) {
  const std::optional<QString> chosen = PickCatalogue(parent);
  if (!chosen) return;
  CurrentPlatform().Messages->Message(parent, QStringLiteral("Kistora"), MergeFrom(*chosen));
}

QString TMergeCatalogue::MergeFrom(const QString& path) {
  // items.kdb or chars.kdb chosen: the folder that holds both.
  const QFileInfo info(path);
  const QString named = info.fileName() == QStringLiteral("items.kdb") || info.fileName() == QStringLiteral("chars.kdb")
                            ? info.absolutePath()
                            : path;
  const kistora::CatalogueVersion ours = kistora::VersionOf(catalogue_);
  kistora::CatalogueVersion theirs;
  const std::string problem = kistora::ReadOtherVersion(QFile::encodeName(named).toStdString(), ours, theirs);
  if (!problem.empty()) return QtText(problem) + QString::fromUtf8(" : rien n'a été fusionné.");
  const kistora::MergeResult merged = kistora::MergeCatalogues(kistora::MergeBase{}, ours, theirs);
  std::string words = kistora::TakeInSummary(ours, merged.Merged, merged.Report);
  // "Catalogue mis à jour depuis le disque" is the words of a take-in: a merge names its source.
  const std::string from = "Fusion de " + kistora::Cp1252Text(QFileInfo(named).fileName());
  const std::size_t colon = words.find(" : ");
  words = from + (colon == std::string::npos ? std::string(" : rien de nouveau") : words.substr(colon));
  kistora::PutVersion(catalogue_, history_, ours, merged.Merged, words);
  QString text = QtText(words) + QLatin1Char('.');
  for (const kistora::MergeReport::Conflict& c : merged.Report.ItemConflicts) {
    text += QString::fromUtf8("\nL'objet %1 a deux versions : l'autre est l'objet %2 (cherchez « conflit »).")
                .arg(c.Ours)
                .arg(c.Theirs);
  }
  for (const kistora::MergeReport::Renumbered& r : merged.Report.ItemsRenumbered) {
    text += QString::fromUtf8("\nL'objet %1 de l'autre catalogue est devenu l'objet %2.").arg(r.Was).arg(r.Now);
  }
  return text;
}
