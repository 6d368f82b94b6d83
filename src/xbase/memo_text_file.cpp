// A memo field as a text file: the line table a memo is read into (hard and soft line ends
// kept apart, long lines broken at the line width), and the text-file operations on it: open
// for reading, writing or appending, read and write lines, and close, which stores the lines
// as a memo.
#include "xbase/memo_text_file.h"

#include <cstdlib>

#include "xbase/memo_ops.h"
#include "xbase/xbase_errors.h"

std::uint16_t MemoMaxLines = 1024;
bool MemoWrapOn = false;
int MemoWrapWidth = 78;
TMemoLineTable MemoLines;

namespace {

// Makes an area current for the lifetime of the object.
class AreaSwitch {
 public:
  explicit AreaSwitch(std::uint8_t area) : saved_(CurrentArea) { CurrentArea = area; }
  ~AreaSwitch() { CurrentArea = saved_; }
  AreaSwitch(const AreaSwitch&) = delete;
  AreaSwitch& operator=(const AreaSwitch&) = delete;

 private:
  std::uint8_t saved_;
};

std::string TableNameOfCurrent() {
  const WorkAreaRecord* area = CurrentWorkArea();
  return area ? area->tableName : std::string();
}

// Line width for reading.
std::size_t ReadWidth() {
  if (!MemoWrapOn) return 253;
  if (MemoWrapWidth < 1 || MemoWrapWidth > 254) return 254;
  return std::size_t(MemoWrapWidth);
}

// Appends one line to the table; false when it is full.
bool PushLine(std::string line, std::uint8_t end) {
  if (MemoLines.lines.size() >= MemoMaxLines) return false;
  MemoLines.lines.push_back(std::move(line));
  MemoLines.lineEnds.push_back(end);
  return true;
}

// Splits memo bytes into the line table; false when the table overflows.
bool SplitIntoLines(const std::string& bytes) {
  const std::size_t width = ReadWidth();
  std::string current;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == 13 || c == kSoftReturn) {
      if (!PushLine(std::move(current), c)) return false;
      current.clear();
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    current.push_back(char(c));
    if (current.size() >= width) {
      // Break after the last blank; the rest starts the next line.
      const std::size_t blank = current.rfind(' ');
      std::string rest;
      if (blank != std::string::npos && blank + 1 < current.size()) {
        rest = current.substr(blank + 1);
        current.resize(blank + 1);
      }
      if (!PushLine(std::move(current), 0)) return false;
      current = std::move(rest);
    }
  }
  if (!current.empty() && !PushLine(std::move(current), 0)) return false;
  return true;
}

std::string ReadLinesBytes() {
  return MemoLinesText() + MemoLines.pending;
}

}  // namespace

void TMemoLineTable::Clear() {
  lines.clear();
  lineEnds.clear();
  current = 0;
  pending.clear();
  afterLineEnd = false;
}

bool GetMemo(std::int32_t block) {
  MemoLines.Clear();
  if (TMemoDescriptor* memo = CurrentMemo()) memo->bufferFills = 0;
  std::string bytes;
  if (!ReadMemoText(block, bytes)) return false;
  if (!SplitIntoLines(bytes)) {
    MemoError(217, "Reading memo field in " + TableNameOfCurrent());
    return false;
  }
  return true;
}

std::string MemoLinesText() {
  std::string text;
  for (std::size_t i = 0; i < MemoLines.lines.size(); ++i) {
    text += MemoLines.lines[i];
    if (MemoLines.lineEnds[i] != 0) {
      text.push_back(char(MemoLines.lineEnds[i]));
      text.push_back('\n');
    }
  }
  return text;
}

// ---------------------------------------------------------------------------------------------
// Text-file interface

void AssignMemo(TMemoTextFile& file, std::int32_t& block) {
  if (!CheckDbInUse("AssignMemo")) return;
  if (!CurrentMemo()) {
    SetError(1019, TableNameOfCurrent() + " No Memo Field [AssignMemo]");
    return;
  }
  file = TMemoTextFile{};
  file.block = &block;
  file.area = CurrentArea;
}

