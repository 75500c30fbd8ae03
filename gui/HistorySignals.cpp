#include "gui/HistorySignals.h"

namespace kistora {

HistorySignals::HistorySignals(CatalogueHistory& history, QObject* parent) : QObject(parent), history_(history) {
  history_.SetListener([this] { emit changed(); });
}

HistorySignals::~HistorySignals() { history_.SetListener({}); }

}  // namespace kistora
