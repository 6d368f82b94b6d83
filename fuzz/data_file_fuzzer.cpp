// The data file (".vuk") as the open command reads it. A file that reads is written and read
// back until the writing settles: the first writing may round what a hand-edited file held to
// the decimals the file keeps; the second must give the same file again, so every value
// survives its round trip.
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

  const std::string rounded = fuzz::Path("rounded.vuk");
  const std::string first = fuzz::Path("first.vuk");
  const std::string second = fuzz::Path("second.vuk");
  for (const std::string& name : {rounded, first}) {
    WriteDataFile(name);
    FUZZ_CHECK(!AbortFlag);
    StartState();
    ReadDataFile(name);
    FUZZ_CHECK(!AbortFlag);
  }
  WriteDataFile(second);
  FUZZ_CHECK(!AbortFlag);
  fuzz::CheckSameFiles(first, second);
  return 0;
}
