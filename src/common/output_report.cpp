// The result output router's layout: page headers, lines, rows, paging and the messages section,
// for the paper, tab-separated and HTML devices.
#include <algorithm>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/error_explanations.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "common/text_file.h"

namespace {

int Device() {
  return OutputState.CurrentOutputDevice;
}

// Puts sub at the 1-based column, cut to what fits before the end of the line.
void PutClipped(std::string_view sub, std::string& line, int column) {
  if (column < 1 || column > static_cast<int>(line.size())) return;
  std::size_t room = line.size() - static_cast<std::size_t>(column - 1);
  PutStr(sub.substr(0, room), line, column);
}

// A boxed header line: the side characters at columns 1 and 70, content from column 4.
std::string BoxedLine(std::string_view content) {
  std::string line(kReportWidth, ' ');
  line[0] = BoxSideChar();
  line[kReportWidth - 1] = BoxSideChar();
  std::string inner(kReportWidth - 4, ' ');  // columns 4 to 69
  if (HoldsName(content)) {
    // A name is as long as its characters, not its bytes.
    const std::size_t shown = ShownLength(content);
    inner =
        std::string(content) + std::string(shown < inner.size() ? inner.size() - shown : 0, ' ');
    return line.substr(0, 3) + inner + line.substr(kReportWidth - 1);
  }
  PutClipped(content, inner, 1);
  PutStr(inner, line, 4);
  return line;
}

bool IsRule(std::string_view text) {
  return text == RuleSingle() || text == RuleDouble() || text == kSuppressedLine;
}

// A line of markup on the HTML device, as ReportLine writes a text there but not escaped.
void HtmlMarkupLine(std::string_view markup) {
  HtmlTableClose();
  ++OutputState.lineCounter;
  OutputWrite("<br>" + std::string(markup));
}

// Header lines never end their page.
struct HeaderGuard {
  bool previous;
  HeaderGuard() : previous(OutputState.inHeader) { OutputState.inHeader = true; }
  ~HeaderGuard() { OutputState.inHeader = previous; }
};

std::string CaptionVersion(std::string_view separator) {
  return ProgramIdentity.caption + std::string(separator) + ProgramIdentity.version;
}

// The data file's whole name, or only its own name when the whole one would not fit the box.
std::string FileLine() {
  std::string name = DataFileFullPath();
  if (ShownLength(NameText(name)) > 69) name = name.substr(name.find_last_of('/') + 1);
  return NameText(name, kReportWidth - 4);
}

void PaperPageHeader(int pageArg, int mode) {
  auto& st = OutputState;
  const bool veryFirst = pageArg == 0 && st.pageCounter == 0;
  const bool forced = pageArg == 1 || veryFirst;
  AskInsertPaper();
  if (AbortFlag) return;
  if (ConfigVariables.ReportHeaderMode == 2 && !forced) {
    // The blank line stands on the page like any other.
    ++st.lineCounter;
    OutputWrite(" ");
    return;
  }
  if (CompressedLayout() && !forced && st.lineCounter < ProgramSettings.LinesPerPage / 2) return;

  HeaderGuard guard;
  st.lineCounter = 0;
  st.bodyLines = 0;
  st.pageHeaderMode = mode;
  ++st.pageCounter;
  const int page = pageArg == 0 ? st.pageCounter : pageArg;
  if (CompressedLayout()) ReportLine("");
  for (int i = 0; i < ConfigVariables.HeaderSpaceLines; ++i) ReportLine("");
  ReportLine(RuleBoxTop());
  if (AbortFlag) return;

  std::string title = BoxedLine(st.reportTitle);
  if (ConfigVariables.ReportHeaderMode != 2) {
    if (st.pageTotal > 0) {
      PutStr("pg." + IntStrW(page, 2) + "/" + IntStrW(st.pageTotal, 2), title, 60);
      st.titleLines.push_back(st.linesWritten);
    } else {
      PutStr("pg." + IntStrW(page, 2), title, 64);
    }
  }
  ReportLine(title);

  std::string dateLine = BoxedLine("");
  PutStr(DateStr(), dateLine, 53);
  PutStr(TimeStr(), dateLine, 64);
  ReportLine(dateLine);

  ReportLine(BoxedLine(FileLine()));
  ReportLine(RuleBoxMiddle());
  for (int i = 1; i <= 4; ++i) {
    if (i == 4 && st.headerLines[4].empty()) break;
    ReportLine(BoxedLine(st.headerLines[i]));
  }
  if (mode == 1) {
    ReportLine(RuleBoxMiddle());
    ReportColumnTitles();
  } else {
    ReportLine(RuleBoxBottom());
  }
}

}  // namespace

