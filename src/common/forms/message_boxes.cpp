// Message boxes of the Qt host.
#include "common/forms/message_boxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/program_state.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A box parented to the main window, modal for the whole application.
QMessageBox* NewBox(QWidget* parent, const std::string& caption, const std::string& text) {
  auto* box = new QMessageBox(parent);
  box->setObjectName(QStringLiteral("MessageBox"));
  box->setAttribute(Qt::WA_DeleteOnClose, false);
  box->setWindowModality(Qt::ApplicationModal);
  box->setWindowTitle(Q(caption));
  box->setTextFormat(Qt::PlainText);
  box->setText(Q(text));
  return box;
}

bool TooLongForBox(const std::string& text) {
  return static_cast<int>(text.size()) > kMessageBoxMaxChars ||
         std::count(text.begin(), text.end(), '\n') >= kMessageBoxMaxLines;
}

// A text too long for a box, in a scrolling read-only window with OK.
void ShowScrollingText(const std::string& caption, const std::string& text, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("LongText"));
  dialog.setWindowTitle(Q(caption));
  dialog.setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(&dialog);
  auto* memo = new QPlainTextEdit(&dialog);
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setReadOnly(true);
  memo->setPlainText(Q(text));
  layout->addWidget(memo);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  dialog.resize(640, 480);
  dialog.exec();
}

}  // namespace

void ShowQtMessage(const TMessageRequest& request, QWidget* parent) {
  if (TooLongForBox(request.text)) {
    ShowScrollingText(request.caption, request.text, parent);
    return;
  }
  QMessageBox* box = NewBox(parent, request.caption, request.text);
  box->setIcon(QMessageBox::NoIcon);
  box->setStandardButtons(QMessageBox::Ok);
  box->exec();
  delete box;
}

TQuestionAnswer AskQtQuestion(const TQuestionRequest& request, QWidget* parent) {
  QMessageBox* box = NewBox(parent, request.caption, request.text);
  box->setIcon(QMessageBox::Question);
  box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  box->setDefaultButton(QMessageBox::Yes);
  box->setEscapeButton(QMessageBox::Cancel);
  box->exec();
  QAbstractButton* clicked = box->clickedButton();
  TQuestionAnswer answer = TQuestionAnswer::Cancel;
  if (clicked == box->button(QMessageBox::Yes)) {
    answer = TQuestionAnswer::Yes;
  } else if (clicked == box->button(QMessageBox::No)) {
    answer = TQuestionAnswer::No;
  }
  delete box;
  return answer;
}

bool AskQtRetry(const TRetryRequest& request, QWidget* parent) {
  QMessageBox* box = NewBox(parent, request.caption, request.text);
  box->setIcon(QMessageBox::Warning);
  box->setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
  box->setDefaultButton(QMessageBox::Retry);
  box->setEscapeButton(QMessageBox::Cancel);
  box->exec();
  const bool retry = box->clickedButton() == box->button(QMessageBox::Retry);
  delete box;
  return retry;
}

void ShowQtLongText(const std::string& text, QWidget* parent) {
  if (TooLongForBox(text)) {
    ShowScrollingText(ProgramIdentity.programName, text, parent);
    return;
  }
  QMessageBox* box = NewBox(parent, ProgramIdentity.programName, text);
  box->setStandardButtons(QMessageBox::Ok);
  box->exec();
  delete box;
}
