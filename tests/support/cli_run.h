// Runs a command line through the shell and keeps what it printed, for the
// tests that start kistora-cli as a separate process.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "core_test_support.h"

namespace kistora::testing {

struct CliRun {
  int status = -1;  // the exit status, -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// s between single quotes, for the shell.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs command with its standard output and error sent to files, then read back.
inline CliRun RunCaptured(const std::string& command) {
  TempDir capture;
  const int raw =
      std::system((command + " >" + Quote(capture.File("out")) + " 2>" + Quote(capture.File("err"))).c_str());
  CliRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadBytes(capture.File("out"));
  run.err = ReadBytes(capture.File("err"));
  return run;
}

}  // namespace kistora::testing
