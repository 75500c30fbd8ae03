#include "gui/ReadableGreyed.h"

#include <QPalette>
#include <QWidget>

#include "model/colour_contrast.h"

namespace kistora {

namespace {

TColor ToColour(const QColor& c) {
  return static_cast<TColor>(c.red()) | static_cast<TColor>(c.green()) << 8 | static_cast<TColor>(c.blue()) << 16;
}

QColor ToQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

void KeepGreyedTextReadable(QWidget& widget) {
  QPalette palette = widget.palette();
  const auto colour = [&palette](QPalette::ColorRole role) {
    return ToColour(palette.color(QPalette::Disabled, role));
  };
  // Greyed fields are drawn on their base (text fields), as buttons (drop-down
  // lists) or on the window: one greyed text colour reads on all three.
  const TColor readable =
      ReadableOn(colour(QPalette::Text), {colour(QPalette::Base), colour(QPalette::Button), colour(QPalette::Window)},
                 kGreyedTextContrast);
  for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
    palette.setColor(QPalette::Disabled, role, ToQColor(readable));
  widget.setPalette(palette);
}

}  // namespace kistora
