// Block files of the CAD driver's screen target as another program may have written them:
// parsed, then replayed the way every insert replays its block, with nested inserts of a
// block defined in the same drawing.
#include <memory>

#include "common/graphics_settings.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "fuzz_support.h"
#include "graphics/cad_blocks.h"
#include "graphics/cad_recorder.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/hpgl_viewer.h"
#include "graphics/view_control.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedDialogHost host;
  ResetProgramStateForTests();
  InitGraphicsSettings();
  InitViewState();
  InitHpglState();
  ProgramSettings.ScreenWidth = 640;
  ProgramSettings.ScreenHeight = 480;
  ProgramSettings.tempDirectory = fuzz::ScratchDir();
  auto facade = std::make_unique<TGraphicsFacade>();
  auto window = std::make_unique<TGraphicsWindow>();
  window->FormCreate();
  GraphicsWindowInstance = window.get();
  ResetCadDriverForTests();
  ResetErrors();
  AbortFlag = false;

  const TBlockFileContent content = ParseBlockFile(fuzz::Bytes(data, size));
  {
    TCadRecorder rec;
    CadOpen(kCadScreen);
    CadBeginTables(0);
    CadBeginBlocks();
    // Inserts in the fuzzed text may name these blocks.
    for (const char* name : {"A", "ZAHN1"}) {
      CadBeginBlock(name);
      CadLine(0, 0, 10, 10);
      CadEndBlock();
    }
    CadEndSection();
    CadBeginEntities();
    CadReplayEntities(content);
    BlockTransform.offsetX = 10;
    BlockTransform.angle = 30;
    BlockTransform.scaleX = 2;
    CadReplayEntities(content);
    BlockTransform = TBlockTransform{};
    CadEndSection();
    CadClose();
  }
  ResetCadDriverForTests();
  GraphicsWindowInstance = nullptr;
  return 0;
}
