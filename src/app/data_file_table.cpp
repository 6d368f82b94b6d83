// The table of data files: scanning the data directory on copies of the data set, and the
// command that lets the user pick joints from the table.
#include "app/data_file_table.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/data_file.h"
#include "app/documentation_records.h"
#include "app/save_question.h"
#include "calc/result_printout.h"
#include "calc/toothing_data.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"
#include "graphics/graphics_facade.h"
#include "platform/file_system.h"

namespace {

// Everything a load and its calculation change, so that a scan can hand it back.
struct TSavedDataSet {
  TToothingData toothing = ToothingData;
  TSplineInputData input = SplineInputData;
  TPartNames names = PartNames;
  TGearMaterialData materials = GearMaterialData;
  PerPart<TShaftHubMaterial> shaftHub = ShaftHubMaterials;
  TDrawingTexts texts = DrawingTexts;
  TChangeRecords changes = ChangeRecords;
  TDocumentSlots slots = DocumentSlots;
  TErrorList errors = ErrorList;
  bool fatal = CalcFatalFlag;
  std::string fileName = CurrentFileName;
  bool modified = DataModified;

  void Restore() const {
    ToothingData = toothing;
    SplineInputData = input;
    PartNames = names;
    GearMaterialData = materials;
    ShaftHubMaterials = shaftHub;
    DrawingTexts = texts;
    ChangeRecords = changes;
    DocumentSlots = slots;
    ErrorList = errors;
    CalcFatalFlag = fatal;
    CurrentFileName = fileName;
    DataModified = modified;
  }
};

std::string DataFileExtensionMask() {
  return "*." + ProgramIdentity.shortName;
}

// Data files of the directory: plain files matching the mask in either case, not hidden, by name.
std::vector<std::string> DataFileNames(const std::string& directory) {
  std::vector<std::string> names;
  std::vector<std::string> all;
  if (!platform::ListDirectory(directory, all)) return names;
  const std::string mask = DataFileExtensionMask();
  for (const auto& name : all) {
    if (name.empty() || name.front() == '.' || !MatchesMask(name, mask)) continue;
    if (!platform::QueryPath(JoinPath(directory, name)).isRegular) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void Call(const std::function<void()>& hook) {
  if (hook) hook();
}

}  // namespace

std::vector<std::string> DataFileTableHeader() {
  const std::string unit = LengthUnitStr();
  return {"File",
          "Date  y/m/d",
          "1 (Shaft)",
          "2 (Hub)",
          "d [" + unit + "]",
          "m [" + unit + "]",
          "alpha [\xC2\xB0]",
          "z",
          "x1",
          "x2"};
}

std::vector<std::string> DataFileTableRow(const std::string& fileName, long long fileTime) {
  // Numbers as the result listing prints them, with its marks for values it cannot print, so
  // that an absurd value keeps to the width of its column.
  const auto& t = ToothingData;
  return {fileName,
          FileDateStr(fileTime),
          DosToWin(PartNames.drawingNumber[1]),
          DosToWin(PartNames.drawingNumber[2]),
          TrimStr(ListingLength(4, 3, t.d[1])),
          TrimStr(ListingLength(2, 3, t.mn)),
          TrimStr(ListingReal(3, 2, t.alpha)),
          IntStr(t.z[1]),
          TrimStr(ListingReal(1, 3, t.x[1])),
          TrimStr(ListingReal(1, 3, t.x[2]))};
}

std::vector<std::string> UnreadableDataFileRow(const std::string& fileName, long long fileTime) {
  std::vector<std::string> row(kDataFileTableColumns);
  row[0] = fileName;
  row[1] = FileDateStr(fileTime);
  row[2] = kUnreadableRowMark;
  return row;
}

std::string UnreadableFilesMessage(int count) {
  if (count == 1) return "1 data file is incomplete or unreadable; its row is marked.";
  return IntStr(count) + " data files are incomplete or unreadable; their rows are marked.";
}

TTextGrid ScanDataFiles(const std::string& directory,
                        const std::function<void(const std::string&)>& progress) {
  const TSavedDataSet saved;
  // A damaged file must not stop the scan with a box of its own: its row is marked, and one
  // message at the end says how many there were.
  const bool messages = MessagesEnabled;
  MessagesEnabled = false;
  int unreadable = 0;
  TTextGrid grid{DataFileTableHeader()};
  for (const auto& name : DataFileNames(directory)) {
    if (progress) progress(name);
    const std::string fullName = JoinPath(directory, name);
    const long long fileTime = platform::QueryPath(fullName).modified;
    LoadDataFile(fullName);
    // A file that cannot be read gets a row of its own instead of the values of the file
    // before it, and the scan goes on.
    if (AbortFlag) ++unreadable;
    grid.push_back(AbortFlag ? UnreadableDataFileRow(name, fileTime)
                             : DataFileTableRow(name, fileTime));
    AbortFlag = false;
  }
  MessagesEnabled = messages;
  saved.Restore();
  if (unreadable > 0) ErrorMessageIfEnabled(UnreadableFilesMessage(unreadable));
  return grid;
}

void OpenDataFileTable(const TDataFileTableHooks& hooks) {
  AbortFlag = false;
  const bool wasModified = DataModified;
  AskSaveChanges();
  if (AbortFlag) return;
  TSavedDataSet before;
  // Declining to save must not lose the changes when nothing replaces them.
  before.modified = wasModified;

  CurrentFileName.clear();
  if (GraphicsFacade) GraphicsFacade->GrClear();
  const TTextGrid grid = ScanDataFiles(DataDirectory, [&](const std::string& name) {
    CursorWait();
    if (hooks.SetFormCaption)
      hooks.SetFormCaption(ProgramIdentity.caption + " -> " + NameText(name));
  });
  RestoreCursor();
  if (hooks.FillTable) hooks.FillTable(grid);

  bool picked = false;
  bool failed = false;
  while (hooks.ChooseFromTable) {
    AbortFlag = false;
    const std::string cell = hooks.ChooseFromTable();
    if (AbortFlag) break;
    if (TrimStr(cell).empty()) continue;
    LoadDataFile(JoinPath(DataDirectory, cell));
    if (AbortFlag) {
      failed = true;
      break;
    }
    picked = true;
    CurrentFileName = ExtractBaseName(cell);
    // From now on the file is named by the table's folder, not as typed at start.
    ProgramSettings.FileFromCommandLine = false;
    DataModified = false;
    Call(hooks.SetMenuCaptions);
    Call(hooks.UpdateErrorMessageItem);
    Call(hooks.UpdateTitle);
  }
  AbortFlag = false;
  if (!picked) {
    before.Restore();
    Call(hooks.UpdateErrorMessageItem);
  }
  Call(hooks.UpdateTitle);
  AbortFlag = failed;
}
