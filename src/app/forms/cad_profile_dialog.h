// The CAD profile dialog of one part: involute points, polyline option, generating addendum
// modification, diameters and root curve, asked before the part's tooth profile goes to a CAD
// file. Also installs both tooth-profile dialogs as the dialogs of the CAD menu commands.
#pragma once

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TForm_qm2config : public QDialog {
  Q_OBJECT
 public:
  // part: 1 shaft, 2 hub.
  explicit TForm_qm2config(int part, QWidget* parent = nullptr);

  void FormCreate();
  void FormShow();
  void Button_okClick();
  void Button_cancelClick();
  void Button_helpClick();
  void Button_xeClick();
  void Button_xemaxClick();
  void Button_xeminClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  friend void WriteCadProfileDialog(TForm_qm2config& form);
  friend bool ReadCadProfileDialog(TForm_qm2config& form);

  std::int16_t ProfilePart = 1;
  QLabel* label_points_ = nullptr;
  QSpinBox* edit_anzevolvpoints_ = nullptr;
  QCheckBox* checkBox_polyline_ = nullptr;
  QLabel* label_xe_ = nullptr;
  QLineEdit* edit_xe_ = nullptr;
  QPushButton* button_xe_ = nullptr;
  QPushButton* button_xemax_ = nullptr;
  QPushButton* button_xemin_ = nullptr;
  QCheckBox* checkBox_durchmesser_ = nullptr;
  QCheckBox* checkBox_fussausrundung_ = nullptr;
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_help_ = nullptr;
};

// The settings into the controls and back. Reading refuses an addendum modification that is no
// number or out of range with a message naming the field, which keeps the focus; nothing is
// stored then, and the result is false.
void WriteCadProfileDialog(TForm_qm2config& form);
bool ReadCadProfileDialog(TForm_qm2config& form);

// Makes the two forms the dialogs of the CAD profile command and of the CAD setup command.
void InstallCadProfileForms();
