// The tooth pictures and their menus: each picture opens its CAD output, sets its window,
// writes the tooth blocks it needs and then inserts or draws its entities.
#include "drawings/tooth_graphics.h"

#include <cmath>
#include <string>

#include "calc/toothing_data.h"
#include "common/dialog_host.h"
#include "common/error_explanations.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "drawings/diameter_annotations.h"
#include "drawings/gear_selection.h"
#include "drawings/generating.h"
#include "drawings/measuring_pins.h"
#include "drawings/tool_profile.h"
#include "drawings/tooth_contact.h"
#include "drawings/tooth_graphics_config.h"
#include "drawings/tooth_graphics_support.h"
#include "drawings/tooth_outline.h"
#include "drawings/whole_wheel.h"
#include "graphics/cad_blocks.h"

namespace {

constexpr int kViewReturn = 10;
constexpr int kViewConfig = 9;

struct TSplineEntry {
  const char* text;
  int16_t part;
  int16_t view;
};
constexpr TSplineEntry kSplineMenu[8] = {{"Drawing Shaft", 1, 4},
                                         {"Drawing Hub", 2, 4},
                                         {"Drawing Shaft+Hub", 1, 8},
                                         {"basic rack (Shaft)", 1, 6},
                                         {"basic rack (Hub)", 2, 6},
                                         {"Tooth contact", 1, 7},
                                         {"Config", 1, 9},
                                         {"return ..", 0, 0}};

constexpr const char* kViewMenu[10] = {"Tooth (Involute)",
                                       "tooth gap (Involute)",
                                       "tooth gap (Tooth shape and Involute)",
                                       "gear wheel (Involute)",
                                       "gear wheel (Tooth shape and Involute)",
                                       "basic rack",
                                       "tooth contact",
                                       "planetary gearing, gear wheel 1+2",
                                       "Config",
                                       "return"};

// What one picture needs once its prompts are answered.
struct TPicture {
  int16_t output = 3;
  int part = 1;
  int view = 1;
  int kind = 1;
  int section = 1;
  long double w = 0, b = 0, t = 0;  // extents of the tooth-contact window
};

std::string Part(int n) {
  return IntStr(n);
}

long double GeneratedOuterDiameter(int n) {
  const TToothingData& t = ToothingData;
  return t.df[n] + 2 * (t.haP0[n] + t.hfP0[n]);
}

bool InternalHub(int part) {
  return part == 2 && ToothingData.z[2] < 0;
}

bool WithDiameters() {
  return ToothGraphicsSettings.auxDiameterOption == 2;
}

void SquareWindow(long double half) {
  CadSheetFrame(-half, -half, half, half);
}

void RingWindow() {
  const long double df2 = ToothingData.df[2];
  const long double mn = ToothingData.mn;
  CadSheetFrame(df2 / 2 - mn, df2 / 2 - mn, -df2 / 2 + mn, -df2 / 2 + mn);
}

void SetWindow(const TPicture& p) {
  const TToothingData& t = ToothingData;
  const long double mn = t.mn;
  const long double r = t.d[p.part] / 2;
  switch (p.view) {
    case 1:
      CadSheetFrame(-3 * mn, r - 2 * mn, 3 * mn, r + 2 * mn);
      break;
    case 2:
      CadSheetFrame(-3.5L * mn, r - 2 * mn, 3.5L * mn, r + 2 * mn);
      break;
    case 3:
      CadSheetFrame(-3.5L * mn, r - 2 * mn, 3.5L * mn, r + 3.5L * mn);
      break;
    case 4:
    case 5:
      if (InternalHub(p.part)) {
        RingWindow();
      } else {
        SquareWindow(GeneratedOuterDiameter(p.part) / 2 + 1.5L * mn);
      }
      break;
    case 6:
      CadSheetFrame(-2 * mn, -2 * mn, 2 * mn, 2 * mn);
      break;
    case 7:
      // Below the frame: the legend box (9.5 text heights of W / 22) and a margin.
      CadSheetFrame(-p.w - 0.1L * mn, p.b - 9.5L / 22 * p.w - 0.1L * mn, p.w + 0.1L * mn,
                    p.t + 0.1L * mn);
      break;
    case 8:
      if (p.kind == 2) break;
      if (t.z[2] >= 0) {
        SquareWindow(GeneratedOuterDiameter(2) / 2 + mn + GeneratedOuterDiameter(1));
      } else {
        RingWindow();
      }
      break;
    default:
      break;
  }
}

void OutlineBlock(int n, bool withContour) {
  CadBeginBlock("EVOLV" + Part(n));
  DrawToothOutline(n, withContour);
  CadEndBlock();
}

void WheelBlock(int n) {
  CadBeginBlock("RAD" + Part(n));
  DrawGearWheel(n, false);
  CadEndBlock();
}

void WriteBlocks(const TPicture& p) {
  const int n = p.part;
  switch (p.view) {
    case 2:
    case 4:
      OutlineBlock(n, true);
      break;
    case 3:
    case 5:
      PrepareGeneratingDiameters(TGeneratingShift::ToothShape);
      DrawToolBlock(n, !(p.view == 3 && p.section == 2));
      CadBeginBlock("ZAHN" + Part(n));
      GenerateToothShape(n);
      CadEndBlock();
      PrepareGeneratingDiameters(TGeneratingShift::Involute);
      OutlineBlock(n, true);
      break;
    case 7:
      OutlineBlock(1, false);
      OutlineBlock(2, false);
      break;
    case 8:
      OutlineBlock(1, false);
      OutlineBlock(2, false);
      WheelBlock(1);
      WheelBlock(2);
      break;
    default:
      break;
  }
  if (p.view == 2 || p.view == 3) {
    CadBeginBlock("DMESS" + Part(n));
    DrawMeasuringPins(n);
    CadEndBlock();
  }
  if (p.view == 5 && InternalHub(n)) {
    // The rolled shaft is shown without its auxiliary diameters.
    int16_t& option = ToothGraphicsSettings.auxDiameterOption;
    const int16_t kept = option;
    option = 1;
    OutlineBlock(1, false);
    WheelBlock(1);
    option = kept;
  }
}

void InsertHalfPitchPair(int n) {
  const long double half = 180.0L / ToothingData.z[n];
  CadInsertBlock("EVOLV" + Part(n), 0, 0, half, 1, 1);
  CadInsertBlock("EVOLV" + Part(n), 0, 0, -half, 1, 1);
}

void DrawEntities(const TPicture& p) {
  const int n = p.part;
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  switch (p.view) {
    case 1:
      DrawToothOutline(n, true);
      if (WithDiameters()) DrawAuxDiameters(n, 90, 0, 0);
      break;
    case 2:
      InsertHalfPitchPair(n);
      if (WithDiameters()) DrawAuxDiameters(n, 90, 0, 0);
      CadInsertBlock("DMESS" + Part(n), 0, 0, 0, 1, 1);
      break;
    case 3:
      PrepareGeneratingDiameters(TGeneratingShift::ToothShape);
      GenerateToothShape(n);
      PrepareGeneratingDiameters(TGeneratingShift::Involute);
      if (p.section != 2) InsertHalfPitchPair(n);
      CadInsertBlock("DMESS" + Part(n), 0, 0, 0, 1, 1);
      if (WithDiameters()) DrawAuxDiameters(n, 90, 0, 0);
      break;
    case 4:
      DrawGearWheel(n, false);
      if (WithDiameters()) DrawDiameterLegend(n, 0, 0);
      break;
    case 5:
      if (InternalHub(n)) {
        DrawRingGearImaging();
      } else {
        DrawGearWheel(n, true);
      }
      if (WithDiameters()) DrawDiameterLegend(n, 0, 0);
      break;
    case 6:
      DrawToolProfile(n, false, 1);
      break;
    case 7:
      DrawToothContact(true, p.w, p.b, p.t, g.rotationAngle);
      break;
    case 8:
      if (g.SunGearChoice == 1 || ToothingData.z[2] < 0) {
        DrawPlanetWheels(g.PlanetCount, 1, g.rotationAngle);
        if (WithDiameters()) DrawDiameterLegend(1, 0, -g.aDraw);
      } else {
        DrawPlanetWheels(g.PlanetCount, 2, g.rotationAngle);
        if (WithDiameters()) {
          DrawDiameterLegend(2, 0, -g.aDraw);
          DrawDiameterLegend(1, 0, 0);
        }
      }
      break;
    default:
      break;
  }
}

// Opens the output and draws one picture. False when it stopped on AbortFlag.
bool DrawPicture(TPicture& p) {
  HelpNumber = 8260;
  if (p.kind != 2) CadOpen(static_cast<std::uint16_t>(p.output));
  if (AbortFlag) return false;
  ApplyToothGraphicsDefaults();
  p.w = ContactViewHalfWidth();
  p.b = ContactViewBottom();
  p.t = ContactViewTop();
  CadColour(0);
  SetWindow(p);
  CadBeginTables(WithDiameters() ? 2 : 0);
  CadBeginBlocks();
  WriteBlocks(p);
  if (AbortFlag) {
    CadClose();
    RestoreCursor();
    ErrorMessageIfEnabled("file write error  -  temporary path !");
    return false;
  }
  CadEndSection();
  do {
    CadBeginEntities();
    DrawEntities(p);
  } while (!CadLoopDone());
  CadEndSection();
  CadClose();
  RestoreCursor();
  return !AbortFlag;
}

void SunGearLines() {
  const TToothingData& t = ToothingData;
  auto line = [](int sun, int planet) {
    return std::string("sun gear =") + IntStrW(sun, 4) + " " + "teeth" + ", " + "planet wheels" +
           " =" + IntStrW(planet, 4) + " " + "teeth";
  };
  ScreenLines[1] = line(t.z[2], t.z[1]);
  ScreenLines[2] = line(t.z[1], t.z[2]);
}

}  // namespace