// Rules of the line types.

bool CompressedLayout() {
  return ProgramSettings.ReportLineType == 4;
}

namespace {
int LineType() {
  int t = ProgramSettings.ReportLineType;
  return (t >= 1 && t <= 3) ? t : 4;
}
std::string BoxRule(char corner1, char fill, char corner2) {
  return std::string(1, corner1) + std::string(kReportWidth - 2, fill) + std::string(1, corner2);
}
}  // namespace

std::string RuleSingle() {
  switch (LineType()) {
    case 1:
      return std::string(kReportWidth, '-');
    case 2:
      return std::string(kReportWidth, static_cast<char>(196));
    case 3:
      return std::string(kReportWidth, ' ');
    default:
      return kSuppressedLine;
  }
}
std::string RuleDouble() {
  switch (LineType()) {
    case 1:
      return std::string(kReportWidth, '=');
    case 2:
      return std::string(kReportWidth, static_cast<char>(205));
    case 3:
      return std::string(kReportWidth, ' ');
    default:
      return kSuppressedLine;
  }
}
std::string RuleBoxTop() {
  switch (LineType()) {
    case 1:
      return std::string(kReportWidth, '*');
    case 2:
      return BoxRule(static_cast<char>(201), static_cast<char>(205), static_cast<char>(187));
    case 3:
      return std::string(kReportWidth, ' ');
    default:
      return kSuppressedLine;
  }
}
std::string RuleBoxBottom() {
  switch (LineType()) {
    case 1:
      return std::string(kReportWidth, '*');
    case 2:
      return BoxRule(static_cast<char>(200), static_cast<char>(205), static_cast<char>(188));
    case 3:
      return std::string(kReportWidth, ' ');
    default:
      return kSuppressedLine;
  }
}
std::string RuleBoxMiddle() {
  switch (LineType()) {
    case 1:
      return std::string(kReportWidth, '*');
    case 2:
      return BoxRule(static_cast<char>(204), static_cast<char>(205), static_cast<char>(185));
    case 3:
      return std::string(kReportWidth, ' ');
    default:
      return kSuppressedLine;
  }
}
char BoxSideChar() {
  switch (LineType()) {
    case 1:
      return '*';
    case 2:
      return static_cast<char>(186);
    default:
      return ' ';
  }
}

void HtmlTableOpen() {
  HtmlTableClose();
  OutputWrite("<TABLE BORDER = \"2\" WIDTH= \"100%\">");
  OutputState.htmlTableOpen = true;
}

void HtmlTableClose() {
  if (!OutputState.htmlTableOpen) return;
  OutputWrite("</TABLE>");
  OutputState.htmlTableOpen = false;
}

