// The spline dimension dialog form: widgets, their layout and the events that move values
// between them and the joint's records.
#include "app/forms/dimension_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <optional>
#include <string>
#include <string_view>

#include "calc/spline_joint.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/error_explanations.h"
#include "common/formatting.h"
#include "common/forms/form_placement.h"
#include "common/help_texts.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "drawings/production_drawing.h"

namespace {

using E = TDimensionEdit;

// Program writes into a closed field can start a recalculation, whose writes can start another;
// they settle after one round, this only stops a pair of fields that would never agree.
constexpr int kMaxNestedRecalcs = 4;

// Columns of the grid: row caption, then per part a choice button, label, field, unit and the
// button beside it; the last column holds the "?" buttons.
constexpr int kCaptionColumn = 0;
constexpr int kShaftColumn = 1;
constexpr int kHubColumn = 7;
constexpr int kHelpColumn = 13;

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string S(const QString& text) {
  return text.toUtf8().toStdString();
}

// Looked up for every dialog, so that a help file configured meanwhile is used.
QString HelpHint(int number) {
  std::string text;
  FetchHelpText(number, text);
  return Q(text);
}

int ItemIndex(const QButtonGroup* group) {
  return group->checkedId();
}

void SetItemIndex(QButtonGroup* group, int index) {
  if (QAbstractButton* button = group->button(index)) button->setChecked(true);
}

// Whether a field's text is a whole number yet: while the user is still typing ("14.", "-",
// "1e", "37,") the joint is not recalculated from the part typed so far. An emptied field is
// a value of its own (0), so a cleared module says at once that it cannot be used.
bool CompleteNumber(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return true;
  bool number = false;
  QLocale::c().toDouble(QString(trimmed).replace(QLatin1Char(','), QLatin1Char('.')), &number);
  return number && trimmed.back().isDigit();
}

// Where the user's language writes "," for the decimal point, numbers are shown that way, as the
// fields take them typed; the data set and its files keep ".". Only a point between digits is a
// decimal point.
bool CommaLocale() {
  return UserDecimalSign() == ',';
}

QString NumbersInLocale(const std::string& text) {
  QString value = Q(text);
  if (!CommaLocale()) return value;
  for (int i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == QLatin1Char('.') && value[i - 1].isDigit() && value[i + 1].isDigit()) {
      value[i] = QLatin1Char(',');
    }
  }
  return value;
}

// What a field holds, with "." as the decimal point again.
std::string Typed(const QLineEdit* edit) {
  QString value = edit->text();
  if (CommaLocale()) value.replace(QLatin1Char(','), QLatin1Char('.'));
  return S(value);
}

// An equal text is no change, so rewriting an unchanged value starts no recalculation.
void SetText(QLineEdit* edit, const std::string& text) {
  const QString value = NumbersInLocale(text);
  if (edit->text() != value) edit->setText(value);
}

}  // namespace

TForm_vukogeo::TForm_vukogeo(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form_vukogeo"));
  setModal(true);
  snapshot_ = TakeDimensionSnapshot();
  BuildControls();
  FormCreate();
}

QLineEdit* TForm_vukogeo::NewEdit(TDimensionEdit edit) {
  auto* field = new QLineEdit(this);
  field->setObjectName(QString::fromLatin1(DimensionEditName(edit)));
  field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-0.0000000")));
  field->setMaximumWidth(110);
  edits_[Index(edit)] = field;
  connect(field, &QLineEdit::textChanged, this, [this, edit] { EditChange(edit); });
  connect(field, &QLineEdit::editingFinished, this, [this, edit] { EditLeft(edit); });
  return field;
}

QLabel* TForm_vukogeo::NewLabel(const char* name, const QString& caption, int helpNumber) {
  auto* label = new QLabel(caption, this);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  if (helpNumber > 0) label->setToolTip(HelpHint(helpNumber));
  return label;
}

QLabel* TForm_vukogeo::NewUnitLabel(const char* name) {
  QLabel* label = NewLabel(name, QString());
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("mm")) + 2);
  unitLabels_.push_back(label);
  return label;
}

