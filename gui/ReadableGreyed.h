// Greyed (disabled) fields that still read well: their text keeps a contrast of
// at least 4.5:1 with their background, the least the accessibility guidelines
// allow for ordinary text, while staying lighter than the text of live fields.
#pragma once

class QWidget;

namespace kistora {

// The least contrast of greyed text on its background.
inline constexpr double kGreyedTextContrast = 4.5;

// Darkens (on a dark palette, lightens) the greyed text colours of widget's
// palette, which its children inherit, as far as needed and no further.
void KeepGreyedTextReadable(QWidget& widget);

}  // namespace kistora
