#include "mainwindow/MainUnit.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "gui/CatalogueSignals.h"
#include "gui/FileMessages.h"
#include "gui/HistorySignals.h"
#include "gui/OptionBinders.h"
#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/WindowFrame.h"
#include "gui/WindowPlacement.h"
#include "itemdb/ItemPUnit.h"
#include "mainwindow/CharDropTarget.h"
#include "mainwindow/CharListModel.h"
#include "mainwindow/CsvFiles.h"
#include "mainwindow/InventoryModel.h"
#include "mainwindow/PersoUnit.h"
#include "mainwindow/ReportLists.h"
#include "model/item_counts.h"
#include "model/text_utils.h"
#include "options/options_file.h"
#include "storage/catalogue_store.h"
#include "storage/damaged_file.h"
#include "storage/database.h"
#include "storage/file_error.h"

using kistora::CurrentPlatform;
using kistora::FileFailureText;
using kistora::QtText;

namespace {

constexpr int kDesignedWidth = 609;
constexpr int kDesignedHeight = 482;
constexpr int kCharPanelHeight = 145;

}  // namespace

TMain::TMain(kistora::TCatalogue& catalogue, kistora::CatalogueSignals& changes, kistora::CatalogueStore& store,
             QWidget* parent)
    : QMainWindow(parent), catalogue_(catalogue), store_(store) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(QStringLiteral("Kistora"));

  BuildMenu();
  Splitter = new QSplitter(Qt::Vertical, this);
  Splitter->setObjectName(QStringLiteral("Splitter"));
  Splitter->setHandleWidth(3);
  Splitter->setOpaqueResize(true);  // the panels follow the pointer while it moves
  Splitter->setChildrenCollapsible(false);
  BuildCharPanel();
  BuildItemsPanel();
  Splitter->addWidget(CharPanel);
  Splitter->addWidget(ItemsPanel);
  // Growing the window grows the inventory; only the splitter resizes the characters.
  Splitter->setStretchFactor(0, 0);
  Splitter->setStretchFactor(1, 1);
  setCentralWidget(Splitter);
  // An item dragged from the item database window onto a character (or the
  // inventory) goes to it, and it becomes the selected one so that its
  // inventory shows the new entry.
  dropTarget_ = new kistora::CharDropTarget(
      Chars, charsModel_, CharInv, [this] { return SelectedCharRow(); }, this);
  connect(dropTarget_, &kistora::CharDropTarget::itemDropped, this, [this](std::int32_t number, int row) {
    if (row != SelectedCharRow()) SelectCharRow(row);
    if (catalogue_.AddItemToChar(row, number)) emit itemHandedOver(number, row);
  });
  kistora::ResizeOuter(*this, kDesignedWidth, kDesignedHeight);  // the designed outer size, frame included

  // Whoever changed the catalogue, the lists follow.
  connect(&changes, &kistora::CatalogueSignals::charsChanged, this, [this] {
    FillChars();
    FillCharInv();
  });
  connect(&changes, &kistora::CatalogueSignals::charModified, this, [this](int row) { charsModel_->RowChanged(row); });
  connect(&changes, &kistora::CatalogueSignals::inventoriesChanged, this,
          [this](const kistora::CatalogueChange& change) {
            // An item the shown inventory does not list leaves it as it is, and so does
            // another character's inventory: in a big catalogue that spares a pass over
            // the item database per change.
            const int row = SelectedCharRow();
            bool shown = false;
            if (change.Kind == kistora::ChangeKind::InventoryChanged) {
              shown = change.Row == row;
            } else if (change.Kind == kistora::ChangeKind::ItemRestored) {
              // An item put back may come back into the shown inventory.
              const kistora::TChar* selected = catalogue_.CharAt(row);
              shown = selected && selected->HoldsItem(change.Number);
            } else {
              shown = invModel_->Lists(change.Number);
            }
            if (shown) FillCharInv();
          });

  lineTimer_ = new QTimer(this);
  lineTimer_->setSingleShot(true);
  lineTimer_->setInterval(6000);
  connect(lineTimer_, &QTimer::timeout, this, [this] { FillCharInv(); });

  // The worker reports from its thread; the reports are shown from this one.
  store_.SetReportsReady(
      [this] { QMetaObject::invokeMethod(this, &TMain::ShowBackgroundReports, Qt::QueuedConnection); });
  FormCreate();
}

