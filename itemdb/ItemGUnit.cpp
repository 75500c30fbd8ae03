#include "itemdb/ItemGUnit.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTreeView>
#include <algorithm>

#include "app/CatalogueSignals.h"
#include "app/OptionBinders.h"
#include "app/Platform.h"
#include "app/QtText.h"
#include "app/WindowPlacement.h"
#include "itemdb/ItemListModel.h"
#include "itemdb/ItemPUnit.h"

using namespace kistora;

namespace {

constexpr int kListTop = 56;
constexpr int kColumnWidths[kItemListColumnCount] = {50, 100, 100, 100, 40, 200};

}  // namespace

TItemG::TItemG(TCatalogue& catalogue, CatalogueSignals& changes, QWidget* parent)
    : QWidget(parent, Qt::Window), catalogue_(catalogue) {
  setWindowTitle(QStringLiteral("Gestionnaire d'objets"));
  resize(701, 572);

  auto check = [&](const QString& caption, int left, int width, bool checked) {
    auto* box = new QCheckBox(caption, this);
    box->setGeometry(left, 8, width, 17);
    box->setChecked(checked);
    // Also programmatic changes (the options file) re-filter, as a click does.
    connect(box, &QCheckBox::toggled, this, &TItemG::ShowClick);
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
  Liste = new QTreeView(this);
  Liste->setModel(model_);
  Liste->setRootIsDecorated(false);
  Liste->setItemsExpandable(false);
  Liste->setUniformRowHeights(true);  // lets the view lay out 100,000 rows without measuring them
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

  PlaceControls();
  ShowSortIndicator();
  // The list follows the catalogue whoever changed it (a hidden window is filled when shown).
  connect(&changes, &CatalogueSignals::itemsChanged, this, &TItemG::ShowClick);
}

ItemFilter TItemG::Filter() const {
  ItemFilter filter;
  filter.ShowQuality = {ShowNormals->isChecked(), ShowMagics->isChecked(), ShowRares->isChecked(),
                        ShowCrafted->isChecked(), ShowSets->isChecked(),   ShowUniques->isChecked()};
  filter.HidePrice0 = MaskPrice0->isChecked();
  return filter;
}

bool TItemG::IsItemShown(const TD2Item& item) const { return kistora::IsItemShown(item, Filter()); }

int TItemG::CompareAsNumbers(std::string_view a, std::string_view b) { return kistora::CompareAsNumbers(a, b); }

void TItemG::FillListe() {
  model_->Rebuild(catalogue_, Filter(), SortColumn, SortInverted);
  ShowSortIndicator();
}

void TItemG::ShowAndRaise() {
  if (!shownOnce_) {
    shownOnce_ = true;
    if (!PositionFromOptions) CentreOver(*this, parentWidget());
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
  if (!event->spontaneous()) FillListe();
}

void TItemG::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceControls();
}

void TItemG::PlaceControls() {
  AddToChar->move(width() - AddToChar->width() - 2, 29);
  Liste->setGeometry(0, kListTop, width(), std::max(0, height() - kListTop));
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
  if (isVisible()) FillListe();
}

void TItemG::AddItemClick() {
  if (!itemP_) return;
  itemP_->SetReadOnly(false);
  itemP_->ClearFields();
  if (itemP_->Execute()) {
    if (std::unique_ptr<TD2Item> item = itemP_->ItemFromDialog()) catalogue_.AddNewItem(std::move(item));
  }
  Liste->setFocus();
}

void TItemG::ModItemClick() {
  const int pos = SelectedItemPos();
  if (pos >= 0 && itemP_) {
    const std::int32_t number = catalogue_.ItemList[static_cast<std::size_t>(pos)]->Index;
    itemP_->SetReadOnly(false);
    itemP_->LoadItem(*catalogue_.ItemList[static_cast<std::size_t>(pos)]);
    if (itemP_->Execute()) {
      // Found again by number: the list may have changed while the dialog was open.
      if (std::unique_ptr<TD2Item> item = itemP_->ItemFromDialog()) catalogue_.ModifyItem(number, std::move(item));
    }
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
  BindBounds(b, Id::IwpLeft, this, [this] { PositionFromOptions = true; });
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
