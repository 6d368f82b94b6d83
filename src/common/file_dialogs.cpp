// File dialogs through the dialog host and the checked opening, writing and closing of text
// files.
#include "common/file_dialogs.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/file_utils.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "platform/file_system.h"

namespace {

std::string Quoted(std::string_view name) {
  return " \"" + NameText(name) + "\"";
}

// 0 when the name can be written, else the errno value that stops it: a missing file can be
// created (the probe is removed again), an existing one is writable and its directory takes
// the new copy that replaces it.
int NameWriteError(const std::string& name) {
  const platform::PathInfo info = platform::QueryPath(name);
  if (info.exists) {
    if (info.isDirectory) return EISDIR;
    if (!info.writable) return EACCES;
    if (!info.isRegular) return 0;  // a device is written in place
    std::string dir = DirPart(name);
    return CheckDirWritable(dir.empty() ? std::string(".") : dir) ? 0 : EACCES;
  }
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  close(fd);
  return unlink(name.c_str()) == 0 ? 0 : errno;
}

std::string LastExtension(std::string_view name) {
  const std::string leaf = ExtractBaseName(name);
  std::string_view last = name.substr(
      name.find_last_of('/') == std::string_view::npos ? 0 : name.find_last_of('/') + 1);
  if (last.size() > leaf.size() + 1) return std::string(last.substr(leaf.size() + 1));
  return {};
}

void ReportOnce(TTextFile& file, const std::string& text) {
  AbortFlag = true;
  if (file.TakeFailureReport()) ErrorMessageIfEnabled(text);
}

// What kept a file from being made or opened for writing, in words, from the system's errno
// value: the I/O codes fold a name too long and a missing folder together.
std::string WriteFailureReason(int err, const std::string& name) {
  const platform::PathInfo info = platform::QueryPath(name);
  if (info.exists && info.isDirectory) return "a folder of that name is in the way";
  if (info.exists && !info.isRegular) return "no regular file (a pipe or a socket)";
  switch (err) {
    case ENAMETOOLONG:
      return "its name is too long";
    case ENOENT:
      return "its folder does not exist";
    case ENOTDIR:
      return "a file is in the way of its folder";
    case ELOOP:
      return "its path loops through links";
    case EACCES:
    case EPERM:
      return "no permission to write it";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "disk full";
    default:
      return "it cannot be written";
  }
}

}  // namespace

void CheckOverwrite(std::string_view fullName) {
  const std::string name(fullName);
  if (OverwriteConfirmation && FileExistsIO(name) && name.find("actual") == std::string::npos) {
    SetInputHelpNumber(3055);
    if (!AskYesNo(NameText(name) + " " + "already exists" + ".   " + "overwrite" + " ?"))
      AbortFlag = true;
  }
  if (AbortFlag) return;
  if (const int err = NameWriteError(name)) {
    ErrorMessageIfEnabled("invalid file name" + Quoted(name) + ": " +
                          WriteFailureReason(err, name) + " !");
    AbortFlag = true;
  }
}

void SaveAsFileName(std::string_view name, std::string& fullName) {
  const std::string& ext = ProgramIdentity.shortName;
  if (ProgramSettings.FileFromCommandLine) {
    if (ProgramSettings.ArchiveFlag && name != "actual") {
      ArchiveModeMessage();
      AbortFlag = true;
      return;
    }
    if (!ProgramSettings.ArchiveFlag) ProgramSettings.FileFromCommandLine = false;
  }
  if (name.empty()) {
    if (TourRunning) CurrentFileName = "demo";
    TFileDialogRequest request;
    request.filter = "*." + ext + "|*." + ext;
    request.directory = DataDirectory;
    request.fileName = CurrentFileName;
    request.defaultExtension = ext;
    request.helpNumber = HelpNumber;
    std::string chosen, baseName;
    if (ShowSaveDialog(request, chosen)) {
      DataDirectory = DirPart(chosen);
      baseName = ExtractBaseName(chosen);
    }
    CursorArrow();
    if (AbortFlag) return;
    fullName = AddBackslash(DataDirectory) + baseName + "." + ext;
    CheckOverwrite(fullName);
    if (!AbortFlag) CurrentFileName = baseName;
    return;
  }
  if (name.find('.') == std::string_view::npos) {
    fullName = AddBackslash(DataDirectory) + std::string(name) + "." + ext;
  } else {
    fullName = std::string(name);
  }
  CheckOverwrite(fullName);
}

