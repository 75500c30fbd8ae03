// kistora-cli dump [DIR]: the whole catalogue as one JSON object, texts in UTF-8.
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "model/items.h"

namespace kistora::cli {

namespace {

void AddField(std::string& out, const char* key, const std::string& jsonValue) {
  out += ", \"";
  out += key;
  out += "\": ";
  out += jsonValue;
}

void AddNumber(std::string& out, const char* key, long long value) { AddField(out, key, std::to_string(value)); }

std::string ItemJson(const TD2Item& item) {
  std::string out = "{\"index\": " + std::to_string(item.Index);
  AddField(out, "class", JsonString(ClassName(item)));
  AddField(out, "name", JsonString(item.Name));
  AddField(out, "notes", JsonString(item.Notes));
  AddNumber(out, "quality", item.Quality);
  AddNumber(out, "price", item.Price);
  AddNumber(out, "clvl", item.CLvl);
  AddNumber(out, "str", item.Str);
  AddNumber(out, "dex", item.Dex);
  AddNumber(out, "dur", item.Dur);
  AddNumber(out, "maxdur", item.MaxDur);
  std::string lines = "[";
  for (std::size_t i = 0; i < item.MagicProps.size(); ++i) {
    if (i > 0) lines += ", ";
    lines += JsonString(item.MagicProps[i]);
  }
  AddField(out, "magicprops", lines + "]");
  if (const auto* def = dynamic_cast<const TD2DefItem*>(&item)) AddNumber(out, "def", def->Def);
  if (const auto* shield = dynamic_cast<const TD2Shield*>(&item)) AddNumber(out, "parade", shield->Parade);
  if (const auto* weapon = dynamic_cast<const TD2Weapon*>(&item)) {
    AddNumber(out, "mindmg", weapon->MinDmg);
    AddNumber(out, "maxdmg", weapon->MaxDmg);
    AddNumber(out, "speed", weapon->Speed);
  }
  return out + "}";
}

std::string CharacterJson(const TChar& character) {
  std::string out = "{\"name\": " + JsonString(character.Name);
  AddField(out, "account", JsonString(character.Account));
  AddField(out, "class", JsonString(character.Class));
  AddField(out, "level", JsonString(character.Level));
  AddField(out, "notes", JsonString(character.Notes));
  std::string numbers = "[";
  for (std::size_t i = 0; i < character.Items.size(); ++i) {
    if (i > 0) numbers += ", ";
    numbers += std::to_string(character.Items[i]);
  }
  AddField(out, "items", numbers + "]");
  return out + "}";
}

std::string ResultJson(const FileLoad& file) { return file.result ? std::to_string(*file.result) : "null"; }

// One element per line, so that large catalogues stay readable and diffable.
template <typename List, typename ToJson>
std::string ArrayJson(const List& list, ToJson toJson) {
  if (list.empty()) return "[]";
  std::string out = "[\n";
  for (std::size_t i = 0; i < list.size(); ++i) {
    out += "  " + toJson(*list[i]);
    out += i + 1 < list.size() ? ",\n" : "\n";
  }
  return out + "]";
}

}  // namespace

int CmdDump(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
  const LoadedDir loaded = LoadDataDir(dir);
  std::string json = "{\"items_result\": " + ResultJson(loaded.items);
  AddField(json, "chars_result", ResultJson(loaded.chars));
  AddField(json, "items", ArrayJson(loaded.catalogue.ItemList, ItemJson));
  AddField(json, "characters", ArrayJson(loaded.catalogue.CharList, CharacterJson));
  json += "}\n";
  const bool written = WriteOut(json);
  ReportOpenFailures(loaded);
  return written ? loaded.Status() : kExitUnreadable;
}

}  // namespace kistora::cli
