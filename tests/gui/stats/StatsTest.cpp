// The statistics window inside the running program: opened from the main
// window's menu and from the item database window, it follows the catalogue
// and the item window's filter, copies its table, and opens over its caller.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include "GuiTestSupport.h"
#include "app/Windows.h"
#include "core_test_support.h"
#include "gui/QtText.h"
#include "itemdb/ItemGUnit.h"
#include "mainwindow/MainUnit.h"
#include "stats/StatsBarChart.h"
#include "stats/StatsUnit.h"

using namespace kistora;

namespace {

class StatsTest : public ::testing::Test {
 protected:
  kistora::testing::GuiTestEnvironment env;
  kistora::testing::ScopedProgram program;

  TCatalogue& Cat() { return program.Main().Catalogue(); }
  TStats& S() { return *Windows().Stats; }
  TItemG& G() { return *Windows().ItemG; }

  // The "Objets" and "Valeur" cells of a group of the table, as shown.
  QStringList Figures(const QString& group) {
    const QAbstractItemModel* m = S().Table->model();
    for (int r = 0; r < m->rowCount(); ++r) {
      if (m->index(r, 1).data().toString() == group)
        return {m->index(r, 2).data().toString(), m->index(r, 3).data().toString()};
    }
    return {};
  }
  // The item window's context menu entry "Statistiques".
  QAction* ItemWindowStatsAction() {
    for (QAction* action : G().Liste->actions()) {
      if (action->text() == QStringLiteral("Statistiques")) return action;
    }
    return nullptr;
  }
};

TEST_F(StatsTest, TableAndChartFollowACatalogueChange) {
  kistora::testing::AddItem<TD2Ring>(Cat(), 1, "Anneau", 5, 900);
  kistora::testing::AddChar(Cat(), "Mule", {1});
  program.ShowMain();
  // "Statistiques" comes first in "&Fichier", before "Exporter...", on Ctrl+I.
  const QList<QAction*> file = program.Main().menuBar()->actions().first()->menu()->actions();
  ASSERT_LT(file.indexOf(program.Main().Statistics), file.indexOf(program.Main().ExportInv));
  EXPECT_EQ(program.Main().Statistics->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
  program.Main().Statistics->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&S()));
  EXPECT_EQ(Figures("Unique"), QStringList({"1", "900"}));
  EXPECT_EQ(S().Charts[0]->BarNames().first(), "Unique (1)");

  auto armour = std::make_unique<TD2Armor>();
  armour->Quality = 5;
  armour->Price = 1500;
  Cat().AddNewItem(std::move(armour));
  // Counted again at the next turn of the event loop.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Figures("Unique").value(0) == "2"; }, 2000));
  EXPECT_EQ(Figures("Unique"), QStringList({"2", QString::fromUtf8("2\u00A0400")}));
  EXPECT_EQ(Figures("aucun perso"), QStringList({"1", QString::fromUtf8("1\u00A0500")}));
  EXPECT_EQ(S().Charts[0]->BarNames().first(), "Unique (2)");
  EXPECT_EQ(S().Charts[0]->BarLengths().first(), 2.0);
  S().BarsByValue->setChecked(true);
  EXPECT_EQ(S().Charts[2]->BarNames().last(), QString::fromUtf8("aucun perso (1\u00A0500)"));
  EXPECT_TRUE(S().Charts[2]->AxisNumbers().contains(QString::fromUtf8("1\u00A0500")));
}

TEST_F(StatsTest, FollowsTheItemWindowsFilterUntilShowAllThenCopies) {
  kistora::testing::AddItem<TD2Ring>(Cat(), 1, "Anneau", 5, 900);
  kistora::testing::AddItem<TD2Ring>(Cat(), 2, "Bague", 1, 100);
  program.ShowMain();
  G().ShowAndRaise();
  ItemWindowStatsAction()->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&S()));
  EXPECT_EQ(S().Stats().Counted.Count, 2);
  G().ShowMagics->setChecked(false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return S().Stats().Counted.Count == 1; }, 2000));
  EXPECT_TRUE(S().ScopeLine->text().contains("Tout afficher"));

  // The link widens the statistics only: the item window keeps its filter.
  emit S().ScopeLine->linkActivated("all");
  EXPECT_TRUE(QTest::qWaitFor([&] { return S().Stats().Counted.Count == 2; }, 2000));
  EXPECT_FALSE(G().ShowMagics->isChecked());
  G().ShowUniques->setChecked(false);
  QApplication::processEvents();
  EXPECT_EQ(S().Stats().Counted.Count, 2);

  // Ctrl+C in the table copies the whole table, not the current cell.
  S().Table->setFocus();
  S().Table->setCurrentIndex(S().Table->model()->index(0, 0));
  QTest::keyClick(S().Table, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QtText(ItemStatsText(S().Stats())));
}

