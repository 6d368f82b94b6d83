// The CAD output driver: choosing and opening the target, the driver state (colour, text
// size, justification, origin, sheet window), closing, and the dimensioning.
#include "graphics/cad_driver.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_dialogs.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/kept_file_names.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "graphics/cad_blocks.h"
#include "graphics/cad_driver_internal.h"
#include "graphics/cad_output_file.h"
#include "graphics/cad_primitives.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/plot_program.h"

namespace {

constexpr long double kRadPerDeg = std::numbers::pi_v<long double> / 180.0L;

std::unique_ptr<CadOutputFile> gFile;
CadSink* gSink = nullptr;
// The plot program's DXF border waits for the entities section (nothing may stand between
// the sections of a DXF file).
bool gBorderPending = false;

TCadWriterOptions WriterOptions() {
  TCadWriterOptions o;
  o.dxfDecimals = std::clamp<int>(PlotSettings.DxfDecimals, 0, 17);
  for (int i = 0; i <= 5; ++i) {
    o.layerNames[static_cast<std::size_t>(i)] = PlotSettings.DxfLayerNames[i];
    o.layerColours[static_cast<std::size_t>(i)] = PlotSettings.LayerColours[i];
  }
  for (int i = 16; i <= 31; ++i)
    o.penNumbers[static_cast<std::size_t>(i - 16)] = PlotSettings.PenNumbers[i];
  o.layerMonochrome = PlotSettings.layerMonochrome;
  o.textFont = PlotSettings.cadTextFont;
  o.polylineEntities = PlotSettings.involuteAsPolyline;
  o.convertText = [](std::string_view text) { return OutputText(text); };
  o.dxfCodePage = DxfCodePageOfTextMode(ConfigVariables.CadTextMode);
  o.decimalCommaMode = ConfigVariables.DecimalCommaMode;
  // Three decimals, shifted by the digits setting as every fixed-point number is.
  o.igesDecimals = std::clamp(3 + (ProgramSettings.FloatDigits - 3), 0, 10);
  o.programName = ProgramIdentity.programName.empty() ? "VUKO" : ProgramIdentity.programName;
  o.programVersion = ProgramIdentity.version.empty() ? "1.0" : ProgramIdentity.version;
  o.reportError = [](const std::string& message) { AddError(message); };
  return o;
}

std::string LayerNameOf(int colour) {
  if (colour == 0) return "0";
  if (colour >= 1 && colour <= 5) return PlotSettings.DxfLayerNames[colour];
  return std::to_string(colour);
}

// A point in the file's own name (not in a directory name) means the user gave an extension.
bool HasDot(const std::string& fileName) {
  const std::size_t slash = fileName.rfind(kPathSeparator);
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return fileName.find('.', start) != std::string::npos;
}

void FailOpen(const std::string& message) {
  if (!message.empty()) ErrorMessageIfEnabled(message);
  AbortFlag = true;
  PlotSettings.CadFileName.clear();
  CursorArrow();
}

// Creates the output file of a file code; false (AbortFlag set) when it cannot be made.
bool OpenOutputFile(std::uint16_t code) {
  CadFileFormat format = CadFileFormat::Dxf;
  if (code == kCadIges) format = CadFileFormat::Iges;
  if (code == kCadText) format = CadFileFormat::CadText;
  std::string error;
  gFile = CadOutputFile::Open(format, PlotSettings.CadFileName, PrivateTempDir(), WriterOptions(),
                              error);
  if (!gFile) {
    FailOpen(error.empty() ? "file " + NameText(PlotSettings.CadFileName) + " cannot be created"
                           : error);
    return false;
  }
  gFile->Writer().SetColour(PlotSettings.currentColour);
  return true;
}

// The name of a DXF, IGES or CAD-code file: without a dialog in batch runs.
bool ChooseFileName(const std::string& ext) {
  if (ConfigVariables.BatchCadFlag) {
    // Kept beside the data file under its base name, whatever folder the run started in.
    PlotSettings.CadFileName = KeptFileStem() + "." + ext;
    return true;
  }
  TFileDialogRequest request;
  request.filter = "*." + ext + "|*." + ext + "|*.*|*.*";
  request.directory = AddBackslash(ProgramSettings.cadDirectory);
  // The data file's base name, also for a file named on the command line (held whole).
  if (!TrimStr(CurrentFileName).empty()) request.fileName = DataFilePlace().baseName;
  request.helpNumber = HelpNumber;
  std::string name;
  if (!ShowSaveDialog(request, name) || TrimStr(name).empty()) {
    FailOpen("");
    return false;
  }
  PlotSettings.CadFileName = HasDot(name) ? name : name + "." + ext;
  return true;
}

void ReportStartFailure(int result) {
  // Start results in the old numbering: 0 out of memory, 2 or 3 not found, others numbered.
  if (result == 0) return;
  if (result == ENOMEM) {
    ErrorMessageIfEnabled("out of memory !");
  } else if (result == ENOENT || result == ENOTDIR) {
    ErrorMessageIfEnabled("file not found");
  } else {
    ErrorMessageIfEnabled("Exec error " + std::to_string(result));
  }
}

// Closes the open file; false (message, AbortFlag) when it could not be completed.
bool CloseOutputFile(bool keep) {
  if (!gFile) return false;
  std::unique_ptr<CadOutputFile> file = std::move(gFile);
  if (!keep) return false;  // the destructor drops the unfinished file, the old one stays
  std::string error;
  if (!file->Close(error)) {
    ErrorMessageIfEnabled(error.empty() ? "file write error " + NameText(PlotSettings.CadFileName)
                                        : error);
    AbortFlag = true;
    return false;
  }
  return true;
}

std::string FooterText() {
  // The data file's whole name, however it was opened; it comes from the system in UTF-8 and
  // the picture's texts are in the DOS code page.
  const std::string name = NameText(DataFileFullPath(), 120);
  return DateStr() + " " + TimeStr() + "  " + ProgramIdentity.programName + " " +
         ProgramIdentity.version + "  " + name;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Shared with the primitives and the blocks

namespace cad_internal {

TRoute Route() {
  switch (PlotSettings.CadCode) {
    case kCadScreen:
      if (!PlotSettings.inBlocks) return TRoute::Screen;
      return ScreenBlockWriter() ? TRoute::BlockFile : TRoute::Nothing;
    case kCadDxf:
    case kCadIges:
    case kCadPlot:
    case kCadText:
      return gFile ? TRoute::Writer : TRoute::Nothing;
    default:
      return TRoute::Nothing;
  }
}

CadWriter* RouteWriter() {
  switch (Route()) {
    case TRoute::Writer:
      return &gFile->Writer();
    case TRoute::BlockFile:
      return ScreenBlockWriter();
    default:
      return nullptr;
  }
}

void SyncTextStyle(CadWriter& writer) {
  TCadTextStyle style;
  style.height = PlotSettings.textHeight;
  style.widthFactor = PlotSettings.textWidthFactor;
  style.angle = PlotSettings.textAngle;
  style.oblique = PlotSettings.obliqueAngle;
  writer.SetTextStyle(style);
}

bool SinkInstalled() {
  return gSink != nullptr;
}

void Emit(TCadPrimitive& p) {
  if (!gSink) return;
  p.colour = PlotSettings.currentColour;
  p.layer = PlotSettings.currentLayer;
  if (Route() == TRoute::Writer && FileBlockOpen()) {
    p.inBlock = true;
    p.blockName = OpenBlockName();
  }
  gSink->OnPrimitive(p);
}

}  // namespace cad_internal

void InstallCadSink(CadSink* sink) {
  gSink = sink;
}

CadSink* InstalledCadSink() {
  return gSink;
}

CadWriter* CadFileWriter() {
  return gFile ? &gFile->Writer() : nullptr;
}

void ResetCadDriverForTests() {
  gFile.reset();
  gBorderPending = false;
  cad_internal::AbandonOpenBlock();
  cad_internal::ForgetBlocks(false);
  BlockTransform = TBlockTransform{};
}

// ---------------------------------------------------------------------------------------------
// Code, open and close

void CadSelectCode() {
  ScreenLines[1] = "DXF";
  ScreenLines[2] = "IGES";
  ScreenLines[3] = "Control Output to Screen";
  ScreenLines[4] = "VECTRIX - Send to Printer/Plotter";
  ScreenLines[5] = "TXT";
  HelpNumber = 2050;
  int code = PlotSettings.CadCode;
  InputCode("CAD Code", 5, code);
  if (AbortFlag) return;
  PlotSettings.CadCode = static_cast<std::uint16_t>(code);
  if (code != kCadPlot) return;

  TPlotCommandLines& lines = PlotSettings.PlotCommandLines;
  lines.count = std::clamp<std::uint16_t>(lines.count, 1, kPlotCommandLineCount);
  if (lines.count >= 2) {
    // The lines name programs and folders: shown as stored, in any script, not as code-page text.
    for (int i = 1; i <= lines.count; ++i) ScreenLines[i] = NameText(lines.lines[i]);
    HelpNumber = 2055;
    int current = std::clamp<int>(lines.current, 1, lines.count);
    InputCode("VECTRIX Command Line", lines.count, current);
    if (AbortFlag) return;
    lines.current = static_cast<std::uint16_t>(current);
  } else {
    lines.current = 1;
  }
  std::string& line = lines.lines[lines.current];
  // A stored line may name the drawing where an older run or version put it; what is offered
  // names the file the driver writes (the stored line changes only when a step is confirmed).
  std::string offered = PlotLineForDriverFile(line);

  if (TPlotProgramDialog dialog = InstalledPlotProgramDialog()) {
    std::string composed = offered;
    if (!dialog(composed)) {
      AbortFlag = true;
      return;
    }
    line = composed;
    offered = composed;
  }

  HelpNumber = 2060;
  std::string answer = offered;
  // The line names the program and its files: offered and kept byte for byte, however long.
  InputName("VECTRIX command line (0=Parameter)", 0, answer);
  if (AbortFlag) return;
  if (TrimStr(answer).empty() || TrimStr(answer).front() == '0') {
    // The questions start from the program of the line in force.
    answer = line;
    AskPlotCommandLine(answer, false);
    if (AbortFlag) return;
  }
  line = answer;
}

void CadOpen(std::uint16_t code) {
  PlotSettings.originX = 0.0L;
  PlotSettings.originY = 0.0L;
  PrintSettings.PictureKind = 0;
  if (code == 0) {
    CadSelectCode();
  } else {
    PlotSettings.CadCode = code;
  }
  if (AbortFlag) return;
  cad_internal::ResetNumberCheck();

  // Whatever an earlier drawing left open is dropped unwritten.
  gFile.reset();
  gBorderPending = false;
  cad_internal::AbandonOpenBlock();
  cad_internal::ForgetBlocks(PlotSettings.CadCode == kCadScreen);
  BlockTransform = TBlockTransform{};
  PlotSettings.inBlocks = false;

  switch (PlotSettings.CadCode) {
    case kCadDxf:
      if (!ChooseFileName("dxf") || !OpenOutputFile(kCadDxf)) return;
      break;
    case kCadIges:
      if (!ChooseFileName("igs") || !OpenOutputFile(kCadIges)) return;
      break;
    case kCadText:
      if (!ChooseFileName("txt") || !OpenOutputFile(kCadText)) return;
      break;
    case kCadScreen:
      if (GraphicsFacade) {
        GraphicsFacade->GrClear();
      }
      CursorWait();
      break;
    case kCadPlot:
      // Not a temporary file: the plot program may read it after this run has ended.
      PlotSettings.CadFileName = PlotDxfName() + ".dxf";
      if (!OpenOutputFile(kCadPlot)) return;
      break;
    default:
      break;
  }

  CadTextJustify(0, 0);
  CadSetLineSpacing(1.0L);
  CadSetLineStyle(0);
  CadSetDimensionSize(1.0L);
}

void CadClose() {
  const std::uint16_t code = PlotSettings.CadCode;
  gBorderPending = false;
  PlotSettings.inBlocks = false;
  switch (code) {
    case kCadDxf:
    case kCadIges:
    case kCadText:
      // An aborted drawing leaves the old file as it was.
      CloseOutputFile(!AbortFlag);
      break;
    case kCadScreen:
      cad_internal::AbandonOpenBlock();
      if (GraphicsFacade) GraphicsFacade->GrClearViewPort();
      CursorArrow();
      cad_internal::ForgetBlocks(true);
      CursorArrow();
      break;
    case kCadPlot:
      if (CloseOutputFile(!AbortFlag)) {
        const TPlotCommandLines& lines = PlotSettings.PlotCommandLines;
        const int current = std::clamp<int>(lines.current, 1, kPlotCommandLineCount);
        ReportStartFailure(StartPlotProgram(lines.lines[current]));
      }
      CursorArrow();
      break;
    default:
      break;
  }
}

bool CadLoopDone() {
  return true;
}

// ---------------------------------------------------------------------------------------------
// Driver state

void CadSetOrigin(long double x, long double y) {
  PlotSettings.originX = x;
  PlotSettings.originY = y;
}

void CadSetDimensionSize(long double v) {
  PlotSettings.dimensionSize = v * PlotSettings.cadFactor;
}

void CadSetLineSpacing(long double f) {
  PlotSettings.lineSpacing = f;
}

void CadTextJustify(int h, int v) {
  PlotSettings.justifyH = h;
  PlotSettings.justifyV = v;
}

void SetGraphicsKind(std::uint16_t k) {
  PrintSettings.PictureKind = static_cast<std::int16_t>(k);
}

void CadTextHeight(int style, long double angle, long double height, long double width) {
  const long double ratio = PlotSettings.cadTextWidthRatio;
  PlotSettings.textHeight = height;
  // A zero height has no width/height proportion: the plain proportion is kept then.
  if (width == 0.0L || height == 0.0L) {
    PlotSettings.textWidthFactor = 0.7L * ratio;
  } else {
    PlotSettings.textWidthFactor = (width / height) * ratio;
  }
  PlotSettings.textAngle = angle;
  PlotSettings.obliqueAngle = PlotSettings.cadFontAngle;
  if (PlotSettings.CadCode == kCadScreen && !PlotSettings.inBlocks && GraphicsFacade) {
    GraphicsFacade->GrSetTextStyle(style, angle, height, 0.95L * width);
  }
}

void CadTextHeightFit(int style, const std::string& text, int n, long double angle,
                      long double height, long double width) {
  const long double length = static_cast<long double>(text.size());
  if (n >= 0 && length > n) {
    height *= n / length;
    width *= n / length;
  }
  CadTextHeight(style, angle, height, width);
}

void CadColour(int n) {
  n = FoldCadColour(n);
  PlotSettings.currentColour = n;
  PlotSettings.currentLayer = LayerNameOf(n);
  using cad_internal::TRoute;
  const TRoute route = cad_internal::Route();
  if (CadWriter* writer = cad_internal::RouteWriter()) writer->SetColour(n);
  if (route != TRoute::Screen || !GraphicsFacade) return;

  int lineWidth = 1;
  if (n >= 0 && n <= 5) {
    GraphicsFacade->GrSetLineStyle(static_cast<std::int16_t>(n == 1 ? 2 : n == 2 ? 3 : 0));
    GraphicsFacade->GrSetMappedColour(static_cast<std::uint8_t>(PlotSettings.LayerColours[n]));
    if (n >= 1) lineWidth = PlotSettings.LayerLineWidths[n];
  } else {
    GraphicsFacade->GrSetLineStyle(0);
    if (n >= 16 && n <= 31) {
      GraphicsFacade->GrSetMappedColour(static_cast<std::uint8_t>(PlotSettings.PenNumbers[n]));
      const int w = PlotSettings.PenWidths[n];
      lineWidth = w >= 2 && w <= 50 ? w : 1;
    }
  }
  if (GraphicsWindowInstance) {
    GraphicsWindowInstance->SetLineWidth(static_cast<std::int16_t>(lineWidth));
  }
}

void CadSetLineStyle(int n) {
  if (cad_internal::Route() == cad_internal::TRoute::Screen && GraphicsFacade) {
    GraphicsFacade->GrSetLineStyle(static_cast<std::int16_t>(n));
  }
}

// ---------------------------------------------------------------------------------------------
// Sheet frame

void CadSheetFrame(long double x1, long double y1, long double x2, long double y2) {
  if (!cad_internal::DrawableNumbers({x1, y1, x2, y2})) return;
  PlotSettings.sheetXMin = x1;
  PlotSettings.sheetXMax = x2;
  PlotSettings.sheetYMin = y1;
  PlotSettings.sheetYMax = y2;
  PlotSettings.sheetWidth = x2 - x1;
  PlotSettings.sheetHeight = y2 - y1;
  const std::uint16_t code = PlotSettings.CadCode;
  using cad_internal::TRoute;
  if (cad_internal::Route() == TRoute::Writer) {
    gFile->Writer().SheetFrame(x1, y1, x2, y2);
  } else if (code == kCadScreen && GraphicsFacade) {
    GraphicsFacade->GrHeader(x1, y1, x2, y2);
  }
  if (code == kCadScreen && PrintSettings.PrintBorder) {
    CadColour(19);
    CadRectangle(x1, y1, x2, y2);
  } else if (code == kCadPlot && PrintSettings.PrintBorder) {
    gBorderPending = cad_internal::Route() == TRoute::Writer;
  }
  CadColour(29);
  if (code == kCadScreen) {
    const long double width = PlotSettings.sheetWidth;
    const long double height = PlotSettings.sheetHeight;
    CadTextHeight(2, 0.0L, 0.006L * height, 0.0045L * width);
    CadColour(30);
    if (!PlotSettings.HideFooterLine) {
      CadText(x1 + 0.005L * width, y1 + 0.002L * height, FooterText());
    }
  }
}

void cad_internal::DrawPendingBorder() {
  if (!gBorderPending) return;
  gBorderPending = false;
  const int colour = PlotSettings.currentColour;
  CadColour(19);
  CadRectangle(PlotSettings.sheetXMin, PlotSettings.sheetYMin, PlotSettings.sheetXMax,
               PlotSettings.sheetYMax);
  CadColour(colour);
}

// ---------------------------------------------------------------------------------------------
// Dimensioning

void CadArrow(long double x, long double y, long double a, long double h, long double length,
              long double shaft) {
  const long double r = a * kRadPerDeg;
  const long double rp = (a + h) * kRadPerDeg;
  const long double rm = (a - h) * kRadPerDeg;
  CadSolid(x, y, x + length * std::cos(rp), y + length * std::sin(rp), x + length * std::cos(rm),
           y + length * std::sin(rm), x + length * std::cos(r), y + length * std::sin(r));
  CadLine(x, y, x + shaft * std::cos(r), y + shaft * std::sin(r));
}

void CadDimArrow(long double x, long double y, long double angle) {
  const long double s = PlotSettings.dimensionSize;
  CadArrow(x, y, angle, 10.0L, 3.5L * s, 3.5L * s);
}

void CadDimension(const std::string& text, const std::string& upper, const std::string& lower,
                  long double x1, long double y1, long double x2, long double y2,
                  long double level) {
  const long double s = PlotSettings.dimensionSize;
  CadColour(3);
  const long double end = x1 > level ? level - s : level + s;
  CadLine(x1, y1, end, y1);
  CadLine(x2, y2, end, y2);
  CadDimensionLine(text, upper, lower, y1, y2, level);
}

void CadDimensionLine(const std::string& text, const std::string& upper, const std::string& lower,
                      long double ya, long double yb, long double level) {
  const long double s = PlotSettings.dimensionSize;
  if (yb < ya) std::swap(ya, yb);
  // Short dimensions get their arrows outside. Compared without dividing by the size, which
  // may be 0.
  if (yb - ya <= 10.0L * s) std::swap(ya, yb);

  CadTextHeight(2, 90.0L, 3.5L * s, 2.5L * s);
  const long double textLength = static_cast<long double>(text.size());
  long double w = PlotSettings.textWidthFactor;
  const long double m = 1.0L + static_cast<long double>(std::max(upper.size(), lower.size()));
  const long double tolerance = 1.8L * m * w * s * 1.1L;
  const long double total = tolerance + textLength * 2.5L * w * s * 1.2L;
  const long double y0 = (ya + yb) / 2.0L - total / 2.0L;
  CadText(level - s, y0, text);

  CadTextHeight(2, 90.0L, 2.5L * s, 1.8L * s);
  w = PlotSettings.textWidthFactor;
  const long double y1 = y0 + (textLength + 1.0L) * 2.5L * w * s * 1.2L;

  const bool hasUpper = !TrimStr(upper).empty();
  const bool hasLower = !TrimStr(lower).empty();
  if (hasLower && !hasUpper) {
    CadText(level - 0.5L * s, y1, lower);
  } else if (hasUpper && !hasLower) {
    CadText(level - 2.5L * s, y1, upper);
  } else if (hasUpper && hasLower) {
    const long double u = StrToReal(upper);
    const long double l = StrToReal(lower);
    if (u == -l && u != 0.0L) {
      CadText(level + 1.25L * s, y1, "\xF1" + TrimStr(upper));  // "±" in the DOS code page
    } else {
      if (l < 0.0L) {
        CadText(level + 0.5L * s, y1, lower);
      } else if (l > 0.0L) {
        CadText(level + 0.5L * s, y1, "+" + lower);
      }
      if (u < 0.0L) {
        CadText(level - 2.5L * s, y1, upper);
      } else if (u > 0.0L) {
        CadText(level - 2.5L * s, y1, "+" + upper);
      }
    }
  }

  CadLine(level, ya, level, yb);
  CadDimArrow(level, ya, 90.0L);
  CadDimArrow(level, yb, 270.0L);
}
