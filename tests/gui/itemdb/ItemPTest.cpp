// The item properties dialog on its own: fields, loading, building an item.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "GuiTestSupport.h"
#include "itemdb/ItemPUnit.h"

using namespace kistora;
using kistora::testing::BoxKind;
using kistora::testing::FromCp1252;

namespace {

class ItemPTest : public ::testing::Test {
 protected:
  kistora::testing::GuiTestEnvironment env;
  TItemP dialog;

  std::unique_ptr<TD2Item> Build() { return dialog.ItemFromDialog(); }
  template <typename T>
  T* As(const std::unique_ptr<TD2Item>& item) {
    return dynamic_cast<T*>(item.get());
  }
  // The text of the label that names control.
  QString LabelOf(const QWidget* control) {
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->buddy() == control) return label->text();
    }
    return {};
  }
};

std::vector<QSpinBox*> IntegerFields(TItemP& d) {
  return {d.ItemDur,   d.ItemMaxDur, d.ItemCLvl,   d.ItemDex,    d.ItemStr,
          d.ItemPrice, d.ItemDef,    d.ItemParade, d.ItemMinDmg, d.ItemMaxDmg};
}

QStringList Entries(const QComboBox* combo) {
  QStringList entries;
  for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
  return entries;
}

TEST_F(ItemPTest, ControlsLabelsEntriesAndKeyboardOrder) {
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Propriétés d'un objet"));
  EXPECT_EQ(dialog.size(), QSize(392, 544));
  EXPECT_EQ(Entries(dialog.ItemCat), QStringList({"Amulette", "Anneau", "Arme", "Armure", "Bottes", "Bouclier",
                                                  "Casque", "Ceinture", "Charme", "Gants", "Joyaux"}));
  EXPECT_EQ(dialog.ItemCat->maxVisibleItems(), 16);
  EXPECT_EQ(Entries(dialog.ItemQuality), QStringList({"Unique", "Set", "Crafted", "Rare", "Magique", "Normal"}));
  EXPECT_EQ(Entries(dialog.ItemSpeed),
            QStringList({QStringLiteral("Très lente"), "Lente", "Normale", "Rapide", QStringLiteral("Très rapide")}));

  EXPECT_EQ(LabelOf(dialog.ItemName), "Nom:");
  EXPECT_EQ(LabelOf(dialog.ItemNotes), "Notes additionnelles:");
  EXPECT_EQ(LabelOf(dialog.ItemCat), QStringLiteral("Catégorie:"));
  EXPECT_EQ(LabelOf(dialog.ItemQuality), QStringLiteral("Qualité:"));
  EXPECT_EQ(LabelOf(dialog.ItemDur), QStringLiteral("Durabilité:"));
  EXPECT_EQ(LabelOf(dialog.ItemMaxDur), QStringLiteral("Durabilité maximum:"));
  EXPECT_EQ(LabelOf(dialog.ItemCLvl), "CLvl requis:");
  EXPECT_EQ(LabelOf(dialog.ItemDex), QStringLiteral("Dextérité requise:"));
  EXPECT_EQ(LabelOf(dialog.ItemStr), "Force requise:");
  EXPECT_EQ(LabelOf(dialog.ItemPrice), QStringLiteral("Prix estimé:"));
  EXPECT_EQ(LabelOf(dialog.ItemDef), QStringLiteral("Défense:"));
  EXPECT_EQ(LabelOf(dialog.ItemParade), "Parade (chances):");
  EXPECT_EQ(LabelOf(dialog.ItemMinDmg), "Dégats min:");
  EXPECT_EQ(LabelOf(dialog.ItemMaxDmg), "Dégats max:");
  EXPECT_EQ(LabelOf(dialog.ItemSpeed), "Vitesse:");
  EXPECT_EQ(LabelOf(dialog.ItemMagicProps), QStringLiteral("Propriétés magiques:"));
  EXPECT_EQ(dialog.OK->text(), "OK");
  EXPECT_EQ(dialog.Cancel->text(), "Annuler");
  EXPECT_TRUE(dialog.OK->isDefault());

  // Designed positions (left, top, width).
  auto at = [](const QWidget* w) { return std::tuple(w->x(), w->y(), w->width()); };
  EXPECT_EQ(at(dialog.ItemName), std::tuple(48, 8, 337));
  EXPECT_EQ(at(dialog.ItemNotes), std::tuple(120, 40, 265));
  EXPECT_EQ(at(dialog.ItemQuality), std::tuple(272, 80, 113));
  EXPECT_EQ(at(dialog.ItemDex), std::tuple(296, 144, 89));
  EXPECT_EQ(at(dialog.ItemSpeed), std::tuple(88, 304, 89));
  EXPECT_EQ(dialog.ItemMagicProps->geometry(), QRect(8, 352, 377, 153));
  EXPECT_EQ(at(dialog.Cancel), std::tuple(96, 512, 75));

  const std::vector<QWidget*> order = {dialog.ItemName,   dialog.ItemNotes,   dialog.ItemDur,        dialog.ItemMaxDur,
                                       dialog.ItemCLvl,   dialog.ItemStr,     dialog.ItemDex,        dialog.ItemPrice,
                                       dialog.ItemCat,    dialog.ItemQuality, dialog.ItemMagicProps, dialog.ItemDef,
                                       dialog.ItemParade, dialog.ItemMinDmg,  dialog.ItemMaxDmg,     dialog.ItemSpeed,
                                       dialog.OK,         dialog.Cancel};
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    // The next control that Tab reaches, skipping labels and a control's own inner widgets.
    QWidget* next = order[i]->nextInFocusChain();
    while (next != order[i] && (!(next->focusPolicy() & Qt::TabFocus) || order[i]->isAncestorOf(next))) {
      next = next->nextInFocusChain();
    }
    EXPECT_EQ(next, order[i + 1]) << "after control " << i;
  }
}

