#include "itemdb/ItemGUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "gui/CatalogueSignals.h"
#include "gui/HistorySignals.h"
#include "gui/ListRows.h"
#include "gui/OptionBinders.h"
#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/WindowFrame.h"
#include "gui/WindowPlacement.h"
#include "itemdb/ItemListModel.h"
#include "itemdb/ItemListView.h"
#include "itemdb/ItemPUnit.h"
#include "listing/item_holders.h"

using namespace kistora;

namespace {

constexpr int kListTop = 56;
constexpr int kCountLineHeight = 18;  // taken from the bottom of the list
// From this many items a refilter may outlast a frame: keystrokes typed
// meanwhile are gathered into one refilter with the text as it then is.
constexpr std::int64_t kCoalesceKeystrokesFrom = 100000;
// How long the count line names the item just handed over.
constexpr int kHandOverNoteMs = 4000;
// Names on the count line before "et N autres" (the tooltip names them all).
constexpr std::size_t kHoldersNamed = 3;

// The search field's tooltip: the grammar of the search, with examples.
QString SearchHelp() {
  return QString::fromUtf8(
      "<p>Garde les objets qui contiennent tous les mots tap\u00E9s (num\u00E9ro, nom, notes, cat\u00E9gorie, "
      "qualit\u00E9, propri\u00E9t\u00E9s magiques) et remplissent toutes les conditions :</p><table>"
      "<tr><td><b>feu&gt;=30</b></td><td>une propri\u00E9t\u00E9 magique contient \u00AB feu \u00BB et un nombre "
      "d'au moins 30</td></tr>"
      "<tr><td><b>prix&lt;1000</b></td><td>un champ compar\u00E9 par &gt;=, &lt;=, &gt;, &lt; ou =</td></tr>"
      "<tr><td><b>prix 100..500</b></td><td>entre deux valeurs, comprises</td></tr>"
      "<tr><td><b>\"force\"&gt;=10</b></td><td>entre guillemets : cherch\u00E9 dans les propri\u00E9t\u00E9s, "
      "pas dans le champ</td></tr>"
      "<tr><td><b>perso:Mule01</b></td><td>d\u00E9tenu par ce perso</td></tr>"
      "<tr><td><b>libre</b></td><td>d\u00E9tenu par aucun perso</td></tr></table>"
      "<p>Champs : prix, niveau (clvl), force, dex (dext\u00E9rit\u00E9), d\u00E9fense, blocage (parade), "
      "durabilit\u00E9, durmax, d\u00E9g\u00E2ts (le maximum ; dmgmin, dmgmax), numero.<br>"
      "Exemple : <b>anneau feu&gt;=30 niveau&lt;=30 libre</b></p>");
}
constexpr int kColumnWidths[kItemListColumnCount] = {50, 100, 100, 100, 40, 200};

}  // namespace

