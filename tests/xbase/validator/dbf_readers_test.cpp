// Tables against independent programs: dbfread and Perl XBase read the tables we create and
// fill (record count, fields, deletion flags, code page 850 texts), and we read the tables
// python3-dbf and Perl XBase write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "validator_support.h"
#include "xbase/core_test_support.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_utils.h"

namespace {

using namespace core_test;
using validator_support::CommandSucceeds;
using validator_support::RunCommand;

const std::string kScripts = VUKO_SOURCE_DIR "/tests/xbase/validator/";

bool NeedValidator(const std::string& probe, const std::string& what) {
  if (CommandSucceeds(probe)) return true;
  if (std::getenv("CI")) ADD_FAILURE() << what << " missing";
  return false;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

class DbfReaders : public CoreFixture {
 protected:
  // Four records, the third deleted; texts in code page 850 as the program holds them.
  void WriteOurs(const std::string& name, bool shared) {
    CenturyOn = true;
    SetDateMode(2);
    MakeSample(name, !shared);
    if (shared) ASSERT_TRUE(ALock());
    struct Row {
      const char* name;
      int qty;
      double price;
      bool done;
      const char* born;
      bool deleted;
    } rows[] = {{"M\x81ller", 7, 12.5, true, "24/12/2025", false},
                {"Stra\xE1"
                 "e",
                 -3, 0.25, false, "", false},
                {"gone", 1, 1, true, "02/01/1999", true},
                {"last", 99999, -1234.56, false, "29/02/2000", false}};
    for (const Row& r : rows) {
      ClearRecord();
      SetFieldText(1, r.name);
      SetFieldNumber(2, r.qty);
      SetFieldNumber(3, r.price);
      SetFieldLogical(4, r.done);
      SetFieldText(5, r.born);
      SetRecordDeleted(r.deleted);
      Append();
      ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
    }
    // A change to a written record is read back as changed.
    Go(2);
    SetFieldNumber(2, -4);
    StoreFields();
    PutDbfRecord(*CurrentWorkArea(), 2);
    CloseArea();
  }
};

TEST_F(DbfReaders, DbfreadReadsOurTable) {
  if (!NeedValidator(SYSTEM_PYTHON3 " -c 'import dbfread'", "python3-dbfread")) GTEST_SKIP();
  for (bool shared : {false, true}) {
    WriteOurs("ours.dbf", shared);
    std::string out;
    ASSERT_TRUE(RunCommand("PYTHONIOENCODING=utf-8 " SYSTEM_PYTHON3 " " + kScripts +
                               "dbf_read_dbfread.py " + Path("ours.dbf"),
                           out))
        << out;
    const std::vector<std::string> expected = {
        "count\t4",
        "field\tNAME\tC\t10\t0",
        "field\tQTY\tN\t5\t0",
        "field\tPRICE\tN\t8\t2",
        "field\tDONE\tL\t1\t0",
        "field\tBORN\tD\t8\t0",
        "record\t0\tMüller\t7\t12.5\tTrue\t2025-12-24",
        "record\t0\tStraße\t-4\t0.25\tFalse\tNone",
        "record\t0\tlast\t99999\t-1234.56\tFalse\t2000-02-29",
        "record\t1\tgone\t1\t1.0\tTrue\t1999-01-02",
    };
    EXPECT_EQ(Lines(out), expected) << (shared ? "shared" : "exclusive");
  }
}

TEST_F(DbfReaders, PerlXBaseReadsOurTable) {
  if (!NeedValidator("perl -MXBase -e 1", "Perl XBase")) GTEST_SKIP();
  WriteOurs("ours.dbf", false);
  std::string out;
  ASSERT_TRUE(RunCommand("dbf_dump --fs '|' " + Path("ours.dbf"), out)) << out;
  // dbf_dump leaves deleted records out; logicals as 1 and 0, dates as stored.
  const std::vector<std::string> expected = {
      "M\x81ller|7|12.5|1|20251224",
      "Stra\xE1"
      "e|-4|0.25|0|",
      "last|99999|-1234.56|0|20000229",
  };
  EXPECT_EQ(Lines(out), expected);
  ASSERT_TRUE(RunCommand("dbf_dump --info " + Path("ours.dbf"), out)) << out;
  EXPECT_NE(out.find("Num of records:\t4"), std::string::npos) << out;
}

struct ReadBack {
  std::string name, qty, price, done, born;
  bool deleted;
};

std::vector<ReadBack> ReadAll() {
  std::vector<ReadBack> rows;
  for (Go(1); !dEOF(); Skip(1))
    rows.push_back({AllTrim(FieldAsText(1)), AllTrim(FieldAsText(2)), AllTrim(FieldAsText(3)),
                    FieldAsText(4), FieldAsText(5), RecordDeleted()});
  return rows;
}

TEST_F(DbfReaders, WeReadATableWrittenByPython3Dbf) {
  if (!NeedValidator(SYSTEM_PYTHON3 " -c 'import dbf'", "python3-dbf")) GTEST_SKIP();
  std::string out;
  ASSERT_TRUE(
      RunCommand(SYSTEM_PYTHON3 " " + kScripts + "dbf_write_dbf.py " + Path("ref.dbf"), out))
      << out;
  CenturyOn = true;
  SetDateMode(0);
  ASSERT_TRUE(UseDbf(Path("ref.dbf"), false)) << XbaseErrorMessage;
  EXPECT_EQ(RecCount(), 3);
  EXPECT_EQ(FieldCount(), 5);
  EXPECT_EQ(FieldType(3), 'N');
  EXPECT_EQ(FieldDec(3), 2);
  const std::vector<ReadBack> rows = ReadAll();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].name, "M\x81ller");  // code page 850 as written
  EXPECT_EQ(rows[0].qty, "7");
  EXPECT_EQ(rows[0].price, "12.50");
  EXPECT_EQ(rows[0].done, "Y");
  EXPECT_EQ(rows[0].born, "12/24/2025");
  EXPECT_EQ(rows[1].name,
            "Stra\xE1"
            "e");
  EXPECT_EQ(rows[1].qty, "-3");
  EXPECT_EQ(rows[1].born, "  /  /    ");
  EXPECT_FALSE(rows[1].deleted);
  EXPECT_TRUE(rows[2].deleted);
  EXPECT_EQ(rows[2].born, "01/02/1999");
}

