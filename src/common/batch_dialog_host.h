// The dialog host for runs without a person (command-line batch mode, default before the
// window exists): every question is declined, so the abort convention stops the command, and
// every message goes to standard error.
#pragma once

#include <cstdio>

#include "common/dialog_host.h"

class BatchDialogHost : public DialogHost {
 public:
  // Messages are written to stream (standard error unless given).
  explicit BatchDialogHost(std::FILE* stream = nullptr);

  bool ChooseEntry(const TChoiceRequest& request, int& selected) override;
  bool ChooseYesNo(const TYesNoRequest& request, bool& yes) override;
  bool EditText(const TTextRequest& request, std::string& text) override;
  TQuestionAnswer AskQuestion(const TQuestionRequest& request) override;
  void ShowMessage(const TMessageRequest& request) override;
  void ShowLongText(const std::string& text) override;
  bool AskRetry(const TRetryRequest& request) override;
  bool SelectOpenFile(const TFileDialogRequest& request, std::string& fileName) override;
  bool SelectSaveFile(const TFileDialogRequest& request, std::string& fileName) override;
  void Beep() override {}
  void SetCursorShape(TCursorShape) override {}
  void SetApplicationTitle(const std::string&) override {}
  bool IsInteractive() const override { return false; }

 private:
  void Say(const std::string& caption, const std::string& text);
  std::FILE* stream_;
};

// The batch host installed by default.
BatchDialogHost& DefaultBatchDialogHost();
