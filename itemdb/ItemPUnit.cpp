#include "itemdb/ItemPUnit.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "gui/CatalogueSignals.h"
#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/ReadableGreyed.h"
#include "gui/WindowPlacement.h"
#include "itemdb/CompletionPopup.h"
#include "listing/item_holders.h"
#include "model/cp1252.h"
#include "model/text_utils.h"

using namespace kistora;

namespace {

constexpr int kRowHeight = 21;
// Proposals shown at once under a field.
constexpr std::size_t kProposals = 8;
// Items counted for completion per turn of the event loop: a few milliseconds.
constexpr std::size_t kCompletionSlice = 4096;
// Up to this many items the completion is counted ahead, as soon as the item
// window opens, and at once when the dialog needs it. A bigger catalogue is
// counted only once items are typed, in slices while the dialog is open: its
// index costs about as much memory as the items themselves.
constexpr std::size_t kCountAheadUpTo = 200000;

// Text that does not parse as a signed 32-bit decimal reads as 0.
std::int32_t ReadInt(const QSpinBox* field) {
  std::int32_t v = 0;
  return TryStrToInt(field->cleanText().toStdString(), v) ? v : 0;
}

// An integer field whose text that is no number (emptied, a lone "-") becomes
// 0 when the field is left or Enter is pressed. A plain spin box puts its
// previous value back instead, and that value would be stored.
class IntegerField : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;
  void fixup(QString& input) const override {
    std::int32_t v = 0;
    if (!TryStrToInt(input.toStdString(), v)) input = QStringLiteral("0");
  }
};

// The lines as typed: wrapped display lines are not line breaks, so a long
// property stays one line. The raw text keeps no-break spaces (byte 0xA0).
std::vector<std::string> TypedLines(const QPlainTextEdit* memo) {
  std::vector<std::string> lines;
  QString current;
  for (const QChar c : memo->document()->toRawText()) {
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n' || c == u'\r') {
      lines.push_back(Cp1252Text(current));
      current.clear();
    } else {
      current.append(c);
    }
  }
  lines.push_back(Cp1252Text(current));
  return lines;
}

}  // namespace

TItemP::TItemP(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("ItemP"));
  setWindowTitle(QStringLiteral("Propriétés d'un objet"));
  setFixedSize(392, 544);
  BuildControls();
  BuildCompletion();
  ClearFields();
}

void TItemP::UseCatalogue(const TCatalogue& catalogue, CatalogueSignals& changes) {
  catalogue_ = &catalogue;
  connect(&changes, &CatalogueSignals::changed, this, [this](const CatalogueChange& change) {
    completion_.Follow(change, catalogue_->ItemList);
    if (completion_.IsStarted() && !completion_.IsComplete()) completionSlices_->start();  // after a reset
  });
}

void TItemP::PrepareCompletion() {
  if (!catalogue_ || catalogue_->ItemList.size() > kCountAheadUpTo) return;
  if (!completion_.IsStarted()) completion_.Start();
  if (!completion_.IsComplete()) completionSlices_->start();
}

void TItemP::BuildCompletion() {
  completionSlices_ = new QTimer(this);
  completionSlices_->setSingleShot(true);
  completionSlices_->setInterval(0);
  connect(completionSlices_, &QTimer::timeout, this, [this] {
    if (catalogue_ && !completion_.CountMore(catalogue_->ItemList, kCompletionSlice)) completionSlices_->start();
  });
  NamePopup = new CompletionPopup(ItemName, this);
  LinePopup = new CompletionPopup(ItemMagicProps, this);
  connect(ItemName, &QLineEdit::textEdited, this, &TItemP::ProposeNames);
  connect(ItemMagicProps, &QPlainTextEdit::textChanged, this, &TItemP::ProposeLines);
  connect(ItemMagicProps, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    if (choosing_) return;
    // Proposals are for the end of the line being typed.
    const QTextCursor cursor = ItemMagicProps->textCursor();
    if (cursor.positionInBlock() != cursor.block().length() - 1) LinePopup->Hide();
  });
  connect(NamePopup, &CompletionPopup::chosen, this, &TItemP::ChooseName);
  connect(LinePopup, &CompletionPopup::chosen, this, &TItemP::ChooseLine);
  ItemMagicProps->installEventFilter(this);  // after the popup's: sees Enter first

  HeldBy = new QLabel(this);
  HeldBy->setGeometry(96, 512, 289, 25);
  HeldBy->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  HeldBy->setAccessibleName(QStringLiteral("Détenteurs"));
  HeldBy->hide();
}

