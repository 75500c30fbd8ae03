#include "stats/StatsUnit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/CatalogueSignals.h"
#include "gui/QtText.h"
#include "gui/WindowPlacement.h"
#include "model/item_counts.h"
#include "stats/StatsBarChart.h"
#include "stats/StatsTableOrder.h"

using kistora::GroupedNumber;
using kistora::QtText;
using kistora::StatsGrouping;

namespace {

// From this many items a count takes tens of milliseconds or more (far more
// with a search): changes that come in a burst, keys typed in the item
// window's search above all, are gathered into one count once they pause.
constexpr std::size_t kGatherChangesFrom = 100000;
constexpr int kGatherPauseMs = 200;
constexpr int kDesignedWidth = 900;
constexpr int kDesignedHeight = 640;
// The table sorts by these values: the rows' own order, the group's name, the figures.
constexpr int kSortRole = Qt::UserRole;
enum Column { kGrouping, kGroup, kCount, kValue, kColumnCount };

QStandardItem* Cell(const QString& text, const QVariant& sortKey, bool number) {
  auto* cell = new QStandardItem(text);
  cell->setData(sortKey, kSortRole);
  cell->setEditable(false);
  if (number) cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return cell;
}

QString Grouped(std::int64_t value) { return QtText(GroupedNumber(value)); }

}  // namespace

