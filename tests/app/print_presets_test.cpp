// Print presets without windows: where the table is found (working directory, DBF directory, a
// copy in the temporary directory when the table is read-only), presets stored and read back
// through a table form that picks or cancels, a remembered record beyond the end, a table locked
// by another program, and a broken table that reports its error and leaves the program running.
#include "app/print_presets.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <locale.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/app_test_support.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "xbase/memo_ops.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"

namespace {

using app_test::ScratchDir;

int HaltCalls = 0;
void RecordHalt(int) {
  ++HaltCalls;
}

// A table form that picks a record (or cancels) without a window.
class PickingForm : public TTableForm {
 public:
  std::int32_t pick = 0;         // 0: keep the current record; -1: cancel
  bool readOnAfterPick = false;  // the grid read other rows since: their codes replaced the pick's
  std::int32_t shownOn = 0;
  TTableFormMode lastMode;
  void SetFileLabel(const std::string&) override {}
  void SetTitles(const std::string&, const std::string&) override {}
  void ShowModal(const TTableFormMode& mode) override {
    lastMode = mode;
    shownOn = DbTableRecNo();
    if (pick < 0) {
      AbortFlag = true;
      return;
    }
    if (pick > 0) TableDataset().Go(pick);
    if (readOnAfterPick) XbaseErrorCode = 0;
    AbortFlag = false;
  }
};

class PrintPresets : public ::testing::Test {
 protected:
  void SetUp() override {
    InitXbaseCore();
    InitXbaseMemo();
    LoadLogicalTexts();
    InitPrintPresets();
    XbaseHaltProc = RecordHalt;
    HaltCalls = 0;
    InitMessageList();
    ConfigVariables.PresetDirectory = work_.Path();
    ProgramSettings.dbfDirectory = dbf_.Path();
    ShipTable();
    InstallTableForm(&form_);
  }
  // The empty table as the program ships it, in the DBF directory.
  void ShipTable() {
    std::filesystem::copy_file(VUKO_DATA_DIR "/printout.dbf", dbf_ / "printout.dbf",
                               std::filesystem::copy_options::overwrite_existing);
  }
  void TearDown() override {
    InstallTableForm(nullptr);
    TableDataset().Close();
    DoneXbaseCore();
  }
  // Stores a preset named name into the table found by the lookup.
  void Store(const std::string& name, const TPresetDialogValues& v) {
    host_.AnswerText(name);
    ASSERT_TRUE(StorePreset(v));
  }

