// The result listing of a calculated spline joint.
#include "calc/result_printout.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "calc/spline_checks.h"
#include "calc/toothing_data.h"
#include "common/codepage.h"
#include "common/error_explanations.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/text_file.h"

namespace {

// A value that is no number, or so large that it can only be the substitute of a failed
// function (1e3000) or an overflow, prints as a short mark in its column; the row names it in
// the messages. No length of a joint comes near 1e15 mm, and in fixed notation such a value
// would need more digits than an extended real holds.
constexpr long double kPrintLimit = 1e15L;
constexpr char kNoNumberMark[] = "???";
constexpr char kOverflowMark[] = "***";

const char* Mark(long double x) {
  if (!std::isfinite(x)) return kNoNumberMark;
  if (std::fabs(x) >= kPrintLimit) return kOverflowMark;
  return nullptr;
}

// Right-aligned like the numbers of the column.
std::string MarkCell(const char* mark, int intDigits, int decimals) {
  return PadLeft(mark, std::max(intDigits + decimals + 1, 3));
}

std::string Real(int intDigits, int decimals, long double x) {
  return ListingReal(intDigits, decimals, x);
}
std::string Length(int intDigits, int decimals, long double mm) {
  return ListingLength(intDigits, decimals, mm);
}

// Says in the messages why a cell holds a mark.
void ExplainMark(const std::string& cell, std::string_view symbol, int part) {
  const std::string mark = TrimStr(cell);
  const std::string partText = part > 0 ? " (" + std::to_string(part) + ")" : "";
  if (mark == kNoNumberMark)
    AddError("Error  : " + std::string(symbol) + " is no number !" + partText);
  if (mark == kOverflowMark) AddError("Error  : " + std::string(symbol) + " overflow !" + partText);
}

void Row(std::string_view text, std::string_view symbol, std::string_view unit,
         const std::string& value) {
  ExplainMark(value, symbol, 0);
  ReportRow(text, symbol, unit, value);
}

void RowTwoParts(std::string_view text, std::string_view symbol, std::string_view unit,
                 const std::string& shaft, const std::string& hub) {
  ExplainMark(shaft, symbol, 1);
  ExplainMark(hub, symbol, 2);
  ReportRowTwoParts(text, symbol, unit, shaft, hub);
}

// Opens a block that is to stay on one page: title line and a separator.
void BlockTitle(const char* title) {
  ReportKeepLines(1);
  ReportLine("");
  ReportLine(title);
  ReportLine(RuleSingle());
}

void GeometryBlock(const std::string& mm, const std::string& deg) {
  const auto& t = ToothingData;
  Row("pressure angle", "alpha", deg, Real(3, 5, t.alpha));
  Row("normal module", "mn", mm, Length(4, 4, t.mn));
  RowTwoParts("no.of teeth", "z", "", IntStrW(t.z[1], 8), IntStrW(t.z[2], 8));
  RowTwoParts("profile shift coeff.", "x", "", Real(4, 4, t.x[1]), Real(4, 4, t.x[2]));
  // Hub diameters are stored negative and printed as magnitudes.
  RowTwoParts("pitch circle diameter", "d", mm, Length(5, 3, t.d[1]), Length(5, 3, -t.d[2]));
  RowTwoParts("root diameter", "df", mm, Length(5, 3, t.df[1]), Length(5, 3, -t.df[2]));
  // A form diameter whose Error says the formula has none is no number to make a part by; the
  // Error already names it.
  auto formDiameter = [](int part, long double value) {
    return RootFormMeaningless(part) ? MarkCell(kNoNumberMark, 5, 3) : Length(5, 3, value);
  };
  ReportRowTwoParts("form diameter", "dFf", mm, formDiameter(1, t.dFf[1]),
                    formDiameter(2, -t.dFf[2]));
  RowTwoParts("base circle diameter", "db", mm, Length(5, 3, t.db[1]), Length(5, 3, -t.db[2]));
  RowTwoParts("clearance", "c (e/i)", mm, Length(5, 3, t.c[1]), Length(5, 3, t.c[2]));
  RowTwoParts("tip diameter", "da", mm, Length(5, 3, t.da[1]), Length(5, 3, -t.da[2]));
  RowTwoParts("form diameter", "dFa", mm, Length(5, 3, t.dFa[1]), Length(5, 3, -t.dFa[2]));
  RowTwoParts("tooth depth", "h", mm, Length(5, 3, t.h[1]), Length(5, 3, t.h[2]));
}

void ToolBlocks(const std::string& mm) {
  const auto& t = ToothingData;
  BlockTitle("DIMENSIONS OF GEAR-CUTTING TOOL (FACTORS)");
  RowTwoParts("dedendum coeff of tool", "hfP0/mn", "", Real(3, 3, t.hfP0mn[1]),
              Real(3, 3, t.hfP0mn[2]));
  RowTwoParts("addendum coeff of tool", "haP0/mn", "", Real(3, 3, t.haP0mn[1]),
              Real(3, 3, t.haP0mn[2]));
  RowTwoParts("fillet radius of tool", "rhoaP0/mn", "", Real(3, 3, t.rhoaP0mn[1]),
              Real(3, 3, t.rhoaP0mn[2]));

  BlockTitle("DIMENSIONS OF GEAR-CUTTING TOOL");
  RowTwoParts("dedendum of tool", "hfP0", mm, Length(3, 3, t.hfP0[1]), Length(3, 3, t.hfP0[2]));
  RowTwoParts("addendum of tool", "haP0", mm, Length(3, 3, t.haP0[1]), Length(3, 3, t.haP0[2]));
  RowTwoParts("fillet radius of tool", "rhoaP0", mm, Length(3, 3, t.rhoaP0[1]),
              Length(3, 3, t.rhoaP0[2]));
}

void PitchBlock(const std::string& mm, const std::string& deg) {
  const auto& t = ToothingData;
  const long double cp = SplineInputData.cp;
  BlockTitle("TOOTH PITCHES, TOOTH DIMENSIONS");
  Row("normal circular pitch", "pn", mm, Length(4, 3, t.pn));
  RowTwoParts("tooth thickness", "sn", mm, Length(4, 3, t.sn[1]), "");
  RowTwoParts(WinToDos("Gap width"), "en", mm, "", Length(4, 3, t.en[2]));
  Row("backlash", "cp", mm, Length(4, 3, cp));
  const long double jt = t.d[1] != 0 ? RadToDeg(2 * cp / t.d[1]) : 0.0L;
  Row("torsional backlash", "jt", deg, Real(4, 3, jt));
  RowTwoParts("normal top land", "san", mm, Length(4, 3, t.san[1]), Length(4, 3, t.sanInt[2]));
}

void MeasurementBlock(const std::string& mm) {
  const auto& t = ToothingData;
  BlockTitle("MEASUREMENTS/DIMENSIONS");
  RowTwoParts("no. of teeth meas.", "k", "", IntStrW(t.k[1], 6), "");
  RowTwoParts("span measurement, theor.", "W", mm, Length(5, 3, t.W[1]), "");
  RowTwoParts("ball and pin diameters", "Dm", mm, Length(5, 3, t.Dm[1]), Length(5, 3, t.Dm[2]));
  RowTwoParts("dim.ov/betw.pins", "M", mm, Length(5, 3, t.M[1]), Length(5, 3, t.M[2]));
}

}  // namespace

