// The plot program's command line: composed from the dialog's settings, composed by questions
// (with the script for long lines), split into arguments and started.
#include "graphics/plot_program.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/file_utils.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "platform/temp_dir.h"

namespace fs = std::filesystem;

namespace {

TPlotProgramOptions Options() {
  TPlotProgramOptions o;
  o.programPath = "/opt/vectrix/wvectrix";
  o.outputDirectory = "/tmp/out";
  return o;
}

// A hand-off directory of our own for each test of this file.
class CacheHome {
 public:
  CacheHome() {
    char base[] = "/tmp/XXXXXX";  // short: the line lengths below are known
    dir_ = ::mkdtemp(base);
    setenv("XDG_CACHE_HOME", dir_.c_str(), 1);
  }
  ~CacheHome() {
    unsetenv("XDG_CACHE_HOME");
    fs::remove_all(dir_);
  }
  std::string HandOff() const { return dir_ + "/vuko/"; }

 private:
  std::string dir_;
};

TEST(MakePlotCommandLine, TheDefaultsNameProgramFileAndDestinationOnly) {
  ResetProgramStateForTests();
  CacheHome cache;
  const TPlotProgramOptions d = DefaultPlotProgramOptions();
  EXPECT_EQ(MakePlotCommandLine(d), "wvectrix " + cache.HandOff() + "vectrix /CHPL");
}

TEST(MakePlotCommandLine, EachSettingAddsItsSwitch) {
  const struct {
    const char* name;
    void (*set)(TPlotProgramOptions&);
    const char* tail;  // after "/opt/vectrix/wvectrix <hand-off directory>/vectrix"
  } cases[] = {
      {"parallel LPT1", [](TPlotProgramOptions&) {}, " /CHPL"},
      {"parallel LPT2", [](TPlotProgramOptions& o) { o.lptPort = "2"; }, " /CHPL /P2"},
      {"serial COM2",
       [](TPlotProgramOptions& o) {
         o.outputInterface = 0;
         o.comPort = "2";
       },
       " /CHPL /D1 /P2"},
      {"serial COM1", [](TPlotProgramOptions& o) { o.outputInterface = 0; }, " /CHPL /D1"},
      {"file", [](TPlotProgramOptions& o) { o.outputInterface = 2; },
       " /CHPL /D3 /F/tmp/out/vectrix"},
      {"scale fit", [](TPlotProgramOptions& o) { o.scale = "0"; }, " /CHPL /M*"},
      {"scale 1", [](TPlotProgramOptions& o) { o.scale = "1"; }, " /CHPL"},
      {"scale 2.5", [](TPlotProgramOptions& o) { o.scale = "2.5"; }, " /CHPL /M2.5"},
      {"shifts",
       [](TPlotProgramOptions& o) {
         o.shiftX = "10";
         o.shiftY = "-5";
       },
       " /CHPL /X10 /Y-5"},
      {"text width", [](TPlotProgramOptions& o) { o.textWidth = "0.8"; }, " /CHPL /B0.8"},
      {"rotated", [](TPlotProgramOptions& o) { o.rotate = true; }, " /CHPL /R"},
      {"PostScript font",
       [](TPlotProgramOptions& o) {
         o.destination = 1;
         o.psFont = "Courier-Bold";
       },
       " /CPS /TCourier-Bold"},
      {"PostScript without font", [](TPlotProgramOptions& o) { o.destination = 1; }, " /CPS /T"},
      {"HP-GL plotter", [](TPlotProgramOptions& o) { o.destination = 2; }, " /CPLT"},
      {"HP-GL/2", [](TPlotProgramOptions& o) { o.destination = 3; }, " /CPL2"},
      {"Aristo", [](TPlotProgramOptions& o) { o.destination = 4; }, " /CART"},
      {"font ignored off PostScript", [](TPlotProgramOptions& o) { o.psFont = "Symbol"; },
       " /CHPL"},
      // A scale that is no number is shown as typed and refused, never taken as "fit limits".
      {"scale typed as text", [](TPlotProgramOptions& o) { o.scale = "half"; }, " /CHPL /Mhalf"},
  };
  CacheHome cache;
  for (const auto& c : cases) {
    TPlotProgramOptions o = Options();
    c.set(o);
    const std::string line = MakePlotCommandLine(o);
    // The drawing named is the one the driver writes, wherever the plot output goes.
    EXPECT_EQ(line, "/opt/vectrix/wvectrix " + cache.HandOff() + "vectrix" + c.tail) << c.name;
    // The dialog opens on a stored line with the settings it was made from, whatever folder
    // the line's drawing lies in ("/root", "/tmp", "/mnt" are no switches).
    EXPECT_EQ(MakePlotCommandLine(PlotOptionsFromLine(line)), line) << c.name;
    for (const std::string folder : {"/root/x", "/tmp/x", "/mnt/x", "/Mx /Tx"}) {
      std::string stored = line;
      stored.replace(stored.find(cache.HandOff()), cache.HandOff().size() + 7,
                     "\"" + folder + "/vectrix\"");
      EXPECT_EQ(MakePlotCommandLine(PlotOptionsFromLine(stored)), line) << c.name << stored;
    }
    EXPECT_EQ(PlotOptionsProblem(o).empty(), o.scale != "half") << c.name;
  }
  EXPECT_EQ(PlotOptionsProblem(Options()), "");
}

TEST(PlotLineForDriverFile, AStoredLineNamesTheDrawingTheDriverWrites) {
  CacheHome cache;
  const std::string dxf = cache.HandOff() + "vectrix";
  EXPECT_EQ(PlotLineForDriverFile("wvectrix VECTRIX.DXF /M1.0"), "wvectrix " + dxf + " /M1.0");
  EXPECT_EQ(PlotLineForDriverFile("wvectrix /tmp/vuko-Ab12Cd/vectrix /CPS"),
            "wvectrix " + dxf + " /CPS");
  EXPECT_EQ(PlotLineForDriverFile("touch /tmp/marker"), "touch /tmp/marker");
}

TEST(PlotCommandArguments, BlanksSeparateAndQuotesGroup) {
  EXPECT_EQ(PlotCommandArguments("wvectrix /tmp/vectrix /CHPL /M*"),
            (std::vector<std::string>{"wvectrix", "/tmp/vectrix", "/CHPL", "/M*"}));
  EXPECT_EQ(PlotCommandArguments("  \"/opt/my plot/wvectrix\"   a\"b c\"  "),
            (std::vector<std::string>{"/opt/my plot/wvectrix", "ab c"}));
  EXPECT_TRUE(PlotCommandArguments("   ").empty());
  // A script's line is read and split: no shell ever sees it.
  CacheHome cache;
  const std::string script = cache.HandOff() + "plot.sh";
  fs::create_directories(cache.HandOff());
  std::ofstream(script) << "\"/opt/my plot/wvectrix\" VECTRIX $HOME;x /CPS\r\n";
  EXPECT_EQ(PlotCommandArguments(script),
            (std::vector<std::string>{"/opt/my plot/wvectrix", cache.HandOff() + "vectrix",
                                      "$HOME;x", "/CPS"}));
  // A blank, a tab and a quote in the directories reach the plot program whole.
  const std::string odd = cache.HandOff() + "a b\tc\"d";
  setenv("XDG_CACHE_HOME", odd.c_str(), 1);
  TPlotProgramOptions o = Options();
  o.outputInterface = 2;  // to a file in the output directory
  o.outputDirectory = odd;
  EXPECT_EQ(PlotCommandArguments(PlotLineForDriverFile(MakePlotCommandLine(o))),
            (std::vector<std::string>{"/opt/vectrix/wvectrix", odd + "/vuko/vectrix", "/CHPL",
                                      "/D3", "/F" + odd + "/vectrix"}));
  // The program and the PostScript font likewise.
  setenv("XDG_CACHE_HOME", "/tmp/plain", 1);
  for (const std::string odd : {"my plot", "tab\there", "quote\"d", "\"typed\""}) {
    TPlotProgramOptions p = Options();
    p.programPath = "/opt/" + odd + "/wvectrix";
    p.destination = 1;  // PostScript
    p.psFont = odd;
    EXPECT_EQ(
        PlotCommandArguments(MakePlotCommandLine(p)),
        (std::vector<std::string>{p.programPath, "/tmp/plain/vuko/vectrix", "/CPS", "/T" + odd}));
  }
}

bool WaitFor(const fs::path& path) {
  for (int i = 0; i < 500 && !fs::exists(path); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return fs::exists(path);
}

// --- questions ---------------------------------------------------------------------------

class AskPlotCommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    tmp_ = cache_.HandOff();
    ASSERT_EQ(tmp_.size(), 17u) << tmp_;  // "/tmp/XXXXXX/vuko/"
    char base[] = "/tmp/vukoplotXXXXXX";  // 19 characters
    ASSERT_NE(::mkdtemp(base), nullptr);
    base_ = base;
    host_ = std::make_unique<ScriptedDialogHost>();
    AbortFlag = false;
  }
  void TearDown() override {
    host_.reset();
    fs::remove_all(base_);
    platform::RemovePrivateTempDirectory();
  }
  // A program directory of the given length holding the DOS program file.
  std::string ProgramDir(std::size_t length) {
    std::string dir = base_ + "/";
    while (dir.size() < length) dir += 'd';
    fs::create_directories(dir);
    std::ofstream(dir + "/vectrix") << "#!/bin/sh\n";
    return dir;
  }

