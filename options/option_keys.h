// The keys of the options file kistora.ini: their order, groups, value forms,
// fallbacks and designed values. The table is the single description of the
// file; reading, writing and the windows' bindings all work from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kistora {

// How a value is written and read back.
enum class OptionForm : std::uint8_t {
  Integer,  // decimal; text that does not parse gives the key's fallback
  Flag,     // "true"/"false"; read with TextToBool
  Colour,   // "#RRGGBB"; read with TextToColor (white when unparsable)
  Text,     // as is; read trimmed, cut before any "//"
  Choice,   // one of the key's words; anything else selects the last word
};

// Every key, in the order of the written file.
enum class OptionId : int {
  MwpLeft,
  MwpTop,
  MwpWidth,
  MwpHeight,
  IwpLeft,
  IwpTop,
  IwpWidth,
  IwpHeight,
  CcsName,
  CcsAccount,
  CcsClass,
  CcsClvl,
  CcsNotes,
  IcsIndex,
  IcsName,
  IcsCat,
  IcsQuality,
  IcsPrice,
  IcsNotes,
  DcsIndex,
  DcsName,
  DcsCat,
  DcsQuality,
  DcsPrice,
  DcsNotes,
  DefAccount,
  SelectedChar,
  LastItemIndex,
  ExportFormat,
  ExpFileName,
  ExpShowUniques,
  ExpShowSets,
  ExpShowRares,
  ExpShowCrafted,
  ExpShowMagics,
  ExpShowNormals,
  ExpHidePrice0,
  ExpShowChars,
  ExpShowPrice,
  ExpPTitleCol,
  ExpSTitleCol,
  ExpPageCol,
  ExpTableCol,
  ExpTableBorder,
  ExpPageTitle,
  ExpSign,
  ExpShowResult,
  ExpGoodItemCol,
  ExpGoodItemPrice,
  ExpShowMagicProps,
  ExpShowMajDate,
  ExpSortBy,
  ExpSortSets,
  ExpMarkup,
  ExpClipboard,
  ExpNewOnly,
  IdbShowUniques,
  IdbShowSets,
  IdbShowRares,
  IdbShowCrafted,
  IdbShowMagics,
  IdbShowNormals,
  IdbHidePrice0,
  IdbSortCol,
  IdbSortInvert,
};
inline constexpr int kOptionCount = 65;
inline constexpr int kOptionGroupCount = 12;

struct OptionKeyInfo {
  std::string_view Key;  // lower case, shorter than 20 characters
  OptionForm Form;
  int Group;  // index into kOptionGroupComments
  // Integer keys: the value taken when the text does not parse; nullopt keeps
  // the holder's current value (window geometry and column widths).
  std::optional<std::int32_t> Fallback;
  // Choice keys: the listed words in the order they are compared; the last one
  // is taken for anything else.
  std::array<std::string_view, 3> Choices;
  int ChoiceCount;
  // The value as written when no options file exists (Windows-1252). Empty
  // for the window edges, whose designed placement is a centring done by the
  // windows themselves.
  std::string_view Designed;
};

// The table, indexed by OptionId.
extern const std::array<OptionKeyInfo, kOptionCount> kOptionKeys;
// The comment line that introduces each group (without the line break).
extern const std::array<std::string_view, kOptionGroupCount> kOptionGroupComments;

inline const OptionKeyInfo& KeyInfo(OptionId id) { return kOptionKeys[static_cast<std::size_t>(id)]; }
// The key named exactly so (keys are matched after lower-casing), or nullopt.
std::optional<OptionId> FindOptionKey(std::string_view key);

}  // namespace kistora
