// The configuration dialog on an offscreen screen, driven by object name: what it shows, what OK
// stores in the settings and in the configuration file (read back by the configuration reader
// into fresh defaults), Cancel, the standard values, the colour pickers, and export and import.
#include "app/forms/config_dialog.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "app/app_test_support.h"
#include "app/forms/colour_picker.h"
#include "common/config_file.h"
#include "common/forms/form_placement.h"
#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "graphics/forms/graphics_window_form.h"
#include "graphics/forms/plot_program_dialog.h"
#include "graphics/graphics_facade.h"
#include "gui_environment.h"

namespace {

using app_test::ReadBytes;
using app_test::ScratchDir;
using app_test::WriteBytes;

class ConfigDialogGui : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir_.Make("xdg").c_str(), 1);
    ResetProgramStateForTests();
    InitGraphicsSettings();
    ConfigVariables.ConfigDirectory = dir_.Path();
    SetWindowSize();
    host_ = std::make_unique<ScriptedDialogHost>();
    AbortFlag = false;
  }
  // The program's identity and a stored size (0 would take the screen's on OK).
  static void SetWindowSize() {
    SetProgramIdentity();
    ProgramSettings.ScreenWidth = 799;
    ProgramSettings.ScreenHeight = 599;
  }

  // The settings as the configuration writer puts them: equal bytes, equal settings.
  std::string SettingsBytes() {
    const std::string name = dir_ / "probe.cfg";
    const bool abort = AbortFlag;
    AbortFlag = false;
    WriteConfigFile(name);
    AbortFlag = abort;
    return ReadBytes(name);
  }
  // Fresh defaults, then the usual configuration file read.
  void ReadBackIntoDefaults() {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    ConfigVariables.ConfigDirectory = dir_.Path();
    SetWindowSize();
    AbortFlag = false;
    ReadConfig();
    ASSERT_FALSE(AbortFlag) << "no configuration file";
  }

  ScratchDir dir_;
  std::unique_ptr<ScriptedDialogHost> host_;
};

QString Text(Tconfig& f, const char* name) {
  return f.Control<QLineEdit>(name)->text();
}
void Type(Tconfig& f, const char* name, const char* text) {
  f.Control<QLineEdit>(name)->setText(QString::fromUtf8(text));
}
QString Cell(Tconfig& f, const char* grid, int row, int column) {
  const QTableWidgetItem* item = f.Control<QTableWidget>(grid)->item(row, column);
  return item ? item->text() : QString();
}

// Runs action once the next modal dialog is open.
void WhenModal(std::function<void(QWidget*)> action) {
  gui_test::After(0, [action] { action(QApplication::activeModalWidget()); });
}

TEST_F(ConfigDialogGui, ShowsTheSettings) {
  ProgramSettings.dbfDirectory = "/data/dbf";
  ProgramSettings.ScreenWidth = 1023;
  GraphicsVariables.ZoomFactor = 1.5L;
  ViewSettings3D.ViewAngles3D[1] = -0.2617993877991494365L;  // -15 degrees
  ConfigVariables.CadTextMode = 3;
  ConfigVariables.TitleBlockKind = 2;
  ConfigVariables.ChangeIndexStyle = 1;
  ConfigVariables.OutputDevice = 3;
  PlotSettings.ReleaseRowLabel =
      "Gepr\x81"
      "ft";  // DOS code page: u umlaut is 0x81
  PlotSettings.HideTitleBlock = true;
  GraphicsVariables.ColourTable[12] = RgbValue(10, 20, 30);

  Tconfig f;
  EXPECT_EQ(Text(f, "Edit_dirdbf"), "/data/dbf");
  EXPECT_EQ(Text(f, "Edit_x"), "1024");  // stored as size - 1
  EXPECT_EQ(Text(f, "Edit_zoomfaktor"), "1.5");
  EXPECT_EQ(Text(f, "Edit_3dx"), "-15");
  EXPECT_EQ(f.Control<TRadioGroup>("radiogroupcadtexttyp")->ItemIndex(), 2);
  EXPECT_EQ(f.Control<QComboBox>("ComboBox_zeichnkopf")->currentText(), "ISO 7200 Fig.2");
  EXPECT_EQ(f.Control<TRadioGroup>("RadioGroup_index")->ItemIndex(), 1);
  EXPECT_EQ(f.Control<QComboBox>("ComboBox_ausdruckdefault")->currentText(), "File");
  EXPECT_EQ(Text(f, "Edit_freigabefeld"), QString::fromUtf8("Geprüft"));
  EXPECT_FALSE(f.Control<QCheckBox>("CheckBox_zeichnungskopf")->isChecked());
  auto* panel = f.Control<QLabel>("Panel_color12");
  EXPECT_EQ(panel->text(), "1");  // entry 12 is colour number 1 for the user
  EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(10, 20, 30));
  EXPECT_EQ(f.Control<QComboBox>("ComboBox_ausdruckdefault")->count(), 7);
}

