// The working buttons of the configuration dialog: standard values, window size and dialog
// scale, directory, program and font pickers, colours and the plot command lines.
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QVariant>
#include <cmath>

#include "app/forms/colour_picker.h"
#include "app/forms/config_dialog.h"
#include "app/forms/config_dialog_support.h"
#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/formatting.h"
#include "common/forms/text_printing.h"
#include "common/system_info.h"
#include "graphics/forms/plot_program_dialog.h"

using namespace config_form;

// ---------------------------------------------------------------------------------------------
// Standard values

namespace {
void SetText(Tconfig& f, const char* name, const QString& text) {
  f.Control<QLineEdit>(name)->setText(text);
}
}  // namespace

void Tconfig::Button_zoomClick() {
  SetText(*this, "Edit_zoomfaktor", kStandardZoom);
}
void Tconfig::Button_panClick() {
  SetText(*this, "Edit_panfaktor", kStandardPan);
}
void Tconfig::Button_textbreitenfaktorClick() {
  SetText(*this, "Edit_textbreitenfaktor", kStandardTextWidth);
}
void Tconfig::Button_texthoehenfaktorClick() {
  SetText(*this, "Edit_texthoehenfaktor", kStandardTextHeight);
}
void Tconfig::Button_cadtextbreiteClick() {
  SetText(*this, "Edit_cadtextbreite", kStandardCadTextWidth);
}
void Tconfig::Button_cadtextwinkelClick() {
  SetText(*this, "Edit_cadtextwinkel", kStandardCadTextAngle);
}
void Tconfig::Button_printxoriginClick() {
  SetText(*this, "Edit_printxorigin", kStandardOrigin);
}
void Tconfig::Button_printyoriginClick() {
  SetText(*this, "Edit_printyorigin", kStandardOrigin);
}
void Tconfig::Button_printscalex1Click() {
  SetText(*this, "Edit_printscale", kStandardPrintScale);
}
void Tconfig::Button_scaleyxClick() {
  SetText(*this, "Edit_printscaley", Control<QLineEdit>("Edit_printscale")->text());
}
void Tconfig::Button_massfaktorconfigClick() {
  SetText(*this, "Edit_massfaktorconfig", kStandardDimensionFactor);
}
void Tconfig::Button_freigabefeldClick() {
  SetText(*this, "Edit_freigabefeld", kStandardApprovalField);
}
void Tconfig::Button_dxfdecClick() {
  Control<QSpinBox>("SpinEdit_dxfdec")->setValue(kStandardDxfDecimals);
}

void Tconfig::Button_dickClick(int width) {
  auto* grid = Control<QTableWidget>("StringGrid_color");
  for (int row = 1; row <= 16; ++row) grid->setItem(row, 2, new QTableWidgetItem(Q(IntStr(width))));
}

void Tconfig::Button_layerClick(int layer) {
  auto* grid = Control<QTableWidget>("StringGrid_layer");
  const int row = 6 - layer;
  const TLayerRowDefault& d = LayerRowDefault(row);
  grid->setItem(row, 1, new QTableWidgetItem(d.name));
  grid->setItem(row, 2, new QTableWidgetItem(d.colour));
  grid->setItem(row, 3, new QTableWidgetItem(d.penWidth));
}

// ---------------------------------------------------------------------------------------------
// Window size, dialog scale, text window

void ApplyWindowSize(Tconfig& form) {
  QWidget* main = MainWindow();
  if (main == nullptr) return;
  const QSize client = MainClientSize(main);
  const int x = StrToInteger(S(form.Control<QLineEdit>("Edit_x")->text()));
  const int y = StrToInteger(S(form.Control<QLineEdit>("Edit_y")->text()));
  SetMainClientSize(x > 0 ? x : client.width(), y > 0 ? y : client.height());
}

void Tconfig::Button_aufloesungClick() {
  const QSize screen = ScreenSize();
  int frameWidth = 0;
  int frameHeight = 0;
  if (QWidget* main = MainWindow()) {
    const QSize client = MainClientSize(main);
    frameWidth = main->frameGeometry().width() - client.width();
    frameHeight = main->frameGeometry().height() - client.height();
  }
  SetText(*this, "Edit_x", Q(IntStr(screen.width() - frameWidth)));
  SetText(*this, "Edit_y",
          Q(IntStr(screen.height() - static_cast<int>(std::lround(1.65L * frameHeight)))));
  ApplyWindowSize(*this);
}

void Tconfig::Edit_xExit() {
  ApplyWindowSize(*this);
}
void Tconfig::Edit_yExit() {
  ApplyWindowSize(*this);
}

void Tconfig::Button_dialogsizeClick() {
  int outer = 0;
  int client = 0;
  MainHeights(outer, client);
  QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
  Control<QSpinBox>("SpinEdit_dialogfenster")->setValue(DialogScaleFromScreen(outer, client, dpi));
}

void Tconfig::Button_dialogelementeClick() {
  int outer = 0;
  int client = 0;
  MainHeights(outer, client);
  QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchX())) : 96;
  auto* content = Control<QSpinBox>("SpinEdit_dialogelemente");
  content->setValue(ContentScaleFromScreen(Control<QSpinBox>("SpinEdit_dialogfenster")->value(),
                                           outer, client, dpi));
}

void Tconfig::Button_TextwindowClick() {
  const int x = StrToInteger(S(Control<QLineEdit>("Edit_x")->text()));
  const int y = StrToInteger(S(Control<QLineEdit>("Edit_y")->text()));
  const int size = StrToInteger(S(Control<QLabel>("Label_couriersize")->text()));
  SetText(*this, "Edit_left", "10");
  SetText(*this, "Edit_top", "40");
  SetText(*this, "Edit_width", Q(IntStr(TextWindowDefaultWidth(x, size))));
  SetText(*this, "Edit_height", Q(IntStr(y - 20)));
}

