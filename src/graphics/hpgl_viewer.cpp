// Interpreter of the HP-GL/2 subset.
#include "graphics/hpgl_viewer.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/formatting.h"
#include "common/help_texts.h"
#include "common/plane_geometry.h"
#include "common/program_state.h"
#include "graphics/graphics_facade.h"

THpglState HpglState;

void InitHpglState() {
  HpglState = THpglState{};
}

int HpglColour(int pen) {
  static constexpr int kPenColour[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  return pen >= 0 && pen <= 7 ? kPenColour[pen] : pen;
}

namespace {

constexpr long double kUnit = 0.025L;  // mm per plotter unit
constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr char kLabelTerminator = 3;

long double Deg(long double rad) {
  return rad * 180 / kPi;
}

class THpglReader {
 public:
  explicit THpglReader(const std::string& data) : data_(data) {}

  void Run();

 private:
  // Next character that is not a blank, CR or LF; sets eof_ when there is none.
  char ReadChar() {
    while (pos_ < data_.size()) {
      const char c = data_[pos_++];
      ++HpglState.characterCount;
      if (c != ' ' && c != '\r' && c != '\n') return c;
    }
    eof_ = true;
    return 0;
  }
  // The same, but blanks are characters of the label.
  char ReadLabelChar() {
    while (pos_ < data_.size()) {
      const char c = data_[pos_++];
      ++HpglState.characterCount;
      if (c != '\r' && c != '\n') return c;
    }
    eof_ = true;
    return 0;
  }
  static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  void SkipBlanks() {
    while (pos_ < data_.size() && IsBlank(data_[pos_])) {
      ++pos_;
      ++HpglState.characterCount;
    }
  }
  void Take() {
    ++pos_;
    ++HpglState.characterCount;
  }
  // One parameter. Parameters are separated by "," or blanks; a command ends at ";" or where
  // the letters of the next command begin (HP-GL/2 makes the ";" optional), and both set the
  // terminator flag. The end of the data ends the last parameter; eof_ is set only when no
  // parameter text was left.
  std::string ReadParam() {
    std::string text;
    SkipBlanks();
    if (pos_ >= data_.size()) {
      eof_ = true;
      return text;
    }
    char c = data_[pos_];
    if (c == ';') {
      Take();
      terminator_ = true;
      return text;
    }
    if (IsLetter(c)) {
      terminator_ = true;
      return text;
    }
    if (c == ',') {
      Take();
      return text;
    }
    while (pos_ < data_.size()) {
      c = data_[pos_];
      if (IsBlank(c) || c == ',' || c == ';' || IsLetter(c)) break;
      if ((c == '+' || c == '-') && !text.empty()) break;  // a sign starts the next number
      text += c;
      Take();
    }
    SkipBlanks();
    if (pos_ >= data_.size()) {
      terminator_ = true;
      return text;
    }
    c = data_[pos_];
    if (c == ',') {
      Take();
    } else if (c == ';') {
      Take();
      terminator_ = true;
    } else if (IsLetter(c)) {
      terminator_ = true;
    }
    return text;
  }
  // A number no device can take ends the picture: HP-GL/2 parameters lie within +-2^30, and a
  // longer one would overflow once it is stored in the drawing list.
  long double Finite(long double v) {
    if (!std::isfinite(v) || std::fabs(v) > 1073741824.0L) {
      eof_ = true;
      return 0.0L;
    }
    return v;
  }
  long double ReadReal() { return Finite(ValReal(ReadParam())); }
  long double ReadCoord() {
    std::string text;
    for (char c : ReadParam())
      if (c != 'P' && c != 'A') text += c;
    return text.empty() ? 0.0L : Finite(ValReal(text));
  }
  int ReadInt() {
    const std::string text = ReadParam();
    if (text.empty() && terminator_) return 1;
    return ValInteger(text);
  }
  // Skips the parameters of a command up to its ";" or the next command's two letters; quoted
  // strings are skipped whole.
  void SkipCommand() {
    while (pos_ < data_.size()) {
      const char c = data_[pos_];
      if (c == ';') {
        Take();
        break;
      }
      if (IsLetter(c) && pos_ + 1 < data_.size() && IsLetter(data_[pos_ + 1])) break;
      Take();
      if (c == '"') {
        while (pos_ < data_.size() && data_[pos_] != '"') Take();
        if (pos_ < data_.size()) Take();
      }
    }
    if (pos_ >= data_.size()) eof_ = true;
    terminator_ = true;
  }
  // A printer escape sequence ends with its first upper-case letter or "@".
  void SkipEscape() {
    for (;;) {
      const char c = ReadChar();
      if (eof_ || (c >= 'A' && c <= 'Z') || c == '@') return;
    }
  }
  // Drops optional parameters that follow the ones a command uses.
  void SkipRestOfCommand() {
    if (!terminator_ && !eof_) SkipCommand();
  }

  void SetPenColour() {
    GraphicsFacade->GrSetColor(static_cast<std::uint8_t>(HpglColour(HpglState.Pen)));
  }
  void DrawTo(long double x, long double y) {
    SetPenColour();
    GraphicsFacade->GrLine(HpglState.CurrentX, HpglState.CurrentY, x, y);
  }

  void PlotPairs();
  void Label();
  void ArcAbsolute();
  void PolylineEncoded();
  bool DecodeNumber(char first, bool sevenBit, std::int64_t& value);

  const std::string& data_;
  std::size_t pos_ = 0;
  bool eof_ = false;
  bool terminator_ = false;
};

void THpglReader::PlotPairs() {
  for (;;) {
    const long double x = ReadCoord();
    if (terminator_ || eof_) return;
    const long double y = ReadCoord();
    if (eof_) return;
    const long double nx = x * kUnit, ny = y * kUnit;
    if (HpglState.PenDown) DrawTo(nx, ny);
    HpglState.CurrentX = nx;
    HpglState.CurrentY = ny;
    if (terminator_) return;
  }
}

void THpglReader::Label() {
  std::string text;
  for (;;) {
    const char c = ReadLabelChar();
    if (eof_) return;  // a label without its terminator is not drawn
    if (c == kLabelTerminator) break;
    if (HpglState.CharSet == 3 && c == '}') {
      if (!text.empty()) {
        char& last = text.back();
        switch (last) {
          case 'a':
            last = static_cast<char>(132);
            break;
          case 'o':
            last = static_cast<char>(148);
            break;
          case 'u':
            last = static_cast<char>(129);
            break;
          case 'A':
            last = static_cast<char>(142);
            break;
          case 'O':
            last = static_cast<char>(153);
            break;
          case 'U':
            last = static_cast<char>(154);
            break;
          default:
            break;
        }
      }
      continue;
    }
    text += c;
  }
  SetPenColour();
  const long double angle = Deg(std::atan2(HpglState.DirRise, HpglState.DirRun));
  GraphicsFacade->GrSetTextStyle(2, angle, HpglState.LabelHeight * 10, HpglState.LabelWidth * 10);
  GraphicsFacade->GrSetTextJustify(0, 0);
  GraphicsFacade->GrOutTextXY(HpglState.CurrentX, HpglState.CurrentY, text);
}

void THpglReader::ArcAbsolute() {
  const long double cx = ReadCoord() * kUnit;
  if (eof_) return;
  const long double cy = ReadCoord() * kUnit;
  if (eof_) return;
  const long double sweep = ReadReal();
  if (eof_) return;
  SkipRestOfCommand();  // chord tolerance
  const long double x0 = HpglState.CurrentX, y0 = HpglState.CurrentY;
  const long double r = std::hypot(x0 - cx, y0 - cy);
  if (HpglState.PenDown && r > 0 && sweep != 0) {
    SetPenColour();
    const long double a0 = Deg(std::atan2(y0 - cy, x0 - cx));
    if (std::fabs(sweep) >= 360)
      GraphicsFacade->GrCircle(cx, cy, r);
    else if (sweep > 0)
      GraphicsFacade->GrArc(cx, cy, a0, a0 + sweep, r);
    else
      GraphicsFacade->GrArc(cx, cy, a0 + sweep, a0, r);  // clockwise: the same arc, reversed
  }
  // The pen ends where the arc ends, as on a plotter.
  long double ex = x0, ey = y0;
  RotateAboutPoint(ex, ey, x0, y0, cx, cy, std::fmod(sweep, 360.0L) * kPi / 180);
  HpglState.CurrentX = ex;
  HpglState.CurrentY = ey;
}

bool THpglReader::DecodeNumber(char first, bool sevenBit, std::int64_t& value) {
  std::uint64_t v = 0;
  int shift = 0;
  const int bits = sevenBit ? 5 : 6;
  unsigned char c = static_cast<unsigned char>(first);
  for (;;) {
    const int lowCont = 63, highCont = sevenBit ? 94 : 126;
    const int lowEnd = sevenBit ? 95 : 191, highEnd = sevenBit ? 126 : 254;
    int digit;
    bool last;
    if (c >= lowCont && c <= highCont) {
      digit = c - lowCont;
      last = false;
    } else if (c >= lowEnd && c <= highEnd) {
      digit = c - lowEnd;
      last = true;
    } else {
      // Not a digit: a flag, ";" or a broken file. It ends the number and is read again.
      if (shift == 0) return false;
      --pos_;
      break;
    }
    if (shift < 60) v |= static_cast<std::uint64_t>(digit) << shift;  // beyond: too large to matter
    shift += bits;
    if (last) break;
    c = static_cast<unsigned char>(ReadChar());
    if (eof_) return false;
  }
  value = (v & 1) ? -static_cast<std::int64_t>(v >> 1) : static_cast<std::int64_t>(v >> 1);
  return true;
}

void THpglReader::PolylineEncoded() {
  bool sevenBit = false;
  bool absolute = false;
  HpglState.PenDown = true;
  for (;;) {
    const char ch = ReadChar();
    if (eof_ || ch == ';') return;
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '=') {
      absolute = true;
    } else if (c == '<') {
      HpglState.PenDown = false;
    } else if (c == '7') {
      sevenBit = true;
    } else if (c == '>') {
      ReadChar();  // fractional bits are not used
      if (eof_) return;
    } else if (c == ':') {
      const char first = ReadChar();
      std::int64_t pen = 0;
      if (eof_) return;
      if (!DecodeNumber(first, sevenBit, pen)) {
        if (eof_) return;
        --pos_;
        continue;
      }
      HpglState.Pen = static_cast<std::uint8_t>(pen < 0 ? 0 : pen > 255 ? 255 : pen);
    } else if (c >= 63 && c <= 254) {
      std::int64_t ix = 0, iy = 0;
      if (!DecodeNumber(ch, sevenBit, ix)) {
        if (eof_) return;
        continue;  // not a number in this mode: ignored
      }
      const char next = ReadChar();
      if (eof_) return;
      if (!DecodeNumber(next, sevenBit, iy)) {
        if (eof_) return;
        --pos_;  // a pair without its y: the character that cut it is read again
        continue;
      }
      long double nx = ix / 40.0L, ny = iy / 40.0L;  // mm
      if (!absolute) {
        nx += HpglState.CurrentX;
        ny += HpglState.CurrentY;
      }
      if (HpglState.PenDown) DrawTo(nx, ny);
      HpglState.CurrentX = nx;
      HpglState.CurrentY = ny;
      HpglState.PenDown = true;
      absolute = false;
    }
  }
}

void THpglReader::Run() {
  for (;;) {
    terminator_ = false;
    char c1 = ReadChar();
    if (c1 == ';') c1 = ReadChar();
    if (eof_) return;
    if (c1 == '\x1B') {
      SkipEscape();
      if (eof_) return;
      continue;
    }
    const char c2 = ReadChar();
    if (eof_) return;
    auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    const std::string command{up(c1), up(c2)};
    if (command == "PU") {
      HpglState.PenDown = false;
      PlotPairs();
    } else if (command == "PD") {
      HpglState.PenDown = true;
      PlotPairs();
    } else if (command == "PA") {
      PlotPairs();
    } else if (command == "SP") {
      const int pen = ReadInt();
      HpglState.Pen = static_cast<std::uint8_t>(pen < 0 ? 0 : pen > 255 ? 255 : pen);
      SkipRestOfCommand();
    } else if (command == "CI") {
      const long double r = ReadCoord();
      if (eof_) return;
      SkipRestOfCommand();  // chord tolerance
      SetPenColour();
      GraphicsFacade->GrCircle(HpglState.CurrentX, HpglState.CurrentY, r * kUnit);
    } else if (command == "SI") {
      HpglState.LabelWidth = ReadReal();
      if (!terminator_ && !eof_) HpglState.LabelHeight = ReadReal();
      SkipRestOfCommand();
    } else if (command == "DI") {
      HpglState.DirRun = ReadReal();
      if (!terminator_ && !eof_) HpglState.DirRise = ReadReal();
      SkipRestOfCommand();
    } else if (command == "LB") {
      Label();
    } else if (command == "AA") {
      ArcAbsolute();
    } else if (command == "PE") {
      PolylineEncoded();
    } else if (command == "CS") {
      HpglState.CharSet = ReadCoord();
      SkipRestOfCommand();
    } else {
      SkipCommand();
    }
    if (eof_) return;
  }
}

}  // namespace

