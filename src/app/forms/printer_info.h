// The "Printer Info" window: name, resolution, page size and fonts of the chosen printer.
#pragma once

#include <QDialog>

#include "app/print_settings_logic.h"

class QPrinter;
class QPushButton;
class QTableWidget;

// What the printer object can tell about its printer, without starting a print job.
TPrinterFacts FactsOfPrinter(QPrinter& printer);

class TForm_printerinfo : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_printerinfo(QWidget* parent = nullptr);
  void FormCreate();
  void Button_okClick();

 private:
  QTableWidget* stringGrid1_ = nullptr;
  QPushButton* button_ok_ = nullptr;
};