TItemG::TItemG(TCatalogue& catalogue, CatalogueSignals& changes, QWidget* parent)
    : QWidget(parent, Qt::Window), catalogue_(catalogue) {
  setObjectName(QStringLiteral("ItemG"));
  setWindowTitle(QStringLiteral("Gestionnaire d'objets"));
  ResizeOuter(*this, 701, 572);  // the designed size includes the frame

  auto check = [&](const QString& caption, int left, int width, bool checked) {
    auto* box = new QCheckBox(caption, this);
    box->setGeometry(left, 8, width, 17);
    box->setChecked(checked);
    // Also programmatic changes (the options file) re-filter, as a click does.
    connect(box, &QCheckBox::toggled, this, &TItemG::ShowClick);
    connect(box, &QCheckBox::toggled, this, &TItemG::filterChanged);
    return box;
  };
  ShowUniques = check(QStringLiteral("Uniques"), 8, 70, true);
  ShowSets = check(QStringLiteral("Sets"), 80, 54, true);
  ShowRares = check(QStringLiteral("Rares"), 136, 62, true);
  ShowCrafted = check(QStringLiteral("Crafted"), 200, 70, true);
  ShowMagics = check(QStringLiteral("Magiques"), 272, 78, true);
  ShowNormals = check(QStringLiteral("Normaux"), 352, 78, true);
  MaskPrice0 = check(QStringLiteral("Masquer objets dont le prix est de 0"), 432, 262, false);

  auto button = [&](const QString& caption, int left, int width, void (TItemG::*handler)()) {
    auto* b = new QPushButton(caption, this);
    b->setGeometry(left, 29, width, 25);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  AddItem = button(QStringLiteral("Ajouter..."), 2, 75, &TItemG::AddItemClick);
  DelItem = button(QStringLiteral("Supprimer"), 80, 75, &TItemG::DelItemClick);
  ModItem = button(QStringLiteral("Modifier..."), 158, 75, &TItemG::ModItemClick);
  SeeItem = button(QStringLiteral("Voir..."), 240, 75, &TItemG::SeeItemClick);
  AddToChar = button(QStringLiteral("<< Ajouter au perso"), 0, 105, &TItemG::AddToCharClick);
  AddToChar->setToolTip(QString::fromUtf8(
      "Donne l'objet s\u00E9lectionn\u00E9 au perso s\u00E9lectionn\u00E9 dans la fen\u00EAtre principale "
      "(Ctrl+Entr\u00E9e)"));
  // Held against the right edge, it may grow to the left when the font needs it.
  AddToChar->resize(std::max(105, AddToChar->sizeHint().width()), 25);

  model_ = new ItemListModel(this);
  Liste = new ItemListView(this);
  Liste->setModel(model_);
  GiveRowsRoomForAccents(*Liste);
  Liste->FitRowsToText();
  Liste->setSelectionBehavior(QAbstractItemView::SelectRows);
  Liste->setSelectionMode(QAbstractItemView::SingleSelection);
  Liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QHeaderView* header = Liste->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  for (int c = 0; c < kItemListColumnCount; ++c) header->resizeSection(c, kColumnWidths[c]);
  connect(header, &QHeaderView::sectionClicked, this, &TItemG::ListeColumnClick);
  connect(Liste, &QAbstractItemView::doubleClicked, this, [this] { SeeItemClick(); });
  // An item dragged onto a character (or its inventory) in the main window goes to it.
  Liste->setDragEnabled(true);
  Liste->setDragDropMode(QAbstractItemView::DragOnly);
  Liste->setDefaultDropAction(Qt::CopyAction);
  Liste->setAccessibleName(QStringLiteral("Objets"));

  Search = new QLineEdit(this);
  Search->setObjectName(QStringLiteral("Search"));
  Search->setPlaceholderText(QString::fromUtf8("Rechercher\u2026"));
  Search->setAccessibleName(QStringLiteral("Rechercher"));
  Search->setClearButtonEnabled(true);
  Search->setToolTip(SearchHelp());
  searchTimer_ = new QTimer(this);
  searchTimer_->setSingleShot(true);
  searchTimer_->setInterval(0);
  connect(searchTimer_, &QTimer::timeout, this, &TItemG::ApplySearchNow);
  // The search texts of a big catalogue come after the first screen, a few
  // milliseconds at a time between the window's events; a search typed
  // before they are all made makes the rest at once.
  searchTextTimer_ = new QTimer(this);
  searchTextTimer_->setInterval(0);
  connect(searchTextTimer_, &QTimer::timeout, this, [this] {
    QElapsedTimer step;
    step.start();
    while (step.elapsed() < kSearchTextStepMs) {
      if (model_->BuildSearchTexts(kSearchTextRows)) {
        searchTextTimer_->stop();
        return;
      }
    }
  });
  connect(Search, &QLineEdit::textChanged, this, &TItemG::SearchEdited);

  SearchProblem = new QLabel(this);
  SearchProblem->setObjectName(QStringLiteral("SearchProblem"));
  SearchProblem->setWordWrap(true);
  SearchProblem->setAccessibleDescription(QStringLiteral("Condition illisible"));
  QPalette problemColours = SearchProblem->palette();
  problemColours.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
  SearchProblem->setPalette(problemColours);
  SearchProblem->hide();

  CountLine = new QLabel(this);
  // A screen reader reads each line's own text, its figures; this says what they are.
  CountLine->setAccessibleDescription(QStringLiteral("Nombre d'objets"));
  CountNote = new QLabel(this);
  CountNote->setAccessibleDescription(QStringLiteral("Remarque sur la liste"));
  connect(model_, &ItemListModel::listed, this, &TItemG::ShowCounts);
  connect(Liste->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TItemG::ShowNote);
  handOverTimer_ = new QTimer(this);
  handOverTimer_->setSingleShot(true);
  handOverTimer_->setInterval(kHandOverNoteMs);
  connect(handOverTimer_, &QTimer::timeout, this, &TItemG::EndHandOverNote);

  BuildShortcutsAndMenu();
  PlaceControls();
  ShowSortIndicator();
  // The list follows the catalogue whoever changed it (a hidden window is filled when shown).
  connect(&changes, &CatalogueSignals::changed, this, &TItemG::CatalogueChanged);
}

void TItemG::BuildShortcutsAndMenu() {
  // The list's context menu offers the buttons' actions; their shortcuts work anywhere in the window.
  auto action = [this](const QString& caption, const QKeySequence& keys, void (TItemG::*handler)()) {
    auto* a = new QAction(caption, this);
    if (!keys.isEmpty()) a->setShortcut(keys);
    connect(a, &QAction::triggered, this, handler);
    Liste->addAction(a);
    return a;
  };
  Liste->setContextMenuPolicy(Qt::ActionsContextMenu);
  action(QStringLiteral("Ajouter..."), QKeySequence(Qt::CTRL | Qt::Key_N), &TItemG::AddItemClick);
  action(QStringLiteral("Modifier..."), {}, &TItemG::ModItemClick);
  action(QStringLiteral("Voir..."), {}, &TItemG::SeeItemClick);
  DuplicateAction =
      action(QStringLiteral("Dupliquer"), QKeySequence(Qt::CTRL | Qt::Key_D), &TItemG::DuplicateItemClick);
  // Delete only in the list: in the search field it deletes text.
  QAction* del = action(QStringLiteral("Supprimer"), QKeySequence(QKeySequence::Delete), &TItemG::DelItemClick);
  del->setShortcutContext(Qt::WidgetShortcut);
  // Ctrl+Entrée hands the selected item over from the list or the search field,
  // with either Enter key; the menu shows the one Qt's French names "Entrée".
  AddToCharAction =
      action(QStringLiteral("<< Ajouter au perso"), QKeySequence(Qt::CTRL | Qt::Key_Enter), &TItemG::AddToCharClick);
  AddToCharAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_Return)});
  const auto separate = [this] {
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    Liste->addAction(separator);
  };
  separate();
  // In the search field these keys take back its typing, as in any text field
  // (the field claims them first).
  UndoAction = action(QStringLiteral("&Annuler"), QKeySequence(QKeySequence::Undo), &TItemG::UndoClick);
  RedoAction =
      action(QString::fromUtf8("&R\u00E9tablir"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &TItemG::RedoClick);
  RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  ShowHistoryState();
  separate();
  action(QStringLiteral("Statistiques"), QKeySequence(Qt::CTRL | Qt::Key_I), &TItemG::StatsClick);

  auto shortcut = [](QKeySequence keys, QWidget* on, Qt::ShortcutContext context, auto handler) {
    auto* s = new QShortcut(keys, on);
    s->setContext(context);
    QObject::connect(s, &QShortcut::activated, on, handler);
  };
  // Enter opens the selected item as a double click does.
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    shortcut(QKeySequence(key), Liste, Qt::WidgetShortcut, [this] { SeeItemClick(); });
  }
  shortcut(QKeySequence(QKeySequence::Find), this, Qt::WindowShortcut, [this] {
    Search->setFocus(Qt::ShortcutFocusReason);
    Search->selectAll();
  });
  shortcut(QKeySequence(Qt::Key_Escape), Search, Qt::WidgetShortcut, [this] { Search->clear(); });
  // Down or Enter in the search field goes into the list, on its first row.
  for (const int key : {Qt::Key_Down, Qt::Key_Return, Qt::Key_Enter}) {
    shortcut(QKeySequence(key), Search, Qt::WidgetShortcut, [this] { EnterList(); });
  }
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this, Qt::WindowShortcut, [this] { emit exportRequested(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this, Qt::WindowShortcut, [this] { emit quitRequested(); });
}