void ShowHpglData(const std::string& data) {
  if (!GraphicsFacade) return;
  HpglState.CurrentX = HpglState.CurrentY = -999;
  HpglState.characterCount = 0;
  GraphicsFacade->GrCursorWait();
  THpglReader reader(data);
  reader.Run();
  GraphicsFacade->GrCursorArrow();
}

void ShowHpglFile(const std::string& fileName) {
  if (!GraphicsFacade) return;
  GraphicsFacade->GrCursorWait();
  GraphicsFacade->CheckFileFound(fileName);
  if (AbortFlag) {
    GraphicsFacade->GrCursorArrow();
    return;
  }
  std::ifstream in(fileName, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  ShowHpglData(content.str());
  AbortFlag = false;
}

void InstallGraphicsHelpImageHook() {
  InstallHelpImageHook([](const std::string& pltFile) {
    // An entry without an image, or an image that is not there, leaves the picture as it was:
    // the window is cleared only once there is something to draw instead.
    if (!GraphicsFacade || pltFile.empty()) return;
    GraphicsFacade->CheckFileFound(pltFile);
    if (AbortFlag) {
      AbortFlag = false;
      return;
    }
    GraphicsFacade->GrClear();
    GraphicsFacade->GrHeader(0, 0, 160, 120);
    ShowHpglFile(pltFile);
  });
}
