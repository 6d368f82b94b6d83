// The plot program's settings dialog: program, destination code, output interface and port,
// scale, rotation, shifts, text width and PostScript font; every change rebuilds the command
// line shown at the bottom, which OK hands back.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <string>

#include "graphics/plot_program.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// A group of radio buttons with the index of the chosen item (-1: none).
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int Count() const;

 signals:
  void Clicked();

 private:
  QButtonGroup* buttons_;
};

class TForm_confvectrix : public QDialog {
  Q_OBJECT
 public:
  explicit TForm_confvectrix(QWidget* parent = nullptr);

  // The command line: set before the dialog is shown, the composed one after OK.
  std::string CommandLine;

  void FormCreate();
  void MakePlotCommandLine();
  // The controls as the composer reads them.
  TPlotProgramOptions Options() const;
  // Puts the settings into the controls and composes the line from them.
  void SetOptions(const TPlotProgramOptions& options);

  void RadioGroup_outcodeClick();
  void RadioGroup_dClick();
  void CheckBox_scaleClick();
  void Button_vectrixpathClick();
  void Button_outDirClick();
  void Button_tempdirClick();
  void Button_helpClick();
  void Button_okClick();
  void Button_cancelClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  QLineEdit* Edit(const char* name, QWidget* parent);
  void Changed();

  bool creating_ = true;
  QLineEdit* edit_vectrixPath_ = nullptr;
  QPushButton* button_vectrixpath_ = nullptr;
  TRadioGroup* radioGroup_outcode_ = nullptr;
  TRadioGroup* radioGroup_d_ = nullptr;
  QLineEdit* edit_com_ = nullptr;
  QLineEdit* edit_lpt_ = nullptr;
  QLineEdit* edit_outdir_ = nullptr;
  QPushButton* button_outDir_ = nullptr;
  QPushButton* button_tempdir_ = nullptr;
  QLineEdit* edit_scale_ = nullptr;
  QCheckBox* checkBox_scale_ = nullptr;
  QCheckBox* checkBox_rotate_ = nullptr;
  QLineEdit* edit_xnull_ = nullptr;
  QLineEdit* edit_ynull_ = nullptr;
  QLineEdit* edit_textbreitenfaktor_ = nullptr;
  QComboBox* comboBox_psfont_ = nullptr;
  QLabel* label_commandline_ = nullptr;
  QPushButton* button_ok_ = nullptr;
  QPushButton* button_cancel_ = nullptr;
  QPushButton* button_help_ = nullptr;
};

// Shows the dialog modally with the line; true (and the line replaced) on OK.
bool ShowPlotProgramDialog(std::string& commandLine);
// Makes the CAD code selection show this dialog (start-up calls it with the Qt host).
void InstallPlotProgramDialogForm();
