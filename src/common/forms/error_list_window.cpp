// The explanation window of calculation messages.
#include "common/forms/error_list_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/error_explanations.h"
#include "common/forms/form_placement.h"
#include "common/forms/text_box.h"
#include "common/help_texts.h"
#include "common/program_state.h"

namespace {

QLabel* NewLabel(QWidget* parent, const char* name, const char* caption) {
  auto* label = new QLabel(QString::fromStdString(DosToWin(caption)), parent);
  label->setObjectName(QString::fromUtf8(name));
  return label;
}

QPlainTextEdit* NewMemo(QWidget* parent, const char* name) {
  auto* memo = new TTextBox(parent);
  memo->setObjectName(QString::fromUtf8(name));
  memo->setTabChangesFocus(true);
  return memo;
}

}  // namespace

Thelperr::Thelperr(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Thelperr"));
  setWindowTitle(QString::fromStdString(DosToWin("Error Message")));
  auto* grid = new QGridLayout(this);
  grid->addWidget(NewLabel(this, "Label_meldung", "Error Message"), 0, 0);
  message_ = new QLineEdit(this);
  message_->setObjectName(QStringLiteral("Edit_meldung"));
  message_->setReadOnly(true);
  message_->setMinimumWidth(420);
  grid->addWidget(message_, 0, 1);
  grid->addWidget(NewLabel(this, "Label_ursache", "Origin"), 1, 0, Qt::AlignTop);
  origin_ = NewMemo(this, "Memo_ursache");
  grid->addWidget(origin_, 1, 1);
  grid->addWidget(NewLabel(this, "Label_abhilfe", "Remedy"), 2, 0, Qt::AlignTop);
  remedy_ = NewMemo(this, "Memo_abhilfe");
  grid->addWidget(remedy_, 2, 1);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Button_ok"));
  ok->setDefault(true);
  auto* help = new QPushButton(QStringLiteral("&Help"), this);
  help->setObjectName(QStringLiteral("Button_help"));
  auto* row = new QHBoxLayout();
  row->addWidget(ok);
  row->addWidget(help);
  grid->addLayout(row, 3, 0, 1, 2);
  connect(ok, &QPushButton::clicked, this, &Thelperr::Button_okClick);
  connect(help, &QPushButton::clicked, this, &Thelperr::Button_helpClick);
  auto mark = [this] {
    if (!filling_) changed_ = true;
  };
  connect(origin_, &QPlainTextEdit::textChanged, this, mark);
  connect(remedy_, &QPlainTextEdit::textChanged, this, mark);
  ScaleAndCenterForm(this);
}

void Thelperr::SetTexts(const std::string& message, const std::string& origin,
                        const std::string& remedy) {
  filling_ = true;
  message_->setText(QString::fromStdString(message));
  message_->setCursorPosition(0);
  origin_->setPlainText(QString::fromStdString(origin));
  remedy_->setPlainText(QString::fromStdString(remedy));
  filling_ = false;
  changed_ = false;
}

void Thelperr::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  changed_ = false;
}

bool Thelperr::SaveIfWanted() {
  if (!changed_) return true;
  const bool before = AbortFlag;
  AbortFlag = false;
  const bool yes = AskYesNo("Save Changes ?");
  if (AbortFlag) {
    // Cancel on the question means "back to the window": nothing typed is lost.
    AbortFlag = before;
    return false;
  }
  if (yes) {
    // A failed save leaves AbortFlag set, as every failed file operation does.
    SaveErrorHelp(WinToDos(message_->text().toStdString()),
                  WinToDos(origin_->toPlainText().toStdString()),
                  WinToDos(remedy_->toPlainText().toStdString()));
  }
  AbortFlag = AbortFlag || before;
  changed_ = false;
  return true;
}

void Thelperr::Button_okClick() {
  if (SaveIfWanted()) accept();
}

void Thelperr::Button_helpClick() {
  const bool keep = AbortFlag;
  ShowHelpText(1970, kHelpTextOnly);
  AbortFlag = keep;
  raise();
  activateWindow();
}

void Thelperr::reject() {
  if (SaveIfWanted()) QDialog::reject();
}

void ShowErrorBoxWindow(const std::string& message, const std::string& origin,
                        const std::string& remedy) {
  Thelperr window(DialogMainWindow());
  window.SetTexts(DosToWin(message), DosToWin(origin), DosToWin(remedy));
  window.exec();
}
