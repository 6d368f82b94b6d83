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
  // Its first record, stored from a new one, is the dataset's current record.
  table.Insert();
  table.SetFieldString("NAME", "first");
  table.Post();
  EXPECT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  EXPECT_TRUE(table.RecordPresent());
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(table.FieldText("NAME"), "first");
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
    std::int32_t record = 1;  // rewritten
  } cases[] = {{"QTY", 1e9, nullptr, kEdit},      {"QTY", std::nan(""), nullptr, kEdit},
               {"BORN", 0, "31/02/2020", kEdit},  {"BORN", 0, "02/30/20", kEdit},
               {"QTY", 1e9, nullptr, kInsert},    {"QTY", 1e9, nullptr, kRewrite},
               {"QTY", 1e9, nullptr, kRewrite, 3}};  // the last record
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + (c.text ? c.text : std::to_string(c.number)));
    const std::string before = ReadBytes(Path("s.dbf"));
    TXbDbf table;
    table.SetTableName(Path("s.dbf"));
    ASSERT_TRUE(c.road == kRewrite ? UseDbf(Path("s.dbf"), true) : table.Open());
    c.road == kRewrite ? Go(c.record) : table.Go(2);
    const std::string shown = c.road == kRewrite ? FieldAsText(2) : table.FieldText(c.field);
    if (c.road == kInsert && table.ALock()) table.Insert();
    if (c.road == kRewrite) {
      SetFieldNumber(2, c.number);
      StoreFields();
      PutDbfRecord(*CurrentWorkArea(), c.record);
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

// Damage in the middle of a table: every move shows the record it reached, what cannot be read
// as its stand-in (0, a blank date, deleted), and the code naming the first damaged field.
TEST_F(XbDbfTest, EveryMoveShowsTheRecordItReachesWithItsCode) {
  ASSERT_TRUE(CreateDbf(Path("d.dbf"),
                        {{"NAME", 'C', 6, 0},
                         {"QTY", 'N', 5, 0},
                         {"PRICE", 'N', 8, 2},
                         {"BORN", 'D', 8, 0},
                         {"DUE", 'D', 8, 0}},
                        0, true));
  AppendNamed({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
  CloseArea();
  // Flag, NAME, QTY, PRICE, BORN, DUE as stored; 193 header bytes, records of 36.
  const std::string stored[] = {" a         1    1.5020200131        ",
                                " b     *****     inf20200229        ",
                                " c       inf     nan20200229        ",
                                " d         4     nan20200229        ",
                                " e         5    5.002020AB9920201399",
                                " f         6    6.002020022920210229",
                                "Xg         7    7.0020200229        ",
                                std::string(1, '\0') + "h         8    8.00        20210228",
                                " i         9    9.00                "};
  std::string bytes = ReadBytes(Path("d.dbf"));
  for (int r = 0; r < 9; ++r) bytes.replace(193 + 36 * r, 36, stored[r]);
  WriteBytes(Path("d.dbf"), bytes);
  TXbDbf table;
  table.SetTableName(Path("d.dbf"));
  ASSERT_TRUE(table.Open()) << XbaseErrorMessage;
  const std::string blankDate = table.FieldText("DUE");  // record 1 holds none
  enum TMove { kGo, kNext, kPrior, kFirst, kLast };
  const struct {
    TMove move;
    std::int32_t to;  // record reached (and Go's argument)
    int code;
    const char* named;  // the message's start
    const char* field;  // shown as its stand-in
  } cases[] = {
      {kNext, 2, 106, "Field QTY", "QTY"},      // "*****" before an "inf": the first is named
      {kNext, 3, 106, "Field QTY", "PRICE"},    // "inf" before a "nan"
      {kNext, 4, 106, "Field PRICE", "PRICE"},  // "nan"
      {kNext, 5, 13, "Field BORN", "DUE"},      // two dates that are none: the first is named
      {kNext, 6, 13, "Field DUE", "DUE"},       // 29 February of 2021
      {kNext, 7, 13, "The deletion flag", ""},  // "X"
      {kNext, 8, 13, "The deletion flag", ""},  // NUL
      {kNext, 9, 0, "", ""},
      {kPrior, 8, 13, "The deletion flag", ""},
      {kPrior, 7, 13, "The deletion flag", ""},
      {kPrior, 6, 13, "Field DUE", "DUE"},
      {kPrior, 5, 13, "Field BORN", "BORN"},
      {kPrior, 2, 106, "Field QTY", "PRICE"},  // via 4 and 3
      {kGo, 3, 106, "Field QTY", "QTY"},
      {kGo, 1, 0, "", ""},
      {kGo, 5, 13, "Field BORN", "BORN"},
      {kLast, 9, 0, "", ""},
      {kFirst, 1, 0, "", ""},
      {kGo, 8, 13, "The deletion flag", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to);
    XbaseErrorCode = PendingErrorCode = 0;
    XbaseErrorMessage.clear();
    const std::int32_t from = table.RecNo();
    if (c.move == kGo) table.Go(c.to);
    if (c.move == kNext) table.Next();
    for (std::int32_t r = from; c.move == kPrior && r > c.to; --r) table.Prior();
    if (c.move == kFirst) table.First();
    if (c.move == kLast) table.Last();
    EXPECT_EQ(table.RecNo(), c.to);
    EXPECT_EQ(table.FieldText("NAME"), std::string(1, char('a' + c.to - 1)) + "     ");
    EXPECT_EQ(XbaseErrorCode, c.code) << XbaseErrorMessage;
    if (c.code) EXPECT_EQ(XbaseErrorMessage.rfind(c.named, 0), 0u) << XbaseErrorMessage;
    EXPECT_EQ(table.ActiveBuffer().at(0), stored[c.to - 1][0] != ' ');  // deleted, not live
    const std::string field = c.field;
    if (field == "QTY") EXPECT_EQ(AllTrim(table.FieldText(field)), "0");
    if (field == "PRICE")  // in the user's form
      EXPECT_EQ(AllTrim(table.FieldText(field)), std::string("0") + DecimalPoint + "00");
    if (field == "BORN" || field == "DUE") EXPECT_EQ(table.FieldText(field), blankDate);
  }
  // A move that fails leaves the dataset as it was, an edit under way included.
  table.Go(1);
  table.SetFieldString("NAME", "zz");
  static int told;  // errors handed to the embedding program's hook
  told = 0;
  SetErrorHandling(true);
  XbaseErrorHook = [] { ++told; };
  EXPECT_EQ(table.HoldDamage([&] { table.Go(99); }), 0) << "a move that fails holds nothing";
  EXPECT_EQ(XbaseErrorCode, 212);
  EXPECT_EQ(table.State(), TDataSetState::dsEdit);
  EXPECT_EQ(table.FieldText("NAME"), "zz    ");
  table.Cancel();
  // A value put into an unreadable field is written; the other unreadable one keeps its bytes.
  table.Go(2);
  table.SetFieldInteger("QTY", 12);
  table.SetFieldString("NAME", "b2");
  table.Post();
  table.Go(7);
  table.SetFieldString("NAME", "g2");
  table.Post();
  table.Close();
  bytes = ReadBytes(Path("d.dbf"));
  // NAME, QTY and the kept "inf" or the flag "X" as written; the dates as they were.
  EXPECT_EQ(bytes.substr(193 + 36, 36), " b2       12     inf20200229        ");
  EXPECT_EQ(bytes.substr(193 + 36 * 6, 36), "Xg2        7    7.0020200229        ");
  // Damage in the first record: the dataset opens on it all the same.
  bytes.replace(193 + 7, 5, "*****");
  WriteBytes(Path("d.dbf"), bytes);
  ASSERT_TRUE(table.Open());
  EXPECT_EQ(XbaseErrorCode, 106);
  EXPECT_EQ(table.FieldText("NAME"), "a     ");
  table.Close();
  table.HoldDamage([&] { table.Go(1); });
  EXPECT_EQ(told, 4) << "Go(99), records 2 and 7, a closed dataset's move; the open none";
  // A cut copy (record 1 spoilt as above) and a header counting 40 over none: 213 told, standing.
  const std::string none = bytes.substr(0, 4) + std::string("\x28\0\0\0", 4) + bytes.substr(8, 185);
  for (const std::string& copy : {bytes.substr(0, 193 + 36 * 8 + 20), none}) {
    WriteBytes(Path("d.dbf"), copy);
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(XbaseErrorCode, 213);
    EXPECT_EQ(LastErrorMessage().rfind(ErrorCodeText(213) + "\r\nHeader counts", 0), 0u);
    table.Close();
    EXPECT_TRUE(ReadBytes(Path("d.dbf")) == copy);
  }
  EXPECT_EQ(told, 4 + 2) << "the cut told at each open";
}

}  // namespace
