// Sheet frames, title blocks and change rows.
#include "drawings/title_block.h"

#include <algorithm>
#include <initializer_list>

#include "common/codepage.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/kept_file_names.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "drawings/centre_lines.h"
#include "drawings/drawing_documentation.h"
#include "graphics/cad_blocks.h"

namespace {

struct TSeg {
  long double x1, y1, x2, y2;
};

struct TLabel {
  long double x, y;
  const char* text;
};

struct TPoint {
  long double x, y;
};

constexpr int kPrintedChanges = 8;
constexpr int kDataFileNameWidth = 150;

void Lines(std::initializer_list<TSeg> segs) {
  for (const TSeg& s : segs) CadLine(s.x1, s.y1, s.x2, s.y2);
}

void Labels(std::initializer_list<TLabel> labels) {
  for (const TLabel& l : labels) CadText(l.x, l.y, l.text);
}

void Size(long double height, long double width) {
  CadTextHeight(2, 0.0L, height, width);
}

// Text in a field of n characters: a longer text is written smaller.
void FitText(const std::string& text, int n, long double height, long double width, long double x,
             long double y) {
  CadTextHeightFit(2, text, n, 0.0L, height, width);
  CadText(x, y, text);
}

std::string TitleText(const std::string& t) {
  std::string bare = t;
  bare.erase(std::remove(bare.begin(), bare.end(), ' '), bare.end());
  return bare == "/" ? std::string() : t;
}

std::string Info(int item) {
  return ChangeRecords.drawingInfo[item];
}

// Full name of the current data file as the window's footer shows it (the drawing's texts are
// in the DOS code page; the name comes from the system in UTF-8).
std::string DataFileNameText(int width) {
  return NameText(DataFileFullPath(), width);
}

// The last eight changes, row k (1..8) on base line baseY + rowStep k.
void DrawChangeList(long double baseY, long double rowStep, long double xIndex, long double xText,
                    long double xDate, long double xName) {
  const int count = UsedChangeCount();
  if (count == 0) return;
  Size(1.7L, 1.3L);
  CadColour(3);
  const int first = count > kPrintedChanges ? count - kPrintedChanges + 1 : 1;
  for (int i = first; i <= count; ++i) {
    const long double y = baseY + rowStep * (i - first + 1);
    const TChangeRecord& change = ChangeRecords.changes[i];
    CadText(xIndex, y, ChangeIndexText(i));
    CadText(xText, y, change.modification);
    CadText(xDate, y, change.date);
    CadText(xName, y, change.editor);
  }
}

void DrawPlacedTexts() {
  for (int i = 1; i <= UsedDrawingTextCount(); ++i) {
    const TDrawingTextRecord& r = ChangeRecords.texts[i];
    if (!(r.height > 0.0L)) continue;
    CadTextHeight(2, r.angle, r.height, 0.8L * r.height);
    CadText(r.x, r.y, r.text);
  }
}

void DrawFileAndDateLines(long double dateX) {
  CadColour(3);
  Size(1.5L, 1.2L);
  if (!PlotSettings.HideFileName) {
    CadText(18.0L, 1.0L, DataFileNameText(kDataFileNameWidth));
  }
  if (!PlotSettings.HideDateLine) CadText(dateX, 1.0L, DateStr() + " " + TimeStr());
}

// Only a block defined in the drawing now open may be inserted: a block file left from an
// earlier drawing would name a block that the plot program's file does not define.
void InsertLogo(long double x, long double y, long double scale) {
  if (PlotSettings.HideLogo) return;
  CadColour(0);
  const auto code = PlotSettings.CadCode;
  if ((code == kCadScreen || code == kCadPlot) && CadBlockAvailable(kTitleLogoBlock)) {
    CadInsertBlock(kTitleLogoBlock, x, y, 0.0L, scale, scale);
  }
}

bool IsDinKind(int kind) {
  return kind == kTitleBlockDinMinimal || kind == kTitleBlockDin;
}
bool IsIsoKind(int kind) {
  return kind == kTitleBlockIsoFig1 || kind == kTitleBlockIsoFig2;
}

// Lower left corner of the configured title block on the sheet.
TPoint TitleBlockOrigin(int format, int kind) {
  if (format == 4) return IsDinKind(kind) ? TPoint{17.9L, 5.0L} : TPoint{25.0L, 5.0L};
  if (format == 3) return IsDinKind(kind) ? TPoint{227.8L, 5.0L} : TPoint{235.0L, 5.0L};
  return {PlotSettings.originX, PlotSettings.originY};
}

// The logo's place and scale inside the configured title block: a field the block leaves
// empty (the narrow field of ISO Fig. 1 takes it at three quarters of its size).
struct TLogoPlace {
  long double x, y, scale;
};
TLogoPlace LogoPlace(int kind) {
  if (IsDinKind(kind)) return {56.0L, 5.5L, 1.0L};
  if (kind == kTitleBlockIsoFig2) return {2.0L, 2.0L, 1.0L};
  return {0.5L, 4.5L, 0.75L};
}

void DrawIsoTitleBlock(int kind, const std::string& t1, const std::string& t2,
                       const std::string& t3) {
  CadColour(5);
  Size(1.6L, 1.3L);
  if (kind == kTitleBlockIsoFig1) {
    CadRectangle(0, 0, 180, 27);
    CadColour(3);
    Lines({{74, 0, 74, 27},
           {0, 18, 180, 18},
           {128, 0, 128, 18},
           {128, 9, 180, 9},
           {136, 0, 136, 9},
           {160, 0, 160, 9},
           {170, 0, 170, 9},
           {31, 0, 31, 27},
           {135, 18, 135, 27},
           {31, 9, 74, 9}});
    Labels({{1, 24.5L, "Responsible dept."},
            {32, 24.5L, "Technical reference"},
            {75, 24.5L, "Document type"},
            {136, 24.5L, "Document status"},
            {32, 15.5L, "Created by"},
            {75, 15.5L, "Title, Supplementary title"},
            {32, 6.5L, "Approved by"},
            {129, 6.5L, "Rev."},
            {137, 6.5L, "Date of issue"},
            {161, 6.5L, "Lang."},
            {171, 6.5L, "Page"}});
    Size(2.5L, 1.8L);
    CadColour(4);
    CadText(33, 11, Info(kComplName));
    CadText(33, 2, Info(kReleaseName));
    CadText(33, 20, Info(kStandName));
  } else {
    CadRectangle(0, 0, 180, 36);
    CadColour(3);
    Lines({{74, 0, 74, 36},
           {0, 27, 180, 27},
           {74, 18, 180, 18},
           {128, 0, 128, 27},
           {128, 9, 180, 9},
           {136, 0, 136, 9},
           {160, 0, 160, 9},
           {170, 0, 170, 9},
           {31, 27, 31, 36},
           {116, 27, 116, 36},
           {158, 27, 158, 36}});
    Labels({{1, 33.5L, "Responsible dept."},
            {32, 33.5L, "Technical reference"},
            {75, 33.5L, "Created by"},
            {117, 33.5L, "Approved by"},
            {75, 24.5L, "Document type"},
            {129, 24.5L, "Document status"},
            {75, 15.5L, "Title, Supplementary title"},
            {129, 6.5L, "Rev."},
            {137, 6.5L, "Date of issue"},
            {161, 6.5L, "Lang."},
            {171, 6.5L, "Page"}});
    Size(2.5L, 1.8L);
    CadColour(4);
    CadText(76, 29, Info(kComplName));
    CadText(118, 29, Info(kReleaseName));
    CadText(33, 29, Info(kStandName));
  }
  CadColour(5);
  FitText(t3, 18, 3.5L, 2.8L, 130, 12);
  FitText(t1, 18, 3.5L, 2.8L, 76, 10);
  CadColour(4);
  FitText(t2, 25, 2.5L, 1.8L, 76, 4);
  Size(2.5L, 1.8L);
  const int count = UsedChangeCount();
  CadText(130, 2, std::string(1, static_cast<char>('A' + count)));
  CadText(138, 2, DateStrISO());
}

void DrawDinTitleBlock(int kind, const std::string& t1, const std::string& t2,
                       const std::string& t3) {
  const bool full = kind == kTitleBlockDin;
  const long double height = full ? 55.25L : 38.25L;
  CadColour(5);
  CadRectangle(0, 0, 187.2L, height);
  CadColour(4);
  Lines({{0, 4.25L, 187.2L, 4.25L}, {54.6L, 17, 187.2L, 17}});
  if (full) {
    Lines({{98.8L, 48.875L, 187.2L, 48.875L},
           {0, 38.25L, 187.2L, 38.25L},
           {54.6L, 0, 54.6L, 55.25L},
           {98.8L, 0, 98.8L, 55.25L}});
  } else {
    Lines({{54.6L, 0, 54.6L, 38.25L}, {98.8L, 0, 98.8L, 38.25L}});
  }
  CadColour(3);
  Lines({{174.2L, 8.5L, 187.2L, 8.5L},
         {7.8L, 0, 7.8L, 38.25L},
         {33.8L, 0, 33.8L, 38.25L},
         {46.8L, 0, 46.8L, 38.25L},
         {65, 17, 65, 38.25L},
         {143, 0, 143, 4.25L}});
  if (full) {
    Lines({{80.6L, 17, 80.6L, 55.25L}, {150.8L, 48.875L, 150.8L, 55.25L}});
  } else {
    Lines({{80.6L, 17, 80.6L, 38.25L}});
  }
  Lines({{174.2L, 4.25L, 174.2L, 17}});
  for (int i = 2; i <= 8; ++i) CadLine(0, 4.25L * i, 54.6L, 4.25L * i);
  for (int i = 5; i <= 8; ++i) CadLine(54.6L, 4.25L * i, 98.8L, 4.25L * i);

  Size(1.6L, 1.3L);
  Labels({{1, 1, "Cond."}, {8.8L, 1, "Modification"}, {34.8L, 1, "Date"}, {47.8L, 1, "Name"}});
  Size(1.8L, 1.5L);
  Labels({{66, 35, "Date"},
          {81.6L, 35, "Name"},
          {55.6L, 30.75L, "Compl."},
          {55.6L, 26.5L, "Check"},
          {55.6L, 22.25L, "Stand."}});
  CadText(55.6L, 18, PlotSettings.ReleaseRowLabel);
  const long double rowY[] = {30.75L, 26.5L, 22.25L, 18.0L};
  const int dates[] = {kComplDate, kCheckDate, kStandDate, kReleaseDate};
  const int names[] = {kComplName, kCheckName, kStandName, kReleaseName};
  for (int r = 0; r < 4; ++r) {
    CadText(66, rowY[r], Info(dates[r]));
    CadText(81.6L, rowY[r], Info(names[r]));
  }
  if (!Info(kReplacementFor).empty()) CadText(99.8L, 1, "Replacement for " + Info(kReplacementFor));
  if (!Info(kReplacedBy).empty()) CadText(144, 1, "Replaced by " + Info(kReplacedBy));
  DrawChangeList(1.0L, 4.25L, 1.0L, 8.8L, 34.8L, 47.8L);
  CadColour(5);
  FitText(t1, 20, 5.0L, 4.0L, 100.8L, 28.625L);
  FitText(t3, 18, 5.0L, 4.0L, 100.8L, 7.375L);
  CadColour(4);
  FitText(t2, 28, 3.5L, 2.8L, 100.8L, 20.125L);
}

}  // namespace