void TItemP::ProposeNames() {
  if (choosing_ || readOnly_ || !completion_.IsComplete()) return;
  names_ = completion_.Names(Cp1252Text(ItemName->text()), kProposals);
  // Nothing to add to a name typed whole.
  if (names_.size() == 1 && QtText(names_[0].Name) == ItemName->text()) names_.clear();
  QStringList entries;
  for (const NameProposal& proposal : names_) entries << QtText(proposal.Name);
  NamePopup->Show(entries, ItemName->geometry());
}

void TItemP::ProposeLines() {
  // Typed by the player (a loaded item fills the box while the name has the focus).
  if (choosing_ || readOnly_ || !completion_.IsComplete() || focusWidget() != ItemMagicProps) return;
  const QTextCursor cursor = ItemMagicProps->textCursor();
  const QTextBlock block = cursor.block();
  lines_.clear();
  if (cursor.positionInBlock() == block.length() - 1) {
    const std::string typed = Cp1252Text(block.text());
    lines_ = completion_.PropertyLines(typed, kProposals);
    if (lines_.size() == 1 && lines_[0].Line == typed) lines_.clear();
  }
  QStringList entries;
  for (const PropertyProposal& proposal : lines_) entries << QtText(proposal.Pattern);
  // Under the line being typed, across the whole box.
  const QRect line = ItemMagicProps->cursorRect(cursor);
  const QPoint top = ItemMagicProps->viewport()->mapTo(this, QPoint(0, line.top()));
  LinePopup->Show(entries, QRect(ItemMagicProps->x(), top.y(), ItemMagicProps->width(), line.height()));
}

void TItemP::ChooseName(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= names_.size()) return;
  choosing_ = true;
  // As typed over: Ctrl+Z brings the typed letters back.
  ItemName->selectAll();
  ItemName->insert(QtText(names_[static_cast<std::size_t>(index)].Name));
  choosing_ = false;
  NamePopup->Hide();
}

void TItemP::ChooseLine(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= lines_.size()) return;
  QTextCursor cursor = ItemMagicProps->textCursor();
  const int start = cursor.block().position();
  const FilledLine filled =
      FillPropertyLine(lines_[static_cast<std::size_t>(index)].Line, Cp1252Text(cursor.block().text()));
  choosing_ = true;
  cursor.setPosition(start);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(QtText(filled.Text));  // one step of Ctrl+Z
  // Windows-1252 has one character per byte: byte positions are character positions.
  const int selectionStart = start + static_cast<int>(filled.SelectionStart);
  cursor.setPosition(selectionStart);
  cursor.setPosition(selectionStart + static_cast<int>(filled.SelectionLength), QTextCursor::KeepAnchor);
  ItemMagicProps->setTextCursor(cursor);
  chosenBlock_ = cursor.blockNumber();
  chosenTail_ = QtText(filled.Text.substr(filled.SelectionStart + filled.SelectionLength));
  choosing_ = false;
  LinePopup->Hide();
}

bool TItemP::eventFilter(QObject* watched, QEvent* event) {
  // Enter while the number of a chosen line is typed (or still selected, as
  // proposed) ends that line: the new line starts after it, not in its middle.
  if (watched == ItemMagicProps && event->type() == QEvent::KeyPress && chosenBlock_ >= 0) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    QTextCursor cursor = ItemMagicProps->textCursor();
    const QString line = cursor.block().text();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && cursor.blockNumber() == chosenBlock_ &&
        line.endsWith(chosenTail_) &&
        cursor.selectionEnd() - cursor.block().position() <= line.size() - chosenTail_.size()) {
      cursor.movePosition(QTextCursor::EndOfBlock);
      ItemMagicProps->setTextCursor(cursor);
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) chosenBlock_ = -1;
  }
  return QDialog::eventFilter(watched, event);
}