TEST_F(ItemPTest, NewItemIsAnEmptyUniqueAmulet) {
  dialog.LoadItem(TD2Weapon{});  // leave other values in the fields first
  dialog.ItemName->setText("x");
  dialog.ItemMagicProps->setPlainText("prop");
  dialog.ItemPrice->setValue(12);
  dialog.ItemSpeed->setCurrentIndex(3);
  dialog.ClearFields();

  EXPECT_EQ(dialog.ItemCat->currentText(), "Amulette");
  EXPECT_EQ(dialog.ItemQuality->currentText(), "Unique");
  EXPECT_EQ(dialog.ItemSpeed->currentIndex(), 0);
  for (QSpinBox* field : IntegerFields(dialog)) EXPECT_EQ(field->value(), 0);
  EXPECT_TRUE(dialog.ItemMagicProps->toPlainText().isEmpty());

  const auto item = Build();
  ASSERT_TRUE(As<TD2Amulet>(item));
  EXPECT_EQ(item->Name, "");
  EXPECT_EQ(item->Quality, 5);
  EXPECT_EQ(item->Index, 0);
  EXPECT_EQ(item->Price, 0);
  EXPECT_TRUE(item->MagicProps.empty());
}

TEST_F(ItemPTest, ShieldRoundTripsUnchanged) {
  TD2Shield shield;
  shield.Index = 77;
  shield.Name =
      "Bouclier \xE9"
      "ternel";  // é
  shield.Notes =
      "  notes gard\xE9"
      "es telles quelles ";
  shield.Quality = 4;
  shield.Price = -5;
  shield.CLvl = 42;
  shield.Str = INT_MIN;
  shield.Dex = INT_MAX;
  shield.Dur = 12;
  shield.MaxDur = 250;
  shield.Def = 133;
  shield.Parade = 64;
  shield.MagicProps = {"+20% r\xE9sistance",
                       "A\xA0"
                       "B"};  // with a no-break space

  dialog.LoadItem(shield);
  EXPECT_EQ(dialog.ItemCat->currentText(), "Bouclier");
  EXPECT_EQ(dialog.ItemQuality->currentText(), "Set");
  EXPECT_EQ(dialog.ItemDef->value(), 133);
  EXPECT_EQ(dialog.ItemParade->value(), 64);
  EXPECT_EQ(dialog.ItemStr->value(), INT_MIN);
  EXPECT_EQ(dialog.ItemDex->value(), INT_MAX);
  EXPECT_EQ(dialog.ItemName->text(), FromCp1252(shield.Name));

  const auto item = Build();
  const auto* built = As<TD2Shield>(item);
  ASSERT_TRUE(built);
  EXPECT_EQ(built->Index, 0);  // the caller numbers it
  EXPECT_EQ(built->Name, shield.Name);
  EXPECT_EQ(built->Notes, shield.Notes);  // not trimmed
  EXPECT_EQ(built->Quality, 4);
  EXPECT_EQ(built->Price, -5);
  EXPECT_EQ(built->CLvl, 42);
  EXPECT_EQ(built->Str, INT_MIN);
  EXPECT_EQ(built->Dex, INT_MAX);
  EXPECT_EQ(built->Dur, 12);
  EXPECT_EQ(built->MaxDur, 250);
  EXPECT_EQ(built->Def, 133);
  EXPECT_EQ(built->Parade, 64);
  EXPECT_EQ(built->MagicProps, shield.MagicProps);
}

