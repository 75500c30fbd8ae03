#include "storage/file_error.h"

namespace kistora {

std::string FileActionWords(FileAction action) {
  switch (action) {
    case FileAction::Open:
      return "Impossible d'ouvrir le fichier ";
    case FileAction::Read:
      return "Impossible de lire le fichier ";
    case FileAction::Create:
      return "Impossible de cr\xE9"
             "er le fichier ";
    case FileAction::Keep:
      return "Impossible de conserver le fichier ";
  }
  return {};
}

}  // namespace kistora
