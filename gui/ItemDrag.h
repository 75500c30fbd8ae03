// An item dragged from the item database list to a character: the data carries
// the item's number under a type of the program's own.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QMimeData;

namespace kistora {

// "application/x-kistora-item-number": the number in decimal ASCII.
QString ItemNumberMimeType();
// New data carrying number (the caller, usually the drag, owns it).
QMimeData* ItemNumberMimeData(std::int32_t number);
// The number a drop carries, or nothing when it carries no item (or a bad number).
std::optional<std::int32_t> ItemNumberFromMime(const QMimeData* data);

}  // namespace kistora
