// The spreadsheet hand-over: workbooks kept in memory, written as tab-separated files and opened
// by the desktop's spreadsheet.
#include "platform/spreadsheet.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <utility>

#include "platform/file_writer.h"
#include "platform/process.h"

namespace platform {

namespace {

std::vector<std::string>& Opener() {
  static std::vector<std::string> argv{"xdg-open"};
  return argv;
}

bool NeedsQuotes(const std::string& field) {
  return field.find_first_of(",\r\n\"") != std::string::npos;
}

// Splits one line at its tabs.
std::vector<std::string> SplitAtTabs(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

}  // namespace

void SetSpreadsheetOpener(std::vector<std::string> argv) {
  Opener() = std::move(argv);
}

const std::vector<std::string>& SpreadsheetOpener() {
  return Opener();
}

std::string CommaSeparatedText(const CellRows& rows) {
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) text.push_back(',');
      const std::string& field = row[c];
      if (NeedsQuotes(field)) {
        text.push_back('"');
        for (char ch : field) {
          if (ch == '"') text.push_back('"');
          text.push_back(ch);
        }
        text.push_back('"');
      } else {
        text += field;
      }
    }
    text += "\r\n";
  }
  return text;
}

void Spreadsheet::AddWorkbook() {
  workbooks_.emplace_back();
}

void Spreadsheet::SetCell(int row, int column, std::string_view value) {
  if (row < 1 || column < 1) return;
  if (workbooks_.empty()) AddWorkbook();
  CellRows& cells = workbooks_.back();
  if (cells.size() < static_cast<std::size_t>(row)) cells.resize(row);
  auto& line = cells[row - 1];
  if (line.size() < static_cast<std::size_t>(column)) line.resize(column);
  line[column - 1] = std::string(value);
}

const CellRows& Spreadsheet::ActiveCells() const {
  static const CellRows kNone;
  return workbooks_.empty() ? kNone : workbooks_.back();
}

int Spreadsheet::Show(const std::string& fileName) {
  if (!started_) return ENOENT;
  lastFile_.clear();
  FileWriter writer;
  int err = writer.Open(fileName, FileWriter::Mode::Replace, true);
  if (err == 0) err = writer.Write(CommaSeparatedText(ActiveCells()));
  if (err == 0) err = writer.Commit();
  if (err != 0) return err;
  lastFile_ = fileName;
  if (!visible_) return 0;
  const auto& opener = Opener();
  if (opener.empty() || FindProgram(opener.front()).empty()) return ENOENT;
  std::vector<std::string> argv = opener;
  argv.push_back(fileName);
  return StartDetached(argv);
}

int Spreadsheet::OpenText(const std::string& fileName, const std::string& sheetName,
                          const std::function<std::string(std::string_view)>& convertLine) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return ENOENT;
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return EIO;
  AddWorkbook();
  CellRows& cells = workbooks_.back();
  // Lines end in CR LF, LF or CR alike.
  std::string line;
  bool pending = false;
  auto endLine = [&] {
    cells.push_back(SplitAtTabs(convertLine ? convertLine(line) : line));
    line.clear();
    pending = false;
  };
  for (std::size_t i = 0; i < content.size(); ++i) {
    const char c = content[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
      endLine();
    } else {
      line.push_back(c);
      pending = true;
    }
  }
  if (pending) endLine();
  return Show(sheetName);
}

void Spreadsheet::Close() {
  started_ = false;
  visible_ = false;
  workbooks_.clear();
  lastFile_.clear();
}

}  // namespace platform
