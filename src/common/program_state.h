// Program-wide records: identity, settings, directories, CAD/plot settings, 3-D view defaults
// and the run-time flags that every subsystem reads and writes directly.
//
// Texts are held in the DOS code page (CP850). Directory fields hold the directory without a
// trailing separator unless the user typed one; users add it where they build a file name.
#pragma once

#include <cstdint>
#include <string>

#include "common/range_array.h"

// ---------------------------------------------------------------------------------------------
// Text arrays

constexpr int kScreenLineCount = 135;
constexpr int kScreenLineWidth = 65;
constexpr int kTextPieceCount = 5;
constexpr int kTextPieceWidth = 64;

// Entries of a choice list, lines of the text screen, the copied message list; entry 29 holds
// the gear choice of the drawings. Each entry is 65 blanks until something fills it.
using TScreenLines = RangeArray<std::string, 1, kScreenLineCount>;
extern TScreenLines ScreenLines;

// Pieces of a text split by WrapText; each 64 blanks at start.
using TTextPieces = RangeArray<std::string, 1, kTextPieceCount>;
extern TTextPieces TextPieces;

// Drawing title texts: text 1, text 2, drawing name (also the report-header text). Empty.
using TDrawingTexts = RangeArray<std::string, 1, 3>;
extern TDrawingTexts DrawingTexts;

// ---------------------------------------------------------------------------------------------
// Program identity

struct TProgramIdentity {
  std::string programName;  // captions, about box, message boxes, page headers
  std::string fileStem;     // lower-case program name: ".cfg", ".cff", ".hlp", ".err", ".dem"
  std::string caption;      // window titles, page headers, data-file header
  std::string shortName;    // also the data-file extension
  std::string version;
};
extern TProgramIdentity ProgramIdentity;

// Sets the identity to its final values ("VUKO", "vuko", "VUKO   involute spline", "vuk", "1.0").
void SetProgramIdentity();
// The shell's identity step: runs SetProgramIdentity.
void InitProgramIdentity();

// Name of the current data file without directory and extension (initially "demo").
extern std::string CurrentFileName;
// Directory of the current data file (initially "TRAIN").
extern std::string DataDirectory;

// ---------------------------------------------------------------------------------------------
// Run-time flags (kept as single globals so that every subsystem names them the same way)

extern bool AbortFlag;      // program-wide cancel and failure flag
extern bool CalcFatalFlag;  // the last calculation posted a fatal message; ResetErrors clears it
extern bool TourRunning;    // the demonstration tour runs
extern bool DataModified;   // the data set has unsaved changes
extern bool
    OverwriteConfirmation;  // CheckOverwrite asks before replacing an existing file (default true)
extern bool MessagesEnabled;      // ErrorMessageIfEnabled shows its message boxes (default true)
extern std::uint16_t HelpNumber;  // help entry of the next dialog's help buttons

// ---------------------------------------------------------------------------------------------
// Program settings (configuration labels in the comments)

struct TProgramSettings {
  std::int32_t ExportFileCounter = 0;   // number n of the last "$$" + n + ".txt" copy
  std::string cadDirectory;             // "CAD Directory"
  std::string dbfDirectory;             // "DBF Directory"
  std::string ediDirectory;             // "EDI Directory"
  std::string pltDirectory;             // "PLT Directory": help, explanations, demo, HPGL pictures
  std::string tempDirectory;            // "temporary directory"
  std::uint16_t HelpLevel = 1;          // "Help level" 0, 1 or 2
  std::uint16_t PrinterInterface = 1;   // "Printer interface": port of the text printer
  std::uint16_t hardcopyInterface = 1;  // "printer interface for hardcopy"
  std::uint16_t DrawingMenuChoice = 1;  // current entry of the tooth/production drawing menus
  std::uint16_t printerType = 3;        // "Printer type"
  std::uint16_t printDensity = 1;       // "Printing density"
  std::uint16_t printDensityVertical = 1;      // "Printing density vertical"
  char rotateHardcopy = 'J';                   // "Rotate Hardcopy ?" 'J' or 'N'
  std::int32_t FloatDigits = 3;                // "Digits for floating point numbers"
  std::uint16_t ReportLineType = 1;            // "Display mode for printout 1:* 2:-"
  std::int32_t LinesPerPage = 66;              // "Lines per page for printer"
  std::int32_t graphDriver = 0;                // "Graph driver", kept and written back
  std::int32_t graphMode = 0;                  // "Graph mode", kept and written back
  std::uint16_t ScreenWidth = 0;               // "Horizontal Pixels": main window client width
  std::uint16_t ScreenHeight = 0;              // "Vertical Pixels": main window client height
  std::uint16_t MaxColourNumber = 16;          // highest colour number the graphics window takes
  bool ColourOutputFlag = true;                // "Color graphics"
  RangeArray<char, 1, 2> ViewKey{{'0', '0'}};  // zoom sign and pan code of the last view key
  bool FileFromCommandLine = false;    // the current data file was named on the command line
  bool ArchiveFlag = false;            // "Archive Flag ?"
  std::string BaseDirectory;           // directory current at start; fallback directory
  std::string tarvenoDirectory;        // "TARVENO directory", kept and written back
  std::uint16_t WindowsPrintMode = 1;  // "Windows print mode (1=mono 2=color)"
  std::int32_t unlabelledInteger = 0;  // unlabelled integer near the configuration's end
};
extern TProgramSettings ProgramSettings;

