// The configuration file as start-up reads it, over the start values of every setting. Some
// reals are written with the digits the settings themselves ask for, so writing may round what
// a hand-edited file held (a value rounded to 0 then reads as its default); after a few
// writings the file must come back unchanged, never drift.
#include "common/config_file.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "fuzz_support.h"
#include "graphics/view_control.h"

namespace {

void StartState() {
  ResetProgramStateForTests();
  InitGraphicsSettings();
  InitViewState();
  SetProgramIdentity();
  ConfigVariables.ConfigDirectory = fuzz::ScratchDir();
  ProgramSettings.BaseDirectory = fuzz::ScratchDir();
  AbortFlag = false;
}

void WriteAndReadBack(const std::string& name) {
  AbortFlag = false;
  WriteConfigFile(name);
  FUZZ_CHECK(!AbortFlag);
  StartState();
  FUZZ_CHECK(ReadConfigFile(name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedDialogHost host;
  StartState();
  const std::string input = fuzz::Path("input.cfg");
  fuzz::PutFile(input, fuzz::Bytes(data, size));
  if (!ReadConfigFile(input)) return 0;

  std::string previous = fuzz::Path("pass0.cfg");
  WriteAndReadBack(previous);
  for (int pass = 1; pass <= 3; ++pass) {
    const std::string next = fuzz::Path("pass" + std::to_string(pass) + ".cfg");
    WriteAndReadBack(next);
    if (fuzz::GetFile(previous) == fuzz::GetFile(next)) return 0;
    previous = next;
  }
  fuzz::CheckSameFiles(fuzz::Path("pass2.cfg"), previous);
  return 0;
}
