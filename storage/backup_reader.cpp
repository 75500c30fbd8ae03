#include "storage/backup_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include "storage/daily_backups.h"

namespace kistora {

namespace {

std::optional<std::uint64_t> SizeOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

}  // namespace

std::vector<BackupDayFiles> ListBackupDays(const std::string& dataDir) {
  const std::string folder = BackupsFolderOf(dataDir) + "/";
  // A part an other version does not have is the day's own, as ReadBackupDay reads it.
  const auto sizeOf = [&](const char* database, const std::string& date, const std::string& version) {
    const std::optional<std::uint64_t> size = SizeOf(folder + BackupFileName(database, date, version));
    return size || version.empty() ? size : SizeOf(folder + BackupFileName(database, date));
  };
  std::vector<BackupDayFiles> days;
  for (const auto& [date, version] : BackupVersions(dataDir)) {
    days.push_back({date, version, sizeOf("items.kdb", date, version), sizeOf("chars.kdb", date, version)});
  }
  return days;
}

BackupReader::BackupReader(std::string dataDir, Done done)
    : dataDir_(std::move(dataDir)), done_(std::move(done)), thread_([this] { Loop(); }) {}

BackupReader::~BackupReader() {
  {
    const std::lock_guard lock(mutex_);
    waiting_.clear();
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void BackupReader::Check(const std::vector<Day>& days) {
  {
    const std::lock_guard lock(mutex_);
    for (const Day& day : days) waiting_.push_back({day, false});
  }
  wake_.notify_one();
}

void BackupReader::ReadWhole(const Day& day) {
  {
    const std::lock_guard lock(mutex_);
    std::erase_if(waiting_, [&](const Request& request) { return request.Wanted == day; });
    waiting_.push_front({day, true});
  }
  wake_.notify_one();
}

void BackupReader::Cancel() {
  const std::lock_guard lock(mutex_);
  waiting_.clear();
}

void BackupReader::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return waiting_.empty() && !reading_; });
}

void BackupReader::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
    if (waiting_.empty()) break;  // stopping
    const Request request = waiting_.front();
    waiting_.pop_front();
    reading_ = true;
    lock.unlock();
    auto catalogue = std::make_unique<TCatalogue>();
    const BackupDay day = ReadBackupDay(dataDir_, request.Wanted.Date, *catalogue, request.Wanted.Version);
    if (!request.Whole) catalogue.reset();  // a million items go here, not on the window's thread
    done_(day, std::move(catalogue));
    lock.lock();
    reading_ = false;
    idle_.notify_all();
  }
}

}  // namespace kistora
