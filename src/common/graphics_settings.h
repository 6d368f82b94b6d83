// Colour table, graphics variables and print settings: the settings of the graphics window
// and of printed pictures. They live here because the configuration file reads and writes
// them; the graphics window reads them on every paint.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// A colour value laid out as red in the low byte, then green, then blue (0x00BBGGRR), the
// form the configuration file stores.
using TColourRef = std::uint32_t;

constexpr TColourRef RgbValue(int red, int green, int blue) {
  return static_cast<TColourRef>(red & 0xFF) | (static_cast<TColourRef>(green & 0xFF) << 8) |
         (static_cast<TColourRef>(blue & 0xFF) << 16);
}
constexpr int RedOf(TColourRef c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(TColourRef c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColourRef c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

constexpr int kColourCount = 17;  // colour numbers 0 to 16
using TColourTable = std::array<TColourRef, kColourCount>;

// Device rectangle as the zoom keeps it: left, right, top, bottom.
struct TZoomRect {
  std::int32_t left = 0;
  std::int32_t right = 640;
  std::int32_t top = 0;
  std::int32_t bottom = 480;
};

// World window actually shown: xmin, xmax, ymin, ymax.
struct TZoomWindow {
  long double xmin = 0.0L;
  long double xmax = 1.0L;
  long double ymin = 0.0L;
  long double ymax = 1.0L;
};

// Bits of GraphicsTextStyle and PrintoutTextStyle.
constexpr int kTextStyleBold = 1;
constexpr int kTextStyleItalic = 2;
constexpr int kTextStyleUnderline = 4;
constexpr int kTextStyleStrikeOut = 8;

struct TGraphicsVariables {
  long double ZoomFactor = 1.2L;  // "zoom increment"
  long double PanStep = 0.1L;     // "pan faktor"
  TZoomRect ZoomRect;
  TZoomWindow ZoomWindow;
  long double GraphicExtensionFactor = 1.0L;  // "X-Factor for graphic extension"
  bool Isotropic = true;
  TColourRef BackgroundColour = RgbValue(255, 255, 255);  // "background colour"
  long double IsoXFactor = 1.0L;
  std::string GraphicsFont = "Arial";   // "Text font Graphics"
  long double TextWidthRatio = 0.8L;    // "Textwidth/height Graphics"
  long double TextHeightFactor = 1.0L;  // "Text Height Factor"
  std::int16_t GraphicsTextStyle = 0;   // "Text Style Graphics"
  TColourTable ColourTable{};
};

// Text window placement: left, top, width, height.
struct TTextWindowRect {
  std::int32_t left = 10;
  std::int32_t top = 40;
  std::int32_t width = 700;
  std::int32_t height = 440;
};

struct TPrintSettings {
  double PrintScaleX = 1.0;
  double PrintScaleY = 1.0;
  std::int32_t PrintOriginX = 0;  // mm
  std::int32_t PrintOriginY = 0;  // mm
  bool PrintBorder = false;
  bool PrintDialogFlag = true;     // "Graphic Printout Dialog Box ?"
  TTextWindowRect TextWindowRect;  // "Text window left/top/width/height"
  std::int16_t PictureKind = 0;    // 0 CAD output, 1 auxiliary image, 2 A4 sheet, 3 A3 sheet
  std::string PrintoutFont = "Courier New";  // "Text Font Printout"
  std::int16_t PrintoutTextSize = 10;        // "Text Size Printout"
  std::int16_t PrintoutTextStyle = 0;        // "Text Style Printout"
  bool PrintPresetFlag = false;
  double ScreendumpScale = 1.0;        // "Windows Screendump Scale"
  double PrintScaleVertical = 1.0;     // "Print Scale Vertical"
  std::int32_t ScreendumpOriginX = 0;  // "Windows Screendump Origin X"
  std::int32_t ScreendumpOriginY = 0;  // "Windows Screendump Origin Y"
  bool ScreendumpBorder = false;       // "Windows Screendump Border ?"
  std::int16_t PrintOrientation = 2;   // "Printer: Portrait=1, Landscape=2"
};

extern TGraphicsVariables GraphicsVariables;
extern TPrintSettings PrintSettings;

// The 17 factory colours, by colour number.
extern const TColourTable kDefaultColourTable;

// Writes the factory colours into GraphicsVariables.ColourTable.
void SetDefaultColours();

// Sets GraphicsVariables (with the colour table) and PrintSettings to their defaults.
void InitGraphicsSettings();

// True when the style word asks for the given bit; 0 and values above 15 mean plain text.
bool TextStyleHas(int style, int bit);
