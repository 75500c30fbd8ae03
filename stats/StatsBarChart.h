// One grouping of the statistics as a horizontal bar chart (Qt Charts): a bar
// per group, first at the top, named with its figure, and a value axis whose
// numbers are grouped by three as the count lines write them.
#pragma once

#include <QChartView>
#include <QList>
#include <QStringList>
#include <vector>

#include "listing/item_stats.h"

class StatsBarChart : public QChartView {
  Q_OBJECT
 public:
  StatsBarChart(const QString& title, QWidget* parent = nullptr);

  // Draws one bar per row: its number of items, or its value when byValue.
  void ShowRows(const std::vector<kistora::StatsRow>& rows, bool byValue);

  // The bars from top to bottom: their names ("Unique (12)") and lengths.
  QStringList BarNames() const;
  QList<qreal> BarLengths() const;
  // The numbers written along the value axis, lowest first.
  QStringList AxisNumbers() const;
};
