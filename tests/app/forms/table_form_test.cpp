// The table form over a scratch table: a cell value its field cannot hold is refused with a
// message naming the field and the record's bytes (dBASE number, date and character layouts)
// stay; "+" opens a new row that Cancel takes away and Post stores; a number too wide for its
// field that reaches the dataset is stored as asterisks and reported.
#include "app/forms/table_form.h"

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QToolButton>

#include "app/app_test_support.h"
#include "app/print_presets.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"
#include "xbase/xbase_errors.h"

namespace {

class TableFormGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitXbaseCore();
    LoadLogicalTexts();
    InitPrintPresets();
    Select(1);
    ASSERT_TRUE(CreateDbf(path_, {{"NAME", 'C', 8, 0}, {"SCALE", 'N', 8, 3}, {"BORN", 'D', 8, 0}}));
    ClearRecord();
    SetFieldText(1, "first");
    SetFieldNumber(2, 1.5);
    Append();
    CloseAll();
    DbTableOpen(path_);
    form_.Prepare(DbfFormMode("", 0));
    grid_ = form_.findChild<QTableWidget*>("XbGrid1");
  }
  void TearDown() override {
    DbTableClose();
    DoneXbaseCore();
  }
  void Click(const char* button) { form_.findChild<QToolButton*>(button)->click(); }
  // Record n's bytes behind its deletion flag: NAME C 8, SCALE N 8.3, BORN D 8.
  std::string Record(int n) { return app_test::ReadBytes(path_).substr(130 + (n - 1) * 25, 24); }

  app_test::ScratchDir dir_;
  std::string path_ = dir_ / "t.dbf";
  ScriptedDialogHost host_;
  Tdbf4 form_;
  QTableWidget* grid_ = nullptr;
};

TEST_F(TableFormGui, ValuesTheFieldCannotHoldAreRefusedNamingTheField) {
  const struct {
    int column;
    const char* typed;
    const char* refusedNaming;  // nullptr: taken
    const char* record;
  } cases[] = {
      {0, "too long!", "NAME", "first      1.500        "},
      {1, "abc", "SCALE", "first      1.500        "},
      {1, "12345678", "SCALE", "first      1.500        "},  // 12345678.000: 12 places
      {1, "0,75", nullptr, "first      0.750        "},
      {2, "13/45/99", "BORN", "first      0.750        "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    host_.Clear();
    grid_->item(0, c.column)->setText(c.typed);
    const std::vector<std::string> messages = host_.Messages();
    EXPECT_EQ(messages.size(), c.refusedNaming ? 1u : 0u);
    if (c.refusedNaming && !messages.empty())
      EXPECT_NE(messages[0].find(c.refusedNaming), std::string::npos) << messages[0];
    EXPECT_EQ(Record(1), c.record);
    if (c.refusedNaming) EXPECT_NE(grid_->item(0, c.column)->text(), c.typed);
  }
  // Past the form, the dataset stores the asterisks dBASE stores, and says so.
  host_.Clear();
  TableDataset().SetFieldFloat("scale", 1e9);
  TableDataset().Post();
  EXPECT_EQ(XbaseErrorCode, 201);
  EXPECT_EQ(Record(1).substr(8, 8), "********");
  ASSERT_EQ(host_.Messages().size(), 1u);
  EXPECT_NE(host_.Messages()[0].find("SCALE"), std::string::npos) << host_.Messages()[0];
}

TEST_F(TableFormGui, PlusOpensANewRowThatCancelTakesAwayAndPostStores) {
  const std::string before = app_test::ReadBytes(path_);
  Click("Insert");
  ASSERT_EQ(grid_->rowCount(), 2);
  EXPECT_EQ(grid_->item(1, 0)->text(), "");  // an empty record, not a copy of the current one
  grid_->item(1, 0)->setText("second");
  EXPECT_EQ(TableDataset().GetRecordCount(), 1) << "nothing stored while the row is new";
  Click("Cancel");
  EXPECT_EQ(grid_->rowCount(), 1);
  EXPECT_TRUE(app_test::ReadBytes(path_) == before);
  Click("Insert");
  grid_->item(1, 0)->setText("second");
  Click("Post");
  EXPECT_EQ(grid_->rowCount(), 2);
  EXPECT_EQ(Record(2).substr(0, 8), "second  ");
}

}  // namespace
