// Memo files against independent readers and writers: dbfread and Perl XBase read the tables
// and memos we write in all three layouts; we read the memos python3-dbf and Perl XBase write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "validator_support.h"
#include "xbase/memo_test_support.h"

namespace {

const std::string kScripts = VUKO_SOURCE_DIR "/tests/xbase/validator/";

using validator_support::CommandSucceeds;
using validator_support::Quote;
using validator_support::RunCommand;

void NeedValidator(const std::string& probe, const std::string& what) {
  REQUIRE_OR_SKIP(CommandSucceeds(probe), what << " missing", what << " not installed");
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex.push_back(digits[c >> 4]);
    hex.push_back(digits[c & 15]);
  }
  return hex;
}

// name -> memo hex, from the readers' output lines "name<TAB>hex".
std::vector<std::pair<std::string, std::string>> ParseRows(const std::string& out) {
  std::vector<std::pair<std::string, std::string>> rows;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    rows.emplace_back(line.substr(0, tab), line.substr(tab + 1));
  }
  return rows;
}

const std::string kTwoLines = "Line one\r\nLine two";
const std::string kLong(1500, 'x');

struct LayoutCase {
  const char* name;
  std::uint8_t version;  // asked for
  std::uint16_t blockSize;
  std::uint8_t written;  // the table's version byte
};
// dbfread reads a dBASE IV memo with 512-byte blocks only. A table asked for as plain dBASE III
// (0x03) or IV (0x04) with a memo field is written with the version that says it has a memo.
const LayoutCase kLayouts[] = {
    {"dBASE III", kMemoDbase3, 512, 0x83}, {"dBASE III asked without memo", 0x03, 512, 0x83},
    {"dBASE IV", kMemoDbase4, 512, 0x8B},  {"dBASE IV asked without memo", 0x04, 512, 0x8C},
    {"FoxPro 64", kMemoFoxPro, 64, 0xF5},
};

class MemoReaders : public memo_test::MemoFixture {
 protected:
  // A table of three records: two lines, a long text over several blocks, no memo; one memo
  // rewritten through the text file so that a dropped memo stays in the file.
  void WriteTable(const LayoutCase& c, const std::string& name) {
    DefaultMemoBlockSize = c.blockSize;
    MakeTable(name, c.version);
    AppendRecord("A", AddMemo("first version"));
    AppendRecord("B", AddMemo(kLong));
    AppendRecord("C", 0);  // no memo: blanks, which Perl XBase and dbfread read as none
    Go(1);
    std::int32_t block = GetFieldMemo(2);
    TMemoTextFile file;
    AssignMemo(file, block);
    MemoRewrite(file);
    MemoWriteLn(file, "Line one");
    MemoWrite(file, "Line two");
    MemoClose(file);
    SetFieldMemo(2, block);
    StoreFields();
    PutDbfRecord(*CurrentWorkArea(), 1);
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
    CloseAll();
  }
  void ExpectRows(const std::string& out, bool prefixOnly) {
    const auto rows = ParseRows(out);
    ASSERT_EQ(rows.size(), 3u) << out;
    const std::string expected[] = {Hex(kTwoLines), Hex(kLong), ""};
    const char* names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(rows[i].first, names[i]);
      if (prefixOnly)
        EXPECT_EQ(rows[i].second.substr(0, expected[i].size()), expected[i]) << names[i];
      else
        EXPECT_EQ(rows[i].second, expected[i]) << names[i];
    }
  }
};

TEST_F(MemoReaders, DbfreadReadsOurMemos) {
  NeedValidator("/usr/bin/python3 -c 'import dbfread'", "python3-dbfread");
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string("r") + std::to_string(c.version);
    WriteTable(c, name);
    std::string out;
    ASSERT_TRUE(RunCommand("/usr/bin/python3 " + Quote(kScripts + "memo_read_dbfread.py") + " " +
                               Quote(Path(name + ".dbf")),
                           out))
        << out;
    // dbfread takes the 8 header bytes of a dBASE IV memo for text: compare by prefix.
    EXPECT_EQ(std::uint8_t(memo_test::ReadFile(Path(name + ".dbf"))[0]), c.written);
    ExpectRows(out, IsDbase4Memo(c.written));
  }
}

TEST_F(MemoReaders, PerlXBaseReadsOurMemos) {
  NeedValidator("perl -MXBase -e 1", "Perl XBase (libdbd-xbase-perl)");
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string("p") + std::to_string(c.version);
    WriteTable(c, name);
    std::string out;
    ASSERT_TRUE(RunCommand(
        "perl " + Quote(kScripts + "memo_read_xbase.pl") + " " + Quote(Path(name + ".dbf")), out))
        << out;
    ExpectRows(out, false);
  }
}

