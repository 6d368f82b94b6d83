// The two tooth-profile dialogs driven by object name: shown values come from the drawing
// settings, OK stores what was entered (for the dialog's part only), Cancel and Escape leave
// everything and set AbortFlag; the CAD profile command through the real dialog; the main
// window offers every command of the demonstration tour.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/app_test_support.h"
#include "app/cad_profile_options.h"
#include "app/command_line.h"
#include "app/forms/cad_profile_dialog.h"
#include "app/forms/main_window.h"
#include "app/forms/tooth_profile_settings_dialog.h"
#include "app/startup.h"
#include "app/tour.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "gui_environment.h"

namespace {

template <typename T>
T* Find(QWidget& form, const char* name) {
  T* w = form.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

std::string Text(QWidget& form, const char* name) {
  return Find<QLineEdit>(form, name)->text().toStdString();
}

void Click(QWidget& form, const char* name) {
  Find<QPushButton>(form, name)->click();
}

class CadProfileFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitModules();
    SetProgramIdentity();
    AbortFlag = false;
    TToothGraphicsSettings& g = ToothGraphicsSettings;
    g.InvolutePoints = 24;
    g.FilletSteps = 18;
    g.ShapeSteps = 40;
    g.auxDiameterOption = 2;
    g.drawRootCurve = false;
    PlotSettings.involuteAsPolyline = false;
    g.xeInvolute[1] = g.xeShape[1] = 0.15L;
    g.xeInvolute[2] = g.xeShape[2] = -0.0625L;
  }
  ScriptedDialogHost host_;
};

TEST_F(CadProfileFormsTest, HubDialogShowsAndStoresTheHubOnly) {
  TForm_qm2config form(2);
  form.show();
  EXPECT_EQ(form.windowTitle().toStdString(), "VUKO CAD hub");
  EXPECT_EQ(Find<QSpinBox>(form, "edit_anzevolvpoints")->value(), 24);
  EXPECT_FALSE(Find<QCheckBox>(form, "CheckBox_polyline")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>(form, "CheckBox_durchmesser_anzeigen")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(form, "CheckBox_fussausrundung_zeichnen")->isChecked());
  EXPECT_EQ(Text(form, "Edit_xe"), "-0.0625");

  Find<QSpinBox>(form, "edit_anzevolvpoints")->setValue(0);
  Find<QCheckBox>(form, "CheckBox_polyline")->setChecked(true);
  Find<QCheckBox>(form, "CheckBox_durchmesser_anzeigen")->setChecked(false);
  Find<QCheckBox>(form, "CheckBox_fussausrundung_zeichnen")->setChecked(true);
  Find<QLineEdit>(form, "Edit_xe")->setText("0,2");
  AbortFlag = true;
  Click(form, "Button_ok");

  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(g.InvolutePoints, 0);
  EXPECT_TRUE(PlotSettings.involuteAsPolyline);
  EXPECT_EQ(g.auxDiameterOption, 1);
  EXPECT_TRUE(g.drawRootCurve);
  EXPECT_EQ(g.xeInvolute[2], 0.2L);
  EXPECT_EQ(g.xeShape[2], 0.2L);
  EXPECT_EQ(g.xeInvolute[1], 0.15L);
  EXPECT_EQ(g.xeShape[1], 0.15L);
}

// A typed xe that is no number is refused on OK naming the field; focus stays, nothing is stored.
TEST_F(CadProfileFormsTest, TypedShiftThatIsNoNumberIsRefused) {
  TForm_qm2config form(1);
  form.show();
  QLineEdit* xe = Find<QLineEdit>(form, "Edit_xe");
  Find<QSpinBox>(form, "edit_anzevolvpoints")->setValue(7);
  xe->setText("abc");
  Click(form, "Button_ok");
  EXPECT_EQ(host_.Messages(),
            std::vector<std::string>{"Gen.addend.modif.coeff. xe: \"abc\" is not a number"});
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.focusWidget(), xe);
  EXPECT_EQ(ToothGraphicsSettings.InvolutePoints, 24);
  xe->setText("-0.309196");
  Click(form, "Button_ok");
  EXPECT_EQ(ToothGraphicsSettings.xeInvolute[1], -0.309196L);
}

// "<" undoes an edit; "< max" and "< min" take the finishing limits of the last calculation;
// the help button leaves AbortFlag clear.
TEST_F(CadProfileFormsTest, ShiftButtons) {
  ToothingData.xeFinMax[1] = 0.25L;
  ToothingData.xeFinMin[1] = -0.125L;
  TForm_qm2config form(1);
  form.show();
  Click(form, "Button_xemax");
  EXPECT_EQ(Text(form, "Edit_xe"), "0.25");
  Click(form, "Button_xemin");
  EXPECT_EQ(Text(form, "Edit_xe"), "-0.125");
  Click(form, "Button_xe");
  EXPECT_EQ(Text(form, "Edit_xe"), "0.15");
  Click(form, "Button_help");
  EXPECT_FALSE(AbortFlag);
  EXPECT_EQ(host_.RecordsOf(TDialogKind::Message).size(), 1u);
  EXPECT_TRUE(form.isVisible());
}

