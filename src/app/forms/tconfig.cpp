// The configuration dialog: its pages, the copy of the settings into the controls and back, and
// the buttons that fill fields, pick directories, programs, fonts and colours.
#include "app/forms/tconfig.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "app/forms/tform_selectcolor.h"
#include "common/codepage.h"
#include "common/config_file.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/forms/form_placement.h"
#include "common/forms/help_buttons.h"
#include "common/forms/text_printing.h"
#include "common/guarded_math.h"
#include "common/help_texts.h"
#include "common/output_router.h"
#include "common/system_info.h"
#include "graphics/forms/plot_program_dialog.h"
#include "graphics/graphics_window.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
// Captions are kept in the DOS code page like every text of the program.
QString Caption(const std::string& text) {
  return Q(DosToWin(text));
}
std::string S(const QString& text) {
  return text.toStdString();
}

QColor QtColour(TColourRef c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
TColourRef ColourRef(const QColor& c) {
  return RgbValue(c.red(), c.green(), c.blue());
}

void SetPanelColour(QWidget* panel, TColourRef colour) {
  QPalette p = panel->palette();
  p.setColor(QPalette::Window, QtColour(colour));
  panel->setPalette(p);
}
TColourRef PanelColour(const QWidget* panel) {
  return ColourRef(panel->palette().color(QPalette::Window));
}

// A radio group showing index; an index it does not have leaves every item off.
void SetRadio(TRadioGroup* group, int index) {
  if (index >= 0 && index < group->Count()) {
    group->SetItemIndex(index);
    return;
  }
  const auto items = group->findChildren<QRadioButton*>();
  QButtonGroup* buttons = items.isEmpty() ? nullptr : items.first()->group();
  if (buttons) buttons->setExclusive(false);
  for (QRadioButton* b : items) b->setChecked(false);
  if (buttons) buttons->setExclusive(true);
}

// A code stored back from a radio group or combo box; nothing chosen keeps the stored code.
template <typename T>
void StoreChoice(int index, int offset, T& code) {
  if (index >= 0) code = static_cast<T>(index + offset);
}

// The main window and its client area (the central widget of a main window).
QWidget* MainWindow() {
  return DialogMainWindow();
}
// The layout places the central widget; it is brought up to date before it is measured.
void UpdateLayout(QWidget* main) {
  if (main->layout() != nullptr) main->layout()->activate();
}
QSize MainClientSize(QWidget* main) {
  if (auto* mw = qobject_cast<QMainWindow*>(main); mw && mw->centralWidget()) {
    UpdateLayout(main);
    return mw->centralWidget()->size();
  }
  return main->size();
}
void SetMainClientSize(int width, int height) {
  QWidget* main = MainWindow();
  if (main == nullptr) return;
  const QSize client = MainClientSize(main);
  main->resize(width + (main->width() - client.width()),
               height + (main->height() - client.height()));
  UpdateLayout(main);
}
QSize ScreenSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size() : QSize(ScreenMetrics.width, ScreenMetrics.height);
}
// Outer and client height of the main window, from the screen metrics without one.
void MainHeights(int& outer, int& client) {
  QWidget* main = MainWindow();
  if (main == nullptr) {
    outer = ScreenMetrics.mainWindowHeight;
    client = ScreenMetrics.mainClientHeight;
    return;
  }
  outer = main->frameGeometry().height();
  client = MainClientSize(main).height();
}

bool ChooseColour(QWidget* parent, TColourRef start, TColourRef& chosen) {
  QColorDialog dialog(QtColour(start), parent);
  dialog.setObjectName("ColorDialog1");
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  chosen = ColourRef(dialog.selectedColor());
  return true;
}

bool ChooseFont(QWidget* parent, QFont& font) {
  QFontDialog dialog(font, parent);
  dialog.setObjectName("FontDialog1");
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  font = dialog.selectedFont();
  return true;
}

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

