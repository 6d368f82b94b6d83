// Viewer of HP-GL/2 plot files (help images, auxiliary images, the start picture): reads the
// subset of commands the program's pictures use and draws them through the drawing facade in
// millimetres (one plotter unit is 0.025 mm). The caller clears the picture and sets the world
// window before.
#pragma once

#include <cstdint>
#include <string>

// State kept from one file to the next (the position and the character count are per file).
struct THpglState {
  long double CurrentX = 0.0L;  // mm
  long double CurrentY = 0.0L;
  long double LabelWidth = 5.0L;  // cm
  long double LabelHeight = 5.0L;
  long double DirRun = 1.0L;
  long double DirRise = 0.0L;
  long double CharSet = 1.0L;
  bool PenDown = false;
  std::uint8_t Pen = 0;
  std::int64_t characterCount = 0;
};
extern THpglState HpglState;

void InitHpglState();

// Colour-table number of a pen.
int HpglColour(int pen);

// Draws the file; AbortFlag is set on return only when the file cannot be read. Whatever is
// valid up to a truncated or broken command is drawn.
void ShowHpglFile(const std::string& fileName);

// The same for a file already in memory (the whole file is used, up to its last byte).
void ShowHpglData(const std::string& data);

// Lets the numbered help texts draw their pictures in the graphics window: clear it, set the
// world window (0, 0)-(160, 120) and draw the named file, if any.
void InstallGraphicsHelpImageHook();
