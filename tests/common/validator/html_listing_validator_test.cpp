// The HTML listing read back by html5lib (Debian's /usr/bin/python3): no parse errors, the
// declared character set is the one used, texts with markup characters arrive literally, and
// the table rows equal the rows of the same listing on the tab-separated device.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/system_info.h"
#include "validator_support.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::string piece;
  std::stringstream ss(text);
  while (std::getline(ss, piece, sep)) out.push_back(piece);
  return out;
}

using validator_support::Quote;
using validator_support::ToolRun;

std::string RunChecker(const std::string& htmlFile) {
  const std::string script = std::string(VUKO_SOURCE_DIR) + "/tests/common/validator/html_check.py";
  const ToolRun run = validator_support::Execute(
      std::string(SYSTEM_PYTHON3) + " " + Quote(script) + " " + Quote(htmlFile), false);
  EXPECT_EQ(run.status, 0) << run.output;
  return run.output;
}

// One listing as a writer would make it: header with a part name holding markup characters,
// column titles, one- and two-value rows, a text row and the messages section.
void WriteListing() {
  ReportSetHeader("", FormatNumberedTitle("Shaft <&> \"A\"", "01"), "Hub \x81", "", "", 0);
  ReportSetColumns("", "symbol", "unit", "Shaft", "Hub");
  ReportPageHeader(0, 1);
  ReportRow("pressure angle", "alpha", "\xF8", "  30.00000");
  ReportRowTwoParts("no.of teeth", "z", "", "       8", "      -8");
  ReportRowTwoParts("a < b & c", "x", "", "1", "");
  ReportLine("");
  ReportLine("BLOCK <TITLE>");
  ReportLine(RuleSingle());
  ReportRowTwoParts("tooth depth", "h", "mm", "   4.250", "   4.250");
  ReportPageEnd();
  ReportAppendMessages();
}

class HtmlListingValidatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_VALIDATOR(validator_support::HavePythonModule("html5lib"),
                      "html5lib for " SYSTEM_PYTHON3);
    ResetProgramStateForTests();
    SetProgramIdentity();
    InitGraphicsSettings();
    InitMessageList();
    InitOutputState();
    SetClockForTests(1700000000);
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-html-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    ProgramSettings.tempDirectory = dir_;
    ProgramSettings.pltDirectory = dir_;
    DataDirectory = dir_;  // the text export is kept beside the data file
    std::ofstream(dir_ + "/vuko.err") << "Warning: x > 1.5 !\nshift <large>\nuse & check\n";
    AddError("Warning: x > 1.5 !");
  }
  void TearDown() override {
    SetClockForTests(0);
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  std::string dir_;
};

TEST_F(HtmlListingValidatorTest, ParsesCleanlyAndRowsEqualTheTextRows) {
  ScriptedDialogHost host;
  ConfigVariables.HtmlBrowserPath = "";
  host.AnswerFile(dir_ + "/listing.htm");
  OutputOpen(kDeviceHtml);
  ASSERT_FALSE(AbortFlag);
  OutputRewrite();
  WriteListing();
  OutputClose();
  ASSERT_FALSE(AbortFlag);

  OutputOpen(kDeviceTxtFile);
  ASSERT_FALSE(AbortFlag);
  const std::string tabName = OutputState.OutputFileName;
  OutputRewrite();
  WriteListing();
  OutputClose();
  std::vector<std::vector<std::string>> textRows;
  for (const std::string& line : Split(ReadAll(tabName), '\n')) {
    std::vector<std::string> f = Split(line, '\t');
    if (f.size() < 4) continue;  // header lines and text lines
    for (auto& x : f) x = TrimStr(x);
    textRows.push_back(f);
  }

  const std::string report = RunChecker(dir_ + "/listing.htm");
  std::vector<std::vector<std::string>> htmlRows;
  std::vector<std::string> h5;
  for (const std::string& line : Split(report, '\n')) {
    EXPECT_NE(line.rfind("ERR", 0), 0u) << line;
    if (line.rfind("ENC ", 0) == 0) EXPECT_EQ(line, "ENC utf-8");
    if (line.rfind("H5 ", 0) == 0) h5.push_back(line.substr(3));
    if (line.rfind("ROW ", 0) == 0) {
      std::vector<std::string> cells = Split(line.substr(4), '\t');
      if (cells == std::vector<std::string>{"", "symbol", "unit", "Shaft", "Hub"}) continue;
      htmlRows.push_back(cells);
    }
  }
  ASSERT_GE(h5.size(), 2u);
  EXPECT_EQ(h5[0].substr(0, 13), "Shaft <&> \"A\"");  // arrives literally
  EXPECT_EQ(h5[1], "Hub \xC3\xBC");                   // CP850 0x81 as u-umlaut

  // Result rows: the same cells on both devices (the HTML page drops empty trailing cells only
  // where the text has them as empty fields).
  // The text export names its columns first; the page does so in its tables.
  ASSERT_FALSE(textRows.empty());
  EXPECT_EQ(textRows[0], (std::vector<std::string>{"", "symbol", "unit", "Shaft", "Hub"}));
  std::vector<std::vector<std::string>> expected(textRows.begin() + 1, textRows.end());
  std::vector<std::vector<std::string>> resultRows;
  for (const auto& r : htmlRows) {
    if (r.size() >= 4) resultRows.push_back(r);
  }
  ASSERT_EQ(resultRows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(resultRows[i], expected[i]) << "row " << i;  // both in UTF-8
  }
  // The messages section: message, origin and remedy as rows of their own, texts literal.
  bool origin = false;
  for (const auto& r : htmlRows) {
    if (r.size() == 1 && r[0] == "shift <large>") origin = true;
  }
  EXPECT_TRUE(origin);
}

}  // namespace
