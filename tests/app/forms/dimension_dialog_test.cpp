// The dimension dialog driven by object name the way a user drives it: filled from the example
// joint, typed into, switched between modes, OK and Cancel; displayed and stored values are
// checked against spline geometry worked out here from textbook formulas.
#include "app/forms/dimension_dialog.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/app_test_support.h"
#include "app/data_file.h"
#include "app/startup.h"
#include "calc/spline_joint.h"
#include "calc/toothing_data.h"
#include "common/formatting.h"
#include "common/help_texts.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "drawings/production_drawing.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/hpgl_viewer.h"
#include "graphics/view_control.h"
#include "validator_support.h"

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kInch = 25.4L;

long double Rad(long double degrees) {
  return degrees * kPi / 180;
}
long double Inv(long double a) {
  return std::tan(a) - a;
}

// Dimension over two balls of an external spur toothing with an even number of teeth: the
// ball centre lies on the involute-function angle
//   inv aM = inv a + D / (d cos a) - pi / (2 z) + 2 x tan a / z,   M = d cos a / cos aM + D.
long double OverBalls(int z, long double m, long double alphaDeg, long double x, long double D) {
  const long double a = Rad(alphaDeg);
  const long double d = z * m;
  const long double target =
      Inv(a) + D / (d * std::cos(a)) - kPi / (2 * z) + 2 * x * std::tan(a) / z;
  long double lo = 0, hi = 1.5L;  // inv is increasing: bisection
  for (int i = 0; i < 200; ++i) {
    const long double mid = (lo + hi) / 2;
    (Inv(mid) < target ? lo : hi) = mid;
  }
  return d * std::cos(a) / std::cos(lo) + D;
}

// Normal tooth thickness at the reference circle of a shifted external toothing.
long double ToothThickness(long double m, long double alphaDeg, long double x) {
  return (kPi / 2 + 2 * x * std::tan(Rad(alphaDeg))) * m;
}

// The graphics window of the main window, which the help pictures are drawn into.
struct THelpPictureWindow {
  TGraphicsFacade facade;
  TGraphicsWindow window;
  THelpPictureWindow() {
    window.FormCreate();
    GraphicsWindowInstance = &window;
    InstallGraphicsHelpImageHook();
  }
  ~THelpPictureWindow() {
    InstallHelpImageHook(nullptr);
    GraphicsWindowInstance = nullptr;
  }
};

class DimensionDialogTest : public ::testing::Test {
 protected:
  // The texts below are written with a decimal point: the dialog is shown as to a user whose
  // locale writes one, whatever the machine's (the decimal comma has a test of its own).
  void SetUp() override {
    if (const char* all = std::getenv("LC_ALL")) savedLocale_ = all;
    setenv("LC_ALL", "C", 1);
    InitModules();
    NewSplineExample();
    ConfigVariables.UnitSystem = 0;
  }
  void TearDown() override {
    ConfigVariables.UnitSystem = 0;
    if (savedLocale_) {
      setenv("LC_ALL", savedLocale_->c_str(), 1);
    } else {
      unsetenv("LC_ALL");
    }
  }
  std::optional<std::string> savedLocale_;

  // The dialog shown, as the dimension command shows it (without blocking).
  void Open() {
    form_ = std::make_unique<TForm_vukogeo>();
    form_->show();
  }

  QLineEdit* Edit(const char* name) const {
    auto* edit = form_->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << name;
    return edit;
  }
  std::string Text(const char* name) const { return Edit(name)->text().toStdString(); }
  long double Value(const char* name) const { return StrToReal(Text(name)); }
  template <typename T>
  T* Find(const char* name) const {
    auto* widget = form_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  void Click(const char* name) const { Find<QAbstractButton>(name)->click(); }
  void ChooseItem(const char* group, int index) const {
    Find<QButtonGroup>(group)->button(index)->click();
  }

  // Replaces the field's text key by key, as typed after selecting everything.
  void Type(const char* name, const std::string& text) const {
    QLineEdit* edit = Edit(name);
    edit->selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(edit, &erase);
    for (char c : text) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar::fromLatin1(c)));
      QApplication::sendEvent(edit, &key);
    }
  }

  bool Listed(const std::string& message) const {
    for (int i = 1; i <= ErrorCount(); ++i) {
      if (ErrorText(i) == message) return true;
    }
    return false;
  }

  std::unique_ptr<TForm_vukogeo> form_;
};

