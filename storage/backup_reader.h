// Reads the days of a data folder's backups on a thread of its own, one day
// at a time, so that a window lists them at once and learns each day's state
// as it comes. A day asked for whole is read before the days only checked, and
// its catalogue handed over (for a preview and a restore); a day only checked
// gives its counts and state, and its catalogue is let go on that thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "storage/backup_restore.h"

namespace kistora {

// What the backups folder tells of a day without reading its files: their
// sizes, none for a file that is missing.
struct BackupDayFiles {
  std::string Date;     // "YYYY-MM-DD"
  std::string Version;  // "" for the day's own; a sync tool's other version of the day
  std::optional<std::uint64_t> ItemsBytes;
  std::optional<std::uint64_t> CharsBytes;

  // One of the two files is missing: the day cannot be restored, whatever the other holds.
  bool Incomplete() const { return !ItemsBytes || !CharsBytes; }
};

// The days of dataDir's backups folder with their versions (as BackupVersions
// lists them), most recent first: a directory listing and a stat per file.
std::vector<BackupDayFiles> ListBackupDays(const std::string& dataDir);

class BackupReader {
 public:
  // Called on the reader's thread for each day read: how it read, and its
  // catalogue when it was asked for whole (null when only checked).
  using Done = std::function<void(const BackupDay& day, std::unique_ptr<TCatalogue> catalogue)>;

  BackupReader(std::string dataDir, Done done);
  // Drops what waits, then waits for the day being read (its Done is still called).
  ~BackupReader();
  BackupReader(const BackupReader&) = delete;
  BackupReader& operator=(const BackupReader&) = delete;

  // A day's version, "" for the day's own.
  struct Day {
    std::string Date;
    std::string Version;
    bool operator==(const Day&) const = default;
  };
  // Queues the days to check, after those waiting.
  void Check(const std::vector<Day>& days);
  // Reads day whole before any day only checked (a check of it waiting is dropped: this one says it too).
  void ReadWhole(const Day& day);
  // Drops every day waiting; the day being read finishes.
  void Cancel();
  // Waits until nothing waits and nothing is being read.
  void WaitIdle();

 private:
  struct Request {
    Day Wanted;
    bool Whole = false;
  };
  void Loop();

  const std::string dataDir_;
  const Done done_;
  std::mutex mutex_;  // guards the members below it
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Request> waiting_;
  bool reading_ = false;
  bool stop_ = false;
  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace kistora
