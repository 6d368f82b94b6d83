// Configuration file: round trips, shortened and CRLF files, corrections of bad values, the
// search places, atomic replacement, and the directory check at start-up.
#include "common/config_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "common/codepage.h"
#include "common/file_utils.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "platform/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream ss(text);
  std::string line;
  while (std::getline(ss, line)) lines.push_back(line);
  return lines;
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

// Moves the pair of `label` (its line and `values` value lines) before the line `before` (nullptr:
// to the top, "": to the end).
void MovePair(std::vector<std::string>& lines, const std::string& label, std::size_t values,
              const char* before) {
  const auto from = lines.begin() + static_cast<std::ptrdiff_t>(IndexOf(lines, label));
  const std::vector<std::string> pair(from, from + static_cast<std::ptrdiff_t>(values) + 1);
  lines.erase(from, from + static_cast<std::ptrdiff_t>(values) + 1);
  const std::size_t to = before == nullptr ? 2 : *before ? IndexOf(lines, before) : lines.size();
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(to), pair.begin(), pair.end());
}

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-cfg-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    const char* xdg = getenv("XDG_CONFIG_HOME");
    oldXdg_ = xdg != nullptr ? xdg : "";
    hadXdg_ = xdg != nullptr;
    setenv("XDG_CONFIG_HOME", (dir_ + "/xdg").c_str(), 1);
    Defaults();
  }
  void TearDown() override {
    if (hadXdg_) {
      setenv("XDG_CONFIG_HOME", oldXdg_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    fs::remove_all(dir_);
  }
  void Defaults() {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    SetProgramIdentity();
    ConfigVariables.ConfigDirectory = dir_;
    ProgramSettings.BaseDirectory = dir_;
    // A start without a configuration file sizes the main window from the screen.
    ProgramSettings.ScreenWidth = static_cast<std::uint16_t>(ScreenMetrics.width - 9);
    ProgramSettings.ScreenHeight = static_cast<std::uint16_t>(ScreenMetrics.height - 91);
    AbortFlag = false;
  }
  std::string Written() {
    WriteConfig();
    EXPECT_FALSE(AbortFlag);
    return ReadAll(dir_ + "/vuko.cfg");
  }
  void Put(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
  }
  std::string dir_;
  std::string oldXdg_;
  bool hadXdg_ = false;
};

TEST_F(ConfigFileTest, DefaultsWrittenReadAndWrittenAgainAreByteIdentical) {
  const std::string first = Written();
  Defaults();
  ReadConfig();
  EXPECT_FALSE(AbortFlag);
  const std::string second = Written();
  EXPECT_EQ(first, second);
  auto lines = Lines(first);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "vuko Configuration");
  EXPECT_EQ(lines[1], "Version 1.0");
  EXPECT_EQ(lines[2], "Layer");
  EXPECT_EQ(lines.back(), "FALSE");  // item 89: the 3-D view boolean is written negated
}

TEST_F(ConfigFileTest, ChangedValuesSurviveARestart) {
  ConfigVariables.DateStyle = 4;  // day/month/year
  GraphicsVariables.ColourTable[5] = RgbValue(0, 0, 0);
  GraphicsVariables.ColourTable[7] = RgbValue(10, 20, 30);
  ConfigVariables.OutputDevice = 7;
  ConfigVariables.HtmlBrowserPath = "/usr/bin/firefox";
  PrintSettings.TextWindowRect = {5, 6, 800, 600};
  PlotSettings.PlotCommandLines.count = 3;
  PlotSettings.PlotCommandLines.lines[3] = "third line";
  ViewSettings3D.flatten3D = false;
  ConfigVariables.KeepLanguage = true;
  ConfigVariables.LanguageCode = 3;
  // Reals keep every digit whatever the display digits: at 1 the short real 0.8 once went out
  // as "1" and the zoom step as 1.01235.
  ProgramSettings.FloatDigits = 1;
  PlotSettings.cadTextWidthRatio = 0.8L;
  GraphicsVariables.ZoomFactor = 1.0123456789L;
  const std::string first = Written();

  Defaults();
  ReadConfig();
  EXPECT_EQ(ConfigVariables.DateStyle, 4);
  EXPECT_EQ(GraphicsVariables.ColourTable[5], RgbValue(0, 0, 0));
  EXPECT_EQ(GraphicsVariables.ColourTable[7], RgbValue(10, 20, 30));
  EXPECT_EQ(ConfigVariables.OutputDevice, 7);
  EXPECT_EQ(ConfigVariables.HtmlBrowserPath, "/usr/bin/firefox");
  EXPECT_EQ(PrintSettings.TextWindowRect.width, 800);
  EXPECT_EQ(PrintSettings.TextWindowRect.left, 5);
  EXPECT_EQ(PlotSettings.PlotCommandLines.count, 3);
  EXPECT_EQ(PlotSettings.PlotCommandLines.lines[3], "third line");
  EXPECT_FALSE(ViewSettings3D.flatten3D);
  EXPECT_EQ(ConfigVariables.LanguageCode, 3);
  EXPECT_EQ(ProgramSettings.FloatDigits, 1);
  EXPECT_EQ(PlotSettings.cadTextWidthRatio, 0.8L);
  EXPECT_EQ(GraphicsVariables.ZoomFactor, 1.0123456789L);
  EXPECT_EQ(Written(), first);
}