void TItemP::ShowHolders() {
  QString text;
  if (readOnly_ && catalogue_ && loadedNumber_) {
    const std::vector<ItemHolder> holders = HoldersOf(catalogue_->CharList, *loadedNumber_);
    text = QtText(HeldByText(holders));
  }
  const QString shown = HeldBy->fontMetrics().elidedText(text, Qt::ElideRight, HeldBy->width());
  HeldBy->setText(shown);
  HeldBy->setToolTip(shown == text ? QString() : text);
  HeldBy->setVisible(!text.isEmpty());
}

void TItemP::BuildControls() {
  std::vector<QLabel*> labels;
  // A label to the left of its control, from labelLeft up to the control.
  auto label = [&](const char* utf8, int labelLeft, QWidget* control) {
    auto* l = new QLabel(QString::fromUtf8(utf8), this);
    const QRect g = control->geometry();
    l->setGeometry(labelLeft, g.top(), g.left() - labelLeft - 4, kRowHeight);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setBuddy(control);
    labels.push_back(l);
  };
  auto lineEdit = [&](int left, int top, int width) {
    auto* e = new QLineEdit(this);
    e->setGeometry(left, top, width, kRowHeight);
    // Not the field's own 32,767-character limit: it would cut a longer text
    // read from the file when the item is modified.
    e->setMaxLength(std::numeric_limits<int>::max());
    return e;
  };
  auto spin = [&](int left, int top) {
    auto* s = new IntegerField(this);
    s->setLocale(QLocale::c());  // plain digits and "-" whatever the desktop locale
    s->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    s->setSingleStep(1);
    s->setGeometry(left, top, 89, kRowHeight);
    return s;
  };
  auto combo = [&](int left, int top, int width, auto entries) {
    auto* c = new QComboBox(this);
    c->setEditable(false);
    for (const char* entry : entries) c->addItem(QtText(entry));
    c->setGeometry(left, top, width, kRowHeight);
    return c;
  };
  auto separator = [&](int top) {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, top, 377, 2);
  };

  constexpr int kLeft = 8;     // labels of the left column
  constexpr int kRight = 184;  // labels of the right column

  ItemName = lineEdit(48, 8, 337);
  label("Nom:", kLeft, ItemName);
  ItemNotes = lineEdit(120, 40, 265);
  label("Notes additionnelles:", kLeft, ItemNotes);
  separator(72);

  ItemCat = combo(64, 80, 113, kDialogCategories);
  ItemCat->setMaxVisibleItems(16);
  label("Catégorie:", kLeft, ItemCat);
  ItemQuality = combo(272, 80, 113, kDialogQualities);
  label("Qualité:", kRight, ItemQuality);

  ItemDur = spin(88, 112);
  label("Durabilité:", kLeft, ItemDur);
  ItemMaxDur = spin(296, 112);
  label("Durabilité maximum:", kRight, ItemMaxDur);
  ItemCLvl = spin(88, 144);
  label("CLvl requis:", kLeft, ItemCLvl);
  ItemDex = spin(296, 144);
  label("Dextérité requise:", kRight, ItemDex);
  ItemStr = spin(88, 176);
  label("Force requise:", kLeft, ItemStr);
  ItemPrice = spin(296, 176);
  label("Prix estimé:", kRight, ItemPrice);
  separator(208);

  auto* note =
      new QLabel(QStringLiteral("Les propriétés suivantes ne sont utiles que pour certaines classes d'objets:"), this);
  note->setGeometry(kLeft, 214, 377, 21);

  ItemDef = spin(88, 240);
  label("Défense:", kLeft, ItemDef);
  ItemParade = spin(296, 240);
  label("Parade (chances):", kRight, ItemParade);
  ItemMinDmg = spin(88, 272);
  label("Dégats min:", kLeft, ItemMinDmg);
  ItemMaxDmg = spin(296, 272);
  label("Dégats max:", kRight, ItemMaxDmg);
  ItemSpeed = combo(88, 304, 89, kSpeedLabels);
  label("Vitesse:", kLeft, ItemSpeed);

  auto* propsLabel = new QLabel(QStringLiteral("Propriétés magiques:"), this);
  propsLabel->setGeometry(kLeft, 334, 377, 16);
  ItemMagicProps = new QPlainTextEdit(this);
  ItemMagicProps->setGeometry(8, 352, 377, 153);
  ItemMagicProps->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  ItemMagicProps->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ItemMagicProps->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ItemMagicProps->setTabChangesFocus(true);
  propsLabel->setBuddy(ItemMagicProps);

  OK = new QPushButton(QStringLiteral("OK"), this);
  OK->setGeometry(8, 512, 75, 25);
  OK->setDefault(true);
  Cancel = new QPushButton(QStringLiteral("Annuler"), this);
  Cancel->setGeometry(96, 512, 75, 25);
  connect(OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

  const std::pair<QWidget*, const char*> names[] = {{ItemName, "ItemName"},
                                                    {ItemNotes, "ItemNotes"},
                                                    {ItemCat, "ItemCat"},
                                                    {ItemQuality, "ItemQuality"},
                                                    {ItemDur, "ItemDur"},
                                                    {ItemMaxDur, "ItemMaxDur"},
                                                    {ItemCLvl, "ItemCLvl"},
                                                    {ItemDex, "ItemDex"},
                                                    {ItemStr, "ItemStr"},
                                                    {ItemPrice, "ItemPrice"},
                                                    {ItemDef, "ItemDef"},
                                                    {ItemParade, "ItemParade"},
                                                    {ItemMinDmg, "ItemMinDmg"},
                                                    {ItemMaxDmg, "ItemMaxDmg"},
                                                    {ItemSpeed, "ItemSpeed"},
                                                    {ItemMagicProps, "ItemMagicProps"},
                                                    {OK, "OK"},
                                                    {Cancel, "Cancel"}};
  for (const auto& [control, name] : names) control->setObjectName(QLatin1String(name));
  // "Voir..." greys every field: still readable.
  KeepGreyedTextReadable(*this);

  QWidget* const order[] = {ItemName,   ItemNotes, ItemDur,     ItemMaxDur,     ItemCLvl, ItemStr,    ItemDex,
                            ItemPrice,  ItemCat,   ItemQuality, ItemMagicProps, ItemDef,  ItemParade, ItemMinDmg,
                            ItemMaxDmg, ItemSpeed, OK,          Cancel};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  // Laid out in pixels: with a desktop font too large for that layout, the
  // dialog's font shrinks until every label fits beside its control.
  ShrinkFontToFit(*this, [&labels](const QFont& font) {
    const QFontMetrics metrics(font);
    return std::all_of(labels.begin(), labels.end(), [&](const QLabel* caption) {
      return metrics.horizontalAdvance(caption->text()) <= caption->width();
    });
  });
}

