#include "gui/WindowCare.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QShowEvent>
#include <QWidget>
#include <QWindow>

#include "gui/AccessibleNames.h"
#include "gui/StorableText.h"
#include "gui/WindowFrame.h"

namespace kistora {

namespace {

constexpr const char* kCaredProperty = "kistora-cared-for";

bool IsOrdinaryWindow(const QWidget& w) {
  return w.isWindow() && (w.windowType() == Qt::Window || w.windowType() == Qt::Dialog);
}

bool IsModal(const QWidget& w) { return w.isModal() || w.windowModality() != Qt::NonModal; }

// Qt's own file and colour dialogs: their fields are not the program's texts.
bool IsQtOwnDialog(const QWidget& w) { return w.inherits("QFileDialog") || w.inherits("QColorDialog"); }

void CareFor(QWidget& window) {
  if (window.property(kCaredProperty).toBool()) return;
  window.setProperty(kCaredProperty, true);
  if (!IsQtOwnDialog(window)) {
    NameInputsByTheirLabels(window);
    GuardTextFields(window);
  }
  FollowFrame(window);
}

class WindowCare final : public QObject {
 public:
  explicit WindowCare(QWidget& mainWindow) : QObject(&mainWindow) {
    AnnounceWindowsAsWindows();
    CareFor(mainWindow);
    for (QWidget* w : mainWindow.findChildren<QWidget*>()) {
      if (IsOrdinaryWindow(*w)) CareFor(*w);
    }
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Hide) || !watched->isWidgetType()) return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!IsOrdinaryWindow(*window)) return false;
    if (type == QEvent::Show && !static_cast<QShowEvent*>(event)->spontaneous()) {
      CareFor(*window);
      if (IsModal(*window)) Opened(*window);
    } else if (type == QEvent::Hide && !event->spontaneous()) {
      Closed(*window);
    }
    return false;
  }

 private:
  // The window active when the dialog opens is the one it was opened from: the
  // window manager makes the dialog its own, and so gives it the focus back.
  void Opened(QWidget& dialog) {
    QWidget* opener = QApplication::activeWindow();
    if (opener == nullptr || opener == &dialog) return;
    openers_.insert(&dialog, opener);
    if (dialog.windowHandle() != nullptr && opener->windowHandle() != nullptr)
      dialog.windowHandle()->setTransientParent(opener->windowHandle());
  }

  void Closed(QWidget& dialog) {
    const QPointer<QWidget> opener = openers_.take(&dialog);
    if (opener && opener->isVisible()) opener->activateWindow();
  }

  QHash<const QWidget*, QPointer<QWidget>> openers_;
};

}  // namespace

void CareForWindows(QWidget& mainWindow) { new WindowCare(mainWindow); }

}  // namespace kistora
