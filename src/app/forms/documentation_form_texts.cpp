// Text conversion and limited edits shared by the documentation dialogs.
#include "app/forms/documentation_form_texts.h"

#include <QLineEdit>
#include <algorithm>

#include "common/codepage.h"
#include "common/dialog_host.h"

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

bool TakeOutSeparators(QString& text, TFieldPlace place, const std::string& field) {
  const std::string separator = SeparatorIn(text.toStdString(), place);
  if (separator.empty()) return false;
  QString kept;
  kept.reserve(text.size());
  for (QChar c : text) {
    if (SeparatorIn(QString(c).toStdString(), place).empty()) kept.append(c);
  }
  text = kept;
  ErrorMessage(SeparatorRefusal(field, separator));
  return true;
}

void RefuseSeparators(QLineEdit* edit, TFieldPlace place, const std::string& field) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, place, field](const QString& typed) {
    QString text = typed;
    const int cursor = edit->cursorPosition();
    const int before = static_cast<int>(text.size());
    if (!TakeOutSeparators(text, place, field)) return;
    edit->setText(text);
    edit->setCursorPosition(std::max(0, cursor - (before - static_cast<int>(text.size()))));
  });
}
