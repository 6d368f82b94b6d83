// HP-GL/2 plot files as the help pictures, auxiliary images and the start picture show them:
// read from disk and drawn into the graphics window's display list.
#include <memory>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "fuzz_support.h"
#include "graphics/display_list.h"
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
  auto facade = std::make_unique<TGraphicsFacade>();
  auto window = std::make_unique<TGraphicsWindow>();
  window->FormCreate();
  GraphicsWindowInstance = window.get();
  AbortFlag = false;

  facade->GrHeader(0, 0, 160, 120);
  facade->GrClear();
  const std::string file = fuzz::Path("picture.plt");
  fuzz::PutFile(file, fuzz::Bytes(data, size));
  ShowHpglFile(file);
  FUZZ_CHECK(!AbortFlag);  // a file that opens is drawn as far as it goes, never refused
  // State carries over to the next picture: a second file starts from what the first left.
  ShowHpglData(fuzz::Bytes(data, size));
  for (std::size_t i = 0; i < DisplayList->Count(); ++i) DisplayList->RecordText(i);

  GraphicsWindowInstance = nullptr;
  return 0;
}
