// Preparation of the tooth pictures.
#include "drawings/tooth_graphics_support.h"

#include "calc/gear_checks.h"
#include "calc/toothing_data.h"
#include "common/program_state.h"
#include "drawings/generating.h"
#include "drawings/involute_curve.h"
#include "drawings/root_fillet.h"
#include "drawings/tool_profile.h"
#include "graphics/cad_blocks.h"

void ApplyToothGraphicsDefaults() {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  InvolutePointCount();
  FilletStepCount();
  if (g.ShapeSteps == 0) g.ShapeSteps = 30;
  if (g.WheelImagingCount == 0) g.WheelImagingCount = 200;
  if (g.PlanetCount == 0) g.PlanetCount = 3;
}

void PrepareGeneratingDiameters(TGeneratingShift shift) {
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  PartReal x = shift == TGeneratingShift::ToothShape ? g.xeShape : g.xeInvolute;
  CalcGearDiameters(x);
}

void DrawToolBlock(int n, bool transverse) {
  if (AbortFlag) return;
  CadBeginBlock(ToolBlockName(n));
  DrawToolProfile(n, transverse, 0);
  CadEndBlock();
}
