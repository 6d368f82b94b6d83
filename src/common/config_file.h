// The configuration file (file stem + ".cfg"): every setting of the program as label lines and
// value lines in one fixed order, read at start and written by the configuration dialog, plus
// the check of the configured directories at start-up.
#pragma once

#include <string>

// What the reader needs to know of the screen for the defaults without a configuration file.
// The Qt start-up fills it before ReadConfig; headless runs keep these values.
struct TScreenMetrics {
  int width = 1024;               // screen width in pixels
  int height = 768;               // screen height in pixels
  int logicalPixelsPerInch = 96;  // logical pixels per inch of the screen
  int mainWindowHeight = 768;     // outer height of the main window
  int mainClientHeight = 722;     // client height of the main window
};
extern TScreenMetrics ScreenMetrics;

// Finds and reads the configuration file: ConfigDirectory, then the maker's common directory
// ($XDG_CONFIG_HOME/tarveno/), then its subdirectory named after the file stem; where it is
// found becomes ConfigDirectory. No file: screen-derived defaults and AbortFlag set. A file that
// ends early (also in the middle of an item) keeps the defaults of everything not read. Each
// entry is found by its label wherever it stands, so a pair moved or swapped costs nothing, and a
// label or value line missing, a line too many or a label repeated costs that entry alone and is
// reported once with its line number; so is a number out of its entry's range. Many lines no entry
// takes, or many labels repeated, are told in one message each.
void ReadConfig();

// Reads the named configuration file (the values part of ReadConfig, without the search). False
// when it does not open.
bool ReadConfigFile(const std::string& fileName);

// Writes ConfigDirectory + file stem + ".cfg" in one piece (a new file renamed over the old
// one). Does nothing when AbortFlag is set on entry. A value outside its entry's range is written
// as the value the reader would take for it; a text holding a line break is refused (message,
// AbortFlag, the old file stays).
void WriteConfig();

// Writes the configuration to the named file, the writing part of WriteConfig.
void WriteConfigFile(const std::string& fileName);

// Full name of the configuration file in ConfigDirectory.
std::string ConfigFileName();

// Fills empty temporary, DBF, PLT, EDI and default data directories with BaseDirectory and
// reports unusable directories ("invalid ... configured"); an unusable temporary directory is
// asked for again.
void CheckConfigDirs();
