// The configuration file: one list of items walked by both the reader and the writer, so the
// two always agree on order and format.
#include "common/config_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/changed_on_disk.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/output_router.h"
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

// One direction of the configuration file, or (Collect) a walk that only lists the labels.
//
// Reading finds each entry by its label wherever it stands: an entry's value lines are the lines
// after its label up to the next label line. An entry is looked for where the previous one ended,
// then anywhere in the file, so a pair moved or swapped costs nothing. A label missing from the
// file costs that entry alone (value lines left where it belonged are read as its values, in case
// only the label line went). Lines no entry takes, a repeated label among them, are reported when
// the walk is done. Each problem is reported once, naming the line. A file that simply ends keeps
// the defaults of the rest without a word.
class ConfigIo {
 public:
  enum class Mode { Read, Write, Collect, CheckTexts };
  explicit ConfigIo(bool reading) : mode_(reading ? Mode::Read : Mode::Write) {}
  // A reader of the lines of the named file (for messages), with the labels the walk asks for in
  // its order; the first `header` lines hold no entry.
  ConfigIo(std::string fileName, std::vector<std::string> lines,
           const std::vector<std::string>& order, std::size_t header)
      : mode_(Mode::Read),
        fileName_(std::move(fileName)),
        lines_(std::move(lines)),
        used_(lines_.size(), false),
        pos_(std::min(header, lines_.size())),
        header_(pos_) {
    for (const std::string& label : order) ++uses_[label];
    for (std::size_t i = header_; i < lines_.size(); ++i) {
      if (IsLabel(lines_[i])) found_[lines_[i]].push_back(i);
    }
    // Whether an entry after each one stands in the file: where none does, the file has ended.
    laterPresentOf_.assign(order.size(), false);
    std::map<std::string, std::size_t> seen;
    std::vector<bool> present(order.size());
    for (std::size_t e = 0; e < order.size(); ++e) {
      present[e] = found_[order[e]].size() > seen[order[e]]++;
    }
    for (std::size_t e = order.size(); e-- > 1;) {
      laterPresentOf_[e - 1] = laterPresentOf_[e] || present[e];
    }
  }
  static ConfigIo Collector() {
    ConfigIo io(true);
    io.mode_ = Mode::Collect;
    return io;
  }
  // A walk that only looks at the texts the writer would write: the label of the first one
  // holding a line break, which its one line cannot keep.
  static ConfigIo TextChecker() {
    ConfigIo io(false);
    io.mode_ = Mode::CheckTexts;
    return io;
  }
  const std::string& TextWithLineBreak() const { return lineBreakIn_; }
  const std::vector<std::string>& Order() const { return order_; }
  bool Reading() const { return mode_ == Mode::Read || mode_ == Mode::Collect; }
  // True when the file ended before or within the current entry.
  bool Ended() const { return mode_ == Mode::Collect || ended_; }
  // True when every line up to the current entry's last value has been taken and no later entry
  // stands in the file.
  bool AtEnd() const { return pos_ >= lines_.size() && !laterPresent_; }

  void Label(const std::string& label) {
    current_ = label;
    if (mode_ == Mode::Write) WriteLineStr(label);
    if (mode_ == Mode::Collect) order_.push_back(label);
    if (mode_ != Mode::Read) return;
    laterPresent_ = laterPresentOf_[entry_++];
    ended_ = labelMissing_ = valueReported_ = false;
    // Where the previous entry ended, lines taken aside; else the first of its lines not taken
    // anywhere. Fewer such labels than entries carrying it: this entry's label is the one that
    // went.
    std::size_t first = pos_;
    while (first < lines_.size() && used_[first]) ++first;
    if (first < lines_.size() && lines_[first] == label) return Take(first);
    const std::vector<std::size_t>& places = found_[label];
    if (places.size() >= static_cast<std::size_t>(uses_[label])) {
      for (const std::size_t p : places) {
        if (!used_[p]) return Take(p);
      }
    }
    labelMissing_ = true;
    const bool valuesLeft = first < lines_.size() && !IsLabel(lines_[first]);
    if (!valuesLeft && !laterPresent_) {
      ended_ = true;
      return;
    }
    Report(first, "\"" + label + "\" missing");
    // The lines left where it belonged are its values if only its label went.
    pos_ = first;
  }

