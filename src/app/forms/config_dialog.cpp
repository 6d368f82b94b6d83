// The configuration dialog: creation, the bottom buttons (OK, Cancel, Save, Import, Export) and
// the configuration command. The pages, the copy of the settings and the working buttons are in
// the other tconfig_*.cpp files.
#include "app/forms/config_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>

#include "app/forms/config_dialog_support.h"
#include "common/codepage.h"
#include "common/config_file.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/forms/form_placement.h"
#include "common/help_texts.h"
#include "common/output_router.h"

using namespace config_form;

namespace {

struct THint {
  int number;
  const char* name;
};
constexpr THint kHints[] = {
    {1570, "Label_dircad"},
    {1600, "Label_dirdbf"},
    {1610, "Label_dirtemp"},
    {1590, "Label_dirplt"},
    {1595, "Label_diredi"},
    {1830, "Label_direxe"},
    {1605, "Label_dirworking"},
    {1615, "Label_dirdata"},
    {1670, "RadioGroup_bildschirmgrafik"},
    {1710, "GroupBox_aufloesung"},
    {1800, "Label_zoomfaktor"},
    {1810, "Label_panfaktor"},
    {1730, "Label_textbreitenfaktor"},
    {1730, "Label_texthoehenfaktor"},
    {1730, "Label_cadtextbreite"},
    {1725, "Label_dialogfenster"},
    {1725, "Label_dialogelemente"},
    {1720, "Label_cadfont"},
    {1740, "Label_cadtextwinkel"},
    {1960, "CheckBox_diagrammgrenzen"},
    {1980, "Label_dxfdec"},
    {1715, "CheckBox_3Dto2D"},
    {1585, "CheckBox_layermonochrom"},
    {1755, "RadioGroup_punktkomma"},
    {1580, "RadioGroup_hilfegrad"},
    {1750, "Label_dezimalstellen"},
    {1505, "CheckBox_initfloat"},
    {2530, "CheckBox_archivmode"},
    {2535, "CheckBox_aktuellfile"},
    {2820, "RadioGroup_ergebnisgrafik"},
    {2500, "Label_externtxt"},
};

// Column 0 as wide as its longest caption, and the table as wide as all its columns, so that no
// caption is cut short.
void ShowColumnsWhole(QTableWidget* grid) {
  grid->resizeColumnToContents(0);
  int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < grid->columnCount(); ++c) width += grid->columnWidth(c);
  grid->setMinimumWidth(width);
}

}  // namespace

Tconfig::Tconfig(QWidget* parent) : QDialog(parent ? parent : DialogMainWindow()) {
  setObjectName("config");
  BuildPages();
  FormCreate();
}

Tconfig::~Tconfig() = default;

// ---------------------------------------------------------------------------------------------
// Creation

void Tconfig::FormCreate() {
  struct TRange {
    const char* name;
    int min;
    int max;
  };
  // Lines per page start at 5 here; fewer than the page header takes are refused on OK.
  const TRange ranges[] = {
      {"SpinEdit_linesperpage", 5, 999},   {"SpinEdit_spacelines", 0, 30},
      {"SpinEdit_dialogfenster", 30, 300}, {"SpinEdit_dialogelemente", 30, 300},
      {"SpinEdit_dxfdec", 3, 16},          {"SpinEdit_dezimalstellen", 3, 6}};
  for (const TRange& r : ranges) Control<QSpinBox>(r.name)->setRange(r.min, r.max);
  Control<QSpinBox>("SpinEdit_dialogfenster")->setSuffix("%");
  Control<QSpinBox>("SpinEdit_dialogelemente")->setSuffix("%");

  ScaleAndCenterForm(this);
  move(x(), y() - 10);
  setWindowTitle(Caption(ProgramIdentity.programName + " " + "Configuration"));
  Pagecontrol1->setCurrentWidget(Control<QWidget>("Tab_grafik"));

  for (const THint& h : kHints) {
    std::string hint;
    FetchHelpText(h.number, hint);
    if (auto* w = Control<QWidget>(h.name)) w->setToolTip(Q(hint));
  }

  auto fixed = [](QTableWidget* grid, int row, int column, const std::string& text) {
    auto* item = new QTableWidgetItem(Caption(text));
    item->setFlags(Qt::ItemIsEnabled);
    grid->setItem(row, column, item);
  };
  auto* layers = Control<QTableWidget>("StringGrid_layer");
  fixed(layers, 0, 0, "");
  fixed(layers, 0, 1, "Layer");
  fixed(layers, 0, 2, "Colour");
  fixed(layers, 0, 3, "pen width");
  for (int row = 1; row <= 5; ++row) fixed(layers, row, 0, LayerRowDefault(row).lineKind);
  auto* colours = Control<QTableWidget>("StringGrid_color");
  fixed(colours, 0, 0, "");
  fixed(colours, 0, 1, "Colour");
  fixed(colours, 0, 2, "pen width");
  for (int row = 1; row <= 16; ++row) {
    fixed(colours, row, 0, std::string("Colour of layer") + " " + IntStr(row + 15));
  }
  ShowColumnsWhole(colours);

  // The seven output-device names.
  OutputOpen(kOutputCaptionsOnly);
  auto* devices = Control<QComboBox>("ComboBox_ausdruckdefault");
  devices->clear();
  for (int i = 1; i <= 7; ++i) devices->addItem(Caption(TrimStr(ScreenLines[i])));

  auto* units = Control<QComboBox>("ComboBox_unit");
  units->clear();
  for (int i = 1; i <= kUnitSystemNameCount; ++i) {
    units->addItem(Caption(ConfigVariables.UnitSystemNames[i]));
  }

  ConfigSettingsToDialog(*this);
}

