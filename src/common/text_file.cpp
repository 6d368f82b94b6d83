// The shared text-file channel and its typed line readers and writers.
#include "common/text_file.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "common/codepage.h"
#include "common/dialog_host.h"
#include "common/formatting.h"
#include "common/program_state.h"
#include "common/system_info.h"
#include "platform/file_system.h"
#include "platform/file_writer.h"
#include "platform/temp_dir.h"

TTextFile GlobalTextFile;

// The numbering of the checked routines' messages for an errno value.
int IoCodeFromErrno(int err, bool writing) {
  switch (err) {
    case 0:
      return kIoOk;
    case ENOENT:
      return kIoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kIoPathNotFound;
    case EMFILE:
    case ENFILE:
      return kIoTooManyFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ETXTBSY:
    case EEXIST:
      return kIoAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kIoDiskFull;
    case EROFS:
      return kIoWriteProtected;
    default:
      return writing ? kIoWriteFault : kIoReadFault;
  }
}

struct TTextFile::Impl {
  enum class State { Closed, Reading, Writing };
  State state = State::Closed;
  std::FILE* in = nullptr;
  platform::FileWriter out;
  bool failureReported = false;
  bool lineTooLong = false;  // the file is unreadable from there on

  void CloseInput() {
    if (in != nullptr) std::fclose(in);
    in = nullptr;
  }
};

TTextFile::TTextFile() : impl_(std::make_unique<Impl>()) {}

TTextFile::~TTextFile() {
  Abandon();
}

void TTextFile::Assign(std::string_view name) {
  Abandon();
  name_ = std::string(name);
  ioResult_ = kIoOk;
}

bool TTextFile::IsOpen() const {
  return impl_->state != Impl::State::Closed;
}
bool TTextFile::IsOpenForInput() const {
  return impl_->state == Impl::State::Reading;
}
bool TTextFile::IsOpenForOutput() const {
  return impl_->state == Impl::State::Writing;
}

int TTextFile::Reset() {
  Abandon();
  ioResult_ = kIoOk;
  impl_->failureReported = false;
  if (name_.empty()) return ioResult_ = kIoFileNotFound;
  lineNumber_ = 0;
  impl_->lineTooLong = false;
  int err = 0;
  const int fd = platform::OpenRegularFileForReading(name_, err);
  if (fd < 0) return ioResult_ = err == EINVAL ? kIoAccessDenied : IoCodeFromErrno(err, false);
  impl_->in = fdopen(fd, "rb");
  if (impl_->in == nullptr) {
    err = errno;
    close(fd);
    return ioResult_ = IoCodeFromErrno(err, false);
  }
  impl_->state = Impl::State::Reading;
  return kIoOk;
}

namespace {

// Scratch files of our own private directory need not reach the disk before they are used.
bool IsScratchFile(const std::string& name) {
  const std::string temp = platform::ExistingPrivateTempDirectory();
  return !temp.empty() && name.rfind(temp, 0) == 0;
}

}  // namespace

int TTextFile::Rewrite() {
  Abandon();
  ioResult_ = kIoOk;
  impl_->failureReported = false;
  // An empty name is refused by the writer (ENOENT).
  const int err = openErrno_ =
      impl_->out.Open(name_, platform::FileWriter::Mode::Replace, !IsScratchFile(name_));
  // A pipe or socket is refused as the reader refuses it.
  if (err != 0) return ioResult_ = err == EINVAL ? kIoAccessDenied : IoCodeFromErrno(err, true);
  impl_->state = Impl::State::Writing;
  return kIoOk;
}

int TTextFile::Append() {
  Abandon();
  ioResult_ = kIoOk;
  impl_->failureReported = false;
  // An empty name is refused by the writer (ENOENT).
  const int err = openErrno_ = impl_->out.Open(name_, platform::FileWriter::Mode::Append);
  if (err != 0) return ioResult_ = err == EINVAL ? kIoAccessDenied : IoCodeFromErrno(err, true);
  impl_->state = Impl::State::Writing;
  return kIoOk;
}

int TTextFile::Close() {
  int result = ioResult_;
  if (impl_->state == Impl::State::Reading) {
    impl_->CloseInput();
  } else if (impl_->state == Impl::State::Writing) {
    if (result == kIoOk) {
      const int err = impl_->out.Commit();
      if (err != 0) result = IoCodeFromErrno(err, true);
    } else {
      impl_->out.Discard();
    }
  } else if (result == kIoOk) {
    result = kIoNotOpen;
  }
  impl_->state = Impl::State::Closed;
  ioResult_ = kIoOk;
  return result;
}

