// The external plot program: its command line from the dialog's settings or from a row of
// questions, a script for lines too long to keep, and its start without a shell.
#include "graphics/plot_program.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_dialogs.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "platform/file_writer.h"
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

// A decimal number as the line carries it ("," taken as the point).
bool IsNumberText(std::string_view text) {
  std::string t = TrimStr(text);
  for (char& c : t)
    if (c == ',') c = '.';
  if (!t.empty() && t.front() == '+') t.erase(0, 1);
  double v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size();
}

// True at a doubled quote inside quotes: one quote of the argument itself.
bool QuotedQuote(std::string_view line, std::size_t i, bool inQuotes) {
  return inQuotes && line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"';
}

// Start and end of each argument of a line (blanks and tabs separate, double quotes group, a
// doubled quote inside quotes is a quote of the argument).
std::vector<std::pair<std::size_t, std::size_t>> ArgumentSpans(std::string_view line) {
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  bool inQuotes = false, inArg = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (QuotedQuote(line, i, inQuotes)) {
      ++i;
      continue;
    }
    const bool blank = (c == ' ' || c == '\t') && !inQuotes;
    if (c == '"') inQuotes = !inQuotes;
    if (!blank && !inArg) {
      spans.push_back({i, line.size()});
      inArg = true;
    } else if (blank && inArg) {
      spans.back().second = i;
      inArg = false;
    }
  }
  return spans;
}

// An argument as the line holds it, without its grouping quotes.
std::string Unquoted(std::string_view text) {
  std::string arg;
  bool inQuotes = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (QuotedQuote(text, i, inQuotes)) {
      arg.push_back('"');
      ++i;
    } else if (text[i] == '"') {
      inQuotes = !inQuotes;
    } else {
      arg.push_back(text[i]);
    }
  }
  return arg;
}

std::vector<std::string> SplitArguments(std::string_view line) {
  std::vector<std::string> args;
  for (const auto& [begin, end] : ArgumentSpans(line)) {
    args.push_back(Unquoted(line.substr(begin, end - begin)));
  }
  return args;
}

// An argument written so that SplitArguments gives it back whole: in quotes when it holds a
// blank, a tab or a quote, each quote of its own doubled.
std::string Quoted(const std::string& arg) {
  if (arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string text = "\"";
  for (char c : arg) {
    text.push_back(c);
    if (c == '"') text.push_back('"');
  }
  return text + "\"";
}

}  // namespace

std::string PlotDxfName() {
  return HandOffDir() + "vectrix";
}

std::string PlotLineForDriverFile(std::string_view line) {
  const auto spans = ArgumentSpans(line);
  if (spans.size() < 2) return std::string(line);
  const auto [begin, end] = spans[1];
  const std::string name = Unquoted(line.substr(begin, end - begin));
  const std::size_t cut = name.find_last_of("/\\");
  std::string base = LowerStr(cut == std::string::npos ? name : name.substr(cut + 1));
  if (EndsWithNoCase(base, ".dxf")) base.resize(base.size() - 4);
  if (base != "vectrix") return std::string(line);
  std::string out(line);
  out.replace(begin, end - begin, Quoted(PlotDxfName()));
  return out;
}

TPlotProgramOptions DefaultPlotProgramOptions() {
  TPlotProgramOptions o;
  o.programPath = "wvectrix";
  o.outputDirectory = HandOffDir();
  return o;
}

