// Field-by-field comparison of two sets of option values, naming the first
// difference. ItemGPositionFromOptions is left out: it tells whether a file
// gave the item window's position, and every written file does.
#pragma once

#include <string>

#include "export/export_settings.h"
#include "options/option_values.h"

namespace kistora::check {

inline std::string ExportSettingsDifference(const ExportSettings& a, const ExportSettings& b) {
  if (a.Format != b.Format) return "Format";
  if (a.FileName != b.FileName) return "FileName";
  if (a.ShowUniques != b.ShowUniques) return "ShowUniques";
  if (a.ShowSets != b.ShowSets) return "ShowSets";
  if (a.ShowRares != b.ShowRares) return "ShowRares";
  if (a.ShowCrafted != b.ShowCrafted) return "ShowCrafted";
  if (a.ShowMagics != b.ShowMagics) return "ShowMagics";
  if (a.ShowNormals != b.ShowNormals) return "ShowNormals";
  if (a.MaskPrice0 != b.MaskPrice0) return "MaskPrice0";
  if (a.Scope != b.Scope) return "Scope";
  if (a.ShowPrice != b.ShowPrice) return "ShowPrice";
  if (a.PTCol != b.PTCol) return "PTCol";
  if (a.STCol != b.STCol) return "STCol";
  if (a.PageCol != b.PageCol) return "PageCol";
  if (a.TabCol != b.TabCol) return "TabCol";
  if (a.TabBorder != b.TabBorder) return "TabBorder";
  if (a.PageTitle != b.PageTitle) return "PageTitle";
  if (a.Sign != b.Sign) return "Sign";
  if (a.DoShellExec != b.DoShellExec) return "DoShellExec";
  if (a.IICol != b.IICol) return "IICol";
  if (a.IIPrice != b.IIPrice) return "IIPrice";
  if (a.UseBascule != b.UseBascule) return "UseBascule";
  if (a.ShowMajDate != b.ShowMajDate) return "ShowMajDate";
  if (a.SortBy != b.SortBy) return "SortBy";
  if (a.TrierSets != b.TrierSets) return "TrierSets";
  return {};
}

inline std::string OptionValuesDifference(const OptionValues& a, const OptionValues& b) {
  if (a.MainLeft != b.MainLeft || a.MainTop != b.MainTop || a.MainWidth != b.MainWidth ||
      a.MainHeight != b.MainHeight) {
    return "main window bounds";
  }
  if (a.ItemGLeft != b.ItemGLeft || a.ItemGTop != b.ItemGTop || a.ItemGWidth != b.ItemGWidth ||
      a.ItemGHeight != b.ItemGHeight) {
    return "item window bounds";
  }
  if (a.CharsColumns != b.CharsColumns) return "CharsColumns";
  if (a.CharInvColumns != b.CharInvColumns) return "CharInvColumns";
  if (a.ListeColumns != b.ListeColumns) return "ListeColumns";
  if (a.CharAccount != b.CharAccount) return "CharAccount";
  if (a.SelectedCharRow != b.SelectedCharRow) return "SelectedCharRow";
  if (const std::string d = ExportSettingsDifference(a.Export, b.Export); !d.empty()) return "Export." + d;
  if (a.IdbShowUniques != b.IdbShowUniques || a.IdbShowSets != b.IdbShowSets || a.IdbShowRares != b.IdbShowRares ||
      a.IdbShowCrafted != b.IdbShowCrafted || a.IdbShowMagics != b.IdbShowMagics ||
      a.IdbShowNormals != b.IdbShowNormals || a.IdbMaskPrice0 != b.IdbMaskPrice0) {
    return "item window filters";
  }
  if (a.IdbSortColumn != b.IdbSortColumn) return "IdbSortColumn";
  if (a.IdbSortInverted != b.IdbSortInverted) return "IdbSortInverted";
  return {};
}

}  // namespace kistora::check
