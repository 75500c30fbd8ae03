// Qt's own texts in French: standard buttons once Qt's French translation is
// installed, whatever the system locale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

#include "gui/QtFrench.h"

namespace kistora {
namespace {

TEST(QtFrench, StandardButtonsSpeakFrench) {
  QDialogButtonBox english(QDialogButtonBox::Cancel);
  ASSERT_EQ(english.button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Cancel"))
      << "the tests start with Qt's own English texts";

  ASSERT_TRUE(InstallQtFrenchTranslations(*QCoreApplication::instance())) << "qt6-translations-l10n is installed";
  QDialogButtonBox box(QDialogButtonBox::Cancel | QDialogButtonBox::Close | QDialogButtonBox::Save);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove('&'), QStringLiteral("Annuler"));
  EXPECT_EQ(box.button(QDialogButtonBox::Close)->text().remove('&'), QStringLiteral("Fermer"));
  EXPECT_EQ(box.button(QDialogButtonBox::Save)->text().remove('&'), QStringLiteral("Enregistrer"));

  // Leave the other tests of this program with Qt's English texts.
  for (QObject* child : QCoreApplication::instance()->children()) {
    if (auto* translator = qobject_cast<QTranslator*>(child)) QCoreApplication::removeTranslator(translator);
  }
}

}  // namespace
}  // namespace kistora