TEST_F(MemoReaders, PerlXBaseAcceptsAFreshDbase4MemoFile) {
  NeedValidator("perl -MXBase -e 1", "Perl XBase (libdbd-xbase-perl)");
  MakeTable("fresh", kMemoDbase4);
  AppendRecord("C", 0);
  CloseAll();
  std::string out;
  ASSERT_TRUE(RunCommand(
      "perl " + Quote(kScripts + "memo_read_xbase.pl") + " " + Quote(Path("fresh.dbf")), out))
      << out;
  EXPECT_EQ(out, "C\t\n");
}

// A table made with its memo file as a program makes it (no memo file laid by hand) is read by
// python3-dbf, which looks for the memo file under the table's own case and refuses memo fields
// under a version byte that declares none (asked for 0x03 or no version, we write 0x83).
TEST_F(MemoReaders, Python3DbfReadsTablesWeCreate) {
  NeedValidator("/usr/bin/python3 -c 'import dbf'", "python3-dbf");
  for (std::uint8_t version : {std::uint8_t{0}, std::uint8_t{0x03}, kMemoDbase3, kMemoFoxPro}) {
    SCOPED_TRACE(int(version));
    const std::string name = "c" + std::to_string(version) + ".dbf";
    ASSERT_TRUE(CreateDbf(Path(name), {{"NAME", 'C', 10, 0}, {"NOTES", 'M', 10, 0}}, version))
        << XbaseErrorMessage;
    AppendRecord("A", AddMemo(kTwoLines));
    AppendRecord("B", AddMemo(kLong));
    AppendRecord("C", 0);
    CloseAll();
    std::string out;
    ASSERT_TRUE(RunCommand(
        "/usr/bin/python3 " + Quote(kScripts + "memo_read_dbf.py") + " " + Quote(Path(name)), out))
        << out;
    ExpectRows(out, false);
  }
}

// Memos other programs wrote, read through the library.
struct ProducerCase {
  const char* name;
  const char* probe;
  const char* interpreter;
  const char* script;     // in kScripts, given the table's path and the layout
  const char* extension;  // of the table's path the script is given
  const char* layout;
  const char* table;
};
const ProducerCase kProducers[] = {
    {"python3-dbf dBASE III", "/usr/bin/python3 -c 'import dbf'", "/usr/bin/python3",
     "memo_write_dbf.py", "", "db3", "pdb3"},
    {"python3-dbf FoxPro", "/usr/bin/python3 -c 'import dbf'", "/usr/bin/python3",
     "memo_write_dbf.py", "", "fp", "pfp"},
    {"Perl XBase dBASE III", "perl -MXBase -e 1", "perl", "memo_write_xbase.pl", ".dbf", "3", "x3"},
    {"Perl XBase dBASE IV", "perl -MXBase -e 1", "perl", "memo_write_xbase.pl", ".dbf", "4", "x4"},
};

TEST_F(MemoReaders, WeReadMemosOthersWrote) {
  // Perl XBase marks its dBASE IV tables with version 0x84.
  ExtraDbfVersion1 = 0x84;
  for (const ProducerCase& c : kProducers) {
    SCOPED_TRACE(c.name);
    if (!CommandSucceeds(c.probe)) {
      if (std::getenv("CI")) ADD_FAILURE() << c.name << " missing";
      continue;
    }
    const std::string command = std::string(c.interpreter) + " " + Quote(kScripts + c.script) +
                                " " + Quote(Path(c.table) + c.extension) + " " + c.layout;
    std::string out;
    ASSERT_TRUE(RunCommand(command, out)) << out;
    ASSERT_TRUE(UseDbf(Path(std::string(c.table) + ".dbf"), true)) << XbaseErrorMessage;
    ASSERT_NE(CurrentMemo(), nullptr) << XbaseErrorMessage;
    const std::string expected[] = {kTwoLines, kLong, ""};
    for (int r = 1; r <= 3; ++r) {
      Go(r);
      EXPECT_EQ(MemoOf(GetFieldMemo(2)), expected[r - 1]) << "record " << r;
    }
    Go(1);
    ASSERT_TRUE(GetMemo(GetFieldMemo(2)));
    EXPECT_EQ(MemoLines.lines, (std::vector<std::string>{"Line one", "Line two"}));
    CloseAll();
  }
  ExtraDbfVersion1 = 0;
}

}  // namespace
