// The statistics window: for the items the item database window shows (or the
// whole database), how many there are and what they are worth by quality, by
// category and by character, as a sortable table and as bar charts, with the
// totals. It follows every change of the catalogue and of the item window's
// filter while open. Created once; closing only hides it; its place is not kept.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "listing/item_stats.h"
#include "model/catalogue.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QTableView;
class QTimer;
class StatsBarChart;
class StatsTableOrder;

namespace kistora {
class CatalogueSignals;
}

// A main window of its own (not a dialog), so that screen readers announce a window.
class TStats : public QMainWindow {
  Q_OBJECT
 public:
  // Counts the items of catalogue, following its changes.
  TStats(const kistora::TCatalogue& catalogue, kistora::CatalogueSignals& changes, QWidget* parent = nullptr);

  // The filter of the items the item database window shows (given by the
  // wiring); without one, or with WholeDatabase, every item is counted.
  std::function<kistora::ItemFilter()> ShownFilter;
  // Which items that window shows, by position in the database, when its list
  // is up to date (given by the wiring): counted without matching the search
  // again. Without an answer, the filter is applied.
  std::function<std::optional<std::vector<bool>>()> ShownItems;
  // Shows the window beside requester (wholly on its screen) when it was
  // hidden, and brings it to the front.
  void ShowOver(const QWidget* requester);
  // The item window's filter changed: counted again (at once when open).
  void FilterChanged();
  // Counts and draws everything now.
  void Recount();
  // "Tout afficher" / "Revenir aux objets affichés": the statistics' own scope
  // (the item window keeps its filter).
  void SetWholeDatabase(bool whole);
  bool WholeDatabase() const { return wholeDatabase_; }
  // The table as tab-separated text on the clipboard (Ctrl+C).
  void CopyClick();

  const kistora::ItemStats& Stats() const { return stats_; }

  QLabel* ScopeLine = nullptr;   // which items are counted, with the link that changes it
  QLabel* TotalsLine = nullptr;  // items, value, mean and highest price, items at price 0
  QTableView* Table = nullptr;
  QRadioButton* BarsByCount = nullptr;
  QRadioButton* BarsByValue = nullptr;
  std::array<StatsBarChart*, 3> Charts{};  // by quality, by category, by character
  QPushButton* Copy = nullptr;
  QPushButton* Close = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CatalogueChanged();
  // Counts again at the next turn of the event loop (several changes, one
  // count; in a big catalogue, once changes pause), or when next shown.
  void RecountSoon();
  void FillTable();
  void DrawCharts();
  void ShowScopeAndTotals();

  const kistora::TCatalogue& catalogue_;
  kistora::ItemStats stats_;
  QStandardItemModel* model_ = nullptr;
  StatsTableOrder* sorted_ = nullptr;
  QTimer* recountTimer_ = nullptr;
  bool wholeDatabase_ = false;
  bool stale_ = true;  // something changed while the window was hidden
};