  CacheHome cache_;
  std::string tmp_, base_;
  std::unique_ptr<ScriptedDialogHost> host_;
};

TEST_F(AskPlotCommandLineTest, TheAnswersComposeTheLine) {
  const std::string dir = ProgramDir(24);
  host_->AnswerChoice(2);  // VECTRIX.EXE (MS-DOS)
  host_->AnswerText(dir);
  host_->AnswerChoice(2);      // Postscript
  host_->AnswerText("*.dxf");  // file name or wildcard
  host_->AnswerChoice(1);      // serial
  host_->AnswerText("3");      // COM3
  host_->AnswerText("2.5");    // scale
  host_->AnswerYes();          // rotate
  host_->AnswerText("10");     // x
  host_->AnswerText("0");      // y
  host_->AnswerText("0.8");    // text width
  host_->AnswerText("Symbol");
  std::string line = "old line";
  AskPlotCommandLine(line, true);
  ASSERT_FALSE(AbortFlag);
  EXPECT_EQ(host_->Mismatches(), 0);
  EXPECT_EQ(host_->PendingAnswers(), 0u);
  EXPECT_EQ(line, dir + "/vectrix *.dxf /CPS /D1 /P3 /M2.5 /X10 /R /B0.8 /TSymbol");
}

TEST_F(AskPlotCommandLineTest, ASixtyCharacterLineIsKeptAndSixtyOneGoIntoAScript) {
  // dir + "/vectrix " + hand-off directory (17) + "vectrix" + " /CHPL": length of dir + 39.
  for (const std::size_t length : {std::size_t{60}, std::size_t{61}}) {
    host_->Clear();
    const std::string dir = ProgramDir(length - 39);
    const std::string expected = dir + "/vectrix " + tmp_ + "vectrix /CHPL";
    ASSERT_EQ(expected.size(), length);
    host_->AnswerChoice(2);
    host_->AnswerText(dir);
    host_->AnswerChoice(1);  // HPL
    host_->AnswerChoice(2);  // parallel
    host_->AnswerText("1");  // LPT1
    host_->AnswerText("1");  // scale
    host_->AnswerNo();       // no rotation
    host_->AnswerText("0");
    host_->AnswerText("0");
    host_->AnswerText("1");
    // The script (named in any language and length) is kept beside the drawing; one of that
    // name is replaced only when agreed.
    const std::string script = tmp_ + "plot_Größe_日本_łukasz_" + std::to_string(length);
    fs::create_directories(tmp_);
    std::ofstream(tmp_ + "mine.sh") << "the user's own\n";
    if (length == 61) {
      host_->AnswerText("plot.61");  // a point: asked again
      host_->AnswerText("mine");
      host_->AnswerNo();  // keep it: asked again
      host_->AnswerText("plot_Größe_日本_łukasz_61");
    }
    std::string line;
    AskPlotCommandLine(line, false);
    std::ifstream own(tmp_ + "mine.sh");
    std::string kept;
    std::getline(own, kept);
    EXPECT_EQ(kept, "the user's own");
    ASSERT_FALSE(AbortFlag) << length;
    EXPECT_EQ(host_->PendingAnswers(), 0u) << length;
    if (length == 60) {
      EXPECT_EQ(line, expected);
      EXPECT_TRUE(host_->Messages().empty());
    } else {
      EXPECT_EQ(line, script + ".sh");
      EXPECT_EQ(host_->Messages(),
                (std::vector<std::string>{"command line too long, A batch file will be created."}));
      std::ifstream in(script + ".sh");
      std::string only;
      std::getline(in, only);
      EXPECT_EQ(only, expected);
    }
  }
}

