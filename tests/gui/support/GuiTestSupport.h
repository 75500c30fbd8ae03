// Shared support for the window tests (library kistora_gui_test_support).
//
// Typical use, with the main() of kistora_gui_test_main (it sets the offscreen
// platform and creates the QApplication):
//
//   TEST(Chars, DeleteAsksFirst) {
//     kistora::testing::GuiTestEnvironment env;      // temp data folder + fake boxes/shell
//     env.Messages.ConfirmAnswers.push_back(false);   // the next confirmation: "Annuler"
//     kistora::testing::ScopedProgram program;       // CreateWindows() ... DestroyWindows()
//     program.Main().DelChar->click();
//     ASSERT_EQ(env.Messages.Shown.size(), 1u);
//     EXPECT_EQ(env.Messages.Shown[0].kind, kistora::testing::BoxKind::Confirm);
//   }
//
// Modal dialogs (QDialog::exec) block the test until they close: schedule the
// answer before the click that opens one:
//
//   auto answer = kistora::testing::AnswerNextModal([](QDialog* d) { d->accept(); });
//   program.Main().AddChar->click();
//   EXPECT_TRUE(answer->Answered());
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Platform.h"

class QDialog;
class TMain;

namespace kistora {
class TCatalogue;
}

namespace kistora::testing {

enum class BoxKind { Error, Confirm, Message, FileError };

struct ShownBox {
  BoxKind kind;
  QString title;  // "Erreur", "Confirmation", "Kistora" or the title given to Message
  QString text;
};

// Records every message box instead of showing it. Confirmations are answered
// from ConfirmAnswers (front first, true = "&Oui"); when the queue is empty the
// answer is DefaultConfirm.
class FakeMessages final : public MessageService {
 public:
  void Error(QWidget* parent, const QString& text) override;
  bool Confirm(QWidget* parent, const QString& text) override;
  void Message(QWidget* parent, const QString& title, const QString& text) override;
  void FileError(QWidget* parent, const QString& text) override;

  // Texts of the boxes of one kind, in the order shown.
  QStringList Texts(BoxKind kind) const;
  void Record(QWidget* parent, ShownBox box);
  void Clear() { Shown.clear(); }

  std::vector<ShownBox> Shown;
  // Called with each box as it is shown, while it would be open (e.g. to act meanwhile).
  std::function<void(QWidget* parent, const ShownBox& box)> OnShow;
  std::deque<bool> ConfirmAnswers;
  bool DefaultConfirm = false;
};

// Records the targets of the shell's "open" instead of opening anything.
class FakeShell final : public ShellService {
 public:
  void Open(const QString& target) override { Opened.push_back(target); }
  QStringList Opened;
};

// For the life of this object: CurrentPlatform() uses Messages and Shell, and
// its DataDir is a fresh, empty temporary folder (removed afterwards). The
// previous platform is restored on destruction.
class GuiTestEnvironment {
 public:
  GuiTestEnvironment();
  ~GuiTestEnvironment();
  GuiTestEnvironment(const GuiTestEnvironment&) = delete;
  GuiTestEnvironment& operator=(const GuiTestEnvironment&) = delete;

  // The data folder with its trailing "/", and a file in it.
  const std::string& DataDir() const { return dataDir_; }
  std::string Path(const std::string& fileName) const { return dataDir_ + fileName; }
  // Points the program at another data folder (e.g. a path under a regular file).
  void SetDataDir(const std::string& dirWithSlash);

  // Writes items.kdb and chars.kdb of catalogue into the data folder.
  void WriteDatabases(const TCatalogue& catalogue) const;

  FakeMessages Messages;
  FakeShell Shell;

 private:
  QTemporaryDir dir_;
  QTemporaryDir stateDir_;  // what the program keeps outside the data folder
  std::string dataDir_;
  Platform saved_;
};

// Creates the program's windows (CreateWindows) and destroys them at the end of
// the scope (DestroyWindows). Create it after the GuiTestEnvironment, so the
// main window loads from the temporary folder.
class ScopedProgram {
 public:
  ScopedProgram();
  ~ScopedProgram();
  ScopedProgram(const ScopedProgram&) = delete;
  ScopedProgram& operator=(const ScopedProgram&) = delete;

  TMain& Main() const;
  // Shows the main window (its first show runs the start-up steps) and waits until it is exposed.
  void ShowMain() const;
};

// Handle returned by AnswerNextModal.
class ModalAnswer {
 public:
  bool Answered() const { return answered_; }
  // The class name of the dialog that was answered (e.g. "TPerso", "QMessageBox").
  const QString& DialogClass() const { return dialogClass_; }
  // Called by the poller when it hands the dialog to the answer.
  void MarkAnswered(const QString& dialogClass) {
    answered_ = true;
    dialogClass_ = dialogClass;
  }

 private:
  bool answered_ = false;
  QString dialogClass_;
};

// Polls the event loop until a modal QDialog is active, then calls answer(dialog)
// once, from the event loop (the answer must close the dialog: accept(), reject(),
// a button's click()...). Gives up silently after timeoutMs: check Answered().
std::shared_ptr<ModalAnswer> AnswerNextModal(std::function<void(QDialog*)> answer, int timeoutMs = 5000);
// Drops every scheduled answer not yet used (GuiTestEnvironment and ScopedProgram
// do it on destruction, so that no answer leaks into the next test).
void CancelPendingModalAnswers();
// Closes (reject) a modal dialog that stays open unanswered for maxOpenMs, with a
// line on stderr, so that a forgotten answer fails the test instead of hanging it.
// kistora_gui_test_main installs it with 10 seconds.
void InstallModalWatchdog(int maxOpenMs);

// Windows-1252 bytes <-> the QString a widget shows.
QString FromCp1252(const std::string& s);
std::string ToCp1252(const QString& s);

// Sets QT_QPA_PLATFORM=offscreen unless the environment already chose a
// platform; call before the QApplication is created (kistora_gui_test_main does).
void UseOffscreenPlatform();

}  // namespace kistora::testing
