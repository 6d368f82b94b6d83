// The colour picker of the configuration dialog.
#include "app/forms/colour_picker.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/codepage.h"
#include "common/formatting.h"
#include "common/forms/form_placement.h"
#include "common/program_state.h"

TForm_selectcolor::TForm_selectcolor(QWidget* parent)
    : QDialog(parent ? parent : DialogMainWindow()) {
  setObjectName("TForm_selectcolor");
  ListBox_colors = new QListWidget(this);
  ListBox_colors->setObjectName("ListBox_colors");
  button_ok_ = new QPushButton(this);
  button_ok_->setObjectName("Button_ok");
  button_ok_->setDefault(true);
  button_cancel_ = new QPushButton(this);
  button_cancel_->setObjectName("Button_cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListBox_colors);
  layout->addLayout(buttons);
  connect(button_ok_, &QPushButton::clicked, this, &TForm_selectcolor::Button_okClick);
  connect(button_cancel_, &QPushButton::clicked, this, &TForm_selectcolor::Button_cancelClick);
  connect(ListBox_colors, &QListWidget::itemDoubleClicked, this,
          &TForm_selectcolor::Button_okClick);
  FormCreate();
}

void TForm_selectcolor::FormCreate() {
  setWindowTitle("Select Color");
  button_ok_->setText("OK");
  button_cancel_->setText("Cancel");
  ListBox_colors->clear();
  for (int i = 1; i <= 16; ++i) {
    ListBox_colors->addItem(
        QString::fromStdString(IntStr(i) + " (" + DosToWin(TrimStr(ScreenLines[i])) + ")"));
  }
  ScaleAndCenterForm(this);
}

void TForm_selectcolor::Button_okClick() {
  accept();
}

void TForm_selectcolor::Button_cancelClick() {
  reject();
}

void TForm_selectcolor::reject() {
  AbortFlag = true;
  QDialog::reject();
}

int SelectColourNumber(int number, QWidget* parent) {
  TForm_selectcolor form(parent);
  form.ListBox_colors->setCurrentRow(number >= 1 && number <= 16 ? number - 1 : -1);
  if (number < 1 || number > 16) form.ListBox_colors->clearSelection();
  if (form.exec() != QDialog::Accepted) return number;
  const auto selected = form.ListBox_colors->selectedItems();
  return selected.isEmpty() ? 0 : form.ListBox_colors->row(selected.first()) + 1;
}
