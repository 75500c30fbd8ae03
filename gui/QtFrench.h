// Qt's own texts in French: the standard buttons, the file and colour dialogs
// and the text fields' context menus come from Qt's translations (Debian's
// qt6-translations-l10n), loaded whatever the system locale is, since the
// program itself speaks only French.
#pragma once

class QCoreApplication;

namespace kistora {

// Installs Qt's French translation on app; false when it is not installed
// (Qt's texts then stay in English and nothing else changes).
bool InstallQtFrenchTranslations(QCoreApplication& app);

}  // namespace kistora
