#include "itemdb/ItemGUnit.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QTreeView>
#include <algorithm>

#include "app/MainUnit.h"
#include "app/Platform.h"
#include "app/Windows.h"
#include "itemdb/ItemListModel.h"
#include "itemdb/ItemPUnit.h"
#include "model/cp1252.h"

using namespace kistora;

namespace {

constexpr int kListTop = 56;
constexpr int kColumnWidths[kItemListColumnCount] = {50, 100, 100, 100, 40, 200};

TCatalogue* CurrentCatalogue() {
  TMain* main = Windows().Main;
  return main ? &main->Catalogue() : nullptr;
}

}  // namespace

TItemG::TItemG(QWidget* parent) : QWidget(parent, Qt::Window) {
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
  static const TCatalogue kEmpty;
  const TCatalogue* catalogue = CurrentCatalogue();
  model_->Rebuild(catalogue ? *catalogue : kEmpty, Filter(), SortColumn, SortInverted);
  ShowSortIndicator();
}

void TItemG::ShowAndRaise() {
  if (!shownOnce_) {
    shownOnce_ = true;
    const TMain* main = Windows().Main;
    if (main && !PositionFromOptions) {
      move(main->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    }
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
  const TCatalogue* catalogue = CurrentCatalogue();
  if (!catalogue) return -1;
  const QModelIndexList rows = Liste->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  const ItemListRow* row = model_->RowAt(rows.first().row());
  return row ? catalogue->FindFirstItemPos(row->Index) : -1;
}

void TItemG::ShowClick() {
  // A hidden window is filled when it is shown; no need to list for nobody.
  if (isVisible()) FillListe();
}

void TItemG::AddItemClick() {
  TItemP* dialog = Windows().ItemP;
  TCatalogue* catalogue = CurrentCatalogue();
  if (dialog && catalogue) {
    dialog->SetReadOnly(false);
    dialog->ClearFields();
    if (dialog->Execute()) {
      if (std::unique_ptr<TD2Item> item = dialog->ItemFromDialog()) {
        item->Index = catalogue->NewItemIndex();
        catalogue->ItemList.push_back(std::move(item));
        FillListe();
      }
    }
  }
  Liste->setFocus();
}

void TItemG::ModItemClick() {
  TItemP* dialog = Windows().ItemP;
  TCatalogue* catalogue = CurrentCatalogue();
  const int pos = SelectedItemPos();
  if (dialog && catalogue && pos >= 0) {
    const std::int32_t number = catalogue->ItemList[static_cast<std::size_t>(pos)]->Index;
    dialog->SetReadOnly(false);
    dialog->LoadItem(*catalogue->ItemList[static_cast<std::size_t>(pos)]);
    if (dialog->Execute()) {
      if (std::unique_ptr<TD2Item> item = dialog->ItemFromDialog()) {
        // Found again by number: the list may have changed while the dialog was open.
        const int now = catalogue->FindFirstItemPos(number);
        if (now >= 0) {
          catalogue->ReplaceItemAt(now, std::move(item));
          FillListe();
          Windows().Main->FillCharInv();
        }
      }
    }
  }
  Liste->setFocus();
}

void TItemG::SeeItemClick() {
  TItemP* dialog = Windows().ItemP;
  TCatalogue* catalogue = CurrentCatalogue();
  const int pos = SelectedItemPos();
  if (dialog && catalogue && pos >= 0) {
    dialog->LoadItem(*catalogue->ItemList[static_cast<std::size_t>(pos)]);
    dialog->SetReadOnly(true);
    dialog->Execute();
  }
  Liste->setFocus();
}

void TItemG::DelItemClick() {
  TCatalogue* catalogue = CurrentCatalogue();
  const QModelIndexList selected = Liste->selectionModel()->selectedRows();
  const ItemListRow* row = selected.isEmpty() ? nullptr : model_->RowAt(selected.first().row());
  MessageService* messages = CurrentPlatform().Messages;
  if (catalogue && row && messages) {
    const std::int32_t number = row->Index;
    const QString text = QStringLiteral("Etes-vous sûr(e) de vouloir supprimer l'objet '") +
                         QString::fromStdString(Cp1252ToUtf8(row->Name)) +
                         QStringLiteral("'? Toutes ses références seront supprimées.");
    if (messages->Confirm(this, text)) {
      const int pos = catalogue->FindFirstItemPos(number);
      if (pos >= 0) {
        catalogue->DeleteItemAt(pos);
        FillListe();
        Windows().Main->FillCharInv();
      }
    }
  }
  Liste->setFocus();
}

void TItemG::AddToCharClick() {
  TCatalogue* catalogue = CurrentCatalogue();
  const int pos = SelectedItemPos();
  if (catalogue && pos >= 0) {
    Windows().Main->AddItemToChar(*catalogue->ItemList[static_cast<std::size_t>(pos)]);
  }
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
