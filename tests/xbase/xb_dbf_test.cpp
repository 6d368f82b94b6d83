// The table dataset component: table names, hiding deleted records, appending under the
// append lock, and values set through the dataset reaching the file.
#include "xbase/xb_dbf.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include "core_test_support.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/memo_ops.h"
#include "xbase/xbase_utils.h"

namespace {

using namespace core_test;

class XbDbfTest : public CoreFixture {
 protected:
  // A presets-like table with three records, the middle one deleted; closed again.
  void MakePresets(const std::string& name) {
    ASSERT_TRUE(CreateDbf(Path(name),
                          {{"NAME", 'C', 25, 0},
                           {"XSCALE", 'N', 10, 4},
                           {"YSCALE", 'N', 10, 4},
                           {"XORIGIN", 'N', 6, 0},
                           {"YORIGIN", 'N', 6, 0},
                           {"LANDSCAPE", 'L', 1, 0}},
                          0, true));
    for (const char* n : {"first", "second", "third"}) {
      ClearRecord();
      SetFieldText(1, n);
      SetRecordDeleted(std::string(n) == "second");
      Append();
    }
    CloseArea();
  }
};

TEST_F(XbDbfTest, TableNamesGetTheDefaultExtension) {
  TXbDbf table;
  table.SetTableName("  prices  ");
  EXPECT_EQ(table.TableName(), "prices.DBF");
  table.SetTableName("prices.");
  EXPECT_EQ(table.TableName(), "prices.");
  table.SetTableName("prices.txt");
  EXPECT_EQ(table.TableName(), "prices.txt");
}

TEST_F(XbDbfTest, HidingDeletedRecordsLeavesADeletedCurrentRecord) {
  MakePresets("p.dbf");
  TXbDbf table;
  table.SetTableName(Path("p.dbf"));
  ASSERT_TRUE(table.Open()) << XbaseErrorMessage;
  table.Go(2);
  std::string name;
  table.SField(1, name);
  EXPECT_EQ(AllTrim(name), "second");
  table.SetHideDeletedRecs(true);
  EXPECT_EQ(table.RecNo(), 3);
  table.SetHideDeletedRecs(false);
  // At the end the previous visible record is taken.
  table.Close();
  ASSERT_TRUE(UseDbf(Path("p.dbf"), true));
  Go(3);
  SetRecordDeleted(true);
  StoreFields();
  PutDbfRecord(*CurrentWorkArea(), 3);
  CloseArea();
  ASSERT_TRUE(table.Open());
  table.Go(3);
  table.SetHideDeletedRecs(true);
  EXPECT_EQ(table.RecNo(), 1);
}

TEST_F(XbDbfTest, AppendingWithoutTheAppendLockAppendsNothing) {
  MakePresets("p.dbf");
  TXbDbf table;
  table.SetTableName(Path("p.dbf"));
  ASSERT_TRUE(table.Open());
  const std::string before = ReadBytes(Path("p.dbf"));
  table.AppendRec();
  EXPECT_EQ(XbaseErrorCode, 5);
  EXPECT_EQ(table.GetRecordCount(), 3);
  // The values meant for the new record do not land on the record the cursor is on.
  table.SetFieldString("name", "overwritten");
  table.SetFieldFloat("xscale", 9);
  table.Post();
  table.Close();
  EXPECT_TRUE(ReadBytes(Path("p.dbf")) == before);
}

TEST_F(XbDbfTest, ValuesSetAfterAnAppendReachTheFileWhenTheTableCloses) {
  MakePresets("p.dbf");
  TXbDbf table;
  table.SetTableName(Path("p.dbf"));
  ASSERT_TRUE(table.Open());
  ASSERT_TRUE(table.ALock());
  table.AppendRec();
  table.UnLock();
  ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  table.SetFieldString("name", "A3 landscape");
  table.SetFieldFloat("xscale", 2.5);
  table.SetFieldFloat("yscale", 0.125);
  table.SetFieldInteger("xorigin", -15);
  table.SetFieldLogical("landscape", true);
  EXPECT_EQ(table.State(), TDataSetState::dsEdit);
  table.Close();  // posts what was set
  ASSERT_TRUE(table.Open());
  EXPECT_EQ(table.GetRecordCount(), 4);
  table.Go(4);
  std::string text;
  table.SField(1, text);
  EXPECT_EQ(AllTrim(text), "A3 landscape");
  table.SField(2, text);
  EXPECT_EQ(text, "    2.5000");
  table.SField(4, text);
  EXPECT_EQ(text, "   -15");
  EXPECT_TRUE(table.GetFieldLogical("LANDSCAPE"));
  EXPECT_FALSE(table.s_IsEmptyDbf());
}

TEST_F(XbDbfTest, AnEmptyTableIsEmpty) {
  ASSERT_TRUE(CreateDbf(Path("e.dbf"), {{"NAME", 'C', 5, 0}}, 0, true));
  CloseArea();
  TXbDbf table;
  table.SetTableName(Path("e.dbf"));
  ASSERT_TRUE(table.Open());
  EXPECT_TRUE(table.s_IsEmptyDbf());
  EXPECT_TRUE(table.Bof());
  EXPECT_TRUE(table.Eof());
  EXPECT_FALSE(table.RecordPresent());
}

TEST_F(XbDbfTest, AFailedOpenLeavesACode) {
  InitXbaseMemo();
  // A table with a record whose memo file is gone: the table opens, its memo file does not.
  ASSERT_TRUE(CreateDbf(Path("m.dbf"), {{"NAME", 'C', 5, 0}, {"NOTES", 'M', 10, 0}}, 0, true));
  AppendNamed({"a"});
  CloseArea();
  std::filesystem::remove(Path("m.dbt"));
  for (const char* name : {"none.dbf", "m.dbf"}) {
    SCOPED_TRACE(name);
    XbaseErrorCode = 0;
    EXPECT_FALSE(UseDbf(Path(name), false));
    EXPECT_EQ(XbaseErrorCode, 2);  // DOS: file not found
    CloseArea();
    TXbDbf dataset;
    dataset.SetTableName(Path(name));
    EXPECT_FALSE(dataset.Open());
    EXPECT_EQ(XbaseErrorCode, 2);
    EXPECT_TRUE(AreaName().empty()) << "nothing left open";
  }
}

// A value its field cannot hold is refused with 201 naming the field and the file stays as it
// was: through the dataset (the edit, or the new record, stays open to be mended or cancelled)
// and through the table API (a rewrite or an append).
TEST_F(XbDbfTest, ValuesThatDoNotFitAreRefusedAndNothingIsWritten) {
  MakeSample("s.dbf");
  AppendNamed({"a", "b", "c"});
  CloseArea();
  const double nan = std::nan(""), inf = HUGE_VAL;
  enum TRoad { kEdit, kInsert, kRewrite, kAppend };
  const struct {
    const char* what;
    int field;      // 2 QTY N(5,0), 3 PRICE N(8,2), 5 BORN D
    double number;  // set when text is null
    const char* text;
    TRoad road;
  } cases[] = {
      {"1e9 into N(5,0)", 2, 1e9, nullptr, kEdit},
      {"beyond 64 bits into N(5,0)", 2, 1e30, nullptr, kEdit},
      {"NaN into N(5,0)", 2, nan, nullptr, kEdit},
      {"infinity into N(5,0)", 2, -inf, nullptr, kEdit},
      {"NaN into N(8,2)", 3, nan, nullptr, kEdit},
      {"1234567.5 into N(8,2)", 3, 1234567.5, nullptr, kEdit},
      {"31/02/2020 into a date", 5, 0, "31/02/2020", kEdit},
      {"02/30/20 into a date", 5, 0, "02/30/20", kEdit},
      {"1e9 into a new record", 2, 1e9, nullptr, kInsert},
      {"no date into a new record", 5, 0, "13/13/13", kInsert},
      {"1e9 rewritten through the table API", 2, 1e9, nullptr, kRewrite},
      {"1e9 appended through the table API", 2, 1e9, nullptr, kAppend},
  };
  const char* names[] = {"", "NAME", "QTY", "PRICE", "DONE", "BORN"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = ReadBytes(Path("s.dbf"));
    const std::string field = names[c.field];
    TXbDbf table;
    std::string shown;
    if (c.road == kEdit || c.road == kInsert) {
      table.SetTableName(Path("s.dbf"));
      ASSERT_TRUE(table.Open());
      table.Go(2);
      shown = table.FieldText(field);
      if (c.road == kInsert) {
        ASSERT_TRUE(table.ALock());
        table.Insert();
      }
      if (c.text)
        table.SetFieldString(field, c.text);
      else
        table.SetFieldFloat(field, c.number);
      table.Post();
    } else {
      ASSERT_TRUE(UseDbf(Path("s.dbf"), true));
      shown = FieldAsText(c.field);
      if (c.road == kAppend) ClearRecord();
      SetFieldNumber(c.field, c.number);
      if (c.road == kAppend) {
        Append();
      } else {
        StoreFields();
        PutDbfRecord(*CurrentWorkArea(), 1);
      }
    }
    EXPECT_EQ(XbaseErrorCode, 201);
    EXPECT_NE(XbaseErrorMessage.find(field), std::string::npos) << XbaseErrorMessage;
    if (c.road == kEdit || c.road == kInsert) {
      EXPECT_EQ(table.State(), c.road == kInsert ? TDataSetState::dsInsert : TDataSetState::dsEdit);
      if (c.road == kEdit) {
        // Moving on would leave the edit behind: the cursor stays with it.
        for (void (TXbDbf::*move)() :
             {&TXbDbf::First, &TXbDbf::Last, &TXbDbf::Next, &TXbDbf::Prior})
          (table.*move)();
        EXPECT_EQ(table.RecNo(), 2);
        EXPECT_EQ(table.State(), TDataSetState::dsEdit);
      }
      table.Cancel();
      EXPECT_EQ(table.FieldText(field), shown);
      table.Close();
    } else {
      EXPECT_EQ(RecCount(), 3);
      LoadFields();  // the raw record is the file's again
      if (c.road == kRewrite) EXPECT_EQ(FieldAsText(c.field), shown);
      CloseArea();
    }
    EXPECT_TRUE(ReadBytes(Path("s.dbf")) == before);
  }
  // What fits is written.
  TXbDbf table;
  table.SetTableName(Path("s.dbf"));
  ASSERT_TRUE(table.Open());
  table.SetFieldFloat("QTY", 99999);
  table.Post();
  EXPECT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  table.Close();
  EXPECT_EQ(ReadBytes(Path("s.dbf")).substr(193 + 1 + 10, 5), "99999");
}

// A record another process holds locked is not written, and the message says who holds it.
TEST_F(XbDbfTest, ARecordLockedByAnotherProcessIsToldAsSuch) {
  MakeSample("l.dbf", false);
  ASSERT_TRUE(::ALock());
  AppendNamed({"a"});
  const std::uint32_t offset = RecordLockOffset(1), length = CurrentWorkArea()->recordLength;
  CloseArea();
  const std::string before = ReadBytes(Path("l.dbf"));
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    const int fd = open(Path("l.dbf").c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = offset;
    lock.l_len = length;
    const char ok = fcntl(fd, F_SETLK, &lock) == 0 ? '1' : '0';
    (void)!write(ready[1], &ok, 1);
    pause();
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, '1');
  TXbDbf table;
  table.SetTableName(Path("l.dbf"));
  ASSERT_TRUE(table.Open());
  table.SetFieldFloat("QTY", 7);
  table.Post();
  const std::string message = LastErrorMessage();
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_NE(message.find("locked by another user"), std::string::npos) << message;
  EXPECT_EQ(message.find("not locked"), std::string::npos) << message;
  table.Cancel();
  table.Close();
  EXPECT_TRUE(ReadBytes(Path("l.dbf")) == before);
}

}  // namespace
