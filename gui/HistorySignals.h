// The history's changes as a Qt signal: the Édition menu and the history window
// follow it (a step recorded, taken back, done again, or all forgotten).
#pragma once

#include <QObject>
#include <string>

class QAction;
class QString;

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

// Names an Édition entry after the step it would take back or do again:
// "&Annuler suppression de l'objet 12 « Anneau »" for verb "&Annuler"; the
// bare verb, greyed, when there is no such step (step empty).
void NameStepAction(QAction& action, const QString& verb, const std::string& step);

}  // namespace kistora