std::string ListingReal(int intDigits, int decimals, long double x) {
  if (const char* mark = Mark(x)) return MarkCell(mark, intDigits, decimals);
  return RealStrW(intDigits, decimals, x);
}

std::string ListingLength(int intDigits, int decimals, long double mm) {
  if (const char* mark = Mark(LengthToUnit(mm))) return MarkCell(mark, intDigits, decimals);
  return LengthStrW(intDigits, decimals, mm);
}

void ResultPrintout() {
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  ReportSetHeader("", "", "", "", "", 0);
  ReportSetHeader(
      ProgramIdentity.programName + " V" + ProgramIdentity.version + "  " + "Toothed shaft joint",
      FormatNumberedTitle(PartNames.partName[1], PartNames.drawingNumber[1]),
      FormatNumberedTitle(PartNames.partName[2], PartNames.drawingNumber[2]), DrawingTexts[1],
      DrawingTexts[2], 0);
  ReportSetColumns("", "symbol", "unit", "Shaft", "Hub");
  OutputOpen(0);
  if (AbortFlag) return;
  OutputRewrite();
  if (AbortFlag) return;
  ReportPageHeader(0, 1);
  if (AbortFlag) {
    AbandonText(GlobalTextFile);
    return;
  }

  const std::string mm = LengthUnitStr();
  const std::string deg = AngleUnitStr();
  GeometryBlock(mm, deg);
  ToolBlocks(mm);
  PitchBlock(mm, deg);
  MeasurementBlock(mm);

  ReportPageEnd();
  if (!AbortFlag && ErrorCount() > 0) ReportAppendMessages();
  if (AbortFlag) {
    // A cancelled or failed listing leaves no half file behind.
    AbandonText(GlobalTextFile);
    return;
  }
  OutputClose();
}
