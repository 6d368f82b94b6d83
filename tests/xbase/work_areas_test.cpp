// Table API on work areas: selection, navigation over hidden and out-of-scope records, the
// messages of its edge cases, Peek and Poke in the file, and the order in which the index
// hooks are called.
#include "xbase/work_areas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core_test_support.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_utils.h"

namespace {

using namespace core_test;

class WorkAreasTest : public CoreFixture {
 protected:
  void FiveRecords() {
    MakeSample("five.dbf");
    AppendNamed({"a", "b", "c", "d", "e"});
    GoTop();
  }
  std::string Name() { return AllTrim(FieldAsText(1)); }
};

TEST_F(WorkAreasTest, SelectingAreas) {
  for (int i = 1; i <= kUserAreaCount; ++i) WorkAreas[i] = std::make_unique<WorkAreaRecord>();
  Select(5);
  Select(0);
  EXPECT_EQ(XbaseErrorMessage, "No free workarea available [Select(0)]");
  EXPECT_EQ(CurrentArea, 5);
  WorkAreas[7].reset();
  Select(0);
  EXPECT_EQ(CurrentArea, 7);
  Select(34);
  EXPECT_EQ(XbaseErrorCode, 220);
  EXPECT_EQ(XbaseErrorMessage, "Invalid workarea selected = [Select(34)]");
  EXPECT_EQ(CurrentArea, 7);
}

TEST_F(WorkAreasTest, AnEmptyAreaReportsAndGivesNeutralResults) {
  Select(3);
  EXPECT_EQ(RecCount(), 0);
  EXPECT_EQ(XbaseErrorCode, 215);
  EXPECT_EQ(XbaseErrorMessage, "No database in use [RecCount]  WorkArea = 3");
  EXPECT_TRUE(dEOF());
  EXPECT_TRUE(dBOF());
  EXPECT_EQ(FieldType(1), ' ');
  EXPECT_EQ(XbaseErrorMessage, "No database in use [FieldType()]  WorkArea = 3");
}

TEST_F(WorkAreasTest, GoOutOfRangeSetsEndOfFile) {
  FiveRecords();
  Go(0);
  EXPECT_EQ(XbaseErrorCode, 212);
  EXPECT_EQ(XbaseErrorMessage,
            "Invalid record number = 0 Database \"" + Path("five.dbf") + "\" [GO]");
  EXPECT_EQ(RecNo(), 6);
  EXPECT_TRUE(dEOF());
  Go(3);
  EXPECT_EQ(Name(), "c");
  EXPECT_FALSE(dEOF());
  EXPECT_FALSE(GoIfValid(6));
}

TEST_F(WorkAreasTest, SkipPastTheEndAndBeforeTheStart) {
  FiveRecords();
  Go(5);
  Skip(1);
  EXPECT_TRUE(dEOF());
  EXPECT_EQ(RecNo(), 6);
  EXPECT_EQ(FieldAsText(1), std::string(10, ' '));
  Skip(1);
  EXPECT_EQ(XbaseErrorMessage, "Database \"" + Path("five.dbf") + "\" is past EOF. [SKIP]");
  Go(1);
  Skip(-1);
  EXPECT_TRUE(dBOF());
  EXPECT_EQ(RecNo(), 1);
  Go(2);
  Skip(2);
  EXPECT_EQ(Name(), "d");
  Skip(-3);
  EXPECT_EQ(Name(), "a");
  EXPECT_FALSE(dBOF());
}

TEST_F(WorkAreasTest, DeletedRecordsAreSkippedWhileIgnored) {
  FiveRecords();
  for (int r : {1, 2, 4}) {
    Go(r);
    SetRecordDeleted(true);
    StoreFields();
    PutDbfRecord(*CurrentWorkArea(), r);
  }
  SetIgnoreDel(true);
  GoTop();
  EXPECT_EQ(Name(), "c");
  Skip(1);
  EXPECT_EQ(Name(), "e");
  Skip(-1);
  EXPECT_EQ(Name(), "c");
  for (int r : {3, 5}) {
    Go(r);
    SetRecordDeleted(true);
    StoreFields();
    PutDbfRecord(*CurrentWorkArea(), r);
  }
  GoTop();
  EXPECT_TRUE(dEOF());
  EXPECT_EQ(RecNo(), 6);
}

TEST_F(WorkAreasTest, FilterAndScopeEvents) {
  FiveRecords();
  WorkAreaRecord& area = *CurrentWorkArea();
  area.filterEvent = [] { return static_cast<int>(GetFieldNumber(2)) % 2 == 1; };  // a, c, e
  GoTop();
  Skip(1);
  EXPECT_EQ(Name(), "c");
  Skip(1);
  EXPECT_EQ(Name(), "e");
  area.filterEvent = nullptr;
  area.scopeEvent = [] { return GetFieldNumber(2) <= 3; };
  Go(2);
  Skip(5);
  EXPECT_TRUE(dEOF());
  EXPECT_EQ(Name(), "d");  // the first record out of scope
}

TEST_F(WorkAreasTest, FieldsOfTheTypedBuffer) {
  MakeSample("fields.dbf");
  EXPECT_EQ(FieldAddress(2) - FieldAddress(0), 12);  // after C 10: its slot is 11 bytes
  EXPECT_EQ(FieldAddress(3) - FieldAddress(2), 4);   // N 5 without decimals: 32-bit integer
  EXPECT_EQ(FieldAddress(4) - FieldAddress(3), 8);   // N 8.2: 64-bit floating point
  EXPECT_EQ(FieldAddress(5) - FieldAddress(4), 1);
  EXPECT_EQ(FieldLen(5), 8);
  CenturyOn = true;
  EXPECT_EQ(FieldLen(5), 10);
  CenturyOn = false;
  EXPECT_EQ(FieldType(9), ' ');
  EXPECT_EQ(XbaseErrorMessage, "Invalid field number. [FieldType(9)]");
  SetFieldNumber(3, 12.5);
  SetFieldLogical(4, true);
  const char userSign = DecimalPoint;
  DecimalPoint = ',';
  EXPECT_EQ(FieldAsText(3), "   12,50");
  DecimalPoint = '.';
  EXPECT_EQ(FieldAsText(3), "   12.50");
  DecimalPoint = userSign;
  EXPECT_EQ(FieldAsText(4), "Y");
  EXPECT_EQ(FieldNumber("price"), 3);
}

TEST_F(WorkAreasTest, PeekAndPokeWorkOnTheFile) {
  FiveRecords();
  Go(2);
  const bool deletedBefore = RecordDeleted();
  Poke("*", 0, 2);
  EXPECT_EQ(XbaseErrorCode, 0);
  EXPECT_EQ(RecordDeleted(), deletedBefore);  // the typed buffer is not touched
  EXPECT_EQ(ReadBytes(Path("five.dbf"))[193 + 33], '*');
  EXPECT_EQ(Peek(0, 2), "*");
  Poke("zz", 1, 4);
  PeekCacheSize = 5;  // smaller than one record: the cache holds one
  EXPECT_EQ(Peek(1, 4), "zz        ");
  EXPECT_EQ(Peek(2, 5), "    5");
  EXPECT_EQ(Peek(1, 3), "c         ");
  Poke("yy", 1, 3);  // the cached record is updated too
  EXPECT_EQ(Peek(1, 3), "yy        ");
  PeekCacheSize = 1000;
  EXPECT_EQ(Peek(1, 1), "a         ");
  EXPECT_EQ(Peek(1, 4), "zz        ");
  EXPECT_EQ(Peek(1, 6), "");
}

TEST_F(WorkAreasTest, PokeOnASharedTableNeedsTheRecordLock) {
  MakeSample("sharedpoke.dbf", false);
  ASSERT_TRUE(ALock());
  AppendNamed({"a", "b"});
  Unlock();
  Poke("x", 1, 2);
  EXPECT_EQ(XbaseErrorCode, 1200);
  EXPECT_EQ(XbaseErrorMessage, "Record not locked [Poke(x,1,2)]");
  ASSERT_TRUE(RLock(2));
  Poke("x", 1, 2);
  EXPECT_EQ(XbaseErrorCode, 0);
  EXPECT_EQ(Peek(1, 2), "x         ");
}

TEST_F(WorkAreasTest, AppendOnASharedTableNeedsALock) {
  MakeSample("lock.dbf", false);
  ClearRecord();
  Append();
  EXPECT_EQ(XbaseErrorCode, 5);
  EXPECT_EQ(XbaseErrorMessage, "File must be locked to append: " + Path("lock.dbf") + " [APPEND]");
  EXPECT_EQ(RecCount(), 0);
  ASSERT_TRUE(ALock());
  Append();
  EXPECT_EQ(XbaseErrorCode, 0);
  EXPECT_EQ(RecCount(), 1);
}

TEST_F(WorkAreasTest, AnotherAreasAppendIsSeenThroughTheFileSize) {
  MakeSample("two.dbf", false);
  Select(2);
  ASSERT_TRUE(UseDbf(Path("two.dbf"), false));
  ASSERT_TRUE(ALock());
  AppendNamed({"x", "y"});
  Unlock();
  Select(1);
  EXPECT_EQ(RecCount(), 2);
  Go(2);
  EXPECT_EQ(Name(), "y");
}

TEST_F(WorkAreasTest, RelationThatMovesTheRecordIsCyclical) {
  FiveRecords();
  int calls = 0;
  SetRelationProc([&calls] { ++calls; });
  EXPECT_EQ(calls, 1);
  Go(2);
  EXPECT_EQ(calls, 2);
  SetRelationProc([] { Go(3); });
  EXPECT_EQ(XbaseErrorCode, 224);
}

std::vector<std::string> hookLog;
TEST_F(WorkAreasTest, IndexHooksAreCalledAroundNavigationAndAppend) {
  FiveRecords();
  hookLog.clear();
  IndexUnitPresent = true;
  IndexHooks.indexActive = [] { return true; };
  IndexHooks.syncIndex = [] { hookLog.push_back("1"); };
  IndexHooks.top = [] {
    hookLog.push_back("4");
    return std::int32_t{3};
  };
  IndexHooks.indexEof = [] { return false; };
  IndexHooks.appendNewKey = [] { hookLog.push_back("8"); };
  IndexHooks.loadCurrentKey = [] { hookLog.push_back("9"); };
  IndexHooks.setReadSemaphore = [](bool on) { hookLog.push_back(on ? "23+" : "23-"); };
  IndexHooks.setLockSemaphore = [](bool on) { hookLog.push_back(on ? "24+" : "24-"); };
  Go(2);
  EXPECT_EQ(hookLog, (std::vector<std::string>{"23+", "1", "9", "23-"}));
  hookLog.clear();
  GoTop();
  EXPECT_EQ(hookLog, (std::vector<std::string>{"23+", "4", "9", "23-"}));
  EXPECT_EQ(Name(), "c");  // the index's first record
  hookLog.clear();
  ClearRecord();
  Append();
  EXPECT_EQ(hookLog, (std::vector<std::string>{"24+", "8", "24-"}));
  IndexUnitPresent = false;
}

}  // namespace
