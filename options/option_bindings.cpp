#include "options/option_bindings.h"

#include <stdexcept>
#include <utility>

#include "model/text_utils.h"

namespace kistora {

OptionBinding& OptionBindings::Slot(OptionId id, OptionForm form) {
  const OptionKeyInfo& info = KeyInfo(id);
  if (info.Form != form) {
    throw std::logic_error("options key " + std::string(info.Key) + " bound with the wrong value form");
  }
  return bindings_[static_cast<std::size_t>(id)];
}

void OptionBindings::BindInteger(OptionId id, std::function<std::int32_t()> get,
                                 std::function<void(std::int32_t)> set) {
  OptionBinding& slot = Slot(id, OptionForm::Integer);
  const std::optional<std::int32_t> fallback = KeyInfo(id).Fallback;
  slot.Read = [get] { return IntToStr(get()); };
  slot.Apply = [get, set = std::move(set), fallback](std::string_view value) {
    std::int32_t number = 0;
    if (!TryStrToInt(value, number)) number = fallback ? *fallback : get();
    set(number);
  };
}

void OptionBindings::BindFlag(OptionId id, std::function<bool()> get, std::function<void(bool)> set) {
  OptionBinding& slot = Slot(id, OptionForm::Flag);
  slot.Read = [get = std::move(get)] { return BoolToText(get()); };
  slot.Apply = [set = std::move(set)](std::string_view value) { set(TextToBool(value)); };
}

void OptionBindings::BindColour(OptionId id, std::function<TColor()> get, std::function<void(TColor)> set) {
  OptionBinding& slot = Slot(id, OptionForm::Colour);
  slot.Read = [get = std::move(get)] { return ColorToText(get()); };
  slot.Apply = [set = std::move(set)](std::string_view value) { set(TextToColor(value)); };
}

void OptionBindings::BindText(OptionId id, std::function<std::string()> get,
                              std::function<void(const std::string&)> set) {
  OptionBinding& slot = Slot(id, OptionForm::Text);
  slot.Read = std::move(get);
  slot.Apply = [set = std::move(set)](std::string_view value) { set(std::string(value)); };
}

void OptionBindings::BindChoice(OptionId id, std::function<int()> get, std::function<void(int)> set) {
  OptionBinding& slot = Slot(id, OptionForm::Choice);
  const OptionKeyInfo& info = KeyInfo(id);
  const int last = info.ChoiceCount - 1;
  slot.Read = [get = std::move(get), &info, last] {
    const int position = get();
    return std::string(info.Choices[static_cast<std::size_t>(position >= 0 && position < last ? position : last)]);
  };
  slot.Apply = [set = std::move(set), &info, last](std::string_view value) {
    const std::string lowered = LowerAscii(value);
    int position = last;
    for (int i = 0; i < info.ChoiceCount; ++i) {
      if (lowered == info.Choices[static_cast<std::size_t>(i)]) {
        position = i;
        break;
      }
    }
    set(position);
  };
}

void OptionBindings::BindInteger(OptionId id, std::int32_t& holder) {
  BindInteger(
      id, [&holder] { return holder; }, [&holder](std::int32_t v) { holder = v; });
}

void OptionBindings::BindFlag(OptionId id, bool& holder) {
  BindFlag(
      id, [&holder] { return holder; }, [&holder](bool v) { holder = v; });
}

void OptionBindings::BindColour(OptionId id, TColor& holder) {
  BindColour(
      id, [&holder] { return holder; }, [&holder](TColor v) { holder = v; });
}

void OptionBindings::BindText(OptionId id, std::string& holder) {
  BindText(
      id, [&holder] { return holder; }, [&holder](const std::string& v) { holder = v; });
}

bool OptionBindings::IsBound(OptionId id) const {
  const OptionBinding& slot = bindings_[static_cast<std::size_t>(id)];
  return slot.Read && slot.Apply;
}

std::string OptionBindings::ValueText(OptionId id) const {
  if (!IsBound(id)) return std::string(KeyInfo(id).Designed);
  return bindings_[static_cast<std::size_t>(id)].Read();
}

void OptionBindings::Apply(OptionId id, std::string_view value) const {
  if (IsBound(id)) bindings_[static_cast<std::size_t>(id)].Apply(value);
}

}  // namespace kistora