void ReportPageHeader(int pageArg, int mode) {
  auto& st = OutputState;
  const bool forced = pageArg == 1 || (pageArg == 0 && st.pageCounter == 0);
  if (IsTabDevice(Device())) {
    if (!forced) return;
    OutputWrite(CaptionVersion(" V") + "\t" + DateStr() + "\t" + TimeStr());
    // The data file the listing belongs to: the listing itself may be a scratch file on its
    // way into a spreadsheet.
    OutputWrite(NameText(DataFileFullPath()));
    for (int i = 1; i <= 3; ++i) OutputWrite(DrawingTexts[i]);
    OutputWrite(" ");
    // Without the titles nobody could tell which value column is which part.
    if (mode == 1) ReportColumnTitles();
    ++st.pageCounter;
    return;
  }
  if (IsHtmlDevice(Device())) {
    if (!forced) return;
    // A page handed around holds no path of the machine it was made on.
    OutputWrite("<!DOCTYPE html>");
    OutputWrite("<HTML>");
    OutputWrite("<head><meta charset=\"utf-8\"><title>" + HtmlEscape(CaptionVersion(" V")) +
                "</title></head>");
    OutputWrite("<BODY BGCOLOR=\"C0C0C0\">");
    OutputWrite("<hr>");
    HtmlMarkupLine("<h4>" + HtmlEscape(CaptionVersion(" V")) + "</h4>");
    OutputWrite("<hr>");
    for (int i = 1; i <= 4; ++i) OutputWrite("<h5>" + HtmlEscape(st.headerLines[i]) + "</h5>");
    OutputWrite("<hr>");
    ++st.pageCounter;
    return;
  }
  PaperPageHeader(pageArg, mode);
}

void ReportLine(std::string_view text) {
  auto& st = OutputState;
  if (IsTabDevice(Device())) {
    if (!IsRule(text)) OutputWrite(text);
    return;
  }
  if (IsHtmlDevice(Device())) {
    HtmlTableClose();
    ++st.lineCounter;
    if (!IsRule(text)) OutputWrite("<br>" + HtmlEscape(text));
    return;
  }
  if (text == kSuppressedLine) return;
  ++st.lineCounter;
  ReportCheckPage(st.pageHeaderMode);
  OutputWrite(std::string(kReportIndent, ' ') + std::string(text));
  if (!st.inHeader) ++st.bodyLines;
}

void ReportCheckPage(int mode) {
  auto& st = OutputState;
  // A header never breaks its own page, and a page that holds only its header takes at least
  // one line, so small page lengths still make progress.
  if (st.inHeader || st.bodyLines == 0) return;
  if (st.lineCounter < ProgramSettings.LinesPerPage) return;
  if (ConfigVariables.ReportHeaderMode == 2) {
    OutputWrite("\f");
    st.lineCounter = 0;
    return;
  }
  HeaderGuard guard;
  ReportPageEnd();
  ReportPageHeader(0, mode);
  ReportLine("");
  st.bodyLines = 0;
  // The line being written counts on the new page.
  ++st.lineCounter;
}

void ReportPageEnd() {
  auto& st = OutputState;
  const int device = Device();
  if (IsTabDevice(device) || IsHtmlDevice(device)) return;
  if (CompressedLayout() && st.lineCounter < ProgramSettings.LinesPerPage / 2) return;
  if (device == kDeviceScreen || device == kDevicePrinter) {
    OutputWrite("\f");
  } else if (device == kDeviceTextPrinter) {
    OutputWriteChars("\f");
  }
  st.lineCounter = 0;
}

void ReportKeepLines(int mode) {
  auto& st = OutputState;
  if (!IsPaperDevice(Device())) return;
  if (st.bodyLines == 0) return;  // a fresh page: breaking it again would only repeat the header
  if (st.lineCounter > std::max(ProgramSettings.LinesPerPage - 10, 10)) {
    ReportPageEnd();
    ReportPageHeader(0, mode);
  }
}

