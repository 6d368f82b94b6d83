// Numbered help texts: entries of up to five lines with an optional HPGL/2 picture, looked up in
// the program's own help file (numbers from 4000 up) or in the help file shared by the maker's
// programs (lower numbers), both in the PLT directory. Dialog help buttons and control hints
// use them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/range_array.h"

constexpr int kHelpLineCount = 5;
constexpr int kOwnHelpFirstNumber = 4000;

// The lines of one entry; all empty before a lookup.
using THelpLines = RangeArray<std::string, 1, kHelpLineCount>;

// What a lookup found.
enum class THelpLookup { Found, FileMissing, EntryMissing };

// Help kinds of ShowHelpText and ShowHelpBox.
constexpr int kHelpTextAndImage = 0;
constexpr int kHelpTextOnly = 1;
constexpr int kHelpImageOnly = 2;

// File holding entry number: PLT directory + lower-case file stem + ".hlp" from 4000 up, else
// PLT directory + "TARVENO.hlp". When the exact name is missing, a file in the same directory
// whose name differs only in letter case is taken (names were case-blind where they came from).
std::string HelpFileName(int number);

// number := the value of the first 4 characters (blanks in front allowed), -1 when they are no
// number; image := the text after the first ":", or "NULL".
void ParseHelpLine(std::string_view line, int& number, std::string& image);

// "help text No " + number + ": No help available."
std::string NoHelpText(int number);

// Looks the entry up. FileMissing: lines[1] names the missing file, image empty. EntryMissing:
// lines[1] is NoHelpText(number), image "null". The file is read on a channel of its own, so a
// lookup may run while the shared text file is open for a listing.
THelpLookup LookupHelpEntry(int number, THelpLines& lines, std::string& image);

// Shows entry number (0: HelpNumber): kind 0 text and picture, 1 the text, 2 the picture.
// Clears AbortFlag after a missing file or entry so that the calling dialog stays usable.
void ShowHelpText(int number, int kind);

// The entry's lines (through DosToWin, UTF-8) joined with one blank between them, for hints;
// a missing file gives the not-found line, a missing entry NoHelpText. Clears AbortFlag.
void GetHelpText(int number, std::string& text);
std::string GetHelpText(int number);
// The same operation under the name the dialogs use.
void FetchHelpText(int number, std::string& text);

// Shows an entry: kinds 0 and 1 a message box captioned "HELP TEXT No." + number with the five
// lines each followed by a blank; kinds 0 and 2 the picture through the help-image hook.
void ShowHelpBox(const THelpLines& lines, const std::string& image, int kind, int number);

// Draws a help picture in the graphics window: clear it, set the world window (0, 0)-(160, 120)
// and, when pltFile is not empty, draw that HPGL/2 file scaled into it. The graphics forms
// install the hook; without one (headless runs) no picture is drawn.
using THelpImageHook = std::function<void(const std::string& pltFile)>;
void InstallHelpImageHook(THelpImageHook hook);
