#include "history/RestoreUnit.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/WindowPlacement.h"
#include "model/catalogue_history.h"
#include "model/item_counts.h"
#include "storage/daily_backups.h"

using kistora::QtText;

namespace {

enum Column { kDate, kItems, kChars, kState };

QString Grouped(std::size_t count) { return QtText(kistora::GroupedNumber(static_cast<std::int64_t>(count))); }

// "84 Mo": a file's size as the tooltip gives it while the day is read.
QString Size(std::optional<std::uint64_t> bytes) {
  if (!bytes) return QStringLiteral("absent");
  if (*bytes < 1024 * 1024) return Grouped(static_cast<std::size_t>((*bytes + 1023) / 1024)) + QStringLiteral(" ko");
  return Grouped(static_cast<std::size_t>((*bytes + 512 * 1024) / (1024 * 1024))) + QStringLiteral(" Mo");
}

}  // namespace

TRestore::TRestore(kistora::TCatalogue& catalogue, kistora::CatalogueHistory* history, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue), history_(history) {
  setObjectName(QStringLiteral("Restore"));
  setWindowTitle(QStringLiteral("Restaurer une sauvegarde"));
  resize(460, 460);
  auto* intro =
      new QLabel(QString::fromUtf8("Chaque jour, avant le premier enregistrement, Kistora copie les deux bases dans le "
                                   "dossier backups. Choisissez le jour à remettre :"),
                 this);
  intro->setWordWrap(true);
  Backups = new QTreeWidget(this);
  Backups->setObjectName(QStringLiteral("Backups"));
  Backups->setAccessibleName(QStringLiteral("Sauvegardes"));
  Backups->setRootIsDecorated(false);
  Backups->setUniformRowHeights(true);
  Backups->setHeaderLabels(
      {QStringLiteral("Date"), QStringLiteral("Objets"), QStringLiteral("Personnages"), QString::fromUtf8("État")});
  Backups->header()->resizeSection(kDate, 150);
  Backups->header()->resizeSection(kItems, 80);
  Backups->header()->resizeSection(kChars, 90);
  Preview = new QLabel(this);
  Preview->setObjectName(QStringLiteral("Preview"));
  Preview->setWordWrap(true);
  Preview->setMinimumHeight(Preview->fontMetrics().lineSpacing() * 4);
  Preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Changes = new QPlainTextEdit(this);
  Changes->setObjectName(QStringLiteral("Changes"));
  Changes->setReadOnly(true);
  Changes->setLineWrapMode(QPlainTextEdit::NoWrap);
  changesLabel_ = new QLabel(QString::fromUtf8("Détail des changements :"), this);
  changesLabel_->setBuddy(Changes);
  RestoreButton = new QPushButton(QStringLiteral("Restaurer"), this);
  RestoreButton->setObjectName(QStringLiteral("RestoreButton"));
  Cancel = new QPushButton(QStringLiteral("Annuler"), this);
  Cancel->setObjectName(QStringLiteral("Cancel"));
  RestoreButton->setDefault(true);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  buttons->addWidget(RestoreButton);
  buttons->addWidget(Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(Backups, 1);
  layout->addWidget(Preview);
  layout->addWidget(changesLabel_);
  layout->addWidget(Changes, 1);
  ShowChanges(QString());
  layout->addLayout(buttons);

  connect(Backups, &QTreeWidget::itemSelectionChanged, this, &TRestore::DayChosen);
  connect(Backups, &QTreeWidget::itemDoubleClicked, this, [this] { RestoreClick(); });
  connect(RestoreButton, &QPushButton::clicked, this, &TRestore::RestoreClick);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TRestore::~TRestore() { reader_.reset(); }  // before the members its reports reach

void TRestore::Execute() {
  const std::string& dataDir = kistora::CurrentPlatform().DataDir;
  if (!reader_ || readerDir_ != dataDir) {
    reader_.reset();
    readerDir_ = dataDir;
    // Each day read is reported from the reader's thread, and shown from this one.
    reader_ = std::make_unique<kistora::BackupReader>(
        dataDir, [this](const kistora::BackupDay& day, std::unique_ptr<kistora::TCatalogue> catalogue) {
          std::shared_ptr<kistora::TCatalogue> read(std::move(catalogue));
          QMetaObject::invokeMethod(
              this, [this, day, read] { DayRead(day, read); }, Qt::QueuedConnection);
        });
  }
  FillBackups();
  // Beside the main window, whose lists show what the restore changes.
  kistora::PlaceBeside(*this, parentWidget());
  exec();
  reader_->Cancel();  // the day being read finishes in the background
  chosen_.reset();    // a backup read for nothing is not kept
  chosenDate_.clear();
  chosenVersion_.clear();
  days_.clear();
  read_.clear();
}

void TRestore::WaitForReads() {
  if (reader_) reader_->WaitIdle();
  QCoreApplication::sendPostedEvents(this);
}

void TRestore::FillBackups() {
  // What the folder tells at once; the files are read in the background, most recent day first.
  days_ = kistora::ListBackupDays(kistora::CurrentPlatform().DataDir);
  read_.assign(days_.size(), false);
  chosen_.reset();
  chosenDate_.clear();
  Backups->clear();
  std::vector<kistora::BackupReader::Day> toRead;
  for (const kistora::BackupDayFiles& day : days_) {
    auto* row = new QTreeWidgetItem(Backups);
    // A sync tool's other version of a day (two machines backed it up apart) is listed as such.
    row->setText(kDate, QtText(kistora::BackupDateText(day.Date)) +
                            (day.Version.empty() ? QString() : QStringLiteral(" (autre version)")));
    row->setTextAlignment(kItems, Qt::AlignRight | Qt::AlignVCenter);
    row->setTextAlignment(kChars, Qt::AlignRight | Qt::AlignVCenter);
    row->setToolTip(kState, QtText(kistora::BackupFileName("items.kdb", day.Date, day.Version) + " : ") +
                                Size(day.ItemsBytes) +
                                QtText(", " + kistora::BackupFileName("chars.kdb", day.Date, day.Version) + " : ") +
                                Size(day.CharsBytes));
    if (day.Incomplete()) {
      // Without one of its files a day cannot be chosen, whatever the other holds.
      row->setText(kState, QString::fromUtf8("incomplète"));
      row->setFlags(Qt::NoItemFlags);
    } else {
      row->setText(kItems, QString::fromUtf8("…"));
      row->setText(kChars, QString::fromUtf8("…"));
      row->setText(kState, QString::fromUtf8("vérification…"));
      toRead.push_back({day.Date, day.Version});
    }
  }
  reader_->Cancel();
  reader_->Check(toRead);
  Preview->setText(days_.empty() ? QString::fromUtf8("Aucune sauvegarde pour l'instant : la première est faite au "
                                                     "premier enregistrement du jour.")
                                 : QString());
  ShowChanges(QString());
  RestoreButton->setEnabled(false);
  Backups->setFocus();
}

int TRestore::RowOf(const std::string& date, const std::string& version) const {
  for (std::size_t row = 0; row < days_.size(); ++row) {
    if (days_[row].Date == date && days_[row].Version == version) return static_cast<int>(row);
  }
  return -1;
}

void TRestore::DayRead(const kistora::BackupDay& day, const std::shared_ptr<kistora::TCatalogue>& catalogue) {
  const int index = RowOf(day.Date, day.Version);
  if (!isVisible() || index < 0) return;  // a read of an earlier showing of the dialog
  read_[static_cast<std::size_t>(index)] = true;
  QTreeWidgetItem* row = Backups->topLevelItem(index);
  row->setText(kItems,
               day.Items.State == kistora::StartupReadState::Clean ? Grouped(day.Items.RecordsKept) : QString());
  row->setText(kChars,
               day.Chars.State == kistora::StartupReadState::Clean ? Grouped(day.Chars.RecordsKept) : QString());
  row->setText(kState, QtText(kistora::BackupDayState(day)));
  row->setToolTip(
      kState,
      QtText(day.Items.Path.substr(day.Items.Path.rfind('/') + 1) + " : " + kistora::BackupFileState(day.Items) + ", " +
             day.Chars.Path.substr(day.Chars.Path.rfind('/') + 1) + " : " + kistora::BackupFileState(day.Chars)));
  // A day that did not read whole cannot be chosen.
  if (!day.Usable()) row->setFlags(Qt::NoItemFlags);
  if (day.Date != chosenDate_ || day.Version != chosenVersion_) return;
  if (!day.Usable()) {
    Preview->setText(QString::fromUtf8("Cette sauvegarde ne se lit pas entièrement : elle ne peut être restaurée."));
  } else if (catalogue) {
    chosen_ = catalogue;
    ShowPreview(*chosen_);
    RestoreButton->setEnabled(true);
  }
}

void TRestore::DayChosen() {
  chosen_.reset();
  chosenDate_.clear();
  chosenVersion_.clear();
  RestoreButton->setEnabled(false);
  ShowChanges(QString());
  const QList<QTreeWidgetItem*> selected = Backups->selectedItems();
  const int index = selected.isEmpty() ? -1 : Backups->indexOfTopLevelItem(selected.first());
  if (index < 0 || days_[static_cast<std::size_t>(index)].Incomplete()) {
    Preview->clear();
    return;
  }
  // Read whole in the background, before the days still to check: the preview comes when it is read.
  chosenDate_ = days_[static_cast<std::size_t>(index)].Date;
  chosenVersion_ = days_[static_cast<std::size_t>(index)].Version;
  Preview->setText(QString::fromUtf8("Lecture de la sauvegarde du ") + QtText(kistora::BackupDateText(chosenDate_)) +
                   QString::fromUtf8("…"));
  reader_->ReadWhole({chosenDate_, chosenVersion_});
}

void TRestore::ShowPreview(const kistora::TCatalogue& backup) {
  const kistora::RestorePreview preview = kistora::PreviewRestore(catalogue_, backup);
  Preview->setText(preview.ChangesNothing()
                       ? QString::fromUtf8("Cette sauvegarde est identique au catalogue actuel.")
                       : QString::fromUtf8("Restaurer cette sauvegarde changerait :\n") +
                             QtText(kistora::RestorePreviewText(preview)).trimmed() +
                             QString::fromUtf8("\n« Édition › Annuler » remettra le catalogue actuel."));
  ShowChanges(QtText(kistora::RestorePreviewList(preview)).trimmed());
}

void TRestore::ShowChanges(const QString& list) {
  Changes->setPlainText(list);
  Changes->setVisible(!list.isEmpty());
  changesLabel_->setVisible(!list.isEmpty());
}

void TRestore::RestoreClick() {
  if (!chosen_) return;
  emit aboutToRestore();
  {
    // One step of the history: "Annuler" brings the present catalogue back whole.
    const kistora::CatalogueHistory::Group step(
        history_, "Restauration de la sauvegarde du " + kistora::BackupDateText(chosenDate_));
    kistora::RestoreBackup(catalogue_, std::move(*chosen_));
  }
  chosen_.reset();
  emit restored();
  accept();
}