// ---------------------------------------------------------------------------------------------
// Filling the controls

TEST_F(DimensionDialogTest, ShowsTheExampleJointInMillimetres) {
  Open();
  EXPECT_EQ(Text("Edit_wal"), "30");
  EXPECT_EQ(Text("Edit_mn"), "6.5");
  EXPECT_EQ(Find<QSpinBox>("SpinEdit_z")->value(), 8);
  EXPECT_EQ(Text("Edit_mdr1"), "82.000");
  EXPECT_EQ(Text("Edit_dmess1"), "16");
  EXPECT_EQ(Text("Edit_dmess2"), "12");
  EXPECT_EQ(Text("Edit_da1"), "61");
  EXPECT_EQ(Text("Edit_df1"), "48");
  EXPECT_EQ(Text("Edit_ce"), "1");
  EXPECT_EQ(Text("Edit_cp"), "0.3");
  EXPECT_TRUE(Find<QAbstractButton>("RadioButton_rad1c")->isChecked());
  EXPECT_EQ(Find<QButtonGroup>("RadioGroup_pm1")->checkedId(), 2);
  EXPECT_EQ(Find<QButtonGroup>("RadioGroup_de")->checkedId(), 1);
  EXPECT_FALSE(Find<QCheckBox>("CheckBox_cmn")->isChecked());
  EXPECT_EQ(Find<QLabel>("Label_mdru1")->text().toStdString(), "mm");
  // Reference diameter z m = 8 x 6.5.
  EXPECT_EQ(Find<QLabel>("Label_d")->text().toStdString(), "d = 52.000 mm");
  // The shaft's x is derived from its dimension over balls: the over-ball formula at the shown
  // x gives 82 back (x shown to 6 digits, dM/dx about 2 m sin a).
  EXPECT_NEAR(OverBalls(8, 6.5L, 30, Value("Edit_xe1"), 16), 82.0L, 1e-3L);
  EXPECT_NEAR(Value("Edit_sn1"), ToothThickness(6.5L, 30, Value("Edit_xe1")), 1.5e-3L);
  // The hub's space width is the shaft's tooth thickness plus the backlash.
  EXPECT_NEAR(Value("Edit_en2") - Value("Edit_sn1"), 0.3L, 2e-3L);
  // The hub is never measured over a span.
  EXPECT_FALSE(Edit("Edit_wmess2")->isVisible());
  EXPECT_FALSE(Find<QWidget>("SpinEdit_kmess2")->isVisible());
}

TEST_F(DimensionDialogTest, ShowsLengthsInInchesAndFactorsUnchanged) {
  ConfigVariables.UnitSystem = 1;
  Open();
  EXPECT_NEAR(Value("Edit_mn"), 6.5L / kInch, 1e-5L);
  EXPECT_NEAR(Value("Edit_mdr1"), 82 / kInch, 5e-5L);
  EXPECT_NEAR(Value("Edit_dmess1"), 16 / kInch, 1e-5L);
  EXPECT_NEAR(Value("Edit_ce"), 1 / kInch, 1e-5L);
  EXPECT_EQ(Text("Edit_wal"), "30");
  EXPECT_EQ(Text("Edit_frf1"), "0.15");
  EXPECT_EQ(Find<QLabel>("Label_mdru1")->text().toStdString(), "in");
  EXPECT_EQ(Find<QLabel>("Label_ceu")->text().toStdString(), "in");
}

