// Evaluation of the command line and the two batch actions (result listing, CAD file).
#include "app/command_line.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/data_file.h"
#include "app/tour.h"
#include "calc/result_printout.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/kept_file_names.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "drawings/production_drawing.h"
#include "drawings/tooth_graphics.h"
#include "graphics/graphics_facade.h"

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> args;
  return args;
}

TTextScreenHook& TextScreenHook() {
  static TTextScreenHook hook;
  return hook;
}

bool OneOf(std::string_view text, std::initializer_list<std::string_view> choices) {
  for (std::string_view c : choices) {
    if (text == c) return true;
  }
  return false;
}

bool IsListingSwitch(std::string_view text) {
  return OneOf(text, {"/I", "/i", "-I", "-i"});
}

bool IsCadSwitch(std::string_view text) {
  const std::string prefix = UpperStr(text.substr(0, 4));
  return prefix == "/CAD" || prefix == "-CAD";
}

bool IsBatchSwitch(std::string_view text) {
  return IsListingSwitch(text) || IsCadSwitch(text);
}

// A batch run reports on standard error whatever keeps it from writing its file.
void BatchReport(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", ProgramIdentity.fileStem.c_str(), DosToWin(text).c_str());
}

void ReportMessageList() {
  for (int n = 1; n <= ErrorCount(); ++n) BatchReport(ErrorText(n));
}

// Loads the command-line file of a batch run; false (and the reason reported) when it cannot be
// read. CurrentFileName becomes its base name, so the output lands in the current directory;
// the data directory becomes the file's own, so listings and footers name the data file.
bool LoadBatchFile() {
  AbortFlag = false;
  LoadDataFile(CurrentFileName);
  if (AbortFlag) {
    BatchReport("data file " + NameText(CurrentFileName) + " could not be read; nothing written");
    return false;
  }
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(CurrentFileName, ec);
  if (!ec) DataDirectory = AddBackslash(DirPart(whole.lexically_normal().string()));
  CurrentFileName = BaseName(CurrentFileName);
  return true;
}

bool CalculationUsable() {
  if (!CalcFatalFlag) return true;
  BatchReport("the calculation ended with a fatal error; nothing written");
  ReportMessageList();
  return false;
}

TStartUpOutcome RunListing() {
  if (!LoadBatchFile()) return {true, kExitLoadFailed};
  if (!CalculationUsable()) return {true, kExitNothingWritten};
  // Where the listing device keeps it: beside the data file, named after it.
  const std::string target = ExportFileName("txt");
  ConfigVariables.AskOutputDevice = false;
  ConfigVariables.OutputDevice = 9;
  AbortFlag = false;
  ResultPrintout();
  if (AbortFlag || !FileExistsIO(target)) {
    BatchReport("the listing " + NameText(target) + " could not be written");
    return {true, kExitNothingWritten};
  }
  return {true, kExitOk};
}

TStartUpOutcome RunCad(const TCommandLine& cl) {
  const int format = cl.cadFormat, drawing = cl.drawingNumber;
  if (!LoadBatchFile()) return {true, kExitLoadFailed};
  if (!IsBatchCadFormat(format)) {
    BatchReport("CAD format " + IntStr(format) +
                " is not available (1 DXF, 2 IGES, 5 TXT); nothing written");
    return {true, kExitNothingWritten};
  }
  if (!cl.drawingNumberGiven) {
    BatchReport("drawing number missing (/CADi:j, j 1 to 13); nothing written");
    return {true, kExitNothingWritten};
  }
  if (!cl.drawingNumberValid) {
    BatchReport("drawing number \"" + NameText(cl.drawingText) +
                "\" is not valid (/CADi:j, j 1 to 13); nothing written");
    return {true, kExitNothingWritten};
  }
  if (CadBatchCall(drawing).entry == TCadBatchEntry::None) {
    BatchReport("drawing number " + IntStr(drawing) + " is outside 1 to 13; nothing written");
    return {true, kExitNothingWritten};
  }
  if (!CalculationUsable()) return {true, kExitNothingWritten};
  ConfigVariables.BatchCadFlag = true;
  AbortFlag = false;
  const bool written = RunCadBatch(format, drawing);
  ConfigVariables.BatchCadFlag = false;
  return {true, written ? kExitOk : kExitNothingWritten};
}