TEST_F(AskPlotCommandLineTest, CancelLeavesTheLineAsItWas) {
  ProgramDir(24);
  host_->AnswerChoice(1);
  host_->AnswerCancel();
  std::string line = "wvectrix vectrix /CPS";
  AskPlotCommandLine(line, false);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(line, "wvectrix vectrix /CPS");
}

TEST_F(AskPlotCommandLineTest, AMissingProgramKeepsTheDirectoryQuestionOpen) {
  const std::string dir = ProgramDir(24);
  host_->AnswerChoice(2);
  host_->AnswerText("/nonexistent");
  host_->AnswerText(dir);
  host_->AnswerCancel();  // the destination question
  std::string line = "x";
  AskPlotCommandLine(line, false);
  const auto texts = host_->RecordsOf(TDialogKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].prompt, "Program directory of vectrix");
  EXPECT_EQ(host_->Messages().size(), 1u);  // what is missing
  EXPECT_EQ(host_->RecordsOf(TDialogKind::Choice).back().prompt, "destination code");
}

TEST_F(AskPlotCommandLineTest, TheDirectoryOfTheCurrentProgramIsOffered) {
  for (const std::string dir : {"/opt/plot/bin", "/opt/my plot/bin"}) {
    host_->Clear();
    AbortFlag = false;
    host_->AnswerChoice(1);
    host_->AnswerCancel();
    std::string line = "\"" + dir + "/wvectrix\" /tmp/vectrix /CHPL";
    AskPlotCommandLine(line, false);
    const auto texts = host_->RecordsOf(TDialogKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].offeredText, dir);
  }
}

