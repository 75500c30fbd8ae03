// kistora-cli stats [DIR] [--json]: the statistics of the whole item database
// (by quality, category and character, and the totals) as the statistics
// window counts them: tab-separated as its copy gives them, or as JSON.
#include <string>
#include <vector>

#include "cli_support.h"
#include "commands.h"
#include "listing/item_stats.h"
#include "model/cp1252.h"

namespace kistora::cli {

namespace {

std::string TotalsJson(const ItemTotals& totals) {
  return "{\"items\": " + std::to_string(totals.Count) + ", \"value\": " + std::to_string(totals.Value) + "}";
}

std::string GroupsJson(const std::vector<StatsGroup>& groups) {
  std::string out = "[";
  for (std::size_t i = 0; i < groups.size(); ++i) {
    out += i == 0 ? "\n    " : ",\n    ";
    out += "{\"label\": " + JsonString(groups[i].Label) + ", \"items\": " + std::to_string(groups[i].Totals.Count) +
           ", \"value\": " + std::to_string(groups[i].Totals.Value) + "}";
  }
  return out + (groups.empty() ? "]" : "\n  ]");
}

std::string StatsJson(const ItemStats& stats) {
  std::string out = "{\n  \"items\": " + std::to_string(stats.Counted.Count);
  out += ",\n  \"value\": " + std::to_string(stats.Counted.Value);
  out += ",\n  \"mean_price\": " + std::to_string(stats.MeanPrice());
  out += ",\n  \"highest_price\": " + (stats.HighestPrice ? std::to_string(*stats.HighestPrice) : "null");
  out += ",\n  \"price_zero\": " + std::to_string(stats.AtPriceZero);
  out += ",\n  \"by_quality\": " + GroupsJson(stats.ByQuality);
  out += ",\n  \"by_category\": " + GroupsJson(stats.ByCategory);
  out += ",\n  \"by_character\": " + GroupsJson(stats.ByCharacter);
  out += ",\n  \"held_by_nobody\": " + TotalsJson(stats.HeldByNobody);
  return out + "\n}\n";
}

}  // namespace

int CmdStats(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
  const LoadedDir loaded = LoadDataDir(dir);
  if (!loaded.items.result) {
    ReportOpenFailures(loaded);
    return kExitUnreadable;
  }
  const ItemStats stats = CountItemStats(loaded.catalogue, ItemFilter{});
  const bool json = args.flags.count("--json") != 0;
  const bool written = WriteOut(json ? StatsJson(stats) : Cp1252ToUtf8(ItemStatsText(stats)));
  ReportOpenFailures(loaded);
  return written ? loaded.Status() : kExitUnreadable;
}

}  // namespace kistora::cli
