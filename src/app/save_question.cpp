// The save question on unsaved changes.
#include "app/save_question.h"

#include "app/data_file.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/program_state.h"

std::string CurrentDataFileFullName() {
  if (ProgramSettings.FileFromCommandLine) return CurrentFileName;
  return AddBackslash(DataDirectory) + CurrentFileName + "." + ProgramIdentity.shortName;
}

void AskSaveChanges() {
  if (ProgramSettings.FileFromCommandLine && ProgramSettings.ArchiveFlag) {
    // An archived command-line file is never saved.
    DataModified = false;
    return;
  }
  if (!DataModified) return;
  if (!CurrentFileName.empty()) {
    const bool yes = AskYesNo("Save file (" + NameText(CurrentDataFileFullName()) + ") ?");
    if (AbortFlag) return;  // Cancel
    if (yes) {
      SaveCurrentFile(CurrentFileName);
      if (!AbortFlag) DataModified = false;
    } else {
      DataModified = false;
    }
    return;
  }
  const bool yes = AskYesNo("Reject old data ?");
  if (yes) {
    DataModified = false;
  } else {
    AbortFlag = true;
  }
}