// A program directory, wildcard, destination file and font with blanks, long and in any
// language, stay whole.
TEST_F(AskPlotCommandLineTest, ABlankInTheProgramDirectoryKeepsTheProgramWhole) {
  const std::string dir = base_ + "/my plot Größe 日本 łukasz";
  fs::create_directories(dir);
  std::ofstream(dir + "/vectrix") << "#!/bin/sh\n";
  host_->AnswerChoice(2);  // VECTRIX.EXE (MS-DOS)
  host_->AnswerText(dir);
  host_->AnswerChoice(2);  // Postscript
  host_->AnswerText("Größe_日本_łukasz_*.dxf");
  host_->AnswerChoice(3);  // file
  for (const char* t : {"out put Größe 日本 łukasz.ps", "1"}) host_->AnswerText(t);
  host_->AnswerNo();
  for (const char* t : {"0", "0", "1", "New Font Größe 日本 łukasz"}) host_->AnswerText(t);
  std::string line;
  AskPlotCommandLine(line, true);
  ASSERT_FALSE(AbortFlag);
  EXPECT_EQ(
      PlotCommandArguments(line),
      (std::vector<std::string>{dir + "/vectrix", "Größe_日本_łukasz_*.dxf", "/CPS", "/D3",
                                "/Fout put Größe 日本 łukasz.ps", "/TNew Font Größe 日本 łukasz"}));
}

TEST(StartPlotProgram, StartsWithoutAShellAndReportsAMissingProgram) {
  const fs::path dir = fs::temp_directory_path() / ("vuko_plot_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path marker = dir / "a;b $HOME";  // shell characters arrive as they are
  EXPECT_EQ(StartPlotProgram("touch \"" + marker.string() + "\""), 0);
  EXPECT_TRUE(WaitFor(marker));
  EXPECT_NE(StartPlotProgram("/nonexistent/wvectrix x /CHPL"), 0);
  EXPECT_NE(StartPlotProgram(""), 0);
  // What a stand-in program receives: the drawing's file whatever it looks like, every switch
  // but a scale of 1 (which the composed line never writes either).
  const fs::path program = dir / "plot", record = dir / "arguments";
  std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\"\n"
                            "mv \"$0.part\" \"$(dirname \"$0\")/arguments\"\n";
  fs::permissions(program, fs::perms::owner_all);
  const std::pair<const char*, const char*> cases[] = {
      {"x /M1 /CPS", "x\n/CPS\n"},
      {"x /CPS /m1.000 /M2 /M1x /Mhalf /M* /R", "x\n/CPS\n/M2\n/M1x\n/Mhalf\n/M*\n/R\n"},
      {"/M1 /CPS", "/M1\n/CPS\n"},
  };
  for (const auto& [tail, received] : cases) {
    fs::remove(record);
    ASSERT_EQ(StartPlotProgram("\"" + program.string() + "\" " + tail), 0) << tail;
    ASSERT_TRUE(WaitFor(record)) << tail;
    std::ifstream in(record);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), received) << tail;
  }
  fs::remove_all(dir);
}

}  // namespace
