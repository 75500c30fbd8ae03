// kistora.ini from arbitrary bytes: reading never crashes, and the options it
// gave survive a write and a read back whole (every value read is already
// trimmed and free of "//", so nothing is lost on the way), with the previous
// file kept as the ".bak".
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "fuzz/options_diff.h"
#include "options/option_values.h"
#include "options/options_file.h"
#include "storage/file_error.h"

using namespace kistora;

namespace {

// The catalogue the options are read against: selectedchar names one of its
// characters (two differ only by case, so the last matching row wins), and
// lastitemindex is raised to its highest item number.
TCatalogue MakeCatalogue() {
  TCatalogue catalogue;
  for (const char* name : {"Zoe", "Bob le Bricoleur", "zoe", "\xC9lodie"}) {
    auto character = std::make_unique<TChar>();
    character->Name = name;
    catalogue.CharList.push_back(std::move(character));
  }
  for (std::int32_t index : {3, 70, -8}) {
    auto item = std::make_unique<TD2Ring>();
    item->Index = index;
    catalogue.ItemList.push_back(std::move(item));
  }
  return catalogue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch& scratch = fuzz::Scratch::Get();
  scratch.Put("in.ini", data, size);

  TCatalogue first = MakeCatalogue();
  OptionValues read;
  try {
    fuzz::Require(ReadOptionValues(scratch.Path("in.ini"), read, first), "an existing file was taken as missing");
  } catch (const EFileError& e) {
    fuzz::Fail("a readable file was refused:", e.what());
  }
  // A file without a single line never raised the counter; the main window
  // raises it before handing out a number anyway, and the written file always
  // has lines, so compare from the raised value.
  first.SyncLastItemIndex();

  const std::string out = scratch.Path("out.ini");
  const std::string previous = scratch.Read("out.ini");
  WriteOptions(out, BindOptionValues(read, first), "Kistora");
  fuzz::Require(scratch.Read("out.ini.bak") == previous, "the backup is not the previous file");
  const std::string written = scratch.Read("out.ini");

  TCatalogue second = MakeCatalogue();
  OptionValues reread;
  fuzz::Require(ReadOptionValues(out, reread, second), "the written file is missing");
  const std::string difference = check::OptionValuesDifference(read, reread);
  fuzz::Require(difference.empty(), "the options read back differ:", difference);
  fuzz::Require(first.LastItemIndex == second.LastItemIndex, "lastitemindex differs");
  fuzz::Require(first.DefaultAccount == second.DefaultAccount, "DefaultAccount differs");
  fuzz::Require(reread.ItemGPositionFromOptions, "the written file gave no item window position");
  fuzz::Require(OptionsFileText(BindOptionValues(reread, second), "Kistora") == written,
                "writing the options read back gives another file");
  return 0;
}
