#include "gui/ItemDrag.h"

#include <QFontMetrics>
#include <QMimeData>
#include <QPainter>
#include <QWidget>

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

QPixmap ItemDragLabel(const QString& name, const QWidget& from) {
  const QFontMetrics metrics(from.font());
  const QString text = metrics.elidedText(name.isEmpty() ? QStringLiteral("?") : name, Qt::ElideRight, 240);
  const QSize size(metrics.horizontalAdvance(text) + 12, metrics.height() + 6);
  const qreal ratio = from.devicePixelRatioF();
  QPixmap label(size * ratio);
  label.setDevicePixelRatio(ratio);
  label.fill(from.palette().color(QPalette::Highlight));
  QPainter painter(&label);
  painter.setFont(from.font());
  painter.setPen(from.palette().color(QPalette::HighlightedText));
  painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, text);
  return label;
}

}  // namespace kistora