// Names come back byte for byte in any script; old code-page names are converted once.
TEST_F(ConfigFileTest, NamesComeBackExactlyAndOldCodePageNamesConvertedOnce) {
  auto& ps = ProgramSettings;
  auto& cv = ConfigVariables;
  auto& plot = PlotSettings.PlotCommandLines.lines;
  std::string* const names[] = {&ps.dbfDirectory, &ps.cadDirectory,         &ps.tempDirectory,
                                &ps.pltDirectory, &cv.DefaultDataDirectory, &plot[1],
                                &plot[2],         &cv.WordProcessorPath,    &cv.HtmlBrowserPath};
  const auto spelt = [](const std::string& folder, std::size_t i) {
    return "/home/" + folder + "/" + std::to_string(i) + "/";
  };
  for (const std::string folder : {"Größe ä", "Preis € 日本", "łukasz Čeština"}) {
    for (const bool old : {false, true}) {
      if (old && !FirstCharOutsideCp850(folder).empty()) continue;  // no such old file
      SCOPED_TRACE(folder + (old ? " (code page)" : ""));
      Defaults();
      PlotSettings.PlotCommandLines.count = 2;
      for (std::size_t i = 0; i < std::size(names); ++i) *names[i] = spelt(folder, i);
      std::string file = Written();
      for (std::size_t at; old && (at = file.find(folder)) != std::string::npos;)
        file.replace(at, folder.size(), WinToDos(folder));
      Put(dir_ + "/vuko.cfg", file);
      Defaults();
      ReadConfig();
      for (std::size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(*names[i], spelt(folder, i));
      if (!old) EXPECT_EQ(Written(), file);
    }
  }
}

TEST_F(ConfigFileTest, CrLfCopyReadsTheSame) {
  ConfigVariables.DateStyle = 3;
  ProgramSettings.FloatDigits = 5;
  const std::string lf = Written();
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  Defaults();
  Put(dir_ + "/vuko.cfg", crlf);
  ReadConfig();
  EXPECT_EQ(ConfigVariables.DateStyle, 3);
  EXPECT_EQ(ProgramSettings.FloatDigits, 5);
  EXPECT_EQ(Written(), lf);
}

// A file cut after any line keeps every value read and the defaults of the rest: writing it
// again gives the full file's first lines followed by the default file's remaining lines.
// Exception: a file that ends right after "Layer Monochrome" is an older layout whose graphics
// text took the CAD text settings.
TEST_F(ConfigFileTest, FileCutAfterAnyLineKeepsTheDefaultsForTheRest) {
  const std::vector<std::string> defaults = Lines(Written());
  // A changed file: every line differs from the defaults where a value allows it.
  // (The digits setting stays: it changes how every later real is written.)
  ProgramSettings.HelpLevel = 2;
  ConfigVariables.DateStyle = 3;
  ConfigVariables.HeaderSpaceLines = 2;
  GraphicsVariables.TextWidthRatio = 0.5L;
  const std::vector<std::string> changed = Lines(Written());
  ASSERT_EQ(changed.size(), defaults.size());
  int monochromeLine = -1;
  for (std::size_t i = 0; i < changed.size(); ++i) {
    if (changed[i] == "Layer Monochrome") monochromeLine = static_cast<int>(i) + 1;
  }
  ASSERT_GT(monochromeLine, 0);
  ScriptedDialogHost host;  // a file that simply ends is no fault: no message
  for (std::size_t cut = 0; cut <= changed.size(); ++cut) {
    std::string text;
    for (std::size_t i = 0; i < cut; ++i) text += changed[i] + "\n";
    Defaults();
    Put(dir_ + "/vuko.cfg", text);
    ReadConfig();
    if (static_cast<int>(cut) == monochromeLine + 1) {
      EXPECT_EQ(GraphicsVariables.GraphicsFont, "Arial");
      EXPECT_EQ(GraphicsVariables.TextWidthRatio, PlotSettings.cadTextWidthRatio);
      continue;
    }
    std::vector<std::string> again = Lines(Written());
    ASSERT_EQ(again.size(), defaults.size()) << "cut " << cut;
    for (std::size_t i = 0; i < again.size(); ++i) {
      // Lines 0 and 1 are the header, always written anew.
      const std::string& expected = (i < cut || i < 2) ? changed[i] : defaults[i];
      if (again[i] != expected) {
        ADD_FAILURE() << "cut after " << cut << " lines: line " << i + 1 << " is '" << again[i]
                      << "', expected '" << expected << "'";
        break;
      }
    }
  }
  EXPECT_TRUE(host.Messages().empty());
}

// A value beyond its range is written as its default (one at its bound as it is): read silently,
// written back the same. A text with a line break is refused, and the old file stays.
TEST_F(ConfigFileTest, ValuesBeyondTheirRangeAreWrittenAsTheirDefault) {
  const char* const kBreak = "holds a line break";
  const struct {
    const char *label, *written;  // "", nullptr: an unlabelled entry, the whole file as defaults
    void (*set)();
  } cases[] = {
      {"background colour", "16777215",
       [] { GraphicsVariables.BackgroundColour = TColourRef(-5); }},
      {"background colour", "16777215", [] { GraphicsVariables.BackgroundColour = 0x1000000; }},
      {"pan faktor", "0.0100000", [] { GraphicsVariables.PanStep = 5; }},
      {"zoom increment", "1.0200000", [] { GraphicsVariables.ZoomFactor = 0; }},
      {"Font angle", "0", [] { PlotSettings.cadFontAngle = 400; }},
      {"Font angle", "-360", [] { PlotSettings.cadFontAngle = -360; }},  // at its bound: kept
      {"Lines per page for printer", "66", [] { ProgramSettings.LinesPerPage = 12; }},
      {"Header Space Lines", "0", [] { ConfigVariables.HeaderSpaceLines = 31; }},
      {"Date Code", "1", [] { ConfigVariables.DateStyle = 0; }},
      {"Printer interface", "1", [] { ProgramSettings.PrinterInterface = 0; }},
      {"", nullptr, [] { PlotSettings.cadFactor = 1e300L; }},
      {"word processor", kBreak, [] { ConfigVariables.WordProcessorPath = "/usr/bin/wri\nter"; }},
      {"Layer", kBreak, [] { PlotSettings.DxfLayerNames[3] = "CEN\rTRE"; }},
      {"VECTRIX Command lines (n, line 2 .. line n)", kBreak,
       [] {
         PlotSettings.PlotCommandLines.count = 2;
         PlotSettings.PlotCommandLines.lines[2] = "plot\n-x";
       }},
  };
  const std::string defaults = Written();
  ScriptedDialogHost host;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Defaults();
    c.set();
    host.Clear();
    if (c.written == kBreak) {
      const std::string old = ReadAll(dir_ + "/vuko.cfg");
      WriteConfig();
      EXPECT_TRUE(AbortFlag && ReadAll(dir_ + "/vuko.cfg") == old);
      EXPECT_EQ(host.Messages(),
                std::vector<std::string>{"configuration file " + dir_ + "/vuko.cfg not saved: \"" +
                                         c.label + "\" " + kBreak});
      continue;
    }
    const std::string first = Written();
    const std::string expected =
        c.written ? "\n" + std::string(c.label) + "\n" + c.written + "\n" : "";
    EXPECT_TRUE(c.written ? first.find(expected) != std::string::npos : first == defaults);
    Defaults();
    ReadConfig();
    EXPECT_TRUE(host.Messages().empty() && Written() == first);
  }
}

