// The configuration file: one list of items walked by both the reader and the writer, so the
// two always agree on order and format.
#include "common/config_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/changed_on_disk.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/text_file.h"

TScreenMetrics ScreenMetrics;

namespace {

// What a factor, a scale or an angle of the configuration can sensibly be.
constexpr long double kMinFactor = 0.01L;
constexpr long double kMaxFactor = 100.0L;
constexpr double kMinScale = 0.0001;
constexpr double kMaxScale = 1000.0;
constexpr long double kMaxAngle = 1000.0L;

// One direction of the configuration file. Each transfer returns true when the value was
// written, or read from a line that exists; once the file has ended every read returns false.
class ConfigIo {
 public:
  explicit ConfigIo(bool reading) : reading_(reading) {}
  bool Reading() const { return reading_; }
  bool Ended() const { return ended_; }

  bool Label(const std::string& label) {
    if (!reading_) {
      WriteLineStr(label);
      return true;
    }
    if (!pendingLabel_.empty()) {
      // Read already by a list that ends at this label.
      const bool match = pendingLabel_ == label;
      pendingLabel_.clear();
      if (match) return true;
    }
    if (!HaveLine()) return false;
    std::string ignored;
    ReadLineStr(ignored);
    return true;
  }
  // A name of a file, folder or program: kept in UTF-8; one written before that in CP850 is
  // converted once.
  bool Name(std::string& value) {
    const bool held = Str(value);
    if (held && reading_) value = NameFromFile(value);
    return held;
  }
  bool Str(std::string& value) {
    if (!reading_) {
      WriteLineStr(value);
      return true;
    }
    if (!HaveLine()) return false;
    // A line that cannot be read leaves the entry as it was.
    std::string line;
    if (GlobalTextFile.ReadLine(line) == kIoOk) {
      value = std::move(line);
    } else {
      AbortFlag = true;
    }
    return true;
  }
  template <typename T>
  bool Int(T& value) {
    if (!reading_) {
      WriteLineInt(static_cast<std::int64_t>(value));
      return true;
    }
    if (!HaveLine()) return false;
    std::int32_t v = 0;
    std::string bad;
    // A line that is no number keeps the entry's value (its default at start) and is named.
    if (ReadLineIntChecked(GlobalTextFile, v, bad)) {
      value = static_cast<T>(v);
    } else if (!AbortFlag) {
      ErrorMessageIfEnabled(NotANumberText(kWhat, GlobalTextFile, bad));
    }
    return true;
  }
  bool Real(long double& value) {
    if (!reading_) {
      WriteLineReal(value);
      return true;
    }
    if (!HaveLine()) return false;
    std::string bad;
    if (!ReadLineRealChecked(GlobalTextFile, value, bad) && !AbortFlag) {
      ErrorMessageIfEnabled(NotANumberText(kWhat, GlobalTextFile, bad));
    }
    return true;
  }
  // A real that only means something within lo to hi: outside (0 included, where lo is above
  // it), it reads as its fallback and is written as the fallback, so no absurd value travels
  // and no line grows wider than a number of that size.
  bool Real(long double& value, long double lo, long double hi, long double fallback,
            bool shortForm = false) {
    if (!reading_) {
      const long double v = (value >= lo && value <= hi) ? value : fallback;
      if (shortForm) {
        WriteLineStr(StoredRealStr(0, v));
      } else {
        WriteLineReal(v);
      }
      return true;
    }
    if (!Real(value)) return false;
    if (!(value >= lo && value <= hi)) value = fallback;
    return true;
  }
  bool Double(double& value, double lo, double hi, double fallback) {
    long double v = value;
    if (!Real(v, lo, hi, fallback)) return false;
    value = static_cast<double>(v);
    return true;
  }
  // A real written as its shortest text (3 significant digits or fewer for the usual
  // values), never rounded, so that what is read back is what was set.
  bool ShortReal(long double& value, long double lo, long double hi, long double fallback) {
    return Real(value, lo, hi, fallback, true);
  }
  // Lines up to the next label: the lines of a list whose count line may be wrong. The label
  // is kept for the Label call that follows, so every later entry stays under its own label.
  std::vector<std::string> LinesUpTo(const std::string& nextLabel) {
    std::vector<std::string> lines;
    std::string line;
    while (HaveLine()) {
      ReadLineStr(line);
      if (AbortFlag) break;
      if (line == nextLabel) {
        pendingLabel_ = line;
        break;
      }
      lines.push_back(line);
    }
    return lines;
  }
  bool Bool(bool& value) {
    if (!reading_) {
      WriteLineBool(value);
      return true;
    }
    if (!HaveLine()) return false;
    ReadLineBoolTrue(value);
    return true;
  }
  // Read as false only for "FALSE".
  bool BoolFalse(bool& value) {
    if (!reading_) {
      WriteLineBool(value);
      return true;
    }
    if (!HaveLine()) return false;
    ReadLineBoolFalse(value);
    return true;
  }
  bool Char(char& value) {
    if (!reading_) {
      WriteLineStr(value == '\0' ? std::string() : std::string(1, value));
      return true;
    }
    if (!HaveLine()) return false;
    ReadLineChar(value);
    return true;
  }