void TTextFile::Abandon() {
  impl_->CloseInput();
  impl_->out.Discard();
  impl_->state = Impl::State::Closed;
}

bool TTextFile::Eof() {
  if (impl_->state != Impl::State::Reading || impl_->lineTooLong) return true;
  const int c = std::getc(impl_->in);
  if (c == EOF) return true;
  std::ungetc(c, impl_->in);
  return false;
}

int TTextFile::ReadLine(std::string& line) {
  line.clear();
  if (impl_->state != Impl::State::Reading) {
    const int code = impl_->state == Impl::State::Closed ? kIoNotOpen : kIoNotOpenForInput;
    if (ioResult_ == kIoOk) ioResult_ = code;
    return code;
  }
  std::FILE* in = impl_->in;
  int c = impl_->lineTooLong ? EOF : getc_unlocked(in);
  if (c == EOF) {
    const int code = impl_->lineTooLong ? kIoLineTooLong
                     : std::ferror(in)  ? kIoReadFault
                                        : kIoReadError;
    if (ioResult_ == kIoOk) ioResult_ = code;
    return code;
  }
  while (c != EOF && c != '\n' && c != '\r') {
    if (line.size() == kMaxLineLength) {
      line.clear();
      impl_->lineTooLong = true;
      if (ioResult_ == kIoOk) ioResult_ = kIoLineTooLong;
      return kIoLineTooLong;
    }
    line.push_back(static_cast<char>(c));
    c = getc_unlocked(in);
  }
  ++lineNumber_;
  if (c == '\r') {
    const int next = getc_unlocked(in);
    if (next != '\n' && next != EOF) ungetc(next, in);
  }
  if (c == EOF && std::ferror(in)) {
    if (ioResult_ == kIoOk) ioResult_ = kIoReadFault;
    return kIoReadFault;
  }
  return kIoOk;
}

int TTextFile::Write(std::string_view text) {
  if (impl_->state != Impl::State::Writing) {
    const int code = impl_->state == Impl::State::Closed ? kIoNotOpen : kIoNotOpenForOutput;
    if (ioResult_ == kIoOk) ioResult_ = code;
    return code;
  }
  const int err = impl_->out.Write(text);
  if (err != 0) {
    const int code = IoCodeFromErrno(err, true);
    if (ioResult_ == kIoOk) ioResult_ = code;
    return code;
  }
  return kIoOk;
}

int TTextFile::WriteLine(std::string_view text) {
  const int code = Write(text);
  if (code != kIoOk) return code;
  return Write("\n");
}

bool TTextFile::TakeFailureReport() {
  if (impl_->failureReported) return false;
  impl_->failureReported = true;
  return true;
}

// ---------------------------------------------------------------------------------------------

std::string IoFailureText(int code, const std::string& fileName, const char* otherText) {
  std::string text = code == kIoDiskFull ? "disk full" : otherText;
  return text + " \"" + NameText(fileName) + "\" !";
}

namespace {

// A write failure sets AbortFlag and names the file once per opened file.
void WriteFailed(TTextFile& file, int code) {
  AbortFlag = true;
  if (file.TakeFailureReport()) {
    ErrorMessageIfEnabled(IoFailureText(code, file.Name(), "file write error"));
  }
}

void Put(TTextFile& file, std::string_view text, bool lineEnd) {
  const int code = lineEnd ? file.WriteLine(text) : file.Write(text);
  if (code != kIoOk) WriteFailed(file, code);
}

bool ReadRaw(TTextFile& file, std::string& line) {
  if (file.ReadLine(line) != kIoOk) {
    AbortFlag = true;
    return false;
  }
  return true;
}

}  // namespace

void AssignText(TTextFile& file, std::string_view name) {
  file.Assign(name);
}

void CloseText(TTextFile& file) {
  const bool writing = file.IsOpenForOutput();
  const int code = file.Close();
  if (writing && code != kIoOk) WriteFailed(file, code);
}

void AbandonText(TTextFile& file) {
  file.Abandon();
}

int ResetText(TTextFile& file) {
  const int code = file.Reset();
  if (code != kIoOk) AbortFlag = true;
  return code;
}

int AppendText(TTextFile& file) {
  const int code = file.Append();
  if (code != kIoOk) AbortFlag = true;
  return code;
}