// A label or value line removed, a stray or repeated line, or a bad value costs one entry at most,
// reported once by line.
TEST_F(ConfigFileTest, OneDamagedLineCostsItsEntryAlone) {
  ConfigVariables.DateStyle = 4;
  ConfigVariables.WordProcessorPath = "/usr/bin/writer";
  ConfigVariables.databaseMode = 3;
  GraphicsVariables.BackgroundColour = RgbValue(1, 2, 3);
  PlotSettings.DxfLayerNames[2] = "HIDDEN";
  PlotSettings.PlotCommandLines.count = 3;
  PlotSettings.PlotCommandLines.lines[3] = "third line";
  ProgramSettings.LinesPerPage = 50;
  const std::string panLost = Written();
  GraphicsVariables.PanStep = 0.05L;
  const std::string changed = Written();
  const std::vector<std::string> lines = Lines(changed);
  const auto index = [&](const std::string& line) {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
  };
  struct Case {
    std::size_t at, removed;        // lines removed from `at`; none: `inserted` goes before it
    std::string inserted, message;  // message: after "line <at + 1>: "
    const std::string& expected;    // written after reading the damaged file
    std::string also = {};          // a second message, from "line"
  };
  std::vector<Case> cases;
  // Every label line.
  const std::set<std::string> values = {"TRUE",        "FALSE",   "HIDDEN",   "Arial",     "TXT8",
                                        "Courier New", "rectool", "xdg-open", "third line"};
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l.size() > 1 && std::isalpha(static_cast<unsigned char>(l[0])) && !values.count(l) &&
        l.find('/') == std::string::npos && l.find("wvectrix") == std::string::npos)
      cases.push_back({i, 1, "", "\"" + l + "\" missing", changed});
  }
  const std::size_t tarveno = index("TARVENO directory"), pan = index("pan faktor");
  cases.push_back({tarveno, 0, "stray", "\"stray\" unexpected", changed});
  cases.push_back({2, 0, "stray", "\"stray\" unexpected", changed});  // right after the header
  cases.push_back({tarveno, 0, "pan faktor", "\"pan faktor\" unexpected", changed});
  cases.push_back({pan + 1, 1, "", "a value of \"pan faktor\" missing", panLost});
  cases.push_back({pan, 2, "", "\"pan faktor\" missing", panLost});
  // A label repeated with another value, or as the last line; a real out of range or no number;
  // every value line of an entry gone (one message); a value more at the end, as a later version
  // writes.
  const std::size_t date = index("Date Code"), angle = index("Font angle") + 1,
                    widths = index("Line thickness Layer 0..5") + 1, end = lines.size();
  cases.push_back({date + 2, 0, "Date Code\n2", "\"Date Code\" unexpected", changed});
  cases.push_back({end, 0, "Date Code", "\"Date Code\" unexpected", changed});
  cases.push_back({angle, 1, "400", "\"400\" is out of range", changed});
  cases.push_back({pan + 1, 1, "abc", "\"abc\" is not a number", panLost});
  cases.push_back({widths, 6, "", "a value of \"Line thickness Layer 0..5\" missing", changed});
  cases.push_back({end, 0, "7", "", changed});
  // An older file's 0 takes the fallback silently; a doubled file gives one message per kind.
  cases.push_back({index("Textwidth/height CAD") + 1, 1, "0", "", changed});
  cases.push_back({end, 0, changed.substr(0, changed.size() - 1),
                   "\"vuko Configuration\" unexpected", changed,
                   "lines " + std::to_string(end + 3) + ", " + std::to_string(end + 5) + ", " +
                       std::to_string(end + 7) +
                       ", ...: 95 labels repeated: \"Layer\", \"Colour\", \"Layer\" ..."});
  // Two stray lines apart.
  cases.push_back({pan, 2, "x\n" + lines[pan] + "\n" + lines[pan + 1] + "\ny", "", changed,
                   "lines " + std::to_string(pan + 1) + ", " + std::to_string(pan + 4) +
                       ": 2 lines unexpected: \"x\", \"y\""});
  ASSERT_GT(cases.size(), 80u);
  ScriptedDialogHost host;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::string text;
    for (std::size_t i = 0; i <= lines.size(); ++i) {
      if (i == c.at && !c.inserted.empty()) text += c.inserted + "\n";
      if (i < lines.size() && (i < c.at || i >= c.at + c.removed)) text += lines[i] + "\n";
    }
    Defaults();
    Put(dir_ + "/vuko.cfg", text);
    host.Clear();
    ReadConfig();
    std::vector<std::string> expected;
    if (!c.message.empty()) {
      expected.push_back("configuration file " + dir_ + "/vuko.cfg, line " +
                         std::to_string(c.at + 1) + ": " + c.message);
    }
    if (!c.also.empty()) expected.push_back("configuration file " + dir_ + "/vuko.cfg, " + c.also);
    EXPECT_EQ(host.Messages(), expected);
    host.Clear();
    EXPECT_TRUE(Written() == c.expected);
  }
}

