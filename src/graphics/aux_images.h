// Auxiliary images: HP-GL/2 pictures of the PLT directory kept as a named list (the ".dbh"
// file), shown in the graphics window, maintained (append, delete, edit, insert) and sent to a
// plotter or printer port.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TAuxImageEntry {
  std::string name;  // file name without directory and extension
  std::string description;
};

constexpr int kAuxImageMax = 130;

// Actions of the chooser.
constexpr int kAuxShow = 0;
constexpr int kAuxNew = 1;
constexpr int kAuxInsert = 2;
constexpr int kAuxDelete = 3;
constexpr int kAuxModify = 9;

// Full name of the list file: PLT directory, lower-case file stem, ".dbh".
std::string AuxImageListFileName();

// Parses the list file's text; at most 130 entries. A malformed field shows "DBH file error"
// (while messages are on) and reading goes on.
std::vector<TAuxImageEntry> ParseAuxImageList(const std::string& text);
// One line of the list file, without its line end; a double quote in a field becomes "'".
std::string DbhLine(const std::string& name, const std::string& description);
// The list's name for a chosen image file: its base name when it lies in the PLT directory,
// else its whole path (without a ".plt" extension), so that it is found again.
std::string AuxImageListName(const std::string& chosen);
// Lower-case file name of an entry (blanks removed; the name is used whole); a path as it
// stands.
std::string AuxImageFileName(const TAuxImageEntry& entry);
// The image file of a name in the PLT directory, or of a path, found without regard to case.
std::string AuxImagePath(const std::string& name);
// Screen line of an entry: the name padded to 8 characters, ": ", the description.
std::string AuxImageListLine(const TAuxImageEntry& entry);
// The same line for the chooser, in UTF-8: the name as the file system gives it, the
// description (held in the DOS code page) converted for display.
std::string AuxImageShownLine(const TAuxImageEntry& entry);

// Shows one image as a picture of its own (also the start picture).
void ShowAuxImage(const std::string& name);

// The whole command; ends with AbortFlag set when the user closed the chooser with OK or
// cancelled a step.
void AuxImagesMenu();

// The chooser: shows the lines (UTF-8, entries then action lines) with `selected` (1-based)
// preselected. Returns false when the user ended the command (OK); otherwise the chosen line
// and action. Without an installed chooser the list is offered as a choice of the dialog host,
// where the action lines behind the entries stand for the actions.
using TAuxImageChooser = std::function<bool(
    const std::string& caption, const std::vector<std::string>& lines, int& selected, int& action)>;
void InstallAuxImageChooser(TAuxImageChooser chooser);

// Byte sequences that switch a printer into HP-GL/2 mode and back.
extern const std::string kHpgl2Enter;
extern const std::string kHpgl2Leave;
// Write the sequences to the port (or file) named Port, appending.
bool WriteHpgl2Enter(const std::string& port);
bool WriteHpgl2Leave(const std::string& port);

// Port name for port 1..3: the device /dev/lp0../dev/lp2. When the device is absent the data
// go to the default print queue. Tests name a plain file instead.
std::string AuxPortName(int port);
extern std::string AuxPortFileOverride;
// Sends the bytes to the port: its device when present, else the `lp` queue (raw).
bool SendToPort(int port, const std::string& bytes);
