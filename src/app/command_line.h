// The command line: a data file and, optionally, a switch that writes the result listing or one
// drawing as a CAD file and ends the program without any person at the screen; also the help
// screen and the start of the demonstration tour. Evaluated once during start-up, before the
// main window is shown.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Exit codes of the program.
constexpr int kExitOk = 0;
constexpr int kExitLoadFailed = 1;      // the data file of a batch run could not be read
constexpr int kExitNothingWritten = 2;  // a batch run could not write what it was asked for
constexpr int kExitNoDisplay = 3;       // a window was needed but there is no display

// What the arguments ask for.
enum class TCommandAction {
  NormalStart,  // no argument
  Help,         // "?" or "/?"
  Demo,         // "DEMO" in any case
  Edit,         // file + "/E", "/e" or "/G": start without loading the file
  Listing,      // file + "/I", "/i", "-I" or "-i"
  Cad,          // file + "/CADi:j" or "-CADi:j" in any case
  Interactive,  // file with any other second argument or none
  FileMissing,  // "/I" or "/CADi:j" first: the data file is missing
};

struct TCommandLine {
  TCommandAction action = TCommandAction::NormalStart;
  std::string fileName;             // the first argument as typed
  int cadFormat = 0;                // i of "/CADi:j"
  int drawingNumber = 0;            // j of "/CADi:j"
  bool drawingNumberGiven = false;  // false for "/CAD1" without ":j"
  bool drawingNumberValid = true;   // false when j is no whole number
  std::string drawingText;          // j as typed
};

// Reads the arguments after the program name (only the first two count here).
TCommandLine ParseCommandLine(const std::vector<std::string>& args);
// The actions that never need a window.
bool IsBatchAction(TCommandAction action);

// The arguments after the program name; also handed on to HasParam (for "/NOGUI").
void SetProgramArguments(const std::vector<std::string>& args);
const std::vector<std::string>& ProgramArguments();

// How start-up ends: on with the window, or the program ends with the exit code.
struct TStartUpOutcome {
  bool endProgram = false;
  int exitCode = kExitOk;
};

// Evaluates ProgramArguments(): runs the help screen and the batch actions (ending the program),
// loads an interactive command-line file, or leaves everything to the normal start.
TStartUpOutcome EvaluateCommandLine();

// The help screen: lines 1 to 22 of ScreenLines are filled (the others blank).
void FillCommandLineHelp();
// Shows ScreenLines as the text screen: through the installed hook (the window), else on
// standard output with trailing blanks removed.
void ShowCommandLineHelp();
using TTextScreenHook = std::function<void()>;
void InstallTextScreenHook(TTextScreenHook hook);

// CAD formats the command line may ask for: 1 DXF, 2 IGES, 5 CAD-code text.
bool IsBatchCadFormat(int format);

// What drawing number j of "/CADi:j" draws: a production drawing or a tooth drawing with its
// argument; None outside 1 to 13.
enum class TCadBatchEntry { None, ProductionDrawing, ToothGraphics };
struct TCadBatchCall {
  TCadBatchEntry entry = TCadBatchEntry::None;
  int argument = 0;
};
TCadBatchCall CadBatchCall(int drawing);

// Writes drawing j in CAD format i, named after CurrentFileName, in the current directory.
// True when the file was written.
bool RunCadBatch(int format, int drawing);
