// chars.kdb from arbitrary bytes: loading never crashes nor reads or allocates
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
    result = LoadChars(loaded, scratch.Path("in.kdb"));
  } catch (const EFileError& e) {
    fuzz::Fail("a readable file was refused:", e.what());
  }
  fuzz::Require(result <= kLoadDamaged, "unknown load result");
  if (result == kLoadBadMagic || result == kLoadBadVersion) {
    fuzz::Require(loaded.CharList.empty(), "a refused file changed the characters");
  }

  SaveChars(loaded, scratch.Path("out.kdb"));
  const std::string saved = scratch.Read("out.kdb");
  fuzz::Require(saved.size() <= std::max<std::size_t>(size, 12), "the save grew the file");

  TCatalogue reloaded;
  fuzz::Require(LoadChars(reloaded, scratch.Path("out.kdb")) == kLoadOk, "a saved file does not load cleanly");
  const std::string difference = check::CharsDifference(loaded, reloaded);
  fuzz::Require(difference.empty(), "the reload differs:", difference);

  SaveChars(reloaded, scratch.Path("again.kdb"));
  fuzz::Require(scratch.Read("again.kdb") == saved, "a second save gives other bytes");
  return 0;
}
