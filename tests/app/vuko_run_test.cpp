// The built program run as a user runs it, without a display: the help screen, the listing
// switch, the CAD switch and the exit codes, including runs that cannot write what they were
// asked for. Needs the `vuko` target built.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/data_file_table.h"
#include "app/documentation_commands.h"
#include "app/documentation_records.h"
#include "app/startup.h"
#include "app_test_support.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/cad_output_file.h"
#include "graphics/graphics_facade.h"
#include "validator_support.h"

namespace {

using app_test::Exists;
using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

const std::string kVuko = VUKO_BINARY_DIR "/vuko";
const std::string kExample = VUKO_DATA_DIR "/example_x.vuk";

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs vuko (under a wrapper command, if given) in dir with no display and no Qt platform,
// configuration looked for in dir only.
RunResult RunVuko(const ScratchDir& dir, const std::vector<std::string>& args,
                  const std::vector<std::string>& wrapper = {}) {
  const std::string outName = dir / ".stdout";
  const std::string errName = dir / ".stderr";
  const std::string xdg = dir.Make(".xdg");
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.Path().c_str()) != 0) _exit(126);
    const int out = open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    dup2(err, 2);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& a : wrapper) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(const_cast<char*>(kVuko.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    alarm(60);  // a run that hangs ends after a minute and reads as killed
    execv(argv[0], argv.data());
    _exit(127);
  }
  RunResult r;
  int status = 0;
  waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadBytes(outName);
  r.err = ReadBytes(errName);
  return r;
}

class VukoRun : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_OR_SKIP(access(kVuko.c_str(), X_OK) == 0, kVuko << " is not built",
                    kVuko << " is not built (build the vuko target first)");
  }
  ScratchDir dir_;
};

// Rows of a tab-separated listing by symbol: the cells after the symbol and unit.
std::map<std::string, std::vector<std::string>> RowsBySymbol(const std::string& listing) {
  std::map<std::string, std::vector<std::string>> rows;
  std::istringstream in(listing);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::istringstream cellStream(line);
    std::string cell;
    while (std::getline(cellStream, cell, '\t')) cells.push_back(cell);
    if (cells.size() >= 4 && !cells[1].empty() && !rows.count(cells[1])) {
      rows[cells[1]] = std::vector<std::string>(cells.begin() + 3, cells.end());
    }
  }
  return rows;
}

double Number(const std::vector<std::string>& cells, std::size_t i) {
  return i < cells.size() ? std::stod(cells[i]) : NAN;
}

TEST_F(VukoRun, ListingIsWrittenIntoTheCurrentDirectory) {
  WriteBytes(dir_ / "example_x.vuk", ReadBytes(kExample));
  const RunResult r = RunVuko(dir_, {"example_x.vuk", "/I"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  ASSERT_TRUE(Exists(dir_ / "example_x.txt"));
  const std::string listing = ReadBytes(dir_ / "example_x.txt");
  // The second header line names the data file, whole; the text is UTF-8 (the degree sign of
  // the angle unit), which iconv accepts as a whole.
  std::istringstream header(listing);
  std::string line;
  std::getline(header, line);
  std::getline(header, line);
  EXPECT_EQ(line, dir_ / "example_x.vuk");
  EXPECT_NE(listing.find("\talpha\t\xC2\xB0\t"), std::string::npos);
  EXPECT_TRUE(validator_support::CommandSucceeds("iconv -f UTF-8 -t UTF-16 " +
                                                 validator_support::Quote(dir_ / "example_x.txt") +
                                                 " > /dev/null"));
  for (const char* section : {"DIMENSIONS OF GEAR-CUTTING TOOL", "TOOTH PITCHES, TOOTH DIMENSIONS",
                              "MEASUREMENTS/DIMENSIONS"}) {
    EXPECT_NE(listing.find(section), std::string::npos) << section;
  }
  // The listed values agree with the involute relations among themselves:
  // d = z mn (spur), db = d cos(alpha), pn = pi mn.
  const auto rows = RowsBySymbol(listing);
  ASSERT_TRUE(rows.count("mn") && rows.count("z") && rows.count("alpha") && rows.count("d") &&
              rows.count("db") && rows.count("pn"));
  const double mn = Number(rows.at("mn"), 0);
  const double z = Number(rows.at("z"), 0);
  const double alpha = Number(rows.at("alpha"), 0) * M_PI / 180.0;
  EXPECT_NEAR(Number(rows.at("d"), 0), z * mn, 1e-3);
  EXPECT_NEAR(Number(rows.at("db"), 0), z * mn * std::cos(alpha), 1e-3);
  EXPECT_NEAR(Number(rows.at("pn"), 0), M_PI * mn, 1e-3);
}

TEST_F(VukoRun, ListingSwitchInEveryFormAndFileNamedWithoutExtension) {
  WriteBytes(dir_ / "plain", ReadBytes(kExample));
  for (const char* sw : {"/i", "-I", "-i"}) {
    std::remove((dir_ / "plain.txt").c_str());
    const RunResult r = RunVuko(dir_, {"plain", sw});
    EXPECT_EQ(r.exitCode, 0) << sw << r.err;
    EXPECT_TRUE(Exists(dir_ / "plain.txt")) << sw;
  }
}

TEST_F(VukoRun, HelpScreenOnStandardOutput) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"?"}, std::vector<std::string>{"/?", "joint.vuk", "/I"}}) {
    const RunResult r = RunVuko(dir_, args);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "VUKO Command Line Mode");
    EXPECT_NE(r.out.find("wvuko Filename [/I] [/CADi:j] [/NOGUI]\n"), std::string::npos);
  }
  EXPECT_FALSE(Exists(dir_ / "joint.txt"));
}

