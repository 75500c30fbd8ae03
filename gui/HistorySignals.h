// The history's changes as a Qt signal: the Édition menu and the history window
// follow it (a step recorded, taken back, done again, or all forgotten).
#pragma once

#include <QObject>

#include "model/catalogue_history.h"

namespace kistora {

class HistorySignals final : public QObject {
  Q_OBJECT
 public:
  // Listens to history for the life of this object.
  explicit HistorySignals(CatalogueHistory& history, QObject* parent = nullptr);
  ~HistorySignals() override;

  CatalogueHistory& History() const { return history_; }

 signals:
  void changed();

 private:
  CatalogueHistory& history_;
};

}  // namespace kistora
