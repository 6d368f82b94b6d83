// vuko: calculates and draws involute spline joints.
#include <QApplication>
#include <QSessionManager>
#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/forms/main_window.h"
#include "app/startup.h"
#include "common/forms/help_buttons.h"
#include "common/forms/qt_dialog_host.h"
#include "common/forms/text_screen.h"
#include "common/help_texts.h"
#include "graphics/forms/aux_image_chooser.h"
#include "graphics/forms/plot_program_dialog.h"
#include "platform/temp_dir.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Ended by the system or a closed terminal, the run leaves no temporary folder behind.
  platform::RemoveTempDirectoryOnSignals();
  // Stage 1: every module sets its defaults in memory, lower modules of the uses tree first.
  InitModules();
  SetProgramArguments(args);
  SetProgramDataDirectory(VUKO_DATA_DIR);

  // Batch runs (and the help screen without a display) need no window and no person.
  const TCommandLine commandLine = ParseCommandLine(args);
  const bool display = DisplayAvailable();
  if (IsBatchAction(commandLine.action) ||
      (commandLine.action == TCommandAction::Help && !display)) {
    return RunWithoutWindow();
  }
  if (!display) {
    std::fprintf(stderr,
                 "vuko: no display found; start it on a display, or with /I or /CADi:j for a "
                 "run without window (vuko /? lists the switches)\n");
    return kExitNoDisplay;
  }

  // Stage 2: the application and its main window.
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VUKO"));
  // Qt takes over the user's locale; numbers in files and on the command line stay in "C".
  std::setlocale(LC_NUMERIC, "C");
  InstallQtDialogHost();
  InstallQtAuxImageChooser();
  InstallTextScreenHook(ShowScreen);
  InstallPlotProgramDialogForm();
  SetHelpImageHandler([](int number, const std::string&) { ShowHelpText(number, 2); });
  // A logout asks about unsaved changes where the session manager lets us.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, [](QSessionManager& manager) {
    const bool proceed = SessionEndMayProceed(manager.allowsInteraction());
    manager.release();
    if (!proceed) manager.cancel();
  });

  // Stage 3 runs inside the creation of the main window.
  auto mainWindow = std::make_unique<Thh>();
  int exitCode = mainWindow->StartUpOutcome().exitCode;
  if (!mainWindow->StartUpOutcome().endProgram) {
    mainWindow->show();
    exitCode = app.exec();
  }
  mainWindow.reset();
  InstallTextScreenHook(nullptr);
  UninstallQtDialogHost();
  return exitCode;
}
