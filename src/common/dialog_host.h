// How the core asks the user: the modal input routines (choose an entry, yes or no, a text, a
// number within a range, a message box, file dialogs) and the DialogHost interface they call.
//
// Start-up installs the host: the Qt host shows real dialogs, the batch host answers without a
// person, tests install a scripted host. The routines convert texts from the DOS code page to
// UTF-8 on the way out (DosToWin) and typed text back on the way in (WinToDos), so a host sees
// UTF-8 only; file names pass unchanged.
//
// Abort convention: the routines never clear AbortFlag; Cancel or Escape sets it and leaves the
// caller's variable unchanged. Callers clear AbortFlag where their command starts and test it
// after each step. HelpNumber, set by the caller right before, is passed to the host for the
// dialog's help buttons.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Requests handed to the host (all texts UTF-8)

// Choice of one entry: the list dialog (Tin_codedialog) for 8 entries or more, else the radio
// dialog (Tin_radiodialog).
struct TChoiceRequest {
  std::string caption = "Select";
  std::string prompt;
  std::vector<std::string> entries;
  int selected = 0;  // 0-based entry selected when the dialog opens
  int helpNumber = 0;
  bool UsesListDialog() const { return entries.size() >= 8; }
};

// Yes/no selection dialog (Tin_janeindialog): radio group "Select" with "&Yes" and "&No".
struct TYesNoRequest {
  std::string caption = "Input";
  std::string prompt;
  bool yes = true;  // selection when the dialog opens
  int helpNumber = 0;
};

// Text entry (Tin_textdialog).
struct TTextRequest {
  std::string caption = "Input";
  std::string prompt;
  std::string text;  // offered text
  int maxLength = 255;
  int helpNumber = 0;
};

// Message box with Yes, No and Cancel and the question icon.
struct TQuestionRequest {
  std::string caption;  // the program caption
  std::string text;
  int helpNumber = 0;
};
enum class TQuestionAnswer { Yes, No, Cancel };

// Message box with OK.
struct TMessageRequest {
  std::string caption;  // "Error  : ", "Help", "Message:" or the caller's
  std::string text;
  int kind = 0;  // 12 error, 11 note, 3 help, 0 information, -1 caller's caption
};

// A failed operation that may be tried again (Retry and Cancel buttons).
struct TRetryRequest {
  std::string caption;
  std::string text;
};

// Open or save dialog. filter is in "description|pattern|description|pattern" form, patterns
// separated by ";" inside one pattern ("*.dxf|*.dxf|*.*|*.*").
struct TFileDialogRequest {
  std::string title;
  std::string filter;
  std::string directory;  // initial directory; empty: the dialog's default
  std::string fileName;   // proposed name (save dialog)
  std::string defaultExtension;
  int helpNumber = 0;
};

enum class TCursorShape { Arrow, Wait };

// The filter of a file dialog as (description, pattern) pairs; a missing pattern repeats the
// description.
std::vector<std::pair<std::string, std::string>> ParseDialogFilter(std::string_view filter);

// ---------------------------------------------------------------------------------------------
// The host

class DialogHost {
 public:
  virtual ~DialogHost() = default;

  // Each returns false when the user cancels (Cancel button, Escape, closing the window);
  // the answer is written only when it returns true.
  virtual bool ChooseEntry(const TChoiceRequest& request, int& selected) = 0;
  virtual bool ChooseYesNo(const TYesNoRequest& request, bool& yes) = 0;
  virtual bool EditText(const TTextRequest& request, std::string& text) = 0;
  virtual TQuestionAnswer AskQuestion(const TQuestionRequest& request) = 0;
  virtual void ShowMessage(const TMessageRequest& request) = 0;
  // The plain message window with a long text.
  virtual void ShowLongText(const std::string& text) = 0;
  // True for Retry.
  virtual bool AskRetry(const TRetryRequest& request) = 0;
  // fileName: the chosen full file name.
  virtual bool SelectOpenFile(const TFileDialogRequest& request, std::string& fileName) = 0;
  virtual bool SelectSaveFile(const TFileDialogRequest& request, std::string& fileName) = 0;

  // Audible warning before range and input messages.
  virtual void Beep() = 0;
  virtual void SetCursorShape(TCursorShape shape) = 0;
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // False when no person answers (batch runs, tests).
  virtual bool IsInteractive() const = 0;
};

