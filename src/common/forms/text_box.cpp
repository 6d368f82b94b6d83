// The editable multi-line text box.
#include "common/forms/text_box.h"

#include <QMimeData>

void TTextBox::insertFromMimeData(const QMimeData* source) {
  // While no program owns the X11 clipboard, Qt 6.4 hands a paste a clipboard without a single
  // format and then reads the first of them: the program would end there.
  if (source != nullptr && canInsertFromMimeData(source))
    QPlainTextEdit::insertFromMimeData(source);
}
