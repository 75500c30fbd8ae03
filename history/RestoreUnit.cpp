#include "history/RestoreUnit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/WindowPlacement.h"
#include "model/catalogue_history.h"
#include "model/item_counts.h"

using kistora::QtText;

namespace {

enum Column { kDate, kItems, kChars, kState };

QString Grouped(std::size_t count) { return QtText(kistora::GroupedNumber(static_cast<std::int64_t>(count))); }

// Reading a million items takes a moment: the pointer says so.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TRestore::TRestore(kistora::TCatalogue& catalogue, kistora::CatalogueHistory* history, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue), history_(history) {
  setObjectName(QStringLiteral("Restore"));
  setWindowTitle(QStringLiteral("Restaurer une sauvegarde"));
  resize(460, 340);
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
  layout->addLayout(buttons);

  connect(Backups, &QTreeWidget::itemSelectionChanged, this, &TRestore::DayChosen);
  connect(Backups, &QTreeWidget::itemDoubleClicked, this, [this] { RestoreClick(); });
  connect(RestoreButton, &QPushButton::clicked, this, &TRestore::RestoreClick);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TRestore::~TRestore() = default;

void TRestore::Execute() {
  FillBackups();
  // Beside the main window, whose lists show what the restore changes.
  kistora::PlaceBeside(*this, parentWidget());
  exec();
  chosen_.reset();  // a backup read for nothing is not kept
  days_.clear();
}

void TRestore::FillBackups() {
  {
    const WaitCursor wait;
    days_ = kistora::ReadBackupDays(kistora::CurrentPlatform().DataDir);
  }
  Backups->clear();
  for (const kistora::BackupDay& day : days_) {
    auto* row = new QTreeWidgetItem(Backups);
    // A sync tool's other version of a day (two machines backed it up apart) is listed as such.
    row->setText(kDate, QtText(kistora::BackupDateText(day.Date)) +
                            (day.Version.empty() ? QString() : QStringLiteral(" (autre version)")));
    row->setText(kItems,
                 day.Items.State == kistora::StartupReadState::Clean ? Grouped(day.Items.RecordsKept) : QString());
    row->setText(kChars,
                 day.Chars.State == kistora::StartupReadState::Clean ? Grouped(day.Chars.RecordsKept) : QString());
    row->setText(kState, QtText(kistora::BackupDayState(day)));
    row->setTextAlignment(kItems, Qt::AlignRight | Qt::AlignVCenter);
    row->setTextAlignment(kChars, Qt::AlignRight | Qt::AlignVCenter);
    row->setToolTip(kState, QtText(day.Items.Path.substr(day.Items.Path.rfind('/') + 1) + " : " +
                                   kistora::BackupFileState(day.Items) + ", " +
                                   day.Chars.Path.substr(day.Chars.Path.rfind('/') + 1) + " : " +
                                   kistora::BackupFileState(day.Chars)));
    // A day that did not read whole cannot be chosen.
    if (!day.Usable()) row->setFlags(Qt::NoItemFlags);
  }
  Preview->setText(days_.empty() ? QString::fromUtf8("Aucune sauvegarde pour l'instant : la première est faite au "
                                                     "premier enregistrement du jour.")
                                 : QString());
  RestoreButton->setEnabled(false);
  Backups->setFocus();
}

void TRestore::DayChosen() {
  chosen_.reset();
  RestoreButton->setEnabled(false);
  const QList<QTreeWidgetItem*> selected = Backups->selectedItems();
  const int index = selected.isEmpty() ? -1 : Backups->indexOfTopLevelItem(selected.first());
  if (index < 0 || !days_[static_cast<std::size_t>(index)].Usable()) {
    Preview->clear();
    return;
  }
  chosenDate_ = days_[static_cast<std::size_t>(index)].Date;
  const std::string version = days_[static_cast<std::size_t>(index)].Version;
  auto read = std::make_unique<kistora::TCatalogue>();
  kistora::BackupDay day;
  {
    const WaitCursor wait;
    day = kistora::ReadBackupDay(kistora::CurrentPlatform().DataDir, chosenDate_, *read, version);
  }
  if (!day.Usable()) {  // changed on disk since the list was read
    Preview->setText(QString::fromUtf8("Cette sauvegarde ne se lit plus entièrement : elle ne peut être restaurée."));
    return;
  }
  const kistora::RestorePreview preview = kistora::PreviewRestore(catalogue_, *read);
  Preview->setText(preview.ChangesNothing()
                       ? QString::fromUtf8("Cette sauvegarde est identique au catalogue actuel.")
                       : QString::fromUtf8("Restaurer cette sauvegarde changerait :\n") +
                             QtText(kistora::RestorePreviewText(preview)).trimmed() +
                             QString::fromUtf8("\n« Édition › Annuler » remettra le catalogue actuel."));
  chosen_ = std::move(read);
  RestoreButton->setEnabled(true);
}

void TRestore::RestoreClick() {
  if (!chosen_) return;
  {
    // One step of the history: "Annuler" brings the present catalogue back whole.
    const kistora::CatalogueHistory::Group step(
        history_, "Restauration de la sauvegarde du " + kistora::BackupDateText(chosenDate_));
    kistora::RestoreBackup(catalogue_, std::move(*chosen_));
  }
  chosen_.reset();
  accept();
}
