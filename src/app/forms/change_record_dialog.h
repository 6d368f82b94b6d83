// The dialog of one change record: modification, date, editor and description.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TForm_EinAend : public QDialog {
  Q_OBJECT
 public:
  // The dialog of change n (1..25), filled from the record.
  explicit TForm_EinAend(int n, QWidget* parent = nullptr);

  const int ChangeNumber;

  void FormCreate();
  void FormShow();
  void Button_datumClick();
  void Button_okClick();
  void Button_cancelClick();
  void Button_helpClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void Memo_beschreibungChange();

  QLabel* label_aenderung_ = nullptr;
  QLabel* label_datum_ = nullptr;
  QLabel* label_bearbeiter_ = nullptr;
  QLabel* label_beschreibung_ = nullptr;
  QLineEdit* edit_aenderung_ = nullptr;
  QLineEdit* edit_datum_ = nullptr;
  QLineEdit* edit_bearbeiter_ = nullptr;
  QPlainTextEdit* memo_beschreibung_ = nullptr;
  QPushButton* button_datum_ = nullptr;
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_help_ = nullptr;
  int memoLimit_ = 0;
  bool limiting_ = false;
};
