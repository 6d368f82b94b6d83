// Spline data tables and the dimension tables of shaft and hub, laid out by the drawing table.
#include "drawings/data_tables.h"

#include <cmath>

#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "drawings/drawing_table.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr int kTableColour = 4;
constexpr TTableWidths kFieldWidths = {23, 5, 13};
constexpr int kFieldRows = 10;
constexpr TTableWidths kDimensionWidths = {19, 5, 3, 9, 9};
constexpr int kDimensionRows = 10;
constexpr TTableWidths kToolWidths = {21, 9, 3, 9, 9};
constexpr int kToolRows = 6;

bool ValidPart(int part) {
  if (part == 1 || part == 2) return true;
  AddError("Error Radnr !");
  return false;
}

int OtherPart(int part) {
  return part == 1 ? 2 : 1;
}

// Fixed length text in the unit system, 5 integer digits and 3 decimals.
std::string Length53(long double mm) {
  return LengthStrW(5, 3, mm);
}

}  // namespace

std::string SplineTableTitle(int part) {
  const std::string kind = part == 1 ? "External involute spline " : "Internal involute spline ";
  return kind + PartNames.drawingNumber[part] + " (" + PartNames.partName[part] + ")";
}

void SplineDataTable(int part, long double x, long double y, long double h) {
  if (!ValidPart(part)) return;
  const TToothingData& t = ToothingData;
  CadColour(kTableColour);
  TAusTabelle table(x, y, h, {26, 12}, {SplineTableTitle(part), ""});
  table.AddRow({"module m", "     " + LengthStr(t.mn)});
  table.AddRow({"pressure angle alpha", "   " + RealStr(t.alpha)});
  table.AddRow({"no.of teeth z", IntStrW(t.z[1], 6)});
  table.AddRow({"profile shift x*m", SignedRealStr(3, LengthToUnit(t.x[part] * t.mn))});
  table.AddRow({"tooth depth h", LengthStrW(4, 3, t.h[part])});
  if (part == 1) {
    table.AddRow({"span measurement (k=" + IntStr(t.k[1]) + ") W", Length53(t.W[1])});
  } else {
    table.AddRow(
        {"Meas. Dim. Mi (DM=" + LengthStr(t.Dm[2]) + ") nom", Length53(std::fabs(t.M2Nominal[2]))});
  }
  table.AddRow({"Complement. part", PartNames.drawingNumber[OtherPart(part)]});
}

void SplineDataField(int part, long double x, long double y, long double h) {
  if (!ValidPart(part)) return;
  const TToothingData& t = ToothingData;
  CadColour(kTableColour);
  TAusTabelle table(x, y, h, kFieldWidths, {SplineTableTitle(part), "", ""});
  table.AddRow({"no.of teeth", " z", IntStrW(t.z[1], 6)});
  table.AddRow({"module", "m", "     " + LengthStr6(t.mn)});
  table.AddRow({"pressure angle", "alpha", "   " + RealStr(t.alpha) + " " + AngleUnitStr()});
  if (part == 1) {
    table.AddRow({"tip diameter", "da1", Length53(std::fabs(t.da[1]))});
    table.AddRow({"root form diameter", "dFf1", Length53(t.dFf[1])});
    table.AddRow({"root diameter", "df1", Length53(std::fabs(t.df[1]))});
    table.AddRow({"tooth thickness", "sn1", Length53(t.sn[1])});
    table.AddRow({"span measurement (k=" + IntStr(t.k[1]) + ")", "W1", Length53(t.W[1])});
    table.AddRow({"Pin diameter", "DM", Length53(t.Dm[1])});
    table.AddRow({"Measurement over pins", "M1", Length53(std::fabs(t.M[1]))});
  } else {
    table.AddRow({"root diameter", "df2", Length53(std::fabs(t.df[2]))});
    table.AddRow({"root form diameter", "dFf2", Length53(std::fabs(t.dFf[2]))});
    table.AddRow({"tip diameter", "da2", Length53(std::fabs(t.da[2]))});
    table.AddRow({"tooth gap", "en2", Length53(t.en[2])});
    table.AddRow({"", "", ""});
    table.AddRow({"Pin diameter", "DM", Length53(t.Dm[2])});
    table.AddRow({"Measurement between pins", "M2", Length53(std::fabs(t.M[2]))});
  }
}

