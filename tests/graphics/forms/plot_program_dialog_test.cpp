// The plot program's settings dialog driven through its named controls: every change rebuilds
// the command line, OK hands it back, Cancel aborts.
#include "graphics/forms/plot_program_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "common/file_utils.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/cad_driver.h"

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

class PlotDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    ProgramSettings.HelpLevel = 0;
    AbortFlag = false;
    base_ = "wvectrix " + PrivateTempDir() + "vectrix";
  }
  std::string base_;
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
  EXPECT_EQ(Line(form), "wvectrix /srv/plots/vectrix /CHPL /D3 /F/srv/plots/vectrix");
  Find<QPushButton>(form, "Button_tempdir")->click();
  EXPECT_EQ(Find<QLineEdit>(form, "Edit_outdir")->text().toStdString(), PrivateTempDir());
}

TEST_F(PlotDialogTest, TheProgramButtonPicksTheProgramFile) {
  ScriptedDialogHost host;
  TForm_confvectrix form;
  host.AnswerFile("/opt/plot/wvectrix");
  host.AnswerCancel();
  Find<QPushButton>(form, "Button_vectrixpath")->click();
  EXPECT_EQ(Line(form), "/opt/plot/wvectrix " + PrivateTempDir() + "vectrix /CHPL");
  Find<QPushButton>(form, "Button_vectrixpath")->click();  // cancelled: nothing changes
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(Find<QLineEdit>(form, "Edit_vectrixPath")->text(), "/opt/plot/wvectrix");
  EXPECT_EQ(host.RecordsOf(TDialogKind::OpenFile).back().fileRequest.directory, "/opt/plot");
}

TEST_F(PlotDialogTest, OkHandsBackTheShownLineAndCancelAborts) {
  std::string line = "old plot line";
  QTimer::singleShot(0, [] {
    QWidget* form = QApplication::activeModalWidget();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Line(*form), "old plot line");  // shown until something changes
    Choose(*form, "RadioGroup_outcode", 3);
    Find<QPushButton>(*form, "Button_ok")->click();
  });
  AbortFlag = true;
  EXPECT_TRUE(ShowPlotProgramDialog(line));
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(line, base_ + " /CPL2");

  QTimer::singleShot(0, [] {
    QWidget* form = QApplication::activeModalWidget();
    ASSERT_NE(form, nullptr);
    Choose(*form, "RadioGroup_outcode", 4);
    Find<QPushButton>(*form, "Button_cancel")->click();
  });
  EXPECT_FALSE(ShowPlotProgramDialog(line));
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(line, base_ + " /CPL2");
}

TEST_F(PlotDialogTest, TheCadCodeSelectionShowsTheDialogBeforeTheLastQuestion) {
  InstallPlotProgramDialogForm();
  ScriptedDialogHost host;
  PlotSettings.PlotCommandLines.count = 1;
  PlotSettings.PlotCommandLines.lines[1] = "old";
  host.AnswerChoice(4);  // the plot program
  host.AnswerText("edited line");
  QTimer::singleShot(0, [] {
    QWidget* form = QApplication::activeModalWidget();
    ASSERT_NE(form, nullptr);
    Choose(*form, "RadioGroup_outcode", 2);
    Find<QPushButton>(*form, "Button_ok")->click();
  });
  CadSelectCode();
  InstallPlotProgramDialog(nullptr);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(PlotSettings.CadCode, kCadPlot);
  const auto texts = host.RecordsOf(TDialogKind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].offeredText, base_ + " /CPLT");  // the dialog's line, offered once more
  EXPECT_EQ(PlotSettings.PlotCommandLines.lines[1], "edited line");
}

}  // namespace
