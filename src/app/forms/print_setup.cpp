// The print dialog, the printer object and the two print commands.
#include "app/forms/print_setup.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "app/forms/printer_info.h"
#include "app/forms/table_form.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_dialogs.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/forms/form_placement.h"
#include "common/forms/help_buttons.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "graphics/forms/graphics_window_form.h"
#include "graphics/forms/plot_program_dialog.h"
#include "graphics/graphics_window.h"
#include "graphics/view_control.h"
#include "platform/file_writer.h"

namespace {

constexpr int kHelpPrintSetup = 1030;
constexpr int kPrinterLabelWidth = 40;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QPrinter*& PrinterObject() {
  static QPrinter* printer = nullptr;
  return printer;
}

// The PDF file name last chosen by the program itself; a name the user picked in the print
// dialog is left alone.
std::string& AutomaticPdfName() {
  static std::string name;
  return name;
}

void FollowCurrentFile(QPrinter& printer) {
  if (printer.outputFormat() != QPrinter::PdfFormat) return;
  const std::string current = printer.outputFileName().toStdString();
  if (!current.empty() && current != AutomaticPdfName()) return;
  AutomaticPdfName() = PrintPdfFileName();
  printer.setOutputFileName(Q(AutomaticPdfName()));
}

QPageLayout::Orientation QtOrientation(TPrintOrientation orientation) {
  return orientation == TPrintOrientation::Landscape ? QPageLayout::Landscape
                                                     : QPageLayout::Portrait;
}

// What the printer reaches, in its present orientation: the origins count from its corner.
TPrintableArea PrintableArea(const QPrinter& printer) {
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  return {static_cast<long double>(area.width()), static_cast<long double>(area.height())};
}

}  // namespace

QPrinter& ThePrinter() {
  QPrinter*& printer = PrinterObject();
  if (!printer) {
    printer = new QPrinter(QPrinter::HighResolution);
    if (QPrinterInfo::availablePrinters().isEmpty()) {
      printer->setOutputFormat(QPrinter::PdfFormat);
      AutomaticPdfName().clear();
      FollowCurrentFile(*printer);
    }
    // Origins count from the corner of what the printer can reach (the paper's corner in a PDF).
    const QPageLayout layout = printer->pageLayout();
    printer->setPageMargins(layout.minimumMargins(), layout.units());
    // The printer belongs to the application and goes with it.
    static const bool registered = (qAddPostRoutine(ResetPrinterObject), true);
    (void)registered;
  }
  return *printer;
}

void ResetPrinterObject() {
  delete PrinterObject();
  PrinterObject() = nullptr;
  AutomaticPdfName().clear();
}

std::string PrintPdfFileName() {
  // "_picture": a printed listing of the same data file goes to "_listing.pdf", not over it.
  return KeptFileStem() + "_picture.pdf";
}

// ---------------------------------------------------------------------------------------------

