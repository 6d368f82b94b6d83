// The small set of operations the CAD driver sends to a file writer (DXF, IGES, CAD-code
// text), the settings those writers read, and the pieces they share: colour folding, layer
// names, polyline segmentation and locale-free number texts.
#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

// Settings a writer reads. The caller fills them from the program-wide records (plot
// settings, program identity, digits setting) so that the writers need no globals.
struct TCadWriterOptions {
  // Decimals of every DXF real ("Decimals DXF,TXT").
  int dxfDecimals = 6;
  // Layer names of the colours 0..5 (name 0 is never used: colour 0 is always layer "0").
  std::array<std::string, 6> layerNames{"0", "1", "2", "3", "4", "5"};
  // DXF colour of the layers 0..5 and of the pen layers 16..31.
  std::array<int, 6> layerColours{1, 2, 2, 2, 3, 1};
  std::array<int, 16> penNumbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  bool layerMonochrome = false;
  // Colours by layer number only (IGES): no line fonts from the layer settings.
  bool layerMode = false;
  // CAD text font written into the DXF text style.
  std::string textFont = "TXT8";
  // Polylines as one DXF POLYLINE entity; otherwise as single lines and arcs.
  bool polylineEntities = false;
  // Texts written to a CAD file pass this conversion (the CAD text mode); it must give
  // single-byte text. Empty: texts are written as they are.
  std::function<std::string(std::string_view)> convertText;
  // Code page of the text bytes that convertText gives, as the DXF header names it.
  std::string dxfCodePage = "ANSI_1252";
  // 2: the CAD-code text writes a comma as decimal mark ("Dot=1 Komma=2").
  int decimalCommaMode = 1;
  // Decimals of IGES reals (3, shifted by the digits setting).
  int igesDecimals = 3;
  // IGES identity texts.
  std::string programName = "VUKO";
  std::string programVersion = "1.0";
  std::string igesFileName = "VUKO.igs";
  std::string igesAuthor = "unknown";
  std::string igesOrganisation = "unknown";
  // Date written into the IGES global section as YYMMDD; empty: today.
  std::string igesDate;
  // Receives every message a writer posts (block not found, too many blocks, ...).
  std::function<void(const std::string&)> reportError;
};

// Size and direction of the texts that follow (the driver's text state).
struct TCadTextStyle {
  long double height = 5.0L;
  long double widthFactor = 1.0L;
  long double angle = 0.0L;    // degrees
  long double oblique = 0.0L;  // degrees
};

// One drawing target. Coordinates reach the writer with the driver's origin already added;
// lengths in mm, arc and insert angles in degrees, polyline arc angles in radians.
class CadWriter {
 public:
  explicit CadWriter(const TCadWriterOptions& options) : options_(options) {}
  virtual ~CadWriter() = default;
  CadWriter(const CadWriter&) = delete;
  CadWriter& operator=(const CadWriter&) = delete;

  // Sections, in drawing order: sheet frame, tables, blocks (each begin/end), end of
  // section, entities, end of section, close.
  virtual void SheetFrame(long double x1, long double y1, long double x2, long double y2) = 0;
  virtual void BeginTables(int mode) = 0;
  virtual void BeginBlocks() = 0;
  virtual void BeginBlock(std::string_view name) = 0;
  virtual void EndBlock() = 0;
  virtual void EndSection() = 0;
  virtual void BeginEntities() = 0;
  // Ends the output (closing whatever is still open); later calls do nothing.
  virtual void Close() = 0;

  // Current colour: 0..31, larger numbers are folded to (n mod 16) + 16. Sets the layer
  // (DXF, CAD-code text) or colour and line font (IGES) of the entities that follow.
  virtual void SetColour(int colour);
  void SetTextStyle(const TCadTextStyle& style) { textStyle_ = style; }

  virtual void Line(long double x1, long double y1, long double x2, long double y2) = 0;
  virtual void Circle(long double x, long double y, long double r) = 0;
  // Counter-clockwise from a1 to a2.
  virtual void Arc(long double x, long double y, long double a1, long double a2, long double r) = 0;
  virtual void Text(long double x, long double y, std::string_view text) = 0;
  // Corners in DXF order: the outline runs 1, 2, 4, 3.
  virtual void Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
                     long double y3, long double x4, long double y4) = 0;
  virtual void Insert(std::string_view name, long double x, long double y, long double angle,
                      long double sx, long double sy) = 0;

  // Polyline: each vertex carries the included angle (radians, counter-clockwise positive)
  // of the piece from it to the next vertex. Drawn here as single lines and arcs; the DXF
  // writer writes one POLYLINE entity instead when asked to.
  virtual void PolylineBegin(int flags);
  virtual void PolylineVertex(long double x, long double y, long double arcAngle);
  virtual void PolylineEnd();

  int Colour() const { return colour_; }
  // Layer name of the current colour (DXF and CAD-code text).
  const std::string& LayerName() const { return layerName_; }
  const TCadTextStyle& TextStyle() const { return textStyle_; }
  // True once the writer met something it had to refuse (for the driver's abort flag).
  bool Failed() const { return failed_; }
  const TCadWriterOptions& Options() const { return options_; }

 protected:
  void Report(const std::string& message, bool fatal);
  std::string ConvertText(std::string_view text) const;

  TCadWriterOptions options_;

 private:
  int colour_ = 0;
  std::string layerName_ = "0";
  TCadTextStyle textStyle_;
  bool failed_ = false;
  // Polyline drawn as pieces.
  int vertexCount_ = 0;
  long double penX_ = 0.0L;
  long double penY_ = 0.0L;
  long double previousAngle_ = 0.0L;
};

// DXF name of the code page a CAD text mode writes: the DOS code page for texts written as
// they are held, the Windows one for converted texts (transliterated ones are plain ASCII).
std::string DxfCodePageOfTextMode(int cadTextMode);

// Colour number after folding: above 31 becomes (n mod 16) + 16, below 0 becomes 0.
int FoldCadColour(int colour);
// Layer name of a colour: "0" for 0, the configured name for 1..5, the number otherwise.
std::string CadLayerName(int colour, const std::array<std::string, 6>& layerNames);

// Arc through two points with an included angle (radians, counter-clockwise positive):
// centre, radius and the counter-clockwise start and end angles in degrees. False when the
// angle bends nothing (a straight piece) or the points coincide.
struct TCadArc {
  long double x = 0.0L;
  long double y = 0.0L;
  long double r = 0.0L;
  long double a1 = 0.0L;
  long double a2 = 0.0L;
};
bool CadArcFromChord(long double x1, long double y1, long double x2, long double y2,
                     long double angle, TCadArc& arc);

// Locale-free number texts for CAD files.
// Fixed point with the given decimals; "-0.000" never appears, non-finite values write 0.
void AppendFixed(std::string& out, long double value, int decimals);
std::string FixedText(long double value, int decimals);
// At most `significant` significant digits and at most `maxDecimals` decimals, trailing
// zeros dropped; magnitudes below 1e-5 give "0".
std::string SignificantText(long double value, int significant, int maxDecimals);

// Collects text and hands it to a stream in large pieces.
class CadOutBuffer {
 public:
  explicit CadOutBuffer(std::ostream& out) : out_(&out) { buffer_.reserve(kChunk + 256); }
  ~CadOutBuffer() { Flush(); }
  std::string& Text() { return buffer_; }
  void Put(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kChunk) Flush();
  }
  void MaybeFlush() {
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush() {
    if (!buffer_.empty()) out_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }
  std::ostream& Stream() { return *out_; }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  std::ostream* out_;
  std::string buffer_;
};
