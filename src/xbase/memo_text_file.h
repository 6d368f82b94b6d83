// A memo field as a text file: the line table a memo is read into and the text-file
// operations on a memo (open for reading, writing or appending, read and write lines, close).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Settings.
extern std::uint16_t MemoMaxLines;         // capacity of the line table (1024)
extern bool MemoWrapOn;                    // read lines at MemoWrapWidth (false)
extern int MemoWrapWidth;                  // 78
constexpr std::size_t kMemoLineMax = 255;  // a stored line holds at most this many characters

// The line table: one memo as lines, each with its line end (13 hard, 141 soft, 0 none).
struct TMemoLineTable {
  std::vector<std::string> lines;
  std::vector<std::uint8_t> lineEnds;
  std::size_t current = 0;  // next line to read
  std::string pending;      // partial line of text-file output
  bool afterLineEnd = false;
  void Clear();
};
extern TMemoLineTable MemoLines;

// A memo field as a text file.
enum class TMemoFileMode : std::uint16_t {
  Closed = 0xD7B0,
  Input = 0xD7B1,
  Output = 0xD7B2,
};
struct TMemoTextFile {
  std::uint16_t handle = 0xFFFF;
  TMemoFileMode mode = TMemoFileMode::Closed;
  std::int32_t* block = nullptr;  // the caller's block number
  std::uint8_t area = 0;
  std::string name;
};

// Reads memo `block` into MemoLines; true on success (and for block 0, no memo).
bool GetMemo(std::int32_t block);
// The line table as text: each line with its stored line end (CR LF or 0x8D LF).
std::string MemoLinesText();

// The memo as a text file.
void AssignMemo(TMemoTextFile& file, std::int32_t& block);
void MemoReset(TMemoTextFile& file);    // open for reading
void MemoRewrite(TMemoTextFile& file);  // open for writing: a new memo
void MemoAppend(TMemoTextFile& file);   // open for appending
// Next line up to a hard line end (soft-wrapped pieces joined); false at the end.
bool MemoReadLn(TMemoTextFile& file, std::string& line);
bool MemoEof(const TMemoTextFile& file);
void MemoWrite(TMemoTextFile& file, std::string_view text);
void MemoWriteLn(TMemoTextFile& file, std::string_view text);
void MemoClose(TMemoTextFile& file);