std::string ChangeIndexText(int i) {
  switch (ConfigVariables.ChangeIndexStyle) {
    case 0:
      return std::string(1, static_cast<char>('a' + i - 1));
    case 1:
      return IntStr(i);
    case 2:
      return std::string(1, static_cast<char>('A' + i - 1));
    default:
      return {};
  }
}

void DrawChangeRows() {
  DrawChangeList(6.5L, 4.2L, 21.0L, 27.0L, 52.5L, 66.0L);
}

void DrawTitleBlock(const std::string& t1In, const std::string& t2In, const std::string& t3In) {
  SetGraphicsKind(2);
  if (PlotSettings.HideTitleBlock || AbortFlag) return;
  const std::string t1 = TitleText(t1In);
  const std::string t2 = TitleText(t2In);
  const std::string t3 = TitleText(t3In);

  CadColour(5);
  CadRectangle(18, 5, 205, 292);
  CadLine(18, 43, 205, 43);
  CadColour(4);
  Lines({{73, 5, 73, 43}, {116, 5, 116, 43}, {73, 22, 205, 22}, {192, 9.4L, 192, 22}});
  CadColour(3);
  CadRectangle(0, 0, 210, 297);
  DrawLineSeries(8, 18, 43, 55, 4.2);
  DrawLineSeries(4, 73, 43, 43, 4.2);
  Lines({{26, 5, 26, 43},
         {52, 5, 52, 43},
         {65, 5, 65, 43},
         {82, 22, 82, 43},
         {98, 22, 98, 43},
         {73, 9.4L, 205, 9.4L},
         {160, 5, 160, 9.4L},
         {192, 14, 205, 14},
         {0, 148.5L, 15, 148.5L}});

  Size(1.6L, 1.3L);
  Labels({{19, 6, "Cond."}, {30, 6, "Modification"}, {54, 6, "Date"}, {65.6L, 6, "Name"}});
  Size(1.8L, 1.5L);
  Labels({{85, 39.8L, "Date"},
          {100, 39.8L, "Name"},
          {74, 35.6L, "Compl."},
          {74, 31.4L, "Check"},
          {74, 27.2L, "Stand."}});
  CadText(74, 23.2L, PlotSettings.ReleaseRowLabel);

  CadTextHeight(2, 90.0L, 1.8L, 1.5L);
  Labels({{4.0L, 10, "Copying of this document and giving it to other and the use"},
          {6.7L, 10, "or communication of the contents therof, are forbidden with-"},
          {9.4L, 10, "out express authority. Offenders are liable to the payment"},
          {12.1L, 10, "of damages. All rights are reserved in the event of the grant"},
          {14.8L, 10, "of a patent or the registration of a utility model or design."}});

  Size(1.8L, 1.5L);
  const long double rowY[] = {35.6L, 31.2L, 27.0L, 23.0L};
  const int dates[] = {kComplDate, kCheckDate, kStandDate, kReleaseDate};
  const int names[] = {kComplName, kCheckName, kStandName, kReleaseName};
  for (int r = 0; r < 4; ++r) {
    CadText(83.5L, rowY[r], Info(dates[r]));
    CadText(100, rowY[r], Info(names[r]));
  }
  Labels({{194, 18, "Page"}, {200, 10.4L, "Pg."}});
  if (!Info(kReplacementFor).empty())
    CadText(118, 6.5L, "Replacement for " + Info(kReplacementFor));
  if (!Info(kReplacedBy).empty()) CadText(162, 6.5L, "Replaced by " + Info(kReplacedBy));

  DrawChangeRows();
  DrawPlacedTexts();

  CadColour(5);
  FitText(t1, 19, 5.0L, 4.0L, 120, 32.5L);
  FitText(t3, 17, 5.0L, 4.0L, 120, 12);
  CadColour(4);
  FitText(t2, 30, 3.5L, 2.8L, 120, 25);

  DrawFileAndDateLines(186.0L);
  InsertLogo(75.0L, 10.5L, 1.0L);
}

