// The File menu's data-set commands and the recent-file list.
#include "app/file_commands.h"

#include "app/command_line.h"
#include "app/data_file.h"
#include "app/documentation_commands.h"
#include "app/save_question.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "graphics/graphics_facade.h"

namespace {

// Menu paths of this many characters or more are shortened.
constexpr std::size_t kShortenFrom = 50;

void Run(const std::function<void()>& hook) {
  if (hook) hook();
}

// The names that a save dialog or a load may change, put back when the command fails, so the
// data set never carries the name of a file that does not hold it.
class CurrentNameGuard {
 public:
  CurrentNameGuard()
      : fileName_(CurrentFileName),
        directory_(DataDirectory),
        fromCommandLine_(ProgramSettings.FileFromCommandLine) {}
  void Restore() const {
    CurrentFileName = fileName_;
    DataDirectory = directory_;
    ProgramSettings.FileFromCommandLine = fromCommandLine_;
  }

 private:
  std::string fileName_;
  std::string directory_;
  bool fromCommandLine_;
};

std::string TemplateFileName() {
  return AddBackslash(DataDirectory) + "null." + ProgramIdentity.shortName;
}

// A file just loaded or saved under a name of its own no longer stands for the command-line
// file, so its changes are asked about and saved like any other file's.
void ForgetCommandLineFile() {
  ProgramSettings.FileFromCommandLine = false;
}

// "demo" on the command line names the tour, not a file: the first Save asks for a name
// instead of writing "demo.vuk" wherever the program was started.
bool NameIsTourPlaceholder() {
  const TCommandLine cl = ParseCommandLine(ProgramArguments());
  return cl.action == TCommandAction::Demo && CurrentFileName == cl.fileName &&
         !ProgramSettings.FileFromCommandLine;
}

}  // namespace

void FileNew(const TFileCommandHooks& hooks) {
  AbortFlag = false;
  AskSaveChanges();
  if (AbortFlag) return;

  bool loaded = false;
  if (FileExistsIO(TemplateFileName())) {
    LoadDataFile("null");
    loaded = !AbortFlag;
    // A template that cannot be read was reported; the example stands in for it.
    AbortFlag = false;
  }
  if (!loaded) NewSplineExample();

  CurrentFileName.clear();
  ForgetCommandLineFile();
  Run(hooks.UpdateTitle);
  ClearChanges();
  ClearDocuments();
  if (GraphicsFacade) GraphicsFacade->GrClear();

  Run(hooks.EditDrawingTexts);
  if (AbortFlag) return;
  Run(hooks.EditDimensions);
  if (AbortFlag) return;

  CalcSplineJoint();
  Run(hooks.UpdateErrorMessageItem);
  DataModified = true;
}

void FileOpen(const TFileCommandHooks& hooks) {
  AbortFlag = false;
  AskSaveChanges();
  if (AbortFlag) return;
  LoadDataFile("");
  if (!AbortFlag) {
    ForgetCommandLineFile();
    DataModified = false;
    AddRecentFile(CurrentFileName);
    Run(hooks.UpdateErrorMessageItem);
  }
  Run(hooks.UpdateTitle);
}

void FileSave(const TFileCommandHooks& hooks) {
  AbortFlag = false;
  const CurrentNameGuard names;
  if (CurrentFileName.empty() || NameIsTourPlaceholder()) {
    // The name comes from the save dialog: an existing file is confirmed as in Save As.
    SaveDataFile("");
  } else {
    SaveCurrentFile(CurrentFileName);
  }
  if (AbortFlag) {
    names.Restore();
  } else {
    DataModified = false;
  }
  Run(hooks.UpdateTitle);
}

void FileSaveAs(const TFileCommandHooks& hooks) {
  AbortFlag = false;
  const CurrentNameGuard names;
  SaveDataFile("");
  if (AbortFlag) {
    names.Restore();
  } else {
    ForgetCommandLineFile();
    DataModified = false;
    AddRecentFile(CurrentFileName);
  }
  Run(hooks.UpdateTitle);
}

void OpenRecentFile(const TFileCommandHooks& hooks, int n) {
  AbortFlag = false;
  auto& recent = ConfigVariables.RecentFiles;
  if (!recent.InRange(n) || recent[n].empty()) return;
  AskSaveChanges();
  if (AbortFlag) return;

  const std::string fullName = recent[n];
  if (!FileExistsIO(fullName)) {
    RemoveRecentFile(n);
    Run(hooks.UpdateRecentFileItems);
    InfoMessage("File " + NameText(fullName) + " not found !");
    return;
  }

  // The names change only once the file is in: a file that cannot be read leaves the data set
  // under its own name.
  LoadDataFile(fullName);
  if (!AbortFlag) {
    CurrentFileName = ExtractBaseName(fullName);
    DataDirectory = AddBackslash(DirPart(fullName));
    ForgetCommandLineFile();
    AddRecentFile(CurrentFileName);
    DataModified = false;
    Run(hooks.UpdateErrorMessageItem);
  }
  Run(hooks.UpdateTitle);
}

void AddRecentFile(std::string_view name) {
  auto& recent = ConfigVariables.RecentFiles;
  const std::string full =
      AddBackslash(DataDirectory) + std::string(name) + "." + ProgramIdentity.shortName;
  const std::string key = LowerStr(full);
  for (int n = kRecentFileCount; n >= 1; --n) {
    if (!recent[n].empty() && LowerStr(recent[n]) == key) RemoveRecentFile(n);
  }
  for (int n = kRecentFileCount; n > 1; --n) recent[n] = recent[n - 1];
  recent[1] = full;
}

void RemoveRecentFile(int n) {
  auto& recent = ConfigVariables.RecentFiles;
  if (!recent.InRange(n)) return;
  for (int i = n; i < kRecentFileCount; ++i) recent[i] = recent[i + 1];
  recent[kRecentFileCount].clear();
}

std::string ShortenPathForMenu(std::string_view path) {
  if (path.size() < kShortenFrom) return std::string(path);
  const std::size_t first = path.find(kPathSeparator);
  const std::size_t last = path.rfind(kPathSeparator);
  if (first == std::string_view::npos || first >= last) return std::string(path);
  return std::string(path.substr(0, first + 1)) + "..." + std::string(path.substr(last));
}

TRecentFileItemState RecentFileItemState(int n) {
  const auto& recent = ConfigVariables.RecentFiles;
  TRecentFileItemState state;
  if (!recent.InRange(n) || recent[n].empty()) return state;
  state.visible = true;
  state.caption = "&" + std::to_string(n) + " " + ShortenPathForMenu(recent[n]);
  return state;
}

bool RecentFileSeparatorVisible() {
  return !ConfigVariables.RecentFiles[1].empty();
}