// ---------------------------------------------------------------------------------------------
// Bottom buttons

bool Tconfig::AcceptTypedNumbers() {
  TShownTexts typed;
  for (const std::string& name : ConfigNumberFieldNames()) {
    if (auto* field = Control<QLineEdit>(name.c_str())) typed[name] = WinToDos(S(field->text()));
  }
  for (const char* name : {kLinesPerPageField, kHeaderSpaceLinesField}) {
    if (auto* spin = Control<QSpinBox>(name)) typed[name] = S(spin->text());
  }
  const std::optional<TDimensionRefusal> refusal = CheckConfigNumbers(shown_, typed);
  if (!refusal) return true;
  ErrorMessage(refusal->message);
  // The field's page is brought forward so the field can take the focus.
  auto* field = Control<QWidget>(refusal->field.c_str());
  for (QWidget* w = field; w != nullptr; w = w->parentWidget()) {
    if (const int page = Pagecontrol1->indexOf(w); page >= 0) {
      Pagecontrol1->setCurrentIndex(page);
      break;
    }
  }
  field->setFocus();
  if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
  if (auto* spin = qobject_cast<QSpinBox*>(field)) spin->selectAll();
  return false;
}

void Tconfig::Button_okClick() {
  if (!AcceptTypedNumbers()) return;
  ConfigDialogToSettings(*this);
  AbortFlag = false;
  WriteConfig();
  accept();
}

void Tconfig::Button_cancelClick() {
  reject();
}

void Tconfig::reject() {
  AbortFlag = true;
  QDialog::reject();
}

void Tconfig::Button_saveClick() {
  if (!AcceptTypedNumbers()) return;
  ConfigDialogToSettings(*this);
  AbortFlag = false;
  WriteConfig();
  raise();
  activateWindow();
}

void Tconfig::Button_importClick() {
  AbortFlag = false;
  TFileDialogRequest request;
  request.title = "Import";
  request.filter = "*.cfg|*.cfg";
  request.directory = ConfigVariables.ConfigDirectory;
  std::string fileName;
  if (!ShowOpenDialog(request, fileName)) return;
  auto imported = std::make_unique<TConfigRecords>();
  if (!ImportConfiguration(fileName, *imported)) return;
  // The dialog shows the imported settings; the settings in memory wait for OK.
  const TConfigRecords current = TConfigRecords::Take();
  imported->Restore();
  ConfigSettingsToDialog(*this);
  current.Restore();
  imported_ = std::move(imported);
}

void Tconfig::Button_exportClick() {
  if (!AcceptTypedNumbers()) return;
  AbortFlag = false;
  TFileDialogRequest request;
  request.title = "Export";
  request.filter = "*.cfg|*.cfg";
  request.directory = ConfigVariables.ConfigDirectory;
  request.defaultExtension = "cfg";
  std::string fileName;
  if (ShowSaveDialog(request, fileName)) {
    const std::string written = AddBackslash(DirPart(fileName)) + BaseName(fileName) + ".cfg";
    CheckOverwrite(written);
    if (!AbortFlag) {
      // The dialog's values are written, but taken into the settings only by OK or Save.
      const TConfigRecords current = TConfigRecords::Take();
      StoreDialogValues();
      ExportConfiguration(written);
      current.Restore();
    }
  }
  raise();
  activateWindow();
}

// ---------------------------------------------------------------------------------------------

void ConfigurationDialog() {
  {
    Tconfig form;
    form.exec();
  }
  if (QWidget* main = MainWindow()) {
    QPalette p = main->palette();
    p.setColor(QPalette::Window, QtColour(GraphicsVariables.BackgroundColour));
    main->setPalette(p);
  }
}
