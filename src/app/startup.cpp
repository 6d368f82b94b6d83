// Start-up: module initialisation, the start routine, the window-less start and the cleanup of
// temporary block files.
#include "app/startup.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "app/data_file.h"
#include "app/documentation_records.h"
#include "app/languages.h"
#include "app/print_presets.h"
#include "app/save_question.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/config_file.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/session_file.h"
#include "drawings/drawing_documentation.h"
#include "drawings/hatching.h"
#include "graphics/aux_images.h"
#include "graphics/cad_blocks.h"
#include "graphics/graphics_facade.h"
#include "graphics/hpgl_viewer.h"
#include "graphics/view_control.h"
#include "xbase/memo_ops.h"
#include "xbase/ndx_sets.h"
#include "xbase/virtual_files.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"
#include "xbase/xbase_expr_compiler.h"

namespace {
std::string programDataDirectory;
}  // namespace

void SetProgramDataDirectory(std::string directory) {
  programDataDirectory = std::move(directory);
}

const std::string& ProgramDataDirectory() {
  return programDataDirectory;
}

void FillDefaultDirectories() {
  auto& ps = ProgramSettings;
  auto& cv = ConfigVariables;
  // What the program reads (pictures, help, the print presets table) ships with it.
  if (!programDataDirectory.empty()) {
    for (std::string* dir : {&ps.pltDirectory, &ps.dbfDirectory}) {
      if (DelBlanks(*dir).empty()) *dir = AddBackslash(programDataDirectory);
    }
  }
  // What it writes goes to the working folder; started where it may not write (from "/"), to
  // the home folder instead.
  if (CheckDirWritable(ps.BaseDirectory)) return;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0' || !CheckDirWritable(home)) return;
  const std::string fallback = AddBackslash(home);
  for (std::string* dir : {&ps.cadDirectory, &ps.ediDirectory}) {
    if (DelBlanks(*dir).empty()) *dir = fallback;
  }
  // The data directory's default is the working folder itself.
  const std::string data = TrimStr(cv.DefaultDataDirectory);
  if (data.empty() || DelBackslash(data) == DelBackslash(TrimStr(ps.BaseDirectory))) {
    cv.DefaultDataDirectory = fallback;
  }
}

void InitModules() {
  // common
  InitProgramState();
  InitMessageList();
  InitGraphicsSettings();
  InitOutputState();
  // calc
  InitToothingData();
  ResetSplineData();
  // graphics
  InitViewState();
  InitHpglState();
  // drawings
  InitChangeRecords();
  InitHatching();
  // xbase: the core first, then the units that fill its hooks
  InitXbaseCore();
  InstallParserHooks();
  IndexInit();
  InitXbaseMemo();
  InstallVFileDispatch();
  LoadLogicalTexts();
  InitPrintPresets();
  // app
  InitDocumentSlots();
  InitLanguages();
}

TStartUpOutcome StartUp(std::uint16_t mode) {
  InitProgramIdentity();
  AbortFlag = false;
  if (mode < 6 || mode > 9) ReadConfig();
  AbortFlag = false;
  MessagesEnabled = true;
  FillDefaultDirectories();
  CheckConfigDirs();
  // The private folder is made now, which clears the folders of killed runs from its place.
  PrivateTempDir();
  DataDirectory.clear();
  // Without a file the window shows no file name.
  if (ProgramArguments().empty()) CurrentFileName.clear();

  const TStartUpOutcome outcome = EvaluateCommandLine();
  if (outcome.endProgram) return outcome;

  if (ProgramSettings.FileFromCommandLine) {
    DataDirectory.clear();
  } else {
    CursorWait();
    DataDirectory = AddBackslash(ConfigVariables.DefaultDataDirectory);
    if (GraphicsFacade) {
      GraphicsFacade->GrSetWindow(true, true, 0.1L, 0.05L, 0.95L, 0.95L, 0.0L, 0.0L, 36.9L, 32.0L);
      GraphicsFacade->GrDrawLogo();
    }
    if (!TourRunning && FileExistsIO(DataDirectory + "null." + ProgramIdentity.shortName)) {
      LoadDataFile("null");
      CurrentFileName.clear();
    }
  }
  AbortFlag = false;
  if (mode == 1 || mode == 4 || mode == 8) CalcSplineJoint();
  AbortFlag = false;
  DataModified = false;
  // The start picture replaces the logo; a file from the command line opens on its own picture.
  if (!ProgramSettings.FileFromCommandLine &&
      FileExistsIO(JoinPath(ProgramSettings.pltDirectory, "start.plt"))) {
    if (GraphicsFacade) GraphicsFacade->GrClear();
    ShowAuxImage("start");
    AbortFlag = false;
  }
  return outcome;
}

int RunWithoutWindow() {
  TGraphicsFacade facade;
  InitProgramIdentity();
  ReadConfig();
  AbortFlag = false;
  ReadSession();
  AbortFlag = false;
  const TStartUpOutcome outcome = StartUp(kStartUpModeMainWindow);
  return outcome.exitCode;
}

bool SessionEndMayProceed(bool interactionAllowed) {
  if (!interactionAllowed || !DataModified) return true;
  AbortFlag = false;
  AskSaveChanges();
  const bool cancelled = AbortFlag;
  AbortFlag = false;
  return !cancelled;
}

bool DeleteTempFiles() {
  AbortFlag = false;
  DeleteBlockFiles();
  return true;
}

namespace {

bool IsSet(const char* value) {
  return value != nullptr && *value != '\0';
}

bool PlatformUsable(std::string_view name, bool x11, bool wayland) {
  name = name.substr(0, name.find(':'));  // options follow a colon
  if (name.empty()) return x11 || wayland;
  if (name == "xcb") return x11;
  if (name.substr(0, 7) == "wayland") return wayland;
  return true;  // offscreen, minimal, vnc, eglfs, linuxfb ... need no display server
}

}  // namespace

bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qtPlatform) {
  const bool x11 = IsSet(display);
  const bool wayland = IsSet(waylandDisplay);
  if (!IsSet(qtPlatform)) return x11 || wayland;
  // A list of platforms is tried in order; one usable entry is enough.
  std::string_view list(qtPlatform);
  while (true) {
    const std::size_t end = list.find(';');
    if (PlatformUsable(list.substr(0, end), x11, wayland)) return true;
    if (end == std::string_view::npos) return false;
    list.remove_prefix(end + 1);
  }
}

bool DisplayAvailable() {
  return DisplayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                          std::getenv("QT_QPA_PLATFORM"));
}
