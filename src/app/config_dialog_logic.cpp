// Rules of the configuration dialog that need no window.
#include "app/config_dialog_logic.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/codepage.h"
#include "common/config_file.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/output_router.h"
#include "common/text_file.h"

namespace {

constexpr std::array<const char*, 16> kColourNames = {
    "red",   "yellow",     "green",      "cyan",      "blue",     "magenta",
    "white", "dark blue",  "dark green", "dark cyan", "dark red", "dark magenta",
    "brown", "light grey", "dark grey",  "black"};

// Colour number shown on the panel of colour-table entries 0 to 15.
constexpr std::array<int, 16> kPanelCaptions = {16, 8, 9, 10, 11, 12, 13, 14,
                                                15, 5, 3, 4,  1,  6,  2,  7};

constexpr std::array<TLayerRowDefault, 5> kLayerRows = {{
    {5, "continuous line      0.50 mm", "5", "1", "3"},
    {4, "continuous line      0.35 mm", "4", "3", "2"},
    {3, "continuous line      0.25 mm", "3", "2", "1"},
    {2, "dashed line          0.25 mm", "2", "2", "1"},
    {1, "center line          0.25 mm", "1", "2", "1"},
}};

// The first line of a configuration file ends with "Configuration"; a file without it is some
// other text and must not be read as settings.
bool StartsLikeConfiguration(const std::string& fileName) {
  TTextFile file;
  file.Assign(fileName);
  if (file.Reset() != kIoOk) return false;
  std::string first;
  const bool read = !file.Eof() && file.ReadLine(first) == kIoOk;
  file.Close();
  const std::string line = TrimStr(first);
  const std::string tail = "Configuration";
  return read && line.size() >= tail.size() &&
         line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
}

// How a numeric field of the dialog is checked.
enum class TNumberRule {
  Real,        // any number
  Positive,    // above 0: a factor of 0 would be replaced by the settings' default
  Least,       // at least the given least value
  WholeNumber  // an integer
};

struct TConfigNumberField {
  const char* name;
  const char* caption;
  TNumberRule rule;
  long double least;  // TNumberRule::Least; the problem text says it
  const char* problem;
  // Above it the configuration file would not keep the value (it reads back as the entry's
  // default); 0: no bound.
  long double most = 0;
};

// In page order; captions in the DOS code page, as messages take them. The least values are
// those below which the settings would not keep a typed value (text height factor, vertical
// print scale, dimensioning factor).
constexpr std::array<TConfigNumberField, 20> kNumberFields = {{
    {"Edit_x", "Window Size x", TNumberRule::WholeNumber, 0, ""},
    {"Edit_y", "Window Size y", TNumberRule::WholeNumber, 0, ""},
    {"Edit_textbreitenfaktor", "Textwidth/height", TNumberRule::Least, 0.01L, "< 0.01", 100},
    {"Edit_texthoehenfaktor", "Text height factor", TNumberRule::Least, 0.1L, "< 0.1", 100},
    {"Edit_zoomfaktor", "zoom increment", TNumberRule::Least, 0.01L, "< 0.01", 100},
    {"Edit_panfaktor", "pan faktor", TNumberRule::Least, 0.001L, "< 0.001", 1},
    {"Edit_3dx", "3D x \xF8", TNumberRule::Least, -1000, "< -1000", 1000},
    {"Edit_3dy", "3D y \xF8", TNumberRule::Least, -1000, "< -1000", 1000},
    {"Edit_3dz", "3D z \xF8", TNumberRule::Least, -1000, "< -1000", 1000},
    {"Edit_cadtextbreite", "CAD Textwidth/height", TNumberRule::Least, 0.01L, "< 0.01", 100},
    {"Edit_cadtextwinkel", "Font angle", TNumberRule::Least, -360, "< -360", 360},
    {"Edit_printscale", "Scale x", TNumberRule::Least, 0.0001L, "< 0.0001", 1000},
    {"Edit_printscaley", "Scale y", TNumberRule::Least, 0.0001L, "< 0.0001", 1000},
    {"Edit_printxorigin", "Origin x", TNumberRule::WholeNumber, 0, ""},
    {"Edit_printyorigin", "Origin y", TNumberRule::WholeNumber, 0, ""},
    {"Edit_left", "Text window left", TNumberRule::WholeNumber, 0, ""},
    {"Edit_top", "Text window top", TNumberRule::WholeNumber, 0, ""},
    {"Edit_width", "Text window width", TNumberRule::WholeNumber, 0, ""},
    {"Edit_height", "Text window height", TNumberRule::WholeNumber, 0, ""},
    {"Edit_massfaktorconfig", "Dimensioning size factor", TNumberRule::Least, 0.01L, "< 0.01",
     1e6L},
}};

// Why the text cannot be taken for the field; empty when it can.
std::string NumberProblem(const TConfigNumberField& field, const std::string& text) {
  if (!ReadsAsReal(text)) return "not a number";
  const long double value = StrToReal(text);
  if (field.most != 0 && value > field.most) return "> " + RealStr(field.most);
  switch (field.rule) {
    case TNumberRule::Real:
      return {};
    case TNumberRule::Positive:
      return value > 0 ? std::string() : "<= 0";
    case TNumberRule::Least:
      return value >= field.least ? std::string() : field.problem;
    case TNumberRule::WholeNumber:
      // "1.5" or "5e0" would be read as 0 by the integer conversion.
      return value == StrToInteger(text) ? std::string() : "not a whole number";
  }
  return {};
}

long double ScreenRatio(int outerHeight, int clientHeight) {
  return static_cast<long double>(outerHeight) / (clientHeight + 46) + 0.009L;
}

}  // namespace

