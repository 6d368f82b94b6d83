// The main window: the graphics window with the main menu. Its creation runs the start of the
// program (configuration, session, command line, start screen, template data set, calculation);
// closing asks about unsaved changes and erases temporary files; its destruction writes the
// session file.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "graphics/forms/tftarvgra.h"

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
  void mi_fileexitClick();
  void mi_viewausdruckClick();
  void mi_viewErrorMessagesClick();
  void mi_HelpHilfebildClick();
  void mi_helpErrorMessagesClick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMainMenu();
  void FillScreenMetrics();

  std::unique_ptr<TGraphicsFacade> facade_;
  TStartUpOutcome startUpOutcome_;
  bool destroyed_ = false;
};

// The window title (program caption and current file) becomes the main window's caption.
void UpdateTitle(Thh& form);
// Sets the main window's caption to a text.
void SetFormCaption(Thh& form, const std::string& text);
// Caption of the message item: "&Error messages (" + count + ")", enabled when the message list
// holds messages.
void SetErrorMessageItemCaption(Thh& form);
// After a calculation: the message item's caption, then the result picture.
void UpdateErrorMessageItem(Thh& form);
