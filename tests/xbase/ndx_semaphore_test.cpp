// The index semaphore file between two handles of one shared table (two work areas, each with
// its own open files, so their byte-range locks meet as two programs' locks would).
#include "xbase/ndx_semaphore.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "ndx_test_support.h"

using namespace ndx_test;

namespace {

class NdxSemaphore : public NdxFixture {
 protected:
  void TearDown() override {
    SemaphoreWaitLimit = 100;
    NdxFixture::TearDown();
  }
  // Record 0 of the file: users, lock count, update counter.
  std::array<int, 3> FileRecord() {
    const std::string b = ReadFile(Path("shared.@S@"));
    if (b.size() < 4) return {-1, -1, -1};
    return {std::uint8_t(b[0]), std::int8_t(b[1]), Le16(b, 2)};
  }
};

TEST_F(NdxSemaphore, ReadersWriterAndRefreshBetweenTwoHandles) {
  MakeTable("shared", false);
  Fill(50);
  Unlock();
  MakeIndex("shared", "NAME", false, 1, false, false);
  ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;
  EXPECT_EQ(FileRecord(), (std::array<int, 3>{1, 0, 0}));
  Select(2);
  ASSERT_TRUE(UseDbf(Path("shared.dbf"), false)) << XbaseErrorMessage;
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;  // same file, same table: allowed
  EXPECT_EQ(FileRecord()[0], 2);

  // Two readers register; a writer then cannot get the file within its wait limit.
  Select(1);
  SetReadSemaphoreProc(true);
  Select(2);
  SetReadSemaphoreProc(true);
  EXPECT_EQ(FileRecord()[1], 2);
  Select(1);
  SetReadSemaphoreProc(false);
  SemaphoreWaitLimit = 1;
  SetLockSemaphoreProc(true);
  EXPECT_EQ(XbaseErrorCode, 1202);
  SetLockSemaphoreProc(false);
  XbaseErrorCode = 0;
  Select(2);
  SetReadSemaphoreProc(false);
  EXPECT_EQ(FileRecord()[1], 0);

  // A write through the other handle raises the update counter ...
  rows_.push_back({"A         ", 1.0, 2444240});
  AppendRow(rows_.back());
  Unlock();
  EXPECT_EQ(FileRecord(), (std::array<int, 3>{2, 0, 1}));
  // ... and this handle rereads its anchors and sees the new key first.
  Select(1);
  EXPECT_TRUE(RefreshIfChanged());
  EXPECT_FALSE(RefreshIfChanged());
  GoTop();
  EXPECT_EQ(RecNo(), 51);
  EXPECT_EQ(WalkForward().size(), 51u);

  // Logging out: the last user erases the file.
  Select(2);
  CloseArea();
  EXPECT_EQ(FileRecord()[0], 1);
  Select(1);
  CloseIndexFile(1);
  EXPECT_FALSE(std::filesystem::exists(Path("shared.@S@")));
}

TEST_F(NdxSemaphore, UnbalancedRequestsAndExclusiveTables) {
  MakeTable("excl", true);
  Fill(5);
  MakeIndex("excl", "NAME", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("excl", 1));
  EXPECT_FALSE(SemaphoreLoggedIn());  // nothing to share
  EXPECT_FALSE(std::filesystem::exists(Path("excl.@S@")));
  SetLockSemaphoreProc(false);
  EXPECT_EQ(XbaseErrorCode, 254);
  EXPECT_EQ(XbaseErrorMessage, "Non-symmetrical Lock-Unlock [SetLockSemaphoreProc]");
}

// Programs that ended inside a write and inside a read left their counts in the file; the
// kernel took their locks with them, and that is how the next writer knows not to wait.
TEST_F(NdxSemaphore, CountsLeftByEndedProgramsHoldNoWriterUp) {
  MakeTable("shared", false);
  Fill(20);
  Unlock();
  MakeIndex("shared", "NAME", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;
  for (bool writer : {true, false}) {
    const pid_t child = ::fork();
    if (child == 0) {
      Select(writer ? 2 : 3);
      const bool opened = UseDbf(Path("shared.dbf"), false) && SetIndexTo("shared", 1);
      if (writer)
        DatabaseSemaphore(kSemLockSemaphore);  // held, before any index was marked
      else
        SetReadSemaphoreProc(true);
      ::_exit(opened && XbaseErrorCode == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
  }
  EXPECT_EQ(FileRecord()[1], 2);  // one writer and one reader, both gone
  SemaphoreWaitLimit = 5;
  const auto start = std::chrono::steady_clock::now();
  rows_.push_back({"A         ", 1.0, 2444240});
  AppendRow(rows_.back());
  Unlock();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(FileRecord()[1], 0);
  EXPECT_EQ(FileRecord()[2], 1);
  EXPECT_EQ(WalkForward().size(), 21u);
  // The last live user takes the file away, whatever the ended ones left counted in it.
  CloseIndexFile(1);
  EXPECT_FALSE(std::filesystem::exists(Path("shared.@S@")));
}

// A write killed midway leaves the index marked: opens, other writes and walks report 212.
TEST_F(NdxSemaphore, AnIndexWriteCutShortIsReportedNotRead) {
  for (const bool shared : {false, true})
    for (const bool completes : {true, false}) {
      SCOPED_TRACE(testing::Message() << shared << completes);
      MakeTable("cut", !shared);
      rows_.clear();
      Fill(60);
      MakeIndex("cut", "NAME", false, 1, false, false);
      CloseAll();
      for (int area = 1; shared && area <= 2; ++area) {
        Select(area);
        ASSERT_TRUE(UseDbf(Path("cut.dbf"), false) && SetIndexTo("cut", 1)) << XbaseErrorMessage;
      }
      if (::fork() == 0) {
        Select(3);
        bool ok = UseDbf(Path("cut.dbf"), !shared) && SetIndexTo("cut", 1) && ALock();
        if (completes) {
          SetFieldText(1, "NEW");
          Append();
          CloseAll();
        } else {
          ok = ok && BeginIndexedWrite(3);  // killed before the write ends
        }
        ::_exit(ok && XbaseErrorCode == 0 ? 0 : 1);
      }
      int status = 0;
      ::wait(&status);
      ASSERT_EQ(WEXITSTATUS(status), 0);
      if (shared && !completes) {
        Select(1);
        ASSERT_TRUE(ALock());
        Append();
        EXPECT_EQ(XbaseErrorCode, 212) << XbaseErrorMessage;
        EXPECT_EQ(RecCount(), 60);
        Select(2);
        Skip(1);
        EXPECT_EQ(XbaseErrorCode, 212) << XbaseErrorMessage;
      }
      CloseAll();
      ASSERT_TRUE(UseDbf(Path("cut.dbf"), true)) << XbaseErrorMessage;
      const std::string before = ReadFile(Path("cut.NDX"));
      EXPECT_EQ(before[kNdxUpdateMarkOffset], completes ? 0 : 1);
      EXPECT_EQ(SetIndexTo("cut", 1), completes);
      if (completes) {
        EXPECT_EQ(WalkForward().size(), 61u);
      } else {
        EXPECT_EQ(XbaseErrorCode, 212);
        EXPECT_NE(XbaseErrorMessage.find("the index needs rebuilding"), std::string::npos);
        EXPECT_TRUE(ReadFile(Path("cut.NDX")) == before);
        // Set over by another index, the refused one is no longer the slot's: left alone.
        MakeIndex("other", "NAME", false, 1, false, false);
        ASSERT_TRUE(SetIndexTo("other", 1)) << XbaseErrorMessage;
        Reindex();
        EXPECT_EQ(IndexFileName(1), Path("other.NDX"));
        EXPECT_TRUE(ReadFile(Path("cut.NDX")) == before);
        EXPECT_FALSE(SetIndexTo("cut", 1));
        Reindex();  // rebuilds it into the slot it was set for
        EXPECT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
        EXPECT_EQ(WalkForward().size(), 60u);
        const std::string rebuilt = ReadFile(Path("cut.NDX"));
        EXPECT_EQ(rebuilt[kNdxUpdateMarkOffset], 0);
        EXPECT_EQ(rebuilt.substr(12, 8), before.substr(12, 8));  // key length to item size
        EXPECT_EQ(rebuilt[23], before[23]);                      // the unique flag
      }
      CloseAll();
    }
}

}  // namespace