  // A name of a file, folder or program: kept in UTF-8; one written before that in CP850 is
  // converted once.
  bool Name(std::string& value) {
    const bool held = Str(value);
    if (held && mode_ == Mode::Read) value = NameFromFile(value);
    return held;
  }
  bool Str(std::string& value) {
    if (mode_ == Mode::Write) {
      WriteLineStr(value);
      return true;
    }
    if (mode_ == Mode::CheckTexts) {
      if (lineBreakIn_.empty() && value.find_first_of("\r\n") != std::string::npos) {
        lineBreakIn_ = current_;
      }
      return false;
    }
    const std::string* line = Next();
    if (line == nullptr) return false;
    value = *line;
    return true;
  }
  template <typename T>
  bool Int(T& value) {
    if (mode_ == Mode::Write) {
      WriteLineInt(static_cast<std::int64_t>(value));
      return true;
    }
    const std::string* line = Next();
    if (line == nullptr) return false;
    std::int32_t v = 0;
    // A line that is no number (or none this entry can hold) keeps the entry's value (its
    // default at start) and is named.
    if (!ReadsAsInteger(*line, v)) {
      Report(pos_ - 1, "\"" + *line + "\" is not a number");
    } else if (!std::in_range<T>(v)) {
      Report(pos_ - 1, "\"" + *line + "\" is out of range");
    } else {
      value = static_cast<T>(v);
    }
    return true;
  }
  // An integer that only means something within lo to hi: outside, it reads as its fallback and
  // is written as the fallback, so that what the file holds is what the next start takes.
  template <typename T>
  bool Int(T& value, std::int64_t lo, std::int64_t hi, T fallback) {
    const auto v = static_cast<std::int64_t>(value);
    if (mode_ == Mode::Write) {
      WriteLineInt(v >= lo && v <= hi ? v : static_cast<std::int64_t>(fallback));
      return true;
    }
    if (!Int(value)) return false;
    const auto read = static_cast<std::int64_t>(value);
    if (read < lo || read > hi) value = fallback;
    return true;
  }
  // An integer whose 0 stands for its fallback, read and written so.
  template <typename T>
  bool IntNonZero(T& value, T fallback) {
    if (mode_ == Mode::Write) {
      WriteLineInt(static_cast<std::int64_t>(value == 0 ? fallback : value));
      return true;
    }
    if (!Int(value)) return false;
    if (value == 0) value = fallback;
    return true;
  }
  // A real that only means something within lo to hi: outside (0 included, where lo is above
  // it), it reads as its fallback and is written as the fallback, so no absurd value travels
  // and no line grows wider than a number of that size.
  bool Real(long double& value, long double lo, long double hi, long double fallback,
            bool shortForm = false) {
    if (mode_ == Mode::Write) {
      const long double v = (value >= lo && value <= hi) ? value : fallback;
      if (shortForm) {
        WriteLineStr(StoredRealStr(0, v));
      } else {
        WriteLineReal(v);
      }
      return true;
    }
    const std::string* line = Next();
    if (line == nullptr) return false;
    if (!ReadsAsReal(*line)) {
      Report(pos_ - 1, "\"" + *line + "\" is not a number");
    } else {
      value = StrToReal(*line);
      // 0 is how older files left a value unset: it takes the fallback without a word.
      if (!(value >= lo && value <= hi) && value != 0) {
        Report(pos_ - 1, "\"" + *line + "\" is out of range");
      }
    }
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
  bool Bool(bool& value) {
    if (mode_ == Mode::Write) {
      WriteLineBool(value);
      return true;
    }
    const std::string* line = Next();
    if (line == nullptr) return false;
    value = UpperStr(*line) == "TRUE";
    return true;
  }
  // Read as false only for "FALSE".
  bool BoolFalse(bool& value) {
    if (mode_ == Mode::Write) {
      WriteLineBool(value);
      return true;
    }
    const std::string* line = Next();
    if (line == nullptr) return false;
    value = UpperStr(*line) != "FALSE";
    return true;
  }
  bool Char(char& value) {
    if (mode_ == Mode::Write) {
      WriteLineStr(value == '\0' ? std::string() : std::string(1, value));
      return true;
    }
    const std::string* line = Next();
    if (line == nullptr) return false;
    value = line->empty() ? '\0' : line->front();
    return true;
  }

  // After the walk: the lines no entry took. A label stands for its value lines, other lines for
  // the run they begin; lines after the last label are values of a later version and are passed
  // over. Labels and other lines are told in one message each, however many (a file appended to
  // itself would otherwise ask for a confirmation per label).
  void ReportLinesNotTaken() {
    std::size_t lastLabel = 0;
    for (std::size_t i = header_; i < lines_.size(); ++i) {
      if (IsLabel(lines_[i])) lastLabel = i;
    }
    std::vector<std::size_t> labels, others;
    bool inRun = false;  // within lines not taken that were counted from their first line
    for (std::size_t i = header_; i < lines_.size(); ++i) {
      if (used_[i] || (!IsLabel(lines_[i]) && i > lastLabel)) {
        inRun = false;
      } else if (IsLabel(lines_[i])) {
        labels.push_back(i);
        inRun = true;
      } else if (!inRun) {
        others.push_back(i);
        inRun = true;
      }
    }
    ReportAll(others, "lines unexpected");
    ReportAll(labels, "labels repeated");
  }

 private:
  bool IsLabel(const std::string& line) const { return uses_.count(line) != 0; }

  void Take(std::size_t at) {
    used_[at] = true;
    pos_ = at + 1;
  }

  // The next value line of the current entry; null at a label line or a line taken already (a
  // value line that went: reported once, the value stays) or at the end of the file.
  const std::string* Next() {
    // A file that simply ends keeps the rest without a word.
    if (pos_ >= lines_.size() && !laterPresent_) {
      ended_ = true;
      return nullptr;
    }
    if (pos_ >= lines_.size() || used_[pos_] || IsLabel(lines_[pos_])) {
      // An entry whose label went was reported already.
      if (!labelMissing_ && !valueReported_) {
        Report(pos_, "a value of \"" + current_ + "\" missing");
        valueReported_ = true;
      }
      return nullptr;
    }
    used_[pos_] = true;
    return &lines_[pos_++];
  }

  // One line by itself, or how many there are and the first three of them, each named by its
  // line and its text in the same order.
  void ReportAll(const std::vector<std::size_t>& at, const std::string& what) {
    if (at.empty()) return;
    const std::string& first = lines_[at[0]];
    if (at.size() == 1) {
      return Report(at[0],
                    first.empty() ? "an empty line unexpected" : "\"" + first + "\" unexpected");
    }
    const std::size_t named = std::min<std::size_t>(at.size(), 3);
    std::string where = "lines";
    std::string text = IntStr(static_cast<long long>(at.size())) + " " + what + ":";
    for (std::size_t n = 0; n < named; ++n) {
      where += (n > 0 ? ", " : " ") + LineNumber(at[n]);
      text += (n > 0 ? ", \"" : " \"") + lines_[at[n]] + "\"";
    }
    if (at.size() > named) {
      where += ", ...";
      text += " ...";
    }
    ReportWhere(where, text);
  }

  // One message per problem: "configuration file NAME, line N: what".
  void Report(std::size_t index, const std::string& what) {
    ReportWhere("line " + LineNumber(index), what);
  }
  void ReportWhere(const std::string& where, const std::string& what) {
    ErrorMessageIfEnabled(std::string(kWhat) + " " + NameText(fileName_) + ", " + where + ": " +
                          what);
  }
  static std::string LineNumber(std::size_t index) {
    return IntStr(static_cast<long long>(index) + 1);
  }

  static constexpr char kWhat[] = "configuration file";
  Mode mode_;
  bool ended_ = false;
  std::string fileName_;
  std::vector<std::string> lines_;
  std::vector<bool> used_;  // per line: taken by an entry
  std::size_t pos_ = 0;     // the next line of the current entry
  std::size_t header_ = 0;
  std::map<std::string, int> uses_;  // label -> entries of the walk carrying it
  std::map<std::string, std::vector<std::size_t>> found_;  // label -> its lines in the file
  std::vector<bool> laterPresentOf_;  // per entry: a later one stands in the file
  bool laterPresent_ = false;         // so for the current entry
  std::vector<std::string> order_;    // Collect: the labels in walk order
  std::size_t entry_ = 0;
  std::string current_;
  std::string lineBreakIn_;
  bool labelMissing_ = false;
  bool valueReported_ = false;
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
  io.IntNonZero(ps.PrinterInterface, decltype(ps.PrinterInterface){1});
  io.Label("Printer type");
  io.Int(ps.printerType);
  io.Label("Printing density");
  io.Int(ps.printDensity);
  io.Label("Rotate Hardcopy ?");
  if (io.Char(ps.rotateHardcopy) && rd && ps.rotateHardcopy == '\0') ps.rotateHardcopy = 'N';
  io.Label("Digits for floating point numbers");
  io.Int(ps.FloatDigits, 1, 9, decltype(ps.FloatDigits){3});
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
  io.IntNonZero(ps.hardcopyInterface, decltype(ps.hardcopyInterface){1});
  io.Label("EDI Directory");
  io.Name(ps.ediDirectory);
  io.Label("PLT Directory");
  io.Name(ps.pltDirectory);
  io.Label("Display mode for printout 1:* 2:-");
  io.IntNonZero(ps.ReportLineType, decltype(ps.ReportLineType){1});
  io.Label("Lines per page for printer");
  // Fewer lines than a page header takes would print a header on every sheet; the least depends
  // on the header space lines read later, so the reader checks it at the end.
  io.Int(ps.LinesPerPage, rd ? 1 : LeastLinesPerPage(ConfigVariables.HeaderSpaceLines),
         kMostLinesPerPage, kDefaultLinesPerPage);
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
  io.Int(gv.BackgroundColour, 0, 0xFFFFFF, TGraphicsVariables{}.BackgroundColour);
  io.Label("Windows print mode (1=mono 2=color)");
  io.IntNonZero(ps.WindowsPrintMode, decltype(ps.WindowsPrintMode){1});
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
    io.IntNonZero(plot.PenNumbers[layer], decltype(+plot.PenNumbers[layer]){1});
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
  // Lines 2 to n follow their count n, empty ones too; a line more before the next label is told
  // with the lines no entry took. Fewer lines than the count: those there are.
  if (io.Int(pcl.count) || !rd) {
    const int wanted = std::clamp<int>(pcl.count, 1, kPlotCommandLineCount);
    int held = 1;
    while (held < wanted && (io.Name(pcl.lines[held + 1]) || !rd)) ++held;
    if (rd) pcl.count = static_cast<std::uint16_t>(held);
  }
  io.Label("Archive Flag ?");
  io.Bool(ps.ArchiveFlag);
  io.Label("Date Code");
  // Style 4 (day/month/year) is one of the date styles and must survive a restart.
  io.Int(cv.DateStyle, 1, 4, decltype(cv.DateStyle){1});
  io.Label("Header Space Lines");
  io.Int(cv.HeaderSpaceLines, 0, kMostHeaderSpaceLines, decltype(cv.HeaderSpaceLines){0});
  io.Label("Text Device");
  io.Int(cv.OutputDevice, 1, 9, decltype(cv.OutputDevice){1});
  io.Label("Text Device Window ?");
  io.Bool(cv.AskOutputDevice);
  io.Label("Small Online Window ?");
  io.Bool(cv.smallOnlineWindow);
  io.Label("Enter Diagram Limits ?");
  io.Bool(cv.enterDiagramLimits);
  io.Label("Dot=1 Komma=2");
  io.Int(cv.DecimalCommaMode, 1, 2, decltype(cv.DecimalCommaMode){1});
  io.Label("Default Data Directory");
  if (io.Name(cv.DefaultDataDirectory) && rd && TrimStr(cv.DefaultDataDirectory).empty()) {
    cv.DefaultDataDirectory = AddBackslash(ps.BaseDirectory);
  }
  io.Label("Text Height Factor");
  io.Real(gv.TextHeightFactor, 0.1L, kMaxFactor, 1.0L);
  io.Label("Input Window Scale %");
  io.Int(cv.DialogScalePercent, 10, 1000, decltype(cv.DialogScalePercent){100});
  io.Label("HTML Browser");
  io.Name(cv.HtmlBrowserPath);
  io.Label("Print Scale Vertical");
  io.Double(pr.PrintScaleVertical, kMinScale, kMaxScale, pr.ScreendumpScale);
  io.Label("Line thickness Layer 0..5");
  for (int layer = 0; layer <= 5; ++layer) {
    auto& w = plot.LayerLineWidths[layer];
    io.Int(w, 1, 255, decltype(+w){1});
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
  io.Int(cv.ReportHeaderMode, 1, 2, decltype(cv.ReportHeaderMode){1});
  io.Label("Text Font Printout");
  if (io.Str(pr.PrintoutFont) && rd && pr.PrintoutFont.empty()) pr.PrintoutFont = "Courier New";
  io.Label("Text Size Printout");
  io.IntNonZero(pr.PrintoutTextSize, decltype(pr.PrintoutTextSize){10});
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
  io.IntNonZero(cv.optionWordAfter3D, decltype(cv.optionWordAfter3D){2});
  io.Str(plot.ReleaseRowLabel);
  io.Label("Decimals DXF,TXT");
  io.Int(plot.DxfDecimals, 1, 32, decltype(plot.DxfDecimals){6});
  io.Label("CAD Text Mode");
  io.IntNonZero(cv.CadTextMode, decltype(cv.CadTextMode){1});
  io.Label("pen width Layer 16..31");
  for (int layer = 16; layer <= 31; ++layer) io.Int(plot.PenWidths[layer]);
  io.Int(cv.CharMode);
  io.Int(cv.ContentScalePercent, 10, 1000, decltype(cv.ContentScalePercent){100});
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
  if (io.Reading() && io.AtEnd()) {
    // Files of older versions end after "Layer Monochrome": their graphics text used the CAD
    // text settings.
    GraphicsVariables.TextWidthRatio = PlotSettings.cadTextWidthRatio;
    GraphicsVariables.GraphicsFont = "Arial";
    return;
  }
  TrailingItems(io);
}

// The labels of the walk in its order.
const std::vector<std::string>& LabelOrder() {
  static const std::vector<std::string> order = [] {
    ConfigIo io = ConfigIo::Collector();
    LeadingItems(io);
    TrailingItems(io);
    return io.Order();
  }();
  return order;
}

}  // namespace

std::string ConfigFileName() {
  return AddBackslash(ConfigVariables.ConfigDirectory) + ProgramIdentity.fileStem + ".cfg";
}

bool ReadConfigFile(const std::string& fileName) {
  AssignText(GlobalTextFile, fileName);
  if (GlobalTextFile.Reset() != kIoOk) return false;
  std::vector<std::string> lines;
  std::string line;
  bool damaged = false;
  while (!GlobalTextFile.Eof()) {
    if (GlobalTextFile.ReadLine(line) != kIoOk) {
      damaged = true;
      break;
    }
    lines.push_back(line);
  }
  CloseText(GlobalTextFile);
  ConfigIo io(fileName, std::move(lines), LabelOrder(), 2);  // after the two header lines
  WalkItems(io);
  io.ReportLinesNotTaken();
  ApplyScreenSizeDefaults();
  auto& ps = ProgramSettings;
  if (ps.LinesPerPage < LeastLinesPerPage(ConfigVariables.HeaderSpaceLines)) {
    ps.LinesPerPage = kDefaultLinesPerPage;
  }
  if (damaged) {
    // What was read before the damage is kept; the rest keeps its defaults.
    ErrorMessageIfEnabled("configuration file " + NameText(fileName) +
                          " incomplete or unreadable !");
  }
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
  ConfigIo check = ConfigIo::TextChecker();
  LeadingItems(check);
  TrailingItems(check);
  if (!check.TextWithLineBreak().empty()) {
    // One line per text: a line break would shift every later entry, so nothing is written and
    // the old file stays.
    ErrorMessageIfEnabled("configuration file " + NameText(fileName) + " not saved: \"" +
                          check.TextWithLineBreak() + "\" holds a line break");
    AbortFlag = true;
    return;
  }
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
    InputName("temporary directory", 0, ps.tempDirectory);
  }
  if (!CheckDirWritable(ps.ediDirectory)) ErrorMessageIfEnabled("invalid EDI Directory configured");
  if (!CheckDirWritable(cv.DefaultDataDirectory)) {
    ErrorMessageIfEnabled("invalid Data Directory configured");
  }
}
