// Another version of a file kept beside it under a name that says why
// (items.kdb.damaged, items.kdb.conflict ...), never over an earlier copy: the
// first of base, base.2, base.3 ... that names nothing. The copy is written to
// a temporary file, flushed to disk and only then given its name, so a killed
// or failed copy never leaves a partial file under that name.
#pragma once

#include <string>

namespace kistora {

// The first of base, base.2 ... base.9999 that names nothing at all (a
// dangling link counts as taken); empty when every one is taken.
std::string FreeNumberedName(const std::string& base);

// Copies source under FreeNumberedName(base) and returns that name. A failed
// copy leaves no file behind and raises EFileError "Impossible de conserver le
// fichier <source>".
std::string KeepCopyUnderFreeName(const std::string& source, const std::string& base);

}  // namespace kistora