// The data file's full name for the caption of the file-name option; empty without a file.
std::string CurrentDataFileName() {
  if (CurrentFileName.empty()) return {};
  if (ProgramSettings.FileFromCommandLine) return CurrentFileName;
  return AddBackslash(DataDirectory) + CurrentFileName + "." + ProgramIdentity.shortName;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Building the pages

Tconfig::Tconfig(QWidget* parent) : QDialog(parent ? parent : DialogMainWindow()) {
  setObjectName("config");
  BuildPages();
  FormCreate();
}

Tconfig::~Tconfig() = default;

void Tconfig::BuildPages() {
  Pagecontrol1 = new QTabWidget(this);
  Pagecontrol1->setObjectName("Pagecontrol1");

  auto page = [&](const char* name, const char* caption) {
    auto* w = new QWidget;
    w->setObjectName(name);
    Pagecontrol1->addTab(w, Caption(caption));
    auto* grid = new QGridLayout(w);
    return grid;
  };
  auto named = [](QWidget* w, const char* name) {
    w->setObjectName(name);
    return w;
  };
  auto label = [&](const std::string& text, const char* name) {
    return static_cast<QLabel*>(named(new QLabel(Caption(text)), name));
  };
  auto edit = [&](const char* name) { return static_cast<QLineEdit*>(named(new QLineEdit, name)); };
  auto button = [&](const std::string& text, const char* name, auto handler) {
    auto* b = static_cast<QPushButton*>(named(new QPushButton(Caption(text)), name));
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  auto check = [&](const std::string& text, const char* name) {
    return static_cast<QCheckBox*>(named(new QCheckBox(Caption(text)), name));
  };
  auto spin = [&](const char* name) { return static_cast<QSpinBox*>(named(new QSpinBox, name)); };
  // Item texts are shown exactly as written here (UTF-8).
  auto radio = [&](const std::string& caption, std::initializer_list<const char*> items,
                   const char* name) {
    QStringList list;
    for (const char* i : items) list << QString::fromUtf8(i);
    auto* g = new TRadioGroup(Caption(caption), list);
    g->setObjectName(name);
    return g;
  };
  auto stdButton = [&](const char* name, auto handler) { return button("<", name, handler); };
  auto helpButton = [&](const std::string& text, const char* name, int number) {
    auto* b = static_cast<QPushButton*>(named(new QPushButton(Caption(text)), name));
    connect(b, &QPushButton::clicked, this, [this, number] { ShowDialogHelpText(this, number); });
    return b;
  };

  // Directories.
  {
    QGridLayout* g = page("Tab_dir", "Directories");
    struct TDirRow {
      std::string caption;
      const char* label;
      const char* edit;
      const char* button;
    };
    const TDirRow rows[] = {
        {"Database directory (dbf)", "Label_dirdbf", "Edit_dirdbf", "Button_dirdbf"},
        {"Directory help(hlp), images(plt), demo(dem)", "Label_dirplt", "Edit_dirplt",
         "Button_dirplt"},
        {"Temporary directory", "Label_dirtemp", "Edit_dirtemp", "Button_dirtemp"},
        {"." + ProgramIdentity.shortName + " Directory", "Label_dirdata", "Edit_dirdata",
         "Button_dirdata"},
        {"CAD Directory", "Label_dircad", "Edit_dircad", "Button_dircad"},
        {"TARVENO EXE Directory", "Label_direxe", "Edit_direxe", "Button_direxe"},
        {"EDI Directory", "Label_diredi", "Edit_diredi", "Button_diredi"},
    };
    int r = 0;
    for (const TDirRow& row : rows) {
      g->addWidget(label(row.caption, row.label), r, 0);
      QLineEdit* field = edit(row.edit);
      g->addWidget(field, r, 1);
      g->addWidget(button("...", row.button, [this, field] { Button_dirClick(field); }), r, 2);
      ++r;
    }
    g->addWidget(stdButton("Button_dirtempenv", &Tconfig::Button_dirtempenvClick), 2, 3);
    g->addWidget(label("Working Directory", "Label_dirworking"), r, 0);
    QLineEdit* working = edit("Edit_dirworking");
    working->setEnabled(false);
    g->addWidget(working, r, 1);
    g->addWidget(helpButton("?", "Button_workingDir", 1605), r, 2);
    ++r;
    g->addWidget(label("User: " + GetEnvVar("USERNAME"), "Label_user"), r, 0, 1, 3);
  }

  // Graphics.
  {
    QGridLayout* g = page("Tab_grafik", "Graphics");
    g->addWidget(radio("Color graphics", {"color", "monochrom"}, "RadioGroup_bildschirmgrafik"), 0,
                 0, 1, 2);
    auto* size = static_cast<QGroupBox*>(
        named(new QGroupBox(Caption("Window Size")), "GroupBox_aufloesung"));
    auto* sizeRow = new QHBoxLayout(size);
    QLineEdit* x = edit("Edit_x");
    QLineEdit* y = edit("Edit_y");
    x->setMaxLength(4);
    y->setMaxLength(4);
    sizeRow->addWidget(x);
    sizeRow->addWidget(new QLabel("x"));
    sizeRow->addWidget(y);
    sizeRow->addWidget(stdButton("Button_aufloesung", &Tconfig::Button_aufloesungClick));
    connect(x, &QLineEdit::editingFinished, this, &Tconfig::Edit_xExit);
    connect(y, &QLineEdit::editingFinished, this, &Tconfig::Edit_yExit);
    g->addWidget(size, 0, 2, 1, 2);

    auto* panel = label("", "Panel_colour");
    panel->setAutoFillBackground(true);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumSize(120, 24);
    g->addWidget(panel, 1, 0, 1, 2);
    g->addWidget(button(std::string("background colour") + "...", "Button_hintergrundfarbe",
                        &Tconfig::Button_hintergrundfarbeClick),
                 1, 2, 1, 2);

    g->addWidget(edit("Edit_font"), 2, 0);
    g->addWidget(label("0", "Label_hstyle"), 2, 1);
    g->addWidget(button("Font...", "Button_font", &Tconfig::Button_fontClick), 2, 2);

    struct TRealRow {
      const char* caption;
      const char* label;
      const char* edit;
      const char* button;
      void (Tconfig::*handler)();
    };
    const TRealRow rows[] = {
        {"Textwidth/height", "Label_textbreitenfaktor", "Edit_textbreitenfaktor",
         "Button_textbreitenfaktor", &Tconfig::Button_textbreitenfaktorClick},
        {"Text height factor", "Label_texthoehenfaktor", "Edit_texthoehenfaktor",
         "Button_texthoehenfaktor", &Tconfig::Button_texthoehenfaktorClick},
        {"zoom increment", "Label_zoomfaktor", "Edit_zoomfaktor", "Button_zoom",
         &Tconfig::Button_zoomClick},
        {"pan faktor", "Label_panfaktor", "Edit_panfaktor", "Button_pan",
         &Tconfig::Button_panClick},
    };
    int r = 3;
    for (const TRealRow& row : rows) {
      g->addWidget(label(row.caption, row.label), r, 0);
      g->addWidget(edit(row.edit), r, 1);
      g->addWidget(stdButton(row.button, row.handler), r, 2);
      ++r;
    }
    g->addWidget(check("Border line", "CheckBox_umrandung"), r++, 0, 1, 2);
    g->addWidget(label("dialog window size", "Label_dialogfenster"), r, 0);
    g->addWidget(spin("SpinEdit_dialogfenster"), r, 1);
    g->addWidget(stdButton("Button_dialogsize", &Tconfig::Button_dialogsizeClick), r++, 2);
    g->addWidget(label("Dialog element size", "Label_dialogelemente"), r, 0);
    g->addWidget(spin("SpinEdit_dialogelemente"), r, 1);
    g->addWidget(stdButton("Button_dialogelemente", &Tconfig::Button_dialogelementeClick), r++, 2);
    g->addWidget(check("3D Edit x,y,z", "CheckBox_3dxyz"), r++, 0, 1, 2);
    const char* axes[][2] = {{"x °", "Edit_3dx"}, {"y °", "Edit_3dy"}, {"z °", "Edit_3dz"}};
    auto* angles = new QHBoxLayout;
    for (const auto& axis : axes) {
      angles->addWidget(new QLabel(QString::fromUtf8(axis[0])));
      angles->addWidget(edit(axis[1]));
    }
    g->addLayout(angles, r++, 0, 1, 3);
    g->addWidget(helpButton("&Help", "Button_grafikhilfe", 1940), r, 2);
  }

  // CAD.
  {
    QGridLayout* g = page("Tab_cad", "CAD");
    g->addWidget(label("Text font", "Label_cadfont"), 0, 0);
    g->addWidget(edit("Edit_cadfont"), 0, 1);
    g->addWidget(label("Textwidth/height", "Label_cadtextbreite"), 1, 0);
    g->addWidget(edit("Edit_cadtextbreite"), 1, 1);
    g->addWidget(stdButton("Button_cadtextbreite", &Tconfig::Button_cadtextbreiteClick), 1, 2);
    g->addWidget(label("Font angle", "Label_cadtextwinkel"), 2, 0);
    g->addWidget(edit("Edit_cadtextwinkel"), 2, 1);
    g->addWidget(stdButton("Button_cadtextwinkel", &Tconfig::Button_cadtextwinkelClick), 2, 2);
    g->addWidget(check("Enter limits of diagrams", "CheckBox_diagrammgrenzen"), 3, 0, 1, 2);
    g->addWidget(label("number of digits for floating point numbers DXF, TXT", "Label_dxfdec"), 4,
                 0);
    g->addWidget(spin("SpinEdit_dxfdec"), 4, 1);
    g->addWidget(stdButton("Button_dxfdec", &Tconfig::Button_dxfdecClick), 4, 2);
    g->addWidget(
        radio("Text Type", {"OEM (ASCII)", "ANSI", "Ä->Ae, ß->ss..."}, "radiogroupcadtexttyp"), 5,
        0, 1, 2);
    g->addWidget(check("3D->2D DXF/IGES", "CheckBox_3Dto2D"), 6, 0, 1, 2);

    auto* layers = static_cast<QTableWidget*>(named(new QTableWidget(6, 4), "StringGrid_layer"));
    layers->horizontalHeader()->hide();
    layers->verticalHeader()->hide();
    g->addWidget(layers, 7, 0, 1, 3);
    auto* layerButtons = new QVBoxLayout;
    const char* layerNames[] = {"Button_layer5", "Button_layer4", "Button_layer3", "Button_layer2",
                                "Button_layer1"};
    for (int row = 1; row <= 5; ++row) {
      const int layer = LayerRowDefault(row).layer;
      layerButtons->addWidget(
          stdButton(layerNames[row - 1], [this, layer] { Button_layerClick(layer); }));
    }
    g->addLayout(layerButtons, 7, 3);
    g->addWidget(check("Layer Monochrome ?", "CheckBox_layermonochrom"), 8, 0, 1, 2);
    g->addWidget(button(std::string("Colour") + "...", "Button_selectlayercolor",
                        &Tconfig::Button_selectlayercolorClick),
                 8, 2);
    auto* help = new QHBoxLayout;
    help->addWidget(helpButton("&Help", "Button_helpcad", 1920));
    help->addWidget(helpButton("Layer &Help", "Button_layerhilfe", 1910));
    g->addLayout(help, 9, 0, 1, 3);
  }

  // Colour.
  {
    QGridLayout* g = page("Tab_color", "Colour");
    auto* colours = static_cast<QTableWidget*>(named(new QTableWidget(17, 3), "StringGrid_color"));
    colours->horizontalHeader()->hide();
    colours->verticalHeader()->hide();
    colours->setColumnWidth(1, 60);
    colours->setColumnWidth(2, 60);
    connect(colours, &QTableWidget::cellDoubleClicked, this, &Tconfig::StringGrid_colorDblClick);
    g->addWidget(colours, 0, 0, 6, 1);
    auto* panels = new QGridLayout;
    for (int entry = 0; entry <= 15; ++entry) {
      const std::string name = "Panel_color" + IntStr(entry);
      auto* p = new QLabel(Q(IntStr(ColourPanelCaption(entry))));
      p->setObjectName(Q(name));
      p->setAutoFillBackground(true);
      p->setAlignment(Qt::AlignCenter);
      p->setMinimumSize(32, 24);
      p->setProperty("colourEntry", entry);
      p->installEventFilter(this);
      if (entry == 0) p->hide();
      // Laid out by the colour number the user knows.
      const int place = ColourPanelCaption(entry) - 1;
      panels->addWidget(p, place / 4, place % 4);
    }
    g->addLayout(panels, 0, 1, 1, 3);
    g->addWidget(
        button(std::string("pen width") + "=1", "Button_dick1", [this] { Button_dickClick(1); }), 1,
        1);
    g->addWidget(
        button(std::string("pen width") + "=2", "Button_dick2", [this] { Button_dickClick(2); }), 1,
        2);
    g->addWidget(
        button(std::string("pen width") + "=3", "Button_dick3", [this] { Button_dickClick(3); }), 1,
        3);
    g->addWidget(button(std::string("Colour") + "...", "Button_selectcolor",
                        &Tconfig::Button_selectcolorClick),
                 2, 1);
    g->addWidget(button("Reset", "Button_resetcolor", &Tconfig::Button_resetcolorClick), 2, 2);
    g->addWidget(helpButton("&Help", "Button_colorhilfe", 1555), 2, 3);
  }

  // Printer.
  {
    QGridLayout* g = page("Tab_drucker", "Printer");
    g->addWidget(label("Scale x", "Label_printscale"), 0, 0);
    g->addWidget(edit("Edit_printscale"), 0, 1);
    g->addWidget(stdButton("Button_printscalex1", &Tconfig::Button_printscalex1Click), 0, 2);
    g->addWidget(label("Scale y", "Label_printscaley"), 1, 0);
    g->addWidget(edit("Edit_printscaley"), 1, 1);
    g->addWidget(stdButton("Button_scaleyx", &Tconfig::Button_scaleyxClick), 1, 2);
    auto* origin =
        static_cast<QGroupBox*>(named(new QGroupBox(Caption("Origin")), "GroupBox_origin"));
    auto* o = new QGridLayout(origin);
    o->addWidget(new QLabel("x"), 0, 0);
    o->addWidget(edit("Edit_printxorigin"), 0, 1);
    o->addWidget(stdButton("Button_printxorigin", &Tconfig::Button_printxoriginClick), 0, 2);
    o->addWidget(new QLabel("y"), 1, 0);
    o->addWidget(edit("Edit_printyorigin"), 1, 1);
    o->addWidget(stdButton("Button_printyorigin", &Tconfig::Button_printyoriginClick), 1, 2);
    g->addWidget(origin, 2, 0, 1, 3);
    g->addWidget(radio("shading", {"Monochrome", "Color / grey-scale"}, "RadioGroup_printmono"), 3,
                 0, 1, 2);
    g->addWidget(radio("Orientation", {"Portrait", "Landscape"}, "RadioGroup_orientation"), 3, 2);
    QCheckBox* dialogBox = check("Show output code dialogue box", "CheckBox_printerDialogbox");
    dialogBox->hide();
    g->addWidget(dialogBox, 4, 0, 1, 2);
    g->addWidget(label("LPT-Interface for text printing (Console)", "Label_lpt"), 5, 0);
    auto* lpt = static_cast<QComboBox*>(named(new QComboBox, "ComboBox_lpt"));
    lpt->addItems({"LPT1", "LPT2", "LPT3", "LPT4"});
    g->addWidget(lpt, 5, 1);
    g->addWidget(helpButton("&Help", "Button_helpprint", 1935), 6, 2);
  }

  // Printout.
  {
    QGridLayout* g = page("Tab_textdruck", "Printout");
    g->addWidget(radio("Select linetype",
                       {"lines  ---- ====  ****", "lines  ÄÄÄÄ ÍÍÍÍ  ", "blanks and empty lines",
                        "compressed, without space lines"},
                       "RadioGroup_trenn"),
                 0, 0, 1, 2);
    g->addWidget(
        radio("date", {"DD.MM.YYYY", "MM/DD/YYYY", "YYYY/MM/DD", "DD/MM/YYYY"}, "RadioGroup_date"),
        0, 2, 1, 2);
    g->addWidget(label("Max. lines per page for printer", "Label_linesperpage"), 1, 0);
    g->addWidget(spin("SpinEdit_linesperpage"), 1, 1);
    g->addWidget(label("header space lines", "Label_spacelines"), 1, 2);
    g->addWidget(spin("SpinEdit_spacelines"), 1, 3);
    auto* device = static_cast<QGroupBox*>(
        named(new QGroupBox(Caption("output code")), "GroupBox_ausdruckdefault"));
    auto* d = new QVBoxLayout(device);
    auto* combo = static_cast<QComboBox*>(named(new QComboBox, "ComboBox_ausdruckdefault"));
    combo->setEditable(true);
    d->addWidget(combo);
    d->addWidget(check("Show output code dialogue box", "CheckBox_ausdruckshowdialog"));
    g->addWidget(device, 2, 0, 1, 2);
    auto* window = static_cast<QGroupBox*>(
        named(new QGroupBox(Caption("Text window")), "GroupBox_textwindow"));
    auto* w = new QGridLayout(window);
    const char* places[][2] = {{"left", "Edit_left"},
                               {"top", "Edit_top"},
                               {"width", "Edit_width"},
                               {"height", "Edit_height"}};
    for (int i = 0; i < 4; ++i) {
      w->addWidget(new QLabel(Caption(places[i][0])), i, 0);
      w->addWidget(edit(places[i][1]), i, 1);
    }
    w->addWidget(stdButton("Button_Textwindow", &Tconfig::Button_TextwindowClick), 4, 1);
    g->addWidget(window, 2, 2, 1, 2);
    g->addWidget(radio("text printout", {"with header", "header only page 1"}, "RadioGroup_ff"), 3,
                 0, 1, 2);
    auto* font = new QHBoxLayout;
    font->addWidget(label("Courier New", "Label_courier"));
    font->addWidget(label("10", "Label_couriersize"));
    font->addWidget(label("0", "Label_courierstyle"));
    font->addWidget(button("Font..", "Button_textfont", &Tconfig::Button_textfontClick));
    g->addLayout(font, 3, 2, 1, 2);
    g->addWidget(label("Unit", "Label_unit"), 4, 0);
    g->addWidget(named(new QComboBox, "ComboBox_unit"), 4, 1);
    g->addWidget(radio(" Angle ", {"15.1234°", "15° 7' 26\""}, "RadioGroup_ausgrad"), 4, 2);
    g->addWidget(helpButton("&Help", "Button_helpausdruck", 1930), 5, 3);
  }

  // Settings.
  {
    QGridLayout* g = page("Tab_einstellung", "Settings");
    g->addWidget(
        radio("Help level",
              {"0 : No info window", "1 : default help level", "2 : extended help, single input"},
              "RadioGroup_hilfegrad"),
        0, 0, 1, 2);
    g->addWidget(radio("Result Screen",
                       {"default", "Quick", "Quick 3", "Production drawing", "Diagram", "Drawing",
                        "Quick 4"},
                       "RadioGroup_ergebnisgrafik"),
                 0, 2, 3, 1);
    g->addWidget(radio("Decimal sign CAD->TXT ", {"x.xx", "x,xx"}, "RadioGroup_punktkomma"), 1, 0);
    TRadioGroup* excel = radio("Decimal sign Excel", {"x.xx", "x,xx"}, "RadioGroup_ExcelDot");
    excel->hide();
    g->addWidget(excel, 1, 1);
    g->addWidget(radio(" Special characters ", {"²  µ  °", "2  u  deg"}, "RadioGroup_chars"), 2, 0);
    g->addWidget(label("number of digits for floating point numbers", "Label_dezimalstellen"), 3,
                 0);
    g->addWidget(spin("SpinEdit_dezimalstellen"), 3, 1);
    g->addWidget(check("Init Float ?", "CheckBox_initfloat"), 4, 0);
    g->addWidget(check("Archive flag ?", "CheckBox_archivmode"), 5, 0);
    g->addWidget(check("actual." + ProgramIdentity.shortName + " ?", "CheckBox_aktuellfile"), 6, 0);
    g->addWidget(check("Save Menu Language ?", "CheckBox_saveMenuLanguage"), 7, 0);
  }

  // External programs.
  {
    QGridLayout* g = page("Tab_extern", "external");
    g->addWidget(label("word processor", "Label_externtxt"), 0, 0);
    QLineEdit* txt = edit("Edit_externtxt");
    g->addWidget(txt, 0, 1);
    g->addWidget(button("...", "Button_externtxt", [this, txt] { Button_externClick(txt); }), 0, 2);
    g->addWidget(label("HTML Browser", "Label_externhtml"), 1, 0);
    QLineEdit* html = edit("Edit_externhtml");
    g->addWidget(html, 1, 1);
    g->addWidget(button("...", "Button_externhtml", [this, html] { Button_externClick(html); }), 1,
                 2);
    g->addWidget(label("VECTRIX Command Lines", "Label_vectrix"), 2, 0);
    auto* list = static_cast<QListWidget*>(named(new QListWidget, "ListBox_vectrix"));
    connect(list, &QListWidget::itemDoubleClicked, this, &Tconfig::ListBox_vectrixDblClick);
    g->addWidget(list, 3, 0, 1, 3);
    g->addWidget(button("Config", "Button_confvectrix", &Tconfig::Button_confvectrixClick), 4, 1);
    g->addWidget(button("Edit", "Button_editvectrixcommandline",
                        &Tconfig::Button_editvectrixcommandlineClick),
                 4, 2);
  }

  // Drawing.
  {
    QGridLayout* g = page("Tab_zeichnung", "Drawing");
    g->addWidget(radio("Index", {"a,b,c...", "1,2,3...", "A,B,C...", "......"}, "RadioGroup_index"),
                 0, 0, 1, 2);
    g->addWidget(label("Drawing approved", "Label_freigabefeld"), 1, 0);
    g->addWidget(edit("Edit_freigabefeld"), 1, 1);
    g->addWidget(stdButton("Button_freigabefeld", &Tconfig::Button_freigabefeldClick), 1, 2);
    g->addWidget(label("Dimensioning size factor", "Label_massfaktorconfig"), 2, 0);
    g->addWidget(edit("Edit_massfaktorconfig"), 2, 1);
    g->addWidget(stdButton("Button_massfaktorconfig", &Tconfig::Button_massfaktorconfigClick), 2,
                 2);
    const std::string fileName = ShortenMiddle(CurrentDataFileName(), 50);
    g->addWidget(
        check("TARVENO " + ProgramIdentity.programName + " V" + ProgramIdentity.version + " ?",
              "CheckBox_zeichtarvenotitel"),
        3, 0, 1, 3);
    g->addWidget(check("file name " + fileName + " ?", "CheckBox_zeichfilename"), 4, 0, 1, 3);
    g->addWidget(check(DateStr() + " " + TimeStr() + " ?", "CheckBox_zeichdatum"), 5, 0, 1, 3);
    g->addWidget(check("$logo_1.dx$ ?", "CheckBox_zeichlogo"), 6, 0, 1, 3);
    QCheckBox* footer = check("footer line ?", "CheckBox_zeichfusszeile");
    footer->hide();
    g->addWidget(footer, 7, 0, 1, 3);
    g->addWidget(check("Production drawing with header ?", "CheckBox_zeichnungskopf"), 8, 0, 1, 3);
    g->addWidget(label("Drawing with header", "Label_zeichnkopf"), 9, 0);
    auto* kind = static_cast<QComboBox*>(named(new QComboBox, "ComboBox_zeichnkopf"));
    kind->addItems({"DIN 6771 min.", "ISO 7200 Fig.1", "ISO 7200 Fig.2", "DIN 6771"});
    g->addWidget(kind, 9, 1);
  }

  // Bottom buttons.
  auto* bottom = new QHBoxLayout;
  QPushButton* ok = button("OK", "Button_ok", &Tconfig::Button_okClick);
  ok->setDefault(true);
  bottom->addWidget(ok);
  bottom->addWidget(button("Cancel", "Button_cancel", &Tconfig::Button_cancelClick));
  bottom->addWidget(button("&Save", "Button_save", &Tconfig::Button_saveClick));
  bottom->addWidget(button("Import", "Button_import", &Tconfig::Button_importClick));
  bottom->addWidget(button("Export", "Button_export", &Tconfig::Button_exportClick));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pagecontrol1);
  layout->addLayout(bottom);
}

// ---------------------------------------------------------------------------------------------
// Creation

void Tconfig::FormCreate() {
  struct TRange {
    const char* name;
    int min;
    int max;
  };
  // Lines per page start at 5: fewer would be taken back as 66 at the next start.
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
    list->addItem(Caption(plot.PlotCommandLines.lines[i]));
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
    const std::string line = WinToDos(S(list->item(i - 1)->text()));
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

// ---------------------------------------------------------------------------------------------
// Bottom buttons

void Tconfig::Button_okClick() {
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
  dialog.CommandLine = WinToDos(S(list->item(row)->text()));
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (accepted && !AbortFlag) {
    list->item(row)->setText(Caption(dialog.CommandLine));
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
  std::string line = WinToDos(S(list->item(row)->text()));
  InputText("VECTRIX Command Line", 80, line);
  if (AbortFlag) {
    AbortFlag = false;
    return;
  }
  list->item(row)->setText(Caption(line));
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
