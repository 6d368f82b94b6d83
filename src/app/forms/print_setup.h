// The "Printout" dialog: scale, origin, border line, colour mode and paper orientation of the
// printed picture; OK prints the graphics window by replaying its picture onto the printer, or,
// opened for the printer setup, shows the printer information. Without any printer the picture
// goes to a PDF file named after the current data file in the data directory.
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>

#include "app/print_presets.h"
#include "app/print_settings_logic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class TRadioGroup;

// The program's one printer object: the chosen printer, its orientation and job title stay from
// one print to the next. Without printers it writes PDF files.
QPrinter& ThePrinter();
// Forgets the printer object (tests); the next use makes a new one.
void ResetPrinterObject();
// The file a print goes to while no printer exists: data directory + current file name +
// "_picture.pdf" (a printed listing goes to "_listing.pdf").
std::string PrintPdfFileName();

class TForm_printconf : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_printconf(QWidget* parent = nullptr);

  // Set by the printer-setup command after creation: OK then shows the printer information.
  bool SetupMode = false;

  void FormCreate();
  void FormActivate();
  void Button_okClick();
  void Button_cancelClick();
  void Button_printerClick();
  void Button_helpClick();
  // Load a stored preset into the controls; store the controls' values as a new preset.
  void Button_dbClick();
  void Button_appendClick();
  // The orientation chosen: a layout the dialog fitted is fitted to the turned page.
  void RadioGroup_hochquerClick();
  // Copies the controls into the settings; false (with a message) when a scale is unusable.
  bool ReadPrintDialog();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void reject() override;

 private:
  void FillPrinterLabel();
  void PrintPicture();
  TPresetDialogValues PresetValues() const;
  void ShowLayout(const TPrintDialogValues& values);

  // The PDF the print dialog was left with; its OK asked before going over an existing one.
  QString confirmedTarget_;
  // The layout the dialog fitted to the page, as it shows it.
  QStringList shownLayout_;
  int fittedOrientation_ = 0;  // the item of RadioGroup_hochquer it was fitted for
  QLineEdit* edit_scalex_ = nullptr;
  QLineEdit* edit_scaley_ = nullptr;
  QLineEdit* edit_xorigin_ = nullptr;
  QLineEdit* edit_yorigin_ = nullptr;
  QCheckBox* checkBox_umrandung_ = nullptr;
  QCheckBox* checkBox_anpassen_ = nullptr;
  TRadioGroup* radioGroup_printmono_ = nullptr;
  TRadioGroup* radioGroup_hochquer_ = nullptr;
  QLabel* label_printer_ = nullptr;
  QPushButton* button_printer_ = nullptr;
  QPushButton* button_db_ = nullptr;
  QPushButton* button_append_ = nullptr;
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_help_ = nullptr;
};

// File, Print: the dialog created, shown modally and freed.
void PrintGraphicsWindow();
// File, Printer setup: the same dialog in setup mode.
void PrinterSetup();
