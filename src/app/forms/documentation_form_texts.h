// Small helpers of the documentation dialogs: texts held in the DOS code page shown in and
// taken from Qt controls, and line edits limited like their fields.
#pragma once

#include <QString>
#include <string>

#include "app/documentation_records.h"

class QLineEdit;
class QWidget;

// A DOS-code-page text for a control, and a control's text for the records.
QString DosText(const std::string& dosText);
std::string ToDos(const QString& text);

// A line edit with an object name, limited to maxLength characters (0: unlimited). A text
// already longer than the limit (read from a file) is shown whole, so OK never cuts it.
QLineEdit* NewLimitedEdit(QWidget* parent, const char* name, int maxLength);
void SetLimitedText(QLineEdit* edit, const QString& text, int maxLength);

// Refuses a separator of the data file as it is typed or pasted into the edit, and a character
// its code page cannot hold unless the field holds a name (kept in UTF-8): it is taken out
// again and a message names the field and the character.
void RefuseSeparators(QLineEdit* edit, TFieldPlace place, const std::string& field,
                      bool holdsName = false);
// The same for a text that changes as a whole (a grid cell, a memo): what its place cannot
// keep is taken out of the text and the message is shown. True when there was some.
bool TakeOutSeparators(QString& text, TFieldPlace place, const std::string& field,
                       bool holdsName = false);
