#include "GuiTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "app/Windows.h"
#include "gui/QtText.h"
#include "mainwindow/MainUnit.h"
#include "model/cp1252.h"
#include "storage/database.h"

namespace kistora::testing {

// ---- message boxes and shell ----

void FakeMessages::Record(QWidget* parent, ShownBox box) {
  Shown.push_back(box);
  if (OnShow) OnShow(parent, box);
}

void FakeMessages::Error(QWidget* parent, const QString& text) {
  Record(parent, {BoxKind::Error, QStringLiteral("Erreur"), text});
}

bool FakeMessages::Confirm(QWidget* parent, const QString& text) {
  Record(parent, {BoxKind::Confirm, QStringLiteral("Confirmation"), text});
  if (ConfirmAnswers.empty()) return DefaultConfirm;
  const bool answer = ConfirmAnswers.front();
  ConfirmAnswers.pop_front();
  return answer;
}

void FakeMessages::Message(QWidget* parent, const QString& title, const QString& text) {
  Record(parent, {BoxKind::Message, title, text});
}

void FakeMessages::FileError(QWidget* parent, const QString& text) {
  Record(parent, {BoxKind::FileError, QStringLiteral("Kistora"), text});
}

QStringList FakeMessages::Texts(BoxKind kind) const {
  QStringList texts;
  for (const ShownBox& box : Shown)
    if (box.kind == kind) texts.push_back(box.text);
  return texts;
}

// ---- modal answers ----

namespace {

struct PendingAnswer {
  std::function<void(QDialog*)> answer;
  int timeoutMs;
  std::shared_ptr<ModalAnswer> handle;
};

// One poller serves the answers in the order they were scheduled, so that a
// dialog followed by a message box can be answered by two scheduled calls.
class ModalAnswerer : public QObject {
 public:
  ModalAnswerer() {
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
  }

  void Add(PendingAnswer pending) {
    if (queue_.empty()) sinceFront_.start();
    queue_.push_back(std::move(pending));
    timer_.start();
  }

  void Cancel() {
    queue_.clear();
    timer_.stop();
  }

  bool HasPending() const { return !queue_.empty(); }

 private:
  void Tick() {
    if (queue_.empty()) {
      timer_.stop();
      return;
    }
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      if (sinceFront_.elapsed() > queue_.front().timeoutMs) {
        queue_.pop_front();  // the dialog never came; the handle stays unanswered
        sinceFront_.start();
      }
      return;
    }
    PendingAnswer pending = std::move(queue_.front());
    queue_.pop_front();
    sinceFront_.start();
    pending.handle->MarkAnswered(QString::fromLatin1(dialog->metaObject()->className()));
    pending.answer(dialog);
  }

  QTimer timer_;
  QElapsedTimer sinceFront_;
  std::deque<PendingAnswer> queue_;
};

ModalAnswerer& Answerer() {
  static auto* answerer = new ModalAnswerer();  // lives as long as the QApplication
  return *answerer;
}

}  // namespace

std::shared_ptr<ModalAnswer> AnswerNextModal(std::function<void(QDialog*)> answer, int timeoutMs) {
  auto handle = std::make_shared<ModalAnswer>();
  Answerer().Add({std::move(answer), timeoutMs, handle});
  return handle;
}

void CancelPendingModalAnswers() { Answerer().Cancel(); }

void InstallModalWatchdog(int maxOpenMs) {
  // A modal dialog that nobody answers would block the test for ever: close it,
  // say so, and let the test's own checks fail.
  auto* timer = new QTimer(qApp);
  auto* openSince = new QElapsedTimer();
  auto* watched = new QPointer<QWidget>();
  QObject::connect(timer, &QTimer::timeout, qApp, [=] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || Answerer().HasPending()) {
      *watched = nullptr;
      return;
    }
    if (watched->data() != modal) {
      *watched = modal;
      openSince->start();
      return;
    }
    if (openSince->elapsed() > maxOpenMs) {
      std::fprintf(stderr, "Unanswered modal dialog \"%s\" (%s) closed by the test watchdog\n",
                   qPrintable(modal->windowTitle()), modal->metaObject()->className());
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
      *watched = nullptr;
    }
  });
  QObject::connect(qApp, &QObject::destroyed, [=] {
    delete openSince;
    delete watched;
  });
  timer->start(100);
}

// ---- data folder and windows ----

GuiTestEnvironment::GuiTestEnvironment() : saved_(CurrentPlatform()) {
  if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
  dataDir_ = dir_.path().toStdString() + "/";
  Platform& platform = CurrentPlatform();
  platform.Messages = &Messages;
  platform.Shell = &Shell;
  platform.DataDir = dataDir_;
  platform.StateDir = stateDir_.path().toStdString() + "/";
}

GuiTestEnvironment::~GuiTestEnvironment() {
  CancelPendingModalAnswers();
  CurrentPlatform() = saved_;
}

void GuiTestEnvironment::SetDataDir(const std::string& dirWithSlash) {
  dataDir_ = dirWithSlash;
  CurrentPlatform().DataDir = dirWithSlash;
}

void GuiTestEnvironment::WriteDatabases(const TCatalogue& catalogue) const {
  SaveItems(catalogue, Path("items.kdb"));
  SaveChars(catalogue, Path("chars.kdb"));
}

ScopedProgram::ScopedProgram() { CreateWindows(); }

ScopedProgram::~ScopedProgram() {
  CancelPendingModalAnswers();
  DestroyWindows();
}

TMain& ScopedProgram::Main() const { return *Windows().Main; }

void ScopedProgram::ShowMain() const {
  Main().show();
  if (!QTest::qWaitForWindowExposed(&Main())) std::fprintf(stderr, "The main window was not exposed\n");
}

// ---- text ----

QString FromCp1252(const std::string& s) { return QtText(s); }

std::string ToCp1252(const QString& s) { return Cp1252Text(s); }

void UseOffscreenPlatform() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace kistora::testing
