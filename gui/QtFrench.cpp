#include "gui/QtFrench.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kistora {

bool InstallQtFrenchTranslations(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  // "qt_fr" gathers qtbase_fr and the other modules' French files.
  if (!translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace kistora
