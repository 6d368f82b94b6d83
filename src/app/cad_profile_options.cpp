// Settings of the tooth-profile dialogs and the CAD tooth-profile commands.
#include "app/cad_profile_options.h"

#include "calc/spline_input_checks.h"
#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "drawings/tooth_graphics.h"

namespace {

// CAD target that asks for the CAD code and the file.
constexpr std::int16_t kCadAsk = 0;

TCadProfileDialogRunner& CadProfileRunner() {
  static TCadProfileDialogRunner runner;
  return runner;
}

TProfileDrawingDialogRunner& ProfileDrawingRunner() {
  static TProfileDrawingDialogRunner runner;
  return runner;
}

std::int16_t DiameterOption(bool drawDiameters) {
  return drawDiameters ? 2 : 1;
}

}  // namespace

int CadProfilePart(int part) {
  return part == 2 ? 2 : 1;
}

TCadProfileValues CadProfileValues(int part) {
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  TCadProfileValues v;
  v.involutePoints = g.InvolutePoints;
  v.polyline = PlotSettings.involuteAsPolyline;
  v.xeText = StoredXeText(part);
  v.drawDiameters = g.auxDiameterOption == 2;
  v.rootCurve = g.drawRootCurve;
  return v;
}

std::optional<TDimensionRefusal> CheckCadProfileValues(const TCadProfileValues& values) {
  const std::string typed = TrimStr(values.xeText);
  std::string problem = "not a number";
  // An empty field is refused too: it would draw the profile for x = 0 without a word.
  if (ReadsAsReal(typed)) problem = InputRangeProblem(TInputRange::Shift, StrToReal(typed));
  if (problem.empty()) return std::nullopt;
  return TDimensionRefusal{"Edit_xe", RefusalText("Gen.addend.modif.coeff. xe", typed, problem)};
}

void StoreCadProfileValues(int part, const TCadProfileValues& values) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  const int n = CadProfilePart(part);
  g.InvolutePoints = values.involutePoints;
  PlotSettings.involuteAsPolyline = values.polyline;
  const long double xe = StrToReal(values.xeText);
  // The root fillet is generated with the tooth-shape value, so the flanks and the fillet of
  // the profile come from the same tool position.
  g.xeInvolute[n] = xe;
  g.xeShape[n] = xe;
  g.xeFillet[n] = xe;
  g.auxDiameterOption = DiameterOption(values.drawDiameters);
  g.drawRootCurve = values.rootCurve;
}

std::string StoredXeText(int part) {
  return RealStr6(ToothGraphicsSettings.xeInvolute[CadProfilePart(part)]);
}

std::string FinishingXeMaxText(int part) {
  return RealStr6(ToothingData.xeFinMax[CadProfilePart(part)]);
}

std::string FinishingXeMinText(int part) {
  return RealStr6(ToothingData.xeFinMin[CadProfilePart(part)]);
}

std::string CadProfileCaption(int part) {
  return ProgramIdentity.programName + " CAD " + (CadProfilePart(part) == 2 ? "hub" : "shaft");
}

TProfileDrawingValues ProfileDrawingValues() {
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  TProfileDrawingValues v;
  v.rootCurve = g.drawRootCurve;
  v.involutePoints = g.InvolutePoints;
  v.polyline = PlotSettings.involuteAsPolyline;
  v.filletSteps = g.FilletSteps;
  v.shapeSteps = g.ShapeSteps;
  v.drawDiameters = g.auxDiameterOption == 2;
  return v;
}

void StoreProfileDrawingValues(const TProfileDrawingValues& values) {
  TToothGraphicsSettings& g = ToothGraphicsSettings;
  g.drawRootCurve = values.rootCurve;
  g.InvolutePoints = values.involutePoints;
  PlotSettings.involuteAsPolyline = values.polyline;
  g.FilletSteps = values.filletSteps;
  g.ShapeSteps = values.shapeSteps;
  g.auxDiameterOption = DiameterOption(values.drawDiameters);
}

void InstallCadProfileDialogs(TCadProfileDialogRunner cadProfile,
                              TProfileDrawingDialogRunner profileDrawing) {
  CadProfileRunner() = std::move(cadProfile);
  ProfileDrawingRunner() = std::move(profileDrawing);
}

void CadProfileOptions(int part) {
  if (!CadProfileRunner()) {
    AbortFlag = true;
    return;
  }
  CadProfileRunner()(CadProfilePart(part));
}

void CadProfileCommand(int part) {
  AbortFlag = false;
  const int n = CadProfilePart(part);
  CadProfileOptions(n);
  if (AbortFlag) return;
  SplineToothGraphicsMenu(kCadAsk, static_cast<std::int16_t>(n));
}

void ProfileDrawingSetup() {
  AbortFlag = false;
  if (!ProfileDrawingRunner()) {
    AbortFlag = true;
    return;
  }
  ProfileDrawingRunner()();
}