void SplineToothGraphicsMenu(int16_t output, int16_t preset) {
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  int choice = 0;
  do {
    ++choice;
    for (int i = 0; i < 8; ++i) ScreenLines[i + 1] = kSplineMenu[i].text;
    HelpNumber = 0;
    if (preset != 0) {
      choice = preset;
    } else {
      InputCode("Please make a choice ..", 8, choice);
    }
    if (AbortFlag || choice == 8) break;
    // A preset outside the menu draws nothing.
    if (choice < 1 || choice > 7) break;
    const TSplineEntry& e = kSplineMenu[choice - 1];
    CallToothGraphics(output, e.part, e.view, 3, 1);
  } while (choice != 8 && !AbortFlag && preset == 0);
}

void CallToothGraphics(int16_t output, int16_t part, int16_t view, int16_t kind, int16_t section) {
  ToothGraphics(output, part, view, kind, section);
}

void ToothGraphics(int16_t output, int16_t part, int16_t view, int16_t kind, int16_t section) {
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  const TToothingData& t = ToothingData;
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  std::uint16_t gear = part < 1 || part > 2 ? 1 : static_cast<std::uint16_t>(part);
  int sectionChoice = section;
  std::uint16_t& menuChoice = ProgramSettings.DrawingMenuChoice;
  menuChoice = 0;
  // A given view is drawn once; in interactive use the menu follows.
  bool useGivenView = view != 0;
  for (;;) {
    ++menuChoice;
    PrepareGeneratingDiameters(TGeneratingShift::Involute);
    // A centre distance the pair cannot reach leaves no valid drawing diameters.
    if (CalcFatalFlag) {
      ShowErrorList();
      return;
    }
    for (int i = 0; i < 10; ++i) ScreenLines[i + 1] = kViewMenu[i];
    HelpNumber = 8270;
    int v = view;
    if (useGivenView) {
      useGivenView = false;
      menuChoice = static_cast<std::uint16_t>(view);
    } else {
      int choice = menuChoice;
      InputCode("Tooth drawing", 10, choice);
      menuChoice = static_cast<std::uint16_t>(choice);
      v = choice;
    }
    if (AbortFlag || v == kViewReturn || (v == kViewConfig && TourRunning)) return;
    if (v < 1 || v > kViewReturn) return;

    if (v == 8 && kind == 0) {
      HelpNumber = 8280;
      InputLongint("Number of planetary gears", g.PlanetCount, 1, 100);
      if (AbortFlag) return;
    }
    if (v == kViewConfig) {
      ToothGraphicsConfig();
      if (AbortFlag) return;
      PrepareGeneratingDiameters(TGeneratingShift::Involute);
    }
    if (v == 7 || v == 8 || v == kViewConfig) {
      gear = 2;
    } else if (kind == 0) {
      SelectGear(gear);
      if (AbortFlag) return;
    }
    if (kind == 0 && v == 3 && t.z[gear] > 0) {
      ScreenLines[1] = "Transverse section";
      ScreenLines[2] = "Normal section";
      InputCode("", 2, sectionChoice);
      if (AbortFlag) return;
    }
    if (v == 3 && t.z[gear] < 0) v = 5;
    if (v == 7 || v == 8) {
      if (v == 8 && t.z[2] >= 1 && kind == 0) {
        HelpNumber = 8285;
        SunGearLines();
        int sun = g.SunGearChoice;
        InputCode("select gear", 2, sun);
        if (AbortFlag) return;
        g.SunGearChoice = static_cast<int16_t>(sun);
      }
      HelpNumber = 8370;
      if (kind == 0) {
        InputReal("angle of rotation gear 1 [deg]", g.rotationAngle, -180, 180);
        if (AbortFlag) return;
      }
    }
    if (v == kViewConfig) {
      RestoreCursor();
    } else {
      TPicture p;
      p.output = output;
      p.part = gear;
      p.view = v;
      p.kind = kind;
      p.section = sectionChoice;
      if (!DrawPicture(p)) return;
    }
    if (AbortFlag || (kind >= 1 && kind <= 3)) return;
  }
}
