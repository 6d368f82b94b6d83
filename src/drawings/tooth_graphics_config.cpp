// Configuration menu of the tooth pictures and the window of the tooth-contact picture.
#include "drawings/tooth_graphics_config.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "calc/gear_checks.h"
#include "calc/toothing_data.h"
#include "common/dialog_host.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/program_state.h"

namespace {

constexpr int kXeEntry = 7;
constexpr const char* kCoaxialMessage =
    "spline joint: shaft and hub are coaxial, the center distance stays 0";

// |z| as a real, at least 1 so that the logarithmic angles stay finite.
long double TeethMagnitude(int z) {
  return static_cast<long double>(std::max(1, std::abs(z)));
}

// Angle (degrees) of the tooth pattern for small tooth numbers.
long double LogAngle(long double factor, int z) {
  const long double n = TeethMagnitude(z);
  return factor * 360 * std::log(n) / n;
}

void StepSettings() {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  HelpNumber = 8380;
  InputBoolean("Draw tooth root curve ?", g.drawRootCurve);
  if (AbortFlag) return;
  HelpNumber = 8345;
  InputLongint("fillet resolution", g.FilletSteps, 2, 200);
  if (AbortFlag) return;
  HelpNumber = 8300;
  InputLongint("Number of points for involute polycurve", g.InvolutePoints, 1, 256);
  if (AbortFlag) return;
  HelpNumber = 8310;
  ScreenLines[1] = "Line";
  ScreenLines[2] = "Polyline";
  int element = PlotSettings.involuteAsPolyline ? 2 : 1;
  InputCode("Drawing element for involute curve", 2, element);
  if (AbortFlag) return;
  PlotSettings.involuteAsPolyline = element == 2;
  HelpNumber = 8320;
  InputLongint("Number of tooth shapes for ring gear imaging", g.WheelImagingCount, 1, 20000);
  if (AbortFlag) return;
  HelpNumber = 8325;
  InputLongint("Number of tooth shapes for gear imaging", g.ShapeSteps, 1, 20000);
}

// One menu of generating addendum modifications for gear n; choice is the entry proposed and
// the entry chosen. False on Cancel.
bool ChooseShift(int n, bool involute, int& choice, long double& xe) {
  const TToothingData& t = ToothingData;
  const long double values[6] = {(t.xePreMin[n] + t.xePreMax[n]) / 2, t.xePreMax[n], t.xePreMin[n],
                                 (t.xeFinMin[n] + t.xeFinMax[n]) / 2, t.xeFinMax[n], t.xeFinMin[n]};
  ScreenLines[1] = "average torsional backlash premach. (xe = " + RealStr(values[0]) + ")";
  ScreenLines[2] = "min.torsional backlash premach. (xe= " + RealStr(values[1]) + ")";
  ScreenLines[3] = "max.torsional backlash premach. (xe = " + RealStr(values[2]) + ")";
  ScreenLines[4] = "average torsional backlash fin. (xe = " + RealStr(values[3]) + ")";
  ScreenLines[5] = "min.torsional backlash fin. (xe= " + RealStr(values[4]) + ")";
  ScreenLines[6] = "max.torsional backlash fin. (xe = " + RealStr(values[5]) + ")";
  ScreenLines[7] = "xe ...";
  const std::string kind = involute ? "Involute" : "Tooth shape";
  HelpNumber = 8330;
  InputCode("gen.addend.modif.coeff. " + kind + " gear " + IntStr(n), 7, choice);
  if (AbortFlag) return false;
  if (choice >= 1 && choice <= 6) {
    xe = values[choice - 1];
    return true;
  }
  HelpNumber = 8340;
  InputReal("gen.addend.modif.coeff. " + kind + " xe gear " + IntStr(n), xe, -3, 3);
  return !AbortFlag;
}

void ShiftSettings() {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  for (int n = 1; n <= 2; ++n) {
    int choice = kXeEntry;
    if (!ChooseShift(n, true, choice, g.xeInvolute[n])) return;
    if (!ChooseShift(n, false, choice, g.xeShape[n])) return;
  }
}

void CentreDistanceSetting() {
  const TToothingData& t = ToothingData;
  long double& aDraw = ToothGraphicsSettings.aDraw;
  // The exact values in millimetres are stored, whatever the unit and rounding shown.
  const long double values[3] = {t.a, t.a + t.Aae, t.a + t.Aai};
  ScreenLines[1] = "Nom. center distance  a = " + LengthStrN(3, values[0]);
  ScreenLines[2] = "Max. center distance  a = " + LengthStrN(3, values[1]);
  ScreenLines[3] = "Min. center distance  a = " + LengthStrN(3, values[2]);
  ScreenLines[4] = "Enter center distance";
  HelpNumber = 8350;
  int choice = 1;
  InputCode("Center distance for CAD drawing", 4, choice);
  if (AbortFlag) return;
  long double chosen = aDraw;
  if (choice >= 1 && choice <= 3) {
    chosen = values[choice - 1];
  } else {
    HelpNumber = 8360;
    InputLength("Center distance for CAD drawing", chosen, t.a - t.mn, t.a + t.mn);
    if (AbortFlag) return;
  }
  // Shaft and hub of a spline turn about one axis; another distance has no picture.
  if (CoaxialPair() && chosen != 0) {
    ErrorMessage(kCoaxialMessage);
    return;
  }
  aDraw = chosen;
}

void AuxDiameterSetting() {
  ScreenLines[1] = "no auxiliary diameters";
  ScreenLines[2] = "graphics with gear diameters";
  int option = ToothGraphicsSettings.auxDiameterOption;
  InputCode("drawing configuration", 2, option);
  if (!AbortFlag) ToothGraphicsSettings.auxDiameterOption = static_cast<int16_t>(option);
}

}  // namespace