// A hand-edited file with pairs swapped or moved: every entry is read under its own label and the
// file comes back as saved, without a word. A pair moved to the end without its value line costs
// that value alone.
TEST_F(ConfigFileTest, PairsAreFoundWhereverTheyStand) {
  // The entries moved away from their defaults, so that one that fell back shows when written.
  PlotSettings.cadFontAngle = 30;
  GraphicsVariables.PanStep = 0.05L;
  PlotSettings.layerMonochrome = true;
  ConfigVariables.HeaderSpaceLines = 2;
  ConfigVariables.OutputDevice = 7;
  PlotSettings.LayerLineWidths[4] = 3;
  const std::vector<std::string> saved = Lines(Written());
  const struct {
    const char* label;
    std::size_t values;
    const char* before;  // the label it is put before; "": the end, nullptr: the top
    bool valueLost = false;
  } cases[] = {
      {"pan faktor", 1, "zoom increment"},                 // neighbours swapped
      {"Header Space Lines", 1, "Small Online Window ?"},  // swapped with a two-label entry
      {"Text Device", 1, nullptr},
      {"Layer Monochrome", 1, nullptr},  // the last entry of the old layout
      {"Layer Monochrome", 1, ""},
      {"Font angle", 1, ""},
      {"Line thickness Layer 0..5", 6, ""},
      {"Layer Monochrome", 1, "", true},
  };
  ScriptedDialogHost host;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.label) + " before \"" + (c.before ? c.before : "the top") + "\"");
    std::vector<std::string> lines = saved;
    MovePair(lines, c.label, c.values, c.before);
    std::vector<std::string> expected;
    if (c.valueLost) {
      lines.pop_back();
      expected.push_back("configuration file " + dir_ + "/vuko.cfg, line " +
                         std::to_string(lines.size() + 1) + ": a value of \"" + c.label +
                         "\" missing");
    }
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    Defaults();
    Put(dir_ + "/vuko.cfg", text);
    host.Clear();
    ReadConfig();
    EXPECT_EQ(host.Messages(), expected);
    host.Clear();
    std::vector<std::string> again = Lines(Written());
    if (c.valueLost) again[IndexOf(saved, c.label) + 1] = saved[IndexOf(saved, c.label) + 1];
    EXPECT_EQ(again, saved);
  }
}

