// The main window and its start, close and destruction.
#include "app/forms/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <map>

#include "app/cad_profile_options.h"
#include "app/documentation_commands.h"
#include "app/excel_link.h"
#include "app/forms/about_box.h"
#include "app/forms/data_file_table_form.h"
#include "app/forms/documentation_forms.h"
#include "app/forms/menu_captions.h"
#include "app/forms/print_setup.h"
#include "app/forms/config_dialog.h"
#include "app/forms/cad_profile_dialog.h"
#include "app/forms/dimension_dialog.h"
#include "app/forms/tour_menu.h"
#include "app/languages.h"
#include "app/save_question.h"
#include "app/startup.h"
#include "calc/result_printout.h"
#include "common/codepage.h"
#include "common/config_file.h"
#include "common/dialog_host.h"
#include "common/error_explanations.h"
#include "common/forms/form_placement.h"
#include "common/message_list.h"
#include "common/output_router.h"
#include "common/program_state.h"
#include "common/session_file.h"
#include "drawings/production_drawing.h"
#include "drawings/tooth_graphics.h"
#include "graphics/aux_images.h"
#include "graphics/cad_driver.h"
#include "graphics/graphics_facade.h"

namespace {

enum : unsigned {
  kItem = 0,
  kSubmenu = 1,
  kSeparator = 2,
  kHidden = 4,
  kDisabled = 8,  // until a command enables it
};

struct TMenuEntry {
  const char* parent;  // empty: the menu bar
  const char* name;
  const char* caption;
  const char* shortcut;
  unsigned flags;
};

// The menu tree with the form's own captions; the language vocabularies replace them.
constexpr TMenuEntry kMainMenu[] = {
    {"", "mi_file", "&File", "", kSubmenu},
    {"mi_file", "mi_fileNew", "&New", "Ctrl+N", kItem},
    {"mi_file", "mi_fileOpen", "&Open...", "Ctrl+O", kItem},
    {"mi_file", "mi_fileOpenTable", "OpenTable", "", kItem},
    {"mi_file", "mi_FileSave", "&Save", "Ctrl+S", kItem},
    {"mi_file", "mi_FileSaveAs", "Save &As...", "", kItem},
    {"mi_file", "mi_FileCopy", "", "", kSeparator},
    {"mi_file", "mi_fileprint", "&Print", "Ctrl+P", kItem},
    {"mi_file", "mi_fileprintersetup", "printer setup", "", kItem},
    {"mi_file", "N4", "", "", kSeparator},
    {"mi_file", "mi_fileConfig", "Config", "", kItem},
    {"mi_file", "N3", "", "", kSeparator},
    {"mi_file", "mi_file1", "1", "Shift+F1", kHidden},
    {"mi_file", "mi_file2", "2", "Shift+F2", kHidden},
    {"mi_file", "mi_file3", "3", "Shift+F3", kHidden},
    {"mi_file", "mi_file4", "4", "Shift+F4", kHidden},
    {"mi_file", "N13", "", "", kSeparator},
    {"mi_file", "mi_fileexit", "E&xit", "", kItem},

    {"", "mi_Edit", "Edit", "", kSubmenu},
    {"mi_Edit", "mi_EditText", "Text", "", kItem},
    {"mi_Edit", "mi_editabmessungen", "Abmessungen", "", kItem},

    {"", "mi_View", "View", "", kSubmenu},
    {"mi_View", "mi_viewausdruck", "ausdruck", "", kItem},
    {"mi_View", "mi_viewQuick3", "&Quick 3", "", kItem},
    {"mi_View", "mi_viewquick4", "quick4", "", kHidden},
    {"mi_View", "mi_ViewQuick", "&Quick", "", kItem},
    {"mi_View", "mi_viewfertigungszeichnung", "fertigungszeichnung", "", kSubmenu},
    {"mi_viewfertigungszeichnung", "mi_viewfertigungszeichnungwellenabe", "welle+nabe", "", kItem},
    {"mi_viewfertigungszeichnung", "mi_viewfertigungszeichnungwelle", "welle", "", kItem},
    {"mi_viewfertigungszeichnung", "mi_viewfertigungszeichnungnabe", "nabe", "", kItem},
    {"mi_View", "mi_viewzahnprofil", "zahnprofil", "", kSubmenu},
    {"mi_viewzahnprofil", "mi_viewzahnprofilwellenabe", "welle+nabe", "", kItem},
    {"mi_viewzahnprofil", "mi_viewzahnprofilwelle", "welle", "", kItem},
    {"mi_viewzahnprofil", "mi_viewzahnprofilnabe", "nabe", "", kItem},
    {"mi_View", "mi_viewzahn", "zahn", "", kSubmenu},
    {"mi_viewzahn", "mi_viewzahn1", "zahn1", "", kItem},
    {"mi_viewzahn", "mi_viewzahn2", "zahn2", "", kItem},
    {"mi_View", "mi_viewwerkzeug", "werkzeug", "", kSubmenu},
    {"mi_viewwerkzeug", "mi_viewwerkzeugwelle", "welle", "", kItem},
    {"mi_viewwerkzeug", "mi_viewwerkzeugnabe", "nabe", "", kItem},
    {"mi_View", "mi_viewzahneingriff", "zahneingriff", "", kItem},
    {"mi_View", "N1", "", "", kSeparator},
    {"mi_View", "mi_viewErrorMessages", "Error Messages", "", kItem},

    {"", "mi_CAD", "CAD", "", kSubmenu},
    {"mi_CAD", "mi_cadquick3", "quick3", "", kItem},
    {"mi_CAD", "mi_cadquick", "quick", "", kItem},
    {"mi_CAD", "mi_cadfertigungszeichnung", "Fertigungszeichnung", "", kSubmenu},
    {"mi_cadfertigungszeichnung", "mi_cadfertigungszeichnung1", "1", "", kItem},
    {"mi_cadfertigungszeichnung", "mi_cadfertigungszeichnung2", "2", "", kItem},
    {"mi_CAD", "mi_cadbezugsprofil", "bezugsprofil", "", kSubmenu},
    {"mi_cadbezugsprofil", "mi_cadbezugsprofil1", "1", "", kItem},
    {"mi_cadbezugsprofil", "mi_cadbezugsprofil2", "2", "", kItem},
    {"mi_CAD", "N6", "", "", kSeparator},
    {"mi_CAD", "mi_cadzahnprofil12", "zahnprofil12", "", kItem},
    {"mi_CAD", "mi_cadZahnprofilWelle", "Zahnprofil Welle", "", kItem},
    {"mi_CAD", "mi_cadZahnprofilNabe", "Zahnprofil Nabe", "", kItem},
    {"mi_CAD", "N2", "", "", kSeparator},
    {"mi_CAD", "mi_cadsetup", "setup", "", kItem},

    {"", "mi_documentation", "Documentation", "", kSubmenu},
    {"mi_documentation", "mi_docdrawinginfo", "Drawing Information", "", kItem},
    {"mi_documentation", "N20", "", "", kSeparator},
    {"mi_documentation", "mi_docuShowChanges1", "Show Changes", "", kItem},
    {"mi_documentation", "mi_docuPrintChanges", "Print Changes", "", kItem},
    {"mi_documentation", "mi_docuNewChange", "New Change", "", kItem},
    {"mi_documentation", "mi_docuModifyChanges", "Modify Changes", "", kItem},
    {"mi_documentation", "mi_docudeleteChange", "Delete Change", "", kItem},
    {"mi_documentation", "N21", "", "", kSeparator},
    {"mi_documentation", "mi_Document1", "Document 1", "", kItem},
    {"mi_documentation", "mi_Document2", "Document 2", "", kItem},
    {"mi_documentation", "mi_Document3", "Document 3", "", kItem},
    {"mi_documentation", "mi_Document4", "Document 4", "", kItem},
    {"mi_documentation", "mi_Document5", "Document &5", "", kItem},
    {"mi_documentation", "N22", "", "", kSeparator},
    {"mi_documentation", "mi_DocumentSetup", "Document Setup", "", kItem},

    {"", "mi_OLE", "&OLE", "", kSubmenu},
    {"mi_OLE", "mi_OleStartExcel", "Start Excel", "", kItem},
    {"mi_OLE", "mi_OleExportExcel", "Export VUKO -> Excel", "", kDisabled},
    {"mi_OLE", "mi_OleImportExcel", "Import Excel -> VUKO", "", kDisabled},
    {"mi_OLE", "N8", "", "", kSeparator},
    {"mi_OLE", "mi_OlePrintoutExcel", "Printout -> Excel", "", kItem},

    {"", "mi_Help", "&Help", "", kSubmenu},
    {"mi_Help", "mi_HelpHilfebild", "&Hilfebild", "", kItem},
    {"mi_Help", "mi_helpErrorMessages", "Error Messages", "", kItem},
    {"mi_Help", "mi_helphistory", "&History", "", kItem},
    {"mi_Help", "mi_helpDemo", "&Demo", "", kItem},
    {"mi_Help", "mi_helplanguage", "menu sprache", "", kSubmenu},
    {"mi_helplanguage", "mi_helplanguageDeutsch", "&Deutsch", "", kItem},
    {"mi_helplanguage", "mi_helplanguageEnglish", "&English", "", kItem},
    {"mi_helplanguage", "mi_helplanguageRoman", "&Roman", "", kItem},
    {"mi_helplanguage", "mi_helplanguageKorea", "&Korea", "", kItem},
    {"mi_helplanguage", "mi_helplanguageChinese", "&Chinese", "", kItem},
    {"mi_Help", "N23", "", "", kSeparator},
    {"mi_Help", "mi_helpwww", "", "", kItem},
    {"mi_Help", "mi_helpemail", "", "", kItem},
    {"mi_Help", "mi_helpSystemInfo", "System Info", "", kItem},
    {"mi_Help", "N9", "", "", kSeparator},
    {"mi_Help", "mi_HelpAbout", "&VUKO", "", kItem},
};

// CAD target of the drawing commands that ask for the CAD code and a file.
constexpr std::uint16_t kCadAsk = 0;

// A sheet of the production drawings, or a tooth picture, on a CAD target.
void Sheet(std::uint16_t out, std::int16_t kind) {
  AbortFlag = false;
  ProductionDrawing(out, kind);
}

void ToothPicture(std::int16_t out, std::int16_t preset) {
  AbortFlag = false;
  SplineToothGraphicsMenu(out, preset);
}

void Document(int n) {
  AbortFlag = false;
  StartDocument(n);
}

// The menu that holds an item.
const QMenu* MenuOf(const QAction* item) {
  return item ? qobject_cast<const QMenu*>(item->parent()) : nullptr;
}

}  // namespace