TEST_F(ConfigDialogGui, OkStoresTheEditsAndWritesTheConfigurationFile) {
  Tconfig f;
  Type(f, "Edit_dircad", "/work/cad");
  Type(f, "Edit_zoomfaktor", "1,25");
  Type(f, "Edit_3dy", "45");
  Type(f, "Edit_freigabefeld", "Geprüft");
  Type(f, "Edit_massfaktorconfig", "0,5");
  f.Control<QComboBox>("ComboBox_zeichnkopf")->setCurrentIndex(3);
  f.Control<TRadioGroup>("RadioGroup_index")->SetItemIndex(2);
  f.Control<TRadioGroup>("RadioGroup_date")->SetItemIndex(3);
  f.Control<QCheckBox>("CheckBox_zeichnungskopf")->setChecked(false);
  f.Control<QCheckBox>("CheckBox_umrandung")->setChecked(true);
  f.Control<QComboBox>("ComboBox_ausdruckdefault")->setCurrentIndex(6);
  f.Control<QSpinBox>("SpinEdit_dxfdec")->setValue(9);
  AbortFlag = true;  // OK writes whatever a former step left behind
  f.Control<QPushButton>("Button_ok")->click();

  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(f.result(), QDialog::Accepted);
  ReadBackIntoDefaults();
  EXPECT_EQ(ProgramSettings.cadDirectory, "/work/cad");
  EXPECT_EQ(GraphicsVariables.ZoomFactor, 1.25L);
  EXPECT_NEAR(static_cast<double>(ViewSettings3D.ViewAngles3D[2]), 0.7853981634, 1e-6);
  EXPECT_EQ(PlotSettings.ReleaseRowLabel,
            "Gepr\x81"
            "ft");
  EXPECT_EQ(PlotSettings.cadFactor, 0.5L);
  EXPECT_EQ(ConfigVariables.TitleBlockKind, 3);
  EXPECT_EQ(ConfigVariables.ChangeIndexStyle, 2);
  EXPECT_EQ(ConfigVariables.DateStyle, 4);
  EXPECT_TRUE(PlotSettings.HideTitleBlock);
  EXPECT_TRUE(PrintSettings.ScreendumpBorder);
  EXPECT_EQ(ConfigVariables.OutputDevice, 7);  // "HTML File"
  EXPECT_EQ(PlotSettings.DxfDecimals, 9);
}

// A number the configuration cannot keep is refused naming the field; focus stays, nothing is kept.
TEST_F(ConfigDialogGui, TypedNumbersThatCannotBeKeptAreRefused) {
  WriteConfig();
  const std::string file = ReadBytes(dir_ / "vuko.cfg"), before = SettingsBytes();
  for (const auto& [field, typed, message] :
       {std::array<const char*, 3>{"Edit_texthoehenfaktor", "abc",
                                   "Text height factor: \"abc\" is not a number"},
        {"Edit_panfaktor", "1e300", "pan faktor: \"1e300\" is not accepted (> 1)"},
        {"Edit_massfaktorconfig", "1e300",
         "Dimensioning size factor: \"1e300\" is not accepted (> 1000000)"},
        {"Edit_massfaktorconfig", "-2",
         "Dimensioning size factor: \"-2\" is not accepted (< 0.01)"},
        {"Edit_cadtextwinkel", "400", "Font angle: \"400\" is not accepted (> 360)"},
        {"SpinEdit_linesperpage", "12",
         "Max. lines per page for printer: \"12\" is not accepted (< 15)"}}) {
    host_->Clear();
    Tconfig f;
    f.show();
    if (auto* spin = f.Control<QSpinBox>(field)) {
      spin->setValue(std::atoi(typed));
    } else {
      Type(f, field, typed);
    }
    f.Control<QPushButton>("Button_ok")->click();
    EXPECT_EQ(host_->Messages(), std::vector<std::string>{message});
    EXPECT_EQ(f.focusWidget(), f.Control<QWidget>(field));
    EXPECT_EQ(SettingsBytes(), before);
    EXPECT_EQ(ReadBytes(dir_ / "vuko.cfg"), file);
  }
}

