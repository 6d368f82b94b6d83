// The demonstration tour: its texts and the order of its commands.
#include "app/tour.h"

#include "app/save_question.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "drawings/production_drawing.h"

int DemoStep = 0;

namespace {

constexpr const char* kIntroTexts[2] = {
    "REVIZERI  is an automatic demonstration program which will introduce you to the VUKO "
    "software features for calculation of involute splines.",
    "With <ENTER> or a mouseclick into the OK- or Cancel-Button you will get the next screen.",
};

// Lines before the first block, and lines per block.
constexpr std::size_t kHeaderLines = 2;
constexpr std::size_t kBlockLines = 4;
constexpr std::size_t kTextLine = 3;

// True when the tour must end here: the user chose to quit at the last text.
bool Quit() {
  return AbortFlag;
}

}  // namespace

const std::vector<TTourStep>& TourSteps() {
  static const std::vector<TTourStep> steps = {
      {"", 1},                                 // text 1 follows the introduction
      {"mi_HelpHilfebild", 1},                 // auxiliary images
      {"mi_EditText", 2},                      // drawing texts
      {"mi_editabmessungen", 1},               // dimensions and calculation
      {"mi_ViewQuick", 1},                     // result sheet
      {"mi_viewzahneingriff", 1},              // tooth contact
      {"mi_viewzahn1", 1},                     // single tooth of the shaft
      {"mi_viewfertigungszeichnungwelle", 1},  // production drawing of the shaft
      {"mi_cadZahnprofilWelle", 1},            // profile options and CAD output of the shaft
  };
  return steps;
}

int TourTextCount() {
  int count = 0;
  for (const TTourStep& step : TourSteps()) count += step.texts;
  return count;
}

std::string DemoFileName() {
  return AddBackslash(ProgramSettings.pltDirectory) + ProgramIdentity.fileStem + ".dem";
}

void ReadDemoText(int n, std::string& text) {
  const std::string name = DemoFileName();
  std::vector<std::string> lines;
  // A file of its own: a short file must not leave AbortFlag set, or the next text would ask
  // whether to quit the tour.
  if (!ReadTextFileLines(name, lines)) {
    text = "Demo file " + name + " " + "not found" + " !";
    return;
  }
  const std::size_t line = n < 1 ? 0 : kHeaderLines + kBlockLines * (n - 1) + kTextLine;
  if (line == 0 || line > lines.size()) {
    text = "Demo text No." + IntStr(n) + " " + "not exists" + " !";
    return;
  }
  text = lines[line - 1];
}

void ShowDemoIntro() {
  for (const char* text : kIntroTexts) ShowLongText(text);
}

void ShowDemoStep(int& n) {
  if (AbortFlag) {
    if (AskYesNo("Quit demo mode ?")) {
      TourRunning = false;
      return;
    }
    AbortFlag = false;
  }
  ++n;
  std::string text;
  ReadDemoText(n, text);
  ShowLongText(text);
}

void RunTour(const TTourCommandRunner& runCommand) {
  AbortFlag = false;
  // The example replaces the data set: unsaved changes are asked about first, and the example
  // does not carry the old file's name, so a Save cannot overwrite that file with it.
  AskSaveChanges();
  if (AbortFlag) return;
  TourRunning = true;
  NewSplineExample();
  // Calculated at once: the pictures of the tour must show the example's results even when the
  // user cancels the dimension dialog and goes on.
  CalcSplineJoint();
  // The first texts speak of the example: it is drawn before they are shown.
  ShowResultPicture();
  CurrentFileName.clear();
  ProgramSettings.FileFromCommandLine = false;
  DemoStep = 0;

  ShowDemoIntro();
  if (Quit()) return;
  for (const TTourStep& step : TourSteps()) {
    if (!step.menuItem.empty() && runCommand) runCommand(step.menuItem);
    for (int i = 0; i < step.texts; ++i) {
      ShowDemoStep(DemoStep);
      // Checked after every text: once the user quits, no further question or text follows.
      if (Quit()) return;
    }
  }
  TourRunning = false;
}