void ReportColumnTitles() {
  const auto& t = OutputState.columnTitles;
  if (IsTabDevice(Device())) {
    ReportLine(t[1] + "\t" + t[2] + "\t" + t[3] + "\t" + t[4] + "\t" + t[5]);
    return;
  }
  if (IsHtmlDevice(Device())) {
    HtmlTableOpen();
    std::string row = "<TR><TD><CENTER>" + HtmlEscape(t[1]) + "</CENTER></TD>";
    for (int i = 2; i <= 5; ++i) row += "<TD>" + HtmlEscape(t[i]) + "</TD>";
    OutputWrite(row + "</TR>");
    return;
  }
  const auto& st = OutputState;
  std::string line(kReportWidth, ' ');
  line[0] = BoxSideChar();
  line[kReportWidth - 1] = BoxSideChar();
  PutClipped(t[1], line, 3);
  PutClipped(t[2], line, st.symbolColumn);
  PutClipped(t[3], line, st.unitColumn);
  PutClipped(t[4], line, st.part1Column);
  PutClipped(t[5], line, st.part2Column);
  line[kReportWidth - 1] = BoxSideChar();
  ReportLine(line);
  ReportLine(RuleBoxBottom());
  ReportLine("");
}

void ReportTextRow(std::string_view text) {
  if (IsHtmlDevice(Device())) {
    if (!OutputState.htmlTableOpen) HtmlTableOpen();
    OutputWrite("<TR><TD>" + HtmlEscape(text) + "</TD></TR>");
    return;
  }
  ReportLine(text);
}

void ReportRow(std::string_view text, std::string_view symbol, std::string_view unit,
               std::string_view value) {
  const auto& st = OutputState;
  if (IsTabDevice(Device())) {
    OutputWrite(std::string(text) + "\t" + std::string(symbol) + "\t" + std::string(unit) + "\t" +
                std::string(value));
    return;
  }
  if (IsHtmlDevice(Device())) {
    if (!st.htmlTableOpen) HtmlTableOpen();
    OutputWrite("<TR><TD>" + HtmlEscape(text) + "</TD><TD>" + HtmlEscape(symbol) + "</TD><TD>" +
                HtmlEscape(unit) + "</TD><TD><DIV ALIGN=RIGHT>" + HtmlEscape(value) +
                "</DIV></TD></TR>");
    return;
  }
  std::string line(kReportWidth, ' ');
  PutClipped(text, line, 1);
  PutClipped(symbol, line, st.symbolColumn);
  PutClipped(unit, line, st.unitColumn);
  std::string v(value);
  const int room = kReportWidth - st.singleValueColumn;
  if (static_cast<int>(v.size()) > room) v = TrimStr(v);
  if (static_cast<int>(v.size()) > room) {
    // Still too long: right-aligned at the end of the line (a value never vanishes).
    if (static_cast<int>(v.size()) >= kReportWidth) line.resize(v.size() + 1, ' ');
    PutStr(v, line, static_cast<int>(line.size()) - static_cast<int>(v.size()));
  } else {
    PutStr(v, line, st.singleValueColumn);
  }
  ReportLine(line);
  if (!CompressedLayout()) ReportLine(RuleSingle());
}

void ReportRowTwoParts(std::string_view text, std::string_view symbol, std::string_view unit,
                       std::string_view value1, std::string_view value2) {
  const auto& st = OutputState;
  if (IsTabDevice(Device())) {
    OutputWrite(std::string(text) + "\t" + std::string(symbol) + "\t" + std::string(unit) + "\t" +
                std::string(value1) + "\t" + std::string(value2));
    return;
  }
  if (IsHtmlDevice(Device())) {
    if (!st.htmlTableOpen) ReportColumnTitles();
    OutputWrite("<TR><TD>" + HtmlEscape(text) + "</TD><TD>" + HtmlEscape(symbol) + "</TD><TD>" +
                HtmlEscape(unit) + "</TD><TD>" + HtmlEscape(value1) + "</TD><TD>" +
                HtmlEscape(value2) + "</TD></TR>");
    return;
  }
  std::string line(kReportWidth + 1, ' ');
  PutClipped(text, line, 1);
  PutClipped(symbol, line, st.symbolColumn);
  PutClipped(unit, line, st.unitColumn);
  // Wide values (a high digits setting) push the line out instead of vanishing: the second
  // value starts after the first one and the line grows to hold it.
  const int col1 = st.part1Column;
  const int col2 = std::max(st.part2Column, col1 + static_cast<int>(value1.size()) + 1);
  const std::size_t needed = static_cast<std::size_t>(col2 - 1) + value2.size();
  if (line.size() < needed) line.resize(needed, ' ');
  const std::size_t needed1 = static_cast<std::size_t>(col1 - 1) + value1.size();
  if (line.size() < needed1) line.resize(needed1, ' ');
  PutStr(value1, line, col1);
  PutStr(value2, line, col2);
  ReportLine(line);
  if (!CompressedLayout()) ReportLine(RuleSingle());
}

