// Production drawings and result sheets: the choice of the sheet, its named blocks and their
// placement, the side views of shaft and hub, and the result picture after a calculation.
#include "drawings/production_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "calc/toothing_data.h"
#include "common/dialog_host.h"
#include "common/error_explanations.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "drawings/centre_lines.h"
#include "drawings/data_tables.h"
#include "drawings/drawing_table.h"
#include "drawings/hatching.h"
#include "drawings/profile_blocks.h"
#include "drawings/title_block.h"
#include "drawings/tooth_graphics.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr const char* kSheetTexts[kProductionSheetCount] = {
    "Drawing Shaft",
    "Drawing Hub",
    "Table Shaft",
    "Table Hub",
    "Production drawing Shaft",
    "Production drawing Hub",
    "Table Shaft+Hub",
    "Production drawing Shaft+Hub",
    "Quick",
    "tolerance tooth thickness",
    "Data field Shaft",
    "Data field Hub",
    "Data field Shaft Hub",
    "Quick 3",
    "Quick 4",
    "return ..",
};

constexpr int kSheetHelpNumber = 8270;
constexpr long double kTableTextHeight = 3.5L;
constexpr long double kTableTop = 125.0L;
constexpr int kLabelColour = 19;
constexpr int kLongTextLength = 35;  // Text 1 and 2 shorter than this fit below the names

const TToothingData& T() {
  return ToothingData;
}

long double Da1() {
  return std::fabs(T().da[1]);
}

// Diameter the Quick sheets scale the wheels by: the shaft's tool limit diameter (root
// diameter plus twice the tool's whole depth), or its tip diameter when that is not known.
long double ToolLimitDiameter1() {
  const long double dT = std::fabs(T().da0[1]);
  return dT > 0 ? dT : Da1();
}

void InsertAt(const char* name, long double x, long double y, long double s) {
  CadInsertBlock(name, x, y, 0.0L, s, s);
}

void Block(const char* name, auto draw) {
  CadBeginBlock(name);
  draw();
  CadEndBlock();
}

void DataFieldBlock(const char* name, int part) {
  Block(name, [part] { SplineDataField(part, 0.0L, kTableTop, kTableTextHeight); });
}

void ShaftStumpBlock() {
  Block("WLSTUMP", [] { DrawHatchedSymbol(0.0L, 0.0L, Da1()); });
}

void PartFrameBlock(const char* name, int part) {
  Block(name, [part] {
    if (!AbortFlag) {
      DrawTitleBlock(PartNames.partName[part], PartNames.secondName[part],
                     PartNames.drawingNumber[part]);
    }
  });
}

std::string Joined(const PartText& texts) {
  return texts[1] + "/" + texts[2];
}

void Quick4FrameBlock() {
  Block("frame_1", [] {
    DrawSheetWithTitleBlock(3, Joined(PartNames.partName), Joined(PartNames.secondName),
                            Joined(PartNames.drawingNumber));
  });
}

// Sheet window of each kind.
void SheetWindow(int kind) {
  const long double mn = T().mn;
  const long double da1 = Da1();
  switch (kind) {
    case kSheetDrawingShaft:
      CadSheetFrame(-5 * mn, -0.6L * da1, da1 / 2 + T().bGear[1] + 10 * mn, 0.6L * da1);
      break;
    case kSheetDrawingHub:
      CadSheetFrame(-5 * mn, -1.1L * da1, T().bGear[2] + 5 * mn, 1.1L * da1);
      break;
    case kSheetTableShaft:
    case kSheetTableHub:
    case kSheetDataFieldShaft:
    case kSheetDataFieldHub:
      CadSheetFrame(-5, -5, 130, 130);
      break;
    case kSheetProductionShaft:
    case kSheetProductionHub:
      CadSheetFrame(-5, -5, 225, 310);
      break;
    case kSheetProductionShaftHub:
      CadSheetFrame(-5, -5, 435, 310);
      break;
    case kSheetQuick4:
      SetSheetExtents(3);
      break;
    default:
      CadSheetFrame(0, 0, 160, 120);
      break;
  }
}

