// Accessible names of a window's inputs, taken from the labels that name them
// on screen, so that a screen reader says "Nom" on the name field.
#pragma once

#include <QString>

class QWidget;

namespace kistora {

// A label's text as a name: "&" marks removed ("&&" kept as one "&"), the
// colon and the spaces at its end dropped ("&Nom :" -> "Nom").
QString LabelTextAsName(const QString& labelText);
// Gives every input of window (line edits, combo boxes, spin boxes, text
// edits, colour swatches) that has no accessible name yet the name of its
// label: the label's buddy, else the label just left of it on its row or just
// above it. Lays the window out first so that the positions are known.
void NameInputsByTheirLabels(QWidget& window);

}  // namespace kistora
