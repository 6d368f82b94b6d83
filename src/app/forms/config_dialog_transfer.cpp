// The settings copied into the controls of the configuration dialog and back, with the checks
// applied when they are stored.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>

#include "app/forms/config_dialog.h"
#include "app/forms/config_dialog_support.h"
#include "common/codepage.h"
#include "common/formatting.h"
#include "common/guarded_math.h"
#include "graphics/forms/plot_program_dialog.h"
#include "graphics/graphics_window.h"

using namespace config_form;

// ---------------------------------------------------------------------------------------------
// Settings to controls and back

void ConfigSettingsToDialog(Tconfig& f) {
  auto& ps = ProgramSettings;
  auto& cv = ConfigVariables;
  auto& plot = PlotSettings;
  auto& gv = GraphicsVariables;
  auto& pr = PrintSettings;
  auto& v3 = ViewSettings3D;
  auto text = [&](const char* name, const std::string& value) {
    f.Control<QLineEdit>(name)->setText(Q(value));
  };
  auto real = [&](const char* name, long double value) {
    f.Control<QLineEdit>(name)->setText(Q(ShowReal(f.shown_, name, value)));
  };
  auto integer = [&](const char* name, long long value) { text(name, IntStr(value)); };
  auto checked = [&](const char* name, bool on) { f.Control<QCheckBox>(name)->setChecked(on); };
  auto spinValue = [&](const char* name, int value) { f.Control<QSpinBox>(name)->setValue(value); };
  auto radioIndex = [&](const char* name, int index) {
    SetRadio(f.Control<TRadioGroup>(name), index);
  };
  auto comboIndex = [&](const char* name, int index) {
    auto* c = f.Control<QComboBox>(name);
    c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
  };
  auto labelText = [&](const char* name, const std::string& value) {
    f.Control<QLabel>(name)->setText(Q(value));
  };

  // Directories.
  text("Edit_dirdbf", ps.dbfDirectory);
  text("Edit_dirplt", ps.pltDirectory);
  text("Edit_dirtemp", ps.tempDirectory);
  text("Edit_dirdata", cv.DefaultDataDirectory);
  text("Edit_dircad", ps.cadDirectory);
  text("Edit_direxe", ps.tarvenoDirectory);
  text("Edit_diredi", ps.ediDirectory);
  text("Edit_dirworking", cv.PresetDirectory);

  // Graphics.
  radioIndex("RadioGroup_bildschirmgrafik", ps.ColourOutputFlag ? 0 : 1);
  integer("Edit_x", ps.ScreenWidth + 1);
  integer("Edit_y", ps.ScreenHeight + 1);
  text("Edit_font", gv.GraphicsFont);
  labelText("Label_hstyle", IntStr(gv.GraphicsTextStyle));
  real("Edit_textbreitenfaktor", gv.TextWidthRatio);
  real("Edit_texthoehenfaktor", gv.TextHeightFactor);
  auto* panel = f.Control<QLabel>("Panel_colour");
  SetPanelColour(panel, gv.BackgroundColour);
  const QSize screen = ScreenSize();
  panel->setText(Q(IntStr(screen.width()) + " x " + IntStr(screen.height())));
  real("Edit_zoomfaktor", gv.ZoomFactor);
  real("Edit_panfaktor", gv.PanStep);
  checked("CheckBox_umrandung", pr.ScreendumpBorder);
  spinValue("SpinEdit_dialogfenster", cv.DialogScalePercent);
  spinValue("SpinEdit_dialogelemente", cv.ContentScalePercent);
  checked("CheckBox_3dxyz", v3.AskViewAngles3D);
  real("Edit_3dx", RadToDeg(v3.ViewAngles3D[1]));
  real("Edit_3dy", RadToDeg(v3.ViewAngles3D[2]));
  real("Edit_3dz", RadToDeg(v3.ViewAngles3D[3]));

  // CAD.
  text("Edit_cadfont", plot.cadTextFont);
  real("Edit_cadtextbreite", plot.cadTextWidthRatio);
  real("Edit_cadtextwinkel", plot.cadFontAngle);
  checked("CheckBox_diagrammgrenzen", cv.enterDiagramLimits);
  spinValue("SpinEdit_dxfdec", plot.DxfDecimals);
  radioIndex("radiogroupcadtexttyp", cv.CadTextMode - 1);
  checked("CheckBox_3Dto2D", !v3.flatten3D);
  auto* layers = f.Control<QTableWidget>("StringGrid_layer");
  for (int row = 1; row <= 5; ++row) {
    const int layer = 6 - row;
    layers->setItem(row, 1, new QTableWidgetItem(Q(plot.DxfLayerNames[layer])));
    layers->setItem(row, 2, new QTableWidgetItem(Q(IntStr(plot.LayerColours[layer]))));
    layers->setItem(row, 3, new QTableWidgetItem(Q(IntStr(plot.LayerLineWidths[layer]))));
  }
  checked("CheckBox_layermonochrom", plot.layerMonochrome);

  // Colour.
  auto* colours = f.Control<QTableWidget>("StringGrid_color");
  for (int row = 1; row <= 16; ++row) {
    colours->setItem(row, 1, new QTableWidgetItem(Q(IntStr(plot.PenNumbers[row + 15]))));
    colours->setItem(row, 2, new QTableWidgetItem(Q(IntStr(plot.PenWidths[row + 15]))));
  }
  for (int entry = 0; entry <= 15; ++entry) {
    SetPanelColour(f.Control<QWidget>(("Panel_color" + IntStr(entry)).c_str()),
                   gv.ColourTable[static_cast<std::size_t>(entry)]);
  }

  // Printer.
  real("Edit_printscale", pr.ScreendumpScale);
  real("Edit_printscaley", pr.PrintScaleVertical);
  integer("Edit_printxorigin", pr.ScreendumpOriginX);
  integer("Edit_printyorigin", pr.ScreendumpOriginY);
  radioIndex("RadioGroup_printmono", ps.WindowsPrintMode - 1);
  radioIndex("RadioGroup_orientation", pr.PrintOrientation - 1);
  checked("CheckBox_printerDialogbox", pr.PrintDialogFlag);
  comboIndex("ComboBox_lpt", ps.PrinterInterface - 1);

  // Printout.
  radioIndex("RadioGroup_trenn", ps.ReportLineType - 1);
  spinValue("SpinEdit_linesperpage", ps.LinesPerPage);
  spinValue("SpinEdit_spacelines", cv.HeaderSpaceLines);
  radioIndex("RadioGroup_date", cv.DateStyle - 1);
  auto* device = f.Control<QComboBox>("ComboBox_ausdruckdefault");
  const int deviceIndex = cv.OutputDevice - 1;
  device->setCurrentIndex(deviceIndex >= 0 && deviceIndex < device->count() ? deviceIndex : -1);
  if (device->currentIndex() < 0) device->setEditText(QString());
  checked("CheckBox_ausdruckshowdialog", cv.AskOutputDevice);
  integer("Edit_left", pr.TextWindowRect.left);
  integer("Edit_top", pr.TextWindowRect.top);
  integer("Edit_width", pr.TextWindowRect.width);
  integer("Edit_height", pr.TextWindowRect.height);
  radioIndex("RadioGroup_ff", cv.ReportHeaderMode - 1);
  labelText("Label_courier", pr.PrintoutFont);
  labelText("Label_couriersize", IntStr(pr.PrintoutTextSize));
  labelText("Label_courierstyle", IntStr(pr.PrintoutTextStyle));
  comboIndex("ComboBox_unit", cv.UnitSystem);
  radioIndex("RadioGroup_ausgrad", cv.optionWordAfter3D - 1);

  // Settings.
  radioIndex("RadioGroup_hilfegrad", ps.HelpLevel);
  checked("CheckBox_initfloat", cv.tailOptionFlag);
  radioIndex("RadioGroup_punktkomma", cv.DecimalCommaMode - 1);
  radioIndex("RadioGroup_ExcelDot", cv.tailOptionWord - 1);
  spinValue("SpinEdit_dezimalstellen", ps.FloatDigits);
  checked("CheckBox_archivmode", ps.ArchiveFlag);
  checked("CheckBox_aktuellfile", ps.unlabelledInteger == 0);
  radioIndex("RadioGroup_chars", cv.CharMode);
  radioIndex("RadioGroup_ergebnisgrafik", cv.ResultScreen);
  checked("CheckBox_saveMenuLanguage", cv.KeepLanguage);

  // External programs.
  text("Edit_externtxt", cv.WordProcessorPath);
  text("Edit_externhtml", cv.HtmlBrowserPath);
  auto* list = f.Control<QListWidget>("ListBox_vectrix");
  list->clear();
  for (int i = 1; i <= kPlotCommandLineCount; ++i) {
    list->addItem(Q(plot.PlotCommandLines.lines[i]));
    f.shown_["ListBox_vectrix" + IntStr(i)] = plot.PlotCommandLines.lines[i];
  }

  // Drawing.
  radioIndex("RadioGroup_index", cv.ChangeIndexStyle);
  text("Edit_freigabefeld", DosToWin(plot.ReleaseRowLabel));
  real("Edit_massfaktorconfig", plot.cadFactor);
  checked("CheckBox_zeichtarvenotitel", !plot.HideMakerTitle);
  checked("CheckBox_zeichfilename", !plot.HideFileName);
  checked("CheckBox_zeichdatum", !plot.HideDateLine);
  checked("CheckBox_zeichlogo", !plot.HideLogo);
  checked("CheckBox_zeichfusszeile", !plot.HideFooterLine);
  checked("CheckBox_zeichnungskopf", !plot.HideTitleBlock);
  comboIndex("ComboBox_zeichnkopf", cv.TitleBlockKind);
}

