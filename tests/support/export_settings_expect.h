// Field-by-field comparison of two sets of export settings (GoogleTest).
#pragma once

#include <gtest/gtest.h>

#include "export/export_settings.h"

namespace kistora::testing {

inline void ExpectSameExportSettings(const ExportSettings& a, const ExportSettings& b) {
  EXPECT_EQ(a.Format, b.Format);
  EXPECT_EQ(a.FileName, b.FileName);
  EXPECT_EQ(a.ShowUniques, b.ShowUniques);
  EXPECT_EQ(a.ShowSets, b.ShowSets);
  EXPECT_EQ(a.ShowRares, b.ShowRares);
  EXPECT_EQ(a.ShowCrafted, b.ShowCrafted);
  EXPECT_EQ(a.ShowMagics, b.ShowMagics);
  EXPECT_EQ(a.ShowNormals, b.ShowNormals);
  EXPECT_EQ(a.MaskPrice0, b.MaskPrice0);
  EXPECT_EQ(a.Scope, b.Scope);
  EXPECT_EQ(a.ShowPrice, b.ShowPrice);
  EXPECT_EQ(a.PTCol, b.PTCol);
  EXPECT_EQ(a.STCol, b.STCol);
  EXPECT_EQ(a.PageCol, b.PageCol);
  EXPECT_EQ(a.TabCol, b.TabCol);
  EXPECT_EQ(a.TabBorder, b.TabBorder);
  EXPECT_EQ(a.PageTitle, b.PageTitle);
  EXPECT_EQ(a.Sign, b.Sign);
  EXPECT_EQ(a.DoShellExec, b.DoShellExec);
  EXPECT_EQ(a.IICol, b.IICol);
  EXPECT_EQ(a.IIPrice, b.IIPrice);
  EXPECT_EQ(a.UseBascule, b.UseBascule);
  EXPECT_EQ(a.ShowMajDate, b.ShowMajDate);
  EXPECT_EQ(a.SortBy, b.SortBy);
  EXPECT_EQ(a.TrierSets, b.TrierSets);
}

}  // namespace kistora::testing
