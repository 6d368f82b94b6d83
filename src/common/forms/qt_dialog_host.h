// The dialog host for a person at the screen: every question of the core becomes a modal Qt
// dialog over the main window. Start-up installs it once a display exists; runs without a
// person keep the batch host.
#pragma once

#include <string>

#include "common/dialog_host.h"

class QWidget;

class TQtDialogHost : public DialogHost {
 public:
  bool ChooseEntry(const TChoiceRequest& request, int& selected) override;
  bool ChooseYesNo(const TYesNoRequest& request, bool& yes) override;
  bool EditText(const TTextRequest& request, std::string& text) override;
  TQuestionAnswer AskQuestion(const TQuestionRequest& request) override;
  void ShowMessage(const TMessageRequest& request) override;
  void ShowLongText(const std::string& text) override;
  bool AskRetry(const TRetryRequest& request) override;
  bool SelectOpenFile(const TFileDialogRequest& request, std::string& fileName) override;
  bool SelectSaveFile(const TFileDialogRequest& request, std::string& fileName) override;
  void Beep() override;
  void SetCursorShape(TCursorShape shape) override;
  void SetApplicationTitle(const std::string& title) override;
  bool IsInteractive() const override { return true; }

  const std::string& ApplicationTitle() const { return title_; }

 private:
  std::string title_;
  bool waitCursor_ = false;
};

// Installs the Qt host and the Qt windows the core calls through its hooks: the explanation
// window of messages, the text-file viewer and the printing of listings. mainWindow (may be
// null, and may be set later with SetDialogMainWindow) owns and centres the dialogs.
void InstallQtDialogHost(QWidget* mainWindow = nullptr);
// Back to the batch host; the hooks are emptied.
void UninstallQtDialogHost();
// The installed Qt host (one per program).
TQtDialogHost& QtDialogHost();