TEST_F(ItemPTest, TypedTextIsStoredAsWindows1252) {
  dialog.ClearFields();
  dialog.ItemName->setText(QStringLiteral("Œil du Bœuf 5€"));
  dialog.ItemNotes->setText(QStringLiteral("Ω ≠ ok"));  // not in Windows-1252
  dialog.ItemMagicProps->setPlainText(QStringLiteral("  «Résistance» … \n→"));
  const auto item = Build();
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Name,
            "\x8Cil du B\x9C"
            "uf 5\x80");
  EXPECT_EQ(item->Notes, "? ? ok");
  EXPECT_EQ(item->MagicProps, (std::vector<std::string>{"\xABR\xE9sistance\xBB \x85", "?"}));
}

TEST_F(ItemPTest, EveryCategoryBuildsItsClassWithItsOwnFields) {
  dialog.ClearFields();
  dialog.ItemDef->setValue(11);
  dialog.ItemParade->setValue(22);
  dialog.ItemMinDmg->setValue(33);
  dialog.ItemMaxDmg->setValue(44);
  dialog.ItemSpeed->setCurrentIndex(4);

  struct Expect {
    const char* label;
    const char* className;
  };
  const Expect table[] = {{"Amulette", "TD2Amulet"}, {"Anneau", "TD2Ring"},   {"Arme", "TD2Weapon"},
                          {"Armure", "TD2Armor"},    {"Bottes", "TD2Boots"},  {"Bouclier", "TD2Shield"},
                          {"Casque", "TD2Helm"},     {"Ceinture", "TD2Belt"}, {"Charme", "TD2Charm"},
                          {"Gants", "TD2Gloves"},    {"Joyaux", "TD2Jewel"}};
  for (const Expect& e : table) {
    dialog.ItemCat->setCurrentText(e.label);
    const auto item = Build();
    ASSERT_TRUE(item) << e.label;
    EXPECT_EQ(ClassName(*item), e.className);
    if (auto* def = As<TD2DefItem>(item)) {
      EXPECT_EQ(def->Def, 11) << e.label;
    }
    if (auto* shield = As<TD2Shield>(item)) {
      EXPECT_EQ(shield->Parade, 22);
    }
    if (auto* weapon = As<TD2Weapon>(item)) {
      EXPECT_EQ(weapon->MinDmg, 33);
      EXPECT_EQ(weapon->MaxDmg, 44);
      EXPECT_EQ(weapon->Speed, 4);
    }
  }
  EXPECT_TRUE(env.Messages.Shown.empty());
}

TEST_F(ItemPTest, WeaponTurnedIntoArmourDropsDamageAndSpeed) {
  TD2Weapon weapon;
  weapon.MinDmg = 5;
  weapon.MaxDmg = 9;
  weapon.Speed = 3;
  dialog.LoadItem(weapon);
  EXPECT_EQ(dialog.ItemCat->currentText(), "Arme");
  EXPECT_EQ(dialog.ItemMinDmg->value(), 5);
  EXPECT_EQ(dialog.ItemSpeed->currentText(), "Rapide");
  EXPECT_EQ(dialog.ItemDef->value(), 0);  // not of the defence family

  dialog.ItemCat->setCurrentText("Armure");
  const auto item = Build();
  const auto* armour = As<TD2Armor>(item);
  ASSERT_TRUE(armour);
  EXPECT_EQ(armour->Def, 0);
}

TEST_F(ItemPTest, LoadingResetsFieldsTheClassDoesNotOwn) {
  TD2Shield shield;
  shield.Def = 10;
  shield.Parade = 20;
  dialog.LoadItem(shield);
  TD2Weapon weapon;
  weapon.MinDmg = 1;
  dialog.LoadItem(weapon);
  EXPECT_EQ(dialog.ItemDef->value(), 0);
  EXPECT_EQ(dialog.ItemParade->value(), 0);
  TD2Helm helm;
  helm.Def = 8;
  dialog.LoadItem(helm);
  EXPECT_EQ(dialog.ItemMinDmg->value(), 0);
  EXPECT_EQ(dialog.ItemSpeed->currentIndex(), 0);
  EXPECT_EQ(dialog.ItemDef->value(), 8);
}

