// The settings behind the two tooth-profile dialogs (the CAD profile of one part and the general
// profile-drawing settings) as plain values, and the menu commands that show the dialogs and
// write the tooth profile of a part as a CAD file. The Qt forms install the dialogs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/dimension_dialog_model.h"

// What the CAD profile dialog of one part shows.
struct TCadProfileValues {
  std::int32_t involutePoints = 0;
  bool polyline = false;
  std::string xeText;  // generating addendum modification of the part, as shown
  bool drawDiameters = false;
  bool rootCurve = false;
};

// What the profile-drawing settings dialog shows.
struct TProfileDrawingValues {
  bool rootCurve = false;
  std::int32_t involutePoints = 0;
  bool polyline = false;
  std::int32_t filletSteps = 0;
  std::int32_t shapeSteps = 0;
  bool drawDiameters = false;
};

// Part 1 is the shaft, 2 the hub; any other number is taken as the shaft.
int CadProfilePart(int part);

// The dialog values of a part from ToothGraphicsSettings and PlotSettings.
TCadProfileValues CadProfileValues(int part);
// The typed addendum modification when it cannot be taken (empty, no complete number, out of
// the range the calculation takes): the field "Edit_xe" and the message that names it.
std::optional<TDimensionRefusal> CheckCadProfileValues(const TCadProfileValues& values);
// Stores values that passed the check: the entered addendum modification becomes the part's
// involute, tooth-shape and root-fillet generating addendum modification.
void StoreCadProfileValues(int part, const TCadProfileValues& values);
// The addendum modification as the dialog shows it: the stored one, and the largest and
// smallest for finishing from the last calculation.
std::string StoredXeText(int part);
std::string FinishingXeMaxText(int part);
std::string FinishingXeMinText(int part);
// Caption of the CAD profile dialog: program name + " CAD " + "shaft" or "hub".
std::string CadProfileCaption(int part);

TProfileDrawingValues ProfileDrawingValues();
void StoreProfileDrawingValues(const TProfileDrawingValues& values);

// The dialogs, installed by the forms library. Each shows its form modally; Cancel sets
// AbortFlag, OK clears it.
using TCadProfileDialogRunner = std::function<void(int part)>;
using TProfileDrawingDialogRunner = std::function<void()>;
void InstallCadProfileDialogs(TCadProfileDialogRunner cadProfile,
                              TProfileDrawingDialogRunner profileDrawing);

// The CAD profile dialog of a part alone. Without an installed dialog it is cancelled.
void CadProfileOptions(int part);
// The CAD tooth-profile command of a part (shaft 1, hub 2): AbortFlag := false; the dialog;
// unless cancelled, the part's tooth profile with the CAD code and file the user chooses.
void CadProfileCommand(int part);
// The CAD setup command: AbortFlag := false; the profile-drawing settings dialog.
void ProfileDrawingSetup();