void TItemG::UseHistory(HistorySignals* history) {
  history_ = history;
  if (history_) connect(history_, &HistorySignals::changed, this, &TItemG::ShowHistoryState);
  ShowHistoryState();
}

void TItemG::ShowHistoryState() {
  const CatalogueHistory* history = history_ ? &history_->History() : nullptr;
  NameStepAction(*UndoAction, QStringLiteral("&Annuler"), history ? history->UndoText() : std::string());
  NameStepAction(*RedoAction, QString::fromUtf8("&R\u00E9tablir"), history ? history->RedoText() : std::string());
  // Without the names (no history given), the keys still ask the main window.
  if (!history) {
    UndoAction->setEnabled(true);
    RedoAction->setEnabled(true);
  }
}

namespace {

// "Annulé : suppression de l'objet 12 « Anneau »".
QString DoneStepNote(const char* done, const std::string& step) {
  QString words = QtText(step);
  if (!words.isEmpty()) words[0] = words[0].toLower();
  return QString::fromUtf8(done) + QStringLiteral(" : ") + words;
}

}  // namespace

void TItemG::UndoClick() {
  const std::string step = history_ ? history_->History().UndoText() : std::string();
  emit undoRequested();
  if (!step.empty()) ShowBriefly(DoneStepNote("Annul\u00E9", step));
}

