#include "options/export_options.h"

#include <array>
#include <type_traits>

namespace kistora {

namespace {

using S = ExportSettings;
using Id = OptionId;

// The choice words' order of each key: exportformat html|ascii,
// expshowchars selected|all|none, expsortby name|price|none, expmarkup
// bbcode|markdown|no.
constexpr ExportChoice kFormat{
    [](const S& s) { return s.Format == ExportFormat::Html ? 0 : 1; },
    [](S& s, int choice) { SelectExportFormat(s, choice == 0 ? ExportFormat::Html : ExportFormat::Ascii); }};
// The formats to paste, written after exportformat (which says "ascii" for
// them) and after the file name: reading one checks its format without
// rewriting the file name read before it; "no" keeps the format exportformat gave.
constexpr ExportChoice kMarkup{
    [](const S& s) { return s.Format == ExportFormat::BBCode     ? 0
                            : s.Format == ExportFormat::Markdown ? 1
                                                                 : 2; },
    [](S& s, int choice) {
      if (choice < 2) s.Format = choice == 0 ? ExportFormat::BBCode : ExportFormat::Markdown;
    }};
constexpr ExportChoice kScope{
    [](const S& s) { return s.Scope == ExportScope::SelectedChar ? 0
                            : s.Scope == ExportScope::AllChars   ? 1
                                                                 : 2; },
    [](S& s, int choice) {
      s.Scope = choice == 0 ? ExportScope::SelectedChar : choice == 1 ? ExportScope::AllChars : ExportScope::AllItems;
    }};
constexpr ExportChoice kSort{
    [](const S& s) { return s.SortBy == ExportSort::Name    ? 0
                            : s.SortBy == ExportSort::Price ? 1
                                                            : 2; },
    [](S& s, int choice) {
      s.SortBy = choice == 0 ? ExportSort::Name : choice == 1 ? ExportSort::Price : ExportSort::None;
    }};

const std::array<ExportOption, 28> kExportOptions{{
    {Id::ExportFormat, kFormat},
    {Id::ExpFileName, &S::FileName},
    {Id::ExpShowUniques, &S::ShowUniques},
    {Id::ExpShowSets, &S::ShowSets},
    {Id::ExpShowRares, &S::ShowRares},
    {Id::ExpShowCrafted, &S::ShowCrafted},
    {Id::ExpShowMagics, &S::ShowMagics},
    {Id::ExpShowNormals, &S::ShowNormals},
    {Id::ExpHidePrice0, &S::MaskPrice0},
    {Id::ExpShowChars, kScope},
    {Id::ExpShowPrice, &S::ShowPrice},
    {Id::ExpPTitleCol, &S::PTCol},
    {Id::ExpSTitleCol, &S::STCol},
    {Id::ExpPageCol, &S::PageCol},
    {Id::ExpTableCol, &S::TabCol},
    {Id::ExpTableBorder, &S::TabBorder},
    {Id::ExpPageTitle, &S::PageTitle},
    {Id::ExpSign, &S::Sign},
    {Id::ExpShowResult, &S::DoShellExec},
    {Id::ExpGoodItemCol, &S::IICol},
    {Id::ExpGoodItemPrice, &S::IIPrice},
    {Id::ExpShowMagicProps, &S::UseBascule},
    {Id::ExpShowMajDate, &S::ShowMajDate},
    {Id::ExpSortBy, kSort},
    {Id::ExpSortSets, &S::TrierSets},
    {Id::ExpMarkup, kMarkup},
    {Id::ExpClipboard, &S::CopyToClipboard},
    {Id::ExpNewOnly, &S::NewOnly},
}};

}  // namespace

std::span<const ExportOption> ExportOptions() { return kExportOptions; }

void BindExportSettings(OptionBindings& b, const std::function<ExportSettings()>& get,
                        const std::function<void(const ExportSettings&)>& set) {
  for (const ExportOption& option : kExportOptions) {
    std::visit(
        [&](auto member) {
          using M = decltype(member);
          // Applies one changed setting: the others stay as get() gives them.
          auto change = [get, set, member](auto value) {
            ExportSettings s = get();
            if constexpr (std::is_same_v<M, ExportChoice>) {
              member.Set(s, value);
            } else {
              s.*member = value;
            }
            set(s);
          };
          if constexpr (std::is_same_v<M, ExportChoice>) {
            b.BindChoice(
                option.Id, [get, member] { return member.Get(get()); }, [change](int choice) { change(choice); });
          } else if constexpr (std::is_same_v<M, bool S::*>) {
            b.BindFlag(
                option.Id, [get, member] { return get().*member; }, [change](bool on) { change(on); });
          } else if constexpr (std::is_same_v<M, std::int32_t S::*>) {
            b.BindInteger(
                option.Id, [get, member] { return get().*member; }, [change](std::int32_t v) { change(v); });
          } else if constexpr (std::is_same_v<M, TColor S::*>) {
            b.BindColour(
                option.Id, [get, member] { return get().*member; }, [change](TColor c) { change(c); });
          } else {
            b.BindText(
                option.Id, [get, member] { return get().*member; },
                [change](const std::string& text) { change(text); });
          }
        },
        option.Member);
  }
}

void BindExportSettings(OptionBindings& b, ExportSettings& settings) {
  BindExportSettings(
      b, [&settings] { return settings; }, [&settings](const ExportSettings& s) { settings = s; });
}

}  // namespace kistora
