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

bool TakeOutSeparators(QString& text, TFieldPlace place, const std::string& field, bool holdsName) {
  auto refused = [&](const QString& part, std::string& separator, std::string& foreign) {
    const std::string utf8 = part.toStdString();
    separator = SeparatorIn(utf8, place);
    foreign = holdsName ? std::string() : FirstCharOutsideCp850(utf8);
    return !separator.empty() || !foreign.empty();
  };
  std::string separator, foreign;
  if (!refused(text, separator, foreign)) return false;
  QString kept;
  kept.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    // A character beyond the BMP is two QChars; it goes or stays whole.
    const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString c = text.mid(i, n);
    std::string s, f;
    if (!refused(c, s, f)) kept.append(c);
    i += n;
  }
  text = kept;
  ErrorMessage(separator.empty() ? CodePageRefusal(field, foreign)
                                 : SeparatorRefusal(field, separator));
  return true;
}

void RefuseSeparators(QLineEdit* edit, TFieldPlace place, const std::string& field,
                      bool holdsName) {
  QObject::connect(
      edit, &QLineEdit::textEdited, edit, [edit, place, field, holdsName](const QString& typed) {
        QString text = typed;
        const int cursor = edit->cursorPosition();
        const int before = static_cast<int>(text.size());
        if (!TakeOutSeparators(text, place, field, holdsName)) return;
        edit->setText(text);
        edit->setCursorPosition(std::max(0, cursor - (before - static_cast<int>(text.size()))));
      });
}
