// The rules of the configuration dialog that need no window: the checks applied when its values
// are stored, the standard values of its buttons, the layer rows and colour names, the window
// size and dialog scale computed from the screen, and reading or writing another configuration
// file without disturbing the settings in memory.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/dimension_dialog_model.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"

// A copy of every record the configuration file carries.
struct TConfigRecords {
  TProgramSettings programSettings;
  TConfigVariables configVariables;
  TPlotSettings plotSettings;
  TViewSettings3D viewSettings3D;
  TGraphicsVariables graphicsVariables;
  TPrintSettings printSettings;

  static TConfigRecords Take();
  void Restore() const;
};

// Texts shown in the dialog's real-number fields, by control name.
using TShownTexts = std::map<std::string, std::string>;

// The text shown for a real (3 significant digits), remembered under the control's name.
std::string ShowReal(TShownTexts& shown, const std::string& name, long double value);
// The value of a real field: value itself while the text is still the one shown (three
// significant digits would otherwise round an untouched setting), else the text read as a number.
long double EditedReal(const TShownTexts& shown, const std::string& name, const std::string& text,
                       long double value);

// The numeric fields of the dialog, as their texts stand (by control name), checked before any
// value is stored: a text that is no number, a factor of 0 (or below the least the settings
// take), a value beyond what the configuration file keeps, lines per page too few for the page
// header, and a window size, origin or text-window value that is no whole number are refused with
// a message naming the field. A real field whose text is still the one shown is not checked: its
// stored value stays as it is. Returns the first refused field in page order.
std::optional<TDimensionRefusal> CheckConfigNumbers(const TShownTexts& shown,
                                                    const TShownTexts& typed);
// The control names CheckConfigNumbers looks at, in page order.
std::vector<std::string> ConfigNumberFieldNames();
// Lines per page (checked against the header space lines, which the page header takes too).
inline constexpr const char* kLinesPerPageField = "SpinEdit_linesperpage";
inline constexpr const char* kHeaderSpaceLinesField = "SpinEdit_spacelines";

// Colour names 1 to 16 ("red" .. "black") into ScreenLines 1 to 16.
void ColourNames();
// The colour number under which the user knows entry 0 to 15 of the colour table.
int ColourPanelCaption(int entry);

// Rows 1 to 5 of the layer table show layers 5 down to 1.
struct TLayerRowDefault {
  int layer;
  const char* lineKind;  // column 0
  const char* name;      // the "<" button's values of columns 1 to 3
  const char* colour;
  const char* penWidth;
};
const TLayerRowDefault& LayerRowDefault(int row);

// Standard texts of the "<" buttons.
inline constexpr const char* kStandardZoom = "1.02";
inline constexpr const char* kStandardPan = "0.02";
inline constexpr const char* kStandardTextWidth = "0.8";
inline constexpr const char* kStandardTextHeight = "1";
inline constexpr const char* kStandardCadTextWidth = "1";
inline constexpr const char* kStandardCadTextAngle = "0";
inline constexpr const char* kStandardOrigin = "0";
inline constexpr const char* kStandardPrintScale = "1.0";
inline constexpr const char* kStandardDimensionFactor = "1.0";
inline constexpr const char* kStandardApprovalField = "App";
inline constexpr int kStandardDxfDecimals = 6;

// The stored window size ("Horizontal Pixels" or "Vertical Pixels") for the typed size: typed - 1
// within 0 to 5000; 0 becomes the screen size less the dialog's frame.
int StoredWindowSize(int typed, int screenSize, int frame);

// The text window as stored: left outside 0..1000 becomes 10, top outside 0..450 becomes 40,
// width outside 50..1000 becomes 700; a height above the main window's client height, or below
// 50, becomes that height - 20 (never below 50).
TTextWindowRect CheckedTextWindow(int left, int top, int width, int height, int clientHeight);

// Default width of the text window for the typed screen width and the printout font size.
int TextWindowDefaultWidth(int screenWidth, int printoutTextSize);

// Dialog scale percents from the main window's outer and client height and the screen's
// logical pixels per inch (down for the window scale, across for the content scale).
int DialogScaleFromScreen(int outerHeight, int clientHeight, int pixelsPerInchY);
int ContentScaleFromScreen(int dialogScale, int outerHeight, int clientHeight, int pixelsPerInchX);

// The output device (1 to 7) whose name equals text; current when none does.
int OutputDeviceOfName(const std::string& text, const std::vector<std::string>& names, int current);

// Values the configuration reader would replace at the next start are replaced now, the same way,
// so the settings in memory are the ones the file gives back.
void KeepConfigValuesReadable();

// Reads the named configuration file into imported; the settings in memory stay as they are.
// False, with a message and AbortFlag set, when the file cannot be read or is no configuration.
bool ImportConfiguration(const std::string& fileName, TConfigRecords& imported);
// Writes the settings in memory to the named file (its directory and base name; extension
// ".cfg"); the configuration directory and file stem are the usual ones again afterwards.
void ExportConfiguration(const std::string& fileName);
