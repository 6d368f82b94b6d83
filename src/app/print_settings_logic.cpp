// Print settings of the print setup: defaults by picture kind, dialog texts, printer facts.
#include "app/print_settings_logic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "graphics/view_control.h"

TPrintOrientation OrientationOfCode(int code) {
  return code == 1 ? TPrintOrientation::Portrait : TPrintOrientation::Landscape;
}

namespace {

std::optional<TPrintOrientation> SetConfiguredDefaults() {
  TPrintSettings& s = PrintSettings;
  switch (s.PictureKind) {
    case 0:
    case 1:
    case 3:
      s.PrintScaleX = s.ScreendumpScale;
      s.PrintScaleY = s.PrintScaleVertical;
      s.PrintOriginX = s.ScreendumpOriginX;
      s.PrintOriginY = s.ScreendumpOriginY;
      s.PrintBorder = s.ScreendumpBorder;
      return OrientationOfCode(s.PrintOrientation);
    case 2:
      // The A4 sheet is drawn in millimetres: one to one in both directions keeps it whole and
      // undistorted on an A4 page.
      s.PrintScaleX = 1.0;
      s.PrintScaleY = 1.0;
      s.PrintOriginX = 0;
      s.PrintOriginY = 0;
      s.PrintBorder = false;
      return TPrintOrientation::Portrait;
    default:
      return std::nullopt;
  }
}

// The factor (at most 1) by which both scales shrink so that the window fits from its origin;
// 1 when it fits or when nothing would (origin beyond the area, empty window).
long double FitFactor(const TPrintableArea& area) {
  const TPrintedRect r = PrintedWindowMm(area.widthMm);
  const long double width = r.right - r.left, height = r.bottom - r.top;
  const long double roomX = area.widthMm - r.left, roomY = area.heightMm - r.top;
  if (!(width > 0) || !(height > 0) || !(roomX > 0) || !(roomY > 0)) return 1.0L;
  return std::min({1.0L, roomX / width, roomY / height});
}

// The scale rounded down to 3 significant digits: the dialog shows 3, and rounding up could
// push the picture over the edge again.
double FloorToShownDigits(long double scale) {
  if (!(scale > 0)) return static_cast<double>(scale);
  const long double unit = std::pow(10.0L, std::floor(std::log10(scale)) - 2);
  return static_cast<double>(std::floor(scale / unit * (1 + 1e-12L)) * unit);
}

}  // namespace

std::optional<TPrintOrientation> SetPrintDefaultsByKind(const TPrintableArea& printable) {
  const auto orientation = SetConfiguredDefaults();
  if (orientation && printable.widthMm > 0 && printable.heightMm > 0) {
    // The area as the printer will stand once it takes the orientation.
    const long double shortSide = std::min(printable.widthMm, printable.heightMm);
    const long double longSide = std::max(printable.widthMm, printable.heightMm);
    FitPrintScalesToArea(*orientation == TPrintOrientation::Portrait
                             ? TPrintableArea{shortSide, longSide}
                             : TPrintableArea{longSide, shortSide});
  }
  return orientation;
}

void FitPrintScalesToArea(const TPrintableArea& area) {
  const long double f = FitFactor(area);
  if (f >= 1.0L) return;
  PrintSettings.PrintScaleX = FloorToShownDigits(PrintSettings.PrintScaleX * f);
  PrintSettings.PrintScaleY = FloorToShownDigits(PrintSettings.PrintScaleY * f);
}

std::string PageOverhangMessage(const TPrintableArea& area) {
  // Less than a tenth of a millimetre is a line's width, not a cut picture.
  constexpr long double kTolerance = 0.1L;
  const TPrintedRect r = PrintedWindowMm(area.widthMm);
  const std::pair<long double, const char*> sides[] = {{-r.left, "at the left"},
                                                       {-r.top, "at the top"},
                                                       {r.right - area.widthMm, "at the right"},
                                                       {r.bottom - area.heightMm, "at the bottom"}};
  std::string cut;
  for (const auto& [mm, where] : sides) {
    if (mm < kTolerance) continue;
    if (!cut.empty()) cut += ", ";
    cut += RealStrN(1, mm) + " mm " + where;
  }
  if (cut.empty()) return {};
  std::string text = "The picture does not fit the page: " + cut + " fall off.";
  const long double f = FitFactor(area);
  if (f < 1.0L)
    text += " Scale " + RealStr(FloorToShownDigits(PrintSettings.PrintScaleX * f)) + " / " +
            RealStr(FloorToShownDigits(PrintSettings.PrintScaleY * f)) + " fits.";
  return text;
}

