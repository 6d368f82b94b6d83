// The configuration dialog: nine pages of program-wide settings (directories, screen graphics,
// CAD text and layers, colours, picture and text printout, general settings, external programs,
// drawing options). It copies the settings into its controls when created and back on OK or
// Save, which also write the configuration file; Import shows another configuration file and
// Export writes the dialog's values under another name.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "app/config_dialog_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QWidget;
class TRadioGroup;

class Tconfig : public QDialog {
  Q_OBJECT
 public:
  explicit Tconfig(QWidget* parent = nullptr);
  ~Tconfig() override;

  void FormCreate();

  // Bottom buttons.
  void Button_okClick();
  void Button_cancelClick();
  void Button_saveClick();
  void Button_importClick();
  void Button_exportClick();

  // "<" buttons: one standard value into one field (stored on OK).
  void Button_zoomClick();
  void Button_panClick();
  void Button_textbreitenfaktorClick();
  void Button_texthoehenfaktorClick();
  void Button_cadtextbreiteClick();
  void Button_cadtextwinkelClick();
  void Button_printxoriginClick();
  void Button_printyoriginClick();
  void Button_printscalex1Click();
  void Button_scaleyxClick();
  void Button_massfaktorconfigClick();
  void Button_freigabefeldClick();
  void Button_dxfdecClick();
  void Button_dickClick(int width);   // Button_dick1 .. Button_dick3
  void Button_layerClick(int layer);  // Button_layer1 .. Button_layer5

  // Screen, window size, dialog scale and text window.
  void Button_aufloesungClick();
  void Edit_xExit();
  void Edit_yExit();
  void Button_dialogsizeClick();
  void Button_dialogelementeClick();
  void Button_TextwindowClick();

  // Directory, program and font pickers.
  void Button_dirClick(QLineEdit* field);
  void Button_dirtempenvClick();
  void Button_externClick(QLineEdit* field);
  void Button_fontClick();
  void Button_textfontClick();

  // Colours.
  void Button_hintergrundfarbeClick();
  void Panel_colorClick(int entry);  // Panel_color0 .. Panel_color15
  void Button_resetcolorClick();
  void Button_selectcolorClick();
  void StringGrid_colorDblClick();
  void Button_selectlayercolorClick();

  // Plot command lines.
  void Button_confvectrixClick();
  void ListBox_vectrixDblClick();
  void Button_editvectrixcommandlineClick();

  // A control by its name; null when there is none of that kind.
  template <typename T>
  T* Control(const char* name) const {
    return findChild<T*>(QString::fromLatin1(name));
  }

 protected:
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend void ConfigSettingsToDialog(Tconfig& form);
  friend void ConfigDialogToSettings(Tconfig& form);

  void BuildPages();
  // Refuses a numeric field that cannot be taken: a message names it, its page comes forward
  // and it takes the focus; nothing is stored. False when a field was refused.
  bool AcceptTypedNumbers();
  // Copies every control into the settings (with an imported file's other settings first).
  void StoreDialogValues();
  // Puts the colour number chosen in the colour picker into a grid cell.
  void PickColourNumber(QTableWidget* grid, int row, int column);

  QTabWidget* Pagecontrol1 = nullptr;
  // Settings read from an imported file, taken over on OK, Save or Export; Cancel drops them.
  std::unique_ptr<TConfigRecords> imported_;
  // Texts of the real fields as shown: an untouched field keeps its exact value.
  TShownTexts shown_;
};

// Every setting into its control.
void ConfigSettingsToDialog(Tconfig& form);
// Every control back into its setting, with the checks of the dialog; the main window takes the
// stored size and is repainted.
void ConfigDialogToSettings(Tconfig& form);
// Main window client width := Edit_x and height := Edit_y, each when its number is above 0.
void ApplyWindowSize(Tconfig& form);
// The selected plot command line (line 1 when none) replaced by the one the plot-program dialog
// composes; unchanged on Cancel.
void EditPlotCommandLine(Tconfig& form);

// The configuration command: the dialog created, shown modally and freed; then the main window
// takes the configured background colour.
void ConfigurationDialog();
