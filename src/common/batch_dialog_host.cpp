// The dialog host without a person: questions are declined, messages go to standard error.
#include "common/batch_dialog_host.h"

#include <cstdio>

BatchDialogHost::BatchDialogHost(std::FILE* stream) : stream_(stream) {}

void BatchDialogHost::Say(const std::string& caption, const std::string& text) {
  std::FILE* out = stream_ != nullptr ? stream_ : stderr;
  std::string line = caption;
  if (!line.empty() && line.back() != ' ') line += ' ';
  line += text;
  std::fprintf(out, "%s\n", line.c_str());
  std::fflush(out);
}

bool BatchDialogHost::ChooseEntry(const TChoiceRequest& request, int&) {
  Say("Select (declined):", request.prompt);
  return false;
}

bool BatchDialogHost::ChooseYesNo(const TYesNoRequest& request, bool&) {
  Say("Input (declined):", request.prompt);
  return false;
}

bool BatchDialogHost::EditText(const TTextRequest& request, std::string&) {
  Say("Input (declined):", request.prompt);
  return false;
}

TQuestionAnswer BatchDialogHost::AskQuestion(const TQuestionRequest& request) {
  Say("Question (declined):", request.text);
  return TQuestionAnswer::Cancel;
}

void BatchDialogHost::ShowMessage(const TMessageRequest& request) {
  Say(request.caption, request.text);
}

void BatchDialogHost::ShowLongText(const std::string& text) {
  Say("", text);
}

bool BatchDialogHost::AskRetry(const TRetryRequest& request) {
  Say(request.caption, request.text);
  return false;
}

bool BatchDialogHost::SelectOpenFile(const TFileDialogRequest& request, std::string&) {
  Say("Open file (declined):", request.title.empty() ? request.filter : request.title);
  return false;
}

bool BatchDialogHost::SelectSaveFile(const TFileDialogRequest& request, std::string&) {
  Say("Save file (declined):", request.title.empty() ? request.filter : request.title);
  return false;
}

BatchDialogHost& DefaultBatchDialogHost() {
  static BatchDialogHost host;
  return host;
}