// ---------------------------------------------------------------------------------------------
// Pickers

void Tconfig::Button_dirClick(QLineEdit* field) {
  const bool abort = AbortFlag;
  std::string dir;
  SelectDirectory(S(field->text()), dir);
  field->setText(Q(dir));
  AbortFlag = abort;
}

void Tconfig::Button_dirtempenvClick() {
  const std::string temp = GetEnvVar("TEMP");
  if (!DelBlanks(temp).empty()) SetText(*this, "Edit_dirtemp", Q(temp));
}

void Tconfig::Button_externClick(QLineEdit* field) {
  const bool abort = AbortFlag;
  AbortFlag = false;
  const std::string start = S(field->text());
  std::string name;
  OpenFileName(start, "*.exe", name);
  if (!AbortFlag) field->setText(Q(name));
  AbortFlag = abort;
}

void Tconfig::Button_fontClick() {
  QFont font(Control<QLineEdit>("Edit_font")->text());
  IntToFontStyle(StrToInteger(S(Control<QLabel>("Label_hstyle")->text())), font);
  if (!ChooseFont(this, font)) return;
  SetText(*this, "Edit_font", font.family());
  Control<QLabel>("Label_hstyle")->setText(Q(IntStr(FontStyleToInt(font))));
}

void Tconfig::Button_textfontClick() {
  auto* name = Control<QLabel>("Label_courier");
  auto* size = Control<QLabel>("Label_couriersize");
  auto* style = Control<QLabel>("Label_courierstyle");
  QFont font(name->text());
  const int points = StrToInteger(S(size->text()));
  if (points > 0) font.setPointSize(points);
  IntToFontStyle(StrToInteger(S(style->text())), font);
  if (!ChooseFont(this, font)) return;
  name->setText(font.family());
  size->setText(Q(IntStr(font.pointSize() > 0 ? font.pointSize() : points)));
  style->setText(Q(IntStr(FontStyleToInt(font))));
}

void Tconfig::Button_hintergrundfarbeClick() {
  TColourRef colour = GraphicsVariables.BackgroundColour;
  if (!ChooseColour(this, colour, colour)) return;
  GraphicsVariables.BackgroundColour = colour;
  SetPanelColour(Control<QWidget>("Panel_colour"), colour);
}

void Tconfig::Panel_colorClick(int entry) {
  QWidget* panel = Control<QWidget>(("Panel_color" + IntStr(entry)).c_str());
  if (panel == nullptr) return;
  TColourRef colour = PanelColour(panel);
  if (ChooseColour(this, colour, colour)) SetPanelColour(panel, colour);
}

bool Tconfig::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    const QVariant entry = watched->property("colourEntry");
    if (entry.isValid()) {
      Panel_colorClick(entry.toInt());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void Tconfig::Button_resetcolorClick() {
  SetDefaultColours();
  imported_.reset();
  ConfigSettingsToDialog(*this);
}

void Tconfig::PickColourNumber(QTableWidget* grid, int row, int column) {
  if (row < 1 || row >= grid->rowCount()) return;
  ColourNames();
  const QTableWidgetItem* item = grid->item(row, column);
  const int number = item ? StrToInteger(S(item->text())) : 0;
  AbortFlag = false;
  const int chosen = SelectColourNumber(number, this);
  if (AbortFlag) {
    AbortFlag = false;
    return;
  }
  grid->setItem(row, column, new QTableWidgetItem(Q(IntStr(chosen))));
}

void Tconfig::Button_selectcolorClick() {
  auto* grid = Control<QTableWidget>("StringGrid_color");
  if (grid->currentColumn() != 1) return;
  PickColourNumber(grid, grid->currentRow(), 1);
}

void Tconfig::StringGrid_colorDblClick() {
  Button_selectcolorClick();
}

void Tconfig::Button_selectlayercolorClick() {
  auto* grid = Control<QTableWidget>("StringGrid_layer");
  PickColourNumber(grid, grid->currentRow(), 2);
}

// ---------------------------------------------------------------------------------------------
// Plot command lines

void EditPlotCommandLine(Tconfig& form) {
  AbortFlag = false;
  auto* list = form.Control<QListWidget>("ListBox_vectrix");
  int row = list->currentRow();
  if (row < 0 || row >= kPlotCommandLineCount) {
    row = 0;
    list->setCurrentRow(0);
  }
  if (list->item(row) == nullptr) return;
  TForm_confvectrix dialog(&form);
  dialog.CommandLine = S(list->item(row)->text());  // names in it stay UTF-8
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (accepted && !AbortFlag) {
    list->item(row)->setText(Q(dialog.CommandLine));
  } else {
    AbortFlag = false;
  }
}

void Tconfig::Button_confvectrixClick() {
  EditPlotCommandLine(*this);
}
void Tconfig::ListBox_vectrixDblClick() {
  EditPlotCommandLine(*this);
}

void Tconfig::Button_editvectrixcommandlineClick() {
  AbortFlag = false;
  auto* list = Control<QListWidget>("ListBox_vectrix");
  const int row = list->currentRow();
  if (row < 0 || row >= kPlotCommandLineCount || list->item(row) == nullptr) return;
  std::string line = S(list->item(row)->text());
  InputName("VECTRIX Command Line", 0, line);  // it names a program and files
  if (AbortFlag) {
    AbortFlag = false;
    return;
  }
  list->item(row)->setText(Q(line));
}
