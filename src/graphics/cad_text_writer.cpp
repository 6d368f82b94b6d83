// CAD-code text writer: keyword, then tab-separated fields; numbers with three significant
// digits; no layers, heights or section ends.
#include "graphics/cad_text_writer.h"

#include <cmath>

namespace {

bool Near(long double a, long double b) {
  return std::fabs(a - b) < 1e-5L;
}

// A name or text may hold neither the field separator nor a line end.
std::string FieldText(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return result;
}

std::string UpperName(std::string_view name) {
  std::string result(name);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

}  // namespace

std::string CadTextNumber(long double value, int decimalCommaMode) {
  std::string text = SignificantText(value, 3, 4);
  if (decimalCommaMode == 2) {
    for (char& c : text) {
      if (c == '.') c = ',';
    }
  }
  return text;
}

CadTextWriter::CadTextWriter(std::ostream& out, const TCadWriterOptions& options)
    : CadWriter(options), out_(out) {}

CadTextWriter::~CadTextWriter() = default;

void CadTextWriter::Keyword(std::string_view keyword) {
  out_.Text().append(keyword);
}

void CadTextWriter::Field(std::string_view text) {
  out_.Text().push_back('\t');
  out_.Text().append(text);
}

void CadTextWriter::Number(long double value) {
  Field(CadTextNumber(value, options_.decimalCommaMode));
}

void CadTextWriter::EndLine() {
  out_.Text().push_back('\n');
  out_.MaybeFlush();
}

void CadTextWriter::SheetFrame(long double x1, long double y1, long double x2, long double y2) {
  if (closed_) return;
  Keyword("MINMAX");
  Number(x1);
  Number(y1);
  Number(x2);
  Number(y2);
  EndLine();
}

void CadTextWriter::BeginTables(int /*mode*/) {}

void CadTextWriter::BeginBlocks() {
  if (closed_) return;
  Keyword("SECTION BLOCKS");
  EndLine();
}

void CadTextWriter::BeginBlock(std::string_view name) {
  if (closed_) return;
  if (blockOpen_) EndBlock();
  blockOpen_ = true;
  definedBlocks_.insert(UpperName(name));
  Keyword("BLOCK");
  Field(FieldText(name));
  EndLine();
}

void CadTextWriter::EndBlock() {
  if (closed_ || !blockOpen_) return;
  blockOpen_ = false;
  Keyword("END OF BLOCK");
  EndLine();
}

void CadTextWriter::EndSection() {
  if (blockOpen_) EndBlock();
}

void CadTextWriter::BeginEntities() {
  if (closed_) return;
  if (blockOpen_) EndBlock();
  Keyword("SECTION ENTITIES");
  EndLine();
}

void CadTextWriter::Close() {
  if (closed_) return;
  if (blockOpen_) EndBlock();
  Keyword("EOF");
  EndLine();
  closed_ = true;
  out_.Flush();
  out_.Stream().flush();
}

void CadTextWriter::Line(long double x1, long double y1, long double x2, long double y2) {
  if (closed_) return;
  Keyword("LINE");
  Number(x1);
  Number(y1);
  Number(x2);
  Number(y2);
  EndLine();
}

void CadTextWriter::Circle(long double x, long double y, long double r) {
  if (closed_) return;
  Keyword("CIRCLE");
  Number(x);
  Number(y);
  Number(std::fabs(r));
  EndLine();
}

void CadTextWriter::Arc(long double x, long double y, long double a1, long double a2,
                        long double r) {
  if (closed_ || r == 0.0L) return;
  if (a1 == a2 || (Near(a1, 0.0L) && Near(a2, 360.0L)) || (Near(a1, 360.0L) && Near(a2, 0.0L))) {
    Circle(x, y, r);
    return;
  }
  if (r < 0.0L) {
    r = -r;
    a1 += 180.0L;
    a2 += 180.0L;
  }
  Keyword("ARC");
  Number(x);
  Number(y);
  Number(r);
  Number(a1);
  Number(a2);
  EndLine();
}

void CadTextWriter::Text(long double x, long double y, std::string_view text) {
  if (closed_ || text.empty()) return;
  const std::string value = ConvertText(text);
  if (value.empty()) return;
  Keyword("TEXT");
  Number(x);
  Number(y);
  Field(value);
  EndLine();
}

void CadTextWriter::Solid(long double x1, long double y1, long double x2, long double y2,
                          long double x3, long double y3, long double x4, long double y4) {
  if (closed_) return;
  Keyword("SOLID");
  for (long double v : {x1, y1, x2, y2, x3, y3, x4, y4}) Number(v);
  EndLine();
}

void CadTextWriter::Insert(std::string_view name, long double x, long double y, long double angle,
                           long double sx, long double sy) {
  if (closed_) return;
  // Block names are case-insensitive; a block is usable once its definition has begun.
  if (!definedBlocks_.count(UpperName(name))) {
    Report("Blockname " + std::string(name) + " not found !", false);
    return;
  }
  Keyword("INSERT");
  Field(FieldText(name));
  Number(x);
  Number(y);
  Number(angle);
  Number(sx);
  Number(sy);
  EndLine();
}
