// The character list and the character dialog: adding with its two checks,
// deleting, modifying, reordering, and the selection driving the inventory.
#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "storage/database.h"

namespace kistora::testing {
namespace {

// A program started on three characters holding distinct items.
class CharsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TCatalogue catalogue;
    AddItem<TD2Ring>(catalogue, 1, "Anneau un");
    AddItem<TD2Amulet>(catalogue, 2, "Amulette deux");
    AddItem<TD2Charm>(catalogue, 3, "Charme trois");
    AddPaladin(catalogue, "Ana", {1}, "42");
    AddPaladin(catalogue, "Bob", {2, 2}, "42");
    AddPaladin(catalogue, "Cid", {3}, "42");
    env_.WriteDatabases(catalogue);
    program_ = std::make_unique<ScopedProgram>();
    program_->ShowMain();
  }
  void TearDown() override { program_.reset(); }

  TMain& Main() { return program_->Main(); }
  TPerso& Perso() { return *Windows().Perso; }
  // Each character's name with its item numbers, top to bottom, from the catalogue.
  std::vector<std::pair<std::string, std::vector<std::int32_t>>> Holdings() {
    std::vector<std::pair<std::string, std::vector<std::int32_t>>> rows;
    for (const auto& character : Main().Catalogue().CharList) rows.emplace_back(character->Name, character->Items);
    return rows;
  }

  GuiTestEnvironment env_;
  std::unique_ptr<ScopedProgram> program_;
};

TEST_F(CharsTest, AddAppendsSelectsAndListsAnEmptyInventory) {
  Main().SelectCharRow(1);
  RunPerso(Main().AddChar, [](TPerso& perso) {
    QTest::keyClicks(perso.CharName, "Dana");
    QTest::keyClicks(perso.CharAccount, "acc");
    perso.CharClass->setCurrentText(QString::fromUtf8("Sorcière"));
    perso.CharCLvl->setValue(17);
    QTest::keyClicks(perso.CharNotes, "mule gemmes");
  });
  EXPECT_TRUE(env_.Messages.Shown.empty());
  ASSERT_EQ(Rows(Main().Chars), 4);
  const QStringList row = {Cell(Main().Chars, 3, 0), Cell(Main().Chars, 3, 1), Cell(Main().Chars, 3, 2),
                           Cell(Main().Chars, 3, 3), Cell(Main().Chars, 3, 4)};
  EXPECT_EQ(row, QStringList({"Dana", "acc", QString::fromUtf8("Sorcière"), "17", "mule gemmes"}));
  EXPECT_EQ(Main().SelectedCharRow(), 3);
  EXPECT_EQ(Rows(Main().CharInv), 0);
  EXPECT_EQ(Main().Catalogue().CharList.size(), 4u);
  EXPECT_EQ(Main().Catalogue().CharList[3]->Class, "Sorci\xE8re");  // stored as Windows-1252
}

TEST_F(CharsTest, CancelAddsNothing) {
  AddCharByDialog(Main(), "Dana", /*ok=*/false);
  EXPECT_EQ(CharNames(Main()), QStringList({"Ana", "Bob", "Cid"}));
  EXPECT_TRUE(env_.Messages.Shown.empty());
}

TEST_F(CharsTest, AddRefusesEmptyAndDuplicateNames) {
  AddCharByDialog(Main(), "   ");
  AddCharByDialog(Main(), "BOB");
  EXPECT_EQ(env_.Messages.Texts(BoxKind::Error),
            QStringList({"Vous devez entrer un nom pour votre perso.",
                         QString::fromUtf8("Le perso existe déjà, entrez un nom différent.")}));
  EXPECT_EQ(env_.Messages.Shown[0].title, "Erreur");
  EXPECT_EQ(CharNames(Main()), QStringList({"Ana", "Bob", "Cid"}));
  // A trailing space makes another name, kept as typed.
  AddCharByDialog(Main(), "Bob ");
  EXPECT_EQ(Main().Catalogue().CharList.back()->Name, "Bob ");
  // Only A..Z are folded: É and é are different letters.
  AddCharByDialog(Main(), QString::fromUtf8("Éric"));
  AddCharByDialog(Main(), QString::fromUtf8("éric"));
  EXPECT_EQ(Rows(Main().Chars), 6);
  EXPECT_EQ(env_.Messages.Texts(BoxKind::Error).size(), 2);
}

