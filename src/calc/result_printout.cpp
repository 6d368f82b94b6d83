// The result listing of a calculated spline joint.
#include "calc/result_printout.h"

#include <string>

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

std::string Real(int intDigits, int decimals, long double x) {
  return RealStrW(intDigits, decimals, x);
}
std::string Length(int intDigits, int decimals, long double mm) {
  return LengthStrW(intDigits, decimals, mm);
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
  ReportRow("pressure angle", "alpha", deg, Real(3, 5, t.alpha));
  ReportRow("normal module", "mn", mm, Length(4, 4, t.mn));
  ReportRowTwoParts("no.of teeth", "z", "", IntStrW(t.z[1], 8), IntStrW(t.z[2], 8));
  ReportRowTwoParts("profile shift coeff.", "x", "", Real(4, 4, t.x[1]), Real(4, 4, t.x[2]));
  // Hub diameters are stored negative and printed as magnitudes.
  ReportRowTwoParts("pitch circle diameter", "d", mm, Length(5, 3, t.d[1]), Length(5, 3, -t.d[2]));
  ReportRowTwoParts("root diameter", "df", mm, Length(5, 3, t.df[1]), Length(5, 3, -t.df[2]));
  ReportRowTwoParts("form diameter", "dFf", mm, Length(5, 3, t.dFf[1]), Length(5, 3, -t.dFf[2]));
  ReportRowTwoParts("base circle diameter", "db", mm, Length(5, 3, t.db[1]),
                    Length(5, 3, -t.db[2]));
  ReportRowTwoParts("clearance", "c (e/i)", mm, Length(5, 3, t.c[1]), Length(5, 3, t.c[2]));
  ReportRowTwoParts("tip diameter", "da", mm, Length(5, 3, t.da[1]), Length(5, 3, -t.da[2]));
  ReportRowTwoParts("form diameter", "dFa", mm, Length(5, 3, t.dFa[1]), Length(5, 3, -t.dFa[2]));
  ReportRowTwoParts("tooth depth", "h", mm, Length(5, 3, t.h[1]), Length(5, 3, t.h[2]));
}

void ToolBlocks(const std::string& mm) {
  const auto& t = ToothingData;
  BlockTitle("DIMENSIONS OF GEAR-CUTTING TOOL (FACTORS)");
  ReportRowTwoParts("dedendum coeff of tool", "hfP0/mn", "", Real(3, 3, t.hfP0mn[1]),
                    Real(3, 3, t.hfP0mn[2]));
  ReportRowTwoParts("addendum coeff of tool", "haP0/mn", "", Real(3, 3, t.haP0mn[1]),
                    Real(3, 3, t.haP0mn[2]));
  ReportRowTwoParts("fillet radius of tool", "rhoaP0/mn", "", Real(3, 3, t.rhoaP0mn[1]),
                    Real(3, 3, t.rhoaP0mn[2]));

  BlockTitle("DIMENSIONS OF GEAR-CUTTING TOOL");
  ReportRowTwoParts("dedendum of tool", "hfP0", mm, Length(3, 3, t.hfP0[1]),
                    Length(3, 3, t.hfP0[2]));
  ReportRowTwoParts("addendum of tool", "haP0", mm, Length(3, 3, t.haP0[1]),
                    Length(3, 3, t.haP0[2]));
  ReportRowTwoParts("fillet radius of tool", "rhoaP0", mm, Length(3, 3, t.rhoaP0[1]),
                    Length(3, 3, t.rhoaP0[2]));
}

void PitchBlock(const std::string& mm, const std::string& deg) {
  const auto& t = ToothingData;
  const long double cp = SplineInputData.cp;
  BlockTitle("TOOTH PITCHES, TOOTH DIMENSIONS");
  ReportRow("normal circular pitch", "pn", mm, Length(4, 3, t.pn));
  ReportRowTwoParts("tooth thickness", "sn", mm, Length(4, 3, t.sn[1]), "");
  ReportRowTwoParts(WinToDos("Gap width"), "en", mm, "", Length(4, 3, t.en[2]));
  ReportRow("backlash", "cp", mm, Length(4, 3, cp));
  const long double jt = t.d[1] != 0 ? RadToDeg(2 * cp / t.d[1]) : 0.0L;
  ReportRow("torsional backlash", "jt", deg, Real(4, 3, jt));
  ReportRowTwoParts("normal top land", "san", mm, Length(4, 3, t.san[1]),
                    Length(4, 3, t.sanInt[2]));
}

void MeasurementBlock(const std::string& mm) {
  const auto& t = ToothingData;
  BlockTitle("MEASUREMENTS/DIMENSIONS");
  ReportRowTwoParts("no. of teeth meas.", "k", "", IntStrW(t.k[1], 6), "");
  ReportRowTwoParts("span measurement, theor.", "W", mm, Length(5, 3, t.W[1]), "");
  ReportRowTwoParts("ball and pin diameters", "Dm", mm, Length(5, 3, t.Dm[1]),
                    Length(5, 3, t.Dm[2]));
  ReportRowTwoParts("dim.ov/betw.pins", "M", mm, Length(5, 3, t.M[1]), Length(5, 3, t.M[2]));
}

}  // namespace

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
