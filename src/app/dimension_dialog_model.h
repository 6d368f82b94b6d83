// The toolkit-free side of the spline dimension dialog: the values its controls hold, how they
// are read into and written from the joint's records, which controls the chosen modes enable,
// the live recalculation, the "<" shift buttons, and the entry the dimension command calls.
// The Qt form only moves these values in and out of its widgets.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/toothing_data.h"
#include "common/message_list.h"

// The edit fields of the dialog, in one list so that reading, writing and enabling can be
// done field by field.
enum class TDimensionEdit {
  wal,
  mn,
  pn,
  xe1,
  xe2,
  sn1,
  en2,
  mdr1,
  mdr2,
  wmess1,
  wmess2,
  dmess1,
  dmess2,
  fhf1,
  fhf2,
  fha1,
  fha2,
  frf1,
  frf2,
  da1,
  da2,
  df1,
  df2,
  ce,
  ci,
  cp,
  cemn,
  cimn,
  cpmn,
  Count
};
constexpr int kDimensionEditCount = static_cast<int>(TDimensionEdit::Count);

// Object name of an edit field ("Edit_xe1").
const char* DimensionEditName(TDimensionEdit edit);

// What the controls of the dialog hold.
struct TDimensionDialogValues {
  std::array<std::string, kDimensionEditCount> edits;  // texts as shown
  int32_t z = 0;                                       // SpinEdit_z
  PerPart<int32_t> k{};                                // SpinEdit_kmess1, SpinEdit_kmess2
  int32_t givenFor = 0;                                // radio buttons: 1 rad1c, 0 rad12, 2 rad2c
  int pitchItem = 0;                                   // RadioGroup_mnpn: 0 mn, 1 Pn
  int shaftKindItem = 0;                               // RadioGroup_pm1: 0 xe, 1 sn, 2 MdR, 3 W
  int hubKindItem = 0;                                 // RadioGroup_pm2: 0 xe, 1 en, 2 MdR
  int majorItem = 0;                                   // RadioGroup_de: 0 tool factors, 1 diameters
  int minorItem = 0;                                   // RadioGroup_di: 0 tool factors, 1 diameters
  bool clearancePerModule = false;                     // CheckBox_cmn

  std::string& Text(TDimensionEdit edit) { return edits[static_cast<std::size_t>(edit)]; }
  const std::string& Text(TDimensionEdit edit) const {
    return edits[static_cast<std::size_t>(edit)];
  }
};

using TDimensionEnables = std::array<bool, kDimensionEditCount>;

// Every value of the records as the controls show it, in the current unit system; the hub's
// dimension between balls as its magnitude.
TDimensionDialogValues DimensionValuesFromData();

// The controls into ToothingData and SplineInputData, no range checked: an empty field gives
// 0, a text that is no number leaves its record as it was, lengths are read in the current unit
// system, the hub gets z = -|z| and a negative dimension between balls whatever sign was typed.
// A field whose text is still what its record shows leaves the record's unrounded value in
// place.
void ReadDimensionValues(const TDimensionDialogValues& values);

// A value the dialog cannot take: the object name of its field and the message that names it.
struct TDimensionRefusal {
  std::string field;  // "Edit_ce", "SpinEdit_kmess1"
  std::string message;
};

// The message that names a field (by its caption) and says why its text is not taken: the
// problem "not a number" or one of InputRangeProblem's.
std::string RefusalText(const std::string& caption, const std::string& text,
                        const std::string& problem);

// Checks every value the dialog takes (the open fields, the balls and the numbers of teeth)
// with the ranges the calculation checks at its start, before anything is read: a text that is
// no complete number ("nan", "inf", "1e") or a value out of its range is refused. An empty
// field still reads as 0, and a module or pitch of 0 is left to the calculation's own message.
// Returns the first refused field, if any.
std::optional<TDimensionRefusal> CheckDimensionValues(const TDimensionDialogValues& values);

// Which edit fields the modes leave open for input; the others show calculated values.
TDimensionEnables DimensionEditEnables(const TDimensionDialogValues& values);

// Whether a change of an edit field starts a recalculation: some always do, most only while
// open for input, the ball diameter of the shaft not while the shaft is given by its dimension
// over balls.
bool EditChangeRecalculates(TDimensionEdit edit, bool enabled, int shaftKindItem);
// The same for the shaft's number of teeth spanned: not while the shaft is given by its span.
bool SpanTeethChangeRecalculates(int shaftKindItem);

// After the controls were read: with the module given, a zero module posts
// "Fatal  : mn = 0 !", sets CalcFatalFlag and AbortFlag and returns false without calculating;
// otherwise CalcSplineJoint, true.
bool RecalcDimensionData();

// The "<" buttons of the addendum modification: part's x := -(x of the other part), both 0
// when that exceeds 1.5 in magnitude, and the joint calculated with both shifts as they stand.
// The input kinds of the records are those of the values afterwards.
void CopyShiftInData(int part, const TDimensionDialogValues& values);

// The ball diameter and number of teeth spanned (the shaft's; the hub is not measured over a
// span) the calculation takes for a part of the joint in the records when they are left to it.
long double BallDiameterForPart(int part);
int32_t SpanTeethForPart(int part);

// The messages of the list for display, one line each, in list order.
std::vector<std::string> DimensionMessageLines();
// "d = " + the shaft's reference diameter + " " + unit, for display.
std::string ReferenceDiameterText();
// "mm" or "in" for display.
std::string DimensionUnitText();

// Everything the dialog may change, so that Cancel can put it back.
struct TDimensionSnapshot {
  TToothingData toothing;
  TToothGraphicsSettings graphics;
  TSplineInputData input;
  TErrorList errors;
  bool fatal = false;
};
TDimensionSnapshot TakeDimensionSnapshot();
void RestoreDimensionSnapshot(const TDimensionSnapshot& snapshot);

// Shows the dimension dialog modally; Cancel sets AbortFlag. The Qt forms install it.
using TDimensionDialogRunner = std::function<void()>;
void InstallDimensionDialog(TDimensionDialogRunner runner);

// The dimension command: AbortFlag := false; the dialog; unless cancelled, DataModified := true
// and CalcSplineJoint. Without an installed dialog (no window) the command is cancelled.
void EditDimensions();
