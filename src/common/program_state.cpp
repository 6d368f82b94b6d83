// Program-wide records and their start defaults.
#include "common/program_state.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

TScreenLines ScreenLines;
TTextPieces TextPieces;
TDrawingTexts DrawingTexts;
TProgramIdentity ProgramIdentity;
std::string CurrentFileName;
std::string DataDirectory;

bool AbortFlag = false;
bool CalcFatalFlag = false;
bool TourRunning = false;
bool OverwriteConfirmation = true;
bool DataModified = false;
bool MessagesEnabled = true;
std::uint16_t HelpNumber = 0;

TProgramSettings ProgramSettings;
TConfigVariables ConfigVariables;
TPlotSettings PlotSettings;
TViewSettings3D ViewSettings3D;

namespace {

// The process's current directory at the moment of the call; empty when it cannot be had
// (for instance when it was removed), so the callers fall back to their own defaults.
std::string CurrentDirectory() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::current_path(ec);
  if (ec) return std::string();
  return dir.string();
}

}  // namespace

std::string MakerCommonDirectory() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // Relative values are to be ignored by the XDG rules.
  if (xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = (home != nullptr && home[0] != '\0') ? std::string(home) : std::string(".");
    if (base.back() != '/') base += '/';
    base += ".config";
  }
  if (base.back() != '/') base += '/';
  return base + "tarveno/";
}

void SetProgramIdentity() {
  ProgramIdentity.programName = "VUKO";
  ProgramIdentity.fileStem = "vuko";
  ProgramIdentity.caption = ProgramIdentity.programName + "   " + "involute spline";
  ProgramIdentity.shortName = "vuk";
  ProgramIdentity.version = "1.0";
}

void InitProgramIdentity() {
  SetProgramIdentity();
}

void InitProgramGlobals() {
  ScreenLines.Fill(std::string(kScreenLineWidth, ' '));
  TextPieces.Fill(std::string(kTextPieceWidth, ' '));
  DrawingTexts.Fill(std::string());

  // Neutral maker identity until the program sets its own.
  ProgramIdentity.programName = "TARVENO";
  ProgramIdentity.fileStem = "TARVENO";
  ProgramIdentity.caption = "T A R V E N O    -    Software";
  ProgramIdentity.shortName = "EXT";
  ProgramIdentity.version = "1.0";

  CurrentFileName = "demo";
  DataDirectory = "TRAIN";

  AbortFlag = false;
  CalcFatalFlag = false;
  TourRunning = false;
  OverwriteConfirmation = true;
  DataModified = false;
  MessagesEnabled = true;
  HelpNumber = 0;

  ProgramSettings = TProgramSettings{};
  ProgramSettings.BaseDirectory = CurrentDirectory();
}

void InitConfigVariables() {
  ConfigVariables = TConfigVariables{};
  // Outside programs are found on PATH; the desktop's opener stands for the word processor
  // and the browser.
  ConfigVariables.externalDatabase = "rectool";
  ConfigVariables.WordProcessorPath = "xdg-open";
  ConfigVariables.HtmlBrowserPath = "xdg-open";
  const std::string current = CurrentDirectory();
  ConfigVariables.ConfigDirectory = current;
  ConfigVariables.PresetDirectory = current;
  ConfigVariables.DefaultDataDirectory = current;
  // Held in the DOS code page: 0xF8 is the degree sign, 0xFD the superscript two.
  ConfigVariables.UnitSystemNames[1] =
      "metric (mm, N, MPa, Nmm, \xF8"
      "C)";
  ConfigVariables.UnitSystemNames[2] = "imperial (in, lbf, psi, lbfin, degF)";
  ConfigVariables.UnitSystemNames[3] =
      "metric (mm, kN, MPa, Nm, \xF8"
      "C)";
  ConfigVariables.UnitSystemNames[4] =
      "metric (mm, N, N/mm\xFD, Nmm, \xF8"
      "C)";
  ConfigVariables.UnitSystemNames[5] =
      "metric (mm, kN, N/mm\xFD, Nm, \xF8"
      "C)";
}

void InitPlotSettings() {
  PlotSettings = TPlotSettings{};
  for (int layer = 0; layer <= 5; ++layer) {
    PlotSettings.DxfLayerNames[layer] = std::to_string(layer);
  }
  // The plot program is looked up on PATH; the DXF name stays as the program expects it.
  PlotSettings.PlotCommandLines.lines.Fill("wvectrix VECTRIX.DXF /M1.0");
}

void InitViewSettings3D() {
  ViewSettings3D = TViewSettings3D{};
}

void InitProgramState() {
  InitProgramGlobals();
  InitConfigVariables();
  InitPlotSettings();
  InitViewSettings3D();
}

void ResetProgramStateForTests() {
  InitProgramState();
}
