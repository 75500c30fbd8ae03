#include "mainwindow/InventoryModel.h"

#include <algorithm>

#include "gui/QtText.h"
#include "model/catalogue.h"
#include "model/text_utils.h"

namespace kistora {

int InventoryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int InventoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kItemListColumnCount; }

QVariant InventoryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::TextAlignmentRole && index.column() == kColPrice)
    return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
  // The tooltip holds the whole text, which a narrow column cuts.
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const Row& row = rows_[static_cast<std::size_t>(index.row())];
  if (!row.known && index.column() != kColIndex) return QString();
  return QtText(ItemListCell(row.cells, index.column()));
}

QVariant InventoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue((section == kColPrice ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  switch (section) {
    case kColIndex:
      return QStringLiteral("Item #");
    case kColName:
      return QStringLiteral("Nom");
    case kColType:
      return QStringLiteral("Type");
    case kColQuality:
      return QString::fromUtf8("Qualité");
    case kColPrice:
      return QStringLiteral("Prix");
    case kColNotes:
      return QStringLiteral("Notes");
    default:
      return {};
  }
}

void InventoryModel::Fill(const TCatalogue& catalogue, const TChar* character) {
  beginResetModel();
  rows_.clear();
  if (character != nullptr && character->ItemCount() > 0) {
    // One pass over the database for the whole list instead of one per entry.
    const ItemLookup lookup(catalogue);
    rows_.reserve(static_cast<std::size_t>(character->ItemCount()));
    for (std::int32_t number : character->Items) {
      Row row;
      if (const TD2Item* item = lookup.Find(number)) {
        row.item = ItemPtr::Share(*item);
        row.cells = MakeItemListRow(*item);
        row.known = true;
      } else {
        row.cells.Index = number;
      }
      rows_.push_back(std::move(row));
    }
  }
  endResetModel();
}

ItemTotals InventoryModel::Totals() const {
  ItemTotals totals;
  for (const Row& row : rows_) totals.Add(row.known ? row.cells.Price : 0);
  return totals;
}

bool InventoryModel::Lists(std::int32_t number) const {
  return std::any_of(rows_.begin(), rows_.end(), [number](const Row& row) { return row.cells.Index == number; });
}

std::string InventoryModel::NumberText(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  return IntToStr(rows_[static_cast<std::size_t>(row)].cells.Index);
}

}  // namespace kistora
