// The plot program's settings dialog and its hook into the CAD code selection.
#include "graphics/forms/plot_program_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/dialog_host.h"
#include "common/file_dialogs.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/forms/form_placement.h"
#include "common/help_texts.h"
#include "common/program_state.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string S(const QString& text) {
  return text.toStdString();
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    button->setObjectName(objectName() + "_item" + QString::number(i));
    buttons_->addButton(button, i);
    layout->addWidget(button);
  }
  connect(buttons_, &QButtonGroup::idClicked, this, [this] { emit Clicked(); });
}

int TRadioGroup::ItemIndex() const {
  return buttons_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* b = buttons_->button(index)) b->setChecked(true);
}

int TRadioGroup::Count() const {
  return static_cast<int>(buttons_->buttons().size());
}

// ---------------------------------------------------------------------------------------------

TForm_confvectrix::TForm_confvectrix(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_confvectrix");
  setWindowTitle("VECTRIX");
  auto* grid = new QGridLayout;
  int row = 0;
  auto label = [&](const char* text) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    grid->addWidget(l, row, 0);
    return l;
  };

  label("VECTRIX Program directory");
  edit_vectrixPath_ = Edit("Edit_vectrixPath", this);
  button_vectrixpath_ = new QPushButton("...", this);
  button_vectrixpath_->setObjectName("Button_vectrixpath");
  grid->addWidget(edit_vectrixPath_, row, 1);
  grid->addWidget(button_vectrixpath_, row++, 2);

  QStringList codes{"HP-GL Laserjet (HPL)", "Postscript (PS)", "HP-GL Plotter (PLT)",
                    "HP-GL/2 (PL2)", "Aristo (ART)"};
  radioGroup_outcode_ = new TRadioGroup("destination code", codes, this);
  radioGroup_outcode_->setObjectName("RadioGroup_outcode");
  QStringList interfaces{"seriell", "parallel", "Datei"};
  radioGroup_d_ = new TRadioGroup("output interface", interfaces, this);
  radioGroup_d_->setObjectName("RadioGroup_d");
  grid->addWidget(radioGroup_outcode_, row, 0);
  grid->addWidget(radioGroup_d_, row++, 1, 1, 2);

  label("COM");
  edit_com_ = Edit("Edit_com", this);
  grid->addWidget(edit_com_, row++, 1);
  label("LPT");
  edit_lpt_ = Edit("Edit_lpt", this);
  grid->addWidget(edit_lpt_, row++, 1);

  label("directory");
  edit_outdir_ = Edit("Edit_outdir", this);
  auto* dirButtons = new QHBoxLayout;
  button_outDir_ = new QPushButton("...", this);
  button_outDir_->setObjectName("Button_outDir");
  button_tempdir_ = new QPushButton("temp", this);
  button_tempdir_->setObjectName("Button_tempdir");
  dirButtons->addWidget(button_outDir_);
  dirButtons->addWidget(button_tempdir_);
  grid->addWidget(edit_outdir_, row, 1);
  grid->addLayout(dirButtons, row++, 2);

  label("scale");
  edit_scale_ = Edit("Edit_scale", this);
  checkBox_scale_ = new QCheckBox("scale fit limits ?", this);
  checkBox_scale_->setObjectName("CheckBox_scale");
  grid->addWidget(edit_scale_, row, 1);
  grid->addWidget(checkBox_scale_, row++, 2);

  checkBox_rotate_ = new QCheckBox("rotate 90 degrees ?", this);
  checkBox_rotate_->setObjectName("CheckBox_rotate");
  grid->addWidget(checkBox_rotate_, row++, 1, 1, 2);

  label("reference point shifting x direction");
  edit_xnull_ = Edit("Edit_xnull", this);
  grid->addWidget(edit_xnull_, row++, 1);
  label("reference point shifting y direction");
  edit_ynull_ = Edit("Edit_ynull", this);
  grid->addWidget(edit_ynull_, row++, 1);
  label("Textwidth/height");
  edit_textbreitenfaktor_ = Edit("Edit_textbreitenfaktor", this);
  grid->addWidget(edit_textbreitenfaktor_, row++, 1);

  label("Postscript font");
  comboBox_psfont_ = new QComboBox(this);
  comboBox_psfont_->setObjectName("ComboBox_psfont");
  comboBox_psfont_->setEditable(true);
  grid->addWidget(comboBox_psfont_, row++, 1, 1, 2);

  label("Command Line:");
  label_commandline_ = new QLabel(this);
  label_commandline_->setObjectName("Label_commandline");
  label_commandline_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long path must not widen the dialog past the screen: the line breaks between its
  // arguments, and the label takes the width the other controls give it.
  label_commandline_->setWordWrap(true);
  label_commandline_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  grid->addWidget(label_commandline_, row++, 1, 1, 2);

  auto* buttons = new QHBoxLayout;
  button_ok_ = new QPushButton(this);
  button_ok_->setObjectName("Button_ok");
  button_cancel_ = new QPushButton(this);
  button_cancel_->setObjectName("Button_cancel");
  button_help_ = new QPushButton(this);
  button_help_->setObjectName("Button_help");
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addWidget(button_help_);

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(grid);
  outer->addLayout(buttons);

  for (QLineEdit* e : {edit_vectrixPath_, edit_com_, edit_lpt_, edit_outdir_, edit_scale_,
                       edit_xnull_, edit_ynull_, edit_textbreitenfaktor_}) {
    connect(e, &QLineEdit::textChanged, this, [this] { Changed(); });
  }
  connect(comboBox_psfont_, &QComboBox::currentTextChanged, this, [this] { Changed(); });
  connect(radioGroup_outcode_, &TRadioGroup::Clicked, this, [this] { RadioGroup_outcodeClick(); });
  connect(radioGroup_d_, &TRadioGroup::Clicked, this, [this] { RadioGroup_dClick(); });
  connect(checkBox_scale_, &QCheckBox::clicked, this, [this] { CheckBox_scaleClick(); });
  connect(checkBox_rotate_, &QCheckBox::clicked, this, [this] { Changed(); });
  connect(button_vectrixpath_, &QPushButton::clicked, this, [this] { Button_vectrixpathClick(); });
  connect(button_outDir_, &QPushButton::clicked, this, [this] { Button_outDirClick(); });
  connect(button_tempdir_, &QPushButton::clicked, this, [this] { Button_tempdirClick(); });
  connect(button_help_, &QPushButton::clicked, this, [this] { Button_helpClick(); });
  connect(button_ok_, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(button_cancel_, &QPushButton::clicked, this, [this] { Button_cancelClick(); });

  FormCreate();
}

