// What a screen reader announces: each input by the label that names it on
// screen (it says "Nom" on the name field), and each window as a window.
#pragma once

#include <QString>

class QWidget;

namespace kistora {

// A label's text as a name: "&" marks removed ("&&" kept as one "&"), the
// colon and the spaces at its end dropped ("&Nom :" -> "Nom"), and an opening
// parenthesis never closed ("(Prix minimum:" -> "Prix minimum").
QString LabelTextAsName(const QString& labelText);
// Gives every input of window itself (line edits, combo boxes, spin boxes,
// text edits, colour swatches; not those of the windows it owns) that has no
// accessible name yet the name of its own label: the label whose buddy it is,
// else, for a window that sets no buddy, the nearest label left of it on its
// row or above it, which then becomes its buddy. Lays the window out first so
// that the positions are known.
void NameInputsByTheirLabels(QWidget& window);
// From now on a top-level window made of a plain QWidget is announced to screen
// readers as a window (Qt would call it a filler). Once per program.
void AnnounceWindowsAsWindows();

}  // namespace kistora