// Three significant digits on the screen must not round settings nobody touched.
TEST_F(ConfigDialogGui, OkWithoutEditsKeepsEverySettingExactly) {
  GraphicsVariables.ZoomFactor = 1.0625L;
  GraphicsVariables.PanStep = 0.0125L;
  ViewSettings3D.ViewAngles3D[1] = 0.3L;
  PrintSettings.ScreendumpScale = 1.2345;
  PlotSettings.cadFactor = 1.23456L;
  const std::string before = SettingsBytes();
  Tconfig f;
  f.Button_okClick();
  EXPECT_EQ(GraphicsVariables.ZoomFactor, 1.0625L);
  EXPECT_EQ(GraphicsVariables.PanStep, 0.0125L);
  EXPECT_EQ(ViewSettings3D.ViewAngles3D[1], 0.3L);
  EXPECT_EQ(PrintSettings.ScreendumpScale, 1.2345);
  EXPECT_EQ(PlotSettings.cadFactor, 1.23456L);
  EXPECT_EQ(SettingsBytes(), before);
}

TEST_F(ConfigDialogGui, CancelLeavesSettingsAndFileAsTheyWere) {
  WriteConfig();
  const std::string file = ReadBytes(dir_ / "vuko.cfg");
  ASSERT_FALSE(file.empty());
  const std::string before = SettingsBytes();
  Tconfig f;
  Type(f, "Edit_zoomfaktor", "3");
  f.Control<QTableWidget>("StringGrid_layer")->item(1, 2)->setText("7");
  f.Control<QPushButton>("Button_cancel")->click();
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(SettingsBytes(), before);
  EXPECT_EQ(ReadBytes(dir_ / "vuko.cfg"), file);
}

// The standard values as the dialog documents them for each "<" button.
TEST_F(ConfigDialogGui, StandardValueButtonsFillTheirFields) {
  struct TCase {
    const char* button;
    const char* field;
    const char* value;
  };
  const TCase cases[] = {
      {"Button_zoom", "Edit_zoomfaktor", "1.02"},
      {"Button_pan", "Edit_panfaktor", "0.02"},
      {"Button_textbreitenfaktor", "Edit_textbreitenfaktor", "0.8"},
      {"Button_texthoehenfaktor", "Edit_texthoehenfaktor", "1"},
      {"Button_cadtextbreite", "Edit_cadtextbreite", "1"},
      {"Button_cadtextwinkel", "Edit_cadtextwinkel", "0"},
      {"Button_printxorigin", "Edit_printxorigin", "0"},
      {"Button_printyorigin", "Edit_printyorigin", "0"},
      {"Button_printscalex1", "Edit_printscale", "1.0"},
      {"Button_massfaktorconfig", "Edit_massfaktorconfig", "1.0"},
      {"Button_freigabefeld", "Edit_freigabefeld", "App"},
  };
  Tconfig f;
  for (const TCase& c : cases) {
    Type(f, c.field, "77");
    f.Control<QPushButton>(c.button)->click();
    EXPECT_EQ(Text(f, c.field), c.value) << c.button;
  }
  Type(f, "Edit_printscale", "2,5");
  f.Control<QPushButton>("Button_scaleyx")->click();
  EXPECT_EQ(Text(f, "Edit_printscaley"), "2,5");
  f.Control<QPushButton>("Button_dxfdec")->click();
  EXPECT_EQ(f.Control<QSpinBox>("SpinEdit_dxfdec")->value(), 6);
  f.Control<QPushButton>("Button_dick3")->click();
  for (int row = 1; row <= 16; ++row) EXPECT_EQ(Cell(f, "StringGrid_color", row, 2), "3");
  // Layer 4 is row 2: name "4", colour "3", pen width "2".
  f.Control<QTableWidget>("StringGrid_layer")->item(2, 1)->setText("x");
  f.Control<QPushButton>("Button_layer4")->click();
  EXPECT_EQ(Cell(f, "StringGrid_layer", 2, 1), "4");
  EXPECT_EQ(Cell(f, "StringGrid_layer", 2, 2), "3");
  EXPECT_EQ(Cell(f, "StringGrid_layer", 2, 3), "2");
}