TForm_printconf::TForm_printconf(QWidget* parent) : QDialog(parent ? parent : DialogMainWindow()) {
  setObjectName("TForm_printconf");
  auto named = [](QWidget* w, const char* name) {
    w->setObjectName(name);
    return w;
  };
  auto* grid = new QGridLayout;
  auto field = [&](int row, const char* label, const char* labelName, const char* editName) {
    grid->addWidget(named(new QLabel(label, this), labelName), row, 0);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(editName);
    grid->addWidget(edit, row, 1);
    return edit;
  };
  edit_scalex_ = field(0, "Scale x", "Label_scalex", "Edit_scalex");
  edit_scaley_ = field(1, "Scale y", "Label_scaley", "Edit_scaley");
  edit_xorigin_ = field(2, "Origin x", "Label_xorigin", "Edit_xorigin");
  edit_yorigin_ = field(3, "Origin y", "Label_yorigin", "Edit_yorigin");
  checkBox_umrandung_ = new QCheckBox(Q(DosToWin("Border line")), this);
  checkBox_umrandung_->setObjectName("CheckBox_umrandung");
  checkBox_anpassen_ = new QCheckBox(Q(DosToWin("fit limits")), this);
  checkBox_anpassen_->setObjectName("CheckBox_anpassen");
  grid->addWidget(checkBox_umrandung_, 4, 0, 1, 2);
  grid->addWidget(checkBox_anpassen_, 5, 0, 1, 2);

  radioGroup_printmono_ =
      new TRadioGroup("shading", {"Monochrome", Q(DosToWin("Color")) + " / " + "grey-scale"}, this);
  radioGroup_printmono_->setObjectName("RadioGroup_printmono");
  radioGroup_hochquer_ = new TRadioGroup("Printout", {"Portrait", "Landscape"}, this);
  radioGroup_hochquer_->setObjectName("RadioGroup_hochquer");
  auto* groups = new QHBoxLayout;
  groups->addWidget(radioGroup_printmono_);
  groups->addWidget(radioGroup_hochquer_);

  label_printer_ = new QLabel(this);
  label_printer_->setObjectName("Label_printer");
  label_printer_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  button_printer_ = new QPushButton(Q(DosToWin("Printer")) + "...", this);
  button_printer_->setObjectName("Button_printer");
  auto* printerRow = new QHBoxLayout;
  printerRow->addWidget(label_printer_, 1);
  printerRow->addWidget(button_printer_);

  button_db_ = new QPushButton(Q(DosToWin("Database")), this);
  button_db_->setObjectName("Button_db");
  button_append_ = new QPushButton("&Apply " + Q(DosToWin("Database")), this);
  button_append_->setObjectName("Button_append");
  auto* presetRow = new QHBoxLayout;
  presetRow->addWidget(button_db_);
  presetRow->addWidget(button_append_);

  button_ok_ = new QPushButton("OK", this);
  button_ok_->setObjectName("Button_ok");
  button_ok_->setDefault(true);
  button_cancel_ = new QPushButton("Cancel", this);
  button_cancel_->setObjectName("Button_cancel");
  button_help_ = new QPushButton("&Help", this);
  button_help_->setObjectName("Button_help");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addWidget(button_help_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(groups);
  layout->addLayout(printerRow);
  layout->addLayout(presetRow);
  layout->addLayout(buttons);

  connect(button_ok_, &QPushButton::clicked, this, &TForm_printconf::Button_okClick);
  connect(button_cancel_, &QPushButton::clicked, this, &TForm_printconf::Button_cancelClick);
  connect(button_printer_, &QPushButton::clicked, this, &TForm_printconf::Button_printerClick);
  connect(button_help_, &QPushButton::clicked, this, &TForm_printconf::Button_helpClick);
  connect(button_db_, &QPushButton::clicked, this, &TForm_printconf::Button_dbClick);
  connect(button_append_, &QPushButton::clicked, this, &TForm_printconf::Button_appendClick);
  connect(radioGroup_hochquer_, &TRadioGroup::Clicked, this,
          &TForm_printconf::RadioGroup_hochquerClick);
  FormCreate();
}

void TForm_printconf::FormCreate() {
  ScaleAndCenterForm(this);
  setWindowTitle(Q(DosToWin("Printout")));
  SetupMode = false;
  QPrinter& printer = ThePrinter();
  if (const auto orientation = SetPrintDefaultsByKind(PrintableArea(printer)))
    printer.setPageOrientation(QtOrientation(*orientation));
  const TPrintDialogValues v = PrintDialogValuesOf(
      printer.pageLayout().orientation() == QPageLayout::Landscape ? TPrintOrientation::Landscape
                                                                   : TPrintOrientation::Portrait);
  ShowLayout(v);
  checkBox_umrandung_->setChecked(v.borderLine);
  checkBox_anpassen_->setChecked(false);
  radioGroup_printmono_->SetItemIndex(v.printModeIndex);
  radioGroup_hochquer_->SetItemIndex(v.orientationIndex);
}

void TForm_printconf::ShowLayout(const TPrintDialogValues& v) {
  edit_scalex_->setText(Q(v.scaleX));
  edit_scaley_->setText(Q(v.scaleY));
  edit_xorigin_->setText(Q(v.originX));
  edit_yorigin_->setText(Q(v.originY));
  shownLayout_ = {edit_scalex_->text(), edit_scaley_->text(), edit_xorigin_->text(),
                  edit_yorigin_->text()};
  fittedOrientation_ = v.orientationIndex;
}

void TForm_printconf::RadioGroup_hochquerClick() {
  // A layout the dialog fitted to the page is fitted again to the page turned; one the user
  // typed or loaded stays as it is. Kinds without defaults keep theirs. The printer turns on OK.
  const QStringList shown = {edit_scalex_->text(), edit_scaley_->text(), edit_xorigin_->text(),
                             edit_yorigin_->text()};
  const int index = radioGroup_hochquer_->ItemIndex();
  if (shown != shownLayout_ || index == fittedOrientation_) return;
  const auto orientation = index != 0 ? TPrintOrientation::Landscape : TPrintOrientation::Portrait;
  const bool border = checkBox_umrandung_->isChecked();
  SetPrintDefaultsByKind(PrintableArea(ThePrinter()), orientation);
  ShowLayout(PrintDialogValuesOf(orientation));
  checkBox_umrandung_->setChecked(border);
}

void TForm_printconf::FormActivate() {
  QPrinter& printer = ThePrinter();
  FollowCurrentFile(printer);
  printer.setDocName(QString::fromStdString(DataFilePlace().baseName));
  FillPrinterLabel();
}

void TForm_printconf::FillPrinterLabel() {
  QPrinter& printer = ThePrinter();
  std::string name = printer.printerName().toStdString();
  // A PDF file stands in for a printer: its name tells where the picture goes.
  if (printer.outputFormat() == QPrinter::PdfFormat)
    name = QFileInfo(printer.outputFileName()).fileName().toStdString();
  label_printer_->setText(Q(PadLeft(name, kPrinterLabelWidth)));
}

void TForm_printconf::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TForm_printconf::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TForm_printconf::Button_printerClick() {
  QPrinter& printer = ThePrinter();
  QPrintDialog dialog(&printer, this);
  dialog.setObjectName("PrintDialog1");
  if (dialog.exec() != QDialog::Accepted) return;
  confirmedTarget_ =
      printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
  FillPrinterLabel();
  radioGroup_hochquer_->SetItemIndex(
      printer.pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0);
  RadioGroup_hochquerClick();  // the printer may come back turned
}

bool TForm_printconf::ReadPrintDialog() {
  TPrintDialogValues v;
  v.scaleX = edit_scalex_->text().toStdString();
  v.scaleY = edit_scaley_->text().toStdString();
  v.originX = edit_xorigin_->text().toStdString();
  v.originY = edit_yorigin_->text().toStdString();
  v.borderLine = checkBox_umrandung_->isChecked();
  v.printModeIndex = radioGroup_printmono_->ItemIndex();
  v.orientationIndex = radioGroup_hochquer_->ItemIndex();
  std::string field;
  const auto orientation = StorePrintDialogValues(v, field);
  if (!orientation) {
    QLineEdit* edit = field == "Scale x" ? edit_scalex_ : edit_scaley_;
    ErrorMessage(field + ": Invalid Input \"" + NameText(edit->text().toStdString()) + "\" !");
    edit->setFocus();
    edit->selectAll();
    return false;
  }
  ThePrinter().setPageOrientation(QtOrientation(*orientation));
  return true;
}

void TForm_printconf::Button_okClick() {
  AbortFlag = false;
  if (!ReadPrintDialog()) return;  // the dialog stays open for a usable scale
  if (SetupMode) {
    // The printer's facts are read without a print job, so no empty sheet (or empty PDF over
    // the last printout) is produced.
    TForm_printerinfo info(this);
    info.exec();
  } else {
    PrintPicture();
  }
  accept();
}

void TForm_printconf::PrintPicture() {
  auto* window = dynamic_cast<TFtarvgra*>(GraphicsWindowInstance);
  if (!window) return;
  if (checkBox_anpassen_->isChecked()) {
    window->RestoreLimit();
    window->ResetZoom();
    window->ReSetWindow();
    window->ClearViewPort();
  }
  window->FormPaint();

  QPrinter& printer = ThePrinter();
  // A scale the user typed is printed as asked, but a cut picture is never a surprise.
  const std::string overhang = PageOverhangMessage(PrintableArea(printer));
  if (!overhang.empty()) NoteMessage(overhang);
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  const QString target = printer.outputFileName();
  // A file is written under a work name beside it and takes its place only when complete: one
  // that fits however long the target's name, and that no file of the user's can have.
  QString scratch;
  if (toFile) {
    // A PDF of the user's is replaced only when agreed, and asked once.
    if (target != confirmedTarget_) CheckOverwrite(target.toStdString());
    if (AbortFlag) return;
    std::string made;
    int err = 0;
    // One that cannot be made fails the print below, which tells it.
    ::close(platform::CreateWorkFileFor(target.toStdString(), made, err));
    scratch = QString::fromStdString(made);
    printer.setOutputFileName(scratch);
  }
  window->SetPrinterDevice(&printer);
  ViewState.PrintingFlag = true;
  window->FormPaint();
  ViewState.PrintingFlag = false;
  window->SetPrinterDevice(nullptr);

  bool printed = printer.printerState() != QPrinter::Error;
  if (toFile) {
    printer.setOutputFileName(target);
    std::error_code ec;
    printed = printed && std::filesystem::file_size(scratch.toStdString(), ec) > 0 && !ec;
    if (printed) std::filesystem::rename(scratch.toStdString(), target.toStdString(), ec);
    if (ec) printed = false;
    std::filesystem::remove(scratch.toStdString(), ec);
  }
  if (!printed) {
    const std::string where = toFile ? target.toStdString() : printer.printerName().toStdString();
    ErrorMessage("Printer not ready " + NameText(where));
    AbortFlag = true;
  } else if (toFile) {
    InfoMessage("saved as " + NameText(target.toStdString()));
  }
}

void TForm_printconf::Button_cancelClick() {
  reject();
}

void TForm_printconf::reject() {
  AbortFlag = true;
  QDialog::reject();
}

void TForm_printconf::Button_helpClick() {
  ShowDialogHelpText(this, kHelpPrintSetup);
}

TPresetDialogValues TForm_printconf::PresetValues() const {
  TPresetDialogValues v;
  v.scaleX = edit_scalex_->text().toStdString();
  v.scaleY = edit_scaley_->text().toStdString();
  v.originX = edit_xorigin_->text().toStdString();
  v.originY = edit_yorigin_->text().toStdString();
  v.orientationIndex = radioGroup_hochquer_->ItemIndex();
  v.printModeIndex = radioGroup_printmono_->ItemIndex();
  v.fitLimits = checkBox_anpassen_->isChecked();
  v.borderLine = checkBox_umrandung_->isChecked();
  return v;
}

void TForm_printconf::Button_dbClick() {
  TPresetDialogValues v = PresetValues();
  Tdbf4 tableForm(this);
  if (!LoadPreset(v)) return;
  edit_scalex_->setText(Q(v.scaleX));
  edit_scaley_->setText(Q(v.scaleY));
  edit_xorigin_->setText(Q(v.originX));
  edit_yorigin_->setText(Q(v.originY));
  radioGroup_hochquer_->SetItemIndex(v.orientationIndex);
  radioGroup_printmono_->SetItemIndex(v.printModeIndex);
  checkBox_anpassen_->setChecked(v.fitLimits);
  checkBox_umrandung_->setChecked(v.borderLine);
}

void TForm_printconf::Button_appendClick() {
  Tdbf4 tableForm(this);
  StorePreset(PresetValues());
}

// ---------------------------------------------------------------------------------------------

void PrintGraphicsWindow() {
  AbortFlag = false;
  TForm_printconf form;
  form.exec();
}

void PrinterSetup() {
  AbortFlag = false;
  TForm_printconf form;
  form.SetupMode = true;
  form.exec();
}
