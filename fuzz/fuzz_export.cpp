// The export of a catalogue and settings made up from the fuzz bytes. The
// page or list written to memory must hold exactly the lines the settings and
// the catalogue call for (counted here independently of the writers), the
// sections must hold exactly the items that pass the options, in the export's
// order, and the export run must put the same bytes in its file, keeping the
// previous file as the ".bak".
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "export/export_dates.h"
#include "export/export_run.h"
#include "export/export_selection.h"
#include "export/export_writer.h"
#include "fuzz/fuzz_support.h"
#include "model/text_utils.h"

using namespace kistora;

namespace {

// Texts may hold CR and LF (the writers escape nothing, so lines cannot be
// counted then) or not, as the first byte says.
struct Maker {
  FuzzedDataProvider& in;
  bool plainLines;

  std::string Text(std::size_t maxLength) {
    std::string s = in.ConsumeRandomLengthString(maxLength);
    if (plainLines)
      std::replace_if(
          s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return s;
  }
  std::int32_t Number() {
    return in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>() : in.ConsumeIntegralInRange<std::int32_t>(-2, 9);
  }
};

ExportSettings MakeSettings(Maker& m) {
  FuzzedDataProvider& in = m.in;
  ExportSettings s;
  s.Format = in.ConsumeBool() ? ExportFormat::Html : ExportFormat::Ascii;
  s.ShowUniques = in.ConsumeBool();
  s.ShowSets = in.ConsumeBool();
  s.ShowRares = in.ConsumeBool();
  s.ShowCrafted = in.ConsumeBool();
  s.ShowMagics = in.ConsumeBool();
  s.ShowNormals = in.ConsumeBool();
  s.MaskPrice0 = in.ConsumeBool();
  s.Scope = static_cast<ExportScope>(in.ConsumeIntegralInRange(0, 2));
  s.ShowPrice = in.ConsumeBool();
  s.PTCol = in.ConsumeIntegral<TColor>();
  s.STCol = in.ConsumeIntegral<TColor>();
  s.PageCol = in.ConsumeIntegral<TColor>();
  s.TabCol = in.ConsumeIntegral<TColor>();
  s.TabBorder = in.ConsumeBool();
  s.DoShellExec = in.ConsumeBool();
  s.IICol = in.ConsumeIntegral<TColor>();
  s.IIPrice = m.Number();
  s.UseBascule = in.ConsumeBool();
  s.ShowMajDate = in.ConsumeBool();
  s.SortBy = static_cast<ExportSort>(in.ConsumeIntegralInRange(0, 2));
  s.TrierSets = in.ConsumeBool();
  s.PageTitle = m.Text(40);
  s.Sign = m.Text(40);
  return s;
}

void AddItems(Maker& m, TCatalogue& catalogue) {
  FuzzedDataProvider& in = m.in;
  const int count = in.ConsumeIntegralInRange(0, 24);
  for (int i = 0; i < count && in.remaining_bytes() > 0; ++i) {
    auto item = CreateItemFromTag(in.ConsumeIntegralInRange<std::uint8_t>(0, 12));
    item->Index = m.Number();
    item->Quality = in.ConsumeIntegralInRange<std::uint8_t>(0, 7);
    item->Price = m.Number();
    item->CLvl = m.Number();
    item->Str = m.Number();
    item->Dex = m.Number();
    item->Dur = m.Number();
    item->MaxDur = m.Number();
    if (auto* def = dynamic_cast<TD2DefItem*>(item.get())) def->Def = m.Number();
    if (auto* shield = dynamic_cast<TD2Shield*>(item.get())) shield->Parade = m.Number();
    if (auto* weapon = dynamic_cast<TD2Weapon*>(item.get())) {
      weapon->MinDmg = m.Number();
      weapon->MaxDmg = m.Number();
      weapon->Speed = m.Number();
    }
    const int props = in.ConsumeIntegralInRange(0, 3);
    for (int p = 0; p < props; ++p) item->MagicProps.push_back(m.Text(20));
    item->Name = m.Text(48);
    item->Notes = m.Text(24);
    catalogue.ItemList.push_back(std::move(item));
  }
}

void AddChars(Maker& m, TCatalogue& catalogue) {
  FuzzedDataProvider& in = m.in;
  const int count = in.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < count; ++i) {
    auto character = std::make_unique<TChar>();
    const int held = in.ConsumeIntegralInRange(0, 8);
    for (int k = 0; k < held; ++k) character->AddItem(m.Number());
    catalogue.CharList.push_back(std::move(character));
  }
}

// ---- What the options call for, worked out without the writers -------------

int SectionOf(int quality) {
  static const int kSections[6] = {3, 3, 2, 2, 1, 0};
  return quality >= 0 && quality <= 5 ? kSections[quality] : -1;
}

bool Wanted(const ExportSettings& s, const TCatalogue& catalogue, int selectedRow, const TD2Item& item) {
  if (item.Price == 0 && s.MaskPrice0) return false;
  const bool boxes[6] = {s.ShowNormals, s.ShowMagics, s.ShowRares, s.ShowCrafted, s.ShowSets, s.ShowUniques};
  if (item.Quality > 5 || !boxes[item.Quality]) return false;
  if (s.Scope == ExportScope::AllItems) return true;
  for (std::size_t row = 0; row < catalogue.CharList.size(); ++row) {
    if (s.Scope == ExportScope::SelectedChar && static_cast<int>(row) != selectedRow) continue;
    if (catalogue.CharList[row]->HoldsItem(item.Index)) return true;
  }
  return false;
}

std::size_t ItemLines(const ExportSettings& s, const TD2Item& item) {
  if (s.Format == ExportFormat::Ascii) return 1;
  std::size_t lines = 4 + (s.ShowPrice ? 1 : 0);  // <TR>, category, notes, </TR>
  if (TrimSpaces(item.Name).empty() || !s.UseBascule) return lines + 1;
  const bool weapon = dynamic_cast<const TD2Weapon*>(&item) != nullptr;
  const bool defensive = dynamic_cast<const TD2DefItem*>(&item) != nullptr;
  const bool shield = dynamic_cast<const TD2Shield*>(&item) != nullptr;
  const std::size_t characteristics = (weapon ? 2 : 0) + (defensive ? 1 : 0) + (shield ? 1 : 0) + (item.MaxDur > 0) +
                                      (item.Dex > 0) + (item.Str > 0) + (item.CLvl > 0);
  return lines + 2 + characteristics + (characteristics > 0 ? 1 : 0) + item.MagicProps.size() + 2;
}

std::size_t CountLines(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Maker m{in, in.ConsumeBool()};
  const ExportSettings settings = MakeSettings(m);
  TCatalogue catalogue;
  AddChars(m, catalogue);
  AddItems(m, catalogue);
  const int selectedRow = in.ConsumeIntegralInRange<int>(-1, static_cast<int>(catalogue.CharList.size()));

  std::tm now{};
  now.tm_year = 126;
  now.tm_mon = 11;
  now.tm_mday = 6;
  now.tm_hour = 17;
  now.tm_min = 55;
  now.tm_sec = 3;
  ::timegm(&now);

  const ExportSelection selection(settings, catalogue, selectedRow);
  StringSink sink;
  ExportWriter writer(selection, sink);
  writer.WritePage(FormatExportDates(now));
  const std::string& page = sink.Text;
  fuzz::Require(page.size() >= 2 && page.compare(page.size() - 2, 2, "\r\n") == 0, "the last line has no CR LF");

  // The sections: exactly the wanted items, in database order among equals.
  std::vector<const TD2Item*> wanted[4];
  for (const auto& item : catalogue.ItemList) {
    if (Wanted(settings, catalogue, selectedRow, *item)) wanted[SectionOf(item->Quality)].push_back(item.get());
  }
  std::size_t exported = 0;
  std::size_t expectedLines =
      settings.Format == ExportFormat::Html ? 11 + (settings.UseBascule ? 22 : 0) + (settings.ShowMajDate ? 1 : 0) : 4;
  if (!TrimSpaces(settings.Sign).empty()) ++expectedLines;
  for (int s = 0; s < 4; ++s) {
    const auto& got = selection.SectionItems(s);
    std::vector<const TD2Item*> sortedWanted = wanted[s];
    std::stable_sort(sortedWanted.begin(), sortedWanted.end(),
                     [&](const TD2Item* a, const TD2Item* b) { return selection.CompareExportItems(*a, *b) < 0; });
    fuzz::Require(got == sortedWanted, "a section holds other items or another order");
    exported += got.size();
    if (got.empty()) continue;
    expectedLines += settings.Format == ExportFormat::Html ? 6 + (settings.ShowPrice ? 1 : 0) : 1;
    for (const TD2Item* item : got) expectedLines += ItemLines(settings, *item);
    if (s < 3) ++expectedLines;
  }
  if (settings.Format == ExportFormat::Html) {
    fuzz::Require(static_cast<std::size_t>(writer.RowNumber()) == exported, "row numbers skip or repeat");
  }
  if (m.plainLines) {
    fuzz::Require(CountLines(page) == expectedLines, "wrong number of lines");
    fuzz::Require(std::count(page.begin(), page.end(), '\n') == static_cast<std::ptrdiff_t>(expectedLines) &&
                      std::count(page.begin(), page.end(), '\r') == static_cast<std::ptrdiff_t>(expectedLines),
                  "a lone CR or LF");
  }

  // The run: same bytes in the file, the previous file in the backup.
  const fuzz::Scratch& scratch = fuzz::Scratch::Get();
  ExportSettings toFile = settings;
  toFile.FileName = scratch.Path("export.out");
  const std::string previous = scratch.Read("export.out");
  const ExportResult result = RunExport(toFile, catalogue, selectedRow, now);
  const bool noSelection = selectedRow < 0 || selectedRow >= static_cast<int>(catalogue.CharList.size());
  if (settings.Scope == ExportScope::SelectedChar && noSelection) {
    fuzz::Require(result.Status == ExportStatus::NoSelectedChar, "ran without a selected character");
    fuzz::Require(scratch.Read("export.out") == previous, "the file changed without a selected character");
    return 0;
  }
  fuzz::Require(result.Status == ExportStatus::Written, "the run failed:", result.Message);
  fuzz::Require(result.OpenWithShell == settings.DoShellExec, "wrong shell request");
  fuzz::Require(scratch.Read("export.out") == page, "the file differs from the page written to memory");
  fuzz::Require(scratch.Read("export.out.bak") == previous, "the backup is not the previous file");
  return 0;
}