TPrintDialogValues PrintDialogValuesOf(TPrintOrientation orientation) {
  TPrintDialogValues v;
  v.scaleX = RealStr(PrintSettings.PrintScaleX);
  v.scaleY = RealStr(PrintSettings.PrintScaleY);
  v.originX = IntStr(PrintSettings.PrintOriginX);
  v.originY = IntStr(PrintSettings.PrintOriginY);
  v.borderLine = PrintSettings.PrintBorder;
  v.printModeIndex = static_cast<int>(ProgramSettings.WindowsPrintMode) - 1;
  v.orientationIndex = orientation == TPrintOrientation::Landscape ? 1 : 0;
  return v;
}

std::optional<TPrintOrientation> StorePrintDialogValues(const TPrintDialogValues& values,
                                                        std::string& error) {
  error.clear();
  const long double scaleX = StrToReal(values.scaleX);
  const long double scaleY = StrToReal(values.scaleY);
  // A scale of 0 (also what a text that is no number reads as) or below puts the whole picture
  // on one point or off the page: refused instead of printing an empty sheet.
  if (!(scaleX > 0.0L) || !std::isfinite(static_cast<double>(scaleX)))
    error = "Scale x";
  else if (!(scaleY > 0.0L) || !std::isfinite(static_cast<double>(scaleY)))
    error = "Scale y";
  if (!error.empty()) return std::nullopt;
  PrintSettings.PrintScaleX = static_cast<double>(scaleX);
  PrintSettings.PrintScaleY = static_cast<double>(scaleY);
  PrintSettings.PrintOriginX = StrToInteger(values.originX);
  PrintSettings.PrintOriginY = StrToInteger(values.originY);
  PrintSettings.PrintBorder = values.borderLine;
  ProgramSettings.WindowsPrintMode = static_cast<std::uint16_t>(values.printModeIndex + 1);
  return values.orientationIndex != 0 ? TPrintOrientation::Landscape : TPrintOrientation::Portrait;
}

std::string TechnologyWord(int technology) {
  static const std::array<const char*, 7> kWords = {
      "Plotter", "Rasterbildschirm", "Rasterdrucker", "?", "Zeichendrucker", "Metafile", "?"};
  if (technology < 0 || technology >= static_cast<int>(kWords.size())) return "?";
  return kWords[static_cast<std::size_t>(technology)];
}

namespace {

std::string Number(const std::optional<int>& value) {
  return value ? IntStr(*value) : std::string();
}

}  // namespace

std::vector<std::pair<std::string, std::string>> PrinterInfoRows(const TPrinterFacts& facts) {
  constexpr std::size_t kFirstFontRow = 16;
  constexpr std::size_t kRowsAtCreation = 20;
  std::vector<std::pair<std::string, std::string>> rows(
      std::max(kRowsAtCreation, kFirstFontRow + facts.fonts.size()));
  rows[0] = {"Name", facts.name};
  rows[1] = {"Treiberversion", Number(facts.driverVersion)};
  rows[2] = {"Technologie", TechnologyWord(facts.technology)};
  rows[3] = {"Druckbreite (mm)", IntStr(facts.widthMm)};
  rows[4] = {"Druckhöhe (mm)", IntStr(facts.heightMm)};
  rows[5] = {"Breite (Pixel)", IntStr(facts.widthPx)};
  rows[6] = {"Höhe (Pixel)", IntStr(facts.heightPx)};
  rows[7] = {"Linker Seitenoffset (Pixel)", IntStr(facts.offsetXPx)};
  rows[8] = {"Oberer Seitenoffset (Pixel)", IntStr(facts.offsetYPx)};
  rows[9] = {"DPI (horizontal)", IntStr(facts.dpiX)};
  rows[10] = {"DPI (vertikal)", IntStr(facts.dpiY)};
  rows[11] = {"Pinsel", Number(facts.brushes)};
  rows[12] = {"Stifte", Number(facts.pens)};
  rows[13] = {"Markierer", Number(facts.markers)};
  rows[14] = {"Farben", Number(facts.colours)};
  rows[15] = {"Schriften", IntStr(static_cast<long long>(facts.fonts.size()))};
  for (std::size_t i = 0; i < facts.fonts.size(); ++i)
    rows[kFirstFontRow + i].second = facts.fonts[i];
  return rows;
}
