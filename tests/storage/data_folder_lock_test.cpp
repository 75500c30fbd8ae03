// One program per data folder: the lock is exclusive, names its owner, and is
// free again once released.
#include "storage/data_folder_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core_test_support.h"

namespace kistora {
namespace {

using namespace testing;

TEST(DataFolderLock, HeldByOneOwnerAtATimeAndFreeOnceReleased) {
  TempDir dir;
  DataFolderLock first;
  EXPECT_EQ(first.TryAcquire(dir.Path()).State, LockState::Held);
  EXPECT_TRUE(first.Held());
  EXPECT_EQ(first.TryAcquire(dir.Path()).State, LockState::Held) << "asking again changes nothing";
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  EXPECT_EQ(ReadBytes(DataFolderLock::LockFilePath(dir.Path())), std::to_string(::getpid()) + " " + host + "\n");

  DataFolderLock second;
  const LockAttempt busy = second.TryAcquire(dir.Path() + "/");
  EXPECT_EQ(busy.State, LockState::Busy);
  EXPECT_EQ(busy.OtherPid, ::getpid());
  EXPECT_FALSE(second.Held());

  first.Release();
  EXPECT_FALSE(first.Held());
  EXPECT_EQ(second.TryAcquire(dir.Path()).State, LockState::Held);
  {
    DataFolderLock third;
    EXPECT_EQ(third.TryAcquire(dir.Path()).State, LockState::Busy);
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"kistora.lock"});
}

TEST(DataFolderLock, ASyncToolCannotTakeItAwayAndAnotherHostsFileNeverRefuses) {
  TempDir dir;
  DataFolderLock running;
  ASSERT_EQ(running.TryAcquire(dir.Path()).State, LockState::Held);
  // A sync tool puts the other machine's kistora.lock in place by a rename.
  WriteBytes(dir.File(".incoming"), "4242 portable\n");
  ASSERT_EQ(::rename(dir.File(".incoming").c_str(), DataFolderLock::LockFilePath(dir.Path()).c_str()), 0);
  DataFolderLock second;
  const LockAttempt busy = second.TryAcquire(dir.Path());
  EXPECT_EQ(busy.State, LockState::Busy);
  EXPECT_EQ(busy.OtherPid, ::getpid()) << "the owner on this machine, not the file's";
  // Another path to the same folder is the same folder.
  ASSERT_EQ(::symlink(dir.Path().c_str(), (dir.Path() + "-link").c_str()), 0);
  EXPECT_EQ(second.TryAcquire(dir.Path() + "-link").State, LockState::Busy);
  ::unlink((dir.Path() + "-link").c_str());
  // Gone from this machine, the other host's file keeps nobody out.
  running.Release();
  WriteBytes(DataFolderLock::LockFilePath(dir.Path()), "4242 portable\n");
  EXPECT_EQ(second.TryAcquire(dir.Path()).State, LockState::Held);
}

TEST(DataFolderLock, ALockFileThatCannotBeUsedIsAnError) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("kistora.lock").c_str(), 0777), 0);
  DataFolderLock lock;
  LockAttempt attempt = lock.TryAcquire(dir.Path());
  EXPECT_EQ(attempt.State, LockState::Error);
  EXPECT_NE(attempt.Errno, 0);
  attempt = lock.TryAcquire(dir.File("no-such-folder"));
  EXPECT_EQ(attempt.State, LockState::Error);
  EXPECT_EQ(attempt.Errno, ENOENT);
  EXPECT_FALSE(lock.Held());
}

}  // namespace
}  // namespace kistora
