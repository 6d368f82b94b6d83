// The spline dimension dialog without its widgets: values in and out of the joint's records,
// enabling rules, live recalculation and the shift buttons.
#include "app/dimension_dialog_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "calc/gear_pair.h"
#include "calc/measurement.h"
#include "calc/spline_input_checks.h"
#include "calc/spline_joint.h"
#include "common/codepage.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "common/program_state.h"

namespace {

using E = TDimensionEdit;

constexpr long double kShiftCopyLimit = 1.5L;

constexpr std::array<const char*, kDimensionEditCount> kEditNames = {
    "Edit_wal",    "Edit_mn",   "Edit_pn",   "Edit_xe1",    "Edit_xe2",    "Edit_sn1",
    "Edit_en2",    "Edit_mdr1", "Edit_mdr2", "Edit_wmess1", "Edit_wmess2", "Edit_dmess1",
    "Edit_dmess2", "Edit_fhf1", "Edit_fhf2", "Edit_fha1",   "Edit_fha2",   "Edit_frf1",
    "Edit_frf2",   "Edit_da1",  "Edit_da2",  "Edit_df1",    "Edit_df2",    "Edit_ce",
    "Edit_ci",     "Edit_cp",   "Edit_cemn", "Edit_cimn",   "Edit_cpmn"};

TDimensionDialogRunner& Runner() {
  static TDimensionDialogRunner runner;
  return runner;
}

// How a field shows its value.
enum class TFieldFormat { Significant3, Significant6, Decimals5, Length6, LengthDecimals3 };

long double& Field(E edit) {
  TToothingData& t = ToothingData;
  TSplineInputData& s = SplineInputData;
  switch (edit) {
    case E::wal:
      return t.alpha;
    case E::mn:
      return t.mn;
    case E::pn:
      return t.Pn;
    case E::xe1:
      return t.x[1];
    case E::xe2:
      return t.x[2];
    case E::sn1:
      return s.snIn[1];
    case E::en2:
      return s.enIn[2];
    case E::mdr1:
      return s.MdRIn[1];
    case E::mdr2:
      return s.MdRIn[2];
    case E::wmess1:
      return s.WIn[1];
    case E::wmess2:
      return s.WIn[2];
    case E::dmess1:
      return t.Dm[1];
    case E::dmess2:
      return t.Dm[2];
    case E::fhf1:
      return t.hfP0mn[1];
    case E::fhf2:
      return t.hfP0mn[2];
    case E::fha1:
      return t.haP0mn[1];
    case E::fha2:
      return t.haP0mn[2];
    case E::frf1:
      return t.rhoaP0mn[1];
    case E::frf2:
      return t.rhoaP0mn[2];
    case E::da1:
      return s.daIn[1];
    case E::da2:
      return s.daIn[2];
    case E::df1:
      return s.dfIn[1];
    case E::df2:
      return s.dfIn[2];
    case E::ce:
      return s.ce;
    case E::ci:
      return s.ci;
    case E::cp:
      return s.cp;
    case E::cemn:
      return s.cemn;
    case E::cimn:
      return s.cimn;
    case E::cpmn:
      return s.cpmn;
    case E::Count:
      break;
  }
  static long double none = 0;
  return none;
}

TFieldFormat FormatOf(E edit) {
  switch (edit) {
    case E::wal:
      return TFieldFormat::Significant3;
    case E::pn:
      return TFieldFormat::Decimals5;
    case E::mn:
    case E::dmess1:
    case E::dmess2:
    case E::da1:
    case E::da2:
    case E::df1:
    case E::df2:
    case E::ce:
    case E::ci:
    case E::cp:
      return TFieldFormat::Length6;
    case E::sn1:
    case E::en2:
    case E::mdr1:
    case E::mdr2:
    case E::wmess1:
    case E::wmess2:
      return TFieldFormat::LengthDecimals3;
    default:
      return TFieldFormat::Significant6;  // shifts, tool and clearance factors
  }
}

bool IsLength(TFieldFormat format) {
  return format == TFieldFormat::Length6 || format == TFieldFormat::LengthDecimals3;
}

std::string FieldText(E edit) {
  long double value = Field(edit);
  // The dimensions over (between) balls are shown as magnitudes.
  if (edit == E::mdr1 || edit == E::mdr2) value = std::fabs(value);
  switch (FormatOf(edit)) {
    case TFieldFormat::Significant3:
      return RealStr(value);
    case TFieldFormat::Decimals5:
      return RealStrN(5, value);
    case TFieldFormat::Length6:
      return LengthStr6(value);
    case TFieldFormat::LengthDecimals3:
      return LengthStrN(3, value);
    case TFieldFormat::Significant6:
      break;
  }
  return RealStr6(value);
}

void SetField(E edit, const std::string& text) {
  long double value = IsLength(FormatOf(edit)) ? LengthValue(text) : StrToReal(text);
  // The hub's dimension between balls is kept negative whatever sign was typed.
  if (edit == E::mdr2) value = -std::fabs(value);
  Field(edit) = value;
}

// The caption of the field's row label, as the user sees it next to the field.
constexpr std::array<const char*, kDimensionEditCount> kEditCaptions = {"Pressure angle alpha",
                                                                        "Normal module mn",
                                                                        "Normal Pitch Pn",
                                                                        "xe1",
                                                                        "xe2",
                                                                        "sn1",
                                                                        "en2",
                                                                        "MR1",
                                                                        "MR2",
                                                                        "W1",
                                                                        "W2",
                                                                        "DM",
                                                                        "DM2",
                                                                        "ha1/mn",
                                                                        "ha2/mn",
                                                                        "hf1/mn",
                                                                        "hf2/mn",
                                                                        "rf1/mn",
                                                                        "rf2/mn",
                                                                        "da1",
                                                                        "da2",
                                                                        "df1",
                                                                        "df2",
                                                                        "ce",
                                                                        "ci",
                                                                        "cp",
                                                                        "ce/mn",
                                                                        "ci/mn",
                                                                        "cp/mn"};

TInputRange RangeOf(E edit) {
  switch (edit) {
    case E::wal:
      return TInputRange::PressureAngle;
    case E::mn:
      return TInputRange::Module;
    case E::pn:
      return TInputRange::Pitch;
    case E::xe1:
    case E::xe2:
      return TInputRange::Shift;
    case E::sn1:
    case E::en2:
      return TInputRange::Thickness;
    case E::mdr1:
    case E::mdr2:
    case E::wmess1:
    case E::wmess2:
      return TInputRange::Measurement;
    case E::fhf1:
    case E::fhf2:
    case E::fha1:
    case E::fha2:
      return TInputRange::ToolFactor;
    case E::frf1:
    case E::frf2:
      return TInputRange::RadiusFactor;
    case E::ce:
    case E::ci:
      return TInputRange::Clearance;
    case E::cp:
      return TInputRange::Backlash;
    case E::cemn:
    case E::cimn:
      return TInputRange::ClearanceFactor;
    case E::cpmn:
      return TInputRange::BacklashFactor;
    default:
      return TInputRange::Diameter;  // balls, tip and root diameters
  }
}

}  // namespace

