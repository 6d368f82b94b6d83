// What the driver, the primitives and the blocks share among themselves and nobody else:
// where the next primitive goes, and the hand-over of each drawn primitive to the sink.
#pragma once

#include <initializer_list>
#include <string>

#include "graphics/cad_recorder.h"

class CadWriter;

namespace cad_internal {

// Where a primitive goes now.
enum class TRoute {
  Nothing,    // code 0, a code above 5, or a file target without an open file
  Writer,     // a file writer (DXF, IGES, CAD-code text, plot program)
  BlockFile,  // the screen while a block is being defined: the block file's DXF writer
  Screen,     // the graphics window
};
TRoute Route();
// The writer of the Writer and BlockFile routes (null otherwise).
CadWriter* RouteWriter();

// The screen's open block file writer (null when none is open); owned by the blocks.
CadWriter* ScreenBlockWriter();
// Whether a block is being defined on a file target (for the sink's inBlock marking).
bool FileBlockOpen();
const std::string& OpenBlockName();

// Text size, angle and oblique of the driver state handed to a writer before a text.
void SyncTextStyle(CadWriter& writer);

// Hands a drawn primitive to the installed sink, filling colour, layer and block marking.
void Emit(TCadPrimitive& p);
bool SinkInstalled();

// Called by CadOpen and CadClose on the screen: forget the blocks of the last drawing.
void ForgetBlocks(bool eraseFiles);
// Closes an open screen block file (at CadClose); its block is dropped.
void AbandonOpenBlock();
// The plot program's sheet border, held back until the entities section starts.
void DrawPendingBorder();
// Text justification is suspended while a block is replayed (its points are already placed).
bool ReplayActive();

// Numbers of an element: false for a non-finite or absurdly large one, which the drawing is
// told about once (ResetNumberCheck at every CadOpen starts a new drawing).
bool DrawableNumbers(std::initializer_list<long double> values);
void ResetNumberCheck();

}  // namespace cad_internal
