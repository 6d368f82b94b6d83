// The explanation file of calculation messages as the result listing and the explanation window
// read and rewrite it. Messages are taken from the file's own lines, so records are found; a
// record that was found and is then replaced gives back exactly the new texts.
#include <sstream>
#include <vector>

#include "common/error_explanations.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedDialogHost host;
  ResetProgramStateForTests();
  SetProgramIdentity();
  InitMessageList();
  SetCommandLineParameters({});
  ProgramSettings.pltDirectory = fuzz::ScratchDir();
  ProgramSettings.tempDirectory = fuzz::ScratchDir();
  AbortFlag = false;
  const std::string file = fuzz::Bytes(data, size);
  fuzz::PutFile(ErrorExplanationFileName(), file);

  std::vector<std::string> messages;
  std::istringstream in(file);
  std::string line;
  while (messages.size() < 4 && std::getline(in, line)) messages.push_back(line);
  messages.push_back("Error  : no such message !");
  for (const std::string& m : messages) AddError(m);

  std::string origin, remedy;
  for (int n = 1; n <= static_cast<int>(messages.size()); ++n) {
    GetErrorOrigin(n, origin);
    GetErrorRemedy(n, remedy);
    ShowErrorHelp(n);
  }
  GetErrorOrigin(1, origin);
  if (origin == kNoErrorHelpText) return 0;
  // A line of the file that is itself no record still names one here (14 characters decide).
  SaveErrorHelp(messages[0], "new origin", "new remedy");
  GetErrorOrigin(1, origin);
  GetErrorRemedy(1, remedy);
  FUZZ_CHECK(origin == "new origin");
  FUZZ_CHECK(remedy == "new remedy");
  return 0;
}
