// Writers killed (SIGKILL) at random moments: the data file, table records, an index and a CAD
// file written by the program in batch mode. Afterwards the file is the old one intact or the
// new one complete, never a mix: compared byte for byte with the versions written undisturbed,
// and a table is read record by record (each record's fields must belong together); indexes and
// memo files kept up to date walk whole, or report a code.
//
// Rounds per kind: VUKO_KILL_ROUNDS (default 5); run with 200 once after touching a writer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "../tools/memo_text.h"
#include "app/data_file.h"
#include "app_test_support.h"
#include "calc/toothing_data.h"
#include "common/changed_on_disk.h"
#include "common/codepage.h"
#include "common/program_state.h"
#include "platform/file_writer.h"
#include "platform/temp_dir.h"
#include "xbase/memo_ops.h"
#include "xbase/memo_pack.h"
#include "xbase/ndx_build.h"
#include "xbase/ndx_sets.h"
#include "xbase/table_open.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

namespace {

using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;
using Clock = std::chrono::steady_clock;

const std::string kVuko = VUKO_BINARY_DIR "/vuko";
const std::string kWriteLoop = VUKO_BINARY_DIR "/tests/tools/write_loop";
const std::string kExample = VUKO_DATA_DIR "/example_x.vuk";

int Rounds() {
  const char* text = std::getenv("VUKO_KILL_ROUNDS");
  return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : 5;
}

pid_t Start(const std::string& dir, const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("XDG_CONFIG_HOME", (dir + "/.xdg").c_str(), 1);
    // A killed program leaves its private temporary directory: keep it in the scratch one.
    setenv("TMPDIR", (dir + "/.tmp").c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int Finish(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunTo(const std::string& dir, const std::vector<std::string>& args) {
  return Finish(Start(dir, args));
}

// Starts the writer, kills it after a random part of `window` and waits for it.
void KillDuring(const std::string& dir, const std::vector<std::string>& args,
                Clock::duration window, std::mt19937& random) {
  const auto ticks = std::uniform_int_distribution<long long>(0, window.count())(random);
  const pid_t pid = Start(dir, args);
  std::this_thread::sleep_for(Clock::duration(ticks));
  kill(pid, SIGKILL);
  Finish(pid);
}

// A run that has made its temporary folder in base, with a file in it, and waits to be ended.
pid_t StartHoldingTempFolder(const std::string& base) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test that stopped half way
    platform::RemoveTempDirectoryOnSignals();
    const std::string dir = platform::PrivateTempDirectory(base);
    if (dir.empty()) _exit(1);  // nothing written where the test runs
    WriteBytes(dir + "$OUT1.TMP", "listing");
    (void)!write(ready[1], "1", 1);
    pause();
    _exit(0);
  }
  close(ready[1]);  // a child that ends without a word ends the wait
  char ok = 0;
  const bool up = child > 0 && read(ready[0], &ok, 1) == 1;
  close(ready[0]);
  return up ? child : -1;
}

class KillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(access(kWriteLoop.c_str(), X_OK), 0) << kWriteLoop << " is not built";
    std::filesystem::create_directories(dir_.Path() + "/.xdg");
    std::filesystem::create_directories(dir_.Path() + "/.tmp");
  }
  std::string At(const std::string& name) const { return dir_ / name; }
  ScratchDir dir_;
  std::mt19937 random_{std::random_device{}()};
};

