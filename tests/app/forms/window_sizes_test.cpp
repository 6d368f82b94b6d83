// The secondary windows open at a size that shows what they hold: the table of data files with
// its ten columns filled from the shipped examples, the drawing information with its text
// column, the printer information with its labels, the dimension, configuration, print and
// documentation dialogs with every label and button, all within the screen.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPrinter>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <filesystem>
#include <memory>

#include "app/app_test_support.h"
#include "app/data_file_table.h"
#include "app/forms/about_box.h"
#include "app/forms/cad_profile_dialog.h"
#include "app/forms/change_record_dialog.h"
#include "app/forms/config_dialog.h"
#include "app/forms/dimension_dialog.h"
#include "app/forms/document_slots_dialog.h"
#include "app/forms/drawing_info_dialog.h"
#include "app/forms/drawing_texts_dialog.h"
#include "app/forms/print_setup.h"
#include "app/forms/printer_info.h"
#include "app/forms/table_form.h"
#include "app/forms/table_preview_form.h"
#include "app/forms/tooth_profile_settings_dialog.h"
#include "app/forms/window_geometry.h"
#include "app/startup.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/forms/form_placement.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/forms/aux_image_chooser.h"

namespace {

using window_geometry::ExpectContentVisible;

class WindowSizes : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir_.Make("xdg").c_str(), 1);
    InitModules();
    SetProgramIdentity();
    ConfigVariables.ConfigDirectory = dir_.Path();
    ResetPrinterObject();
    ThePrinter().setOutputFormat(QPrinter::PdfFormat);
    ThePrinter().setOutputFileName(QString::fromStdString(dir_ / "print.pdf"));
    NewSplineExample();
    CalcSplineJoint();
  }
  void TearDown() override { ResetPrinterObject(); }

  app_test::ScratchDir dir_;
  ScriptedDialogHost host_;
};

TEST_F(WindowSizes, TableOfDataFilesShowsAllTenColumns) {
  TForm_preview preview;
  preview.SetGrid(ScanDataFiles(std::string(VUKO_DATA_DIR) + "/"));
  preview.SetColumnWidth(2, 90);
  preview.SetColumnWidth(3, 90);
  ASSERT_EQ(preview.StringGrid1->columnCount(), 10);
  ASSERT_GE(preview.StringGrid1->rowCount(), 4);
  ExpectContentVisible(preview);
  // And no wider than its columns (all rows shown) ask for, scaled by the dialog percent.
  const int width =
      preview.StringGrid1->horizontalHeader()->length() + 2 * preview.StringGrid1->frameWidth();
  EXPECT_LE(preview.width(), width * ConfigVariables.DialogScalePercent / 100 + 1);
}

TEST_F(WindowSizes, DialogsShowEveryLabelButtonAndColumn) {
  std::vector<std::unique_ptr<QWidget>> windows;
  windows.emplace_back(new TForm_zeichInfo);
  windows.emplace_back(new TForm_printerinfo);
  windows.emplace_back(new TForm_vukogeo);
  windows.emplace_back(new TForm_printconf);
  windows.emplace_back(new TForm_EinAend(1));
  windows.emplace_back(new TForm_confDoku);
  windows.emplace_back(new TForm_qmeingabetext);
  windows.emplace_back(new TForm_tovpconf);
  windows.emplace_back(new TForm_qm2config(1));
  windows.emplace_back(new TAboutBox);
  windows.emplace_back(new TSysinfo);
  // The auxiliary image chooser with the shipped list and its action lines.
  ScreenLines[1] = "joint   : Spline joint: d, da, df, dFf, DM";
  ScreenLines[2] = "balls   : Dimension over and between balls M, DM";
  ScreenLines[3] = "--- new ---";
  auto* chooser = new TForm_hilfebild;
  chooser->count = 3;
  windows.emplace_back(chooser);
  for (auto& window : windows) {
    SCOPED_TRACE(window->metaObject()->className());
    ExpectContentVisible(*window);
    window->hide();
  }
}

// Each table of a table window made as wide as the screen less what the window holds beside it
// shows every column; made wider than the screen, it gives up what is missing and the window
// stays within the screen.
TEST_F(WindowSizes, TableWindowsFitTheScreenAndShowTheirColumns) {
  ConfigVariables.DialogScalePercent = 100;
  std::filesystem::copy_file(VUKO_DATA_DIR "/printout.dbf", dir_ / "printout.dbf");
  DbTableOpen(dir_ / "printout.dbf");
  auto preview = std::make_unique<TForm_preview>();
  preview->SetGrid(ScanDataFiles(std::string(VUKO_DATA_DIR) + "/"));
  auto table = std::make_unique<Tdbf4>();
  table->Prepare(DbfFormMode("", 0));
  TForm_zeichInfo information;
  TForm_printerinfo printers;
  for (QWidget* window : {static_cast<QWidget*>(preview.get()), static_cast<QWidget*>(table.get()),
                          static_cast<QWidget*>(&information), static_cast<QWidget*>(&printers)}) {
    const int screen = window->screen()->availableGeometry().width();
    for (QTableView* grid : window->findChildren<QTableView*>()) {
      SCOPED_TRACE(std::string(window->metaObject()->className()) + " " +
                   grid->objectName().toStdString());
      QHeaderView* header = grid->horizontalHeader();
      const int last = header->count() - 1;
      grid->setMinimumWidth(2 * screen);
      const int beside = window->minimumSizeHint().width() - 2 * screen;
      ScaleAndCenterForm(window);
      window->show();
      QApplication::processEvents();
      // Its frame, row headers and scroll bar, and what is left for its columns.
      const int frame = grid->width() - grid->viewport()->width();
      for (const int columns : {screen - beside - frame - 4, 2 * screen}) {
        if (header->length() > columns) continue;  // this machine's fonts leave no room
        int width = grid->columnWidth(last) + columns - header->length();
        if (width == header->defaultSectionSize()) ++width;  // else taken for one nobody sized
        grid->setColumnWidth(last, width);
        ScaleAndCenterForm(window);
        QApplication::processEvents();
        EXPECT_LE(window->width(), screen) << columns;
        if (columns < screen) EXPECT_LE(header->length(), grid->viewport()->width()) << columns;
      }
      window->hide();
    }
  }
  DbTableClose();
}

// Every page of the configuration dialog, each shown in turn.
TEST_F(WindowSizes, ConfigurationPagesShowTheirControls) {
  Tconfig form;
  auto* pages = form.findChild<QTabWidget*>();
  ASSERT_NE(pages, nullptr);
  for (int i = 0; i < pages->count(); ++i) {
    pages->setCurrentIndex(i);
    SCOPED_TRACE(pages->tabText(i).toStdString());
    ExpectContentVisible(form);
  }
}

}  // namespace