TEST_F(ItemPTest, BareItemAndOddCodesShowTheFirstEntries) {
  TD2Item bare;
  bare.Quality = 9;
  dialog.ItemCat->setCurrentText("Gants");
  dialog.ItemQuality->setCurrentText("Rare");
  dialog.LoadItem(bare);
  EXPECT_EQ(dialog.ItemCat->currentText(), "Amulette");
  EXPECT_EQ(dialog.ItemQuality->currentText(), "Unique");
  EXPECT_TRUE(As<TD2Amulet>(Build()));

  TD2Jewel jewel;
  dialog.LoadItem(jewel);
  EXPECT_EQ(dialog.ItemCat->currentText(), "Joyaux");  // plural in the dialog
  EXPECT_EQ(dialog.ItemQuality->currentText(), "Normal");
}

TEST_F(ItemPTest, WeaponSpeedOutsideTheCodesSelectsNothingAndStoresMinusOne) {
  TD2Weapon weapon;
  weapon.Speed = 7;
  dialog.LoadItem(weapon);
  EXPECT_EQ(dialog.ItemSpeed->currentIndex(), -1);
  auto item = Build();
  ASSERT_TRUE(As<TD2Weapon>(item));
  EXPECT_EQ(As<TD2Weapon>(item)->Speed, -1);

  weapon.Speed = -3;
  dialog.LoadItem(weapon);
  EXPECT_EQ(dialog.ItemSpeed->currentIndex(), -1);
}

TEST_F(ItemPTest, MagicPropertyLinesAreTrimmedBlankOnesDroppedLongOnesKeptWhole) {
  dialog.ClearFields();
  dialog.ItemMagicProps->setPlainText("  +3 aux comp\xC3\xA9tences  \n\n     \n\t tab\t ");
  auto item = Build();
  ASSERT_TRUE(item);
  EXPECT_EQ(item->MagicProps, (std::vector<std::string>{"+3 aux comp\xE9tences", "\t tab\t"}));  // tabs are not spaces

  // A line far wider than the box wraps on screen but stays one property.
  const std::string longLine(300, 'w');
  const std::string words =
      "Chaque coup draine 5% de vie et 7% de mana, avec 25% de chances de lancer un "
      "sort de niveau 12 quand on frappe un ennemi dans le dos";
  dialog.show();
  dialog.ItemMagicProps->setPlainText(QString::fromStdString(words + "\n" + longLine));
  QApplication::processEvents();
  ASSERT_GT(dialog.ItemMagicProps->document()->firstBlock().layout()->lineCount(), 1)
      << "the first property should wrap on screen";
  item = Build();
  ASSERT_TRUE(item);
  EXPECT_EQ(item->MagicProps, (std::vector<std::string>{words, longLine}));
  dialog.hide();
}

TEST_F(ItemPTest, IntegerFieldsTakeTheWholeRangeAndUnparsableTextReadsZero) {
  for (QSpinBox* field : IntegerFields(dialog)) {
    EXPECT_EQ(field->minimum(), INT_MIN);
    EXPECT_EQ(field->maximum(), INT_MAX);
    EXPECT_EQ(field->singleStep(), 1);
  }
  dialog.ClearFields();
  dialog.show();
  dialog.ItemPrice->setValue(55);
  // Typing only a minus sign leaves a text that is not a number.
  dialog.ItemPrice->setFocus();
  dialog.ItemPrice->selectAll();
  QTest::keyClick(dialog.ItemPrice, Qt::Key_Minus);
  ASSERT_EQ(dialog.ItemPrice->cleanText(), "-");
  auto item = Build();
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Price, 0);

  // Typed digits are read as typed, stepping up from the top does not wrap.
  dialog.ItemPrice->selectAll();
  QTest::keyClicks(dialog.ItemPrice, "-2147483648");
  EXPECT_EQ(Build()->Price, INT_MIN);
  dialog.ItemPrice->setValue(INT_MAX);
  dialog.ItemPrice->stepUp();
  EXPECT_EQ(Build()->Price, INT_MAX);
  dialog.hide();
}