TEST_F(ConfigDialogGui, ColourDialogColourGoesIntoTheColourTableOnOk) {
  Tconfig f;
  WhenModal([](QWidget* w) {
    auto* dialog = qobject_cast<QColorDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    dialog->setCurrentColor(QColor(1, 2, 3));
    dialog->accept();
  });
  f.Panel_colorClick(9);
  EXPECT_NE(GraphicsVariables.ColourTable[9], RgbValue(1, 2, 3));  // not before OK
  f.Button_okClick();
  EXPECT_EQ(GraphicsVariables.ColourTable[9], RgbValue(1, 2, 3));
  ReadBackIntoDefaults();
  EXPECT_EQ(GraphicsVariables.ColourTable[9], RgbValue(1, 2, 3));
}

TEST_F(ConfigDialogGui, ColourPickerPutsTheChosenNumberIntoTheGrid) {
  Tconfig f;
  auto* grid = f.Control<QTableWidget>("StringGrid_color");
  grid->setCurrentCell(3, 1);
  WhenModal([](QWidget* w) {
    auto* picker = qobject_cast<TForm_selectcolor*>(w);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->ListBox_colors->item(4)->text(), "5 (blue)");
    picker->ListBox_colors->setCurrentRow(4);
    picker->Button_okClick();
  });
  f.Button_selectcolorClick();
  EXPECT_EQ(Cell(f, "StringGrid_color", 3, 1), "5");

  WhenModal([](QWidget* w) { qobject_cast<TForm_selectcolor*>(w)->Button_cancelClick(); });
  f.Button_selectcolorClick();
  EXPECT_EQ(Cell(f, "StringGrid_color", 3, 1), "5");
  EXPECT_FALSE(AbortFlag);

  grid->item(4, 1)->setText("none");  // no number: nothing selected, OK stores "0"
  grid->setCurrentCell(4, 1);
  WhenModal([](QWidget* w) {
    auto* picker = qobject_cast<TForm_selectcolor*>(w);
    EXPECT_TRUE(picker->ListBox_colors->selectedItems().isEmpty());
    picker->Button_okClick();
  });
  f.Button_selectcolorClick();
  EXPECT_EQ(Cell(f, "StringGrid_color", 4, 1), "0");

  grid->setCurrentCell(3, 2);  // the pen-width column has no picker
  f.Button_selectcolorClick();
  EXPECT_EQ(Cell(f, "StringGrid_color", 3, 2), "1");
  f.Button_okClick();
  EXPECT_EQ(PlotSettings.PenNumbers[18], 5);
}

TEST_F(ConfigDialogGui, ResetGivesTheDefaultColours) {
  GraphicsVariables.ColourTable[5] = RgbValue(1, 1, 1);
  Tconfig f;
  f.Control<QPushButton>("Button_resetcolor")->click();
  EXPECT_EQ(GraphicsVariables.ColourTable, kDefaultColourTable);
  const TColourRef c = kDefaultColourTable[5];
  EXPECT_EQ(f.Control<QLabel>("Panel_color5")->palette().color(QPalette::Window),
            QColor(RedOf(c), GreenOf(c), BlueOf(c)));
}

