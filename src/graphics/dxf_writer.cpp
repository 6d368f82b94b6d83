// DXF writer: tags as pairs of a right-aligned group code and a value line, reals with the
// configured decimals, the text style values with three significant digits.
#include "graphics/dxf_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

// Characters DXF forbids in table names.
std::string ValidName(std::string_view name, std::string_view fallback) {
  std::string result;
  for (char c : name) {
    const bool bad = static_cast<unsigned char>(c) < 0x20 ||
                     std::string_view("<>/\\\":;?*|=`").find(c) != std::string_view::npos;
    result.push_back(bad ? '_' : c);
  }
  while (!result.empty() && result.back() == ' ') result.pop_back();
  if (result.empty()) result = fallback;
  return result;
}

int ValidColour(int colour) {
  return colour >= 1 && colour <= 255 ? colour : 7;
}

const std::array<std::string, 100>& CodeTexts() {
  static const std::array<std::string, 100> texts = [] {
    std::array<std::string, 100> t;
    for (int i = 0; i < 100; ++i) {
      std::string s = std::to_string(i);
      t[static_cast<std::size_t>(i)] = std::string(3 - s.size(), ' ') + s + "\n";
    }
    return t;
  }();
  return texts;
}

bool Near(long double a, long double b) {
  return std::fabs(a - b) < 1e-5L;
}

}  // namespace

long double DxfBulge(long double angle) {
  return std::tan(angle / 4.0L);
}

DxfWriter::DxfWriter(std::ostream& out, const TCadWriterOptions& options, Kind kind)
    : CadWriter(options), out_(out), kind_(kind) {
  SetColour(0);
}

DxfWriter::~DxfWriter() = default;

void DxfWriter::Code(int code) {
  out_.Text().append(CodeTexts()[static_cast<std::size_t>(code)]);
}

void DxfWriter::Pair(int code, std::string_view value) {
  std::string& t = out_.Text();
  t.append(CodeTexts()[static_cast<std::size_t>(code)]);
  t.append(value);
  t.push_back('\n');
}

void DxfWriter::Real(int code, long double value) {
  std::string& t = out_.Text();
  t.append(CodeTexts()[static_cast<std::size_t>(code)]);
  AppendFixed(t, value, options_.dxfDecimals);
  t.push_back('\n');
}

void DxfWriter::Int(int code, long long value) {
  Pair(code, std::to_string(value));
}

void DxfWriter::EntityStart(std::string_view name) {
  Pair(0, name);
  Pair(8, layer_);
}

void DxfWriter::SetColour(int colour) {
  CadWriter::SetColour(colour);
  layer_ = kind_ == Kind::File ? ValidName(LayerName(), std::to_string(Colour())) : LayerName();
}

void DxfWriter::SheetFrame(long double x1, long double y1, long double x2, long double y2) {
  // The header may only open the file.
  if (kind_ != Kind::File || anythingWritten_ || closed_) return;
  anythingWritten_ = true;
  Pair(0, "SECTION");
  Pair(2, "HEADER");
  // Readers decode the texts by this; without it they guess.
  Pair(9, "$DWGCODEPAGE");
  Pair(3, options_.dxfCodePage);
  Pair(9, "$EXTMIN");
  Real(10, x1);
  Real(20, y1);
  Pair(9, "$EXTMAX");
  Real(10, x2);
  Real(20, y2);
  Pair(9, "$LIMMIN");
  Real(10, x1);
  Real(20, y1);
  Pair(9, "$LIMMAX");
  Real(10, x2);
  Real(20, y2);
  Pair(9, "$LTSCALE");
  Pair(40, "15");
  Pair(0, "ENDSEC");
  out_.MaybeFlush();
}

void DxfWriter::BeginTables(int mode) {
  if (kind_ != Kind::File || tablesWritten_ || section_ != Section::None || closed_) return;
  WriteTables(mode);
}

void DxfWriter::EnsureTables() {
  if (kind_ == Kind::File && !tablesWritten_) WriteTables(0);
}

