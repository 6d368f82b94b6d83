// The preset buttons of the print dialog with the table form on an offscreen screen: a preset
// stored from the dialog, shown in the table form's grid, edited there, picked and loaded back
// into the dialog, whose OK then stores it in the print settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <functional>

#include "app/app_test_support.h"
#include "app/forms/print_setup.h"
#include "app/forms/table_form.h"
#include "app/forms/window_geometry.h"
#include "app/print_presets.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/forms/plot_program_dialog.h"
#include "gui_environment.h"
#include "xbase/memo_ops.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"

namespace {

using app_test::ScratchDir;

class PrintPresetsGui : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitXbaseCore();
    InitXbaseMemo();
    LoadLogicalTexts();
    InitPrintPresets();
    ConfigVariables.PresetDirectory = work_.Path();
    ProgramSettings.dbfDirectory = dbf_.Path();
    std::filesystem::copy_file(VUKO_DATA_DIR "/printout.dbf", dbf_ / "printout.dbf");
    PrintSettings.PictureKind = 5;
    ResetPrinterObject();
    ThePrinter().setOutputFormat(QPrinter::PdfFormat);
    ThePrinter().setOutputFileName(QString::fromStdString(work_ / "print.pdf"));
  }
  void TearDown() override {
    ResetPrinterObject();
    DoneXbaseCore();
  }
  template <class T>
  static T* Find(QObject& parent, const char* name) {
    T* w = parent.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // Runs the action on the table form once it is shown modally.
  static void OnTableForm(std::function<void(Tdbf4&)> action) {
    gui_test::After(0, [action] {
      auto* form = qobject_cast<Tdbf4*>(QApplication::activeModalWidget());
      ASSERT_NE(form, nullptr);
      action(*form);
    });
  }
  static QString Text(TForm_printconf& form, const char* name) {
    return Find<QLineEdit>(form, name)->text();
  }

  ScratchDir work_, dbf_;
  ScriptedDialogHost host_;
};

TEST_F(PrintPresetsGui, PresetStoredEditedInTheGridAndLoadedIntoTheDialog) {
  TForm_printconf form;
  Find<QLineEdit>(form, "Edit_scalex")->setText("0.5");
  Find<QLineEdit>(form, "Edit_scaley")->setText("2");
  Find<QLineEdit>(form, "Edit_xorigin")->setText("15");
  Find<QLineEdit>(form, "Edit_yorigin")->setText("25");
  Find<TRadioGroup>(form, "RadioGroup_hochquer")->SetItemIndex(1);
  Find<TRadioGroup>(form, "RadioGroup_printmono")->SetItemIndex(0);
  Find<QCheckBox>(form, "CheckBox_umrandung")->setChecked(true);
  host_.AnswerText("wide");
  Find<QPushButton>(form, "Button_append")->click();
  ASSERT_TRUE(app_test::Exists(dbf_ / "printout.dbf"));

  // Other values in the dialog, then the preset picked in the table form.
  Find<QLineEdit>(form, "Edit_scalex")->setText("9");
  Find<TRadioGroup>(form, "RadioGroup_hochquer")->SetItemIndex(0);
  Find<QCheckBox>(form, "CheckBox_umrandung")->setChecked(false);
  OnTableForm([](Tdbf4& table) {
    EXPECT_EQ(Find<QLabel>(table, "Label_title1")->text(), "Printout");
    EXPECT_TRUE(Find<QLabel>(table, "Label_filename")->text().endsWith("/printout.dbf"));
    QTableWidget* grid = Find<QTableWidget>(table, "XbGrid1");
    ASSERT_EQ(grid->rowCount(), 1);
    ASSERT_EQ(grid->columnCount(), 9);
    EXPECT_EQ(grid->horizontalHeaderItem(8)->text(), "BORDERLINE");
    EXPECT_EQ(grid->item(0, 0)->text(), "wide");
    window_geometry::ExpectContentVisible(table);  // every column and button in sight
    // The editing mode offers every navigator button.
    EXPECT_FALSE(Find<QToolButton>(table, "Insert")->isHidden());
    // A value typed into the grid goes into the table.
    grid->item(0, 1)->setText("0,75");
    EXPECT_EQ(grid->item(0, 1)->text(), "0.7500");
    grid->setCurrentCell(0, 0);
    Find<QPushButton>(table, "Button_ok")->click();
  });
  Find<QPushButton>(form, "Button_db")->click();
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(PresetRecordNumber, 1);
  EXPECT_EQ(Text(form, "Edit_scalex"), "0.7500");
  EXPECT_EQ(Text(form, "Edit_scaley"), "2.0000");
  EXPECT_EQ(Text(form, "Edit_xorigin"), "15");
  EXPECT_EQ(Find<TRadioGroup>(form, "RadioGroup_hochquer")->ItemIndex(), 1);
  EXPECT_TRUE(Find<QCheckBox>(form, "CheckBox_umrandung")->isChecked());

  // OK stores the loaded preset in the print settings.
  form.Button_okClick();
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleX, 0.75);
  EXPECT_DOUBLE_EQ(PrintSettings.PrintScaleY, 2.0);
  EXPECT_EQ(PrintSettings.PrintOriginX, 15);
  EXPECT_EQ(PrintSettings.PrintOriginY, 25);
  EXPECT_TRUE(PrintSettings.PrintBorder);
  EXPECT_EQ(ProgramSettings.WindowsPrintMode, 1);
  EXPECT_EQ(ThePrinter().pageLayout().orientation(), QPageLayout::Landscape);
}

