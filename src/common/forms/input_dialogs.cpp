// The input forms: list and radio choice, yes/no and text entry.
#include "common/forms/input_dialogs.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/forms/form_placement.h"
#include "common/forms/help_buttons.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* NewLabel(QWidget* parent, const std::string& text, bool wrap) {
  auto* label = new QLabel(Q(text), parent);
  label->setObjectName(QStringLiteral("Label1"));
  label->setWordWrap(wrap);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(name));
  return button;
}

// OK, Cancel and the two help buttons in one row under the contents.
void AddButtonRow(QDialog* dialog, QVBoxLayout* layout, const char* okName, const char* cancelName,
                  int helpNumber) {
  QPushButton* ok = NewButton(dialog, okName, "OK");
  QPushButton* cancel = NewButton(dialog, cancelName, "Cancel");
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout();
  row->addWidget(ok);
  row->addWidget(cancel);
  row->addWidget(NewHelpTextButton(dialog, helpNumber));
  row->addWidget(NewHelpImageButton(dialog, helpNumber));
  layout->addLayout(row);
}

// The entries as radio buttons in a group box; the group box is returned, the buttons are in
// group with their 0-based index as id.
QGroupBox* NewRadioGroup(QWidget* parent, const char* name, const QString& title,
                         const std::vector<std::string>& entries, int selected,
                         QButtonGroup*& group) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(QString::fromUtf8(name));
  group = new QButtonGroup(box);
  auto* layout = new QVBoxLayout(box);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    auto* radio = new QRadioButton(Q(entries[i]), box);
    group->addButton(radio, static_cast<int>(i));
    layout->addWidget(radio);
  }
  const int count = static_cast<int>(entries.size());
  if (count > 0) group->button(std::clamp(selected, 0, count - 1))->setChecked(true);
  return box;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

Tin_codedialog::Tin_codedialog(const TChoiceRequest& request, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tin_codedialog"));
  setWindowTitle(Q(request.caption));
  auto* layout = new QVBoxLayout(this);
  QLabel* label = NewLabel(this, request.prompt, true);
  label->setMinimumHeight(39);
  layout->addWidget(label);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  for (const std::string& entry : request.entries) list_->addItem(Q(entry));
  if (list_->count() > 0) list_->setCurrentRow(std::clamp(request.selected, 0, list_->count() - 1));
  // A double click or Enter on an entry takes it.
  connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
  layout->addWidget(list_);
  AddButtonRow(this, layout, "button_ok", "button_cancel", request.helpNumber);
  list_->setFocus();
  ScaleAndCenterForm(this);
}

int Tin_codedialog::Selected() const {
  return list_->currentRow();
}

Tin_radiodialog::Tin_radiodialog(const TChoiceRequest& request, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tin_radiodialog"));
  setWindowTitle(Q(request.caption));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NewLabel(this, request.prompt, true));
  QGroupBox* box =
      NewRadioGroup(this, "RadioGroup1", QString(), request.entries, request.selected, group_);
  box->setMinimumHeight((static_cast<int>(request.entries.size()) + 1) * 25);
  layout->addWidget(box);
  AddButtonRow(this, layout, "Button_ok", "button_cancel", request.helpNumber);
  if (group_->checkedButton() != nullptr) group_->checkedButton()->setFocus();
  ScaleAndCenterForm(this);
}

int Tin_radiodialog::Selected() const {
  return group_->checkedId();
}

Tin_janeindialog::Tin_janeindialog(const TYesNoRequest& request, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("Tin_janeindialog"));
  setWindowTitle(Q(request.caption));
  auto* layout = new QVBoxLayout(this);
  QLabel* label = NewLabel(this, request.prompt, true);
  label->setMinimumSize(250, 33);
  layout->addWidget(label);
  layout->addWidget(NewRadioGroup(this, "RadioGroup_janein", QStringLiteral("Select"),
                                  {"&Yes", "&No"}, request.yes ? 0 : 1, group_));
  AddButtonRow(this, layout, "Button_ok", "button_cancel", request.helpNumber);
  group_->checkedButton()->setFocus();
  ScaleAndCenterForm(this);
}

bool Tin_janeindialog::Yes() const {
  return group_->checkedId() != 1;
}

Tin_textdialog::Tin_textdialog(const TTextRequest& request, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tin_textdialog"));
  setWindowTitle(Q(request.caption));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  QLabel* label = NewLabel(this, request.prompt, true);
  label->setMinimumSize(300, 33);
  layout->addWidget(label);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("EditEinText"));
  if (request.maxLength > 0) edit_->setMaxLength(request.maxLength);
  edit_->setText(Q(request.text));
  edit_->selectAll();
  layout->addWidget(edit_);
  AddButtonRow(this, layout, "Button_ok", "Button_Cancel", request.helpNumber);
  edit_->setFocus();
  ScaleForm(this);
}

std::string Tin_textdialog::Text() const {
  return edit_->text().toStdString();
}
