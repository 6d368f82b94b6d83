// What a run that ended abnormally leaves, and who removes it: partial files of a target when
// the target is written again, private temporary folders of runs that are gone when the next
// folder is made, and the folder of a run ended by SIGTERM or SIGHUP at once. Work of a process
// that still runs, and names that only look alike, stay.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/io_test_support.h"
#include "platform/file_writer.h"
#include "platform/temp_dir.h"

namespace {

// The id of a process that has ended (and been reaped): nobody runs under it now.
pid_t GonePid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

std::set<std::string> Names(const io_test::ScratchDir& dir) {
  const std::vector<std::string> names = dir.Names();
  return {names.begin(), names.end()};
}

void Touch(const std::string& path) {
  std::ofstream(path) << "left";
}

TEST(Leftovers, PartialFilesOfGoneWritersGoWhenTheTargetIsWrittenAgain) {
  io_test::ScratchDir dir;
  const std::string gone = std::to_string(GonePid());
  const std::string alive = std::to_string(getpid());
  const std::set<std::string> stay = {
      ".x.vuk." + alive + "-3-7",   // a writer that still runs
      ".x.vuk.notes",               // not ours
      ".y.vuk." + gone + "-0-1",    // another target's, removed when that one is written
      ".x.vuk.x." + gone + "-0-1",  // the partial file of "x.vuk.x"
  };
  for (const std::string& n : stay) Touch(dir / n);
  Touch(dir / (".x.vuk." + gone + "-0-42"));
  Touch(dir / (".x.vuk." + gone + "-1-9"));

  platform::FileWriter writer;
  ASSERT_EQ(writer.Open(dir / "x.vuk", platform::FileWriter::Mode::Replace), 0);
  ASSERT_EQ(writer.Write("new"), 0);
  ASSERT_EQ(writer.Commit(), 0);
  std::set<std::string> expected = stay;
  expected.insert("x.vuk");
  EXPECT_EQ(Names(dir), expected);
}

TEST(Leftovers, TemporaryFoldersOfGoneRunsGoWhenTheNextIsMade) {
  io_test::ScratchDir dir;
  const std::string gone = std::to_string(GonePid());
  const std::set<std::string> stay = {
      "vuko-" + std::to_string(getpid()) + "-AbC123",  // a run that still runs
      "vuko-app-AbC123",                               // not one of ours
      "vuko-QwErTy",                                   // no owner to ask about
  };
  for (const std::string& n : stay) std::filesystem::create_directory(dir / n);
  std::filesystem::create_directory(dir / ("vuko-" + gone + "-AbC123"));
  Touch(dir / ("vuko-" + gone + "-AbC123") + "/$OUT1.TMP");
  Touch(dir / ("vuko-" + gone + "-XyZ789"));  // a file of that name is no folder of ours

  platform::RemovePrivateTempDirectory();
  const std::string made = platform::PrivateTempDirectory(dir.Path());
  ASSERT_EQ(made.rfind(dir.Path() + "/vuko-" + std::to_string(getpid()) + "-", 0), 0u) << made;
  std::set<std::string> expected = stay;
  expected.insert("vuko-" + gone + "-XyZ789");
  expected.insert(std::filesystem::path(made).parent_path().filename().string());
  EXPECT_EQ(Names(dir), expected);
  platform::RemovePrivateTempDirectory();
}

TEST(Leftovers, TerminatingSignalsRemoveTheTemporaryFolder) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    io_test::ScratchDir dir;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
      platform::RemoveTempDirectoryOnSignals();
      const std::string made = platform::PrivateTempDirectory(dir.Path());
      std::ofstream(made + "$OUT1.TMP") << "listing";
      std::filesystem::create_directory(made + "empty");
      const char ok = made.empty() ? '0' : '1';
      (void)!write(ready[1], &ok, 1);
      pause();
      _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_EQ(Names(dir).size(), 1u);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    // Ended by the signal, as without our handler.
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
    EXPECT_TRUE(Names(dir).empty());
    close(ready[0]);
    close(ready[1]);
  }
}

}  // namespace
