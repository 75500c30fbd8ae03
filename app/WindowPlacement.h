// Initial placement of the windows: the main window centred on its screen,
// dialogs centred over the main window the first time they are shown only.
#pragma once

class QWidget;
class QShowEvent;

namespace kistora {

void CentreOnScreen(QWidget& window);
// Call from a dialog's showEvent after QDialog::showEvent: from then on the
// dialog keeps its position (the user's last one) instead of re-centring.
void KeepPositionAfterFirstShow(QWidget& dialog, const QShowEvent& event);

}  // namespace kistora