// In a new row ("+"), values their field cannot hold are refused naming it; Cancel keeps the file.
TEST(TableForm, RefusedValuesAndACancelledNewRowLeaveTheFileUnchanged) {
  app_test::ScratchDir dir;
  const std::string path = dir / "t.dbf";
  ResetProgramStateForTests();
  InitXbaseCore();
  ASSERT_TRUE(CreateDbf(
      path, {{"NAME", 'C', 8, 0}, {"SCALE", 'N', 8, 3}, {"BORN", 'D', 8, 0}, {"QTY", 'N', 5, 0}}));
  CloseAll();
  const std::string before = app_test::ReadBytes(path);
  DbTableOpen(path);
  ScriptedDialogHost host;
  Tdbf4 form;
  form.Prepare(DbfFormMode("", 0));
  auto* grid = form.findChild<QTableWidget*>("XbGrid1");
  form.findChild<QToolButton*>("Insert")->click();
  ASSERT_EQ(grid->rowCount(), 1);
  const char* cases[][2] = {{"too long!", "NAME"},
                            {"12345678", "SCALE"},  // 12345678.000: 12 places
                            {"13/45/99", "BORN"},
                            {"12.7", "QTY"}};  // a whole-number field, not rounded to 13
  for (int c = 0; c < 4; ++c) grid->item(0, c)->setText(cases[c][0]);
  const std::vector<std::string> shown = host.Messages();
  ASSERT_EQ(shown.size(), 4u);
  for (int c = 0; c < 4; ++c) EXPECT_NE(shown[c].find(cases[c][1]), std::string::npos) << shown[c];
  // The table keeps code page 850: a character it lacks is refused, never stored as "?".
  for (const std::string typed : {"€", "ł", "日"}) {
    host.Clear();
    grid->item(0, 0)->setText(QString::fromStdString("a" + typed));
    EXPECT_EQ(host.Messages(),
              std::vector<std::string>{"Field NAME: \"" + typed +
                                       "\" cannot be stored there, the file holds only the "
                                       "characters of code page 850"});
  }
  grid->item(0, 0)->setText("second");
  form.findChild<QToolButton*>("Cancel")->click();
  EXPECT_TRUE(app_test::ReadBytes(path) == before);
  DbTableClose();

  // Damage in the middle rows: each grid row shows its own record, with what cannot be read as
  // 0 or blank, and the damage is told.
  const std::string damaged = dir / "d.dbf";
  ASSERT_TRUE(CreateDbf(damaged, {{"NAME", 'C', 8, 0}, {"SCALE", 'N', 8, 3}, {"BORN", 'D', 8, 0}}));
  for (const char* name : {"first", "second", "third", "fourth", "fifth"}) {
    ClearRecord();
    SetFieldText(1, name);
    SetFieldNumber(2, 1.5);
    Append();
  }
  CloseAll();
  std::string bytes = app_test::ReadBytes(damaged);  // header 129 bytes, records of 25
  bytes.replace(129 + 25 + 9, 8, "********");        // second: an overflowed number
  bytes.replace(129 + 50 + 17, 8, "2020AB99");       // third: no date
  bytes[129 + 75] = 'X';                             // fourth: no deletion flag
  app_test::WriteBytes(damaged, bytes);
  InitPrintPresets();  // the program's error hook: the damage as a message
  host.Clear();
  DbTableOpen(damaged);
  Tdbf4 damagedForm;
  damagedForm.Prepare(DbfFormMode("", 0));
  grid = damagedForm.findChild<QTableWidget*>("XbGrid1");
  ASSERT_EQ(grid->rowCount(), 5);
  const char* rows[][2] = {{"first", "1.500"},
                           {"second", "0.000"},
                           {"third", "1.500"},
                           {"fourth", "1.500"},
                           {"fifth", "1.500"}};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(grid->item(r, 0)->text().toStdString(), rows[r][0]);
    EXPECT_EQ(grid->item(r, 1)->text().toStdString(), rows[r][1]) << rows[r][0];
    EXPECT_EQ(grid->item(r, 2)->text(), grid->item(0, 2)->text()) << rows[r][0];  // no date
  }
  std::string told;
  for (const std::string& m : host.Messages()) told += m + "\n";
  for (const char* what : {"SCALE", "BORN", "deletion flag"})
    EXPECT_NE(told.find(what), std::string::npos) << told;
  DbTableClose();
  DoneXbaseCore();
}

}  // namespace
