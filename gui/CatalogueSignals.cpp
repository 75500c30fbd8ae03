#include "gui/CatalogueSignals.h"

namespace kistora {

CatalogueSignals::CatalogueSignals(TCatalogue& catalogue, QObject* parent) : QObject(parent), catalogue_(catalogue) {
  catalogue_.AddObserver(this);
}

CatalogueSignals::~CatalogueSignals() { catalogue_.RemoveObserver(this); }

void CatalogueSignals::CatalogueChanged(const CatalogueChange& change) {
  emit changed(change);
  switch (change.Kind) {
    case ChangeKind::ItemAdded:
      emit itemsChanged();
      break;
    case ChangeKind::ItemModified:
    case ChangeKind::ItemDeleted:
    case ChangeKind::ItemRestored:
      emit itemsChanged();
      emit inventoriesChanged(change);
      break;
    case ChangeKind::CharAdded:
    case ChangeKind::CharRemoved:
    case ChangeKind::CharsSwapped:
      emit charsChanged();
      break;
    case ChangeKind::CharModified:
      emit charModified(change.Row);
      break;
    case ChangeKind::InventoryChanged:
      emit inventoriesChanged(change);
      break;
    case ChangeKind::Reset:
      emit itemsChanged();
      emit charsChanged();
      break;
  }
}

}  // namespace kistora