bool ReadTextFileLines(const std::string& name, std::vector<std::string>& lines) {
  lines.clear();
  TTextFile file;
  file.Assign(name);
  if (file.Reset() != kIoOk) return false;
  std::string line;
  while (!file.Eof()) {
    if (file.ReadLine(line) != kIoOk) break;
    lines.push_back(line);
  }
  file.Close();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Readers

void ReadLineStr(TTextFile& file, std::string& text) {
  std::string line;
  ReadRaw(file, line);
  text = std::move(line);
}
void ReadLineStr(std::string& text) {
  ReadLineStr(GlobalTextFile, text);
}

void ReadFields4(TTextFile& file, std::string& f1, std::string& f2, std::string& f3,
                 std::string& f4) {
  std::string line;
  ReadRaw(file, line);
  std::string* fields[4] = {&f1, &f2, &f3, &f4};
  std::size_t start = 0;
  for (std::string* field : fields) {
    if (start == std::string::npos) {
      field->clear();
      continue;
    }
    const std::size_t bar = line.find('|', start);
    if (bar == std::string::npos) {
      field->clear();
      start = std::string::npos;
    } else {
      *field = line.substr(start, bar - start);
      start = bar + 1;
    }
  }
}
void ReadFields4(std::string& f1, std::string& f2, std::string& f3, std::string& f4) {
  ReadFields4(GlobalTextFile, f1, f2, f3, f4);
}

void ReadLineChar(TTextFile& file, char& c) {
  std::string line;
  ReadRaw(file, line);
  c = line.empty() ? '\0' : line.front();
}
void ReadLineChar(char& c) {
  ReadLineChar(GlobalTextFile, c);
}

void ReadLineInt(TTextFile& file, std::int32_t& value) {
  std::string line;
  value = ReadRaw(file, line) ? StrToInteger(line) : 0;
}
void ReadLineInt(std::int32_t& value) {
  ReadLineInt(GlobalTextFile, value);
}
void ReadLineInt2(std::int32_t& value) {
  ReadLineInt(GlobalTextFile, value);
}

void ReadLineWord(TTextFile& file, std::uint16_t& value) {
  std::int32_t wide = 0;
  ReadLineInt(file, wide);
  value = static_cast<std::uint16_t>(static_cast<std::uint32_t>(wide) & 0xFFFFu);
}
void ReadLineWord(std::uint16_t& value) {
  ReadLineWord(GlobalTextFile, value);
}

void ReadLineReal(TTextFile& file, long double& value) {
  std::string line;
  if (!ReadRaw(file, line)) {
    value = 0;
    return;
  }
  for (char& ch : line) {
    if (ch == ',') ch = '.';
  }
  value = StrToReal(line);
}
void ReadLineReal(long double& value) {
  ReadLineReal(GlobalTextFile, value);
}

void ReadLineDouble(TTextFile& file, double& value) {
  long double wide = 0;
  ReadLineReal(file, wide);
  value = static_cast<double>(wide);
}
void ReadLineDouble(double& value) {
  ReadLineDouble(GlobalTextFile, value);
}

void ReadLineBoolTrue(TTextFile& file, bool& value) {
  std::string line;
  ReadRaw(file, line);
  if (!AbortFlag) value = UpperStr(line) == "TRUE";
}
void ReadLineBoolTrue(bool& value) {
  ReadLineBoolTrue(GlobalTextFile, value);
}

void ReadLineBoolFalse(TTextFile& file, bool& value) {
  std::string line;
  ReadRaw(file, line);
  if (!AbortFlag) value = UpperStr(line) != "FALSE";
}
void ReadLineBoolFalse(bool& value) {
  ReadLineBoolFalse(GlobalTextFile, value);
}

bool ReadsAsInteger(std::string_view text, std::int32_t& value) {
  const std::string t = TrimStr(text);
  if (t.empty()) return false;
  std::size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i == t.size()) return false;
  std::int64_t v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    v = v * 10 + (t[i] - '0');
    if (v > 0x80000000LL) return false;
  }
  if (t[0] == '-') v = -v;
  if (v > INT32_MAX) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool ReadLineRealChecked(TTextFile& file, long double& value, std::string& refused) {
  refused.clear();
  std::string line;
  if (!ReadRaw(file, line)) return false;
  // ReadsAsReal takes the first "," as the decimal point and refuses "nan", "inf" and what
  // lies beyond the range of the type.
  if (!ReadsAsReal(line)) {
    refused = line;
    return false;
  }
  value = StrToReal(line);
  return true;
}