void TItemP::ClearFields() {
  loadedNumber_.reset();
  chosenBlock_ = -1;
  ItemName->clear();
  ItemNotes->clear();
  ItemCat->setCurrentIndex(0);
  ItemQuality->setCurrentIndex(0);
  for (QSpinBox* field :
       {ItemDur, ItemMaxDur, ItemCLvl, ItemDex, ItemStr, ItemPrice, ItemDef, ItemParade, ItemMinDmg, ItemMaxDmg}) {
    field->setValue(0);
  }
  ItemSpeed->setCurrentIndex(0);
  ItemMagicProps->clear();
}

void TItemP::LoadItem(const TD2Item& item) {
  loadedNumber_ = item.Index;
  chosenBlock_ = -1;
  ItemName->setText(QtText(item.Name));
  ItemNotes->setText(QtText(item.Notes));
  // A bare item has no dialog label: findText gives -1, and the first entry is shown.
  ItemCat->setCurrentIndex(std::max(0, ItemCat->findText(QtText(DialogCategoryLabel(item)))));
  const std::string quality = QualityLabel(item.Quality);
  ItemQuality->setCurrentIndex(quality.empty() ? 0 : std::max(0, ItemQuality->findText(QtText(quality))));
  ItemDur->setValue(item.Dur);
  ItemMaxDur->setValue(item.MaxDur);
  ItemCLvl->setValue(item.CLvl);
  ItemStr->setValue(item.Str);
  ItemDex->setValue(item.Dex);
  ItemPrice->setValue(item.Price);

  const auto* def = dynamic_cast<const TD2DefItem*>(&item);
  ItemDef->setValue(def ? def->Def : 0);
  const auto* shield = dynamic_cast<const TD2Shield*>(&item);
  ItemParade->setValue(shield ? shield->Parade : 0);
  const auto* weapon = dynamic_cast<const TD2Weapon*>(&item);
  ItemMinDmg->setValue(weapon ? weapon->MinDmg : 0);
  ItemMaxDmg->setValue(weapon ? weapon->MaxDmg : 0);
  // A stored speed outside 0..4 selects no entry.
  const std::int32_t speed = weapon ? weapon->Speed : 0;
  ItemSpeed->setCurrentIndex(speed >= 0 && speed < ItemSpeed->count() ? speed : -1);

  QStringList lines;
  for (const std::string_view line : item.MagicProps) lines.append(QtText(line));
  ItemMagicProps->setPlainText(lines.join(u'\n'));
}