TEST_F(CharsTest, TheDialogKeepsItsFieldsBetweenUses) {
  AddCharByDialog(Main(), "Dana");
  QString nameShown;
  RunPerso(
      Main().AddChar, [&](TPerso& perso) { nameShown = perso.CharName->text(); }, false);
  EXPECT_EQ(nameShown, "Dana");
  // After "Modifier..." the dialog holds the modified character: adding it again is a duplicate.
  Main().SelectCharRow(0);
  RunPerso(Main().ModChar, [](TPerso& perso) { perso.CharNotes->setText("note"); });
  RunPerso(Main().AddChar, [&](TPerso& perso) { nameShown = perso.CharName->text(); });
  EXPECT_EQ(nameShown, "Ana");
  EXPECT_EQ(env_.Messages.Texts(BoxKind::Error),
            QStringList({QString::fromUtf8("Le perso existe déjà, entrez un nom différent.")}));
}

TEST_F(CharsTest, ModifyFillsTheDialogAndWritesTheRowBack) {
  Main().SelectCharRow(1);
  QString shownClass, shownLevel, shownName;
  RunPerso(Main().ModChar, [&](TPerso& perso) {
    shownName = perso.CharName->text();
    shownClass = perso.CharClass->currentText();
    shownLevel = perso.CharCLvl->text();
    perso.CharName->setText("Cid");  // another row's name: accepted by Modify
    perso.CharCLvl->setValue(99);
  });
  EXPECT_EQ(shownName, "Bob");
  EXPECT_EQ(shownClass, "Paladin");
  EXPECT_EQ(shownLevel, "42");
  EXPECT_TRUE(env_.Messages.Shown.empty());
  EXPECT_EQ(CharNames(Main()), QStringList({"Ana", "Cid", "Cid"}));
  EXPECT_EQ(Cell(Main().Chars, 1, 3), "99");
  // The items stay with the character, and the selection with the row.
  EXPECT_EQ(Main().SelectedCharRow(), 1);
  EXPECT_EQ(InvNumbers(Main()), QStringList({"2", "2"}));
  // Two rows with the same name: the last one is found.
  EXPECT_EQ(Main().Catalogue().FindCharRow("cid"), 2);
}

TEST_F(CharsTest, ModifyCancelledLeavesTheRow) {
  Main().SelectCharRow(0);
  RunPerso(
      Main().ModChar, [](TPerso& perso) { perso.CharName->setText("Zed"); }, false);
  EXPECT_EQ(CharNames(Main()), QStringList({"Ana", "Bob", "Cid"}));
}

TEST_F(CharsTest, ModifyMatchesTheClassWithLettersFolded) {
  Main().Catalogue().CharList[0]->Class = "paladin";
  Main().Catalogue().CharList[1]->Class = "";
  Main().SelectCharRow(0);
  int index = -2;
  RunPerso(
      Main().ModChar, [&](TPerso& perso) { index = perso.CharClass->currentIndex(); }, false);
  EXPECT_EQ(index, 5);  // "Paladin"
  Main().SelectCharRow(1);
  RunPerso(Main().ModChar, [&](TPerso& perso) { index = perso.CharClass->currentIndex(); });
  EXPECT_EQ(index, -1);
  EXPECT_EQ(Main().Catalogue().CharList[1]->Class, "");  // no choice stays empty
}

TEST_F(CharsTest, DeleteAsksAndKeepsTheItemsInTheDatabase) {
  Main().SelectCharRow(1);
  env_.Messages.ConfirmAnswers = {false, true};
  Main().DelChar->click();
  EXPECT_EQ(CharNames(Main()), QStringList({"Ana", "Bob", "Cid"}));
  EXPECT_EQ(InvNumbers(Main()), QStringList({"2", "2"}));
  Main().DelChar->click();
  ASSERT_EQ(env_.Messages.Texts(BoxKind::Confirm).size(), 2);
  EXPECT_EQ(env_.Messages.Shown[0].title, "Confirmation");
  EXPECT_EQ(env_.Messages.Shown[0].text,
            QString::fromUtf8("Etes-vous sûr(e) de vouloir supprimer le personnage Bob? L'opération "
                              "sera irréversible et tous l'inventaire sera perdu."));
  EXPECT_EQ(Holdings(), (decltype(Holdings()){{"Ana", {1}}, {"Cid", {3}}}));
  EXPECT_EQ(Main().SelectedCharRow(), -1);
  EXPECT_EQ(Rows(Main().CharInv), 0);
  EXPECT_NE(Main().Catalogue().FindItem(2), nullptr);
}

