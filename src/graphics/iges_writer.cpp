// IGES writer: entities 110 (line), 100 (arc), 106 form 11 (closed path), 212 (note),
// 124 (matrix), 308 (subfigure definition) and 408 (subfigure instance).
#include "graphics/iges_writer.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numbers>

namespace {

constexpr long double kRadPerDeg = std::numbers::pi_v<long double> / 180.0L;

// CAD colour index -> IGES colour as the translation table gives it (values above 8 are
// not IGES colours; they survive only as levels).
int TableValue(int index) {
  static const int table[16] = {0, 2, 5, 3, 7, 4, 6, 0, 8, 10, 11, 12, 13, 14, 15, 1};
  if (index < 0) return 0;
  if (index > 15) return index;
  return table[index];
}

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

std::string Seven(int n) {
  std::string s = std::to_string(n);
  if (s.size() < 7) s.insert(0, 7 - s.size(), '0');
  return s;
}

std::string RightAligned(std::string_view text, std::size_t width) {
  std::string s(text.substr(0, width));
  s.insert(0, width - s.size(), ' ');
  return s;
}

std::string Today() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", tm.tm_year % 100, tm.tm_mon + 1, tm.tm_mday);
  return buffer;
}

}  // namespace

int IgesColourOfIndex(int index) {
  const int value = TableValue(index);
  return value >= 0 && value <= 8 ? value : 0;
}

int IgesLevelOfIndex(int index) {
  return TableValue(index);
}

std::string IgesRecord(std::string_view data, std::string_view right, char letter, int sequence) {
  std::string record(72, ' ');
  const std::size_t rightSize = std::min<std::size_t>(right.size(), 72);
  const std::size_t dataSize = std::min(data.size(), 72 - rightSize);
  record.replace(0, dataSize, data.substr(0, dataSize));
  record.replace(72 - rightSize, rightSize, right.substr(0, rightSize));
  record.push_back(letter);
  record += Seven(sequence);
  return record;
}

std::string IgesHollerith(std::string_view text) {
  // Records are lines of 80 columns: a line break or tab inside a string (a file name can
  // hold one) would end or stretch its record, so control characters go as blanks.
  std::string printable(text);
  for (char& c : printable) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = ' ';
  }
  return std::to_string(printable.size()) + "H" + printable;
}

std::vector<std::string> IgesWrap(std::string_view data, std::size_t width) {
  // A record may end after a "," that separates parameters. A comma inside a Hollerith string
  // is text: readers continue a string with the full width of the next record, so a record
  // ends inside a string only where it is full.
  std::vector<bool> breakAfter(data.size(), false);
  bool parameterStart = true;
  for (std::size_t i = 0; i < data.size();) {
    if (parameterStart) {
      std::size_t j = i;
      std::size_t length = 0;
      while (j < data.size() && data[j] >= '0' && data[j] <= '9' && length <= data.size()) {
        length = length * 10 + static_cast<std::size_t>(data[j] - '0');
        ++j;
      }
      if (j > i && j < data.size() && data[j] == 'H') {
        i = j + 1 + std::min(length, data.size() - j - 1);
        parameterStart = false;
        continue;
      }
    }
    parameterStart = data[i] == ',' || data[i] == ';';
    breakAfter[i] = data[i] == ',';
    ++i;
  }
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (data.size() - start > width) {
    std::size_t end = start + width;
    for (std::size_t k = start + width; k > start; --k) {
      if (breakAfter[k - 1]) {
        end = k;
        break;
      }
    }
    pieces.emplace_back(data.substr(start, end - start));
    start = end;
  }
  if (start < data.size() || pieces.empty()) pieces.emplace_back(data.substr(start));
  return pieces;
}

IgesWriter::IgesWriter(std::ostream& out, std::iostream& parameters,
                       const TCadWriterOptions& options)
    : CadWriter(options), out_(out), params_(parameters), paramStream_(parameters) {
  SetColour(0);
}