QPushButton* TForm_vukogeo::NewButton(const char* name, const QString& caption) {
  // A value button shows its number as the fields do.
  auto* button = new QPushButton(NumbersInLocale(S(caption)), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  // The small buttons beside the fields stay small.
  if (caption.size() <= 1) button->setMaximumWidth(32);
  return button;
}

QSpinBox* TForm_vukogeo::NewSpin(const char* name, int low, int high) {
  auto* spin = new QSpinBox(this);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(low, high);
  spin->setMaximumWidth(110);
  return spin;
}

QButtonGroup* TForm_vukogeo::NewGroup(const char* name) {
  auto* group = new QButtonGroup(this);
  group->setObjectName(QString::fromLatin1(name));
  connect(group, &QButtonGroup::idClicked, this, [this] { ModeClick(); });
  return group;
}

QRadioButton* TForm_vukogeo::NewItem(QButtonGroup* group, int index, const QString& caption) {
  auto* item = new QRadioButton(caption, this);
  item->setObjectName(group->objectName() + QStringLiteral("_item") + QString::number(index));
  group->addButton(item, index);
  return item;
}

void TForm_vukogeo::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  grid_ = new QGridLayout;
  grid_->setHorizontalSpacing(6);
  grid_->setVerticalSpacing(3);
  layout->addLayout(grid_);
  grid_->setColumnMinimumWidth(kHubColumn - 1, 16);
  int row = 0;

  // One part's cells of a row: label, field, unit and button after the part's choice column.
  auto cells = [this](int r, int column, QWidget* label, QWidget* field, QWidget* unit,
                      QWidget* button) {
    if (label) grid_->addWidget(label, r, column + 1);
    if (field) grid_->addWidget(field, r, column + 2);
    if (unit) grid_->addWidget(unit, r, column + 3);
    if (button) grid_->addWidget(button, r, column + 4);
  };
  auto caption = [this](int r, const char* name, const char* text, int help) {
    grid_->addWidget(NewLabel(name, QString::fromUtf8(text), help), r, kCaptionColumn);
  };
  // A button beside a field, opened and closed with it.
  auto fieldButton = [this](const char* name, const char* text, E edit) {
    QPushButton* button = NewButton(name, QString::fromUtf8(text));
    if (std::string_view(text) != "<") button->setMaximumWidth(56);
    editButtons_[Index(edit)] = button;
    return button;
  };
  // A button that puts a fixed text into a field (its change event does the rest).
  auto preset = [this](QPushButton* button, E edit, std::string text) {
    connect(button, &QPushButton::clicked, this, [this, edit, text] { SetText(Edit(edit), text); });
    return button;
  };
  auto shiftCopy = [this](QPushButton* button, int part) {
    connect(button, &QPushButton::clicked, this,
            [this, part] { CopyShiftFromOtherPart(*this, part); });
    return button;
  };

  // Pressure angle, module or pitch, number of teeth.
  caption(row, "Label_wal", "Pressure angle alpha", 5080);
  cells(row, kShaftColumn, nullptr, NewEdit(E::wal), NewLabel("Label_walu", QStringLiteral("°")),
        nullptr);
  auto* angleButtons = new QHBoxLayout;
  angleButtons->addWidget(preset(NewButton("Button_wal1", "30"), E::wal, "30"));
  angleButtons->addWidget(preset(NewButton("Button_wal2", "37.5"), E::wal, RealStr(37.5L)));
  angleButtons->addWidget(preset(NewButton("Button_wal3", "45"), E::wal, "45"));
  angleButtons->addStretch();
  grid_->addLayout(angleButtons, row++, kShaftColumn + 4, 1, 6);

  radioGroup_mnpn_ = NewGroup("RadioGroup_mnpn");
  caption(row, "Label_mn", "Normal module mn", 5100);
  grid_->addWidget(NewItem(radioGroup_mnpn_, 0, QStringLiteral("mn")), row, kShaftColumn, 1, 2);
  cells(row++, kShaftColumn, nullptr, NewEdit(E::mn), NewUnitLabel("Label_mnu"), nullptr);
  caption(row, "Label_pn", "Normal Pitch Pn", 5105);
  grid_->addWidget(NewItem(radioGroup_mnpn_, 1, QStringLiteral("Pn")), row, kShaftColumn, 1, 2);
  cells(row++, kShaftColumn, nullptr, NewEdit(E::pn), NewLabel("Label_pnu", QStringLiteral("1/in")),
        nullptr);

  caption(row, "Label_z", "Number of teeth z", 5110);
  spinEdit_z_ = NewSpin("SpinEdit_z", 2, 3000);
  cells(row, kShaftColumn, nullptr, spinEdit_z_, nullptr, nullptr);
  label_d_ = NewLabel("Label_d", QString(), 5420);
  grid_->addWidget(label_d_, row++, kHubColumn + 1, 1, 5);
  connect(spinEdit_z_, &QSpinBox::valueChanged, this, [this] { SpinEdit_zChange(); });

  // Which data are given.
  auto* groupBox1 = new QGroupBox(this);
  groupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* givenRow = new QHBoxLayout(groupBox1);
  auto given = [&](QRadioButton*& button, const char* name, const char* text) {
    button = new QRadioButton(QString::fromUtf8(text), groupBox1);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(HelpHint(5010));
    givenRow->addWidget(button);
    connect(button, &QRadioButton::clicked, this, [this] { ModeClick(); });
  };
  given(radioButton_rad1c_, "RadioButton_rad1c", "1 (external spline) + c");
  given(radioButton_rad12_, "RadioButton_rad12", "1 + 2");
  given(radioButton_rad2c_, "RadioButton_rad2c", "2 (internal spline) + c");
  givenRow->addStretch();
  grid_->addWidget(groupBox1, row++, kCaptionColumn, 1, kHelpColumn + 1);

  // How each part's addendum modification is given; the choice buttons stand in their rows.
  radioGroup_pm1_ = NewGroup("RadioGroup_pm1");
  radioGroup_pm2_ = NewGroup("RadioGroup_pm2");
  caption(row, "Label_xe", "Gen.addend.modif.coeff.", 6540);
  grid_->addWidget(NewItem(radioGroup_pm1_, 0, QString()), row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_xe1", QStringLiteral("xe1"), 6540), NewEdit(E::xe1),
        nullptr, shiftCopy(fieldButton("Button_xe1", "<", E::xe1), 1));
  grid_->addWidget(NewItem(radioGroup_pm2_, 0, QString()), row, kHubColumn);
  cells(row++, kHubColumn, NewLabel("Label_xe2", QStringLiteral("xe2"), 5430), NewEdit(E::xe2),
        nullptr, shiftCopy(fieldButton("Button_xe2", "<", E::xe2), 2));

  caption(row, "Label_sn", "Normal tooth thickn.", 6530);
  grid_->addWidget(NewItem(radioGroup_pm1_, 1, QString()), row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_sn1", QStringLiteral("sn1"), 6530), NewEdit(E::sn1),
        NewUnitLabel("Label_snu1"), shiftCopy(fieldButton("Button_sn1", "<", E::sn1), 1));
  grid_->addWidget(NewItem(radioGroup_pm2_, 1, QString()), row, kHubColumn);
  cells(row++, kHubColumn, NewLabel("Label_en2", QStringLiteral("en2"), 5440), NewEdit(E::en2),
        NewUnitLabel("Label_enu2"), shiftCopy(fieldButton("Button_en2", "<", E::en2), 1));

  caption(row, "Label_mdr", "Dimensions over pins", 6510);
  grid_->addWidget(NewItem(radioGroup_pm1_, 2, QString()), row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_mdr1", QStringLiteral("MR1"), 6510), NewEdit(E::mdr1),
        NewUnitLabel("Label_mdru1"), shiftCopy(fieldButton("Button_mdr1", "<", E::mdr1), 1));
  grid_->addWidget(NewItem(radioGroup_pm2_, 2, QString()), row, kHubColumn);
  cells(row++, kHubColumn, NewLabel("Label_mdr2", QStringLiteral("MR2"), 6510), NewEdit(E::mdr2),
        NewUnitLabel("Label_mdru2"), shiftCopy(fieldButton("Button_mdr2", "<", E::mdr2), 1));

  caption(row, "Label_wmess", "Span measurement", 6520);
  grid_->addWidget(NewItem(radioGroup_pm1_, 3, QString()), row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_wmess1", QStringLiteral("W1"), 6520), NewEdit(E::wmess1),
        NewUnitLabel("Label_wmessu1"), shiftCopy(fieldButton("Button_wmess1", "<", E::wmess1), 1));
  // The hub is not measured over a span: its row exists but is never shown.
  QLabel* wmess2 = NewLabel("Label_wmess2", QStringLiteral("W2"));
  QLabel* wmessu2 = NewUnitLabel("Label_wmessu2");
  QPushButton* buttonWmess2 = shiftCopy(fieldButton("Button_wmess2", "<", E::wmess2), 1);
  cells(row++, kHubColumn, wmess2, NewEdit(E::wmess2), wmessu2, buttonWmess2);

  // Measuring balls and teeth spanned.
  QLabel* dmess1 = NewLabel("label_dmess1", QString(), 5050);
  QPushButton* buttonDmess1 = NewButton("Button_dmess1", QStringLiteral("<"));
  cells(row, kShaftColumn, dmess1, NewEdit(E::dmess1), NewUnitLabel("Label_dmessu1"), buttonDmess1);
  QPushButton* buttonDmess2 = NewButton("Button_dmess2", QStringLiteral("<"));
  cells(row, kHubColumn, NewLabel("Label_dmess2", QStringLiteral("DM2"), 5050), NewEdit(E::dmess2),
        NewUnitLabel("Label_dmessu2"), buttonDmess2);
  QPushButton* dmessHelp = NewButton("Button_dmess", QStringLiteral("?"));
  grid_->addWidget(dmessHelp, row++, kHelpColumn);
  connect(buttonDmess1, &QPushButton::clicked, this, [this] { Button_dmessPartClick(1); });
  connect(buttonDmess2, &QPushButton::clicked, this, [this] { Button_dmessPartClick(2); });
  connect(dmessHelp, &QPushButton::clicked, this, [this] { Button_dmessClick(); });

  QLabel* kmess1 = NewLabel("Label_kmess1", QString(), 5260);
  spinEdit_kmess1_ = NewSpin("SpinEdit_kmess1", 0, 99999);
  QPushButton* buttonKmess1 = NewButton("Button_kmess1", QStringLiteral("<"));
  cells(row, kShaftColumn, kmess1, spinEdit_kmess1_, nullptr, buttonKmess1);
  QLabel* kmess2 = NewLabel("Label_kmess2", QStringLiteral("k"));
  spinEdit_kmess2_ = NewSpin("SpinEdit_kmess2", 0, 99999);
  QPushButton* buttonKmess2 = NewButton("Button_kmess2", QStringLiteral("<"));
  cells(row, kHubColumn, kmess2, spinEdit_kmess2_, nullptr, buttonKmess2);
  QPushButton* kmessHelp = NewButton("Button_kmess", QStringLiteral("?"));
  grid_->addWidget(kmessHelp, row++, kHelpColumn);
  connect(spinEdit_kmess1_, &QSpinBox::valueChanged, this, [this] { SpinEdit_kmess1Change(); });
  connect(buttonKmess1, &QPushButton::clicked, this, [this] { Button_kmess1Click(); });
  connect(kmessHelp, &QPushButton::clicked, this, [this] { Button_kmessClick(); });
  for (QWidget* w : {static_cast<QWidget*>(wmess2), static_cast<QWidget*>(wmessu2),
                     static_cast<QWidget*>(Edit(E::wmess2)), static_cast<QWidget*>(buttonWmess2),
                     static_cast<QWidget*>(kmess2), static_cast<QWidget*>(spinEdit_kmess2_),
                     static_cast<QWidget*>(buttonKmess2)}) {
    w->setVisible(false);
  }

  // Major diameter: shaft tip and hub root, by tool factors or by diameters.
  radioGroup_de_ = NewGroup("RadioGroup_de");
  caption(row++, "Label_dmajor", "major diameter", 5035);
  caption(row, "Label_fhf", "Tooth depth coefficient", 5030);
  QRadioButton* de0 = NewItem(radioGroup_de_, 0, QStringLiteral("he/mn"));
  grid_->addWidget(de0, row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_fhf1", QStringLiteral("ha1/mn"), 6550), NewEdit(E::fhf1),
        nullptr, preset(fieldButton("Button_fhf1", "0.45", E::fhf1), E::fhf1, "0.45"));
  cells(row++, kHubColumn, NewLabel("Label_fha2", QStringLiteral("hf2/mn"), 6570), NewEdit(E::fha2),
        nullptr, preset(fieldButton("Button_fha2", "0.55", E::fha2), E::fha2, "0.55"));
  QRadioButton* de1 = NewItem(radioGroup_de_, 1, QStringLiteral("de"));
  grid_->addWidget(de1, row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_da1", QStringLiteral("da1"), 6560), NewEdit(E::da1),
        NewUnitLabel("Label_dau1"), nullptr);
  cells(row++, kHubColumn, NewLabel("Label_df2", QStringLiteral("df2"), 6580), NewEdit(E::df2),
        NewUnitLabel("Label_dfu2"), nullptr);

  // Minor diameter: shaft root and hub tip.
  radioGroup_di_ = NewGroup("RadioGroup_di");
  caption(row++, "Label_dminor", "minor diameter", 5045);
  caption(row, "Label_fha", "Tooth depth coefficient", 6570);
  QRadioButton* di0 = NewItem(radioGroup_di_, 0, QStringLiteral("hi/mn"));
  grid_->addWidget(di0, row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_fha1", QStringLiteral("hf1/mn"), 6570), NewEdit(E::fha1),
        nullptr, preset(fieldButton("Button_fha1", "0.55", E::fha1), E::fha1, "0.55"));
  cells(row++, kHubColumn, NewLabel("Label_fhf2", QStringLiteral("ha2/mn"), 6550), NewEdit(E::fhf2),
        nullptr, preset(fieldButton("Button_fhf2", "0.45", E::fhf2), E::fhf2, "0.45"));
  QRadioButton* di1 = NewItem(radioGroup_di_, 1, QStringLiteral("di"));
  grid_->addWidget(di1, row, kShaftColumn);
  cells(row, kShaftColumn, NewLabel("Label_df1", QStringLiteral("df1"), 6580), NewEdit(E::df1),
        NewUnitLabel("Label_dfu1"), nullptr);
  cells(row++, kHubColumn, NewLabel("Label_da2", QStringLiteral("da2"), 6560), NewEdit(E::da2),
        NewUnitLabel("Label_dau2"), nullptr);
  for (QRadioButton* b : {de0, de1}) b->setToolTip(HelpHint(5030));
  for (QRadioButton* b : {di0, di1}) b->setToolTip(HelpHint(5040));

  caption(row, "Label_frf", "Root fillet radius rhof/mn", 6590);
  cells(row, kShaftColumn, NewLabel("Label_frf1", QStringLiteral("rf1/mn"), 6590), NewEdit(E::frf1),
        nullptr, preset(NewButton("Button_frf1", QStringLiteral("<")), E::frf1, "0.1"));
  cells(row++, kHubColumn, NewLabel("Label_frf2", QStringLiteral("rf2/mn"), 6590), NewEdit(E::frf2),
        nullptr, preset(NewButton("Button_frf2", QStringLiteral("<")), E::frf2, "0.1"));

  // Clearances, as lengths or per module.
  checkBox_cmn_ = new QCheckBox(QStringLiteral("c /mn"), this);
  checkBox_cmn_->setObjectName(QStringLiteral("CheckBox_cmn"));
  checkBox_cmn_->setToolTip(HelpHint(5020));
  connect(checkBox_cmn_, &QCheckBox::clicked, this, [this] { ModeClick(); });
  grid_->addWidget(checkBox_cmn_, row++, kCaptionColumn);
  cells(row, kShaftColumn, NewLabel("Label_ce", QStringLiteral("ce"), 5400), NewEdit(E::ce),
        NewUnitLabel("Label_ceu"), nullptr);
  cells(row++, kHubColumn, NewLabel("Label_cemn", QStringLiteral("ce/mn"), 5400), NewEdit(E::cemn),
        nullptr, preset(fieldButton("Button_cemn", "0.1", E::cemn), E::cemn, RealStr(0.1L)));
  cells(row, kShaftColumn, NewLabel("Label_ci", QStringLiteral("ci"), 5410), NewEdit(E::ci),
        NewUnitLabel("Label_ciu"), nullptr);
  cells(row++, kHubColumn, NewLabel("Label_cimn", QStringLiteral("ci/mn"), 5410), NewEdit(E::cimn),
        nullptr, preset(fieldButton("Button_cimn", "0.1", E::cimn), E::cimn, RealStr(0.1L)));
  cells(row, kShaftColumn, NewLabel("Label_cp", QStringLiteral("cp"), 5450), NewEdit(E::cp),
        NewUnitLabel("Label_cpu"), nullptr);
  cells(row++, kHubColumn, NewLabel("Label_cpmn", QStringLiteral("cp/mn"), 5450), NewEdit(E::cpmn),
        nullptr, preset(fieldButton("Button_cpmn", "<", E::cpmn), E::cpmn, RealStr(0.04L)));

  // The current messages.
  label_err_ = NewLabel("Label_err", QString());
  memo_err_ = new QPlainTextEdit(this);
  memo_err_->setObjectName(QStringLiteral("Memo_err"));
  memo_err_->setReadOnly(true);
  memo_err_->setMaximumHeight(80);
  QPalette red = memo_err_->palette();
  red.setColor(QPalette::Base, QColor(255, 0, 0));
  memo_err_->setPalette(red);
  grid_->addWidget(label_err_, row, kCaptionColumn, Qt::AlignTop);
  grid_->addWidget(memo_err_, row++, kShaftColumn, 1, kHelpColumn);

  // Command buttons.
  auto* buttons = new QHBoxLayout;
  QPushButton* ok = NewButton("Button_ok", QStringLiteral("OK"));
  ok->setDefault(true);
  ok->setAutoDefault(true);
  QPushButton* cancel = NewButton("Button_cancel", QStringLiteral("Cancel"));
  QPushButton* calc = NewButton("Button_calc", QStringLiteral("Calc"));
  QPushButton* metric = NewButton("Button_metric", QStringLiteral("mm <--> in"));
  QPushButton* help = NewButton("Button_help", QStringLiteral("&Help"));
  QPushButton* image = NewButton("Button_hilfebild", QStringLiteral("Aux. &Image"));
  for (QPushButton* b : {ok, cancel, calc, metric, help, image}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(cancel, &QPushButton::clicked, this, [this] { Button_cancelClick(); });
  connect(calc, &QPushButton::clicked, this, [this] { Button_calcClick(); });
  connect(metric, &QPushButton::clicked, this, [this] { Button_metricClick(); });
  connect(help, &QPushButton::clicked, this, [this] { Button_helpClick(); });
  connect(image, &QPushButton::clicked, this, [this] { Button_hilfebildClick(); });
}

void TForm_vukogeo::FormCreate() {
  FillingGuard filling(*this);
  ScaleAndCenterForm(this);
  setWindowTitle(Q(DosToWin(ProgramIdentity.caption)));
  findChild<QLabel*>(QStringLiteral("label_dmess1"))->setText(QStringLiteral("DM"));
  findChild<QLabel*>(QStringLiteral("Label_kmess1"))->setText(QStringLiteral("k"));
}

void TForm_vukogeo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TForm_vukogeo::FormShow() {
  CalcSplineJoint();
  WriteDimensionDialog(*this, 0);
  UpdateDimensionControls(*this);
  RecalcDimensionDialog(*this);
}

TDimensionDialogValues TForm_vukogeo::ControlValues() const {
  TDimensionDialogValues v;
  for (std::size_t i = 0; i < edits_.size(); ++i) v.edits[i] = Typed(edits_[i]);
  v.z = spinEdit_z_->value();
  v.k[1] = spinEdit_kmess1_->value();
  v.k[2] = spinEdit_kmess2_->value();
  v.givenFor = radioButton_rad1c_->isChecked() ? 1 : radioButton_rad2c_->isChecked() ? 2 : 0;
  v.pitchItem = ItemIndex(radioGroup_mnpn_);
  v.shaftKindItem = ItemIndex(radioGroup_pm1_);
  v.hubKindItem = ItemIndex(radioGroup_pm2_);
  v.majorItem = ItemIndex(radioGroup_de_);
  v.minorItem = ItemIndex(radioGroup_di_);
  v.clearancePerModule = checkBox_cmn_->isChecked();
  return v;
}

void TForm_vukogeo::SetControlValues(const TDimensionDialogValues& v) {
  for (std::size_t i = 0; i < edits_.size(); ++i) SetText(edits_[i], v.edits[i]);
  spinEdit_z_->setValue(v.z);
  spinEdit_kmess1_->setValue(v.k[1]);
  spinEdit_kmess2_->setValue(v.k[2]);
  (v.givenFor == 1   ? radioButton_rad1c_
   : v.givenFor == 2 ? radioButton_rad2c_
                     : radioButton_rad12_)
      ->setChecked(true);
  SetItemIndex(radioGroup_mnpn_, v.pitchItem);
  SetItemIndex(radioGroup_pm1_, v.shaftKindItem);
  SetItemIndex(radioGroup_pm2_, v.hubKindItem);
  SetItemIndex(radioGroup_de_, v.majorItem);
  SetItemIndex(radioGroup_di_, v.minorItem);
  checkBox_cmn_->setChecked(v.clearancePerModule);
  const QString unit = Q(DimensionUnitText());
  for (QLabel* label : unitLabels_) label->setText(unit);
}

void TForm_vukogeo::ShowMessages() {
  memo_err_->clear();
  const std::vector<std::string> lines = DimensionMessageLines();
  const bool any = !lines.empty();
  if (any) {
    label_err_->setText(Q(DosToWin(kErrorPrefix)));
    QStringList text;
    for (const std::string& line : lines) text << Q(line);
    memo_err_->setPlainText(text.join(QLatin1Char('\n')));
  }
  label_err_->setVisible(any);
  memo_err_->setVisible(any);
}

namespace {

// A value the calculation cannot take is said as its field is left, once while its text stands
// (the box itself takes the focus, which leaves the field a second time). The field keeps its
// text, so the user can mend it; OK and Calc refuse it again.
bool SayRefusalOfLeftField(TForm_vukogeo& form, QLineEdit* field) {
  static bool saying = false;
  if (saying) return true;
  const std::optional<TDimensionRefusal> refusal = CheckDimensionValues(form.ControlValues());
  if (!refusal || QString::fromStdString(refusal->field) != field->objectName()) {
    field->setProperty("refusedText", QVariant());
    return false;
  }
  if (field->property("refusedText").toString() == field->text()) return true;
  field->setProperty("refusedText", field->text());
  saying = true;
  ErrorMessage(refusal->message);
  saying = false;
  return true;
}

}  // namespace

bool TForm_vukogeo::RecalculatesOnChange(TDimensionEdit edit) const {
  return EditChangeRecalculates(edit, Edit(edit)->isEnabled(), ItemIndex(radioGroup_pm1_));
}

void TForm_vukogeo::EditChange(TDimensionEdit edit) {
  if (FillingControls()) return;
  if (!CompleteNumber(Edit(edit)->text())) return;
  if (RecalculatesOnChange(edit)) RecalcDimensionDialog(*this);
}

void TForm_vukogeo::EditLeft(TDimensionEdit edit) {
  if (FillingControls()) return;
  if (SayRefusalOfLeftField(*this, Edit(edit))) return;
  // The field is taken as it stands now, a half-typed number included ("14." is 14).
  if (!CompleteNumber(Edit(edit)->text()) && RecalculatesOnChange(edit)) {
    RecalcDimensionDialog(*this);
  }
}

void TForm_vukogeo::SpinEdit_zChange() {
  if (FillingControls()) return;
  RecalcDimensionDialog(*this);
}

void TForm_vukogeo::SpinEdit_kmess1Change() {
  if (FillingControls()) return;
  if (SpanTeethChangeRecalculates(ItemIndex(radioGroup_pm1_))) RecalcDimensionDialog(*this);
}

void TForm_vukogeo::ModeClick() {
  UpdateDimensionControls(*this);
}

void TForm_vukogeo::BackToFront() {
  show();
  raise();
  activateWindow();
}

void TForm_vukogeo::Button_dmessPartClick(int part) {
  ReadDimensionDialog(*this);
  const long double dm = BallDiameterForPart(part);
  SetText(Edit(part == 1 ? E::dmess1 : E::dmess2), LengthStr(dm));
}

void TForm_vukogeo::Button_kmess1Click() {
  ReadDimensionDialog(*this);
  spinEdit_kmess1_->setValue(SpanTeethForPart(1));
}

// The "?" buttons say what the value is and, where the entry has one, show its picture.
void TForm_vukogeo::Button_dmessClick() {
  pictureReplaced_ = true;
  ShowHelpText(5050, kHelpTextAndImage);
  AbortFlag = false;
  BackToFront();
}

void TForm_vukogeo::Button_kmessClick() {
  pictureReplaced_ = true;
  ShowHelpText(5260, kHelpTextAndImage);
  AbortFlag = false;
  BackToFront();
}

void TForm_vukogeo::Button_helpClick() {
  ShowHelpText(1000, kHelpTextOnly);
}

void TForm_vukogeo::Button_hilfebildClick() {
  pictureReplaced_ = true;
  ShowHelpText(5080, kHelpImageOnly);
  AbortFlag = false;
  BackToFront();
}

void TForm_vukogeo::Button_metricClick() {
  FillingGuard filling(*this);
  ReadDimensionDialog(*this);
  ToggleUnitSystem();
  WriteDimensionDialog(*this, 0);
}

namespace {

// Refuses, before anything is read or calculated, a value the calculation could not take: a
// message box names the field, which then has the focus. False when a value was refused.
bool AcceptTypedValues(TForm_vukogeo& form) {
  const std::optional<TDimensionRefusal> refusal = CheckDimensionValues(form.ControlValues());
  if (!refusal) return true;
  ErrorMessage(refusal->message);
  if (auto* field = form.findChild<QWidget*>(QString::fromStdString(refusal->field))) {
    field->setFocus();
  }
  return false;
}

}  // namespace

void TForm_vukogeo::Button_calcClick() {
  if (!AcceptTypedValues(*this)) return;
  ReadDimensionDialog(*this);
  CalcSplineJoint();
  WriteDimensionDialog(*this, 1);
  ShowResultPicture();
  pictureReplaced_ = true;
  BackToFront();
}

void TForm_vukogeo::Button_okClick() {
  AbortFlag = false;
  if (!AcceptTypedValues(*this)) return;
  ReadDimensionDialog(*this);
  // Judged on the inputs as they stand now: a mode chosen since the last change has not been
  // calculated yet.
  RecalcDimensionData();
  ShowMessages();
  if (CalcFatalFlag) {
    ShowErrorList();
    BackToFront();
    return;
  }
  AbortFlag = false;
  accept();
}

void TForm_vukogeo::Button_cancelClick() {
  reject();
}

void TForm_vukogeo::reject() {
  // Esc, the window's close button and Cancel all leave the data set as it was.
  RestoreDimensionSnapshot(snapshot_);
  if (pictureReplaced_ && !CalcFatalFlag) {
    AbortFlag = false;
    ShowResultPicture();
  }
  AbortFlag = true;
  QDialog::reject();
}

// ---------------------------------------------------------------------------------------------

void WriteDimensionDialog(TForm_vukogeo& form, int mode) {
  const TDimensionDialogValues values = DimensionValuesFromData();
  if (mode == 0) {
    TForm_vukogeo::FillingGuard filling(form);
    form.SetControlValues(values);
  } else {
    // A field open for input keeps what the user typed ("20.00" stays and reads as 20):
    // rewriting it after every key would turn "14." into "14" and the next digit into 145.
    for (int i = 0; i < kDimensionEditCount; ++i) {
      const auto edit = static_cast<E>(i);
      if (edit == E::dmess1 || edit == E::dmess2) continue;
      QLineEdit* field = form.Edit(edit);
      if (!field->isEnabled()) SetText(field, values.Text(edit));
    }
  }
  form.ShowMessages();
  form.label_d_->setText(NumbersInLocale(ReferenceDiameterText()));
}

void ReadDimensionDialog(TForm_vukogeo& form) {
  ReadDimensionValues(form.ControlValues());
}

void UpdateDimensionControls(TForm_vukogeo& form) {
  if (form.FillingControls()) return;
  const TDimensionEnables enables = DimensionEditEnables(form.ControlValues());
  for (std::size_t i = 0; i < enables.size(); ++i) {
    form.edits_[i]->setEnabled(enables[i]);
    if (QPushButton* button = form.editButtons_[i]) button->setEnabled(enables[i]);
  }
}

void RecalcDimensionDialog(TForm_vukogeo& form) {
  if (form.FillingControls() || form.recalcDepth_ >= kMaxNestedRecalcs) return;
  ++form.recalcDepth_;
  ReadDimensionDialog(form);
  if (RecalcDimensionData()) {
    WriteDimensionDialog(form, 1);
  } else {
    // The fields keep their values, but the reason must be visible.
    form.ShowMessages();
  }
  --form.recalcDepth_;
}

void CopyShiftFromOtherPart(TForm_vukogeo& form, int part) {
  TForm_vukogeo::FillingGuard filling(form);
  CopyShiftInData(part, form.ControlValues());
  WriteDimensionDialog(form, 0);
}

void RunDimensionDialog() {
  TForm_vukogeo form(DialogMainWindow());
  form.exec();
  // Only OK clears the flag; any other way out is a Cancel.
  if (form.result() != QDialog::Accepted) AbortFlag = true;
}

void InstallDimensionDialogForm() {
  InstallDimensionDialog(RunDimensionDialog);
}