 private:
  bool HaveLine() {
    if (ended_) return false;
    if (GlobalTextFile.Eof()) ended_ = true;
    return !ended_;
  }

  static constexpr char kWhat[] = "configuration file";
  bool reading_;
  bool ended_ = false;
  std::string pendingLabel_;
};

void ApplyScreenSizeDefaults() {
  auto& s = ProgramSettings;
  if (s.ScreenWidth == 0 || s.ScreenWidth == 65535) {
    s.ScreenWidth = static_cast<std::uint16_t>(ScreenMetrics.width - 9);
  }
  if (s.ScreenHeight == 0 || s.ScreenHeight == 65535) {
    s.ScreenHeight = static_cast<std::uint16_t>(ScreenMetrics.height - 91);
  }
}

// Items 1 to 32, up to "Layer Monochrome".
void LeadingItems(ConfigIo& io) {
  auto& ps = ProgramSettings;
  auto& plot = PlotSettings;
  auto& gv = GraphicsVariables;
  const bool rd = io.Reading();

  for (int k = 1; k <= 5; ++k) {
    io.Label("Layer");
    io.Str(plot.DxfLayerNames[k]);
    io.Label("Colour");
    io.Int(plot.LayerColours[k]);
  }
  io.Label("Text font CAD");
  io.Str(plot.cadTextFont);
  io.Label("Textwidth/height CAD");
  io.ShortReal(plot.cadTextWidthRatio, kMinFactor, kMaxFactor, 1.0L);
  io.Label("Font angle");
  io.ShortReal(plot.cadFontAngle, -360.0L, 360.0L, 0.0L);
  io.Label("CAD Directory");
  io.Name(ps.cadDirectory);
  io.Label("DBF Directory");
  io.Name(ps.dbfDirectory);
  io.Label("Help level");
  io.Int(ps.HelpLevel);
  io.Label("Printer interface");
  if (io.Int(ps.PrinterInterface) && rd && ps.PrinterInterface == 0) ps.PrinterInterface = 1;
  io.Label("Printer type");
  io.Int(ps.printerType);
  io.Label("Printing density");
  io.Int(ps.printDensity);
  io.Label("Rotate Hardcopy ?");
  if (io.Char(ps.rotateHardcopy) && rd && ps.rotateHardcopy == '\0') ps.rotateHardcopy = 'N';
  io.Label("Digits for floating point numbers");
  if (io.Int(ps.FloatDigits) && rd && (ps.FloatDigits <= 0 || ps.FloatDigits > 9)) {
    ps.FloatDigits = 3;
  }
  io.Label("Printing density vertical");
  if (io.Int(ps.printDensityVertical) && rd &&
      (ps.printDensityVertical == 0 || ps.printDensityVertical > 4)) {
    ps.printDensityVertical = 1;
  }
  io.Label("Color graphics");
  io.Bool(ps.ColourOutputFlag);
  io.Label("X-Factor for graphic extension");
  if (rd && !io.Ended()) gv.GraphicExtensionFactor = 1.0L;
  io.ShortReal(gv.GraphicExtensionFactor, kMinFactor, kMaxFactor, 1.0L);
  io.Label("Graph mode");
  io.Int(ps.graphMode);
  io.Label("Graph driver");
  io.Int(ps.graphDriver);
  io.Label("Horizontal Pixels");
  io.Int(ps.ScreenWidth);
  io.Label("Vertical Pixels");
  io.Int(ps.ScreenHeight);
  io.Label("temporary directory");
  io.Name(ps.tempDirectory);
  io.Label("printer interface for hardcopy");
  if (io.Int(ps.hardcopyInterface) && rd && ps.hardcopyInterface == 0) ps.hardcopyInterface = 1;
  io.Label("EDI Directory");
  io.Name(ps.ediDirectory);
  io.Label("PLT Directory");
  io.Name(ps.pltDirectory);
  io.Label("Display mode for printout 1:* 2:-");
  if (io.Int(ps.ReportLineType) && rd && ps.ReportLineType == 0) ps.ReportLineType = 1;
  io.Label("Lines per page for printer");
  if (io.Int(ps.LinesPerPage) && rd && ps.LinesPerPage < 5) ps.LinesPerPage = 66;
  io.Label("zoom increment");
  // A factor at or below 0 would mirror the picture on every zoom; a step beyond the window
  // would jump out of the picture.
  io.Real(gv.ZoomFactor, kMinFactor, kMaxFactor, 1.02L);
  io.Label("pan faktor");
  io.Real(gv.PanStep, 0.001L, 1.0L, 0.01L);
  io.Label("TARVENO directory");
  io.Name(ps.tarvenoDirectory);
  io.Label("VECTRIX command line");
  std::string firstPlotLine = plot.PlotCommandLines.lines[1];
  if (io.Name(firstPlotLine) && rd && !firstPlotLine.empty()) {
    plot.PlotCommandLines.lines[1] = firstPlotLine;
  }
  io.Label("background colour");
  io.Int(gv.BackgroundColour);
  io.Label("Windows print mode (1=mono 2=color)");
  if (io.Int(ps.WindowsPrintMode) && rd && ps.WindowsPrintMode == 0) ps.WindowsPrintMode = 1;
  io.Label("Layer Monochrome");
  io.Bool(plot.layerMonochrome);
}

void TrailingItems(ConfigIo& io) {
  auto& ps = ProgramSettings;
  auto& cv = ConfigVariables;
  auto& plot = PlotSettings;
  auto& gv = GraphicsVariables;
  auto& pr = PrintSettings;
  auto& v3 = ViewSettings3D;
  const bool rd = io.Reading();

  io.Label("Textwidth/height Graphics");
  io.Real(gv.TextWidthRatio, kMinFactor, kMaxFactor, 0.8L);
  io.Label("Text font Graphics");
  io.Str(gv.GraphicsFont);
  for (int layer = 16; layer <= 31; ++layer) {
    io.Label("Color Layer " + IntStr(layer));
    if (io.Int(plot.PenNumbers[layer]) && rd && plot.PenNumbers[layer] == 0) {
      plot.PenNumbers[layer] = 1;
    }
  }
  io.Label("word processor");
  io.Name(cv.WordProcessorPath);
  io.Label("Database mode");
  io.Int(cv.databaseMode);
  io.Label("external database");
  io.Name(cv.externalDatabase);
  io.Label("Windows Screendump Origin X");
  io.Int(pr.ScreendumpOriginX);
  io.Label("Windows Screendump Origin Y");
  io.Int(pr.ScreendumpOriginY);
  io.Label("Windows Screendump Scale");
  // Outside its range the scale reads as 0, which the correction makes 1 for both scales.
  if (io.Double(pr.ScreendumpScale, kMinScale, kMaxScale, 0.0) && rd && pr.ScreendumpScale == 0) {
    pr.ScreendumpScale = 1.0;
    pr.PrintScaleVertical = 1.0;
  }
  io.Label("Windows Screendump Border ?");
  io.Bool(pr.ScreendumpBorder);
  io.Label("VECTRIX Command lines (n, line 2 .. line n)");
  auto& pcl = plot.PlotCommandLines;
  if (!rd) {
    io.Int(pcl.count);
    for (int i = 2; i <= pcl.count; ++i) io.Name(pcl.lines[i]);
  } else if (io.Int(pcl.count)) {
    // The count is what the file holds up to the next label, whatever its count line says.
    const std::vector<std::string> held = io.LinesUpTo("Archive Flag ?");
    const int count = std::min<int>(static_cast<int>(held.size()) + 1, kPlotCommandLineCount);
    for (int i = 2; i <= count; ++i)
      pcl.lines[i] = NameFromFile(held[static_cast<std::size_t>(i - 2)]);
    pcl.count = static_cast<std::uint16_t>(count);
  }
  io.Label("Archive Flag ?");
  io.Bool(ps.ArchiveFlag);
  io.Label("Date Code");
  // Style 4 (day/month/year) is one of the date styles and must survive a restart.
  if (io.Int(cv.DateStyle) && rd && (cv.DateStyle < 1 || cv.DateStyle > 4)) cv.DateStyle = 1;
  io.Label("Header Space Lines");
  if (io.Int(cv.HeaderSpaceLines) && rd && (cv.HeaderSpaceLines < 0 || cv.HeaderSpaceLines > 30)) {
    cv.HeaderSpaceLines = 0;
  }
  io.Label("Text Device");
  if (io.Int(cv.OutputDevice) && rd && (cv.OutputDevice < 1 || cv.OutputDevice > 9)) {
    cv.OutputDevice = 1;
  }
  io.Label("Text Device Window ?");
  io.Bool(cv.AskOutputDevice);
  io.Label("Small Online Window ?");
  io.Bool(cv.smallOnlineWindow);
  io.Label("Enter Diagram Limits ?");
  io.Bool(cv.enterDiagramLimits);
  io.Label("Dot=1 Komma=2");
  if (io.Int(cv.DecimalCommaMode) && rd && (cv.DecimalCommaMode < 1 || cv.DecimalCommaMode > 2)) {
    cv.DecimalCommaMode = 1;
  }
  io.Label("Default Data Directory");
  if (io.Name(cv.DefaultDataDirectory) && rd && TrimStr(cv.DefaultDataDirectory).empty()) {
    cv.DefaultDataDirectory = AddBackslash(ps.BaseDirectory);
  }
  io.Label("Text Height Factor");
  io.Real(gv.TextHeightFactor, 0.1L, kMaxFactor, 1.0L);
  io.Label("Input Window Scale %");
  if (io.Int(cv.DialogScalePercent) && rd &&
      (cv.DialogScalePercent < 10 || cv.DialogScalePercent > 1000)) {
    cv.DialogScalePercent = 100;
  }
  io.Label("HTML Browser");
  io.Name(cv.HtmlBrowserPath);
  io.Label("Print Scale Vertical");
  io.Double(pr.PrintScaleVertical, kMinScale, kMaxScale, pr.ScreendumpScale);
  io.Label("Line thickness Layer 0..5");
  for (int layer = 0; layer <= 5; ++layer) {
    auto& w = plot.LayerLineWidths[layer];
    if (io.Int(w) && rd && (w < 1 || w > 255)) w = 1;
  }
  io.Label("Graphic Printout Dialog Box ?");
  io.Bool(pr.PrintDialogFlag);
  io.Label("Text window left/top/width/height");
  {
    auto& r = pr.TextWindowRect;
    std::string line =
        IntStr(r.left) + "|" + IntStr(r.top) + "|" + IntStr(r.width) + "|" + IntStr(r.height) + "|";
    if (io.Str(line) && rd) {
      std::string f[4];
      std::size_t start = 0;
      for (int i = 0; i < 4; ++i) {
        std::size_t bar = line.find('|', start);
        if (bar == std::string::npos) {
          f[i] = line.substr(std::min(start, line.size()));
          start = line.size();
        } else {
          f[i] = line.substr(start, bar - start);
          start = bar + 1;
        }
      }
      std::int32_t width = StrToInteger(f[2]);
      std::int32_t height = StrToInteger(f[3]);
      if (width != 0 && height != 0) {
        r = {StrToInteger(f[0]), StrToInteger(f[1]), width, height};
      }
    }
  }
  io.Label("Metric Units=0,  English units=1");
  io.Int(cv.UnitSystem);
  io.Label("printout with header=1, header page 1 only=2");
  if (io.Int(cv.ReportHeaderMode) && rd && (cv.ReportHeaderMode < 1 || cv.ReportHeaderMode > 2)) {
    cv.ReportHeaderMode = 1;
  }
  io.Label("Text Font Printout");
  if (io.Str(pr.PrintoutFont) && rd && pr.PrintoutFont.empty()) pr.PrintoutFont = "Courier New";
  io.Label("Text Size Printout");
  if (io.Int(pr.PrintoutTextSize) && rd && pr.PrintoutTextSize == 0) pr.PrintoutTextSize = 10;
  io.Label("Text Style Printout");
  io.Int(pr.PrintoutTextStyle);
  io.Label("Text Style Graphics");
  io.Int(gv.GraphicsTextStyle);
  io.Label("Printer: Portrait=1, Landscape=2");
  io.Int(pr.PrintOrientation);
  io.Label("Edit 3D x,y,z ?");
  io.BoolFalse(v3.AskViewAngles3D);
  io.Label("3D - Default x,y,z");
  for (int i = 1; i <= 3; ++i) {
    io.Real(v3.ViewAngles3D[i], -kMaxAngle, kMaxAngle, v3.ViewAngles3D[i]);
  }
  io.Int(cv.ChangeIndexStyle);
  if (io.Int(cv.optionWordAfter3D) && rd && cv.optionWordAfter3D == 0) cv.optionWordAfter3D = 2;
  io.Str(plot.ReleaseRowLabel);
  io.Label("Decimals DXF,TXT");
  if (io.Int(plot.DxfDecimals) && rd && (plot.DxfDecimals < 1 || plot.DxfDecimals > 32)) {
    plot.DxfDecimals = 6;
  }
  io.Label("CAD Text Mode");
  if (io.Int(cv.CadTextMode) && rd && cv.CadTextMode == 0) cv.CadTextMode = 1;
  io.Label("pen width Layer 16..31");
  for (int layer = 16; layer <= 31; ++layer) io.Int(plot.PenWidths[layer]);
  io.Int(cv.CharMode);
  if (io.Int(cv.ContentScalePercent) && rd &&
      (cv.ContentScalePercent < 10 || cv.ContentScalePercent > 1000)) {
    cv.ContentScalePercent = 100;
  }
  if (io.Int(cv.tailOptionWord) && rd && (cv.tailOptionWord == 0 || cv.tailOptionWord > 2)) {
    cv.tailOptionWord = 2;
  }
  io.Real(plot.cadFactor, 1e-6L, 1e6L, 1.0L);
  io.Int(ps.unlabelledInteger);
  io.Int(cv.LanguageCode);
  io.Int(cv.ResultScreen);
  io.Bool(plot.HideMakerTitle);
  io.Bool(plot.HideFileName);
  io.Bool(plot.HideDateLine);
  io.Bool(plot.HideLogo);
  io.Bool(plot.HideFooterLine);
  io.Bool(plot.HideTitleBlock);
  io.Bool(cv.tailOptionFlag);
  if (io.Bool(cv.KeepLanguage) && rd && !cv.KeepLanguage) cv.LanguageCode = 0;
  io.Int(cv.TitleBlockKind);
  for (int c = 1; c <= 16; ++c) {
    TColourRef& entry = gv.ColourTable[static_cast<std::size_t>(c)];
    std::string text = IntStr(static_cast<long long>(entry));
    std::int32_t value = 0;
    // A written 0 is black and is taken; an empty, broken or negative value keeps the colour.
    if (io.Str(text) && rd && ReadsAsInteger(text, value) && value >= 0) {
      entry = static_cast<TColourRef>(value);
    }
  }
  bool negated = !v3.flatten3D;
  if (io.Bool(negated) && rd) v3.flatten3D = !negated;
}

void WalkItems(ConfigIo& io) {
  LeadingItems(io);
  if (io.Reading() && io.Ended()) return;
  if (io.Reading() && GlobalTextFile.Eof()) {
    // Files of older versions end after "Layer Monochrome": their graphics text used the CAD
    // text settings.
    GraphicsVariables.TextWidthRatio = PlotSettings.cadTextWidthRatio;
    GraphicsVariables.GraphicsFont = "Arial";
    return;
  }
  TrailingItems(io);
}

}  // namespace

