#include "stats/StatsBarChart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QHorizontalBarSeries>
#include <QSet>
#include <algorithm>
#include <cmath>

#include "gui/QtText.h"
#include "model/item_counts.h"

using kistora::GroupedNumber;
using kistora::QtText;

namespace {

constexpr int kBarHeight = 26;
constexpr int kChartMargins = 100;  // title and value axis

// Round steps (1, 2 or 5 times a power of ten) covering low..high in about four steps.
struct Ticks {
  double First = 0;
  double Step = 1;
  int Count = 1;
};

Ticks RoundTicks(double low, double high) {
  const double span = std::max(high - low, 1.0);
  const double rough = span / 4;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = power;
  for (const double times : {1.0, 2.0, 5.0, 10.0}) {
    step = times * power;
    if (step >= rough) break;
  }
  step = std::max(step, 1.0);  // whole numbers only
  Ticks ticks;
  ticks.First = std::floor(low / step) * step;
  ticks.Step = step;
  ticks.Count = static_cast<int>(std::ceil((high - ticks.First) / step - 1e-9)) + 1;
  ticks.Count = std::max(ticks.Count, 2);
  return ticks;
}

QCategoryAxis* ValueAxis(double low, double high) {
  const Ticks ticks = RoundTicks(low, high);
  auto* axis = new QCategoryAxis;
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  const double last = ticks.First + ticks.Step * (ticks.Count - 1);
  // A sliver below the first number, so that it gets a label of its own.
  axis->setStartValue(ticks.First - ticks.Step / 1000);
  axis->setRange(ticks.First, last);
  for (int i = 0; i < ticks.Count; ++i) {
    const double value = ticks.First + ticks.Step * i;
    axis->append(QtText(GroupedNumber(static_cast<std::int64_t>(std::llround(value)))), value);
  }
  return axis;
}

}  // namespace

StatsBarChart::StatsBarChart(const QString& title, QWidget* parent) : QChartView(parent) {
  chart()->setTitle(title);
  chart()->legend()->hide();
  chart()->setAnimationOptions(QChart::NoAnimation);
  chart()->setBackgroundRoundness(0);
  setRenderHint(QPainter::Antialiasing);
  setAccessibleName(QStringLiteral("Graphique : ") + title);
}

void StatsBarChart::ShowRows(const std::vector<kistora::StatsRow>& rows, bool byValue) {
  QChart* c = chart();
  c->removeAllSeries();
  for (QAbstractAxis* axis : c->axes()) {
    c->removeAxis(axis);
    delete axis;
  }
  auto* bars = new QBarSet(byValue ? QStringLiteral("Valeur") : QStringLiteral("Objets"));
  QStringList names;
  QSet<QString> seen;
  double low = 0;
  double high = 0;
  // The series draws its first bar at the bottom: the first row goes in last.
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    const std::int64_t figure = byValue ? row->Totals.Value : row->Totals.Count;
    QString name = QtText(row->Label) + QStringLiteral(" (") + QtText(GroupedNumber(figure)) + QLatin1Char(')');
    // Two characters of one name still get a bar each: the axis takes a name once.
    while (seen.contains(name)) name += QChar(0x200B);
    seen.insert(name);
    names.append(name);
    bars->append(static_cast<qreal>(figure));
    low = std::min(low, static_cast<double>(figure));
    high = std::max(high, static_cast<double>(figure));
  }
  auto* series = new QHorizontalBarSeries;
  series->append(bars);
  c->addSeries(series);
  auto* nameAxis = new QBarCategoryAxis;
  nameAxis->append(names);
  c->addAxis(nameAxis, Qt::AlignLeft);
  series->attachAxis(nameAxis);
  QCategoryAxis* valueAxis = ValueAxis(low, high);
  c->addAxis(valueAxis, Qt::AlignBottom);
  series->attachAxis(valueAxis);
  setMinimumHeight(kChartMargins + kBarHeight * static_cast<int>(rows.size()));
  // What the bars say, for a screen reader.
  QStringList described = names;
  std::reverse(described.begin(), described.end());
  setAccessibleDescription(described.join(QStringLiteral(", ")));
}

QStringList StatsBarChart::BarNames() const {
  QStringList names;
  for (QAbstractAxis* axis : chart()->axes(Qt::Vertical)) {
    if (auto* categories = qobject_cast<QBarCategoryAxis*>(axis)) names = categories->categories();
  }
  std::reverse(names.begin(), names.end());
  return names;
}

QList<qreal> StatsBarChart::BarLengths() const {
  QList<qreal> lengths;
  for (QAbstractSeries* series : chart()->series()) {
    if (auto* bars = qobject_cast<QHorizontalBarSeries*>(series); bars && !bars->barSets().isEmpty()) {
      const QBarSet* set = bars->barSets().first();
      for (int i = set->count() - 1; i >= 0; --i) lengths.append(set->at(i));
    }
  }
  return lengths;
}

QStringList StatsBarChart::AxisNumbers() const {
  for (QAbstractAxis* axis : chart()->axes(Qt::Horizontal)) {
    if (auto* values = qobject_cast<QCategoryAxis*>(axis)) return values->categoriesLabels();
  }
  return {};
}
