// The error raised when a file cannot be opened, created or written.
#pragma once

#include <stdexcept>
#include <string>

namespace kistora {

class EFileError : public std::runtime_error {
 public:
  // message is the player-facing text (Windows-1252); error is the errno behind it, 0 if none.
  EFileError(const std::string& message, int error) : std::runtime_error(message), Errno(error) {}
  int Errno;
};

}  // namespace kistora
