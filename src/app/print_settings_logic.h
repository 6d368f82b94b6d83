// What the print setup does with the print settings, apart from its window: the defaults by the
// kind of picture on the screen, the dialog's texts from the settings and back, and the rows of
// the printer information.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "graphics/view_control.h"

enum class TPrintOrientation { Portrait, Landscape };

// Portrait for code 1, landscape for every other code.
TPrintOrientation OrientationOfCode(int code);

// The part of the paper a printer reaches, in millimetres, in the orientation it now has.
struct TPrintableArea {
  long double widthMm = 0.0L;
  long double heightMm = 0.0L;
};

// The area as the printer stands once it takes the orientation, from the area as it stands now.
TPrintableArea AreaInOrientation(const TPrintableArea& printable, TPrintOrientation orientation);

// Sets the print layout of PrintSettings from the configured defaults by PictureKind and returns
// the orientation the printer is to take. Kinds 0, 1 and 3 take the screendump values and the
// configured orientation (or `orientation` when given); kind 2 (an A4 sheet drawn in
// millimetres) prints at scale 1 from the page corner without border line, portrait (or
// `orientation`); other kinds keep the settings and the printer's orientation (no value).
// Defaults that would put ink of the picture off the printable area (given as the printer
// stands before it turns; empty for none) are fitted to it (FitPrintLayoutToArea).
std::optional<TPrintOrientation> SetPrintDefaultsByKind(
    const TPrintableArea& printable = {}, std::optional<TPrintOrientation> orientation = {});

// Where the ink of the picture in DisplayList lands at the stored layout: its edges in
// millimetres from the top left corner of a printable area pageWidthMm wide. Every line, arc,
// filled shape and the border line count as drawn; a text counts as its cell, as high as the
// replay makes it and as long as its characters at a capital's width. Empty for no picture.
std::optional<TPrintedRect> PrintedInkMm(long double pageWidthMm);

// Puts the ink of the picture wholly on the area: when some falls off, both print scales are
// lowered by one factor as far as needed (to 3 significant digits) and the origins move the
// least that brings every edge on. A layout that keeps the ink on the area stays.
void FitPrintLayoutToArea(const TPrintableArea& area);

// What of the picture's ink falls off the printable area at the stored layout: a message
// naming the millimetres beyond each edge and the layout that fits, or empty when it fits.
std::string PageOverhangMessage(const TPrintableArea& area);

// The dialog's values as its controls hold them.
struct TPrintDialogValues {
  std::string scaleX;
  std::string scaleY;
  std::string originX;
  std::string originY;
  bool borderLine = false;
  int printModeIndex = 0;    // 0 monochrome, 1 colour or grey scale
  int orientationIndex = 0;  // 0 portrait, 1 landscape
};

// The controls' values from PrintSettings, the print mode of ProgramSettings and the printer's
// orientation.
TPrintDialogValues PrintDialogValuesOf(TPrintOrientation orientation);

// Stores the values into PrintSettings and the print mode and returns the orientation for the
// printer. A scale that is not a number above 0 would print nothing visible: then nothing is
// stored, error names the field ("Scale x" or "Scale y") and the result is empty.
std::optional<TPrintOrientation> StorePrintDialogValues(const TPrintDialogValues& values,
                                                        std::string& error);

// What is known of a printer. Values a platform cannot tell are left empty.
struct TPrinterFacts {
  std::string name;
  std::optional<int> driverVersion;
  int technology = 2;  // 0 plotter, 2 raster printer, 5 metafile (a file such as PDF)
  int widthMm = 0;
  int heightMm = 0;
  int widthPx = 0;
  int heightPx = 0;
  int offsetXPx = 0;  // printable area from the paper's left edge
  int offsetYPx = 0;  // printable area from the paper's top edge
  int dpiX = 0;
  int dpiY = 0;
  std::optional<int> brushes;
  std::optional<int> pens;
  std::optional<int> markers;
  std::optional<int> colours;
  std::vector<std::string> fonts;
};

// The word for a device technology value; values without a word give "?".
std::string TechnologyWord(int technology);

// Rows of the printer information grid (label, value): 20 rows at least, rows 0 to 15 the
// facts, from row 16 one font name per row.
std::vector<std::pair<std::string, std::string>> PrinterInfoRows(const TPrinterFacts& facts);