void TItemG::RedoClick() {
  const std::string step = history_ ? history_->History().RedoText() : std::string();
  emit redoRequested();
  if (!step.empty()) ShowBriefly(DoneStepNote("R\u00E9tabli", step));
}

ItemFilter TItemG::Filter() const {
  ItemFilter filter;
  filter.ShowQuality = {ShowNormals->isChecked(), ShowMagics->isChecked(), ShowRares->isChecked(),
                        ShowCrafted->isChecked(), ShowSets->isChecked(),   ShowUniques->isChecked()};
  filter.HidePrice0 = MaskPrice0->isChecked();
  filter.Search = search_;
  // perso: and libre ask who holds what now.
  if (filter.Search.DependsOnHolders()) filter.Search.ResolveHolders(catalogue_.CharList);
  return filter;
}

std::optional<std::vector<bool>> TItemG::ShownAt() const {
  if (listStale_ || refilterPending_) return std::nullopt;
  return model_->ShownAt(catalogue_.ItemList);
}

bool TItemG::IsItemShown(const TD2Item& item) const { return kistora::IsItemShown(item, Filter()); }

int TItemG::CompareAsNumbers(std::string_view a, std::string_view b) { return kistora::CompareAsNumbers(a, b); }

void TItemG::FillListe() {
  listStale_ = false;
  model_->Rebuild(catalogue_, Filter(), SortColumn, SortInverted);
  ShowSortIndicator();
  searchTextTimer_->start();
}

void TItemG::CatalogueChanged(const CatalogueChange& change) {
  // A search for perso: or libre shows other rows when the characters change.
  const bool holdersAsked = search_.DependsOnHolders() && change.TouchesChars();
  if (change.TouchesItems() || holdersAsked) {
    // Rows made once follow every change, the window shown or not (the
    // statistics count from them); rows never made, or a catalogue replaced
    // whole while hidden, are made when the window is shown.
    if (listStale_ || (!isVisible() && change.Kind == ChangeKind::Reset)) {
      if (change.TouchesItems()) listStale_ = true;
      ShowClick();
      return;
    }
    model_->ApplyChange(change, catalogue_);
    // As after listing the rows again: no row stays selected.
    if (change.TouchesItems()) Liste->selectionModel()->clear();
  }
  if (search_.DependsOnHolders() && change.TouchesChars()) {
    search_.CheckHolderNames(catalogue_.CharList);  // the character named may have come or gone
    ShowSearchProblem();
  }
  ShowNote();  // the selected item may have changed hands
}

