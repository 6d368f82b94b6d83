// Shared small routines of the dBASE table library: texts, bytes, BCD keys, Soundex, the
// circular list and file and system helpers.
#include "xbase/xbase_utils.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>

#include "common/file_utils.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"

char LogicalLetters[2] = {'N', 'Y'};
int DosError = 0;

namespace {

constexpr const char* kSoundexTable = "01230120022455012623010202";

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Letters of the Windows code page above ASCII (for the ANSI letter test and case mapping).
bool IsAnsiLetterHigh(unsigned char c) {
  if (c >= 0xC0) return c != 0xD7 && c != 0xF7;
  switch (c) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA:
      return true;
    default:
      return false;
  }
}

bool HasWildcard(const std::string& name) {
  return name.find_first_of("*?") != std::string::npos;
}

void SplitDirAndMask(const std::string& mask, std::string& dir, std::string& pattern) {
  const std::size_t slash = mask.find_last_of('/');
  if (slash == std::string::npos) {
    dir = ".";
    pattern = mask;
  } else {
    dir = slash == 0 ? "/" : mask.substr(0, slash);
    pattern = mask.substr(slash + 1);
  }
}

// Header in front of every list node's payload, padded so the payload is aligned for any value.
constexpr std::size_t kListHeader = (sizeof(TListNode) + alignof(std::max_align_t) - 1) /
                                    alignof(std::max_align_t) * alignof(std::max_align_t);
constexpr std::uint16_t kListHeaderSize = 10;  // the node size counts a 10-byte header

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texts

int OccurrencePos(int n, std::string_view sub, std::string_view text) {
  std::string s(sub);
  std::string t(text);
  const bool backward = n < 0;
  if (backward) {
    std::reverse(s.begin(), s.end());
    std::reverse(t.begin(), t.end());
    n = -n;
  }
  if (s.empty() || t.empty() || n < 1) return 0;
  int position = 0;
  if (s.size() == 1) {
    int matches = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i] == s[0] && ++matches == n) {
        position = static_cast<int>(i) + 1;
        break;
      }
    }
  } else {
    for (int k = 1; k <= n; ++k) {
      const std::size_t found = t.find(s);
      if (found == std::string::npos) return 0;
      // Marking the match's first character lets overlapping occurrences count.
      t[found] = static_cast<char>(255);
      position = static_cast<int>(found) + 1;
    }
  }
  if (position == 0) return 0;
  if (backward)
    position = static_cast<int>(text.size()) - position + 1 - static_cast<int>(sub.size()) + 1;
  return position;
}

std::string AllTrim(std::string_view text) {
  return LTrim(RTrim(text));
}

std::string RTrim(std::string_view text) {
  std::size_t last = text.size();
  while (last > 0 && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(0, last));
}

std::string LTrim(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  return std::string(text.substr(first));
}

