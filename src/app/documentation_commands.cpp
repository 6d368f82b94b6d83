// The drawing documentation commands: the changes menu, the drawing information, the document
// slots and the drawing texts.
#include "app/documentation_commands.h"

#include <set>
#include <tuple>
#include <utility>

#include "app/change_protocol.h"
#include "app/documentation_records.h"
#include "app/save_question.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/formatting.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"
#include "platform/process.h"

namespace {

TDocumentationDialogs& Dialogs() {
  static TDocumentationDialogs dialogs;
  return dialogs;
}

TProgramStarter& Starter() {
  static TProgramStarter starter;
  return starter;
}

// Slot contents (program, file) that may start without a question: under an empty data-file
// name those the user typed or chose in this session's dialog; under a data file's name those
// the user agreed to start once for that data file.
using TSlotKey = std::tuple<std::string, std::string, std::string>;
std::set<TSlotKey>& AgreedSlots() {
  static std::set<TSlotKey> agreed;
  return agreed;
}

// The program's own start value of slot n (a text editor without a file) names nothing a data
// file chose.
bool IsStartValue(int n) {
  const TDocumentSlots current = DocumentSlots;
  InitDocumentSlots();
  const bool start = DocumentSlots[n] == current[n];
  DocumentSlots = current;
  return start;
}

bool SlotAgreed(int n) {
  const TDocumentSlot& slot = DocumentSlots[n];
  if (IsStartValue(n)) return true;
  const std::set<TSlotKey>& agreed = AgreedSlots();
  return agreed.count({std::string(), slot.program, slot.file}) != 0 ||
         agreed.count({CurrentDataFileFullName(), slot.program, slot.file}) != 0;
}

// A program named by a data file someone else may have written is started only when the user
// agrees, having seen the program and its arguments. Without a person the answer is No.
bool AgreeToStart(int n, const std::vector<std::string>& argv) {
  if (SlotAgreed(n)) return true;
  const TDocumentSlot& slot = DocumentSlots[n];
  std::string command;
  for (const std::string& word : argv) command += (command.empty() ? "\"" : " \"") + word + "\"";
  char answer = 'N';
  const bool abort = AbortFlag;
  InputYesNo("Document " + IntStr(n) + " of the data file starts the program\n" +
                 NameText(command) + "\nStart it ?",
             answer);
  AbortFlag = abort;
  if (answer != 'J') return false;
  AgreedSlots().insert({CurrentDataFileFullName(), slot.program, slot.file});
  return true;
}

// A dialog that cannot be shown is declined, so the command stops as after Cancel.
template <typename Dialog, typename... Args>
void ShowDialog(const Dialog& dialog, Args... args) {
  if (!dialog) {
    AbortFlag = true;
    return;
  }
  dialog(args...);
}

void NewChange() {
  TChangeRecords& c = ChangeRecords;
  if (c.count >= kMaxChangeRecords) {
    ErrorMessageIfEnabled("Max. Changes = " + IntStr(kMaxChangeRecords) + " !");
    return;
  }
  ++c.count;
  const std::string previousDate = c.changes[c.count].date;
  c.changes[c.count].date = DateStr();
  EditChangeRecord(c.count);
  if (AbortFlag) {
    // A cancelled new change is no change: the count and the entry's date are taken back.
    c.changes[c.count].date = previousDate;
    --c.count;
    return;
  }
  DataModified = true;
  WriteChangeProtocol(kDeviceScreen);
}

void ModifyChange() {
  if (ChangeRecords.count > 0) {
    EditChangeRecord(ChangeRecords.count);
    if (AbortFlag) return;
    DataModified = true;
  }
  WriteChangeProtocol(kDeviceScreen);
}

void CancelChange() {
  if (ChangeRecords.count > 0) {
    --ChangeRecords.count;
    DataModified = true;
  }
  WriteChangeProtocol(kDeviceScreen);
}

void RunChangeOperation(int op) {
  switch (op) {
    case kChangeNew:
      NewChange();
      break;
    case kChangeModify:
      ModifyChange();
      break;
    case kChangeCancel:
      CancelChange();
      break;
    case kChangeShow:
      WriteChangeProtocol(kDeviceScreen);
      break;
    case kChangePrintout:
      WriteChangeProtocol(0);
      break;
    case kChangeDrawingInfo:
      EditDrawingInfo();
      break;
    default:
      break;
  }
}

}  // namespace

