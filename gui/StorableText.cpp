#include "gui/StorableText.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QValidator>
#include <algorithm>

#include "model/typed_text.h"

namespace kistora {

namespace {

constexpr const char* kGuardedProperty = "kistora-storable-text";
constexpr const char* kNoteName = "RefusedCharacterNote";
constexpr int kNoteMilliseconds = 6000;

// The window's note (one per window, made on first use), shown under field.
void ShowNote(QWidget& field, char32_t refused) {
  QWidget* window = field.window();
  auto* note = window->findChild<QLabel*>(QLatin1String(kNoteName), Qt::FindDirectChildrenOnly);
  if (note == nullptr) {
    note = new QLabel(window);
    note->setObjectName(QLatin1String(kNoteName));
    note->setAutoFillBackground(true);
    note->setFrameShape(QFrame::Box);
    note->setMargin(2);
    note->setForegroundRole(QPalette::ToolTipText);
    note->setBackgroundRole(QPalette::ToolTipBase);
    auto* timer = new QTimer(note);
    timer->setObjectName(QStringLiteral("hide"));
    timer->setSingleShot(true);
    timer->setInterval(kNoteMilliseconds);
    QObject::connect(timer, &QTimer::timeout, note, &QWidget::hide);
  }
  note->setText(RefusedCharacterText(refused));
  note->setBuddy(&field);
  note->adjustSize();
  // Just under the field, or above it when the window ends there; inside the window.
  const QRect at(field.mapTo(window, QPoint(0, 0)), field.size());
  int top = at.bottom() + 2;
  if (top + note->height() > window->height()) top = at.top() - note->height() - 2;
  const int left = std::max(0, std::min(at.left(), window->width() - note->width()));
  note->move(left, std::max(0, top));
  note->show();
  note->raise();
  note->findChild<QTimer*>(QStringLiteral("hide"))->start();
  QAccessibleEvent alert(note, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

// The note goes once the field takes an edit again.
void HideNoteOf(const QWidget& field) {
  auto* note = field.window()->findChild<QLabel*>(QLatin1String(kNoteName), Qt::FindDirectChildrenOnly);
  if (note != nullptr && note->buddy() == &field) note->hide();
}

// A line edit's validator: line breaks become spaces, an unstorable character
// refuses the edit, then the field's own validator (if it had one) has its say.
class StorableLineValidator final : public QValidator {
 public:
  StorableLineValidator(QLineEdit& field, const QValidator* inner) : QValidator(&field), field_(field), inner_(inner) {}

  State validate(QString& input, int& pos) const override {
    const TypedText checked = CheckTypedText(input.toStdU32String(), true);
    if (checked.Refused) {
      ShowNote(field_, *checked.Refused);
      return Invalid;
    }
    const QString oneLine = QString::fromStdU32String(checked.Text);
    if (oneLine != input) {
      // Where the cursor was, counted in the text as it becomes.
      pos = static_cast<int>(
          QString::fromStdU32String(CheckTypedText(input.left(pos).toStdU32String(), true).Text).size());
      input = oneLine;
    }
    HideNoteOf(field_);
    return inner_ ? inner_->validate(input, pos) : Acceptable;
  }

  void fixup(QString& input) const override {
    if (inner_) inner_->fixup(input);
  }

 private:
  QLineEdit& field_;
  QPointer<const QValidator> inner_;
};

// A multi-line field: an insertion holding an unstorable character is taken
// back (once the document has finished the edit) and the note names it.
class StorableDocumentGuard final : public QObject {
 public:
  StorableDocumentGuard(QWidget& field, QTextDocument& document) : QObject(&field), field_(field), document_(document) {
    last_ = document.toRawText();
    connect(&document, &QTextDocument::contentsChange, this, &StorableDocumentGuard::Changed);
  }

 private:
  void Changed(int position, int removed, int added) {
    if (reverting_) return;
    QTextCursor inserted(&document_);
    inserted.setPosition(position);
    inserted.setPosition(std::min(position + added, document_.characterCount() - 1), QTextCursor::KeepAnchor);
    const TypedText checked = CheckTypedText(inserted.selectedText().toStdU32String(), false);
    if (!checked.Refused) {
      last_ = document_.toRawText();
      HideNoteOf(field_);
      return;
    }
    ShowNote(field_, *checked.Refused);
    // Put back what the edit replaced, as one step with it for undo.
    const QString replaced = last_.mid(position, removed);
    QTimer::singleShot(0, this, [this, position, added, replaced] {
      reverting_ = true;
      QTextCursor cursor(&document_);
      cursor.joinPreviousEditBlock();
      cursor.setPosition(position);
      cursor.setPosition(std::min(position + added, document_.characterCount() - 1), QTextCursor::KeepAnchor);
      cursor.insertText(replaced);
      cursor.endEditBlock();
      reverting_ = false;
      last_ = document_.toRawText();
      if (auto* plain = qobject_cast<QPlainTextEdit*>(&field_)) plain->setTextCursor(cursor);
      if (auto* rich = qobject_cast<QTextEdit*>(&field_)) rich->setTextCursor(cursor);
    });
  }

  QWidget& field_;
  QTextDocument& document_;
  QString last_;  // the text as it was after the last edit taken
  bool reverting_ = false;
};

bool TakeGuard(QWidget& field) {
  if (field.property(kGuardedProperty).toBool()) return false;
  field.setProperty(kGuardedProperty, true);
  return true;
}

bool InsideSpinBox(const QWidget& field) {
  for (const QWidget* p = field.parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (qobject_cast<const QAbstractSpinBox*>(p)) return true;
  }
  return false;
}

}  // namespace

QString RefusedCharacterText(char32_t c) {
  return QString::fromUtf8("Le caractère « %1 » ne peut pas être enregistré.").arg(QString::fromUcs4(&c, 1));
}

void GuardTextFields(QWidget& window) {
  for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
    if (field->window() != &window || InsideSpinBox(*field) || !TakeGuard(*field)) continue;
    field->setValidator(new StorableLineValidator(*field, field->validator()));
  }
  for (QPlainTextEdit* field : window.findChildren<QPlainTextEdit*>()) {
    if (field->window() == &window && TakeGuard(*field)) new StorableDocumentGuard(*field, *field->document());
  }
  for (QTextEdit* field : window.findChildren<QTextEdit*>()) {
    if (field->window() == &window && TakeGuard(*field)) new StorableDocumentGuard(*field, *field->document());
  }
}

QString RefusalNoteText(const QWidget& field) {
  const auto* note = field.window()->findChild<QLabel*>(QLatin1String(kNoteName), Qt::FindDirectChildrenOnly);
  if (note == nullptr || note->isHidden() || note->buddy() != &field) return {};
  return note->text();
}

}  // namespace kistora
