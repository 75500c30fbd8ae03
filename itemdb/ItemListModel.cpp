#include "itemdb/ItemListModel.h"

#include "gui/ItemDrag.h"
#include "gui/QtText.h"

using namespace kistora;

namespace {}  // namespace

ItemListModel::ItemListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ItemListModel::Rebuild(const TCatalogue& catalogue, const ItemFilter& filter, std::int32_t sortColumn,
                            bool sortInverted) {
  snapshot_.Build(catalogue.ItemList);
  Refilter(filter, sortColumn, sortInverted);
}

void ItemListModel::ApplyChange(const CatalogueChange& change, const TCatalogue& catalogue) {
  shown_.FollowChange(snapshot_, change, catalogue, this);
  emit listed();
}

void ItemListModel::RowAboutToGo(int viewRow) { beginRemoveRows({}, viewRow, viewRow); }
void ItemListModel::RowGone() { endRemoveRows(); }
void ItemListModel::RowAboutToCome(int viewRow) { beginInsertRows({}, viewRow, viewRow); }
void ItemListModel::RowCame() { endInsertRows(); }
void ItemListModel::RowRedrawn(int viewRow) {
  emit dataChanged(index(viewRow, 0), index(viewRow, kItemListColumnCount - 1));
}
void ItemListModel::AboutToRelist() { beginResetModel(); }
void ItemListModel::Relisted() { endResetModel(); }

void ItemListModel::Refilter(const ItemFilter& filter, std::int32_t sortColumn, bool sortInverted) {
  beginResetModel();
  shown_.Relist(snapshot_, filter, sortColumn, sortInverted);
  endResetModel();
  emit listed();
}

void ItemListModel::Resort(std::int32_t sortColumn, bool sortInverted) {
  const std::vector<std::uint32_t>& order = shown_.Order();
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<std::uint32_t> before = order;
  shown_.Resort(snapshot_, sortColumn, sortInverted);

  // Move the views' persistent indexes (selection, current row) with their rows.
  std::vector<int> newRowOf(snapshot_.Size());
  for (std::size_t viewRow = 0; viewRow < order.size(); ++viewRow) {
    newRowOf[order[viewRow]] = static_cast<int>(viewRow);
  }
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from) {
    const int newRow = newRowOf[before[static_cast<std::size_t>(index.row())]];
    to.append(this->index(newRow, index.column()));
  }
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::optional<ItemListRow> ItemListModel::RowAt(int viewRow) const {
  const std::vector<std::uint32_t>& order = shown_.Order();
  if (viewRow < 0 || static_cast<std::size_t>(viewRow) >= order.size()) return std::nullopt;
  return snapshot_.Row(order[static_cast<std::size_t>(viewRow)]);
}

std::optional<std::vector<bool>> ItemListModel::ShownAt(const ItemVector& items) const {
  if (!snapshot_.AlignedWith(items)) return std::nullopt;
  std::vector<bool> shown(items.size());
  for (const std::uint32_t position : shown_.Order()) shown[position] = true;
  return shown;
}

int ItemListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.Order().size());
}

int ItemListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kItemListColumnCount; }

QVariant ItemListModel::data(const QModelIndex& index, int role) const {
  const std::optional<ItemListRow> row = index.isValid() ? RowAt(index.row()) : std::nullopt;
  if (!row) return {};
  // The tooltip holds the whole text, which a narrow column cuts.
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return QtText(ItemListCell(*row, index.column()));
  if (role == Qt::TextAlignmentRole && index.column() == kColPrice) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  }
  return {};
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) {
    switch (section) {
      case kColIndex:
        return QStringLiteral("Item #");
      case kColName:
        return QStringLiteral("Nom");
      case kColType:
        return QStringLiteral("Type");
      case kColQuality:
        return QStringLiteral("Qualité");
      case kColPrice:
        return QStringLiteral("Prix");
      case kColNotes:
        return QStringLiteral("Notes");
      default:
        return {};
    }
  }
  if (role == Qt::TextAlignmentRole && section == kColPrice) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  }
  return {};
}

Qt::ItemFlags ItemListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled;
}

QStringList ItemListModel::mimeTypes() const { return {ItemNumberMimeType()}; }

QMimeData* ItemListModel::mimeData(const QModelIndexList& indexes) const {
  const std::optional<ItemListRow> row = indexes.isEmpty() ? std::nullopt : RowAt(indexes.first().row());
  if (!row) return nullptr;
  return ItemNumberMimeData(row->Index);
}
