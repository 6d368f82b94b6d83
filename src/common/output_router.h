// The router of text listings: a writer sets the page header and the column titles, opens the
// output for a device, writes lines, rows and sections, and closes it. The router turns the
// same calls into paged, boxed text (screen window, text printer, printer, text file, word
// processor), a tab-separated text, or an HTML page, and at the close hands the file on.
//
// Calling order of a writer: ReportSetHeader, ReportSetColumns, OutputOpen; stop when AbortFlag
// is set; OutputRewrite; ReportPageHeader; rows and lines (ReportKeepLines before blocks that
// stay together); ReportPageEnd; ReportAppendMessages when the ErrorList holds messages;
// OutputClose.
//
// Texts are composed in the DOS code page; the devices whose file is meant for people (the file,
// the text exports and the HTML page) convert them to UTF-8 when they write them, and the HTML
// page escapes them. Every file is written under a temporary name and renamed when
// complete. Temporary listings live in this run's private temporary directory.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/kept_file_names.h"
#include "common/range_array.h"

// Devices.
constexpr int kDeviceScreen = 1;
constexpr int kDeviceTextPrinter = 2;
constexpr int kDeviceFile = 3;
constexpr int kDevicePrinter = 4;
constexpr int kDeviceWordProcessor = 5;
constexpr int kDeviceTxtFile = 6;
constexpr int kDeviceHtml = 7;
constexpr int kDeviceDosFile = 8;
constexpr int kDeviceDataTxt = 9;
// OutputOpen(kOutputCaptionsOnly) only fills the seven device captions into ScreenLines.
constexpr int kOutputCaptionsOnly = 90;

constexpr int kReportWidth = 70;  // characters of a rule and of a boxed line
constexpr int kReportIndent = 7;  // blanks in front of every paper line
inline constexpr const char* kSuppressedLine = "$!$";

// Lines per page of a paper listing. A page must hold its header and a line besides: the header
// takes its header space lines (0 to 30) and at most 14 more (the compressed layout's blank, the
// box with title, date, file name and four header lines, the column titles and a blank line).
constexpr int kPageHeaderLines = 14;
constexpr int kMostHeaderSpaceLines = 30;
constexpr int kMostLinesPerPage = 999;
constexpr int kDefaultLinesPerPage = 66;
constexpr int LeastLinesPerPage(int headerSpaceLines) {
  return kPageHeaderLines +
         (headerSpaceLines < 0 || headerSpaceLines > kMostHeaderSpaceLines ? 0 : headerSpaceLines) +
         1;
}

struct TOutputState {
  std::uint16_t CurrentOutputDevice = 1;
  bool singlePage = false;          // set only by the text printer's question
  std::int32_t pageCounter = 0;     // headers written
  std::int32_t lineCounter = 0;     // lines on the current page
  std::int32_t pageHeaderMode = 0;  // mode of the last ReportPageHeader (1 = column titles)
  std::string OutputFileName = "$out.tmp";
  bool htmlTableOpen = false;
  std::string savedExtension;
  // 1-based columns of a 70-column line.
  int symbolColumn = 35;
  int unitColumn = 44;
  int part1Column = 51;
  int part2Column = 62;
  int singleValueColumn = 56;
  std::string reportTitle;
  RangeArray<std::string, 1, 4> headerLines;
  std::int32_t pageTotal = 0;  // 0: show only the page number
  // Text column, symbol, unit, part 1, part 2.
  RangeArray<std::string, 1, 5> columnTitles{{"", "Symbol", "Unit", "1", "2"}};

  // Our own bookkeeping: a header being written never breaks its page; a page that holds only
  // its header is never ended.
  bool inHeader = false;
  std::int32_t bodyLines = 0;     // lines written on the current page after its header
  std::string portPrefixFile;     // "TEXT.TVP" still to be sent ahead of the first line
  std::string printerQueueFile;   // text printer without a port: spooled at the close
  bool browserExtension = false;  // the "htm" extension stays until OutputClose
  std::string savedFileName;
  std::string savedDataDirectory;
  bool savedFromCommandLine = false;
  // The file a person keeps from the last output (a text export, the data file's listing, the
  // browser page); empty when nothing was kept.
  std::string keptFileName;
  // When set, the "TXT File" device writes here without a question or a message (a caller
  // that uses the listing as its own scratch file).
  std::string exportTarget;
  // Lines written so far, and the line numbers of the page titles that show a page total, so
  // that a total that turned out wrong is put right at the close.
  std::int64_t linesWritten = 0;
  std::vector<std::int64_t> titleLines;
};
extern TOutputState OutputState;

// Start state of the router.
void InitOutputState();

// The three families of devices: tab-separated text (6, 9), the HTML page (7) and paged paper
// text (0 to 5 and 8).
bool IsTabDevice(int device);
bool IsHtmlDevice(int device);
bool IsPaperDevice(int device);
// Devices that write UTF-8 text: their files are read by people and their programs.
bool WritesUtf8(int device);

// The text export's file beside the current data file: KeptFileStem() + "." + ext.
std::string ExportFileName(std::string_view ext);

// ---------------------------------------------------------------------------------------------
// Rules of the current ReportLineType (70 characters; "$!$" for the compressed layout 4).

