#include "gui/OptionBinders.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>
#include <algorithm>

#include "gui/QtText.h"
#include "gui/WindowFrame.h"

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

// The bounds are the frame's (gui/WindowFrame.h): what is written at the close
// brings the window back to the same place and size, whatever frame the window
// manager draws around it and whenever it tells its size.
void BindBounds(OptionBindings& b, Id left, QWidget* window, const std::function<void()>& positionApplied,
                const std::function<QPoint()>& position) {
  const auto id = [left](int offset) { return static_cast<Id>(static_cast<int>(left) + offset); };
  const auto topLeft = [window, position] { return position ? position() : OuterBounds(*window).topLeft(); };
  b.BindInteger(
      id(0), [topLeft] { return topLeft().x(); },
      [window, positionApplied](std::int32_t x) {
        MoveOuter(*window, {Clamp(x, -kMaxCoordinate, kMaxCoordinate), OuterBounds(*window).y()});
        if (positionApplied) positionApplied();
      });
  b.BindInteger(
      id(1), [topLeft] { return topLeft().y(); },
      [window, positionApplied](std::int32_t y) {
        MoveOuter(*window, {OuterBounds(*window).x(), Clamp(y, -kMaxCoordinate, kMaxCoordinate)});
        if (positionApplied) positionApplied();
      });
  b.BindInteger(
      id(2), [window] { return OuterBounds(*window).width(); },
      [window](std::int32_t width) { ResizeOuter(*window, Clamp(width, 1, kMaxSide), OuterBounds(*window).height()); });
  b.BindInteger(
      id(3), [window] { return OuterBounds(*window).height(); },
      [window](std::int32_t height) {
        ResizeOuter(*window, OuterBounds(*window).width(), Clamp(height, 1, kMaxSide));
      });
}

void BindColumns(OptionBindings& b, Id first, QTreeView* list, int count) {
  BindColumns(b, first, list->header(), count);
}

void BindColumns(OptionBindings& b, Id first, QHeaderView* header, int count) {
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
