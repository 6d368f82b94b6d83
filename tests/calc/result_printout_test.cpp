// Result listing of the example joint: golden listings (file device and the data-file text device,
// metric and imperial), values against textbook formulas, units, the remarks section, the HTML
// page's rows against the text rows, and the fatal case.
//
// Golden files live in tests/data/golden/. After a deliberate change of the listing, look at the
// new output and accept it with:  VUKO_ACCEPT_GOLDEN=1 ./test_calc --gtest_filter='*Golden*'
#include "calc/result_printout.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/system_info.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Pieces between separators, empty trailing pieces included.
std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> out(1);
  for (char c : text) {
    if (c == sep) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

// The result rows of a device 6/9 listing (lines of four or five fields), fields trimmed.
std::vector<std::vector<std::string>> TabRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : Split(text, '\n')) {
    std::vector<std::string> f = Split(line, '\t');
    if (f.size() < 4) continue;
    for (auto& x : f) x = TrimStr(x);
    rows.push_back(f);
  }
  return rows;
}

class ResultPrintoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitProgramState();
    SetProgramIdentity();
    InitGraphicsSettings();
    InitMessageList();
    InitOutputState();
    InitToothingData();
    ResetSplineData();
    // A fixed moment in a fixed time zone: the listings' date and time lines stay the same.
    setenv("TZ", "UTC", 1);
    tzset();
    SetClockForTests(1700000000);
    char pattern[] = "/tmp/vuko-print-XXXXXX";
    dir_ = mkdtemp(pattern);
    ProgramSettings.tempDirectory = dir_;
    ProgramSettings.pltDirectory = VUKO_DATA_DIR;
    DataDirectory = "/data";
    CurrentFileName = "example";
    NewSplineExample();
    CalcSplineJoint();
    AbortFlag = false;
  }
  void TearDown() override {
    SetClockForTests(0);
    fs::remove_all(dir_);
  }
  // The listing through the file device (3).
  std::string FileListing() {
    AbortFlag = false;
    fs::remove(dir_ + "/listing.txt");
    ScriptedDialogHost host;
    host.AnswerFile(dir_ + "/listing.txt");
    ConfigVariables.OutputDevice = kDeviceFile;
    ResultPrintout();
    EXPECT_FALSE(AbortFlag);
    return ReadAll(dir_ + "/listing.txt");
  }
  // The listing through device 9, copied to the data file's name + ".txt".
  std::string DataTxtListing() {
    AbortFlag = false;
    ScriptedDialogHost host;
    const std::string saved = CurrentFileName;
    CurrentFileName = dir_ + "/example";
    ConfigVariables.OutputDevice = kDeviceDataTxt;
    ResultPrintout();
    EXPECT_FALSE(AbortFlag);
    CurrentFileName = saved;
    std::string text = ReadAll(dir_ + "/example.txt");
    // The directory in the header changes from run to run.
    const std::string dir = DelBlanks(dir_ + "/");
    for (std::size_t p; (p = text.find(dir)) != std::string::npos;)
      text.replace(p, dir.size(), "<DIR>/");
    return text;
  }
  void CheckGolden(const std::string& name, const std::string& text) {
    const std::string path = std::string(VUKO_TEST_DATA_DIR) + "/golden/" + name;
    if (getenv("VUKO_ACCEPT_GOLDEN") != nullptr) {
      fs::create_directories(fs::path(path).parent_path());
      std::ofstream(path, std::ios::binary) << text;
      return;
    }
    ASSERT_TRUE(fs::exists(path)) << path << " missing; accept with VUKO_ACCEPT_GOLDEN=1";
    EXPECT_EQ(text, ReadAll(path)) << "listing differs from " << path;
  }
  std::string dir_;
};

TEST_F(ResultPrintoutTest, GoldenListingsOfTheExampleJoint) {
  ASSERT_FALSE(CalcFatalFlag);
  CheckGolden("result_metric.txt", FileListing());
  CheckGolden("result_metric_device9.txt", DataTxtListing());
  ConfigVariables.UnitSystem = 1;
  CheckGolden("result_imperial.txt", FileListing());
  CheckGolden("result_imperial_device9.txt", DataTxtListing());
}

