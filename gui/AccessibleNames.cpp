#include "gui/AccessibleNames.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <limits>

namespace kistora {

namespace {

// How far from its label an input may be and still be the one it names.
constexpr int kMaxGap = 40;

bool IsInput(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QTextEdit*>(w) || w->inherits("kistora::ColourSwatch");
}

// A line edit inside a combo box or a spin box is named through its owner.
bool IsPartOfAnotherInput(const QWidget* w) {
  for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    if (IsInput(p)) return true;
  }
  return false;
}

QRect InWindow(const QWidget& window, const QWidget* w) { return QRect(w->mapTo(&window, QPoint(0, 0)), w->size()); }

// The gap from the label to the input when the input is right of it on its
// row or below it; max() when it is neither.
int GapAfter(const QRect& label, const QRect& input) {
  const int rowOverlap = std::min(label.bottom(), input.bottom()) - std::max(label.top(), input.top());
  if (rowOverlap >= 0 && input.left() >= label.right() - 2) return input.left() - label.right();
  const int columnOverlap = std::min(label.right(), input.right()) - std::max(label.left(), input.left());
  if (columnOverlap >= 0 && input.top() >= label.bottom() - 2) return input.top() - label.bottom() + kMaxGap / 4;
  return std::numeric_limits<int>::max();
}

// The widgets of class T that belong to window itself, not to a window it owns.
template <class T>
QList<T*> OwnChildren(QWidget& window) {
  QList<T*> own;
  for (T* w : window.findChildren<T*>()) {
    if (w->window() == &window) own.append(w);
  }
  return own;
}

// A plain widget made a window (the item database window) is announced as a
// window; Qt's own interface would call it a filler.
QAccessibleInterface* PlainWindowAsWindow(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr || !widget->isWindow() || className != QLatin1String("QWidget")) return nullptr;
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void AnnounceWindowsAsWindows() {
  static const bool installed = [] {
    QAccessible::installFactory(PlainWindowAsWindow);
    return true;
  }();
  (void)installed;
}

QString LabelTextAsName(const QString& labelText) {
  QString name;
  for (int i = 0; i < labelText.size(); ++i) {
    if (labelText[i] == QLatin1Char('&')) {
      if (i + 1 < labelText.size() && labelText[i + 1] == QLatin1Char('&')) name += labelText[++i];
      continue;
    }
    name += labelText[i];
  }
  name = name.trimmed();
  while (name.endsWith(QLatin1Char(':'))) name = name.chopped(1).trimmed();
  // "(Prix minimum:" names the field between its parentheses.
  if (name.startsWith(QLatin1Char('(')) && !name.contains(QLatin1Char(')'))) name = name.mid(1).trimmed();
  return name;
}

void NameInputsByTheirLabels(QWidget& window) {
  if (window.layout()) window.layout()->activate();
  QList<QWidget*> inputs;
  for (QWidget* w : OwnChildren<QWidget>(window)) {
    if (IsInput(w) && !IsPartOfAnotherInput(w)) inputs.append(w);
  }
  QList<QLabel*> loose;  // labels that name no field yet
  for (QLabel* label : OwnChildren<QLabel>(window)) {
    if (label->textFormat() == Qt::RichText || LabelTextAsName(label->text()).isEmpty()) continue;
    if (QWidget* field = label->buddy()) {
      if (field->accessibleName().isEmpty()) field->setAccessibleName(LabelTextAsName(label->text()));
    } else {
      loose.append(label);
    }
  }
  // An input no label names: the nearest loose label left of it on its row or
  // above it, which becomes its buddy (so that it is also read as its label).
  for (QWidget* input : inputs) {
    if (!input->accessibleName().isEmpty()) continue;
    const QRect to = InWindow(window, input);
    QLabel* nearest = nullptr;
    int best = kMaxGap + 1;
    for (QLabel* label : loose) {
      const int gap = GapAfter(InWindow(window, label), to);
      if (gap < best) {
        best = gap;
        nearest = label;
      }
    }
    if (nearest == nullptr) continue;
    nearest->setBuddy(input);
    loose.removeOne(nearest);
    input->setAccessibleName(LabelTextAsName(nearest->text()));
  }
}

}  // namespace kistora
