// The changes menu and its operations, the clearing of a new data set and the start of a
// document program, driven with stand-in dialogs and a recording program starter.
#include "app/documentation_commands.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <string>
#include <vector>

#include "app/data_file.h"
#include "app/documentation_records.h"
#include "app_test_support.h"
#include "calc/toothing_data.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"
#include "platform/process.h"

namespace {

// 2023-11-14 22:13 UTC; today in the default date style.
constexpr std::time_t kNow = 1700000000;
constexpr char kToday[] = "11/14/2023";

class DocumentationCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    InitMessageList();
    InitOutputState();
    setenv("TZ", "UTC", 1);
    tzset();
    SetClockForTests(kNow);
    InitChangeRecords();
    InitDocumentSlots();
    ForgetAgreedDocumentSlots();
    PartNames = TPartNames{};
    AbortFlag = false;
    DataModified = false;
    // Every protocol shown on the screen is counted, not shown.
    InstallShowTextFileHook([this](const std::string&, const std::string&) { ++protocols_; });
    TDocumentationDialogs dialogs;
    dialogs.changeRecord = [this](int n) {
      opened_.push_back(n);
      seenDate_ = ChangeRecords.changes[n].date;
      if (cancel_) {
        AbortFlag = true;
        return;
      }
      ChangeRecords.changes[n].modification = "mod " + std::to_string(n);
      AbortFlag = false;
    };
    dialogs.drawingInfo = [this] { AbortFlag = cancel_; };
    InstallDocumentationDialogs(dialogs);
    InstallProgramStarter([this](const std::vector<std::string>& argv) {
      started_.push_back(argv);
      return 0;
    });
  }
  void TearDown() override {
    InstallDocumentationDialogs({});
    InstallProgramStarter({});
    InstallShowTextFileHook({});
    SetClockForTests(0);
  }

  ScriptedDialogHost host_;
  int protocols_ = 0;
  bool cancel_ = false;
  std::vector<int> opened_;
  std::string seenDate_;
  std::vector<std::vector<std::string>> started_;
};

TEST_F(DocumentationCommandsTest, EachOperationOnTheCountTheDialogAndTheProtocol) {
  struct Case {
    const char* name;
    int op;
    int countBefore;
    bool cancel;
    std::vector<int> opened;
    int countAfter;
    int protocols;
    bool modified;
  };
  const Case cases[] = {
      {"new opens the next entry", kChangeNew, 0, false, {1}, 1, 1, true},
      {"cancelled new is no change", kChangeNew, 1, true, {2}, 1, 0, false},
      {"a 26th change is refused", kChangeNew, 25, false, {}, 25, 0, false},
      {"change edits the last change", kChangeModify, 3, false, {3}, 3, 1, true},
      {"change without changes only shows", kChangeModify, 0, false, {}, 0, 1, false},
      {"cancel counts down", kChangeCancel, 2, false, {}, 1, 1, true},
      {"cancel without changes only shows", kChangeCancel, 0, false, {}, 0, 1, false},
      {"show", kChangeShow, 2, false, {}, 2, 1, false},
      {"drawing information", kChangeDrawingInfo, 2, false, {}, 2, 0, true},
      {"drawing information cancelled", kChangeDrawingInfo, 2, true, {}, 2, 0, false},
  };
  for (const Case& c : cases) {
    ChangeRecords.count = static_cast<std::uint16_t>(c.countBefore);
    cancel_ = c.cancel;
    opened_.clear();
    protocols_ = 0;
    DataModified = false;
    ChangeCommand(c.op);
    EXPECT_EQ(opened_, c.opened) << c.name;
    EXPECT_EQ(ChangeRecords.count, c.countAfter) << c.name;
    EXPECT_EQ(protocols_, c.protocols) << c.name;
    EXPECT_EQ(DataModified, c.modified) << c.name;
    EXPECT_EQ(AbortFlag, c.cancel) << c.name;
  }
}

TEST_F(DocumentationCommandsTest, NewDatesTheEntryTodayAndACancelTakesTheDateBack) {
  ChangeRecords.changes[1].date = "01.01.1999";
  cancel_ = true;
  ChangeCommand(kChangeNew);
  EXPECT_EQ(seenDate_, kToday);
  EXPECT_EQ(ChangeRecords.changes[1].date, "01.01.1999");
  cancel_ = false;
  ChangeCommand(kChangeNew);
  EXPECT_EQ(ChangeRecords.changes[1].date, kToday);
  EXPECT_EQ(ChangeRecords.changes[1].modification, "mod 1");
}

TEST_F(DocumentationCommandsTest, ATwentySixthChangeIsRefusedWithAMessage) {
  ChangeRecords.count = kMaxChangeRecords;
  ChangeCommand(kChangeNew);
  EXPECT_EQ(host_.Messages(), std::vector<std::string>{"Max. Changes = 25 !"});
}

TEST_F(DocumentationCommandsTest, NewAfterCancelReopensTheCancelledEntryWithTodaysDate) {
  ChangeRecords.count = 2;
  ChangeRecords.changes[2] = {"undone", "02.02.2002", "AB", "line 1\r\nline 2"};
  ChangeCommand(kChangeCancel);
  EXPECT_EQ(ChangeRecords.count, 1);
  EXPECT_TRUE(DataModified);
  EXPECT_EQ(ChangeRecords.changes[2].modification, "undone");

  cancel_ = true;  // look only
  ChangeCommand(kChangeNew);
  EXPECT_EQ(opened_, std::vector<int>{2});
  EXPECT_EQ(seenDate_, kToday);
  EXPECT_EQ(ChangeRecords.changes[2].editor, "AB");
  EXPECT_EQ(ChangeRecords.changes[2].description, "line 1\r\nline 2");
}