Thh::Thh(QWidget* parent) : TFtarvgra(parent) {
  setObjectName(QStringLiteral("hh"));
  InstallDocumentationForms();
  InstallDimensionDialogForm();
  InstallCadProfileForms();
  BuildMainMenu();
  FormCreate();
}

Thh::~Thh() {
  FormDestroy();
}

void Thh::BuildMainMenu() {
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  setMenuBar(MainMenu1);

  using Handler = void (Thh::*)();
  const std::map<std::string, Handler> handlers = {
      {"mi_fileNew", &Thh::mi_fileNewClick},
      {"mi_fileOpen", &Thh::mi_fileOpenClick},
      {"mi_fileOpenTable", &Thh::mi_fileOpenTableClick},
      {"mi_FileSave", &Thh::mi_FileSaveClick},
      {"mi_FileSaveAs", &Thh::mi_FileSaveAsClick},
      {"mi_fileprint", &Thh::mi_fileprintClick},
      {"mi_fileprintersetup", &Thh::mi_fileprintersetupClick},
      {"mi_fileConfig", &Thh::mi_fileConfigClick},
      {"mi_file1", &Thh::mi_file1Click},
      {"mi_file2", &Thh::mi_file2Click},
      {"mi_file3", &Thh::mi_file3Click},
      {"mi_file4", &Thh::mi_file4Click},
      {"mi_fileexit", &Thh::mi_fileexitClick},
      {"mi_EditText", &Thh::mi_EditTextClick},
      {"mi_editabmessungen", &Thh::mi_editabmessungenClick},
      {"mi_viewausdruck", &Thh::mi_viewausdruckClick},
      {"mi_viewQuick3", &Thh::mi_viewQuick3Click},
      {"mi_ViewQuick", &Thh::mi_ViewQuickClick},
      {"mi_viewfertigungszeichnungwellenabe", &Thh::mi_viewfertigungszeichnungwellenabeClick},
      {"mi_viewfertigungszeichnungwelle", &Thh::mi_viewfertigungszeichnungwelleClick},
      {"mi_viewfertigungszeichnungnabe", &Thh::mi_viewfertigungszeichnungnabeClick},
      {"mi_viewzahnprofilwellenabe", &Thh::mi_viewzahnprofilwellenabeClick},
      {"mi_viewzahnprofilwelle", &Thh::mi_viewzahnprofilwelleClick},
      {"mi_viewzahnprofilnabe", &Thh::mi_viewzahnprofilnabeClick},
      {"mi_viewzahn1", &Thh::mi_viewzahn1Click},
      {"mi_viewzahn2", &Thh::mi_viewzahn2Click},
      {"mi_viewwerkzeugwelle", &Thh::mi_viewwerkzeugwelleClick},
      {"mi_viewwerkzeugnabe", &Thh::mi_viewwerkzeugnabeClick},
      {"mi_viewzahneingriff", &Thh::mi_viewzahneingriffClick},
      {"mi_viewErrorMessages", &Thh::mi_viewErrorMessagesClick},
      {"mi_cadquick3", &Thh::mi_cadquick3Click},
      {"mi_cadquick", &Thh::mi_cadquickClick},
      {"mi_cadfertigungszeichnung1", &Thh::mi_cadfertigungszeichnung1Click},
      {"mi_cadfertigungszeichnung2", &Thh::mi_cadfertigungszeichnung2Click},
      {"mi_cadbezugsprofil1", &Thh::mi_cadbezugsprofil1Click},
      {"mi_cadbezugsprofil2", &Thh::mi_cadbezugsprofil2Click},
      {"mi_cadzahnprofil12", &Thh::mi_cadzahnprofil12Click},
      {"mi_cadZahnprofilWelle", &Thh::mi_cadZahnprofilWelleClick},
      {"mi_cadZahnprofilNabe", &Thh::mi_cadZahnprofilNabeClick},
      {"mi_cadsetup", &Thh::mi_cadsetupClick},
      {"mi_docdrawinginfo", &Thh::mi_docdrawinginfoClick},
      {"mi_docuShowChanges1", &Thh::mi_docuShowChanges1Click},
      {"mi_docuPrintChanges", &Thh::mi_docuPrintChangesClick},
      {"mi_docuNewChange", &Thh::mi_docuNewChangeClick},
      {"mi_docuModifyChanges", &Thh::mi_docuModifyChangesClick},
      {"mi_docudeleteChange", &Thh::mi_docudeleteChangeClick},
      {"mi_Document1", &Thh::mi_Document1Click},
      {"mi_Document2", &Thh::mi_Document2Click},
      {"mi_Document3", &Thh::mi_Document3Click},
      {"mi_Document4", &Thh::mi_Document4Click},
      {"mi_Document5", &Thh::mi_Document5Click},
      {"mi_DocumentSetup", &Thh::mi_DocumentSetupClick},
      {"mi_OleStartExcel", &Thh::mi_OleStartExcelClick},
      {"mi_OleExportExcel", &Thh::mi_OleExportExcelClick},
      {"mi_OlePrintoutExcel", &Thh::mi_OlePrintoutExcelClick},
      {"mi_HelpHilfebild", &Thh::mi_HelpHilfebildClick},
      {"mi_helpErrorMessages", &Thh::mi_helpErrorMessagesClick},
      {"mi_helpDemo", &Thh::mi_HelpDemoClick},
      {"mi_helplanguageDeutsch", &Thh::mi_helplanguageDeutschClick},
      {"mi_helplanguageEnglish", &Thh::mi_helplanguageEnglishClick},
      {"mi_helplanguageRoman", &Thh::mi_helplanguageRomanClick},
      {"mi_helplanguageKorea", &Thh::mi_helplanguageKoreaClick},
      {"mi_helplanguageChinese", &Thh::mi_helplanguageChineseClick},
      {"mi_helpSystemInfo", &Thh::mi_helpSystemInfoClick},
      {"mi_HelpAbout", &Thh::mi_HelpAboutClick},
  };

  std::map<std::string, QMenu*> menus;
  for (const TMenuEntry& e : kMainMenu) {
    const QString name = QString::fromLatin1(e.name);
    const QString caption = QString::fromLatin1(e.caption);
    QMenu* parentMenu = *e.parent ? menus.at(e.parent) : nullptr;
    if (e.flags & kSubmenu) {
      QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : MainMenu1->addMenu(caption);
      menu->setObjectName(name);
      menu->menuAction()->setObjectName(name);
      menus[e.name] = menu;
      continue;
    }
    QAction* action = parentMenu->addAction(caption);
    action->setObjectName(name);
    if (e.flags & kSeparator) {
      action->setSeparator(true);
      continue;
    }
    if (*e.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
    if (e.flags & kHidden) action->setVisible(false);
    const auto handler = handlers.find(e.name);
    if (handler == handlers.end()) {
      // Commands the program does not offer yet.
      action->setEnabled(false);
    } else {
      connect(action, &QAction::triggered, this, handler->second);
      if (e.flags & kDisabled) action->setEnabled(false);
    }
  }
  mi_viewErrorMessages = MenuItem(QStringLiteral("mi_viewErrorMessages"));
  mi_fileexit = MenuItem(QStringLiteral("mi_fileexit"));
}

QAction* Thh::MenuItem(const QString& name) const {
  for (QAction* action : findChildren<QAction*>()) {
    if (action->objectName() == name) return action;
  }
  return nullptr;
}

void Thh::FillScreenMetrics() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    ScreenMetrics.width = screen->geometry().width();
    ScreenMetrics.height = screen->geometry().height();
    ScreenMetrics.logicalPixelsPerInch = static_cast<int>(screen->logicalDotsPerInch() + 0.5);
  }
  // The frame is not known before the window is shown; the dialog scale derived from these
  // two stays neutral (the outer height is the client height plus the 46 pixels it allows).
  ScreenMetrics.mainClientHeight = Canvas()->height();
  ScreenMetrics.mainWindowHeight = ScreenMetrics.mainClientHeight + 46;
}

