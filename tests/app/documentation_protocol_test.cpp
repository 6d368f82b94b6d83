// The report "Protocol of changes": its lines on the screen composed by hand from the report's
// layout (columns of 6, 10, 6 and 20 characters), the paged file with its page header as a
// golden file, the two index styles and a cancelled device choice.
//
// After a deliberate change of the report, look at the new output and accept it with:
//   VUKO_ACCEPT_GOLDEN=1 ./test_app --gtest_filter='*ChangeProtocol*Golden*'
#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/change_protocol.h"
#include "app_test_support.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"

namespace {

using app_test::ReadBytes;

// Lines of a listing without their line ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

const std::string kIndent(7, ' ');
const std::string kDouble(70, '=');
const std::string kSingle(70, '-');

class ChangeProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    SetProgramIdentity();
    InitMessageList();
    InitOutputState();
    setenv("TZ", "UTC", 1);
    tzset();
    SetClockForTests(1700000000);  // 2023-11-14 22:13 UTC
    ProgramSettings.tempDirectory = dir_.Path();
    DataDirectory = "/data";
    CurrentFileName = "shaft";
    InitChangeRecords();
    DrawingTexts[1] = "Text one";
    DrawingTexts[2] = "Text two";
    DrawingTexts[3] = "Spline shaft";
    auto& info = ChangeRecords.drawingInfo;
    info[kComplName] = "Mey";
    info[kReplacementFor] = "A-100";
    ChangeRecords.count = 3;
    ChangeRecords.changes[1] = {"first issue", "01.02.2023", "Mey", "drawing created"};
    ChangeRecords.changes[2] = {"tip diameter", "03.04.2023", "Kim",
                                "da 52.0 -> 51.8\r\nold parts stay valid"};
    ChangeRecords.changes[3] = {"a very long modification text", "05.06.2023", "Schmidt", ""};
    // A cancelled fourth change is not part of the report.
    ChangeRecords.changes[4] = {"cancelled", "07.08.2023", "Xx", "gone"};
    InstallShowTextFileHook([this](const std::string&, const std::string& printFile) {
      shown_.push_back(ReadBytes(printFile));
    });
    AbortFlag = false;
  }
  void TearDown() override {
    InstallShowTextFileHook({});
    SetClockForTests(0);
  }

  app_test::ScratchDir dir_;
  std::vector<std::string> shown_;
};

TEST_F(ChangeProtocolTest, OnTheScreenTheLinesFollowTheLayoutWithoutPageHeader) {
  WriteChangeProtocol(kDeviceScreen);
  ASSERT_FALSE(AbortFlag);
  ASSERT_EQ(shown_.size(), 1u);
  // Padded fields: Index 6, Date 10, Compl. 6, Modification 20; descriptions one line each.
  const std::vector<std::string> expected = {
      "",
      "Drawing date: 11/14/2023     Designed by: Mey",
      "",
      "Replacement for: A-100          ",
      "",
      "Index   Date         Compl.   Modification        ",
      kDouble,
      "  a     01.02.2023   Mey      first issue         ",
      " drawing created",
      kSingle,
      "  b     03.04.2023   Kim      tip diameter        ",
      " da 52.0 -> 51.8",
      " old parts stay valid",
      kSingle,
      "  c     05.06.2023   Schmid   a very long modifica",
      " ",
      kSingle,
  };
  std::vector<std::string> withIndent;
  for (const std::string& line : expected) withIndent.push_back(kIndent + line);
  EXPECT_EQ(Lines(shown_[0]), withIndent);

  // Short pages: the first page has no header but counts, so the headers say pages 2, 3, ...
  ProgramSettings.LinesPerPage = 12;
  WriteChangeProtocol(kDeviceScreen);
  ASSERT_EQ(shown_.size(), 2u);
  std::vector<std::string> pages;
  for (const std::string& line : Lines(shown_[1])) {
    const std::size_t at = line.find("pg.");
    if (at != std::string::npos) pages.push_back(line.substr(at, 5));
  }
  ASSERT_FALSE(pages.empty());
  for (std::size_t i = 0; i < pages.size() && i < 8; ++i) {
    EXPECT_EQ(pages[i], "pg. " + std::to_string(i + 2));
  }
}

TEST_F(ChangeProtocolTest, IndexStyleOneNumbersTheChangesOtherStylesLetterThem) {
  ChangeRecords.drawingInfo[kReplacementFor] = "";  // the change lines move up two lines
  for (int style : {0, 1, 2}) {
    ConfigVariables.ChangeIndexStyle = static_cast<std::uint16_t>(style);
    shown_.clear();
    WriteChangeProtocol(kDeviceScreen);
    ASSERT_EQ(shown_.size(), 1u);
    const std::vector<std::string> lines = Lines(shown_[0]);
    ASSERT_GE(lines.size(), 13u);
    EXPECT_EQ(lines[5].substr(0, 19), kIndent + (style == 1 ? "  1     01.0" : "  a     01.0"));
    EXPECT_EQ(lines[12].substr(0, 19), kIndent + (style == 1 ? "  3     05.0" : "  c     05.0"));
  }
}

TEST_F(ChangeProtocolTest, CancelInTheDeviceChoiceWritesNothing) {
  ScriptedDialogHost host;
  ConfigVariables.AskOutputDevice = true;
  host.AnswerCancel();
  WriteChangeProtocol(0);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(host.RecordsOf(TDialogKind::Choice).size(), 1u);
}

TEST_F(ChangeProtocolTest, GoldenPagedFileWithItsHeader) {
  ScriptedDialogHost host;
  const std::string file = dir_ / "protocol.txt";
  host.AnswerFile(file);
  WriteChangeProtocol(kDeviceFile);
  ASSERT_FALSE(AbortFlag);
  const std::string text = ReadBytes(file);
  const std::string path = std::string(VUKO_TEST_DATA_DIR) + "/golden/change_protocol.txt";
  if (getenv("VUKO_ACCEPT_GOLDEN") != nullptr) {
    app_test::WriteBytes(path, text);
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(path))
      << path << " missing; accept with VUKO_ACCEPT_GOLDEN=1";
  EXPECT_EQ(text, ReadBytes(path));
}

}  // namespace
