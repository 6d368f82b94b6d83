// Result listing of the example joint: golden listings (file device and the data-file text device,
// metric and imperial), values against textbook formulas, units, the remarks section, the HTML
// page's rows against the text rows, and the fatal case.
//
// Golden files live in tests/data/golden/. After a deliberate change of the listing, look at the
// new output and accept it with:  VUKO_ACCEPT_GOLDEN=1 ./test_calc --gtest_filter='*Golden*'
#include "calc/result_printout.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <vector>

#include "calc/measurement.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/guarded_math.h"
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
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-print-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
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
    const std::string dir = dir_ + "/";
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

// No input reaches these values since the calculation refuses what it cannot use; the
// engine's substitutes are set here as a failed power (1e3000) or a lost value would leave them.
TEST_F(ResultPrintoutTest, ValueThatIsNoNumberPrintsAMarkAndItsReason) {
  ToothingData.df[1] = kHugeReal;
  ToothingData.dFa[2] = std::numeric_limits<long double>::quiet_NaN();
  const std::string paper = FileListing();
  std::size_t widest = 0;
  for (const std::string& line : Split(paper.substr(0, paper.find("REMARKS")), '\n')) {
    widest = std::max(widest, line.size());
  }
  EXPECT_LT(widest, 100u) << "a mark must fit its column";
  const std::string listing = DataTxtListing();
  std::map<std::string, std::vector<std::string>> bySymbol;
  for (const auto& r : TabRows(listing)) {
    if (!bySymbol.count(r[1])) bySymbol[r[1]] = r;
  }
  EXPECT_EQ(bySymbol["df"][3], "***");
  EXPECT_EQ(bySymbol["df"][4], TrimStr(LengthStrW(5, 3, -ToothingData.df[2])));
  EXPECT_EQ(bySymbol["dFa"][4], "???");
  // The remarks name the row and the part, each message as the first field of its line.
  std::set<std::string> remarks;
  for (const std::string& line : Split(listing.substr(listing.find("REMARKS")), '\n')) {
    remarks.insert(Split(line, '\t')[0]);
  }
  EXPECT_TRUE(remarks.count("Error  : df overflow ! (1)"));
  EXPECT_TRUE(remarks.count("Error  : dFa is no number ! (2)"));
}