std::string StrWidth(long long n, int width) {
  std::string text = std::to_string(n);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string ZeroPad(unsigned n, int width) {
  std::string text = std::to_string(n & 0xFFFFu);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

bool IsAlpha(std::string_view text) {
  if (text.empty()) return false;
  const unsigned char c = static_cast<unsigned char>(text[0]);
  return IsAsciiLetter(static_cast<char>(c)) || IsAnsiLetterHigh(c);
}

char CharUpper(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0 && c != 0xF7 && c != 0xFF) return static_cast<char>(c - 32);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<char>(c - 16);
  if (c == 0xFF) return static_cast<char>(0x9F);
  return ch;
}

char CharLower(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<char>(c + 16);
  if (c == 0x9F) return static_cast<char>(0xFF);
  return ch;
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return result;
}

bool IsUpperLetter(char ch) {
  return ch >= 'A' && ch <= 'Z';
}

bool RemoveKeyword(std::string_view word, std::string& text) {
  text = UpperAscii(text);
  const std::string upperWord = UpperAscii(word);
  bool removed = false;
  if (!upperWord.empty()) {
    std::size_t from = 0;
    for (;;) {
      const std::size_t found = text.find(upperWord, from);
      if (found == std::string::npos) break;
      const std::size_t after = found + upperWord.size();
      const bool endsWord =
          after >= text.size() || !(IsDigit(text[after]) || text[after] == '\\' ||
                                    text[after] == '_' || IsAsciiLetter(text[after]));
      if (endsWord) {
        text.erase(found, upperWord.size());
        removed = true;
        from = found;
      } else {
        from = found + 1;
      }
    }
  }
  text = AllTrim(text);
  return removed;
}

void ReverseBytes(void* buffer, std::size_t n) {
  auto* p = static_cast<unsigned char*>(buffer);
  std::reverse(p, p + n);
}

void RotateBytes(void* buffer, std::size_t firstLength, std::size_t secondLength) {
  if (firstLength == 0 || secondLength == 0) return;
  auto* p = static_cast<unsigned char*>(buffer);
  ReverseBytes(p, firstLength);
  ReverseBytes(p + firstLength, secondLength);
  ReverseBytes(p, firstLength + secondLength);
}

// ---------------------------------------------------------------------------------------------
// Zero-terminated strings and bytes

std::size_t StrLenZ(const char* p) {
  return std::strlen(p);
}

void StrCopyZ(char* dest, const char* src) {
  std::strcpy(dest, src);
}

std::string StrLCopyToString(const char* p, std::size_t max) {
  max = std::min<std::size_t>(max, 255);
  std::size_t n = 0;
  while (n < max && p[n] != '\0') ++n;
  return std::string(p, n);
}

void StringToZ(char* dest, std::string_view text) {
  std::memcpy(dest, text.data(), text.size());
  dest[text.size()] = '\0';
}

int CompareBytes(const void* a, const void* b, std::size_t n) {
  const auto* pa = static_cast<const unsigned char*>(a);
  const auto* pb = static_cast<const unsigned char*>(b);
  for (std::size_t i = 0; i < n; ++i)
    if (pa[i] != pb[i]) return static_cast<int>(pa[i]) - static_cast<int>(pb[i]);
  return 0;
}

int CompareDouble(double a, double b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// BCD keys

void StrToBcd(unsigned char* key, std::string_view text, int length, int decimals) {
  std::memset(key, 0, kBcdKeyLength);
  if (length > 0 && static_cast<std::size_t>(length) < text.size()) text = text.substr(0, length);
  std::size_t i = 0;
  bool negative = false;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && text[i] == '+') {
    ++i;
  } else if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  while (i < text.size() && (text[i] == ' ' || text[i] == '0')) ++i;
  int exponent = 0x34;
  bool hadPoint = false;
  if (i < text.size() && text[i] == '.') {
    hadPoint = true;
    ++i;
    while (i < text.size() && text[i] == '0') {
      --exponent;
      ++i;
    }
  }
  int digits = 0;
  int trailingZeros = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.') {
      if (hadPoint) break;
      hadPoint = true;
      continue;
    }
    if (!IsDigit(c)) break;
    if (digits >= 20) {
      if (!hadPoint) ++exponent;
      continue;
    }
    const int d = c - '0';
    if (digits % 2 == 0)
      key[2 + digits / 2] = static_cast<unsigned char>(d << 4);
    else
      key[2 + digits / 2] |= static_cast<unsigned char>(d);
    ++digits;
    if (!hadPoint) ++exponent;
    trailingZeros = d == 0 ? trailingZeros + 1 : 0;
  }
  int count = digits - trailingZeros;
  if (count != 0 && count < 10) count = 10;
  if (hadPoint && decimals > trailingZeros) count = digits;
  count = std::min(count, 20);
  if (digits - trailingZeros == 0) {
    // Zero has one key whatever its sign or spelling.
    std::memset(key, 0, kBcdKeyLength);
    key[0] = 0x34;
    key[1] = 0x01;
    return;
  }
  key[0] = static_cast<unsigned char>(exponent);
  key[1] = static_cast<unsigned char>((negative ? 0x80 : 0) | (count << 2) | 0x01);
}

void FloatToBcd(unsigned char* key, int decimals, double value) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                    std::clamp(decimals, 0, 30));
  const std::string_view text(buffer, result.ec == std::errc() ? result.ptr - buffer : 0);
  StrToBcd(key, text, static_cast<int>(text.size()), decimals);
}

int CompareBcd(const unsigned char* a, const unsigned char* b) {
  const bool negA = (a[1] & 0x80) != 0;
  const bool negB = (b[1] & 0x80) != 0;
  if (negA != negB) return negA ? -1 : 1;
  const int countA = (a[1] >> 2) & 0x1F;
  const int countB = (b[1] >> 2) & 0x1F;
  const int expA = countA == 0 ? 0 : a[0];
  const int expB = countB == 0 ? 0 : b[0];
  if (expA != expB) {
    const int r = expA > expB ? 1 : -1;
    return negA ? -r : r;
  }
  const std::size_t bytes = (std::max(countA, countB) + 1) / 2;
  return negA ? CompareBytes(b + 2, a + 2, bytes) : CompareBytes(a + 2, b + 2, bytes);
}

