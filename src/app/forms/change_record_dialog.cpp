// The dialog of one change record.
#include "app/forms/change_record_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "app/forms/documentation_form_texts.h"
#include "common/forms/form_placement.h"
#include "common/forms/help_buttons.h"
#include "common/forms/text_box.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "drawings/drawing_documentation.h"

namespace {

constexpr int kModificationLength = 20;
constexpr int kDateLength = 10;
constexpr int kEditorLength = 5;
constexpr int kDescriptionLength = 255;

// Length of a description as the record holds it: every line break is CR LF.
int HeldLength(const QString& text) {
  return static_cast<int>(text.size() + text.count(QChar('\n')));
}

// The record's line breaks (CR LF, CR or LF) as the text control's.
QString ToControlBreaks(QString text) {
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  return text;
}

QLabel* NewLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TForm_EinAend::TForm_EinAend(int n, QWidget* parent) : QDialog(parent), ChangeNumber(n) {
  setObjectName("TForm_EinAend");
  label_aenderung_ = NewLabel(this, "Label_aenderung");
  label_datum_ = NewLabel(this, "Label_datum");
  label_bearbeiter_ = NewLabel(this, "Label_bearbeiter");
  label_beschreibung_ = NewLabel(this, "Label_beschreibung");
  edit_aenderung_ = NewLimitedEdit(this, "Edit_aenderung", kModificationLength);
  edit_datum_ = NewLimitedEdit(this, "Edit_datum", kDateLength);
  edit_bearbeiter_ = NewLimitedEdit(this, "Edit_bearbeiter", kEditorLength);
  memo_beschreibung_ = new TTextBox(this);
  memo_beschreibung_->setObjectName("Memo_beschreibung");
  button_datum_ = new QPushButton(this);
  button_datum_->setObjectName("Button_datum");
  button_ok_ = new QPushButton(this);
  button_ok_->setObjectName("Button_ok");
  button_cancel_ = new QPushButton(this);
  button_cancel_->setObjectName("Button_cancel");
  button_help_ = new QPushButton(this);
  button_help_->setObjectName("Button_help");

  auto* grid = new QGridLayout;
  grid->addWidget(label_aenderung_, 0, 0);
  grid->addWidget(edit_aenderung_, 0, 1, 1, 2);
  grid->addWidget(label_datum_, 1, 0);
  grid->addWidget(edit_datum_, 1, 1);
  grid->addWidget(button_datum_, 1, 2);
  grid->addWidget(label_bearbeiter_, 2, 0);
  grid->addWidget(edit_bearbeiter_, 2, 1);
  grid->addWidget(label_beschreibung_, 3, 0, 1, 3);
  grid->addWidget(memo_beschreibung_, 4, 0, 1, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button_ok_);
  buttons->addWidget(button_cancel_);
  buttons->addWidget(button_help_);
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(grid);
  outer->addLayout(buttons);

  connect(button_datum_, &QPushButton::clicked, this, [this] { Button_datumClick(); });
  connect(button_ok_, &QPushButton::clicked, this, [this] { Button_okClick(); });
  connect(button_cancel_, &QPushButton::clicked, this, [this] { Button_cancelClick(); });
  connect(button_help_, &QPushButton::clicked, this, [this] { Button_helpClick(); });
  connect(memo_beschreibung_, &QPlainTextEdit::textChanged, this,
          [this] { Memo_beschreibungChange(); });
  RefuseSeparators(edit_aenderung_, TFieldPlace::OwnLine, "text of changes");
  RefuseSeparators(edit_datum_, TFieldPlace::OwnLine, "Date");
  RefuseSeparators(edit_bearbeiter_, TFieldPlace::OwnLine, "responsible");
  FormCreate();
  FormShow();
}

void TForm_EinAend::FormCreate() {
  setWindowTitle(DosText("Modification"));
  button_ok_->setText("OK");
  button_ok_->setDefault(true);
  button_cancel_->setText("Cancel");
  button_help_->setText("&Help");
  button_datum_->setText(QString::fromStdString("<" + DateStr()));
  label_aenderung_->setText(DosText("text of changes"));
  label_datum_->setText(DosText("Date"));
  label_bearbeiter_->setText(DosText("responsible"));
  label_beschreibung_->setText(DosText("Description"));
}

void TForm_EinAend::FormShow() {
  setWindowTitle(DosText("Modification") + " " + QString::number(ChangeNumber));
  if (ChangeNumber < 1 || ChangeNumber > kMaxChangeRecords) return;
  const TChangeRecord& r = ChangeRecords.changes[ChangeNumber];
  SetLimitedText(edit_aenderung_, DosText(r.modification), kModificationLength);
  SetLimitedText(edit_datum_, DosText(r.date), kDateLength);
  SetLimitedText(edit_bearbeiter_, DosText(r.editor), kEditorLength);
  const QString description = ToControlBreaks(DosText(r.description));
  memoLimit_ = std::max(kDescriptionLength, HeldLength(description));
  memo_beschreibung_->setPlainText(description);
}

void TForm_EinAend::showEvent(QShowEvent* event) {
  ScaleAndCenterForm(this);
  QDialog::showEvent(event);
}

void TForm_EinAend::Memo_beschreibungChange() {
  // The description field takes no more than its record holds; what was typed or pasted last
  // (just before the cursor) is what gives way.
  if (limiting_) return;
  {
    // The description's line breaks are written as "|", so a "|" of its own would come back
    // as a line break.
    QString kept = memo_beschreibung_->toPlainText();
    if (TakeOutSeparators(kept, TFieldPlace::Description, "Description")) {
      limiting_ = true;
      const int position = memo_beschreibung_->textCursor().position();
      memo_beschreibung_->setPlainText(kept);
      QTextCursor cursor = memo_beschreibung_->textCursor();
      cursor.setPosition(std::min<int>(position, static_cast<int>(kept.size())));
      memo_beschreibung_->setTextCursor(cursor);
      limiting_ = false;
    }
  }
  if (memoLimit_ <= 0) return;
  const QString text = memo_beschreibung_->toPlainText();
  int excess = HeldLength(text) - memoLimit_;
  if (excess <= 0) return;
  limiting_ = true;
  QTextCursor cursor = memo_beschreibung_->textCursor();
  int end = cursor.position();
  if (end <= 0) end = static_cast<int>(text.size());
  int start = end;
  while (excess > 0 && start > 0) {
    --start;
    excess -= text[start] == QChar('\n') ? 2 : 1;
  }
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  memo_beschreibung_->setTextCursor(cursor);
  limiting_ = false;
}

void TForm_EinAend::Button_datumClick() {
  edit_datum_->setText(QString::fromStdString(DateStr()));
}

void TForm_EinAend::Button_okClick() {
  AbortFlag = false;
  if (ChangeNumber >= 1 && ChangeNumber <= kMaxChangeRecords) {
    TChangeRecord& r = ChangeRecords.changes[ChangeNumber];
    r.modification = ToDos(edit_aenderung_->text());
    r.date = ToDos(edit_datum_->text());
    r.editor = ToDos(edit_bearbeiter_->text());
    QString description = memo_beschreibung_->toPlainText();
    description.replace('\n', "\r\n");
    r.description = ToDos(description);
  }
  accept();
}

void TForm_EinAend::Button_cancelClick() {
  AbortFlag = true;
  QDialog::reject();
}

void TForm_EinAend::reject() {
  // Escape and the window's close button cancel as the Cancel button does.
  Button_cancelClick();
}

void TForm_EinAend::Button_helpClick() {
  ShowDialogHelpText(this, 3000);
}
