#include "app/AppIcon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kistora {
namespace {

// A dark red shield with a golden "K".
QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  QPainterPath shield;
  shield.moveTo(s * 0.12, s * 0.08);
  shield.lineTo(s * 0.88, s * 0.08);
  shield.lineTo(s * 0.88, s * 0.50);
  shield.quadTo(s * 0.86, s * 0.80, s * 0.50, s * 0.96);
  shield.quadTo(s * 0.14, s * 0.80, s * 0.12, s * 0.50);
  shield.closeSubpath();
  painter.setPen(QPen(QColor(0xC8, 0xA0, 0x40), s / 16));
  painter.setBrush(QColor(0x7A, 0x10, 0x10));
  painter.drawPath(shield);
  QFont font;
  font.setBold(true);
  font.setPixelSize(static_cast<int>(s * 0.55));
  painter.setFont(font);
  painter.setPen(QColor(0xF0, 0xC8, 0x50));
  painter.drawText(QRectF(0, s * 0.06, s, s * 0.8), Qt::AlignCenter, QStringLiteral("K"));
  return pixmap;
}

}  // namespace

QIcon KistoraIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(DrawIcon(size));
  return icon;
}

}  // namespace kistora
