// Each export setting described once: its key in the options file and the
// member of ExportSettings that holds it. The window's options binding and the
// command line's both bind through this table, so a new export setting is one
// field of ExportSettings, one row here and one control of the dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <variant>

#include "export/export_settings.h"
#include "options/option_bindings.h"

namespace kistora {

// A setting written as one word of a list (the key's choice words, in order).
struct ExportChoice {
  int (*Get)(const ExportSettings& settings);
  void (*Set)(ExportSettings& settings, int choice);
};

struct ExportOption {
  OptionId Id;
  std::variant<bool ExportSettings::*, std::int32_t ExportSettings::*, TColor ExportSettings::*,
               std::string ExportSettings::*, ExportChoice>
      Member;
};

// Every export setting, in the options file's order.
std::span<const ExportOption> ExportOptions();

// Binds every export key: a value is read from get()'s settings, and applied by
// changing that one setting in get()'s settings and handing them to set. The
// format is applied as its radio button is clicked: a new format also gives the
// file name its extension.
void BindExportSettings(OptionBindings& b, const std::function<ExportSettings()>& get,
                        const std::function<void(const ExportSettings&)>& set);
// The same over a plain settings object, which must outlive the bindings.
void BindExportSettings(OptionBindings& b, ExportSettings& settings);

}  // namespace kistora
