// Start values of the spline joint data set, the spline input reset and the example joint.
#include "calc/toothing_data.h"

#include "common/program_state.h"

TToothingData ToothingData;
TToothGraphicsSettings ToothGraphicsSettings;
TSplineInputData SplineInputData;
TPartNames PartNames;
TGearMaterialData GearMaterialData;
PerPart<TShaftHubMaterial> ShaftHubMaterials;

const std::array<const char*, 11> DeviationLetters = {"a", "ab", "b", "bc", "c", "cd",
                                                      "d", "e",  "f", "g",  "h"};
const std::array<const char*, 9> ToleranceLabels = {"js 4", "js 5", "js 6", "js 7", "js 8",
                                                    "js 9", "js10", "js11", " "};
const std::array<const char*, 9> MaterialClasses = {"",
                                                    "Low carbon steel (St)",
                                                    "Case-hardening steel (Eh)",
                                                    "Heat-treatable steel (V)",
                                                    "Nodular cast iron GGG (perl.,bai.)",
                                                    "Nodular cast iron GGG (ferritic)",
                                                    "Gray-cast iron (GG)",
                                                    "Black malleable cast iron (GTS perl.)",
                                                    "others ..."};
const std::array<const char*, 8> HeatTreatments = {"none",
                                                   "heat-treated (V)",
                                                   "case-hardened (Eh)",
                                                   "induction-hardened (IF)",
                                                   "flame-hardened (IF)",
                                                   "gas-nitrided (NT)",
                                                   "bath-nitrided (NT)",
                                                   "nitrocar.(NV)"};
const std::array<const char*, 3> HelixHands = {"right-hand", "left-hand", "free"};
const std::array<const char*, 2> AccuracyStandards = {"DIN 3961", "ISO 1328"};

namespace {

void InitGearMaterials() {
  GearMaterialData = TGearMaterialData{};
  for (int i = 1; i <= 2; ++i) {
    GearMaterialData.name[i] = "17CrNiMo6";
    GearMaterialData.choice[i] = {2, 2};
    GearMaterialData.density[i] = 7.8L;
    GearMaterialData.elasticModulus[i] = 206000;
    GearMaterialData.poisson[i] = 0.3L;
    GearMaterialData.strength[i] = {1500, 800, 740};
    GearMaterialData.factors[i].fill(1.0L);
    GearMaterialData.zeros[i].fill(0);
  }
  GearMaterialData.extraShaftValue[1] = 1500;
  GearMaterialData.scalars = {740, 500, 31, 19, 2};
  GearMaterialData.unitScalars.fill(1.0L);
  GearMaterialData.GearVariant = 0;

  for (int i = 1; i <= 2; ++i) {
    ShaftHubMaterials[i] =
        TShaftHubMaterial{"St 37", "1.0037", 370, 220, {"30CrMoV9", "0.6030", "EN-GJL-300"}};
  }
}

}  // namespace

void SetToothingDefaults() {
  TToothingData& t = ToothingData;
  for (int i = 1; i <= 2; ++i) {
    t.hfP0mn[i] = 1.0L;
    t.haP0mn[i] = 1.25L;
    t.rhoaP0mn[i] = 0.25L;
    t.Dm[i] = 12;
    t.toothToleranceText[i] = "6 e 27";
    t.quality[i] = 6;
    t.deviationField[i] = 8;   // "e"
    t.toleranceSeries[i] = 7;  // series 27
    t.toolKind[i] = 1;
    t.tipMode[i] = 2;
    t.materialFactor1[i] = 1.0L;
    t.materialFactor2[i] = 1.0L;
    t.materialDensity[i] = 7.8L;
  }
  t.centreTolIndex = 4;
  t.gearType = 3;
  ToothGraphicsSettings = TToothGraphicsSettings{};
}

void InitToothingData() {
  ToothingData = TToothingData{};
  ToothGraphicsSettings = TToothGraphicsSettings{};
  SetToothingDefaults();

  TToothingData& t = ToothingData;
  t.alpha = 20;
  t.beta = 9;
  t.mn = 6.5L;
  t.Pn = 3.908L;
  t.z[1] = 16;
  t.z[2] = 58;
  t.x[1] = 0.52L;
  t.x[2] = 0.57L;
  t.da[1] = 124;
  t.da[2] = 400;
  t.b = 88;
  t.isoToleranceText = "js11";
  for (int i = 1; i <= 2; ++i) {
    PartNames.partName[i] = "Helical Gear";
    PartNames.drawingNumber[i] = "000000";
    PartNames.secondName[i].clear();
  }
  InitGearMaterials();
}

void ResetSplineData() {
  TToothingData& t = ToothingData;
  TSplineInputData& s = SplineInputData;
  for (int i = 1; i <= 2; ++i) {
    s.MdRIn[i] = 0;
    s.WIn[i] = 0;
    s.kDIN[i] = 0;
    s.DmDIN[i] = 0;
    s.daIn[i] = 0;
    s.dfIn[i] = 0;
    s.snIn[i] = 0;
    s.enIn[i] = 0;
    t.k[i] = 1;
    t.rhoaP0mn[i] = 0.1L;
    t.hfP0mn[i] = 0.45L;
    t.haP0mn[i] = 0.55L;
  }
  t.alpha = 30;
  t.beta = 0;
  s.PitchMode = 1;
  s.InputKind[1] = 1;
  s.InputKind[2] = 1;
  for (auto& text : DrawingTexts) text.clear();
  s.ShaftDiamMode = 0;
  s.HubDiamMode = 0;
  ToothGraphicsSettings.outlineOption = 1;
  t.x[1] = 0;
  t.x[2] = 0;
  s.ClearanceAsFactor = true;
  s.ce = s.ci = s.cp = 0;
  s.cemn = s.cimn = s.cpmn = 0;
  s.ShiftGivenFor = 0;
  PartNames.partName[1] = "External spline";
  PartNames.partName[2] = "Internal spline";
  PartNames.drawingNumber[1] = "01";
  PartNames.drawingNumber[2] = "02";
}

void NewSplineExample() {
  ResetSplineData();
  TToothingData& t = ToothingData;
  TSplineInputData& s = SplineInputData;
  s.ShiftGivenFor = 1;
  t.mn = 6.5L;
  t.alpha = 30;
  t.z[1] = 8;
  s.MdRIn[1] = 82;
  t.Dm[1] = 16;
  t.Dm[2] = 12;
  t.k[1] = 2;
  s.daIn[1] = 61;
  s.dfIn[1] = 48;
  t.rhoaP0mn[1] = 0.15L;
  t.rhoaP0mn[2] = 0.15L;
  s.PitchMode = 1;
  s.InputKind[1] = 3;
  s.InputKind[2] = 3;
  s.ShaftDiamMode = 1;
  s.HubDiamMode = 1;
  s.ClearanceAsFactor = false;
  s.ce = 1.0L;
  s.ci = 1.0L;
  s.cp = 0.3L;
  PartNames.partName[1] = "External spline";
  PartNames.partName[2] = "Internal spline";
  PartNames.drawingNumber[1] = "01";
  PartNames.drawingNumber[2] = "02";
}
