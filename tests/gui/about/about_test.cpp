// The About box: its texts, its two links and the hidden click counter.
#include <QLabel>

#include "MainWindowHelpers.h"
#include "about/AboutClicks.h"
#include "about/AboutUnit.h"
#include "app/Windows.h"

namespace kistora::testing {
namespace {

TEST(AboutClicks, EveryPressUpToTheEndOfTheTable) {
  // Bounds of each range, and the presses around them.
  const std::pair<int, const char*> expected[] = {
      {1, ""},
      {9, ""},
      {10, "Hé bien, qu'est-ce qui te prends?"},
      {11, ""},
      {20, "Je te sens exité..."},
      {90, "*sigh* Y'en a qu'ont du temps à perdre ;)"},
      {100, "Hé bien, t'as cliqué 100 fois!! Bien joué ;)"},
      {105, ""},
      {110, "Nombre de clics: 110!!"},
      {190, "Nombre de clics: 190!!"},
      {200, "Nombre de clics: 200!!!!!"},
      {490, "Nombre de clics: 490!!!!!"},
      {500, "Nombre de clics: 500!!!!!! Hé bien, quel courage ;) On tente le 1000? ;)"},
      {510, "Nombre de clics: 510!!!!!"},
      {990, "Nombre de clics: 990!!!!!"},
      {999, ""},
      {1001, "Ah non, j'ai arrêté de compter là ;) Je crois que t'as le droit de te reposer ;)"},
      {1234, "Ah non, j'ai arrêté de compter là ;) Je crois que t'as le droit de te reposer ;)"},
  };
  for (const auto& [n, text] : expected) EXPECT_EQ(AboutClickMessage(n), QString::fromUtf8(text)) << "press " << n;
  EXPECT_EQ(AboutClickMessage(1000).split("\r\n"),
            QStringList({"Nombre de clics: 1000!!!!!!!! Oui, MILLE!!!!!!![...]!!!! Incroyable!!!",
                         QString::fromUtf8("Je savais pas que c'était possible!! ;)"),
                         QString::fromUtf8("Envoie moi un mail avec un screenshot, ça me fera plaisir ;)")}));
  int shown = 0;
  for (int n = 1; n <= 1000; ++n) shown += AboutClickMessage(n).isEmpty() ? 0 : 1;
  EXPECT_EQ(shown, 100);  // every tenth press, and no other
}

TEST(AboutBox, PressesOnTheIconAreCountedAcrossReopenings) {
  GuiTestEnvironment env;
  ScopedProgram program;
  program.ShowMain();
  env.Messages.Clear();  // the first run's missing databases
  program.Main().Apropos1->trigger();
  TAbout& about = *Windows().About;
  ASSERT_TRUE(about.isVisible());
  EXPECT_FALSE(about.isModal());
  for (int i = 0; i < 9; ++i) QTest::mousePress(about.IconPic, Qt::LeftButton);
  EXPECT_TRUE(env.Messages.Shown.empty());
  about.OK->click();
  EXPECT_FALSE(about.isVisible());
  program.Main().Apropos1->trigger();
  QTest::mousePress(about.IconPic, Qt::RightButton);  // any button counts
  ASSERT_EQ(env.Messages.Shown.size(), 1u);
  EXPECT_EQ(env.Messages.Shown[0].kind, BoxKind::Message);
  EXPECT_EQ(env.Messages.Shown[0].title, "Kistora");
  EXPECT_EQ(env.Messages.Shown[0].text, QString::fromUtf8("Hé bien, qu'est-ce qui te prends?"));
  QTest::mousePress(about.IconPic, Qt::LeftButton);
  EXPECT_EQ(about.ClickCount, 11);
  EXPECT_EQ(env.Messages.Shown.size(), 1u);
}

TEST(AboutBox, BothPressesOfADoubleClickAreCounted) {
  GuiTestEnvironment env;
  ScopedProgram program;
  program.ShowMain();
  TAbout& about = *Windows().About;
  about.ShowAndRaise();
  const std::int32_t before = about.ClickCount;
  // A quick double click reaches the icon as press, release, double click, release.
  QTest::mousePress(about.IconPic, Qt::LeftButton);
  QTest::mouseRelease(about.IconPic, Qt::LeftButton);
  QTest::mouseDClick(about.IconPic, Qt::LeftButton);
  QTest::mouseRelease(about.IconPic, Qt::LeftButton);
  EXPECT_EQ(about.ClickCount, before + 2);
}

TEST(AboutBox, LinksGoThroughTheShell) {
  GuiTestEnvironment env;
  ScopedProgram program;
  program.ShowMain();
  TAbout& about = *Windows().About;
  about.ShowAndRaise();
  EXPECT_EQ(about.windowTitle(), "A propos de Kistora");
  EXPECT_EQ(about.Label1->text(), "Kistora - Gestion d'inventaire pour Diablo II - Lord of Destruction");
  EXPECT_EQ(about.Label8->text(), "Version 1.0");
  EXPECT_FALSE(about.IconPic->pixmap().isNull());
  QTest::mouseClick(about.Label5, Qt::LeftButton);
  QTest::mouseClick(about.Label7, Qt::LeftButton);
  EXPECT_EQ(env.Shell.Opened, QStringList({"mailto:kistora@example.org", "https://example.org/kistora"}));
  EXPECT_EQ(about.Label5->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace kistora::testing