void DxfWriter::WriteTables(int mode) {
  tablesWritten_ = true;
  anythingWritten_ = true;
  Pair(0, "SECTION");
  Pair(2, "TABLES");

  Pair(0, "TABLE");
  Pair(2, "LTYPE");
  Pair(70, mode == 1 ? "17" : mode == 2 ? "23" : "6");
  struct LineType {
    const char* name;
    const char* description;
    const char* count;
    const char* length;
    std::vector<const char*> dashes;
  };
  const LineType lineTypes[] = {
      {"CONTINUOUS", "Ausgezogene Linie", "0", "0.0", {}},
      {"DASHDOT", "--. --. --.-", "4", "1.0", {"0.5", "-0.25", "0.0", "-0.25"}},
      {"DASHED", "- - - - - - ", "2", "0.375", {"0.25", "-0.125"}},
  };
  for (const LineType& lt : lineTypes) {
    Pair(0, "LTYPE");
    Pair(2, lt.name);
    Pair(70, "64");
    Pair(3, lt.description);
    Pair(72, "65");
    Pair(73, lt.count);
    Pair(40, lt.length);
    for (const char* d : lt.dashes) Pair(49, d);
  }
  Pair(0, "ENDTAB");

  // Every layer a colour can name (0..31) is defined, so that no entity refers to an
  // undefined layer whatever colours the drawing uses. The layers the mode asks for come
  // first and keep their colours and line types.
  struct Layer {
    std::string name;
    int colour;
    const char* lineType;
  };
  std::vector<Layer> layers;
  const bool mono = options_.layerMonochrome;
  auto named = [&] {
    layers.push_back({"0", 1, "CONTINUOUS"});
    const char* types[] = {"", "DASHDOT", "DASHED", "CONTINUOUS", "CONTINUOUS", "CONTINUOUS"};
    for (int n = 1; n <= 5; ++n) {
      layers.push_back(
          {ValidName(options_.layerNames[static_cast<std::size_t>(n)], std::to_string(n)),
           mono ? 1 : options_.layerColours[static_cast<std::size_t>(n)], types[n]});
    }
  };
  auto numbered = [&] {
    for (int n = 0; n <= 15; ++n)
      layers.push_back({std::to_string(n), mono ? 1 : n + 1, "CONTINUOUS"});
  };
  auto pens = [&] {
    for (int n = 16; n <= 31; ++n) {
      layers.push_back({std::to_string(n),
                        mono ? 1 : options_.penNumbers[static_cast<std::size_t>(n - 16)],
                        "CONTINUOUS"});
    }
  };
  if (mode == 1) {
    numbered();
    named();
    pens();
  } else {
    named();
    if (mode == 2) pens();
    numbered();
    pens();
  }
  std::vector<Layer> unique;
  std::set<std::string> seen;
  for (const Layer& layer : layers) {
    if (seen.insert(Upper(layer.name)).second) unique.push_back(layer);
  }
  Pair(0, "TABLE");
  Pair(2, "LAYER");
  Int(70, std::max<long long>(24, static_cast<long long>(unique.size())));
  for (const Layer& layer : unique) {
    Pair(0, "LAYER");
    Pair(2, layer.name);
    Pair(70, "0");
    Int(62, ValidColour(layer.colour));
    Pair(6, layer.lineType);
  }
  Pair(0, "ENDTAB");

  Pair(0, "TABLE");
  Pair(2, "STYLE");
  Pair(70, "1");
  Pair(0, "STYLE");
  Pair(2, "STANDARD");
  Pair(70, "0");
  Pair(40, "0.0");
  Pair(41, "1.0");
  Pair(50, "0.0");
  Pair(71, "0");
  Pair(42, "3.5");
  Pair(3, Upper(options_.textFont));
  Pair(4, "");
  out_.Text().append("0\nENDTAB\n");
  Pair(0, "ENDSEC");
  out_.MaybeFlush();
}

void DxfWriter::BeginBlocks() {
  if (closed_) return;
  if (kind_ == Kind::File) {
    if (section_ != Section::None) EndSection();
    EnsureTables();
  }
  anythingWritten_ = true;
  section_ = Section::Blocks;
  Pair(0, "SECTION");
  Pair(2, "BLOCKS");
}

