#include "options/option_values.h"

#include "options/export_options.h"
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

  BindExportSettings(b, v.Export);

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