IgesWriter::~IgesWriter() = default;

void IgesWriter::Record(CadOutBuffer& out, std::string_view data, std::string_view right,
                        char letter) {
  int* counter = nullptr;
  switch (letter) {
    case 'S':
      counter = &countS_;
      break;
    case 'G':
      counter = &countG_;
      break;
    case 'D':
      counter = &countD_;
      break;
    case 'P':
      counter = &countP_;
      break;
    case 'T':
      counter = nullptr;
      break;
    default:
      return;
  }
  const int sequence = counter ? ++*counter : 1;
  out.Text() += IgesRecord(data, right, letter, sequence);
  out.Text().push_back('\n');
  out.MaybeFlush();
}

std::string IgesWriter::Real(long double value) const {
  return FixedText(value, options_.igesDecimals);
}

void IgesWriter::SheetFrame(long double /*x1*/, long double /*y1*/, long double x2,
                            long double y2) {
  StartGlobal(options_.igesFileName, std::max(x2, y2));
}

void IgesWriter::StartGlobal(std::string_view fileName, long double maxCoord) {
  if (started_ || closed_) return;
  started_ = true;
  const std::string program = options_.programName + " V" + options_.programVersion;
  for (const std::string& line : IgesWrap("IGES-Datei generiert von " + options_.programName, 72)) {
    Record(out_, line, "", 'S');
  }
  Record(out_, "IGES translator " + program, "", 'S');
  const std::string date = (options_.igesDate.empty() ? Today() : options_.igesDate) + ".140920";
  const std::string global[] = {
      ",," + IgesHollerith("FILE") + "," + IgesHollerith(fileName) + "," + IgesHollerith(program) +
          "," + IgesHollerith(options_.programName + " IGES writer " + options_.programVersion) +
          ",",
      "16,38,6,99,15,",
      IgesHollerith(fileName) + ",1.0,2," + IgesHollerith("MM") + ",32767,3.2767D1,",
      IgesHollerith(date) + ",1.0D-8," + Real(maxCoord) + ",",
      IgesHollerith(options_.igesAuthor) + "," + IgesHollerith(options_.igesOrganisation) + ",4,0;",
  };
  // A record holds 72 columns; longer ones (a long file name) continue on the next.
  for (const std::string& record : global) {
    for (const std::string& piece : IgesWrap(record, 72)) Record(out_, piece, "", 'G');
  }
}

void IgesWriter::SetColour(int colour) {
  CadWriter::SetColour(colour);
  const int n = Colour();
  int index;
  if (!options_.layerMode && n >= 0 && n <= 5) {
    index = n == 0 ? 7 : options_.layerColours[static_cast<std::size_t>(n)];
    lineFont_ = n == 1 ? 4 : n == 2 ? 2 : 1;
  } else if (!options_.layerMode && n >= 16 && n <= 31) {
    index = options_.penNumbers[static_cast<std::size_t>(n - 16)];
    lineFont_ = 1;
  } else {
    index = n % 16 + 1;
    if (!options_.layerMode) lineFont_ = 1;
  }
  colourNumber_ = IgesColourOfIndex(index);
  level_ = IgesLevelOfIndex(index);
}

bool IgesWriter::BeginIgesEntity(bool member) {
  if (closed_) return false;
  if (!started_) StartGlobal(options_.igesFileName, 0.0L);
  paramLines_ = 0;
  entity_ += 2;
  if (writing_ > 0 && member) members_.push_back(entity_);
  return true;
}

void IgesWriter::Param(std::string_view data) {
  const std::string back = std::to_string(entity_);
  for (const std::string& piece : IgesWrap(data, 64)) {
    Record(params_, piece, back, 'P');
    ++paramLines_;
  }
}

