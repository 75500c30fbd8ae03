#include "history/HistoryUnit.h"

#include <QLabel>
#include <QListWidget>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

#include "gui/HistorySignals.h"
#include "gui/QtText.h"
#include "gui/WindowPlacement.h"
#include "model/item_counts.h"

THistory::THistory(kistora::HistorySignals& history, QWidget* parent) : QWidget(parent, Qt::Window), history_(history) {
  setObjectName(QStringLiteral("HistoryWin"));
  setWindowTitle(QStringLiteral("Historique"));
  resize(340, 380);
  auto* hint = new QLabel(
      QString::fromUtf8("Cliquez sur une étape (ou choisissez-la avec les flèches puis Entrée) pour ramener le "
                        "catalogue juste après elle."),
      this);
  hint->setWordWrap(true);
  Steps = new QListWidget(this);
  Steps->setObjectName(QStringLiteral("Steps"));
  Steps->setAccessibleName(QString::fromUtf8("Étapes"));
  Steps->setUniformItemSizes(true);
  CountLine = new QLabel(this);
  CountLine->setAccessibleName(QString::fromUtf8("Nombre d'étapes"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(hint);
  layout->addWidget(Steps, 1);
  layout->addWidget(CountLine);

  // The arrows only move the highlight; a click or Enter brings the catalogue there.
  connect(Steps, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { RowChosen(Steps->row(item)); });
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), Steps);
    enter->setContext(Qt::WidgetShortcut);
    connect(enter, &QShortcut::activated, this, [this] { RowChosen(Steps->currentRow()); });
  }
  connect(&history_, &kistora::HistorySignals::changed, this, [this] {
    if (isVisible()) FillSteps();
  });
  const auto onKeys = [this](const QKeySequence& keys, void (THistory::*signal)()) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, signal);
  };
  onKeys(QKeySequence(QKeySequence::Undo), &THistory::undoRequested);
  onKeys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &THistory::redoRequested);
  onKeys(QKeySequence(Qt::CTRL | Qt::Key_Y), &THistory::redoRequested);
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* closing = new QShortcut(keys, this);
    connect(closing, &QShortcut::activated, this, &QWidget::close);
  }
}

void THistory::ShowAndRaise() {
  if (!shownOnce_) {
    shownOnce_ = true;
    kistora::PlaceBeside(*this, parentWidget());
  }
  show();
  raise();
  activateWindow();
}

void THistory::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FillSteps();
}

void THistory::FillSteps() {
  const kistora::CatalogueHistory& history = history_.History();
  filling_ = true;
  Steps->clear();
  Steps->addItem(QString::fromUtf8("Début de l'historique"));
  for (std::size_t step = 0; step < history.StepCount(); ++step) {
    auto* row = new QListWidgetItem(kistora::QtText(history.StepText(step)), Steps);
    row->setToolTip(row->text());
    // Taken back: it can still be done again, until a new change.
    if (step >= history.DoneCount()) row->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
  }
  const int current = static_cast<int>(history.DoneCount());
  Steps->setCurrentRow(current);
  Steps->scrollToItem(Steps->item(current));
  filling_ = false;
  // "12 étapes, dont 3 annulées"
  const auto counted = [](std::size_t count, const char* word) {
    return kistora::QtText(kistora::GroupedNumber(static_cast<std::int64_t>(count))) + QString::fromUtf8(word) +
           (count > 1 ? QStringLiteral("s") : QString());
  };
  const std::size_t undone = history.StepCount() - history.DoneCount();
  CountLine->setText(counted(history.StepCount(), " étape") +
                     (undone == 0 ? QString() : QStringLiteral(", dont ") + counted(undone, " annulée")));
}

void THistory::RowChosen(int row) {
  if (filling_ || row < 0) return;
  // Once the list has finished changing its current row: going there lists the steps again.
  QMetaObject::invokeMethod(
      this, [this, row] { emit goToRequested(static_cast<std::size_t>(row)); }, Qt::QueuedConnection);
}