void TMain::UseDialogs(TPerso* perso, TItemP* itemP) {
  perso_ = perso;
  itemP_ = itemP;
}

void TMain::UseHistory(kistora::HistorySignals* history) {
  history_ = history;
  if (history_) connect(history_, &kistora::HistorySignals::changed, this, &TMain::ShowHistoryState);
  ShowHistoryState();
}

TMain::~TMain() {
  // The store outlives this window: its worker must not report to it any more.
  store_.SetReportsReady({});
  // The lists look at the catalogue while the base class hides and destroys
  // them, after the catalogue member is gone: take them down first, once
  // nothing watches them any more.
  delete dropTarget_;
  delete Splitter;
}

// ---- layout ----

void TMain::BuildMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier"));
  Statistics = file->addAction(QStringLiteral("Statistiques"));
  Statistics->setObjectName(QStringLiteral("Statistics"));
  Statistics->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  connect(Statistics, &QAction::triggered, this, &TMain::statsRequested);
  ExportInv = file->addAction(QStringLiteral("Exporter..."));
  ExportInv->setObjectName(QStringLiteral("ExportInv"));
  ExportCsv = file->addAction(QString::fromUtf8("Exporter en CSV…"));
  ExportCsv->setObjectName(QStringLiteral("ExportCsv"));
  ImportCsv = file->addAction(QString::fromUtf8("Importer un CSV…"));
  ImportCsv->setObjectName(QStringLiteral("ImportCsv"));
  file->addSeparator();
  Restaurer1 = file->addAction(QString::fromUtf8("Restaurer une sauvegarde…"));
  Restaurer1->setObjectName(QStringLiteral("Restaurer1"));
  Fusionner1 = file->addAction(QString::fromUtf8("Fusionner un catalogue…"));
  Fusionner1->setObjectName(QStringLiteral("Fusionner1"));
  file->addSeparator();
  Quitter1 = file->addAction(QStringLiteral("&Quitter"));
  Quitter1->setObjectName(QStringLiteral("Quitter1"));
  QMenu* edit = menuBar()->addMenu(QString::fromUtf8("&Édition"));
  edit->setObjectName(QStringLiteral("Edition1"));
  Annuler1 = edit->addAction(QString());
  Annuler1->setObjectName(QStringLiteral("Annuler1"));
  Annuler1->setShortcut(QKeySequence(QKeySequence::Undo));
  Retablir1 = edit->addAction(QString());
  Retablir1->setObjectName(QStringLiteral("Retablir1"));
  Retablir1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addSeparator();
  Historique1 = edit->addAction(QString::fromUtf8("&Historique…"));
  Historique1->setObjectName(QStringLiteral("Historique1"));
  ShowHistoryState();
  // The item database window from the keyboard (its button's caption, as the designed lists name it).
  QMenu* windows = menuBar()->addMenu(QString::fromUtf8("Fe&nêtre"));
  windows->setObjectName(QStringLiteral("Fenetre1"));
  GestionnaireObjets1 = windows->addAction(QStringLiteral("&Gestionnaire d'objets"));
  GestionnaireObjets1->setObjectName(QStringLiteral("GestionnaireObjets1"));
  GestionnaireObjets1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  connect(GestionnaireObjets1, &QAction::triggered, this, &TMain::ItemGestionClick);
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Aide"));
  Apropos1 = help->addAction(QStringLiteral("A &propos..."));
  Apropos1->setObjectName(QStringLiteral("Apropos1"));
  connect(ExportInv, &QAction::triggered, this, &TMain::ExportInvClick);
  connect(ExportCsv, &QAction::triggered, this, &TMain::ExportCsvClick);
  connect(ImportCsv, &QAction::triggered, this, &TMain::ImportCsvClick);
  connect(Restaurer1, &QAction::triggered, this, &TMain::restoreRequested);
  connect(Fusionner1, &QAction::triggered, this, &TMain::mergeRequested);
  connect(Annuler1, &QAction::triggered, this, &TMain::UndoClick);
  connect(Retablir1, &QAction::triggered, this, &TMain::RedoClick);
  connect(Historique1, &QAction::triggered, this, &TMain::historyRequested);
  connect(Quitter1, &QAction::triggered, this, &TMain::Quitter1Click);
  connect(Apropos1, &QAction::triggered, this, &TMain::Apropos1Click);
  ExportInv->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  Quitter1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void TMain::BuildCharPanel() {
  CharPanel = new QWidget(this);
  CharPanel->setObjectName(QStringLiteral("CharPanel"));
  Chars = kistora::NewReportList(CharPanel, "Chars");
  charsModel_ = new kistora::CharListModel(catalogue_, this);
  Chars->setModel(charsModel_);
  kistora::SetColumnWidths(Chars, {100, 100, 100, 40, 200});
  connect(Chars->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { CharsClick(); });
  // A click on the empty part of the list leaves no character selected.
  kistora::OnEmptyClick(Chars, [this] {
    if (SelectedCharRow() >= 0) SelectCharRow(-1);
  });

  AddChar = kistora::NewPanelButton(CharPanel, QStringLiteral("Ajouter..."), "AddChar");
  DelChar = kistora::NewPanelButton(CharPanel, QStringLiteral("Supprimer"), "DelChar");
  ModChar = kistora::NewPanelButton(CharPanel, QStringLiteral("Modifier..."), "ModChar");
  UpChar = kistora::NewPanelButton(CharPanel, QStringLiteral("Monter"), "UpChar");
  DownChar = kistora::NewPanelButton(CharPanel, QStringLiteral("Descendre"), "DownChar");
  connect(AddChar, &QPushButton::clicked, this, &TMain::AddCharClick);
  connect(DelChar, &QPushButton::clicked, this, &TMain::DelCharClick);
  connect(ModChar, &QPushButton::clicked, this, &TMain::ModCharClick);
  connect(UpChar, &QPushButton::clicked, this, &TMain::UpCharClick);
  connect(DownChar, &QPushButton::clicked, this, &TMain::DownCharClick);

  // Mouse and keyboard: the buttons' actions in the context menu, Ctrl+N adds,
  // Delete deletes, Enter or a double click modifies.
  Chars->setAccessibleName(QStringLiteral("Personnages"));
  connect(kistora::AddListAction(Chars, QStringLiteral("Ajouter..."), QKeySequence(Qt::CTRL | Qt::Key_N)),
          &QAction::triggered, this, &TMain::AddCharClick);
  connect(kistora::AddDeleteAction(Chars), &QAction::triggered, this, &TMain::DelCharClick);
  connect(kistora::AddListAction(Chars, QStringLiteral("Modifier...")), &QAction::triggered, this,
          &TMain::ModCharClick);
  connect(kistora::AddListAction(Chars, QStringLiteral("Monter")), &QAction::triggered, this, &TMain::UpCharClick);
  connect(kistora::AddListAction(Chars, QStringLiteral("Descendre")), &QAction::triggered, this, &TMain::DownCharClick);
  connect(Chars, &QAbstractItemView::doubleClicked, this, [this] { ModCharClick(); });
  kistora::OnEnter(Chars, [this] { ModCharClick(); });

  // Margins and spacing chosen so that the list is 110 pixels high in the
  // panel's designed 145.
  auto* layout = new QVBoxLayout(CharPanel);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  layout->addWidget(Chars, 1);
  auto* buttons = new QHBoxLayout();
  buttons->setSpacing(4);
  buttons->addWidget(AddChar);
  buttons->addWidget(DelChar);
  buttons->addWidget(ModChar);
  buttons->addSpacing(12);
  buttons->addWidget(UpChar);
  buttons->addWidget(DownChar);
  buttons->addStretch(1);
  layout->addLayout(buttons);
}