TEST_F(ConfigDialogGui, ExportThenImportGivesTheSameSettings) {
  // Values with three significant digits, as the file keeps some of them.
  PlotSettings.cadTextWidthRatio = 0.75L;
  PlotSettings.DxfLayerNames[3] = "HIDDEN";
  ConfigVariables.ResultScreen = 4;
  PrintSettings.PrintoutFont = "Mono";
  GraphicsVariables.ZoomFactor = 2.0L;  // typed in the dialog before the export
  const std::string exported = SettingsBytes();
  GraphicsVariables.ZoomFactor = 1.5L;
  const std::string name = dir_ / "other.cfg";
  {
    Tconfig f;
    Type(f, "Edit_zoomfaktor", "2");
    host_->AnswerFile(name);
    f.Button_exportClick();
    ASSERT_TRUE(app_test::Exists(name));
    EXPECT_EQ(GraphicsVariables.ZoomFactor, 1.5L);  // written, not taken in
    f.Button_cancelClick();
  }
  EXPECT_EQ(GraphicsVariables.ZoomFactor, 1.5L);

  ResetProgramStateForTests();
  InitGraphicsSettings();
  ConfigVariables.ConfigDirectory = dir_.Path();
  SetWindowSize();
  const std::string defaults = SettingsBytes();
  {
    Tconfig f;
    host_->AnswerFile(name);
    f.Button_importClick();
    EXPECT_EQ(Text(f, "Edit_zoomfaktor"), "2");
    f.Button_cancelClick();
  }
  EXPECT_EQ(SettingsBytes(), defaults);  // import then Cancel changes nothing

  const std::string otherFile = ReadBytes(name);
  {
    Tconfig f;
    host_->AnswerFile(name);
    f.Button_importClick();
    f.Button_okClick();
  }
  EXPECT_EQ(SettingsBytes(), exported);
  EXPECT_EQ(ReadBytes(name), otherFile);  // OK wrote the usual file, not the imported one
  EXPECT_TRUE(app_test::Exists(dir_ / "vuko.cfg"));
}

TEST_F(ConfigDialogGui, FailedImportKeepsTheDialogAndTheSettings) {
  WriteBytes(dir_ / "notes.cfg", "shopping list\n1\n2\n");
  GraphicsVariables.ZoomFactor = 1.5L;
  const std::string before = SettingsBytes();
  for (const std::string& file : {dir_ / "notes.cfg", dir_ / "missing.cfg"}) {
    Tconfig f;
    host_->Clear();
    host_->AnswerFile(file);
    f.Button_importClick();
    EXPECT_TRUE(AbortFlag) << file;
    EXPECT_EQ(host_->Messages().size(), 1u) << file;
    EXPECT_EQ(Text(f, "Edit_zoomfaktor"), "1.5") << file;
    f.Button_okClick();
    EXPECT_EQ(SettingsBytes(), before) << file;
  }
}

TEST_F(ConfigDialogGui, StoredValuesAreChecked) {
  ConfigVariables.OutputDevice = 4;
  ConfigVariables.ResultScreen = 9;  // a code this dialog has no item for
  Tconfig f;
  auto* lines = f.Control<QSpinBox>("SpinEdit_linesperpage");
  lines->setValue(3);
  EXPECT_EQ(lines->value(), 5);  // fewer would read back as 66
  lines->setValue(15);           // the least a page with its header and one line takes
  Type(f, "Edit_x", "6000");
  Type(f, "Edit_y", "0");
  Type(f, "Edit_left", "2000");
  Type(f, "Edit_top", "-5");
  Type(f, "Edit_width", "20");
  Type(f, "Edit_height", "300");
  f.Control<QComboBox>("ComboBox_ausdruckdefault")->setEditText("Plotter");
  f.Control<QTableWidget>("StringGrid_layer")->item(1, 3)->setText("0");  // pen width 0
  f.Control<QTableWidget>("StringGrid_color")->item(2, 1)->setText("none");
  f.Button_okClick();
  EXPECT_EQ(ProgramSettings.ScreenWidth, 5000);
  const int frame = f.frameGeometry().height() - f.geometry().height();
  EXPECT_EQ(ProgramSettings.ScreenHeight, QApplication::primaryScreen()->size().height() - frame);
  EXPECT_EQ(PrintSettings.TextWindowRect.left, 10);
  EXPECT_EQ(PrintSettings.TextWindowRect.top, 40);
  EXPECT_EQ(PrintSettings.TextWindowRect.width, 700);
  EXPECT_EQ(PrintSettings.TextWindowRect.height, 300);
  EXPECT_EQ(ConfigVariables.OutputDevice, 4);  // no device of that name
  EXPECT_EQ(ConfigVariables.ResultScreen, 9);
  EXPECT_EQ(ProgramSettings.LinesPerPage, 15);
  // What is stored is what the next start reads.
  const std::string stored = SettingsBytes();
  ReadBackIntoDefaults();
  EXPECT_EQ(SettingsBytes(), stored);
}

