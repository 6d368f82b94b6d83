// Small routines the dBASE table library shares: occurrence search and trimming of texts,
// zero-terminated strings and byte compares, numeric index keys in packed decimal (BCD), the
// Soundex code, a circular list of sized nodes, and file, disk and system helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Logical letters used when a logical field is shown as text: [0] false, [1] true.
extern char LogicalLetters[2];
// Result of the last directory search or time-stamp query (0 = success).
extern int DosError;

constexpr int kBcdKeyLength = 12;
constexpr int kSoundexLength = 4;
constexpr const char* kTempPrefix = "XBP";

// Texts
int OccurrencePos(int n, std::string_view sub, std::string_view text);
std::string AllTrim(std::string_view text);
std::string RTrim(std::string_view text);
std::string LTrim(std::string_view text);
std::string StrWidth(long long n, int width);
std::string ZeroPad(unsigned n, int width);
bool IsAlpha(std::string_view text);
char CharUpper(char ch);
char CharLower(char ch);
std::string UpperAscii(std::string_view text);
bool IsUpperLetter(char ch);
bool RemoveKeyword(std::string_view word, std::string& text);
void ReverseBytes(void* buffer, std::size_t n);
void RotateBytes(void* buffer, std::size_t firstLength, std::size_t secondLength);

// Zero-terminated strings and bytes
inline void* PtrOffset(void* p, std::ptrdiff_t n) {
  return static_cast<char*>(p) + n;
}
inline const void* PtrOffset(const void* p, std::ptrdiff_t n) {
  return static_cast<const char*>(p) + n;
}
std::size_t StrLenZ(const char* p);
void StrCopyZ(char* dest, const char* src);
std::string StrLCopyToString(const char* p, std::size_t max);
void StringToZ(char* dest, std::string_view text);
int CompareBytes(const void* a, const void* b, std::size_t n);
int CompareDouble(double a, double b);

// BCD keys (12 bytes)
void StrToBcd(unsigned char* key, std::string_view text, int length, int decimals);
void FloatToBcd(unsigned char* key, int decimals, double value);
int CompareBcd(const unsigned char* a, const unsigned char* b);

// Soundex
std::string Soundex(std::string_view text);

// Circular list of sized nodes; the head names the newest node, the oldest is head->prev.
struct TListNode {
  TListNode* prev;
  TListNode* next;
  std::uint16_t size;  // payload + header
};
// Payload of a node (directly behind its header, aligned for any value).
void* ListPayload(TListNode* node);
TListNode* ListNodeOf(void* payload);
// Zeroed payload of a new node pushed as the head; nullptr when memory is short.
void* ListNewNode(TListNode*& head, std::uint16_t size);
void ListPush(TListNode*& head, TListNode* node);
TListNode* ListPop(TListNode*& head);
TListNode* ListNext(TListNode* head, TListNode* node);
// Frees a node taken off the list (ListPop).
void ListFreeNode(TListNode* node);
// Pops and frees every node.
void ListFreeAll(TListNode*& head);

// Files and system
std::string UniqueFilename();
void EraseFiles(const std::string& nameOrMask);
int EraseFile(const std::string& name);
double DiskFreeKB(const std::string& path);
double DiskFreeKBOfDrive(int drive);
bool FileDatedToday(const std::string& name);
bool FileExistsShort(const std::string& name);
std::string ExpandPath(const std::string& name);
// First existing file of that name in the ";"-separated directory list ("" when none).
std::string SearchFile(const std::string& name, const std::string& directories);
// Directory (with its closing "/"), name and extension (with its point), whole whatever their
// length: the memo, work and semaphore names built on them must lie beside the table.
void SplitFileName(const std::string& path, std::string& directory, std::string& name,
                   std::string& extension);
std::string ForceDefaultExt(const std::string& name, std::string_view extension);

struct TSearchRec {
  std::string name;
  std::int64_t size = 0;
  std::time_t time = 0;
  // search state
  std::string directory;
  std::string mask;
  std::vector<std::string> pending;
};
// Directory search by mask ("*.dbf", "dir/x?.ndx"); results in DosError (0 or 18 no more files).
int FindFirstFile(const std::string& mask, TSearchRec& rec);
int FindNextFile(TSearchRec& rec);
void FindCloseFile(TSearchRec& rec);
// Modification time of an open file; 0 with DosError set on failure.
void FileDate(int handle, std::time_t& stamp);
std::uint16_t DosVersion();
std::uint32_t MemoryStatusKB(int kind);
int FloppyDriveCount();