TConfigRecords TConfigRecords::Take() {
  return {ProgramSettings, ConfigVariables,   PlotSettings,
          ViewSettings3D,  GraphicsVariables, PrintSettings};
}

void TConfigRecords::Restore() const {
  ProgramSettings = programSettings;
  ConfigVariables = configVariables;
  PlotSettings = plotSettings;
  ViewSettings3D = viewSettings3D;
  GraphicsVariables = graphicsVariables;
  PrintSettings = printSettings;
}

std::string ShowReal(TShownTexts& shown, const std::string& name, long double value) {
  std::string text = RealStr(value);
  shown[name] = text;
  return text;
}

long double EditedReal(const TShownTexts& shown, const std::string& name, const std::string& text,
                       long double value) {
  const auto it = shown.find(name);
  if (it != shown.end() && it->second == text) return value;
  return StrToReal(text);
}

std::vector<std::string> ConfigNumberFieldNames() {
  std::vector<std::string> names;
  for (const TConfigNumberField& field : kNumberFields) names.emplace_back(field.name);
  return names;
}

std::optional<TDimensionRefusal> CheckConfigNumbers(const TShownTexts& shown,
                                                    const TShownTexts& typed) {
  auto refusal = [&](const TConfigNumberField& field) -> std::optional<TDimensionRefusal> {
    const auto it = typed.find(field.name);
    if (it == typed.end()) return std::nullopt;
    const auto was = shown.find(field.name);
    if (was != shown.end() && was->second == it->second) return std::nullopt;
    const std::string text = TrimStr(it->second);
    const std::string problem = NumberProblem(field, text);
    if (problem.empty()) return std::nullopt;
    return TDimensionRefusal{field.name, RefusalText(field.caption, text, problem)};
  };
  for (const TConfigNumberField& field : kNumberFields) {
    if (auto refused = refusal(field)) return refused;
  }
  // A page must hold its header and a line besides.
  const auto lines = typed.find(kLinesPerPageField);
  const auto spaces = typed.find(kHeaderSpaceLinesField);
  if (lines != typed.end() && spaces != typed.end()) {
    const std::string text = TrimStr(lines->second);
    std::int32_t count = 0, spaceLines = 0;
    std::string problem;
    if (!ReadsAsInteger(text, count)) {
      problem = "not a whole number";
    } else if (ReadsAsInteger(spaces->second, spaceLines) &&
               count < LeastLinesPerPage(spaceLines)) {
      problem = "< " + IntStr(LeastLinesPerPage(spaceLines));
    } else if (count > kMostLinesPerPage) {
      problem = "> " + IntStr(kMostLinesPerPage);
    }
    if (!problem.empty()) {
      return TDimensionRefusal{kLinesPerPageField,
                               RefusalText("Max. lines per page for printer", text, problem)};
    }
  }
  return std::nullopt;
}

void ColourNames() {
  for (int i = 1; i <= 16; ++i) ScreenLines[i] = kColourNames[static_cast<std::size_t>(i - 1)];
}

int ColourPanelCaption(int entry) {
  return kPanelCaptions[static_cast<std::size_t>(std::clamp(entry, 0, 15))];
}

const TLayerRowDefault& LayerRowDefault(int row) {
  return kLayerRows[static_cast<std::size_t>(std::clamp(row, 1, 5) - 1)];
}

int StoredWindowSize(int typed, int screenSize, int frame) {
  const int size = IRange(0, 5000, typed - 1);
  if (size != 0) return size;
  return std::clamp(screenSize - frame, 0, 65535);
}

