// Start-up of the program: the modules' initialisation (defaults in memory, lower modules of the
// uses tree first), the start routine that runs while the main window is created
// (configuration, directory checks, command line, start screen, template data set, start
// picture), the start without a window for batch runs, and the erasure of temporary files when
// the program closes.
#pragma once

#include <cstdint>
#include <string>

#include "app/command_line.h"

// Mode of the main window's start: no configuration read here (the window read it already),
// the joint calculated at the end.
constexpr std::uint16_t kStartUpModeMainWindow = 8;

// The directory of the files the program ships (help texts, explanations, pictures, template).
// Empty PLT and DBF directory settings fall back to it, so a fresh installation finds its help
// and its print presets table.
void SetProgramDataDirectory(std::string directory);
const std::string& ProgramDataDirectory();

// Directory settings left empty get folders that pass the start checks: the program's data
// directory for the PLT and DBF directories; the home folder for the CAD, EDI and default data
// directories when the working folder takes no files.
void FillDefaultDirectories();

// Every module's initialisation, once, in the order common, calc, graphics, drawings, app.
// Reads no file and shows nothing.
void InitModules();

// The start routine. Modes 6 to 9 skip reading the configuration; modes 1, 4 and 8 calculate
// the joint at the end. Leaves AbortFlag and DataModified false, unless the program is to end.
TStartUpOutcome StartUp(std::uint16_t mode);

// The start without a window (command-line batch actions, the help screen without a display):
// the drawing facade, identity, configuration and session, then StartUp. Returns the exit code.
int RunWithoutWindow();

// The desktop session ends: while the session manager lets us ask, unsaved changes are asked
// about as at a normal close. False when the user cancelled (the logout is to be cancelled).
bool SessionEndMayProceed(bool interactionAllowed);

// Erases the CAD driver's block files ("$*.dx$") of this run's temporary directory. Always true.
bool DeleteTempFiles();

// True when a window can be shown: a display (X11 or Wayland) for the platform Qt will choose,
// or a platform that needs none (offscreen, minimal, vnc, ...). Null means "not set".
bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform);
// The same from the environment.
bool DisplayAvailable();