TEST_F(DimensionDialogTest, UnitButtonConvertsLengthsAndKeepsFactors) {
  Open();
  Click("Button_metric");
  EXPECT_EQ(ConfigVariables.UnitSystem, 1);
  EXPECT_NEAR(Value("Edit_mdr1"), 82 / kInch, 5e-5L);
  EXPECT_NEAR(Value("Edit_da1"), 61 / kInch, 1e-5L);
  EXPECT_EQ(Text("Edit_wal"), "30");
  EXPECT_EQ(Text("Edit_frf2"), "0.15");
  Click("Button_metric");
  EXPECT_EQ(Text("Edit_mdr1"), "82.000");
}

// ---------------------------------------------------------------------------------------------
// Reading what was typed

TEST_F(DimensionDialogTest, TypedValuesReachTheRecords) {
  Open();
  Find<QSpinBox>("SpinEdit_z")->setValue(12);
  EXPECT_EQ(ToothingData.z[1], 12);
  EXPECT_EQ(ToothingData.z[2], -12);

  Type("Edit_ce", "1,5");  // decimal comma
  EXPECT_DOUBLE_EQ(static_cast<double>(SplineInputData.ce), 1.5);

  Click("RadioButton_rad12");
  ChooseItem("RadioGroup_pm2", 2);
  Type("Edit_mdr2", "60");
  EXPECT_DOUBLE_EQ(static_cast<double>(SplineInputData.MdRIn[2]), -60.0);
  Type("Edit_mdr2", "-60");
  EXPECT_DOUBLE_EQ(static_cast<double>(SplineInputData.MdRIn[2]), -60.0);
}

TEST_F(DimensionDialogTest, InchInputIsStoredInMillimetres) {
  ConfigVariables.UnitSystem = 1;
  Open();
  Type("Edit_mdr1", "3.25");
  EXPECT_NEAR(SplineInputData.MdRIn[1], 3.25L * kInch, 1e-9L);
  Type("Edit_mn", "0,25");
  EXPECT_NEAR(ToothingData.mn, 0.25L * kInch, 1e-9L);
}

TEST_F(DimensionDialogTest, LiveRecalculationFollowsTheDimensionOverBalls) {
  Open();
  Type("Edit_mdr1", "83");
  EXPECT_EQ(Text("Edit_mdr1"), "83");  // the field typed in is never rewritten
  EXPECT_NEAR(OverBalls(8, 6.5L, 30, Value("Edit_xe1"), 16), 83.0L, 1e-3L);
  EXPECT_NEAR(ToothingData.x[1], Value("Edit_xe1"), 1e-5L);
  EXPECT_NEAR(Value("Edit_sn1"), ToothThickness(6.5L, 30, ToothingData.x[1]), 1e-3L);
}

