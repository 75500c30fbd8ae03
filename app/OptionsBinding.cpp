#include "app/OptionsBinding.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeView>
#include <algorithm>

#include "app/MainUnit.h"
#include "app/PersoUnit.h"
#include "app/QtText.h"
#include "app/Windows.h"
#include "export/ColourSwatch.h"
#include "export/ExportUnit.h"
#include "itemdb/ItemGUnit.h"
#include "options/options_file.h"

namespace kistora {

namespace {

using Id = OptionId;

// Limits that keep odd values of a hand-edited file from asking the window
// system for impossible windows (X11 coordinates are 16-bit).
constexpr int kMaxCoordinate = 16000;
constexpr int kMaxSide = 16000;

int Clamp(std::int32_t value, int low, int high) {
  return static_cast<int>(std::clamp<std::int32_t>(value, low, high));
}

// The four bounds keys of a window: the left and top edges of its frame, and the
// width and height of the window itself. The sizes leave the frame out: the
// windows are designed at those sizes (609 x 482 for the main window), and a
// frame the window system has not reported yet at the first show would
// otherwise make the window grow by its frame at every run.
void BindBounds(OptionBindings& b, Id left, QWidget* window, const std::function<void()>& positionApplied = {}) {
  const auto id = [left](int offset) { return static_cast<Id>(static_cast<int>(left) + offset); };
  b.BindInteger(
      id(0), [window] { return window->frameGeometry().x(); },
      [window, positionApplied](std::int32_t x) {
        window->move(Clamp(x, -kMaxCoordinate, kMaxCoordinate), window->frameGeometry().y());
        if (positionApplied) positionApplied();
      });
  b.BindInteger(
      id(1), [window] { return window->frameGeometry().y(); },
      [window, positionApplied](std::int32_t y) {
        window->move(window->frameGeometry().x(), Clamp(y, -kMaxCoordinate, kMaxCoordinate));
        if (positionApplied) positionApplied();
      });
  b.BindInteger(
      id(2), [window] { return window->width(); },
      [window](std::int32_t width) { window->resize(Clamp(width, 1, kMaxSide), window->height()); });
  b.BindInteger(
      id(3), [window] { return window->height(); },
      [window](std::int32_t height) { window->resize(window->width(), Clamp(height, 1, kMaxSide)); });
}

void BindColumns(OptionBindings& b, Id first, QTreeView* list, int count) {
  QHeaderView* header = list->header();
  for (int column = 0; column < count; ++column) {
    b.BindInteger(
        static_cast<Id>(static_cast<int>(first) + column), [header, column] { return header->sectionSize(column); },
        [header, column](std::int32_t width) {
          // A column never vanishes for good: at least the narrowest the list allows.
          header->resizeSection(column, Clamp(width, header->minimumSectionSize(), kMaxSide));
        });
  }
}

void BindCheck(OptionBindings& b, Id id, QAbstractButton* box) {
  b.BindFlag(
      id, [box] { return box->isChecked(); }, [box](bool on) { box->setChecked(on); });
}

void BindEdit(OptionBindings& b, Id id, QLineEdit* edit) {
  b.BindText(
      id, [edit] { return Cp1252Text(edit->text()); },
      [edit](const std::string& text) { edit->setText(QtText(text)); });
}

void BindSwatch(OptionBindings& b, Id id, ColourSwatch* swatch) {
  b.BindColour(
      id, [swatch] { return swatch->Colour(); }, [swatch](TColor colour) { swatch->SetColour(colour); });
}

// A choice among radio buttons listed in the key's word order: the first one
// checked is written (the last word when none is); checking one unchecks its
// group and, for the formats, rewrites the file name's extension.
void BindRadios(OptionBindings& b, Id id, std::vector<QAbstractButton*> radios) {
  b.BindChoice(
      id,
      [radios] {
        for (std::size_t i = 0; i < radios.size(); ++i)
          if (radios[i]->isChecked()) return static_cast<int>(i);
        return static_cast<int>(radios.size()) - 1;
      },
      [radios](int choice) {
        radios[static_cast<std::size_t>(std::clamp(choice, 0, static_cast<int>(radios.size()) - 1))]->setChecked(true);
      });
}

void BindMain(OptionBindings& b, TMain* main, TPerso* perso) {
  BindBounds(b, Id::MwpLeft, main);
  BindColumns(b, Id::CcsName, main->Chars, 5);
  BindColumns(b, Id::IcsIndex, main->CharInv, 6);

  TCatalogue& catalogue = main->Catalogue();
  b.BindText(
      Id::DefAccount,
      [&catalogue, perso] { return perso ? Cp1252Text(perso->CharAccount->text()) : catalogue.DefaultAccount; },
      [&catalogue, perso](const std::string& account) {
        catalogue.DefaultAccount = account;
        // The dialog already copied the (then empty) default when it was created.
        if (perso) perso->CharAccount->setText(QtText(account));
      });
  b.BindText(
      Id::SelectedChar,
      [main, &catalogue] {
        const int row = main->SelectedCharRow();
        return row >= 0 ? catalogue.CharList[static_cast<std::size_t>(row)]->Name : std::string();
      },
      [main, &catalogue](const std::string& name) {
        const int row = catalogue.FindCharRow(name);
        if (row >= 0) main->SelectCharRow(row);  // no match: the selection stays
      });
  b.BindInteger(Id::LastItemIndex, catalogue.LastItemIndex);
}

void BindExport(OptionBindings& b, TExportWin* e) {
  BindRadios(b, Id::ExportFormat, {e->FormatHTML, e->FormatASCII});
  BindEdit(b, Id::ExpFileName, e->FileName);
  BindCheck(b, Id::ExpShowUniques, e->ShowUniques);
  BindCheck(b, Id::ExpShowSets, e->ShowSets);
  BindCheck(b, Id::ExpShowRares, e->ShowRares);
  BindCheck(b, Id::ExpShowCrafted, e->ShowCrafted);
  BindCheck(b, Id::ExpShowMagics, e->ShowMagics);
  BindCheck(b, Id::ExpShowNormals, e->ShowNormals);
  BindCheck(b, Id::ExpHidePrice0, e->MaskPrice0);
  BindRadios(b, Id::ExpShowChars, {e->ShowSelChar, e->ShowAllChar, e->ShowAll});

  BindCheck(b, Id::ExpShowPrice, e->ShowPrice);
  BindSwatch(b, Id::ExpPTitleCol, e->PTCol);
  BindSwatch(b, Id::ExpSTitleCol, e->STCol);
  BindSwatch(b, Id::ExpPageCol, e->PageCol);
  BindSwatch(b, Id::ExpTableCol, e->TabCol);
  BindCheck(b, Id::ExpTableBorder, e->TabBorder);
  BindEdit(b, Id::ExpPageTitle, e->PageTitle);
  BindEdit(b, Id::ExpSign, e->Sign);
  BindCheck(b, Id::ExpShowResult, e->DoShellExec);
  BindSwatch(b, Id::ExpGoodItemCol, e->IICol);
  QSpinBox* price = e->IIPrice;
  b.BindInteger(
      Id::ExpGoodItemPrice, [price] { return price->value(); },
      [price](std::int32_t value) { price->setValue(value); });
  BindCheck(b, Id::ExpShowMagicProps, e->UseBascule);
  BindCheck(b, Id::ExpShowMajDate, e->ShowMajDate);
  BindRadios(b, Id::ExpSortBy, {e->TrierName, e->TrierPrice, e->TrierNo});
  BindCheck(b, Id::ExpSortSets, e->TrierSets);
}

void BindItemG(OptionBindings& b, TItemG* g) {
  BindBounds(b, Id::IwpLeft, g, [g] { g->PositionFromOptions = true; });
  BindColumns(b, Id::DcsIndex, g->Liste, 6);
  // Checking or unchecking a filter box refilters the list, as a click does.
  BindCheck(b, Id::IdbShowUniques, g->ShowUniques);
  BindCheck(b, Id::IdbShowSets, g->ShowSets);
  BindCheck(b, Id::IdbShowRares, g->ShowRares);
  BindCheck(b, Id::IdbShowCrafted, g->ShowCrafted);
  BindCheck(b, Id::IdbShowMagics, g->ShowMagics);
  BindCheck(b, Id::IdbShowNormals, g->ShowNormals);
  BindCheck(b, Id::IdbHidePrice0, g->MaskPrice0);
  b.BindInteger(
      Id::IdbSortCol, [g] { return g->SortColumn; },
      [g](std::int32_t column) {
        g->SortColumn = column;  // the window itself copes with any column number
        g->ShowClick();
      });
  b.BindFlag(
      Id::IdbSortInvert, [g] { return g->SortInverted; },
      [g](bool inverted) {
        g->SortInverted = inverted;
        g->ShowClick();
      });
}

}  // namespace

OptionBindings BindWindowOptions(const KistoraWindows& windows) {
  OptionBindings b;
  if (windows.Main) BindMain(b, windows.Main, windows.Perso);
  if (windows.ExportWin) BindExport(b, windows.ExportWin);
  if (windows.ItemG) BindItemG(b, windows.ItemG);
  return b;
}

bool ReadWindowOptions(const KistoraWindows& windows, const std::string& path) {
  const OptionBindings bindings = BindWindowOptions(windows);
  TMain* main = windows.Main;
  return ReadOptions(path, bindings, [main] {
    if (main == nullptr) return;
    main->Catalogue().SyncLastItemIndex();
    main->FillCharInv();
  });
}

void WriteWindowOptions(const KistoraWindows& windows, const std::string& path) {
  WriteOptions(path, BindWindowOptions(windows));
}

}  // namespace kistora