TEST_F(DocumentationCommandsTest, TheMenuOffersSevenEntriesWithShowProposed) {
  host_.AnswerChoice(2);
  ChangeRecords.count = 1;
  ChangeCommand(kChangeMenu);
  const auto choices = host_.RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].prompt, "Changes");
  EXPECT_EQ(choices[0].entries, (std::vector<std::string>{"new", "change", "cancel", "show",
                                                          "Printout", "Info drawing", "back...."}));
  EXPECT_EQ(choices[0].selected, 3);
  EXPECT_EQ(choices[0].helpNumber, 2600);
  EXPECT_EQ(opened_, std::vector<int>{1});

  // "back...." and Escape end the menu.
  opened_.clear();
  protocols_ = 0;
  host_.AnswerChoice(7);
  host_.AnswerCancel();
  ChangeCommand(kChangeMenu);
  ChangeCommand(kChangeMenu);
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(protocols_, 0);
}

TEST_F(DocumentationCommandsTest, ClearingForANewDataSet) {
  ChangeRecords.count = 4;
  ChangeRecords.drawingInfo.Fill("x");
  ChangeRecords.textCount = 2;
  DrawingTexts.Fill("t");
  PartNames.partName[1] = "Shaft";
  ClearChanges();
  EXPECT_EQ(ChangeRecords.count, 0);
  EXPECT_EQ(ChangeRecords.drawingInfo[kComplDate], kToday);
  for (int i = 2; i <= kDrawingInfoCount; ++i) EXPECT_EQ(ChangeRecords.drawingInfo[i], "") << i;
  EXPECT_EQ(ChangeRecords.textCount, 2);  // placed texts stay
  EXPECT_EQ(DrawingTexts[1], "t");
  ClearDocuments();
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(DrawingTexts[i], "") << i;
  EXPECT_EQ(PartNames.partName[1], "Shaft");
}

// Program and file go as separate arguments, never through a shell; the Windows editors of the
// start values open with the desktop's default program; a program that is not there starts
// nothing and is named in a message; a slot that does not exist does nothing.
TEST_F(DocumentationCommandsTest, ADocumentStartsAsProgramAndFileArguments) {
  const std::string program = platform::FindProgram("true");
  const std::string opener = platform::FindProgram("xdg-open");
  ASSERT_FALSE(program.empty());
  using Argv = std::vector<std::string>;
  struct Case {
    const char* name;
    int slot;
    TDocumentSlot set;
    Argv argv;
  };
  const Case cases[] = {
      {"blanks and shell characters stay one argument",
       3,
       {program, "my doc; rm -rf $HOME"},
       {program, "my doc; rm -rf $HOME"}},
      {"an empty file name starts the program alone", 3, {program, ""}, {program}},
      {"slot 4 starts notepad.exe by default",
       4,
       {"notepad.exe", "/tmp/a.txt"},
       opener.empty() ? Argv{} : Argv{opener, "/tmp/a.txt"}},
      {"missing program", 1, {"no-such-program-vuko", "a.txt"}, {}},
      {"no slot 0", 0, {}, {}},
      {"no slot 6", 6, {}, {}},
  };
  EXPECT_EQ(DocumentSlots[4].program, "notepad.exe");
  EXPECT_EQ(DocumentSlots[5].program, "notepad.exe");
  const Case* now = nullptr;  // set in the dialog, a slot is the user's own and starts unasked
  TDocumentationDialogs dialogs;
  dialogs.documentSetup = [&now] {
    if (now->slot >= 1 && now->slot <= kDocumentSlotCount) DocumentSlots[now->slot] = now->set;
  };
  InstallDocumentationDialogs(dialogs);
  for (const Case& c : cases) {
    started_.clear();
    now = &c;
    EditDocumentSetup();
    StartDocument(c.slot);
    EXPECT_EQ(started_, c.argv.empty() ? std::vector<Argv>{} : std::vector<Argv>{c.argv}) << c.name;
  }
  // Without a desktop opener the notepad slot cannot start either, and says so.
  std::vector<std::string> missing{"no-such-program-vuko"};
  if (opener.empty()) missing.insert(missing.begin(), "xdg-open");
  const std::vector<std::string> messages = host_.Messages();
  ASSERT_EQ(messages.size(), missing.size());
  for (std::size_t i = 0; i < missing.size(); ++i) {
    EXPECT_NE(messages[i].find(missing[i]), std::string::npos) << messages[i];
  }
}

// A program a data file names starts only after Yes to a question showing it; "-x" goes as "./-x".
TEST_F(DocumentationCommandsTest, ADataFilesProgramStartsOnlyWhenTheUserAgrees) {
  const std::string program = platform::FindProgram("true");
  NewSplineExample();
  DocumentSlots[2] = {program, "-rf notes.txt"};
  const app_test::ScratchDir dir;
  CurrentFileName = dir / "vuko_received.vuk";
  WriteDataFile(CurrentFileName);
  InitDocumentSlots();
  ReadDataFile(CurrentFileName);
  host_.AnswerNo();
  host_.AnswerYes();
  const std::vector<std::string> argv{program, "./-rf notes.txt"};
  for (const auto& started : {std::vector<std::vector<std::string>>{}, {argv}}) {
    started_.clear();
    StartDocument(2);
    EXPECT_EQ(started_, started);
  }
  for (const auto& r : host_.RecordsOf(TDialogKind::YesNo))
    EXPECT_EQ(r.prompt, "Document 2 of the data file starts the program\n\"" + program +
                            "\" \"./-rf notes.txt\"\nStart it ?");
  EXPECT_EQ(host_.PendingAnswers(), 0u);
}

}  // namespace