void TMain::BuildItemsPanel() {
  ItemsPanel = new QWidget(this);
  ItemsPanel->setObjectName(QStringLiteral("ItemsPanel"));
  CharInv = kistora::NewReportList(ItemsPanel, "CharInv");
  invModel_ = new kistora::InventoryModel(this);
  CharInv->setModel(invModel_);
  kistora::SetColumnWidths(CharInv, {50, 100, 100, 100, 40, 200});
  connect(CharInv, &QAbstractItemView::doubleClicked, this, [this] { CharInvDblClick(); });

  DelItem = kistora::NewPanelButton(ItemsPanel, QStringLiteral("Supprimer"), "DelItem");
  SeeItem = kistora::NewPanelButton(ItemsPanel, QStringLiteral("Voir..."), "SeeItem");
  ItemGestion = kistora::NewPanelButton(ItemsPanel, QStringLiteral("Gestionnaire d'objets"), "ItemGestion", 113);
  connect(DelItem, &QPushButton::clicked, this, &TMain::DelItemClick);
  connect(SeeItem, &QPushButton::clicked, this, &TMain::SeeItemClick);
  connect(ItemGestion, &QPushButton::clicked, this, &TMain::ItemGestionClick);
  ItemGestion->setToolTip(QString::fromUtf8("Ouvre le gestionnaire d'objets (Ctrl+G)"));

  CharInv->setAccessibleName(QStringLiteral("Inventaire"));
  connect(kistora::AddDeleteAction(CharInv), &QAction::triggered, this, &TMain::DelItemClick);
  connect(kistora::AddListAction(CharInv, QStringLiteral("Voir...")), &QAction::triggered, this, &TMain::SeeItemClick);
  connect(kistora::AddListAction(CharInv, QStringLiteral("Gestionnaire d'objets")), &QAction::triggered, this,
          &TMain::ItemGestionClick);
  InvCount = new QLabel(ItemsPanel);
  InvCount->setObjectName(QStringLiteral("InvCount"));
  // A screen reader reads the line's own text, its figures; this says what they count.
  InvCount->setAccessibleDescription(QStringLiteral("Nombre d'objets du perso"));

  auto* layout = new QVBoxLayout(ItemsPanel);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  layout->addWidget(CharInv, 1);
  auto* buttons = new QHBoxLayout();
  buttons->setSpacing(4);
  buttons->addWidget(DelItem);
  buttons->addWidget(SeeItem);
  buttons->addWidget(ItemGestion);
  buttons->addSpacing(8);
  buttons->addWidget(InvCount, 1);
  layout->addLayout(buttons);
}

