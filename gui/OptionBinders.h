// Binders of the options file's keys to Qt controls, for the windows that bind
// their own keys: window bounds, list column widths, check boxes, text fields
// and groups of radio buttons.
#pragma once

#include <QPoint>
#include <functional>
#include <vector>

#include "options/option_bindings.h"

class QAbstractButton;
class QLineEdit;
class QHeaderView;
class QTreeView;
class QWidget;

namespace kistora {

// The four bounds keys from left on (left, top, width, height): the outer
// bounds of the window, frame included.
// positionApplied runs after a stored left or top edge was applied; position,
// when given, tells the left and top edges to write (for a window never shown,
// where it would go).
void BindBounds(OptionBindings& b, OptionId left, QWidget* window, const std::function<void()>& positionApplied = {},
                const std::function<QPoint()>& position = {});
// The widths of count columns of list, keys from first on.
void BindColumns(OptionBindings& b, OptionId first, QTreeView* list, int count);
void BindColumns(OptionBindings& b, OptionId first, QHeaderView* header, int count);
void BindCheck(OptionBindings& b, OptionId id, QAbstractButton* box);
void BindEdit(OptionBindings& b, OptionId id, QLineEdit* edit);

}  // namespace kistora