void TItemG::SearchEdited() {
  if (model_->TotalCount() < kCoalesceKeystrokesFrom) {
    ApplySearchNow();
  } else {
    searchTimer_->start();  // restarted by every keystroke; reads the text when it fires
  }
}

void TItemG::ApplySearchNow() {
  searchTimer_->stop();
  search_ = ItemSearchQuery(Cp1252Text(Search->text()));
  if (search_.DependsOnHolders()) search_.CheckHolderNames(catalogue_.CharList);
  ShowSearchProblem();
  emit filterChanged();
  ShowClick();
}

void TItemG::ShowSearchProblem() {
  const QString problem = QtText(search_.Problem());
  const bool shown = !problem.isEmpty();
  SearchProblem->setText(shown ? QString::fromUtf8("Condition illisible : ") + problem : QString());
  if (shown != SearchProblem->isVisibleTo(this)) SearchProblem->setVisible(shown);
  PlaceControls();
}

void TItemG::EnterList() {
  if (searchTimer_->isActive()) ApplySearchNow();  // the rows of the text as typed
  if (model_->rowCount() == 0) return;
  Liste->setFocus(Qt::ShortcutFocusReason);
  const QModelIndex first = model_->index(0, 0);
  Liste->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  Liste->scrollTo(first);
}

void TItemG::ShowCounts() {
  CountLine->setText(
      QtText(ItemWindowCountText(model_->rowCount(), model_->TotalCount(), model_->ShownTotals().Value)));
  ShowNote();
}

void TItemG::ShowNote() {
  QString note;
  QString full;  // what a cut note says in its tooltip
  if (handOverTimer_->isActive()) {
    note = briefNote_;
  } else if (const QModelIndexList rows = Liste->selectionModel()->selectedRows(); !rows.isEmpty()) {
    if (const std::optional<ItemListRow> row = model_->RowAt(rows.first().row())) {
      const std::vector<ItemHolder> holders = HoldersOf(catalogue_.CharList, row->Index);
      note = QtText(HeldByText(holders, kHoldersNamed));
      full = QtText(HeldByText(holders));
    }
  }
  CountNote->setProperty("fullText", note.isEmpty() ? note : QString::fromUtf8("\u00B7 ") + note);
  PlaceCountLine();
  // The tooltip says what a cut note says, without the dot that parts it from the counts.
  if (full.isEmpty() && CountNote->text() != CountNote->property("fullText").toString()) full = note;
  CountNote->setToolTip(full);
}

void TItemG::PlaceCountLine() {
  const int top = Liste->geometry().bottom() + 1;
  const int width = std::max(0, this->width() - 8);
  // The counts first and whole; the note takes what is left of the line.
  const int countsWidth = std::min(width, CountLine->sizeHint().width());
  CountLine->setGeometry(4, top, countsWidth, kCountLineHeight);
  const int noteLeft = 4 + countsWidth + 6;
  CountNote->setGeometry(noteLeft, top, std::max(0, 4 + width - noteLeft), kCountLineHeight);
  const QString note = CountNote->property("fullText").toString();
  CountNote->setText(CountNote->fontMetrics().elidedText(note, Qt::ElideRight, CountNote->width()));
}

void TItemG::ShowHandedOver(std::int32_t number, int row) {
  const TChar* character = catalogue_.CharAt(row);
  const TD2Item* item = catalogue_.FindItem(number);
  if (!character || !item) return;
  ShowBriefly(QString::fromUtf8("\u00AB ") + QtText(item->Name) + QString::fromUtf8(" \u00BB ajout\u00E9 \u00E0 ") +
              QtText(character->Name));
}

void TItemG::ShowNoCharSelected() {
  ShowBriefly(
      QString::fromUtf8("Aucun perso s\u00E9lectionn\u00E9 dans la fen\u00EAtre principale : "
                        "choisissez celui qui recevra l'objet"));
}