void ReportWrapText(std::string_view text) {
  if (text.empty()) return;
  if (!IsPaperDevice(Device()) || text.size() <= 72) {
    ReportTextRow(text);
    return;
  }
  std::string rest(text);
  while (!rest.empty()) {
    int widest = 0;
    int count = 0;
    WrapText(rest, ' ', 64, widest, count);
    std::size_t used = 0;
    for (int i = 1; i <= count; ++i) {
      ReportTextRow(TextPieces[i]);
      used += TextPieces[i].size();
    }
    // WrapText keeps five pieces; a longer text goes on with what is left.
    rest = used >= rest.size() ? std::string() : rest.substr(used);
    if (count == 0) break;
  }
}

void ReportMessages() {
  const int count = ErrorCount();
  if (count == 0) return;
  const bool tab = IsTabDevice(Device());
  const bool html = IsHtmlDevice(Device());
  // On paper a blank line takes its place on the page and is counted like any other line.
  const auto blankLine = [tab, html] {
    if (tab || html) {
      OutputWrite("");
    } else {
      ReportLine("");
    }
  };
  blankLine();
  ReportLine("REMARKS, WARNINGS AND ERROR MESSAGES");
  if (!tab) {
    ReportLine(RuleDouble());
    blankLine();
    ReportLine(RuleSingle());
  }
  if (html) HtmlTableOpen();
  for (int i = 1; i <= count; ++i) {
    std::string origin;
    std::string remedy;
    GetErrorOrigin(i, origin);
    GetErrorRemedy(i, remedy);
    if (tab) {
      OutputWrite(ErrorText(i) + "\t" + origin + "\t" + remedy);
      continue;
    }
    ReportTextRow(ErrorText(i));
    ReportWrapText(origin);
    ReportWrapText(remedy);
    if (html) {
      HtmlTableClose();
      ReportLine("");
      HtmlTableOpen();
    } else if (!CompressedLayout()) {
      ReportLine(RuleSingle());
    }
  }
  if (html) HtmlTableClose();
}

void ReportAppendMessages() {
  if (ErrorCount() == 0) return;
  AskInsertPaper();
  if (AbortFlag) return;
  ReportPageHeader(0, 0);
  ReportMessages();
  ReportPageEnd();
}

void PrintErrorMessages() {
  if (ErrorCount() == 0) {
    InfoMessage("Calculation successful without error messages");
    return;
  }
  ReportSetHeader(ProgramIdentity.programName + " V" + ProgramIdentity.version, "Error Messages",
                  DrawingTexts[1], DrawingTexts[2], DrawingTexts[3], 1);
  if (CalcFatalFlag) {
    ShowErrorList();
    return;
  }
  OutputOpen(kDeviceScreen);
  if (AbortFlag) return;
  OutputRewrite();
  if (AbortFlag) return;
  ReportAppendMessages();
  OutputClose();
}

std::string FormatNumberedTitle(std::string_view text, std::string_view number) {
  std::string line(64, ' ');
  PutClipped(text, line, 1);
  PutClipped("No.: " + std::string(number), line, 40);
  return line;
}