TEST_F(VukoRun, WithoutDisplayAWindowStartSaysSoInOneLine) {
  WriteBytes(dir_ / "joint.vuk", ReadBytes(kExample));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"joint.vuk"},
        std::vector<std::string>{"joint.vuk", "/E"}}) {
    const RunResult r = RunVuko(dir_, args);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("display"), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(dir_ / "joint.vuk"), ReadBytes(kExample));
}

struct FailedRun {
  const char* name;
  const char* fileContent;  // null: the shipped example; "": no file at all
  const char* switchText;
  int exitCode;
  const char* reason = nullptr;  // a text the message on standard error must hold
  bool fileNamed = true;         // false: the switch alone
};

// Test names in CTest show the case name.
void PrintTo(const FailedRun& c, std::ostream* os) {
  *os << c.name;
}

// Runs that cannot write what they were asked for: code 1 when the file cannot be read, 2 when
// nothing can be written; the reason goes to standard error.
const FailedRun kFailedRuns[] = {
    {"MissingFileListing", "", "/I", 1},
    {"UnreadableFileListing", "no data\n", "/I", 1},
    {"MissingFileCad", "", "/CAD1:1", 1},
    {"DrawingNumberAboveRange", nullptr, "/CAD1:14", 2},
    {"DrawingNumberZero", nullptr, "/CAD2:0", 2},
    {"ScreenIsNoCadFormat", nullptr, "/CAD3:1", 2},
    {"PlotProgramIsNoBatchFormat", nullptr, "/CAD4:1", 2},
    {"AskingForTheFormatIsNoBatchFormat", nullptr, "/CAD0:1", 2},
    {"NoFormatDigit", nullptr, "/CAD", 2},
    {"DrawingNumberMissing", nullptr, "/CAD1", 2, "drawing number missing"},
    {"DrawingNumberNoNumber", nullptr, "/CAD1:x", 2, "drawing number \"x\" is not valid"},
    {"ListingWithoutFileName", nullptr, "/I", 1, "the data file name is missing", false},
    {"CadWithoutFileName", nullptr, "/CAD1:1", 1, "the data file name is missing", false},
};

class VukoFailedRun : public VukoRun, public ::testing::WithParamInterface<FailedRun> {};

