// dBASE III header: header length at byte 8, record length at 10, decimals at 32 + 17 per field.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <utility>

#include "ndx_test_support.h"

using namespace ndx_test;
using DamagedTable = NdxFixture;

// Records a walk shows; whether it ended within the bound; whether a step back at BOF stays.
struct TWalk {
  std::set<std::int32_t> seen;
  bool ended = false, stays = true;
  std::uint16_t startCode = 0;  // the code as the walk starts, after its first move
  bool onRecord = true;         // a backward walk ended on a record of the table, shown
};

// N (no index), F from the top; H: F, first key's record hidden; B from the last key; b: on.
TWalk Walk(char how, std::size_t bound, std::int32_t top, std::int32_t bottom,
           const std::vector<std::string>& names) {
  TWalk w;
  const bool backward = how == 'B' || how == 'b';
  if (how == 'H') {
    Go(top);
    SetRecordDeleted(true);
    StoreFields();
    PutDbfRecord(*CurrentWorkArea(), top);
    SetIgnoreDel(true);
  }
  if (how != 'b') how == 'B' ? Go(bottom) : GoTop();
  w.startCode = XbaseErrorCode;
  for (std::size_t steps = 0; steps <= bound; ++steps) {
    if (backward ? dBOF() : dEOF()) {
      w.ended = true;
      break;
    }
    if (RecNo() >= 1 && RecNo() <= RecCount()) w.seen.insert(RecNo());
    Skip(backward ? -1 : 1);
  }
  if (how == 'H') SetIgnoreDel(false);
  if (backward) {
    const std::int32_t at = RecNo();
    w.onRecord = at >= 1 && at <= RecCount() && GetFieldText(1) == names[at - 1];
    Skip(-1);
    w.stays = RecNo() == at && dBOF();
  }
  return w;
}