// Numbers typed key by key as a user types them: the half-typed states ("14.", "-", "1e",
// "37,") neither rewrite the field nor reach the calculation, so the number arrives whole and
// the field keeps what was typed ("20.00" reads as 20). Under a German or Turkish locale the
// decimal comma is typed the same way.
TEST_F(DimensionDialogTest, NumbersAreTypedFreely) {
  std::string missing;
  for (const char* locale : {"C", "de_DE.UTF-8", "tr_TR.UTF-8"}) {
    if (validator_support::MissingLocale(locale, missing)) continue;
    setenv("LC_ALL", locale, 1);  // as the user's environment names it
    Open();
    QLineEdit* edit = Edit("Edit_wal");
    struct Case {
      const char* typed;
      long double alpha;
    };
    const bool german = std::string(locale) != "C";         // or Turkish: a decimal comma
    for (QLineEdit* e : form_->findChildren<QLineEdit*>())  // the calculated fields too
      EXPECT_TRUE(!german || !e->text().contains('.')) << e->objectName().toStdString();
    EXPECT_TRUE(!german || Find<QLabel>("Label_d")->text().contains(','));
    const Case cases[] = {{"14.5", 14.5L}, {"20.00", 20.0L}, {german ? "37,5" : "37.5", 37.5L}};
    for (const Case& c : cases) {
      edit->selectAll();
      QTest::keyClicks(edit, c.typed);
      EXPECT_EQ(Text("Edit_wal"), c.typed) << locale;
      EXPECT_EQ(ToothingData.alpha, c.alpha) << c.typed << " " << locale;
      EXPECT_FALSE(CalcFatalFlag) << c.typed;
    }
    edit->selectAll();
    QTest::keyClicks(edit, "-");
    EXPECT_EQ(ToothingData.alpha, 37.5L);  // not taken while incomplete
    QTest::keyClicks(edit, QStringLiteral("\b1e"));
    EXPECT_EQ(ToothingData.alpha, 1.0L);  // "1" was a number, "1e" is none yet
    QTest::keyClicks(edit, "1");          // "1e1"
    EXPECT_EQ(ToothingData.alpha, 10.0L);
    Click("Button_wal2");
    EXPECT_EQ(Text("Edit_wal"), german ? "37,5" : "37.5");
    EXPECT_EQ(ToothingData.alpha, 37.5L);
  }
  SKIP_MISSING_ROWS(missing);
}

// "?" beside DM and k: the entry's text in a box, and its picture where the entry names one; an
// entry without a picture leaves the picture in the window as it was.
TEST_F(DimensionDialogTest, QuestionButtonsShowTheTextAndOnlyAPictureThatExists) {
  app_test::ScratchDir dir;
  app_test::WriteBytes(dir / "vuko.hlp", "5050\nBall text.\n5260:span\nSpan text.\n");
  app_test::WriteBytes(dir / "span.plt",
                       app_test::ReadBytes(std::string(VUKO_DATA_DIR) + "/span.plt"));
  SetProgramIdentity();
  ProgramSettings.pltDirectory = dir.Path();
  ScriptedDialogHost host;
  THelpPictureWindow window;
  Open();
  GraphicsFacade->GrLine(1.5L, 2.5L, 3.5L, 4.5L);
  const std::size_t count = DisplayList->Count();
  const std::string marker = DisplayList->RecordText(count - 1);

  Click("Button_dmess");
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_NE(host.Messages()[0].find("Ball text."), std::string::npos) << host.Messages()[0];
  ASSERT_EQ(DisplayList->Count(), count);
  EXPECT_EQ(DisplayList->RecordText(count - 1), marker);

  Click("Button_kmess");
  ASSERT_EQ(host.Messages().size(), 2u);
  EXPECT_NE(host.Messages()[1].find("Span text."), std::string::npos);
  EXPECT_GT(DisplayList->Count(), count);  // the span picture replaced it
  for (std::size_t i = 0; i < DisplayList->Count(); ++i)
    EXPECT_NE(DisplayList->RecordText(i), marker);
  EXPECT_FALSE(AbortFlag);
}

// Cancel after a help picture (Aux. Image) draws the result picture again.
TEST_F(DimensionDialogTest, CancelAfterAuxImageBringsBackTheResultPicture) {
  ProgramSettings.pltDirectory = VUKO_DATA_DIR;
  ScriptedDialogHost host;
  THelpPictureWindow window;
  auto last = [] { return DisplayList->RecordText(DisplayList->Count() - 1); };
  CalcSplineJoint();
  ShowResultPicture();
  const std::string result = last();
  Open();
  Click("Button_hilfebild");
  EXPECT_NE(last(), result);
  Click("Button_cancel");
  EXPECT_EQ(last(), result);
}

// ---------------------------------------------------------------------------------------------
// Modes open and close the fields

