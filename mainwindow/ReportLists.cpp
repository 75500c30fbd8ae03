#include "mainwindow/ReportLists.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <algorithm>

#include "gui/ListRows.h"

namespace kistora {

namespace {

// Watches the list's viewport; a child of it, so it goes with it.
class EmptyClickFilter : public QObject {
 public:
  EmptyClickFilter(QTreeView* list, std::function<void()> handler)
      : QObject(list->viewport()), list_(list), handler_(std::move(handler)) {
    list->viewport()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The event type first: while the list is being destroyed its viewport
    // still gets events, and the list must not be asked anything then.
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (!list_->indexAt(mouse->position().toPoint()).isValid()) handler_();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QTreeView* list_;
  std::function<void()> handler_;
};

}  // namespace

QTreeView* NewReportList(QWidget* parent, const char* name) {
  auto* list = new QTreeView(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  GiveRowsRoomForAccents(*list);
  list->setAllColumnsShowFocus(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSortingEnabled(false);
  list->setDragEnabled(false);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  return list;
}

void SetColumnWidths(QTreeView* list, std::initializer_list<int> widths) {
  int column = 0;
  for (int width : widths) list->header()->resizeSection(column++, width);
}

QPushButton* NewPanelButton(QWidget* parent, const QString& caption, const char* name, int width) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  const int needed = button->fontMetrics().horizontalAdvance(caption) + 12;
  button->setFixedSize(std::max(width, needed), 25);
  button->setAutoDefault(false);
  return button;
}

QAction* AddListAction(QTreeView* list, const QString& caption, const QKeySequence& keys) {
  auto* action = new QAction(caption, list);
  if (!keys.isEmpty()) action->setShortcut(keys);
  list->addAction(action);
  list->setContextMenuPolicy(Qt::ActionsContextMenu);
  return action;
}

QAction* AddDeleteAction(QTreeView* list) {
  QAction* action = AddListAction(list, QStringLiteral("Supprimer"), QKeySequence(QKeySequence::Delete));
  action->setShortcutContext(Qt::WidgetShortcut);
  return action;
}

void OnEnter(QTreeView* list, const std::function<void()>& handler) {
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), list);
    enter->setContext(Qt::WidgetShortcut);
    QObject::connect(enter, &QShortcut::activated, list, handler);
  }
}

void OnEmptyClick(QTreeView* list, const std::function<void()>& handler) { new EmptyClickFilter(list, handler); }

}  // namespace kistora
