// Sections and named blocks of the CAD driver. On the file targets a block is the format's
// own block; on the screen each block is written as a small DXF block file in the private
// temporary directory while it is defined, and every insert replays it, moved, scaled and
// turned, through the ordinary primitives. Block names are case-insensitive.
//
// Include this header to draw: it brings the driver and the primitives too.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/cad_driver.h"
#include "graphics/cad_primitives.h"

// Inserts may nest this deep during a screen replay.
constexpr int kMaxBlockDepth = 4;

// Sections, in this order: CadSheetFrame, CadBeginTables, CadBeginBlocks, (CadBeginBlock ...
// CadEndBlock)*, CadEndSection, CadBeginEntities, ..., CadEndSection, CadClose.
void CadBeginTables(int mode);  // DXF tables: 0 six layers, 2 also pen layers 16..31
void CadBeginBlocks();
void CadBeginBlock(const std::string& name);
void CadEndBlock();
void CadEndSection();
void CadBeginEntities();
// Inserts a block defined earlier in the same drawing; angle in degrees.
void CadInsertBlock(const std::string& name, long double x, long double y, long double angle,
                    long double sx, long double sy);

// Accumulated transform of a screen replay (depth 0 outside one).
struct TBlockTransform {
  int depth = 0;
  long double offsetX = 0.0L;
  long double offsetY = 0.0L;
  long double angle = 0.0L;  // degrees
  long double scaleX = 1.0L;
  long double scaleY = 1.0L;
};
extern TBlockTransform BlockTransform;

// Replays a block file onto the current target under the current BlockTransform combined with
// the insert (x, y, angle, sx, sy).
void CadReplayBlock(const std::string& name, long double x, long double y, long double angle,
                    long double sx, long double sy);

// True when the block was defined (completely) in the drawing now open, so that an insert
// can draw it; block files of earlier drawings never count.
bool CadBlockAvailable(const std::string& name);

// Full name of a block's file: private temporary directory + "$" + upper-case name + ".dx$".
std::string BlockFileName(const std::string& name);
// Erases every "$*.dx$" file of the private temporary directory and forgets the parsed blocks.
void DeleteBlockFiles();

// --- the small DXF reader of block files (plain data) --------------------------------------

struct TBlockVertex {
  std::string layer;
  long double x = 0.0L, y = 0.0L, bulge = 0.0L;
};

struct TBlockEntity {
  enum class Kind { Line, Circle, Arc, Text, Solid, Polyline, Insert };
  Kind kind = Kind::Line;
  std::string layer;
  // Line: p[0], p[1]; Circle/Arc: p[0] centre; Text/Insert: p[0]; Solid: p[0..3].
  long double px[4] = {0, 0, 0, 0};
  long double py[4] = {0, 0, 0, 0};
  long double radius = 0.0L;           // Circle, Arc
  long double angle1 = 0.0L;           // Arc start, Text and Insert angle (degrees)
  long double angle2 = 0.0L;           // Arc end
  long double height = 0.0L;           // Text
  long double widthFactor = 1.0L;      // Text
  long double scaleX = 1.0L;           // Insert
  long double scaleY = 1.0L;           // Insert
  std::string text;                    // Text; block name of an Insert
  int flags = 0;                       // Polyline (1 closed)
  std::vector<TBlockVertex> vertices;  // Polyline
};

struct TBlockFileContent {
  std::vector<TBlockEntity> entities;
  // Messages of the reader (e.g. "Error in DXF File" for a polyline without vertices).
  std::vector<std::string> errors;
};

// Reads the entity pairs of a block file (or of any DXF entity text); unknown group codes
// and entities are skipped; reading stops at 0/EOF or the end of the text.
TBlockFileContent ParseBlockFile(std::string_view text);

// Replays block content through the primitives under the current BlockTransform (what every
// insert does with its block).
void CadReplayEntities(const TBlockFileContent& content);
