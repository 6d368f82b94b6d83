// DXF writer: the drawing as ASCII DXF (R12 tags), either a whole file (HEADER, TABLES,
// BLOCKS, ENTITIES) or a screen block file (entities and EOF only).
// Cannot: name the code page of its texts (no $DWGCODEPAGE; readers assume Windows-1252);
// keep a block that is defined twice or outside the blocks section (refused and reported).
#pragma once

#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "graphics/cad_writer.h"

class DxfWriter final : public CadWriter {
 public:
  enum class Kind {
    File,       // a complete DXF file; every layer, style and block it names is defined
    BlockFile,  // a screen block file: entities only, texts unconverted
  };

  DxfWriter(std::ostream& out, const TCadWriterOptions& options, Kind kind = Kind::File);
  ~DxfWriter() override;

  void SheetFrame(long double x1, long double y1, long double x2, long double y2) override;
  void BeginTables(int mode) override;
  void BeginBlocks() override;
  void BeginBlock(std::string_view name) override;
  void EndBlock() override;
  void EndSection() override;
  void BeginEntities() override;
  void Close() override;

  void SetColour(int colour) override;
  void Line(long double x1, long double y1, long double x2, long double y2) override;
  void Circle(long double x, long double y, long double r) override;
  void Arc(long double x, long double y, long double a1, long double a2, long double r) override;
  void Text(long double x, long double y, std::string_view text) override;
  void Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
             long double y3, long double x4, long double y4) override;
  void Insert(std::string_view name, long double x, long double y, long double angle,
              long double sx, long double sy) override;
  void PolylineBegin(int flags) override;
  void PolylineVertex(long double x, long double y, long double arcAngle) override;
  void PolylineEnd() override;

  // Layer name written with the entities that follow (made valid for DXF).
  const std::string& DxfLayer() const { return layer_; }

 private:
  enum class Section { None, Blocks, Entities };

  void Code(int code);
  void Pair(int code, std::string_view value);
  void Real(int code, long double value);
  void Int(int code, long long value);
  void EntityStart(std::string_view name);
  bool BeginEntity();  // false: nothing may be written now
  void WriteTables(int mode);
  void EnsureTables();
  void FinishPolyline();
  void WriteVertex(long double x, long double y, long double bulge, const std::string& layer);
  void DefineMissingBlocks();

  CadOutBuffer out_;
  Kind kind_;
  std::string layer_ = "0";
  bool anythingWritten_ = false;
  bool tablesWritten_ = false;
  bool closed_ = false;
  Section section_ = Section::None;
  bool blockOpen_ = false;
  bool blockSkipped_ = false;
  std::set<std::string> definedBlocks_;     // upper case
  std::set<std::string> referencedBlocks_;  // upper case, referenced inside block definitions
  // Polyline entity: the header is written with the second vertex, so that no POLYLINE
  // with fewer than two vertices reaches the file.
  bool polylineOpen_ = false;
  int polylineFlags_ = 0;
  int polylineVertices_ = 0;
  std::string polylineLayer_;
  long double firstX_ = 0.0L, firstY_ = 0.0L, firstBulge_ = 0.0L;
  std::string firstLayer_;
};

// Bulge of a polyline vertex from the included angle of its arc (radians).
long double DxfBulge(long double angle);