void SelectDirectory(std::string_view dir, std::string& result) {
  TFileDialogRequest request;
  request.filter = "*.*|*.*";
  if (platform::QueryPath(DelBackslash(TrimStr(dir))).isDirectory) {
    request.directory = DelBackslash(TrimStr(dir));
  }
  request.helpNumber = HelpNumber;
  std::string chosen;
  if (CurrentDialogHost().SelectOpenFile(request, chosen) && !chosen.empty()) {
    result = DirPart(chosen);
  } else {
    result = std::string(dir);
  }
}

void OpenFileName(std::string_view mask, std::string_view filter, std::string& name) {
  TFileDialogRequest request;
  request.filter = std::string(filter) + "|" + std::string(filter);
  request.directory = DelBackslash(TrimStr(DirPart(TrimStr(mask))));
  request.helpNumber = HelpNumber;
  std::string chosen;
  if (CurrentDialogHost().SelectOpenFile(request, chosen) && !chosen.empty()) {
    name = chosen;
  } else {
    name = std::string(mask);
    AbortFlag = true;
  }
}

void OpenFileNameFilter(int mode, std::string& dir, std::string_view filter, std::string& name) {
  TFileDialogRequest request;
  request.filter = std::string(filter) + "|" + std::string(filter);
  request.directory = DelBackslash(TrimStr(dir));
  request.helpNumber = HelpNumber;
  std::string chosen;
  if (!CurrentDialogHost().SelectOpenFile(request, chosen) || chosen.empty()) {
    name.clear();
    AbortFlag = true;
    return;
  }
  dir = DirPart(chosen);
  name = mode == 5 ? chosen : ExtractBaseName(chosen);
  if (mode == 4) ProgramIdentity.shortName = LastExtension(chosen);
}

void CheckFileExists(std::string_view name) {
  if (FileExistsIO(name)) return;
  ErrorMessageIfEnabled("file " + NameText(TrimStr(name)) + " " + "not found or no access" + " !");
  AbortFlag = true;
}

void ArchiveModeMessage() {
  ErrorMessageIfEnabled("Option is not available in archive mode.");
}

bool ShowOpenDialog(const TFileDialogRequest& request, std::string& fileName) {
  std::string chosen;
  if (!CurrentDialogHost().SelectOpenFile(request, chosen) || chosen.empty()) {
    AbortFlag = true;
    return false;
  }
  fileName = chosen;
  return true;
}

bool ShowSaveDialog(const TFileDialogRequest& request, std::string& fileName) {
  std::string chosen;
  if (!CurrentDialogHost().SelectSaveFile(request, chosen) || chosen.empty()) {
    AbortFlag = true;
    return false;
  }
  fileName = chosen;
  return true;
}

void RewriteChecked(TTextFile& file) {
  for (;;) {
    const int code = file.Rewrite();
    if (code == kIoOk) return;
    std::string text;
    if (code == kIoWriteProtected) {
      text = "remove write protect !";
    } else {
      text = "I/O-Error " + IntStr(code);
    }
    text += Quoted(file.Name());
    if (code != kIoWriteProtected) text += ": " + WriteFailureReason(file.OpenErrno(), file.Name());
    // Without a person the open is tried once; a lasting error must not loop.
    if (!MessagesEnabled || !CurrentDialogHost().IsInteractive()) {
      ErrorMessageIfEnabled(text);
      AbortFlag = true;
      return;
    }
    TRetryRequest request;
    request.caption = "Error  : ";
    request.text = DosToWin(text);
    if (!CurrentDialogHost().AskRetry(request)) {
      AbortFlag = true;
      return;
    }
  }
}

void CheckWriteResult(TTextFile& file) {
  const int code = file.Rewrite();
  if (code == kIoOk) return;
  ReportOnce(file, IoFailureText(code, file.Name(), "file write error"));
}

void WriteLineChecked(TTextFile& file, std::string_view text) {
  if (AbortFlag) return;
  const int code = file.WriteLine(text);
  if (code == kIoOk) return;
  const char* what = code == kIoReadError       ? "read error"
                     : code == kIoInvalidNumber ? "invalid numeric code"
                                                : "file access error";
  ReportOnce(file, IoFailureText(code, file.Name(), what));
}

void CloseChecked(TTextFile& file) {
  const bool writing = file.IsOpenForOutput();
  const int code = file.Close();
  if (code == kIoOk || !writing) return;
  ReportOnce(file, IoFailureText(code, file.Name(), "file close error"));
}
