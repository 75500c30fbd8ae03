// items.kdb from arbitrary bytes: loading never crashes nor reads or allocates
// beyond the file, and whatever was loaded survives a save and a reload whole.
#include <cstdint>

#include "fuzz/catalogue_diff.h"
#include "fuzz/fuzz_support.h"
#include "storage/database.h"
#include "storage/file_error.h"

using namespace kistora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Scratch& scratch = fuzz::Scratch::Get();
  scratch.Put("in.kdb", data, size);

  TCatalogue loaded;
  std::uint8_t result = 0;
  try {
    result = LoadItems(loaded, scratch.Path("in.kdb"));
  } catch (const EFileError& e) {
    fuzz::Fail("a readable file was refused:", e.what());
  }
  fuzz::Require(result <= kLoadDamaged, "unknown load result");
  if (result == kLoadBadMagic || result == kLoadBadVersion) {
    fuzz::Require(loaded.ItemList.empty(), "a refused file changed the items");
  }

  SaveItems(loaded, scratch.Path("out.kdb"));
  const std::string saved = scratch.Read("out.kdb");
  // Nothing is invented: the saved file is never longer than what was read
  // (a refused or cut header still saves the 12 bytes of an empty file).
  fuzz::Require(saved.size() <= std::max<std::size_t>(size, 12), "the save grew the file");

  TCatalogue reloaded;
  fuzz::Require(LoadItems(reloaded, scratch.Path("out.kdb")) == kLoadOk, "a saved file does not load cleanly");
  const std::string difference = check::ItemsDifference(loaded, reloaded);
  fuzz::Require(difference.empty(), "the reload differs:", difference);

  SaveItems(reloaded, scratch.Path("again.kdb"));
  fuzz::Require(scratch.Read("again.kdb") == saved, "a second save gives other bytes");
  return 0;
}
