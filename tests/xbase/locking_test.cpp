// Locks between two opens of one table, checked against what the kernel reports for the lock
// regions (asked through a third open with F_OFD_GETLK), the retry policy, and the lock
// state of a work area.
#include "xbase/locking.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core_test_support.h"
#include "xbase/dbf_file.h"

namespace {

using namespace core_test;

// True when some other open holds a lock on any byte of the region.
bool RegionLockedByOthers(const std::string& path, std::uint64_t offset, std::uint64_t length) {
  const int fd = ::open(path.c_str(), O_RDWR);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(offset);
  lock.l_len = static_cast<off_t>(length);
  const int rc = ::fcntl(fd, F_OFD_GETLK, &lock);
  ::close(fd);
  return rc == 0 && lock.l_type != F_UNLCK;
}

class LockingTest : public CoreFixture {
 protected:
  // A shared table of one C 19 field: header 65 bytes, records 20 bytes, three records, open
  // in areas 1 and 2.
  void SharedTableInTwoAreas() {
    Select(1);
    ASSERT_TRUE(CreateDbf(Path("t.dbf"), {{"NAME", 'C', 19, 0}}, 0, false)) << XbaseErrorMessage;
    ASSERT_TRUE(ALock());
    AppendNamed({"a", "b", "c"});
    Unlock();
    Select(2);
    ASSERT_TRUE(UseDbf(Path("t.dbf"), false)) << XbaseErrorMessage;
  }
};

TEST_F(LockingTest, AppendLockExcludesTheOtherOpen) {
  SharedTableInTwoAreas();
  Select(1);
  EXPECT_TRUE(ALock());
  EXPECT_TRUE(RegionLockedByOthers(Path("t.dbf"), LockBase + 1, 1));
  EXPECT_FALSE(RegionLockedByOthers(Path("t.dbf"), LockBase, 1));
  Select(2);
  EXPECT_FALSE(ALock());
  EXPECT_EQ(CurrentWorkArea()->lockState, kLockNone);
  Select(1);
  Unlock();
  Select(2);
  EXPECT_TRUE(ALock());
}

TEST_F(LockingTest, RecordLocksLieBehindTheLockBase) {
  SharedTableInTwoAreas();
  Select(1);
  EXPECT_EQ(CurrentWorkArea()->headerLength, 65);
  EXPECT_EQ(CurrentWorkArea()->recordLength, 20);
  ASSERT_TRUE(RLock(1));
  ASSERT_TRUE(RLock(3));
  EXPECT_TRUE(RegionLockedByOthers(Path("t.dbf"), LockBase + 65, 20));
  EXPECT_TRUE(RegionLockedByOthers(Path("t.dbf"), LockBase + 105, 20));
  EXPECT_FALSE(RegionLockedByOthers(Path("t.dbf"), LockBase + 85, 20));
  EXPECT_FALSE(RegionLockedByOthers(Path("t.dbf"), 0, 200));  // the data itself stays free
  EXPECT_TRUE(IsLocked(3));
  EXPECT_FALSE(IsLocked(2));
  Select(2);
  EXPECT_FALSE(RLock(3));
  EXPECT_TRUE(RLock(2));
  Select(1);
  EXPECT_TRUE(UnlockRec(3));
  EXPECT_FALSE(RegionLockedByOthers(Path("t.dbf"), LockBase + 105, 20));
  EXPECT_EQ(CurrentWorkArea()->lockedCount, 1);
  EXPECT_TRUE(UnlockRec(-3));
  EXPECT_EQ(CurrentWorkArea()->lockState, kLockNone);
}

int handlerCalls = 0;
TEST_F(LockingTest, UnlockingARecordThatIsNotLockedFailsQuietly) {
  SharedTableInTwoAreas();
  SetErrorHandling(true);
  handlerCalls = 0;
  XbaseErrorHook = [] { ++handlerCalls; };
  EXPECT_FALSE(UnlockRec(7));
  EXPECT_EQ(XbaseErrorCode, 220);
  EXPECT_EQ(XbaseErrorMessage, "Record not locked. [UnlockRec(7)]");
  EXPECT_FALSE(UnlockRec(-4));
  EXPECT_EQ(XbaseErrorMessage, "[UnlockRec(-4)]");
  EXPECT_EQ(handlerCalls, 0);
  SetErrorHandling(false);
}

TEST_F(LockingTest, FileLockCoversAppendAndRecordsAndKeepsAgainstALock) {
  SharedTableInTwoAreas();
  Select(1);
  ASSERT_TRUE(RLock(2));
  ASSERT_TRUE(FLock());
  EXPECT_FALSE(ALock());
  EXPECT_EQ(CurrentWorkArea()->lockState, kLockFile);
  EXPECT_TRUE(IsLocked(3));
  EXPECT_TRUE(RegionLockedByOthers(Path("t.dbf"), LockBase + 1, 1));
  EXPECT_TRUE(RegionLockedByOthers(Path("t.dbf"), LockBase + 125, 1));
  Select(2);
  EXPECT_FALSE(ALock());
  EXPECT_FALSE(RLock(1));
  Select(1);
  Unlock();
  EXPECT_FALSE(RegionLockedByOthers(Path("t.dbf"), LockBase + 1, FileLockLength));
}

TEST_F(LockingTest, WithoutSharingNothingIsLocked) {
  SharedTableInTwoAreas();
  Select(1);
  SharingOn = false;
  EXPECT_TRUE(ALock());
  EXPECT_EQ(CurrentWorkArea()->lockState, kLockAppend);
  EXPECT_FALSE(RegionLockedByOthers(Path("t.dbf"), LockBase, FileLockLength));
  Unlock();
  SharingOn = true;
}

int callbackCalls = 0;
int messageTurns = 0;
TEST_F(LockingTest, RetriesAndTheCallbackThatStartsThemAgain) {
  SharedTableInTwoAreas();
  Select(2);
  ASSERT_TRUE(ALock());
  Select(1);
  LockRetries = 3;
  LockWaitMs = 10;
  callbackCalls = 0;
  messageTurns = 0;
  LockRetryCallback = [] { return ++callbackCalls == 1; };
  ProcessMessagesProc = [] { ++messageTurns; };
  EXPECT_FALSE(ALock());
  EXPECT_EQ(callbackCalls, 2);  // asked after each round of retries; true once
  EXPECT_GT(messageTurns, 0);   // waits of 10 ms keep the program responsive
  Select(2);
  Unlock();
  Select(1);
  EXPECT_TRUE(ALock());
  ProcessMessagesProc = nullptr;
}

TEST_F(LockingTest, ExclusiveOpenKeepsOthersOutAcrossProcesses) {
  Select(1);
  ASSERT_TRUE(CreateDbf(Path("x.dbf"), {{"NAME", 'C', 5, 0}}, 0, true));
  const pid_t child = ::fork();
  if (child == 0) {
    InitXbaseCore();
    SetErrorHandling(false);
    const bool opened = UseDbf(Path("x.dbf"), false);
    ::_exit(opened ? 1 : (XbaseErrorCode == 32 ? 0 : 2));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);  // refused with a sharing violation
  CloseArea();
  Select(2);
  EXPECT_TRUE(UseDbf(Path("x.dbf"), false));
}

// Two programs each add one to a number ten thousand times, every time under the record lock:
// no update may be lost.
TEST_F(LockingTest, TwoProgramsIncrementingUnderTheRecordLockLoseNoUpdate) {
  constexpr int kIncrements = 10000;
  Select(1);
  ASSERT_TRUE(CreateDbf(Path("count.dbf"), {{"N", 'N', 10, 0}}, 0, false)) << XbaseErrorMessage;
  ASSERT_TRUE(ALock());
  ClearRecord();
  SetFieldNumber(1, 0);
  Append();
  Unlock();
  CloseArea();
  pid_t children[2];
  for (pid_t& child : children) {
    child = ::fork();
    if (child != 0) continue;
    InitXbaseCore();
    SetErrorHandling(false);
    LockRetries = 255;
    LockWaitMs = 1;
    LockRetryCallback = [] { return true; };
    if (!UseDbf(Path("count.dbf"), false)) ::_exit(2);
    for (int i = 0; i < kIncrements; ++i) {
      if (!RLock(1)) ::_exit(3);
      Go(1);
      SetFieldNumber(1, GetFieldNumber(1) + 1);
      StoreFields();
      PutDbfRecord(*CurrentWorkArea(), 1);
      if (XbaseErrorCode != 0 || !UnlockRec(1)) ::_exit(4);
    }
    CloseArea();
    ::_exit(XbaseErrorCode == 0 ? 0 : 5);
  }
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  ASSERT_TRUE(UseDbf(Path("count.dbf"), true));
  EXPECT_EQ(RecCount(), 1);
  EXPECT_EQ(GetFieldNumber(1), 2 * kIncrements);
}

}  // namespace
