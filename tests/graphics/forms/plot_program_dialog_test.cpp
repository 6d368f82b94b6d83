// The plot program's settings dialog driven through its named controls: every change rebuilds
// the command line, it opens on the line in force, OK hands it back (a value that is no number
// is refused), Cancel aborts.
#include "graphics/forms/plot_program_dialog.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "common/file_utils.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/cad_driver.h"
#include "graphics/plot_program.h"
#include "gui_environment.h"

namespace {

template <typename T>
T* Find(QWidget& form, const char* name) {
  T* w = form.findChild<T*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

void Choose(QWidget& form, const char* group, int item) {
  TRadioGroup* g = Find<TRadioGroup>(form, group);
  ASSERT_NE(g, nullptr);
  const auto buttons = g->findChildren<QRadioButton*>();
  ASSERT_GT(buttons.size(), item);
  buttons[item]->click();
}

std::string Line(QWidget& form) {
  return Find<QLabel>(form, "Label_commandline")->text().toStdString();
}

// Acts on the settings dialog once it is the active modal window (a busy machine may show it
// after the first turn of the event loop).
void WhenDialogUp(std::function<void(QWidget&)> act) {
  gui_test::After(10, [act] {
    QWidget* form = QApplication::activeModalWidget();
    if (form == nullptr || form->objectName() != "TForm_confvectrix") {
      WhenDialogUp(act);
      return;
    }
    act(*form);
  });
}

class PlotDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    ProgramSettings.HelpLevel = 0;
    AbortFlag = false;
    char dir[] = "/tmp/vuko-plotdlg-XXXXXX";
    cache_ = ::mkdtemp(dir);
    setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    handOff_ = cache_ + "/vuko/";
    base_ = "wvectrix " + handOff_ + "vectrix";
  }
  void TearDown() override {
    unsetenv("XDG_CACHE_HOME");
    std::filesystem::remove_all(cache_);
  }
  std::string cache_, handOff_, base_;
};

TEST_F(PlotDialogTest, TheDefaultsComposeTheShortestLine) {
  TForm_confvectrix form;
  EXPECT_EQ(form.windowTitle(), "VECTRIX");
  for (const char* name : {"Edit_vectrixPath", "Button_vectrixpath", "RadioGroup_outcode",
                           "RadioGroup_d",     "Edit_com",           "Edit_lpt",
                           "Edit_outdir",      "Button_outDir",      "Button_tempdir",
                           "Edit_scale",       "CheckBox_scale",     "CheckBox_rotate",
                           "Edit_xnull",       "Edit_ynull",         "Edit_textbreitenfaktor",
                           "ComboBox_psfont",  "Label_commandline",  "Button_ok",
                           "Button_cancel",    "Button_help"}) {
    EXPECT_NE(form.findChild<QWidget*>(name), nullptr) << name;
  }
  EXPECT_EQ(Line(form), base_ + " /CHPL");
  EXPECT_EQ(Find<QComboBox>(form, "ComboBox_psfont")->count(), 35);
  EXPECT_FALSE(Find<QComboBox>(form, "ComboBox_psfont")->isEnabled());
  EXPECT_TRUE(Find<QLineEdit>(form, "Edit_lpt")->isEnabled());
  EXPECT_FALSE(Find<QLineEdit>(form, "Edit_com")->isEnabled());
  EXPECT_EQ(Find<QPushButton>(form, "Button_help")->text(), "&Help");
}

TEST_F(PlotDialogTest, EveryChangeRebuildsTheLine) {
  TForm_confvectrix form;
  Choose(form, "RadioGroup_d", 0);  // serial
  EXPECT_TRUE(Find<QLineEdit>(form, "Edit_com")->isEnabled());
  EXPECT_FALSE(Find<QLineEdit>(form, "Edit_lpt")->isEnabled());
  Find<QLineEdit>(form, "Edit_com")->setText("2");
  EXPECT_EQ(Line(form), base_ + " /CHPL /D1 /P2");

  Find<QCheckBox>(form, "CheckBox_scale")->click();
  EXPECT_EQ(Find<QLineEdit>(form, "Edit_scale")->text(), "0");
  EXPECT_FALSE(Find<QLineEdit>(form, "Edit_scale")->isEnabled());
  EXPECT_EQ(Line(form), base_ + " /CHPL /D1 /P2 /M*");
  Find<QCheckBox>(form, "CheckBox_scale")->click();
  EXPECT_TRUE(Find<QLineEdit>(form, "Edit_scale")->isEnabled());

  Choose(form, "RadioGroup_outcode", 1);  // PostScript
  EXPECT_TRUE(Find<QComboBox>(form, "ComboBox_psfont")->isEnabled());
  Find<QComboBox>(form, "ComboBox_psfont")->setCurrentIndex(12);  // Courier
  Find<QCheckBox>(form, "CheckBox_rotate")->click();
  Find<QLineEdit>(form, "Edit_xnull")->setText("5");
  Find<QLineEdit>(form, "Edit_textbreitenfaktor")->setText("0.8");
  EXPECT_EQ(Line(form), base_ + " /CPS /D1 /P2 /M* /X5 /B0.8 /R /TCourier");
  EXPECT_EQ(form.CommandLine, Line(form));
}

