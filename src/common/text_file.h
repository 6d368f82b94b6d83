// The shared text-file channel: one line-oriented text file at a time (configuration, session,
// help texts, data files, listings, DXF/TXT/IGES output) with typed line readers and writers
// that report failure only through AbortFlag, never by stopping the program.
//
// Reading accepts CRLF, LF and CR line ends alike; writing always ends lines with LF. Numbers
// never depend on the C locale. A file opened with Rewrite is written under a temporary name
// in the same directory and only replaces the old file at Close, when every write succeeded,
// so a failed write never leaves a half file or destroys the previous one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// I/O result codes, in the numbering the messages of the checked routines use.
constexpr int kIoOk = 0;
constexpr int kIoFileNotFound = 2;
constexpr int kIoPathNotFound = 3;
constexpr int kIoTooManyFiles = 4;
constexpr int kIoAccessDenied = 5;
constexpr int kIoReadError = 100;  // also: read beyond the end of the file
constexpr int kIoDiskFull = 101;   // no space left, quota, file too large
constexpr int kIoNotAssigned = 102;
constexpr int kIoNotOpen = 103;
constexpr int kIoNotOpenForInput = 104;
constexpr int kIoNotOpenForOutput = 105;
constexpr int kIoInvalidNumber = 106;
constexpr int kIoWriteProtected = 150;  // read-only file system
constexpr int kIoWriteFault = 160;      // any other write failure
constexpr int kIoReadFault = 161;       // any other read failure
constexpr int kIoLineTooLong = 162;     // a line longer than kMaxLineLength

// No line of a file we read is longer; a longer one makes the file unreadable, so that a file
// without line ends (or a device that never ends) cannot fill the memory.
constexpr std::size_t kMaxLineLength = 64 * 1024;

// One text-file variable. Not copyable; every user assigns a name, opens, works and closes.
class TTextFile {
 public:
  TTextFile();
  ~TTextFile();  // an open file is closed; an uncommitted rewrite is dropped
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  // Assigns a file name; closes (without committing) a file that is still open.
  void Assign(std::string_view name);
  const std::string& Name() const { return name_; }

  // Open for reading; kIoOk or the error code. Only a regular file opens: a directory, a pipe
  // or a device (which could block or never end) gives kIoAccessDenied.
  int Reset();
  // Open for writing. A regular file (or a new name) is written under a temporary name in the
  // same directory and replaces the old file at Close; a device or pipe is written directly.
  int Rewrite();
  // Open for appending to the end of the file (created when missing), written in place.
  int Append();
  // Closes. After Rewrite the new content replaces the old file only when no write failed;
  // returns kIoOk or the first error of the writes, the flush or the rename.
  int Close();
  // Closes without committing a Rewrite: the old file stays as it was.
  void Abandon();

  bool IsOpen() const;
  bool IsOpenForInput() const;
  bool IsOpenForOutput() const;

  // True when no further line can be read (or the file is not open for reading).
  bool Eof();
  // Reads the next line without its line end. At the end of the file: empty line and
  // kIoReadError; a line longer than kMaxLineLength: empty line and kIoLineTooLong.
  int ReadLine(std::string& line);
  // Number of lines read since the file was opened (the last line read has this number).
  int LineNumber() const { return lineNumber_; }
  // Writes the text and a line end / the text alone.
  int WriteLine(std::string_view text);
  int Write(std::string_view text);

  // First error since the file was opened (kIoOk when none); Close clears it.
  int IoResult() const { return ioResult_; }
  // The system's errno value behind the last failed Rewrite or Append (0 after a success), which
  // tells causes the I/O code folds together (a name too long, a file in a folder's place).
  int OpenErrno() const { return openErrno_; }
  // True only the first time it is asked after the file was opened, so that a failure of one
  // file is reported once.
  bool TakeFailureReport();

 private:
  struct Impl;
  std::string name_;
  int ioResult_ = kIoOk;
  int openErrno_ = 0;
  int lineNumber_ = 0;
  std::unique_ptr<Impl> impl_;
};

// The I/O result code of an errno value.
int IoCodeFromErrno(int err, bool writing);
// "disk full" for kIoDiskFull, otherwise otherText, then the quoted file name and " !".
std::string IoFailureText(int code, const std::string& fileName, const char* otherText);

// The one shared channel. Only one user at a time; closed between uses.
extern TTextFile GlobalTextFile;

// ---------------------------------------------------------------------------------------------
// Channel control

void AssignText(TTextFile& file, std::string_view name);
// Closes (committing a rewrite) and clears the I/O result. A failure sets AbortFlag and reports
// the file through ErrorMessageIfEnabled.
void CloseText(TTextFile& file);
// Closes without committing a rewrite, for a writer that gives up half-way.
void AbandonText(TTextFile& file);
// Opens for reading; sets AbortFlag on failure (no message). Returns the I/O result.
int ResetText(TTextFile& file);
// Opens for appending; sets AbortFlag on failure (no message). Returns the I/O result.
int AppendText(TTextFile& file);