// A root so deep there is no form circle (z m sin a < 2 (ha - rho (1 - sin a)) / sin a).
TEST_F(ResultPrintoutTest, ValueAnErrorMakesMeaninglessPrintsTheMark) {
  SplineInputData.dfIn[1] = 0.5L;
  CalcSplineJoint();
  ASSERT_FALSE(CalcFatalFlag);
  const std::string listing = DataTxtListing();
  std::map<std::string, std::vector<std::string>> bySymbol;
  for (const auto& r : TabRows(listing)) bySymbol.try_emplace(r[1], r);
  EXPECT_EQ(bySymbol["dFf"][3], "???");
  EXPECT_EQ(bySymbol["dFf"][4], TrimStr(LengthStrW(5, 3, -ToothingData.dFf[2])));
  const std::string remarks = listing.substr(listing.find("REMARKS"));
  EXPECT_NE(remarks.find("Error  : dFf undercut ! (1)"), std::string::npos);
  EXPECT_EQ(remarks.find("dFf is no number"), std::string::npos);
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

// Random joints, many of them outside every sensible range: whatever the calculation lets
// through prints finite numbers only (a value that is none prints as a mark with its reason in
// the remarks), and a dimension over balls or a span comes with the ball and span findings of
// the measurement routines at the listed shift and ball. Reference for the ball: it rests on
// both flanks only when inv(alphaM) = Dm / (z m cos a) - pi / (2 z) + 2 x tan(a) / z + inv(a)
// is not negative (ISO 21771; hub with negative z).
class JointSweep {
 public:
  explicit JointSweep(unsigned seed) : rng_(seed) {}

  // A joint's inputs, one in about eight of them spoilt.
  void Make() {
    ResetSplineData();
    TToothingData& t = ToothingData;
    TSplineInputData& s = SplineInputData;
    t.alpha = Pick(25.0L, 40.0L);
    t.mn = std::exp(Pick(std::log(0.3L), std::log(12.0L)));
    t.z[1] = Int(6, 60);
    s.PitchMode = Int(0, 9) == 0 ? 2 : 1;
    t.Pn = 25.4L / t.mn;
    s.ShiftGivenFor = Int(0, 2);
    s.ShaftDiamMode = static_cast<int16_t>(Int(0, 1));
    s.HubDiamMode = static_cast<int16_t>(Int(0, 1));
    s.ClearanceAsFactor = Int(0, 1) == 1;
    const long double d = t.z[1] * t.mn;
    for (int p = 1; p <= 2; ++p) {
      s.InputKind[p] = static_cast<int16_t>(Int(1, p == 1 ? 4 : 3));
      t.x[p] = Pick(-0.8L, 0.8L);
      t.Dm[p] = Int(0, 2) == 0 ? Pick(0.8L, 2.2L) * t.mn : 0;
      t.k[p] = Int(0, 3) == 0 ? Int(1, t.z[1]) : 0;
      t.hfP0mn[p] = Pick(0.3L, 0.7L);
      t.haP0mn[p] = Pick(0.4L, 0.8L);
      t.rhoaP0mn[p] = Pick(0.0L, 0.3L);
      s.MdRIn[p] = (p == 1 ? 1 : -1) * (d + Pick(-1.0L, 2.0L) * t.mn);
      s.WIn[p] = Pick(1.0L, 0.4L * d);
    }
    s.snIn[1] = s.enIn[2] = t.mn * Pick(1.2L, 1.9L);
    s.daIn[1] = d + Pick(0.5L, 1.2L) * t.mn;
    s.dfIn[1] = d - Pick(0.9L, 1.5L) * t.mn;
    s.daIn[2] = d - Pick(0.5L, 1.2L) * t.mn;
    s.dfIn[2] = d + Pick(0.9L, 1.5L) * t.mn;
    s.cemn = s.cimn = Pick(0.0L, 0.3L);
    s.cpmn = Pick(-0.05L, 0.2L);
    s.ce = s.cemn * t.mn;
    s.ci = s.cimn * t.mn;
    s.cp = s.cpmn * t.mn;
    if (Int(0, 7) == 0) Spoil();
  }

 private:
  long double Pick(long double lo, long double hi) {
    return std::uniform_real_distribution<double>(static_cast<double>(lo),
                                                  static_cast<double>(hi))(rng_);
  }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  // One input set to a value no one can make, or a count of teeth that is none.
  void Spoil() {
    TToothingData& t = ToothingData;
    TSplineInputData& s = SplineInputData;
    const long double odd[] = {0,
                               -5,
                               -1e-3L,
                               1e9L,
                               1e400L,
                               -1e400L,
                               std::numeric_limits<long double>::quiet_NaN(),
                               std::numeric_limits<long double>::infinity()};
    const int p = Int(1, 2);
    long double* const fields[] = {&t.mn,     &t.Pn,          &t.x[p],      &t.Dm[p],   &s.MdRIn[p],
                                   &s.WIn[p], &t.rhoaP0mn[p], &t.hfP0mn[p], &s.daIn[p], &s.ce,
                                   &s.cemn,   &s.snIn[1],     &s.enIn[2],   &t.alpha};
    const int which = Int(0, 15);
    if (which == 14) {
      t.z[1] = Int(-20, 1);
    } else if (which == 15) {
      t.k[1] = Int(-10, 200);
    } else {
      *fields[which] = odd[Int(0, 7)];
      if (fields[which] == &t.Pn) s.PitchMode = 2;
    }
  }

  std::mt19937 rng_;
};

// True when the cell is a number with all its digits finite, or one of the listing's marks.
bool FiniteOrMark(const std::string& cell) {
  if (cell == "***" || cell == "???") return true;
  char* end = nullptr;
  const double v = std::strtod(cell.c_str(), &end);
  return end != cell.c_str() && *end == '\0' && std::isfinite(v);
}

// The ball and span findings the measurement routines give at the listed values.
std::vector<std::string> MeasurementFindings(int part) {
  const TToothingData& t = ToothingData;
  TErrorList saved = ErrorList;
  ClearErrors();
  CalcBallDimension(t.z[part], t.mn, t.alphaRad, t.betaRad, t.x[part], t.Dm[part]);
  CalcSpanTeeth(t.z[part], t.betaRad, t.alphaRad, t.x[part], t.mn);
  CalcSpanMeasurement(t.z[part], t.k[part], t.mn, t.alphaRad, t.betaRad, t.x[part]);
  // Textbook ball centre (see above).
  const long double z = t.z[part];
  const long double y = t.Dm[part] / (z * t.mn * std::cos(t.alphaRad)) - kPi / (2 * z) +
                        2 * t.x[part] * std::tan(t.alphaRad) / z + Inv(t.alphaRad);
  std::vector<std::string> found;
  if (y < 0) found.push_back((z > 0 ? "Error  : small Dm ball !  (" : "Error  : Dm ball !  (") +
                             LengthStr(t.Dm[part]) + "mm)");
  for (int i = 1; i <= ErrorList.count; ++i) found.push_back(ErrorList.messages[i]);
  ErrorList = saved;
  return found;
}

TEST_F(ResultPrintoutTest, RandomJointsPrintFiniteNumbersAndTheirMeasurementFindings) {
  constexpr int kJoints = 16000;  // about 8 s; 20000 took 10 s on a loaded machine
  JointSweep sweep(20261207);
  int listed = 0, refused = 0, marked = 0;
  ConfigVariables.OutputDevice = kDeviceFile;
  // Memory-backed where there is one: the listings are written to be synced, and 20000 syncs
  // would measure the disk instead of the program.
  std::string shm = "/dev/shm/vuko-sweep-XXXXXX";
  const std::string sweepDir = fs::is_directory("/dev/shm") && mkdtemp(shm.data()) ? shm : dir_;
  const std::string listing = sweepDir + "/sweep.txt";
  ProgramSettings.tempDirectory = sweepDir;
  for (int n = 0; n < kJoints; ++n) {
    sweep.Make();
    CalcSplineJoint();
    if (CalcFatalFlag) {
      ++refused;
      continue;
    }
    std::vector<std::string> findings[3];
    for (int p = 1; p <= 2; ++p) findings[p] = MeasurementFindings(p);
    AbortFlag = false;
    fs::remove(listing);
    ScriptedDialogHost host;
    host.AnswerFile(listing);
    ResultPrintout();
    ASSERT_FALSE(AbortFlag);
    const std::string text = ReadAll(listing);
    ++listed;
    const std::size_t remarksAt = text.find("REMARKS, WARNINGS AND ERROR MESSAGES");
    const std::string remarks = remarksAt == std::string::npos ? "" : text.substr(remarksAt);
    for (const auto& row : TabRows(text.substr(0, remarksAt))) {
      for (std::size_t c = 3; c < row.size(); ++c) {
        if (row[c].empty()) continue;
        ASSERT_TRUE(FiniteOrMark(row[c])) << "joint " << n << " " << row[1] << ": " << row[c];
        if (row[c] == "***" || row[c] == "???") {
          ++marked;
          EXPECT_NE(remarks.find(" " + row[1] + " "), std::string::npos) << "joint " << n;
        }
      }
    }
    for (int p = 1; p <= 2; ++p) {
      for (const std::string& f : findings[p]) {
        if (f.find("ball") == std::string::npos && f.find("span") == std::string::npos &&
            f.find("kmess") == std::string::npos && f.find("DmMess") == std::string::npos)
          continue;
        ASSERT_NE(remarks.find(f), std::string::npos)
            << "joint " << n << " part " << p << ": " << f << "\n"
            << text;
      }
    }
  }
  if (sweepDir != dir_) fs::remove_all(sweepDir);
  // The sweep reaches both ends: listings and refusals.
  EXPECT_GT(listed, kJoints / 4);
  EXPECT_GT(refused, kJoints / 20);
  RecordProperty("listed", listed);
  RecordProperty("marked", marked);
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