TEST_F(DimensionDialogTest, ModesOpenAndCloseFields) {
  Open();
  ChooseItem("RadioGroup_pm1", 0);
  EXPECT_TRUE(Edit("Edit_xe1")->isEnabled());
  EXPECT_FALSE(Edit("Edit_mdr1")->isEnabled());
  ChooseItem("RadioGroup_pm1", 2);
  EXPECT_FALSE(Edit("Edit_xe1")->isEnabled());
  EXPECT_TRUE(Edit("Edit_mdr1")->isEnabled());

  Click("RadioButton_rad2c");
  for (const char* name : {"Edit_xe1", "Edit_sn1", "Edit_mdr1", "Edit_wmess1", "Edit_fhf1",
                           "Edit_fha1", "Edit_da1", "Edit_df1"}) {
    EXPECT_FALSE(Edit(name)->isEnabled()) << name;
  }
  Click("RadioButton_rad12");
  for (const char* name :
       {"Edit_ce", "Edit_ci", "Edit_cp", "Edit_cemn", "Edit_cimn", "Edit_cpmn"}) {
    EXPECT_FALSE(Edit(name)->isEnabled()) << name;
  }
  EXPECT_FALSE(Find<QWidget>("Button_cemn")->isEnabled());
}

// ---------------------------------------------------------------------------------------------
// Buttons beside the fields

TEST_F(DimensionDialogTest, ShiftButtonsCopyTheOtherPartsShift) {
  Open();
  ChooseItem("RadioGroup_pm2", 0);
  Click("RadioButton_rad2c");  // hub given, shaft follows
  Type("Edit_xe2", "-0.3");
  Click("RadioButton_rad1c");  // shaft given
  ChooseItem("RadioGroup_pm1", 0);
  Click("Button_xe1");
  // The copied shift stands and the measurements follow from it.
  EXPECT_NEAR(ToothingData.x[1], 0.3L, 1e-9L);
  EXPECT_EQ(Text("Edit_xe1"), "0.3");
  EXPECT_NEAR(Value("Edit_sn1"), ToothThickness(6.5L, 30, 0.3L), 1e-3L);
  EXPECT_NEAR(OverBalls(8, 6.5L, 30, 0.3L, 16), Value("Edit_mdr1"), 1e-3L);
  // The radio groups still say how the parts are given.
  EXPECT_EQ(SplineInputData.InputKind[1], 1);
}

TEST_F(DimensionDialogTest, ShiftCopyBeyondTheLimitZeroesBoth) {
  Open();
  Click("RadioButton_rad12");
  ChooseItem("RadioGroup_pm1", 0);
  ChooseItem("RadioGroup_pm2", 0);
  Type("Edit_xe2", "-1.5");
  Click("Button_xe1");
  EXPECT_EQ(Text("Edit_xe1"), "1.5");
  Type("Edit_xe2", "-1.6");
  Click("Button_xe1");
  EXPECT_EQ(ToothingData.x[1], 0);
  EXPECT_EQ(ToothingData.x[2], 0);
  EXPECT_EQ(Text("Edit_xe2"), "0");
}

TEST_F(DimensionDialogTest, BallAndSpanButtonsGiveTheStandardValues) {
  Open();
  Click("RadioButton_rad12");
  ChooseItem("RadioGroup_pm1", 0);
  Find<QSpinBox>("SpinEdit_z")->setValue(20);
  Type("Edit_xe1", "0");
  Click("Button_dmess1");
  // Ball touching the unshifted flanks at the reference circle:
  // D = m z cos a (tan(a + pi / (2 z)) - tan a), rounded to 0.1 mm.
  const long double a = Rad(30);
  const long double D = 6.5L * 20 * std::cos(a) * (std::tan(a + kPi / 40) - std::tan(a));
  EXPECT_NEAR(Value("Edit_dmess1"), std::round(D * 10) / 10, 1e-9L);
  // Teeth spanned z a / 180 + 0.5 rounded: 20 x 30 / 180 + 0.5 = 3.83 -> 4.
  Find<QSpinBox>("SpinEdit_kmess1")->setValue(9);
  Click("Button_kmess1");
  EXPECT_EQ(Find<QSpinBox>("SpinEdit_kmess1")->value(), 4);
  EXPECT_EQ(ToothingData.k[1], 4);
}

