// A change of the catalogue in French words, as the history lists it and the
// Édition menu names it: "Suppression de l'objet 1 204 « Épée de cristal »",
// "Ajout de l'objet 17 à Mule01"... (Windows-1252; numbers grouped by three
// with a no-break space, as the count lines write them).
#pragma once

#include <string>

#include "model/catalogue_edit.h"

namespace kistora {

// The words for edit, just done on catalogue (the names are read from it).
std::string EditText(const CatalogueEdit& edit, const TCatalogue& catalogue);

}  // namespace kistora