TEST_F(PlotDialogTest, TheTemporaryDirectoryButtonFillsTheOutputDirectory) {
  TForm_confvectrix form;
  Find<QLineEdit>(form, "Edit_outdir")->setText("/srv/plots");
  Choose(form, "RadioGroup_d", 2);  // file
  // The drawing named is the driver's, wherever the plot output goes.
  EXPECT_EQ(Line(form), base_ + " /CHPL /D3 /F/srv/plots/vectrix");
  Find<QPushButton>(form, "Button_tempdir")->click();
  EXPECT_EQ(Find<QLineEdit>(form, "Edit_outdir")->text().toStdString(), handOff_);
}

TEST_F(PlotDialogTest, TheProgramButtonPicksTheProgramFile) {
  ScriptedDialogHost host;
  TForm_confvectrix form;
  host.AnswerFile("/opt/plot/wvectrix");
  host.AnswerCancel();
  Find<QPushButton>(form, "Button_vectrixpath")->click();
  EXPECT_EQ(Line(form), "/opt/plot/wvectrix " + handOff_ + "vectrix /CHPL");
  Find<QPushButton>(form, "Button_vectrixpath")->click();  // cancelled: nothing changes
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(Find<QLineEdit>(form, "Edit_vectrixPath")->text(), "/opt/plot/wvectrix");
  EXPECT_EQ(host.RecordsOf(TDialogKind::OpenFile).back().fileRequest.directory, "/opt/plot");

  // Cancel in either browse keeps a line the controls cannot compose (a batch file) as it was;
  // after a program chosen, OK hands back the line on it.
  const std::string batch = "\"" + handOff_ + "stapel größe.sh\"";
  const struct {
    const char* browse;
    std::string chosen;  // empty: cancelled
    std::string returned;
  } rows[] = {
      {"Button_vectrixpath", "", batch},
      {"Button_outDir", "", batch},
      {"Button_vectrixpath", "/opt/new/wplot", "/opt/new/wplot " + handOff_ + "vectrix /CHPL"}};
  for (const auto& row : rows) {
    std::string line = batch;
    row.chosen.empty() ? host.AnswerCancel() : host.AnswerFile(row.chosen);
    WhenDialogUp([browse = row.browse](QWidget& dialog) {
      Find<QPushButton>(dialog, browse)->click();
      Find<QPushButton>(dialog, "Button_ok")->click();
    });
    EXPECT_TRUE(ShowPlotProgramDialog(line)) << row.browse;
    EXPECT_EQ(line, row.returned) << row.browse;
  }
}

TEST_F(PlotDialogTest, OkHandsBackTheShownLineAndCancelAborts) {
  std::string line = "old plot line";
  WhenDialogUp([](QWidget& form) {
    EXPECT_EQ(Line(form), "old plot line");  // shown until something changes
    Choose(form, "RadioGroup_outcode", 3);
    Find<QPushButton>(form, "Button_ok")->click();
  });
  AbortFlag = true;
  EXPECT_TRUE(ShowPlotProgramDialog(line));
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(line, "old " + handOff_ + "vectrix /CPL2");  // the line's program is kept

  WhenDialogUp([](QWidget& form) {
    Choose(form, "RadioGroup_outcode", 4);
    Find<QPushButton>(form, "Button_cancel")->click();
  });
  EXPECT_FALSE(ShowPlotProgramDialog(line));
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(line, "old " + handOff_ + "vectrix /CPL2");
}

TEST_F(PlotDialogTest, OpensOnTheStoredLineAndRefusesAScaleThatIsNoNumber) {
  ScriptedDialogHost host;
  std::string line = "/opt/p/wvectrix VECTRIX.DXF /CPS /D1 /P3 /M2.5 /R /TSymbol";
  bool refused = false;
  WhenDialogUp([&refused](QWidget& form) {
    EXPECT_EQ(Find<QLineEdit>(form, "Edit_com")->text(), "3");
    EXPECT_EQ(Find<QLineEdit>(form, "Edit_scale")->text(), "2.5");
    EXPECT_TRUE(Find<QCheckBox>(form, "CheckBox_rotate")->isChecked());
    Find<QLineEdit>(form, "Edit_scale")->setText("half");
    Find<QPushButton>(form, "Button_ok")->click();
    refused = form.isVisible();
    Find<QLineEdit>(form, "Edit_scale")->setText("2");
    Find<QPushButton>(form, "Button_ok")->click();
  });
  EXPECT_TRUE(ShowPlotProgramDialog(line));
  EXPECT_TRUE(refused);
  EXPECT_EQ(host.Messages(), std::vector<std::string>{"scale invalid"});
  EXPECT_EQ(line, "/opt/p/wvectrix " + handOff_ + "vectrix /CPS /D1 /P3 /M2 /R /TSymbol");
}