// Every line of a text file on a channel of its own (any line ends); false when it does not
// open. Leaves AbortFlag alone.
bool ReadTextFileLines(const std::string& name, std::vector<std::string>& lines);

// ---------------------------------------------------------------------------------------------
// Typed line readers. Each reads one line of GlobalTextFile (or of the given file). An I/O error,
// reading beyond the end included, sets AbortFlag; numbers then read as 0. A number that does
// not convert reads as 0 without setting AbortFlag. "," counts as the decimal point.

void ReadLineStr(std::string& text);
void ReadLineStr(TTextFile& file, std::string& text);
// The line cut at its first four "|": field k between separators k - 1 and k. Missing
// separators leave the remaining fields empty.
void ReadFields4(std::string& f1, std::string& f2, std::string& f3, std::string& f4);
void ReadFields4(TTextFile& file, std::string& f1, std::string& f2, std::string& f3,
                 std::string& f4);
// First character of the line; an empty line gives '\0'.
void ReadLineChar(char& c);
void ReadLineChar(TTextFile& file, char& c);
void ReadLineInt(std::int32_t& value);
void ReadLineInt(TTextFile& file, std::int32_t& value);
void ReadLineInt2(std::int32_t& value);
// 16-bit: the integer conversion stored in 16 bits.
void ReadLineWord(std::uint16_t& value);
void ReadLineWord(TTextFile& file, std::uint16_t& value);
void ReadLineReal(long double& value);
void ReadLineReal(TTextFile& file, long double& value);
void ReadLineDouble(double& value);
void ReadLineDouble(TTextFile& file, double& value);
// When AbortFlag is clear after the read: true exactly when the line in upper case is "TRUE";
// when it is set, the target keeps its value.
void ReadLineBoolTrue(bool& value);
void ReadLineBoolTrue(TTextFile& file, bool& value);
// The same reversed: false exactly when the line in upper case is "FALSE".
void ReadLineBoolFalse(bool& value);
void ReadLineBoolFalse(TTextFile& file, bool& value);

// Strict number readers, for files whose numbers must be numbers. The line is read (an I/O error
// sets AbortFlag and returns false) and converted; a line that is no number (empty, "abc",
// "nan", "inf", out of range, a fraction where an integer belongs) returns false without
// AbortFlag, leaves the target as it was and hands back the line in `refused`.
bool ReadLineRealChecked(TTextFile& file, long double& value, std::string& refused);
bool ReadLineIntChecked(TTextFile& file, std::int32_t& value, std::string& refused);
// A complete decimal integer within 32 bits (blanks around allowed).
bool ReadsAsInteger(std::string_view text, std::int32_t& value);
// Where a file went wrong, for messages: what + " " + file name + ", line " + n + ": ".
std::string LinePlace(std::string_view what, const TTextFile& file);
// True for a number that no value of its kind holds: a decimal beyond any real, or a whole
// number beyond 32 bits (blanks around, "," as the point and a leading "+" allowed). Such a
// text is reported as out of range, not as "not a number".
bool IsNumberBeyondRange(std::string_view text);
// LinePlace + the quoted text + " is not a number" (" is out of range" for a number beyond
// range).
std::string NotANumberText(std::string_view what, const TTextFile& file, std::string_view text);

// ---------------------------------------------------------------------------------------------
// Typed line writers on GlobalTextFile (or the given file). A failed write sets AbortFlag.

void WriteLineStr(std::string_view text);
void WriteLineStr(TTextFile& file, std::string_view text);
void WriteLineStr2(std::string_view text);
// The text without a line end.
void WriteStrPart(std::string_view text);
void WriteStrPart(TTextFile& file, std::string_view text);
void WriteLineInt(std::int64_t value);
void WriteLineInt(TTextFile& file, std::int64_t value);
// "TRUE" or "FALSE".
void WriteLineBool(bool value);
void WriteLineBool(TTextFile& file, bool value);
// A value below 1 within 1e-10 of an integer without decimals, any other with 7 decimals: 3
// gives "3.0000000", 0 gives "0", 0.5 gives "0.5000000". A value these digits would change is
// written with as many digits as it needs to read back unchanged (1/3 gives
// "0.33333333333333333334"); the display digits setting plays no part.
void WriteLineReal(long double value);
void WriteLineReal(TTextFile& file, long double value);
// Texts each followed by "|".
void WriteFields(std::string_view f1, std::string_view f2, std::string_view f3,
                 std::string_view f4);
void WriteFields6(std::string_view f1, std::string_view f2, std::string_view f3,
                  std::string_view f4, std::string_view f5, std::string_view f6);
void WriteFields8(std::string_view f1, std::string_view f2, std::string_view f3,
                  std::string_view f4, std::string_view f5, std::string_view f6,
                  std::string_view f7, std::string_view f8);

// Header block of a data file, seven lines: 65 "-", caption + "   V " + version of the program
// file, "Version " + identity version, 65 "-", the three DrawingTexts.
void WriteFileHeader();

// The text of one line as WriteLineReal writes it (without the line end).
std::string LineRealText(long double value);