std::string RefusalText(const std::string& caption, const std::string& text,
                        const std::string& problem) {
  return caption + ": \"" + text + "\" " +
         (problem == "not a number" ? std::string("is not a number")
                                    : "is not accepted (" + problem + ")");
}

std::optional<TDimensionRefusal> CheckDimensionValues(const TDimensionDialogValues& values) {
  const TDimensionEnables open = DimensionEditEnables(values);
  for (int i = 0; i < kDimensionEditCount; ++i) {
    const auto edit = static_cast<E>(i);
    if (!open[static_cast<std::size_t>(i)]) continue;  // shows a calculated value
    const std::string& text = values.Text(edit);
    const std::string trimmed = TrimStr(text);
    const std::string caption = kEditCaptions[static_cast<std::size_t>(i)];
    if (trimmed.empty()) continue;  // reads as 0, as an empty field always has
    if (!ReadsAsReal(trimmed))
      return TDimensionRefusal{DimensionEditName(edit),
                               RefusalText(caption, trimmed, "not a number")};
    const TInputRange range = RangeOf(edit);
    long double value = IsLength(FormatOf(edit)) ? LengthValue(trimmed) : StrToReal(trimmed);
    // The hub's dimension between balls is typed as a magnitude or with its sign.
    if (edit == E::mdr2) value = std::fabs(value);
    if (value == 0 && (range == TInputRange::Module || range == TInputRange::Pitch)) continue;
    std::string problem = InputRangeProblem(range, value);
    // The pressure angle is refused with its range, in the words of the calculation's refusal.
    if (range == TInputRange::PressureAngle && problem == "out of range") {
      problem = RealStr(kMinPressureAngle) + " < alpha <= " + RealStr(kMaxPressureAngle);
    }
    if (!problem.empty()) {
      return TDimensionRefusal{DimensionEditName(edit), RefusalText(caption, trimmed, problem)};
    }
  }
  if (const std::string problem = InputRangeProblem(TInputRange::Teeth, values.z);
      !problem.empty()) {
    return TDimensionRefusal{"SpinEdit_z",
                             RefusalText("Number of teeth z", IntStr(values.z), problem)};
  }
  if (const std::string problem = SpanTeethProblem(values.k[1], std::abs(values.z));
      !problem.empty()) {
    return TDimensionRefusal{"SpinEdit_kmess1", RefusalText("k", IntStr(values.k[1]), problem)};
  }
  return std::nullopt;
}

