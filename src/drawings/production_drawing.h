// The production drawings and result sheets of a calculated spline joint: side views of shaft
// and hub, production drawings with title blocks and data fields, and the "Quick" sheets. One
// composition serves every CAD target (screen, DXF, IGES, plot program, CAD-code text).
#pragma once

#include <cstdint>

// Sheet kinds of ProductionDrawing (entries of its choice list).
enum TProductionSheet : std::int16_t {
  kSheetChoose = 0,  // show the choice list
  kSheetDrawingShaft = 1,
  kSheetDrawingHub = 2,
  kSheetTableShaft = 3,
  kSheetTableHub = 4,
  kSheetProductionShaft = 5,
  kSheetProductionHub = 6,
  kSheetQuick = 7,  // "Table Shaft+Hub"
  kSheetProductionShaftHub = 8,
  kSheetQuickFields = 9,  // "Quick"
  kSheetToleranceToothThickness = 10,
  kSheetDataFieldShaft = 11,
  kSheetDataFieldHub = 12,
  kSheetDataFieldShaftHub = 13,
  kSheetQuick3 = 14,
  kSheetQuick4 = 15,
  kSheetReturn = 16,  // "return .." leaves the list
};
constexpr int kProductionSheetCount = 16;

// List text of sheet kind 1..16 ("" outside).
const char* ProductionSheetText(int kind);

// Draws sheet kind 1..15 to the CAD target out (3 screen, 0 ask for the code, 1 DXF, 2 IGES,
// 5 CAD-code text); kind 0 lets the user choose from the list, again and again until "return
// .." or Cancel. While CalcFatalFlag is set the message list is shown instead. Cancel and
// failure leave AbortFlag set.
void ProductionDrawing(std::uint16_t out, std::int16_t kind);

// Draws on the screen the result picture chosen by ConfigVariables.ResultScreen.
void ShowResultPicture();

// The side views, drawn at the current CAD target with the axis on y = 0 and the toothing
// starting near x = 0. The shaft view inserts block "WLSTUMP", which must exist.
void DrawShaftView();
void DrawHubView();

// The scale ProductionDrawing uses for the shaft view on a portrait sheet and for the hub view.
long double ShaftViewScale();
long double HubViewScale();
