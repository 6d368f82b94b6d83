// Sections and named blocks: the format's own blocks on the file targets; on the screen block
// files written as DXF while a block is defined, read once into memory and replayed by every
// insert, moved, turned and scaled.
#include "graphics/cad_blocks.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <sstream>
#include <unordered_map>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/guarded_math.h"
#include "common/message_list.h"
#include "common/plane_geometry.h"
#include "common/program_state.h"
#include "graphics/cad_driver_internal.h"
#include "graphics/dxf_writer.h"
#include "graphics/graphics_facade.h"

TBlockTransform BlockTransform;

namespace {

using cad_internal::TRoute;

constexpr long double kDegPerRad = 180.0L / std::numbers::pi_v<long double>;

// A block read from its file, with the colour of every entity and vertex resolved.
struct TCachedBlock {
  TBlockFileContent content;
  std::vector<int> colours;                     // per entity
  std::vector<std::vector<int>> vertexColours;  // per entity (polylines)
};

// The screen's block being defined.
struct TOpenBlockFile {
  std::string key;
  std::string fileName;
  std::ofstream file;
  std::ostringstream text;
  std::unique_ptr<DxfWriter> writer;
};

std::unique_ptr<TOpenBlockFile> gOpenBlock;
// Blocks of the drawing now open, by upper-case name (on the file targets the content is
// empty: only the name counts).
std::unordered_map<std::string, std::shared_ptr<const TCachedBlock>> gBlocks;
bool gFileBlockOpen = false;
std::string gFileBlockName;
std::string gFileBlockKey;

std::string Key(const std::string& name) {
  return UpperStr(TrimStr(name));
}

// Characters that would lead a file name out of the directory.
std::string FileNamePart(const std::string& key) {
  std::string part = key;
  for (char& c : part) {
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  }
  return part;
}

int ColourOfLayer(const std::string& layer) {
  const std::string key = UpperStr(TrimStr(layer));
  for (int i = 0; i <= 5; ++i) {
    if (UpperStr(TrimStr(PlotSettings.DxfLayerNames[i])) == key) return i;
  }
  return StrToInteger(key);
}

std::shared_ptr<const TCachedBlock> MakeCache(TBlockFileContent content) {
  auto block = std::make_shared<TCachedBlock>();
  block->content = std::move(content);
  for (const TBlockEntity& e : block->content.entities) {
    block->colours.push_back(ColourOfLayer(e.layer));
    std::vector<int> vc;
    for (const TBlockVertex& v : e.vertices) vc.push_back(ColourOfLayer(v.layer));
    block->vertexColours.push_back(std::move(vc));
  }
  for (const std::string& error : block->content.errors) ErrorMessageIfEnabled(error);
  return block;
}

// Scale, turn and move a point as ScaleRotateTranslate does, with the cosine and sine of the
// accumulated angle kept while the angle stays (a replay turns thousands of points alike).
void Transform(long double& xr, long double& yr, long double x, long double y) {
  static long double angle = 0.0L, c = 1.0L, s = 0.0L;
  const TBlockTransform& t = BlockTransform;
  if (t.angle != angle) {
    angle = t.angle;
    const long double a = DegToRad(angle);
    c = std::cos(a);
    s = std::sin(a);
  }
  const long double px = x * t.scaleX;
  const long double py = y * t.scaleY;
  xr = px * c - py * s + t.offsetX;
  yr = py * c + px * s + t.offsetY;
}

void ReplayLine(long double x1, long double y1, long double x2, long double y2) {
  long double a, b, c, d;
  Transform(a, b, x1, y1);
  Transform(c, d, x2, y2);
  CadLine(a, b, c, d);
}

void ReplayArc(long double x, long double y, long double r, long double a1, long double a2) {
  long double xc, yc;
  Transform(xc, yc, x, y);
  CadArc(xc, yc, a1 + BlockTransform.angle, a2 + BlockTransform.angle, r * BlockTransform.scaleX);
}

// One piece of a polyline from vertex a to vertex b, bent by a's bulge.
void ReplayPiece(const TBlockVertex& a, const TBlockVertex& b) {
  if (a.bulge == 0.0L) {
    ReplayLine(a.x, a.y, b.x, b.y);
    return;
  }
  const long double angle = 4.0L * std::atan(a.bulge);
  long double xc = (a.x + b.x) / 2.0L, yc = (a.y + b.y) / 2.0L, a1 = 0.0L, a2 = 0.0L, r = 0.0L;
  GetArcCenter(xc, yc, a1, a.x, a.y, b.x, b.y, angle, a2, r);
  ReplayArc(xc, yc, r, a1 * kDegPerRad, a2 * kDegPerRad);
}

void ReplayEntities(const TCachedBlock& block) {
  int lastColour = -1;
  auto colour = [&](int n) {
    if (n != lastColour) {
      CadColour(n);
      lastColour = n;
    }
  };
  const std::vector<TBlockEntity>& entities = block.content.entities;
  for (std::size_t i = 0; i < entities.size() && !AbortFlag; ++i) {
    const TBlockEntity& e = entities[i];
    using Kind = TBlockEntity::Kind;
    if (e.kind != Kind::Polyline) colour(block.colours[i]);
    switch (e.kind) {
      case Kind::Line:
        ReplayLine(e.px[0], e.py[0], e.px[1], e.py[1]);
        break;
      case Kind::Circle: {
        long double x, y;
        Transform(x, y, e.px[0], e.py[0]);
        CadCircle(x, y, e.radius * BlockTransform.scaleX);
        break;
      }
      case Kind::Arc:
        ReplayArc(e.px[0], e.py[0], e.radius, e.angle1, e.angle2);
        break;
      case Kind::Text: {
        CadTextHeight(2, e.angle1 + BlockTransform.angle, e.height * BlockTransform.scaleY,
                      e.height * e.widthFactor * BlockTransform.scaleX);
        long double x, y;
        Transform(x, y, e.px[0], e.py[0]);
        CadText(x, y, e.text);
        break;
      }
      case Kind::Solid: {
        long double x[4], y[4];
        for (int k = 0; k < 4; ++k) Transform(x[k], y[k], e.px[k], e.py[k]);
        CadSolid(x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3]);
        break;
      }
      case Kind::Polyline: {
        const std::vector<int>& vc = block.vertexColours[i];
        for (std::size_t k = 1; k < e.vertices.size(); ++k) {
          colour(vc[k]);
          ReplayPiece(e.vertices[k - 1], e.vertices[k]);
        }
        if ((e.flags & 1) && e.vertices.size() > 2) {
          colour(vc.front());
          ReplayPiece(e.vertices.back(), e.vertices.front());
        }
        break;
      }
      case Kind::Insert: {
        const int before = PlotSettings.currentColour;
        CadReplayBlock(e.text, e.px[0], e.py[0], e.angle1, e.scaleX, e.scaleY);
        CadColour(before);
        lastColour = before;
        break;
      }
    }
  }
}

