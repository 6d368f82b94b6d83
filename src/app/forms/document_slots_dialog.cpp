// The dialog of the document slots.
#include "app/forms/document_slots_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "app/forms/documentation_form_texts.h"
#include "common/dialog_host.h"
#include "common/file_dialogs.h"
#include "common/forms/form_placement.h"
#include "common/forms/help_buttons.h"
#include "common/help_texts.h"
#include "common/program_state.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QPushButton* NewButton(QWidget* parent, const QString& name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  return b;
}

// Linux programs carry no extension, so the program browser offers every file.
constexpr char kProgramFilter[] = "*";
constexpr char kFileFilter[] = "*.*";

// "Program 2" for Edit_prog2, "File 2" for Edit_file2: the label beside the field.
std::string FieldName(const QLineEdit* edit) {
  const QString name = edit->objectName();
  return (name.startsWith("Edit_prog") ? "Program " : "File ") + name.right(1).toStdString();
}

}  // namespace

TForm_confDoku::TForm_confDoku(QWidget* parent) : QDialog(parent) {
  setObjectName("TForm_confDoku");
  std::string programHint;
  std::string fileHint;
  FetchHelpText(2710, programHint);
  FetchHelpText(2720, fileHint);
  auto* outer = new QVBoxLayout(this);
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    const QString k = QString::number(n);
    auto* group = new QGroupBox(" Document " + k + " ", this);
    group->setObjectName("GroupBox_doc" + k);
    auto* grid = new QGridLayout(group);
    auto* labelProg = new QLabel("Program " + k, group);
    labelProg->setObjectName("Label_prog" + k);
    labelProg->setToolTip(Q(programHint));
    auto* labelFile = new QLabel("File " + k, group);
    labelFile->setObjectName("Label_file" + k);
    labelFile->setToolTip(Q(fileHint));
    auto* editProg = new QLineEdit(group);
    editProg->setObjectName("Edit_prog" + k);
    auto* editFile = new QLineEdit(group);
    editFile->setObjectName("Edit_file" + k);
    QPushButton* buttonProg = NewButton(group, "Button_prog" + k, "...");
    QPushButton* buttonFile = NewButton(group, "Button_file" + k, "...");
    grid->addWidget(labelProg, 0, 0);
    grid->addWidget(editProg, 0, 1);
    grid->addWidget(buttonProg, 0, 2);
    grid->addWidget(labelFile, 1, 0);
    grid->addWidget(editFile, 1, 1);
    grid->addWidget(buttonFile, 1, 2);
    outer->addWidget(group);
    editProg_[n - 1] = editProg;
    editFile_[n - 1] = editFile;
    RefuseSeparators(editProg, TFieldPlace::OwnLine, FieldName(editProg), true);
    RefuseSeparators(editFile, TFieldPlace::OwnLine, FieldName(editFile), true);
    connect(buttonProg, &QPushButton::clicked, this, [this, n] { ButtonProgClick(n); });
    connect(buttonFile, &QPushButton::clicked, this, [this, n] { ButtonFileClick(n); });
  }
  button_ok_ = NewButton(this, "Button_ok", "OK");
  button_cancel_ = NewButton(this, "Button_cancel", "Cancel");
  button_help_ = NewButton(this, "Button_help", "&Help Text");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addWidget(button_help_);
  outer->addLayout(buttons);
  connect(button_ok_, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(button_cancel_, &QPushButton::clicked, this, [this] { Button_cancelClick(); });
  connect(button_help_, &QPushButton::clicked, this, [this] { Button_helpClick(); });
  FormCreate();
  FormShow();
}

void TForm_confDoku::FormCreate() {
  setWindowTitle("Document Setup");
  button_ok_->setDefault(true);
}

void TForm_confDoku::FormShow() {
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    editProg_[n - 1]->setText(Q(DocumentSlots[n].program));
    editFile_[n - 1]->setText(Q(DocumentSlots[n].file));
  }
}

void TForm_confDoku::showEvent(QShowEvent* event) {
  ScaleAndCenterForm(this);
  QDialog::showEvent(event);
}

void TForm_confDoku::Browse(QLineEdit* edit, const char* filter) {
  // A cancelled choice leaves the field and the flag as they were.
  const bool abort = AbortFlag;
  std::string name;
  OpenFileName(edit->text().toStdString(), filter, name);
  if (!AbortFlag) {
    // A chosen name with a line break in it would shift the slots of the data file.
    const std::string separator = SeparatorIn(name, TFieldPlace::OwnLine);
    if (separator.empty()) {
      edit->setText(Q(name));
    } else {
      ErrorMessage(SeparatorRefusal(FieldName(edit), separator));
    }
  }
  AbortFlag = abort;
}

void TForm_confDoku::ButtonProgClick(int n) {
  if (n >= 1 && n <= kDocumentSlotCount) Browse(editProg_[n - 1], kProgramFilter);
}

void TForm_confDoku::ButtonFileClick(int n) {
  if (n >= 1 && n <= kDocumentSlotCount) Browse(editFile_[n - 1], kFileFilter);
}

void TForm_confDoku::Button_okClick() {
  AbortFlag = false;
  for (int n = 1; n <= kDocumentSlotCount; ++n) {
    DocumentSlots[n].program = editProg_[n - 1]->text().toStdString();
    DocumentSlots[n].file = editFile_[n - 1]->text().toStdString();
  }
  accept();
}

void TForm_confDoku::Button_cancelClick() {
  AbortFlag = true;
  QDialog::reject();
}

void TForm_confDoku::reject() {
  Button_cancelClick();
}

void TForm_confDoku::Button_helpClick() {
  ShowDialogHelpText(this, 2730);
}
