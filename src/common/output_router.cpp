// The result output router: devices, opening and closing, the raw writes and the hooks.
#include "common/output_router.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "platform/file_writer.h"
#include "platform/process.h"

TOutputState OutputState;

namespace {

TShowTextFileHook& ShowHook() {
  static TShowTextFileHook hook;
  return hook;
}
TPrintTextFileHook& PrintHook() {
  static TPrintTextFileHook hook;
  return hook;
}
std::string& PortOverride() {
  static std::string name;
  return name;
}

const char* const kDeviceCaptions[7] = {
    "Screen",   "Text printer", "File", "Windows printer", "external word processor",
    "TXT File", "HTML File"};

bool IsCharacterDevice(const std::string& name) {
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

std::string ReadWholeFile(const std::string& name) {
  TTextFile file;
  file.Assign(name);
  std::string all;
  if (file.Reset() != kIoOk) return all;
  std::string line;
  while (!file.Eof()) {
    if (file.ReadLine(line) != kIoOk) break;
    all += line;
    all += '\n';
  }
  file.Close();
  return all;
}

// The display copy of a listing: every line converted from the DOS code page (unless the listing
// is UTF-8 already), written in one piece. Failures set AbortFlag.
void CopyListingForDisplay(const std::string& source, const std::string& target,
                           bool utf8 = false) {
  TTextFile in;
  in.Assign(source);
  if (in.Reset() != kIoOk) {
    AbortFlag = true;
    return;
  }
  TTextFile out;
  out.Assign(target);
  if (out.Rewrite() != kIoOk) {
    in.Close();
    AbortFlag = true;
    return;
  }
  std::string line;
  bool failed = false;
  do {
    if (in.ReadLine(line) != kIoOk && !in.Eof()) {
      failed = true;
      break;
    }
    if (out.WriteLine(utf8 ? line : DosToWin(line)) != kIoOk) failed = true;
  } while (!in.Eof() && !failed);
  in.Close();
  if (failed) {
    out.Abandon();
    AbortFlag = true;
    return;
  }
  if (out.Close() != kIoOk) AbortFlag = true;
}

std::string OutwinName() {
  return OutputTempDirectory() + "outwin.txt";
}

// While an output file is named, the data file's name takes the folder-and-base-name form, so
// that a save dialog proposes the kept name and a command-line file's archive rule (which
// guards the data file, not its exports) stays out of the way.
void SaveNameSettings(const char* extension) {
  auto& st = OutputState;
  st.savedExtension = ProgramIdentity.shortName;
  st.savedFileName = CurrentFileName;
  st.savedDataDirectory = DataDirectory;
  st.savedFromCommandLine = ProgramSettings.FileFromCommandLine;
  const TDataFilePlace place = DataFilePlace();
  DataDirectory = place.directory;
  if (!TrimStr(CurrentFileName).empty()) CurrentFileName = place.baseName;
  ProgramSettings.FileFromCommandLine = false;
  ProgramIdentity.shortName = extension;
}

void RestoreNameSettings() {
  ProgramIdentity.shortName = OutputState.savedExtension;
  CurrentFileName = OutputState.savedFileName;
  DataDirectory = OutputState.savedDataDirectory;
  ProgramSettings.FileFromCommandLine = OutputState.savedFromCommandLine;
}

// Creates the file once as a check that it can be written, then closes it again.
void ProbeOutputFile() {
  AssignText(GlobalTextFile, OutputState.OutputFileName);
  CheckWriteResult(GlobalTextFile);
  if (AbortFlag) return;
  CloseText(GlobalTextFile);
}

void OpenTextPrinter() {
  int port = ProgramSettings.PrinterInterface;
  std::string name = PortOverride();
  OutputState.printerQueueFile.clear();
  if (name.empty()) {
    std::string device = "/dev/lp" + IntStr(std::max(port, 1) - 1);
    if (IsCharacterDevice(device)) {
      name = device;
    } else {
      name = OutputTempDirectory() + "LPT" + IntStr(port) + ".TMP";
      OutputState.printerQueueFile = name;
    }
  }
  OutputState.OutputFileName = name;
  AssignText(GlobalTextFile, name);
  SetInputHelpNumber(1060);
  OutputState.singlePage = AskYesNo("single page printing ?");
  if (AbortFlag) return;
  OutputState.portPrefixFile = FileExistsIO("TEXT.TVP") ? "TEXT.TVP" : "";
}

// Sends the printer's set-up file ahead of the first line written to the port.
void SendPortPrefix() {
  if (OutputState.portPrefixFile.empty()) return;
  std::string name = std::exchange(OutputState.portPrefixFile, std::string());
  FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) return;
  std::string bytes;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  WriteStrPart(bytes);
}

// Without the program the message names the file that was kept for it.
bool StartOutsideProgram(const std::string& configured, const std::string& file) {
  std::string program = ResolveOutsideProgram(configured);
  int rc = -1;
  if (!program.empty()) {
    CursorWait();
    rc = platform::StartDetached({program, file});
  }
  if (rc != 0)
    ErrorMessageIfEnabled(NameText(configured) + " not found" + "\n" + "saved as " +
                          NameText(file));
  return rc == 0;
}

// Puts the true page total into the page titles of a finished paper listing.
void CorrectPageTotals(const std::string& name) {
  auto& st = OutputState;
  if (st.pageTotal <= 0 || st.pageCounter == st.pageTotal || st.titleLines.empty()) return;
  std::string text;
  {
    FILE* f = std::fopen(name.c_str(), "rb");
    if (f == nullptr) return;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(i + 1);
  const std::string oldTotal = "/" + IntStrW(st.pageTotal, 2);
  const std::string newTotal = "/" + IntStrW(st.pageCounter, 2);
  // From the last title backwards, so that earlier offsets stay valid.
  for (auto it = st.titleLines.rbegin(); it != st.titleLines.rend(); ++it) {
    if (*it < 0 || static_cast<std::size_t>(*it) >= starts.size()) continue;
    const std::size_t begin = starts[static_cast<std::size_t>(*it)];
    const std::size_t end = text.find('\n', begin);
    const std::size_t at = text.substr(begin, end - begin).rfind(oldTotal);
    if (at == std::string::npos) continue;
    text.replace(begin + at, oldTotal.size(), newTotal);
  }
  platform::FileWriter out;
  if (out.Open(name, platform::FileWriter::Mode::Replace, false) != 0) return;
  if (out.Write(text) == 0) out.Commit();
}

void EraseFile(const std::string& name) {
  std::remove(name.c_str());
}

}  // namespace

// ---------------------------------------------------------------------------------------------

void InitOutputState() {
  OutputState = TOutputState();
}

bool IsTabDevice(int device) {
  return device == kDeviceTxtFile || device == kDeviceDataTxt;
}
bool IsHtmlDevice(int device) {
  return device == kDeviceHtml;
}
bool IsPaperDevice(int device) {
  return (device >= 0 && device <= kDeviceWordProcessor) || device == kDeviceDosFile;
}
bool WritesUtf8(int device) {
  return device == kDeviceFile || IsTabDevice(device) || IsHtmlDevice(device);
}

std::string ExportFileName(std::string_view ext) {
  return KeptFileStem() + "." + std::string(ext);
}

void ReportSetHeader(std::string_view title, std::string_view line1, std::string_view line2,
                     std::string_view line3, std::string_view line4, std::int32_t pageTotal) {
  auto& st = OutputState;
  st.reportTitle = title.empty() ? ProgramIdentity.caption + "  V" + ProgramIdentity.version
                                 : std::string(title);
  st.headerLines[1] = line1;
  st.headerLines[2] = line2;
  st.headerLines[3] = line3;
  st.headerLines[4] = line4;
  st.pageTotal = pageTotal;
  st.pageCounter = 0;
  st.lineCounter = 0;
  st.bodyLines = 0;
}

void ReportColumnsReset() {
  auto& st = OutputState;
  st.symbolColumn = 35;
  st.unitColumn = 44;
  st.part1Column = 51;
  st.part2Column = 62;
  st.singleValueColumn = 56;
}

void ReportSetColumns(std::string_view textTitle, std::string_view symbolTitle,
                      std::string_view unitTitle, std::string_view part1Title,
                      std::string_view part2Title) {
  ReportColumnsReset();
  auto& t = OutputState.columnTitles;
  t[1] = textTitle;
  t[2] = symbolTitle;
  t[3] = unitTitle;
  t[4] = part1Title;
  t[5] = part2Title;
}

std::string OutputTempDirectory() {
  std::string dir = PrivateTempDir();
  if (dir.empty()) dir = AddBackslash(ProgramSettings.tempDirectory);
  return dir;
}

void CreateTempOutput(std::string& name) {
  const std::string dir = OutputTempDirectory();
  for (int n = 1; n <= 11; ++n) {
    name = dir + "$OUT" + IntStr(n) + ".TMP";
    if (FileExistsIO(name)) continue;  // in use by an open viewer
    FILE* f = std::fopen(name.c_str(), "wx");
    if (f != nullptr) {
      std::fclose(f);
      break;
    }
  }
  OutputState.OutputFileName = name;
}

void OutputOpen(int code) {
  for (int i = 0; i < 7; ++i) ScreenLines[i + 1] = kDeviceCaptions[i];
  if (code == kOutputCaptionsOnly) return;
  auto& st = OutputState;
  st.CurrentOutputDevice = ConfigVariables.OutputDevice;
  SetInputHelpNumber(1050);
  if (code == 0) {
    if (ConfigVariables.AskOutputDevice) {
      int choice = st.CurrentOutputDevice;
      InputCode("Device", 7, choice);
      if (AbortFlag) return;
      st.CurrentOutputDevice = static_cast<std::uint16_t>(choice);
    }
  } else {
    st.CurrentOutputDevice = static_cast<std::uint16_t>(code);
  }
  st.htmlTableOpen = false;
  st.portPrefixFile.clear();
  st.browserExtension = false;
  const bool ask = ConfigVariables.AskOutputDevice;
  switch (st.CurrentOutputDevice) {
    case 0:
    case kDeviceScreen:
    case kDevicePrinter:
    case kDeviceWordProcessor: {
      st.singlePage = false;
      std::string name;
      CreateTempOutput(name);
      ProbeOutputFile();
      if (AbortFlag) return;
      break;
    }
    case kDeviceTextPrinter:
      OpenTextPrinter();
      if (AbortFlag) return;
      break;
    case kDeviceFile: {
      st.singlePage = false;
      SetInputHelpNumber(1070);
      SaveNameSettings("txt");
      std::string name;
      // The save dialog also confirms overwriting and proves the name can be written.
      SaveAsFileName("", name);
      RestoreNameSettings();
      if (AbortFlag) return;
      st.OutputFileName = name;
      AssignText(GlobalTextFile, name);
      break;
    }
    case kDeviceTxtFile:
    case kDeviceDataTxt: {
      SetInputHelpNumber(1070);
      SaveNameSettings("txt");
      std::string name;
      // The export is written where it is kept: beside the data file and named after it (the
      // batch run's listing, device 9, replaces its last one), or where the user chose
      // (device 6).
      if (st.CurrentOutputDevice == kDeviceDataTxt) {
        name = ExportFileName("txt");
      } else if (!st.exportTarget.empty()) {
        name = st.exportTarget;
      } else if (!ask) {
        name = ExportFileName("txt");
        CheckOverwrite(name);
      } else {
        SaveAsFileName("", name);
      }
      RestoreNameSettings();
      if (AbortFlag) return;
      st.OutputFileName = name;
      AssignText(GlobalTextFile, name);
      break;
    }
    case kDeviceHtml: {
      SetInputHelpNumber(1070);
      SaveNameSettings("htm");
      if (!ConfigVariables.HtmlBrowserPath.empty()) {
        // The program's own page, replaced without asking; it outlives the run, so that the
        // browser can load it again.
        st.OutputFileName = HandOffDir() + ProgramIdentity.fileStem + ".htm";
        st.browserExtension = true;
        // The names are back at once; only the extension waits for the close.
        RestoreNameSettings();
        ProgramIdentity.shortName = "htm";
      } else {
        std::string name;
        SaveAsFileName("", name);
        RestoreNameSettings();
        if (AbortFlag) return;
        st.OutputFileName = name;
      }
      AssignText(GlobalTextFile, st.OutputFileName);
      break;
    }
    case kDeviceDosFile:
      st.singlePage = false;
      st.OutputFileName = OutputTempDirectory() + "OUTDOS.TXT";
      ProbeOutputFile();
      if (AbortFlag) return;
      break;
    default:
      // No such device: nothing is opened, and the writer must not write to whatever file the
      // shared channel was last assigned to.
      AbortFlag = true;
      return;
  }
  st.pageCounter = 0;
  st.lineCounter = 0;
  st.bodyLines = 0;
  st.linesWritten = 0;
  st.titleLines.clear();
  st.keptFileName.clear();
}

void OutputRewrite() {
  CheckWriteResult(GlobalTextFile);
}

namespace {

// A line as the current device takes it: UTF-8 for the UTF-8 files; the DOS listing file and
// the printer port know only the code page; the screen's and the printer's scratch files keep
// names wrapped for their display conversion.
std::string DeviceText(std::string_view text) {
  const int device = OutputState.CurrentOutputDevice;
  if (WritesUtf8(device)) return DosToWin(text);
  if (device == kDeviceDosFile || device == kDeviceTextPrinter) return NamesToCp850(text);
  return std::string(text);
}

}  // namespace

void OutputWrite(std::string_view text) {
  SendPortPrefix();
  ++OutputState.linesWritten;
  WriteLineStr(DeviceText(text));
}

void OutputWriteChars(std::string_view text) {
  SendPortPrefix();
  WriteStrPart(DeviceText(text));
}

void AskInsertPaper() {
  if (!OutputState.singlePage) return;
  if (!AskYesNo("Insert paper.  Continue ?")) AbortFlag = true;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void OutputClose() {
  auto& st = OutputState;
  const int device = st.CurrentOutputDevice;
  if ((device == kDeviceScreen || device == kDeviceTextPrinter || device == kDevicePrinter) &&
      st.lineCounter > 0 && (ConfigVariables.ReportHeaderMode == 2 || CompressedLayout())) {
    OutputWriteChars("\f");
  }
  if (IsHtmlDevice(device)) {
    HtmlTableClose();
    OutputWrite("</BODY>");
    OutputWrite("</HTML>");
  }
  bool writeFailed = AbortFlag;
  if (writeFailed && GlobalTextFile.IsOpenForOutput()) {
    // A listing whose writes failed must not replace an older file of the same name.
    AbandonText(GlobalTextFile);
  } else {
    CloseText(GlobalTextFile);
  }
  writeFailed = writeFailed || AbortFlag;
  const std::string& name = st.OutputFileName;
  if (!writeFailed && IsPaperDevice(device)) {
    CorrectPageTotals(device == kDeviceTextPrinter ? st.printerQueueFile : name);
  }
  switch (device) {
    case kDeviceScreen:
      if (!writeFailed) {
        CopyListingForDisplay(name, OutwinName());
        if (ShowHook()) {
          ShowHook()(OutwinName(), name);
        } else {
          ShowLongText(ReadWholeFile(name));
        }
      }
      EraseFile(name);
      break;
    case kDeviceTextPrinter:
      if (!writeFailed && !st.printerQueueFile.empty()) {
        int exitCode = 0;
        std::vector<std::string> command = PrintQueueCommand(ProgramSettings.PrinterInterface);
        command.push_back(st.printerQueueFile);
        int rc = platform::RunAndWait(command, exitCode);
        if (rc != 0 || exitCode != 0) {
          ErrorMessageIfEnabled("LPT" + IntStr(ProgramSettings.PrinterInterface) + " not found");
          AbortFlag = true;
        }
      }
      if (!st.printerQueueFile.empty()) EraseFile(st.printerQueueFile);
      break;
    case kDeviceFile:
    case kDeviceDosFile:
      if (!writeFailed) CopyListingForDisplay(name, OutwinName(), WritesUtf8(device));
      MessagesEnabled = true;
      break;
    case kDevicePrinter:
      if (!writeFailed) {
        if (PrintHook()) {
          PrintHook()(name);
        } else {
          ErrorMessageIfEnabled("No printer available");
          AbortFlag = true;
        }
      }
      EraseFile(name);
      break;
    case kDeviceWordProcessor:
      if (!writeFailed) {
        // The copy outlives the run: the word processor may open it late, and without one the
        // message names it.
        CursorWait();
        const std::string copy = HandOffDir() + "outwin.txt";
        CopyListingForDisplay(name, copy);
        if (!AbortFlag) StartOutsideProgram(ConfigVariables.WordProcessorPath, copy);
      }
      break;
    case kDeviceTxtFile:
      if (!writeFailed) {
        ++ProgramSettings.ExportFileCounter;
        if (st.exportTarget.empty()) {
          st.keptFileName = name;
          InfoMessage("saved as " + NameText(name));
        }
      }
      break;
    case kDeviceDataTxt:
      if (!writeFailed) {
        ++ProgramSettings.ExportFileCounter;
        st.keptFileName = name;
      }
      break;
    case kDeviceHtml:
      if (!writeFailed) st.keptFileName = name;
      if (st.browserExtension) {
        if (!writeFailed) StartOutsideProgram(ConfigVariables.HtmlBrowserPath, name);
        ProgramIdentity.shortName = st.savedExtension;
        st.browserExtension = false;
      }
      break;
    default:
      break;
  }
  CursorArrow();
}

void InstallShowTextFileHook(TShowTextFileHook hook) {
  ShowHook() = std::move(hook);
}
void InstallPrintTextFileHook(TPrintTextFileHook hook) {
  PrintHook() = std::move(hook);
}
void SetPrinterPortOverride(std::string_view fileName) {
  PortOverride() = fileName;
}

std::string OutsideProgramSought(std::string_view configuredPath) {
  std::string path = TrimStr(configuredPath);
  if (path.empty()) return {};
  const bool windowsPath =
      path.find('\\') != std::string::npos || (path.size() >= 2 && path[1] == ':');
  std::string base = path;
  std::size_t cut = base.find_last_of("\\/");
  if (cut != std::string::npos) base = base.substr(cut + 1);
  base = LowerStr(ExtractBaseName(base));
  if (windowsPath || base == "notepad" || base == "write" || base == "mspaint") return "xdg-open";
  return path;
}

std::string ResolveOutsideProgram(std::string_view configuredPath) {
  const std::string sought = OutsideProgramSought(configuredPath);
  if (sought.empty()) return {};
  return platform::FindProgram(sought);
}