TStartUpOutcome LoadInteractive() {
  if (CurrentFileName.find('.') == std::string::npos) {
    ErrorMessageIfEnabled("extension ." + ProgramIdentity.shortName + " " + "missing");
    return {true, kExitOk};
  }
  // The file is held by its whole name, so that its kept files land beside it and every
  // footer and question names it alike, whatever folder the program runs in later.
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(CurrentFileName, ec);
  if (!ec) CurrentFileName = whole.lexically_normal().string();
  MessagesEnabled = false;
  AbortFlag = false;
  LoadDataFile(CurrentFileName);
  const bool unreadable = AbortFlag;
  // The flag comes first so that the picture's footer names the file as it is held (drawn
  // before it, the name got the extension twice).
  ProgramSettings.FileFromCommandLine = true;
  // The window opens on the file's result picture, drawn even when loading posted messages.
  if (GraphicsFacade) ShowResultPicture();
  MessagesEnabled = true;
  AbortFlag = unreadable;
  if (AbortFlag) {
    // The file could not be read: the program may start with that name for a new data set
    // when the user agrees; the file itself stays as it is.
    AbortFlag = false;
    CheckOverwrite(CurrentFileName);
    if (AbortFlag) return {true, kExitOk};
  }
  return {};
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine cl;
  if (args.empty()) return cl;
  const std::string& first = args[0];
  if (first == "?" || first == "/?") {
    cl.action = TCommandAction::Help;
    return cl;
  }
  // A batch switch standing first was given without the data file it works on.
  if (IsBatchSwitch(first)) {
    cl.action = TCommandAction::FileMissing;
    return cl;
  }
  cl.fileName = first;
  if (UpperStr(first) == "DEMO") {
    cl.action = TCommandAction::Demo;
    return cl;
  }
  const std::string second = args.size() > 1 ? args[1] : std::string();
  if (OneOf(second, {"/E", "/e", "/G"})) {
    cl.action = TCommandAction::Edit;
  } else if (IsListingSwitch(second)) {
    cl.action = TCommandAction::Listing;
  } else if (IsCadSwitch(second)) {
    cl.action = TCommandAction::Cad;
    cl.cadFormat = second.size() > 4 ? StrToInteger(second.substr(4, 1)) : 0;
    cl.drawingNumberGiven = second.size() > 6;
    if (cl.drawingNumberGiven) {
      cl.drawingText = second.substr(6);
      std::int32_t n = 0;
      cl.drawingNumberValid = ReadsAsInteger(cl.drawingText, n);
      cl.drawingNumber = n;
    }
  } else {
    cl.action = TCommandAction::Interactive;
  }
  return cl;
}

bool IsBatchAction(TCommandAction action) {
  return action == TCommandAction::Listing || action == TCommandAction::Cad ||
         action == TCommandAction::FileMissing;
}

void SetProgramArguments(const std::vector<std::string>& args) {
  Arguments() = args;
  SetCommandLineParameters(args);
}

const std::vector<std::string>& ProgramArguments() {
  return Arguments();
}

TStartUpOutcome EvaluateCommandLine() {
  const TCommandLine cl = ParseCommandLine(ProgramArguments());
  switch (cl.action) {
    case TCommandAction::NormalStart:
      return {};
    case TCommandAction::Help:
      FillCommandLineHelp();
      ShowCommandLineHelp();
      return {true, kExitOk};
    case TCommandAction::FileMissing:
      BatchReport("the data file name is missing (" + ProgramIdentity.fileStem + " file " +
                  NameText(ProgramArguments().front()) + "); nothing written");
      return {true, kExitLoadFailed};
    default:
      break;
  }
  CurrentFileName = cl.fileName;
  DataDirectory.clear();
  switch (cl.action) {
    case TCommandAction::Demo:
      TourRunning = true;
      RestoreCursor();
      ShowDemoIntro();
      return {};
    case TCommandAction::Edit:
      return {};
    case TCommandAction::Listing:
      return RunListing();
    case TCommandAction::Cad:
      return RunCad(cl);
    default:
      return LoadInteractive();
  }
}