void MemoReset(TMemoTextFile& file) {
  if (!file.block) {
    SetError(102, " [AssignMemo]");
    return;
  }
  AreaSwitch area(file.area);
  XbaseErrorCode = 0;
  if (!GetMemo(*file.block)) {
    if (XbaseErrorCode == 0) SetError(100, TableNameOfCurrent() + " [AssignMemo]");
    return;
  }
  MemoLines.current = 0;
  file.mode = TMemoFileMode::Input;
}

void MemoRewrite(TMemoTextFile& file) {
  if (!file.block) {
    SetError(102, " [AssignMemo]");
    return;
  }
  MemoLines.Clear();
  *file.block = 0;
  file.mode = TMemoFileMode::Output;
}

void MemoAppend(TMemoTextFile& file) {
  MemoReset(file);
  if (file.mode != TMemoFileMode::Input) return;
  // A memo of one empty line is overwritten from its start.
  if (MemoLines.lines.size() == 1 && MemoLines.lines[0].empty()) MemoLines.Clear();
  // Text appended to a last line without line end continues that line.
  if (!MemoLines.lines.empty() && MemoLines.lineEnds.back() == 0) {
    MemoLines.pending = MemoLines.lines.back();
    MemoLines.lines.pop_back();
    MemoLines.lineEnds.pop_back();
  }
  file.mode = TMemoFileMode::Output;
}

bool MemoEof(const TMemoTextFile& file) {
  return file.mode != TMemoFileMode::Input || MemoLines.current >= MemoLines.lines.size();
}

bool MemoReadLn(TMemoTextFile& file, std::string& line) {
  line.clear();
  if (file.mode != TMemoFileMode::Input) {
    SetError(104, " [AssignMemo]");
    return false;
  }
  if (MemoLines.current >= MemoLines.lines.size()) return false;
  while (MemoLines.current < MemoLines.lines.size()) {
    const std::size_t i = MemoLines.current++;
    if (MemoLines.lineEnds[i] == 13) {
      line.append(MemoLines.lines[i], 0, 253);
      break;
    }
    line += MemoLines.lines[i];
  }
  return true;
}

void MemoWrite(TMemoTextFile& file, std::string_view text) {
  if (file.mode != TMemoFileMode::Output) {
    SetError(file.mode == TMemoFileMode::Input ? 105 : 102, " [AssignMemo]");
    return;
  }
  auto store = [&](std::uint8_t end) {
    if (!PushLine(std::move(MemoLines.pending), end)) {
      SetError(101, TableNameOfCurrent() + " [AssignMemo]");
      return false;
    }
    MemoLines.pending.clear();
    return true;
  };
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      // A line feed right after a line end belongs to it; alone it ends a line.
      if (!MemoLines.afterLineEnd && !store(13)) return;
      MemoLines.afterLineEnd = false;
      continue;
    }
    if (c == 13 || c == kSoftReturn) {
      if (!store(c)) return;
      MemoLines.afterLineEnd = true;
      continue;
    }
    MemoLines.afterLineEnd = false;
    MemoLines.pending.push_back(ch);
    if (MemoLines.pending.size() >= kMemoLineMax - 1 && !store(0)) return;
  }
}

void MemoWriteLn(TMemoTextFile& file, std::string_view text) {
  MemoWrite(file, text);
  MemoWrite(file, "\r\n");
}

void MemoClose(TMemoTextFile& file) {
  if (file.mode == TMemoFileMode::Output && file.block) {
    AreaSwitch area(file.area);
    const std::string bytes = ReadLinesBytes();
    const bool hadLines = !bytes.empty();
    const std::uint16_t before = XbaseErrorCode;
    XbaseErrorCode = 0;
    const std::int32_t block = ReplaceMemo(*file.block, bytes);
    if (block != 0) {
      *file.block = block;
    } else if (hadLines) {
      if (XbaseErrorCode == 0) SetError(101, TableNameOfCurrent() + " [AssignMemo]");
    } else {
      *file.block = 0;
    }
    if (XbaseErrorCode == 0) XbaseErrorCode = before;
  }
  MemoLines.Clear();
  file.mode = TMemoFileMode::Closed;
}
