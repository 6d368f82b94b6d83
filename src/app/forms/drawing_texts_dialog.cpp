// The dialog of the part names and the drawing texts.
#include "app/forms/drawing_texts_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/forms/documentation_form_texts.h"
#include "calc/toothing_data.h"
#include "common/forms/form_placement.h"
#include "common/output_router.h"
#include "common/program_state.h"

namespace {

QLabel* NewLabel(QWidget* parent, const QString& name, const char* text) {
  auto* label = new QLabel(DosText(text), parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TForm_qmeingabetext::TForm_qmeingabetext(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_qmeingabetext");
  auto* outer = new QVBoxLayout(this);
  QLineEdit** edits[2][3] = {{&edit_zeichnr1_, &edit_zeichname1_, &edit_zeichname21_},
                             {&edit_zeichnr2_, &edit_zeichname2_, &edit_zeichname22_}};
  const char* groupNames[2] = {"GroupBox_welle", "GroupBox_nabe"};
  for (int part = 1; part <= 2; ++part) {
    const QString k = QString::number(part);
    auto* group = new QGroupBox(DosText(" gear " + std::to_string(part) + " "), this);
    group->setObjectName(groupNames[part - 1]);
    auto* grid = new QGridLayout(group);
    const QString editNames[3] = {"Edit_zeichnr" + k, "Edit_zeichname" + k, "Edit_zeichname2" + k};
    const QString labelNames[3] = {"Label_zeichnr" + k, "Label_zeichname" + k,
                                   "Label_zeichname2" + k};
    const char* labelTexts[3] = {"Drawing number", "Drawing name", "Drawing name 2"};
    for (int i = 0; i < 3; ++i) {
      auto* edit = new QLineEdit(group);
      edit->setObjectName(editNames[i]);
      // Longer texts would be cut without a sign in the listing's header.
      edit->setMaxLength(i == 0 ? kDrawingNumberLength : kPartNameLength);
      *edits[part - 1][i] = edit;
      // Each text has a line of its own in the data file.
      RefuseSeparators(edit, TFieldPlace::OwnLine,
                       std::string(labelTexts[i]) + " (part " + std::to_string(part) + ")");
      grid->addWidget(NewLabel(group, labelNames[i], labelTexts[i]), i, 0);
      grid->addWidget(edit, i, 1);
    }
    outer->addWidget(group);
  }
  auto* texts = new QGridLayout;
  edit_info1_ = new QLineEdit(this);
  edit_info1_->setObjectName("Edit_info1");
  edit_info2_ = new QLineEdit(this);
  edit_info2_->setObjectName("Edit_info2");
  edit_info1_->setMaxLength(kHeaderLineLength);
  edit_info2_->setMaxLength(kHeaderLineLength);
  RefuseSeparators(edit_info1_, TFieldPlace::OwnLine, "Text 1");
  RefuseSeparators(edit_info2_, TFieldPlace::OwnLine, "Text 2");
  texts->addWidget(NewLabel(this, "Label_info1", "Text 1"), 0, 0);
  texts->addWidget(edit_info1_, 0, 1);
  texts->addWidget(NewLabel(this, "Label_info2", "Text 2"), 1, 0);
  texts->addWidget(edit_info2_, 1, 1);
  outer->addLayout(texts);
  button_ok_ = new QPushButton("OK", this);
  button_ok_->setObjectName("Button_ok");
  button_ok_->setDefault(true);
  button_cancel_ = new QPushButton("Cancel", this);
  button_cancel_->setObjectName("Button_cancel");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  outer->addLayout(buttons);
  connect(button_ok_, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(button_cancel_, &QPushButton::clicked, this, [this] { Button_cancelClick(); });
  FormCreate();
}

void TForm_qmeingabetext::FormCreate() {
  setWindowTitle(DosText(ProgramIdentity.caption));
  edit_zeichnr1_->setText(DosText(PartNames.drawingNumber[1]));
  edit_zeichname1_->setText(DosText(PartNames.partName[1]));
  edit_zeichname21_->setText(DosText(PartNames.secondName[1]));
  edit_zeichnr2_->setText(DosText(PartNames.drawingNumber[2]));
  edit_zeichname2_->setText(DosText(PartNames.partName[2]));
  edit_zeichname22_->setText(DosText(PartNames.secondName[2]));
  edit_info1_->setText(DosText(DrawingTexts[1]));
  edit_info2_->setText(DosText(DrawingTexts[2]));
}

void TForm_qmeingabetext::showEvent(QShowEvent* event) {
  ScaleAndCenterForm(this);
  QDialog::showEvent(event);
}

void TForm_qmeingabetext::Button_okClick() {
  AbortFlag = false;
  PartNames.drawingNumber[1] = ToDos(edit_zeichnr1_->text());
  PartNames.partName[1] = ToDos(edit_zeichname1_->text());
  PartNames.secondName[1] = ToDos(edit_zeichname21_->text());
  PartNames.drawingNumber[2] = ToDos(edit_zeichnr2_->text());
  PartNames.partName[2] = ToDos(edit_zeichname2_->text());
  PartNames.secondName[2] = ToDos(edit_zeichname22_->text());
  DrawingTexts[1] = ToDos(edit_info1_->text());
  DrawingTexts[2] = ToDos(edit_info2_->text());
  accept();
}

void TForm_qmeingabetext::Button_cancelClick() {
  AbortFlag = true;
  QDialog::reject();
}

void TForm_qmeingabetext::reject() {
  Button_cancelClick();
}
