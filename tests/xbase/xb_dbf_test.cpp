// The table dataset component: table names, hiding deleted records, appending under the
// append lock, and values set through the dataset reaching the file.
#include "xbase/xb_dbf.h"

#include <gtest/gtest.h>

#include "core_test_support.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
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
  TXbDbf dataset;
  dataset.SetTableName(Path("none.dbf"));
  EXPECT_FALSE(dataset.Open());
  EXPECT_EQ(XbaseErrorCode, 2);  // DOS: file not found
}

}  // namespace