void SheetBlocks(int kind) {
  switch (kind) {
    case kSheetDrawingShaft:
      ShaftStumpBlock();
      break;
    case kSheetProductionShaft:
      PartFrameBlock("FRAME_1", 1);
      ShaftStumpBlock();
      Block("WELLE", DrawShaftView);
      DataFieldBlock("TABELLE", 1);
      break;
    case kSheetProductionHub:
      PartFrameBlock("FRAME_1", 2);
      Block("NABE", DrawHubView);
      DataFieldBlock("TABELLE", 2);
      break;
    case kSheetProductionShaftHub:
      PartFrameBlock("FRAME_1", 1);
      PartFrameBlock("FRAME_2", 2);
      ShaftStumpBlock();
      Block("WELLE", DrawShaftView);
      DataFieldBlock("TABELL1", 1);
      Block("NABE", DrawHubView);
      DataFieldBlock("TABELL2", 2);
      break;
    case kSheetQuick:
    case kSheetQuick3:
      ToothProfileBlocks(0);
      break;
    case kSheetQuick4:
      Quick4FrameBlock();
      ToothProfileBlocks(0);
      break;
    case kSheetQuickFields:
    case kSheetDataFieldShaftHub:
      DataFieldBlock("TAB1", 1);
      DataFieldBlock("TAB2", 2);
      break;
    default:
      break;
  }
}

// Shaft and hub wheels on one centre, the hub turned by half a pitch more than half a turn so
// that its gaps take the shaft's teeth.
void PlaceWheels(long double x, long double y, long double s) {
  const long double z1 = T().z[1] != 0 ? T().z[1] : 1;
  CadColour(0);
  CadInsertBlock("RAD1", x, y, 0.0L, s, s);
  CadInsertBlock("RAD2", x, y, 180.0L + 180.0L / z1, s, s);
}

void PlaceShaft(long double xBase) {
  const long double s = ShaftViewScale();
  InsertAt("WELLE", xBase - (T().bGear[1] / 2 + T().df[1] / 4) * s, 235, s);
}

void PlaceHub(long double xBase) {
  const long double s = HubViewScale();
  InsertAt("NABE", xBase - (T().bGear[2] / 2) * s, 235, s);
}

std::string NameLine(int part, const char* gap) {
  return PartNames.partName[part] + gap + PartNames.drawingNumber[part];
}

void PlaceQuick() {
  PlaceWheels(60, 60, 115 / ToolLimitDiameter1());
  CadColour(0);
  SplineDataField(1, 32, 102, 1.8L);
  SplineDataField(2, 32, 60, 1.8L);
  if (ErrorCount() > 0) DrawMessageTable(29, 120, 118, 1.5L, 0);
}

void PlaceQuick3() {
  PlaceWheels(30, 88, 56 / ToolLimitDiameter1());
  SplineDataField(1, 61, 117.5L, 1.33L);
  SplineDataField(2, 111, 117.5L, 1.33L);
  CadColour(kLabelColour);
  CadTextHeight(2, 0.0L, 1.5L, 1.0L);
  CadMoveTo(12, 92);
  CadTextLine(NameLine(1, " "));
  CadTextLine(NameLine(2, " "));
  const bool shortTexts = static_cast<int>(DrawingTexts[1].size()) < kLongTextLength &&
                          static_cast<int>(DrawingTexts[2].size()) < kLongTextLength;
  if (!shortTexts) CadMoveTo(62, 72);
  CadTextLine(DrawingTexts[1]);
  CadTextLine(DrawingTexts[2]);
  DimensionsTable(80, 80, 1.33L);
  ToolDimensionsTable(75, 40, 1.33L);
  if (ErrorCount() > 0) DrawMessageTable(0, 10, 50, 1.3L, 16);
}