// ---- lifecycle ----

std::string TMain::DataPath(const char* fileName) { return CurrentPlatform().DataDir + fileName; }

void TMain::FormCreate() {
  ++startupSteps_;
  catalogue_.ClearItems();
  catalogue_.ClearChars();
  catalogue_.DefaultAccount.clear();
  // The characters are read even when the item database could not be: they are
  // the player's work too, and the close must not replace their file with an
  // empty list. An entry whose item is missing simply shows its number.
  bool itemsMissing = false;
  for (const auto kind : {kistora::DatabaseKind::Items, kistora::DatabaseKind::Chars}) {
    const std::string& path = store_.PathOf(kind);
    // The store remembers the file as read, and keeps the original of a file
    // not read whole before its first write.
    const kistora::StartupRead read = store_.ReadAtStartup(catalogue_, kind);
    const bool missing = read.State == kistora::StartupReadState::Missing;
    if (kind == kistora::DatabaseKind::Items) itemsMissing = missing;
    // A first run (neither file yet) tells only that the item database could
    // not be opened, as it always has: one box, not two. In a folder this very
    // start made there was nothing to open: no box at all.
    if (kind == kistora::DatabaseKind::Chars && missing && itemsMissing) continue;
    if (missing && CurrentPlatform().DataDirCreated) continue;
    const std::string keptAs = read.NeedsKeeping() ? kistora::FreeDamagedName(path) : std::string();
    const QString text = kistora::StartupReadText(read, kind, keptAs);
    if (!text.isEmpty()) CurrentPlatform().Messages->FileError(this, text);
  }
  catalogue_.NotifyReset();
  // From now on every change of the catalogue reaches the files within moments.
  store_.Track(catalogue_);
  EndStartupStep();
}

