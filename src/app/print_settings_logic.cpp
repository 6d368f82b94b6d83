// Print settings of the print setup: defaults by picture kind, dialog texts, printer facts.
#include "app/print_settings_logic.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "graphics/display_list.h"
#include "graphics/step_animation.h"
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

// A printer canvas that draws nothing and notes the box of everything drawn on it.
class TInkBoxCanvas : public TReplayCanvas {
 public:
  void SetPen(TColourRef, int, TPenStyle) override {}
  void SetBrush(TColourRef) override {}
  void MoveTo(int x, int y) override { x_ = x, y_ = y; }
  void LineTo(int x, int y) override {
    Note(x_, y_);
    Note(x, y);
    MoveTo(x, y);
  }
  void Ellipse(int left, int top, int right, int bottom) override {
    Note(left, top);
    Note(right, bottom);
  }
  void Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) override {
    // The arc's ends where the rays meet the ellipse, and each axis end the sweep passes.
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double a = std::abs(right - left) / 2.0, b = std::abs(bottom - top) / 2.0;
    auto angle = [&](int x, int y) { return std::atan2(-(y - cy), x - cx); };
    auto at = [&](double t) {
      const double c = std::cos(t), s = std::sin(t);
      const double q = std::hypot(c * b, s * a);
      const double r = q > 0 ? a * b / q : 0.0;
      Note(cx + r * c, cy - r * s);
    };
    const double from = angle(xs, ys);
    double sweep = angle(xe, ye) - from;
    while (sweep <= 0) sweep += 2 * kPi;
    at(from);
    at(from + sweep);
    for (int k = 0; k < 4; ++k) {
      const double t = k * kPi / 2;
      if (std::fmod(t - from + 4 * kPi, 2 * kPi) <= sweep) at(t);
    }
  }
  void Polygon(const int (&xs)[4], const int (&ys)[4]) override {
    for (int k = 0; k < 4; ++k) Note(xs[k], ys[k]);
  }
  void Text(int x, int y, const std::string& utf8, const TCanvasFont& font, TColourRef) override {
    // Every character counts as wide as Arial's "H" (0.722 em), wider than most; the em comes
    // from the style's width as the window draws it, or from the height where it gives none.
    constexpr double kCapitalWidthEm = 0.722, kCapitalHeightEm = 0.716;
    const double em = font.widthPx > 0 ? font.widthPx / kTextAverageWidthEm
                                       : font.heightPx / kTextCellPerCadHeight / kCapitalHeightEm;
    std::size_t characters = 0;
    for (const char c : utf8) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    const double length = static_cast<double>(characters) * kCapitalWidthEm * em;
    const double turn = font.angleDeg * kPi / 180.0, c = std::cos(turn), s = std::sin(turn);
    // Corners of the cell before the turn about the anchor; rows grow downwards.
    for (const double u : {0.0, length})
      for (const double v : {0.0, static_cast<double>(font.heightPx)})
        Note(x + u * c + v * s, y - u * s + v * c);
  }

  bool Empty() const { return !inked_; }
  double left = 0, top = 0, right = 0, bottom = 0;

 private:
  static constexpr double kPi = 3.14159265358979323846;
  void Note(double x, double y) {
    if (!inked_) left = right = x, top = bottom = y;
    left = std::min(left, x), right = std::max(right, x);
    top = std::min(top, y), bottom = std::max(bottom, y);
    inked_ = true;
  }
  bool inked_ = false;
  int x_ = 0, y_ = 0;
};

// One layout of the print: what FitPrintLayoutToArea may change.
struct TPrintLayout {
  double scaleX, scaleY;
  std::int32_t originX, originY;
  bool operator==(const TPrintLayout&) const = default;
};

// The scale rounded down to 3 significant digits: the dialog shows 3, and rounding up could
// push the picture over the edge again.
double FloorToShownDigits(long double scale) {
  if (!(scale > 0)) return static_cast<double>(scale);
  const long double unit = std::pow(10.0L, std::floor(std::log10(scale)) - 2);
  return static_cast<double>(std::floor(scale / unit * (1 + 1e-12L)) * unit);
}

// The layout that puts the ink, as measured under the stored layout, on the area: the stored one
// when it does; else the scales lowered by one factor as far as needed and the origins moved the
// least. Empty when there is no ink or no area.
std::optional<TPrintLayout> InkFitFromStored(const TPrintableArea& area) {
  const TPrintSettings& s = PrintSettings;
  const TPrintLayout stored{s.PrintScaleX, s.PrintScaleY, s.PrintOriginX, s.PrintOriginY};
  if (!(std::min(area.widthMm, area.heightMm) > 0)) return std::nullopt;
  // The ink as it lands from the origins' point.
  const std::optional<TPrintedRect> measured = PrintedInkMm(area.widthMm);
  if (!measured) return std::nullopt;
  TPrintedRect ink = measured.value();
  const long double unit = PrintOriginMm(1, area.widthMm);  // millimetres per origin step
  const long double ox = PrintOriginMm(stored.originX, area.widthMm);
  const long double oy = PrintOriginMm(stored.originY, area.widthMm);
  ink.left -= ox, ink.right -= ox, ink.top -= oy, ink.bottom -= oy;
  const long double width = ink.right - ink.left, height = ink.bottom - ink.top;
  // A hundredth of a millimetre is the measure's own rounding, not ink off the page.
  constexpr long double kSlack = 0.01L;
  // The origin nearest `origin` that keeps [low, high] (ink from the origin) within room.
  auto place = [&](long double low, long double high, long double room, std::int32_t& origin) {
    const long double first = std::ceil((-low - kSlack) / unit);
    const long double last = std::floor((room - high + kSlack) / unit);
    if (first > last) return false;
    origin = static_cast<std::int32_t>(std::clamp<long double>(origin, first, last));
    return true;
  };
  // A second try leaves an origin step of room, so that a whole step always fits.
  for (const long double spare : {0.0L, unit}) {
    // A picture of no width or height puts no bound on that side (the quotient is infinite).
    const long double f = std::min(
        {1.0L, (area.widthMm - spare + kSlack) / width, (area.heightMm - spare + kSlack) / height});
    if (!(f > 0)) return std::nullopt;
    TPrintLayout fit = stored;
    if (f < 1.0L) {
      fit.scaleX = FloorToShownDigits(stored.scaleX * f);
      fit.scaleY = FloorToShownDigits(stored.scaleY * f);
    }
    const long double fx = fit.scaleX / stored.scaleX, fy = fit.scaleY / stored.scaleY;
    if (place(fx * ink.left, fx * ink.right, area.widthMm, fit.originX) &&
        place(fy * ink.top, fy * ink.bottom, area.heightMm, fit.originY))
      return fit;
  }
  return std::nullopt;
}