std::string ConfigFileName() {
  return AddBackslash(ConfigVariables.ConfigDirectory) + ProgramIdentity.fileStem + ".cfg";
}

bool ReadConfigFile(const std::string& fileName) {
  AssignText(GlobalTextFile, fileName);
  if (GlobalTextFile.Reset() != kIoOk) return false;
  ConfigIo io(true);
  io.Label("header");
  io.Label("version");
  WalkItems(io);
  ApplyScreenSizeDefaults();
  if (GlobalTextFile.IoResult() != kIoOk && GlobalTextFile.IoResult() != kIoReadError) {
    // What was read before the damage is kept; the rest keeps its defaults.
    ErrorMessageIfEnabled("configuration file " + NameText(fileName) +
                          " incomplete or unreadable !");
  }
  CloseText(GlobalTextFile);
  RememberFileOnDisk(fileName);
  return true;
}

void ReadConfig() {
  const std::string stem = ProgramIdentity.fileStem;
  const std::string common = MakerCommonDirectory();
  const std::string candidates[3] = {ConfigFileName(), common + stem + ".cfg",
                                     common + stem + "/" + stem + ".cfg"};
  const std::string directories[3] = {ConfigVariables.ConfigDirectory, common, common + stem + "/"};
  for (int i = 0; i < 3; ++i) {
    if (!FileExistsIO(candidates[i])) continue;
    if (ReadConfigFile(candidates[i])) {
      ConfigVariables.ConfigDirectory = directories[i];
      return;
    }
  }
  ApplyScreenSizeDefaults();
  PrintSettings.TextWindowRect.height = ScreenMetrics.height - 80;
  const auto& m = ScreenMetrics;
  long double ratio = static_cast<long double>(m.mainWindowHeight) / (m.mainClientHeight + 46);
  ConfigVariables.DialogScalePercent = static_cast<std::int32_t>(
      std::lround((ratio + 0.009L) * (m.logicalPixelsPerInch / 96.0L) * 100.0L));
  AbortFlag = true;
}

