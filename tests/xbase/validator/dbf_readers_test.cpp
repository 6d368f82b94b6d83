// Tables against independent programs: dbfread and Perl XBase read the tables we create and
// fill (record count, fields, deletion flags, code page 850 texts), also when two programs
// append to one table at once, and we read the tables python3-dbf and Perl XBase write.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "validator_support.h"
#include "xbase/core_test_support.h"
#include "xbase/dbf_file.h"
#include "xbase/locking.h"
#include "xbase/xb_dbf.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_utils.h"

namespace {

using namespace core_test;
using validator_support::CommandSucceeds;
using validator_support::Quote;
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
    ASSERT_TRUE(RunCommand("PYTHONIOENCODING=utf-8 " SYSTEM_PYTHON3 " " +
                               Quote(kScripts + "dbf_read_dbfread.py") + " " +
                               Quote(Path("ours.dbf")),
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
  // A record flagged neither blank nor "*" is live to neither reader: dbfread skips it, we
  // read it as deleted and say so.
  std::string bytes = ReadBytes(Path("ours.dbf"));
  bytes[Le16(bytes, 8) + Le16(bytes, 10)] = 'X';  // record 2
  WriteBytes(Path("ours.dbf"), bytes);
  std::string out;
  // The live records, as dbfread iterates a table.
  ASSERT_TRUE(
      RunCommand("PYTHONIOENCODING=utf-8 " SYSTEM_PYTHON3 " -c 'import sys, dbfread\n"
                 "for r in dbfread.DBF(sys.argv[1], encoding=\"cp850\"): print(r[\"NAME\"])' " +
                     Quote(Path("ours.dbf")),
                 out))
      << out;
  const std::vector<std::string> theirs = Lines(out);
  ASSERT_TRUE(UseDbf(Path("ours.dbf"), true));
  std::vector<std::string> ours;
  for (Go(1); !dEOF(); Skip(1)) {
    if (RecNo() == 2) EXPECT_EQ(XbaseErrorCode, 13) << XbaseErrorMessage;
    if (!RecordDeleted()) ours.push_back(DosToWin(AllTrim(FieldAsText(1))));
  }
  EXPECT_EQ(ours, theirs);
  EXPECT_EQ(theirs, (std::vector<std::string>{"Müller", "last"}));
}

TEST_F(DbfReaders, PerlXBaseReadsOurTable) {
  if (!NeedValidator("perl -MXBase -e 1", "Perl XBase")) GTEST_SKIP();
  WriteOurs("ours.dbf", false);
  std::string out;
  ASSERT_TRUE(RunCommand("dbf_dump --fs '|' " + Quote(Path("ours.dbf")), out)) << out;
  // dbf_dump leaves deleted records out; logicals as 1 and 0, dates as stored.
  const std::vector<std::string> expected = {
      "M\x81ller|7|12.5|1|20251224",
      "Stra\xE1"
      "e|-4|0.25|0|",
      "last|99999|-1234.56|0|20000229",
  };
  EXPECT_EQ(Lines(out), expected);
  ASSERT_TRUE(RunCommand("dbf_dump --info " + Quote(Path("ours.dbf")), out)) << out;
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
  ASSERT_TRUE(RunCommand(
      SYSTEM_PYTHON3 " " + Quote(kScripts + "dbf_write_dbf.py") + " " + Quote(Path("ref.dbf")),
      out))
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
  EXPECT_EQ(rows[0].price, std::string("12") + DecimalPoint + "50");  // the user's sign
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
  ASSERT_TRUE(RunCommand(
      "perl " + Quote(kScripts + "dbf_write_xbase.pl") + " " + Quote(Path("px.dbf")), out))
      << out;
  CenturyOn = true;
  SetDateMode(5);
  ASSERT_TRUE(UseDbf(Path("px.dbf"), true)) << XbaseErrorMessage;
  const std::vector<ReadBack> rows = ReadAll();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "Perl");
  EXPECT_EQ(rows[0].qty, "3");
  EXPECT_EQ(rows[0].price, std::string("1") + DecimalPoint + "25");
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
  ASSERT_TRUE(RunCommand("dbf_dump --fs '|' " + Quote(Path("px.dbf")), out)) << out;
  EXPECT_EQ(Lines(out), (std::vector<std::string>{"Perl|3|1.25|1|20240229", "ours|5|0|0|"}));
}

// Two programs each open the shared table, take the append lock, append one record, let go and
// close, thousands of times. Every record must be there, whole and not deleted, for every reader.
TEST_F(DbfReaders, TwoProgramsAppendingAndClosingLoseNothing) {
  constexpr int kCycles = 3000;
  ASSERT_TRUE(CreateDbf(Path("shared.dbf"), {{"NAME", 'C', 8, 0}, {"N", 'N', 6, 0}}, 0, false))
      << XbaseErrorMessage;
  CloseArea();
  pid_t children[2];
  for (int p = 0; p < 2; ++p) {
    children[p] = ::fork();
    if (children[p] != 0) continue;
    InitXbaseCore();
    SetErrorHandling(false);
    LockRetries = 255;
    LockWaitMs = 1;
    LockRetryCallback = [] { return true; };
    for (int i = 1; i <= kCycles; ++i) {
      if (!UseDbf(Path("shared.dbf"), false) || !ALock()) ::_exit(2);
      ClearRecord();
      char name[16];
      std::snprintf(name, sizeof name, "%c%05d", 'A' + p, i);
      SetFieldText(1, name);
      SetFieldNumber(2, i);
      Append();
      if (XbaseErrorCode != 0) ::_exit(3);
      Unlock();
      CloseArea();
      if (XbaseErrorCode != 0) ::_exit(4);
    }
    ::_exit(0);
  }
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::vector<std::string> expected;
  for (char p : {'A', 'B'})
    for (int i = 1; i <= kCycles; ++i) {
      char line[32];
      std::snprintf(line, sizeof line, "record\t0\t%c%05d\t%d", p, i, i);
      expected.push_back(line);
    }
  std::sort(expected.begin(), expected.end());
  auto sorted = [](std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  std::string out;
  if (NeedValidator(SYSTEM_PYTHON3 " -c 'import dbfread'", "python3-dbfread")) {
    ASSERT_TRUE(RunCommand(SYSTEM_PYTHON3 " " + Quote(kScripts + "dbf_read_dbfread.py") + " " +
                               Quote(Path("shared.dbf")) + " | grep -v ^field",
                           out))
        << out.substr(0, 2000);
    std::vector<std::string> lines = Lines(out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "count\t" + std::to_string(2 * kCycles));
    lines.erase(lines.begin());
    EXPECT_EQ(sorted(lines), expected);
  }
  if (NeedValidator(SYSTEM_PYTHON3 " -c 'import dbf'", "python3-dbf")) {
    ASSERT_TRUE(RunCommand(
        SYSTEM_PYTHON3 " " + Quote(kScripts + "dbf_read_dbf.py") + " " + Quote(Path("shared.dbf")),
        out))
        << out.substr(0, 2000);
    EXPECT_EQ(sorted(Lines(out)), expected);
  }
  if (NeedValidator("perl -MXBase -e 1", "Perl XBase")) {
    // dbf_dump leaves deleted records out, so a record marked deleted would be missing here.
    ASSERT_TRUE(RunCommand("dbf_dump --fs '\t' " + Quote(Path("shared.dbf")), out)) << out;
    std::vector<std::string> lines;
    for (const std::string& l : Lines(out)) lines.push_back("record\t0\t" + l);
    EXPECT_EQ(sorted(lines), expected);
  }
}

// Tables python3-dbf and Perl XBase wrote, with dates of another century, 15-digit whole numbers
// and memos: editing another field, through the record layer and through the dataset, leaves
// those fields byte for byte as their writer stored them, and the memo file untouched.
TEST_F(DbfReaders, TheirOldDatesBigNumbersAndMemosSurviveAnEdit) {
  struct Producer {
    const char* what;
    std::string probe, command;
  } producers[] = {
      {"python3-dbf", SYSTEM_PYTHON3 " -c 'import dbf'",
       SYSTEM_PYTHON3 " " + Quote(kScripts + "old_values_dbf.py") + " " + Quote(Path("pyold.dbf"))},
      {"Perl XBase", "perl -MXBase -e 1",
       "perl " + Quote(kScripts + "old_values_xbase.pl") + " " + Quote(Path("plold.dbf"))},
  };
  for (const Producer& p : producers) {
    if (!NeedValidator(p.probe, p.what)) continue;
    std::string out;
    ASSERT_TRUE(RunCommand(p.command, out)) << out;
    const std::string table = Path(p.what[0] == 'p' ? "pyold.dbf" : "plold.dbf");
    const std::string memo = table.substr(0, table.size() - 3) + "dbt";
    const std::string memoBefore = ReadBytes(memo);
    ASSERT_FALSE(memoBefore.empty()) << p.what;
    CenturyOn = false;  // the years shown have two digits
    SetDateMode(0);
    auto kept = [&] {
      std::vector<std::string> fields;
      for (std::int32_t r = 1; r <= 3; ++r)
        for (int f = 2; f <= 4; ++f) fields.push_back(Peek(f, r));
      return fields;
    };
    ASSERT_TRUE(UseDbf(table, true)) << p.what << " " << XbaseErrorMessage;
    const std::vector<std::string> before = kept();
    EXPECT_EQ(AllTrim(before[1]), "123456789012345") << p.what;
    for (std::int32_t r = 1; r <= 2; ++r) {
      Go(r);
      EXPECT_EQ(GetFieldNumber(3), r == 1 ? 123456789012345.0 : -98765432109876.0) << p.what;
      SetFieldText(1, "edited");
      StoreFields();
      PutDbfRecord(*CurrentWorkArea(), r);
    }
    CloseArea();
    TXbDbf dataset;
    dataset.Exclusive = true;
    dataset.SetTableName(table);
    ASSERT_TRUE(dataset.Open()) << XbaseErrorMessage;
    dataset.Go(3);
    dataset.SetFieldString("NAME", "edited");
    dataset.Post();
    dataset.Close();
    ASSERT_TRUE(UseDbf(table, true));
    EXPECT_EQ(kept(), before) << p.what;
    Go(3);
    EXPECT_EQ(AllTrim(GetFieldText(1)), "edited") << p.what;
    CloseArea();
    EXPECT_TRUE(ReadBytes(memo) == memoBefore) << p.what << ": memo file changed";
  }
}

}  // namespace
