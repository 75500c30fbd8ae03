#include "mainwindow/PersoUnit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <algorithm>
#include <limits>

#include "gui/QtText.h"
#include "gui/WindowPlacement.h"
#include "model/catalogue.h"
#include "model/text_utils.h"

using kistora::Cp1252Text;
using kistora::QtText;

namespace {

// The class entries, already in sorted order.
const char* const kClassEntries[] = {"Amazone", "Assassin", "Barbare", "Druide", "Nécromancien", "Paladin", "Sorcière"};
constexpr int kDesignedWidth = 369;
constexpr int kDesignedHeight = 155;

}  // namespace

TPerso::TPerso(kistora::TCatalogue& catalogue, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      catalogue_(catalogue) {
  setObjectName(QStringLiteral("Perso"));
  setWindowTitle(QStringLiteral("Perso"));

  CharName = new QLineEdit(this);
  CharName->setObjectName(QStringLiteral("CharName"));
  CharName->setFixedWidth(121);
  CharAccount = new QLineEdit(this);
  CharAccount->setObjectName(QStringLiteral("CharAccount"));
  CharAccount->setFixedWidth(121);
  CharClass = new QComboBox(this);
  CharClass->setObjectName(QStringLiteral("CharClass"));
  CharClass->setFixedWidth(121);
  for (const char* entry : kClassEntries) CharClass->addItem(QString::fromUtf8(entry));
  CharClass->setCurrentIndex(-1);
  CharCLvl = new QSpinBox(this);
  CharCLvl->setObjectName(QStringLiteral("CharCLvl"));
  CharCLvl->setRange(1, 99);
  CharCLvl->setValue(1);
  CharCLvl->setFixedWidth(121);
  CharNotes = new QLineEdit(this);
  CharNotes->setObjectName(QStringLiteral("CharNotes"));
  CharNotes->setFixedWidth(353);
  // A text field's own limit (32,767 characters) would cut a longer name or
  // note read from the file as soon as the character is modified.
  for (QLineEdit* edit : {CharName, CharAccount, CharNotes}) edit->setMaxLength(std::numeric_limits<int>::max());

  OK = new QPushButton(QStringLiteral("OK"), this);
  OK->setObjectName(QStringLiteral("OK"));
  OK->setDefault(true);
  Cancel = new QPushButton(QStringLiteral("Annuler"), this);
  Cancel->setObjectName(QStringLiteral("Cancel"));
  Cancel->setAutoDefault(false);  // Enter always means OK
  for (QPushButton* button : {OK, Cancel}) button->setFixedSize(75, 25);
  connect(OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);  // Escape rejects too

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  // Each label names its field (its buddy), for screen readers too.
  const auto label = [this](const QString& text, QWidget* field) {
    auto* caption = new QLabel(text, this);
    caption->setBuddy(field);
    return caption;
  };
  grid->addWidget(label(QStringLiteral("Nom:"), CharName), 0, 0);
  grid->addWidget(CharName, 0, 1);
  grid->addWidget(label(QStringLiteral("Account:"), CharAccount), 0, 2);
  grid->addWidget(CharAccount, 0, 3);
  grid->addWidget(label(QStringLiteral("Classe:"), CharClass), 1, 0);
  grid->addWidget(CharClass, 1, 1);
  grid->addWidget(label(QStringLiteral("Niveau:"), CharCLvl), 1, 2);
  grid->addWidget(CharCLvl, 1, 3);
  grid->addWidget(label(QString::fromUtf8("Notes additionnelles (exemple: \"mule gemmes\", "
                                          "\"mon premier perso\"...):"),
                        CharNotes),
                  2, 0, 1, 4);
  grid->addWidget(CharNotes, 3, 0, 1, 4);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(OK);
  buttons->addWidget(Cancel);
  buttons->addStretch(1);
  grid->addLayout(buttons, 4, 0, 1, 4);

  setTabOrder(CharName, CharAccount);
  setTabOrder(CharAccount, CharNotes);
  setTabOrder(CharNotes, CharClass);
  setTabOrder(CharClass, CharCLvl);
  setTabOrder(CharCLvl, OK);
  setTabOrder(OK, Cancel);

  // The designed client size, grown only when the fonts need more room.
  const QSize needed = grid->sizeHint();
  setFixedSize(std::max(kDesignedWidth, needed.width()), std::max(kDesignedHeight, needed.height()));

  CharAccount->setText(QtText(catalogue_.DefaultAccount));
}

bool TPerso::Execute() {
  CharName->setFocus();
  return exec() == QDialog::Accepted;
}

void TPerso::LoadChar(const kistora::TChar& character) {
  CharName->setText(QtText(character.Name));
  CharAccount->setText(QtText(character.Account));
  int classIndex = -1;
  const std::string wanted = kistora::LowerAscii(character.Class);
  for (int i = 0; i < CharClass->count(); ++i)
    if (kistora::LowerAscii(Cp1252Text(CharClass->itemText(i))) == wanted) classIndex = i;
  CharClass->setCurrentIndex(classIndex);
  std::int32_t level = 1;
  if (kistora::TryStrToInt(kistora::TrimSpaces(character.Level), level))
    CharCLvl->setValue(std::clamp(level, 1, 99));
  else
    CharCLvl->setValue(1);
  CharNotes->setText(QtText(character.Notes));
}

void TPerso::StoreChar(kistora::TChar& character) const {
  character.Name = NameText();
  character.Account = Cp1252Text(CharAccount->text());
  character.Class = Cp1252Text(CharClass->currentText());
  character.Level = kistora::IntToStr(CharCLvl->value());
  character.Notes = Cp1252Text(CharNotes->text());
}

std::string TPerso::NameText() const { return Cp1252Text(CharName->text()); }

void TPerso::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  kistora::KeepPositionAfterFirstShow(*this, *event);
}

void TPerso::BindOptions(kistora::OptionBindings& b) {
  b.BindText(
      kistora::OptionId::DefAccount, [this] { return kistora::Cp1252Text(CharAccount->text()); },
      [this](const std::string& account) {
        catalogue_.DefaultAccount = account;
        CharAccount->setText(kistora::QtText(account));
      });
}
