// Placement of dialogs and the main window: every dialog is scaled by the configured percents
// and centred over the main window, 20 pixels below its centre.
#pragma once

class QWidget;

// The window dialogs are centred over and owned by (the graphics window, which is the main
// window). Without one, dialogs are centred on the primary screen.
void SetDialogMainWindow(QWidget* window);
QWidget* DialogMainWindow();

// Size scaled by DialogScalePercent; left := max((main width - width) div 2, 0) + main left;
// top := max((main height - height) div 2, 0) + main top + 20; the contents (font) scaled by
// ContentScalePercent. Nothing while FormScalingMode is 2. A dialog never grows beyond the
// screen it is on, so its buttons stay within reach.
void ScaleAndCenterForm(QWidget* form);
// The same scaling, placed at the stored form position (ConfigVariables formLeft, formTop).
void ScaleAndPlaceForm(QWidget* form);
// Size and contents scaled; the position stays.
void ScaleForm(QWidget* form);
// Main window: client area of the configured screen width and height + 1 at the top left of
// the screen, the configured background colour.
void SetupMainWindow(QWidget* window);