QLineEdit* TForm_confvectrix::Edit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

void TForm_confvectrix::FormCreate() {
  creating_ = true;
  button_ok_->setText("OK");
  button_cancel_->setText("Cancel");
  button_help_->setText("&Help");
  button_ok_->setDefault(true);

  const struct {
    QWidget* widget;
    int help;
  } hints[] = {{radioGroup_outcode_, 2090},
               {radioGroup_d_, 2120},
               {edit_com_, 2120},
               {edit_lpt_, 2120},
               {edit_outdir_, 2130},
               {edit_scale_, 2140},
               {checkBox_scale_, 2140},
               {checkBox_rotate_, 2145},
               {edit_xnull_, 2150},
               {edit_ynull_, 2150},
               {edit_textbreitenfaktor_, 2160},
               {comboBox_psfont_, 2280},
               {edit_vectrixPath_, 2080}};
  for (const auto& h : hints) {
    h.widget->setToolTip(ProgramSettings.HelpLevel > 0 ? Q(GetHelpText(h.help)) : QString());
  }

  for (const char* font : kPostScriptFonts) comboBox_psfont_->addItem(QString::fromUtf8(font));
  SetOptions(DefaultPlotProgramOptions());
  creating_ = false;
}

void TForm_confvectrix::SetOptions(const TPlotProgramOptions& d) {
  const bool creating = creating_;
  creating_ = true;
  edit_vectrixPath_->setText(Q(d.programPath));
  radioGroup_outcode_->SetItemIndex(d.destination);
  radioGroup_d_->SetItemIndex(d.outputInterface);
  edit_com_->setText(Q(d.comPort));
  edit_lpt_->setText(Q(d.lptPort));
  edit_outdir_->setText(Q(d.outputDirectory));
  edit_scale_->setText(Q(d.scale));
  const bool fit = TrimStr(d.scale) == "0";
  checkBox_scale_->setChecked(fit);
  edit_scale_->setEnabled(!fit);
  checkBox_rotate_->setChecked(d.rotate);
  edit_xnull_->setText(Q(d.shiftX));
  edit_ynull_->setText(Q(d.shiftY));
  edit_textbreitenfaktor_->setText(Q(d.textWidth));
  const int font = comboBox_psfont_->findText(Q(d.psFont));
  comboBox_psfont_->setCurrentIndex(font);
  if (font < 0) comboBox_psfont_->setEditText(Q(d.psFont));
  RadioGroup_outcodeClick();
  RadioGroup_dClick();
  creating_ = creating;
  MakePlotCommandLine();
}