// The same, measured again under the layout found: texts keep whole pixel sizes, so their ink
// does not shrink exactly with the scale, and a long text (a deep data file's name in the
// footer) can still pass the edge. Such a layout is fitted again from where it stands.
std::optional<TPrintLayout> InkFit(const TPrintableArea& area) {
  const TPrintSettings kept = PrintSettings;
  std::optional<TPrintLayout> fit, again = InkFitFromStored(area);
  // A round that changes the layout lowers the scales by a shown digit or moves an origin; the
  // rounding it makes up for is a small part of that, so a few rounds are plenty.
  for (int round = 0; again && again != fit && round < 8; ++round) {
    fit = again;
    PrintSettings.PrintScaleX = fit->scaleX, PrintSettings.PrintScaleY = fit->scaleY;
    PrintSettings.PrintOriginX = fit->originX, PrintSettings.PrintOriginY = fit->originY;
    again = InkFitFromStored(area);
  }
  PrintSettings = kept;
  return fit;
}

}  // namespace

TPrintableArea AreaInOrientation(const TPrintableArea& printable, TPrintOrientation orientation) {
  const long double shortSide = std::min(printable.widthMm, printable.heightMm);
  const long double longSide = std::max(printable.widthMm, printable.heightMm);
  return orientation == TPrintOrientation::Portrait ? TPrintableArea{shortSide, longSide}
                                                    : TPrintableArea{longSide, shortSide};
}

std::optional<TPrintOrientation> SetPrintDefaultsByKind(
    const TPrintableArea& printable, std::optional<TPrintOrientation> orientation) {
  const auto configured = SetConfiguredDefaults();
  if (!configured) return std::nullopt;
  if (!orientation) orientation = configured;
  FitPrintLayoutToArea(AreaInOrientation(printable, *orientation));  // no area fits nothing
  return orientation;
}

std::optional<TPrintedRect> PrintedInkMm(long double pageWidthMm) {
  if (!DisplayList) return std::nullopt;
  // The measure replays the picture onto a page of hundredths of a millimetre; the view state
  // the replay passes through is the window's and is given back as it was.
  constexpr long double kPixelsPerMm = 100.0L;
  const TViewState view = ViewState;
  const TGraphicsVariables graphics = GraphicsVariables;
  TInkBoxCanvas ink;
  TReplay replay;
  replay.Begin(*DisplayList, nullptr, &ink,
               TPrinterPage{pageWidthMm * kPixelsPerMm, 0.0L, kPixelsPerMm, kPixelsPerMm}, false);
  while (replay.Run() != TReplayStop::Done) {
  }
  ViewState = view;
  GraphicsVariables = graphics;
  if (ink.Empty()) return std::nullopt;
  const auto mm = [&](double px) { return static_cast<long double>(px) / kPixelsPerMm; };
  return TPrintedRect{mm(ink.left), mm(ink.top), mm(ink.right), mm(ink.bottom)};
}

void FitPrintLayoutToArea(const TPrintableArea& area) {
  const auto fit = InkFit(area);
  if (!fit) return;
  PrintSettings.PrintScaleX = fit->scaleX;
  PrintSettings.PrintScaleY = fit->scaleY;
  PrintSettings.PrintOriginX = fit->originX;
  PrintSettings.PrintOriginY = fit->originY;
}

std::string PageOverhangMessage(const TPrintableArea& area) {
  // Less than a tenth of a millimetre is a line's width, not a cut picture.
  constexpr long double kTolerance = 0.1L;
  const auto ink = PrintedInkMm(area.widthMm);
  if (!ink) return {};
  const TPrintedRect r = ink.value();
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
  const TPrintSettings& s = PrintSettings;
  if (const auto fit = InkFit(area)) {
    const bool scaled = fit->scaleX != s.PrintScaleX;  // both go down together
    const bool moved = fit->originX != s.PrintOriginX || fit->originY != s.PrintOriginY;
    const std::string origin = IntStr(fit->originX) + " / " + IntStr(fit->originY);
    if (scaled) text += " Scale " + RealStr(fit->scaleX) + " / " + RealStr(fit->scaleY);
    if (scaled && moved) text += " at origin " + origin;
    if (!scaled && moved) text += " Origin " + origin;
    text += " fits.";
  }
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
