// Sample sheets for the golden files, the DXF validator and a look at the picture: each title
// block kind with ten change rows, approval data and placed texts, beside a hatched section
// with a break line, the shaft-end symbol as a block, a data table and the message table.
// Needs a fixed clock (SetClockForTests) for its date lines.
#pragma once

#include <cstdint>
#include <string>

#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "drawings/centre_lines.h"
#include "drawings/drawing_documentation.h"
#include "drawings/drawing_table.h"
#include "drawings/hatching.h"
#include "drawings/title_block.h"
#include "graphics/cad_blocks.h"

struct TSampleSheet {
  const char* name;
  int format;  // 3 A3, 4 A4
  int kind;    // title block kind; -1: the fixed A4 title block
};

inline constexpr TSampleSheet kSampleSheets[] = {
    {"title_block_a4", 4, -1},   {"sheet_a4_din_minimal", 4, 0}, {"sheet_a3_iso_fig1", 3, 1},
    {"sheet_a4_iso_fig2", 4, 2}, {"sheet_a3_din", 3, 3},
};

inline void FillSampleDocumentation() {
  InitChangeRecords();
  ChangeRecords.count = 10;
  for (int i = 1; i <= 10; ++i) {
    TChangeRecord& c = ChangeRecords.changes[i];
    c.modification = "Tolerance " + std::to_string(i);
    c.date = (i < 10 ? "0" : "") + std::to_string(i) + ".02.2026";
    c.editor = "MK";
    c.description = "sample change";
  }
  ChangeRecords.drawingInfo[kComplDate] = "01.02.2026";
  ChangeRecords.drawingInfo[kComplName] = "Miller";
  ChangeRecords.drawingInfo[kCheckDate] = "02.02.2026";
  ChangeRecords.drawingInfo[kCheckName] = "Stone";
  ChangeRecords.drawingInfo[kStandDate] = "03.02.2026";
  ChangeRecords.drawingInfo[kStandName] = "Wood";
  ChangeRecords.drawingInfo[kReplacementFor] = "4711-01";
  ChangeRecords.drawingInfo[kReplacedBy] = "4711-03";
  ChangeRecords.drawingInfo[kReleaseDate] = "04.02.2026";
  ChangeRecords.drawingInfo[kReleaseName] = "Baker";
  ChangeRecords.textCount = 3;
  ChangeRecords.texts[1] = {30, 250, 5, 0, "SECTION A-A"};
  ChangeRecords.texts[2] = {60, 240, 0, 0, "height 0: not drawn"};
  ChangeRecords.texts[3] = {170, 235, 3.5L, 30, "turned text"};
  PlotSettings.ReleaseRowLabel = "Release";
  ConfigVariables.ChangeIndexStyle = 0;
}

// The whole drawing on one CAD target, from CadOpen to CadClose. The file name line shows
// "/home/user/splines/demo.vuk" whatever file the target writes.
inline void DrawSampleSheet(const TSampleSheet& sheet, std::uint16_t code) {
  FillSampleDocumentation();
  CadOpen(code);
  if (AbortFlag) return;
  CurrentFileName = "demo";
  DataDirectory = "/home/user/splines";
  ProgramSettings.FileFromCommandLine = false;
  if (sheet.kind >= 0) ConfigVariables.TitleBlockKind = sheet.kind;

  SetSheetExtents(sheet.format);
  CadBeginTables(2);
  CadBeginBlocks();
  CadBeginBlock(kTitleLogoBlock);
  CadColour(4);
  CadRectangle(0, 0, 40, 11);
  CadTextHeight(2, 0, 6, 5);
  CadText(4, 2.5L, "VUKO");
  CadEndBlock();
  CadBeginBlock("WLSTUMP");
  SetHatchMode(1);
  DrawHatchedSymbol(0, 0, 24);
  CadEndBlock();
  CadEndSection();

  CadBeginEntities();
  if (sheet.kind < 0) {
    DrawTitleBlock("External spline", "Involute spline 30 x 1.25 x 22", "4711-02");
  } else {
    DrawSheetWithTitleBlock(sheet.format, "External spline", "Involute spline 30 x 1.25 x 22",
                            "4711-02");
  }

  // A shaft end cut open: hatched section closed by a break line.
  CadColour(1);
  CadLine(30, 215, 135, 215);
  DrawCenterLine(60, 215, 52);
  CadColour(5);
  DrawCylinderOutline(40, 215, 120, 40);
  DrawConeOutline(120, 215, 128, 40, 32);
  CadLine(128, 199, 128, 231);
  SetFreehandSeed(11);
  ClearHatchPoints();
  SetHatchMode(1);
  AddHatchPoint(40, 195);
  AddHatchPoint(80, 195);
  FreehandLine(true, 80, 195, 80, 235, 1.5L);
  AddHatchPoint(40, 235);
  HatchPoints(0, 2.5L, 45);
  CadInsertBlock("WLSTUMP", 160, 215, 0, 1, 1);

  TAusTabelle table(30, 180, 2.5L, {22, 6, 5, 9, 9}, {"Data", "", "", "Shaft", "Hub"});
  table.AddRow({"Number of teeth", "z", "", "22", "-22"});
  table.AddRow({"Module", "m", "mm", LengthStr(1.25L), LengthStr(1.25L)});
  table.AddRow({"Pitch diameter", "d", "mm", LengthStr(27.5L), LengthStr(27.5L)});
  table.AddRow({"Pressure angle", "alpha", "deg", "30", "30"});

  ClearErrors();
  AddError("Warning: sample message one");
  AddError("Error  : sample message two");
  DrawMessageTable(0, 30, 125, 2.5L, 20);

  CadEndSection();
  CadClose();
}
