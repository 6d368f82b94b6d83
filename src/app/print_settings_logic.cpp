// Print settings of the print setup: defaults by picture kind, dialog texts, printer facts.
#include "app/print_settings_logic.h"

#include <array>
#include <cmath>

#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"

TPrintOrientation OrientationOfCode(int code) {
  return code == 1 ? TPrintOrientation::Portrait : TPrintOrientation::Landscape;
}

std::optional<TPrintOrientation> SetPrintDefaultsByKind() {
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