void DrawSheetWithTitleBlock(int format, const std::string& t1, const std::string& t2,
                             const std::string& t3) {
  if (format == 3) SetGraphicsKind(3);
  if (format == 4) SetGraphicsKind(2);
  if (PlotSettings.HideTitleBlock || AbortFlag) return;
  if (format == 3) {
    CadColour(5);
    CadRectangle(15, 5, 415, 292);
    CadColour(3);
    CadRectangle(0, 0, 420, 297);
  } else if (format == 4) {
    CadColour(5);
    CadRectangle(18, 5, 205, 292);
    CadColour(3);
    CadRectangle(0, 0, 210, 297);
  }
  DrawConfiguredTitleBlock(format, t1, t2, t3);
  DrawPlacedTexts();
  DrawFileAndDateLines(format == 3 ? 395.0L : 186.0L);
  const int kind = ConfigVariables.TitleBlockKind;
  if (IsDinKind(kind) || IsIsoKind(kind)) {
    const TPoint origin = TitleBlockOrigin(format, kind);
    const TLogoPlace place = LogoPlace(kind);
    InsertLogo(origin.x + place.x, origin.y + place.y, place.scale);
  }
}

void DrawConfiguredTitleBlock(int format, const std::string& t1In, const std::string& t2In,
                              const std::string& t3In) {
  const int kind = ConfigVariables.TitleBlockKind;
  const TPoint origin = TitleBlockOrigin(format, kind);
  CadSetOrigin(origin.x, origin.y);
  const std::string t1 = TitleText(t1In);
  const std::string t2 = TitleText(t2In);
  const std::string t3 = TitleText(t3In);
  if (IsIsoKind(kind)) {
    DrawIsoTitleBlock(kind, t1, t2, t3);
  } else if (IsDinKind(kind)) {
    DrawDinTitleBlock(kind, t1, t2, t3);
  }
  CadSetOrigin(0.0L, 0.0L);
}

void SetSheetExtents(int format) {
  if (format == 3) CadSheetFrame(-2, -5, 422, 305);
  if (format == 4) CadSheetFrame(-5, -5, 215, 307);
}
