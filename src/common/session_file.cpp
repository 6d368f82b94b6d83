// The session file: header line with the data directory, then the four recent files.
#include "common/session_file.h"

#include <string>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/program_state.h"
#include "common/text_file.h"

std::string SessionFileName() {
  return AddBackslash(ConfigVariables.ConfigDirectory) + ProgramIdentity.fileStem + ".cff";
}

void ReadSession() {
  auto& recent = ConfigVariables.RecentFiles;
  recent.Fill(std::string());
  TTextFile file;
  file.Assign(SessionFileName());
  if (file.Reset() != kIoOk) return;
  std::string line;
  if (!file.Eof()) file.ReadLine(line);  // header
  for (int i = 1; i <= kRecentFileCount && !file.Eof(); ++i) {
    file.ReadLine(recent[i]);
    recent[i] = NameFromFile(recent[i]);  // a session written in CP850 is converted once
  }
  if (file.IoResult() != kIoOk) {
    // The entries before the damage are kept.
    ErrorMessageIfEnabled("session file " + NameText(file.Name()) + " incomplete or unreadable !");
  }
  file.Close();
}

void WriteSession() {
  auto& recent = ConfigVariables.RecentFiles;
  if (recent[1].empty()) return;
  AbortFlag = false;
  // One line per name: a name holding a line break would split the list. Such a recent file is
  // dropped and the others move up; a data directory holding one keeps the old file whole.
  const auto holdsLineBreak = [](const std::string& name) {
    return name.find_first_of("\r\n") != std::string::npos;
  };
  if (holdsLineBreak(DataDirectory)) {
    ErrorMessageIfEnabled("session file " + NameText(SessionFileName()) +
                          " not saved: the data directory holds a line break");
    AbortFlag = true;
    return;
  }
  int kept = 0;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    if (holdsLineBreak(recent[i])) {
      ErrorMessageIfEnabled("recent file " + NameText(recent[i]) + " not kept in session file " +
                            NameText(SessionFileName()) + ": its name holds a line break");
    } else {
      recent[++kept] = recent[i];
    }
  }
  while (kept < kRecentFileCount) recent[++kept].clear();
  AssignText(GlobalTextFile, SessionFileName());
  RewriteChecked(GlobalTextFile);
  if (AbortFlag) return;
  WriteLineStr(ProgramIdentity.fileStem + " Session " + DataDirectory);
  for (int i = 1; i <= kRecentFileCount; ++i) WriteLineStr(recent[i]);
  if (AbortFlag) {
    AbandonText(GlobalTextFile);
    return;
  }
  CloseText(GlobalTextFile);
}