void IgesWriter::Directory(int type, std::string_view form, std::string_view matrix,
                           std::string_view label, bool dependent) {
  const std::string t = std::to_string(type);
  std::string line1 = RightAligned(t, 8) + RightAligned(std::to_string(paramPointer_), 8) +
                      RightAligned("1", 8) + RightAligned(std::to_string(lineFont_), 8) +
                      RightAligned(std::to_string(level_), 8) + RightAligned("", 8) +
                      RightAligned(matrix, 8) + RightAligned("", 8);
  Record(out_, line1, dependent ? "00010000" : "00000000", 'D');
  std::string line2 = RightAligned(t, 8) + RightAligned("", 8) +
                      RightAligned(std::to_string(colourNumber_), 8) +
                      RightAligned(std::to_string(paramLines_), 8) + RightAligned(form, 8) +
                      RightAligned("", 8) + RightAligned("", 8) + RightAligned(label, 8);
  Record(out_, line2, "", 'D');
  paramPointer_ += paramLines_;
}

void IgesWriter::Line(long double x1, long double y1, long double x2, long double y2) {
  if (Remember({TKept::Kind::Line, {x1, y1, x2, y2}})) return;
  if (!BeginIgesEntity(true)) return;
  Param("110," + Real(x1) + "," + Real(y1) + ",0.0," + Real(x2) + "," + Real(y2) + ",0.0;");
  Directory(110, "", "", "", writing_ > 0);
}

void IgesWriter::ArcByPoints(long double xc, long double yc, long double x1, long double y1,
                             long double x2, long double y2) {
  if (Remember({TKept::Kind::Arc, {xc, yc, x1, y1, x2, y2}})) return;
  if (!BeginIgesEntity(true)) return;
  Param("100,0.0," + Real(xc) + "," + Real(yc) + "," + Real(x1) + "," + Real(y1) + "," + Real(x2) +
        "," + Real(y2) + ";");
  Directory(100, "", "0", "", writing_ > 0);
}

void IgesWriter::Circle(long double x, long double y, long double r) {
  ArcByPoints(x, y, x + r, y, x + r, y);
}

void IgesWriter::Arc(long double x, long double y, long double a1, long double a2, long double r) {
  if (r == 0.0L) return;
  ArcByPoints(x, y, x + r * std::cos(a1 * kRadPerDeg), y + r * std::sin(a1 * kRadPerDeg),
              x + r * std::cos(a2 * kRadPerDeg), y + r * std::sin(a2 * kRadPerDeg));
}

void IgesWriter::Solid(long double x1, long double y1, long double x2, long double y2,
                       long double x3, long double y3, long double x4, long double y4) {
  if (Remember({TKept::Kind::Solid, {x1, y1, x2, y2, x3, y3, x4, y4}})) return;
  if (!BeginIgesEntity(true)) return;
  // The corners come in DXF order, whose outline runs 1, 2, 4, 3; the path follows it
  // backwards so that it never crosses itself.
  Param("106,1,5,0.0," + Real(x1) + "," + Real(y1) + ",");
  Param(Real(x3) + "," + Real(y3) + ",");
  Param(Real(x4) + "," + Real(y4) + ",");
  Param(Real(x2) + "," + Real(y2) + ",");
  Param(Real(x1) + "," + Real(y1) + ";");
  Directory(106, "11", "0", "", writing_ > 0);
}

void IgesWriter::Text(long double x, long double y, std::string_view text) {
  if (text.empty()) return;
  if (Remember({TKept::Kind::Text, {x, y}, std::string(text)})) return;
  const std::string value = ConvertText(text);
  if (value.empty() || !BeginIgesEntity(true)) return;
  const TCadTextStyle& style = TextStyle();
  const long double n = static_cast<long double>(value.size());
  Param("212,1," + std::to_string(value.size()) + "," + Real(n * style.height * style.widthFactor) +
        "," + Real(style.height) + ",1,," + FixedText(style.angle * kRadPerDeg, 6) + ",0,0," +
        Real(x) + "," + Real(y) + ",0.0,");
  Param(IgesHollerith(value) + ";");
  Directory(212, "", "0", "", writing_ > 0);
}

