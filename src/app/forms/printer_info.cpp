// The printer information window and the facts it shows.
#include "app/forms/printer_info.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/forms/print_setup.h"
#include "common/forms/form_placement.h"

TPrinterFacts FactsOfPrinter(QPrinter& printer) {
  TPrinterFacts f;
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  f.name = toFile ? QFileInfo(printer.outputFileName()).fileName().toStdString()
                  : printer.printerName().toStdString();
  f.technology = toFile ? 5 : 2;
  f.widthMm = printer.widthMM();
  f.heightMm = printer.heightMM();
  f.widthPx = printer.width();
  f.heightPx = printer.height();
  const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
  f.offsetXPx = paint.left();
  f.offsetYPx = paint.top();
  f.dpiX = printer.logicalDpiX();
  f.dpiY = printer.logicalDpiY();
  f.colours = printer.colorCount();
  for (const QString& family : QFontDatabase::families()) f.fonts.push_back(family.toStdString());
  return f;
}

TForm_printerinfo::TForm_printerinfo(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_printerinfo");
  setWindowTitle("Printer Info");
  stringGrid1_ = new QTableWidget(20, 2, this);
  stringGrid1_->setObjectName("StringGrid1");
  stringGrid1_->horizontalHeader()->hide();
  stringGrid1_->verticalHeader()->hide();
  stringGrid1_->verticalHeader()->setDefaultSectionSize(16);
  stringGrid1_->setColumnWidth(0, 150);
  stringGrid1_->setColumnWidth(1, 398);
  stringGrid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  button_ok_ = new QPushButton("OK", this);
  button_ok_->setObjectName("Button_ok");
  button_ok_->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(stringGrid1_);
  layout->addWidget(button_ok_);
  resize(150 + 398 + 40, 420);
  connect(button_ok_, &QPushButton::clicked, this, &TForm_printerinfo::Button_okClick);
  FormCreate();
}

void TForm_printerinfo::FormCreate() {
  const auto rows = PrinterInfoRows(FactsOfPrinter(ThePrinter()));
  stringGrid1_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    stringGrid1_->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(rows[r].first)));
    stringGrid1_->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(rows[r].second)));
  }
  // Sized once the rows are in, so that their labels show whole.
  ScaleAndCenterForm(this);
}

void TForm_printerinfo::Button_okClick() {
  accept();
}