void Thh::FormCreate() {
  SetMenuCaptions(*MainMenu1);
  facade_ = std::make_unique<TGraphicsFacade>();
  InitProgramIdentity();
  FillScreenMetrics();
  ReadConfig();
  AbortFlag = false;
  ReadSession();
  AbortFlag = false;
  AnchorRecentFileItems(*this, mi_fileexit);
  SetDialogMainWindow(this);
  startUpOutcome_ = StartUp(kStartUpModeMainWindow);
  AbortFlag = false;
  if (startUpOutcome_.endProgram) return;
  SetupMainWindow(this);
  if (ConfigVariables.LanguageCode > 0) SetLanguage(*MainMenu1, ConfigVariables.LanguageCode);
  UpdateTitle(*this);
  // The message item shows the count of the start calculation; the picture stays.
  SetErrorMessageItemCaption(*this);
}

bool Thh::FormCloseQuery() {
  AbortFlag = false;
  AskSaveChanges();
  const bool canClose = !AbortFlag;
  if (canClose) DeleteTempFiles();
  return canClose;
}

void Thh::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  // A program that ended during its start writes no session.
  if (!startUpOutcome_.endProgram) WriteSession();
  if (DialogMainWindow() == this) SetDialogMainWindow(nullptr);
}

void Thh::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