void DxfWriter::BeginBlock(std::string_view name) {
  if (closed_) return;
  if (blockOpen_) EndBlock();
  FinishPolyline();
  if (kind_ == Kind::File) {
    if (section_ == Section::None) BeginBlocks();
    const std::string key = Upper(name);
    const char* refusal = section_ != Section::Blocks          ? " outside the blocks section !"
                          : !definedBlocks_.insert(key).second ? " defined twice !"
                                                               : nullptr;
    if (refusal) {
      Report("Blockname " + std::string(name) + refusal, false);
      blockOpen_ = true;
      blockSkipped_ = true;
      return;
    }
  }
  blockOpen_ = true;
  blockSkipped_ = false;
  anythingWritten_ = true;
  Pair(0, "BLOCK");
  Pair(8, layer_);
  Pair(2, name);
  Pair(70, "0");
  Pair(10, "0.0");
  Pair(20, "0.0");
}

void DxfWriter::EndBlock() {
  if (closed_ || !blockOpen_) return;
  FinishPolyline();
  blockOpen_ = false;
  if (blockSkipped_) {
    blockSkipped_ = false;
    return;
  }
  Pair(0, "ENDBLK");
  out_.MaybeFlush();
}

void DxfWriter::DefineMissingBlocks() {
  // Blocks used inside other blocks but never defined get an empty definition, so that
  // every INSERT names a block of the file.
  for (const std::string& name : referencedBlocks_) {
    if (definedBlocks_.count(name)) continue;
    Report("Blockname " + name + " not found !", false);
    definedBlocks_.insert(name);
    Pair(0, "BLOCK");
    Pair(8, "0");
    Pair(2, name);
    Pair(70, "0");
    Pair(10, "0.0");
    Pair(20, "0.0");
    Pair(0, "ENDBLK");
  }
  referencedBlocks_.clear();
}

void DxfWriter::EndSection() {
  if (closed_) return;
  FinishPolyline();
  if (blockOpen_) EndBlock();
  if (kind_ == Kind::File && section_ == Section::None) return;
  if (section_ == Section::Blocks && kind_ == Kind::File) DefineMissingBlocks();
  section_ = Section::None;
  Pair(0, "ENDSEC");
  out_.MaybeFlush();
}

void DxfWriter::BeginEntities() {
  if (closed_) return;
  if (kind_ == Kind::File) {
    if (section_ != Section::None) EndSection();
    EnsureTables();
  }
  anythingWritten_ = true;
  section_ = Section::Entities;
  Pair(0, "SECTION");
  Pair(2, "ENTITIES");
}

void DxfWriter::Close() {
  if (closed_) return;
  FinishPolyline();
  if (blockOpen_) EndBlock();
  if (kind_ == Kind::File && section_ != Section::None) EndSection();
  Pair(0, "EOF");
  closed_ = true;
  out_.Flush();
  out_.Stream().flush();
}

bool DxfWriter::BeginEntity() {
  if (closed_ || blockSkipped_) return false;
  if (polylineOpen_) FinishPolyline();
  if (kind_ == Kind::File) {
    if (section_ == Section::None || (section_ == Section::Blocks && !blockOpen_)) {
      BeginEntities();
    }
  }
  anythingWritten_ = true;
  return true;
}

void DxfWriter::Line(long double x1, long double y1, long double x2, long double y2) {
  if (!BeginEntity()) return;
  EntityStart("LINE");
  Real(10, x1);
  Real(20, y1);
  Real(11, x2);
  Real(21, y2);
  out_.MaybeFlush();
}

void DxfWriter::Circle(long double x, long double y, long double r) {
  if (!BeginEntity()) return;
  EntityStart("CIRCLE");
  Real(10, x);
  Real(20, y);
  Real(40, std::fabs(r));
  out_.MaybeFlush();
}

void DxfWriter::Arc(long double x, long double y, long double a1, long double a2, long double r) {
  if (r == 0.0L) return;
  if (a1 == a2 || (Near(a1, 0.0L) && Near(a2, 360.0L)) || (Near(a1, 360.0L) && Near(a2, 0.0L))) {
    Circle(x, y, r);
    return;
  }
  if (r < 0.0L) {  // the same points as the signed radius gives
    r = -r;
    a1 += 180.0L;
    a2 += 180.0L;
  }
  if (!BeginEntity()) return;
  EntityStart("ARC");
  Real(10, x);
  Real(20, y);
  Real(40, r);
  Real(50, a1);
  Real(51, a2);
  out_.MaybeFlush();
}

