// The configuration file as start-up reads it, over the start values of every setting. Some
// reals are kept with three significant digits, so the first writing may round what a
// hand-edited file held, and a value rounded to 0 reads back as its default; the second
// writing must then give the file back unchanged.
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

  WriteAndReadBack(fuzz::Path("rounded.cfg"));
  WriteAndReadBack(fuzz::Path("first.cfg"));
  WriteAndReadBack(fuzz::Path("second.cfg"));
  fuzz::CheckSameFiles(fuzz::Path("first.cfg"), fuzz::Path("second.cfg"));
  return 0;
}