void FillCommandLineHelp() {
  const std::string stem = ProgramIdentity.fileStem;
  const std::string example = "Example: w" + stem + " test." + ProgramIdentity.shortName;
  for (int i = ScreenLines.Low(); i <= ScreenLines.High(); ++i) {
    ScreenLines[i] = std::string(kScreenLineWidth, ' ');
  }
  // Screen rows counted from 0 sit in entries from 1.
  auto row = [](int r, const std::string& text) { ScreenLines[r + 1] = text; };
  row(0, ProgramIdentity.programName + " Command Line Mode");
  row(2, "w" + stem + " Filename [/I] [/CADi:j] [/NOGUI]");
  row(4, "/I       -> TXT file");
  row(6, "/CADi:j  -> CAD File");
  row(7, "            i: 1=DXF, 2=IGS, 5=TXT");
  row(8, "            j: index (1,2,3, ..)");
  row(10, "/NOGUI  -> No GUI, exit on fatal error");
  row(14, "/?       -> Help");
  row(17, example + "             ->  GUI");
  row(18, example + " /I /NOGUI   ->  test.txt");
  row(19, example + " /CAD1:1     ->  test.dxf");
  row(20, "Example: w" + stem + " test.edi /E /NOGUI   ->  test.edi");
}

void ShowCommandLineHelp() {
  if (TextScreenHook()) {
    TextScreenHook()();
    return;
  }
  constexpr int kShownLines = 22;
  for (int i = 1; i <= kShownLines; ++i) {
    std::string line = DosToWin(ScreenLines[i]);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::fprintf(stdout, "%s\n", line.c_str());
  }
  std::fflush(stdout);
}

void InstallTextScreenHook(TTextScreenHook hook) {
  TextScreenHook() = std::move(hook);
}

bool IsBatchCadFormat(int format) {
  return format == 1 || format == 2 || format == 5;
}

TCadBatchCall CadBatchCall(int drawing) {
  if (drawing >= 1 && drawing <= 7) return {TCadBatchEntry::ProductionDrawing, drawing};
  if (drawing >= 8 && drawing <= 12) return {TCadBatchEntry::ToothGraphics, drawing - 7};
  if (drawing == 13) return {TCadBatchEntry::ProductionDrawing, 10};
  return {};
}

bool RunCadBatch(int format, int drawing) {
  const TCadBatchCall call = CadBatchCall(drawing);
  if (call.entry == TCadBatchEntry::None || !IsBatchCadFormat(format)) return false;
  const char* extension = format == 1 ? "dxf" : format == 2 ? "igs" : "txt";
  const std::string target = KeptFileStem() + "." + extension;
  // A file of the same name from an earlier run must not pass for this run's output.
  std::error_code ec;
  const auto before = std::filesystem::last_write_time(target, ec);
  const bool existed = !ec;
  AbortFlag = false;
  const auto code = static_cast<std::uint16_t>(format);
  const auto argument = static_cast<std::int16_t>(call.argument);
  if (call.entry == TCadBatchEntry::ProductionDrawing) {
    ProductionDrawing(code, argument);
  } else {
    SplineToothGraphicsMenu(static_cast<std::int16_t>(format), argument);
  }
  const auto after = std::filesystem::last_write_time(target, ec);
  const bool written = !ec && (!existed || after != before);
  if (AbortFlag || !written) {
    BatchReport("the CAD file " + NameText(target) + " could not be written; nothing written");
    ReportMessageList();
    return false;
  }
  return true;
}
