#include "gui/FolderWatch.h"

#include <QApplication>
#include <QFile>
#include <QFileSystemWatcher>
#include <QTimer>
#include <chrono>

#include "gui/QtText.h"

namespace kistora {

namespace {

constexpr int kPollMs = 1000;   // the fallback look, for changes a watch misses
constexpr int kSettleMs = 400;  // a folder still for this long is done changing

QString QtPath(const std::string& path) { return QFile::decodeName(path.c_str()); }

}  // namespace

FolderWatch::FolderWatch(FolderSync& sync, const std::string& dataDir, QObject* parent) : QObject(parent), sync_(sync) {
  MustWait = [] {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr;
  };
  watcher_ = new QFileSystemWatcher(this);
  watcher_->addPath(QtPath(dataDir));
  poll_ = new QTimer(this);
  poll_->setInterval(kPollMs);
  settle_ = new QTimer(this);
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(poll_, &QTimer::timeout, this, &FolderWatch::Look);
  connect(settle_, &QTimer::timeout, this, &FolderWatch::Look);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_->start(); });
}

void FolderWatch::Start() {
  poll_->start();
  // What a sync tool left while the program was closed is taken in now.
  QTimer::singleShot(0, this, &FolderWatch::Look);
}

void FolderWatch::Look() {
  TellTrouble();
  FolderLook look = sync_.LookAtFolder();
  if (!sync_.HasNews(look)) {
    last_.reset();
    return;
  }
  // Taken in once two looks a moment apart agree and no sync tool is writing.
  const bool still = last_ && *last_ == look && !look.SyncToolWriting;
  last_ = std::move(look);
  if (!still) {
    settle_->start();
    return;
  }
  if (MustWait && MustWait()) return;  // the next look tries again
  TakeInNow();
}

bool FolderWatch::TakeInNow() {
  emit aboutToTakeIn();
  const TakeInOutcome outcome = sync_.TakeIn();
  last_.reset();
  // One line: what came in, and the sync tool's conflict copies merged and put away.
  QString line = QtText(outcome.Summary);
  if (!outcome.CopiesMerged.empty()) {
    QStringList names;
    for (const std::string& name : outcome.CopiesMerged) names << QFile::decodeName(name.c_str());
    line += (line.isEmpty() ? QString::fromUtf8("Rien de nouveau dans ") : QString::fromUtf8(" — depuis "));
    line +=
        (names.size() > 1 ? QString::fromUtf8("les copies de conflit ") : QString::fromUtf8("la copie de conflit ")) +
        names.join(QStringLiteral(", ")) + QString::fromUtf8(", rangée(s) dans backups/merged");
  }
  emit takenIn(line);
  for (const std::string& path : outcome.NotMoved) {
    emit trouble(QString::fromUtf8("La copie de conflit %1 est fusionnée mais n'a pu être rangée dans backups/merged.")
                     .arg(QtPath(path)));
  }
  return outcome.Changed;
}

void FolderWatch::TellTrouble() {
  for (const std::string& path : sync_.TroubleToTell(std::chrono::steady_clock::now())) {
    emit trouble(QString::fromUtf8("%1 ne peut être lu en entier : il reste tel quel (une copie est gardée) et le "
                                   "catalogue continue sans lui.")
                     .arg(QtPath(path)));
  }
}

}  // namespace kistora