TFileCommandHooks Thh::FileCommandHooks() {
  TFileCommandHooks hooks;
  hooks.UpdateTitle = [this] { UpdateTitle(*this); };
  hooks.UpdateRecentFileItems = [this] { UpdateRecentFileItems(*this); };
  hooks.UpdateErrorMessageItem = [this] { UpdateErrorMessageItem(*this); };
  hooks.EditDrawingTexts = [] { EditDrawingTexts(); };
  hooks.EditDimensions = [] { RunDimensionDialog(); };
  return hooks;
}

void Thh::mi_fileNewClick() {
  FileNew(FileCommandHooks());
}

void Thh::mi_fileOpenClick() {
  FileOpen(FileCommandHooks());
}

void Thh::mi_FileSaveClick() {
  FileSave(FileCommandHooks());
}

void Thh::mi_FileSaveAsClick() {
  FileSaveAs(FileCommandHooks());
}

void Thh::mi_file1Click() {
  OpenRecentFile(FileCommandHooks(), 1);
}

void Thh::mi_file2Click() {
  OpenRecentFile(FileCommandHooks(), 2);
}

void Thh::mi_file3Click() {
  OpenRecentFile(FileCommandHooks(), 3);
}

void Thh::mi_file4Click() {
  OpenRecentFile(FileCommandHooks(), 4);
}