void TItemP::SetReadOnly(bool flag) {
  for (QWidget* input : std::initializer_list<QWidget*>{ItemName, ItemNotes, ItemCat, ItemQuality, ItemDur, ItemMaxDur,
                                                        ItemCLvl, ItemStr, ItemDex, ItemPrice, ItemDef, ItemParade,
                                                        ItemMinDmg, ItemMaxDmg, ItemSpeed, ItemMagicProps}) {
    input->setEnabled(!flag);
  }
  Cancel->setVisible(!flag);
  readOnly_ = flag;
  NamePopup->Hide();
  LinePopup->Hide();
  ShowHolders();
}

bool TItemP::Execute() {
  if (!shownOnce_) {
    shownOnce_ = true;
    CentreOver(*this, parentWidget());
  }
  // Completion counts the catalogue once (what the idle slices left, at the
  // first item typed), then follows its changes.
  if (!readOnly_ && catalogue_ && !completion_.IsComplete()) {
    if (!completion_.IsStarted()) completion_.Start();
    if (catalogue_->ItemList.size() <= kCountAheadUpTo) {
      completion_.CountMore(catalogue_->ItemList, catalogue_->ItemList.size());
      completionSlices_->stop();
    } else {
      completionSlices_->start();  // proposals come once it is counted
    }
  }
  NamePopup->Hide();
  LinePopup->Hide();
  ShowHolders();
  ItemName->setFocus();
  const bool ok = exec() == QDialog::Accepted;
  NamePopup->Hide();
  LinePopup->Hide();
  return ok;
}

std::unique_ptr<TD2Item> TItemP::ItemFromDialog() {
  std::unique_ptr<TD2Item> item;
  if (ItemCat->currentIndex() >= 0) item = CreateItemFromDialogLabel(Cp1252Text(ItemCat->currentText()));
  if (!item) {
    if (MessageService* messages = CurrentPlatform().Messages) {
      messages->Error(this, QStringLiteral("Vous devez choisir une catégorie d'objet."));
    }
    return nullptr;
  }
  if (auto* def = dynamic_cast<TD2DefItem*>(item.get())) def->Def = ReadInt(ItemDef);
  if (auto* shield = dynamic_cast<TD2Shield*>(item.get())) shield->Parade = ReadInt(ItemParade);
  if (auto* weapon = dynamic_cast<TD2Weapon*>(item.get())) {
    weapon->MinDmg = ReadInt(ItemMinDmg);
    weapon->MaxDmg = ReadInt(ItemMaxDmg);
    weapon->Speed = ItemSpeed->currentIndex();  // -1 when no speed is selected
  }

  item->Name = Cp1252Text(ItemName->text());
  item->Notes = Cp1252Text(ItemNotes->text());
  item->Quality = static_cast<std::uint8_t>(QualityFromLabel(Cp1252Text(ItemQuality->currentText())));
  item->Price = ReadInt(ItemPrice);
  item->CLvl = ReadInt(ItemCLvl);
  item->Str = ReadInt(ItemStr);
  item->Dex = ReadInt(ItemDex);
  item->Dur = ReadInt(ItemDur);
  item->MaxDur = ReadInt(ItemMaxDur);

  for (const std::string& line : TypedLines(ItemMagicProps)) {
    std::string trimmed = TrimSpaces(line);
    if (!trimmed.empty()) item->MagicProps.push_back(std::move(trimmed));
  }
  return item;
}