// ---------------------------------------------------------------------------------------------
// Configuration variables

constexpr int kRecentFileCount = 4;
constexpr int kUnitSystemNameCount = 5;

struct TConfigVariables {
  std::uint16_t databaseMode = 1;         // "Database mode", kept and written back
  std::string externalDatabase;           // "external database", kept and written back
  std::string WordProcessorPath;          // "word processor"
  std::string HtmlBrowserPath;            // "HTML Browser"
  std::string ConfigDirectory;            // where ".cfg" and ".cff" are read and written
  std::string PresetDirectory;            // first place of the print-preset table
  std::string DefaultDataDirectory;       // "Default Data Directory"
  std::uint16_t DateStyle = 2;            // "Date Code"
  std::int32_t HeaderSpaceLines = 0;      // "Header Space Lines"
  std::uint16_t OutputDevice = 1;         // "Text Device" 1..9
  bool AskOutputDevice = false;           // "Text Device Window ?"
  bool smallOnlineWindow = false;         // "Small Online Window ?", kept and written back
  bool enterDiagramLimits = false;        // "Enter Diagram Limits ?"
  std::int32_t DialogScalePercent = 102;  // "Input Window Scale %"
  std::uint16_t UnitSystem = 0;           // "Metric Units=0,  English units=1"
  std::uint16_t ReportHeaderMode = 1;     // "printout with header=1, header page 1 only=2"
  std::int32_t formLeft = 1;              // left of the picture form
  std::int32_t formTop = 1;               // top of the picture form
  std::uint16_t ChangeIndexStyle = 0;     // style of change indexes
  std::uint16_t DecimalCommaMode = 1;     // "Dot=1 Komma=2"
  std::uint16_t optionWordAfter3D = 2;    // unlabelled integer after "3D - Default x,y,z"
  RangeArray<std::string, 1, kRecentFileCount> RecentFiles;  // newest first
  std::int32_t RecentFileAnchor = 0;                         // state of the recent-file menu
  std::uint16_t outputCloseMode = 0;  // read by the result output router on close
  std::uint16_t CadTextMode = 2;      // "CAD Text Mode" 1 as is, 2 DOS->Windows, 3 transliterated
  bool BatchCadFlag = false;          // CAD output written from the command line
  std::uint16_t CharMode = 0;         // 1 transliteration plus table, else OEM conversion
  std::int32_t ContentScalePercent = 100;  // content scale of dialogs
  bool startUpFlag = false;                // read by the start-up of the shell
  std::uint16_t tailOptionWord = 2;        // unlabelled value near the configuration's end, 1 or 2
  std::int32_t LanguageCode = 0;           // user-interface language
  std::int32_t ResultScreen = 0;           // "Result Screen" choice
  bool tailOptionFlag = false;             // seventh unlabelled boolean of the configuration tail
  RangeArray<std::string, 1, kUnitSystemNameCount> UnitSystemNames;
  std::int32_t FormScalingMode = 0;  // 2 switches scaling and placement of dialogs off
  bool KeepLanguage = false;         // false: reading the configuration resets LanguageCode
  std::int32_t TitleBlockKind = 1;   // kind of the configurable title block
};
extern TConfigVariables ConfigVariables;

// ---------------------------------------------------------------------------------------------
// CAD and plot settings, with the state fields of the CAD driver

constexpr int kPlotCommandLineCount = 5;

struct TPlotCommandLines {
  std::uint16_t count = 1;
  std::uint16_t current = 1;
  RangeArray<std::string, 1, kPlotCommandLineCount> lines;
};

