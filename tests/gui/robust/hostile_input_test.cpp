// What a player may type into the windows: characters Windows-1252 cannot
// hold, a name of a megabyte, prices at the limits of 32 bits. Each reaches
// the saved files in a clear form and comes back whole at the next start.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>
#include <climits>

#include "GuiTestSupport.h"
#include "MainWindowHelpers.h"
#include "RobustTestHelpers.h"
#include "app/Windows.h"
#include "export/ExportUnit.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"
#include "mainwindow/MainUnit.h"
#include "storage/database.h"

namespace kistora::testing {
namespace {

// "Ajouter..." in the item database window: fill() works on the properties
// dialog once it shows, then OK.
template <class Fill>
void AddItemByDialog(Fill fill) {
  TItemG& window = *Windows().ItemG;
  window.ShowAndRaise();
  auto answer = AnswerNextModal([fill](QDialog* dialog) {
    auto* properties = qobject_cast<TItemP*>(dialog);
    if (properties == nullptr) {
      dialog->reject();
      return;
    }
    fill(*properties);
    properties->OK->click();
  });
  window.AddItem->click();
  ASSERT_TRUE(answer->Answered());
}

// Selects all of a spin box's text and types text over it, key by key.
void TypeInto(QSpinBox* field, const char* text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
}

TEST(HostileInput, TextWindows1252CannotHoldIsSavedWithQuestionMarks) {
  GuiTestEnvironment env;
  {
    ScopedProgram program;
    TMain& main = program.Main();
    program.ShowMain();
    // Set by the program, not typed: typing or pasting these is refused at the
    // field (tests/gui/gui/text_fields_test.cpp); whatever gets in another way
    // still crosses the Windows-1252 edge as "?".
    RunPerso(main.AddChar, [](TPerso& perso) {
      perso.CharName->setText(QString::fromUtf8("Héros 🐉"));
      perso.CharAccount->setText(QString::fromUtf8("龍の巣"));
      perso.CharNotes->setText(QString::fromUtf8("mule 💎 gemmes"));
    });
    AddItemByDialog([](TItemP& properties) {
      properties.ItemName->setText(QString::fromUtf8("Épée 🗡 du 龍"));
      properties.ItemCat->setCurrentText("Arme");
      properties.ItemMagicProps->setPlainText(QString::fromUtf8("+5 à feu\n"));
    });
    Windows().ExportWin->PageTitle->setText(QString::fromUtf8("Liste ✓ de trade"));
    ASSERT_TRUE(main.close());
  }
  // Each character outside Windows-1252 (an emoji is one) is one "?"; the
  // accented letters it holds are kept.
  TCatalogue saved;
  ASSERT_EQ(LoadChars(saved, env.Path("chars.kdb")), kLoadOk);
  ASSERT_EQ(LoadItems(saved, env.Path("items.kdb")), kLoadOk);
  ASSERT_EQ(saved.CharList.size(), 1u);
  EXPECT_EQ(saved.CharList[0]->Name, "H\xE9ros ?");
  EXPECT_EQ(saved.CharList[0]->Account, "???");
  EXPECT_EQ(saved.CharList[0]->Notes, "mule ? gemmes");
  ASSERT_EQ(saved.ItemList.size(), 1u);
  EXPECT_EQ(saved.ItemList[0]->Name,
            "\xC9p\xE9"
            "e ? du ?");
  EXPECT_EQ(saved.ItemList[0]->MagicProps, (std::vector<std::string>{"+5 \xE0 feu"}));
  EXPECT_NE(ReadBytes(env.Path("kistora.ini")).find("Liste ? de trade\r\n"), std::string::npos);

  // The next start shows them as saved.
  env.Messages.Clear();
  ScopedProgram program;
  program.ShowMain();
  EXPECT_TRUE(env.Messages.Texts(BoxKind::FileError).isEmpty());
  EXPECT_EQ(CharNames(program.Main()), QStringList({QString::fromUtf8("Héros ?")}));
  EXPECT_EQ(Windows().ExportWin->PageTitle->text(), "Liste ? de trade");
}

TEST(HostileInput, AMegabyteNameTypedIntoTheCharacterDialogIsSavedAndReloadedWhole) {
  GuiTestEnvironment env;
  // A megabyte of Windows-1252 bytes: accented letters, one byte each.
  QString name;
  name.reserve(1 << 20);
  for (int i = 0; i < (1 << 20); ++i) name += QChar(i % 64 == 0 ? u'é' : u'a' + i % 26);
  const std::string bytes = ToCp1252(name);
  ASSERT_EQ(bytes.size(), std::size_t{1} << 20);
  {
    ScopedProgram program;
    TMain& main = program.Main();
    program.ShowMain();
    AddCharByDialog(main, name);  // pasted: a megabyte is not typed key by key
    ASSERT_EQ(main.Catalogue().CharList.size(), 1u);
    EXPECT_EQ(main.Catalogue().CharList[0]->Name, bytes);
    ASSERT_TRUE(main.close());
  }
  TCatalogue saved;
  ASSERT_EQ(LoadChars(saved, env.Path("chars.kdb")), kLoadOk);
  ASSERT_EQ(saved.CharList.size(), 1u);
  EXPECT_EQ(saved.CharList[0]->Name, bytes);

  // Modified in the next run (the dialog shows it and OK stores it back),
  // it is not cut to a text field's usual 32,767 characters.
  {
    ScopedProgram program;
    TMain& main = program.Main();
    program.ShowMain();
    ASSERT_EQ(main.Catalogue().CharList.size(), 1u);
    main.SelectCharRow(0);
    RunPerso(main.ModChar, [](TPerso& perso) { perso.CharNotes->setText("mule"); });
    EXPECT_EQ(main.Catalogue().CharList[0]->Name, bytes);
    ASSERT_TRUE(main.close());
  }
  TCatalogue again;
  ASSERT_EQ(LoadChars(again, env.Path("chars.kdb")), kLoadOk);
  ASSERT_EQ(again.CharList.size(), 1u);
  EXPECT_EQ(again.CharList[0]->Name, bytes);
  EXPECT_EQ(again.CharList[0]->Notes, "mule");
}

TEST(HostileInput, AnItemWithLongTextsFromTheFileIsModifiedWithoutCuttingThem) {
  GuiTestEnvironment env;
  TCatalogue catalogue;
  TD2Ring& ring = AddItem<TD2Ring>(catalogue, 1, std::string(100000, 'n'), 4, 5);
  ring.Notes = std::string(70000, 'o');
  env.WriteDatabases(catalogue);
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  TItemG& window = *Windows().ItemG;
  window.ShowAndRaise();
  window.Liste->setCurrentIndex(window.Liste->model()->index(0, 0));
  auto answer = AnswerNextModal([](QDialog* dialog) {
    auto* properties = qobject_cast<TItemP*>(dialog);
    if (properties == nullptr) return dialog->reject();
    properties->ItemPrice->setValue(6);
    properties->OK->click();
  });
  window.ModItem->click();
  ASSERT_TRUE(answer->Answered());
  ASSERT_EQ(main.Catalogue().ItemList.size(), 1u);
  EXPECT_EQ(main.Catalogue().ItemList[0]->Price, 6);
  EXPECT_EQ(main.Catalogue().ItemList[0]->Name.size(), 100000u);
  EXPECT_EQ(main.Catalogue().ItemList[0]->Notes.size(), 70000u);
}

TEST(HostileInput, PricesAtTheLimitsOf32BitsThroughThePropertiesDialog) {
  GuiTestEnvironment env;
  {
    ScopedProgram program;
    TMain& main = program.Main();
    program.ShowMain();
    AddItemByDialog([](TItemP& properties) {
      properties.ItemName->setText("Le moins cher");
      properties.ItemCat->setCurrentText("Anneau");
      TypeInto(properties.ItemPrice, "-2147483648");
    });
    AddItemByDialog([](TItemP& properties) {
      properties.ItemName->setText("Le plus cher");
      properties.ItemCat->setCurrentText("Anneau");
      TypeInto(properties.ItemPrice, "2147483647");
      properties.ItemPrice->stepUp();  // one more does not wrap round
    });
    ASSERT_EQ(main.Catalogue().ItemList.size(), 2u);
    EXPECT_EQ(main.Catalogue().ItemList[0]->Price, INT32_MIN);
    EXPECT_EQ(main.Catalogue().ItemList[1]->Price, INT32_MAX);
    // The list shows them as numbers and sorts them as numbers.
    TItemG& window = *Windows().ItemG;
    QStringList prices;
    for (int r = 0; r < window.Liste->model()->rowCount(); ++r)
      prices << window.Liste->model()->index(r, 4).data().toString();
    prices.sort();
    EXPECT_EQ(prices, QStringList({"-2147483648", "2147483647"}));
    ASSERT_TRUE(main.close());
  }
  TCatalogue saved;
  ASSERT_EQ(LoadItems(saved, env.Path("items.kdb")), kLoadOk);
  ASSERT_EQ(saved.ItemList.size(), 2u);
  EXPECT_EQ(saved.ItemList[0]->Price, INT32_MIN);
  EXPECT_EQ(saved.ItemList[1]->Price, INT32_MAX);

  // Viewed in the next run, the dialog shows each price whole.
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  TItemP& properties = *Windows().ItemP;
  for (const auto& item : main.Catalogue().ItemList) {
    properties.LoadItem(*item);
    EXPECT_EQ(properties.ItemPrice->value(), item->Price);
    EXPECT_EQ(properties.ItemFromDialog()->Price, item->Price) << "stored back unchanged";
  }
}

}  // namespace
}  // namespace kistora::testing
