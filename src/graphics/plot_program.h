// The link to the external plot program: composing its command line from the settings (the
// settings dialog and the row of questions), writing a script when the line is too long, and
// starting it with an argument list.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The PostScript fonts offered by the plot settings dialog, in the dialog's order.
constexpr int kPostScriptFontCount = 35;
extern const std::array<const char*, kPostScriptFontCount> kPostScriptFonts;

// Destination codes in the order of the dialog's radio group.
constexpr std::array<const char*, 5> kPlotDestinationCodes{"HPL", "PS", "PLT", "PL2", "ART"};

// What the settings dialog holds, as texts where the dialog has edits.
struct TPlotProgramOptions {
  std::string programPath = "c:\\vectrix\\wvectrix";
  int destination = 0;      // index into kPlotDestinationCodes
  int outputInterface = 1;  // 0 serial, 1 parallel, 2 file
  std::string comPort = "1";
  std::string lptPort = "1";
  std::string outputDirectory;  // default: where the drawing is kept for the program
  std::string scale = "1";
  bool rotate = false;
  std::string shiftX = "0";
  std::string shiftY = "0";
  std::string textWidth = "1";
  std::string psFont;
};

// Defaults of the settings dialog (output directory = the hand-off directory).
TPlotProgramOptions DefaultPlotProgramOptions();
// The settings a command line carries (the dialog opens on the line in force); what the line
// does not name keeps its default.
TPlotProgramOptions PlotOptionsFromLine(std::string_view line);
// The caption of the first setting that is no number, or empty.
std::string PlotOptionsProblem(const TPlotProgramOptions& options);

// The drawing the driver writes for the plot program, without its ".dxf": "vectrix" in the
// hand-off directory, which outlives the run (the program may start after the run ended).
std::string PlotDxfName();
// The line with its drawing argument (a file named "vectrix", with or without ".dxf", in any
// directory) naming the file the driver writes; other lines are left as they are.
std::string PlotLineForDriverFile(std::string_view line);

// The command line the settings dialog composes from its controls.
std::string MakePlotCommandLine(const TPlotProgramOptions& options);

// Composes a command line by a row of questions (the line changes only when all were
// answered); without wildcard a line longer than 60 characters goes into a script in the
// hand-off directory (an existing one is replaced only when agreed) whose name becomes the
// line. Cancel sets AbortFlag.
void AskPlotCommandLine(std::string& line, bool wildcard);

// The command line split into an argument vector: blanks separate arguments, double quotes
// group. A line naming a script (".BAT", ".sh") gives the arguments of the script's one line;
// no shell is involved.
std::vector<std::string> PlotCommandArguments(std::string_view line);

// Starts the command line (its drawing argument as PlotLineForDriverFile gives it) without a
// shell and without waiting. 0 when it started, else the
// start error (errno value).
int StartPlotProgram(std::string_view line);

// The settings dialog: shown modally with the current line; true (and the line replaced by
// the composed one) on OK. Installed by the forms library; null in batch runs and core tests,
// where the dialog step is skipped.
using TPlotProgramDialog = bool (*)(std::string& commandLine);
void InstallPlotProgramDialog(TPlotProgramDialog dialog);
TPlotProgramDialog InstalledPlotProgramDialog();
