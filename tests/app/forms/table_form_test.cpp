#include "app/forms/table_form.h"

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QToolButton>
#include <tuple>

#include "app/app_test_support.h"
#include "app/print_presets.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"

namespace {

// Typed values their field cannot hold are refused naming the field; "+" then Cancel stores
// nothing either: the file keeps its bytes.
TEST(TableForm, RefusedValuesAndACancelledNewRowLeaveTheFileUnchanged) {
  app_test::ScratchDir dir;
  const std::string path = dir / "t.dbf";
  ResetProgramStateForTests();
  InitXbaseCore();
  LoadLogicalTexts();
  InitPrintPresets();
  Select(1);
  ASSERT_TRUE(CreateDbf(path, {{"NAME", 'C', 8, 0}, {"SCALE", 'N', 8, 3}, {"BORN", 'D', 8, 0}}));
  ClearRecord();
  SetFieldText(1, "first");
  SetFieldNumber(2, 1.5);
  Append();
  CloseAll();
  const std::string before = app_test::ReadBytes(path);
  DbTableOpen(path);
  ScriptedDialogHost host;
  Tdbf4 form;
  form.Prepare(DbfFormMode("", 0));
  auto* grid = form.findChild<QTableWidget*>("XbGrid1");
  for (const auto& [column, typed, field] : {std::tuple{0, "too long!", "NAME"},
                                             {1, "12345678", "SCALE"},  // 12 places with .000
                                             {2, "13/45/99", "BORN"}}) {
    host.Clear();
    grid->item(0, column)->setText(typed);
    const std::vector<std::string> shown = host.Messages();
    EXPECT_TRUE(shown.size() == 1 && shown[0].find(field) != std::string::npos) << typed;
  }
  form.findChild<QToolButton*>("Insert")->click();
  EXPECT_EQ(grid->rowCount(), 2);
  grid->item(grid->rowCount() - 1, 0)->setText("second");
  form.findChild<QToolButton*>("Cancel")->click();
  EXPECT_EQ(grid->rowCount(), 1);
  EXPECT_TRUE(app_test::ReadBytes(path) == before);
  DbTableClose();
  DoneXbaseCore();
}

}  // namespace
