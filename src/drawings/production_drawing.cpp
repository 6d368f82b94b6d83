// Production drawings and result sheets: the choice of the sheet, its named blocks and their
// placement, the side views of shaft and hub, and the result picture after a calculation.
#include "drawings/production_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
#include "drawings/sheet_layout.h"
#include "drawings/title_block.h"
#include "drawings/tooth_graphics.h"
#include "drawings/tooth_graphics_support.h"
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

// Where the text blocks of a result sheet go: their given places, moved off the wheels and into
// the window where those places would cover the part or leave the window.
struct TQuickPlaces {
  TSheetBox window;
  long double field1X = 0, field1Y = 0, field2X = 0, field2Y = 0;
  long double namesX = 0, namesY = 0;  // pen of the first name line
  long double textsX = 0, textsY = 0;  // pen of Text 1 and 2 when they stand apart
  long double dimX = 0, dimY = 0, toolX = 0, toolY = 0;
  long double messagesX = 0, messagesY = 0;
};

int Longest(const std::vector<std::string>& lines) {
  std::size_t n = 0;
  for (const std::string& line : lines) n = std::max(n, line.size());
  return static_cast<int>(n);
}

int Written(const std::vector<std::string>& lines) {
  // CadTextLine skips an empty text without moving down.
  return static_cast<int>(
      std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return !l.empty(); }));
}

bool ShortTexts() {
  return static_cast<int>(DrawingTexts[1].size()) < kLongTextLength &&
         static_cast<int>(DrawingTexts[2].size()) < kLongTextLength;
}

std::vector<std::string> NameLines(int kind) {
  std::vector<std::string> lines;
  for (int part = 1; part <= 2; ++part) {
    lines.push_back(kind == kSheetQuick4 ? NameLine(part, "  ") + "   " + PartNames.secondName[part]
                                         : NameLine(part, " "));
  }
  if (kind == kSheetQuick4 || ShortTexts()) {
    lines.push_back(DrawingTexts[1]);
    lines.push_back(DrawingTexts[2]);
  }
  return lines;
}

void PlaceBox(TSheetLayout& layout, long double& x, long double& y, const TSheetBox& box,
              long double gap) {
  long double left = box.left, top = box.top;
  layout.Place(left, top, box.right - box.left, box.top - box.bottom, gap);
  x += left - box.left;
  y += top - box.top;
}

void PlaceLines(TSheetLayout& layout, long double& x, long double& y,
                const std::vector<std::string>& lines, long double h, long double w) {
  if (Written(lines) == 0) return;
  PlaceBox(layout, x, y, TextLinesBox(x, y, Written(lines), Longest(lines), h, w), h);
}

TQuickPlaces QuickPlaces(int kind) {
  TQuickPlaces p;
  // The wheels are drawn at the involute generating shift whatever the last picture used.
  PrepareGeneratingDiameters(TGeneratingShift::Involute);
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  const long double wheelRadius =
      std::max({std::fabs(g.daGen[1]), std::fabs(g.dfGen[2]), std::fabs(g.daGen[2])}) / 2;
  const bool messages = ErrorCount() > 0;
  if (kind == kSheetQuick) {
    p.window = {0, 0, 160, 120};
    TSheetLayout layout(p.window);
    layout.AddDisc(60, 60, wheelRadius * 115 / ToolLimitDiameter1());
    p.field1X = 32, p.field1Y = 102, p.field2X = 32, p.field2Y = 60;
    PlaceBox(layout, p.field1X, p.field1Y, SplineDataFieldBox(32, 102, 1.8L), 1.8L);
    PlaceBox(layout, p.field2X, p.field2Y, SplineDataFieldBox(32, 60, 1.8L), 1.8L);
    p.messagesX = 120, p.messagesY = 118;
    if (messages)
      PlaceBox(layout, p.messagesX, p.messagesY, MessageTableBox(29, 120, 118, 1.5L, 0), 1.5L);
    p.window = layout.Window();
    return p;
  }
  if (kind == kSheetQuick3) {
    p.window = {0, 0, 160, 120};
    TSheetLayout layout(p.window);
    layout.AddDisc(30, 88, wheelRadius * 56 / ToolLimitDiameter1());
    p.field1X = 61, p.field1Y = 117.5L, p.field2X = 111, p.field2Y = 117.5L;
    PlaceBox(layout, p.field1X, p.field1Y, SplineDataFieldBox(61, 117.5L, 1.33L), 0.5L);
    PlaceBox(layout, p.field2X, p.field2Y, SplineDataFieldBox(111, 117.5L, 1.33L), 0.5L);
    p.dimX = 80, p.dimY = 80, p.toolX = 75, p.toolY = 40;
    PlaceBox(layout, p.dimX, p.dimY, DimensionsTableBox(80, 80, 1.33L), 1.33L);
    PlaceBox(layout, p.toolX, p.toolY, ToolDimensionsTableBox(75, 40, 1.33L), 1.33L);
    p.namesX = 12, p.namesY = 92;
    PlaceLines(layout, p.namesX, p.namesY, NameLines(kind), 1.5L, 1.0L);
    p.textsX = 62, p.textsY = 72;
    if (!ShortTexts()) {
      PlaceLines(layout, p.textsX, p.textsY, {DrawingTexts[1], DrawingTexts[2]}, 1.5L, 1.0L);
    }
    p.messagesX = 10, p.messagesY = 50;
    if (messages)
      PlaceBox(layout, p.messagesX, p.messagesY, MessageTableBox(0, 10, 50, 1.3L, 16), 1.3L);
    p.window = layout.Window();
    return p;
  }
  // Quick 4: text stays inside the drawing frame and off the title block and the tool pictures.
  p.window = {15, 5, 415, 292};
  TSheetLayout layout(p.window);
  layout.AddBox({227.8L, 5, 415, 60.25L});
  layout.AddDisc(94, 212, wheelRadius * 140 / ToolLimitDiameter1());
  // The tool pictures keep inside two modules of their centre (the basic-rack window).
  layout.AddBox({200, 186, 300, 286});
  layout.AddBox({200, 140, 300, 240});
  p.field1X = 330, p.field1Y = 286, p.field2X = 330, p.field2Y = 210;
  PlaceBox(layout, p.field1X, p.field1Y, SplineDataFieldBox(330, 286, 2.2L), 1.1L);
  PlaceBox(layout, p.field2X, p.field2Y, SplineDataFieldBox(330, 210, 2.2L), 1.1L);
  p.dimX = 322, p.dimY = 130;
  PlaceBox(layout, p.dimX, p.dimY, DimensionsTableBox(322, 130, 2.2L), 1.1L);
  p.namesX = 44, p.namesY = 225;
  PlaceLines(layout, p.namesX, p.namesY, NameLines(kind), 2.5L, 1.9L);
  p.messagesX = 250, p.messagesY = 130;
  if (messages)
    PlaceBox(layout, p.messagesX, p.messagesY, MessageTableBox(0, 250, 130, 2.2L, 0), 2.2L);
  p.window = {-2, -5, 422, 305};
  return p;
}

