// Print presets without windows: where the table is found (working directory, DBF directory, a
// copy in the temporary directory when the table is read-only), presets stored and read back
// through a table form that picks or cancels, a remembered record beyond the end, a table locked
// by another program, a broken table that reports its error and leaves the program running, and
// presets deleted and packed away (or kept whole when the table cannot be packed).
#include "app/print_presets.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <locale.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "app/app_test_support.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "validator_support.h"
#include "xbase/memo_ops.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"

namespace {

// Root's power to write into any folder (it has no other effect for another user): taken away,
// a read-only folder refuses root as it refuses its owner; given back where root had it.
bool WriteIntoAnyFolder(bool allowed) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct caps[2]{};
  if (syscall(SYS_capget, &header, caps) != 0) return false;
  const std::uint32_t bit = 1u << (CAP_DAC_OVERRIDE % 32);
  __user_cap_data_struct& word = caps[CAP_DAC_OVERRIDE / 32];
  word.effective = allowed ? word.effective | (word.permitted & bit) : word.effective & ~bit;
  return syscall(SYS_capset, &header, caps) == 0;
}

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

// Names of the records, blank-separated, "*" before a deleted one, as the dBASE layout places
// them: the count in bytes 4-7, header and record length in bytes 8-11, each record's deletion
// flag, then NAME; the end mark 0x1A right behind the last record.
std::string NamesInFile(const std::string& path) {
  const std::string b = app_test::ReadBytes(path);
  const auto le = [&b](std::size_t at, int n) {
    std::size_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
  };
  const std::size_t count = le(4, 4), head = le(8, 2), length = le(10, 2);
  EXPECT_EQ(b.size(), head + count * length + 1);
  EXPECT_EQ(b.back(), '\x1A');
  std::string names;
  for (std::size_t at = head; at + length < b.size(); at += length) {
    std::string name = b.substr(at + 1, 25);
    name.erase(name.find_last_not_of(' ') + 1);
    names += (names.empty() ? "" : " ") + std::string(b[at] == '*' ? "*" : "") + name;
  }
  return names;
}

// Today's date as the header's bytes 1-3 hold it (years since 1900, month, day).
std::string TodayInHeader() {
  const std::time_t now = std::time(nullptr);
  std::tm today{};
  localtime_r(&now, &today);
  return {char(today.tm_year), char(today.tm_mon + 1), char(today.tm_mday)};
}

// A second program on the table: its shared open (a whole-file shared flock, as every open of
// the table takes) or its lock of record 2, held until the returned child is killed.
pid_t HoldInOtherProcess(const std::string& path, bool recordOnly) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    // Ends with the test, however the test ends, and keeps none of its output open.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    const int fd = open(path.c_str(), O_RDWR);
    struct flock record {};
    record.l_type = F_WRLCK;
    record.l_whence = SEEK_SET;
    record.l_start = 0x40000000 + 321 + 66;  // the lock base, the header, one record
    record.l_len = 66;
    const bool held = recordOnly ? fcntl(fd, F_SETLK, &record) == 0 : flock(fd, LOCK_SH) == 0;
    const char ok = held ? '1' : '0';
    (void)!write(ready[1], &ok, 1);
    pause();
    _exit(0);
  }
  char ok = 0;
  const bool started = read(ready[0], &ok, 1) == 1 && ok == '1';
  close(ready[0]);
  close(ready[1]);
  return started ? child : -1;
}

// Whether another open of the file holds a lock on record n's region (the lock base, the
// presets' 321 header bytes, 66 per record).
bool RecordHeld(const std::string& path, int n) {
  const int fd = open(path.c_str(), O_RDWR);
  struct flock query {};
  query.l_type = F_WRLCK;
  query.l_whence = SEEK_SET;
  query.l_start = 0x40000000 + 321 + 66 * (n - 1);
  query.l_len = 66;
  const bool held = fcntl(fd, F_OFD_GETLK, &query) != 0 || query.l_type != F_UNLCK;
  close(fd);
  return held;
}

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
  std::string missing;
  for (const auto& c : cases) {
    if (validator_support::MissingLocale(c.locale, missing)) continue;
    setenv("LC_ALL", c.locale, 1);
    SetLocaleDateMode();  // as at start-up
    form_.pick = 1;
    TPresetDialogValues v;
    ASSERT_TRUE(LoadPreset(v)) << c.locale;
    EXPECT_EQ(v.scaleX, c.scale) << c.locale;
  }
  saved ? setenv("LC_ALL", saved->c_str(), 1) : unsetenv("LC_ALL");
  SetLocaleDateMode();
  SKIP_MISSING_ROWS(missing);
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
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // ends with the test, however the test ends
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
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(host_.Messages()[0].rfind("Error # ", 0), 0u) << host_.Messages()[0];
  EXPECT_NE(host_.Messages()[0].find(folder + "/printout.dbf"), std::string::npos)
      << host_.Messages()[0];
  // A sound table afterwards works again.
  std::filesystem::remove(folder + "/printout.dbf");
  host_.AnswerText("after");
  EXPECT_TRUE(StorePreset(v));
  EXPECT_EQ(HaltCalls, 0);
}