TEST_F(ConfigDialogGui, TemporaryDirectoryAndUserFromTheEnvironment) {
  struct TCase {
    const char* temp;
    const char* field;
  };
  const TCase cases[] = {{"   ", "/old"}, {"/my temp/dir", "/my temp/dir"}};
  for (const TCase& c : cases) {
    setenv("TEMP", c.temp, 1);
    Tconfig f;
    Type(f, "Edit_dirtemp", "/old");
    f.Control<QPushButton>("Button_dirtempenv")->click();
    EXPECT_EQ(Text(f, "Edit_dirtemp"), c.field) << c.temp;
  }
  unsetenv("TEMP");
  // "User:" names USERNAME when it is set, otherwise the login name of the account.
  const char* saved = getenv("USERNAME");
  const std::string before = saved ? saved : "";
  const struct passwd* account = getpwuid(geteuid());
  ASSERT_NE(account, nullptr);
  for (const char* user : {"anna", ""}) {
    if (*user) {
      setenv("USERNAME", user, 1);
    } else {
      unsetenv("USERNAME");
    }
    Tconfig f;
    EXPECT_EQ(f.Control<QLabel>("Label_user")->text().toStdString(),
              std::string("User: ") + (*user ? user : account->pw_name));
  }
  if (saved) setenv("USERNAME", before.c_str(), 1);
}

TEST_F(ConfigDialogGui, TheMainWindowFollowsTheWindowSize) {
  TGraphicsFacade facade;
  TFtarvgra window;
  window.resize(640, 480);
  window.show();
  SetDialogMainWindow(&window);
  Tconfig f;
  Type(f, "Edit_x", "500");
  Type(f, "Edit_y", "300");
  f.Edit_xExit();
  EXPECT_EQ(window.centralWidget()->size(), QSize(500, 300));
  Type(f, "Edit_x", "6000");
  f.Button_okClick();
  EXPECT_EQ(ProgramSettings.ScreenWidth, 5000);
  EXPECT_EQ(window.centralWidget()->width(), 5001);
  SetDialogMainWindow(nullptr);
}

TEST_F(ConfigDialogGui, AnEditedPlotCommandLineIsKeptAndOffered) {
  Tconfig f;
  auto* list = f.Control<QListWidget>("ListBox_vectrix");
  list->setCurrentRow(-1);
  host_->AnswerText("none");
  f.Button_editvectrixcommandlineClick();  // nothing selected: nothing edited
  EXPECT_EQ(host_->PendingAnswers(), 1u);
  host_->Clear();
  list->setCurrentRow(2);
  host_->AnswerText("wvectrix VECTRIX.DXF /M2.0");
  f.Button_editvectrixcommandlineClick();
  EXPECT_EQ(list->item(2)->text(), "wvectrix VECTRIX.DXF /M2.0");
  // A line of 81 characters (90 bytes) with folders in three scripts is taken whole.
  const std::string wide = "/opt/Größe 日本 łódź/wvectrix " + std::string(47, 'x') + " /CHPL";
  list->setCurrentRow(1);
  host_->AnswerText(wide);
  f.Button_editvectrixcommandlineClick();
  f.Button_okClick();
  ReadBackIntoDefaults();
  EXPECT_GE(PlotSettings.PlotCommandLines.count, 3);
  EXPECT_EQ(PlotSettings.PlotCommandLines.lines[2], wide);
  EXPECT_EQ(PlotSettings.PlotCommandLines.lines[3], "wvectrix VECTRIX.DXF /M2.0");
}

TEST_F(ConfigDialogGui, PlotProgramDialogComposesTheSelectedLine) {
  Tconfig f;
  f.Control<QListWidget>("ListBox_vectrix")->setCurrentRow(-1);
  std::string composed;
  WhenModal([&composed](QWidget* w) {
    auto* dialog = qobject_cast<TForm_confvectrix*>(w);
    ASSERT_NE(dialog, nullptr);
    dialog->MakePlotCommandLine();
    dialog->Button_okClick();
    composed = dialog->CommandLine;
  });
  f.Button_confvectrixClick();
  EXPECT_EQ(f.Control<QListWidget>("ListBox_vectrix")->item(0)->text().toStdString(), composed);
  EXPECT_FALSE(AbortFlag);
}

}  // namespace