void TForm_confvectrix::showEvent(QShowEvent* event) {
  // The line given by the caller is what the dialog shows until something changes.
  if (!CommandLine.empty()) label_commandline_->setText(Q(CommandLine));
  ScaleAndCenterForm(this);
  QDialog::showEvent(event);
}

TPlotProgramOptions TForm_confvectrix::Options() const {
  TPlotProgramOptions o;
  o.programPath = S(edit_vectrixPath_->text());
  o.destination = std::max(radioGroup_outcode_->ItemIndex(), 0);
  o.outputInterface = std::max(radioGroup_d_->ItemIndex(), 0);
  o.comPort = S(edit_com_->text());
  o.lptPort = S(edit_lpt_->text());
  o.outputDirectory = S(edit_outdir_->text());
  o.scale = S(edit_scale_->text());
  o.rotate = checkBox_rotate_->isChecked();
  o.shiftX = S(edit_xnull_->text());
  o.shiftY = S(edit_ynull_->text());
  o.textWidth = S(edit_textbreitenfaktor_->text());
  o.psFont = S(comboBox_psfont_->currentText());
  return o;
}

void TForm_confvectrix::MakePlotCommandLine() {
  CommandLine = ::MakePlotCommandLine(Options());
  label_commandline_->setText(Q(CommandLine));
}

void TForm_confvectrix::Changed() {
  if (!creating_) MakePlotCommandLine();
}

void TForm_confvectrix::RadioGroup_outcodeClick() {
  comboBox_psfont_->setEnabled(radioGroup_outcode_->ItemIndex() == 1);
  Changed();
}

void TForm_confvectrix::RadioGroup_dClick() {
  const int i = radioGroup_d_->ItemIndex();
  edit_com_->setEnabled(i == 0);
  edit_lpt_->setEnabled(i == 1);
  edit_outdir_->setEnabled(i == 2);
  Changed();
}

void TForm_confvectrix::CheckBox_scaleClick() {
  if (checkBox_scale_->isChecked()) {
    edit_scale_->setText("0");
    edit_scale_->setEnabled(false);
  } else {
    edit_scale_->setEnabled(true);
  }
  Changed();
}

void TForm_confvectrix::Button_vectrixpathClick() {
  // A cancelled choice leaves the path, the line and the flag as they were: the line in force
  // may be one the controls cannot compose (a batch file), recomposing it would lose it.
  const bool abort = AbortFlag;
  const std::string mask = AddBackslash(DirPart(S(edit_vectrixPath_->text()))) + "*";
  std::string name;
  OpenFileName(mask, "*", name);
  const bool chosen = !AbortFlag;
  AbortFlag = abort;
  if (!chosen) return;
  edit_vectrixPath_->setText(Q(name));
  Changed();
}

void TForm_confvectrix::Button_outDirClick() {
  const bool abort = AbortFlag;
  std::string dir;
  SelectDirectory(S(edit_outdir_->text()), dir);
  if (!AbortFlag && !dir.empty()) edit_outdir_->setText(Q(dir));
  AbortFlag = abort;
}

void TForm_confvectrix::Button_tempdirClick() {
  // A file of the plot program must outlive this run: the directory kept for hand-overs.
  edit_outdir_->setText(Q(HandOffDir()));
}

void TForm_confvectrix::Button_helpClick() {
  const bool abort = AbortFlag;
  ShowHelpText(0, kHelpTextOnly);
  AbortFlag = abort;
}

void TForm_confvectrix::Button_okClick() {
  const std::string problem = PlotOptionsProblem(Options());
  if (!problem.empty()) {
    // A value that is no number is not taken (it would plot with another scale or offset).
    ErrorMessage(problem + " " + "invalid");
    return;
  }
  AbortFlag = false;
  CommandLine = S(label_commandline_->text());
  accept();
}

void TForm_confvectrix::Button_cancelClick() {
  AbortFlag = true;
  QDialog::reject();
}

void TForm_confvectrix::reject() {
  // Escape and the window's close button cancel as the Cancel button does.
  Button_cancelClick();
}

// ---------------------------------------------------------------------------------------------

bool ShowPlotProgramDialog(std::string& commandLine) {
  TForm_confvectrix form(DialogMainWindow());
  // The dialog opens on the settings of the line in force, not on the defaults.
  if (!TrimStr(commandLine).empty()) form.SetOptions(PlotOptionsFromLine(commandLine));
  form.CommandLine = commandLine;
  if (form.exec() != QDialog::Accepted) {
    AbortFlag = true;
    return false;
  }
  commandLine = form.CommandLine;
  return true;
}

void InstallPlotProgramDialogForm() {
  InstallPlotProgramDialog(&ShowPlotProgramDialog);
}
