// The link between each options key and the control or member that holds its
// value. The options have no record of their own: reading applies each value to
// its holder and writing takes each value from there. Windows bind their
// widgets; the command line and the tests bind the plain OptionValues.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/colour_text.h"
#include "options/option_keys.h"

namespace kistora {

// One key's holder at the text level of the file.
struct OptionBinding {
  std::function<std::string()> Read;            // the value as written
  std::function<void(std::string_view)> Apply;  // applies a value as read
};

class OptionBindings {
 public:
  // Typed binders. Each turns the holder's value into the key's written form and
  // a read value into the holder's type by the key's rules (integer fallback,
  // TextToBool, TextToColor, choice words). Binding a key of another form is a
  // programming error and throws std::logic_error. Binding again replaces.
  //
  // Integer: a value that does not parse gives the key's fallback; for the keys
  // without one (geometry, column widths) set receives get()'s current value.
  void BindInteger(OptionId id, std::function<std::int32_t()> get, std::function<void(std::int32_t)> set);
  void BindFlag(OptionId id, std::function<bool()> get, std::function<void(bool)> set);
  void BindColour(OptionId id, std::function<TColor()> get, std::function<void(TColor)> set);
  // Text: set receives the value trimmed, cut before any "//" (possibly empty).
  void BindText(OptionId id, std::function<std::string()> get, std::function<void(const std::string&)> set);
  // Choice: get returns the position of the holder's word in the key's list
  // (an out-of-range position writes the last word); set receives the position
  // of the word read, lower-cased, or the last position for any other text.
  void BindChoice(OptionId id, std::function<int()> get, std::function<void(int)> set);

  // Plain holders (kept by reference: they must outlive the bindings).
  void BindInteger(OptionId id, std::int32_t& holder);
  void BindFlag(OptionId id, bool& holder);
  void BindColour(OptionId id, TColor& holder);
  void BindText(OptionId id, std::string& holder);

  bool IsBound(OptionId id) const;
  // The value to write: the holder's, or the key's designed value when nothing is bound.
  std::string ValueText(OptionId id) const;
  // Applies a value read from the file to the holder; nothing when nothing is bound.
  void Apply(OptionId id, std::string_view value) const;

 private:
  OptionBinding& Slot(OptionId id, OptionForm form);
  std::array<OptionBinding, kOptionCount> bindings_;
};

}  // namespace kistora
