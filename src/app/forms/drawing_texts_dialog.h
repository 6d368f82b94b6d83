// The dialog of the texts that name the drawings: drawing number, drawing name and its second
// line for shaft and hub, and the free texts Text 1 and Text 2.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

class TForm_qmeingabetext : public QDialog {
  Q_OBJECT
 public:
  // The dialog, filled from the part names and the drawing texts.
  explicit TForm_qmeingabetext(QWidget* parent = nullptr);

  void FormCreate();
  void Button_okClick();
  void Button_cancelClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  QLineEdit* edit_zeichnr1_ = nullptr;
  QLineEdit* edit_zeichname1_ = nullptr;
  QLineEdit* edit_zeichname21_ = nullptr;
  QLineEdit* edit_zeichnr2_ = nullptr;
  QLineEdit* edit_zeichname2_ = nullptr;
  QLineEdit* edit_zeichname22_ = nullptr;
  QLineEdit* edit_info1_ = nullptr;
  QLineEdit* edit_info2_ = nullptr;
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
};