void Thh::mi_fileOpenTableClick() {
  ShowDataFileTable(*this);
}

void Thh::mi_fileprintClick() {
  AbortFlag = false;
  PrintGraphicsWindow();
}

void Thh::mi_fileprintersetupClick() {
  AbortFlag = false;
  PrinterSetup();
}

void Thh::mi_fileConfigClick() {
  AbortFlag = false;
  ConfigurationDialog();
}

void Thh::mi_fileexitClick() {
  close();
}

void Thh::mi_EditTextClick() {
  AbortFlag = false;
  EditDrawingTexts();
  if (!AbortFlag) DataModified = true;
}

void Thh::mi_editabmessungenClick() {
  EditDimensions();
  if (!AbortFlag) UpdateErrorMessageItem(*this);
}

void Thh::mi_viewausdruckClick() {
  AbortFlag = false;
  ResultPrintout();
}

void Thh::mi_viewQuick3Click() {
  Sheet(kCadScreen, 14);
}

void Thh::mi_ViewQuickClick() {
  Sheet(kCadScreen, 7);
}

void Thh::mi_viewfertigungszeichnungwellenabeClick() {
  Sheet(kCadScreen, 8);
}

void Thh::mi_viewfertigungszeichnungwelleClick() {
  Sheet(kCadScreen, 5);
}