// An emptied field must not get its previous value back when it is left
// (focus out) or confirmed with Enter: it reads, and then shows, 0.
TEST_F(ItemPTest, EmptiedIntegerFieldReadsZeroWhenLeftOrConfirmed) {
  dialog.ClearFields();
  dialog.show();
  dialog.ItemPrice->setValue(55);
  dialog.ItemCLvl->setValue(12);
  dialog.ItemPrice->selectAll();
  QTest::keyClick(dialog.ItemPrice, Qt::Key_Backspace);
  ASSERT_EQ(dialog.ItemPrice->cleanText(), "");
  QFocusEvent focusOut(QEvent::FocusOut, Qt::MouseFocusReason);  // as when OK is clicked
  QApplication::sendEvent(dialog.ItemPrice, &focusOut);
  EXPECT_EQ(dialog.ItemPrice->value(), 0);
  EXPECT_EQ(dialog.ItemPrice->cleanText(), "0");

  dialog.ItemCLvl->selectAll();
  QTest::keyClick(dialog.ItemCLvl, Qt::Key_Minus);
  QTest::keyClick(dialog.ItemCLvl, Qt::Key_Return);
  EXPECT_EQ(dialog.ItemCLvl->value(), 0);
  auto item = Build();
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Price, 0);
  EXPECT_EQ(item->CLvl, 0);
  dialog.hide();
}

TEST_F(ItemPTest, NoCategoryGivesTheErrorAndNoItem) {
  dialog.ClearFields();
  dialog.ItemCat->setCurrentIndex(-1);
  EXPECT_EQ(Build(), nullptr);
  ASSERT_EQ(env.Messages.Shown.size(), 1u);
  EXPECT_EQ(env.Messages.Shown[0].kind, BoxKind::Error);
  EXPECT_EQ(env.Messages.Shown[0].text, QStringLiteral("Vous devez choisir une catégorie d'objet."));
}

// The contrast ratio of two colours by the Web Content Accessibility Guidelines.
double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto channel = [](int value) {
      const double v = value / 255.0;
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
  };
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(ItemPTest, ReadOnlyDisablesTheSixteenInputsAndHidesCancel) {
  dialog.show();
  const std::vector<QWidget*> inputs = {dialog.ItemName,   dialog.ItemNotes,  dialog.ItemCat,   dialog.ItemQuality,
                                        dialog.ItemDur,    dialog.ItemMaxDur, dialog.ItemCLvl,  dialog.ItemStr,
                                        dialog.ItemDex,    dialog.ItemPrice,  dialog.ItemDef,   dialog.ItemParade,
                                        dialog.ItemMinDmg, dialog.ItemMaxDmg, dialog.ItemSpeed, dialog.ItemMagicProps};
  dialog.SetReadOnly(true);
  for (QWidget* input : inputs) {
    EXPECT_FALSE(input->isEnabled()) << input->metaObject()->className();
    // Greyed, yet readable: drop-down lists draw as buttons, the others on their base.
    const QPalette palette = input->palette();
    const bool list = qobject_cast<QComboBox*>(input) != nullptr;
    const QColor text = palette.color(QPalette::Disabled, list ? QPalette::ButtonText : QPalette::Text);
    const QColor back = palette.color(QPalette::Disabled, list ? QPalette::Button : QPalette::Base);
    EXPECT_GE(Contrast(text, back), 4.5) << input->objectName().toStdString();
    EXPECT_LT(Contrast(text, back), Contrast(palette.color(QPalette::Active, QPalette::Text), back))
        << "still greyed: lighter than live text";
  }
  EXPECT_FALSE(dialog.Cancel->isVisible());
  EXPECT_TRUE(dialog.OK->isVisible());
  EXPECT_TRUE(dialog.OK->isEnabled());

  dialog.SetReadOnly(false);
  for (QWidget* input : inputs) EXPECT_TRUE(input->isEnabled());
  EXPECT_TRUE(dialog.Cancel->isVisible());
  dialog.hide();
}

TEST_F(ItemPTest, ExecuteTellsOkFromCancel) {
  auto ok = kistora::testing::AnswerNextModal([](QDialog* d) { static_cast<TItemP*>(d)->OK->click(); });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_TRUE(ok->Answered());

  auto cancel = kistora::testing::AnswerNextModal([](QDialog* d) { static_cast<TItemP*>(d)->Cancel->click(); });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_TRUE(cancel->Answered());

  auto close = kistora::testing::AnswerNextModal([](QDialog* d) { d->close(); });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_TRUE(close->Answered());
}

}  // namespace