TEST_F(CharsTest, MovingKeepsEachCharactersItems) {
  const auto before = Holdings();
  Main().SelectCharRow(2);
  Main().UpChar->click();
  EXPECT_EQ(Holdings(), (decltype(Holdings()){{"Ana", {1}}, {"Cid", {3}}, {"Bob", {2, 2}}}));
  EXPECT_EQ(Main().SelectedCharRow(), 1);
  EXPECT_EQ(InvNumbers(Main()), QStringList({"3"}));
  EXPECT_EQ(CharNames(Main()), QStringList({"Ana", "Cid", "Bob"}));
  Main().DownChar->click();
  EXPECT_EQ(Holdings(), before);
  EXPECT_EQ(Main().SelectedCharRow(), 2);
  EXPECT_EQ(InvNumbers(Main()), QStringList({"3"}));
  // Already last / first: nothing moves, the inventory still lists the character.
  Main().DownChar->click();
  EXPECT_EQ(Holdings(), before);
  Main().SelectCharRow(0);
  Main().UpChar->click();
  EXPECT_EQ(Holdings(), before);
  EXPECT_EQ(Main().SelectedCharRow(), 0);
  EXPECT_EQ(InvNumbers(Main()), QStringList({"1"}));
  // The order on disk follows.
  ASSERT_TRUE(Main().close());
  TCatalogue reloaded;
  LoadChars(reloaded, env_.Path("chars.kdb"));
  ASSERT_EQ(reloaded.CharList.size(), 3u);
  EXPECT_EQ(reloaded.CharList[2]->Items, (std::vector<std::int32_t>{3}));
}

TEST_F(CharsTest, ButtonsWithoutSelectionDoNothing) {
  const auto before = Holdings();
  for (QPushButton* button : {Main().DelChar, Main().ModChar, Main().UpChar, Main().DownChar})
    button->click();  // a dialog opened here would be left unanswered and fail the run
  EXPECT_EQ(Holdings(), before);
  EXPECT_TRUE(env_.Messages.Shown.empty());
}

TEST_F(CharsTest, TheInventoryFollowsTheSelection) {
  Main().Chars->setFocus();
  SelectRow(Main().Chars, 0);
  EXPECT_EQ(InvNumbers(Main()), QStringList({"1"}));
  QTest::keyClick(Main().Chars, Qt::Key_Down);
  EXPECT_EQ(Main().SelectedCharRow(), 1);
  EXPECT_EQ(InvNumbers(Main()), QStringList({"2", "2"}));
  // A click on a row, then on the empty part of the list.
  const QRect third = Main().Chars->visualRect(Main().Chars->model()->index(2, 0));
  QTest::mouseClick(Main().Chars->viewport(), Qt::LeftButton, {}, third.center());
  EXPECT_EQ(InvNumbers(Main()), QStringList({"3"}));
  QTest::mouseClick(Main().Chars->viewport(), Qt::LeftButton, {}, QPoint(10, Main().Chars->viewport()->height() - 3));
  EXPECT_EQ(Main().SelectedCharRow(), -1);
  EXPECT_EQ(Rows(Main().CharInv), 0);
}

TEST_F(CharsTest, TextWindows1252CannotHoldIsRefusedNeverStoredAsAQuestionMark) {
  // Pasted into the name: refused whole, so the name stays empty and says so.
  AddCharByDialog(Main(), QString::fromUtf8("Ωmega €"));
  EXPECT_EQ(env_.Messages.Texts(BoxKind::Error), QStringList({"Vous devez entrer un nom pour votre perso."}));
  EXPECT_EQ(Rows(Main().Chars), 3);
  AddCharByDialog(Main(), QString::fromUtf8("Omega €"));
  ASSERT_EQ(Rows(Main().Chars), 4);
  EXPECT_EQ(Main().Catalogue().CharList[3]->Name, "Omega \x80");
  ASSERT_TRUE(Main().close());
  TCatalogue reloaded;
  LoadChars(reloaded, env_.Path("chars.kdb"));
  EXPECT_EQ(reloaded.CharList[3]->Name, "Omega \x80");
}

TEST_F(CharsTest, TheDialogHasItsDesignedControls) {
  TPerso& perso = Perso();
  EXPECT_EQ(perso.windowTitle(), "Perso");
  EXPECT_GE(perso.width(), 369);
  EXPECT_GE(perso.height(), 155);
  QStringList classes;
  for (int i = 0; i < perso.CharClass->count(); ++i) classes << perso.CharClass->itemText(i);
  EXPECT_EQ(classes, QString::fromUtf8("Amazone,Assassin,Barbare,Druide,Nécromancien,Paladin,Sorcière").split(','));
  EXPECT_FALSE(perso.CharClass->isEditable());
  EXPECT_EQ(perso.CharCLvl->minimum(), 1);
  EXPECT_EQ(perso.CharCLvl->maximum(), 99);
  EXPECT_TRUE(perso.OK->isDefault());
  EXPECT_EQ(perso.Cancel->text(), "Annuler");
  // Escape cancels.
  auto answer = AnswerNextModal([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
  Main().AddChar->click();
  EXPECT_TRUE(answer->Answered());
  EXPECT_EQ(Rows(Main().Chars), 3);
}

}  // namespace
}  // namespace kistora::testing