void DxfWriter::Text(long double x, long double y, std::string_view text) {
  if (text.empty()) return;
  std::string value;
  if (kind_ == Kind::File) {
    value = ConvertText(text);
  } else {
    value.assign(text);
    for (char& c : value) {
      if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
  }
  if (value.empty() || !BeginEntity()) return;
  const TCadTextStyle& style = TextStyle();
  EntityStart("TEXT");
  Real(10, x);
  Real(20, y);
  Real(40, style.height);
  Pair(1, value);
  Pair(7, "STANDARD");
  Pair(41, SignificantText(style.widthFactor, 3, 17));
  Pair(50, SignificantText(style.angle, 3, 17));
  Pair(51, SignificantText(style.oblique, 3, 17));
  out_.MaybeFlush();
}

void DxfWriter::Solid(long double x1, long double y1, long double x2, long double y2,
                      long double x3, long double y3, long double x4, long double y4) {
  if (!BeginEntity()) return;
  EntityStart("SOLID");
  Real(10, x1);
  Real(20, y1);
  Real(11, x2);
  Real(21, y2);
  Real(12, x3);
  Real(22, y3);
  Real(13, x4);
  Real(23, y4);
  out_.MaybeFlush();
}

void DxfWriter::Insert(std::string_view name, long double x, long double y, long double angle,
                       long double sx, long double sy) {
  if (closed_ || blockSkipped_) return;
  if (kind_ == Kind::File) {
    const std::string key = Upper(name);
    const bool insideBlock = section_ == Section::Blocks && blockOpen_;
    if (insideBlock) {
      referencedBlocks_.insert(key);
    } else if (!definedBlocks_.count(key)) {
      Report("Blockname " + std::string(name) + " not found !", false);
      return;
    }
  }
  if (!BeginEntity()) return;
  EntityStart("INSERT");
  Pair(2, name);
  Real(10, x);
  Real(20, y);
  Real(41, sx);
  Real(42, sy);
  Real(50, angle);
  out_.MaybeFlush();
}

void DxfWriter::PolylineBegin(int flags) {
  if (!options_.polylineEntities) {
    CadWriter::PolylineBegin(flags);
    return;
  }
  if (!BeginEntity()) return;
  polylineOpen_ = true;
  polylineFlags_ = flags;
  polylineVertices_ = 0;
  polylineLayer_ = layer_;
}

void DxfWriter::WriteVertex(long double x, long double y, long double bulge,
                            const std::string& layer) {
  Pair(0, "VERTEX");
  Pair(8, layer);
  Real(10, x);
  Real(20, y);
  if (bulge != 0.0L) Real(42, bulge);
}

void DxfWriter::PolylineVertex(long double x, long double y, long double arcAngle) {
  if (!options_.polylineEntities) {
    CadWriter::PolylineVertex(x, y, arcAngle);
    return;
  }
  if (!polylineOpen_ || closed_ || blockSkipped_) return;
  const long double bulge = arcAngle == 0.0L ? 0.0L : DxfBulge(arcAngle);
  ++polylineVertices_;
  if (polylineVertices_ == 1) {
    firstX_ = x;
    firstY_ = y;
    firstBulge_ = bulge;
    firstLayer_ = layer_;
    return;
  }
  if (polylineVertices_ == 2) {
    Pair(0, "POLYLINE");
    Pair(8, polylineLayer_);
    Pair(66, "1");
    if (polylineFlags_ > 0) Int(70, polylineFlags_);
    WriteVertex(firstX_, firstY_, firstBulge_, firstLayer_);
  }
  WriteVertex(x, y, bulge, layer_);
  out_.MaybeFlush();
}

void DxfWriter::FinishPolyline() {
  if (!polylineOpen_) return;
  polylineOpen_ = false;
  if (polylineVertices_ >= 2) {
    Pair(0, "SEQEND");
    Pair(8, polylineLayer_);
  }
  polylineVertices_ = 0;
}

void DxfWriter::PolylineEnd() {
  if (!options_.polylineEntities) {
    CadWriter::PolylineEnd();
    return;
  }
  FinishPolyline();
}