void TItemG::ShowBriefly(const QString& note) {
  briefNote_ = note;
  handOverTimer_->start();
  ShowNote();
}

void TItemG::EndHandOverNote() {
  handOverTimer_->stop();
  ShowNote();
}

QPoint TItemG::FirstShowPosition() const {
  if (shownOnce_ || PositionFromOptions) return frameGeometry().topLeft();
  return CentredOverPosition(*this, parentWidget());
}

void TItemG::ShowAndRaise() {
  if (!shownOnce_) {
    shownOnce_ = true;
    if (!PositionFromOptions) CentreOver(*this, parentWidget());
    // Wholly on the screen, title bar included, wherever the centring or the file put it.
    KeepOnScreen(*this);
  }
  if (isMinimized()) {
    showNormal();
  } else {
    show();
  }
  raise();
  activateWindow();
}

void TItemG::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  refilterPending_ = false;
  if (listStale_) {
    FillListe();
  } else {
    model_->Refilter(Filter(), SortColumn, SortInverted);
  }
}

void TItemG::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

void TItemG::PlaceControls() {
  AddToChar->move(width() - AddToChar->width() - 2, 29);
  // The search field fills the free space of the button row.
  const int searchLeft = SeeItem->geometry().right() + 7;
  Search->setGeometry(searchLeft, 29, std::max(0, AddToChar->x() - 6 - searchLeft), 25);
  // A condition that cannot be read takes its own lines above the list, as many as it needs.
  int listTop = kListTop;
  if (SearchProblem->isVisibleTo(this)) {
    const int problemWidth = std::max(0, width() - 8);
    const int problemHeight = SearchProblem->heightForWidth(problemWidth);
    SearchProblem->setGeometry(4, kListTop, problemWidth, problemHeight);
    listTop += problemHeight + 2;
  }
  const int listHeight = std::max(0, height() - listTop - kCountLineHeight);
  Liste->setGeometry(0, listTop, width(), listHeight);
  PlaceCountLine();
}