TEST_F(PlotDialogTest, TheCadCodeSelectionShowsTheDialogBeforeTheLastQuestion) {
  InstallPlotProgramDialogForm();
  ScriptedDialogHost host;
  PlotSettings.PlotCommandLines.count = 1;
  PlotSettings.PlotCommandLines.lines[1] = "old";
  host.AnswerChoice(4);  // the plot program
  host.AnswerText("edited line");
  WhenDialogUp([](QWidget& form) {
    Choose(form, "RadioGroup_outcode", 2);
    Find<QPushButton>(form, "Button_ok")->click();
  });
  CadSelectCode();
  InstallPlotProgramDialog(nullptr);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(PlotSettings.CadCode, kCadPlot);
  const auto texts = host.RecordsOf(TDialogKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  // The dialog's line (on the stored line's program), offered once more.
  EXPECT_EQ(texts[0].offeredText, "old " + handOff_ + "vectrix /CPLT");
  EXPECT_EQ(PlotSettings.PlotCommandLines.lines[1], "edited line");
}

// The drawing named on a stored line is no switch, in whatever folder it lies: read back, it
// changes no option; started, the stand-in program receives the drawing the driver writes whole
// and no scale switch for a scale of 1. A long program path keeps the dialog on the screen.
TEST_F(PlotDialogTest, TheDrawingOnAStoredLineIsNoSwitch) {
  const std::string cache = cache_ + "/my cache", program = cache_ + "/wplot",
                    record = cache_ + "/arguments";
  setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\"\n"
                            "mv \"$0.part\" \"$(dirname \"$0\")/arguments\"\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  const std::string longPath = "/opt/" + std::string(400, 'p') + "/wvectrix";
  int row = 0;
  for (const std::string folder : {"/root/x", "/tmp/x", "/mnt/x", "/mnt/x"}) {
    SCOPED_TRACE(folder);
    const bool longProgram = row++ == 3;
    std::string line = (longProgram ? longPath : program) + " " + folder + "/vectrix /CHPL /M1.0";
    WhenDialogUp([longProgram](QWidget& form) {
      EXPECT_FALSE(Find<QCheckBox>(form, "CheckBox_rotate")->isChecked());
      EXPECT_EQ(Find<QLineEdit>(form, "Edit_scale")->text(), "1.0");
      EXPECT_EQ(Find<QComboBox>(form, "ComboBox_psfont")->currentText(), "");
      EXPECT_EQ(Find<QLineEdit>(form, "Edit_outdir")->text().toStdString(), HandOffDir());
      if (longProgram) {
        Find<QCheckBox>(form, "CheckBox_rotate")->click();  // the line grows in the label
        EXPECT_LE(form.frameGeometry().width(), form.screen()->availableGeometry().width());
      }
      Find<QPushButton>(form, "Button_ok")->click();
    });
    ASSERT_TRUE(ShowPlotProgramDialog(line));
    if (longProgram) continue;
    std::filesystem::remove(record);
    EXPECT_EQ(StartPlotProgram(line), 0) << line;
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ((std::stringstream() << std::ifstream(record).rdbuf()).str(),
              cache + "/vuko/vectrix\n/CHPL\n");
  }
}

// A program in a folder with a blank, picked or quoted by hand, starts with the shown arguments.
TEST_F(PlotDialogTest, AProgramInAFolderWithABlankStarts) {
  const std::string folder = cache_ + "/my plot", program = folder + "/wplot",
                    record = folder + "/arguments";
  std::filesystem::create_directories(folder);
  std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\"\n"
                            "mv \"$0.part\" \"$(dirname \"$0\")/arguments\"\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  const std::string expected = handOff_ + "vectrix\n/CPS\n/TNew Century\n";
  for (const bool picked : {true, false}) {
    ScriptedDialogHost host;
    host.AnswerFile(program);
    std::string line = picked ? "wvectrix VECTRIX.DXF /CPS \"/TNew Century\""
                              : "\"" + program + "\" VECTRIX.DXF /CPS \"/TNew Century\"";
    WhenDialogUp([picked](QWidget& form) {
      if (picked) Find<QPushButton>(form, "Button_vectrixpath")->click();
      Find<QCheckBox>(form, "CheckBox_rotate")->click();  // a change rebuilds the line
      Find<QCheckBox>(form, "CheckBox_rotate")->click();
      Find<QPushButton>(form, "Button_ok")->click();
    });
    ASSERT_TRUE(ShowPlotProgramDialog(line));
    std::filesystem::remove(record);
    EXPECT_EQ(StartPlotProgram(line), 0) << line;
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ((std::stringstream() << std::ifstream(record).rdbuf()).str(), expected) << line;
  }
}

}  // namespace
