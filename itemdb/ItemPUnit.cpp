#include "itemdb/ItemPUnit.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextDocument>
#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "gui/Platform.h"
#include "gui/QtText.h"
#include "gui/ReadableGreyed.h"
#include "gui/WindowPlacement.h"
#include "model/cp1252.h"
#include "model/text_utils.h"

using namespace kistora;

namespace {

constexpr int kRowHeight = 21;

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
  ClearFields();
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
}

bool TItemP::Execute() {
  if (!shownOnce_) {
    shownOnce_ = true;
    CentreOver(*this, parentWidget());
  }
  ItemName->setFocus();
  return exec() == QDialog::Accepted;
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