// Ends the screen's open block file: written and kept in memory, or (keep false, or a write
// error) removed.
void FinishScreenBlock(bool keep) {
  if (!gOpenBlock) return;
  std::unique_ptr<TOpenBlockFile> block = std::move(gOpenBlock);
  if (!keep) {
    block->file.close();
    std::error_code ec;
    std::filesystem::remove(block->fileName, ec);
    return;
  }
  block->writer->Close();
  const std::string text = block->text.str();
  block->file.write(text.data(), static_cast<std::streamsize>(text.size()));
  block->file.close();
  if (!block->file) {
    std::error_code ec;
    std::filesystem::remove(block->fileName, ec);
    AddError("file write error  -  temporary path ! " + NameText(block->fileName));
    AbortFlag = true;
    return;
  }
  gBlocks[block->key] = MakeCache(ParseBlockFile(text));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared with the driver and the primitives

namespace cad_internal {

CadWriter* ScreenBlockWriter() {
  return gOpenBlock ? gOpenBlock->writer.get() : nullptr;
}

bool FileBlockOpen() {
  return gFileBlockOpen;
}

const std::string& OpenBlockName() {
  return gFileBlockName;
}

void ForgetBlocks(bool eraseFiles) {
  gBlocks.clear();
  gFileBlockOpen = false;
  gFileBlockName.clear();
  if (eraseFiles) DeleteBlockFiles();
}

void AbandonOpenBlock() {
  FinishScreenBlock(false);
}

bool ReplayActive() {
  return BlockTransform.depth > 0;
}

}  // namespace cad_internal

std::string BlockFileName(const std::string& name) {
  return PrivateTempDir() + "$" + FileNamePart(Key(name)) + ".dx$";
}

void DeleteBlockFiles() {
  gBlocks.clear();
  const std::string dir = PrivateTempDir();
  if (!dir.empty()) DeleteFilesByMask(dir, "$*.dx$");
}

bool CadBlockAvailable(const std::string& name) {
  return gBlocks.count(Key(name)) != 0;
}

// ---------------------------------------------------------------------------------------------
// Sections

void CadBeginTables(int mode) {
  if (cad_internal::Route() == TRoute::Writer) cad_internal::RouteWriter()->BeginTables(mode);
}

void CadBeginBlocks() {
  PlotSettings.inBlocks = true;
  if (cad_internal::Route() == TRoute::Writer) cad_internal::RouteWriter()->BeginBlocks();
}

void CadBeginBlock(const std::string& name) {
  if (AbortFlag) return;
  const std::uint16_t code = PlotSettings.CadCode;
  PlotSettings.inBlocks = true;
  if (code == kCadScreen) {
    FinishScreenBlock(true);  // definitions do not nest: an open one ends here
    if (AbortFlag) return;
    auto block = std::make_unique<TOpenBlockFile>();
    block->key = Key(name);
    block->fileName = BlockFileName(name);
    gBlocks.erase(block->key);
    block->file.open(block->fileName, std::ios::binary | std::ios::trunc);
    if (!block->file.is_open()) {
      AddError("file write error  -  temporary path ! " + NameText(block->fileName));
      AbortFlag = true;
      return;
    }
    TCadWriterOptions options;
    options.dxfDecimals = std::max(PlotSettings.DxfDecimals, 6);
    for (int i = 0; i <= 5; ++i) {
      options.layerNames[static_cast<std::size_t>(i)] = PlotSettings.DxfLayerNames[i];
    }
    block->writer = std::make_unique<DxfWriter>(block->text, options, DxfWriter::Kind::BlockFile);
    block->writer->SetColour(PlotSettings.currentColour);
    gOpenBlock = std::move(block);
    return;
  }
  if (cad_internal::Route() != TRoute::Writer) return;
  if (gFileBlockOpen) CadEndBlock();
  cad_internal::RouteWriter()->BeginBlock(name);
  gFileBlockOpen = true;
  gFileBlockName = name;
  gFileBlockKey = Key(name);
  TCadPrimitive p;
  p.kind = TCadPrimitive::Kind::BeginBlock;
  p.text = name;
  cad_internal::Emit(p);
}

void CadEndBlock() {
  if (PlotSettings.CadCode == kCadScreen) {
    // A block that failed keeps the flag set: the drawing must not go on without it.
    FinishScreenBlock(!AbortFlag);
    return;
  }
  if (!gFileBlockOpen) return;
  if (cad_internal::Route() == TRoute::Writer) {
    TCadPrimitive p;
    p.kind = TCadPrimitive::Kind::EndBlock;
    p.text = gFileBlockName;
    cad_internal::Emit(p);
    cad_internal::RouteWriter()->EndBlock();
    if (!AbortFlag) gBlocks[gFileBlockKey] = std::make_shared<TCachedBlock>();
  }
  gFileBlockOpen = false;
  gFileBlockName.clear();
}

void CadEndSection() {
  if (PlotSettings.CadCode == kCadScreen) {
    if (gOpenBlock) FinishScreenBlock(!AbortFlag);
  } else if (gFileBlockOpen) {
    CadEndBlock();
  }
  PlotSettings.inBlocks = false;
  if (cad_internal::Route() == TRoute::Writer) cad_internal::RouteWriter()->EndSection();
}

void CadBeginEntities() {
  const std::uint16_t code = PlotSettings.CadCode;
  const TRoute route = cad_internal::Route();
  if (route == TRoute::Writer) {
    cad_internal::RouteWriter()->BeginEntities();
    cad_internal::DrawPendingBorder();
  } else if (route == TRoute::Screen) {
    if (GraphicsFacade) GraphicsFacade->GrClearViewPort();
    CadSetLineStyle(0);
  }
  const int kind = PrintSettings.PictureKind;
  if ((code == kCadScreen || code == kCadPlot) && kind != 2 && kind != 3) {
    const long double x = PlotSettings.sheetXMin + 0.91L * PlotSettings.sheetWidth;
    const long double sx = PlotSettings.sheetWidth / 480.0L;
    const long double sy = PlotSettings.sheetHeight / 360.0L;
    if (CadBlockAvailable("LOGO_2")) {
      CadInsertBlock("LOGO_2", x, PlotSettings.sheetYMin + 0.01L * PlotSettings.sheetHeight, 0.0L,
                     sx, sy);
    }
    if (CadBlockAvailable("LOGO_3")) {
      CadInsertBlock("LOGO_3", x, PlotSettings.sheetYMin + 0.96L * PlotSettings.sheetHeight, 0.0L,
                     sx, sy);
    }
  }
}

void CadInsertBlock(const std::string& name, long double x, long double y, long double angle,
                    long double sx, long double sy) {
  const TRoute route = cad_internal::Route();
  if (route != TRoute::Nothing &&
      !cad_internal::DrawableNumbers(
          {x + PlotSettings.originX, y + PlotSettings.originY, angle, sx, sy}))
    return;
  switch (route) {
    case TRoute::Nothing:
      return;
    case TRoute::BlockFile:
      cad_internal::RouteWriter()->Insert(name, x + PlotSettings.originX, y + PlotSettings.originY,
                                          angle, sx, sy);
      return;
    case TRoute::Writer: {
      x += PlotSettings.originX;
      y += PlotSettings.originY;
      cad_internal::RouteWriter()->Insert(name, x, y, angle, sx, sy);
      TCadPrimitive p;
      p.kind = TCadPrimitive::Kind::Insert;
      p.text = name;
      p.x[0] = x;
      p.y[0] = y;
      p.a1 = angle;
      p.sx = sx;
      p.sy = sy;
      cad_internal::Emit(p);
      return;
    }
    case TRoute::Screen:
      // The replayed primitives add the origin themselves.
      BlockTransform = TBlockTransform{};
      CadReplayBlock(name, x, y, angle, sx, sy);
      return;
  }
}

void CadReplayBlock(const std::string& name, long double x, long double y, long double angle,
                    long double sx, long double sy) {
  const TBlockTransform saved = BlockTransform;
  TBlockTransform& t = BlockTransform;
  t.depth = saved.depth + 1;
  ScaleRotateTranslate(t.offsetX, t.offsetY, saved.scaleX, saved.scaleY, saved.offsetX,
                       saved.offsetY, saved.angle, x, y);
  t.angle = saved.angle + angle;
  t.scaleX = saved.scaleX * sx;
  t.scaleY = saved.scaleY * sy;

  if (t.depth > kMaxBlockDepth) {
    ErrorMessageIfEnabled("error blockno." + std::to_string(t.depth));
    AbortFlag = true;
  } else {
    const auto found = gBlocks.find(Key(name));
    if (found == gBlocks.end()) {
      AddError("Invalid temp directory");
      AbortFlag = true;
    } else {
      const std::shared_ptr<const TCachedBlock> block = found->second;  // kept while replaying
      ReplayEntities(*block);
    }
  }
  BlockTransform = saved;
}

void CadReplayEntities(const TBlockFileContent& content) {
  const std::shared_ptr<const TCachedBlock> block = MakeCache(content);
  ReplayEntities(*block);
}

// ---------------------------------------------------------------------------------------------
// Reader

namespace {

class PairReader {
 public:
  explicit PairReader(std::string_view text) : text_(text) {}

  // False at the end of the text.
  bool Next() {
    std::string_view codeLine, valueLine;
    if (!Line(codeLine) || !Line(valueLine)) return false;
    code = StrToInteger(codeLine);
    value = valueLine;
    return true;
  }

  int code = -1;
  std::string_view value;

 private:
  bool Line(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

long double Number(std::string_view text) {
  return StrToReal(text);
}

// Reads the pairs of one entity up to the next code-0 pair, which stays in the reader.
template <typename Apply>
bool ReadEntityPairs(PairReader& reader, Apply apply) {
  while (reader.Next()) {
    if (reader.code == 0) return true;
    apply(reader.code, reader.value);
  }
  return false;
}

}  // namespace

TBlockFileContent ParseBlockFile(std::string_view text) {
  TBlockFileContent content;
  PairReader reader(text);
  bool more = reader.Next();
  while (more) {
    if (reader.code != 0) {
      more = reader.Next();
      continue;
    }
    const std::string type = UpperStr(TrimStr(reader.value));
    if (type == "EOF") break;
    using Kind = TBlockEntity::Kind;
    TBlockEntity e;
    if (type == "LINE" || type == "CIRCLE" || type == "ARC" || type == "TEXT" || type == "SOLID" ||
        type == "INSERT") {
      e.kind = type == "LINE"     ? Kind::Line
               : type == "CIRCLE" ? Kind::Circle
               : type == "ARC"    ? Kind::Arc
               : type == "TEXT"   ? Kind::Text
               : type == "SOLID"  ? Kind::Solid
                                  : Kind::Insert;
      bool fourthCorner = false;
      more = ReadEntityPairs(reader, [&](int code, std::string_view v) {
        if (code == 13 || code == 23) fourthCorner = true;
        switch (code) {
          case 1:
            e.text.assign(v);
            break;
          case 2:
            if (e.kind == Kind::Insert) e.text = TrimStr(v);
            break;
          case 8:
            e.layer = TrimStr(v);
            break;
          case 10:
          case 11:
          case 12:
          case 13:
            e.px[code - 10] = Number(v);
            break;
          case 20:
          case 21:
          case 22:
          case 23:
            e.py[code - 20] = Number(v);
            break;
          case 40:
            if (e.kind == Kind::Text)
              e.height = Number(v);
            else
              e.radius = Number(v);
            break;
          case 41:
            if (e.kind == Kind::Text)
              e.widthFactor = Number(v);
            else
              e.scaleX = Number(v);
            break;
          case 42:
            e.scaleY = Number(v);
            break;
          case 50:
            e.angle1 = Number(v);
            break;
          case 51:
            if (e.kind == Kind::Arc) e.angle2 = Number(v);
            break;
          default:
            break;
        }
      });
      // A SOLID given with three corners repeats the third.
      if (e.kind == Kind::Solid && !fourthCorner) {
        e.px[3] = e.px[2];
        e.py[3] = e.py[2];
      }
      content.entities.push_back(std::move(e));
      continue;
    }
    if (type == "POLYLINE") {
      e.kind = Kind::Polyline;
      more = ReadEntityPairs(reader, [&](int code, std::string_view v) {
        if (code == 8) e.layer = TrimStr(v);
        if (code == 70) e.flags = StrToInteger(v);
      });
      if (!more || UpperStr(TrimStr(reader.value)) != "VERTEX") {
        content.errors.push_back("Error in DXF File");
        continue;
      }
      while (more && UpperStr(TrimStr(reader.value)) == "VERTEX") {
        TBlockVertex vertex;
        vertex.layer = e.layer;
        more = ReadEntityPairs(reader, [&](int code, std::string_view v) {
          if (code == 8) vertex.layer = TrimStr(v);
          if (code == 10) vertex.x = Number(v);
          if (code == 20) vertex.y = Number(v);
          if (code == 42) vertex.bulge = Number(v);
        });
        e.vertices.push_back(vertex);
      }
      if (more && UpperStr(TrimStr(reader.value)) == "SEQEND") {
        more = ReadEntityPairs(reader, [](int, std::string_view) {});
      }
      content.entities.push_back(std::move(e));
      continue;
    }
    more = reader.Next();
  }
  return content;
}
