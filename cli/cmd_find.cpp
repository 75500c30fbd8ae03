// kistora-cli find DIR QUERY... [--json]: the items the item database
// window's search finds for QUERY (words and conditions), one per line or as
// JSON, in number order.
#include <algorithm>
#include <string>
#include <vector>

#include "cli_support.h"
#include "commands.h"
#include "listing/item_holders.h"
#include "listing/item_search.h"
#include "model/cp1252.h"

namespace kistora::cli {

namespace {

// A name on one line of the listing: its tabs and line breaks as spaces.
std::string OnOneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
  return text;
}

std::string ItemLine(const TD2Item& item) {
  return std::to_string(item.Index) + "\t" + Cp1252ToUtf8(OnOneLine(item.Name)) + "\t" +
         Cp1252ToUtf8(QualityLabel(item.Quality)) + "\t" + std::to_string(item.Price) + "\n";
}

// heldBy is null when the characters could not be read.
std::string ItemJson(const TD2Item& item, const TCatalogue& catalogue, bool charactersRead) {
  std::string out = "{\"index\": " + std::to_string(item.Index) + ", \"name\": " + JsonString(item.Name) +
                    ", \"category\": " + JsonString(ListCategoryLabel(item)) +
                    ", \"quality\": " + JsonString(QualityLabel(item.Quality)) +
                    ", \"price\": " + std::to_string(item.Price) + ", \"heldBy\": ";
  if (!charactersRead) return out + "null}";
  out += "[";
  const std::vector<ItemHolder> holders = HoldersOf(catalogue.CharList, item.Index);
  for (std::size_t i = 0; i < holders.size(); ++i) {
    if (i > 0) out += ", ";
    out += "{\"name\": " + JsonString(holders[i].Name) + ", \"count\": " + std::to_string(holders[i].Count) + "}";
  }
  return out + "]}";
}

}  // namespace

int CmdFind(const CommandArgs& args) {
  // DIR is the first operand unless --data-dir names the folder; the others are the query.
  std::vector<std::string> operands = args.operands;
  std::optional<std::string> dirOperand;
  if (!args.dataDir && !operands.empty()) {
    dirOperand = operands.front();
    operands.erase(operands.begin());
  }
  if (!args.dataDir && !dirOperand) return UsageErrorFor(args, "find : il manque DOSSIER et la requête");
  if (operands.empty()) return UsageErrorFor(args, "find : il manque la requête");
  std::string dir;
  if (const auto problem = TakeDataDir(args, dirOperand, dir)) return UsageErrorFor(args, *problem);

  std::string typed;
  for (const std::string& operand : operands) typed += (typed.empty() ? "" : " ") + operand;
  ItemSearchQuery query(Utf8ToCp1252(typed));
  if (!query.Problem().empty()) {
    ComplainCp1252("find : condition illisible : " + query.Problem());
    return kExitBadQuery;
  }

  const LoadedDir loaded = LoadDataDir(dir);
  if (!loaded.items.result) {
    ReportOpenFailures(loaded);
    return kExitUnreadable;
  }
  WarnPartlyRead(loaded.items, "recherche dans ce qui a été lu");
  const bool charactersRead = loaded.chars.result.has_value();
  if (!charactersRead) {
    // perso: and libre cannot be answered without the characters; the rest can.
    Complain((query.DependsOnHolders() ? "" : "attention : ") + std::string("impossible d'ouvrir ") +
             loaded.chars.path + " : " + SystemErrorText(loaded.chars.error));
    if (query.DependsOnHolders()) return kExitUnreadable;
  } else if (*loaded.chars.result != 0) {
    Complain("attention : " + loaded.chars.path + " : " + ResultMeaning(*loaded.chars.result) +
             " ; les persos lus servent quand même");
  }
  query.ResolveHolders(loaded.catalogue.CharList);
  // perso:NOM naming no character finds nothing: say so, with the nearest name.
  if (charactersRead && !query.Problem().empty()) ComplainCp1252("find : " + query.Problem());

  std::vector<const TD2Item*> found;
  for (const auto& item : loaded.catalogue.ItemList) {
    if (item && query.Matches(*item)) found.push_back(item.get());
  }
  std::stable_sort(found.begin(), found.end(), [](const TD2Item* a, const TD2Item* b) { return a->Index < b->Index; });

  std::string out;
  if (args.flags.count("--json") != 0) {
    out = "[";
    for (std::size_t i = 0; i < found.size(); ++i) {
      out += (i > 0 ? ",\n " : "") + ItemJson(*found[i], loaded.catalogue, charactersRead);
    }
    out += "]\n";
  } else {
    for (const TD2Item* item : found) out += ItemLine(*item);
  }
  if (!WriteOut(out)) return kExitUnreadable;
  return found.empty() ? kExitNothingFound : kExitOk;
}

}  // namespace kistora::cli
