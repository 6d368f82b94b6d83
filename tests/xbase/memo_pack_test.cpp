// Copying memos between the three layouts and packing a memo file: every live memo survives in
// record order, replaced memos are dropped, and a bad memo pointer changes nothing.
#include "xbase/memo_pack.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <tuple>

#include "xbase/core_test_support.h"
#include "xbase/locking.h"
#include "xbase/memo_test_support.h"
#include "xbase/ndx_build.h"
#include "xbase/ndx_sets.h"
#include "xbase/xbase_expr_compiler.h"

namespace {

using core_test::Le16;
using core_test::WriteBytes;
using memo_test::Le32;
using memo_test::ReadFile;

class MemoPack : public memo_test::MemoFixture {
 protected:
  std::int32_t BlockOfRecord(std::int32_t r) {
    Go(r);
    return GetFieldMemo(2);
  }
};

TEST_F(MemoPack, CopyBetweenLayouts) {
  Select(1);
  MakeTable("src3", kMemoDbase3);
  const std::int32_t fromIII = AddMemo("three");
  Select(2);
  MakeTable("dst4", kMemoDbase4);
  // dBASE III into dBASE IV: an 8-byte group header, no end mark.
  const std::int32_t inIV = CopyMemo(1, fromIII, 0);
  ASSERT_EQ(inIV, 1);
  EXPECT_EQ(ReadFile(Path("dst4.dbt")).substr(512),
            std::string("\xFF\xFF\x08\0\x0D\0\0\0three", 13));

  // And back: dBASE IV into dBASE III gets its end mark.
  Select(1);
  const std::int32_t back = CopyMemo(2, inIV, 0);
  EXPECT_EQ(back, 2);
  EXPECT_EQ(ReadFile(Path("src3.dbt")).substr(1024, 6), "three\x1A");
  EXPECT_EQ(CopyMemo(2, 0, 0), 0);  // no memo, nothing copied

  Select(3);
  DefaultMemoBlockSize = 64;
  MakeTable("fox", kMemoFoxPro);
  const std::int32_t inFox = CopyMemo(2, inIV, 0);
  EXPECT_EQ(inFox, 8);
  EXPECT_EQ(ReadFile(Path("fox.fpt")).substr(512), std::string("\0\0\0\x01\0\0\0\x05three", 13));
}

TEST_F(MemoPack, PackKeepsLiveMemosInRecordOrderAndShrinks) {
  MakeTable("t", kMemoDbase3);
  const std::int32_t a = AddMemo("memo of A");
  const std::int32_t dropped = AddMemo(std::string(2000, 'x'));
  const std::int32_t b = AddMemo("memo of B");
  AppendRecord("B", b);
  AppendRecord("A", a);
  AppendRecord("NONE", 0);
  AppendRecord("ALSO B", b);  // one memo, two records: stored twice after the pack
  ASSERT_GT(dropped, 0);
  const std::size_t before = ReadFile(Path("t.dbt")).size();

  PackMemofile();
  ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  const std::string packed = ReadFile(Path("t.dbt"));
  EXPECT_LT(packed.size(), before);
  EXPECT_EQ(BlockOfRecord(1), 1);
  EXPECT_EQ(BlockOfRecord(2), 2);
  EXPECT_EQ(BlockOfRecord(3), 0);
  EXPECT_EQ(BlockOfRecord(4), 3);
  EXPECT_EQ(MemoOf(1), "memo of B");
  EXPECT_EQ(MemoOf(2), "memo of A");
  EXPECT_EQ(MemoOf(3), "memo of B");
  EXPECT_EQ(Le32(packed, 0), (packed.size() + 511) / 512);
}

TEST_F(MemoPack, PackWithoutMemosLeavesTheHeader) {
  MakeTable("t", kMemoDbase4);
  AddMemo("orphan");
  AppendRecord("A", 0);
  PackMemofile();
  ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  const std::string packed = ReadFile(Path("t.dbt"));
  EXPECT_EQ(packed.size(), 512u);
  EXPECT_EQ(packed.substr(8, 8), std::string("t\0\0\0\0\0\0\0", 8));  // its own name
  // A table without memo fields has no memo file to pack.
  CloseAll();
  ASSERT_TRUE(CreateDbf(Path("plain.dbf"), {{"NAME", 'C', 10, 0}}, 0, true));
  PackMemofile();
  EXPECT_EQ(XbaseErrorCode, 1019);
  EXPECT_FALSE(std::filesystem::exists(Path("plain.$$$")));
}

// A bad pointer, or a pointer write refused past the file size limit once the packed file is
// whole, changes nothing, and leaves nothing for the next open to finish.
TEST_F(MemoPack, BadPointerStopsThePackAndChangesNothing) {
  // Records, the last one's memo (0: one of its own), the code.
  for (const auto& [records, last, code] : {std::tuple{2, 999, 1003}, std::tuple{100, 0, 101}}) {
    const std::string name = "t" + std::to_string(code);
    MakeTable(name, kMemoFoxPro);
    AppendRecord("A", AddMemo("good"));
    for (int r = 2; r < records; ++r) AppendRecord("B", 0);
    AppendRecord("Z", last ? last : AddMemo("last"));
    CloseAll();
    ASSERT_TRUE(UseDbf(Path(name + ".dbf"), true)) << XbaseErrorMessage;
    const std::string memoBefore = ReadFile(Path(name + ".fpt"));
    const std::string tableBefore = ReadFile(Path(name + ".dbf"));
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{2048, limit.rlim_max};  // beyond the packed file, before the last record
    const auto handler = signal(SIGXFSZ, SIG_IGN);
    if (code == 101) setrlimit(RLIMIT_FSIZE, &small);
    PackMemofile();
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, handler);
    EXPECT_EQ(XbaseErrorCode, code) << XbaseErrorMessage;
    if (code == 1003)
      EXPECT_NE(XbaseErrorMessage.find(" Memo block # 999 Record # 2 [PackMemo]"),
                std::string::npos);
    for (int open = 0; open < 2; ++open) {
      EXPECT_EQ(ReadFile(Path(name + ".fpt")), memoBefore) << open;
      EXPECT_EQ(ReadFile(Path(name + ".dbf")), tableBefore) << open;
      EXPECT_FALSE(std::filesystem::exists(Path(name + ".$$$"))) << open;
      CloseAll();
      if (!open) EXPECT_TRUE(UseDbf(Path(name + ".dbf"), true)) << XbaseErrorMessage;
    }
  }
}

