// The core's input routines: they build a request, convert its texts for display and hand it to
// the installed dialog host, then apply the abort convention to the answer.
#include "common/dialog_host.h"

#include <algorithm>
#include <charconv>

#include "common/batch_dialog_host.h"
#include "common/codepage.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/text_file.h"

namespace {

DialogHost* installedHost = nullptr;

std::string Shown(std::string_view dosText) {
  return DosToWin(dosText);
}

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The typed text prepared as the number conversions read it: trimmed, the first "," as ".".
std::string NumberText(std::string_view text) {
  std::string t = TrimStr(text);
  const auto comma = t.find(',');
  if (comma != std::string::npos) t[comma] = '.';
  if (!t.empty() && t.front() == '+') t.erase(0, 1);
  return t;
}

// True when the text is a number that the conversion takes (it gives 0 for both a zero and a
// failure, so a zero is recognised here).
bool IsRealText(std::string_view text) {
  if (StrToReal(text) != 0) return true;
  const std::string t = NumberText(text);
  double v = 1;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size() && v == 0;
}

bool IsIntegerText(std::string_view text) {
  if (StrToInteger(text) != 0) return true;
  const std::string t = NumberText(text);
  long long v = 1;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size() && v == 0;
}

// The text dialog offering a code-page text; typed is the answer as typed (UTF-8). False (and
// AbortFlag set) on Cancel.
bool AskTyped(std::string_view prompt, int maxLength, std::string_view offered,
              std::string& typed) {
  TTextRequest request;
  request.prompt = Shown(prompt);
  request.text = Shown(offered);
  request.maxLength = maxLength;
  request.helpNumber = HelpNumber;
  if (!CurrentDialogHost().EditText(request, typed)) {
    AbortFlag = true;
    return false;
  }
  return true;
}

// The text dialog; Cancel leaves the text (and sets AbortFlag).
void AskText(std::string_view prompt, int maxLength, std::string& text) {
  std::string answer;
  if (!AskTyped(prompt, maxLength, text, answer)) return;
  text = WinToDos(answer);
  if (maxLength > 0 && static_cast<int>(text.size()) > maxLength) {
    text.resize(static_cast<std::size_t>(maxLength));
  }
}

void RangeMessage(const std::string& lo, const std::string& hi) {
  CurrentDialogHost().Beep();
  ErrorMessage("Valid Data are: " + lo + " .. " + hi + " !");
}

// typed: the answer as typed (UTF-8), echoed exactly.
void InvalidMessage(const std::string& typed) {
  CurrentDialogHost().Beep();
  ErrorMessage("Invalid Input \"" + NameText(typed) + "\" !");
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ParseDialogFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const auto bar = filter.find('|', start);
    const auto end = bar == std::string_view::npos ? filter.size() : bar;
    parts.emplace_back(filter.substr(start, end - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<std::pair<std::string, std::string>> out;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    if (parts[i].empty() && (i + 1 >= parts.size() || parts[i + 1].empty())) continue;
    const std::string pattern =
        i + 1 < parts.size() && !parts[i + 1].empty() ? parts[i + 1] : parts[i];
    out.emplace_back(parts[i], pattern);
  }
  return out;
}

void InstallDialogHost(DialogHost* host) {
  installedHost = host;
}

DialogHost& CurrentDialogHost() {
  return installedHost != nullptr ? *installedHost : DefaultBatchDialogHost();
}

void SetInputHelpNumber(int n) {
  HelpNumber = static_cast<std::uint16_t>(n);
}
void SetHelpNumber(int n) {
  HelpNumber = static_cast<std::uint16_t>(n);
}

// ---------------------------------------------------------------------------------------------
// Choices and questions

void InputCode(std::string_view prompt, int n, int& choice) {
  n = std::min(n, kScreenLineCount);
  if (choice > n || choice <= 0) choice = 1;
  if (n < 1) {
    AbortFlag = true;  // nothing to choose from
    return;
  }
  TChoiceRequest request;
  request.prompt = Shown(prompt);
  for (int i = 1; i <= n; ++i) request.entries.push_back(TrimRight(Shown(ScreenLines[i])));
  request.selected = choice - 1;
  request.helpNumber = HelpNumber;
  int selected = request.selected;
  if (!CurrentDialogHost().ChooseEntry(request, selected)) {
    AbortFlag = true;
    return;
  }
  if (selected >= 0 && selected < n) choice = selected + 1;
}

void InputYesNo(std::string_view prompt, char& answer) {
  TYesNoRequest request;
  request.prompt = Shown(prompt);
  request.yes = !(answer == 'N' || answer == 'n');
  request.helpNumber = HelpNumber;
  bool yes = request.yes;
  if (!CurrentDialogHost().ChooseYesNo(request, yes)) {
    AbortFlag = true;
    return;
  }
  answer = yes ? 'J' : 'N';
}

void InputBoolean(std::string_view prompt, bool& flag) {
  char answer = flag ? 'J' : 'N';
  InputYesNo(prompt, answer);
  flag = answer != 'N';
}

bool AskYesNo(std::string_view text) {
  TQuestionRequest request;
  request.caption = Shown(ProgramIdentity.caption);
  request.text = Shown(text);
  request.helpNumber = HelpNumber;
  switch (CurrentDialogHost().AskQuestion(request)) {
    case TQuestionAnswer::Yes:
      return true;
    case TQuestionAnswer::No:
      return false;
    case TQuestionAnswer::Cancel:
      break;
  }
  AbortFlag = true;
  return false;
}

int AskYesNoInt(std::string_view text) {
  return AskYesNo(text) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Messages

void ShowMessageBox(std::string_view text, int kind) {
  TMessageRequest request;
  request.caption = kind == kMessageError  ? "Error  : "
                    : kind == kMessageHelp ? "Help"
                                           : "Message:";
  request.text = Shown(text);
  request.kind = kind;
  CurrentDialogHost().ShowMessage(request);
}

void ErrorMessage(std::string_view text) {
  ShowMessageBox(text, kMessageError);
}
void NoteMessage(std::string_view text) {
  ShowMessageBox(text, kMessageNote);
}
void InfoMessage(std::string_view text) {
  ShowMessageBox(text, kMessageInfo);
}
void ErrorMessageIfEnabled(std::string_view text) {
  if (MessagesEnabled) ShowMessageBox(text, kMessageError);
}

void ShowMessageCaption(std::string_view caption, std::string_view text) {
  TMessageRequest request;
  request.caption = Shown(caption);
  request.text = Shown(text);
  request.kind = -1;
  CurrentDialogHost().ShowMessage(request);
}

void ShowLongText(std::string_view text) {
  CurrentDialogHost().ShowLongText(Shown(text));
}

// ---------------------------------------------------------------------------------------------
// Texts and numbers

void InputTextForm(std::string_view prompt, int maxLength, std::string& text) {
  AskText(prompt, maxLength, text);
}

void InputText(std::string_view prompt, int maxLength, std::string& text) {
  InputTextForm(prompt, maxLength, text);
}

void InputName(std::string_view prompt, int maxLength, std::string& name) {
  TTextRequest request;
  request.prompt = Shown(prompt);
  request.text = name;
  // The edit takes the name whole: a name cut to fit would name another file. One longer than
  // the caller's limit is refused and asked again.
  request.maxLength = 0;
  request.helpNumber = HelpNumber;
  for (;;) {
    std::string answer;
    if (!CurrentDialogHost().EditText(request, answer)) {
      AbortFlag = true;
      return;
    }
    const auto characters = std::count_if(answer.begin(), answer.end(), [](char c) {
      return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // UTF-8 lead bytes
    });
    if (maxLength <= 0 || characters <= maxLength) {
      name = answer;
      return;
    }
    CurrentDialogHost().Beep();
    ErrorMessage("name too long: at most " + IntStr(maxLength) + " characters !");
    request.text = answer;
  }
}

void InputReal(std::string_view prompt, long double& value, long double min, long double max) {
  long double current = value;
  std::string offered = RealStr(value);
  for (;;) {
    std::string text;
    if (!AskTyped(prompt, 30, offered, text)) return;
    long double candidate = current;
    if (text != offered) {
      if (!IsRealText(text)) {
        // A number beyond any value is out of range, not "Invalid Input".
        if (IsNumberBeyondRange(text)) {
          RangeMessage(RealStr(min), RealStr(max));
        } else {
          InvalidMessage(text);
        }
        current = value;
        offered = RealStr(value);
        continue;
      }
      candidate = StrToReal(text);
    }
    if (candidate < min || candidate > max) {
      RangeMessage(RealStr(min), RealStr(max));
      current = candidate;
      offered = RealStr(candidate);
      continue;
    }
    value = candidate;
    return;
  }
}

void InputDouble(std::string_view prompt, double& value, double min, double max) {
  long double wide = value;
  InputReal(prompt, wide, min, max);
  value = static_cast<double>(wide);
}

void InputLength(std::string_view prompt, long double& value, long double min, long double max) {
  if (ConfigVariables.UnitSystem != 1) {
    InputReal(std::string(prompt) + " [mm]", value, min, max);
    return;
  }
  long double inches = value / 25.4L;
  const long double before = inches;
  InputReal(std::string(prompt) + " [inch]", inches, min / 25.4L, max / 25.4L);
  // An unchanged answer keeps the exact millimetres.
  if (inches != before) value = inches * 25.4L;
}

void InputInteger(std::string_view prompt, std::int32_t& value, std::int32_t lo, std::int32_t hi) {
  if (lo > hi) std::swap(lo, hi);
  std::int32_t current = value;
  std::string offered = IntStr(value);
  for (;;) {
    std::string text;
    if (!AskTyped(prompt, 12, offered, text)) return;
    std::int32_t candidate = current;
    if (text != offered) {
      if (!IsIntegerText(text)) {
        if (IsNumberBeyondRange(text)) {
          RangeMessage(IntStr(lo), IntStr(hi));
        } else {
          InvalidMessage(text);
        }
        current = value;
        offered = IntStr(value);
        continue;
      }
      candidate = StrToInteger(text);
    }
    if (candidate < lo || candidate > hi) {
      RangeMessage(IntStr(lo), IntStr(hi));
      current = candidate;
      offered = IntStr(candidate);
      continue;
    }
    value = candidate;
    return;
  }
}

void InputLongint(std::string_view prompt, std::int32_t& value, std::int32_t lo, std::int32_t hi) {
  InputInteger(prompt, value, lo, hi);
}

void InputWord(std::string_view prompt, std::uint16_t& value, std::int32_t lo, std::int32_t hi) {
  std::int32_t wide = value;
  InputInteger(prompt, wide, std::clamp<std::int32_t>(lo, 0, 65535),
               std::clamp<std::int32_t>(hi, 0, 65535));
  value = static_cast<std::uint16_t>(wide);
}

// ---------------------------------------------------------------------------------------------
// Window title and cursor

void SetWindowTitle(std::string& title) {
  title = ProgramIdentity.caption;
  if (!CurrentFileName.empty()) {
    // A command-line file is held with its folder; the title shows its own name only. The name
    // comes from the system in UTF-8; the title is composed in the DOS code page.
    const std::string name = CurrentFileName.substr(CurrentFileName.find_last_of('/') + 1);
    title += "  -  " + NameText(name);
    if (name.find('.') == std::string::npos) title += "." + ProgramIdentity.shortName;
  }
  CurrentDialogHost().SetApplicationTitle(Shown(title));
  CursorArrow();
}

void CursorWait() {
  CurrentDialogHost().SetCursorShape(TCursorShape::Wait);
}
void CursorArrow() {
  CurrentDialogHost().SetCursorShape(TCursorShape::Arrow);
}
void RestoreCursor() {
  CursorArrow();
}
