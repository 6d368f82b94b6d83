// The preset buttons of the print dialog with the table form on an offscreen screen: a preset
// stored from the dialog, shown in the table form's grid, edited there, picked and loaded back
// into the dialog, whose OK then stores it in the print settings; presets deleted in the grid and
// packed away, the table then read by the program and by python3-dbfread.
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
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/forms/print_setup.h"
#include "app/forms/table_form.h"
#include "app/forms/window_geometry.h"
#include "app/print_presets.h"
#include "common/formatting.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/forms/plot_program_dialog.h"
#include "gui_environment.h"
#include "validator_support.h"
#include "xbase/memo_ops.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"

namespace {

// A number as the grid and the dialog show it: with the decimal sign the program shows this user.
QString InUserForm(const char* number) {
  return QString::fromLatin1(number).replace(QLatin1Char('.'), QLatin1Char(UserDecimalSign()));
}

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
  // In a folder whose path is longer than any screen shows on one line.
  const std::string folder =
      dbf_.Make("presets kept in Bob's folder " + std::string(90, 'u') + "ü");
  std::filesystem::rename(dbf_ / "printout.dbf", folder + "/printout.dbf");
  ProgramSettings.dbfDirectory = folder;
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
  const std::string path = folder + "/printout.dbf";
  ASSERT_TRUE(app_test::Exists(path));

  // Other values in the dialog, then the preset picked in the table form.
  Find<QLineEdit>(form, "Edit_scalex")->setText("9");
  Find<TRadioGroup>(form, "RadioGroup_hochquer")->SetItemIndex(0);
  Find<QCheckBox>(form, "CheckBox_umrandung")->setChecked(false);
  OnTableForm([&path](Tdbf4& table) {
    EXPECT_EQ(Find<QLabel>(table, "Label_title1")->text(), "Printout");
    // Shortened in the middle to what the window shows, whole in the tooltip.
    const QLabel* file = Find<QLabel>(table, "Label_filename");
    EXPECT_EQ(file->toolTip().toStdString(), path);
    EXPECT_TRUE(file->text().startsWith('/') && file->text().endsWith("/printout.dbf") &&
                file->text().size() < file->toolTip().size())
        << file->text().toStdString();
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
    EXPECT_EQ(grid->item(0, 1)->text(), InUserForm("0.7500"));
    grid->setCurrentCell(0, 0);
    Find<QPushButton>(table, "Button_ok")->click();
  });
  Find<QPushButton>(form, "Button_db")->click();
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(PresetRecordNumber, 1);
  EXPECT_EQ(Text(form, "Edit_scalex"), InUserForm("0.7500"));
  EXPECT_EQ(Text(form, "Edit_scaley"), InUserForm("2.0000"));
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
  // The remembered preset spoilt since: Database still opens the form, the damage told once.
  app_test::WriteBytes(path, app_test::ReadBytes(path).replace(321 + 26, 12, 12, '*'));
  OnTableForm([](Tdbf4& table) { Find<QPushButton>(table, "Button_cancel")->click(); });
  Find<QPushButton>(form, "Button_db")->click();
  EXPECT_EQ(host_.Messages().size(), 1u);
}

