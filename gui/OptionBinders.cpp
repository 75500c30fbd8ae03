#include "gui/OptionBinders.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <algorithm>

#include "gui/QtText.h"

namespace kistora {

namespace {

using Id = OptionId;

// Limits that keep odd values of a hand-edited file from asking the window
// system for impossible windows (X11 coordinates are 16-bit).
constexpr int kMaxCoordinate = 16000;
constexpr int kMaxSide = 16000;

int Clamp(std::int32_t value, int low, int high) {
  return static_cast<int>(std::clamp<std::int32_t>(value, low, high));
}

}  // namespace

// The sizes leave the frame out: the windows are designed at those sizes (609 x 482 for the main window), and a
// frame the window system has not reported yet at the first show would
// otherwise make the window grow by its frame at every run.
void BindBounds(OptionBindings& b, Id left, QWidget* window, const std::function<void()>& positionApplied,
                const std::function<QPoint()>& position) {
  const auto id = [left](int offset) { return static_cast<Id>(static_cast<int>(left) + offset); };
  const auto topLeft = [window, position] { return position ? position() : window->frameGeometry().topLeft(); };
  b.BindInteger(
      id(0), [topLeft] { return topLeft().x(); },
      [window, positionApplied](std::int32_t x) {
        window->move(Clamp(x, -kMaxCoordinate, kMaxCoordinate), window->frameGeometry().y());
        if (positionApplied) positionApplied();
      });
  b.BindInteger(
      id(1), [topLeft] { return topLeft().y(); },
      [window, positionApplied](std::int32_t y) {
        window->move(window->frameGeometry().x(), Clamp(y, -kMaxCoordinate, kMaxCoordinate));
        if (positionApplied) positionApplied();
      });
  b.BindInteger(
      id(2), [window] { return window->width(); },
      [window](std::int32_t width) { window->resize(Clamp(width, 1, kMaxSide), window->height()); });
  b.BindInteger(
      id(3), [window] { return window->height(); },
      [window](std::int32_t height) { window->resize(window->width(), Clamp(height, 1, kMaxSide)); });
}

void BindColumns(OptionBindings& b, Id first, QTreeView* list, int count) {
  QHeaderView* header = list->header();
  for (int column = 0; column < count; ++column) {
    b.BindInteger(
        static_cast<Id>(static_cast<int>(first) + column), [header, column] { return header->sectionSize(column); },
        [header, column](std::int32_t width) {
          // A column never vanishes for good: at least the narrowest the list allows.
          header->resizeSection(column, Clamp(width, header->minimumSectionSize(), kMaxSide));
        });
  }
}

void BindCheck(OptionBindings& b, Id id, QAbstractButton* box) {
  b.BindFlag(
      id, [box] { return box->isChecked(); }, [box](bool on) { box->setChecked(on); });
}

void BindEdit(OptionBindings& b, Id id, QLineEdit* edit) {
  b.BindText(
      id, [edit] { return Cp1252Text(edit->text()); },
      [edit](const std::string& text) { edit->setText(QtText(text)); });
}

}  // namespace kistora
