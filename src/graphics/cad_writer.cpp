// Shared pieces of the CAD file writers: colours, layer names, polylines as pieces and the
// number texts every CAD file uses.
#include "graphics/cad_writer.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace {

constexpr long double kDegPerRad = 180.0L / std::numbers::pi_v<long double>;

// Control characters would break the line structure of every CAD format.
std::string WithoutControls(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return text;
}

}  // namespace

int FoldCadColour(int colour) {
  if (colour < 0) colour = 0;  // no layer, pen or IGES colour has a negative number
  if (colour > 31) colour = colour % 16 + 16;
  return colour;
}

std::string CadLayerName(int colour, const std::array<std::string, 6>& layerNames) {
  if (colour == 0) return "0";
  if (colour >= 1 && colour <= 5) return layerNames[static_cast<std::size_t>(colour)];
  return std::to_string(colour);
}

void CadWriter::SetColour(int colour) {
  colour_ = FoldCadColour(colour);
  layerName_ = CadLayerName(colour_, options_.layerNames);
}

std::string DxfCodePageOfTextMode(int cadTextMode) {
  return cadTextMode == 2 || cadTextMode == 3 ? "ANSI_1252" : "DOS850";
}

void CadWriter::Report(const std::string& message, bool fatal) {
  if (fatal) failed_ = true;
  if (options_.reportError) options_.reportError(message);
}

std::string CadWriter::ConvertText(std::string_view text) const {
  if (options_.convertText) return WithoutControls(options_.convertText(text));
  return WithoutControls(std::string(text));
}

void CadWriter::PolylineBegin(int /*flags*/) {
  vertexCount_ = 1;
  previousAngle_ = 0.0L;
}

void CadWriter::PolylineVertex(long double x, long double y, long double arcAngle) {
  if (vertexCount_ > 1) {
    TCadArc arc;
    if (previousAngle_ == 0.0L || !CadArcFromChord(penX_, penY_, x, y, previousAngle_, arc)) {
      Line(penX_, penY_, x, y);
    } else {
      Arc(arc.x, arc.y, arc.a1, arc.a2, arc.r);
    }
  }
  penX_ = x;
  penY_ = y;
  previousAngle_ = arcAngle;
  ++vertexCount_;
}

void CadWriter::PolylineEnd() {}

bool CadArcFromChord(long double x1, long double y1, long double x2, long double y2,
                     long double angle, TCadArc& arc) {
  const long double half = std::sin(angle / 2.0L);
  const long double chord = std::hypot(x2 - x1, y2 - y1);
  if (half == 0.0L || chord == 0.0L) return false;
  const long double h = (chord / 2.0L) / std::tan(angle / 2.0L);
  arc.r = std::fabs((chord / 2.0L) / half);
  arc.x = (x1 + x2) / 2.0L - (y2 - y1) * h / chord;
  arc.y = (y1 + y2) / 2.0L + (x2 - x1) * h / chord;
  long double from = std::atan2(y1 - arc.y, x1 - arc.x) * kDegPerRad;
  long double to = std::atan2(y2 - arc.y, x2 - arc.x) * kDegPerRad;
  if (angle < 0.0L) std::swap(from, to);
  arc.a1 = from;
  arc.a2 = to;
  return true;
}

void AppendFixed(std::string& out, long double value, int decimals) {
  double v = static_cast<double>(value);
  if (!std::isfinite(v)) v = 0.0;
  if (decimals < 0) decimals = 0;
  if (decimals > 17) decimals = 17;
  char buffer[352];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  char* begin = buffer;
  if (buffer[0] == '-') {
    bool zero = true;
    for (char* p = buffer + 1; p < result.ptr; ++p) {
      if (*p != '0' && *p != '.') {
        zero = false;
        break;
      }
    }
    if (zero) ++begin;
  }
  out.append(begin, result.ptr);
}

std::string FixedText(long double value, int decimals) {
  std::string text;
  AppendFixed(text, value, decimals);
  return text;
}

std::string SignificantText(long double value, int significant, int maxDecimals) {
  if (!std::isfinite(value) || std::fabs(value) < 1e-5L) return "0";
  const long double a = std::fabs(value);
  const int e = static_cast<int>(std::floor(std::log10(a)));
  int decimals = significant - e - 1;
  if (decimals < 0) decimals = 0;
  if (decimals > maxDecimals) decimals = maxDecimals;
  std::string text = FixedText(value, decimals);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}
