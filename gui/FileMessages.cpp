#include "gui/FileMessages.h"

#include <QFile>
#include <stdexcept>
#include <string_view>

#include "gui/QtText.h"
#include "storage/catalogue_store.h"

namespace kistora {

namespace {

// Paths are the file system's names, UTF-8 on disk.
QString PathText(const std::string& path) { return QFile::decodeName(path.c_str()); }

// "12 objets ont pu être lus", "1 personnage a pu être lu", "aucun objet n'a pu être lu".
QString RecordsRead(std::size_t count, DatabaseKind kind) {
  const QString noun = kind == DatabaseKind::Items ? QStringLiteral("objet") : QStringLiteral("personnage");
  if (count == 0) return QString::fromUtf8("aucun %1 n'a pu être lu").arg(noun);
  if (count == 1) return QString::fromUtf8("1 %1 a pu être lu").arg(noun);
  return QString::fromUtf8("%1 %2s ont pu être lus").arg(count).arg(noun);
}

QString KeepingPromise(const std::string& keptAs) {
  // Changes are saved as they are made: the first save, and so the copy, comes
  // with the first change, or at the close when nothing changes.
  const QString when = QString::fromUtf8(
      " avant le premier enregistrement du catalogue : dès votre premier changement, ou à la fermeture.");
  if (keptAs.empty()) return QString::fromUtf8(" L'original sera conservé à côté, sous un autre nom,") + when;
  return QString::fromUtf8(" L'original sera conservé sous le nom %1").arg(PathText(keptAs)) + when;
}

}  // namespace

QString FileFailureText(FileAction action, const std::string& path) {
  return QtText(FileActionWords(action)) + PathText(path) + QLatin1Char('.');
}

QString FileFailureText(const EFileError& failure) { return FileFailureText(failure.Action, failure.Path); }

QString StartupReadText(const StartupRead& read, DatabaseKind kind, const std::string& keptAs) {
  const QString path = PathText(read.Path);
  const QString base =
      kind == DatabaseKind::Items ? QStringLiteral("une base d'objets") : QStringLiteral("une base de personnages");
  switch (read.State) {
    case StartupReadState::Clean:
      return {};
    case StartupReadState::Missing:
      return FileFailureText(FileAction::Open, read.Path);
    case StartupReadState::Folder:
      return QString::fromUtf8(
                 "Un dossier porte le nom du fichier %1 : rien n'a pu être lu, et Kistora ne pourra rien "
                 "enregistrer sous ce nom tant que ce dossier sera là. Déplacez-le ou renommez-le.")
          .arg(path);
    case StartupReadState::Unopenable:
      return FileFailureText(FileAction::Open, read.Path) + QString::fromUtf8(" Rien n'a pu être lu.") +
             KeepingPromise(keptAs);
    case StartupReadState::BadMagic:
      return QString::fromUtf8("Le fichier %1 n'est pas reconnu comme %2 : rien n'a pu être lu.").arg(path, base) +
             KeepingPromise(keptAs);
    case StartupReadState::BadVersion:
      return QString::fromUtf8("Le fichier %1 est d'une version inconnue : rien n'a pu être lu.").arg(path) +
             KeepingPromise(keptAs);
    case StartupReadState::Damaged:
      return QString::fromUtf8("Le fichier %1 est endommagé : %2.").arg(path, RecordsRead(read.RecordsKept, kind)) +
             KeepingPromise(keptAs);
  }
  return {};
}

QString SaveFailureText(const SaveFailure& failure) {
  if (failure.FolderInTheWay) {
    return QString::fromUtf8(
               "Impossible d'enregistrer le fichier %1 : un dossier porte ce nom. Rien n'a été remplacé, et "
               "Kistora reste ouvert. Déplacez ou renommez ce dossier, puis fermez de nouveau.")
        .arg(PathText(failure.Path));
  }
  if (failure.KeepFailed) return KeepFailureText(failure.Path);
  return FileFailureText(failure.Action, failure.Path);
}

QString KeepFailureText(const std::string& path) {
  return QString::fromUtf8(
             "Impossible de conserver une copie du fichier endommagé %1 : il n'a pas été "
             "remplacé, et Kistora reste ouvert. Libérez de la place ou déplacez ce fichier, "
             "puis fermez de nouveau.")
      .arg(PathText(path));
}

}  // namespace kistora

namespace kistora {

QString ConflictKeptText(const std::string& path, const std::string& keptAs) {
  return QString::fromUtf8(
             "Le fichier %1 a été modifié par un autre programme depuis que Kistora l'a lu : cette autre "
             "version est conservée sous le nom %2, et le fichier contient maintenant le catalogue de Kistora.")
      .arg(PathText(path), PathText(keptAs));
}

}  // namespace kistora