void ChangeCommand(int op) {
  AbortFlag = false;
  if (op != kChangeMenu) {
    RunChangeOperation(op);
    return;
  }
  static const char* const kEntries[] = {"new",      "change",       "cancel",  "show",
                                         "Printout", "Info drawing", "back...."};
  constexpr int kEntryCount = 7;
  for (int i = 0; i < kEntryCount; ++i) ScreenLines[i + 1] = kEntries[i];
  SetHelpNumber(2600);
  int choice = kChangeShow;
  InputCode("Changes", kEntryCount, choice);
  if (AbortFlag || choice < kChangeNew || choice > kChangeDrawingInfo) return;
  RunChangeOperation(choice);
}

void EditChangeRecord(int n) {
  if (n < 1 || n > kMaxChangeRecords) {
    AbortFlag = true;
    return;
  }
  ShowDialog(Dialogs().changeRecord, n);
}

void EditDrawingInfo() {
  ShowDialog(Dialogs().drawingInfo);
  // The main window's menu item does not mark the data set; the records changed all the same.
  if (!AbortFlag) DataModified = true;
}

void ClearChanges() {
  TChangeRecords& c = ChangeRecords;
  c.count = 0;
  for (int i = 1; i <= kDrawingInfoCount; ++i) c.drawingInfo[i].clear();
  c.drawingInfo[kComplDate] = DateStr();
}

std::vector<std::string> DocumentArguments(int n) {
  if (n < 1 || n > kDocumentSlotCount) return {};
  const TDocumentSlot& slot = DocumentSlots[n];
  const std::string program = ResolveOutsideProgram(slot.program);
  if (program.empty()) return {};
  std::vector<std::string> argv{program};
  // "program file" on one line: an empty file name adds nothing but a blank.
  if (!slot.file.empty()) argv.push_back(platform::FileArgument(slot.file));
  return argv;
}

void StartDocument(int n) {
  if (n < 1 || n > kDocumentSlotCount) return;
  const std::vector<std::string> argv = DocumentArguments(n);
  // A slot that starts nothing says so, or the menu item would seem dead.
  const std::string program = DocumentSlots[n].program;
  if (argv.empty()) {
    ErrorMessage(DelBlanks(program).empty()
                     ? "Document " + IntStr(n) + ": no program set"
                     : "Document " + IntStr(n) + ": program " +
                           NameText(OutsideProgramSought(program)) + " not found");
    return;
  }
  if (!AgreeToStart(n, argv)) return;
  const int failure = Starter() ? Starter()(argv) : platform::StartDetached(argv);
  if (failure != 0) {
    ErrorMessage("Document " + IntStr(n) + ": program " + NameText(program) + " cannot be started");
  }
}

void EditDocumentSetup() {
  const TDocumentSlots before = DocumentSlots;
  ShowDialog(Dialogs().documentSetup);
  if (AbortFlag) return;
  // What the user typed or chose here is the user's own; a slot merely left as the data file
  // gave it still asks.
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    const TDocumentSlot& slot = DocumentSlots[n];
    if (slot.program != before[n].program || slot.file != before[n].file) {
      AgreedSlots().insert({std::string(), slot.program, slot.file});
    }
  }
}

void ForgetAgreedDocumentSlots() {
  AgreedSlots().clear();
}

void EditDrawingTexts() {
  ShowDialog(Dialogs().drawingTexts);
}

void ClearDocuments() {
  for (int i = 1; i <= 3; ++i) DrawingTexts[i].clear();
}

void InstallDocumentationDialogs(TDocumentationDialogs dialogs) {
  Dialogs() = std::move(dialogs);
}

void InstallProgramStarter(TProgramStarter starter) {
  Starter() = std::move(starter);
}
