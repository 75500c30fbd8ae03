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
  EXPECT_EQ(ReadBytes(DataFolderLock::LockFilePath(dir.Path())), std::to_string(::getpid()) + "\n");

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
