// The spline dimension dialog: every input of the joint (pressure angle, module or pitch, teeth,
// how each part's addendum modification is given, tool factors or diameters, clearances,
// measuring data), recalculated after every change so that the calculated fields and the
// messages follow the inputs at once. Cancel puts the data set back as it was.
#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "app/dimension_dialog_model.h"

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TForm_vukogeo : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_vukogeo(QWidget* parent = nullptr);

  void FormCreate();
  void FormShow();

  void Button_okClick();
  void Button_cancelClick();
  void Button_helpClick();
  void Button_hilfebildClick();
  void Button_calcClick();
  void Button_metricClick();
  void Button_dmessClick();  // "?" beside the ball diameters
  void Button_kmessClick();  // "?" beside the teeth spanned
  void Button_dmessPartClick(int part);
  void Button_kmess1Click();

  // What the controls hold now.
  TDimensionDialogValues ControlValues() const;
  QLineEdit* Edit(TDimensionEdit edit) const { return edits_[Index(edit)]; }

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  friend void WriteDimensionDialog(TForm_vukogeo& form, int mode);
  friend void UpdateDimensionControls(TForm_vukogeo& form);
  friend void RecalcDimensionDialog(TForm_vukogeo& form);
  friend void CopyShiftFromOtherPart(TForm_vukogeo& form, int part);

  // Program writes into the controls while one is alive do not count as changes.
  class FillingGuard {
   public:
    explicit FillingGuard(TForm_vukogeo& form) : form_(form) { ++form_.fillingControls_; }
    ~FillingGuard() { --form_.fillingControls_; }
    FillingGuard(const FillingGuard&) = delete;
    FillingGuard& operator=(const FillingGuard&) = delete;

   private:
    TForm_vukogeo& form_;
  };

  static std::size_t Index(TDimensionEdit edit) { return static_cast<std::size_t>(edit); }
  bool FillingControls() const { return fillingControls_ > 0; }

  void BuildControls();
  void SetControlValues(const TDimensionDialogValues& values);
  void ShowMessages();
  bool RecalculatesOnChange(TDimensionEdit edit) const;
  void EditChange(TDimensionEdit edit);
  void EditLeft(TDimensionEdit edit);
  void SpinEdit_zChange();
  void SpinEdit_kmess1Change();
  void ModeClick();
  void BackToFront();

  QLineEdit* NewEdit(TDimensionEdit edit);
  QLabel* NewLabel(const char* name, const QString& caption, int helpNumber = 0);
  QLabel* NewUnitLabel(const char* name);
  QPushButton* NewButton(const char* name, const QString& caption);
  QSpinBox* NewSpin(const char* name, int low, int high);
  QButtonGroup* NewGroup(const char* name);
  QRadioButton* NewItem(QButtonGroup* group, int index, const QString& caption);

  int fillingControls_ = 0;
  int recalcDepth_ = 0;
  bool shown_ = false;
  TDimensionSnapshot snapshot_;
  // A help picture or the picture of values not confirmed stands in the graphics window: a
  // Cancel draws the result picture of the data set it gives back.
  bool pictureReplaced_ = false;

  std::array<QLineEdit*, kDimensionEditCount> edits_{};
  // The "<" and value buttons that follow the enabling of their edit field.
  std::array<QPushButton*, kDimensionEditCount> editButtons_{};
  QGridLayout* grid_ = nullptr;
  QSpinBox* spinEdit_z_ = nullptr;
  QSpinBox* spinEdit_kmess1_ = nullptr;
  QSpinBox* spinEdit_kmess2_ = nullptr;
  QRadioButton* radioButton_rad1c_ = nullptr;
  QRadioButton* radioButton_rad12_ = nullptr;
  QRadioButton* radioButton_rad2c_ = nullptr;
  QButtonGroup* radioGroup_mnpn_ = nullptr;
  QButtonGroup* radioGroup_pm1_ = nullptr;
  QButtonGroup* radioGroup_pm2_ = nullptr;
  QButtonGroup* radioGroup_de_ = nullptr;
  QButtonGroup* radioGroup_di_ = nullptr;
  QCheckBox* checkBox_cmn_ = nullptr;
  QLabel* label_d_ = nullptr;
  QLabel* label_err_ = nullptr;
  QPlainTextEdit* memo_err_ = nullptr;
  std::vector<QLabel*> unitLabels_;  // show the unit of the current unit system
};

// Data into the controls: mode 0 every control, mode 1 (after a recalculation) the pressure
// angle and the fields closed for input only. Both modes refresh the messages and Label_d.
void WriteDimensionDialog(TForm_vukogeo& form, int mode);
// Every control into ToothingData and SplineInputData.
void ReadDimensionDialog(TForm_vukogeo& form);
// Opens and closes the fields by the chosen modes.
void UpdateDimensionControls(TForm_vukogeo& form);
// The live recalculation after a change.
void RecalcDimensionDialog(TForm_vukogeo& form);
// The "<" buttons of the addendum modification: part's x := -(x of the other part).
void CopyShiftFromOtherPart(TForm_vukogeo& form, int part);

// Shows the dialog modally over the main window; Cancel sets AbortFlag.
void RunDimensionDialog();
// Makes RunDimensionDialog the dialog of EditDimensions.
void InstallDimensionDialogForm();