const char* DimensionEditName(TDimensionEdit edit) {
  return kEditNames[static_cast<std::size_t>(edit)];
}

TDimensionDialogValues DimensionValuesFromData() {
  const TToothingData& t = ToothingData;
  const TSplineInputData& s = SplineInputData;
  TDimensionDialogValues v;
  for (int i = 0; i < kDimensionEditCount; ++i) {
    const auto edit = static_cast<E>(i);
    v.Text(edit) = FieldText(edit);
  }
  v.z = t.z[1];
  v.k[1] = t.k[1];
  v.k[2] = t.k[2];
  v.givenFor = s.ShiftGivenFor == 1 || s.ShiftGivenFor == 2 ? s.ShiftGivenFor : 0;
  // Modes out of range (an old or hand-edited data file) show the first choice rather than
  // leaving a group without a selection.
  v.pitchItem = std::clamp<int>(s.PitchMode - 1, 0, 1);
  v.shaftKindItem = std::clamp<int>(s.InputKind[1] - 1, 0, 3);
  v.hubKindItem = std::clamp<int>(s.InputKind[2] - 1, 0, 2);
  v.majorItem = std::clamp<int>(s.ShaftDiamMode, 0, 1);
  v.minorItem = std::clamp<int>(s.HubDiamMode, 0, 1);
  v.clearancePerModule = s.ClearanceAsFactor;
  return v;
}

void ReadDimensionValues(const TDimensionDialogValues& v) {
  TToothingData& t = ToothingData;
  TSplineInputData& s = SplineInputData;
  s.ShiftGivenFor = v.givenFor == 1 || v.givenFor == 2 ? v.givenFor : 0;
  s.InputKind[1] = static_cast<int16_t>(v.shaftKindItem + 1);
  s.InputKind[2] = static_cast<int16_t>(v.hubKindItem + 1);
  s.PitchMode = static_cast<int16_t>(v.pitchItem + 1);
  t.z[1] = std::abs(v.z);
  t.z[2] = -std::abs(v.z);
  t.k[1] = v.k[1];
  t.k[2] = v.k[2];
  s.HubDiamMode = static_cast<int16_t>(v.minorItem);
  s.ShaftDiamMode = static_cast<int16_t>(v.majorItem);
  s.ClearanceAsFactor = v.clearancePerModule;
  for (int i = 0; i < kDimensionEditCount; ++i) {
    const auto edit = static_cast<E>(i);
    // A field still showing its record's value keeps the record's full precision: read back
    // from the rounded text, every look at the dialog (in inches above all) would shift the
    // module, the diameters and the measurements a little.
    // A text that is no number ("nan", "1e") is never taken for 0 behind the field's back: the
    // record keeps its value until the field holds a number (OK and Calc name the field).
    const std::string& text = v.Text(edit);
    const bool unreadable = !TrimStr(text).empty() && !ReadsAsReal(TrimStr(text));
    if (text != FieldText(edit) && !unreadable) SetField(edit, text);
  }
}

TDimensionEnables DimensionEditEnables(const TDimensionDialogValues& v) {
  TDimensionEnables on{};
  auto set = [&on](E edit, bool value) { on[static_cast<std::size_t>(edit)] = value; };
  // Shaft inputs are closed while the hub and the clearances are given, and the other way
  // round; with both parts given no clearance is entered.
  const bool shaftOpen = v.givenFor != 2;
  const bool hubOpen = v.givenFor != 1;
  const bool clearanceOpen = v.givenFor != 0;

  set(E::wal, true);
  set(E::mn, v.pitchItem == 0);
  set(E::pn, v.pitchItem == 1);
  // Major diameter: shaft tip and hub root, by tool factors or by diameters.
  set(E::fhf1, v.majorItem == 0 && shaftOpen);
  set(E::fha2, v.majorItem == 0 && hubOpen);
  set(E::da1, v.majorItem == 1 && shaftOpen);
  set(E::df2, v.majorItem == 1 && hubOpen);
  // Minor diameter: shaft root and hub tip.
  set(E::fha1, v.minorItem == 0 && shaftOpen);
  set(E::fhf2, v.minorItem == 0 && hubOpen);
  set(E::df1, v.minorItem == 1 && shaftOpen);
  set(E::da2, v.minorItem == 1 && hubOpen);
  set(E::frf1, true);
  set(E::frf2, true);
  for (E edit : {E::cemn, E::cimn, E::cpmn}) set(edit, v.clearancePerModule && clearanceOpen);
  for (E edit : {E::ce, E::ci, E::cp}) set(edit, !v.clearancePerModule && clearanceOpen);
  set(E::xe1, v.shaftKindItem == 0 && shaftOpen);
  set(E::sn1, v.shaftKindItem == 1 && shaftOpen);
  set(E::mdr1, v.shaftKindItem == 2 && shaftOpen);
  set(E::wmess1, v.shaftKindItem == 3 && shaftOpen);
  set(E::xe2, v.hubKindItem == 0 && hubOpen);
  set(E::en2, v.hubKindItem == 1 && hubOpen);
  set(E::mdr2, v.hubKindItem == 2 && hubOpen);
  set(E::wmess2, v.hubKindItem == 3 && hubOpen);
  set(E::dmess1, true);
  set(E::dmess2, true);
  return on;
}