void Thh::mi_viewfertigungszeichnungnabeClick() {
  Sheet(kCadScreen, 6);
}

void Thh::mi_viewzahnprofilwellenabeClick() {
  ToothPicture(kCadScreen, 3);
}

void Thh::mi_viewzahnprofilwelleClick() {
  ToothPicture(kCadScreen, 1);
}

void Thh::mi_viewzahnprofilnabeClick() {
  ToothPicture(kCadScreen, 2);
}

void Thh::mi_viewzahn1Click() {
  AbortFlag = false;
  CallToothGraphics(kCadScreen, 1, 3, 1, 1);
}

void Thh::mi_viewzahn2Click() {
  AbortFlag = false;
  CallToothGraphics(kCadScreen, 2, 2, 1, 1);
}

void Thh::mi_viewwerkzeugwelleClick() {
  ToothPicture(kCadScreen, 4);
}

void Thh::mi_viewwerkzeugnabeClick() {
  ToothPicture(kCadScreen, 5);
}

void Thh::mi_viewzahneingriffClick() {
  ToothPicture(kCadScreen, 6);
}

void Thh::mi_viewErrorMessagesClick() {
  AbortFlag = false;
  PrintErrorMessages();
}

void Thh::mi_cadquick3Click() {
  Sheet(kCadAsk, 14);
}