TEST_F(StatsTest, OpensBesideItsCallerWhollyOnScreenAsAWindow) {
  program.ShowMain();
  G().ShowAndRaise();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&G()));
  const QRect area = G().screen()->availableGeometry();
  G().resize(300, 200);
  G().move(area.topLeft() + QPoint(40, 30));
  S().resize(300, 200);
  ItemWindowStatsAction()->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&S()));
  // Right of the item window, top to top: the list it counts stays in sight.
  EXPECT_EQ(S().frameGeometry().left(), G().frameGeometry().right() + 1);
  EXPECT_EQ(S().frameGeometry().top(), G().frameGeometry().top());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&S())->role(), QAccessible::Window);

  // Too big for the screen near its corner: made smaller and pushed inside.
  S().close();
  S().resize(area.width() + 200, area.height() + 100);
  G().move(area.topLeft());
  ItemWindowStatsAction()->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&S()));
  EXPECT_TRUE(area.contains(S().frameGeometry())) << S().frameGeometry().x() << "," << S().frameGeometry().y() << " "
                                                  << S().frameGeometry().width() << "x" << S().frameGeometry().height();
}

TEST_F(StatsTest, TheTableSortsWithinEachGroupingAndAFilteredOneHidesItsEmptyRows) {
  kistora::testing::AddItem<TD2Ring>(Cat(), 1, "Anneau", 5, 900);  // Unique
  kistora::testing::AddItem<TD2Ring>(Cat(), 2, "Bague", 1, 100);   // Magique
  kistora::testing::AddItem<TD2Helm>(Cat(), 3, "Heaume", 1, 50);   // Magique
  kistora::testing::AddItem<TD2Helm>(Cat(), 4, "Casque", 1, 60);   // Magique
  kistora::testing::AddItem<TD2Helm>(Cat(), 5, "Coiffe", 0, 10);   // Normal
  kistora::testing::AddChar(Cat(), "Mule", {1, 2, 3});
  program.ShowMain();
  G().ShowAndRaise();
  ItemWindowStatsAction()->trigger();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&S()));
  // The groupings of the rows, and the groups of one grouping, top to bottom.
  const auto column = [&](int c) {
    QStringList cells;
    for (int r = 0; r < S().Table->model()->rowCount(); ++r) cells << S().Table->model()->index(r, c).data().toString();
    return cells;
  };
  const auto groupsOf = [&](const QString& grouping) {
    QStringList groups;
    const QStringList groupings = column(0);
    for (int r = 0; r < groupings.size(); ++r) {
      if (groupings[r] == grouping) groups << column(1)[r];
    }
    return groups;
  };
  // The first click on "Objets" puts the largest first, within each grouping.
  QHeaderView* header = S().Table->horizontalHeader();
  const auto clickHeader = [&](int section) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  };
  clickHeader(2);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  QStringList groupings = column(0);
  groupings.removeDuplicates();
  EXPECT_EQ(groupings,
            QStringList({QString::fromUtf8("Qualit\u00E9"), QString::fromUtf8("Cat\u00E9gorie"), "Personnage"}));
  EXPECT_EQ(groupsOf(QString::fromUtf8("Qualit\u00E9")).first(), "Magique");   // 3 items
  EXPECT_EQ(groupsOf(QString::fromUtf8("Cat\u00E9gorie")).first(), "Casque");  // 3 items
  // The second click: smallest first, the groupings still in their order.
  clickHeader(2);
  groupings = column(0);
  groupings.removeDuplicates();
  EXPECT_EQ(groupings.first(), QString::fromUtf8("Qualit\u00E9"));
  EXPECT_EQ(groupsOf(QString::fromUtf8("Cat\u00E9gorie")).last(), "Casque");

  // The whole database lists every quality and category; filtered, only those holding an item.
  EXPECT_TRUE(groupsOf(QString::fromUtf8("Qualit\u00E9")).contains("Set"));
  G().Search->setText(QStringLiteral("heaume"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return S().Stats().Counted.Count == 1; }, 2000));
  EXPECT_EQ(groupsOf(QString::fromUtf8("Qualit\u00E9")), QStringList({"Magique"}));
  EXPECT_EQ(groupsOf(QString::fromUtf8("Cat\u00E9gorie")), QStringList({"Casque"}));
  EXPECT_EQ(groupsOf("Personnage"), QStringList({"Mule"}));

  // The item window hidden, a change still reaches the rows the statistics count.
  G().close();
  auto helm = std::make_unique<TD2Helm>();
  helm->Name = "Heaume de fer";
  helm->Quality = 5;
  Cat().AddNewItem(std::move(helm));
  EXPECT_TRUE(G().ShownAt().has_value()) << "the hidden window's rows followed the change";
  EXPECT_TRUE(QTest::qWaitFor([&] { return S().Stats().Counted.Count == 2; }, 2000));
  EXPECT_EQ(groupsOf(QString::fromUtf8("Qualit\u00E9")), QStringList({"Unique", "Magique"}));
}

}  // namespace
