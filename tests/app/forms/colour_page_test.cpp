// The colour page of the configuration dialog as the user sees it: every row caption of the
// layer colour table is shown whole (the text the view would draw, with its own font metrics,
// equals the caption). With VUKO_SCREENSHOT_DIR set the page is saved there as a picture.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>

#include "app/app_test_support.h"
#include "app/forms/config_dialog.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"

namespace {

TEST(ColourPage, RowCaptionsAreShownWhole) {
  app_test::ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Make("xdg").c_str(), 1);
  ResetProgramStateForTests();
  InitGraphicsSettings();
  SetProgramIdentity();
  ConfigVariables.ConfigDirectory = dir.Path();
  ProgramSettings.ScreenWidth = 799;
  ProgramSettings.ScreenHeight = 599;
  ScriptedDialogHost host;

  Tconfig f;
  f.Control<QTabWidget>("Pagecontrol1")->setCurrentWidget(f.Control<QWidget>("Tab_color"));
  f.show();
  QApplication::processEvents();
  auto* grid = f.Control<QTableWidget>("StringGrid_color");
  ASSERT_NE(grid, nullptr);
  // The table is wide enough for all its columns: none is scrolled out of sight.
  EXPECT_GE(grid->viewport()->width(),
            grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2));
  const QFontMetrics metrics(grid->font());
  for (int row = 1; row <= 16; ++row) {
    const QTableWidgetItem* item = grid->item(row, 0);
    ASSERT_NE(item, nullptr) << row;
    EXPECT_EQ(item->text(), QString("Colour of layer %1").arg(row + 15));
    // What the cell can show of its text, with the margins a view leaves around it.
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid);
    const int room = grid->columnWidth(0) - 2 * (margin + 1);
    EXPECT_EQ(metrics.elidedText(item->text(), Qt::ElideRight, room), item->text())
        << "row " << row << " is cut short in " << grid->columnWidth(0) << " pixels";
  }
  if (const char* out = std::getenv("VUKO_SCREENSHOT_DIR")) {
    f.grab().save(QString::fromLocal8Bit(out) + "/colour_page.png");
  }
}

}  // namespace