// The second of three presets marked deleted, then the table packed. Another program holding the
// table open or the record, or a folder that takes no new file, leaves every preset in place,
// and the user is told why; the remembered preset follows its record.
TEST_F(PrintPresets, DeletedPresetIsPackedAwayOrTheTableStaysAsItWas) {
  enum Hold { kNothing, kTableOpen, kRecord, kReadOnlyFolder, kFileSizeLimit };
  const std::string all = "one two three", marked = "one *two three";
  struct {
    const char* name;
    Hold hold;
    bool recall;        // the mark taken away again before the pack
    const char* typed;  // a name typed into record 2 and not yet posted, or none
    std::uint16_t remembered;
    std::string afterDelete, afterPack;  // the names in the file
    std::uint16_t rememberedAfter;
    const char* told;  // part of the one message shown, "" for none
  } cases[] = {
      {"the marked preset goes, the others keep their order", kNothing, false, nullptr, 3, marked,
       "one three", 2, ""},
      {"a name typed and not yet posted is stored with the mark", kNothing, false, "2nd", 3,
       "one *2nd three", "one three", 2, ""},
      {"the remembered preset removed is forgotten", kNothing, false, nullptr, 2, marked,
       "one three", 0, ""},
      {"a remembered preset beyond the end stays beyond it", kNothing, false, nullptr, 4, marked,
       "one three", 4, ""},
      {"a mark taken away again leaves nothing to remove", kNothing, true, nullptr, 3, marked, all,
       3, ""},
      {"another program has the table open", kTableOpen, false, nullptr, 3, marked, marked, 3,
       "in use by another program"},
      {"the folder takes no new file", kReadOnlyFolder, false, nullptr, 3, marked, marked, 3,
       "no new file can be written"},
      {"the new file cannot be written whole (a size limit, as a full disk)", kFileSizeLimit, false,
       nullptr, 3, marked, marked, 3, "no new file can be written"},
      {"another program holds the record", kRecord, false, nullptr, 3, all, all, 3,
       "Record 2 is locked by another user: not deleted."},
  };
  const std::string path = work_ / "printout.dbf";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::copy_file(VUKO_DATA_DIR "/printout.dbf", path,
                               std::filesystem::copy_options::overwrite_existing);
    for (const char* name : {"one", "two", "three"})
      Store(name, Values("1", "1", "0", "0", 0, 1, false, false));
    pid_t child = 0;
    if (c.hold == kTableOpen || c.hold == kRecord) {
      child = HoldInOtherProcess(path, c.hold == kRecord);
      ASSERT_GT(child, 0);
    }
    if (c.hold == kReadOnlyFolder) chmod(work_.Path().c_str(), 0555);
    PresetRecordNumber = c.remembered;
    host_.Clear();
    OpenPresetTable();
    DbTableGo(2);
    if (c.typed) DbTableSetString("name", c.typed);
    EXPECT_EQ(DbTableSetDeleted(true), c.hold != kRecord);
    EXPECT_EQ(DbTableDeleted(), c.hold != kRecord) << "the dataset shows the mark";
    EXPECT_EQ(RecordHeld(path, 2), c.hold == kRecord) << "the record lock is given back";
    EXPECT_EQ(NamesInFile(path), c.afterDelete);
    if (c.recall) EXPECT_TRUE(DbTableSetDeleted(false));
    // The header's date of the last change (bytes 1-3) set long ago: the pack sets today's.
    std::string bytes = app_test::ReadBytes(path);
    bytes.replace(1, 3, "\x63\x01\x01");
    app_test::WriteBytes(path, bytes);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    if (c.hold == kFileSizeLimit) {
      signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the test
      rlimit small = limit;
      small.rlim_cur = 100;
      setrlimit(RLIMIT_FSIZE, &small);
    }
    if (c.hold == kReadOnlyFolder) ASSERT_TRUE(WriteIntoAnyFolder(false));
    EXPECT_EQ(DbTablePack(), c.afterPack != marked);
    if (c.hold == kReadOnlyFolder) WriteIntoAnyFolder(true);
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool packed = c.afterPack == "one three";
    EXPECT_EQ(DbTableRecordCount(), packed ? 2 : 3);
    std::string shown;
    DbTableGetField(1, shown);
    // The record shown stays; a removed one gives way to the next.
    EXPECT_EQ(shown.substr(0, shown.find(' ')), packed ? "three" : "two");
    DbTableClose();
    chmod(work_.Path().c_str(), 0755);
    if (child > 0) {
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
    }
    EXPECT_EQ(NamesInFile(path), c.afterPack);
    EXPECT_EQ(app_test::ReadBytes(path).substr(1, 3), packed ? TodayInHeader() : "\x63\x01\x01");
    EXPECT_EQ(PresetRecordNumber, c.rememberedAfter);
    if (*c.told == 0) {
      EXPECT_TRUE(host_.Messages().empty()) << host_.Messages().front();
    } else {
      ASSERT_EQ(host_.Messages().size(), 1u);
      EXPECT_NE(host_.Messages()[0].find(c.told), std::string::npos) << host_.Messages()[0];
    }
  }
  // The table as shipped, without presets: nothing to mark, nothing to remove, and only a pack
  // refused is told.
  // A reaped child's pid names a killed pack's work file; a user's look-alike copies stay.
  ShipTable();
  std::filesystem::remove(path);
  std::filesystem::create_symlink(dbf_ / "printout.dbf", path);  // found through a link
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string work = dbf_ / ".printout.dbf.", tag = work + "vuko-work-";
  const std::string killed = tag + std::to_string(gone), ours = tag + std::to_string(getpid());
  const std::string users[] = {work + "2024-01-05", work + std::to_string(gone) + "-old"};
  for (const std::string& name : {killed + "-0-987654321", ours + "-0-1", users[0], users[1]})
    app_test::WriteBytes(name, "x");
  host_.Clear();
  OpenPresetTable();
  EXPECT_FALSE(std::filesystem::exists(killed + "-0-987654321")) << "gone at the next open";
  EXPECT_TRUE(std::filesystem::remove(ours + "-0-1")) << "a running program's stays";
  EXPECT_FALSE(DbTableSetDeleted(true));
  EXPECT_FALSE(DbTableDeleted());
  EXPECT_TRUE(DbTablePack());
  EXPECT_EQ(DbTableRecordCount(), 0);
  const pid_t holder = HoldInOtherProcess(dbf_ / "printout.dbf", false);
  EXPECT_FALSE(DbTablePack()) << "held open by another program";
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  DbTableClose();
  EXPECT_FALSE(DbTableSetDeleted(true)) << "no table open";
  EXPECT_FALSE(DbTablePack()) << "no table open";
  EXPECT_EQ(host_.Messages().size(), 1u) << "the refusal alone";

  // A dBASE II table (count in bytes 1-2, date M D Y in 3-5, record length in 6-7, 16-byte
  // field descriptors from byte 8, 521 header bytes) keeps its own header layout.
  std::string old(521, '\0');
  old.replace(0, 8, std::string("\x02\x03\x00\x01\x01\x63\x09\x00", 8));
  old.replace(8, 13, std::string("NAME\0\0\0\0\0\0\0C\x08", 13));
  old[24] = '\x0D';
  old += std::string(" one     ") + " two     " + " three   " + "\x1A";
  app_test::WriteBytes(path, old);
  DbTableOpen(path);
  DbTableGo(2);
  EXPECT_TRUE(DbTableSetDeleted(true));
  EXPECT_TRUE(DbTablePack());
  DbTableClose();
  const std::string today = TodayInHeader();
  std::string packed = old;
  packed.replace(1, 5, {'\x02', '\0', today[1], today[2], today[0]});
  packed.erase(521 + 9, 9);
  EXPECT_EQ(app_test::ReadBytes(path), packed);
  for (const std::string& name : users) EXPECT_EQ(app_test::ReadBytes(name), "x") << name;
}

}  // namespace
