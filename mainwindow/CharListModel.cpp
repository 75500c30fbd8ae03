#include "mainwindow/CharListModel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

#include "gui/QtText.h"
#include "model/catalogue.h"

namespace kistora {

CharListModel::CharListModel(const TCatalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent), catalogue_(catalogue) {}

int CharListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(catalogue_.CharList.size());
}

int CharListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant CharListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::TextAlignmentRole && index.column() == kLevel)
    return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
  if (role == Qt::BackgroundRole && index.row() == dropRow_) {
    // The selection's colour, lighter: the row that would receive the dropped item.
    QColor colour = QGuiApplication::palette().color(QPalette::Highlight);
    colour.setAlpha(96);
    return QBrush(colour);
  }
  // The tooltip holds the whole text, which a narrow column cuts.
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const TChar& character = *catalogue_.CharList[static_cast<std::size_t>(index.row())];
  switch (index.column()) {
    case kName:
      return QtText(character.Name);
    case kAccount:
      return QtText(character.Account);
    case kClass:
      return QtText(character.Class);
    case kLevel:
      return QtText(character.Level);
    case kNotes:
      return QtText(character.Notes);
    default:
      return {};
  }
}

QVariant CharListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue((section == kLevel ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  switch (section) {
    case kName:
      return QStringLiteral("Nom");
    case kAccount:
      return QStringLiteral("Account");
    case kClass:
      return QStringLiteral("Classe");
    case kLevel:
      return QStringLiteral("CLvl");
    case kNotes:
      return QStringLiteral("Notes");
    default:
      return {};
  }
}

void CharListModel::Rebuild() {
  beginResetModel();
  endResetModel();
}

void CharListModel::RowChanged(int row) { emit dataChanged(index(row, 0), index(row, kColumnCount - 1)); }

void CharListModel::SetDropRow(int row) {
  if (row == dropRow_) return;
  const int previous = dropRow_;
  dropRow_ = row;
  if (previous >= 0 && previous < rowCount()) RowChanged(previous);
  if (row >= 0 && row < rowCount()) RowChanged(row);
}

}  // namespace kistora
