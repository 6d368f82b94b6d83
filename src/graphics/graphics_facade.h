// The drawing object through which the rest of the program draws on the graphics window: it
// forwards to the one window, converts texts from the DOS code page and CAD colour numbers to
// colour-table numbers, and offers cursor, message and file-check operations.
#pragma once

#include <cstdint>
#include <string>

// CAD colour number (any byte) to colour-table number 0..16.
std::uint8_t MapColour(std::uint8_t n);

class TGraphicsFacade {
 public:
  TGraphicsFacade();           // creates the DisplayList
  virtual ~TGraphicsFacade();  // frees it
  TGraphicsFacade(const TGraphicsFacade&) = delete;
  TGraphicsFacade& operator=(const TGraphicsFacade&) = delete;

  void GrClear();
  void GrSetWindow(bool isotropic, bool framed, long double fx1, long double fy1, long double fx2,
                   long double fy2, long double xmin, long double ymin, long double xmax,
                   long double ymax);
  void GrCircle(long double x, long double y, long double r);
  void GrLine(long double x1, long double y1, long double x2, long double y2);
  void GrArc(long double x, long double y, long double startAngle, long double endAngle,
             long double r);
  void GrSetColor(std::uint8_t n);
  void GrHeader(long double xmin, long double ymin, long double xmax, long double ymax);
  void GrClearViewPort();
  void GrSetLineStyle(std::int16_t n);
  void GrSetTextStyle(int font, long double angle, long double height, long double width);
  void GrSolid(long double x1, long double y1, long double x2, long double y2, long double x3,
               long double y3, long double x4, long double y4);
  void GrDrawLogo();

  // Text in the DOS code page; it reaches the display list converted for display.
  void GrOutTextXY(long double x, long double y, const std::string& text);
  // Texts are always placed by their lower-left reference point; the codes change nothing.
  void GrSetTextJustify(int h, int v) {}
  void GrSetMappedColour(std::uint8_t n) { GrSetColor(MapColour(n)); }
  void GrMessage(const std::string& text);
  // Shows "<name without blanks> not found !" and sets AbortFlag when the file cannot be read.
  void CheckFileFound(const std::string& name);
  void GrCursorWait();
  void GrCursorArrow();
  void DataFileName(std::string& name);
};

// The one facade; created with the main window.
extern TGraphicsFacade* GraphicsFacade;