TTextWindowRect CheckedTextWindow(int left, int top, int width, int height, int clientHeight) {
  TTextWindowRect r;
  r.left = (left < 0 || left > 1000) ? 10 : left;
  r.top = (top < 0 || top > 450) ? 40 : top;
  r.width = (width < 50 || width > 1000) ? 700 : width;
  // A window that is too small would be stored as a negative or empty height and dropped by the
  // configuration reader; 50 is the smallest height the check itself accepts.
  r.height = (clientHeight < height || height < 50) ? std::max(clientHeight - 20, 50) : height;
  return r;
}

int TextWindowDefaultWidth(int screenWidth, int printoutTextSize) {
  const int width =
      screenWidth >= 641 ? static_cast<int>(std::lround(printoutTextSize * 700.0L / 10.0L)) : 620;
  return width == 0 ? 700 : width;
}

int DialogScaleFromScreen(int outerHeight, int clientHeight, int pixelsPerInchY) {
  return static_cast<int>(
      std::lround(ScreenRatio(outerHeight, clientHeight) * (pixelsPerInchY / 96.0L) * 100.0L));
}

int ContentScaleFromScreen(int dialogScale, int outerHeight, int clientHeight, int pixelsPerInchX) {
  const long double full =
      ScreenRatio(outerHeight, clientHeight) * (pixelsPerInchX / 96.0L) * 100.0L;
  if (full <= 0) return 100;
  return static_cast<int>(std::lround(dialogScale / full * 100.0L));
}

int OutputDeviceOfName(const std::string& text, const std::vector<std::string>& names,
                       int current) {
  const std::size_t n = std::min<std::size_t>(names.size(), 7);
  for (std::size_t i = 0; i < n; ++i) {
    if (names[i] == text) return static_cast<int>(i) + 1;
  }
  return current;
}

void KeepConfigValuesReadable() {
  auto& plot = PlotSettings;
  auto& gv = GraphicsVariables;
  auto& pr = PrintSettings;
  if (plot.cadTextWidthRatio == 0) plot.cadTextWidthRatio = 1.0L;
  if (gv.PanStep == 0) gv.PanStep = 0.01L;
  if (gv.TextHeightFactor < 0.1L) gv.TextHeightFactor = 1.0L;
  if (pr.ScreendumpScale == 0) {
    pr.ScreendumpScale = 1.0;
    pr.PrintScaleVertical = 1.0;
  }
  if (pr.PrintScaleVertical < 0.0001) pr.PrintScaleVertical = pr.ScreendumpScale;
  for (int layer = 0; layer <= 5; ++layer) {
    auto& w = plot.LayerLineWidths[layer];
    if (w < 1 || w > 255) w = 1;
  }
  for (int layer = 16; layer <= 31; ++layer) {
    if (plot.PenNumbers[layer] == 0) plot.PenNumbers[layer] = 1;
  }
  if (pr.PrintoutTextSize == 0) pr.PrintoutTextSize = 10;
  if (pr.PrintoutFont.empty()) pr.PrintoutFont = "Courier New";
}

bool ImportConfiguration(const std::string& fileName, TConfigRecords& imported) {
  if (!FileExistsIO(fileName)) {
    CheckFileExists(fileName);
    AbortFlag = true;
    return false;
  }
  if (!StartsLikeConfiguration(fileName)) {
    ErrorMessageIfEnabled("invalid file name \"" + NameText(fileName) + "\" !");
    AbortFlag = true;
    return false;
  }
  const TConfigRecords current = TConfigRecords::Take();
  // The chosen file itself is read: the search of ReadConfig would fall back to the maker's
  // directory when it cannot be opened.
  const bool read = ReadConfigFile(fileName);
  imported = TConfigRecords::Take();
  current.Restore();
  if (!read) {
    CheckFileExists(fileName);
    AbortFlag = true;
    return false;
  }
  // The menu language is the one in use; it changes only through its own command.
  imported.configVariables.LanguageCode = current.configVariables.LanguageCode;
  imported.configVariables.ConfigDirectory = current.configVariables.ConfigDirectory;
  return true;
}

void ExportConfiguration(const std::string& fileName) {
  const std::string directory = ConfigVariables.ConfigDirectory;
  const std::string stem = ProgramIdentity.fileStem;
  ConfigVariables.ConfigDirectory = DirPart(fileName);
  ProgramIdentity.fileStem = BaseName(fileName);
  WriteConfig();
  ConfigVariables.ConfigDirectory = directory;
  ProgramIdentity.fileStem = stem;
}