TEST_F(MemoPack, CopyToTheSameBlockNumber) {
  Select(1);
  MakeTable("a", kMemoDbase4);
  AddMemo("first");
  const std::int32_t second = AddMemo("second");
  Select(2);
  MakeTable("b", kMemoDbase4);
  AddMemo("placeholder");
  EXPECT_EQ(CopyMemo(1, second, 1), second);
  EXPECT_EQ(MemoOf(second), "second");
}

TEST_F(MemoPack, PackNeedsTheTableToItself) {
  MakeTable("t", kMemoDbase3, false);
  ASSERT_TRUE(ALock());
  AddMemo("dropped");
  AppendRecord("A", AddMemo("kept"));
  Unlock();
  // Another user has the table open: the block numbers it reads must stay true.
  Select(2);
  ASSERT_TRUE(UseDbf(Path("t.dbf"), false)) << XbaseErrorMessage;
  Select(1);
  const std::string memoBefore = memo_test::ReadFile(Path("t.dbt"));
  PackMemofile();
  EXPECT_EQ(XbaseErrorCode, 225);
  EXPECT_TRUE(memo_test::ReadFile(Path("t.dbt")) == memoBefore);
  EXPECT_EQ(BlockOfRecord(1), 2);
  Select(2);
  CloseArea();
  Select(1);
  PackMemofile();
  ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  EXPECT_EQ(BlockOfRecord(1), 1);
  EXPECT_EQ(MemoOf(1), "kept");
  // Shared again afterwards.
  Select(2);
  EXPECT_TRUE(UseDbf(Path("t.dbf"), false)) << XbaseErrorMessage;
}