void WriteConfigFile(const std::string& fileName) {
  if (!ConfirmOverwriteChangedFile(fileName)) return;
  AssignText(GlobalTextFile, fileName);
  RewriteChecked(GlobalTextFile);
  if (AbortFlag) return;
  WriteLineStr(ProgramIdentity.fileStem + " " + "Configuration");
  WriteLineStr("Version " + ProgramIdentity.version);
  ConfigIo io(false);
  LeadingItems(io);
  TrailingItems(io);
  if (AbortFlag) {
    AbandonText(GlobalTextFile);
    return;
  }
  CloseText(GlobalTextFile);
  if (!AbortFlag) RememberFileOnDisk(fileName);
}

void WriteConfig() {
  if (AbortFlag) return;
  WriteConfigFile(ConfigFileName());
}

void CheckConfigDirs() {
  auto& ps = ProgramSettings;
  auto& cv = ConfigVariables;
  const std::string base = AddBackslash(ps.BaseDirectory);
  // An empty temporary directory stays empty: the system's one ($TMPDIR, else /tmp) is meant.
  if (DelBlanks(ps.tempDirectory).empty()) ps.tempDirectory.clear();
  for (std::string* dir :
       {&ps.dbfDirectory, &ps.pltDirectory, &ps.ediDirectory, &cv.DefaultDataDirectory}) {
    if (DelBlanks(*dir).empty()) *dir = base;
  }
  if (!CheckDirWritable(ps.cadDirectory)) ErrorMessageIfEnabled("invalid CAD Directory configured");
  if (!DirHasEntries(ps.dbfDirectory)) ErrorMessageIfEnabled("invalid DBF Directory configured");
  if (!DirHasEntries(ps.pltDirectory)) ErrorMessageIfEnabled("invalid PLT Directory configured");
  if (!ps.tempDirectory.empty() && !CheckDirWritable(ps.tempDirectory)) {
    ErrorMessageIfEnabled("invalid temporary directory configured");
    InputName("temporary directory", 60, ps.tempDirectory);
  }
  if (!CheckDirWritable(ps.ediDirectory)) ErrorMessageIfEnabled("invalid EDI Directory configured");
  if (!CheckDirWritable(cv.DefaultDataDirectory)) {
    ErrorMessageIfEnabled("invalid Data Directory configured");
  }
}
