// Session file: written only with a recent file, read back, missing and short files.
#include "common/session_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/codepage.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class SessionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-cff-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    ConfigVariables.ConfigDirectory = dir_;
    AbortFlag = false;
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Put(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
  }
  std::string dir_;
};

TEST_F(SessionFileTest, SessionIsWrittenOnlyWithARecentFile) {
  ConfigVariables.RecentFiles.Fill("");
  WriteSession();
  EXPECT_FALSE(fs::exists(dir_ + "/vuko.cff"));
  ConfigVariables.RecentFiles[1] = "/data/a.vuk";
  ConfigVariables.RecentFiles[2] = "/data/b.vuk";
  DataDirectory = "/data";
  AbortFlag = true;  // cleared by the writer
  WriteSession();
  EXPECT_EQ(ReadAll(dir_ + "/vuko.cff"), "vuko Session /data\n/data/a.vuk\n/data/b.vuk\n\n\n");
  ConfigVariables.RecentFiles.Fill("stale");
  ReadSession();
  EXPECT_EQ(ConfigVariables.RecentFiles[1], "/data/a.vuk");
  EXPECT_EQ(ConfigVariables.RecentFiles[2], "/data/b.vuk");
  EXPECT_EQ(ConfigVariables.RecentFiles[3], "");
}

// Recent files come back exactly in any script; old code-page names are converted once.
TEST_F(SessionFileTest, RecentFilesInAnyScript) {
  const struct {
    std::string stored, read;
  } cases[] = {{"/home/Preis € 日本/a.vuk", "/home/Preis € 日本/a.vuk"},
               {WinToDos("/home/Größe ä/c.vuk"), "/home/Größe ä/c.vuk"}};
  std::string file = "vuko Session /data\n";
  for (const auto& c : cases) file += c.stored + "\n";
  Put(dir_ + "/vuko.cff", file + "\n\n");
  DataDirectory = "/data";
  for (const bool again : {false, true}) {
    if (again) WriteSession();
    ReadSession();
    for (int i = 1; i <= 2; ++i) EXPECT_EQ(ConfigVariables.RecentFiles[i], cases[i - 1].read);
  }
  EXPECT_NE(ReadAll(dir_ + "/vuko.cff").find(cases[0].read), std::string::npos);
}

// A name holding a line break would split the list: such a recent file is dropped with a message
// and the others are saved; a data directory holding one keeps the old file.
TEST_F(SessionFileTest, NameWithALineBreakIsRefused) {
  const struct {
    int entry;  // 0: the data directory
    const char* name;
    const char* saved;  // nullptr: the old file stays
  } cases[] = {
      {1, "/data/a\nb.vuk", "vuko Session /data\n/data/2.vuk\n/data/3.vuk\n/data/4.vuk\n\n"},
      {3, "/data/c\r.vuk", "vuko Session /data\n/data/1.vuk\n/data/2.vuk\n/data/4.vuk\n\n"},
      {4, "/data/\n", "vuko Session /data\n/data/1.vuk\n/data/2.vuk\n/data/3.vuk\n\n"},
      {0, "/da\nta", nullptr}};
  const std::string old = "vuko Session /old\n/old/a.vuk\n\n\n\n";
  ScriptedDialogHost host;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Put(dir_ + "/vuko.cff", old);
    for (int i = 1; i <= 4; ++i)
      ConfigVariables.RecentFiles[i] = "/data/" + std::to_string(i) + ".vuk";
    DataDirectory = "/data";
    (c.entry == 0 ? DataDirectory : ConfigVariables.RecentFiles[c.entry]) = c.name;
    host.Clear();
    WriteSession();
    EXPECT_EQ(AbortFlag, c.saved == nullptr);
    EXPECT_EQ(ReadAll(dir_ + "/vuko.cff"), c.saved ? c.saved : old);
    const std::string file = dir_ + "/vuko.cff";
    EXPECT_EQ(host.Messages(),
              std::vector<std::string>{
                  c.saved ? "recent file " + std::string(c.name) + " not kept in session file " +
                                file + ": its name holds a line break"
                          : "session file " + file +
                                " not saved: the data directory holds a line break"});
  }
}

TEST_F(SessionFileTest, MissingOrShortSessionFileEmptiesTheList) {
  ConfigVariables.RecentFiles.Fill("stale");
  ReadSession();
  for (const auto& f : ConfigVariables.RecentFiles) EXPECT_EQ(f, "");
  Put(dir_ + "/vuko.cff", "vuko Session x\r\nonly.vuk\r\n");
  ConfigVariables.RecentFiles.Fill("stale");
  ReadSession();
  EXPECT_EQ(ConfigVariables.RecentFiles[1], "only.vuk");
  EXPECT_EQ(ConfigVariables.RecentFiles[2], "");
  EXPECT_FALSE(AbortFlag);
}

}  // namespace
