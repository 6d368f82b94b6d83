// The main window: the graphics window with the main menu. Its creation runs the start of the
// program (configuration, session, command line, start screen, template data set, calculation);
// closing asks about unsaved changes and erases temporary files; its destruction writes the
// session file.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/file_commands.h"
#include "graphics/forms/graphics_window_form.h"

class QAction;
class QMenu;
class QMenuBar;
class TGraphicsFacade;

class Thh : public TFtarvgra {
  Q_OBJECT
 public:
  // Builds the menu and runs FormCreate.
  explicit Thh(QWidget* parent = nullptr);
  ~Thh() override;

  void FormCreate();
  // True when the window may close.
  bool FormCloseQuery();
  void FormDestroy();

  // How the start ended: the help screen, a batch action or a declined command-line file end
  // the program before the window is shown.
  const TStartUpOutcome& StartUpOutcome() const { return startUpOutcome_; }

  // The menu item or submenu of that object name; null when there is none.
  QAction* MenuItem(const QString& name) const;

  QMenuBar* MainMenu1 = nullptr;
  QAction* mi_viewErrorMessages = nullptr;
  QAction* mi_fileexit = nullptr;

  // Menu handlers.
  void mi_fileNewClick();
  void mi_fileOpenClick();
  void mi_fileOpenTableClick();
  void mi_FileSaveClick();
  void mi_FileSaveAsClick();
  void mi_fileprintClick();
  void mi_fileprintersetupClick();
  void mi_fileConfigClick();
  void mi_file1Click();
  void mi_file2Click();
  void mi_file3Click();
  void mi_file4Click();
  void mi_fileexitClick();

  void mi_EditTextClick();
  void mi_editabmessungenClick();

  void mi_viewausdruckClick();
  void mi_viewQuick3Click();
  void mi_ViewQuickClick();
  void mi_viewfertigungszeichnungwellenabeClick();
  void mi_viewfertigungszeichnungwelleClick();
  void mi_viewfertigungszeichnungnabeClick();
  void mi_viewzahnprofilwellenabeClick();
  void mi_viewzahnprofilwelleClick();
  void mi_viewzahnprofilnabeClick();
  void mi_viewzahn1Click();
  void mi_viewzahn2Click();
  void mi_viewwerkzeugwelleClick();
  void mi_viewwerkzeugnabeClick();
  void mi_viewzahneingriffClick();
  void mi_viewErrorMessagesClick();

  void mi_cadquick3Click();
  void mi_cadquickClick();
  void mi_cadfertigungszeichnung1Click();
  void mi_cadfertigungszeichnung2Click();
  void mi_cadbezugsprofil1Click();
  void mi_cadbezugsprofil2Click();
  void mi_cadzahnprofil12Click();
  void mi_cadZahnprofilWelleClick();
  void mi_cadZahnprofilNabeClick();
  void mi_cadsetupClick();

  void mi_docdrawinginfoClick();
  void mi_docuShowChanges1Click();
  void mi_docuPrintChangesClick();
  void mi_docuNewChangeClick();
  void mi_docuModifyChangesClick();
  void mi_docudeleteChangeClick();
  void mi_Document1Click();
  void mi_Document2Click();
  void mi_Document3Click();
  void mi_Document4Click();
  void mi_Document5Click();
  void mi_DocumentSetupClick();

  void mi_OleStartExcelClick();
  void mi_OleExportExcelClick();
  void mi_OlePrintoutExcelClick();

  void mi_HelpDemoClick();
  void mi_helplanguageDeutschClick();
  void mi_helplanguageEnglishClick();
  void mi_helplanguageRomanClick();
  void mi_helplanguageKoreaClick();
  void mi_helplanguageChineseClick();
  void mi_HelpHilfebildClick();
  void mi_helpErrorMessagesClick();
  void mi_helpSystemInfoClick();
  void mi_HelpAboutClick();

  // Handlers that no item calls: further sheets of the production drawings.
  void mi_ViewDrawingClick();
  void mi_viewzeichnungwelleClick();
  void mi_viewzeichnungnabeClick();
  void mi_viewtabellewelleClick();
  void mi_viewtabellenabeClick();
  void mi_viewtabellewellenabeClick();
  void mi_cadzeichnung1Click();
  void mi_cadzeichnung2Click();
  void mi_cadzeichnung12Click();
  void mi_cadzahnformClick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMainMenu();
  // Switches the menu language; the message item keeps its count, the recent files their items.
  void Language(int code);
  void FillScreenMetrics();
  // The main window's part in the file commands.
  TFileCommandHooks FileCommandHooks();

  std::unique_ptr<TGraphicsFacade> facade_;
  TStartUpOutcome startUpOutcome_;
  bool destroyed_ = false;
};

// The window title (program caption and current file) becomes the main window's caption; then
// the recent-file items follow the list.
void UpdateTitle(Thh& form);
// The recent-file items: the four items before the separator that precedes Exit show the
// recent files (hidden while empty); the separator shows while the list holds a file.
void UpdateRecentFileItems(Thh& form);
// Remembers where Exit stands in the File menu (the recent-file items are found from it), then
// UpdateRecentFileItems.
void AnchorRecentFileItems(Thh& form, QAction* exitItem);
// Sets the main window's caption to a text.
void SetFormCaption(Thh& form, const std::string& text);
// Caption of the message item: "&Error messages (" + count + ")", enabled when the message list
// holds messages.
void SetErrorMessageItemCaption(Thh& form);
// After a calculation: the message item's caption, then the result picture.
void UpdateErrorMessageItem(Thh& form);
