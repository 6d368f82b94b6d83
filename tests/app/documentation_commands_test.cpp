// The changes menu and its operations, the clearing of a new data set and the start of a
// document program, driven with stand-in dialogs and a recording program starter.
#include "app/documentation_commands.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <string>
#include <vector>

#include "app/documentation_records.h"
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

TEST_F(DocumentationCommandsTest, NewCountsTheChangeDatesItTodayAndShowsTheProtocol) {
  ChangeRecords.changes[1].date = "01.01.1999";
  ChangeCommand(kChangeNew);
  EXPECT_EQ(ChangeRecords.count, 1);
  EXPECT_EQ(opened_, std::vector<int>{1});
  EXPECT_EQ(seenDate_, kToday);
  EXPECT_EQ(ChangeRecords.changes[1].modification, "mod 1");
  EXPECT_EQ(protocols_, 1);
  EXPECT_TRUE(DataModified);
}

TEST_F(DocumentationCommandsTest, CancelledNewChangeIsTakenBack) {
  ChangeRecords.changes[1] = {"old", "01.01.1999", "XY", "kept"};
  cancel_ = true;
  ChangeCommand(kChangeNew);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ChangeRecords.count, 0);
  EXPECT_EQ(ChangeRecords.changes[1].date, "01.01.1999");
  EXPECT_EQ(ChangeRecords.changes[1].description, "kept");
  EXPECT_EQ(protocols_, 0);
  EXPECT_FALSE(DataModified);
}

TEST_F(DocumentationCommandsTest, ATwentySixthChangeIsRefused) {
  ChangeRecords.count = kMaxChangeRecords;
  ChangeCommand(kChangeNew);
  EXPECT_EQ(ChangeRecords.count, kMaxChangeRecords);
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(host_.Messages(), std::vector<std::string>{"Max. Changes = 25 !"});
  EXPECT_FALSE(DataModified);

  host_.Clear();
  MessagesEnabled = false;
  ChangeCommand(kChangeNew);
  EXPECT_TRUE(host_.Messages().empty());
  EXPECT_EQ(ChangeRecords.count, kMaxChangeRecords);
}

TEST_F(DocumentationCommandsTest, ChangeAndCancelWithoutChangesOnlyShowTheProtocol) {
  ChangeCommand(kChangeModify);
  ChangeCommand(kChangeCancel);
  EXPECT_TRUE(opened_.empty());
  EXPECT_EQ(ChangeRecords.count, 0);
  EXPECT_EQ(protocols_, 2);
  EXPECT_FALSE(DataModified);
}

TEST_F(DocumentationCommandsTest, ChangeEditsTheLastChange) {
  ChangeRecords.count = 3;
  ChangeCommand(kChangeModify);
  EXPECT_EQ(opened_, std::vector<int>{3});
  EXPECT_EQ(ChangeRecords.changes[3].modification, "mod 3");
  EXPECT_EQ(protocols_, 1);
  EXPECT_TRUE(DataModified);
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

  struct Case {
    const char* name;
    bool cancel;
    int entry;
  };
  for (const Case& c : {Case{"back", false, 7}, Case{"Escape", true, 0}}) {
    opened_.clear();
    protocols_ = 0;
    if (c.cancel) {
      host_.AnswerCancel();
    } else {
      host_.AnswerChoice(c.entry);
    }
    ChangeCommand(kChangeMenu);
    EXPECT_TRUE(opened_.empty()) << c.name;
    EXPECT_EQ(protocols_, 0) << c.name;
  }
}

TEST_F(DocumentationCommandsTest, DrawingInformationMarksTheDataSetUnlessCancelled) {
  cancel_ = true;
  ChangeCommand(kChangeDrawingInfo);
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(DataModified);
  cancel_ = false;
  EditDrawingInfo();
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(DataModified);
}

TEST_F(DocumentationCommandsTest, WithoutDialogsEditingIsDeclined) {
  InstallDocumentationDialogs({});
  ChangeCommand(kChangeNew);
  EXPECT_EQ(ChangeRecords.count, 0);
  for (auto edit : {&EditDrawingInfo, &EditDocumentSetup, &EditDrawingTexts}) {
    AbortFlag = false;
    edit();
    EXPECT_TRUE(AbortFlag);
  }
  EXPECT_FALSE(DataModified);
}

TEST_F(DocumentationCommandsTest, ClearingForANewDataSet) {
  ChangeRecords.count = 4;
  for (int i = 1; i <= kDrawingInfoCount; ++i) ChangeRecords.drawingInfo[i] = "x";
  ChangeRecords.textCount = 2;
  ChangeRecords.texts[1].text = "placed";
  DrawingTexts[1] = "t1";
  DrawingTexts[2] = "t2";
  DrawingTexts[3] = "t3";
  PartNames.partName[1] = "Shaft";
  PartNames.drawingNumber[2] = "02";

  ClearChanges();
  EXPECT_EQ(ChangeRecords.count, 0);
  EXPECT_EQ(ChangeRecords.drawingInfo[kComplDate], kToday);
  for (int i = 2; i <= kDrawingInfoCount; ++i) EXPECT_EQ(ChangeRecords.drawingInfo[i], "") << i;
  EXPECT_EQ(ChangeRecords.textCount, 2);
  EXPECT_EQ(ChangeRecords.texts[1].text, "placed");
  EXPECT_EQ(DrawingTexts[1], "t1");

  ClearDocuments();
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(DrawingTexts[i], "") << i;
  EXPECT_EQ(PartNames.partName[1], "Shaft");
  EXPECT_EQ(PartNames.drawingNumber[2], "02");
}

// ---------------------------------------------------------------------------------------------
// Document programs

TEST_F(DocumentationCommandsTest, ADocumentStartsAsProgramAndFileArguments) {
  const std::string program = platform::FindProgram("true");
  ASSERT_FALSE(program.empty());
  struct Case {
    const char* name;
    std::string file;
    std::vector<std::string> argv;
  };
  const Case cases[] = {
      {"file with blanks and shell characters is one argument",
       "my doc; rm -rf $HOME.txt",
       {program, "my doc; rm -rf $HOME.txt"}},
      {"empty file name starts the program alone", "", {program}},
  };
  for (const Case& c : cases) {
    started_.clear();
    DocumentSlots[3] = {program, c.file};
    StartDocument(3);
    ASSERT_EQ(started_.size(), 1u) << c.name;
    EXPECT_EQ(started_[0], c.argv) << c.name;
  }
}

TEST_F(DocumentationCommandsTest, WindowsEditorsOpenWithTheDesktopProgram) {
  // Slots 4 and 5 hold "notepad.exe" from the start.
  EXPECT_EQ(DocumentSlots[4].program, "notepad.exe");
  EXPECT_EQ(DocumentSlots[5].program, "notepad.exe");
  DocumentSlots[4].file = "/tmp/readme.txt";
  const std::string opener = platform::FindProgram("xdg-open");
  StartDocument(4);
  if (opener.empty()) {
    EXPECT_TRUE(started_.empty());
  } else {
    ASSERT_EQ(started_.size(), 1u);
    EXPECT_EQ(started_[0], (std::vector<std::string>{opener, "/tmp/readme.txt"}));
  }
}

TEST_F(DocumentationCommandsTest, NothingStartsForAMissingProgramOrSlot) {
  DocumentSlots[1] = {"no-such-program-vuko", "a.txt"};
  for (int n : {0, 1, 6}) StartDocument(n);
  EXPECT_TRUE(started_.empty());
  EXPECT_TRUE(host_.Messages().empty());
}

}  // namespace
