#include "export/listed_item.h"

#include "model/text_utils.h"

namespace kistora {

namespace {

constexpr int kSetQuality = 4;

}  // namespace

int ForEachCharacteristic(const TD2Item& item,
                          const std::function<void(std::string_view label, const std::string& values)>& visit) {
  const auto* weapon = dynamic_cast<const TD2Weapon*>(&item);
  const auto* defensive = dynamic_cast<const TD2DefItem*>(&item);
  const auto* shield = dynamic_cast<const TD2Shield*>(&item);
  int count = 0;
  const auto line = [&](std::string_view label, const std::string& values) {
    visit(label, values);
    ++count;
  };
  if (weapon) line("Dommages: ", IntToStr(weapon->MinDmg) + " \xE0 " + IntToStr(weapon->MaxDmg));
  if (defensive)
    line(
        "D\xE9"
        "fense: ",
        IntToStr(defensive->Def));
  if (shield) line("Capacit\xE9 \xE0 parer: ", IntToStr(shield->Parade) + "%");
  if (item.MaxDur > 0) line("R\xE9sistance: ", IntToStr(item.Dur) + " sur " + IntToStr(item.MaxDur));
  if (item.Dex > 0)
    line(
        "Dext\xE9rit\xE9 n\xE9"
        "cessaire: ",
        IntToStr(item.Dex));
  if (item.Str > 0)
    line(
        "Force n\xE9"
        "cessaire: ",
        IntToStr(item.Str));
  if (item.CLvl > 0)
    line(
        "Niveau n\xE9"
        "cessaire: ",
        IntToStr(item.CLvl));
  if (weapon) line("Vitesse d'attaque: ", SpeedLabel(weapon->Speed));
  return count;
}

std::string ExportCategoryLabel(const TD2Item& item, std::string_view fallback) {
  std::string label = DialogCategoryLabel(item);
  return label.empty() ? std::string(fallback) : label;
}

std::string ListedName(const TD2Item& item, bool unfolding) {
  return unfolding && item.Quality == kSetQuality ? SetTitle(item) : item.Name.str();
}

}  // namespace kistora
