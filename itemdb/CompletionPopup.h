// The list of proposals that opens under a text field of a dialog while the
// player types. The field keeps the keyboard: Down and Up move through the
// list, Enter (with a proposal highlighted) or a click chooses one, Escape
// closes the list; every other key types into the field as usual. Nothing is
// highlighted when the list opens: Enter then closes the list and, in a
// one-line field, does nothing else (it never confirms the dialog with a
// half-typed text); in a box of several lines it also starts the new line.
// The list takes no focus and is no stop of the dialog's keyboard order.
#pragma once

#include <QObject>
#include <QRect>
#include <QStringList>

class QListWidget;
class QWidget;

class CompletionPopup : public QObject {
  Q_OBJECT
 public:
  // A list over dialog's controls for the field (a child of dialog).
  CompletionPopup(QWidget* field, QWidget* dialog);

  // Shows entries under the rectangle around (in the dialog's coordinates), or
  // above it when the dialog has no room below; hides when entries is empty.
  void Show(const QStringList& entries, const QRect& around);
  void Hide();
  bool IsShown() const;
  QListWidget* List() const { return list_; }

 signals:
  // The entry at index was chosen.
  void chosen(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* field_;
  QWidget* dialog_;
  QListWidget* list_;
};
