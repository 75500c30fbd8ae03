// What every window of the program gets, whoever made it and whenever: its
// inputs named for screen readers by their labels (gui/AccessibleNames.h), its
// text fields taking only what the files can hold (gui/StorableText.h), its
// frame followed and kept wholly on the screen (gui/WindowFrame.h); and a modal
// dialog belongs to the window it was opened from, which is active again when
// it closes (the window manager brings back that window, not the main one).
#pragma once

class QWidget;

namespace kistora {

// Cares for mainWindow and every window it owns now, and for every window
// shown later, until mainWindow goes. Qt's file and colour dialogs keep their
// own fields (a file name may hold any character).
void CareForWindows(QWidget& mainWindow);

}  // namespace kistora