TPlotProgramOptions PlotOptionsFromLine(std::string_view line) {
  TPlotProgramOptions o = DefaultPlotProgramOptions();
  const std::vector<std::string> args = SplitArguments(line);
  if (args.empty()) return o;
  o.programPath = args[0];
  std::string port;
  bool fileGiven = false;
  // The second argument is the drawing's file, whatever it starts with ("/root/..." is no
  // rotation); the switches follow it.
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '/') continue;
    const char sw = UpperStr(a.substr(1, 1))[0];
    const std::string value = a.substr(2);
    switch (sw) {
      case 'C':
        for (std::size_t k = 0; k < kPlotDestinationCodes.size(); ++k)
          if (UpperStr(value) == kPlotDestinationCodes[k]) o.destination = static_cast<int>(k);
        break;
      case 'D':
        if (value == "1" || value == "2" || value == "3") o.outputInterface = value[0] - '1';
        break;
      case 'P':
        port = value;
        break;
      case 'F': {
        fileGiven = true;
        const std::size_t cut = value.find_last_of("/\\");
        o.outputDirectory = cut == std::string::npos ? std::string() : value.substr(0, cut + 1);
        break;
      }
      case 'M':
        o.scale = value == "*" ? "0" : value;
        break;
      case 'X':
        o.shiftX = value;
        break;
      case 'Y':
        o.shiftY = value;
        break;
      case 'B':
        o.textWidth = value;
        break;
      case 'R':
        o.rotate = true;
        break;
      case 'T':
        o.psFont = value;
        break;
      default:
        break;
    }
  }
  if (!port.empty()) (o.outputInterface == 0 ? o.comPort : o.lptPort) = port;
  if (o.outputInterface == 2 && !fileGiven) o.outputDirectory.clear();
  return o;
}

std::string PlotOptionsProblem(const TPlotProgramOptions& o) {
  const struct {
    const char* label;
    const std::string* text;
  } numbers[] = {{"scale", &o.scale},
                 {"reference point shifting x direction", &o.shiftX},
                 {"reference point shifting y direction", &o.shiftY},
                 {"Textwidth/height", &o.textWidth}};
  for (const auto& n : numbers)
    if (!IsNumberText(*n.text)) return n.label;
  return {};
}

std::string MakePlotCommandLine(const TPlotProgramOptions& o) {
  std::string line = Quoted(o.programPath) + " " + Quoted(PlotDxfName());
  const int destination = o.destination >= 0 && o.destination < 5 ? o.destination : 0;
  line += std::string(" /C") + kPlotDestinationCodes[static_cast<std::size_t>(destination)];
  const int i = o.outputInterface;
  if (i != 1) line += " /D" + std::to_string(i + 1);
  if (i == 0 || i == 1) {
    const std::int32_t port = StrToInteger(i == 0 ? o.comPort : o.lptPort);
    if (port != 1) line += " /P" + std::to_string(port);
  } else if (i == 2 && !IsBlank(o.outputDirectory)) {
    line += " " + Quoted("/F" + AddBackslash(o.outputDirectory) + "vectrix");
  }
  // A value that is no number is written as typed, never read as 0 ("fit limits" for the
  // scale): the dialog shows it and refuses it (PlotOptionsProblem).
  auto value = [](const std::string& text, long double neutral, const char* sw) -> std::string {
    if (IsNumberText(text) && StrToReal(text) == neutral) return {};
    return std::string(sw) + TrimStr(text);
  };
  if (IsNumberText(o.scale) && StrToReal(o.scale) == 0.0L) {
    line += " /M*";
  } else {
    line += value(o.scale, 1.0L, " /M");
  }
  line += value(o.shiftX, 0.0L, " /X");
  line += value(o.shiftY, 0.0L, " /Y");
  line += value(o.textWidth, 1.0L, " /B");
  if (o.rotate) line += " /R";
  if (destination == 1) line += " " + Quoted("/T" + o.psFont);
  return line;
}