TEST_P(VukoFailedRun, ReasonOnStandardErrorAndNothingWritten) {
  const FailedRun& c = GetParam();
  const std::string content = c.fileContent ? c.fileContent : ReadBytes(kExample);
  if (!(c.fileContent && *c.fileContent == '\0')) WriteBytes(dir_ / "joint.vuk", content);
  const RunResult r =
      c.fileNamed ? RunVuko(dir_, {"joint.vuk", c.switchText}) : RunVuko(dir_, {c.switchText});
  EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
  EXPECT_NE(r.err.find("nothing written"), std::string::npos) << r.err;
  if (c.reason) EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  for (const char* ext : {".txt", ".dxf", ".igs"})
    EXPECT_FALSE(Exists(dir_ / ("joint" + std::string(ext))));
  if (!(c.fileContent && *c.fileContent == '\0')) {
    EXPECT_EQ(ReadBytes(dir_ / "joint.vuk"), content);  // the data file is never touched
  }
}

INSTANTIATE_TEST_SUITE_P(ExitCodes, VukoFailedRun, ::testing::ValuesIn(kFailedRuns),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VukoRun, FatalCalculationWritesNoListing) {
  // A normal module of 0 cannot be calculated.
  std::string content = ReadBytes(kExample);
  const std::size_t mn = content.find("6.5");
  ASSERT_NE(mn, std::string::npos);
  content.replace(mn, 3, "0.0");
  WriteBytes(dir_ / "zero.vuk", content);
  const RunResult r = RunVuko(dir_, {"zero.vuk", "/I"});
  EXPECT_EQ(r.exitCode, 2) << r.err;
  EXPECT_NE(r.err.find("Fatal"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(dir_ / "zero.txt"));
}

// The shipped example with some of its lines replaced (1-based line numbers of the data file:
// alpha 8, mn 9, z 10, the diameter modes 12 and 13, the shaft's block from 14 and the hub's
// from 29 (tool factors +3 to +5, input kind +6, x +7, ball +8, teeth spanned +9), the
// clearances from 44 (which part is given at +6)).
std::string ExampleWith(const std::vector<std::pair<int, std::string>>& lines) {
  std::vector<std::string> all;
  std::istringstream in(ReadBytes(kExample));
  for (std::string line; std::getline(in, line);) all.push_back(line);
  for (const auto& [n, text] : lines) all.at(static_cast<std::size_t>(n - 1)) = text;
  std::string out;
  for (const std::string& line : all) out += line + "\n";
  return out;
}

struct RefusedInput {
  const char* name;
  std::vector<std::pair<int, std::string>> lines;
  const char* reason;
};

void PrintTo(const RefusedInput& c, std::ostream* os) {
  *os << c.name;
}

// Inputs nobody can make or measure end the run before anything is listed, and say which.
const RefusedInput kRefusedInputs[] = {
    {"NegativeTeeth", {{10, "-8"}}, "Fatal  : z < 0 !"},
    {"LowestIntegerTeeth", {{10, "-2147483648"}}, "Fatal  : z < 0 !"},
    {"NegativeBall", {{22, "-5"}}, "Fatal  : Dm < 0 ! (1)"},
    {"NegativeTeethSpanned", {{23, "-5"}}, "Fatal  : k < 0 ! (1)"},
    {"AbsurdModule", {{9, "1e400"}}, "Fatal  : mn out of range !"},
    {"NegativeFilletFactor", {{34, "-1"}}, "Fatal  : rhoaP0/mn < 0 ! (2)"},
    {"AbsurdTipDiameter", {{26, "1000000000"}}, "Fatal  : da out of range ! (1)"},
    {"AbsurdShift", {{21, "1e999"}}, "Fatal  : x out of range ! (1)"},
    // The engine's geometry stage stops at a root below the centre without the fatal flag:
    // (8 - 2 * 5 + 2 * 0.27) * 6.5 < 0.
    {"RootBelowTheCentre", {{13, "0"}, {17, "5"}}, "Fatal  : df <=0 ! (1)"},
    // The hub's span over 1 tooth reaches 33.856 at x = 1.5.
    {"HubSpanBeyondItsRange", {{50, "2"}, {35, "4"}, {40, "80"}}, "Fatal  : W > Wmax ! (2)"},
};

class VukoRefusedInput : public VukoRun, public ::testing::WithParamInterface<RefusedInput> {};

TEST_P(VukoRefusedInput, EndsWithTheReasonAndNoListing) {
  WriteBytes(dir_ / "joint.vuk", ExampleWith(GetParam().lines));
  const RunResult r = RunVuko(dir_, {"joint.vuk", "/I"});
  EXPECT_EQ(r.exitCode, 2) << r.err;
  EXPECT_NE(r.err.find(GetParam().reason), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(dir_ / "joint.txt"));
}

INSTANTIATE_TEST_SUITE_P(Inputs, VukoRefusedInput, ::testing::ValuesIn(kRefusedInputs),
                         [](const auto& info) { return std::string(info.param.name); });

// A spoilt data file, or no regular file: the run names file and line and writes no listing.
TEST_F(VukoRun, SpoiltDataFileNamesTheLineAndWritesNothing) {
  const std::string file = dir_ / "joint.vuk", at = "data file joint.vuk, line ",
                    noAccess = "file joint.vuk not found or no access !";
  const struct {
    std::vector<std::pair<int, std::string>> lines;  // of the example; 0: a FIFO, -1: a folder
    std::string reason;
  } cases[] = {
      {{{21, "abc"}}, at + "21: \"abc\" is not a number"},
      {{{22, "nan"}}, at + "22: \"nan\" is not a number"},
      {{{9, "inf"}}, at + "9: \"inf\" is not a number"},
      {{{10, ""}}, at + "10: \"\" is not a number"},
      {{{20, "0"}}, at + "20: input kind 0 is outside 1 to 4"},
      {{{10, "2147483648"}}, at + "10: \"2147483648\" is out of range"},
      {{{9, "+1,5e5000"}}, at + "9: \"+1,5e5000\" is out of range"},
      {{{50, "3"}}, at + "50: given part 3 is outside 0 to 2"},
      {{{21, "x1"}, {36, "x2"}}, at + "21: \"x1\" is not a number"},
      {{{15, std::string(70000, 'x')}}, "data file joint.vuk incomplete or unreadable !"},
      {{{0, ""}}, noAccess},
      {{{-1, ""}}, noAccess},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::filesystem::remove(file);
    const int line = c.lines[0].first;
    if (line == 0) ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    if (line == -1) dir_.Make("joint.vuk");
    if (line > 0) WriteBytes(file, ExampleWith(c.lines));
    const RunResult r = RunVuko(dir_, {"joint.vuk", "/I"});
    EXPECT_EQ(r.exitCode, 1) << r.err.substr(0, 300);
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err.substr(0, 300);
    EXPECT_FALSE(Exists(dir_ / "joint.txt"));
  }
}

// A pipe at a kept file's name ends the run with a message naming it, and stays a pipe. A kept
// file is synced before it replaces the old one (seen in the run's strace).
TEST_F(VukoRun, PipeAtTheKeptFileEndsTheRunWithAMessage) {
  const bool strace = validator_support::CommandSucceeds("strace -o /dev/null true");
  const std::pair<const char*, std::string> cases[] = {{"/I", "joint.txt"},
                                                       {"/CAD1:1", "joint.dxf"},
                                                       {"/CAD2:1", "joint.igs"},
                                                       {"/CAD5:1", "joint.txt"}};
  WriteBytes(dir_ / "joint.vuk", ReadBytes(kExample));
  for (const auto& [switchText, name] : cases) {
    SCOPED_TRACE(switchText);
    const std::string kept = dir_ / name, trace = dir_ / ".trace";
    std::filesystem::remove(kept);
    ASSERT_EQ(mkfifo(kept.c_str(), 0600), 0);
    RunResult r = RunVuko(dir_, {"joint.vuk", switchText});
    EXPECT_TRUE(r.exitCode == 2 && r.err.find(name) != r.err.npos) << r.err;
    if (switchText[1] == 'C')  // the CAD file's message says why
      EXPECT_NE(r.err.find(": no regular file (a pipe or a socket)"), r.err.npos) << r.err;
    struct stat st {};
    EXPECT_TRUE(stat(kept.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    std::remove(kept.c_str());
    if (!strace) continue;                  // KeptFilesAreSyncedBeforeTheyReplaceTheOld
    WriteBytes(dir_ / "joint.txt", "old");  // replaced, not created
    // LeakSanitizer cannot run under ptrace.
    r = RunVuko(dir_, {"joint.vuk", switchText},
                {"/usr/bin/env", "ASAN_OPTIONS=detect_leaks=0", "strace", "-f", "-y", "-o", trace,
                 "-e", "trace=fdatasync,fsync,rename,renameat,renameat2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string calls = ReadBytes(trace);
    int renames = 0;
    for (std::size_t at = calls.find("rename"); at != std::string::npos;
         at = calls.find("rename", at + 1), ++renames) {
      const std::size_t from = calls.find('"', at) + 1;
      const std::string source = calls.substr(from, calls.find('"', from) - from);
      EXPECT_LT(calls.find(source.substr(source.rfind('/')) + ">)"), at) << calls;
    }
    EXPECT_GE(renames, 1);
  }
}

// z 11, m 1.25, alpha 30, x -0.2 / +0.2, the shaft's ball the program's own, the hub's the
// program's ball for x = 0: the hub's 2.1 mm ball falls through the gap (inv(alphaM) = 2.1 / (-11
// * 1.25 cos 30) + pi / 22 - 0.4 tan 30 / 11
// + inv 30 = -0.0008 < 0), so its dimension between balls is listed with the reason.
TEST_F(VukoRun, BallOffTheFlanksIsListedWithItsRemark) {
  WriteBytes(dir_ / "joint.vuk", ExampleWith({{9, "1.25"},
                                              {10, "11"},
                                              {12, "0"},
                                              {13, "0"},
                                              {20, "1"},
                                              {21, "-0.2"},
                                              {22, "0"},
                                              {23, "0"},
                                              {35, "1"},
                                              {36, "0.2"},
                                              {37, "2.1"},
                                              {38, "0"},
                                              {50, "0"}}));
  const RunResult r = RunVuko(dir_, {"joint.vuk", "/I"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string listing = ReadBytes(dir_ / "joint.txt");
  const auto rows = RowsBySymbol(listing);
  ASSERT_TRUE(rows.count("Dm") && rows.count("M"));
  EXPECT_NEAR(Number(rows.at("Dm"), 1), 2.1, 1e-9);
  const std::size_t remarks = listing.find("REMARKS");
  ASSERT_NE(remarks, std::string::npos);
  EXPECT_NE(listing.find("\nError  : Dm ball !  (2.1mm) (2)\t", remarks), std::string::npos)
      << listing.substr(remarks);
}

// What a drawing's file-name line shows of a data file: the whole path when it takes at most 150
// columns, else its first 72 columns, " ... " and its last 73, never part of a character. A
// column is a character's, two for an East Asian wide one.
std::string DrawingNameText(const std::string& path) {
  std::vector<std::pair<std::string, int>> chars;  // bytes and columns
  int width = 0;
  for (std::size_t i = 0; i < path.size();) {
    const auto lead = static_cast<unsigned char>(path[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) code = code << 6 | (path[i + k] & 0x3F);
    chars.emplace_back(path.substr(i, length), CharColumns(code));
    width += chars.back().second;
    i += length;
  }
  if (width <= 150) return path;
  std::string head, tail;
  std::size_t h = 0, t = chars.size();
  for (int used = 0; used + chars[h].second <= 72; used += chars[h++].second)
    head += chars[h].first;
  for (int used = 0; used + chars[t - 1].second <= 73; used += chars[--t].second)
    tail.insert(0, chars[t - 1].first);
  return head + " ... " + tail;
}

// A data file named in any script, given relative or whole: the listing and the DXF title block
// beside it (read back by ezdxf) name it exactly, and so does the refusal of a damaged copy.
TEST_F(VukoRun, NamesInAnyScriptAreShownExactly) {
  REQUIRE_OR_SKIP(validator_support::HaveEzdxf(), "ezdxf missing", "ezdxf missing");
  const std::string readTexts = SYSTEM_PYTHON3
      " -c 'import sys, ezdxf.recover; d, _ = ezdxf.recover.readfile(sys.argv[1]); "
      "print(\"\\n\".join(e.dxf.text for e in d.entitydb.values() "
      "if e.dxftype() == \"TEXT\"))' ";
  for (const std::string name : {"Größe ä", "Preis € 日本", "łukasz Čeština"}) {
    SCOPED_TRACE(name);
    const std::string whole = dir_.Make(name) + "/" + name + ".vuk";
    WriteBytes(whole, ReadBytes(kExample));
    for (const std::string& given : {name + "/" + name + ".vuk", whole}) {
      const std::string kept = dir_ / (name + "/" + name + ".txt");
      std::filesystem::remove(kept);
      ASSERT_EQ(RunVuko(dir_, {given, "/I"}).exitCode, 0);
      const std::string listing = ReadBytes(kept);
      EXPECT_EQ(listing.substr(listing.find('\n') + 1, whole.size() + 1), whole + "\n") << given;
    }
    ASSERT_EQ(RunVuko(dir_, {name + "/" + name + ".vuk", "/CAD1:5"}).exitCode, 0);
    const validator_support::ToolRun texts = validator_support::Execute(
        readTexts + validator_support::Quote(dir_ / (name + "/" + name + ".dxf")), false);
    // The drawing's name line is narrow: a long path (a deep temporary folder) is shortened in
    // the middle there, keeping the name's end whole.
    EXPECT_NE(("\n" + texts.output).find("\n" + DrawingNameText(whole) + "\n"), std::string::npos)
        << texts.output;
    const std::string damaged = dir_ / (name + "/kaputt " + name + ".vuk");
    for (const auto& [line, reason] : {std::pair{15, " incomplete or unreadable !"},
                                       std::pair{21, ", line 21: \"abc\" is not a number"}}) {
      WriteBytes(damaged, ExampleWith({{line, line == 15 ? std::string(70000, 'x') : "abc"}}));
      const RunResult r = RunVuko(dir_, {damaged, "/I"});
      EXPECT_TRUE(r.exitCode == 1 && r.err.find("data file " + damaged + reason) != r.err.npos)
          << r.err;
    }
  }
}

// Every route by which a message names a file or echoes typed text shows it exactly, in what a
// person sees: the batch run's standard error, the boxes the dialog host receives, the main
// window's caption while the table of data files is read and the title once a file is picked.
TEST_F(VukoRun, EveryMessageNamesItsFileExactly) {
  const std::string name = "Größe 日本 łukasz", folder = dir_.Make("ro " + name);
  WriteBytes(folder + "/f ä.vuk", ReadBytes(kExample));
  WriteBytes(folder + "/" + name + ".vuk", ReadBytes(kExample));
  InitModules();
  SetProgramIdentity();
  ScriptedDialogHost host;
  host.SetInteractive(false);
  MessagesEnabled = true;
  const auto lastMessage = [&host] {
    return host.Messages().empty() ? std::string() : host.Messages().back();
  };
  // A folder in the way of the CAD file the batch run writes beside the data file.
  const auto cadRun = [&](const char* switchText, const char* extension) {
    const std::string inTheWay = dir_.Make("ro " + name + "/f ä." + extension);
    const RunResult r = RunVuko(dir_, {folder + "/f ä.vuk", switchText});
    std::filesystem::remove(inTheWay);
    return r.err;
  };
  const auto listing = [&](int device) {
    OutputOpen(device);
    OutputRewrite();
    ReportLine("x");
    OutputClose();
    return lastMessage();
  };
  const struct {
    const char* route;
    std::function<std::string()> seen;
    std::string shown;  // the name as it must stand there
  } cases[] = {
      {"DXF file", [&] { return cadRun("/CAD1:5", "dxf"); }, folder + "/f ä.dxf: "},
      {"IGES file", [&] { return cadRun("/CAD2:5", "igs"); }, folder + "/f ä.igs: "},
      {"CAD-code text", [&] { return cadRun("/CAD5:5", "txt"); }, folder + "/f ä.txt: "},
      {"IGES work file",
       [&] {
         std::string error;
         CadOutputFile::Open(CadFileFormat::Iges, folder + "/w.igs", folder + "/gone", {}, error);
         ErrorMessage(error);
         return lastMessage();
       },
       "Cannot create file " + folder + "/gone/TARVIGES.$$$"},
      {"browser",
       [&] {
         ConfigVariables.HtmlBrowserPath = "/nonexistent/" + name + "/browser";
         return listing(kDeviceHtml);
       },
       "/nonexistent/" + name + "/browser not found"},
      {"word processor",
       [&] {
         ConfigVariables.WordProcessorPath = "/nonexistent/" + name + "/editor";
         return listing(kDeviceWordProcessor);
       },
       "/nonexistent/" + name + "/editor not found"},
      {"document slot",
       [&] {
         DocumentSlots[1].program = "/nonexistent/" + name + "/edit";
         StartDocument(1);
         return lastMessage();
       },
       "Document 1: program /nonexistent/" + name + "/edit not found"},
      {"table of data files",
       [&] {
         DataDirectory = folder + "/";
         int picks = 0;
         TDataFileTableHooks hooks;
         // The main window shows its caption as the screen shows every code-page text, and its
         // title as the dialog host does.
         std::string seen;
         hooks.SetFormCaption = [&](const std::string& text) { seen += DosToWin(text) + "\n"; };
         hooks.UpdateTitle = [] {
           std::string title;
           SetWindowTitle(title);
         };
         hooks.ChooseFromTable = [&]() -> std::string {
           if (picks++ == 0) return name + ".vuk";
           AbortFlag = true;
           return {};
         };
         OpenDataFileTable(hooks);
         return seen + host.Title();
       },
       ProgramIdentity.caption + " -> " + name + ".vuk\n" + ProgramIdentity.caption +
           " -> f ä.vuk\n" + ProgramIdentity.caption + "  -  " + name + ".vuk"},
      {"missing picture",
       [&] {
         TGraphicsFacade facade;
         facade.CheckFileFound(folder + "/plt/bild.plt");
         return lastMessage();
       },
       folder + "/plt/bild.plt not found !"},
      {"typed number",
       [&] {
         long double value = 1;
         host.AnswerText(name);
         host.AnswerCancel();
         InputReal("mn", value, 0, 10);
         return lastMessage();
       },
       "Invalid Input \"" + name + "\" !"},
      {"file name",
       [&] {
         CheckOverwrite(folder + "/gone/" + name + ".vuk");
         return lastMessage();
       },
       "invalid file name \"" + folder + "/gone/" + name + ".vuk\": its folder does not exist !"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.route);
    AbortFlag = false;
    const std::string seen = c.seen();
    EXPECT_NE(seen.find(c.shown), std::string::npos) << seen;
  }
}

// Whatever the CAD switch can draw, a run succeeds exactly when its file is there.
TEST_F(VukoRun, CadRunSucceedsOnlyWithItsFile) {
  WriteBytes(dir_ / "joint.vuk", ReadBytes(kExample));
  struct Case {
    const char* sw;
    const char* file;
  };
  for (const Case& c : {Case{"/CAD1:1", "joint.dxf"}, Case{"/cad2:13", "joint.igs"},
                        Case{"-CAD5:8", "joint.txt"}}) {
    const RunResult r = RunVuko(dir_, {"joint.vuk", c.sw});
    EXPECT_EQ(r.exitCode == 0, Exists(dir_ / c.file)) << c.sw << " " << r.err;
    if (r.exitCode != 0) EXPECT_NE(r.err.find("nothing written"), std::string::npos);
  }
  // Data files of the longest names: the listing and the drawing beside them.
  for (const std::string& stem : app_test::LongStems()) {
    if (!app_test::TakesLeaf(dir_.Path(), stem + ".vuk"))
      GTEST_SKIP() << "the file system here takes no name of " << stem.size() + 4 << " bytes";
    WriteBytes(dir_ / (stem + ".vuk"), ReadBytes(kExample));
    for (const auto& [sw, ext] : {std::pair{"/I", ".txt"}, std::pair{"/CAD1:1", ".dxf"}}) {
      const RunResult r = RunVuko(dir_, {stem + ".vuk", sw});
      EXPECT_EQ(r.exitCode, 0) << sw << " " << r.err;
      EXPECT_TRUE(Exists(dir_ / (stem + ext))) << stem.size() << " " << sw;
    }
  }
}

}  // namespace
