// Text fields take only what the files can hold: a character Windows-1252 has
// no byte for is refused where it is typed or pasted, and a note next to the
// field names it ("Le caractère « 龙 » ne peut pas être enregistré."); a line
// break typed or pasted into a one-line field becomes a space, while a
// multi-line field keeps its lines. The rule itself is the core's
// (model/typed_text.h).
#pragma once

#include <QString>

class QWidget;

namespace kistora {

// Guards every text field of window itself (line edits, the fields of editable
// combo boxes, multi-line text edits; not the fields of spin boxes, which take
// numbers only, nor those of the windows it owns). A field guarded already is
// left as it is; a validator a line edit had is still asked after the guard.
void GuardTextFields(QWidget& window);

// The note shown next to field about a refused character, empty when none is shown.
QString RefusalNoteText(const QWidget& field);

// The note's words for the code point c.
QString RefusedCharacterText(char32_t c);

}  // namespace kistora
