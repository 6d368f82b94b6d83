// Damaged copies of a table and its index, both written by the library, walked in index order:
// each copy either gives every live record with the values written into it, or ends in an error
// code; none hands out records without one. The damage is laid into the bytes by the published
// dBASE III PLUS and NDX layouts (header length at byte 8, record length at 10, decimals at
// byte 17 of a field descriptor; index items of child, record number and key). A second
// process appending to the shared table shows that records not yet counted here are no damage.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "ndx_test_support.h"

using namespace ndx_test;

namespace {

constexpr int kRows = 3000;  // header length 65535 then still lies inside the file
constexpr std::size_t kRecordLength = 1 + 10 + 10 + 8;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void PutLe16(std::string& b, std::size_t at, std::uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}

// Offset in the index file of the left-most leaf: item 0's children from the root down.
std::size_t FirstLeaf(const std::string& ndx) {
  std::uint32_t node = Le32(ndx, 0);
  while (Le32(ndx, node * 512 + 4) != 0) node = Le32(ndx, node * 512 + 4);
  return node * 512;
}

class DamagedTable : public NdxFixture {
 protected:
  // Walks the controlling index from its first key forwards, or from the record of its last key
  // backwards; every record met must hold what was written into it.
  std::vector<std::int32_t> Walk(bool back = false, std::int32_t last = 0) {
    std::vector<std::int32_t> met;
    XbaseErrorCode = 0;
    back ? Go(last) : GoTop();
    while (XbaseErrorCode == 0 && !(back ? dBOF() : dEOF()) && met.size() <= rows_.size()) {
      const std::int32_t r = RecNo();
      if (r < 1 || r > static_cast<std::int32_t>(rows_.size()) ||
          GetFieldText(1) != rows_[r - 1].name) {
        ADD_FAILURE() << "record " << r << " read as " << GetFieldText(1);
        break;
      }
      met.push_back(r);
      Skip(back ? -1 : 1);
    }
    return met;
  }
};

TEST_F(DamagedTable, EveryCopyWalksItsRecordsOrReportsACode) {
  MakeTable("t");
  Fill(kRows);
  CloseArea();
  ASSERT_TRUE(UseDbf(Path("t.dbf"), true));
  MakeIndex("t", "NAME", false, 1, false, false);
  ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  CloseAll();
  const std::string dbf = ReadFile(Path("t.dbf"));
  const std::string ndx = ReadFile(Path("t.NDX"));
  ASSERT_EQ(Le16(dbf, 10), kRecordLength);

  struct Case {
    const char* what;
    std::function<void(std::string& dbf, std::string& ndx)> damage;
    int openCode;  // 0: the table opens
    int walkCode;  // 0: the walk gives every record
  };
  const std::size_t amountDecimals = 32 + 32 + 17;
  const Case cases[] = {
      {"intact", [](std::string&, std::string&) {}, 0, 0},
      {"cut short by one record",
       [](std::string& d, std::string&) { d.resize(d.size() - 1 - kRecordLength); }, 0, 212},
      {"first leaf entry names record 10,000,000",
       [](std::string&, std::string& n) {
         const std::size_t leaf = FirstLeaf(n);
         for (int i = 0; i < 4; ++i) n[leaf + 8 + i] = char((10000000u >> (8 * i)) & 0xFF);
       },
       0, 212},
      {"header length 33", [](std::string& d, std::string&) { PutLe16(d, 8, 33); }, 210, 0},
      {"header length 65535", [](std::string& d, std::string&) { PutLe16(d, 8, 65535); }, 210, 0},
      {"record length one too long",
       [](std::string& d, std::string&) { PutLe16(d, 10, kRecordLength + 1); }, 210, 0},
      {"record length one too short",
       [](std::string& d, std::string&) { PutLe16(d, 10, kRecordLength - 1); }, 210, 0},
      {"decimals wider than the field",
       [amountDecimals](std::string& d, std::string&) { d[amountDecimals] = 11; }, 210, 0},
  };
  ASSERT_EQ(dbf[amountDecimals], 2);  // AMOUNT N 10.2
  std::vector<std::string> names;
  for (const TRow& row : rows_) names.push_back(row.name);
  const std::int32_t lastKeyRecord = ExpectedOrder(names).back().second;
  for (const Case& c : cases) {
    for (bool exclusive : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (exclusive ? ", exclusive" : ", shared"));
      std::string d = dbf, n = ndx;
      c.damage(d, n);
      WriteFile(Path("t.dbf"), d);
      WriteFile(Path("t.NDX"), n);
      XbaseErrorCode = 0;
      const bool opened = UseDbf(Path("t.dbf"), exclusive);
      EXPECT_EQ(XbaseErrorCode, c.openCode) << XbaseErrorMessage;
      if (!opened) {
        EXPECT_NE(c.openCode, 0) << "refused: " << XbaseErrorMessage;
        continue;
      }
      ASSERT_TRUE(SetIndexTo("t", 1)) << XbaseErrorMessage;
      for (bool back : {false, true}) {
        SCOPED_TRACE(back ? "backwards" : "forwards");
        const std::vector<std::int32_t> met = Walk(back, lastKeyRecord);
        EXPECT_EQ(XbaseErrorCode, c.walkCode) << XbaseErrorMessage;
        if (XbaseErrorCode == 0) {
          EXPECT_EQ(met.size(), static_cast<std::size_t>(RecCount()));
        } else {
          EXPECT_NE(XbaseErrorMessage.find("index needs rebuilding"), std::string::npos)
              << XbaseErrorMessage;
          EXPECT_TRUE(dEOF()) << "the walk stops";
        }
      }
      CloseAll();
    }
  }
}

// The other program appends keys that sort behind the position this one stands on; its records
// lie past the count this one last read, and the walk still meets every one of them.
TEST_F(DamagedTable, AnotherProcessesFreshAppendsAreFoundThroughTheIndex) {
  MakeTable("shared", false);
  Fill(200);
  Unlock();
  MakeIndex("shared", "NAME", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;
  GoTop();
  for (int i = 0; i < 150; ++i) Skip(1);
  ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  const std::int32_t standingOn = RecNo();
  ASSERT_EQ(CurrentWorkArea()->recordCount, 200);

  const pid_t child = ::fork();
  if (child == 0) {
    Select(2);
    bool ok = UseDbf(Path("shared.dbf"), false) && SetIndexTo("shared", 1);
    for (int i = 1; ok && i <= 5; ++i) {
      ClearRecord();
      SetFieldText(1, "ZZ" + std::to_string(i));
      ok = ALock();
      Append();
      Unlock();
      ok = ok && XbaseErrorCode == 0;
    }
    CloseArea();
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);

  EXPECT_EQ(RecNo(), standingOn);
  std::vector<std::int32_t> rest;
  XbaseErrorCode = 0;
  while (!dEOF() && rest.size() < 100) {
    rest.push_back(RecNo());
    Skip(1);
  }
  EXPECT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  ASSERT_GE(rest.size(), 5u);
  EXPECT_EQ(std::vector<std::int32_t>(rest.end() - 5, rest.end()),
            (std::vector<std::int32_t>{201, 202, 203, 204, 205}));
  EXPECT_EQ(rest.size(), 200u - 150u + 5u);
}

}  // namespace