TEST_F(DbfReaders, WeReadATableWrittenByPerlXBase) {
  if (!NeedValidator("perl -MXBase -e 1", "Perl XBase")) GTEST_SKIP();
  std::string out;
  ASSERT_TRUE(RunCommand("perl " + kScripts + "dbf_write_xbase.pl " + Path("px.dbf"), out)) << out;
  CenturyOn = true;
  SetDateMode(5);
  ASSERT_TRUE(UseDbf(Path("px.dbf"), true)) << XbaseErrorMessage;
  const std::vector<ReadBack> rows = ReadAll();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "Perl");
  EXPECT_EQ(rows[0].qty, "3");
  EXPECT_EQ(rows[0].price, "1.25");
  EXPECT_EQ(rows[0].done, "Y");
  EXPECT_EQ(rows[0].born, "29.02.2024");
  EXPECT_FALSE(rows[0].deleted);
  EXPECT_EQ(rows[1].name, "two");
  EXPECT_TRUE(rows[1].deleted);
  // Appending to their table keeps it readable by them.
  ClearRecord();
  SetFieldText(1, "ours");
  SetFieldNumber(2, 5);
  Append();
  CloseArea();
  ASSERT_TRUE(RunCommand("dbf_dump --fs '|' " + Path("px.dbf"), out)) << out;
  EXPECT_EQ(Lines(out), (std::vector<std::string>{"Perl|3|1.25|1|20240229", "ours|5|0|0|"}));
}

}  // namespace