void PlaceQuick4() {
  InsertAt("frame_1", 0, 0, 1);
  PlaceWheels(94, 212, 140 / ToolLimitDiameter1());
  const long double sTool = 25 / T().mn;
  CadColour(0);
  InsertAt("WERKZ1", 250, 236, sTool);
  InsertAt("WERKZ2", 250, 190, sTool);
  SplineDataField(1, 330, 286, 2.2L);
  SplineDataField(2, 330, 210, 2.2L);
  DimensionsTable(322, 130, 2.2L);
  CadColour(kLabelColour);
  CadTextHeight(2, 0.0L, 2.5L, 1.9L);
  CadMoveTo(44, 225);
  for (int part = 1; part <= 2; ++part) {
    CadTextLine(NameLine(part, "  ") + "   " + PartNames.secondName[part]);
  }
  CadTextLine(DrawingTexts[1]);
  CadTextLine(DrawingTexts[2]);
  if (ErrorCount() > 0) DrawMessageTable(0, 250, 130, 2.2L, 0);
}

void PlaceContent(int kind) {
  CadColour(0);
  switch (kind) {
    case kSheetDrawingShaft:
      DrawShaftView();
      break;
    case kSheetDrawingHub:
      DrawHubView();
      break;
    case kSheetTableShaft:
    case kSheetTableHub:
      SplineDataTable(kind == kSheetTableShaft ? 1 : 2, 0, kTableTop, kTableTextHeight);
      break;
    case kSheetDataFieldShaft:
    case kSheetDataFieldHub:
      SplineDataField(kind == kSheetDataFieldShaft ? 1 : 2, 0, kTableTop, kTableTextHeight);
      break;
    case kSheetProductionShaft:
    case kSheetProductionHub:
      InsertAt("FRAME_1", 0, 0, 1);
      InsertAt("TABELLE", 45, 50, 1);
      if (kind == kSheetProductionShaft) {
        PlaceShaft(100);
      } else {
        PlaceHub(100);
      }
      break;
    case kSheetProductionShaftHub:
      InsertAt("FRAME_1", 0, 0, 1);
      InsertAt("FRAME_2", 220, 0, 1);
      InsertAt("TABELL1", 45, 50, 1);
      PlaceShaft(100);
      InsertAt("TABELL2", 265, 50, 1);
      PlaceHub(320);
      break;
    case kSheetQuick:
      PlaceQuick();
      break;
    case kSheetQuickFields:
      InsertAt("TAB1", 2, 42, 0.6L);
      InsertAt("TAB2", 82, 42, 0.6L);
      break;
    case kSheetDataFieldShaftHub:
      CadInsertBlock("TAB1", 2, 10, 0.0L, 0.6L, 0.75L);
      CadInsertBlock("TAB2", 82, 10, 0.0L, 0.6L, 0.75L);
      break;
    case kSheetQuick3:
      PlaceQuick3();
      break;
    case kSheetQuick4:
      PlaceQuick4();
      break;
    default:  // "tolerance tooth thickness": the sheet alone
      break;
  }
}

// One sheet from an open CAD output to its end.
void DrawSheet(int kind) {
  CadColour(0);
  SheetWindow(kind);
  CadBeginTables(2);
  CadBeginBlocks();
  SheetBlocks(kind);
  CadEndSection();
  do {
    CadBeginEntities();
    PlaceContent(kind);
    CadEndSection();
  } while (!CadLoopDone());
  SetGraphicsKind(3);
}

void FillSheetList() {
  for (int i = 1; i <= kProductionSheetCount; ++i) ScreenLines[i] = kSheetTexts[i - 1];
  SetInputHelpNumber(kSheetHelpNumber);
}

}  // namespace

const char* ProductionSheetText(int kind) {
  if (kind < 1 || kind > kProductionSheetCount) return "";
  return kSheetTexts[kind - 1];
}

long double ShaftViewScale() {
  return std::min(100 / (10 * T().mn + T().bGear[1]), 90 / Da1());
}

long double HubViewScale() {
  return std::min(100 / T().bGear[2], 90 / (1.5L * Da1()));
}

void ProductionDrawing(std::uint16_t out, std::int16_t kind) {
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  // A kind outside the list opens nothing (no empty file is left behind).
  if (kind < 0 || kind > kProductionSheetCount) return;
  std::uint16_t& current = ProgramSettings.DrawingMenuChoice;
  current = 0;
  int choice = 0;
  do {
    ++current;
    FillSheetList();
    choice = current;
    if (kind == kSheetChoose) {
      InputCode("Please make a choice ..", kProductionSheetCount, choice);
    } else {
      choice = kind;
    }
    current = static_cast<std::uint16_t>(choice);
    if (AbortFlag || choice == kSheetReturn) break;
    CadOpen(out);
    if (AbortFlag) break;
    DrawSheet(choice);
    CadClose();
    RestoreCursor();
  } while (kind == kSheetChoose && choice != kSheetReturn && !AbortFlag);
  if (choice == kSheetProductionShaftHub) SetGraphicsKind(1);
}