TEST_F(DamagedTable, EveryCopyWalksItsRecordsOrReportsACode) {
  constexpr std::uint32_t kRecordLength = 1 + 10 + 10 + 8, kHeader = 32 + 3 * 32 + 1;
  MakeTable("t");
  Fill(3000);  // header length 65535 then still lies inside the file
  MakeIndex("t", "NAME", false, 1, false, false);
  CloseAll();
  const std::string dbf = ReadFile(Path("t.dbf")), ndx = ReadFile(Path("t.NDX"));
  std::uint32_t parent = 0, leaf = Le32(ndx, 0);  // down the first children from the root
  while (Le32(ndx, leaf * 512 + 4) != 0) parent = std::exchange(leaf, Le32(ndx, leaf * 512 + 4));
  const std::size_t entry = Le16(ndx, 18), second = leaf * 512 + 4 + entry + 4;
  // The first leaf's items with its first and last swapped: every key there, out of order.
  const std::size_t items = Le32(ndx, leaf * 512);
  std::string swapped = ndx.substr(leaf * 512 + 4, items * entry);
  swapped.replace(0, entry, ndx, leaf * 512 + 4 + (items - 1) * entry, entry);
  swapped.replace((items - 1) * entry, entry, ndx, leaf * 512 + 4, entry);
  const std::string leafNumber = ndx.substr(parent * 512 + 4, 4);
  std::vector<std::string> names;
  for (const TRow& r : rows_) names.push_back(r.name);
  const auto order = ExpectedOrder(names);                       // (key, record) by key
  const std::size_t amount5 = kHeader + 4 * kRecordLength + 11;  // AMOUNT of record 5
  // Length (0: as written); bytes put in file (0 dbf, 1 ndx) at; walks; code; records; fill.
  struct Case {
    const char* what;
    std::size_t length;
    int file;
    std::size_t at;
    std::string bytes;
    const char* walks;
    int code;
    std::size_t whole, fill = 0;
  } cases[] = {
      {"intact", 0, 0, 0, "", "NFbBH", 0, 3000},
      {"cut inside the last record", kHeader + 2999 * kRecordLength + 18, 0, 0, "", "N", 213, 2999},
      {"cut inside the last record, through its index", kHeader + 2999 * kRecordLength + 18, 0, 0,
       "", "FbB", 212, 2999},
      {"first leaf entry names record 0", 0, 1, second - entry, std::string(4, '\0'), "FbB", 212,
       3000},
      {"second leaf entry names record 0", 0, 1, second, std::string(4, '\0'), "FbBH", 212, 3000},
      {"leaf names record 10,000,000", 0, 1, leaf * 512 + 8, "\x80\x96\x98\x00", "FbB", 212, 3000},
      {"an inner page names its first leaf twice", 0, 1, parent * 512 + 4 + entry, leafNumber,
       "FbB", 212, 3000},
      {"the root holds no key", 0, 1, Le32(ndx, 0) * 512, std::string(4, '\0'), "FbB", 212, 3000},
      {"fourth and fifth leaf entries name one record", 0, 1, second + 3 * entry,
       ndx.substr(second + 2 * entry, 4), "FbB", 212, 3000},
      {"a backward walk on record 1 meets record 0", 0, 1, second + entry,
       std::string(4, '\0') + ndx.substr(second + entry + 4, entry - 4) +
           std::string("\1\0\0\0", 4),
       "FbB", 212, 3000},
      {"first and last keys of a leaf swapped", 0, 1, leaf * 512 + 4, swapped, "FbB", 212, 3000},
      {"header length + 1", 0, 0, 8, std::string(1, char(kHeader + 1)), "N", 210, 0},
      {"header length + 263 without the back link", 0, 0, 8, "\x88\x01", "N", 210, 0},
      {"FoxPro table with its back link", 0, 0, 0, "\xF5" + dbf.substr(1, 7) + "\x88\x01", "N", 0,
       3000, 263},
      {"header length + 1 over a fill byte", 0, 0, 8, std::string(1, char(kHeader + 1)), "N", 0,
       3000, 1},
      {"header length 33", 0, 0, 8, std::string("\x21\x00", 2), "N", 210, 0},
      {"header length 65535", 0, 0, 8, "\xFF\xFF", "N", 210, 0},
      {"record length + 1", 0, 0, 10, std::string(1, char(kRecordLength + 1)), "N", 210, 0},
      {"decimals 11 of N 10.2", 0, 0, 32 + 32 + 17, "\x0B", "N", 210, 0},
      {"header counts one record beyond the file", 0, 0, 4, std::string("\xB9\x0B", 2), "N", 213,
       3000},
      {"number field holds 12ab.5", 0, 0, amount5, "    12ab.5", "NF", 106, 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes[] = {dbf, ndx};
    bytes[c.file].replace(c.at, c.bytes.size(), c.bytes);
    if (c.length) bytes[0].resize(c.length);
    bytes[0].insert(kHeader, c.fill, '\0');
    for (int f : {0, 1}) std::ofstream(Path(f ? "t.NDX" : "t.dbf"), std::ios::binary) << bytes[f];
    PendingErrorCode = 0;
    const bool opened = UseDbf(Path("t.dbf"), false) || PendingErrorCode != 210;
    EXPECT_EQ(opened, c.code != 210);
    if (!opened) EXPECT_EQ(PendingErrorCode, 210) << XbaseErrorMessage;
    for (const char* how = c.walks; opened && *how; ++how) {
      SCOPED_TRACE(*how);
      if ((*how == 'F' || *how == 'H') && !SetIndexTo("t", 1)) ADD_FAILURE() << XbaseErrorMessage;
      if (*how != 'b' && (*how == 'F' || *how == 'H' || c.code != 213))
        PendingErrorCode = 0;  // open's stays
      const TWalk w = Walk(*how, 3005, order.front().second, order.back().second, names);
      EXPECT_TRUE(w.ended);
      EXPECT_TRUE(w.stays);
      if (*how == 'B') EXPECT_TRUE(w.onRecord);  // from the bottom record, on one
      EXPECT_LE(w.seen.size(), c.whole);
      if (*how == 'N' || c.code == 0)  // every whole record, but the one hidden
        EXPECT_EQ(w.seen.size(), c.whole - (*how == 'H'));
      if (*how == 'N') EXPECT_EQ(w.startCode, c.code == 213 ? 213 : 0);  // open's code stands
      EXPECT_EQ(PendingErrorCode, c.code) << XbaseErrorMessage;
      const std::string message = how[1] == 'b' ? XbaseErrorMessage : LastErrorMessage();
      if (c.code == 212) EXPECT_NE(message.find("needs rebuilding"), std::string::npos) << message;
      if (c.code == 106) EXPECT_NE(message.find("AMOUNT"), std::string::npos) << message;
    }
    CloseAll();
  }
}

// Another process appends keys that sort behind the position this one stands on.
TEST_F(DamagedTable, AnotherProcessesFreshAppendsAreFoundThroughTheIndex) {
  MakeTable("shared", false);
  Fill(200);
  Unlock();
  MakeIndex("shared", "NAME", false, 1, false, false);
  ASSERT_TRUE(SetIndexTo("shared", 1)) << XbaseErrorMessage;
  GoTop();
  Skip(142);  // on the 143rd key
  if (::fork() == 0) {
    Select(2);
    if (!UseDbf(Path("shared.dbf"), false) || !SetIndexTo("shared", 1)) ::_exit(1);
    for (int i = 1; i <= 5; ++i) AppendRow({"ZZ" + std::to_string(i), 0, 2444240});
    CloseArea();
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_TRUE(::wait(&status) > 0 && WEXITSTATUS(status) == 0);
  XbaseErrorCode = 0;  // one step over our 57 keys left and onto the other's third
  Skip(60);
  EXPECT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  std::vector<std::int32_t> rest;
  for (; !dEOF() && rest.size() < 100; Skip(1)) rest.push_back(RecNo());
  EXPECT_EQ(rest, (std::vector<std::int32_t>{203, 204, 205}));
  // The file loses its last record under the index standing on it: dEOF() tells the damage.
  Go(205);
  std::filesystem::resize_file(Path("shared.dbf"), 32 + 3 * 32 + 1 + 204 * 29);
  EXPECT_TRUE(dEOF());
  EXPECT_EQ(XbaseErrorCode, 212) << XbaseErrorMessage;
}