// Installs the host that every routine below calls; nullptr installs the batch host again.
// The caller keeps ownership and keeps the host alive while installed.
void InstallDialogHost(DialogHost* host);
// The installed host (the batch host unless another was installed).
DialogHost& CurrentDialogHost();

// ---------------------------------------------------------------------------------------------
// Help number of the next dialog

void SetInputHelpNumber(int n);
void SetHelpNumber(int n);

// ---------------------------------------------------------------------------------------------
// Choices and questions

// Choose one of the first n entries of ScreenLines; choice is 1-based. A choice of 0 or above n
// is shown as entry 1. Cancel: AbortFlag set, choice unchanged.
void InputCode(std::string_view prompt, int n, int& choice);
// answer: 'J' (yes) or 'N' (no); the dialog starts on "&No" when the upper-cased answer is 'N'.
void InputYesNo(std::string_view prompt, char& answer);
// The same on a boolean: true for any answer but 'N'.
void InputBoolean(std::string_view prompt, bool& flag);
// Message box with Yes, No and Cancel, titled with the program caption. Yes: true; No: false;
// Cancel: false and AbortFlag set.
bool AskYesNo(std::string_view text);
// The same as 1 or 0.
int AskYesNoInt(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Messages

constexpr int kMessageError = 12;
constexpr int kMessageNote = 11;
constexpr int kMessageHelp = 3;
constexpr int kMessageInfo = 0;

// Every text handed to these routines is a code-page text and is converted once on its way to
// the person. A name of a file, folder or program, or text a person typed (both UTF-8), joins it
// only through NameText, which that conversion passes exactly; joined bare it would be
// converted as code-page bytes and garbled.

// OK box; caption "Error  : " for kind 12, "Help" for kind 3, "Message:" otherwise.
void ShowMessageBox(std::string_view text, int kind);
void ErrorMessage(std::string_view text);  // kind 12
void NoteMessage(std::string_view text);   // kind 11
void InfoMessage(std::string_view text);   // kind 0
// Kind 12 only while MessagesEnabled is set.
void ErrorMessageIfEnabled(std::string_view text);
// OK box with the caller's caption.
void ShowMessageCaption(std::string_view caption, std::string_view text);
// The plain message window.
void ShowLongText(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Texts and numbers

// Text entry of at most maxLength characters; Cancel: AbortFlag set, text unchanged.
void InputText(std::string_view prompt, int maxLength, std::string& text);
// Text entry of a name (a file, folder or program, a command line): offered and taken in
// UTF-8 as it stands, never through the code page, and never cut: with maxLength > 0 a longer
// answer is refused with a message and asked again (0: any length). Cancel: AbortFlag set,
// name unchanged.
void InputName(std::string_view prompt, int maxLength, std::string& name);
// The form call behind InputText.
void InputTextForm(std::string_view prompt, int maxLength, std::string& text);
// A number within [min, max], offered as RealStr(value), "," accepted as the decimal point. A
// text that is no number ("Invalid Input ...") or a value out of range ("Valid Data are: ...")
// is reported and asked again until it fits or the user cancels.
void InputReal(std::string_view prompt, long double& value, long double min, long double max);
void InputDouble(std::string_view prompt, double& value, double min, double max);
// A length in millimetres, shown and typed in the current unit (" [mm]" or " [inch]").
void InputLength(std::string_view prompt, long double& value, long double min, long double max);
// An integer within [lo, hi] (swapped when lo > hi).
void InputInteger(std::string_view prompt, std::int32_t& value, std::int32_t lo, std::int32_t hi);
void InputLongint(std::string_view prompt, std::int32_t& value, std::int32_t lo, std::int32_t hi);
void InputWord(std::string_view prompt, std::uint16_t& value, std::int32_t lo, std::int32_t hi);

// ---------------------------------------------------------------------------------------------
// Window title and cursor

// Builds the title (program caption, "  -  " and the current file name with the data-file
// extension), sets it as the application title and the cursor to the arrow.
void SetWindowTitle(std::string& title);
void CursorWait();
void CursorArrow();
void RestoreCursor();

// The file dialogs and checked text-file operations are declared beside these routines.
#include "common/file_dialogs.h"