void ToothGraphicsConfig() {
  int entry = 0;
  for (;;) {
    ++entry;
    ScreenLines[1] = "Steps for involute and tooth shape";
    ScreenLines[2] = "Gen. addendum modific. coefficients";
    ScreenLines[3] = "Center distance";
    ScreenLines[4] = "Auxiliary diameters";
    ScreenLines[5] = "return";
    HelpNumber = 8275;
    InputCode("Configuration tooth grahics", 5, entry);
    if (AbortFlag) {
      AbortFlag = false;
      return;
    }
    switch (entry) {
      case 1:
        StepSettings();
        break;
      case 2:
        ShiftSettings();
        break;
      case 3:
        CentreDistanceSetting();
        break;
      case 4:
        AuxDiameterSetting();
        break;
      default:
        CalcGearDiameters(ToothGraphicsSettings.xeInvolute);
        return;
    }
    if (AbortFlag) return;
  }
}

long double ContactViewHalfWidth() {
  const TToothingData& t = ToothingData;
  const int z2 = t.z[2];
  const long double da2 = ToothGraphicsSettings.daGen[2];
  const long double angle = DegToRad(720 / std::max<long double>(7, std::abs(z2)));
  const long double w = std::fabs(da2) / 2 * std::sin(angle) + t.mn;
  return z2 < 0 ? w * 1.1L : w;
}

long double ContactViewBottom() {
  const TToothingData& t = ToothingData;
  const int z1 = t.z[1];
  const long double da1 = ToothGraphicsSettings.daGen[1];
  const long double phi = std::abs(z1) >= 12 ? 540 / TeethMagnitude(z1) : LogAngle(0.6L, z1);
  return da1 / 2 - 1.2L * (std::fabs(da1) / 2 * (1 - std::cos(DegToRad(phi))) + 2 * t.mn);
}

long double ContactViewTop() {
  const TToothingData& t = ToothingData;
  const int z2 = t.z[2];
  const long double da1 = ToothGraphicsSettings.daGen[1];
  const long double r2 = std::fabs(ToothGraphicsSettings.daGen[2]) / 2;
  long double v;
  if (z2 > -18 && z2 < 0) {
    v = r2 * (1 - std::cos(DegToRad(LogAngle(0.7L, z2))));
  } else {
    const long double phi = std::abs(z2) >= 18 ? 720 / TeethMagnitude(z2) : LogAngle(0.7L, z2);
    v = r2 * (1 - std::cos(DegToRad(phi))) + t.mn;
  }
  return da1 / 2 + 1.2L * v;
}
