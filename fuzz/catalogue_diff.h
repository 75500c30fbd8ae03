// Field-by-field comparison of two catalogues, items and characters, naming the
// first difference. Used by the fuzz targets (a save and a reload must give the
// same catalogue back) and by the robustness tests.
#pragma once

#include <cstddef>
#include <string>
#include <typeinfo>

#include "model/catalogue.h"
#include "model/items.h"

namespace kistora::check {

inline std::string Where(const char* what, std::size_t at) { return std::string(what) + " " + std::to_string(at); }

// Empty when both items hold the same class and the same value in every field.
inline std::string ItemDifference(const TD2Item& a, const TD2Item& b) {
  if (typeid(a) != typeid(b)) return "class " + ClassName(a) + " / " + ClassName(b);
  if (a.Index != b.Index) return "Index";
  if (a.Name != b.Name) return "Name";
  if (a.Notes != b.Notes) return "Notes";
  if (a.Quality != b.Quality) return "Quality";
  if (a.Price != b.Price) return "Price";
  if (a.CLvl != b.CLvl) return "CLvl";
  if (a.Str != b.Str) return "Str";
  if (a.Dex != b.Dex) return "Dex";
  if (a.Dur != b.Dur) return "Dur";
  if (a.MaxDur != b.MaxDur) return "MaxDur";
  if (a.MagicProps != b.MagicProps) return "MagicProps";
  if (const auto* da = dynamic_cast<const TD2DefItem*>(&a)) {
    if (da->Def != dynamic_cast<const TD2DefItem&>(b).Def) return "Def";
  }
  if (const auto* sa = dynamic_cast<const TD2Shield*>(&a)) {
    if (sa->Parade != dynamic_cast<const TD2Shield&>(b).Parade) return "Parade";
  }
  if (const auto* wa = dynamic_cast<const TD2Weapon*>(&a)) {
    const auto& wb = dynamic_cast<const TD2Weapon&>(b);
    if (wa->MinDmg != wb.MinDmg) return "MinDmg";
    if (wa->MaxDmg != wb.MaxDmg) return "MaxDmg";
    if (wa->Speed != wb.Speed) return "Speed";
  }
  return {};
}

inline std::string ItemsDifference(const TCatalogue& a, const TCatalogue& b) {
  if (a.ItemList.size() != b.ItemList.size()) {
    return "item count " + std::to_string(a.ItemList.size()) + " / " + std::to_string(b.ItemList.size());
  }
  for (std::size_t i = 0; i < a.ItemList.size(); ++i) {
    const std::string d = ItemDifference(*a.ItemList[i], *b.ItemList[i]);
    if (!d.empty()) return Where("item", i) + ": " + d;
  }
  return {};
}

inline std::string CharsDifference(const TCatalogue& a, const TCatalogue& b) {
  if (a.CharList.size() != b.CharList.size()) {
    return "character count " + std::to_string(a.CharList.size()) + " / " + std::to_string(b.CharList.size());
  }
  for (std::size_t i = 0; i < a.CharList.size(); ++i) {
    const TChar& x = *a.CharList[i];
    const TChar& y = *b.CharList[i];
    const char* field = x.Name != y.Name         ? "Name"
                        : x.Account != y.Account ? "Account"
                        : x.Class != y.Class     ? "Class"
                        : x.Level != y.Level     ? "Level"
                        : x.Notes != y.Notes     ? "Notes"
                        : x.Items != y.Items     ? "Items"
                                                 : nullptr;
    if (field != nullptr) return Where("character", i) + ": " + field;
  }
  return {};
}

}  // namespace kistora::check
