// The character dialog: name, account, class, level and notes of one
// character. Its fields are never cleared: each opening shows what it held
// when it last closed, unless "Modifier..." fills it first.
#pragma once

#include <QDialog>
#include <string>

#include "options/option_bindings.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kistora {
class TCatalogue;
class TChar;
}  // namespace kistora

class TPerso : public QDialog {
  Q_OBJECT
 public:
  // The Account field starts with the catalogue's DefaultAccount.
  explicit TPerso(kistora::TCatalogue& catalogue, QWidget* parent = nullptr);

  // Shows the dialog modally; true when closed with OK.
  bool Execute();
  // Fills the fields from a character (the class entry whose text matches with
  // A..Z folded, none when nothing matches; the level clamped to 1..99).
  void LoadChar(const kistora::TChar& character);
  // Writes the five field texts into the character (Windows-1252; the level as
  // the spin field's text).
  void StoreChar(kistora::TChar& character) const;
  // The name field's text as typed, in Windows-1252.
  std::string NameText() const;
  // Binds defaccount: written from the Account field, read into it and into the catalogue's DefaultAccount.
  void BindOptions(kistora::OptionBindings& b);

  QLineEdit* CharName = nullptr;
  QLineEdit* CharAccount = nullptr;
  QLineEdit* CharNotes = nullptr;
  QComboBox* CharClass = nullptr;
  QSpinBox* CharCLvl = nullptr;
  QPushButton* OK = nullptr;
  QPushButton* Cancel = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  kistora::TCatalogue& catalogue_;
};
