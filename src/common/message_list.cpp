// The message list: keeps the first twelve distinct findings in the order they were posted.
#include "common/message_list.h"

#include "common/program_state.h"

TErrorList ErrorList;

void AddError(const std::string& text) {
  // A failure repeated inside a loop is listed once.
  for (int i = 1; i <= ErrorList.count && i <= kMaxErrors; ++i) {
    if (ErrorList.messages[i] == text) return;
  }
  if (ErrorList.count >= kMaxErrors) {
    ErrorList.count = kMaxErrors;
    return;
  }
  ++ErrorList.count;
  ErrorList.messages[ErrorList.count] = text;
}

void ResetErrors() {
  ErrorList.count = 0;
  CalcFatalFlag = false;
}

void ClearErrors() {
  ErrorList.count = 0;
  ErrorList.messages.Fill(std::string());
}

int ErrorCount() {
  return ErrorList.count;
}

std::string ErrorText(int n) {
  if (n < 1 || n > ErrorList.count || n > kMaxErrors) return std::string();
  return ErrorList.messages[n];
}

void InitMessageList() {
  ErrorList.count = 0;
  ClearErrors();
}
