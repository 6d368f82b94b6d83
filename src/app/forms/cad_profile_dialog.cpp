// The CAD profile dialog of one part, and the installation of both tooth-profile dialogs.
#include "app/forms/cad_profile_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/cad_profile_options.h"
#include "app/forms/documentation_form_texts.h"
#include "app/forms/tooth_profile_settings_dialog.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/forms/form_placement.h"
#include "common/help_texts.h"
#include "common/program_state.h"

namespace {

// The involute point count the tooth-graphics settings accept; 0 stands for the default.
constexpr int kMaxInvolutePoints = 256;

QString Hint(int number) {
  std::string text;
  FetchHelpText(number, text);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The widest text RealStr6 gives for an addendum modification of the usual range.
constexpr const char* kWidestXeText = "-0.0000000";

// A line edit wide enough to show the text whole, frame and text margins included.
int FieldWidthFor(const QLineEdit& edit, const char* text) {
  const QMargins margins = edit.textMargins();
  constexpr int kFrameAndCursor = 16;
  return edit.fontMetrics().horizontalAdvance(QString::fromLatin1(text)) + margins.left() +
         margins.right() + kFrameAndCursor;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

TForm_qm2config::TForm_qm2config(int part, QWidget* parent)
    : QDialog(parent), ProfilePart(static_cast<std::int16_t>(CadProfilePart(part))) {
  setObjectName(QStringLiteral("TForm_qm2config"));
  auto* outer = new QVBoxLayout(this);
  auto* grid = new QGridLayout;

  label_points_ = new QLabel(this);
  label_points_->setObjectName(QStringLiteral("Label_anzahl_punkte_evolvente"));
  edit_anzevolvpoints_ = new QSpinBox(this);
  edit_anzevolvpoints_->setObjectName(QStringLiteral("edit_anzevolvpoints"));
  edit_anzevolvpoints_->setRange(0, kMaxInvolutePoints);
  grid->addWidget(label_points_, 0, 0);
  grid->addWidget(edit_anzevolvpoints_, 0, 1);

  checkBox_polyline_ = new QCheckBox(this);
  checkBox_polyline_->setObjectName(QStringLiteral("CheckBox_polyline"));
  grid->addWidget(checkBox_polyline_, 1, 0, 1, 2);

  label_xe_ = new QLabel(this);
  label_xe_->setObjectName(QStringLiteral("Label_xe"));
  edit_xe_ = new QLineEdit(this);
  edit_xe_->setObjectName(QStringLiteral("Edit_xe"));
  edit_xe_->setMinimumWidth(FieldWidthFor(*edit_xe_, kWidestXeText));
  grid->addWidget(label_xe_, 2, 0);
  grid->addWidget(edit_xe_, 2, 1);
  auto* xeButtons = new QHBoxLayout;
  button_xe_ = NewButton(this, "Button_xe", "<");
  button_xemax_ = NewButton(this, "Button_xemax", "< max");
  button_xemin_ = NewButton(this, "Button_xemin", "< min");
  for (QPushButton* b : {button_xe_, button_xemax_, button_xemin_}) {
    b->setAutoDefault(false);
    xeButtons->addWidget(b);
  }
  grid->addLayout(xeButtons, 2, 2);

  checkBox_durchmesser_ = new QCheckBox(this);
  checkBox_durchmesser_->setObjectName(QStringLiteral("CheckBox_durchmesser_anzeigen"));
  grid->addWidget(checkBox_durchmesser_, 3, 0, 1, 2);
  checkBox_fussausrundung_ = new QCheckBox(this);
  checkBox_fussausrundung_->setObjectName(QStringLiteral("CheckBox_fussausrundung_zeichnen"));
  grid->addWidget(checkBox_fussausrundung_, 4, 0, 1, 2);
  outer->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  button_ok_ = NewButton(this, "Button_ok", "OK");
  button_cancel_ = NewButton(this, "Button_cancel", "Cancel");
  button_help_ = NewButton(this, "Button_help", "&Help");
  button_cancel_->setAutoDefault(false);
  button_help_->setAutoDefault(false);
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addWidget(button_help_);
  outer->addLayout(buttons);

  connect(button_ok_, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(button_cancel_, &QPushButton::clicked, this, [this] { Button_cancelClick(); });
  connect(button_help_, &QPushButton::clicked, this, [this] { Button_helpClick(); });
  connect(button_xe_, &QPushButton::clicked, this, [this] { Button_xeClick(); });
  connect(button_xemax_, &QPushButton::clicked, this, [this] { Button_xemaxClick(); });
  connect(button_xemin_, &QPushButton::clicked, this, [this] { Button_xeminClick(); });
  FormCreate();
}

void TForm_qm2config::FormCreate() {
  ScaleAndCenterForm(this);
  setWindowTitle(DosText(ProgramIdentity.caption));
  button_ok_->setDefault(true);
  label_points_->setText(QStringLiteral("Number of points for involute polycurve"));
  label_points_->setToolTip(Hint(8300));
  checkBox_polyline_->setText(QStringLiteral("Involute curve as Polyline ?"));
  checkBox_polyline_->setToolTip(Hint(8310));
  label_xe_->setText(QStringLiteral("Gen.addend.modif.coeff. xe"));
  label_xe_->setToolTip(Hint(8330));
  checkBox_fussausrundung_->setText(QStringLiteral("Tooth Root Trochoide"));
  checkBox_durchmesser_->setText(QStringLiteral("Draw diameters ?"));
}

void TForm_qm2config::FormShow() {
  setWindowTitle(QString::fromStdString(CadProfileCaption(ProfilePart)));
  WriteCadProfileDialog(*this);
}

void TForm_qm2config::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void WriteCadProfileDialog(TForm_qm2config& form) {
  const TCadProfileValues v = CadProfileValues(form.ProfilePart);
  form.edit_anzevolvpoints_->setValue(v.involutePoints);
  form.checkBox_polyline_->setChecked(v.polyline);
  form.checkBox_durchmesser_->setChecked(v.drawDiameters);
  form.checkBox_fussausrundung_->setChecked(v.rootCurve);
  form.edit_xe_->setText(QString::fromStdString(v.xeText));
}

bool ReadCadProfileDialog(TForm_qm2config& form) {
  TCadProfileValues v;
  v.involutePoints = form.edit_anzevolvpoints_->value();
  v.polyline = form.checkBox_polyline_->isChecked();
  v.xeText = WinToDos(form.edit_xe_->text().toStdString());
  v.drawDiameters = form.checkBox_durchmesser_->isChecked();
  v.rootCurve = form.checkBox_fussausrundung_->isChecked();
  if (const std::optional<TDimensionRefusal> refusal = CheckCadProfileValues(v)) {
    ErrorMessage(refusal->message);
    form.edit_xe_->setFocus();
    form.edit_xe_->selectAll();
    return false;
  }
  StoreCadProfileValues(form.ProfilePart, v);
  return true;
}

void TForm_qm2config::Button_xeClick() {
  edit_xe_->setText(QString::fromStdString(StoredXeText(ProfilePart)));
}

void TForm_qm2config::Button_xemaxClick() {
  edit_xe_->setText(QString::fromStdString(FinishingXeMaxText(ProfilePart)));
}

void TForm_qm2config::Button_xeminClick() {
  edit_xe_->setText(QString::fromStdString(FinishingXeMinText(ProfilePart)));
}

void TForm_qm2config::Button_okClick() {
  // A refused value keeps the dialog open with nothing stored, so the user can mend it.
  if (!ReadCadProfileDialog(*this)) return;
  AbortFlag = false;
  accept();
}

void TForm_qm2config::Button_cancelClick() {
  reject();
}

void TForm_qm2config::reject() {
  // Escape and closing the window cancel as the button does.
  AbortFlag = true;
  QDialog::reject();
}

void TForm_qm2config::Button_helpClick() {
  ShowHelpText(1000, kHelpTextOnly);
  AbortFlag = false;
}

namespace {

void RunCadProfileDialog(int part) {
  TForm_qm2config form(part, DialogMainWindow());
  if (form.exec() != QDialog::Accepted) AbortFlag = true;
}

void RunProfileDrawingDialog() {
  TForm_tovpconf form(DialogMainWindow());
  if (form.exec() != QDialog::Accepted) AbortFlag = true;
}

}  // namespace

void InstallCadProfileForms() {
  InstallCadProfileDialogs(RunCadProfileDialog, RunProfileDrawingDialog);
}
