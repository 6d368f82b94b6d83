// The external plot program: its command line from the dialog's settings or from a row of
// questions, a script for lines too long to keep, and its start without a shell.
#include "graphics/plot_program.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "common/dialog_host.h"
#include "common/file_dialogs.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "platform/process.h"

const std::array<const char*, kPostScriptFontCount> kPostScriptFonts{
    "Times-Roman",
    "Times-Italic",
    "Times-Bold",
    "Times-BoldItalic",
    "Helvetica",
    "Helvetica-Oblique",
    "Helvetica-Bold",
    "Helvetica-BoldOblique",
    "Helvetica-Narrow",
    "Helvetica-Narrow-Oblique",
    "Helvetica-Narrow-Bold",
    "Helvetica-Narrow-BoldOblique",
    "Courier",
    "Courier-Oblique",
    "Courier-Bold",
    "Courier-BoldOblique",
    "Palatino-Roman",
    "Palatino-Italic",
    "Palatino-Bold",
    "Palatino-BoldItalic",
    "AvantGarde-Book",
    "AvantGarde-Demi",
    "AvantGarde-BookOblique",
    "AvantGarde-DemiOblique",
    "Bookman-Light",
    "Bookman-Demi",
    "Bookman-LightItalic",
    "Bookman-DemiItalic",
    "NewCenturySchlbk-Roman",
    "NewCenturySchlbk-Bold",
    "NewCenturySchlbk-Italic",
    "NewCenturySchlbk-BoldItalic",
    "ZapfChancery-MediumItalic",
    "Symbol",
    "other fonts",
};

namespace {

TPlotProgramDialog gDialog = nullptr;

// Longest command line kept as it is; a longer one goes into a script.
constexpr std::size_t kMaxCommandLine = 60;

bool IsBlank(std::string_view text) {
  return TrimStr(text).empty();
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         UpperStr(text.substr(text.size() - tail.size())) == UpperStr(tail);
}

}  // namespace

TPlotProgramOptions DefaultPlotProgramOptions() {
  TPlotProgramOptions o;
  o.programPath = "wvectrix";
  o.outputDirectory = PrivateTempDir();
  return o;
}

std::string MakePlotCommandLine(const TPlotProgramOptions& o) {
  std::string line = o.programPath + " " + AddBackslash(o.outputDirectory) + "vectrix";
  const int destination = o.destination >= 0 && o.destination < 5 ? o.destination : 0;
  line += std::string(" /C") + kPlotDestinationCodes[static_cast<std::size_t>(destination)];
  const int i = o.outputInterface;
  if (i != 1) line += " /D" + std::to_string(i + 1);
  if (i == 0 || i == 1) {
    const std::int32_t port = StrToInteger(i == 0 ? o.comPort : o.lptPort);
    if (port != 1) line += " /P" + std::to_string(port);
  } else if (i == 2 && !IsBlank(o.outputDirectory)) {
    line += " /F" + AddBackslash(o.outputDirectory) + "vectrix";
  }
  const long double scale = StrToReal(o.scale);
  if (scale != 1.0L) line += scale == 0.0L ? std::string(" /M*") : " /M" + TrimStr(o.scale);
  if (StrToReal(o.shiftX) != 0.0L) line += " /X" + TrimStr(o.shiftX);
  if (StrToReal(o.shiftY) != 0.0L) line += " /Y" + TrimStr(o.shiftY);
  if (StrToReal(o.textWidth) != 1.0L) line += " /B" + TrimStr(o.textWidth);
  if (o.rotate) line += " /R";
  if (destination == 1) line += " /T" + o.psFont;
  return line;
}