// ---------------------------------------------------------------------------------------------
// Soundex

std::string Soundex(std::string_view text) {
  if (text.size() > 100) text = text.substr(0, 100);
  const std::string upper = UpperAscii(text);
  std::string result;
  char previous = '0';
  if (!upper.empty()) {
    result += upper[0];
    if (IsUpperLetter(upper[0])) previous = kSoundexTable[upper[0] - 'A'];
  }
  for (std::size_t i = 1; i < upper.size() && result.size() < kSoundexLength; ++i) {
    const char c = upper[i];
    if (!IsUpperLetter(c)) continue;
    const char digit = kSoundexTable[c - 'A'];
    if (digit != previous && digit != '0') result += digit;
    previous = digit;
  }
  result.resize(kSoundexLength, '0');
  return result;
}

// ---------------------------------------------------------------------------------------------
// Circular list

void* ListPayload(TListNode* node) {
  return reinterpret_cast<char*>(node) + kListHeader;
}

TListNode* ListNodeOf(void* payload) {
  return reinterpret_cast<TListNode*>(static_cast<char*>(payload) - kListHeader);
}

void* ListNewNode(TListNode*& head, std::uint16_t size) {
  if (MaxAvail() <= static_cast<std::int32_t>(size) + kListHeaderSize) return nullptr;
  void* block = std::calloc(1, kListHeader + size);
  if (!block) return nullptr;
  auto* node = static_cast<TListNode*>(block);
  node->size = static_cast<std::uint16_t>(size + kListHeaderSize);
  ListPush(head, node);
  return ListPayload(node);
}

void ListPush(TListNode*& head, TListNode* node) {
  if (!head) {
    node->prev = node;
    node->next = node;
  } else {
    TListNode* oldest = head->prev;
    node->next = head;
    node->prev = oldest;
    head->prev = node;
    oldest->next = node;
  }
  head = node;
}

TListNode* ListPop(TListNode*& head) {
  TListNode* node = head;
  if (!node) return nullptr;
  if (node->next == node) {
    head = nullptr;
  } else {
    TListNode* newer = node->next;
    TListNode* oldest = node->prev;
    newer->prev = oldest;
    oldest->next = newer;
    head = newer;
  }
  node->prev = node->next = nullptr;
  return node;
}

TListNode* ListNext(TListNode* head, TListNode* node) {
  if (!head) return nullptr;
  if (!node) return head->prev;
  if (node == head) return nullptr;
  return node->prev;
}

void ListFreeNode(TListNode* node) {
  std::free(node);
}

void ListFreeAll(TListNode*& head) {
  while (head) ListFreeNode(ListPop(head));
}

// ---------------------------------------------------------------------------------------------
// Files and system

std::string UniqueFilename() {
  std::string dir = PrivateTempDir();
  if (dir.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    dir = (tmp && *tmp) ? tmp : "/tmp";
    if (dir.back() != '/') dir += '/';
  }
  std::string pattern = dir + kTempPrefix + "XXXXXX.TMP";
  const int fd = ::mkstemps(pattern.data(), 4);
  if (fd < 0) {
    SetError(DosCodeOfErrno(errno), "Error requesting unique file name [UniqueFilename]");
    return {};
  }
  ::close(fd);
  return pattern;
}

int EraseFile(const std::string& name) {
  std::uint16_t code = 0;
  const int fd = XbOpenFile(name, true, true, code);
  if (fd < 0) return code;
  XbCloseFile(fd);
  if (::unlink(name.c_str()) != 0) return DosCodeOfErrno(errno);
  return 0;
}

namespace {
std::vector<std::string> FailedErasures;
}

void EraseFiles(const std::string& nameOrMask) {
  FailedErasures.clear();
  if (!HasWildcard(nameOrMask)) {
    const int code = EraseFile(nameOrMask);
    if (code != 0) SetError(static_cast<std::uint16_t>(code), "Error erasing " + nameOrMask);
    return;
  }
  TSearchRec rec;
  for (int found = FindFirstFile(nameOrMask, rec); found == 0; found = FindNextFile(rec)) {
    const std::string path = rec.directory == "." ? rec.name : rec.directory + "/" + rec.name;
    if (EraseFile(path) != 0) FailedErasures.push_back(path);
  }
  FindCloseFile(rec);
  if (!FailedErasures.empty())
    SetError(5, "Could not erase " + std::to_string(FailedErasures.size()) + " files like " +
                    nameOrMask);
}