TEST_F(ConfigFileTest, BadValuesMeetTheirCorrections) {
  auto lines = Lines(Written());
  auto set = [&](const std::string& label, const std::string& value) {
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
      if (lines[i] == label) {
        lines[i + 1] = value;
        return;
      }
    }
    ADD_FAILURE() << label;
  };
  set("Digits for floating point numbers", "12");  // above 9: 3
  set("Lines per page for printer", "12");         // fewer than a page header takes: 66
  set("Horizontal Pixels", "70000");               // beyond its 16 bits: kept
  set("Date Code", "7");                           // not a date style: 1
  set("Header Space Lines", "31");                 // above 30: 0
  set("Text Device", "10");                        // not a device: 1
  set("Default Data Directory", "");               // start directory with its separator
  set("Input Window Scale %", "5");                // below 10: 100
  set("Text Font Printout", "");                   // "Courier New"
  set("Decimals DXF,TXT", "40");                   // above 32: 6
  set("Printer interface", "x");                   // no number reads as 0, then 1
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  Defaults();
  ProgramSettings.FloatDigits = 7;
  Put(dir_ + "/vuko.cfg", text);
  ReadConfig();
  EXPECT_EQ(ProgramSettings.FloatDigits, 3);
  EXPECT_EQ(ProgramSettings.LinesPerPage, 66);
  EXPECT_EQ(ProgramSettings.ScreenWidth, ScreenMetrics.width - 9);
  EXPECT_EQ(ConfigVariables.DateStyle, 1);
  EXPECT_EQ(ConfigVariables.HeaderSpaceLines, 0);
  EXPECT_EQ(ConfigVariables.OutputDevice, 1);
  EXPECT_EQ(ConfigVariables.DefaultDataDirectory, dir_ + "/");
  EXPECT_EQ(ConfigVariables.DialogScalePercent, 100);
  EXPECT_EQ(PrintSettings.PrintoutFont, "Courier New");
  EXPECT_EQ(PlotSettings.DxfDecimals, 6);
  EXPECT_EQ(ProgramSettings.PrinterInterface, 1);
}