void AskPlotCommandLine(std::string& line, bool wildcard) {
  std::string dxfName = wildcard ? std::string("*.dxf") : Quoted(PlotDxfName());

  // Directory of the program named on the current line.
  std::string directory;
  const std::vector<std::string> current = SplitArguments(line);
  if (current.size() > 1) {
    const std::string& program = current[0];
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

  // Folders, files and the font are asked as names: taken as typed, of any length, so that a
  // folder such as "prog Größe" is found as the file system spells it.
  for (;;) {
    HelpNumber = 2080;
    InputName("Program directory of " + programFile, 0, directory);
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
    InputName("file name or wildcard", 0, dxfName);
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
  if (outputInterface == 3) InputName("destination file name", 0, destinationFile);
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
  if (!AbortFlag && destination == 2) InputName("Postscript font", 0, font);
  if (AbortFlag) return;

  static constexpr const char* kCodes[] = {"HPL", "PS", "PLT", "PL2", "ART"};
  std::string composed = Quoted(AddBackslash(directory) + programFile) + " " + dxfName;
  composed += std::string(" /C") + kCodes[destination - 1];
  if (outputInterface != 2) composed += " /D" + std::to_string(outputInterface);
  if (outputInterface != 3 && port != 1) composed += " /P" + std::to_string(port);
  if (outputInterface == 3 && !IsBlank(destinationFile)) {
    composed += " " + Quoted("/F" + destinationFile);
  }
  if (scale != 1.0) composed += scale == 0.0 ? std::string(" /M*") : " /M" + RealStr(scale);
  if (shiftX != 0.0) composed += " /X" + RealStr(shiftX);
  if (rotate) composed += " /R";
  if (shiftY != 0.0) composed += " /Y" + RealStr(shiftY);
  // The text width asked for travels on the line too, as the dialog writes it.
  if (textWidth != 1.0) composed += " /B" + RealStr(textWidth);
  if (destination == 2) composed += " " + Quoted("/T" + font);

  if (!wildcard && composed.size() > kMaxCommandLine) {
    NoteMessage("command line too long, A batch file will be created.");
    std::string name;
    for (;;) {
      HelpNumber = 2170;
      InputName("batch file name (without .bat)", 0, name);
      if (AbortFlag) return;
      if (name.find('.') != std::string::npos || IsBlank(name)) continue;
      // Kept with the drawing it plots; a file of that name is replaced only when agreed.
      const std::string fileName = HandOffDir() + TrimStr(name) + ".sh";
      CheckOverwrite(fileName);
      if (AbortFlag) {
        AbortFlag = false;
        continue;
      }
      if (platform::WriteWholeFile(fileName, composed + "\n") != 0) {
        ErrorMessageIfEnabled("file " + NameText(fileName) + " cannot be created");
        continue;
      }
      composed = Quoted(fileName);
      break;
    }
  }
  line = composed;
}

std::vector<std::string> PlotCommandArguments(std::string_view line) {
  std::vector<std::string> args = SplitArguments(line);
  if (args.size() == 1 && (EndsWithNoCase(args[0], ".sh") || EndsWithNoCase(args[0], ".bat"))) {
    // The script holds the line; its words are the arguments, no shell reads it.
    std::ifstream in(args[0], std::ios::binary);
    std::string held;
    if (in && std::getline(in, held)) {
      while (!held.empty() && (held.back() == '\r' || held.back() == '\n')) held.pop_back();
      return SplitArguments(PlotLineForDriverFile(held));
    }
  }
  return args;
}

int StartPlotProgram(std::string_view line) {
  std::vector<std::string> args = PlotCommandArguments(PlotLineForDriverFile(line));
  if (args.empty()) return ENOENT;
  // A scale of 1 is no scale switch (the stored default line still carries "/M1.0").
  for (std::size_t i = args.size(); i-- > 2;) {
    const std::string& a = args[i];
    if (a.size() > 2 && a[0] == '/' && std::toupper(static_cast<unsigned char>(a[1])) == 'M' &&
        IsNumberText(a.substr(2)) && StrToReal(a.substr(2)) == 1.0L)
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
  }
  return platform::StartDetached(args);
}

void InstallPlotProgramDialog(TPlotProgramDialog dialog) {
  gDialog = dialog;
}

TPlotProgramDialog InstalledPlotProgramDialog() {
  return gDialog;
}
