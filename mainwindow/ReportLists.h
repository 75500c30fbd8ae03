// The main window's two lists and the buttons under them, made alike: a list
// in report form (whole rows, one at a time, no editing), its column widths,
// its context menu of the buttons' actions with their keys, Enter on it, and a
// click on its empty part.
#pragma once

#include <QKeySequence>
#include <QString>
#include <functional>
#include <initializer_list>

class QAction;
class QPushButton;
class QTreeView;
class QWidget;

namespace kistora {

QTreeView* NewReportList(QWidget* parent, const char* name);
void SetColumnWidths(QTreeView* list, std::initializer_list<int> widths);
// A button of the designed width (75 by default) and height, grown only when the caption would not fit.
QPushButton* NewPanelButton(QWidget* parent, const QString& caption, const char* name, int width = 75);
// A context menu entry of list doing what its button does; keys, when given, work in the whole window.
QAction* AddListAction(QTreeView* list, const QString& caption, const QKeySequence& keys = {});
// "Supprimer" on Delete, in the list that has the focus only.
QAction* AddDeleteAction(QTreeView* list);
// Enter (either key) on list, while it has the focus.
void OnEnter(QTreeView* list, const std::function<void()>& handler);
// A press of a mouse button on the part of list below its rows.
void OnEmptyClick(QTreeView* list, const std::function<void()>& handler);

}  // namespace kistora
