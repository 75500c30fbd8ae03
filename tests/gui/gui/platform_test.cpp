// The real message boxes: titles, buttons, default and Escape answers.
#include <QMessageBox>
#include <QPushButton>

#include "MainWindowHelpers.h"

namespace kistora::testing {
namespace {

struct BoxSeen {
  QString title;
  QString text;
  QStringList buttons;
  QString defaultButton;
};

// Answers the next message box after noting what it shows; `press` picks the answer.
std::shared_ptr<ModalAnswer> SeeNextBox(BoxSeen& seen, std::function<void(QMessageBox*)> press) {
  return AnswerNextModal([&seen, press](QDialog* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box == nullptr) {
      dialog->reject();
      return;
    }
    seen.title = box->windowTitle();
    seen.text = box->text();
    for (QAbstractButton* button : box->buttons()) seen.buttons << button->text();
    seen.buttons.sort();
    if (box->defaultButton() != nullptr) seen.defaultButton = box->defaultButton()->text();
    press(box);
  });
}

QAbstractButton* ButtonNamed(QMessageBox* box, const QString& text) {
  for (QAbstractButton* button : box->buttons())
    if (button->text() == text) return button;
  return nullptr;
}

TEST(MessageBoxes, ConfirmationAnswersOuiOnlyWhenOuiIsChosen) {
  MessageService& real = *CurrentPlatform().Messages;
  BoxSeen seen;
  auto answer = SeeNextBox(seen, [](QMessageBox* box) { ButtonNamed(box, "&Oui")->click(); });
  EXPECT_TRUE(real.Confirm(nullptr, "Vraiment?"));
  ASSERT_TRUE(answer->Answered());
  EXPECT_EQ(seen.title, "Confirmation");
  EXPECT_EQ(seen.text, "Vraiment?");
  EXPECT_EQ(seen.buttons, QStringList({"&Oui", "Annuler"}));
  EXPECT_EQ(seen.defaultButton, "&Oui");

  BoxSeen escaped;
  answer = SeeNextBox(escaped, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_FALSE(real.Confirm(nullptr, "Vraiment?"));
  EXPECT_TRUE(answer->Answered());

  BoxSeen closed;
  answer = SeeNextBox(closed, [](QMessageBox* box) { box->close(); });
  EXPECT_FALSE(real.Confirm(nullptr, "Vraiment?"));
  EXPECT_TRUE(answer->Answered());

  BoxSeen entered;
  answer = SeeNextBox(entered, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
  EXPECT_TRUE(real.Confirm(nullptr, "Vraiment?"));
  EXPECT_TRUE(answer->Answered());
}

TEST(MessageBoxes, ErrorFileErrorAndMessageHaveOneOkButton) {
  MessageService& real = *CurrentPlatform().Messages;
  BoxSeen error, fileError, message;
  auto pressOk = [](QMessageBox* box) { ButtonNamed(box, "OK")->click(); };
  auto a1 = SeeNextBox(error, pressOk);
  real.Error(nullptr, "Mauvais");
  auto a2 = SeeNextBox(fileError, pressOk);
  real.FileError(nullptr, "Impossible d'ouvrir le fichier /x.");
  auto a3 = SeeNextBox(message, pressOk);
  real.Message(nullptr, "Kistora", "un\r\ndeux");
  ASSERT_TRUE(a1->Answered() && a2->Answered() && a3->Answered());
  EXPECT_EQ(error.title, "Erreur");
  EXPECT_EQ(error.buttons, QStringList({"OK"}));
  EXPECT_EQ(fileError.title, "Kistora");
  EXPECT_EQ(fileError.buttons, QStringList({"OK"}));
  EXPECT_EQ(message.title, "Kistora");
  EXPECT_EQ(message.text, "un\ndeux");  // CR LF shown as a line break
}

}  // namespace
}  // namespace kistora::testing