void Thh::mi_cadquickClick() {
  Sheet(kCadAsk, 7);
}

void Thh::mi_cadfertigungszeichnung1Click() {
  Sheet(kCadAsk, 5);
}

void Thh::mi_cadfertigungszeichnung2Click() {
  Sheet(kCadAsk, 6);
}

void Thh::mi_cadbezugsprofil1Click() {
  ToothPicture(kCadAsk, 4);
}

void Thh::mi_cadbezugsprofil2Click() {
  ToothPicture(kCadAsk, 5);
}

void Thh::mi_cadzahnprofil12Click() {
  ToothPicture(kCadAsk, 3);
}

void Thh::mi_cadZahnprofilWelleClick() {
  CadProfileCommand(1);
}

void Thh::mi_cadZahnprofilNabeClick() {
  CadProfileCommand(2);
}

void Thh::mi_cadsetupClick() {
  ProfileDrawingSetup();
}

void Thh::mi_docdrawinginfoClick() {
  AbortFlag = false;
  EditDrawingInfo();
}

void Thh::mi_docuNewChangeClick() {
  ChangeCommand(kChangeNew);
}

void Thh::mi_docuModifyChangesClick() {
  ChangeCommand(kChangeModify);
}

void Thh::mi_docudeleteChangeClick() {
  ChangeCommand(kChangeCancel);
}

void Thh::mi_docuShowChanges1Click() {
  ChangeCommand(kChangeShow);
}

void Thh::mi_docuPrintChangesClick() {
  ChangeCommand(kChangePrintout);
}

void Thh::mi_Document1Click() {
  Document(1);
}

void Thh::mi_Document2Click() {
  Document(2);
}

void Thh::mi_Document3Click() {
  Document(3);
}

void Thh::mi_Document4Click() {
  Document(4);
}

void Thh::mi_Document5Click() {
  Document(5);
}

void Thh::mi_DocumentSetupClick() {
  AbortFlag = false;
  EditDocumentSetup();
  if (!AbortFlag) DataModified = true;
}

void Thh::mi_OleStartExcelClick() {
  AbortFlag = false;
  StartExcel();
  if (!AbortFlag) MenuItem(QStringLiteral("mi_OleExportExcel"))->setEnabled(true);
}

void Thh::mi_OleExportExcelClick() {
  AbortFlag = false;
  ExportToExcel();
}

void Thh::mi_OlePrintoutExcelClick() {
  AbortFlag = false;
  PrintoutToExcel();
}

void Thh::mi_HelpDemoClick() {
  RunTourOnMainWindow(*this);
}

void Thh::mi_helplanguageDeutschClick() {
  Language(kLanguageGerman);
}

void Thh::mi_helplanguageEnglishClick() {
  Language(kLanguageEnglish);
}

void Thh::mi_helplanguageRomanClick() {
  Language(kLanguageRomanian);
}

void Thh::mi_helplanguageKoreaClick() {
  Language(kLanguageKorean);
}

void Thh::mi_helplanguageChineseClick() {
  Language(kLanguageChinese);
}

