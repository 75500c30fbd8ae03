// How readable a text colour is on a background, as the Web Content
// Accessibility Guidelines measure it (from 1:1 to 21:1; 4.5:1 is the least
// for ordinary text), and the nearest colour that reads well enough.
#pragma once

#include <initializer_list>

#include "model/colour_text.h"

namespace kistora {

// The contrast ratio of two colours: (L1 + 0.05) / (L2 + 0.05), L1 the relative
// luminance of the lighter one.
double ContrastRatio(TColor a, TColor b);

// text itself when it reaches minRatio on every background, else the colour
// closest to it on the way to black (to white on dark backgrounds) that does.
TColor ReadableOn(TColor text, std::initializer_list<TColor> backgrounds, double minRatio);

}  // namespace kistora
