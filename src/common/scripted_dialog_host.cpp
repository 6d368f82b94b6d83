// The dialog host of tests: prepared answers in, a record of every dialog out.
#include "common/scripted_dialog_host.h"

#include <algorithm>

ScriptedDialogHost::ScriptedDialogHost(bool install) : installed_(install) {
  if (install) InstallDialogHost(this);
}

ScriptedDialogHost::~ScriptedDialogHost() {
  if (installed_ && &CurrentDialogHost() == this) InstallDialogHost(nullptr);
}

void ScriptedDialogHost::AnswerChoice(int entry) {
  answers_.push_back({AnswerKind::Choice, entry, {}});
}
void ScriptedDialogHost::AnswerYes() {
  answers_.push_back({AnswerKind::Yes, 0, {}});
}
void ScriptedDialogHost::AnswerNo() {
  answers_.push_back({AnswerKind::No, 0, {}});
}
void ScriptedDialogHost::AnswerText(const std::string& text) {
  answers_.push_back({AnswerKind::Text, 0, text});
}
void ScriptedDialogHost::AnswerFile(const std::string& fileName) {
  answers_.push_back({AnswerKind::File, 0, fileName});
}
void ScriptedDialogHost::AnswerCancel() {
  answers_.push_back({AnswerKind::Cancel, 0, {}});
}

std::vector<TDialogRecord> ScriptedDialogHost::RecordsOf(TDialogKind kind) const {
  std::vector<TDialogRecord> out;
  std::copy_if(records_.begin(), records_.end(), std::back_inserter(out),
               [kind](const TDialogRecord& r) { return r.kind == kind; });
  return out;
}

std::vector<std::string> ScriptedDialogHost::Messages() const {
  std::vector<std::string> out;
  for (const TDialogRecord& r : records_) {
    if (r.kind == TDialogKind::Message || r.kind == TDialogKind::LongText) out.push_back(r.prompt);
  }
  return out;
}

void ScriptedDialogHost::Clear() {
  answers_.clear();
  records_.clear();
  mismatches_ = 0;
  beeps_ = 0;
  title_.clear();
  cursor_ = TCursorShape::Arrow;
}

bool ScriptedDialogHost::Take(TDialogRecord record, std::initializer_list<AnswerKind> accepted,
                              Answer& answer) {
  bool ok = false;
  if (answers_.empty()) {
    record.unanswered = true;
  } else {
    answer = answers_.front();
    answers_.pop_front();
    if (answer.kind != AnswerKind::Cancel) {
      ok = std::find(accepted.begin(), accepted.end(), answer.kind) != accepted.end();
      if (!ok) ++mismatches_;
    }
  }
  record.answered = ok;
  records_.push_back(std::move(record));
  return ok;
}

bool ScriptedDialogHost::ChooseEntry(const TChoiceRequest& request, int& selected) {
  TDialogRecord r;
  r.kind = TDialogKind::Choice;
  r.caption = request.caption;
  r.prompt = request.prompt;
  r.entries = request.entries;
  r.selected = request.selected;
  r.helpNumber = request.helpNumber;
  Answer a{AnswerKind::Cancel, 0, {}};
  if (!Take(std::move(r), {AnswerKind::Choice}, a)) return false;
  selected = a.entry - 1;
  return true;
}

bool ScriptedDialogHost::ChooseYesNo(const TYesNoRequest& request, bool& yes) {
  TDialogRecord r;
  r.kind = TDialogKind::YesNo;
  r.caption = request.caption;
  r.prompt = request.prompt;
  r.yesOffered = request.yes;
  r.helpNumber = request.helpNumber;
  Answer a{AnswerKind::Cancel, 0, {}};
  if (!Take(std::move(r), {AnswerKind::Yes, AnswerKind::No}, a)) return false;
  yes = a.kind == AnswerKind::Yes;
  return true;
}

bool ScriptedDialogHost::EditText(const TTextRequest& request, std::string& text) {
  TDialogRecord r;
  r.kind = TDialogKind::Text;
  r.caption = request.caption;
  r.prompt = request.prompt;
  r.offeredText = request.text;
  r.maxLength = request.maxLength;
  r.helpNumber = request.helpNumber;
  Answer a{AnswerKind::Cancel, 0, {}};
  if (!Take(std::move(r), {AnswerKind::Text}, a)) return false;
  text = a.text;
  if (request.maxLength > 0 && static_cast<int>(text.size()) > request.maxLength) {
    text.resize(static_cast<std::size_t>(request.maxLength));  // as the edit field limits typing
  }
  return true;
}

TQuestionAnswer ScriptedDialogHost::AskQuestion(const TQuestionRequest& request) {
  TDialogRecord r;
  r.kind = TDialogKind::Question;
  r.caption = request.caption;
  r.prompt = request.text;
  r.helpNumber = request.helpNumber;
  Answer a{AnswerKind::Cancel, 0, {}};
  if (!Take(std::move(r), {AnswerKind::Yes, AnswerKind::No}, a)) return TQuestionAnswer::Cancel;
  return a.kind == AnswerKind::Yes ? TQuestionAnswer::Yes : TQuestionAnswer::No;
}

void ScriptedDialogHost::ShowMessage(const TMessageRequest& request) {
  TDialogRecord r;
  r.kind = TDialogKind::Message;
  r.caption = request.caption;
  r.prompt = request.text;
  r.messageKind = request.kind;
  r.answered = true;
  records_.push_back(std::move(r));
}

void ScriptedDialogHost::ShowLongText(const std::string& text) {
  TDialogRecord r;
  r.kind = TDialogKind::LongText;
  r.prompt = text;
  r.answered = true;
  records_.push_back(std::move(r));
}

bool ScriptedDialogHost::AskRetry(const TRetryRequest& request) {
  TDialogRecord r;
  r.kind = TDialogKind::Retry;
  r.caption = request.caption;
  r.prompt = request.text;
  Answer a{AnswerKind::Cancel, 0, {}};
  return Take(std::move(r), {AnswerKind::Yes}, a);
}

bool ScriptedDialogHost::SelectOpenFile(const TFileDialogRequest& request, std::string& fileName) {
  TDialogRecord r;
  r.kind = TDialogKind::OpenFile;
  r.caption = request.title;
  r.fileRequest = request;
  r.helpNumber = request.helpNumber;
  Answer a{AnswerKind::Cancel, 0, {}};
  if (!Take(std::move(r), {AnswerKind::File}, a)) return false;
  fileName = a.text;
  return true;
}

bool ScriptedDialogHost::SelectSaveFile(const TFileDialogRequest& request, std::string& fileName) {
  TDialogRecord r;
  r.kind = TDialogKind::SaveFile;
  r.caption = request.title;
  r.fileRequest = request;
  r.helpNumber = request.helpNumber;
  Answer a{AnswerKind::Cancel, 0, {}};
  if (!Take(std::move(r), {AnswerKind::File}, a)) return false;
  fileName = a.text;
  return true;
}
