#include "gui/HistorySignals.h"

#include <QAction>
#include <QString>

#include "gui/QtText.h"

namespace kistora {

HistorySignals::HistorySignals(CatalogueHistory& history, QObject* parent) : QObject(parent), history_(history) {
  history_.SetListener([this] { emit changed(); });
}

HistorySignals::~HistorySignals() { history_.SetListener({}); }

void NameStepAction(QAction& action, const QString& verb, const std::string& step) {
  QString words = QtText(step);
  if (!words.isEmpty()) words[0] = words[0].toLower();
  action.setText(words.isEmpty() ? verb : verb + QLatin1Char(' ') + words.replace(QLatin1Char('&'), "&&"));
  action.setEnabled(!step.empty());
}

}  // namespace kistora
