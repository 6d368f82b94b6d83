// The data set of one spline joint: toothing values of shaft and hub, the spline inputs,
// part names, drawing settings, the gear-family material block and the fixed text lists.
// Per-part arrays are indexed 1 (shaft, external spline) and 2 (hub, internal spline).
// Hub diameters are stored negative.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/range_array.h"

template <typename T>
using PerPart = RangeArray<T, 1, 2>;
using PartReal = PerPart<long double>;
using PartInt = PerPart<int32_t>;
using PartWord = PerPart<int16_t>;
using PartText = PerPart<std::string>;

// Drawing settings and the drawing values that the gear diameters routine writes.
struct TToothGraphicsSettings {
  int32_t InvolutePoints = 20;
  int32_t WheelImagingCount = 200;
  int32_t ShapeSteps = 30;
  int32_t FilletSteps = 30;
  int32_t PlanetCount = 3;
  int16_t auxDiameterOption = 2;  // 1 none, 2 with the gear diameters
  bool drawRootCurve = true;      // root fillet drawn as trochoid
  int16_t SunGearChoice = 1;
  int16_t outlineOption = 2;      // read by the tooth outline drawing
  long double rotationAngle = 0;  // of gear 1, degrees
  PartReal xeInvolute{};          // involute generating addendum modification
  PartReal xeShape{};             // tooth-shape generating addendum modification
  PartReal xeFillet{};            // addendum modification for the root fillet
  PartReal xDrawFin{};            // mean finishing addendum modification
  PartReal xDrawPre{};            // mean premachining addendum modification
  PartReal snGen{};               // generated normal tooth thickness
  PartReal dfGen{};               // generated root diameter
  PartReal daGen{};               // generated tip diameter
  PartReal dwGen{};               // rolling diameter of the drawings
  long double aDraw = 0;          // centre distance of the drawings
  long double toothAngleDw1 = 0;  // tooth angle at dw1, degrees
  int32_t drawPlanetCount = 3;
};

struct TToothingData {
  // Scalars used by the spline calculation, the printout and the drawings.
  long double mn = 0;        // normal module
  long double Pn = 0;        // diametral pitch, 25.4 / mn
  long double alpha = 0;     // normal pressure angle, degrees
  long double alphaRad = 0;  // radians
  long double beta = 0;      // helix angle, degrees
  long double betaRad = 0;
  long double alphat = 0;  // transverse pressure angle, radians
  long double pn = 0;      // normal circular pitch
  long double b = 0;       // face width handed to the gear pair engine

  // Per-part fields of the spline calculation.
  PartInt z{};  // z[2] = -z[1]
  PartReal x{};
  PartReal d{};
  PartReal db{};
  PartReal df{};   // nominal root diameter from x
  PartReal dFf{};  // root form diameter
  PartReal da{};
  PartReal dFa{};
  PartReal h{};
  PartReal c{};
  PartReal hfP0mn{};
  PartReal haP0mn{};
  PartReal rhoaP0mn{};
  PartReal hfP0{};
  PartReal haP0{};
  PartReal rhoaP0{};
  PartReal sn{};
  PartReal en{};
  PartReal san{};
  PartReal sanInt{};  // largest normal top land
  PartReal sa{};      // transverse top land
  PartReal xmin{};
  PartReal dfLimit{};  // root diameter cut at the premachining limit
  PartReal daLimit{};
  PartInt k{};  // number of teeth spanned; 0 means compute it
  PartReal W{};
  PartReal Dm{};  // ball or pin diameter; 0 means compute it
  PartReal M{};
  PartReal MdRCheck{};
  PartReal MCheck{};
  PartReal xePreMax{};
  PartReal xePreMin{};
  PartReal xeFinMax{};
  PartReal xeFinMin{};

  // Tolerance designations of the data set.
  std::string isoToleranceText;  // "js11"
  PartText toothToleranceText;   // quality, deviation field, tolerance series: "6 e 27"
  PartInt quality{};             // accuracy grade Q
  PartWord toleranceSeries{};    // 1..10 = series 21..30; 11 or more: allowances given
  PartWord deviationField{};     // 1..11 = "a" .. "h"
  PartReal Asne{};               // upper tooth thickness allowance, mm
  PartReal Asni{};               // lower tooth thickness allowance, mm
  PartReal Tsn{};                // tooth thickness tolerance, mm
  PartText toothTolName;

  // Tool description per part.
  PartWord toolKind{};  // tool kind word
  PartWord tipMode{};   // 1 clearance, 2 tip reduction, 3 tip diameter given
  PartText toolText;
  PartText toolName;
  PartReal rhofP0mn{};
  PartReal prP0mn{};
  PartReal hFfP0mn{};    // straight-flank dedendum factor
  PartReal alphaprP0{};  // protuberance angle, degrees
  PartReal alphakP0{};   // tool flank angle near the tip, degrees
  PerPart<uint8_t> toolAngleFlag{};
  PartReal rhofP0{};
  PartReal prP0{};
  PartReal hFfP0{};
  PartReal hprP0{};
  PartReal q{};   // premachining allowance
  PartReal qT{};  // its tolerance
  PartReal chamfer{};
  PartReal tipReduction{};
  PartReal bGear{};  // face width per gear
  PartReal di{};     // inner diameter

