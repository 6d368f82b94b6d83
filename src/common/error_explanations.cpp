// Explanations of calculation messages: lookup, message choice and saving edited records.
#include "common/error_explanations.h"

#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "common/text_file.h"

namespace fs = std::filesystem;

namespace {

TErrorBoxHook& BoxHook() {
  static TErrorBoxHook hook;
  return hook;
}

// The explanation file as last read. A listing asks for two lines per message, and the file
// holds every message's record: it is read once and read again only when it is another file
// (another directory or language) or was changed on disk (saved from the window, edited).
struct TExplanationCache {
  std::string name;
  std::int32_t language = -1;
  fs::file_time_type written{};
  std::uintmax_t size = 0;
  bool readable = false;
  std::vector<std::string> lines;
};

TExplanationCache& Cache() {
  static TExplanationCache cache;
  return cache;
}

// The lines of the explanation file; null when it cannot be read.
const std::vector<std::string>* ExplanationLines() {
  const std::string name = ErrorExplanationFileName();
  std::error_code ec;
  const fs::file_time_type written = fs::last_write_time(name, ec);
  const std::uintmax_t size = ec ? 0 : fs::file_size(name, ec);
  if (ec) return nullptr;
  TExplanationCache& cache = Cache();
  if (!cache.readable || cache.name != name || cache.language != ConfigVariables.LanguageCode ||
      cache.written != written || cache.size != size) {
    cache.lines.clear();
    cache.readable = ReadTextFileLines(name, cache.lines);
    cache.name = name;
    cache.language = ConfigVariables.LanguageCode;
    cache.written = written;
    cache.size = size;
  }
  return cache.readable ? &cache.lines : nullptr;
}

// Index of the first line matching the message's key; -1 when none does.
int FindRecord(const std::vector<std::string>& lines, std::string_view message) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (ErrorKeyMatches(lines[i], message)) return static_cast<int>(i);
  }
  return -1;
}

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

// offset 1: origin, 2: remedy.
void GetErrorLine(int n, int offset, std::string& text) {
  if (AbortFlag) return;
  const std::vector<std::string>* file = ExplanationLines();
  if (file == nullptr) {
    text.clear();
    return;
  }
  const std::vector<std::string>& lines = *file;
  int at = FindRecord(lines, ErrorText(n));
  if (at < 0) {
    text = offset == 1 ? std::string(kNoErrorHelpText) : std::string();
    return;
  }
  std::size_t wanted = static_cast<std::size_t>(at + offset);
  text = wanted < lines.size() ? lines[wanted] : std::string();
}

}  // namespace

std::string ErrorExplanationFileName() {
  return AddBackslash(ProgramSettings.pltDirectory) + LowerStr(ProgramIdentity.fileStem) + ".err";
}

bool ErrorKeyMatches(std::string_view line, std::string_view message) {
  return line.substr(0, kErrorKeyLength) == message.substr(0, kErrorKeyLength);
}

void ShowErrorList() {
  if (HasParam("/NOGUI") || TourRunning) return;
  int count = ErrorCount();
  if (count == 0) {
    InfoMessage("Calculation successful without error messages");
    return;
  }
  AbortFlag = false;
  for (int i = 1; i <= count; ++i) ScreenLines[i] = ErrorText(i);
  ScreenLines[count + 1] = "Continue...";
  SetInputHelpNumber(2070);
  int proposal = ProgramSettings.HelpLevel < 2 ? count + 1 : 1;
  for (;;) {
    SetInputHelpNumber(1210);
    int choice = proposal;
    InputCode("Calculation done. Select message for more info or continue.", count + 1, choice);
    if (AbortFlag || choice == count + 1) return;
    ShowErrorHelp(choice);
    if (AbortFlag) return;
    proposal = choice + 1;
    if (proposal == count + 1) return;
  }
}

void ShowErrorHelp(int n) {
  std::string name = ErrorExplanationFileName();
  CheckFileExists(name);
  if (AbortFlag) return;
  const std::vector<std::string>* file = ExplanationLines();
  if (file == nullptr) {
    AbortFlag = true;
    return;
  }
  const std::vector<std::string>& lines = *file;
  std::string message = ErrorText(n);
  int at = FindRecord(lines, message);
  // A record needs at least its origin line after the message line.
  if (at < 0 || static_cast<std::size_t>(at + 1) >= lines.size()) {
    ShowMessageCaption("Message", kNoErrorHelpText);
    return;
  }
  std::string origin = lines[static_cast<std::size_t>(at + 1)];
  std::string remedy = static_cast<std::size_t>(at + 2) < lines.size()
                           ? lines[static_cast<std::size_t>(at + 2)]
                           : std::string();
  ShowErrorBox(message, origin, remedy);
}

void ShowErrorBox(const std::string& message, const std::string& origin,
                  const std::string& remedy) {
  if (BoxHook()) {
    BoxHook()(message, origin, remedy);
    return;
  }
  ShowMessageCaption("Error Message",
                     message + "\n\n" + "Origin" + ": " + origin + "\n" + "Remedy" + ": " + remedy);
}

void GetErrorOrigin(int n, std::string& text) {
  GetErrorLine(n, 1, text);
}

void GetErrorRemedy(int n, std::string& text) {
  GetErrorLine(n, 2, text);
}

void SaveErrorHelp(const std::string& message, const std::string& origin,
                   const std::string& remedy) {
  std::string name = ErrorExplanationFileName();
  CheckFileExists(name);
  if (AbortFlag) return;
  std::vector<std::string> lines;
  if (!ReadTextFileLines(name, lines)) {
    AbortFlag = true;
    return;
  }
  int at = FindRecord(lines, message);
  if (at < 0) {
    ShowLongText(message + " not found.");
    return;
  }
  std::size_t o = static_cast<std::size_t>(at + 1);
  while (lines.size() < o + 2) lines.emplace_back();
  lines[o] = OneLine(origin);
  lines[o + 1] = OneLine(remedy);

  TTextFile file;
  file.Assign(name);
  RewriteChecked(file);
  if (AbortFlag) return;
  for (const std::string& line : lines) WriteLineStr(file, line);
  if (AbortFlag) {
    file.Abandon();
    return;
  }
  CloseText(file);
  // The next lookup reads the new record even where the clock cannot tell the two files apart.
  Cache().readable = false;
}

void InstallErrorBoxHook(TErrorBoxHook hook) {
  BoxHook() = std::move(hook);
}