void TMain::EndStartupStep() {
  if (--startupSteps_ > 0 || !closeRequested_) return;
  closeRequested_ = false;
  // The close waited for start-up: it runs now, and saves what was loaded.
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TMain::setVisible(bool visible) {
  // The first show places the window before the window system makes it, so
  // that the stored position is taken as the frame's, as it was written.
  if (visible) FormShow();
  QMainWindow::setVisible(visible);
}

void TMain::FormShow() {
  if (shown_) return;
  shown_ = true;
  ++startupSteps_;
  kistora::CentreOnScreen(*this);
  // Laid out now: give the characters their designed height.
  if (layout()) layout()->activate();
  const int rest = Splitter->height() - kCharPanelHeight - Splitter->handleWidth();
  Splitter->setSizes({kCharPanelHeight, std::max(rest, 1)});
  ReadOptionsStep();
  emit optionsRead();
  // A stored position partly or wholly off the screens comes back wholly onto one.
  kistora::KeepOnScreen(*this);
  FillCharInv();  // the options may have selected a character
  EndStartupStep();
  emit startedUp();
}

void TMain::ReadOptionsStep() {
  // Every window exists by now: the file is applied to their controls, raising
  // LastItemIndex and rebuilding the inventory after every line.
  const std::string path = DataPath("kistora.ini");
  try {
    if (BindAllOptions) {
      kistora::ReadOptions(path, BindAllOptions(), [this] {
        catalogue_.SyncLastItemIndex();
        FillCharInv();
      });
    }
  } catch (const kistora::EFileError& failure) {
    // What was applied before the failure stays; the window comes up anyway.
    CurrentPlatform().Messages->FileError(this, FileFailureText(failure));
  }
}

void TMain::WriteOptionsStep() {
  // A failure propagates to FormClose, which stops before either database.
  if (BindAllOptions) kistora::WriteOptions(DataPath("kistora.ini"), BindAllOptions());
}

void TMain::closeEvent(QCloseEvent* event) {
  if (startupSteps_ > 0) {
    // Asked while a start-up box is open: never between the loads.
    closeRequested_ = true;
    event->ignore();
    return;
  }
  if (!FormClose()) {
    event->ignore();  // the window stays open with the catalogue intact
    return;
  }
  event->accept();
}

bool TMain::FormClose() {
  // Each step runs only when the ones before it succeeded; each file is
  // written whole beside the old one and then put in its place.
  try {
    WriteOptionsStep();
  } catch (const kistora::EFileError& failure) {
    // Nothing is freed: the player can make room and close again.
    CurrentPlatform().Messages->FileError(this, FileFailureText(failure));
    return false;
  }
  // Both databases, items then characters, after any save as you go still
  // running; a file that start-up could not read whole is kept aside first.
  // What another machine wrote meanwhile is taken in first, never written over.
  emit closing();
  kistora::SaveReport report = store_.SaveAtClose(catalogue_);
  for (int attempt = 0; report.HeldBack && attempt < 3; ++attempt) {
    emit closing();
    report = store_.SaveAtClose(catalogue_);
  }
  ShowSaveReport(report);
  if (!report.Ok()) return false;
  catalogue_.Clear();
  return true;
}

void TMain::ShowSaveReport(const kistora::SaveReport& report) {
  kistora::MessageService* messages = CurrentPlatform().Messages;
  for (const kistora::ConflictKept& conflict : report.Conflicts) {
    messages->FileError(this, kistora::ConflictKeptText(conflict.Path, conflict.KeptAs));
  }
  if (const auto& failure = report.Failure) messages->FileError(this, kistora::SaveFailureText(*failure));
}

void TMain::ShowBackgroundReports() {
  // A failure is reported once by the store until a save succeeds again; the
  // catalogue stays in memory and the next change or the close tries again.
  for (const kistora::SaveReport& report : store_.TakeReports()) {
    if (report.HeldBack) emit saveHeldBack();
    ShowSaveReport(report);
  }
}

void TMain::ShowLine(const QString& line) {
  if (line.isEmpty()) return;
  InvCount->setText(line);
  InvCount->setToolTip(line);
  lineTimer_->start();
}

void TMain::KeepSelection() {
  const kistora::TChar* selected = catalogue_.CharAt(SelectedCharRow());
  keptChar_ = selected ? std::optional<std::string>(selected->Name) : std::nullopt;
}

void TMain::SelectKept() {
  if (!keptChar_) return;
  const int row = catalogue_.FindCharRow(*keptChar_);
  keptChar_.reset();
  if (row >= 0 && row != SelectedCharRow()) SelectCharRow(row);
}

// ---- character list ----

int TMain::SelectedCharRow() const {
  const QModelIndexList rows = Chars->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TMain::SelectCharRow(int row) {
  selectingChar_ = true;
  QItemSelectionModel* selection = Chars->selectionModel();
  if (row < 0 || row >= charsModel_->rowCount()) {
    selection->clear();
  } else {
    const QModelIndex index = charsModel_->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Chars->scrollTo(index);
  }
  selectingChar_ = false;
  FillCharInv();
}

void TMain::FillChars() { charsModel_->Rebuild(); }

void TMain::CharsClick() {
  if (!selectingChar_) FillCharInv();
}

void TMain::AddCharClick() {
  if (!perso_ || !perso_->Execute()) return;
  const std::string name = perso_->NameText();
  if (kistora::TrimSpaces(name).empty()) {
    CurrentPlatform().Messages->Error(this, QStringLiteral("Vous devez entrer un nom pour votre perso."));
    return;
  }
  if (catalogue_.CharNameExists(name)) {
    CurrentPlatform().Messages->Error(this, QString::fromUtf8("Le perso existe déjà, entrez un nom différent."));
    return;
  }
  auto character = std::make_unique<kistora::TChar>();
  perso_->StoreChar(*character);
  SelectCharRow(catalogue_.AddChar(std::move(character)));
  Chars->setFocus();
}

void TMain::DelCharClick() {
  const int row = SelectedCharRow();
  if (row < 0) return;
  const QString question = QString::fromUtf8("Etes-vous sûr(e) de vouloir supprimer le personnage ") +
                           QtText(catalogue_.CharAt(row)->Name) +
                           QString::fromUtf8("? L'opération sera irréversible et tous l'inventaire sera perdu.");
  if (!CurrentPlatform().Messages->Confirm(this, question)) return;
  // The character's items stay in the item database; only its entries go.
  catalogue_.RemoveChar(row);
}

void TMain::ModCharClick() {
  const int row = SelectedCharRow();
  if (row < 0 || !perso_) return;
  perso_->LoadChar(*catalogue_.CharAt(row));
  if (!perso_->Execute()) return;
  // No checks here: a modified character may take an empty or an existing name.
  kistora::TChar fields;
  perso_->StoreChar(fields);
  catalogue_.ModifyChar(row, fields);
}

void TMain::MoveChar(int row, int otherRow) {
  // The character moves whole: its texts and its items travel together.
  catalogue_.SwapChars(row, otherRow);
  SelectCharRow(otherRow);
}

void TMain::UpCharClick() {
  const int row = SelectedCharRow();
  if (row < 0) return;
  if (row > 0)
    MoveChar(row, row - 1);
  else
    FillCharInv();
  Chars->setFocus();
}

void TMain::DownCharClick() {
  const int row = SelectedCharRow();
  if (row < 0) return;
  if (row + 1 < static_cast<int>(catalogue_.CharList.size()))
    MoveChar(row, row + 1);
  else
    FillCharInv();
  Chars->setFocus();
}

// ---- inventory ----

void TMain::FillCharInv() {
  const kistora::TChar* character = catalogue_.CharAt(SelectedCharRow());
  invModel_->Fill(catalogue_, character);
  // A line of ShowLine stays its few seconds.
  if (lineTimer_ && lineTimer_->isActive()) return;
  // Counted from the rows just listed: one pass over the database, not two.
  InvCount->setText(QtText(kistora::InventoryCountText(invModel_->Totals())));
  InvCount->setToolTip(QString());
}

int TMain::AddItemToChar(std::int32_t number) {
  const int row = SelectedCharRow();
  if (row < 0 || !catalogue_.AddItemToChar(row, number)) return -1;
  emit itemHandedOver(number, row);
  return row;
}

int TMain::SelectedInvRow() const {
  const QModelIndexList rows = CharInv->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TMain::DelItemClick() {
  const int invRow = SelectedInvRow();
  const int charRow = SelectedCharRow();
  if (invRow < 0 || charRow < 0) return;
  // By position: other entries of the same number stay.
  catalogue_.RemoveInventoryEntry(charRow, invRow);
}

void TMain::SeeItemClick() {
  const int invRow = SelectedInvRow();
  if (invRow >= 0) {
    std::int32_t number = -1;
    if (!kistora::TryStrToInt(invModel_->NumberText(invRow), number)) number = -1;
    const kistora::TD2Item* item = catalogue_.FindItem(number);
    if (item && itemP_) {
      itemP_->LoadItem(*item);
      itemP_->SetReadOnly(true);
      itemP_->Execute();  // a view only: its answer changes nothing
    }
  }
  CharInv->setFocus();
}

void TMain::ItemGestionClick() { emit itemDatabaseRequested(); }

void TMain::ExportInvClick() { emit exportRequested(); }

std::optional<QString> TMain::PickCsvFileWithDialog(QWidget* parent) { return kistora::PickCsvToWrite(parent); }

void TMain::ExportCsvClick() {
  if (const std::optional<QString> chosen = PickCsvFile(this)) kistora::WriteItemsCsv(this, catalogue_, *chosen);
}

void TMain::Apropos1Click() { emit aboutRequested(); }

// ---- importing ----

std::optional<QString> TMain::PickCsvImportFileWithDialog(QWidget* parent) { return kistora::PickCsvToRead(parent); }

void TMain::ImportCsvClick() {
  if (const std::optional<QString> chosen = PickCsvImportFile(this))
    kistora::ReadItemsCsv(this, catalogue_, history_ ? &history_->History() : nullptr, *chosen);
}

// ---- history ----

void TMain::ShowHistoryState() {
  const kistora::CatalogueHistory* history = history_ ? &history_->History() : nullptr;
  kistora::NameStepAction(*Annuler1, QStringLiteral("&Annuler"), history ? history->UndoText() : std::string());
  kistora::NameStepAction(*Retablir1, QString::fromUtf8("&Rétablir"), history ? history->RedoText() : std::string());
  Historique1->setEnabled(history != nullptr);
}

void TMain::UndoClick() {
  ReplayHistory([this] { return history_->History().Undo(); });
}

void TMain::RedoClick() {
  ReplayHistory([this] { return history_->History().Redo(); });
}

void TMain::HistoryGoTo(std::size_t done) {
  ReplayHistory([this, done] { return history_->History().GoTo(done); });
}

void TMain::ReplayHistory(const std::function<bool()>& replay) {
  if (!history_) return;
  // The list of characters is made again when one comes or goes: find the
  // selected one again afterwards, or select the one that came back.
  const kistora::TChar* selected = catalogue_.CharAt(SelectedCharRow());
  const std::string selectedName = selected ? selected->Name : std::string();
  std::vector<const kistora::TChar*> before;
  before.reserve(catalogue_.CharList.size());
  for (const auto& character : catalogue_.CharList) before.push_back(character.get());
  std::sort(before.begin(), before.end());
  if (!replay()) return;
  int stillThere = -1;
  std::vector<int> cameBack;
  for (std::size_t row = 0; row < catalogue_.CharList.size(); ++row) {
    const kistora::TChar* character = catalogue_.CharList[row].get();
    if (character == selected) stillThere = static_cast<int>(row);
    if (!std::binary_search(before.begin(), before.end(), character)) cameBack.push_back(static_cast<int>(row));
  }
  int row = cameBack.size() == 1 ? cameBack.front() : stillThere;
  // A restored backup (or its undoing) brings every character anew: found again by name.
  if (row < 0 && cameBack.size() > 1 && !selectedName.empty()) row = catalogue_.FindCharRow(selectedName);
  if (row >= 0 && row != SelectedCharRow()) SelectCharRow(row);
}

// ---- options ----

void TMain::BindOptions(kistora::OptionBindings& b) {
  using Id = kistora::OptionId;
  kistora::BindBounds(b, Id::MwpLeft, this);
  kistora::BindColumns(b, Id::CcsName, Chars, 5);
  kistora::BindColumns(b, Id::IcsIndex, CharInv, 6);
  b.BindText(
      Id::SelectedChar,
      [this] {
        const kistora::TChar* character = catalogue_.CharAt(SelectedCharRow());
        return character ? character->Name : std::string();
      },
      [this](const std::string& name) {
        const int row = catalogue_.FindCharRow(name);
        if (row >= 0) SelectCharRow(row);  // no match: the selection stays
      });
  b.BindInteger(Id::LastItemIndex, catalogue_.LastItemIndex);
}
