#include "gui/AccessibleNames.h"

#include <QAbstractSpinBox>
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

}  // namespace

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
  return name;
}

void NameInputsByTheirLabels(QWidget& window) {
  if (window.layout()) window.layout()->activate();
  const auto children = window.findChildren<QWidget*>();
  QList<QWidget*> inputs;
  for (QWidget* w : children) {
    if (IsInput(w) && !IsPartOfAnotherInput(w)) inputs.append(w);
  }
  for (QLabel* label : window.findChildren<QLabel*>()) {
    const QString name = LabelTextAsName(label->text());
    if (name.isEmpty() || label->textFormat() == Qt::RichText) continue;
    QWidget* target = label->buddy();
    if (!target) {
      const QRect from = InWindow(window, label);
      int best = kMaxGap + 1;
      for (QWidget* input : inputs) {
        if (!input->accessibleName().isEmpty()) continue;
        const int gap = GapAfter(from, InWindow(window, input));
        if (gap < best) {
          best = gap;
          target = input;
        }
      }
    }
    if (target && target->accessibleName().isEmpty()) target->setAccessibleName(name);
  }
}

}  // namespace kistora
