#include "itemdb/ItemGUnit.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "gui/CatalogueSignals.h"
#include "gui/ListRows.h"
#include "gui/OptionBinders.h"
#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/WindowFrame.h"
#include "gui/WindowPlacement.h"
#include "itemdb/ItemListModel.h"
#include "itemdb/ItemListView.h"
#include "itemdb/ItemPUnit.h"

using namespace kistora;

namespace {

constexpr int kListTop = 56;
constexpr int kCountLineHeight = 18;  // taken from the bottom of the list
// From this many items a refilter may outlast a frame: keystrokes typed
// meanwhile are gathered into one refilter with the text as it then is.
constexpr std::int64_t kCoalesceKeystrokesFrom = 100000;
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
  // Held against the right edge, it may grow to the left when the font needs it.
  AddToChar->resize(std::max(105, AddToChar->sizeHint().width()), 25);

  model_ = new ItemListModel(this);
  Liste = new ItemListView(this);
  Liste->setModel(model_);
  Liste->setRootIsDecorated(false);
  Liste->setItemsExpandable(false);
  Liste->setUniformRowHeights(true);  // lets the view lay out 100,000 rows without measuring them
  GiveRowsRoomForAccents(*Liste);
  Liste->setAllColumnsShowFocus(true);
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
  connect(Liste, &QTreeView::doubleClicked, this, [this] { SeeItemClick(); });
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
  searchTimer_ = new QTimer(this);
  searchTimer_->setSingleShot(true);
  searchTimer_->setInterval(0);
  connect(searchTimer_, &QTimer::timeout, this, &TItemG::ApplySearchNow);
  connect(Search, &QLineEdit::textChanged, this, &TItemG::SearchEdited);

  CountLine = new QLabel(this);
  // A screen reader reads the line's own text, its figures; this says what they count.
  CountLine->setAccessibleDescription(QStringLiteral("Nombre d'objets"));
  connect(model_, &ItemListModel::listed, this, &TItemG::ShowCounts);

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
  action(QStringLiteral("<< Ajouter au perso"), {}, &TItemG::AddToCharClick);
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  Liste->addAction(separator);
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
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this, Qt::WindowShortcut, [this] { emit exportRequested(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this, Qt::WindowShortcut, [this] { emit quitRequested(); });
  // In the search field these keys take back its typing, as in any text field.
  shortcut(QKeySequence(QKeySequence::Undo), this, Qt::WindowShortcut, [this] { emit undoRequested(); });
  for (const QKeySequence& redo : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
    shortcut(redo, this, Qt::WindowShortcut, [this] { emit redoRequested(); });
}

ItemFilter TItemG::Filter() const {
  ItemFilter filter;
  filter.ShowQuality = {ShowNormals->isChecked(), ShowMagics->isChecked(), ShowRares->isChecked(),
                        ShowCrafted->isChecked(), ShowSets->isChecked(),   ShowUniques->isChecked()};
  filter.HidePrice0 = MaskPrice0->isChecked();
  filter.Search = search_;
  return filter;
}

bool TItemG::IsItemShown(const TD2Item& item) const { return kistora::IsItemShown(item, Filter()); }

int TItemG::CompareAsNumbers(std::string_view a, std::string_view b) { return kistora::CompareAsNumbers(a, b); }

void TItemG::FillListe() {
  listStale_ = false;
  model_->Rebuild(catalogue_, Filter(), SortColumn, SortInverted);
  ShowSortIndicator();
}

void TItemG::CatalogueChanged(const CatalogueChange& change) {
  if (!change.TouchesItems()) return;
  // A hidden window lists nobody: it makes its rows again when shown.
  if (!isVisible() || listStale_) {
    listStale_ = true;
    ShowClick();
    return;
  }
  model_->ApplyChange(change, catalogue_);
  // As after listing the rows again: no row stays selected.
  Liste->selectionModel()->clear();
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
  emit filterChanged();
  ShowClick();
}

void TItemG::ShowCounts() {
  CountLine->setText(
      QtText(ItemWindowCountText(model_->rowCount(), model_->TotalCount(), model_->ShownTotals().Value)));
}

void TItemG::ShowHandedOver(std::int32_t number, int row) {
  const TChar* character = catalogue_.CharAt(row);
  const TD2Item* item = catalogue_.FindItem(number);
  if (!character || !item) return;
  CountLine->setText(QString::fromUtf8("\u00AB ") + QtText(item->Name) +
                     QString::fromUtf8(" \u00BB ajout\u00E9 \u00E0 ") + QtText(character->Name));
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
  const int listHeight = std::max(0, height() - kListTop - kCountLineHeight);
  Liste->setGeometry(0, kListTop, width(), listHeight);
  CountLine->setGeometry(4, kListTop + listHeight, std::max(0, width() - 8), kCountLineHeight);
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
  const ItemListRow* row = model_->RowAt(rows.first().row());
  return row ? catalogue_.FindFirstItemPos(row->Index) : -1;
}

void TItemG::ShowClick() {
  // A hidden window is filled when it is shown; no need to list for nobody.
  if (!isVisible()) return;
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
  const ItemListRow* row = selected.isEmpty() ? nullptr : model_->RowAt(selected.first().row());
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
  BindColumns(b, Id::DcsIndex, Liste, 6);
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