void IgesWriter::BeginBlock(std::string_view name) {
  if (closed_) return;
  if (blockOpen_) EndBlock();
  blockOpen_ = true;
  if (static_cast<int>(blocks_.size()) >= kMaxBlocks) {
    blockRefused_ = true;
    Report("Too many blocks (more than 256): " + std::string(name), true);
    return;
  }
  blocks_.push_back({{}, std::string(name), Upper(name)});
}

void IgesWriter::EndBlock() {
  if (closed_ || !blockOpen_) return;
  blockOpen_ = false;
  blockRefused_ = false;
}

void IgesWriter::EndSection() {
  if (blockOpen_) EndBlock();
}

IgesWriter::Block* IgesWriter::FindBlock(std::string_view name) {
  const std::string key = Upper(name);
  for (Block& block : blocks_) {
    if (block.key == key && !(blockOpen_ && &block == &blocks_.back())) return &block;
  }
  return nullptr;
}

bool IgesWriter::WriteDefinition(Block& block) {
  if (block.state == Block::State::Written) return block.definition != 0;
  if (block.state == Block::State::Writing) return false;  // a block inside itself
  block.state = Block::State::Writing;
  // The definition is written where it is first used; its members are no members of a
  // definition being written around it.
  std::vector<int> outer;
  outer.swap(members_);
  const int outerDepth = depth_;
  depth_ = 0;
  ++writing_;
  Replay(block, 0.0L, 0.0L, 0.0L, 1.0L);
  --writing_;
  std::vector<int> members;
  members.swap(members_);
  members_.swap(outer);
  block.depth = depth_;
  depth_ = outerDepth;
  // A definition without members would have an unterminated parameter list.
  if (!members.empty() && BeginIgesEntity(false)) {
    block.definition = entity_;
    Param("308," + std::to_string(block.depth) + "," + IgesHollerith(block.name) + "," +
          std::to_string(members.size()) + ",");
    for (std::size_t i = 0; i < members.size(); i += 12) {
      std::string group;
      for (std::size_t j = i; j < std::min(members.size(), i + 12); ++j) {
        group += std::to_string(members[j]);
        group += j + 1 == members.size() ? ";" : ",";
      }
      Param(group);
    }
    Directory(308, "", "", std::string_view(block.name).substr(0, 8), false);
  }
  block.state = Block::State::Written;
  return block.definition != 0;
}

void IgesWriter::Insert(std::string_view name, long double x, long double y, long double angle,
                        long double sx, long double sy) {
  if (closed_ || (blockOpen_ && blockRefused_)) return;
  Block* block = FindBlock(name);
  if (!block) {
    Report("Blockname " + std::string(name) + " not found !", false);
    return;
  }
  if (Remember({TKept::Kind::Insert, {x, y, angle, sx}, std::string(name)})) return;
  if (sx != 1.0L) {
    // Readers drop a subfigure instance's scale (Open CASCADE transfers nothing for it, or
    // keeps its matrix and loses the scale), so a scaled instance is written as the block's
    // entities, placed, turned and scaled.
    Replay(*block, x, y, angle, sx);
    return;
  }
  // A block is written where it is first inserted, so that no definition stands unused in
  // the file (readers take an unused one for geometry at the origin).
  if (!WriteDefinition(*block)) return;  // an empty block draws nothing
  const int definition = block->definition;
  depth_ = std::max(depth_, block->depth + 1);
  const bool dependent = writing_ > 0;
  if (angle == 0.0L) {
    if (!BeginIgesEntity(true)) return;
    Param("408," + std::to_string(definition) + "," + Real(x) + "," + Real(y) + ",0.0,1.0;");
    Directory(408, "", "", "", dependent);
    return;
  }
  // A matrix of form 0 may only turn; it carries the insert point too.
  const long double c = std::cos(angle * kRadPerDeg);
  const long double s = std::sin(angle * kRadPerDeg);
  if (!BeginIgesEntity(false)) return;
  const int matrix = entity_;
  Param("124," + FixedText(c, 6) + "," + FixedText(-s, 6) + ",0.0," + FixedText(x, 6) + ",");
  Param(FixedText(s, 6) + "," + FixedText(c, 6) + ",0.0," + FixedText(y, 6) + ",");
  Param("0.0,0.0,1.0,0.0;");
  Directory(124, "0", "0", "", true);
  if (!BeginIgesEntity(true)) return;
  Param("408," + std::to_string(definition) + ",0.0,0.0,0.0,1.0;");
  Directory(408, "", std::to_string(matrix), "", dependent);
}

