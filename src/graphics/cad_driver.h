// The device-independent CAD output driver: the target (CAD code), opening and closing the
// output, the driver state every primitive reads (colour, text size, justification, origin,
// sheet window) and the dimensioning built on the primitives.
//
// Drawing code includes "graphics/cad_blocks.h", which brings the driver, the primitives and
// the blocks. The driver state lives in PlotSettings (common/program_state.h).
#pragma once

#include <cstdint>
#include <string>

class CadWriter;

// Values of PlotSettings.CadCode.
constexpr std::uint16_t kCadNone = 0;    // nothing: every primitive does nothing
constexpr std::uint16_t kCadDxf = 1;     // DXF file
constexpr std::uint16_t kCadIges = 2;    // IGES file
constexpr std::uint16_t kCadScreen = 3;  // the graphics window (blocks through block files)
constexpr std::uint16_t kCadPlot = 4;    // "vectrix.dxf" for the plot program
constexpr std::uint16_t kCadText = 5;    // CAD-code text file

// Asks for the CAD code (and, for the plot program, its command line). Cancel sets AbortFlag.
void CadSelectCode();
// Opens the output: code 0 asks with CadSelectCode first. Cancel or a file that cannot be
// created sets AbortFlag.
void CadOpen(std::uint16_t code);
// Ends the output of the current code: ends and closes the file, starts the plot program or
// shows the window.
void CadClose();
// True for every code: each drawing pass runs once.
bool CadLoopDone();

void CadSetOrigin(long double x, long double y);
void CadSetDimensionSize(long double v);  // v times the configured dimension factor
void CadSetLineSpacing(long double f);
void CadTextJustify(int h, int v);      // h: 0 left, 1 centre, 2 right; v: 0 base, 1 middle, 2 top
void SetGraphicsKind(std::uint16_t k);  // PrintSettings.PictureKind

// Text size for the texts that follow. style is the window's font number (callers pass 2);
// width 0 means the configured width/height ratio times 0.7.
void CadTextHeight(int style, long double angle, long double height, long double width);
// As CadTextHeight, but a text longer than n characters is made smaller to fit n.
void CadTextHeightFit(int style, const std::string& text, int n, long double angle,
                      long double height, long double width);

// Colour 0..31 (above 31 folded to (n mod 16) + 16): layer on files, colour, line style and
// width on the screen.
void CadColour(int n);
void CadSetLineStyle(int n);

// Sheet window and file header (DXF HEADER, IGES start and global sections, the window's world
// window, the CAD-code MINMAX line); on the screen also the footer text.
void CadSheetFrame(long double x1, long double y1, long double x2, long double y2);

// Dimensioning; sizes in units of the dimensioning size, angles in degrees.
void CadArrow(long double x, long double y, long double angle, long double half, long double length,
              long double shaft);
void CadDimArrow(long double x, long double y, long double angle);
void CadDimension(const std::string& text, const std::string& upper, const std::string& lower,
                  long double x1, long double y1, long double x2, long double y2,
                  long double level);
void CadDimensionLine(const std::string& text, const std::string& upper, const std::string& lower,
                      long double ya, long double yb, long double level);

// --- for the primitives, the blocks and tests ---------------------------------------------

// The open file writer (DXF, IGES, CAD-code text, plot program), null on the screen, with
// code 0 and while closed.
CadWriter* CadFileWriter();
// The driver's open-state bookkeeping back to "closed" (drops an open file unwritten).
void ResetCadDriverForTests();
