// The table dataset component: table names, hiding deleted records, appending under the
// append lock, and values set through the dataset reaching the file.
#include "xbase/xb_dbf.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core_test_support.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/memo_ops.h"
#include "xbase/xbase_dates.h"
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
  EXPECT_EQ(text, std::string("    2") + DecimalPoint + "5000");  // in the user's form
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
    TXbDbf dataset;
    dataset.SetTableName(Path(name));
    EXPECT_FALSE(dataset.Open());
    EXPECT_EQ(XbaseErrorCode, 2) << name;  // DOS: file not found
    EXPECT_TRUE(AreaName().empty()) << "nothing left open";
  }
}

// A value its field cannot hold is refused with 201 naming the field; edit and cursor stay.
TEST_F(XbDbfTest, ValuesThatDoNotFitAreRefusedAndNothingIsWritten) {
  MakeSample("s.dbf");
  AppendNamed({"a", "b", "c"});
  CloseArea();
  enum TRoad { kEdit, kInsert, kRewrite };
  const struct {
    const char* field;  // QTY N(5,0), BORN D
    double number;      // set when text is null
    const char* text;
    TRoad road;
  } cases[] = {{"QTY", 1e9, nullptr, kEdit},     {"QTY", std::nan(""), nullptr, kEdit},
               {"BORN", 0, "31/02/2020", kEdit}, {"BORN", 0, "02/30/20", kEdit},
               {"QTY", 1e9, nullptr, kInsert},   {"QTY", 1e9, nullptr, kRewrite}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + (c.text ? c.text : std::to_string(c.number)));
    const std::string before = ReadBytes(Path("s.dbf"));
    TXbDbf table;
    table.SetTableName(Path("s.dbf"));
    ASSERT_TRUE(c.road == kRewrite ? UseDbf(Path("s.dbf"), true) : table.Open());
    if (c.road != kRewrite) table.Go(2);
    const std::string shown = c.road == kRewrite ? FieldAsText(2) : table.FieldText(c.field);
    if (c.road == kInsert && table.ALock()) table.Insert();
    if (c.road == kRewrite) {
      SetFieldNumber(2, c.number);
      StoreFields();
      PutDbfRecord(*CurrentWorkArea(), 1);
      LoadFields();  // the raw record is the file's again
      EXPECT_EQ(FieldAsText(2), shown);
    } else {
      c.text ? table.SetFieldString(c.field, c.text) : table.SetFieldFloat(c.field, c.number);
      table.Post();
      for (void (TXbDbf::*move)() : {&TXbDbf::First, &TXbDbf::Last, &TXbDbf::Next, &TXbDbf::Prior})
        (table.*move)();
      EXPECT_EQ(table.RecNo(), 2);
      EXPECT_EQ(table.State(), c.road == kInsert ? TDataSetState::dsInsert : TDataSetState::dsEdit);
      table.Cancel();
      EXPECT_EQ(table.FieldText(c.field), shown);
    }
    EXPECT_EQ(XbaseErrorCode, 201);
    EXPECT_NE(XbaseErrorMessage.find(c.field), std::string::npos) << XbaseErrorMessage;
    table.Close();
    CloseAll();
    EXPECT_TRUE(ReadBytes(Path("s.dbf")) == before);
  }
}

}  // namespace