void Tconfig::StoreDialogValues() {
  Tconfig& f = *this;
  if (imported_) imported_->Restore();
  auto& ps = ProgramSettings;
  auto& cv = ConfigVariables;
  auto& plot = PlotSettings;
  auto& gv = GraphicsVariables;
  auto& pr = PrintSettings;
  auto& v3 = ViewSettings3D;
  auto text = [&](const char* name) { return S(f.Control<QLineEdit>(name)->text()); };
  auto real = [&](const char* name, long double value) {
    return EditedReal(shown_, name, text(name), value);
  };
  auto integer = [&](const char* name) { return StrToInteger(text(name)); };
  auto checked = [&](const char* name) { return f.Control<QCheckBox>(name)->isChecked(); };
  auto spinValue = [&](const char* name) { return f.Control<QSpinBox>(name)->value(); };
  auto radioIndex = [&](const char* name) { return f.Control<TRadioGroup>(name)->ItemIndex(); };
  auto comboIndex = [&](const char* name) { return f.Control<QComboBox>(name)->currentIndex(); };
  auto labelInt = [&](const char* name) {
    return StrToInteger(S(f.Control<QLabel>(name)->text()));
  };

  // Directories (the working directory and the user name are only shown).
  ps.dbfDirectory = text("Edit_dirdbf");
  ps.pltDirectory = text("Edit_dirplt");
  ps.tempDirectory = text("Edit_dirtemp");
  cv.DefaultDataDirectory = text("Edit_dirdata");
  ps.cadDirectory = text("Edit_dircad");
  ps.tarvenoDirectory = text("Edit_direxe");
  ps.ediDirectory = text("Edit_diredi");

  // Graphics.
  if (const int i = radioIndex("RadioGroup_bildschirmgrafik"); i >= 0) ps.ColourOutputFlag = i == 0;
  const QSize screen = ScreenSize();
  const int frameWidth = frameGeometry().width() - geometry().width();
  const int frameHeight = frameGeometry().height() - geometry().height();
  ps.ScreenWidth =
      static_cast<std::uint16_t>(StoredWindowSize(integer("Edit_x"), screen.width(), frameWidth));
  ps.ScreenHeight =
      static_cast<std::uint16_t>(StoredWindowSize(integer("Edit_y"), screen.height(), frameHeight));
  gv.GraphicsFont = text("Edit_font");
  gv.GraphicsTextStyle = static_cast<std::int16_t>(labelInt("Label_hstyle"));
  gv.TextWidthRatio = real("Edit_textbreitenfaktor", gv.TextWidthRatio);
  if (gv.TextWidthRatio == 0) gv.TextWidthRatio = 1.0L;
  gv.TextHeightFactor = real("Edit_texthoehenfaktor", gv.TextHeightFactor);
  if (gv.TextHeightFactor == 0) gv.TextHeightFactor = 1.0L;
  gv.BackgroundColour = PanelColour(f.Control<QWidget>("Panel_colour"));
  gv.ZoomFactor = real("Edit_zoomfaktor", gv.ZoomFactor);
  if (gv.ZoomFactor == 0) gv.ZoomFactor = 1.0L;
  gv.PanStep = real("Edit_panfaktor", gv.PanStep);
  pr.PrintBorder = checked("CheckBox_umrandung");
  pr.ScreendumpBorder = pr.PrintBorder;
  cv.DialogScalePercent = spinValue("SpinEdit_dialogfenster");
  if (cv.DialogScalePercent == 0) cv.DialogScalePercent = 100;
  cv.ContentScalePercent = spinValue("SpinEdit_dialogelemente");
  if (cv.ContentScalePercent == 0) cv.ContentScalePercent = 100;
  v3.AskViewAngles3D = checked("CheckBox_3dxyz");
  const char* angleNames[] = {"Edit_3dx", "Edit_3dy", "Edit_3dz"};
  for (int i = 1; i <= 3; ++i) {
    const char* name = angleNames[i - 1];
    const auto it = shown_.find(name);
    if (it == shown_.end() || it->second != text(name)) {
      v3.ViewAngles3D[i] = DegToRad(StrToReal(text(name)));
    }
  }

  // CAD.
  plot.cadTextFont = text("Edit_cadfont");
  plot.cadTextWidthRatio = real("Edit_cadtextbreite", plot.cadTextWidthRatio);
  plot.cadFontAngle = real("Edit_cadtextwinkel", plot.cadFontAngle);
  cv.enterDiagramLimits = checked("CheckBox_diagrammgrenzen");
  plot.DxfDecimals = spinValue("SpinEdit_dxfdec");
  StoreChoice(radioIndex("radiogroupcadtexttyp"), 1, cv.CadTextMode);
  v3.flatten3D = !checked("CheckBox_3Dto2D");
  auto* layers = f.Control<QTableWidget>("StringGrid_layer");
  auto cell = [](QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? S(item->text()) : std::string();
  };
  for (int row = 1; row <= 5; ++row) {
    const int layer = 6 - row;
    plot.DxfLayerNames[layer] = cell(layers, row, 1);
    plot.LayerColours[layer] = StrToInteger(cell(layers, row, 2));
    plot.LayerLineWidths[layer] = StrToInteger(cell(layers, row, 3));
  }
  plot.layerMonochrome = checked("CheckBox_layermonochrom");

  // Colour.
  auto* colours = f.Control<QTableWidget>("StringGrid_color");
  for (int row = 1; row <= 16; ++row) {
    plot.PenNumbers[row + 15] = StrToInteger(cell(colours, row, 1));
    plot.PenWidths[row + 15] = StrToInteger(cell(colours, row, 2));
  }
  for (int entry = 0; entry <= 15; ++entry) {
    gv.ColourTable[static_cast<std::size_t>(entry)] =
        PanelColour(f.Control<QWidget>(("Panel_color" + IntStr(entry)).c_str()));
  }

  // Printer.
  pr.ScreendumpScale = static_cast<double>(real("Edit_printscale", pr.ScreendumpScale));
  pr.PrintScaleVertical = static_cast<double>(real("Edit_printscaley", pr.PrintScaleVertical));
  pr.ScreendumpOriginX = integer("Edit_printxorigin");
  pr.ScreendumpOriginY = integer("Edit_printyorigin");
  StoreChoice(radioIndex("RadioGroup_printmono"), 1, ps.WindowsPrintMode);
  StoreChoice(radioIndex("RadioGroup_orientation"), 1, pr.PrintOrientation);
  pr.PrintDialogFlag = checked("CheckBox_printerDialogbox");
  StoreChoice(comboIndex("ComboBox_lpt"), 1, ps.PrinterInterface);

  // Printout.
  StoreChoice(radioIndex("RadioGroup_trenn"), 1, ps.ReportLineType);
  ps.LinesPerPage = spinValue("SpinEdit_linesperpage");
  cv.HeaderSpaceLines = spinValue("SpinEdit_spacelines");
  StoreChoice(radioIndex("RadioGroup_date"), 1, cv.DateStyle);
  std::vector<std::string> deviceNames;
  for (int i = 1; i <= 7; ++i) deviceNames.push_back(DosToWin(TrimStr(ScreenLines[i])));
  auto* device = f.Control<QComboBox>("ComboBox_ausdruckdefault");
  cv.OutputDevice = static_cast<std::uint16_t>(
      OutputDeviceOfName(S(device->currentText()), deviceNames, cv.OutputDevice));
  cv.AskOutputDevice = checked("CheckBox_ausdruckshowdialog");
  pr.TextWindowRect =
      CheckedTextWindow(integer("Edit_left"), integer("Edit_top"), integer("Edit_width"),
                        integer("Edit_height"), ps.ScreenHeight + 1);
  StoreChoice(radioIndex("RadioGroup_ff"), 1, cv.ReportHeaderMode);
  pr.PrintoutFont = S(f.Control<QLabel>("Label_courier")->text());
  pr.PrintoutTextSize = static_cast<std::int16_t>(labelInt("Label_couriersize"));
  pr.PrintoutTextStyle = static_cast<std::int16_t>(labelInt("Label_courierstyle"));
  StoreChoice(comboIndex("ComboBox_unit"), 0, cv.UnitSystem);
  StoreChoice(radioIndex("RadioGroup_ausgrad"), 1, cv.optionWordAfter3D);

  // Settings.
  StoreChoice(radioIndex("RadioGroup_hilfegrad"), 0, ps.HelpLevel);
  cv.tailOptionFlag = checked("CheckBox_initfloat");
  StoreChoice(radioIndex("RadioGroup_punktkomma"), 1, cv.DecimalCommaMode);
  StoreChoice(radioIndex("RadioGroup_ExcelDot"), 1, cv.tailOptionWord);
  ps.FloatDigits = spinValue("SpinEdit_dezimalstellen");
  ps.ArchiveFlag = checked("CheckBox_archivmode");
  ps.unlabelledInteger = checked("CheckBox_aktuellfile") ? 0 : 1;
  StoreChoice(radioIndex("RadioGroup_chars"), 0, cv.CharMode);
  StoreChoice(radioIndex("RadioGroup_ergebnisgrafik"), 0, cv.ResultScreen);
  cv.KeepLanguage = checked("CheckBox_saveMenuLanguage");

  // External programs: an edited plot command line is kept and offered, so the count of lines
  // grows to include it.
  cv.WordProcessorPath = text("Edit_externtxt");
  cv.HtmlBrowserPath = text("Edit_externhtml");
  auto* list = f.Control<QListWidget>("ListBox_vectrix");
  auto& commandLines = plot.PlotCommandLines;
  for (int i = 1; i <= kPlotCommandLineCount && i <= list->count(); ++i) {
    const std::string line = S(list->item(i - 1)->text());
    if (shown_["ListBox_vectrix" + IntStr(i)] != line && commandLines.count < i) {
      commandLines.count = static_cast<std::uint16_t>(i);
    }
    commandLines.lines[i] = line;
  }

  // Drawing.
  StoreChoice(radioIndex("RadioGroup_index"), 0, cv.ChangeIndexStyle);
  plot.ReleaseRowLabel = WinToDos(text("Edit_freigabefeld"));
  plot.cadFactor = real("Edit_massfaktorconfig", plot.cadFactor);
  if (plot.cadFactor < 0.01L) plot.cadFactor = 1.0L;
  plot.HideMakerTitle = !checked("CheckBox_zeichtarvenotitel");
  plot.HideFileName = !checked("CheckBox_zeichfilename");
  plot.HideDateLine = !checked("CheckBox_zeichdatum");
  plot.HideLogo = !checked("CheckBox_zeichlogo");
  plot.HideFooterLine = !checked("CheckBox_zeichfusszeile");
  plot.HideTitleBlock = !checked("CheckBox_zeichnungskopf");
  StoreChoice(comboIndex("ComboBox_zeichnkopf"), 0, cv.TitleBlockKind);

  KeepConfigValuesReadable();
}

void ConfigDialogToSettings(Tconfig& form) {
  form.StoreDialogValues();
  form.imported_.reset();
  SetMainClientSize(ProgramSettings.ScreenWidth + 1, ProgramSettings.ScreenHeight + 1);
  if (GraphicsWindowInstance != nullptr) GraphicsWindowInstance->ClearViewPort();
}
