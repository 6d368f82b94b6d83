// The auxiliary image chooser driven by its controls: choosing an entry shows it, OK ends the
// command.
#include "graphics/forms/aux_image_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/aux_images.h"
#include "graphics/display_list.h"
#include "graphics/forms/graphics_window_form.h"
#include "graphics/graphics_facade.h"
#include "graphics/view_control.h"

namespace {

namespace fs = std::filesystem;

TEST(TForm_hilfebild, ChoosingAnEntryShowsItAndOkEndsTheCommand) {
  ResetProgramStateForTests();
  SetProgramIdentity();
  InitGraphicsSettings();
  InitViewState();
  ProgramSettings.ScreenWidth = 640;
  ProgramSettings.ScreenHeight = 480;
  ScriptedDialogHost host;
  TGraphicsFacade facade;
  TFtarvgra window;
  GraphicsWindowInstance = &window;
  const fs::path dir = fs::temp_directory_path() / "vuko_hilfebild_test";
  fs::create_directories(dir);
  // A file name in UTF-8 and a description in code page 850 ("\x9A" is "Ü").
  std::ofstream(dir / "vuko.dbh") << "\"one\",\"First\"\n\"two\",\"Second\"\n\"maß\",\"\x9A\"\n";
  std::ofstream(dir / "one.plt") << "SP1;PU0,0;PD400,0;\n";
  std::ofstream(dir / "two.plt") << "SP1;PU0,0;PD0,400;\n";
  ProgramSettings.pltDirectory = dir.string();
  InstallQtAuxImageChooser();

  int opened = 0;
  QString caption;
  int entries = 0;
  QString third;
  std::function<void()> drive = [&] {
    auto* dialog = qobject_cast<TForm_hilfebild*>(QApplication::activeModalWidget());
    if (!dialog) {
      QTimer::singleShot(5, drive);
      return;
    }
    ++opened;
    caption = dialog->windowTitle();
    auto* list = dialog->findChild<QComboBox*>("ListBox1");
    entries = list->count();
    third = list->itemText(2);
    if (opened == 1) {
      list->setCurrentIndex(1);  // "two"
      QTimer::singleShot(5, drive);
    } else {
      dialog->findChild<QPushButton*>("Button_ok")->click();
    }
  };
  QTimer::singleShot(5, drive);
  AuxImagesMenu();

  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(opened, 2);
  EXPECT_EQ(caption, "VUKO Auxiliary Images");
  EXPECT_EQ(entries, 8);  // three images and five action lines
  EXPECT_EQ(third, QString::fromUtf8("maß     : Ü")) << "names as the file system gives them";
  EXPECT_EQ(DisplayList->RecordText(DisplayList->Count() - 1), "4;0;0;0;10");
  InstallAuxImageChooser(nullptr);
  GraphicsWindowInstance = nullptr;
  fs::remove_all(dir);
}

}  // namespace