// At z 10, mn 2, x -0.5, addendum 0.45 the bare rule's 1 tooth touches at 17.52, below dFf 17.55.
TEST_F(DimensionDialogTest, SpanButtonProposesWhatTheListingUses) {
  Open();
  Click("RadioButton_rad1c");
  for (const char* group : {"RadioGroup_pm1", "RadioGroup_de", "RadioGroup_di"}) ChooseItem(group, 0);
  for (const char* standard : {"Button_wal1", "Button_fhf1", "Button_frf1"}) Click(standard);
  Find<QSpinBox>("SpinEdit_z")->setValue(10);
  for (auto [edit, text] : {std::pair{"Edit_mn", "2"}, {"Edit_xe1", "-0.5"}, {"Edit_fha1", "0.45"}})
    Type(edit, text);
  Click("Button_kmess1");
  Click("Button_calc");
  const long double db = ToothingData.db[1], contact = std::hypot(db, ToothingData.W[1]);
  EXPECT_GE(contact, std::max(ToothingData.dFf[1], db));
  EXPECT_LE(contact, ToothingData.da[1]);
  EXPECT_EQ(Find<QPlainTextEdit>("Memo_err")->toPlainText().toStdString().find("flank"),
            std::string::npos);
}

TEST_F(DimensionDialogTest, TheTemplateOpensWithoutAWarning) {
  LoadDataFile(std::string(VUKO_DATA_DIR) + "/null.vuk");
  Open();
  EXPECT_EQ(Find<QPlainTextEdit>("Memo_err")->toPlainText().toStdString(), "");
  Type("Edit_mn", "6.5");
  EXPECT_EQ(ErrorCount(), 0) << ErrorText(1);
}

// ---------------------------------------------------------------------------------------------
// Failures, OK and Cancel

TEST_F(DimensionDialogTest, ZeroModuleStopsWithAFatalMessageShownAtOnce) {
  Open();
  const long double d1 = ToothingData.d[1];
  const std::string xe1 = Text("Edit_xe1");
  Type("Edit_mn", "");
  EXPECT_TRUE(Listed("Fatal  : mn = 0 !"));
  EXPECT_TRUE(CalcFatalFlag);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(ToothingData.d[1], d1);  // nothing calculated
  EXPECT_EQ(Text("Edit_xe1"), xe1);
  auto* memo = Find<QPlainTextEdit>("Memo_err");
  EXPECT_FALSE(memo->isHidden());
  EXPECT_NE(memo->toPlainText().toStdString().find("Fatal  : mn = 0 !"), std::string::npos);
}

TEST_F(DimensionDialogTest, PitchModeRecoversFromAnEmptyModuleField) {
  Open();
  Type("Edit_mn", "");
  ChooseItem("RadioGroup_mnpn", 1);
  Type("Edit_pn", "4");
  EXPECT_FALSE(CalcFatalFlag);
  EXPECT_NEAR(ToothingData.mn, 25.4L / 4, 1e-12L);
  EXPECT_EQ(Text("Edit_mn"), "6.35");
}

TEST_F(DimensionDialogTest, OkWithAFatalStateShowsTheMessagesAndStaysOpen) {
  ScriptedDialogHost host;
  Open();
  Type("Edit_mn", "0");
  Click("Button_ok");
  const auto choices = host.RecordsOf(TDialogKind::Choice);
  ASSERT_EQ(choices.size(), 1u);
  ASSERT_FALSE(choices[0].entries.empty());
  EXPECT_EQ(choices[0].entries[0], "Fatal  : mn = 0 !");
  EXPECT_TRUE(form_->isVisible());
  EXPECT_NE(form_->result(), QDialog::Accepted);
}

