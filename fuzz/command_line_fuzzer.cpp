// Program arguments (separated by zero bytes in the input) as start-up reads them: the action
// they ask for, the CAD format and drawing of a batch switch and the parameter lookups.
#include <vector>

#include "app/command_line.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size && args.size() <= 8; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back().push_back(static_cast<char>(data[i]));
    }
  }
  if (size == 0) args.clear();
  const TCommandLine line = ParseCommandLine(args);
  if (args.empty()) FUZZ_CHECK(line.action == TCommandAction::NormalStart);
  // A batch switch standing first names no data file; any other action works on the first argument.
  if (line.action == TCommandAction::FileMissing) {
    FUZZ_CHECK(line.fileName.empty());
  } else if (line.action != TCommandAction::NormalStart && line.action != TCommandAction::Help &&
             line.action != TCommandAction::Demo) {
    FUZZ_CHECK(line.fileName == args[0]);
  }
  if (line.action == TCommandAction::Cad) {
    const TCadBatchCall call = CadBatchCall(line.drawingNumber);
    if (call.entry != TCadBatchEntry::None)
      FUZZ_CHECK(line.drawingNumber >= 1 && line.drawingNumber <= 13);
    IsBatchCadFormat(line.cadFormat);
  }
  IsBatchAction(line.action);
  SetProgramArguments(args);
  SetCommandLineParameters(args);
  HasParam("/NOGUI");
  if (line.action == TCommandAction::Help) FillCommandLineHelp();
  return 0;
}
