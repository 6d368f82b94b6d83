// The general tooth-profile drawing settings: involute points, polyline option, fillet
// resolution, tooth-shape steps, root curve and diameters.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TForm_tovpconf : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_tovpconf(QWidget* parent = nullptr);

  void FormCreate();
  void FormShow();
  void Button_okClick();
  void Button_cancelClick();
  void Button_helpClick();
  void Button_resetClick();
  void CheckBox_fussausrundung_zeichnenClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  friend void WriteProfileDrawingDialog(TForm_tovpconf& form);
  friend void ReadProfileDrawingDialog(TForm_tovpconf& form);

  QCheckBox* checkBox_fussausrundung_ = nullptr;
  QSpinBox* edit_anzevolvpoints_ = nullptr;
  QCheckBox* checkBox_polyline_ = nullptr;
  QSpinBox* edit_aufloesung_ = nullptr;
  QSpinBox* edit_anzhull_ = nullptr;
  QCheckBox* checkBox_durchmesser_ = nullptr;
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_help_ = nullptr;
  QPushButton* button_reset_ = nullptr;
};

void WriteProfileDrawingDialog(TForm_tovpconf& form);
void ReadProfileDrawingDialog(TForm_tovpconf& form);