// Counts stay within what the tooth-graphics settings menu accepts (256 involute points, 200
// fillet steps, 20000 tooth shapes), so a typing slip cannot stall the drawing; 0 remains.
TEST_F(CadProfileFormsTest, StepCountsAreBounded) {
  TForm_tovpconf form;
  const std::pair<const char*, int> cases[] = {{"edit_anzevolvpoints", 256},
                                               {"edit_aufloesung_fussausrundung", 200},
                                               {"edit_anzhull", 20000}};
  for (const auto& [name, max] : cases) {
    QSpinBox* spin = Find<QSpinBox>(form, name);
    spin->setValue(2000000000);
    EXPECT_EQ(spin->value(), max) << name;
    spin->setValue(-5);
    EXPECT_EQ(spin->value(), 0) << name;
  }
}

TEST_F(CadProfileFormsTest, ProfileDrawingDialogShowsAndStores) {
  TForm_tovpconf form;
  form.show();
  QSpinBox* fillet = Find<QSpinBox>(form, "edit_aufloesung_fussausrundung");
  QCheckBox* root = Find<QCheckBox>(form, "CheckBox_fussausrundung_zeichnen");
  EXPECT_FALSE(root->isChecked());
  EXPECT_EQ(fillet->value(), 18);
  EXPECT_EQ(Find<QSpinBox>(form, "edit_anzhull")->value(), 40);
  EXPECT_EQ(Find<QSpinBox>(form, "edit_anzevolvpoints")->value(), 24);
  Find<QSpinBox>(form, "edit_anzhull")->setValue(3);
  Click(form, "Button_reset");
  EXPECT_EQ(Find<QSpinBox>(form, "edit_anzhull")->value(), 40);
  // The fillet resolution is open exactly while the fillet is drawn, from the first showing on.
  EXPECT_FALSE(fillet->isEnabled());
  root->click();
  EXPECT_TRUE(fillet->isEnabled());
  root->click();
  EXPECT_FALSE(fillet->isEnabled());
  root->click();

  fillet->setValue(0);
  Find<QSpinBox>(form, "edit_anzhull")->setValue(7);
  Find<QCheckBox>(form, "CheckBox_polyline")->setChecked(true);
  Find<QCheckBox>(form, "CheckBox_durchmesser_anzeigen")->setChecked(false);
  Click(form, "Button_ok");
  const TToothGraphicsSettings& g = ToothGraphicsSettings;
  EXPECT_FALSE(AbortFlag);
  EXPECT_TRUE(g.drawRootCurve);
  EXPECT_EQ(g.FilletSteps, 0);
  EXPECT_EQ(g.ShapeSteps, 7);
  EXPECT_TRUE(PlotSettings.involuteAsPolyline);
  EXPECT_EQ(g.auxDiameterOption, 1);
}

// The menu command with the real dialog: Escape stops before the CAD code is asked for and
// stores nothing, OK goes on to the CAD code question of the tooth profile.
TEST_F(CadProfileFormsTest, CommandRunsTheDialogModally) {
  NewSplineExample();
  CalcSplineJoint();
  InstallCadProfileForms();
  for (const bool ok : {false, true}) {
    host_.Clear();
    host_.AnswerCancel();  // the CAD code question
    std::string shownTitle;
    gui_test::After(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      shownTitle = modal->windowTitle().toStdString();
      Find<QLineEdit>(*modal, "Edit_xe")->setText("0.9");
      if (ok) return Click(*modal, "Button_ok");
      QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(modal, &key);
    });
    CadProfileCommand(1);
    EXPECT_EQ(shownTitle, "VUKO CAD shaft");
    EXPECT_TRUE(AbortFlag);
    EXPECT_EQ(host_.RecordsOf(TDialogKind::Choice).size(), ok ? 1u : 0u) << ok;
    EXPECT_EQ(ToothGraphicsSettings.xeInvolute[1] == 0.9L, ok);
  }
  InstallCadProfileDialogs(nullptr, nullptr);
}

// Every command the tour runs is an item of the main window's menu.
TEST(TourOnMainWindow, EveryCommandIsAMenuItem) {
  app_test::ScratchDir dir;
  setenv("XDG_CONFIG_HOME", dir.Make("xdg").c_str(), 1);
  InitModules();
  SetProgramIdentity();
  const std::string misc = dir.Make("misc");
  ConfigVariables.ConfigDirectory = dir.Make("empty") + "/";
  ConfigVariables.DefaultDataDirectory = misc;
  ProgramSettings.pltDirectory = misc;
  ProgramSettings.tempDirectory = misc;
  ProgramSettings.dbfDirectory = misc;
  ProgramSettings.ediDirectory = misc;
  ProgramSettings.cadDirectory = misc;
  SetProgramArguments({});
  ScriptedDialogHost host;
  Thh window;
  for (const TTourStep& step : TourSteps()) {
    if (step.menuItem.empty()) continue;
    const QString name = QString::fromUtf8(step.menuItem.data(), step.menuItem.size());
    EXPECT_NE(window.MenuItem(name), nullptr) << name.toStdString();
  }
}

}  // namespace
