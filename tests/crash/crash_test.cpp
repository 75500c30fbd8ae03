// Kills real saves at random points, a few hundred times, and checks after each
// kill that nothing is lost: every database file (and every backup) loads
// whole, the next start leaves no temporary file, and no change older than the
// autosave delay is missing. The saves killed are those of the program's save
// path (autosave_driver: saving as you go and the close) and of kistora-cli
// resave, taking turns on one data folder of 100,000 items.
//
// Usage: crash_test AUTOSAVE_DRIVER KISTORA_CLI [ROUNDS]
#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "storage/database.h"
#include "storage/file_identity.h"
#include "storage/stale_temporaries.h"

namespace kistora {
namespace {

constexpr int kItems = 100000;
constexpr long long kAutosaveDelayNs = 1000000000LL;  // a change is on disk within a second
constexpr long kChangesPerRun = 120;

long long MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

std::set<std::string> Entries(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* listing = ::opendir(dir.c_str())) {
    while (const dirent* entry = ::readdir(listing)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    ::closedir(listing);
  }
  return names;
}

pid_t Start(const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::freopen("/dev/null", "w", stdout);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

// Kills pid after delay unless it ended before; returns its wait status.
int KillAfter(pid_t pid, std::chrono::microseconds delay, bool& killed, long long& killedAt) {
  std::this_thread::sleep_for(delay);
  killedAt = MonotonicNs();
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  return status;
}

struct Checker {
  std::string dir;
  std::set<long> confirmedItems;                       // changes found on disk once: they must stay
  std::map<std::string, FileIdentity> backupsChecked;  // backups already found whole, as they were then
  long confirmedNotes = -1;
  long filesChecked = 0;
  long changesChecked = 0;
  std::vector<std::string> problems;

  void Fail(const std::string& what) {
    if (problems.size() < 20) std::fprintf(stderr, "crash test: %s\n", what.c_str());
    problems.push_back(what);
  }

  // After a kill: what the next start sees.
  void Check(const std::map<long, long long>& logged, long long killedAt) {
    RemoveStaleTemporaries(dir);  // the next start does this first
    for (const std::string& folder : {dir, dir + "/backups"}) {
      for (const std::string& name : Entries(folder)) {
        if (name.rfind(".kistora", 0) == 0 || name.find(".tmp") != std::string::npos)
          Fail("a temporary file stays: " + folder + "/" + name);
        if (name.find(".damaged") != std::string::npos || name.find(".conflict") != std::string::npos)
          Fail("an unexpected copy: " + folder + "/" + name);
      }
    }
    for (const std::string& name : Entries(dir + "/backups")) {
      const FileIdentity identity = IdentityOf(dir + "/backups/" + name);
      if (backupsChecked[name] == identity) continue;  // unchanged since it was found whole
      backupsChecked[name] = identity;
      TCatalogue backup;
      const bool items = name.rfind("items-", 0) == 0;
      const std::uint8_t result =
          items ? LoadItems(backup, dir + "/backups/" + name) : LoadChars(backup, dir + "/backups/" + name);
      ++filesChecked;
      if (result != kLoadOk) Fail("backup not whole: " + name);
    }
    TCatalogue catalogue;
    try {
      if (LoadItems(catalogue, dir + "/items.kdb") != kLoadOk) Fail("items.kdb not whole");
      if (LoadChars(catalogue, dir + "/chars.kdb") != kLoadOk) Fail("chars.kdb not whole");
    } catch (const std::exception& e) {
      Fail(std::string("a database is missing: ") + e.what());
      return;
    }
    filesChecked += 2;
    if (catalogue.ItemList.size() < static_cast<std::size_t>(kItems)) Fail("items lost");
    std::set<long> present;
    for (const auto& item : catalogue.ItemList) {
      const std::string name = item->Name;
      if (name.rfind("chg ", 0) == 0) present.insert(std::stol(name.substr(4)));
    }
    const long notes = catalogue.CharList.empty() || catalogue.CharList[0]->Notes.empty()
                           ? -1
                           : std::stol(catalogue.CharList[0]->Notes);
    for (const auto& [n, at] : logged) {
      if (killedAt - at < kAutosaveDelayNs) continue;  // may still have been on its way to the disk
      ++changesChecked;
      if (n % 2 == 0) {
        if (present.count(n) == 0) Fail("change " + std::to_string(n) + " (an item) lost");
        confirmedItems.insert(n);
      } else {
        if (notes < n) Fail("change " + std::to_string(n) + " (a character) lost");
        confirmedNotes = std::max(confirmedNotes, n);
      }
    }
    for (const long n : confirmedItems) {
      if (present.count(n) == 0) Fail("change " + std::to_string(n) + " lost after it reached the disk");
    }
    if (notes < confirmedNotes) Fail("the character's notes went back");
  }
};

std::map<long, long long> ReadLog(const std::string& path) {
  std::map<long, long long> logged;
  std::ifstream in(path);
  long n = 0;
  long long at = 0;
  while (in >> n >> at) logged[n] = at;
  return logged;
}

void MakeFolder(const std::string& dir) {
  TCatalogue catalogue;
  for (int i = 1; i <= kItems; ++i) {
    auto item = CreateItemFromTag(static_cast<std::uint8_t>(i % 12));
    item->Index = i;
    item->Name = "Objet " + std::to_string(i);
    item->MagicProps = {"+" + std::to_string(i % 40) + " Force", "R\xE9sistance au feu +20%"};
    catalogue.ItemList.push_back(std::move(item));
  }
  for (int i = 0; i < 20; ++i) {
    auto character = std::make_unique<TChar>();
    character->Name = "Perso" + std::to_string(i);
    for (int k = 1; k <= 50; ++k) character->AddItem(k * 7 + i);
    catalogue.CharList.push_back(std::move(character));
  }
  SaveItems(catalogue, dir + "/items.kdb");
  SaveChars(catalogue, dir + "/chars.kdb");
}

int Run(const std::string& driver, const std::string& cli, int rounds) {
  char pattern[] = "/tmp/kistora-crash-XXXXXX";
  const std::string scratch = ::mkdtemp(pattern);
  const std::string dir = scratch + "/data";
  const std::string log = scratch + "/changes.log";
  ::mkdir(dir.c_str(), 0777);
  MakeFolder(dir);

  Checker checker;
  checker.dir = dir;
  std::mt19937 rng(static_cast<unsigned>(::time(nullptr)));
  // Half the program's runs are killed early (start-up, the first saves), half
  // late enough that their first changes are older than the autosave delay.
  std::uniform_int_distribution<int> earlyDelayUs(50000, 600000);
  std::uniform_int_distribution<int> lateDelayUs(1200000, 1800000);
  std::uniform_int_distribution<int> resaveDelayUs(0, 250000);
  long next = 0;
  int driverKills = 0, resaveKills = 0, finished = 0;
  for (int round = 0; round < rounds; ++round) {
    bool killed = false;
    long long killedAt = 0;
    std::map<long, long long> logged;
    if (round % 5 == 0 || round % 5 == 3) {  // two rounds in five kill the program's save path
      ::unlink(log.c_str());
      const pid_t pid = Start({driver, dir, std::to_string(next), std::to_string(kChangesPerRun), log});
      const int status = KillAfter(
          pid, std::chrono::microseconds(round % 2 == 0 ? earlyDelayUs(rng) : lateDelayUs(rng)), killed, killedAt);
      if (!killed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        checker.Fail("the driver failed with status " + std::to_string(status));
      logged = ReadLog(log);
      if (!logged.empty()) next = logged.rbegin()->first + 10;  // unlogged changes may be on disk: never reuse them
      driverKills += killed;
    } else {
      const pid_t pid = Start({cli, "resave", dir});
      const int status = KillAfter(pid, std::chrono::microseconds(resaveDelayUs(rng)), killed, killedAt);
      if (!killed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        checker.Fail("resave failed with status " + std::to_string(status));
      resaveKills += killed;
    }
    finished += !killed;
    checker.Check(logged, killedAt);
  }
  std::printf(
      "crash test: %d kills (%d of saving as you go and the close, %d of kistora-cli resave), %d runs ended "
      "before their kill, %ld files checked, %ld changes older than the autosave delay checked, %zu problems\n",
      driverKills + resaveKills, driverKills, resaveKills, finished, checker.filesChecked, checker.changesChecked,
      checker.problems.size());
  const std::string command = "rm -rf '" + scratch + "'";
  (void)std::system(command.c_str());
  return checker.problems.empty() && checker.changesChecked > 0 ? 0 : 1;
}

}  // namespace
}  // namespace kistora

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: crash_test AUTOSAVE_DRIVER KISTORA_CLI [ROUNDS]\n", stderr);
    return 64;
  }
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 220;
  return kistora::Run(argv[1], argv[2], rounds);
}
