#include "gui/ItemDrag.h"

#include <QMimeData>

namespace kistora {

QString ItemNumberMimeType() { return QStringLiteral("application/x-kistora-item-number"); }

QMimeData* ItemNumberMimeData(std::int32_t number) {
  auto* data = new QMimeData();
  data->setData(ItemNumberMimeType(), QByteArray::number(number));
  return data;
}

std::optional<std::int32_t> ItemNumberFromMime(const QMimeData* data) {
  if (!data || !data->hasFormat(ItemNumberMimeType())) return std::nullopt;
  bool ok = false;
  const int number = data->data(ItemNumberMimeType()).toInt(&ok);
  if (!ok) return std::nullopt;
  return static_cast<std::int32_t>(number);
}

}  // namespace kistora
