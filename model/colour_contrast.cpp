#include "model/colour_contrast.h"

#include <algorithm>
#include <cmath>

namespace kistora {

namespace {

double Channel(TColor colour, int shift) {
  const double c = static_cast<double>((colour >> shift) & 0xFF) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(TColor colour) {
  return 0.2126 * Channel(colour, 0) + 0.7152 * Channel(colour, 8) + 0.0722 * Channel(colour, 16);
}

// The colour step / 255 of the way from one to other, channel by channel.
TColor Mix(TColor from, TColor to, int step) {
  TColor mixed = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>((from >> shift) & 0xFF);
    const int b = static_cast<int>((to >> shift) & 0xFF);
    mixed |= static_cast<TColor>(a + (b - a) * step / 255) << shift;
  }
  return mixed;
}

}  // namespace

double ContrastRatio(TColor a, TColor b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor ReadableOn(TColor text, std::initializer_list<TColor> backgrounds, double minRatio) {
  double darkest = 1.0;
  for (const TColor background : backgrounds) darkest = std::min(darkest, Luminance(background));
  // Light backgrounds want darker text; dark ones lighter text.
  const TColor towards = darkest > 0.18 ? 0x000000 : 0xFFFFFF;
  for (int step = 0; step <= 255; ++step) {
    const TColor candidate = Mix(text, towards, step);
    if (std::all_of(backgrounds.begin(), backgrounds.end(),
                    [&](TColor background) { return ContrastRatio(candidate, background) >= minRatio; }))
      return candidate;
  }
  return towards;
}

}  // namespace kistora
