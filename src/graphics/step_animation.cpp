// Replay of the display list in slices.
#include "graphics/step_animation.h"

#include <algorithm>
#include <cmath>

#include "common/program_state.h"
#include "graphics/display_list.h"

namespace {

constexpr TColourRef kBlack = RgbValue(0, 0, 0);
constexpr double kPi = 3.14159265358979323846;

// Integer fields of records read from text may hold anything; keep them in int range.
int ToInt(double v) {
  return std::isfinite(v) ? static_cast<int>(std::clamp(v, -1.0e9, 1.0e9)) : 0;
}

TColourRef TableColour(int n) {
  return GraphicsVariables.ColourTable[static_cast<std::size_t>(n)];
}

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The largest sRGB channel value whose linear value is at most `linear`.
int ChannelAtMost(double linear) {
  const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  int v = std::clamp(static_cast<int>(std::floor(c * 255.0)), 0, 255);
  while (v > 0 && Linear(v) > linear) --v;
  return v;
}

double Luminance(TColourRef c) {
  return 0.2126 * Linear(RedOf(c)) + 0.7152 * Linear(GreenOf(c)) + 0.0722 * Linear(BlueOf(c));
}

}  // namespace

double ContrastRatio(TColourRef a, TColourRef b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColourRef ScreenShade(TColourRef colour, TColourRef background) {
  constexpr double kLightBackground = 0.4;  // relative luminance
  constexpr double kLeastContrast = 3.0;
  // A shade that has to be made is made clearly readable, not just past the limit.
  constexpr double kShadeContrast = 4.5;
  const double lb = Luminance(background);
  if (lb < kLightBackground || ContrastRatio(colour, background) >= kLeastContrast) return colour;
  const double lc = Luminance(colour);
  const double wanted = (lb + 0.05) / kShadeContrast - 0.05;
  // Scaling the linear channels keeps the hue and scales the luminance alike.
  const double k = lc > 0 ? wanted / lc : 0.0;
  return RgbValue(ChannelAtMost(Linear(RedOf(colour)) * k),
                  ChannelAtMost(Linear(GreenOf(colour)) * k),
                  ChannelAtMost(Linear(BlueOf(colour)) * k));
}

TPenStyle MapLineStyle(int n) {
  switch (n) {
    case 1:
      return TPenStyle::Dotted;
    case 2:
      return TPenStyle::DashDot;
    case 3:
      return TPenStyle::Dashed;
    default:
      return TPenStyle::Solid;
  }
}

void TReplay::Begin(const TDisplayList& list, TReplayCanvas* screen, TReplayCanvas* printer,
                    const TPrinterPage& page, bool stepMode) {
  list_ = &list;
  screen_ = screen;
  printer_ = printer;
  page_ = page;
  stepMode_ = stepMode;
  stepPending_ = false;
  yielded_ = false;
  index_ = 0;
  pauseMs_ = 0;
  textColour_ = 1;
  textHeight_ = 3.5;
  textWidth_ = 3.5;
  textAngle_ = 0.0;
  // Every replay starts from the same pen, so a picture looks the same at every paint.
  screenPen_ = screenFont_ = printerPen_ = printerFont_ = kBlack;
  screenBrush_ = printerBrush_ = GraphicsVariables.BackgroundColour;
  penWidth_ = 1;
  penStyle_ = TPenStyle::Solid;
  for (int n = 0; n <= 16; ++n)
    screenColours_[n] = ScreenShade(TableColour(n), GraphicsVariables.BackgroundColour);
  if (screen_) {
    screen_->SetPen(screenPen_, penWidth_, penStyle_);
    screen_->SetBrush(screenBrush_);
  }
  if (printer_) {
    printer_->SetPen(printerPen_, penWidth_, penStyle_);
    printer_->SetBrush(printerBrush_);
    if (PrintSettings.PrintBorder) DrawBorder();
  }
}

void TReplay::DrawBorder() {
  const TWorldRect& w = ViewState.WorldWindow;
  if (ProgramSettings.ColourOutputFlag) printerPen_ = TableColour(11);
  printer_->SetPen(printerPen_, 4 * penWidth_, penStyle_);
  printer_->MoveTo(WorldToPrinterX(page_, w.xmin), WorldToPrinterY(page_, w.ymin));
  printer_->LineTo(WorldToPrinterX(page_, w.xmin), WorldToPrinterY(page_, w.ymax));
  printer_->LineTo(WorldToPrinterX(page_, w.xmax), WorldToPrinterY(page_, w.ymax));
  printer_->LineTo(WorldToPrinterX(page_, w.xmax), WorldToPrinterY(page_, w.ymin));
  printer_->LineTo(WorldToPrinterX(page_, w.xmin), WorldToPrinterY(page_, w.ymin));
}

TReplayStop TReplay::Stop(TReplayStop why) {
  if (screen_) screen_->Flush();
  if (printer_) printer_->Flush();
  return why;
}

TReplayStop TReplay::Run() {
  while (list_ && index_ < list_->Count()) {
    if (index_ % kYieldInterval == 0 && !yielded_) {
      yielded_ = true;
      return Stop(TReplayStop::Yield);
    }
    const TDisplayListRecord r = list_->Record(index_);
    if (r.valid && r.op == TDisplayOp::Colour && r.values[0] == 0 && stepMode_ && !printer_ &&
        !stepPending_) {
      stepPending_ = true;
      return Stop(TReplayStop::StepPoint);
    }
    stepPending_ = false;
    Apply(index_);
    ++index_;
    yielded_ = false;
    if (r.valid && r.op == TDisplayOp::Sleep && !printer_ && r.values[0] > 0) {
      pauseMs_ = static_cast<int>(std::min(r.values[0], 60000.0));
      return Stop(TReplayStop::Pause);
    }
  }
  return Stop(TReplayStop::Done);
}

void TReplay::SetColourRecord(int n) {
  textColour_ = n;
  if (n >= 1 && n <= 16) {
    if (ProgramSettings.ColourOutputFlag) {
      screenPen_ = screenBrush_ = screenFont_ = screenColours_[n];
    } else {
      screenPen_ = screenFont_ = kBlack;
      screenBrush_ = GraphicsVariables.BackgroundColour;
    }
    const int mode = ProgramSettings.WindowsPrintMode;
    if (mode == 2 || mode == 3) {
      printerPen_ = printerBrush_ = printerFont_ = TableColour(n);
    } else {
      printerPen_ = printerFont_ = kBlack;
      printerBrush_ = GraphicsVariables.BackgroundColour;
    }
  } else if (n == 0) {
    screenPen_ = screenBrush_ = screenFont_ = GraphicsVariables.BackgroundColour;
    printerPen_ = printerBrush_ = printerFont_ = GraphicsVariables.BackgroundColour;
  } else {
    return;
  }
  if (screen_) {
    screen_->SetPen(screenPen_, penWidth_, penStyle_);
    screen_->SetBrush(screenBrush_);
  }
  if (printer_) {
    printer_->SetPen(printerPen_, 4 * penWidth_, penStyle_);
    printer_->SetBrush(printerBrush_);
  }
}

void TReplay::DrawText(double x, double y, const std::string& text) {
  TReplayCanvas* device = printer_ ? printer_ : screen_;
  if (!device) return;
  const bool printing = printer_ != nullptr;
  TColourRef colour = printing ? printerFont_ : screenFont_;
  if (textColour_ == 0)
    colour = GraphicsVariables.BackgroundColour;
  else if (!ProgramSettings.ColourOutputFlag || (printing && ProgramSettings.WindowsPrintMode == 1))
    colour = kBlack;
  else if (textColour_ >= 1 && textColour_ <= 16)
    colour = printing ? TableColour(textColour_) : screenColours_[textColour_];

  const int style = GraphicsVariables.GraphicsTextStyle;
  TCanvasFont font;
  font.face = GraphicsVariables.GraphicsFont;
  font.bold = TextStyleHas(style, kTextStyleBold);
  // Plain text for 0 and for values above 15, on every device.
  font.italic = TextStyleHas(style, kTextStyleItalic);
  font.underline = TextStyleHas(style, kTextStyleUnderline);
  font.strikeOut = TextStyleHas(style, kTextStyleStrikeOut);
  font.angleDeg = textAngle_;
  const double h = textHeight_;
  double ax = x;
  double ay = y + 0.75 * h;
  if (textAngle_ != 0.0) {
    const double a = textAngle_ * kPi / 180.0;
    ax = x - h * 0.7 * std::sin(a);
    ay = y + h * 0.75 * std::cos(a);
  }
  int px, py;
  if (printing) {
    font.heightPx = PrinterLengthY(page_, h);
    font.widthPx = PrinterLengthX(page_, textWidth_);
    px = WorldToPrinterX(page_, ax);
    py = WorldToPrinterY(page_, ay);
  } else {
    font.heightPx = ScreenLengthY(h);
    font.widthPx = ScreenLengthX(textWidth_);
    px = WorldToScreenX(ax);
    py = WorldToScreenY(ay);
  }
  device->Text(px, py, text, font, colour);
}

void TReplay::Apply(std::size_t i) {
  const TDisplayListRecord r = list_->Record(i);
  if (!r.valid) return;  // a record whose numbers could not be read draws nothing
  const double* v = r.values;
  auto sx = [](double x) { return WorldToScreenX(x); };
  auto sy = [](double y) { return WorldToScreenY(y); };
  auto px = [this](double x) { return WorldToPrinterX(page_, x); };
  auto py = [this](double y) { return WorldToPrinterY(page_, y); };
  switch (r.op) {
    case TDisplayOp::MoveTo:
      if (screen_) screen_->MoveTo(sx(v[0]), sy(v[1]));
      if (printer_) printer_->MoveTo(px(v[0]), py(v[1]));
      break;
    case TDisplayOp::LineTo:
      if (screen_) screen_->LineTo(sx(v[0]), sy(v[1]));
      if (printer_) printer_->LineTo(px(v[0]), py(v[1]));
      break;
    case TDisplayOp::Circle:
      if (screen_)
        screen_->Ellipse(sx(v[0] - v[2]), sy(v[1] + v[2]), sx(v[0] + v[2]), sy(v[1] - v[2]));
      if (printer_)
        printer_->Ellipse(px(v[0] - v[2]), py(v[1] + v[2]), px(v[0] + v[2]), py(v[1] - v[2]));
      break;
    case TDisplayOp::Line:
      if (screen_) {
        screen_->MoveTo(sx(v[0]), sy(v[1]));
        screen_->LineTo(sx(v[2]), sy(v[3]));
      }
      if (printer_) {
        printer_->MoveTo(px(v[0]), py(v[1]));
        printer_->LineTo(px(v[2]), py(v[3]));
      }
      break;
    case TDisplayOp::Arc:
      // The box is given by left, bottom, right, top in world coordinates.
      if (screen_)
        screen_->Arc(sx(v[0]), sy(v[3]), sx(v[2]), sy(v[1]), sx(v[4]), sy(v[5]), sx(v[6]),
                     sy(v[7]));
      if (printer_)
        printer_->Arc(px(v[0]), py(v[3]), px(v[2]), py(v[1]), px(v[4]), py(v[5]), px(v[6]),
                      py(v[7]));
      break;
    case TDisplayOp::Text:
      DrawText(v[0], v[1], *r.text);
      break;
    case TDisplayOp::Solid: {
      const bool colour = ProgramSettings.ColourOutputFlag;
      if (screen_) {
        int xs[4], ys[4];
        for (int k = 0; k < 4; ++k) xs[k] = sx(v[2 * k]), ys[k] = sy(v[2 * k + 1]);
        screen_->SetBrush(colour ? screenBrush_ : kBlack);
        screen_->Polygon(xs, ys);
        screen_->SetBrush(screenBrush_);
      }
      if (printer_) {
        int xs[4], ys[4];
        for (int k = 0; k < 4; ++k) xs[k] = px(v[2 * k]), ys[k] = py(v[2 * k + 1]);
        printer_->SetBrush(colour ? printerBrush_ : kBlack);
        printer_->Polygon(xs, ys);
        printer_->SetBrush(printerBrush_);
      }
      break;
    }
    case TDisplayOp::Colour:
      SetColourRecord(ToInt(v[0]));
      break;
    case TDisplayOp::TextStyle:
      textHeight_ = v[0] * 1.6 * static_cast<double>(GraphicsVariables.TextHeightFactor);
      textWidth_ = v[1] * 1.1 * static_cast<double>(GraphicsVariables.TextWidthRatio);
      textAngle_ = v[3];
      break;
    case TDisplayOp::Window: {
      // A degenerate window (only possible in a record read from text) is skipped.
      if (v[4] == v[6] || v[5] == v[7]) break;
      SetRecordedViewport({RoundPixel(v[0]), RoundPixel(v[1]), RoundPixel(v[2]), RoundPixel(v[3])});
      ViewState.WorldWindow = {v[4], v[5], v[6], v[7]};
      const TZoomRect z = GraphicsVariables.ZoomRect;
      ZoomToRect(z.left, z.top, z.right, z.bottom);
      break;
    }
    case TDisplayOp::LineStyle:
      penStyle_ = MapLineStyle(ToInt(v[0]));
      if (screen_) screen_->SetPen(screenPen_, penWidth_, penStyle_);
      if (printer_) printer_->SetPen(printerPen_, 4 * penWidth_, penStyle_);
      break;
    case TDisplayOp::LineWidth:
      penWidth_ = std::clamp(ToInt(v[0]), 0, 1000);
      if (screen_) screen_->SetPen(screenPen_, penWidth_, penStyle_);
      if (printer_) printer_->SetPen(printerPen_, 4 * penWidth_, penStyle_);
      break;
    case TDisplayOp::Sleep:
    case TDisplayOp::Unknown:
      break;
  }
}