  // Engine scalars.
  long double mt = 0;
  long double a = 0;  // centre distance
  long double ad = 0;
  long double alphawt = 0;
  long double sumX = 0;
  long double betab = 0;
  long double cos2betab = 0;
  long double betaw = 0;
  long double zg = 0;
  long double zgPractical = 0;
  long double pt = 0;
  long double pbt = 0;
  long double pet = 0;
  long double pbn = 0;
  long double Aae = 0;
  long double Aai = 0;
  long double jtMin = 0, jtMax = 0, jnMin = 0, jnMax = 0, jrMin = 0, jrMax = 0;
  long double alphawtAai = 0;
  long double alphawtAae = 0;
  int16_t centreTolIndex = 4;
  std::string centreTolName;
  int16_t gearType = 3;
  int16_t gearTypeDerived = 0;
  bool doubleHelical = false;
  int16_t ballDiameterSwitch = 0;
  int16_t accuracyStandard = 0;
  long double meshingInterference = 0;
  std::array<long double, 4> specificSliding{};
  long double gAlpha = 0, gAlphaAae = 0, gAlphaAai = 0;
  long double epsAlpha = 0, epsAlphaAae = 0, epsAlphaAai = 0;
  long double epsBeta = 0;
  long double epsGamma = 0, epsGammaAae = 0, epsGammaAai = 0;
  long double u = 0;

  // Engine per-part results.
  PartReal zn{}, dn{}, dw{}, dwAai{}, dwAae{};
  PartReal dfMin{}, dfNominal{}, dfTol{}, da0{}, meanDiameter{};
  PartReal daMin{}, hMin{}, hMax{};
  PartReal snMax{}, snMin{}, st{}, stMax{}, stMin{}, et{};
  PartReal dFaMin{}, alphaat{}, satMax{}, satMin{}, sw{}, sanMax{}, sanMin{};
  PartReal cAai{}, cAae{}, toothAngleDw{};
  PartReal dFfMax{}, dFfMin{};
  PartReal dA{}, dAMin{}, dAMax{}, epsPart{}, dNf{};
  PartReal pathNominal{}, pathAae{}, pathAai{};
  PartReal WPreMin{}, WPreMax{}, WFinMin{}, WFinMax{};
  PartReal MPreMin{}, MPreMax{}, MNominal{}, MFinMin{}, MFinMax{};
  PartReal M2PreMin{}, M2PreMax{}, M2Nominal{}, M2FinMax{};
  PerPart<std::array<long double, 16>> accuracy{};  // single-gear deviations, µm
  PartReal materialFactor1{}, materialFactor2{}, materialDensity{};
};

struct TSplineInputData {
  int32_t ShiftGivenFor = 0;  // 0 each part its own, 1 shaft given, 2 hub given
  PartWord InputKind{};       // 0 none, 1 x, 2 sn/en, 3 over balls, 4 span
  PartReal MdRIn{};
  PartReal WIn{};
  int16_t PitchMode = 1;  // 1 module, 2 diametral pitch
  int16_t ShaftDiamMode = 0;
  int16_t HubDiamMode = 0;
  PartReal kDIN{};
  PartReal DmDIN{};
  PartReal daIn{};
  PartReal dfIn{};
  PartReal snIn{};
  PartReal enIn{};
  bool ClearanceAsFactor = true;
  long double ce = 0;
  long double ci = 0;
  long double cp = 0;
  long double cemn = 0;
  long double cimn = 0;
  long double cpmn = 0;
};

struct TPartNames {
  PartText drawingNumber;
  PartText partName;
  PartText secondName;
};

struct TGearMaterialData {
  PartText name;
  PerPart<std::array<int16_t, 2>> choice{};
  PartReal density{};
  PartReal elasticModulus{};
  PartReal poisson{};
  PerPart<std::array<long double, 3>> strength{};
  PerPart<std::array<long double, 4>> factors{};  // further per-part values of 1.0
  PerPart<std::array<long double, 4>> zeros{};    // further per-part values of 0
  PartReal extraShaftValue{};
  std::array<long double, 5> scalars{};  // 740, 500, 31, 19, 2
  std::array<long double, 4> unitScalars{};
  int32_t GearVariant = 0;  // gear family; 0 for this program
  std::array<std::array<long double, 2>, 129> points{};
};

struct TShaftHubMaterial {
  std::string name;
  std::string number;
  long double strength1 = 0;
  long double strength2 = 0;
  std::array<std::string, 3> defaults;
};

extern TToothingData ToothingData;
extern TToothGraphicsSettings ToothGraphicsSettings;
extern TSplineInputData SplineInputData;
extern TPartNames PartNames;
extern TGearMaterialData GearMaterialData;
extern PerPart<TShaftHubMaterial> ShaftHubMaterials;

extern const std::array<const char*, 11> DeviationLetters;
extern const std::array<const char*, 9> ToleranceLabels;
extern const std::array<const char*, 9> MaterialClasses;
extern const std::array<const char*, 8> HeatTreatments;
extern const std::array<const char*, 3> HelixHands;
extern const std::array<const char*, 2> AccuracyStandards;

// Start values of the toothing record, the drawing settings and the material block.
void InitToothingData();
// Per-part defaults of the tool and drawing fields.
void SetToothingDefaults();
// Resets the spline inputs; also the start value of the spline input record.
void ResetSplineData();
// The example joint that New shows.
void NewSplineExample();