void TItemG::ShowSortIndicator() {
  const int column = EffectiveSortColumn(SortColumn);
  // Prices run highest first unless inverted; every other column lowest first.
  const bool descending = (column == kColPrice) != SortInverted;
  Liste->header()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

int TItemG::SelectedItemPos() const {
  const QModelIndexList rows = Liste->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  const std::optional<ItemListRow> row = model_->RowAt(rows.first().row());
  return row ? catalogue_.FindFirstItemPos(row->Index) : -1;
}

void TItemG::ShowClick() {
  // A hidden window is filled when it is shown; no need to list for nobody.
  if (!isVisible()) {
    refilterPending_ = true;
    return;
  }
  refilterPending_ = false;
  if (listStale_) {
    FillListe();
  } else {
    model_->Refilter(Filter(), SortColumn, SortInverted);
  }
}

std::unique_ptr<TD2Item> TItemG::EditInDialog(const TD2Item* start) {
  if (!itemP_) return nullptr;
  itemP_->SetReadOnly(false);
  if (start) {
    itemP_->LoadItem(*start);
  } else {
    itemP_->ClearFields();
  }
  return itemP_->Execute() ? itemP_->ItemFromDialog() : nullptr;
}

void TItemG::AddItemClick() {
  if (std::unique_ptr<TD2Item> item = EditInDialog(nullptr)) catalogue_.AddNewItem(std::move(item));
  Liste->setFocus();
}

void TItemG::ModItemClick() {
  const int pos = SelectedItemPos();
  if (pos >= 0) {
    const std::int32_t number = catalogue_.ItemList[static_cast<std::size_t>(pos)]->Index;
    // Found again by number: the list may have changed while the dialog was open.
    if (std::unique_ptr<TD2Item> item = EditInDialog(catalogue_.ItemList[static_cast<std::size_t>(pos)].get()))
      catalogue_.ModifyItem(number, std::move(item));
  }
  Liste->setFocus();
}

void TItemG::DuplicateItemClick() {
  const int pos = SelectedItemPos();
  // The dialog shows a copy; confirmed, it becomes a new item with a number of its own.
  if (pos >= 0) {
    if (std::unique_ptr<TD2Item> item = EditInDialog(catalogue_.ItemList[static_cast<std::size_t>(pos)].get()))
      catalogue_.AddNewItem(std::move(item));
  }
  Liste->setFocus();
}

void TItemG::SeeItemClick() {
  const int pos = SelectedItemPos();
  if (pos >= 0 && itemP_) {
    itemP_->LoadItem(*catalogue_.ItemList[static_cast<std::size_t>(pos)]);
    itemP_->SetReadOnly(true);
    itemP_->Execute();
  }
  Liste->setFocus();
}

void TItemG::DelItemClick() {
  const QModelIndexList selected = Liste->selectionModel()->selectedRows();
  const std::optional<ItemListRow> row = selected.isEmpty() ? std::nullopt : model_->RowAt(selected.first().row());
  MessageService* messages = CurrentPlatform().Messages;
  if (row && messages) {
    const std::int32_t number = row->Index;
    const QString text = QStringLiteral("Etes-vous sûr(e) de vouloir supprimer l'objet '") + QtText(row->Name) +
                         QStringLiteral("'? Toutes ses références seront supprimées.");
    if (messages->Confirm(this, text)) catalogue_.DeleteItem(number);
  }
  Liste->setFocus();
}

void TItemG::AddToCharClick() {
  const int pos = SelectedItemPos();
  if (pos >= 0) emit addToCharRequested(catalogue_.ItemList[static_cast<std::size_t>(pos)]->Index);
  Liste->setFocus();
}

void TItemG::ListeColumnClick(int column) {
  if (column == SortColumn) {
    SortInverted = !SortInverted;
  } else {
    SortColumn = column;
    SortInverted = false;
  }
  model_->Resort(SortColumn, SortInverted);
  ShowSortIndicator();
}

void TItemG::BindOptions(OptionBindings& b) {
  using Id = OptionId;
  // Never shown in this run: the file keeps where the window would have opened.
  BindBounds(
      b, Id::IwpLeft, this, [this] { PositionFromOptions = true; }, [this] { return FirstShowPosition(); });
  BindColumns(b, Id::DcsIndex, Liste->header(), 6);
  // Checking or unchecking a filter box refilters the list, as a click does.
  BindCheck(b, Id::IdbShowUniques, ShowUniques);
  BindCheck(b, Id::IdbShowSets, ShowSets);
  BindCheck(b, Id::IdbShowRares, ShowRares);
  BindCheck(b, Id::IdbShowCrafted, ShowCrafted);
  BindCheck(b, Id::IdbShowMagics, ShowMagics);
  BindCheck(b, Id::IdbShowNormals, ShowNormals);
  BindCheck(b, Id::IdbHidePrice0, MaskPrice0);
  b.BindInteger(
      Id::IdbSortCol, [this] { return SortColumn; },
      [this](std::int32_t column) {
        SortColumn = column;  // the window itself copes with any column number
        ShowClick();
      });
  b.BindFlag(
      Id::IdbSortInvert, [this] { return SortInverted; },
      [this](bool inverted) {
        SortInverted = inverted;
        ShowClick();
      });
}

void TItemG::KeepSelection() {
  keptNumber_.reset();
  const QModelIndexList rows = Liste->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  if (const std::optional<ItemListRow> row = model_->RowAt(rows.first().row())) keptNumber_ = row->Index;
}

void TItemG::SelectKept() {
  if (!keptNumber_) return;
  const std::int32_t number = *keptNumber_;
  keptNumber_.reset();
  for (int viewRow = 0; viewRow < model_->rowCount(); ++viewRow) {
    const std::optional<ItemListRow> row = model_->RowAt(viewRow);
    if (!row || row->Index != number) continue;
    const QModelIndex index = model_->index(viewRow, 0);
    Liste->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Liste->scrollTo(index);
    return;
  }
}