void AskPlotCommandLine(std::string& line, bool wildcard) {
  std::string dxfName = wildcard ? std::string("*.dxf") : PrivateTempDir() + "vectrix";

  // Directory of the program named on the current line.
  std::string directory;
  const std::size_t blank = line.find(' ');
  if (blank != std::string::npos) {
    const std::string program = line.substr(0, blank);
    const std::size_t slash = program.rfind('/');
    if (slash != std::string::npos) directory = program.substr(0, slash);
  }
  int kind = 2, destination = 1, outputInterface = 2;
  std::uint16_t port = 1;
  double scale = 1.0, shiftX = 0.0, shiftY = 0.0, textWidth = 1.0;
  bool rotate = false;
  std::string destinationFile, font;

  ScreenLines[1] = "WVECTRIX.EXE (Windows)";
  ScreenLines[2] = "VECTRIX.EXE (MS-DOS)";
  HelpNumber = 2080;
  InputCode("VECTRIX/WVECTRIX", 2, kind);
  if (AbortFlag) return;
  const std::string programFile = kind == 1 ? "wvectrix" : "vectrix";

  for (;;) {
    HelpNumber = 2080;
    InputText("Program directory of " + programFile, 40, directory);
    if (AbortFlag) return;
    const std::string path = AddBackslash(directory) + programFile;
    if (FileExistsIO(path)) break;
    CheckFileExists(path);  // says what is missing; the question stays open
    AbortFlag = false;
  }

  ScreenLines[1] = "HP-GL Laserjet (HPL)";
  ScreenLines[2] = "Postscript  (PS)";
  ScreenLines[3] = "HP-GL (PLT)";
  ScreenLines[4] = "HP-GL/2  (PL2)";
  ScreenLines[5] = "Aristo  (ART)";
  HelpNumber = 2090;
  InputCode("destination code", 5, destination);
  if (AbortFlag) return;

  if (wildcard) {
    HelpNumber = 2100;
    InputText("file name or wildcard", 40, dxfName);
    if (AbortFlag) return;
  }

  ScreenLines[1] = "serial";
  ScreenLines[2] = "parallel";
  ScreenLines[3] = "file";
  HelpNumber = 2120;
  InputCode("output interface", 3, outputInterface);
  if (AbortFlag) return;
  if (outputInterface == 1) InputWord("COM-Port", port, 1, 4);
  if (outputInterface == 2) InputWord("LPT-Port", port, 1, 4);
  if (outputInterface == 3) InputText("destination file name", 30, destinationFile);
  if (AbortFlag) return;

  HelpNumber = 2140;
  InputDouble("scale (0=fit limits)", scale, 0.0, 1000.0);
  HelpNumber = 2145;
  if (!AbortFlag) InputBoolean("rotate 90 degrees ?", rotate);
  HelpNumber = 2150;
  if (!AbortFlag) InputDouble("reference point shifting x direction", shiftX, -1e8, 1e8);
  if (!AbortFlag) InputDouble("reference point shifting y direction", shiftY, -1e8, 1e8);
  HelpNumber = 2160;
  if (!AbortFlag) InputDouble("Textwidth/height", textWidth, 0.1, 10.0);
  HelpNumber = 2280;
  if (!AbortFlag && destination == 2) InputText("Postscript font", 28, font);
  if (AbortFlag) return;

  static constexpr const char* kCodes[] = {"HPL", "PS", "PLT", "PL2", "ART"};
  std::string composed = AddBackslash(directory) + programFile + " " + dxfName;
  composed += std::string(" /C") + kCodes[destination - 1];
  if (outputInterface != 2) composed += " /D" + std::to_string(outputInterface);
  if (outputInterface != 3 && port != 1) composed += " /P" + std::to_string(port);
  if (outputInterface == 3 && !IsBlank(destinationFile)) composed += " /F" + destinationFile;
  if (scale != 1.0) composed += scale == 0.0 ? std::string(" /M*") : " /M" + RealStr(scale);
  if (shiftX != 0.0) composed += " /X" + RealStr(shiftX);
  if (rotate) composed += " /R";
  if (shiftY != 0.0) composed += " /Y" + RealStr(shiftY);
  // The text width asked for travels on the line too, as the dialog writes it.
  if (textWidth != 1.0) composed += " /B" + RealStr(textWidth);
  if (destination == 2) composed += " /T" + font;

  if (!wildcard && composed.size() > kMaxCommandLine) {
    NoteMessage("command line too long, A batch file will be created.");
    std::string name;
    for (;;) {
      HelpNumber = 2170;
      InputText("batch file name (without .bat)", 20, name);
      if (AbortFlag) return;
      if (name.find('.') != std::string::npos || IsBlank(name)) continue;
      const std::string fileName = TrimStr(name) + ".sh";
      std::ofstream script(fileName, std::ios::binary | std::ios::trunc);
      script << composed << "\n";
      script.close();
      if (!script) {
        ErrorMessageIfEnabled("file " + fileName + " cannot be created");
        continue;
      }
      std::error_code ec;
      const std::filesystem::path full = std::filesystem::absolute(fileName, ec);
      composed = ec ? fileName : full.string();
      break;
    }
  }
  line = composed;
}

std::vector<std::string> PlotCommandArguments(std::string_view line) {
  std::vector<std::string> args;
  std::string current;
  bool inQuotes = false, any = false;
  for (char c : line) {
    if (c == '"') {
      inQuotes = !inQuotes;
      any = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (any) args.push_back(current);
      current.clear();
      any = false;
    } else {
      current.push_back(c);
      any = true;
    }
  }
  if (any) args.push_back(current);
  if (args.size() == 1 && (EndsWithNoCase(args[0], ".sh") || EndsWithNoCase(args[0], ".bat"))) {
    args.insert(args.begin(), "/bin/sh");
  }
  return args;
}

int StartPlotProgram(std::string_view line) {
  const std::vector<std::string> args = PlotCommandArguments(line);
  if (args.empty()) return ENOENT;
  return platform::StartDetached(args);
}

void InstallPlotProgramDialog(TPlotProgramDialog dialog) {
  gDialog = dialog;
}

TPlotProgramDialog InstalledPlotProgramDialog() {
  return gDialog;
}
