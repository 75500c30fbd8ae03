#include "options/option_values.h"

#include "options/options_file.h"

namespace kistora {

namespace {

using Id = OptionId;

template <std::size_t N>
void BindColumns(OptionBindings& b, Id first, std::array<std::int32_t, N>& widths) {
  for (std::size_t i = 0; i < N; ++i)
    b.BindInteger(static_cast<Id>(static_cast<int>(first) + static_cast<int>(i)), widths[i]);
}

}  // namespace

OptionBindings BindOptionValues(OptionValues& v, TCatalogue& catalogue) {
  OptionBindings b;
  b.BindInteger(Id::MwpLeft, v.MainLeft);
  b.BindInteger(Id::MwpTop, v.MainTop);
  b.BindInteger(Id::MwpWidth, v.MainWidth);
  b.BindInteger(Id::MwpHeight, v.MainHeight);
  b.BindInteger(
      Id::IwpLeft, [&v] { return v.ItemGLeft; },
      [&v](std::int32_t x) {
        v.ItemGLeft = x;
        v.ItemGPositionFromOptions = true;
      });
  b.BindInteger(
      Id::IwpTop, [&v] { return v.ItemGTop; },
      [&v](std::int32_t y) {
        v.ItemGTop = y;
        v.ItemGPositionFromOptions = true;
      });
  b.BindInteger(Id::IwpWidth, v.ItemGWidth);
  b.BindInteger(Id::IwpHeight, v.ItemGHeight);
  BindColumns(b, Id::CcsName, v.CharsColumns);
  BindColumns(b, Id::IcsIndex, v.CharInvColumns);
  BindColumns(b, Id::DcsIndex, v.ListeColumns);

  b.BindText(
      Id::DefAccount, [&v] { return v.CharAccount; },
      [&v, &catalogue](const std::string& account) {
        catalogue.DefaultAccount = account;
        v.CharAccount = account;
      });
  b.BindText(
      Id::SelectedChar,
      [&v, &catalogue] {
        const auto row = static_cast<std::size_t>(v.SelectedCharRow);
        return v.SelectedCharRow >= 0 && row < catalogue.CharList.size() ? catalogue.CharList[row]->Name
                                                                         : std::string();
      },
      [&v, &catalogue](const std::string& name) {
        const int row = catalogue.FindCharRow(name);
        if (row >= 0) v.SelectedCharRow = row;  // no match: the selection stays
      });
  b.BindInteger(Id::LastItemIndex, catalogue.LastItemIndex);

  ExportSettings& e = v.Export;
  b.BindChoice(
      Id::ExportFormat, [&e] { return e.Format == ExportFormat::Html ? 0 : 1; },
      [&e](int choice) { SelectExportFormat(e, choice == 0 ? ExportFormat::Html : ExportFormat::Ascii); });
  b.BindText(Id::ExpFileName, e.FileName);
  b.BindFlag(Id::ExpShowUniques, e.ShowUniques);
  b.BindFlag(Id::ExpShowSets, e.ShowSets);
  b.BindFlag(Id::ExpShowRares, e.ShowRares);
  b.BindFlag(Id::ExpShowCrafted, e.ShowCrafted);
  b.BindFlag(Id::ExpShowMagics, e.ShowMagics);
  b.BindFlag(Id::ExpShowNormals, e.ShowNormals);
  b.BindFlag(Id::ExpHidePrice0, e.MaskPrice0);
  b.BindChoice(
      Id::ExpShowChars,
      [&e] { return e.Scope == ExportScope::SelectedChar ? 0
                    : e.Scope == ExportScope::AllChars   ? 1
                                                         : 2; },
      [&e](int choice) {
        e.Scope = choice == 0 ? ExportScope::SelectedChar : choice == 1 ? ExportScope::AllChars : ExportScope::AllItems;
      });
  b.BindFlag(Id::ExpShowPrice, e.ShowPrice);
  b.BindColour(Id::ExpPTitleCol, e.PTCol);
  b.BindColour(Id::ExpSTitleCol, e.STCol);
  b.BindColour(Id::ExpPageCol, e.PageCol);
  b.BindColour(Id::ExpTableCol, e.TabCol);
  b.BindFlag(Id::ExpTableBorder, e.TabBorder);
  b.BindText(Id::ExpPageTitle, e.PageTitle);
  b.BindText(Id::ExpSign, e.Sign);
  b.BindFlag(Id::ExpShowResult, e.DoShellExec);
  b.BindColour(Id::ExpGoodItemCol, e.IICol);
  b.BindInteger(Id::ExpGoodItemPrice, e.IIPrice);
  b.BindFlag(Id::ExpShowMagicProps, e.UseBascule);
  b.BindFlag(Id::ExpShowMajDate, e.ShowMajDate);
  b.BindChoice(
      Id::ExpSortBy, [&e] { return e.SortBy == ExportSort::Name    ? 0
                                   : e.SortBy == ExportSort::Price ? 1
                                                                   : 2; },
      [&e](int choice) {
        e.SortBy = choice == 0 ? ExportSort::Name : choice == 1 ? ExportSort::Price : ExportSort::None;
      });
  b.BindFlag(Id::ExpSortSets, e.TrierSets);

  b.BindFlag(Id::IdbShowUniques, v.IdbShowUniques);
  b.BindFlag(Id::IdbShowSets, v.IdbShowSets);
  b.BindFlag(Id::IdbShowRares, v.IdbShowRares);
  b.BindFlag(Id::IdbShowCrafted, v.IdbShowCrafted);
  b.BindFlag(Id::IdbShowMagics, v.IdbShowMagics);
  b.BindFlag(Id::IdbShowNormals, v.IdbShowNormals);
  b.BindFlag(Id::IdbHidePrice0, v.IdbMaskPrice0);
  b.BindInteger(Id::IdbSortCol, v.IdbSortColumn);
  b.BindFlag(Id::IdbSortInvert, v.IdbSortInverted);
  return b;
}

bool ReadOptionValues(const std::string& path, OptionValues& values, TCatalogue& catalogue) {
  const OptionBindings bindings = BindOptionValues(values, catalogue);
  return ReadOptions(path, bindings, [&catalogue] { catalogue.SyncLastItemIndex(); });
}

}  // namespace kistora
