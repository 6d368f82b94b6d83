// The session file (recent files) as start-up reads it; a list that reads is written and read
// back unchanged.
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "common/session_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedDialogHost host;
  ResetProgramStateForTests();
  SetProgramIdentity();
  ConfigVariables.ConfigDirectory = fuzz::ScratchDir();
  AbortFlag = false;
  fuzz::PutFile(SessionFileName(), fuzz::Bytes(data, size));
  ReadSession();
  const auto read = ConfigVariables.RecentFiles;
  if (read[1].empty()) return 0;

  WriteSession();
  FUZZ_CHECK(!AbortFlag);
  ConfigVariables.RecentFiles.Fill("stale");
  ReadSession();
  for (int i = 1; i <= kRecentFileCount; ++i) FUZZ_CHECK(ConfigVariables.RecentFiles[i] == read[i]);
  return 0;
}