  ScratchDir work_, dbf_;
  ScriptedDialogHost host_;
  PickingForm form_;
};

TPresetDialogValues Values(const char* sx, const char* sy, const char* ox, const char* oy,
                           int orientation, int mode, bool fit, bool border) {
  return {sx, sy, ox, oy, orientation, mode, fit, border};
}

TEST_F(PrintPresets, TableIsFoundInTheWorkingDirectoryThenTheDbfDirectoryThenCopied) {
  // Nowhere: reported, nothing loaded, nothing made, the print dialog stays usable.
  std::filesystem::remove(dbf_ / "printout.dbf");
  TPresetDialogValues none = Values("3", "4", "5", "6", 1, 0, true, true);
  EXPECT_FALSE(LoadPreset(none));
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(none.scaleX, "3");
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_NE(host_.Messages()[0].find("not found or no access"), std::string::npos);
  host_.AnswerText("lost");
  EXPECT_FALSE(StorePreset(none));
  EXPECT_FALSE(std::filesystem::exists(dbf_ / "printout.dbf"));
  EXPECT_FALSE(std::filesystem::exists(work_ / "printout.dbf"));

  // The shipped table in both places, told apart by their presets.
  ShipTable();
  Store("dbf", Values("1", "1", "0", "0", 0, 1, false, false));
  const std::string inDbf = dbf_ / "printout.dbf";
  std::filesystem::copy_file(inDbf, work_ / "printout.dbf");

  struct Case {
    const char* name;
    bool inWork;
    bool readOnly;
    std::string expected;  // directory of the opened table
  } cases[] = {
      {"working directory first, no write check", true, false, work_.Path() + "/"},
      {"DBF directory when the working directory has none", false, false, dbf_.Path() + "/"},
      {"read-only table: a writable copy in the temporary directory", false, true,
       PrivateTempDir()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.inWork) std::filesystem::remove(work_ / "printout.dbf");
    if (c.readOnly) chmod(inDbf.c_str(), 0444);
    OpenPresetTable();
    EXPECT_FALSE(AbortFlag);
    EXPECT_EQ(DirPart(TableDataset().TableName()), c.expected);
    EXPECT_FALSE(std::filesystem::exists(dbf_ / "TEST.$$$")) << "the write check cleans up";
    const TTableFormMode mode = DbfFormMode("", 0);
    EXPECT_EQ(!mode.tempDirectoryMessage.empty(), c.readOnly) << mode.tempDirectoryMessage;
    if (c.readOnly)
      EXPECT_EQ(mode.tempDirectoryMessage,
                "No Write Access for dbf directory !  Temp directory used.");
    DbTableClose();
  }
  chmod(inDbf.c_str(), 0644);
}

// A link planted under the write check's name is neither followed nor removed.
TEST_F(PrintPresets, WriteCheckNeverWritesThroughALink) {
  const std::string victim = work_ / "victim.txt";
  app_test::WriteBytes(victim, "precious\n");
  std::filesystem::create_symlink(victim, dbf_ / "TEST.$$$");
  OpenPresetTable();
  EXPECT_EQ(app_test::ReadBytes(victim), "precious\n");
  EXPECT_EQ(std::filesystem::read_symlink(dbf_ / "TEST.$$$"), victim);
}

TEST_F(PrintPresets, StoredPresetsReadBackIntoTheDialog) {
  Store("landscape mono", Values("0.5", "2", "15", "-25", 1, 0, true, false));
  Store("portrait colour", Values("1,25", "1", "0", "7", 0, 1, false, true));
  struct {
    const char* name;
    std::int32_t pick;
    TPresetDialogValues expected;
  } cases[] = {
      {"landscape gives item 1, monochrome item 0", 1,
       Values("0.5000", "2.0000", "15", "-25", 1, 0, true, false)},
      {"a decimal comma typed is stored as the number", 2,
       Values("1.2500", "1.0000", "0", "7", 0, 1, false, true)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form_.pick = c.pick;
    TPresetDialogValues v;
    ASSERT_TRUE(LoadPreset(v));
    // The dialog shows the numbers with the decimal sign the whole program shows this user.
    const auto inUserForm = [](std::string text) {
      std::replace(text.begin(), text.end(), '.', UserDecimalSign());
      return text;
    };
    EXPECT_EQ(v.scaleX, inUserForm(c.expected.scaleX));
    EXPECT_EQ(v.scaleY, inUserForm(c.expected.scaleY));
    EXPECT_EQ(v.originX, c.expected.originX);
    EXPECT_EQ(v.originY, c.expected.originY);
    EXPECT_EQ(v.orientationIndex, c.expected.orientationIndex);
    EXPECT_EQ(v.printModeIndex, c.expected.printModeIndex);
    EXPECT_EQ(v.fitLimits, c.expected.fitLimits);
    EXPECT_EQ(v.borderLine, c.expected.borderLine);
    EXPECT_EQ(PresetRecordNumber, c.pick);
  }
  // The chooser opens on the preset picked last.
  form_.pick = 0;
  TPresetDialogValues v;
  LoadPreset(v);
  EXPECT_EQ(form_.shownOn, 2);
}

// One decimal sign for one user: the preset's numbers reach the dialog as the user's locale
// writes them (signs as each country writes them), as every other dialog shows them.
TEST_F(PrintPresets, NumbersReachTheDialogWithTheUsersDecimalSign) {
  Store("half", Values("0.5", "2", "15", "-25", 1, 0, true, false));
  const char* all = std::getenv("LC_ALL");
  const std::optional<std::string> saved = all ? std::optional<std::string>(all) : std::nullopt;
  const struct {
    const char* locale;
    const char* scale;
  } cases[] = {{"C", "0.5000"}, {"de_DE.UTF-8", "0,5000"}, {"tr_TR.UTF-8", "0,5000"}};
  for (const auto& c : cases) {
    const locale_t installed = newlocale(LC_ALL_MASK, c.locale, static_cast<locale_t>(0));
    if (installed == static_cast<locale_t>(0)) continue;  // not on this machine
    freelocale(installed);
    setenv("LC_ALL", c.locale, 1);
    SetLocaleDateMode();  // as at start-up
    form_.pick = 1;
    TPresetDialogValues v;
    ASSERT_TRUE(LoadPreset(v)) << c.locale;
    EXPECT_EQ(v.scaleX, c.scale) << c.locale;
  }
  saved ? setenv("LC_ALL", saved->c_str(), 1) : unsetenv("LC_ALL");
  SetLocaleDateMode();
}

TEST_F(PrintPresets, CancelledChoiceAndNameChangeNothingRememberedRecordIsClamped) {
  Store("one", Values("1", "1", "0", "0", 0, 1, false, false));
  PresetRecordNumber = 1;
  form_.pick = -1;
  TPresetDialogValues v = Values("9", "9", "9", "9", 0, 1, false, false);
  EXPECT_FALSE(LoadPreset(v));
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(v.scaleX, "9");
  EXPECT_EQ(PresetRecordNumber, 1);

  host_.AnswerCancel();
  EXPECT_FALSE(StorePreset(v));

  // A remembered record beyond the end: the last one is shown, and the list says why.
  PresetRecordNumber = 7;
  form_.pick = 0;
  ASSERT_TRUE(LoadPreset(v));
  EXPECT_EQ(form_.shownOn, 1) << "nothing was appended by the cancelled name";
  ASSERT_EQ(ErrorList.count, 1);
  EXPECT_EQ(ErrorList.messages[1], "DBF #7 not found.");
}

// Another program holds the append lock and record 1: nothing is stored (least of all in the
// current preset), and an edit of the held record is told as locked.
TEST_F(PrintPresets, LockedTableKeepsItsPresets) {
  Store("kept", Values("1", "1", "0", "0", 0, 1, false, false));
  const std::string path = dbf_ / "printout.dbf";
  const std::string before = app_test::ReadBytes(path);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    const int fd = open(path.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0x40000001;  // the append lock byte of shared tables
    lock.l_len = 1;
    struct flock record = lock;
    record.l_start = 0x40000000 + 321;  // record 1: the lock base, the header length
    record.l_len = 66;
    const char ok = fcntl(fd, F_SETLK, &lock) == 0 && fcntl(fd, F_SETLK, &record) == 0 ? '1' : '0';
    (void)!write(ready[1], &ok, 1);
    pause();
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, '1');
  host_.AnswerText("lost");
  EXPECT_FALSE(StorePreset(Values("7", "7", "7", "7", 1, 0, true, true)));
  OpenPresetTable();
  DbTableSetFloat("xscale", 7);
  TableDataset().Post();
  TableDataset().Cancel();
  DbTableClose();
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(app_test::ReadBytes(path), before);
  ASSERT_FALSE(host_.Messages().empty());
  const std::string told = host_.Messages().back();
  EXPECT_NE(told.find("locked by another user"), std::string::npos) << told;
  EXPECT_EQ(told.find("not locked"), std::string::npos) << told;
}

// A value its field cannot hold is not stored, an unreadable number not loaded; both name it.
TEST_F(PrintPresets, ValuesThatDoNotFitAreNeitherStoredNorLoaded) {
  Store("kept", Values("1", "1", "0", "0", 0, 1, false, false));
  Store("spoilt", Values("2", "2", "0", "0", 0, 1, false, false));
  const std::string path = dbf_ / "printout.dbf";
  std::string bytes = app_test::ReadBytes(path);
  host_.AnswerText("too wide");
  const std::size_t shown = host_.Messages().size();
  EXPECT_FALSE(StorePreset(Values("123456789", "1", "0", "0", 0, 1, false, false)));
  EXPECT_TRUE(app_test::ReadBytes(path) == bytes);
  ASSERT_EQ(host_.Messages().size(), shown + 1);  // told once
  EXPECT_NE(host_.Messages().back().find("XSCALE"), std::string::npos) << host_.Messages().back();
  bytes.replace(321 + 66 + 1 + 25, 12, std::string(12, '*'));  // XSCALE of record 2
  app_test::WriteBytes(path, bytes);
  form_.pick = 2;
  form_.readOnAfterPick = true;
  TPresetDialogValues v = Values("3", "3", "1", "1", 0, 1, false, false);
  EXPECT_FALSE(LoadPreset(v));
  EXPECT_EQ(v.scaleX, "3");
  EXPECT_NE(host_.Messages().back().find("XSCALE"), std::string::npos) << host_.Messages().back();
}

// A table that is no dBASE file must not end the program: the message is shown and the print
// dialog keeps its values.
TEST_F(PrintPresets, BrokenTableReportsItsErrorAndTheProgramGoesOn) {
  const std::string folder = work_.Make("łukasz Größe 日本");  // the message names it exactly
  ConfigVariables.PresetDirectory = folder;
  app_test::WriteBytes(folder + "/printout.dbf", "this is not a table at all, only some text");
  TPresetDialogValues v = Values("3", "3", "1", "1", 0, 1, false, false);
  EXPECT_FALSE(LoadPreset(v));
  EXPECT_EQ(HaltCalls, 0);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(v.scaleX, "3");
  ASSERT_FALSE(host_.Messages().empty());
  EXPECT_EQ(host_.Messages()[0].rfind("Error # ", 0), 0u) << host_.Messages()[0];
  EXPECT_NE(host_.Messages()[0].find(folder + "/printout.dbf"), std::string::npos)
      << host_.Messages()[0];
  // A sound table afterwards works again.
  std::filesystem::remove(folder + "/printout.dbf");
  host_.AnswerText("after");
  EXPECT_TRUE(StorePreset(v));
  EXPECT_EQ(HaltCalls, 0);
}

}  // namespace