bool ReadLineIntChecked(TTextFile& file, std::int32_t& value, std::string& refused) {
  refused.clear();
  std::string line;
  if (!ReadRaw(file, line)) return false;
  if (!ReadsAsInteger(line, value)) {
    refused = line;
    return false;
  }
  return true;
}

std::string LinePlace(std::string_view what, const TTextFile& file) {
  return std::string(what) + " " + NameText(file.Name()) + ", line " + IntStr(file.LineNumber()) +
         ": ";
}

bool IsNumberBeyondRange(std::string_view text) {
  std::string t = TrimStr(text);
  if (const auto comma = t.find(','); comma != std::string::npos) t[comma] = '.';
  if (!t.empty() && t.front() == '+') t.erase(0, 1);
  long double real = 0;
  std::int32_t whole = 0;
  const char* end = t.data() + t.size();
  const auto beyond = [end](std::from_chars_result x) {
    return x.ptr == end && x.ec == std::errc::result_out_of_range;
  };
  return beyond(std::from_chars(t.data(), end, real)) ||
         beyond(std::from_chars(t.data(), end, whole));
}

std::string NotANumberText(std::string_view what, const TTextFile& file, std::string_view text) {
  return LinePlace(what, file) + "\"" + std::string(text) + "\" " +
         (IsNumberBeyondRange(text) ? "is out of range" : "is not a number");
}

// ---------------------------------------------------------------------------------------------
// Writers

void WriteLineStr(TTextFile& file, std::string_view text) {
  Put(file, text, true);
}
void WriteLineStr(std::string_view text) {
  Put(GlobalTextFile, text, true);
}
void WriteLineStr2(std::string_view text) {
  Put(GlobalTextFile, text, true);
}
void WriteStrPart(TTextFile& file, std::string_view text) {
  Put(file, text, false);
}
void WriteStrPart(std::string_view text) {
  Put(GlobalTextFile, text, false);
}

void WriteLineInt(TTextFile& file, std::int64_t value) {
  Put(file, IntStr(value), true);
}
void WriteLineInt(std::int64_t value) {
  WriteLineInt(GlobalTextFile, value);
}

void WriteLineBool(TTextFile& file, bool value) {
  Put(file, value ? "TRUE" : "FALSE", true);
}
void WriteLineBool(bool value) {
  WriteLineBool(GlobalTextFile, value);
}

std::string LineRealText(long double value) {
  // Whole numbers below 1 bare and the rest with seven decimals, as files have always held
  // them; a value those digits would change gets the digits it needs, whatever the display
  // setting, so that a file gives back exactly what was saved.
  const bool wholeBelowOne = value < 1.0L && std::fabs(value - std::round(value)) < 1e-10L;
  return StoredRealStr(wholeBelowOne ? 0 : 7, value);
}

void WriteLineReal(TTextFile& file, long double value) {
  Put(file, LineRealText(value), true);
}
void WriteLineReal(long double value) {
  WriteLineReal(GlobalTextFile, value);
}

namespace {

void WriteFieldList(std::initializer_list<std::string_view> fields) {
  std::string line;
  for (std::string_view f : fields) {
    line.append(f);
    line.push_back('|');
  }
  Put(GlobalTextFile, line, true);
}

}  // namespace

void WriteFields(std::string_view f1, std::string_view f2, std::string_view f3,
                 std::string_view f4) {
  WriteFieldList({f1, f2, f3, f4});
}

void WriteFields6(std::string_view f1, std::string_view f2, std::string_view f3,
                  std::string_view f4, std::string_view f5, std::string_view f6) {
  WriteFieldList({f1, f2, f3, f4, f5, f6});
}

void WriteFields8(std::string_view f1, std::string_view f2, std::string_view f3,
                  std::string_view f4, std::string_view f5, std::string_view f6,
                  std::string_view f7, std::string_view f8) {
  WriteFieldList({f1, f2, f3, f4, f5, f6, f7, f8});
}

void WriteFileHeader() {
  const std::string rule(65, '-');
  WriteLineStr(rule);
  // The version of this program's own file (a Linux program has no file named after the
  // Windows executable).
  WriteLineStr(ProgramIdentity.caption + "   V " + FileVersionStr(""));
  WriteLineStr("Version " + ProgramIdentity.version);
  WriteLineStr(rule);
  for (int i = 1; i <= 3; ++i) WriteLineStr(DrawingTexts[i]);
}
