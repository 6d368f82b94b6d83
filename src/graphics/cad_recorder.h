// Recording of what the CAD driver draws, for tests and measurements: an installed sink
// receives every primitive in world coordinates after the driver's transformations (origin,
// justification, block replay on the screen). Polylines arrive as their lines and arcs.
//
// Use:  TCadRecorder rec;            // installs itself, removes itself when destroyed
//       CadOpen(kCadScreen); ...draw...; CadClose();
//       rec.Count(TCadPrimitive::Kind::Line), rec.Lines(), rec.Extents(), ...
// On the screen the sink sees the replayed block content (what the window shows). On the file
// targets it sees block definitions (inBlock set, blockName naming the block) and inserts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct TCadPrimitive {
  enum class Kind { Line, Circle, Arc, Text, Solid, Insert, BeginBlock, EndBlock };
  Kind kind = Kind::Line;
  int colour = 0;     // CAD colour in force (0..31)
  std::string layer;  // its layer name
  // Line: (x[0],y[0])-(x[1],y[1]); Circle, Arc: centre x[0],y[0]; Text, Insert: x[0],y[0];
  // Solid: four corners.
  long double x[4] = {0, 0, 0, 0};
  long double y[4] = {0, 0, 0, 0};
  long double r = 0.0L;
  long double a1 = 0.0L, a2 = 0.0L;  // arc angles (degrees); Insert angle in a1
  long double sx = 1.0L, sy = 1.0L;  // Insert scales
  // Text: text as given (DOS code page), height, width factor, angle, oblique (degrees).
  std::string text;  // also the block name of Insert, BeginBlock
  long double height = 0.0L, widthFactor = 1.0L, angle = 0.0L, oblique = 0.0L;
  bool inBlock = false;   // part of a block definition (file targets only)
  std::string blockName;  // the block it belongs to when inBlock
};

class CadSink {
 public:
  virtual ~CadSink() = default;
  virtual void OnPrimitive(const TCadPrimitive& p) = 0;
};

// At most one sink; null removes it. The sink is not owned.
void InstallCadSink(CadSink* sink);
CadSink* InstalledCadSink();

class TCadRecorder : public CadSink {
 public:
  TCadRecorder();  // installs itself
  ~TCadRecorder() override;
  TCadRecorder(const TCadRecorder&) = delete;
  TCadRecorder& operator=(const TCadRecorder&) = delete;

  void OnPrimitive(const TCadPrimitive& p) override { items_.push_back(p); }

  const std::vector<TCadPrimitive>& Items() const { return items_; }
  std::vector<TCadPrimitive> OfKind(TCadPrimitive::Kind kind) const;
  std::size_t Count(TCadPrimitive::Kind kind) const;
  void Clear() { items_.clear(); }

  struct TExtents {
    bool empty = true;
    long double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  };
  // Extents of lines, circles, arcs (whole arc geometry), solids and text points, outside
  // block definitions.
  TExtents Extents() const;

 private:
  std::vector<TCadPrimitive> items_;
};
