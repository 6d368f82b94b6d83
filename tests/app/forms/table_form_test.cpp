#include "app/forms/table_form.h"

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QToolButton>

#include "app/app_test_support.h"
#include "app/print_presets.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "xbase/work_areas.h"

// In a new row ("+"), values their field cannot hold are refused naming it; Cancel keeps the file.
TEST(TableForm, RefusedValuesAndACancelledNewRowLeaveTheFileUnchanged) {
  app_test::ScratchDir dir;
  const std::string path = dir / "t.dbf";
  ResetProgramStateForTests();
  InitXbaseCore();
  ASSERT_TRUE(CreateDbf(path, {{"NAME", 'C', 8, 0}, {"SCALE", 'N', 8, 3}, {"BORN", 'D', 8, 0}}));
  CloseAll();
  const std::string before = app_test::ReadBytes(path);
  DbTableOpen(path);
  ScriptedDialogHost host;
  Tdbf4 form;
  form.Prepare(DbfFormMode("", 0));
  auto* grid = form.findChild<QTableWidget*>("XbGrid1");
  form.findChild<QToolButton*>("Insert")->click();
  ASSERT_EQ(grid->rowCount(), 1);
  const char* cases[][2] = {{"too long!", "NAME"}, {"12345678", "SCALE"}, {"13/45/99", "BORN"}};
  for (int c = 0; c < 3; ++c) grid->item(0, c)->setText(cases[c][0]);  // 12345678.000: 12 places
  const std::vector<std::string> shown = host.Messages();
  ASSERT_EQ(shown.size(), 3u);
  for (int c = 0; c < 3; ++c) EXPECT_NE(shown[c].find(cases[c][1]), std::string::npos) << shown[c];
  grid->item(0, 0)->setText("second");
  form.findChild<QToolButton*>("Cancel")->click();
  EXPECT_TRUE(app_test::ReadBytes(path) == before);
  DbTableClose();
  DoneXbaseCore();
}