TEST_F(ResultPrintoutTest, ValuesAgreeWithTextbookFormulas) {
  auto rows = TabRows(DataTxtListing());
  auto find = [&](const std::string& text, const std::string& symbol) {
    for (const auto& r : rows) {
      if (r[0] == text && r[1] == symbol) return r;
    }
    ADD_FAILURE() << text;
    return std::vector<std::string>(5);
  };
  // Reference diameter d = mn z = 6.5 * 8 for shaft and hub (hub stored negative, printed
  // positive); base circle db = d cos(30 deg); normal pitch pn = pi mn.
  EXPECT_EQ(find("pitch circle diameter", "d")[3], "52.000");
  EXPECT_EQ(find("pitch circle diameter", "d")[4], "52.000");
  EXPECT_EQ(find("base circle diameter", "db")[4], "45.033");
  EXPECT_EQ(find("normal circular pitch", "pn")[3], "20.420");
  EXPECT_EQ(find("no.of teeth", "z")[3], "8");
  EXPECT_EQ(find("no.of teeth", "z")[4], "-8");
  EXPECT_EQ(find("pressure angle", "alpha")[3], "30.00000");
  EXPECT_EQ(find("normal module", "mn")[3], "6.5000");
  // Torsional backlash jt = 2 cp / d1 in degrees: 2 * 0.3 / 52 rad = 0.661 deg.
  EXPECT_EQ(find("torsional backlash", "jt")[3], "0.661");
  // The hub's dimension between balls prints as stored.
  EXPECT_EQ(find("dim.ov/betw.pins", "M")[4], TrimStr(LengthStrW(5, 3, ToothingData.M[2])));
  EXPECT_EQ(find("dim.ov/betw.pins", "M")[3], "82.000");  // the given dimension over balls
}

TEST_F(ResultPrintoutTest, ImperialChangesLengthsOnly) {
  auto metric = TabRows(DataTxtListing());
  ConfigVariables.UnitSystem = 1;
  auto imperial = TabRows(DataTxtListing());
  ASSERT_EQ(metric.size(), imperial.size());
  for (std::size_t i = 0; i < metric.size(); ++i) {
    const auto& m = metric[i];
    const auto& e = imperial[i];
    if (m[2] == "mm") {
      EXPECT_EQ(e[2], "in") << m[0];
      // Each printed inch value is the millimetre value / 25.4 (to the printed decimals).
      for (int c = 3; c < static_cast<int>(m.size()); ++c) {
        if (m[c].empty()) continue;
        EXPECT_NEAR(std::stod(e[c]) * 25.4, std::stod(m[c]), 0.0001 * 25.4 + 0.001) << m[0];
      }
    } else {
      EXPECT_EQ(m, e) << "unit-free row changed: " << m[0];
    }
  }
  for (const auto& r : imperial) {
    if (r[0] == "pitch circle diameter") EXPECT_EQ(r[3], "2.0472");  // 52 / 25.4
  }
}

TEST_F(ResultPrintoutTest, EveryValueIsPrintedAtFiveDigits) {
  ProgramSettings.FloatDigits = 5;  // two more decimals: hub values grow past their column
  const std::string paper = FileListing();
  for (const auto& row : TabRows(DataTxtListing())) {
    for (std::size_t c = 3; c < row.size(); ++c) {
      if (row[c].empty()) continue;
      EXPECT_NE(paper.find(" " + row[c]), std::string::npos) << row[0] << " value " << row[c];
    }
  }
}

TEST_F(ResultPrintoutTest, RemarksSectionOnlyWithMessages) {
  ClearErrors();
  EXPECT_EQ(FileListing().find("REMARKS"), std::string::npos);
  AddError("Warning: k <> k DIN !");
  std::string text = FileListing();
  EXPECT_NE(text.find("REMARKS, WARNINGS AND ERROR MESSAGES"), std::string::npos);
  EXPECT_NE(text.find("       Warning: k <> k DIN !\n"), std::string::npos);
  EXPECT_NE(text.find("number of teeth spanned differs"), std::string::npos);  // its origin
}