std::string RuleSingle();
std::string RuleDouble();
std::string RuleBoxTop();
std::string RuleBoxBottom();
std::string RuleBoxMiddle();
char BoxSideChar();
// ReportLineType 4: no rules, no rule after rows, pages ended only when at least half full.
bool CompressedLayout();

// ---------------------------------------------------------------------------------------------
// Header, columns, opening and closing

// Stores title (empty: program caption + "  V" + version), header lines and page total; the
// page and line counters restart.
void ReportSetHeader(std::string_view title, std::string_view line1, std::string_view line2,
                     std::string_view line3, std::string_view line4, std::int32_t pageTotal);
void ReportColumnsReset();
void ReportSetColumns(std::string_view textTitle, std::string_view symbolTitle,
                      std::string_view unitTitle, std::string_view part1Title,
                      std::string_view part2Title);

// Chooses the device (0: the configured OutputDevice, offered for choice when AskOutputDevice is
// set; 1 to 9 that device; 90 only the captions) and prepares the output; assigns GlobalTextFile.
// The caller tests AbortFlag (also set for a code that names no device).
void OutputOpen(int code);
// Opens the assigned GlobalTextFile for writing ("disk full" / "file write error" and AbortFlag
// on failure). The writer calls it right after OutputOpen.
void OutputRewrite();
// Finishes the output and hands the file on (viewer, printer, word processor, browser, copies).
void OutputClose();

// Name of the first free "$OUT" + n + ".TMP" (n = 1..11) in the temporary directory; the file is
// created empty. OutputFileName takes the name.
void CreateTempOutput(std::string& name);
// Directory of the router's temporary files ("$OUTn.TMP", "outwin.txt", "OUTDOS.TXT",
// "$$$n.txt", "$$n.txt", the browser page), with a trailing "/".
std::string OutputTempDirectory();

// ---------------------------------------------------------------------------------------------
// Pages, lines and rows

void ReportPageHeader(int pageArg, int mode);
void ReportLine(std::string_view text);
void ReportTextRow(std::string_view text);
void ReportRow(std::string_view text, std::string_view symbol, std::string_view unit,
               std::string_view value);
void ReportRowTwoParts(std::string_view text, std::string_view symbol, std::string_view unit,
                       std::string_view value1, std::string_view value2);
void ReportColumnTitles();
void ReportWrapText(std::string_view text);
void ReportPageEnd();
void ReportCheckPage(int mode);
void ReportKeepLines(int mode);
void HtmlTableOpen();
void HtmlTableClose();

// The messages section of a listing and the message report.
void ReportMessages();
void ReportAppendMessages();
void PrintErrorMessages();

// 64 blanks with the text at column 1 and "No.: " + number at column 40.
std::string FormatNumberedTitle(std::string_view text, std::string_view number);
// What that line holds whole: a part name up to column 38 (a blank before "No.: ") and a
// drawing number from column 45 to 64. The drawing-text dialog takes no more.
constexpr int kPartNameLength = 38;
constexpr int kDrawingNumberLength = 20;
// A header line of a listing's box (columns 4 to 69).
constexpr int kHeaderLineLength = kReportWidth - 4;

// One line to the output unchanged (files for people: converted to UTF-8); the same without a
// line end.
void OutputWrite(std::string_view text);
void OutputWriteChars(std::string_view text);

// While single-page printing is on: "Insert paper.  Continue ?"; any answer but Yes sets
// AbortFlag.
void AskInsertPaper();

// HTML text of a DOS-code-page text: "&", "<", ">" and '"' as character references.
std::string HtmlEscape(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Hooks the Qt forms fill. Without them the router stays usable headless.

// Shows the listing modally in the text-file viewer: displayFile is the UTF-8 copy
// ("outwin.txt"), printFile the listing itself (what "Print..." prints). Default: the listing's
// text in the dialog host's long-text window.
using TShowTextFileHook =
    std::function<void(const std::string& displayFile, const std::string& printFile)>;
void InstallShowTextFileHook(TShowTextFileHook hook);

// Prints a listing (DOS code page, pages separated by form feeds) on the system printer.
// Default: "No printer available" through ErrorMessageIfEnabled and AbortFlag set.
using TPrintTextFileHook = std::function<void(const std::string& fileName)>;
void InstallPrintTextFileHook(TPrintTextFileHook hook);

// Where the text printer port "LPT" + n is written: "/dev/lp" + (n - 1) when that device
// exists, otherwise the listing is spooled with the "lp" command at the close. Tests set a plain
// file here; an empty text restores the default.
void SetPrinterPortOverride(std::string_view fileName);
// The program that opens a file for the configured path of the word processor or browser:
// Windows paths and the names "notepad", "write", "mspaint" open with the desktop's default
// program ("xdg-open"); otherwise the file itself or a program of that name on PATH. Empty when
// there is none.
std::string ResolveOutsideProgram(std::string_view configuredPath);
// The program ResolveOutsideProgram looks for ("xdg-open" or the configured path), so that a
// message names what was missing; empty for an empty path.
std::string OutsideProgramSought(std::string_view configuredPath);
