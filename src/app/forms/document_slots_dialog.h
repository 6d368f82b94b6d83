// The dialog of the five document slots: a program and a file for each, with browse buttons.
#pragma once

#include <QDialog>
#include <array>

#include "app/documentation_records.h"

class QLineEdit;
class QPushButton;

class TForm_confDoku : public QDialog {
  Q_OBJECT
 public:
  // The dialog, filled from the slots.
  explicit TForm_confDoku(QWidget* parent = nullptr);

  void FormCreate();
  void FormShow();
  // Browse buttons of slot n (1..5).
  void ButtonProgClick(int n);
  void ButtonFileClick(int n);
  void Button_okClick();
  void Button_cancelClick();
  void Button_helpClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  void Browse(QLineEdit* edit, const char* filter);

  std::array<QLineEdit*, kDocumentSlotCount> editProg_{};
  std::array<QLineEdit*, kDocumentSlotCount> editFile_{};
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_help_ = nullptr;
};
