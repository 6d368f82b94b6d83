// A dialog host for tests of every subsystem: it answers questions from a queue of prepared
// answers and records every dialog and message with its texts (UTF-8, as a person would see
// them), so a test can drive a command and then check what was asked and shown.
//
//   ScriptedDialogHost host;          // installs itself; the destructor restores the batch host
//   host.AnswerText("1,5");           // next question: type "1,5" and press OK
//   InputReal("mn", value, 0, 100);   // value == 1.5
//   EXPECT_EQ(host.Records()[0].prompt, "mn");
//
// Messages and long texts consume no answer. A question met with an empty queue is cancelled
// (as the batch host declines it) and marked unanswered; an answer of the wrong kind for the
// question asked is consumed, counted in Mismatches() and taken as Cancel.
#pragma once

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/dialog_host.h"

enum class TDialogKind {
  Choice,
  YesNo,
  Text,
  Question,
  Message,
  LongText,
  Retry,
  OpenFile,
  SaveFile
};

// One dialog or message as the host received it.
struct TDialogRecord {
  TDialogKind kind = TDialogKind::Message;
  std::string caption;
  std::string prompt;                // prompt, question or message text
  std::vector<std::string> entries;  // choice entries
  int selected = 0;                  // choice: 0-based selection offered
  bool yesOffered = true;            // yes/no dialog: selection offered
  std::string offeredText;           // text dialog: text offered
  int maxLength = 0;                 // text dialog
  int helpNumber = 0;
  int messageKind = 0;             // message box kind
  TFileDialogRequest fileRequest;  // file dialogs
  bool answered = false;           // an answer other than Cancel was given
  bool unanswered = false;         // the queue was empty
};

class ScriptedDialogHost : public DialogHost {
 public:
  // install: make this the current host now; the destructor then installs the batch host again.
  explicit ScriptedDialogHost(bool install = true);
  ~ScriptedDialogHost() override;

  // Prepared answers, used in order by the questions.
  void AnswerChoice(int entry);              // 1-based entry, as InputCode counts
  void AnswerYes();                          // yes/no dialog, question box (Yes), retry box (Retry)
  void AnswerNo();                           // yes/no dialog, question box (No)
  void AnswerText(const std::string& text);  // text dialog: type it and press OK
  void AnswerFile(const std::string& fileName);  // open or save dialog: choose it
  void AnswerCancel();                           // any question: Cancel / Escape

  const std::vector<TDialogRecord>& Records() const { return records_; }
  std::vector<TDialogRecord> RecordsOf(TDialogKind kind) const;
  // Texts of the message boxes and long texts shown, in order.
  std::vector<std::string> Messages() const;
  std::size_t PendingAnswers() const { return answers_.size(); }
  int Mismatches() const { return mismatches_; }
  int Beeps() const { return beeps_; }
  const std::string& Title() const { return title_; }
  TCursorShape Cursor() const { return cursor_; }
  // Records, answers and counters emptied.
  void Clear();
  // Whether the host claims a person answers (default true).
  void SetInteractive(bool interactive) { interactive_ = interactive; }

  bool ChooseEntry(const TChoiceRequest& request, int& selected) override;
  bool ChooseYesNo(const TYesNoRequest& request, bool& yes) override;
  bool EditText(const TTextRequest& request, std::string& text) override;
  TQuestionAnswer AskQuestion(const TQuestionRequest& request) override;
  void ShowMessage(const TMessageRequest& request) override;
  void ShowLongText(const std::string& text) override;
  bool AskRetry(const TRetryRequest& request) override;
  bool SelectOpenFile(const TFileDialogRequest& request, std::string& fileName) override;
  bool SelectSaveFile(const TFileDialogRequest& request, std::string& fileName) override;
  void Beep() override { ++beeps_; }
  void SetCursorShape(TCursorShape shape) override { cursor_ = shape; }
  void SetApplicationTitle(const std::string& title) override { title_ = title; }
  bool IsInteractive() const override { return interactive_; }

 private:
  enum class AnswerKind { Choice, Yes, No, Text, File, Cancel };
  struct Answer {
    AnswerKind kind;
    int entry = 0;
    std::string text;
  };
  // Takes the next answer for a question of the given kind; false for Cancel (also empty queue
  // and mismatches). The record is appended and its answered/unanswered marks set.
  bool Take(TDialogRecord record, std::initializer_list<AnswerKind> accepted, Answer& answer);

  std::deque<Answer> answers_;
  std::vector<TDialogRecord> records_;
  int mismatches_ = 0;
  int beeps_ = 0;
  std::string title_;
  TCursorShape cursor_ = TCursorShape::Arrow;
  bool interactive_ = true;
  bool installed_ = false;
};