void Thh::Language(int code) {
  AbortFlag = false;
  if (!SetLanguage(*MainMenu1, code)) return;
  // The vocabularies set the message item's word; its count stays.
  SetErrorMessageItemCaption(*this);
  UpdateTitle(*this);
}

void Thh::mi_HelpHilfebildClick() {
  AbortFlag = false;
  AuxImagesMenu();
}

void Thh::mi_helpErrorMessagesClick() {
  AbortFlag = false;
  ShowErrorList();
}

void Thh::mi_helpSystemInfoClick() {
  AbortFlag = false;
  ShowSystemInformation();
}

void Thh::mi_HelpAboutClick() {
  AbortFlag = false;
  ShowAboutBox();
}

void Thh::mi_ViewDrawingClick() {
  Sheet(kCadScreen, 10);
}

void Thh::mi_viewzeichnungwelleClick() {
  Sheet(kCadScreen, 1);
}

void Thh::mi_viewzeichnungnabeClick() {
  Sheet(kCadScreen, 2);
}

void Thh::mi_viewtabellewelleClick() {
  Sheet(kCadScreen, 3);
}

void Thh::mi_viewtabellenabeClick() {
  Sheet(kCadScreen, 4);
}

void Thh::mi_viewtabellewellenabeClick() {
  Sheet(kCadScreen, 7);
}

void Thh::mi_cadzeichnung1Click() {
  Sheet(kCadAsk, 5);
}

void Thh::mi_cadzeichnung2Click() {
  Sheet(kCadAsk, 6);
}

void Thh::mi_cadzeichnung12Click() {
  Sheet(kCadAsk, 8);
}

void Thh::mi_cadzahnformClick() {
  ToothPicture(kCadAsk, 0);
}

void UpdateTitle(Thh& form) {
  std::string title;
  SetWindowTitle(title);
  SetFormCaption(form, title);
  UpdateRecentFileItems(form);
}

void UpdateRecentFileItems(Thh& form) {
  const int anchor = ConfigVariables.RecentFileAnchor;
  const QMenu* fileMenu = MenuOf(form.mi_fileexit);
  if (!fileMenu) return;
  const QList<QAction*> items = fileMenu->actions();
  if (anchor < 5 || anchor >= items.size()) return;
  items[anchor - 1]->setVisible(RecentFileSeparatorVisible());
  for (int n = 1; n <= kRecentFileCount; ++n) {
    QAction* item = items[anchor - 6 + n];
    const TRecentFileItemState state = RecentFileItemState(n);
    item->setVisible(state.visible);
    if (!state.visible) continue;
    // The path is shown as it is; an "&" in it is no mnemonic.
    const std::string& caption = state.caption;
    const std::size_t pathStart = caption.find(' ') + 1;
    item->setText(QString::fromStdString(caption.substr(0, pathStart)) +
                  QString::fromStdString(caption.substr(pathStart))
                      .replace(QLatin1Char('&'), QStringLiteral("&&")));
  }
}

void AnchorRecentFileItems(Thh& form, QAction* exitItem) {
  const QMenu* fileMenu = MenuOf(exitItem);
  ConfigVariables.RecentFileAnchor =
      fileMenu ? static_cast<std::int32_t>(fileMenu->actions().indexOf(exitItem)) : 0;
  UpdateRecentFileItems(form);
}

void SetFormCaption(Thh& form, const std::string& text) {
  form.setWindowTitle(QString::fromStdString(DosToWin(text)));
}

void SetErrorMessageItemCaption(Thh& form) {
  QAction* item = form.mi_viewErrorMessages;
  item->setText(QString::fromStdString(ErrorMessagesCaption(ErrorCount())));
  item->setEnabled(ErrorCount() > 0);
  // The new caption may carry a letter another item of its menu holds.
  MakeMenuAcceleratorsUnique(*form.MainMenu1);
}

void UpdateErrorMessageItem(Thh& form) {
  SetErrorMessageItemCaption(form);
  ShowResultPicture();
}
