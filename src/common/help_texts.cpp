// Numbered help texts: file lookup, the help box and the hint texts.
#include "common/help_texts.h"

#include <dirent.h>

#include <cctype>
#include <utility>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/text_file.h"

namespace {

THelpImageHook& ImageHook() {
  static THelpImageHook hook;
  return hook;
}

// A name in dir that equals name apart from letter case; empty when there is none.
std::string CaseBlindMatch(const std::string& dir, const std::string& name) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return {};
  std::string wanted = UpperStr(name);
  std::string found;
  while (dirent* e = readdir(d)) {
    if (UpperStr(e->d_name) == wanted) {
      found = e->d_name;
      break;
    }
  }
  closedir(d);
  return found;
}

bool IsNumberLine(int number) {
  return number >= 0;
}

}  // namespace

std::string HelpFileName(int number) {
  std::string dir = AddBackslash(ProgramSettings.pltDirectory);
  std::string name = number >= kOwnHelpFirstNumber ? LowerStr(ProgramIdentity.fileStem) + ".hlp"
                                                   : std::string("TARVENO.hlp");
  std::string full = dir + name;
  if (!FileExistsIO(full)) {
    std::string other = CaseBlindMatch(dir, name);
    if (!other.empty()) full = dir + other;
  }
  return full;
}

void ParseHelpLine(std::string_view line, int& number, std::string& image) {
  std::string_view head = line.substr(0, 4);
  std::size_t i = 0;
  while (i < head.size() && head[i] == ' ') ++i;
  int value = 0;
  bool digits = false;
  bool ok = true;
  for (; i < head.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(head[i]);
    if (!std::isdigit(c)) {
      ok = false;
      break;
    }
    value = value * 10 + (c - '0');
    digits = true;
  }
  number = (ok && digits) ? value : -1;
  std::size_t colon = line.find(':');
  image =
      colon == std::string_view::npos ? std::string("NULL") : std::string(line.substr(colon + 1));
}

std::string NoHelpText(int number) {
  return "help text No " + IntStr(number) + ": " + "No help available" + ".";
}

THelpLookup LookupHelpEntry(int number, THelpLines& lines, std::string& image) {
  lines.Fill(std::string());
  image.clear();
  std::string name = HelpFileName(number);
  TTextFile file;
  file.Assign(name);
  if (file.Reset() != kIoOk) {
    lines[1] = "File " + NameText(name) + " " + "not found" + " !";
    return THelpLookup::FileMissing;
  }
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    if (file.Eof()) break;  // a number line needs its text line; a last plain line is no entry
    int lineNumber = -1;
    std::string lineImage;
    ParseHelpLine(line, lineNumber, lineImage);
    std::string text = line;
    if (IsNumberLine(lineNumber)) file.ReadLine(text);
    // The entry's text line may be the last line of the file: the entry is still complete.
    if (lineNumber != number) continue;

    image = lineImage;
    lines[1] = text;
    int k = 2;
    while (k <= kHelpLineCount && !file.Eof()) {
      std::string next;
      file.ReadLine(next);
      int m = -1;
      std::string ignored;
      ParseHelpLine(next, m, ignored);
      if (!IsNumberLine(m)) {
        lines[k++] = next;
        continue;
      }
      if (m % 5 == 0) break;  // the next entry starts
      std::string continuation;
      if (!file.Eof()) file.ReadLine(continuation);
      if (m == number + k - 1) lines[k] = continuation;
      ++k;
    }
    file.Close();
    return THelpLookup::Found;
  }
  file.Close();
  lines[1] = NoHelpText(number);
  image = "null";
  return THelpLookup::EntryMissing;
}

void ShowHelpBox(const THelpLines& lines, const std::string& image, int kind, int number) {
  if (kind == kHelpTextAndImage || kind == kHelpTextOnly) {
    std::string text;
    for (const std::string& l : lines) text += l + " ";
    std::string caption = UpperStr("help text") + " " + "No" + "." + IntStr(number);
    // ShowMessageCaption converts both texts from the DOS code page itself.
    ShowMessageCaption(caption, text);
  }
  if (kind == kHelpTextAndImage || kind == kHelpImageOnly) {
    std::string plt;
    if (!image.empty() && image != "NULL") {
      plt = AddBackslash(ProgramSettings.pltDirectory) + image + ".plt";
    }
    if (ImageHook()) ImageHook()(plt);
  }
}

void ShowHelpText(int number, int kind) {
  if (number == 0) number = HelpNumber;
  THelpLines lines;
  std::string image;
  THelpLookup result = LookupHelpEntry(number, lines, image);
  if (result != THelpLookup::Found) AbortFlag = false;
  ShowHelpBox(lines, image, kind, number);
}

void GetHelpText(int number, std::string& text) {
  THelpLines lines;
  std::string image;
  THelpLookup result = LookupHelpEntry(number, lines, image);
  AbortFlag = false;
  if (result != THelpLookup::Found) {
    text = DosToWin(lines[1]);
    return;
  }
  text.clear();
  for (int k = 1; k <= kHelpLineCount; ++k) {
    if (k > 1) text += ' ';
    text += DosToWin(lines[k]);
  }
}

std::string GetHelpText(int number) {
  std::string text;
  GetHelpText(number, text);
  return text;
}

void FetchHelpText(int number, std::string& text) {
  GetHelpText(number, text);
}

void InstallHelpImageHook(THelpImageHook hook) {
  ImageHook() = std::move(hook);
}
