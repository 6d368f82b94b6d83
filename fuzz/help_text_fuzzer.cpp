// Help files as the help buttons and control hints read them: the program's own file (numbers
// from 4000) and the maker's shared one. The first two bytes choose the entry looked up.
#include "common/help_texts.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  ScriptedDialogHost host;
  ResetProgramStateForTests();
  SetProgramIdentity();
  ProgramSettings.pltDirectory = fuzz::ScratchDir();
  const int pick = data[0] | data[1] << 8;
  const std::string file = fuzz::Bytes(data + 2, size - 2);
  fuzz::PutFile(HelpFileName(kOwnHelpFirstNumber), file);
  fuzz::PutFile(HelpFileName(1), file);

  for (const int number : {kOwnHelpFirstNumber + pick % 100, pick % 4000, pick}) {
    THelpLines lines;
    std::string image;
    const THelpLookup found = LookupHelpEntry(number, lines, image);
    FUZZ_CHECK(found != THelpLookup::FileMissing);
    if (found == THelpLookup::EntryMissing) FUZZ_CHECK(lines[1] == NoHelpText(number));
    std::string hint;
    GetHelpText(number, hint);
    ShowHelpText(number, kHelpTextOnly);
  }
  return 0;
}
