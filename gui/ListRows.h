// List rows tall enough for what they show: in many fonts the accent of a
// capital ("Énigme", "À") rises above the font's ascent, and a row only as high
// as the font cuts it off.
#pragma once

class QAbstractItemView;

namespace kistora {

// Gives list's rows the room its font's accented capitals need.
void GiveRowsRoomForAccents(QAbstractItemView& list);

}  // namespace kistora