bool IgesWriter::Remember(TKept kept) {
  if (!blockOpen_ || closed_) return false;
  if (blockRefused_) return true;
  kept.colour = Colour();
  kept.style = TextStyle();
  blocks_.back().kept.push_back(std::move(kept));
  return true;
}

void IgesWriter::Replay(const Block& block, long double x, long double y, long double angle,
                        long double scale) {
  constexpr int kMaxDepth = 32;  // block nesting deeper than this is a cycle
  if (replaying_ >= kMaxDepth) return;
  const long double c = std::cos(angle * kRadPerDeg) * scale;
  const long double s = std::sin(angle * kRadPerDeg) * scale;
  auto px = [&](long double u, long double v) { return x + c * u - s * v; };
  auto py = [&](long double u, long double v) { return y + s * u + c * v; };
  // A negative scale turns by a half turn; sizes stay positive.
  const long double size = std::fabs(scale);
  const long double turn = angle + (scale < 0 ? 180.0L : 0.0L);
  const int colour = Colour();
  const TCadTextStyle style = TextStyle();
  ++replaying_;
  for (const TKept& k : block.kept) {
    SetColour(k.colour);
    const long double* v = k.v;
    switch (k.kind) {
      case TKept::Kind::Line:
        Line(px(v[0], v[1]), py(v[0], v[1]), px(v[2], v[3]), py(v[2], v[3]));
        break;
      case TKept::Kind::Arc:
        ArcByPoints(px(v[0], v[1]), py(v[0], v[1]), px(v[2], v[3]), py(v[2], v[3]), px(v[4], v[5]),
                    py(v[4], v[5]));
        break;
      case TKept::Kind::Solid:
        Solid(px(v[0], v[1]), py(v[0], v[1]), px(v[2], v[3]), py(v[2], v[3]), px(v[4], v[5]),
              py(v[4], v[5]), px(v[6], v[7]), py(v[6], v[7]));
        break;
      case TKept::Kind::Text: {
        TCadTextStyle turned = k.style;
        turned.height *= size;
        turned.angle += turn;
        SetTextStyle(turned);
        Text(px(v[0], v[1]), py(v[0], v[1]), k.text);
        break;
      }
      case TKept::Kind::Insert:
        Insert(k.text, px(v[0], v[1]), py(v[0], v[1]), v[2] + turn, v[3] * size, v[3] * size);
        break;
    }
  }
  --replaying_;
  SetColour(colour);
  SetTextStyle(style);
}

void IgesWriter::Close() {
  if (closed_) return;
  if (!started_) StartGlobal(options_.igesFileName, 0.0L);
  if (blockOpen_) EndBlock();
  closed_ = true;
  params_.Flush();
  paramStream_.flush();
  paramStream_.seekg(0);
  out_.Flush();
  if (countP_ > 0) out_.Stream() << paramStream_.rdbuf();
  std::ostream& out = out_.Stream();
  out << IgesRecord("S" + Seven(countS_) + "G" + Seven(countG_) + "D" + Seven(countD_) + "P" +
                        Seven(countP_),
                    "", 'T', 1)
      << '\n';
  out.flush();
}
