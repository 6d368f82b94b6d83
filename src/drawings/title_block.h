// Sheet frames and title blocks of the production drawings, filled from the drawing
// documentation: approval rows, change rows, placed drawing texts, the data file name and
// the date line, and the logo block.
//
// Sheet formats: 3 = A3 landscape (420 x 297), 4 = A4 upright (210 x 297); everything in sheet
// millimetres, origin at the sheet's lower left corner. t1 and t2 fill the title fields, t3 the
// field beside them; a text that is a lone "/" (blanks aside) counts as empty.
#pragma once

#include <string>

// Values of ConfigVariables.TitleBlockKind.
constexpr int kTitleBlockDinMinimal = 0;  // "DIN 6771 min."
constexpr int kTitleBlockIsoFig1 = 1;     // "ISO 7200 Fig.1"
constexpr int kTitleBlockIsoFig2 = 2;     // "ISO 7200 Fig.2"
constexpr int kTitleBlockDin = 3;         // "DIN 6771"

// Name of the logo block that the title blocks insert when the drawing defines it. It is
// drawn in millimetres with its origin at its lower left corner and should fit a field of
// 40 x 11 mm; it is inserted unscaled, except in the narrow field of ISO 7200 Fig. 1 (three
// quarters).
inline constexpr const char* kTitleLogoBlock = "logo_1";

// Change index of change number i by ConfigVariables.ChangeIndexStyle: 0 a, b, c...;
// 1 1, 2, 3...; 2 A, B, C...; 3 (and any other style) no index.
std::string ChangeIndexText(int i);

// The change list of the A4 title block (last eight changes, newest at the top).
void DrawChangeRows();
// A4 upright sheet with frame and the full title block; PictureKind becomes 2.
void DrawTitleBlock(const std::string& t1, const std::string& t2, const std::string& t3);
// Frame of format 3 or 4 and the title block of ConfigVariables.TitleBlockKind, the placed
// drawing texts, file name and date lines and the logo; PictureKind becomes 3 or 2.
void DrawSheetWithTitleBlock(int format, const std::string& t1, const std::string& t2,
                             const std::string& t3);
// The title block of ConfigVariables.TitleBlockKind alone, at its place on the format.
void DrawConfiguredTitleBlock(int format, const std::string& t1, const std::string& t2,
                              const std::string& t3);
// Sheet window of format 3 or 4 (other formats: nothing).
void SetSheetExtents(int format);
