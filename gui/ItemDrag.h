// An item dragged from the item database list to a character: the data carries
// the item's number under a type of the program's own.
#pragma once

#include <QPixmap>
#include <QString>
#include <cstdint>
#include <optional>

class QMimeData;
class QWidget;

namespace kistora {

// "application/x-kistora-item-number": the number in decimal ASCII.
QString ItemNumberMimeType();
// New data carrying number (the caller, usually the drag, owns it).
QMimeData* ItemNumberMimeData(std::int32_t number);
// The number a drop carries, or nothing when it carries no item (or a bad number).
std::optional<std::int32_t> ItemNumberFromMime(const QMimeData* data);
// What a dragged item looks like: its name on a small label in from's colours.
QPixmap ItemDragLabel(const QString& name, const QWidget& from);

}  // namespace kistora