struct TPlotSettings {
  RangeArray<std::string, 0, 5> DxfLayerNames;  // "0".."5"
  RangeArray<std::int32_t, 0, 5> LayerColours{{1, 2, 2, 2, 3, 1}};
  RangeArray<std::int32_t, 16, 31> PenNumbers{
      {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};
  RangeArray<std::int32_t, 16, 31> PenWidths{{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}};
  std::int32_t currentColour = 0;        // current CAD colour, 0..31 after folding
  std::string cadTextFont = "TXT8";      // "Text font CAD"
  long double cadTextWidthRatio = 1.0L;  // "Textwidth/height CAD"
  long double cadFontAngle = 0.0L;       // "Font angle"

  // Driver state: origin, pen position, text settings, sheet window.
  long double originX = 0.0L;
  long double originY = 0.0L;
  long double penX = 0.0L;
  long double penY = 0.0L;
  long double textHeight = 5.0L;
  long double textWidthFactor = 1.0L;
  long double textAngle = 0.0L;     // degrees
  long double obliqueAngle = 0.0L;  // degrees
  std::int32_t justifyH = 0;        // 0 left, 1 centre, 2 right
  std::int32_t justifyV = 0;        // 0 baseline, 1 middle, 2 top
  long double lineSpacing = 1.0L;
  std::string currentLayer = "0";
  bool lineTypeFlag = false;
  bool inBlocks = false;  // between the start and the end of the block section
  std::int32_t polylineVertexCount = 0;
  long double previousArcAngle = 0.0L;  // radians
  long double dimensionSize = 1.0L;

  std::uint16_t CadCode = 3;  // 0 none, 1 DXF, 2 IGES, 3 screen, 4 plot program, 5 TXT
  std::string CadFileName = std::string(59, ' ');  // the open CAD output file
  bool cadDriverFlag = true;
  std::int32_t cadDriverMode = 1;
  std::uint16_t HatchMode = 1;
  TPlotCommandLines PlotCommandLines;
  std::int32_t driverInt1 = 0;
  std::int32_t driverInt2 = 0;
  long double driverReal = 1.0L;
  bool layerMonochrome = false;  // "Layer Monochrome"
  bool cadOutputFlag = false;
  RangeArray<std::int32_t, 0, 5> LayerLineWidths{
      {3, 1, 1, 1, 2, 3}};  // "Line thickness Layer 0..5"
  long double sheetXMin = 0.0L;
  long double sheetXMax = 160.0L;
  long double sheetYMin = 0.0L;
  long double sheetYMax = 120.0L;
  long double sheetWidth = 160.0L;
  long double sheetHeight = 120.0L;
  std::string ReleaseRowLabel;      // label of the fourth approval row of the title blocks
  std::int32_t DxfDecimals = 6;     // "Decimals DXF,TXT"
  long double cadFactor = 1.0L;     // dimensioning size factor
  bool involuteAsPolyline = false;  // polyline option of the CAD profile settings
  // The six title-block and frame options (true hides the item).
  bool HideMakerTitle = false;
  bool HideFileName = false;
  bool HideDateLine = false;
  bool HideLogo = false;
  bool HideFooterLine = false;
  bool HideTitleBlock = false;
};
extern TPlotSettings PlotSettings;

// ---------------------------------------------------------------------------------------------
// 3-D view defaults (read and written only by the configuration file and dialog)

struct TViewSettings3D {
  RangeArray<long double, 1, 3> scale{{1.0L, 0.0L, 0.0L}};
  RangeArray<long double, 1, 3> direction{{1.0L, -1.0L, -1.0L}};
  // Radians: -15, 90 and 210 degrees.
  RangeArray<long double, 1, 3> ViewAngles3D{
      {-0.2617993877991494365L, 1.5707963267948966192L, 3.6651914291880921101L}};
  bool flatten3D = true;  // written negated as the last line of the configuration file
  RangeArray<long double, 1, 6> extra{{0.0L, 0.0L, 0.0L, 0.0L, 0.0L, 0.0L}};
  bool AskViewAngles3D = true;  // "Edit 3D x,y,z ?"
};
extern TViewSettings3D ViewSettings3D;

// ---------------------------------------------------------------------------------------------
// Initialisation, in module order: program globals, configuration variables, CAD variables,
// 3-D view defaults. Only sets values in memory.

// The maker's common directory: $XDG_CONFIG_HOME/tarveno/ (default ~/.config/tarveno/),
// with a trailing slash.
std::string MakerCommonDirectory();

void InitProgramGlobals();   // text arrays, identity, file name, program settings, flags
void InitConfigVariables();  // directories take the current directory
void InitPlotSettings();
void InitViewSettings3D();
void InitProgramState();           // all four above, in that order
void ResetProgramStateForTests();  // same as InitProgramState; for test fixtures
