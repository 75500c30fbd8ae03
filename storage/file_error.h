// The error raised when a file cannot be opened, read, created or kept. It
// carries what was being done, to which file, and why (errno); the sentence a
// player reads is composed where it is shown.
#pragma once

#include <stdexcept>
#include <string>

namespace kistora {

enum class FileAction { Open, Read, Create, Keep };

// The words before the file's name, in Windows-1252: "Impossible d'ouvrir le fichier " ...
std::string FileActionWords(FileAction action);

class EFileError : public std::runtime_error {
 public:
  // path is the file's name as given (the file system's bytes); error the errno behind it, 0 if none.
  EFileError(FileAction action, std::string path, int error)
      : std::runtime_error(FileActionWords(action) + path), Action(action), Path(std::move(path)), Errno(error) {}
  FileAction Action;
  std::string Path;
  int Errno;
};

}  // namespace kistora