// No file, or a character device (which would never end) in a place where one is looked for:
// screen defaults and abort.
TEST_F(ConfigFileTest, WithoutFileScreenDefaultsAndAbort) {
  fs::create_directories(dir_ + "/xdg/tarveno");
  fs::create_symlink("/dev/null", dir_ + "/xdg/tarveno/vuko.cfg");
  ScreenMetrics = TScreenMetrics{};
  ScreenMetrics.width = 1920;
  ScreenMetrics.height = 1080;
  ScreenMetrics.logicalPixelsPerInch = 144;
  ScreenMetrics.mainWindowHeight = 1000;
  ScreenMetrics.mainClientHeight = 954;
  ProgramSettings.ScreenWidth = 0;
  ProgramSettings.ScreenHeight = 65535;
  ReadConfig();
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ProgramSettings.ScreenWidth, 1911);
  EXPECT_EQ(ProgramSettings.ScreenHeight, 989);
  EXPECT_EQ(PrintSettings.TextWindowRect.height, 1000);
  // round((1000 / 1000 + 0.009) * 1.5 * 100) = 151
  EXPECT_EQ(ConfigVariables.DialogScalePercent, 151);
  ScreenMetrics = TScreenMetrics{};
}

TEST_F(ConfigFileTest, FoundInTheMakersCommonDirectoryAndItsSubdirectory) {
  ConfigVariables.DateStyle = 3;
  const std::string content = Written();
  fs::remove(dir_ + "/vuko.cfg");
  const std::string common = dir_ + "/xdg/tarveno/";
  fs::create_directories(common + "vuko");
  Put(common + "vuko/vuko.cfg", content);
  Defaults();
  ReadConfig();
  EXPECT_EQ(ConfigVariables.DateStyle, 3);
  EXPECT_EQ(ConfigVariables.ConfigDirectory, common + "vuko/");
  Put(common + "vuko.cfg", content);
  Defaults();
  ReadConfig();
  EXPECT_EQ(ConfigVariables.ConfigDirectory, common);
}

TEST_F(ConfigFileTest, WriteReplacesTheFileInOnePiece) {
  const std::string name = dir_ + "/vuko.cfg";
  Put(name, "old content\n");
  // A second name for the old file keeps its content when the file is replaced by rename; an
  // in-place rewrite would change it.
  fs::create_hard_link(name, dir_ + "/old-link");
  Written();
  EXPECT_EQ(ReadAll(dir_ + "/old-link"), "old content\n");
  EXPECT_NE(ReadAll(name), "old content\n");
  for (const auto& e : fs::directory_iterator(dir_)) {
    const std::string f = e.path().filename();
    EXPECT_TRUE(f == "vuko.cfg" || f == "old-link" || f == "xdg") << "left behind: " << f;
  }
}

