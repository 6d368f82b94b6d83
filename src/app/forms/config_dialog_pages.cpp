// The nine pages of the configuration dialog and the buttons below them.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/forms/config_dialog.h"
#include "app/forms/config_dialog_support.h"
#include "common/codepage.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/forms/help_buttons.h"
#include "common/system_info.h"
#include "graphics/forms/plot_program_dialog.h"

using namespace config_form;

namespace {

// The data file's full name for the caption of the file-name option; empty without a file.
std::string CurrentDataFileName() {
  if (CurrentFileName.empty()) return {};
  if (ProgramSettings.FileFromCommandLine) return CurrentFileName;
  return AddBackslash(DataDirectory) + CurrentFileName + "." + ProgramIdentity.shortName;
}

// USERNAME is the Windows name of the variable; here the login name stands behind it.
std::string LoginName() {
  std::string name = GetEnvVar("USERNAME");
  if (DelBlanks(name).empty() && !GetUserName(name)) name.clear();
  return name;
}

}  // namespace

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
    g->addWidget(label("User: " + LoginName(), "Label_user"), r, 0, 1, 3);
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