TEST_F(ResultPrintoutTest, HtmlRowsEqualTheTextRowsAndPartNamesAreEscaped) {
  PartNames.partName[1] = "Shaft <&>";
  auto textRows = TabRows(DataTxtListing());
  ScriptedDialogHost host;
  host.AnswerFile(dir_ + "/listing.htm");
  ConfigVariables.HtmlBrowserPath = "";
  ConfigVariables.OutputDevice = kDeviceHtml;
  ResultPrintout();
  ASSERT_FALSE(AbortFlag);
  const std::string html = ReadAll(dir_ + "/listing.htm");
  EXPECT_NE(html.find("<h5>Shaft &lt;&amp;&gt;"), std::string::npos);
  std::vector<std::vector<std::string>> htmlRows;
  const std::regex row("<TR>(.*)</TR>");
  const std::regex cell("<TD>(.*?)</TD>");
  const std::regex tag("<[^>]*>");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator();
       ++it) {
    std::string inner = (*it)[1];
    std::vector<std::string> cells;
    for (auto c = std::sregex_iterator(inner.begin(), inner.end(), cell);
         c != std::sregex_iterator(); ++c) {
      cells.push_back(TrimStr(std::regex_replace(std::string((*c)[1]), tag, "")));
    }
    // The page repeats the column titles where a table starts; the text has them only once.
    if (cells == std::vector<std::string>{"", "symbol", "unit", "Shaft", "Hub"}) continue;
    htmlRows.push_back(cells);
  }
  // The text export starts with the column titles, so that the value columns can be told apart.
  ASSERT_FALSE(textRows.empty());
  EXPECT_EQ(textRows[0], (std::vector<std::string>{"", "symbol", "unit", "Shaft", "Hub"}));
  textRows.erase(textRows.begin());
  // The text rows hold the messages section too when the joint has messages; the table rows
  // of the listing come first in both.
  ASSERT_GE(htmlRows.size(), 20u);
  ASSERT_GE(textRows.size(), 20u);
  for (std::size_t i = 0; i < htmlRows.size() && i < textRows.size(); ++i) {
    if (textRows[i][0].rfind("Fatal", 0) == 0 || textRows[i][0].rfind("Error", 0) == 0 ||
        textRows[i][0].rfind("Warning", 0) == 0) {
      break;  // the messages section is laid out differently on the two devices
    }
    EXPECT_EQ(htmlRows[i], textRows[i]) << "row " << i;  // both in UTF-8
  }
}

TEST_F(ResultPrintoutTest, FatalCalculationShowsMessagesAndWritesNothing) {
  ToothingData.mn = 0;
  SplineInputData.PitchMode = 1;
  CalcSplineJoint();
  ASSERT_TRUE(CalcFatalFlag);
  ScriptedDialogHost host;
  host.AnswerChoice(ErrorCount() + 1);  // Continue...
  ConfigVariables.OutputDevice = kDeviceFile;
  ResultPrintout();
  EXPECT_TRUE(host.RecordsOf(TDialogKind::SaveFile).empty());
  ASSERT_EQ(host.RecordsOf(TDialogKind::Choice).size(), 1u);
  EXPECT_EQ(host.RecordsOf(TDialogKind::Choice)[0].entries.front(), ErrorText(1));
  EXPECT_FALSE(fs::exists(dir_ + "/listing.txt"));
}

TEST_F(ResultPrintoutTest, CancelledDeviceChoiceWritesNothing) {
  ScriptedDialogHost host;
  ConfigVariables.AskOutputDevice = true;
  host.AnswerCancel();
  ResultPrintout();
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(fs::is_empty(dir_) || !fs::exists(dir_ + "/listing.txt"));
}

}  // namespace