void WriteLines(long double x, long double y, const std::vector<std::string>& lines) {
  CadMoveTo(x, y);
  for (const std::string& line : lines) CadTextLine(line);
}

void PlaceQuick(const TQuickPlaces& p) {
  PlaceWheels(60, 60, 115 / ToolLimitDiameter1());
  CadColour(0);
  SplineDataField(1, p.field1X, p.field1Y, 1.8L);
  SplineDataField(2, p.field2X, p.field2Y, 1.8L);
  if (ErrorCount() > 0) DrawMessageTable(29, p.messagesX, p.messagesY, 1.5L, 0);
}

void PlaceQuick3(const TQuickPlaces& p) {
  PlaceWheels(30, 88, 56 / ToolLimitDiameter1());
  SplineDataField(1, p.field1X, p.field1Y, 1.33L);
  SplineDataField(2, p.field2X, p.field2Y, 1.33L);
  CadColour(kLabelColour);
  CadTextHeight(2, 0.0L, 1.5L, 1.0L);
  WriteLines(p.namesX, p.namesY, NameLines(kSheetQuick3));
  if (!ShortTexts()) WriteLines(p.textsX, p.textsY, {DrawingTexts[1], DrawingTexts[2]});
  DimensionsTable(p.dimX, p.dimY, 1.33L);
  ToolDimensionsTable(p.toolX, p.toolY, 1.33L);
  if (ErrorCount() > 0) DrawMessageTable(0, p.messagesX, p.messagesY, 1.3L, 16);
}

void PlaceQuick4(const TQuickPlaces& p) {
  InsertAt("frame_1", 0, 0, 1);
  PlaceWheels(94, 212, 140 / ToolLimitDiameter1());
  const long double sTool = 25 / T().mn;
  CadColour(0);
  InsertAt("WERKZ1", 250, 236, sTool);
  InsertAt("WERKZ2", 250, 190, sTool);
  SplineDataField(1, p.field1X, p.field1Y, 2.2L);
  SplineDataField(2, p.field2X, p.field2Y, 2.2L);
  DimensionsTable(p.dimX, p.dimY, 2.2L);
  CadColour(kLabelColour);
  CadTextHeight(2, 0.0L, 2.5L, 1.9L);
  WriteLines(p.namesX, p.namesY, NameLines(kSheetQuick4));
  if (ErrorCount() > 0) DrawMessageTable(0, p.messagesX, p.messagesY, 2.2L, 0);
}

void PlaceContent(int kind, const TQuickPlaces& quick) {
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
      PlaceQuick(quick);
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
      PlaceQuick3(quick);
      break;
    case kSheetQuick4:
      PlaceQuick4(quick);
      break;
    default:  // "tolerance tooth thickness": the sheet alone
      break;
  }
}

// One sheet from an open CAD output to its end.
void DrawSheet(int kind) {
  const bool quick = kind == kSheetQuick || kind == kSheetQuick3 || kind == kSheetQuick4;
  const TQuickPlaces places = quick ? QuickPlaces(kind) : TQuickPlaces{};
  CadColour(0);
  if (quick) {
    const TSheetBox& w = places.window;
    CadSheetFrame(w.left, w.bottom, w.right, w.top);
  } else {
    SheetWindow(kind);
  }
  CadBeginTables(2);
  CadBeginBlocks();
  SheetBlocks(kind);
  CadEndSection();
  do {
    CadBeginEntities();
    PlaceContent(kind, places);
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
  CadDimension(DiameterDimensionText(da1), "", "", b + L, -da1 / 2, b + L, da1 / 2,
               b + L + 0.4L * d1);
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
  CadDimension(DiameterDimensionText(da2), "", "", b, -da2 / 2, b, da2 / 2, b + 0.2L * d2);
}
