#include "options/option_keys.h"

namespace kistora {

namespace {

using F = OptionForm;
constexpr std::optional<std::int32_t> kCurrent = std::nullopt;

constexpr OptionKeyInfo Int(std::string_view key, int group, std::optional<std::int32_t> fallback,
                            std::string_view designed) {
  return {key, F::Integer, group, fallback, {}, 0, designed};
}
constexpr OptionKeyInfo Flag(std::string_view key, int group, bool designed) {
  return {key, F::Flag, group, std::nullopt, {}, 0, designed ? "true" : "false"};
}
constexpr OptionKeyInfo Colour(std::string_view key, int group, std::string_view designed) {
  return {key, F::Colour, group, std::nullopt, {}, 0, designed};
}
constexpr OptionKeyInfo Text(std::string_view key, int group, std::string_view designed) {
  return {key, F::Text, group, std::nullopt, {}, 0, designed};
}
constexpr OptionKeyInfo Choice(std::string_view key, int group, std::array<std::string_view, 3> words,
                               std::string_view designed) {
  return {key, F::Choice, group, std::nullopt, words, words[2].empty() ? 2 : 3, designed};
}

}  // namespace

const std::array<std::string_view, kOptionGroupCount> kOptionGroupComments = {
    "// Main window position",
    "// Item database window position",
    "// Characters list columns size",
    "// Inventory list columns size",
    "// Item database columns size",
    "// Default account",
    "// Selected character",
    "// Last Item Index (WARNING -- Important value)",
    "// Export options",
    "// Export extended options",
    "// Export for forums and chats",
    "// Items database options",
};

const std::array<OptionKeyInfo, kOptionCount> kOptionKeys = {{
    Int("mwp_left", 0, kCurrent, ""),
    Int("mwp_top", 0, kCurrent, ""),
    Int("mwp_width", 0, kCurrent, "609"),
    Int("mwp_height", 0, kCurrent, "482"),
    Int("iwp_left", 1, kCurrent, ""),
    Int("iwp_top", 1, kCurrent, ""),
    Int("iwp_width", 1, kCurrent, "701"),
    Int("iwp_height", 1, kCurrent, "572"),
    Int("ccs_name", 2, kCurrent, "100"),
    Int("ccs_account", 2, kCurrent, "100"),
    Int("ccs_class", 2, kCurrent, "100"),
    Int("ccs_clvl", 2, kCurrent, "40"),
    Int("ccs_notes", 2, kCurrent, "200"),
    Int("ics_index", 3, kCurrent, "50"),
    Int("ics_name", 3, kCurrent, "100"),
    Int("ics_cat", 3, kCurrent, "100"),
    Int("ics_quality", 3, kCurrent, "100"),
    Int("ics_price", 3, kCurrent, "40"),
    Int("ics_notes", 3, kCurrent, "200"),
    Int("dcs_index", 4, kCurrent, "50"),
    Int("dcs_name", 4, kCurrent, "100"),
    Int("dcs_cat", 4, kCurrent, "100"),
    Int("dcs_quality", 4, kCurrent, "100"),
    Int("dcs_price", 4, kCurrent, "40"),
    Int("dcs_notes", 4, kCurrent, "200"),
    Text("defaccount", 5, ""),
    Text("selectedchar", 6, ""),
    Int("lastitemindex", 7, -1, "0"),
    Choice("exportformat", 8, {"html", "ascii", ""}, "html"),
    Text("expfilename", 8, "export.html"),
    Flag("expshowuniques", 8, true),
    Flag("expshowsets", 8, true),
    Flag("expshowrares", 8, true),
    Flag("expshowcrafted", 8, true),
    Flag("expshowmagics", 8, true),
    Flag("expshownormals", 8, true),
    Flag("exphideprice0", 8, false),
    Choice("expshowchars", 8, {"selected", "allchars", "allitems"}, "allchars"),
    Flag("expshowprice", 9, false),
    Colour("expptitlecol", 9, "#40C0FF"),
    Colour("expstitlecol", 9, "#B0E0FF"),
    Colour("exppagecol", 9, "#FFFFFF"),
    Colour("exptablecol", 9, "#FFFFFF"),
    Flag("exptableborder", 9, true),
    Text("exppagetitle", 9, "Inventaire de Diablo II - Liste de trade"),
    Text("expsign", 9, ""),
    Flag("expshowresult", 9, true),
    Colour("expgooditemcol", 9, "#FFFFFF"),
    Int("expgooditemprice", 9, 1, "1"),
    Flag("expshowmagicprops", 9, true),
    Flag("expshowmajdate", 9, true),
    Choice("expsortby", 9, {"name", "price", "no"}, "name"),
    Flag("expsortsets", 9, true),
    // Added beside exportformat, which still says "html" or "ascii" (so a file
    // read by an earlier program keeps a format it knows): "no" leaves that one.
    Choice("expmarkup", 10, {"bbcode", "markdown", "no"}, "no"),
    Flag("expclipboard", 10, false),
    Flag("expnewonly", 10, false),
    Flag("idbshowuniques", 11, true),
    Flag("idbshowsets", 11, true),
    Flag("idbshowrares", 11, true),
    Flag("idbshowcrafted", 11, true),
    Flag("idbshowmagics", 11, true),
    Flag("idbshownormals", 11, true),
    Flag("idbhideprice0", 11, false),
    Int("idbsortcol", 11, 0, "0"),
    Flag("idbsortinvert", 11, false),
}};

std::optional<OptionId> FindOptionKey(std::string_view key) {
  for (int i = 0; i < kOptionCount; ++i) {
    if (kOptionKeys[static_cast<std::size_t>(i)].Key == key) return static_cast<OptionId>(i);
  }
  return std::nullopt;
}

}  // namespace kistora
