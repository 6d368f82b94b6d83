// Text conversion and limited edits shared by the documentation dialogs.
#include "app/forms/documentation_form_texts.h"

#include <QLineEdit>
#include <algorithm>

#include "common/codepage.h"

QString DosText(const std::string& dosText) {
  return QString::fromStdString(DosToWin(dosText));
}

std::string ToDos(const QString& text) {
  return WinToDos(text.toStdString());
}

QLineEdit* NewLimitedEdit(QWidget* parent, const char* name, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  if (maxLength > 0) edit->setMaxLength(maxLength);
  return edit;
}

void SetLimitedText(QLineEdit* edit, const QString& text, int maxLength) {
  if (maxLength > 0) edit->setMaxLength(std::max<int>(maxLength, text.size()));
  edit->setText(text);
}
