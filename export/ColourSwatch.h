// A colour swatch of the export dialog: a small framed panel whose background
// is its colour, reporting clicks (and Space or Enter when it has the focus)
// so the dialog can offer the colour picker.
#pragma once

#include <QColor>
#include <QFrame>

#include "model/colour_text.h"

namespace kistora {

// TColor (red in the low byte) <-> the toolkit's colour.
QColor ToQColor(TColor colour);
TColor FromQColor(const QColor& colour);

class ColourSwatch : public QFrame {
  Q_OBJECT
 public:
  explicit ColourSwatch(QWidget* parent = nullptr);

  TColor Colour() const { return colour_; }
  void SetColour(TColor colour);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  TColor colour_ = 0xFFFFFF;
};

}  // namespace kistora