TEST_F(KillTest, DataFileIsOldOrNew) {
  ASSERT_EQ(RunTo(dir_.Path(), {kWriteLoop, "refs", "data", dir_.Path()}), 0);
  const std::string a = ReadBytes(At("a.vuk")), b = ReadBytes(At("b.vuk"));
  ASSERT_NE(a, b);
  WriteBytes(At("target.vuk"), a);
  for (int round = 0; round < Rounds(); ++round) {
    KillDuring(dir_.Path(), {kWriteLoop, "loop", "data", dir_.Path()},
               std::chrono::milliseconds(60), random_);
    const std::string now = ReadBytes(At("target.vuk"));
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
}

TEST_F(KillTest, IndexIsOldOrNew) {
  ASSERT_EQ(RunTo(dir_.Path(), {kWriteLoop, "refs", "index", dir_.Path()}), 0);
  const std::string a = ReadBytes(At("a.ndx")), b = ReadBytes(At("b.ndx"));
  ASSERT_NE(a, b);
  WriteBytes(At("target.ndx"), a);
  for (int round = 0; round < Rounds(); ++round) {
    KillDuring(dir_.Path(), {kWriteLoop, "loop", "index", dir_.Path()},
               std::chrono::milliseconds(60), random_);
    const std::string now = ReadBytes(At("target.ndx"));
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
}

// Records are rewritten in place and appended: whatever the moment, the table opens, counts
// no record it does not hold, and every record is one version of itself.
TEST_F(KillTest, TableRecordsAreWholeVersions) {
  ASSERT_EQ(RunTo(dir_.Path(), {kWriteLoop, "refs", "dbf", dir_.Path()}), 0);
  for (int round = 0; round < Rounds(); ++round) {
    KillDuring(dir_.Path(), {kWriteLoop, "loop", "dbf", dir_.Path()}, std::chrono::milliseconds(60),
               random_);
    InitXbaseCore();
    SetErrorHandling(false);
    ASSERT_TRUE(UseDbf(At("target.dbf"), true, true)) << XbaseErrorMessage;
    const std::int32_t count = RecCount();
    ASSERT_GE(count, 40);
    for (std::int32_t r = 1; r <= count; ++r) {
      Go(r);
      ASSERT_EQ(XbaseErrorCode, 0) << "round " << round << " record " << r;
      std::string name = GetFieldText(1);
      name.erase(name.find_last_not_of(' ') + 1);
      const double amount = GetFieldNumber(2);
      const bool first = name == "A" + std::to_string(r) && amount == r;
      const bool second = name == "B" + std::to_string(r) && amount == r + 1000.0;
      ASSERT_TRUE(first || second)
          << "round " << round << " record " << r << ": " << name << " " << amount;
    }
    DoneXbaseCore();
  }
}

// Indexed appends and rewrites killed: each index walks every record once in key order, or 212.
TEST_F(KillTest, IndexesFollowingUpdatesWalkWholeOrReport212) {
  for (int round = 0; round < Rounds(); ++round) {
    ASSERT_EQ(RunTo(dir_.Path(), {kWriteLoop, "refs", "keys", dir_.Path()}), 0);  // afresh
    KillDuring(dir_.Path(), {kWriteLoop, "loop", "keys", dir_.Path()},
               std::chrono::milliseconds(60), random_);
    for (const std::string index : {"a.ndx", "b.ndx"}) {
      SCOPED_TRACE("round " + std::to_string(round) + " " + index);
      InitXbaseCore();
      InstallParserHooks();
      IndexInit();
      SetErrorHandling(false);
      ASSERT_TRUE(UseDbf(At("target.dbf"), true)) << XbaseErrorMessage;
      const std::int32_t count = RecCount();
      const bool opened = SetIndexTo(At(index), 1);
      ASSERT_TRUE(opened || XbaseErrorCode == 212) << XbaseErrorMessage;
      std::vector<std::string> keys;  // as the fields make them: NAME, or STR(AMOUNT,10,2)+NAME
      std::vector<std::int32_t> records;
      for (GoTop(); opened && !dEOF() && XbaseErrorCode == 0; Skip(1)) {
        records.push_back(RecNo());
        char amount[32] = "";
        if (index == "b.ndx") std::snprintf(amount, sizeof amount, "%10.2f", GetFieldNumber(2));
        keys.push_back(amount + GetFieldText(1));
      }
      ASSERT_TRUE(XbaseErrorCode == 0 || XbaseErrorCode == 212) << XbaseErrorMessage;
      if (opened && XbaseErrorCode == 0) {
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << "keys out of order";
        std::sort(records.begin(), records.end());
        std::vector<std::int32_t> all(static_cast<std::size_t>(count));
        std::iota(all.begin(), all.end(), 1);
        EXPECT_EQ(records, all);  // every record once
      }
      DoneXbaseCore();
    }
  }
}

// Memos rewritten and packed, killed: every record reads its own memo, or a code.
TEST_F(KillTest, MemoPacksLeaveEveryRecordItsOwnMemo) {
  ASSERT_EQ(RunTo(dir_.Path(), {kWriteLoop, "refs", "memo", dir_.Path()}), 0);
  for (int round = 0; round < Rounds(); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    KillDuring(dir_.Path(), {kWriteLoop, "loop", "memo", dir_.Path()},
               std::chrono::milliseconds(300), random_);
    InitXbaseCore();
    InitXbaseMemo();
    SetErrorHandling(false);
    const bool opened = UseDbf(At("target.dbf"), true);
    ASSERT_TRUE(opened || XbaseErrorCode != 0);
    for (std::int32_t r = 1; opened && r <= RecCount(); ++r) {
      Go(r);
      std::string memo;
      const bool read = ReadMemoText(GetFieldMemo(2), memo);
      ASSERT_TRUE(read || XbaseErrorCode != 0);
      if (read) ASSERT_EQ(memo, MemoText(r, GetFieldText(1)[0] == '1' ? 1 : 0)) << "record " << r;
    }
    DoneXbaseCore();
  }
}

// The program itself writing a production drawing: the drawing there before, or the new one.
TEST_F(KillTest, CadFileIsOldOrNew) {
  ASSERT_EQ(access(kVuko.c_str(), X_OK), 0) << kVuko << " is not built";
  std::filesystem::copy_file(kExample, At("example_x.vuk"));
  ASSERT_EQ(RunTo(dir_.Path(), {kVuko, "example_x.vuk", "/CAD1:2"}), 0);
  const std::string a = ReadBytes(At("example_x.dxf"));
  const auto started = Clock::now();
  ASSERT_EQ(RunTo(dir_.Path(), {kVuko, "example_x.vuk", "/CAD1:1"}), 0);
  const auto took = Clock::now() - started;
  const std::string b = ReadBytes(At("example_x.dxf"));
  ASSERT_NE(a, b);
  for (int round = 0; round < Rounds(); ++round) {
    WriteBytes(At("example_x.dxf"), a);
    KillDuring(dir_.Path(), {kVuko, "example_x.vuk", "/CAD1:1"}, took + took / 5, random_);
    const std::string now = ReadBytes(At("example_x.dxf"));
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
}

// The next run writing there removes a killed run's leftovers; a live run's and look-alikes stay,
// and so do folders of the temporary folders' shape the program did not mark as its own.
TEST_F(KillTest, NextRunRemovesWhatAKilledRunLeft) {
  std::filesystem::copy_file(kExample, At("example_x.vuk"));
  ASSERT_EQ(RunTo(dir_.Path(), {kWriteLoop, "refs", "index", dir_.Path()}), 0);
  const pid_t pid = Start(dir_.Path(), {kWriteLoop, "loop", "data", dir_.Path()});
  kill(pid, SIGKILL);
  Finish(pid);
  const pid_t live = StartHoldingTempFolder(At(".tmp"));
  ASSERT_GT(live, 0);
  const pid_t holder = StartHoldingTempFolder(At(".tmp"));
  ASSERT_GT(holder, 0);
  kill(holder, SIGKILL);
  Finish(holder);
  const std::string killedFolder = "vuko-" + std::to_string(holder) + "-";
  auto killedFolderThere = [&] {
    for (const auto& entry : std::filesystem::directory_iterator(At(".tmp")))
      if (entry.path().filename().string().rfind(killedFolder, 0) == 0) return true;
    return false;
  };
  ASSERT_TRUE(killedFolderThere());
  // Another user's folder of a killed run is theirs to clean (only root can hand one over).
  const pid_t other = StartHoldingTempFolder(At(".tmp"));
  kill(other, SIGKILL);
  Finish(other);
  for (const auto& entry : std::filesystem::directory_iterator(At(".tmp")))
    if (entry.path().filename().string().rfind("vuko-" + std::to_string(other) + "-", 0) == 0)
      ASSERT_EQ(chown(entry.path().c_str(), 65534, 65534) == 0, geteuid() == 0);
  // % is the killed run's pid, @ a live one's; only the first three are leftovers.
  std::vector<std::string> files = {".target.vuk.vuko-work-%-0-1",
                                    "target.ndx.vuko-work-%-0-1",
                                    ".example_x.dxf.vuko-work-%-0-1",
                                    ".target.vuk.vuko-work-@-0-1",
                                    ".target.vuk.notes",
                                    "target.ndx.wkly",
                                    ".tmp/vuko-notes/x",
                                    ".tmp/vuko-2024-backup/drawing.dxf",
                                    ".tmp/vuko-2023-kopie1/a.txt",
                                    ".tmp/vuko-%-Ab3xYz/notes.txt",  // as older versions left it
                                    ".tmp/vuko-%-plain1",            // a file, not a folder
                                    ".target.vuk.%-old",
                                    ".target.vuk.%-0-1"};  // as older versions named them
  for (std::string& name : files) {
    if (const auto at = name.find_first_of("%@"); at != std::string::npos)
      name.replace(at, 1, std::to_string(name[at] == '%' ? pid : getpid()));
    std::filesystem::create_directories(std::filesystem::path(At(name)).parent_path());
    WriteBytes(At(name), "left");
  }
  SetProgramIdentity();
  NewSplineExample();
  ForgetFilesOnDisk();  // the next run knows nothing of the file yet
  WriteDataFile(At("target.vuk"));
  InitXbaseCore();
  InstallParserHooks();
  IndexInit();
  SetErrorHandling(false);
  ASSERT_TRUE(UseDbf(At("target.dbf"), true));
  MakeIndex(At("target.ndx"), "NAME", false, 1, false, false);
  EXPECT_EQ(XbaseErrorCode, 0) << XbaseErrorMessage;
  DoneXbaseCore();
  ASSERT_EQ(RunTo(dir_.Path(), {kVuko, "example_x.vuk", "/CAD1:1"}), 0);
  for (std::size_t i = 0; i < std::size(files); ++i) {
    if (i < 3)
      EXPECT_FALSE(app_test::Exists(At(files[i]))) << files[i];
    else
      EXPECT_EQ(ReadBytes(At(files[i])), "left") << files[i];
  }
  EXPECT_FALSE(killedFolderThere()) << "a killed run's folder goes as a whole";
  // The live run's folder stays too, and another user's.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(At(".tmp")), {}),
            geteuid() == 0 ? 7 : 6);
  kill(live, SIGTERM);
  Finish(live);
}

// Each writer stopped half way (the kernel ends it once its file passes 512 bytes) leaves the
// work file it named, read here from the folder; the next open removes it. Tables of the
// longest names a file system takes are created, indexed and packed all the same.
TEST_F(KillTest, TheNextOpenRemovesTheWorkFileOfAStoppedWriter) {
  const auto start = [] {
    InitXbaseCore();
    InitXbaseMemo();
    InstallParserHooks();
    IndexInit();
    SetErrorHandling(false);
  };
  const auto names = [&] {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
      found.insert(entry.path().filename());
    return found;
  };
  std::vector<std::string> stems = {"target"};
  for (const std::string& stem : app_test::LongStems())
    if (app_test::TakesLeaf(dir_.Path(), stem + ".dbf")) stems.push_back(stem);
  for (const std::string& stem : stems) {
    const std::string table = At(stem + ".dbf"), index = At(stem + ".ndx");
    const auto build = [&] {
      return (MakeIndex(index, "NAME", false, 1, false, false), !XbaseErrorCode);
    };
    start();
    ASSERT_TRUE(CreateDbf(table, {{"NAME", 'C', 10, 0}, {"NOTES", 'M', 10, 0}}, 0x83, true));
    for (int r = 1; r <= 40; ++r)
      ClearRecord(), SetFieldMemo(2, AddMemo(std::string(600, 'x'))), Append();
    ASSERT_TRUE(build()) << XbaseErrorMessage;
    DoneXbaseCore();
    // The writer, and what opens its file next.
    const std::pair<std::function<void()>, std::function<bool()>> rows[] = {
        {[&] { platform::WriteWholeFile(table, std::string(4096, 'x')); },
         [&] { return UseDbf(table, true); }},
        {[&] { UseDbf(table, true) && build(); },
         [&] { return UseDbf(table, true) && SetIndexTo(index, 1); }},
        {[&] { UseDbf(table, true) && (PackMemofile(), true); },
         [&] { return UseDbf(table, true) && (PackMemofile(), !XbaseErrorCode); }},
    };
    for (const auto& [writer, next] : rows) {
      const std::set<std::string> before = names();
      const pid_t child = fork();
      if (child == 0) {
        const rlimit none{0, 0}, small{512, RLIM_INFINITY};
        setrlimit(RLIMIT_CORE, &none);
        setrlimit(RLIMIT_FSIZE, &small);
        signal(SIGXFSZ, SIG_DFL);
        start();
        writer();
        _exit(0);
      }
      ASSERT_EQ(Finish(child), 128 + SIGXFSZ);
      std::vector<std::string> made;
      std::ranges::set_difference(names(), before, std::back_inserter(made));
      ASSERT_EQ(made.size(), 1u) << stem.size();
      // All of the name that fits 255 bytes with the longest numbers after the tag (40 bytes
      // with it), cut between characters.
      const std::size_t longest = made[0].find("vuko-work-") + 40;
      EXPECT_TRUE(IsUtf8(made[0]) && longest <= 255 &&
                  (stem.size() < 200 || longest + (stem[0] == 'a' ? 0 : 2) >= 255))
          << made[0];
      start();
      EXPECT_TRUE(next()) << XbaseErrorMessage;
      EXPECT_FALSE(app_test::Exists(At(made[0]))) << made[0];
      DoneXbaseCore();
    }
  }
  if (stems.size() < 3) GTEST_SKIP() << "the file system here takes no names of 253 bytes";
}

// SIGTERM and SIGHUP end a run as before, and take its temporary folder with it.
TEST_F(KillTest, TerminatingSignalsRemoveTheTemporaryFolder) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    const pid_t child = StartHoldingTempFolder(At(".tmp"));
    ASSERT_GT(child, 0);
    ASSERT_FALSE(std::filesystem::is_empty(At(".tmp")));
    kill(child, signal);
    EXPECT_EQ(Finish(child), 128 + signal);
    EXPECT_TRUE(std::filesystem::is_empty(At(".tmp"))) << strsignal(signal);
  }
}

}  // namespace