double DiskFreeKB(const std::string& path) {
  std::string p = path.empty() ? "." : path;
  if (p.back() != '/') p += '/';
  struct statvfs st {};
  if (::statvfs(p.c_str(), &st) != 0) return 2147483647.0;
  return static_cast<double>(st.f_bavail) * static_cast<double>(st.f_frsize) / 1024.0;
}

double DiskFreeKBOfDrive(int) {
  // There are no drive letters here: every drive number means the current directory's disk.
  return DiskFreeKB("");
}

bool FileDatedToday(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  int y1, m1, d1, h, mi, s;
  UnpackFileTime(st.st_mtime, y1, m1, d1, h, mi, s);
  const std::time_t now = std::time(nullptr);
  int y2, m2, d2;
  UnpackFileTime(now, y2, m2, d2, h, mi, s);
  return y1 == y2 && m1 == m2 && d1 == d2;
}

bool FileExistsShort(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ExpandPath(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  char cwd[4096];
  if (!::getcwd(cwd, sizeof cwd)) return name;
  std::string dir = cwd;
  if (dir.back() != '/') dir += '/';
  return dir + name;
}

std::string SearchFile(const std::string& name, const std::string& directories) {
  std::size_t start = 0;
  while (start <= directories.size()) {
    std::size_t end = directories.find_first_of(";:", start);
    if (end == std::string::npos) end = directories.size();
    std::string dir = directories.substr(start, end - start);
    if (!dir.empty()) {
      if (dir.back() != '/') dir += '/';
      if (FileExistsShort(dir + name)) return dir + name;
    }
    start = end + 1;
  }
  return {};
}

void SplitFileName(const std::string& path, std::string& directory, std::string& name,
                   std::string& extension) {
  const std::size_t slash = path.find_last_of('/');
  directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = file.find_last_of('.');
  name = dot == std::string::npos ? file : file.substr(0, dot);
  extension = dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string ForceDefaultExt(const std::string& name, std::string_view extension) {
  const std::string trimmed = RTrim(name);
  const std::size_t slash = trimmed.find_last_of('/');
  const std::size_t dot = trimmed.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return name;
  return trimmed + "." + std::string(extension);
}

namespace {
int NextMatch(TSearchRec& rec) {
  while (!rec.pending.empty()) {
    const std::string entry = rec.pending.back();
    rec.pending.pop_back();
    const std::string path = rec.directory + "/" + entry;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    rec.name = entry;
    rec.size = st.st_size;
    rec.time = st.st_mtime;
    DosError = 0;
    return 0;
  }
  DosError = 18;
  return DosError;
}
}  // namespace

int FindFirstFile(const std::string& mask, TSearchRec& rec) {
  rec = TSearchRec{};
  SplitDirAndMask(mask, rec.directory, rec.mask);
  DIR* dir = ::opendir(rec.directory.c_str());
  if (!dir) {
    DosError = errno == ENOENT ? 3 : DosCodeOfErrno(errno);
    return DosError;
  }
  while (dirent* entry = ::readdir(dir))
    if (::fnmatch(rec.mask.c_str(), entry->d_name, FNM_CASEFOLD) == 0)
      rec.pending.push_back(entry->d_name);
  ::closedir(dir);
  // Alphabetical order, taken from the back.
  std::sort(rec.pending.begin(), rec.pending.end(), std::greater<>());
  return NextMatch(rec);
}

int FindNextFile(TSearchRec& rec) {
  return NextMatch(rec);
}

void FindCloseFile(TSearchRec& rec) {
  rec.pending.clear();
}

void FileDate(int handle, std::time_t& stamp) {
  struct stat st {};
  if (::fstat(handle, &st) != 0) {
    stamp = 0;
    DosError = DosCodeOfErrno(errno);
    return;
  }
  DosError = 0;
  stamp = st.st_mtime;
}

std::uint16_t DosVersion() {
  struct utsname info {};
  if (::uname(&info) != 0) return 0;
  int major = 0, minor = 0;
  const char* p = info.release;
  const char* end = p + std::strlen(p);
  auto r = std::from_chars(p, end, major);
  if (r.ptr < end && *r.ptr == '.') std::from_chars(r.ptr + 1, end, minor);
  return static_cast<std::uint16_t>((major & 0xFF) << 8 | (minor & 0xFF));
}

std::uint32_t MemoryStatusKB(int kind) {
  struct sysinfo info {};
  if (::sysinfo(&info) != 0) return 0;
  const unsigned long long bytes = static_cast<unsigned long long>(info.totalram) * info.mem_unit;
  return static_cast<std::uint32_t>(kind == 2 ? bytes / (1024 * 1024) : bytes / 1024);
}

int FloppyDriveCount() {
  return 0;
}