// Three presets stored from the dialog; in the table form the second is marked with the
// navigator's Delete and removed with Edit -> Pack, each after its question (No changes nothing,
// Delete on a marked record recalls it). The program and dbfread then find the other two.
TEST_F(PrintPresetsGui, PresetDeletedInTheTableFormIsPackedAway) {
  TForm_printconf form;
  const std::string path = dbf_ / "printout.dbf";
  int stored = 0;
  for (const auto& [preset, scale] : {std::pair{"one", "0.5"}, {"two", "2"}, {"three", "0.25"}}) {
    Find<QLineEdit>(form, "Edit_scalex")->setText(scale);
    host_.AnswerText(preset);
    Find<QPushButton>(form, "Button_append")->click();
    if (++stored < 3)  // the first two's XSCALE overflowed, as an older program left it
      app_test::WriteBytes(
          path, app_test::ReadBytes(path).replace(321 + 66 * (stored - 1) + 26, 12, 12, '*'));
  }
  OnTableForm([this](Tdbf4& table) {
    QTableWidget* grid = Find<QTableWidget>(table, "XbGrid1");
    QToolButton* del = Find<QToolButton>(table, "Delete");
    QAction* pack = table.findChild<QAction*>("Pack");
    ASSERT_NE(pack, nullptr);
    EXPECT_FALSE(del->isHidden());
    EXPECT_TRUE(del->isEnabled());
    EXPECT_TRUE(pack->isVisible() && pack->isEnabled());
    struct {
      const char* step;
      bool yes;
      QStringList rows;  // row headers as shown, deleted records marked
      QStringList names;
    } steps[] = {
        {"Delete answered No", false, {"1", "2", "3"}, {"one", "two", "three"}},
        {"Delete", true, {"1", "2 del", "3"}, {"one", "two", "three"}},
        {"Delete on the marked record recalls it", true, {"1", "2", "3"}, {"one", "two", "three"}},
        {"Delete", true, {"1", "2 del", "3"}, {"one", "two", "three"}},
        {"Pack answered No", false, {"1", "2 del", "3"}, {"one", "two", "three"}},
        {"Pack", true, {"1", "2"}, {"one", "three"}},
    };
    // Delete on a new row takes the row away and asks nothing.
    const std::size_t asked = host_.Records().size();
    Find<QToolButton>(table, "Insert")->click();
    del->click();
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(host_.Records().size(), asked);
    for (const auto& s : steps) {
      SCOPED_TRACE(s.step);
      grid->setCurrentCell(1, 0);
      if (s.yes)
        host_.AnswerYes();
      else
        host_.AnswerNo();
      if (QString(s.step).startsWith("Pack"))
        pack->trigger();
      else
        del->click();
      QStringList rows, names;
      for (int r = 0; r < grid->rowCount(); ++r) {
        rows << grid->verticalHeaderItem(r)->text();
        names << grid->item(r, 0)->text();
      }
      EXPECT_EQ(rows, s.rows);
      EXPECT_EQ(names, s.names);
    }
    Find<QPushButton>(table, "Button_ok")->click();
  });
  Find<QPushButton>(form, "Button_db")->click();
  EXPECT_EQ(Text(form, "Edit_scalex"), InUserForm("0.2500")) << "the preset after the removed one";
  EXPECT_EQ(PresetRecordNumber, 2);
  ASSERT_EQ(host_.Messages().size(), 2u) << "each damaged record told once";
  EXPECT_NE(host_.Messages()[1].find("XSCALE holds \"*"), std::string::npos);

  // Opened afresh by the program: two presets remain (their names are dbfread's below).
  OpenPresetTable();
  ASSERT_FALSE(AbortFlag);
  EXPECT_EQ(DbTableRecordCount(), 2);
  // The browsing modes offer neither.
  Tdbf4 browser;
  browser.Prepare(DbfFormMode("", 4));
  EXPECT_TRUE(Find<QToolButton>(browser, "Delete")->isHidden());
  EXPECT_FALSE(browser.findChild<QAction*>("Pack")->isVisible());
  const std::size_t asked = host_.Records().size();
  browser.findChild<QAction*>("Pack")->trigger();
  EXPECT_EQ(host_.Records().size(), asked) << "nothing packed, nothing asked";
  DbTableClose();

  // dbfread: the header's count, the records and none marked deleted.
  REQUIRE_VALIDATOR(validator_support::HavePythonModule("dbfread"), "python3-dbfread");
  setenv("VUKO_READER",
         "import sys, dbfread\n"
         "t = dbfread.DBF(sys.argv[1], encoding='cp850', load=True)\n"
         "print(t.header.numrecords, len(t.deleted), [(r['NAME'], r['XSCALE']) for r in t])\n",
         1);
  const validator_support::ToolRun run = validator_support::Execute(
      SYSTEM_PYTHON3 " -c \"$VUKO_READER\" " + validator_support::Quote(dbf_ / "printout.dbf"));
  EXPECT_EQ(run.output, "2 0 [('one', None), ('three', 0.25)]\n");
}

// In a new row ("+"), values their field cannot hold are refused naming it; Cancel (and Pack, and
// Delete on the empty table) keeps the file.
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
  // Delete on an empty table asks nothing; Pack drops a new row nothing was typed into.
  form.findChild<QToolButton*>("Delete")->click();
  EXPECT_TRUE(host.Records().empty());
  form.findChild<QToolButton*>("Insert")->click();
  host.AnswerNo();
  form.findChild<QAction*>("Pack")->trigger();
  EXPECT_EQ(grid->rowCount(), 0);
  form.findChild<QToolButton*>("Insert")->click();
  ASSERT_EQ(grid->rowCount(), 1);
  const char* cases[][2] = {{"too long!", "NAME"},
                            {"12345678", "SCALE"},  // 12345678.000: 12 places
                            {"13/45/99", "BORN"},
                            {"12.7", "QTY"},   // a whole-number field, not rounded to 13
                            {"-1.5", "QTY"}};  // nor to -2 or -1
  for (int c = 0; c < 5; ++c) grid->item(0, std::min(c, 3))->setText(cases[c][0]);
  const std::vector<std::string> shown = host.Messages();
  ASSERT_EQ(shown.size(), 5u);
  for (int c = 0; c < 5; ++c) EXPECT_NE(shown[c].find(cases[c][1]), std::string::npos) << shown[c];
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
  const char* names[] = {"first", "second", "third", "fourth", "fifth"};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(grid->item(r, 0)->text().toStdString(), names[r]);
    EXPECT_EQ(grid->item(r, 1)->text(), InUserForm(r == 1 ? "0.000" : "1.500")) << names[r];
    EXPECT_EQ(grid->item(r, 2)->text(), grid->item(0, 2)->text()) << names[r];  // no date
  }
  std::string told;
  for (const std::string& m : host.Messages()) told += m + "\n";
  for (const char* what : {"SCALE", "BORN", "deletion flag"})
    EXPECT_NE(told.find(what), std::string::npos) << told;
  DbTableClose();
  DoneXbaseCore();
}

}  // namespace
