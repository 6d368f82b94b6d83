// Forwarding of drawing calls to the graphics window, with code-page and colour conversion.
#include "graphics/graphics_facade.h"

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "graphics/display_list.h"
#include "graphics/graphics_window.h"
#include "graphics/view_control.h"

TGraphicsFacade* GraphicsFacade = nullptr;

std::uint8_t MapColour(std::uint8_t n) {
  if (n > 16) n &= 15;
  static constexpr std::uint8_t kFirst[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  if (n <= 7) return kFirst[n];
  if (n <= 15) return static_cast<std::uint8_t>(n - 7);
  return 16;
}

TGraphicsFacade::TGraphicsFacade() {
  delete DisplayList;
  DisplayList = new TDisplayList;
  GraphicsFacade = this;
}

TGraphicsFacade::~TGraphicsFacade() {
  delete DisplayList;
  DisplayList = nullptr;
  if (GraphicsFacade == this) GraphicsFacade = nullptr;
}

#define FORWARD(call)                                         \
  do {                                                        \
    if (GraphicsWindowInstance) GraphicsWindowInstance->call; \
  } while (false)

void TGraphicsFacade::GrClear() {
  FORWARD(Clear());
}
void TGraphicsFacade::GrSetWindow(bool isotropic, bool framed, long double fx1, long double fy1,
                                  long double fx2, long double fy2, long double xmin,
                                  long double ymin, long double xmax, long double ymax) {
  FORWARD(SetWindow(isotropic, framed, fx1, fy1, fx2, fy2, xmin, ymin, xmax, ymax));
}
void TGraphicsFacade::GrCircle(long double x, long double y, long double r) {
  FORWARD(circle(x, y, r));
}
void TGraphicsFacade::GrLine(long double x1, long double y1, long double x2, long double y2) {
  FORWARD(line(x1, y1, x2, y2));
}
void TGraphicsFacade::GrArc(long double x, long double y, long double startAngle,
                            long double endAngle, long double r) {
  FORWARD(Arc(x, y, startAngle, endAngle, r));
}
void TGraphicsFacade::GrSetColor(std::uint8_t n) {
  FORWARD(SetColor(n));
}
void TGraphicsFacade::GrHeader(long double xmin, long double ymin, long double xmax,
                               long double ymax) {
  FORWARD(Header(xmin, ymin, xmax, ymax));
}
void TGraphicsFacade::GrClearViewPort() {
  FORWARD(ClearViewPort());
}
void TGraphicsFacade::GrSetLineStyle(std::int16_t n) {
  FORWARD(SetLineStyle(n));
}
void TGraphicsFacade::GrSetTextStyle(int font, long double angle, long double height,
                                     long double width) {
  FORWARD(SetTextStyle(font, angle, height, width));
}
void TGraphicsFacade::GrSolid(long double x1, long double y1, long double x2, long double y2,
                              long double x3, long double y3, long double x4, long double y4) {
  FORWARD(Solid(x1, y1, x2, y2, x3, y3, x4, y4));
}
void TGraphicsFacade::GrDrawLogo() {
  FORWARD(DrawTarvenoLogo());
}

#undef FORWARD

void TGraphicsFacade::GrOutTextXY(long double x, long double y, const std::string& text) {
  if (GraphicsWindowInstance) GraphicsWindowInstance->OutTextXY(x, y, DosToWin(text));
}

void TGraphicsFacade::GrMessage(const std::string& text) {
  ShowMessageCaption("", text);
}

void TGraphicsFacade::CheckFileFound(const std::string& name) {
  GlobalTextFile.Assign(name);
  if (GlobalTextFile.Reset() != kIoOk) {
    GrMessage(NameText(TrimStr(name)) + " " + "not found" + " !");
    AbortFlag = true;
    return;
  }
  GlobalTextFile.Close();
}

void TGraphicsFacade::GrCursorWait() {
  CursorWait();
}
void TGraphicsFacade::GrCursorArrow() {
  CursorArrow();
}

void TGraphicsFacade::DataFileName(std::string& name) {
  if (CurrentFileName.empty()) {
    name.clear();
  } else if (ProgramSettings.FileFromCommandLine) {
    name = CurrentFileName;
  } else {
    name = AddBackslash(DataDirectory) + CurrentFileName + "." + ProgramIdentity.shortName;
  }
}
