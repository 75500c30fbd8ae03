#include "model/edit_text.h"

#include "model/item_counts.h"

namespace kistora {

namespace {

// Long names are cut, so that a menu entry stays readable.
constexpr std::size_t kLongestName = 40;

std::string Shortened(const std::string& name) {
  if (name.size() <= kLongestName) return name;
  return name.substr(0, kLongestName) + "\x85";  // "…"
}

// « name », with the no-break spaces French puts inside the guillemets.
std::string Quoted(const std::string& name) { return "\xAB\xA0" + Shortened(name) + "\xA0\xBB"; }

std::string OfItem(const TD2Item& item) {
  const std::string number = "de l'objet " + GroupedNumber(item.Index);
  return item.Name.empty() ? number : number + " " + Quoted(item.Name);
}

// The item an inventory entry stands for, named as the other steps name it
// (the number alone when no item has it).
std::string OfNumber(const TCatalogue& catalogue, std::int32_t number) {
  const TD2Item* item = catalogue.FindItem(number);
  return item ? OfItem(*item) : "de l'objet " + GroupedNumber(number);
}

std::string OfChar(const TChar& character) {
  return character.Name.empty() ? "du perso sans nom" : "du perso " + Quoted(character.Name);
}

std::string NameAt(const TCatalogue& catalogue, int row) {
  const TChar* character = catalogue.CharAt(row);
  return character ? Shortened(character->Name) : std::string();
}

const TD2Item* ItemAt(const TCatalogue& catalogue, int position) {
  return position >= 0 && static_cast<std::size_t>(position) < catalogue.ItemList.size()
             ? catalogue.ItemList[static_cast<std::size_t>(position)].get()
             : nullptr;
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

std::string EditText(const CatalogueEdit& edit, const TCatalogue& catalogue) {
  return std::visit(Overloaded{
                        [](const edit::ItemInserted& e) { return "Ajout " + OfItem(*e.Item); },
                        [](const edit::ItemErased& e) { return "Suppression " + OfItem(*e.Item); },
                        [&](const edit::ItemReplaced& e) {
                          const TD2Item* now = ItemAt(catalogue, e.Position);
                          return "Modification " + OfItem(now ? *now : *e.Other);
                        },
                        [&](const edit::CharInserted& e) {
                          const TChar* character = catalogue.CharAt(e.Row);
                          return "Ajout " + OfChar(character ? *character : TChar());
                        },
                        [](const edit::CharErased& e) { return "Suppression " + OfChar(*e.Held); },
                        [&](const edit::CharTexts& e) {
                          const TChar* character = catalogue.CharAt(e.Row);
                          return "Modification " + OfChar(character ? *character : *e.Other);
                        },
                        [&](const edit::CharsSwapped& e) {
                          // The character that was at Row is now at OtherRow.
                          const TChar* moved = catalogue.CharAt(e.OtherRow);
                          return "D\xE9placement " + OfChar(moved ? *moved : TChar()) +
                                 (e.OtherRow < e.Row ? " vers le haut" : " vers le bas");
                        },
                        [&](const edit::EntryInserted& e) {
                          return "Ajout " + OfNumber(catalogue, e.Number) + " \xE0 " + NameAt(catalogue, e.Row);
                        },
                        [&](const edit::EntryErased& e) {
                          return "Retrait " + OfNumber(catalogue, e.Number) + " de " + NameAt(catalogue, e.Row);
                        },
                        [](const edit::ContentReplaced&) { return std::string("Remplacement de tout le catalogue"); },
                    },
                    edit);
}

}  // namespace kistora