TEST_F(ConfigFileTest, WriteDoesNothingWhileAbortIsSet) {
  AbortFlag = true;
  WriteConfig();
  EXPECT_FALSE(fs::exists(dir_ + "/vuko.cfg"));
}

TEST_F(ConfigFileTest, CheckConfigDirsFillsEmptyDirectoriesAndReportsBadOnes) {
  ScriptedDialogHost host;
  ProgramSettings.cadDirectory = dir_ + "/missing";
  ProgramSettings.tempDirectory = "  ";
  ProgramSettings.dbfDirectory = "";
  ProgramSettings.pltDirectory = dir_;
  ProgramSettings.ediDirectory = dir_;
  ConfigVariables.DefaultDataDirectory = "";
  Put(dir_ + "/something", "x");
  CheckConfigDirs();
  EXPECT_EQ(ProgramSettings.tempDirectory, "");
  EXPECT_EQ(ProgramSettings.dbfDirectory, dir_ + "/");
  EXPECT_EQ(ConfigVariables.DefaultDataDirectory, dir_ + "/");
  EXPECT_EQ(host.Messages(), std::vector<std::string>{"invalid CAD Directory configured"});

  // A temporary folder that cannot be written is asked for, offered and kept exactly.
  ProgramSettings.tempDirectory = dir_ + "/gone Größe";
  host.AnswerText(dir_ + "/tmp Größe 日本");
  CheckConfigDirs();
  EXPECT_EQ(ProgramSettings.tempDirectory, dir_ + "/tmp Größe 日本");
  EXPECT_EQ(host.RecordsOf(TDialogKind::Text).at(0).offeredText, dir_ + "/gone Größe");

  // The private temporary directory lies in the system's temporary directory, never in the data
  // directory, also when an older configuration stored the data directory as its place.
  const std::string system = dir_ + "/systemtmp";
  fs::create_directories(system);
  const char* oldTmp = getenv("TMPDIR");
  const std::string savedTmp = oldTmp ? oldTmp : "";
  setenv("TMPDIR", system.c_str(), 1);
  DataDirectory = dir_;
  for (const std::string& configured : {std::string(), dir_ + "/"}) {
    ProgramSettings.tempDirectory = configured;
    platform::RemovePrivateTempDirectory();
    EXPECT_EQ(PrivateTempDir().rfind(system + "/vuko-", 0), 0u) << PrivateTempDir();
  }
  platform::RemovePrivateTempDirectory();
  if (oldTmp)
    setenv("TMPDIR", savedTmp.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

// Plot lines read by their count, entries by their label, values in range; each fault told once.
TEST_F(ConfigFileTest, CountsFollowTheFileAndValuesStayInTheirRange) {
  const std::string count = "VECTRIX Command lines (n, line 2 .. line n)";
  const auto& plot = PlotSettings.PlotCommandLines;
  const struct {
    std::string label;
    std::vector<std::string> values;  // the value line after the label, then lines inserted
    bool (*holds)();
  } cases[] = {
      {count, {"999999"}, [] { return plot.count == 1; }},
      {count, {"1", "2", "3"}, [] { return plot.count == 1 && plot.lines[2] != "2"; }},
      {count, {"1", ""}, [] { return plot.count == 1; }},
      {count, {"3", "x"}, [] { return plot.count == 2 && plot.lines[2] == "x"; }},
      {"pan faktor", {"1e300"}, [] { return GraphicsVariables.PanStep == 0.01L; }},
  };
  const std::vector<std::string> defaults = Lines(Written());
  ScriptedDialogHost host;
  for (const auto& c : cases) {
    std::vector<std::string> lines = defaults;
    auto at = [&](const std::string& s) { return std::find(lines.begin(), lines.end(), s) + 1; };
    *at("Date Code") = "3";  // a later entry, read in step
    *at(c.label) = c.values[0];
    lines.insert(at(c.label) + 1, c.values.begin() + 1, c.values.end());
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    Defaults();
    Put(dir_ + "/vuko.cfg", text);
    ReadConfig();
    EXPECT_TRUE(c.holds()) << c.label << " " << c.values[0];
    EXPECT_EQ(ConfigVariables.DateStyle, 3) << c.label;
  }
  EXPECT_EQ(host.Messages().size(), std::size(cases));
}

}  // namespace
