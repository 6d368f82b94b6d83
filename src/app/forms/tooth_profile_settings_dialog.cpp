// The general tooth-profile drawing settings dialog.
#include "app/forms/tooth_profile_settings_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/cad_profile_options.h"
#include "app/forms/documentation_form_texts.h"
#include "common/forms/form_placement.h"
#include "common/help_texts.h"
#include "common/program_state.h"

namespace {

// The step counts the tooth-graphics settings accept; 0 stands for the default.
constexpr int kMaxInvolutePoints = 256;
constexpr int kMaxFilletSteps = 200;
constexpr int kMaxShapeSteps = 20000;

QString Hint(int number) {
  std::string text;
  FetchHelpText(number, text);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* NewLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QSpinBox* NewSpin(QWidget* parent, const char* name, int max) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(0, max);
  return spin;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TForm_tovpconf::TForm_tovpconf(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm_tovpconf"));
  auto* outer = new QVBoxLayout(this);
  auto* grid = new QGridLayout;

  checkBox_fussausrundung_ = new QCheckBox(this);
  checkBox_fussausrundung_->setObjectName(QStringLiteral("CheckBox_fussausrundung_zeichnen"));
  grid->addWidget(checkBox_fussausrundung_, 0, 0, 1, 2);
  auto* labelFillet = NewLabel(this, "Label_aufloesung_fussausrundung");
  edit_aufloesung_ = NewSpin(this, "edit_aufloesung_fussausrundung", kMaxFilletSteps);
  grid->addWidget(labelFillet, 1, 0);
  grid->addWidget(edit_aufloesung_, 1, 1);
  auto* labelPoints = NewLabel(this, "Label_anzahl_punkte_evolvente");
  edit_anzevolvpoints_ = NewSpin(this, "edit_anzevolvpoints", kMaxInvolutePoints);
  grid->addWidget(labelPoints, 2, 0);
  grid->addWidget(edit_anzevolvpoints_, 2, 1);
  checkBox_polyline_ = new QCheckBox(this);
  checkBox_polyline_->setObjectName(QStringLiteral("CheckBox_polyline"));
  grid->addWidget(checkBox_polyline_, 3, 0, 1, 2);
  auto* labelShapes = NewLabel(this, "Label_anzahl_huellkurven_stirnraeder");
  edit_anzhull_ = NewSpin(this, "edit_anzhull", kMaxShapeSteps);
  grid->addWidget(labelShapes, 4, 0);
  grid->addWidget(edit_anzhull_, 4, 1);
  checkBox_durchmesser_ = new QCheckBox(this);
  checkBox_durchmesser_->setObjectName(QStringLiteral("CheckBox_durchmesser_anzeigen"));
  grid->addWidget(checkBox_durchmesser_, 5, 0, 1, 2);
  button_reset_ = NewButton(this, "Button_reset", "<");
  grid->addWidget(button_reset_, 6, 1);
  outer->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  button_ok_ = NewButton(this, "Button_ok", "OK");
  button_cancel_ = NewButton(this, "Button_cancel", "Cancel");
  button_help_ = NewButton(this, "Button_help", "&Help Text");
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addWidget(button_help_);
  outer->addLayout(buttons);

  connect(button_ok_, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(button_cancel_, &QPushButton::clicked, this, [this] { Button_cancelClick(); });
  connect(button_help_, &QPushButton::clicked, this, [this] { Button_helpClick(); });
  connect(button_reset_, &QPushButton::clicked, this, [this] { Button_resetClick(); });
  // Clicks only: filling the box when the dialog is shown leaves the edit as it is.
  connect(checkBox_fussausrundung_, &QCheckBox::clicked, this,
          [this] { CheckBox_fussausrundung_zeichnenClick(); });
  FormCreate();
}

void TForm_tovpconf::FormCreate() {
  ScaleAndCenterForm(this);
  setWindowTitle(DosText(ProgramIdentity.programName));
  button_ok_->setDefault(true);
  checkBox_fussausrundung_->setText(DosText("Draw tooth root curve ?"));
  checkBox_fussausrundung_->setToolTip(Hint(8380));
  checkBox_polyline_->setText(DosText("Involute curve as Polyline ?"));
  checkBox_polyline_->setToolTip(Hint(8310));
  checkBox_durchmesser_->setText(QStringLiteral("Draw diameters ?"));
  auto* labelFillet = findChild<QLabel*>(QStringLiteral("Label_aufloesung_fussausrundung"));
  labelFillet->setText(QStringLiteral("Fillet resolution"));
  labelFillet->setToolTip(Hint(8345));
  auto* labelPoints = findChild<QLabel*>(QStringLiteral("Label_anzahl_punkte_evolvente"));
  labelPoints->setText(DosText("Number of points for involute polycurve"));
  labelPoints->setToolTip(Hint(8300));
  auto* labelShapes = findChild<QLabel*>(QStringLiteral("Label_anzahl_huellkurven_stirnraeder"));
  labelShapes->setText(DosText("number Tooth shape spur gear"));
  labelShapes->setToolTip(Hint(8325));
}

void TForm_tovpconf::FormShow() {
  WriteProfileDrawingDialog(*this);
}

void TForm_tovpconf::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void WriteProfileDrawingDialog(TForm_tovpconf& form) {
  const TProfileDrawingValues v = ProfileDrawingValues();
  form.checkBox_fussausrundung_->setChecked(v.rootCurve);
  form.edit_anzevolvpoints_->setValue(v.involutePoints);
  form.checkBox_polyline_->setChecked(v.polyline);
  form.edit_aufloesung_->setValue(v.filletSteps);
  form.edit_anzhull_->setValue(v.shapeSteps);
  form.checkBox_durchmesser_->setChecked(v.drawDiameters);
  // The resolution means nothing while no fillet is drawn, from the first showing on.
  form.CheckBox_fussausrundung_zeichnenClick();
}

void ReadProfileDrawingDialog(TForm_tovpconf& form) {
  TProfileDrawingValues v;
  v.rootCurve = form.checkBox_fussausrundung_->isChecked();
  v.involutePoints = form.edit_anzevolvpoints_->value();
  v.polyline = form.checkBox_polyline_->isChecked();
  v.filletSteps = form.edit_aufloesung_->value();
  v.shapeSteps = form.edit_anzhull_->value();
  v.drawDiameters = form.checkBox_durchmesser_->isChecked();
  StoreProfileDrawingValues(v);
}

void TForm_tovpconf::Button_resetClick() {
  WriteProfileDrawingDialog(*this);
}

void TForm_tovpconf::CheckBox_fussausrundung_zeichnenClick() {
  edit_aufloesung_->setEnabled(checkBox_fussausrundung_->isChecked());
}

void TForm_tovpconf::Button_okClick() {
  AbortFlag = false;
  ReadProfileDrawingDialog(*this);
  accept();
}

void TForm_tovpconf::Button_cancelClick() {
  reject();
}

void TForm_tovpconf::reject() {
  // Escape and closing the window cancel as the button does.
  AbortFlag = true;
  QDialog::reject();
}

void TForm_tovpconf::Button_helpClick() {
  ShowHelpText(3500, kHelpTextOnly);
  AbortFlag = false;
}