TEST_F(DimensionDialogTest, OkAndCalcRefuseAValueNobodyCanMakeAndNameItsField) {
  ScriptedDialogHost host;
  Open();
  for (const char* button : {"Button_ok", "Button_calc"}) {
    SCOPED_TRACE(button);
    Type("Edit_frf1", "-1");
    host.Clear();
    Click(button);
    const auto boxes = host.RecordsOf(TDialogKind::Message);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, "rf1/mn: \"-1\" is not accepted (< 0)");
    EXPECT_TRUE(form_->isVisible());
    EXPECT_NE(form_->result(), QDialog::Accepted);
    Type("Edit_frf1", "nan");  // never taken for 0
    host.Clear();
    Click(button);
    ASSERT_EQ(host.RecordsOf(TDialogKind::Message).size(), 1u);
    EXPECT_EQ(host.RecordsOf(TDialogKind::Message)[0].prompt, "rf1/mn: \"nan\" is not a number");
    Type("Edit_frf1", "0.15");
  }
  // Leaving the field says it at once, once while the text stands; a good value says nothing.
  Type("Edit_frf1", "-1");
  host.Clear();
  for (int i = 0; i < 2; ++i) emit Edit("Edit_frf1")->editingFinished();
  ASSERT_EQ(host.RecordsOf(TDialogKind::Message).size(), 1u);
  EXPECT_EQ(host.RecordsOf(TDialogKind::Message)[0].prompt, "rf1/mn: \"-1\" is not accepted (< 0)");
  Type("Edit_frf1", "0.15");
  emit Edit("Edit_frf1")->editingFinished();
  EXPECT_EQ(host.RecordsOf(TDialogKind::Message).size(), 1u);
}

TEST_F(DimensionDialogTest, AbsurdModuleFillsNoFieldWithItsDigits) {
  Open();
  ChooseItem("RadioGroup_pm1", 0);  // shaft by its shift: its measurements are calculated
  Type("Edit_mn", "1e400");
  EXPECT_TRUE(Listed("Fatal  : mn out of range !"));
  for (QLineEdit* edit : form_->findChildren<QLineEdit*>()) {
    EXPECT_LT(edit->text().size(), 24) << edit->objectName().toStdString();
  }
}

TEST_F(DimensionDialogTest, OkJudgesTheModesChosenSinceTheLastChange) {
  ScriptedDialogHost host;
  Open();
  Type("Edit_mn", "");
  ChooseItem("RadioGroup_mnpn", 1);  // the pitch field holds 25.4 / 6.5
  Click("Button_ok");
  EXPECT_TRUE(host.RecordsOf(TDialogKind::Choice).empty());
  EXPECT_EQ(form_->result(), QDialog::Accepted);
  EXPECT_FALSE(AbortFlag);
  EXPECT_NEAR(ToothingData.mn, 6.5L, 1e-4L);
}

TEST_F(DimensionDialogTest, CancelLeavesTheDataSetAsItWas) {
  CalcSplineJoint();
  const long double mdr1 = SplineInputData.MdRIn[1];
  const long double x1 = ToothingData.x[1];
  const long double x2 = ToothingData.x[2];
  const int messages = ErrorCount();
  Open();
  Type("Edit_mdr1", "90");
  Find<QSpinBox>("SpinEdit_z")->setValue(10);
  ASSERT_NE(ToothingData.x[1], x1);
  Click("Button_cancel");
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(SplineInputData.MdRIn[1], mdr1);
  EXPECT_EQ(ToothingData.z[1], 8);
  EXPECT_EQ(ToothingData.x[1], x1);
  EXPECT_EQ(ToothingData.x[2], x2);
  EXPECT_EQ(ErrorCount(), messages);
}

TEST_F(DimensionDialogTest, EscapeIsCancel) {
  Open();
  Type("Edit_mdr1", "90");
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &escape);
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(SplineInputData.MdRIn[1], 82);
}

}  // namespace
