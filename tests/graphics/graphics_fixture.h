// Shared set-up of the graphics tests: a 640 x 480 screen, fresh settings, the drawing facade
// with its display list, a graphics window without a screen and a scripted dialog host.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/hpgl_viewer.h"
#include "graphics/view_control.h"

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    InitHpglState();
    ProgramSettings.ScreenWidth = 640;
    ProgramSettings.ScreenHeight = 480;
    host_ = std::make_unique<ScriptedDialogHost>();
    facade_ = std::make_unique<TGraphicsFacade>();
    window_ = std::make_unique<TGraphicsWindow>();
    window_->FormCreate();
    GraphicsWindowInstance = window_.get();
    AbortFlag = false;
  }
  void TearDown() override {
    GraphicsWindowInstance = nullptr;
    window_.reset();
    facade_.reset();
    host_.reset();
  }
  TDisplayList& List() { return *DisplayList; }
  std::string Text(std::size_t i) { return DisplayList->RecordText(i); }

  std::unique_ptr<ScriptedDialogHost> host_;
  std::unique_ptr<TGraphicsFacade> facade_;
  std::unique_ptr<TGraphicsWindow> window_;
};