std::string DiameterDimensionText(long double mm) {
  // The workshop reads a dimension literally: it must say what the data field beside it says.
  std::string text = TrimStr(Length53(mm));
  const std::size_t point = text.find_first_of(".,");
  if (point == std::string::npos) return text;
  std::size_t end = text.find_last_not_of('0');
  if (end == point) --end;
  text.erase(end + 1);
  return text;
}

void DimensionsTable(long double x, long double y, long double h) {
  const TToothingData& t = ToothingData;
  const long double cp = SplineInputData.cp;
  const std::string mm = LengthUnitStr();
  CadColour(kTableColour);
  TAusTabelle table(x, y, h, kDimensionWidths, {"DIMENSIONS", "", "", "    1", "    2"});
  auto lengthRow = [&](const char* symbol, const char* meaning, int digits, long double v1,
                       long double v2) {
    table.AddRow({meaning, symbol, mm, LengthStrW(digits, 3, v1), LengthStrW(digits, 3, v2)});
  };
  lengthRow("d", "pitch circle diameter", 5, t.d[1], -t.d[2]);
  lengthRow("db", "base circle diameter", 5, t.db[1], -t.db[2]);
  lengthRow("c e/i", "clearance", 5, t.c[1], t.c[2]);
  lengthRow("c p", "backlash", 5, cp, cp);
  table.AddRow({"profile shift coeff.", "x", "", RealStrW(3, 5, t.x[1]), RealStrW(3, 5, t.x[2])});
  lengthRow("x mn", "profile shift", 5, t.x[1] * t.mn, t.x[2] * t.mn);
  lengthRow("h", "tooth depth", 5, t.h[1], t.h[2]);
  lengthRow("sn", "tooth thickness", 4, t.sn[1], t.sn[2]);
  lengthRow("en", "Space width", 4, t.en[1], t.en[2]);
  lengthRow("san", "normal top land", 4, t.san[1], t.sanInt[2]);
}

void ToolDimensionsTable(long double x, long double y, long double h) {
  const TToothingData& t = ToothingData;
  const std::string mm = LengthUnitStr();
  CadColour(kTableColour);
  TAusTabelle table(x, y, h, kToolWidths, {"Dimensions of tool", "", "", "    1", "    2"});
  auto factorRow = [&](const char* symbol, const char* meaning, const PartReal& v) {
    table.AddRow({meaning, symbol, "", RealStrW(3, 3, v[1]), RealStrW(3, 3, v[2])});
  };
  auto lengthRow = [&](const char* symbol, const char* meaning, const PartReal& v) {
    table.AddRow({meaning, symbol, mm, LengthStrW(3, 3, v[1]), LengthStrW(3, 3, v[2])});
  };
  factorRow("hfP0/mn", "dedendum coeff of tool", t.hfP0mn);
  factorRow("haP0/mn", "addendum coeff of tool", t.haP0mn);
  factorRow("rhoaP0/mn", "fillet radius of tool", t.rhoaP0mn);
  lengthRow("hfP0", "dedendum of tool", t.hfP0);
  lengthRow("haP0", "addendum of tool", t.haP0);
  lengthRow("rhoaP0", "fillet radius of tool", t.rhoaP0);
}

TSheetBox SplineDataFieldBox(long double x, long double y, long double h) {
  return TableBox(x, y, h, kFieldWidths, kFieldRows);
}

TSheetBox DimensionsTableBox(long double x, long double y, long double h) {
  return TableBox(x, y, h, kDimensionWidths, kDimensionRows);
}

TSheetBox ToolDimensionsTableBox(long double x, long double y, long double h) {
  return TableBox(x, y, h, kToolWidths, kToolRows);
}
