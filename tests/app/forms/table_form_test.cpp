// The table form on an offscreen screen over a scratch table: a cell value its field cannot hold
// is refused with a message naming the field and leaves the record as it was (the stored bytes
// are compared with the dBASE number, date and character layouts); "+" opens a new row that
// Cancel takes away again and Post stores.
#include "app/forms/table_form.h"

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QToolButton>
#include <cstring>

#include "app/app_test_support.h"
#include "app/print_presets.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"

namespace {

using app_test::ScratchDir;

// NAME C 8, SCALE N 8.3, ORIGIN N 4, BORN D, flag byte first: the byte offsets of each field.
constexpr std::size_t kName = 1, kScale = 9, kOrigin = 17, kBorn = 21, kRecordLength = 29;

class TableFormGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitXbaseCore();
    LoadLogicalTexts();
    InitPrintPresets();
    path_ = dir_ / "t.dbf";
    Select(1);
    ASSERT_TRUE(CreateDbf(
        path_,
        {{"NAME", 'C', 8, 0}, {"SCALE", 'N', 8, 3}, {"ORIGIN", 'N', 4, 0}, {"BORN", 'D', 8, 0}}, 0,
        true));
    ClearRecord();
    SetFieldText(1, "first");
    SetFieldNumber(2, 1.5);
    SetFieldNumber(3, 12);
    Append();
    CloseAll();
    DbTableOpen(path_);
    ASSERT_TRUE(TableDataset().Active());
    form_.Prepare(DbfFormMode("", 0));
    grid_ = form_.findChild<QTableWidget*>("XbGrid1");
    ASSERT_NE(grid_, nullptr);
  }
  void TearDown() override {
    DbTableClose();
    DoneXbaseCore();
  }
  QToolButton* Button(const char* name) { return form_.findChild<QToolButton*>(name); }
  // Record n as the file holds it.
  std::string Record(int n) {
    const std::string b = app_test::ReadBytes(path_);
    const std::size_t header = std::uint8_t(b[8]) | std::uint8_t(b[9]) << 8;
    return b.size() >= header + n * kRecordLength
               ? b.substr(header + (n - 1) * kRecordLength, kRecordLength)
               : std::string();
  }

  ScratchDir dir_;
  std::string path_;
  ScriptedDialogHost host_;
  Tdbf4 form_;
  QTableWidget* grid_ = nullptr;
};

TEST_F(TableFormGui, ValuesTheFieldCannotHoldAreRefusedNamingTheField) {
  const struct {
    int column;
    const char* typed;
    const char* refusedNaming;  // nullptr: taken
    std::size_t at;
    const char* stored;  // the field's bytes afterwards
  } cases[] = {
      {0, "far too long", "NAME", kName, "first   "},
      {1, "abc", "SCALE", kScale, "   1.500"},
      {1, "12345678", "SCALE", kScale, "   1.500"},  // 12345678.000 needs 12 places
      {1, "0,75", nullptr, kScale, "   0.750"},
      {2, "12345", "ORIGIN", kOrigin, "  12"},
      {2, "-999", nullptr, kOrigin, "-999"},
      {3, "13/45/99", "BORN", kBorn, "        "},
      {3, "x", "BORN", kBorn, "        "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("typed ") + c.typed);
    host_.Clear();
    const std::string before = Record(1);
    grid_->item(0, c.column)->setText(c.typed);
    const std::vector<std::string> messages = host_.Messages();
    if (c.refusedNaming) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages[0].find(c.refusedNaming), std::string::npos) << messages[0];
      EXPECT_EQ(Record(1), before);
    } else {
      EXPECT_TRUE(messages.empty()) << messages[0];
    }
    EXPECT_EQ(Record(1).substr(c.at, std::strlen(c.stored)), c.stored);
    // A refused cell shows again what the record holds.
    if (c.refusedNaming) EXPECT_NE(grid_->item(0, c.column)->text().toStdString(), c.typed);
  }
}

TEST_F(TableFormGui, PlusOpensANewRowThatCancelTakesAwayAndPostStores) {
  const std::string before = app_test::ReadBytes(path_);
  Button("Insert")->click();
  ASSERT_EQ(grid_->rowCount(), 2);
  EXPECT_EQ(grid_->currentRow(), 1);
  EXPECT_EQ(grid_->item(1, 0)->text(), "");  // an empty record, not a copy of the current one
  grid_->item(1, 0)->setText("second");
  grid_->item(1, 1)->setText("99999999");  // refused in the new row as well
  EXPECT_EQ(host_.Messages().size(), 1u);
  EXPECT_EQ(TableDataset().GetRecordCount(), 1) << "nothing stored while the row is new";
  Button("Cancel")->click();
  EXPECT_EQ(grid_->rowCount(), 1);
  EXPECT_EQ(grid_->item(0, 0)->text(), "first");
  EXPECT_TRUE(app_test::ReadBytes(path_) == before);

  Button("Insert")->click();
  grid_->item(1, 0)->setText("second");
  grid_->item(1, 2)->setText("7");
  Button("Post")->click();
  EXPECT_EQ(grid_->rowCount(), 2);
  EXPECT_EQ(TableDataset().GetRecordCount(), 2);
  EXPECT_EQ(Record(2).substr(kName, 8), "second  ");
  EXPECT_EQ(Record(2).substr(kOrigin, 4), "   7");
  EXPECT_EQ(Record(1).substr(kName, 8), "first   ");
}

}  // namespace