TStats::TStats(const kistora::TCatalogue& catalogue, kistora::CatalogueSignals& changes, QWidget* parent)
    : QMainWindow(parent), catalogue_(catalogue) {
  setObjectName(QStringLiteral("Stats"));
  setWindowTitle(QStringLiteral("Statistiques"));

  ScopeLine = new QLabel(this);
  ScopeLine->setTextFormat(Qt::RichText);
  ScopeLine->setWordWrap(true);
  ScopeLine->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(ScopeLine, &QLabel::linkActivated, this,
          [this](const QString& link) { SetWholeDatabase(link == QLatin1String("all")); });
  TotalsLine = new QLabel(this);
  TotalsLine->setWordWrap(true);
  TotalsLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

  model_ = new QStandardItemModel(0, kColumnCount, this);
  model_->setHorizontalHeaderLabels(
      {QStringLiteral("Regroupement"), QStringLiteral("Groupe"), QStringLiteral("Objets"), QStringLiteral("Valeur")});
  // The first click on a figure's column puts the largest first.
  for (const int figure : {kCount, kValue})
    model_->setHeaderData(figure, Qt::Horizontal, Qt::DescendingOrder, Qt::InitialSortOrderRole);
  sorted_ = new StatsTableOrder(kCount, this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(kSortRole);
  sorted_->setSortLocaleAware(true);
  Table = new QTableView(this);
  Table->setModel(sorted_);
  Table->setAccessibleName(QStringLiteral("Tableau des statistiques"));
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setSortingEnabled(true);
  Table->sortByColumn(kGrouping, Qt::AscendingOrder);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  Table->horizontalHeader()->setStretchLastSection(true);
  Table->setColumnWidth(kGrouping, 108);
  Table->setColumnWidth(kGroup, 112);
  Table->setColumnWidth(kCount, 60);

  // Ctrl+C copies the whole table, wherever the focus is in the window.
  auto* copyAction = new QAction(QStringLiteral("Copier le tableau"), this);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setShortcutContext(Qt::WindowShortcut);
  connect(copyAction, &QAction::triggered, this, &TStats::CopyClick);
  addAction(copyAction);
  Table->addAction(copyAction);
  Table->setContextMenuPolicy(Qt::ActionsContextMenu);

  auto* barsLabel = new QLabel(QStringLiteral("Longueur des barres :"), this);
  BarsByCount = new QRadioButton(QStringLiteral("Nombre d'objets"), this);
  BarsByValue = new QRadioButton(QStringLiteral("Valeur"), this);
  BarsByCount->setChecked(true);
  connect(BarsByValue, &QRadioButton::toggled, this, &TStats::DrawCharts);
  auto* barsRow = new QHBoxLayout;
  barsRow->addWidget(barsLabel);
  barsRow->addWidget(BarsByCount);
  barsRow->addWidget(BarsByValue);
  barsRow->addStretch();

  auto* chartsPanel = new QWidget;
  auto* chartsColumn = new QVBoxLayout(chartsPanel);
  chartsColumn->setContentsMargins(0, 0, 0, 0);
  Charts = {new StatsBarChart(QString::fromUtf8("Par qualit\u00E9"), chartsPanel),
            new StatsBarChart(QString::fromUtf8("Par cat\u00E9gorie"), chartsPanel),
            new StatsBarChart(QStringLiteral("Par personnage"), chartsPanel)};
  for (StatsBarChart* chart : Charts) chartsColumn->addWidget(chart);
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setWidget(chartsPanel);
  scroll->setFrameShape(QFrame::NoFrame);

  auto* right = new QWidget(this);
  auto* rightColumn = new QVBoxLayout(right);
  rightColumn->setContentsMargins(0, 0, 0, 0);
  rightColumn->addLayout(barsRow);
  rightColumn->addWidget(scroll, 1);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(Table);
  splitter->addWidget(right);
  splitter->setSizes({410, kDesignedWidth - 410});

  Copy = new QPushButton(QStringLiteral("Copier"), this);
  Copy->setToolTip(QStringLiteral("Copie le tableau et les totaux, s\u00E9par\u00E9s par des tabulations (Ctrl+C)"));
  connect(Copy, &QPushButton::clicked, this, &TStats::CopyClick);
  Close = new QPushButton(QStringLiteral("Fermer"), this);
  connect(Close, &QPushButton::clicked, this, &QWidget::close);
  auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(closeKey, &QShortcut::activated, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Copy);
  buttons->addWidget(Close);

  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(ScopeLine);
  column->addWidget(TotalsLine);
  column->addWidget(splitter, 1);
  column->addLayout(buttons);
  setCentralWidget(content);
  resize(kDesignedWidth, kDesignedHeight);

  recountTimer_ = new QTimer(this);
  recountTimer_->setSingleShot(true);
  connect(recountTimer_, &QTimer::timeout, this, &TStats::Recount);
  connect(&changes, &kistora::CatalogueSignals::changed, this, &TStats::CatalogueChanged);
}

void TStats::ShowOver(const QWidget* requester) {
  if (!isVisible()) {
    // Beside the window it was asked from, so that that window's list stays in sight.
    kistora::PlaceBeside(*this, requester);
    show();
  } else if (isMinimized()) {
    showNormal();
  }
  raise();
  activateWindow();
}

void TStats::FilterChanged() {
  if (!wholeDatabase_) RecountSoon();
}

void TStats::CatalogueChanged() { RecountSoon(); }

void TStats::RecountSoon() {
  if (!isVisible()) {
    stale_ = true;
    return;
  }
  recountTimer_->start(catalogue_.ItemList.size() >= kGatherChangesFrom ? kGatherPauseMs : 0);
}

void TStats::SetWholeDatabase(bool whole) {
  wholeDatabase_ = whole;
  RecountSoon();
}

void TStats::Recount() {
  stale_ = false;
  recountTimer_->stop();
  const std::optional<std::vector<bool>> shown = wholeDatabase_ || !ShownItems ? std::nullopt : ShownItems();
  if (shown) {
    stats_ = kistora::CountItemStats(catalogue_, *shown);
  } else {
    const kistora::ItemFilter filter = wholeDatabase_ || !ShownFilter ? kistora::ItemFilter{} : ShownFilter();
    stats_ = kistora::CountItemStats(catalogue_, filter);
  }
  ShowScopeAndTotals();
  FillTable();
  DrawCharts();
}

void TStats::ShowScopeAndTotals() {
  QString scope = QtText(kistora::StatsScopeText(stats_, wholeDatabase_)).toHtmlEscaped() + QStringLiteral(". ");
  if (wholeDatabase_) {
    scope += QString::fromUtf8("<a href=\"shown\">Revenir aux objets affich\u00E9s</a>");
  } else if (stats_.Counted.Count < stats_.InDatabase) {
    scope += QStringLiteral("<a href=\"all\">Tout afficher</a>");
  }
  ScopeLine->setText(scope);
  QStringList totals;
  for (const kistora::StatsTotal& total : kistora::ItemStatsTotals(stats_)) {
    totals.append(QtText(total.Label) + QStringLiteral(" : ") +
                  (total.Value ? Grouped(*total.Value) : QString::fromUtf8("\u2014")));
  }
  TotalsLine->setText(totals.join(QString::fromUtf8("   \u00B7   ")));
}

void TStats::FillTable() {
  model_->removeRows(0, model_->rowCount());
  // Counting the items the item window shows, and not all of them: the groups
  // those items leave empty say nothing.
  sorted_->SetHideEmpty(!wholeDatabase_ && stats_.Counted.Count < stats_.InDatabase);
  int order = 0;
  for (const kistora::StatsRow& row : kistora::ItemStatsRows(stats_)) {
    const QString group = QtText(row.Label);
    QStandardItem* grouping = Cell(QtText(kistora::GroupingLabel(row.Grouping)), order++, false);
    grouping->setData(static_cast<int>(row.Grouping), StatsTableOrder::kGroupingRole);
    model_->appendRow({grouping, Cell(group, group, false),
                       Cell(Grouped(row.Totals.Count), qlonglong{row.Totals.Count}, true),
                       Cell(Grouped(row.Totals.Value), qlonglong{row.Totals.Value}, true)});
  }
}

void TStats::DrawCharts() {
  const std::vector<kistora::StatsRow> rows = kistora::ItemStatsRows(stats_);
  const StatsGrouping groupings[] = {StatsGrouping::Quality, StatsGrouping::Category, StatsGrouping::Character};
  for (std::size_t i = 0; i < Charts.size(); ++i) {
    std::vector<kistora::StatsRow> shown;
    for (const kistora::StatsRow& row : rows) {
      if (row.Grouping == groupings[i]) shown.push_back(row);
    }
    Charts[i]->ShowRows(shown, BarsByValue->isChecked());
  }
}

void TStats::CopyClick() { QApplication::clipboard()->setText(QtText(kistora::ItemStatsText(stats_))); }

void TStats::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous() && stale_) Recount();
}