// The next open finishes a pack cut short, or refuses a packed file that does not fit (1003).
TEST_F(MemoPack, OpenFinishesAPackCutShort) {
  const auto text = [](int r) { return "memo " + std::to_string(r) + std::string(r * 150, '.'); };
  // Layout, records pointing into t.$$$, damage (1: t.$$$ cut; 2: record 4 given a memo).
  const std::tuple<std::uint8_t, int, int> rows[] = {{kMemoDbase3, 0, 0}, {kMemoDbase3, 3, 0},
                                                     {kMemoDbase4, 2, 0}, {kMemoFoxPro, 5, 0},
                                                     {kMemoDbase4, 5, 1}, {kMemoFoxPro, 1, 2}};
  for (const auto& [type, pointed, damage] : rows) {
    SCOPED_TRACE(testing::Message() << int(type) << " " << pointed << " " << damage);
    const std::string name = "t" + std::to_string(type) + std::to_string(pointed);
    const std::string table = Path(name + ".dbf"),
                      memo = Path(name + (type == kMemoFoxPro ? ".fpt" : ".dbt"));
    MakeTable(name, type);
    for (int r = 1; r <= 5; ++r) {
      AddMemo(std::string(700, 'x'));  // replaced long ago: the pack drops it
      AppendRecord("R", r == 4 ? 0 : AddMemo(text(r)));
    }
    const std::string tableOld = ReadFile(table), memoOld = ReadFile(memo);
    PackMemofile();
    ASSERT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
    const std::string tableNew = ReadFile(table), memoNew = ReadFile(memo);
    CloseAll();
    const std::size_t header = Le16(tableNew, 8), length = Le16(tableNew, 10);
    std::string cut = tableOld;
    cut.replace(0, header + pointed * length, tableNew, 0, header + pointed * length);
    if (damage == 2) cut.replace(header + 3 * length + 11, 10, "         1");
    WriteBytes(table, cut);
    WriteBytes(memo, memoOld);
    WriteBytes(Path(name + ".$$$"), memoNew.substr(0, memoNew.size() - 3 * (damage == 1)));
    // The work file of a pack killed half way, by a process that is gone.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string killed = Path(name + ".$$$.vuko-work-" + std::to_string(gone) + "-0-1");
    WriteBytes(killed, memoNew.substr(0, 600));
    ASSERT_EQ(UseDbf(table, true), damage == 0) << XbaseErrorMessage;
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_EQ(XbaseErrorCode, damage ? 1003 : 0);
    EXPECT_EQ(ReadFile(memo), damage ? memoOld : memoNew);
    EXPECT_EQ(std::filesystem::exists(Path(name + ".$$$")), damage != 0);
    for (int r = 1; r <= 5 && !damage; ++r)
      EXPECT_EQ(MemoOf(BlockOfRecord(r)), r == 4 ? "" : text(r)) << "record " << r;
    CloseAll();
    EXPECT_EQ(ReadFile(table).substr(header, 5 * length),
              (damage ? cut : tableNew).substr(header, 5 * length));
  }
}

// Folders of 200 characters, alike in their first 199: every derived file lies beside its table.
TEST_F(MemoPack, DerivedFilesLieBesideTablesInLongFolders) {
  InstallParserHooks();
  IndexInit();
  // The folders take what the scratch folder leaves of 200 characters (a little more past 170).
  const std::string common =
      dir_ + "/" + std::string(dir_.size() < 170 ? 170 - dir_.size() : 1, 'd') + "/";
  std::vector<std::string> expected;
  for (const std::string tail : {"x", "y"}) {
    const std::string folder =
        common + std::string(common.size() < 199 ? 199 - common.size() : 1, 'e') + tail;
    std::filesystem::create_directories(folder);
    MakeTable(folder.substr(dir_.size() + 1) + "/t", kMemoDbase3, false);
    ASSERT_TRUE(ALock());
    AddMemo("dropped by the pack");
    AppendRecord("R", AddMemo("memo of " + tail));
    Unlock();
    MakeIndex("t.ndx", "NAME", false, 1, false, false);
    ASSERT_TRUE(SetIndexTo("t.ndx", 1)) << XbaseErrorMessage;
    EXPECT_TRUE(std::filesystem::exists(folder + "/t.@S@"));
    CloseIndexFile(1);
    PackMemofile();
    EXPECT_EQ(MemoOf(BlockOfRecord(1)), "memo of " + tail);
    CloseAll();
    for (const char* name : {"/t.dbf", "/t.dbt", "/t.ndx"}) expected.push_back(folder + name);
  }
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_))
    if (entry.is_regular_file()) found.push_back(entry.path().string());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, expected);
}

}  // namespace