void ShowResultPicture() {
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  switch (ConfigVariables.ResultScreen) {
    case 1:
      ProductionDrawing(kCadScreen, kSheetQuick);
      break;
    case 3:
      ProductionDrawing(kCadScreen, kSheetProductionShaftHub);
      break;
    case 4:
      SplineToothGraphicsMenu(kCadScreen, 6);
      break;
    case 5:
      SplineToothGraphicsMenu(kCadScreen, 3);
      break;
    default:  // 0 "default", 2 "Quick 3", 6 "Quick 4" and anything else
      ProductionDrawing(kCadScreen, kSheetQuick3);
      break;
  }
}

void DrawShaftView() {
  const TToothingData& t = T();
  const long double mn = t.mn;
  const long double L = 10 * mn;
  const long double b = t.bGear[1];
  const long double d1 = t.d[1];
  const long double da1 = t.da[1];
  const long double df1 = t.df[1];
  CadInsertBlock("WLSTUMP", 0, 0, 90, 1, 1);
  CadColour(1);
  CadLine(0, 0, b + 1.1L * L, 0);
  DrawCylinderOutline(0.9L * L, 0, b + 1.1L * L, d1);
  CadColour(2);
  DrawCylinderOutline(L, 0, b + L, df1);
  CadColour(5);
  DrawCylinderOutline(0, 0, b + L - mn, da1);
  DrawCenterLine(L, 0, da1);
  DrawCenterLine(b + L - mn, 0, da1);
  DrawCenterLine(b + L, 0, df1);
  DrawConeOutline(b + L - mn, 0, b + L, da1, df1);
  CadTextHeight(2, 0.0L, b / 20, b / 30);
  CadColour(0);
  CadSetDimensionSize(da1 / 60);
  CadDimension(LengthStr(da1), "", "", b + L, -da1 / 2, b + L, da1 / 2, b + L + 0.4L * d1);
}

namespace {

// One wall section of the hub beside the toothing, hatched; side +1 above the axis, -1 below.
void HubWallSection(long double side, long double b, long double rf, long double t) {
  ClearHatchPoints();
  AddHatchPoint(0, side * (rf + t));
  AddHatchPoint(0, side * rf);
  AddHatchPoint(b, side * rf);
  CadColour(3);
  FreehandLine(true, b, side * (rf + t), 0, side * (rf + t), t / 5);
  SetHatchMode(2);
  HatchPoints(0, 0.0L, 45);
}

}  // namespace

void DrawHubView() {
  const TToothingData& t = T();
  const long double mn = t.mn;
  const long double b = t.bGear[2];
  const long double d2 = std::fabs(t.d[2]);
  const long double da2 = std::fabs(t.da[2]);
  const long double df2 = std::fabs(t.df[2]);
  CadColour(1);
  CadLine(-mn, 0, b + mn, 0);
  DrawCylinderOutline(-2 * mn, 0, b + 2 * mn, d2);
  const long double wall = std::min(4 * mn, da2 / 4);
  HubWallSection(1, b, df2 / 2, wall);
  HubWallSection(-1, b, df2 / 2, wall);
  SetHatchMode(1);
  CadColour(5);
  DrawCylinderOutline(0, 0, b, df2);
  DrawCylinderOutline(0, 0, b, da2);
  // The end faces run from the bore to the outer edge of the wall section, which they close.
  DrawCenterLine(0, 0, df2 + 2 * wall);
  DrawCenterLine(b, 0, df2 + 2 * wall);
  const long double da1 = Da1();
  CadTextHeight(2, 0.0L, da1 / 20, da1 / 30);
  CadColour(0);
  CadSetDimensionSize(df2 / 60);
  CadDimension(LengthStr(da2), "", "", b, -da2 / 2, b, da2 / 2, b + 0.2L * d2);
}
