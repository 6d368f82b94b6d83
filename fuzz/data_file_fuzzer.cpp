// The data file (".vuk") as the open command reads it. A file that reads is written, read and
// written again: the two written files must agree, so every value survives its round trip.
#include "app/data_file.h"
#include "app/documentation_records.h"
#include "calc/toothing_data.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/drawing_documentation.h"
#include "fuzz_support.h"

namespace {

void StartState() {
  InitProgramState();
  SetProgramIdentity();
  InitMessageList();
  InitToothingData();
  InitChangeRecords();
  InitDocumentSlots();
  DataDirectory = fuzz::ScratchDir();
  ProgramSettings.tempDirectory = fuzz::ScratchDir();
  AbortFlag = false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedDialogHost host;
  StartState();
  const std::string input = fuzz::Path("input.vuk");
  fuzz::PutFile(input, fuzz::Bytes(data, size));
  ReadDataFile(input);
  if (AbortFlag) return 0;

  const std::string first = fuzz::Path("first.vuk");
  const std::string second = fuzz::Path("second.vuk");
  WriteDataFile(first);
  FUZZ_CHECK(!AbortFlag);
  StartState();
  ReadDataFile(first);
  FUZZ_CHECK(!AbortFlag);
  WriteDataFile(second);
  FUZZ_CHECK(!AbortFlag);
  fuzz::CheckSameFiles(first, second);
  return 0;
}
