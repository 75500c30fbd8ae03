// The catalogue's changes as Qt signals: the windows connect to this instead of
// calling one another after they changed something.
#pragma once

#include <QObject>

#include "model/catalogue.h"

namespace kistora {

class CatalogueSignals final : public QObject, public CatalogueObserver {
  Q_OBJECT
 public:
  // Watches catalogue for the life of this object.
  explicit CatalogueSignals(TCatalogue& catalogue, QObject* parent = nullptr);
  ~CatalogueSignals() override;

  void CatalogueChanged(const CatalogueChange& change) override;

 signals:
  // Every change, as it happened.
  void changed(const kistora::CatalogueChange& change);
  // The rows of the item database changed (an item added, modified, deleted, or a reset).
  void itemsChanged();
  // The rows of the character list changed (added, removed, swapped, or a reset).
  void charsChanged();
  // The texts of the character at row changed.
  void charModified(int row);
  // What some inventory lists changed: an inventory, or an item it may show.
  void inventoriesChanged(const kistora::CatalogueChange& change);

 private:
  TCatalogue& catalogue_;
};

}  // namespace kistora
