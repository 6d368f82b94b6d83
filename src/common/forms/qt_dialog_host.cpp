// The Qt dialog host and its installation.
#include "common/forms/qt_dialog_host.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

#include "common/error_explanations.h"
#include "common/forms/error_list_window.h"
#include "common/forms/file_dialogs_qt.h"
#include "common/forms/form_placement.h"
#include "common/forms/input_dialogs.h"
#include "common/forms/message_boxes.h"
#include "common/forms/text_printing.h"
#include "common/forms/text_viewer.h"
#include "common/output_router.h"

namespace {

QWidget* Owner() {
  return DialogMainWindow();
}

}  // namespace

bool TQtDialogHost::ChooseEntry(const TChoiceRequest& request, int& selected) {
  if (request.UsesListDialog()) {
    Tin_codedialog dialog(request, Owner());
    if (dialog.exec() != QDialog::Accepted) return false;
    selected = dialog.Selected();
  } else {
    Tin_radiodialog dialog(request, Owner());
    if (dialog.exec() != QDialog::Accepted) return false;
    selected = dialog.Selected();
  }
  return true;
}

bool TQtDialogHost::ChooseYesNo(const TYesNoRequest& request, bool& yes) {
  Tin_janeindialog dialog(request, Owner());
  if (dialog.exec() != QDialog::Accepted) return false;
  yes = dialog.Yes();
  return true;
}

bool TQtDialogHost::EditText(const TTextRequest& request, std::string& text) {
  Tin_textdialog dialog(request, Owner());
  if (dialog.exec() != QDialog::Accepted) return false;
  text = dialog.Text();
  return true;
}

TQuestionAnswer TQtDialogHost::AskQuestion(const TQuestionRequest& request) {
  return AskQtQuestion(request, Owner());
}

void TQtDialogHost::ShowMessage(const TMessageRequest& request) {
  ShowQtMessage(request, Owner());
}

void TQtDialogHost::ShowLongText(const std::string& text) {
  ShowQtLongText(text, Owner());
}

bool TQtDialogHost::AskRetry(const TRetryRequest& request) {
  return AskQtRetry(request, Owner());
}

bool TQtDialogHost::SelectOpenFile(const TFileDialogRequest& request, std::string& fileName) {
  return RunOpenFileDialog(request, fileName, Owner());
}

bool TQtDialogHost::SelectSaveFile(const TFileDialogRequest& request, std::string& fileName) {
  return RunSaveFileDialog(request, fileName, Owner());
}

void TQtDialogHost::Beep() {
  QApplication::beep();
}

void TQtDialogHost::SetCursorShape(TCursorShape shape) {
  // One override cursor at most, however often the hourglass is asked for.
  if (shape == TCursorShape::Wait) {
    if (!waitCursor_) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    waitCursor_ = true;
  } else if (waitCursor_) {
    QApplication::restoreOverrideCursor();
    waitCursor_ = false;
  }
}

void TQtDialogHost::SetApplicationTitle(const std::string& title) {
  title_ = title;
  if (QWidget* main = DialogMainWindow()) main->setWindowTitle(QString::fromStdString(title));
}

TQtDialogHost& QtDialogHost() {
  static TQtDialogHost host;
  return host;
}

void InstallQtDialogHost(QWidget* mainWindow) {
  if (mainWindow != nullptr) SetDialogMainWindow(mainWindow);
  InstallDialogHost(&QtDialogHost());
  InstallErrorBoxHook(ShowErrorBoxWindow);
  InstallShowTextFileHook(ShowTextFileWindow);
  InstallPrintTextFileHook(PrintTextFile);
}

void UninstallQtDialogHost() {
  QtDialogHost().SetCursorShape(TCursorShape::Arrow);
  InstallDialogHost(nullptr);
  InstallErrorBoxHook(nullptr);
  InstallShowTextFileHook(nullptr);
  InstallPrintTextFileHook(nullptr);
}
