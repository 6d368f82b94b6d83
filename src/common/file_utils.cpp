// Path and file utilities.
#include "common/file_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/text_file.h"
#include "platform/file_system.h"
#include "platform/file_writer.h"
#include "platform/temp_dir.h"

namespace {

std::string_view LastElement(std::string_view path) {
  const auto slash = path.find_last_of(kPathSeparator);
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Wildcard match: "*" any run, "?" one character, letters in either case.
bool Match(std::string_view name, std::string_view mask) {
  std::size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || AsciiUpper(mask[m]) == AsciiUpper(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

void ReportCopyFailure(const char* what, std::string_view file) {
  AbortFlag = true;
  ErrorMessageIfEnabled(std::string(what) + " \"" + NameText(file) + "\" !");
}

// Copies in blocks of the given size; a complete copy replaces the target. Reports the first
// failure with the file it concerns.
bool CopyInBlocks(std::string_view source, std::string_view target, std::size_t blockSize) {
  const std::string src(source), dst(target);
  if (platform::QueryPath(src).isDirectory) {
    ReportCopyFailure("file not found or no access", source);
    return false;
  }
  const int in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    ReportCopyFailure("file not found or no access", source);
    return false;
  }
  platform::FileWriter out;
  const std::string temp = platform::ExistingPrivateTempDirectory();
  const bool scratch = !temp.empty() && dst.rfind(temp, 0) == 0;
  int err = out.Open(dst, platform::FileWriter::Mode::Replace, !scratch);
  if (err != 0) {
    close(in);
    ReportCopyFailure(err == ENOSPC ? "disk full" : "file cannot be created", target);
    return false;
  }
  std::vector<char> block(blockSize);
  for (;;) {
    const ssize_t got = read(in, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      close(in);
      out.Discard();
      ReportCopyFailure("read error", source);
      return false;
    }
    if (got == 0) break;
    err = out.Write(std::string_view(block.data(), static_cast<std::size_t>(got)));
    if (err != 0) break;
  }
  close(in);
  if (err == 0) err = out.Commit();
  if (err != 0) {
    out.Discard();
    ReportCopyFailure(IoCodeFromErrno(err, true) == kIoDiskFull ? "disk full" : "file write error",
                      target);
    return false;
  }
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Path texts

void AddBackslash(std::string_view dir, std::string& text) {
  text = TrimStr(dir);
  if (!text.empty() && text.back() != kPathSeparator) text.push_back(kPathSeparator);
}
std::string AddBackslash(std::string_view dir) {
  std::string text;
  AddBackslash(dir, text);
  return text;
}

void AddBackslashDrive(std::string_view dir, std::string& text) {
  AddBackslash(dir, text);
}
std::string AddBackslashDrive(std::string_view dir) {
  return AddBackslash(dir);
}

void DelBackslash(std::string_view dir, std::string& text) {
  text = std::string(dir);
  if (text.size() > 1 && text.back() == kPathSeparator) text.pop_back();
}
std::string DelBackslash(std::string_view dir) {
  std::string text;
  DelBackslash(dir, text);
  return text;
}

void BaseName(std::string_view path, std::string& text) {
  std::string_view name = LastElement(path);
  // The last character is not taken as the dot of an extension.
  if (name.size() > 1) {
    const auto dot = name.substr(0, name.size() - 1).find_last_of('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
  }
  text = std::string(name);
}
std::string BaseName(std::string_view path) {
  std::string text;
  BaseName(path, text);
  return text;
}

void ExtractBaseName(std::string_view path, std::string& text) {
  std::string_view name = LastElement(path);
  const auto dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  text = std::string(name);
}
std::string ExtractBaseName(std::string_view path) {
  std::string text;
  ExtractBaseName(path, text);
  return text;
}

void ExtOf(std::string_view name, std::string& text) {
  const std::string_view leaf = LastElement(name);
  const auto dot = leaf.find('.');
  text = dot == std::string_view::npos ? std::string() : std::string(leaf.substr(dot + 1));
}
std::string ExtOf(std::string_view name) {
  std::string text;
  ExtOf(name, text);
  return text;
}

void DirPart(std::string_view path, std::string& text) {
  const auto slash = path.find_last_of(kPathSeparator);
  text = slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}
std::string DirPart(std::string_view path) {
  std::string text;
  DirPart(path, text);
  return text;
}

void DrivePart(std::string_view, std::string& text) {
  text.clear();
}
std::string DrivePart(std::string_view) {
  return {};
}

void TrimInPlace(std::string& text) {
  text = TrimStr(text);
}

void ShortenMiddle(std::string_view text, int width, std::string& out) {
  if (width < 0 || static_cast<int>(text.size()) <= width) {
    out = std::string(text);
    return;
  }
  const int k = std::max(width / 2 - 3, 0);
  out = std::string(text.substr(0, static_cast<std::size_t>(k))) + " ... " +
        std::string(text.substr(text.size() - static_cast<std::size_t>(k + 1)));
}
std::string ShortenMiddle(std::string_view text, int width) {
  std::string out;
  ShortenMiddle(text, width, out);
  return out;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string out(dir);
  if (out.back() != kPathSeparator) out.push_back(kPathSeparator);
  while (!name.empty() && name.front() == kPathSeparator) name.remove_prefix(1);
  out.append(name);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Attributes

bool FileAttributes(std::string_view name, std::uint16_t& attributes) {
  attributes = 0;
  const platform::PathInfo info = platform::QueryPath(std::string(name));
  if (!info.exists) return false;
  if (info.isDirectory) attributes |= kFaDirectory;
  if (info.isRegular) attributes |= kFaArchive;
  if (info.isOther) attributes |= kFaSysFile;
  if (!info.writable) attributes |= kFaReadOnly;
  const std::string trimmed = DelBackslash(name);  // the leaf below points into it
  const std::string_view leaf = LastElement(trimmed);
  if (!leaf.empty() && leaf.front() == '.' && leaf != "." && leaf != "..") {
    attributes |= kFaHidden;
  }
  return true;
}

bool HasAllAttributes(std::string_view name, std::uint16_t attributes) {
  std::uint16_t have = 0;
  if (!FileAttributes(name, have)) return false;
  return (have & attributes) == attributes;
}

// ---------------------------------------------------------------------------------------------
// File tests and operations

bool FileExistsIO(std::string_view name) {
  const std::string path(name);
  if (path.empty() || platform::QueryPath(path).isDirectory) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool CheckDirWritable(std::string_view dir) {
  std::string d = TrimStr(dir);
  return platform::DirectoryTakesNewFiles(d.empty() ? std::string(".") : d);
}

bool DirHasEntries(std::string_view dir) {
  std::vector<std::string> names;
  std::string d = TrimStr(dir);
  if (d.empty() || !platform::ListDirectory(d, names)) return false;
  return !names.empty();
}

bool CanChangeDir(std::string_view dir) {
  return platform::CanEnterDirectory(DelBackslash(TrimStr(dir)));
}

void EraseIfExists(std::string_view name) {
  if (FileExistsIO(name)) platform::RemoveFile(std::string(name));
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*") return true;
  return Match(name, mask);
}

void DeleteFilesByMask(std::string_view dir, std::string_view mask) {
  std::vector<std::string> names;
  const std::string d = std::string(dir).empty() ? std::string(".") : std::string(dir);
  if (!platform::ListDirectory(d, names)) return;
  for (const std::string& n : names) {
    if (!MatchesMask(n, mask)) continue;
    const std::string path = JoinPath(d, n);
    if (platform::QueryPath(path).isDirectory) continue;
    platform::RemoveFile(path);
  }
}

bool CopyFileBlocks(std::string_view source, std::string_view target) {
  return CopyInBlocks(source, target, 2048);
}

bool CopyFileChunked(std::string_view source, std::string_view target) {
  std::string dst = platform::AbsolutePath(std::string(target));
  if (HasAllAttributes(dst, kFaDirectory)) dst = JoinPath(dst, LastElement(source));
  return CopyInBlocks(source, dst, 8192);
}

bool CopyFileToDir(std::string_view source, std::string_view target) {
  if (!FileExistsIO(source)) return false;
  std::string dir = AddBackslash(DirPart(target));
  if (dir.empty()) dir = "./";
  return CopyFileChunked(source, dir);
}

void CopyFiles(std::string_view mask, std::string_view sourceDir, std::string_view targetDir) {
  const std::string from = AddBackslashDrive(sourceDir);
  const std::string to = AddBackslashDrive(targetDir);
  std::vector<std::string> names;
  bool matched = false, failed = false;
  if (platform::ListDirectory(from.empty() ? std::string(".") : from, names)) {
    for (const std::string& n : names) {
      if (!MatchesMask(n, mask)) continue;
      const std::string path = from + n;
      if (platform::QueryPath(path).isDirectory) continue;
      matched = true;
      if (!CopyFileToDir(path, to + n)) failed = true;
    }
  }
  AbortFlag = !matched || failed;
}

namespace {

bool SameDirectory(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

}  // namespace

std::string PrivateTempDir() {
  std::string base = TrimStr(ProgramSettings.tempDirectory);
  // Older configurations stored the data directory here.
  for (const std::string& data :
       {DataDirectory, ConfigVariables.DefaultDataDirectory, ProgramSettings.BaseDirectory}) {
    if (SameDirectory(base, TrimStr(data))) base.clear();
  }
  return platform::PrivateTempDirectory(base);
}

std::string HandOffDir() {
  std::string root;
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  if (cache != nullptr && cache[0] == '/') {
    root = cache;
  } else if (home != nullptr && home[0] != '\0') {
    root = std::string(home) + "/.cache";
  }
  if (!root.empty()) {
    const std::string dir = AddBackslash(root) + "vuko/";  // named after the executable
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (platform::QueryPath(dir).isDirectory) return dir;
  }
  return PrivateTempDir();
}

std::string FindFileIgnoringCase(std::string_view path) {
  const std::string full(path);
  if (platform::QueryPath(full).exists) return full;
  const std::size_t cut = full.find_last_of('/');
  const std::string dir = cut == std::string::npos ? std::string(".") : full.substr(0, cut + 1);
  const std::string wanted = LowerStr(cut == std::string::npos ? full : full.substr(cut + 1));
  std::vector<std::string> names;
  if (!platform::ListDirectory(dir, names)) return full;
  std::sort(names.begin(), names.end());  // the same pick every time when several match
  for (const std::string& n : names) {
    if (LowerStr(n) == wanted) return cut == std::string::npos ? n : dir + n;
  }
  return full;
}

std::vector<std::string> PrintQueueCommand(int port) {
  if (port <= 1) return {"lp"};
  return {"lp", "-d", "LPT" + IntStr(port)};
}