bool EditChangeRecalculates(TDimensionEdit edit, bool enabled, int shaftKindItem) {
  switch (edit) {
    case E::wal:
    case E::mn:
    case E::pn:
    case E::mdr1:
    case E::wmess1:
    case E::xe1:
    case E::frf1:
    case E::frf2:
    case E::dmess2:
      return true;
    case E::dmess1:
      // With the shaft given over balls the ball diameter is part of that input, not a
      // separate change.
      return shaftKindItem != 2;
    default:
      // A calculated value written into a closed field is no user input.
      return enabled;
  }
}

bool SpanTeethChangeRecalculates(int shaftKindItem) {
  return shaftKindItem != 3;
}

bool RecalcDimensionData() {
  // With the pitch given the module field only shows a calculated value; a stale 0 there must
  // not block the calculation from the pitch.
  if (SplineInputData.PitchMode != 2 && ToothingData.mn == 0) {
    AddError("Fatal  : mn = 0 !");
    CalcFatalFlag = true;
    AbortFlag = true;
    return false;
  }
  CalcSplineJoint();
  return true;
}

void CopyShiftInData(int part, const TDimensionDialogValues& values) {
  TToothingData& t = ToothingData;
  TSplineInputData& s = SplineInputData;
  CalcFatalFlag = false;
  ReadDimensionValues(values);
  // Input kind 1 makes the calculation take both shifts as they stand (kind 0 would set them
  // to 0 and lose the copied value).
  s.InputKind[1] = 1;
  s.InputKind[2] = 1;
  const int other = part == 1 ? 2 : 1;
  const long double x = -t.x[other];
  if (std::fabs(x) > kShiftCopyLimit) {
    t.x[1] = 0;
    t.x[2] = 0;
  } else {
    t.x[part] = x;
  }
  CalcSplineJoint();
  s.InputKind[1] = static_cast<int16_t>(values.shaftKindItem + 1);
  s.InputKind[2] = static_cast<int16_t>(values.hubKindItem + 1);
}

// What the listing will use when the field is left to the program: the ball at the shift found
// and the number of teeth whose caliper the flank carries, not the bare rule at the shift typed.
// Where the joint cannot be calculated as it stands, the rule at the typed shift is all there is.
long double BallDiameterForPart(int part) {
  const long double ball = ProposedBall(part);
  if (ball > 0) return ball;
  const TToothingData& t = ToothingData;
  return CalcBallDiameter(static_cast<long double>(t.z[part]), DegToRad(t.beta), DegToRad(t.alpha),
                          t.x[part], t.mn);
}

int32_t SpanTeethForPart(int part) {
  const int32_t k = part == 1 ? ProposedSpanTeeth() : 0;
  if (k > 0) return k;
  const TToothingData& t = ToothingData;
  return CalcSpanTeeth(static_cast<long double>(t.z[part]), DegToRad(t.beta), DegToRad(t.alpha),
                       t.x[part], t.mn);
}

std::vector<std::string> DimensionMessageLines() {
  std::vector<std::string> lines;
  for (int i = 1; i <= ErrorCount(); ++i) lines.push_back(DosToWin(ErrorText(i)));
  return lines;
}

std::string DimensionUnitText() {
  return DosToWin(LengthUnitStr());
}

std::string ReferenceDiameterText() {
  return "d = " + LengthStrN(3, ToothingData.d[1]) + " " + DimensionUnitText();
}

TDimensionSnapshot TakeDimensionSnapshot() {
  return {ToothingData, ToothGraphicsSettings, SplineInputData, ErrorList, CalcFatalFlag};
}

void RestoreDimensionSnapshot(const TDimensionSnapshot& snapshot) {
  ToothingData = snapshot.toothing;
  ToothGraphicsSettings = snapshot.graphics;
  SplineInputData = snapshot.input;
  ErrorList = snapshot.errors;
  CalcFatalFlag = snapshot.fatal;
}

void InstallDimensionDialog(TDimensionDialogRunner runner) {
  Runner() = std::move(runner);
}

void EditDimensions() {
  AbortFlag = false;
  if (!Runner()) {
    AbortFlag = true;
    return;
  }
  Runner()();
  if (AbortFlag) return;
  DataModified = true;
  CalcSplineJoint();
}
