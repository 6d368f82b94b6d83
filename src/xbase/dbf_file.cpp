// Table file layer of the dBASE table library: record and header input/output, typed-buffer
// conversion, code-page translation, header reading for opening and creating, memo file
// creation.
#include "xbase/dbf_file.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/codepage.h"
#include "xbase/locking.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

unsigned char ExtraDbfVersion1 = 0;
unsigned char ExtraDbfVersion2 = 0;
unsigned char DefaultMemoVersion = 0x8B;
bool AutoCommit = false;

namespace {

constexpr unsigned char kFieldTerminator = 0x0D;
constexpr std::uint16_t kDbase2HeaderLength = 521;
constexpr unsigned char kLanguageCp850 = 0x02;

void PutLe16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void PutLe32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
std::uint32_t GetLe16(const unsigned char* p) {
  return p[0] | (p[1] << 8);
}
std::uint32_t GetLe32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly n bytes at offset; 0, 213 for a short read, or the DOS code.
std::uint16_t ReadAt(int fd, void* buffer, std::size_t n, std::int64_t offset) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd, static_cast<char*>(buffer) + done, n - done, offset + done);
    if (got < 0) {
      if (errno == EINTR) continue;
      return DosCodeOfErrno(errno);
    }
    if (got == 0) return 213;
    done += static_cast<std::size_t>(got);
  }
  return 0;
}

// Writes exactly n bytes at offset; 0, 101 for a short write, or the DOS code.
std::uint16_t WriteAt(int fd, const void* buffer, std::size_t n, std::int64_t offset) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t put =
        ::pwrite(fd, static_cast<const char*>(buffer) + done, n - done, offset + done);
    if (put < 0) {
      if (errno == EINTR) continue;
      const std::uint16_t code = DosCodeOfErrno(errno);
      return code == 31 ? 101 : code;
    }
    if (put == 0) return 101;
    done += static_cast<std::size_t>(put);
  }
  return 0;
}

std::int64_t RecordOffset(const WorkAreaRecord& area, std::int32_t n) {
  return static_cast<std::int64_t>(area.headerLength) +
         static_cast<std::int64_t>(n - 1) * area.recordLength;
}

void Dispatch(WorkAreaRecord& area, std::uint8_t request, std::int32_t target) {
  area.vfile.VFileRequest = request;
  area.vfile.VFileTarget = target;
  if (VFileDispatcher)
    VFileDispatcher(area);
  else
    SetError(1101, area.tableName + " [VFiles]");
}

// Header image with today's date and the count, written at offset 0; the I/O result.
std::uint16_t WriteHeaderBytes(WorkAreaRecord& area) {
  int year = 0, month = 0, day = 0, dow = 0;
  GetDate(year, month, day, dow);
  unsigned char* h = area.headerImage.data();
  if (IsDbase2(area)) {
    PutLe16(h + 1, static_cast<std::uint32_t>(area.recordCount) & 0xFFFF);
    h[3] = static_cast<unsigned char>(month);
    h[4] = static_cast<unsigned char>(day);
    h[5] = static_cast<unsigned char>((year - 1900) % 256);
    return WriteAt(area.fileHandle, h, 8, 0);
  }
  h[1] = static_cast<unsigned char>((year - 1900) % 256);
  h[2] = static_cast<unsigned char>(month);
  h[3] = static_cast<unsigned char>(day);
  PutLe32(h + 4, static_cast<std::uint32_t>(area.recordCount));
  // What another program keeps in bytes 16-27 survives our header writes.
  unsigned char shared[12];
  if (ReadAt(area.fileHandle, shared, sizeof shared, 16) == 0)
    std::memcpy(h + 16, shared, sizeof shared);
  return WriteAt(area.fileHandle, h, 32, 0);
}

std::uint16_t WriteEofByte(WorkAreaRecord& area) {
  const unsigned char eof = EofMarker;
  return WriteAt(area.fileHandle, &eof, 1, RecordOffset(area, area.recordCount + 1));
}

// The header (and, after appends, the end-of-file byte) as the area's state asks. On a table
// others share, only while this open holds the append byte, and with the record count the file
// size gives then: a count kept from before another program appended would cut its records
// off and put the end mark over its first byte.
std::uint16_t WriteTableEnd(WorkAreaRecord& area) {
  const bool end = area.state == kAreaAppended;
  if (!SharingOn || area.exclusive) {
    std::uint16_t code = WriteHeaderBytes(area);
    if (code == 0 && end) code = WriteEofByte(area);
    return code;
  }
  const bool held = area.lockState == kLockAppend || area.lockState == kLockFile;
  // Whoever holds the append byte now writes both before letting go of it.
  if (!held && !LockWithRetry(area.fileHandle, LockBase + 1, 1)) return 0;
  const std::int64_t size = XbFileSize(area.fileHandle);
  if (size >= area.headerLength && area.recordLength > 0)
    area.recordCount = static_cast<std::int32_t>((size - area.headerLength) / area.recordLength);
  std::uint16_t code = WriteHeaderBytes(area);
  if (code == 0 && end) code = WriteEofByte(area);
  if (!held) LockRegion(true, area.fileHandle, LockBase + 1, 1);
  return code;
}

std::string TrimBoth(std::string_view text) {
  return AllTrim(text);
}

// Right-aligned number text of the field's width, all "*" when it does not fit.
std::string FormatNumber(double value, int width, int decimals) {
  char buffer[512];
  std::string text;
  if (std::isfinite(value)) {
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (r.ec == std::errc()) text.assign(buffer, r.ptr);
  }
  if (text.empty() || static_cast<int>(text.size()) > width) return std::string(width, '*');
  return std::string(width - text.size(), ' ') + text;
}

std::string FormatInteger(long long value, int width) {
  // The lowest value marks one beyond range, NaN or infinity (SlotIntegerOf); in a field of
  // 20 digits its text would fit.
  if (value == INT64_MIN) return std::string(width, '*');
  const std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) > width) return std::string(width, '*');
  return std::string(width - text.size(), ' ') + text;
}

double ParseDouble(std::string_view text) {
  double value = 0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return r.ec == std::errc() ? value : 0.0;
}

// A stored number text, trimmed: empty is 0; anything but one whole number text (a sign,
// digits, one point, an exponent) is false.
bool ParseStoredNumber(std::string_view text, double& value) {
  value = 0;
  if (text.empty()) return true;
  if (text.front() == '+') text.remove_prefix(1);
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value)) {
    value = 0;
    return false;
  }
  return true;
}

// A whole number of up to 19 digits; false when the text holds none.
bool ParseWhole(std::string_view text, std::int64_t& value) {
  value = 0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec == std::errc() && r.ptr == text.data() + text.size()) return true;
  const double d = ParseDouble(text);
  if (d >= -9.2e18 && d <= 9.2e18) {
    value = static_cast<std::int64_t>(std::llround(d));
    return true;
  }
  return false;
}

std::int32_t ParseInt32(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec == std::errc() && r.ptr == text.data() + text.size()) return value;
  const double d = ParseDouble(text);
  if (d >= -2147483648.0 && d <= 2147483647.0) return static_cast<std::int32_t>(d);
  return 0;
}

// A stored date: eight blanks or zeros (no date, as other writers leave it), or YYYYMMDD of a
// day of the calendar.
bool StoredDateReadable(std::string_view dtos) {
  if (dtos.find_first_not_of(' ') == std::string_view::npos ||
      dtos.find_first_not_of('0') == std::string_view::npos)
    return true;
  // A day of the calendar comes back from its day number as it was written; anything else,
  // a letter or blank among the digits included, does not.
  return JulianToDtos(DtosToJulian(dtos)) == dtos;
}

// The date text a stored date is shown as: blank for no date and for one that is no date.
std::string StoredDateText(std::string_view dtos) {
  return DtosToDateText(StoredDateReadable(dtos) &&
                                dtos.find_first_not_of('0') != std::string_view::npos
                            ? dtos
                            : std::string_view("        "));
}

// A date slot's text is a blank template: blanks, with separators only where they belong.
bool IsBlankDateTemplate(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ') continue;
    if (c == '/' || c == '-' || c == '.') continue;
    return false;
  }
  return true;
}

// YYYYMMDD of a date slot text in the current mode, or eight blanks; invalid is set for a
// text that is no date (its record must not be written).
std::string DateSlotToDtos(std::string& text, bool& invalid) {
  const std::size_t fullLength = (CenturyOn ? 4 : 2) + 6;
  invalid = false;
  if (text.empty() || IsBlankDateTemplate(text)) return std::string(8, ' ');
  if (text.size() != fullLength) {
    invalid = !ValidDate(text);
  } else {
    std::string checked = text;  // a full text stands as typed when it is a date
    invalid = !ValidDate(checked);
  }
  if (invalid) return std::string(8, ' ');
  std::string month, day, year;
  if (DateMode == 0) {
    month = text.substr(0, 2);
    day = text.substr(3, 2);
    year = text.size() > 6 ? text.substr(6) : std::string();
  } else if (DateMode == 1) {
    const std::size_t yearLength = text.size() >= 6 ? text.size() - 6 : 0;
    year = text.substr(0, yearLength);
    month = text.substr(std::min(text.size(), yearLength + 1), 2);
    day = text.substr(std::min(text.size(), yearLength + 4), 2);
  } else {
    day = text.substr(0, 2);
    month = text.substr(3, 2);
    year = text.size() > 6 ? text.substr(6) : std::string();
  }
  if (year.size() == 2) year = std::to_string(CenturyOf(year) / 100) + year;
  while (year.size() < 4) year.insert(year.begin(), '0');
  month.resize(2, ' ');
  day.resize(2, ' ');
  return (year.substr(0, 4) + month + day);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

namespace {
bool IsStandardDbfVersion(unsigned char version) {
  return version == 0x02 || version == 0x03 || version == 0x83 || version == 0x8B ||
         version == 0xF5 || version == 0x04 || version == 0x8C;
}
}  // namespace

bool IsValidDbfVersion(unsigned char version) {
  return IsStandardDbfVersion(version) || (ExtraDbfVersion1 != 0 && version == ExtraDbfVersion1) ||
         (ExtraDbfVersion2 != 0 && version == ExtraDbfVersion2);
}

bool IsDbase2(const WorkAreaRecord& area) {
  return area.headerImage[0] == 0x02 && ExtraDbfVersion1 == 0 && ExtraDbfVersion2 == 0;
}

std::string MemoFileExt(unsigned char version) {
  if (!IsValidDbfVersion(version)) version = DefaultMemoVersion;
  return (version == 0xF5 || version == 0x30) ? "FPT" : "DBT";
}

std::uint32_t SwapLong(std::uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

std::uint16_t SwapWord(std::uint16_t value) {
  return static_cast<std::uint16_t>((value >> 8) | (value << 8));
}

void WriteDbfHeader(WorkAreaRecord& area) {
  if (area.vfile.isVirtual) return;
  const std::uint8_t state = area.state;
  // The end-of-file byte is the business of CommitDbf and CloseDbf.
  if (state == kAreaAppended) area.state = kAreaModified;
  const std::uint16_t code = WriteTableEnd(area);
  area.state = state;
  XbaseErrorCode = code;
  if (code != 0) {
    PendingErrorCode = code;
    XbaseErrorMessage = "File:  " + area.tableName + " [WriteDbfHeader]";
    if (ErrorHandlingOn) HandleError();
  }
}

void CommitTableEnd(WorkAreaRecord& area) {
  if (area.vfile.isVirtual || area.fileHandle < 0) return;
  if (area.state != kAreaModified && area.state != kAreaAppended) return;
  const std::uint16_t code = WriteTableEnd(area);
  area.state = kAreaClean;
  if (code != 0) SetError(code, "File:  " + area.tableName + " [CommitDbf]");
}

void FlushFile(int handle) {
  if (::fsync(handle) != 0) SetError(DosCodeOfErrno(errno), "Unable to flush file [FlushFile]");
}

void CommitDbf(WorkAreaRecord& area) {
  if (area.vfile.isVirtual) return;
  if (area.state != kAreaModified && area.state != kAreaAppended) return;
  const std::uint16_t code = WriteTableEnd(area);
  XbaseErrorCode = code;
  if (code != 0) SetError(code, "File:  " + area.tableName + " [CommitDbf]");
  area.state = kAreaClean;
  if (XbaseErrorCode == 0) FlushFile(area.fileHandle);
}

void GetDbfRecord(WorkAreaRecord& area, std::int32_t n) {
  if (n < 1 || n > area.recordCount) {
    SetError(212, "Invalid record number = " + std::to_string(n) + " (" + area.tableName +
                      ")  [GetDbfRecord]");
    return;
  }
  area.eof = false;
  area.bof = false;
  area.loadedRecord = 0;
  if (area.vfile.isVirtual) {
    Dispatch(area, kVFileGoto, n);
    return;
  }
  area.recordBuffer.resize(area.recordLength);
  const std::uint16_t code =
      ReadAt(area.fileHandle, area.recordBuffer.data(), area.recordLength, RecordOffset(area, n));
  XbaseErrorCode = code;
  if (code != 0) {
    if (code != 213) area.eof = true;
    SetError(code, "File:  " + area.tableName + "  [GetDbfRecord]");
    return;
  }
  area.recordNumber = n;
  area.loadedRecord = n;
  TranslateRecord(TTranslateDirection::Read, area.oem, area.readHook, area.recordLength,
                  area.recordLength, area.recordBuffer.data());
}

void PutDbfRecord(WorkAreaRecord& area, std::int32_t n) {
  if (!area.unfitField.empty() && !area.vfile.isVirtual) {
    // A value that does not fit is not kept: the record stays as the file holds it.
    if (n >= 1 && n <= area.recordCount) {
      area.recordBuffer.resize(area.recordLength);
      if (ReadAt(area.fileHandle, area.recordBuffer.data(), area.recordLength,
                 RecordOffset(area, n)) == 0)
        TranslateRecord(TTranslateDirection::Read, area.oem, area.readHook, area.recordLength,
                        area.recordLength, area.recordBuffer.data());
    }
    ReportUnfitField(area, "Replace/Append/PutDbfRecord");
    return;
  }
  const std::int32_t oldCount = area.recordCount;
  const std::int32_t oldNumber = area.recordNumber;
  const bool append = n > area.recordCount;
  // The header of a dBASE II table counts records in 16 bits: one more would wrap the count.
  if (append && !area.vfile.isVirtual && IsDbase2(area) && area.recordCount >= 0xFFFF) {
    SetError(212, "A dBASE II table holds at most 65535 records (" + area.tableName +
                      ") [Replace/Append/PutDbfRecord]");
    return;
  }
  if (append) {
    n = area.recordCount + 1;
    area.recordCount = n;
    area.recordNumber = n;
  }
  if (area.vfile.isVirtual) {
    Dispatch(area, kVFileReplace, n);
    return;
  }
  area.recordBuffer.resize(area.recordLength);
  // A rewrite moves the record's entries in the open indexes: its old image is read first.
  const int indexedArea = append ? 0 : IndexedAreaNumber(area);
  std::vector<unsigned char> before;
  if (indexedArea) {
    before.resize(area.recordLength);
    if (ReadAt(area.fileHandle, before.data(), before.size(), RecordOffset(area, n)) == 0)
      TranslateRecord(TTranslateDirection::Read, area.oem, area.readHook, before.size(),
                      area.recordLength, before.data());
    else
      before.clear();
  }
  // The caller keeps the buffer as it was: translate a copy.
  std::vector<unsigned char> out(area.recordBuffer);
  TranslateRecord(TTranslateDirection::Write, area.oem, area.writeHook, area.recordLength,
                  area.recordLength, out.data());
  // The indexes are marked as being updated before the record changes under them.
  const int bracket = before.empty() ? 0 : indexedArea;
  if (!BeginIndexedWrite(bracket)) return;
  const std::uint16_t code =
      WriteAt(area.fileHandle, out.data(), area.recordLength, RecordOffset(area, n));
  XbaseErrorCode = code;
  if (code != 0) {
    EndIndexedWrite(bracket);
    if (append) {
      // The record is not in the file: the count must not claim it.
      area.recordCount = oldCount;
      area.recordNumber = oldNumber;
    }
    SetError(code, "File:  " + area.tableName + " [Replace/Append/PutDbfRecord]");
    return;
  }
  if (append) {
    area.state = kAreaAppended;
    if (AutoCommit) CommitDbf(area);
  } else {
    if (area.state != kAreaAppended) area.state = kAreaModified;
    if (AutoCommit) FlushFile(area.fileHandle);
    if (bracket) NotifyRecordRewritten(indexedArea, n, before.data(), area.recordBuffer.data());
    EndIndexedWrite(bracket);
  }
}

void ReportUnfitField(WorkAreaRecord& area, const std::string& routine) {
  if (area.unfitField.empty()) return;
  const std::string field = std::exchange(area.unfitField, std::string());
  const std::string text = std::exchange(area.unfitText, std::string());
  SetError(201, (text.empty() ? "Value too wide for field " + field
                              : "\"" + text + "\" is no date for field " + field) +
                    ", record not stored (" + area.tableName + ") [" + routine + "]");
}

void AppendDbfRecord(WorkAreaRecord& area) {
  PutDbfRecord(area, area.recordCount + 1);
}

void CloseDbf(WorkAreaRecord& area) {
  XbaseErrorCode = 0;
  if (area.vfile.isVirtual) {
    Dispatch(area, kVFileClose, 0);
    return;
  }
  std::uint16_t code = 0;
  if (area.fileHandle >= 0) {
    if (area.state == kAreaModified || area.state == kAreaAppended) code = WriteTableEnd(area);
    const std::uint16_t closeCode = XbCloseFile(area.fileHandle);
    if (code == 0) code = closeCode;
  }
  area.fileHandle = -1;
  area.state = kAreaClosed;
  area.recordBuffer.clear();
  area.recordBuffer.shrink_to_fit();
  area.fields.clear();
  area.fieldCount = 0;
  if (code != 0) SetError(code, "File:  " + area.tableName + " [CloseDbf(" + area.tableName + ")]");
}

void TranslateRecord(TTranslateDirection direction, bool oem, TRecordHook hook,
                     std::size_t totalLength, std::uint16_t recordLength, unsigned char* buffer) {
  if (!oem && !hook) return;
  if (recordLength == 0) return;
  const std::size_t records = totalLength / recordLength;
  const std::uint16_t dataLength = static_cast<std::uint16_t>(recordLength - 1);
  std::string converted;
  for (std::size_t r = 0; r < records; ++r) {
    unsigned char* data = buffer + r * recordLength + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data), dataLength);
    if (direction == TTranslateDirection::Read) {
      if (hook) hook(data, dataLength);
      if (oem) {
        OemToAnsi(bytes, converted);
        std::memcpy(data, converted.data(), std::min<std::size_t>(converted.size(), dataLength));
      }
    } else {
      if (oem) {
        AnsiToOem(bytes, converted);
        std::memcpy(data, converted.data(), std::min<std::size_t>(converted.size(), dataLength));
      }
      if (hook) hook(data, dataLength);
    }
  }
}

void RecordToFields(WorkAreaRecord& area, unsigned char* typed) {
  const unsigned char* raw = area.recordBuffer.data();
  if (area.recordBuffer.size() < area.recordLength || !typed) return;
  typed[0] = raw[0] == ' ' ? 0 : 1;
  area.unreadableField.clear();
  area.unreadableNote.clear();
  area.unreadableCode = 0;
  // The first damage found is the one reported, with its code.
  const auto unreadable = [&area](std::uint16_t code, std::string what, const char* note) {
    if (area.unreadableCode != 0) return;
    area.unreadableCode = code;
    area.unreadableField = std::move(what);
    area.unreadableNote = note;
  };
  // Only " " and "*" are flags; a record with another is no live record to other readers.
  if (raw[0] != ' ' && raw[0] != '*')
    unreadable(13, "The deletion flag holds byte " + std::to_string(raw[0]),
               ", neither blank nor \"*\": read as deleted");
  unsigned char* slot = typed + 1;
  for (const FieldDescriptor& f : area.fields) {
    const char* bytes = reinterpret_cast<const char*>(raw + f.offset);
    const std::string_view text(bytes, f.length);
    switch (f.type) {
      case 'C':
        slot[0] = f.length;
        std::memcpy(slot + 1, bytes, f.length);
        break;
      case 'D': {
        if (!StoredDateReadable(text))
          unreadable(13, std::string(f.name) + " holds \"" + std::string(text) + "\"",
                     ", no date: read as blank");
        const std::string date = StoredDateText(text);
        slot[0] = static_cast<unsigned char>(date.size());
        std::memcpy(slot + 1, date.data(), date.size());
        break;
      }
      case 'N':
      case 'F': {
        const std::string trimmed = TrimBoth(text);
        double number = 0;
        // Asterisks or garbage read as 0, and the load says which field held them.
        const bool readable = ParseStoredNumber(trimmed, number);
        if (!readable)
          unreadable(106, std::string(f.name) + " holds \"" + trimmed + "\"",
                     ", no number: read as 0");
        if (f.decimals > 0) {
          std::memcpy(slot, &number, sizeof number);
        } else {
          std::int64_t value = 0;
          if (readable) ParseWhole(trimmed, value);
          PutSlotInteger(f, slot, value);
        }
        break;
      }
      case 'L':
        slot[0] = (f.length > 0 &&
                   (bytes[0] == 'T' || bytes[0] == 'Y' || bytes[0] == 't' || bytes[0] == 'y'))
                      ? 1
                      : 0;
        break;
      case 'M': {
        const std::int32_t block = ParseInt32(TrimBoth(text));
        std::memcpy(slot, &block, sizeof block);
        break;
      }
      default:
        break;
    }
    slot += TypedSlotSize(f);
  }
}

void FieldsToRecord(WorkAreaRecord& area, unsigned char* typed) {
  area.unfitField.clear();
  area.unfitText.clear();
  area.recordBuffer.resize(area.recordLength, ' ');
  unsigned char* raw = area.recordBuffer.data();
  if (!typed) return;
  // A deleted record keeps a flag another program wrote; a live one gets the blank.
  if (!typed[0] || raw[0] == ' ') raw[0] = typed[0] ? '*' : ' ';
  unsigned char* slot = typed + 1;
  for (const FieldDescriptor& f : area.fields) {
    char* out = reinterpret_cast<char*>(raw + f.offset);
    // A value the caller left as it was read keeps its stored bytes: a date keeps its century
    // whatever the displayed year, a number its digits and layout as another program wrote them.
    if (SlotHoldsStoredValue(f, slot, std::string_view(out, f.length))) {
      slot += TypedSlotSize(f);
      continue;
    }
    std::string text;
    switch (f.type) {
      case 'C': {
        const std::size_t n = std::min<std::size_t>(slot[0], f.length);
        text.assign(reinterpret_cast<const char*>(slot + 1), n);
        text.resize(f.length, ' ');
        break;
      }
      case 'D': {
        const std::size_t n = std::min<std::size_t>(slot[0], 10);
        std::string date(reinterpret_cast<const char*>(slot + 1), n);
        bool invalid = false;
        const std::string typed = date;
        text = DateSlotToDtos(date, invalid);
        if (invalid && area.unfitField.empty()) {
          area.unfitField = f.name;
          area.unfitText = typed;
        }
        // ValidDate normalises a short text in place: the slot keeps the normalised form.
        if (!invalid && date.size() <= 10 && !date.empty()) {
          slot[0] = static_cast<unsigned char>(date.size());
          std::memcpy(slot + 1, date.data(), date.size());
        }
        text.resize(f.length, ' ');
        break;
      }
      case 'N':
      case 'F':
        if (f.decimals > 0) {
          double value = 0;
          std::memcpy(&value, slot, sizeof value);
          text = FormatNumber(value, f.length, f.decimals);
        } else {
          text = FormatInteger(GetSlotInteger(f, slot), f.length);
        }
        if (area.unfitField.empty() && text.find('*') != std::string::npos) {
          area.unfitField = f.name;
          area.unfitText.clear();
        }
        break;
      case 'L':
        text = std::string(1, slot[0] ? 'T' : 'F');
        text.resize(f.length, ' ');
        break;
      case 'M': {
        std::int32_t block = 0;
        std::memcpy(&block, slot, sizeof block);
        // No memo is blanks, as dBASE writes it; other readers take "0" for the header block.
        text = block == 0 ? std::string(f.length, ' ') : FormatInteger(block, f.length);
        break;
      }
      default:
        slot += TypedSlotSize(f);
        continue;
    }
    std::memcpy(out, text.data(), f.length);
    slot += TypedSlotSize(f);
  }
}

void MakeMemoFile(const std::string& name, unsigned char version, std::uint16_t blockSize,
                  const std::string& routine) {
  if (!IsValidDbfVersion(version)) version = DefaultMemoVersion;
  const std::string fileName = ForceDefaultExt(name, MemoFileExt(version));
  if (blockSize == 0) blockSize = 512;
  std::vector<unsigned char> header;
  if (version == 0x83) {
    header.assign(513, 0);
    PutLe32(header.data(), 1);
    header[512] = EofMarker;
  } else if (version == 0xF5) {
    header.assign(512, 0);
    const std::uint32_t next = 511 / blockSize + 1;
    header[0] = static_cast<unsigned char>(next >> 24);
    header[1] = static_cast<unsigned char>(next >> 16);
    header[2] = static_cast<unsigned char>(next >> 8);
    header[3] = static_cast<unsigned char>(next);
    header[6] = static_cast<unsigned char>(blockSize >> 8);
    header[7] = static_cast<unsigned char>(blockSize);
  } else {
    // A full 512-byte header block, as dBASE IV itself writes it: readers expect one, so
    // the first free block lies behind it.
    header.assign(512, 0);
    PutLe32(header.data(), 511 / blockSize + 1);
    std::string dir, base, ext;
    SplitFileName(fileName, dir, base, ext);
    for (std::size_t i = 0; i < 8 && i < base.size(); ++i)
      header[8 + i] = static_cast<unsigned char>(base[i]);
    header[18] = 0x02;
    header[19] = 0x01;
    PutLe16(header.data() + 20, blockSize);
  }
  std::uint16_t code = 0;
  const int fd = XbCreateFile(fileName, code);
  XbaseErrorCode = code;
  if (fd < 0) {
    SetError(code, "Cannot create memo file " + fileName + " [" + routine + "]");
    return;
  }
  code = WriteAt(fd, header.data(), header.size(), 0);
  const std::uint16_t closeCode = XbCloseFile(fd);
  if (code == 0) code = closeCode;
  XbaseErrorCode = code;
  if (code != 0) SetError(code, fileName + " [" + routine + "]");
}

// ---------------------------------------------------------------------------------------------
// Opening and creating

bool ReadDbfHeader(WorkAreaRecord& area) {
  unsigned char head[32] = {};
  const std::int64_t size = XbFileSize(area.fileHandle);
  // A header that does not describe its records is refused with the reason it gives.
  const auto refuse = [&area](const std::string& why) {
    SetError(210, why + "  File:  " + area.tableName + " [USE]");
    return false;
  };
  std::uint16_t code =
      size < 8 ? 213 : ReadAt(area.fileHandle, head, std::min<std::int64_t>(32, size), 0);
  if (code != 0) {
    SetError(code == 213 ? 210 : code, "File:  " + area.tableName + " [USE]");
    return false;
  }
  if (!IsValidDbfVersion(head[0])) {
    SetError(210, "File:  " + area.tableName + " [USE]");
    return false;
  }
  std::memcpy(area.headerImage.data(), head, 32);
  area.fields.clear();
  std::uint32_t count = 0;
  const bool dbase2 = IsDbase2(area);
  if (dbase2) {
    count = GetLe16(head + 1);
    area.recordLength = static_cast<std::uint16_t>(GetLe16(head + 6));
    area.headerLength = kDbase2HeaderLength;
    unsigned char desc[16 * 32 + 1] = {};
    code = ReadAt(area.fileHandle, desc, std::min<std::int64_t>(sizeof desc, size - 8), 8);
    std::uint16_t offset = 1;
    for (int i = 0; i < 32 && code == 0 && desc[i * 16] != kFieldTerminator; ++i) {
      const unsigned char* d = desc + i * 16;
      FieldDescriptor f{};
      std::memcpy(f.name, d, 11);
      f.name[10] = '\0';
      f.type = static_cast<char>(d[11]);
      f.length = d[12];
      f.decimals = d[15];
      f.offset = offset;
      offset = static_cast<std::uint16_t>(offset + f.length);
      area.fields.push_back(f);
    }
  } else {
    count = GetLe32(head + 4);
    area.headerLength = static_cast<std::uint16_t>(GetLe16(head + 8));
    area.recordLength = static_cast<std::uint16_t>(GetLe16(head + 10));
    if (area.headerLength < 33 || area.headerLength > size) {
      SetError(210, "File:  " + area.tableName + " [USE]");
      return false;
    }
    // The descriptors run to their terminator whatever the header length says; the two must
    // then agree, or the records would be read out of place.
    std::vector<unsigned char> desc(
        static_cast<std::size_t>(std::min<std::int64_t>(size - 32, 32 * 255 + 1)));
    code = ReadAt(area.fileHandle, desc.data(), desc.size(), 32);
    std::size_t pos = 0;
    std::uint16_t offset = 1;
    for (; code == 0 && pos + 32 <= desc.size() && desc[pos] != kFieldTerminator; pos += 32) {
      const unsigned char* d = desc.data() + pos;
      FieldDescriptor f{};
      std::memcpy(f.name, d, 11);
      f.name[10] = '\0';
      f.type = static_cast<char>(d[11]);
      f.length = d[16];
      f.decimals = d[17];
      f.offset = offset;
      offset = static_cast<std::uint16_t>(offset + f.length);
      area.fields.push_back(f);
    }
    if (code == 0) {
      if (pos >= desc.size() || desc[pos] != kFieldTerminator)
        return refuse("Field descriptors without their end mark");
      // Records start right behind the end mark, or behind one zero fill byte some writers
      // leave there; only the FoxPro family keeps its 263-byte back link there. Any other
      // length would read every field out of place.
      const std::size_t needed = 32 + pos + 1;
      const bool backLink = head[0] == 0xF5 || !IsStandardDbfVersion(head[0]);
      const bool fill = pos + 1 < desc.size() && desc[pos + 1] == 0;
      if (area.headerLength != needed && !(fill && area.headerLength == needed + 1) &&
          !(backLink && area.headerLength == needed + 263))
        return refuse("Header length " + std::to_string(area.headerLength) + " does not fit " +
                      std::to_string(area.fields.size()) + " fields");
    }
  }
  if (code != 0) {
    SetError(code, "File:  " + area.tableName + " [USE]");
    return false;
  }
  // Records without fields hold nothing to show or keep.
  if (area.fields.empty()) return refuse("No field descriptors");
  std::uint32_t used = 1;
  for (const FieldDescriptor& f : area.fields) {
    used += f.length;
    // A field without bytes, or with more decimals than digits, is no field a writer makes.
    if (f.length == 0 || f.decimals > f.length)
      return refuse("Field " + std::string(f.name) + " of width " + std::to_string(f.length) +
                    " with " + std::to_string(f.decimals) + " decimals");
  }
  if (area.recordLength == 0 || used > area.recordLength || (!dbase2 && used != area.recordLength))
    return refuse("Record length " + std::to_string(area.recordLength) + " where the fields take " +
                  std::to_string(used));
  area.fieldCount = static_cast<std::uint8_t>(area.fields.size());
  // A header claiming more records than the file holds whole would read past its end: the
  // whole records stay readable, and the opener reports the shortfall.
  const std::int64_t present =
      size > area.headerLength ? (size - area.headerLength) / area.recordLength : 0;
  area.recordCount = static_cast<std::int32_t>(std::min<std::int64_t>(count, present));
  area.recordBuffer.assign(area.recordLength, ' ');
  area.hasMemo = std::any_of(area.fields.begin(), area.fields.end(),
                             [](const FieldDescriptor& f) { return f.type == 'M'; });
  area.state = kAreaClean;
  XbaseErrorCode = 0;
  return true;
}

std::string BuildDbfHeader(std::uint8_t version, const std::vector<TFieldSpec>& fields, int year,
                           int month, int day) {
  const std::size_t headerLength = 32 + 32 * fields.size() + 1;
  std::string out(headerLength, '\0');
  auto* h = reinterpret_cast<unsigned char*>(out.data());
  std::uint32_t recordLength = 1;
  for (const TFieldSpec& f : fields) recordLength += f.length;
  h[0] = version;
  h[1] = static_cast<unsigned char>((year - 1900) % 256);
  h[2] = static_cast<unsigned char>(month);
  h[3] = static_cast<unsigned char>(day);
  PutLe32(h + 4, 0);
  PutLe16(h + 8, static_cast<std::uint32_t>(headerLength));
  PutLe16(h + 10, recordLength);
  h[29] = kLanguageCp850;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    unsigned char* d = h + 32 + 32 * i;
    const std::string name = UpperAscii(fields[i].name.substr(0, 10));
    std::memcpy(d, name.data(), name.size());
    d[11] = static_cast<unsigned char>(fields[i].type);
    d[16] = fields[i].length;
    d[17] = fields[i].decimals;
  }
  h[headerLength - 1] = kFieldTerminator;
  out.push_back(static_cast<char>(EofMarker));
  return out;
}

bool WideIntegerSlot(const FieldDescriptor& f) {
  return (f.type == 'N' || f.type == 'F') && f.decimals == 0 && f.length > 9;
}

std::int64_t GetSlotInteger(const FieldDescriptor& f, const unsigned char* slot) {
  if (WideIntegerSlot(f)) {
    std::int64_t value = 0;
    std::memcpy(&value, slot, sizeof value);
    return value;
  }
  std::int32_t value = 0;
  std::memcpy(&value, slot, sizeof value);
  return value;
}

std::int64_t SlotIntegerOf(double value) {
  const double r = std::round(value);
  // Beyond 64 bits, NaN and infinity fit no field: kept as the mark that writes asterisks.
  return (r > -9.2e18 && r < 9.2e18) ? static_cast<std::int64_t>(r) : INT64_MIN;
}

void PutSlotInteger(const FieldDescriptor& f, unsigned char* slot, std::int64_t value) {
  if (WideIntegerSlot(f)) {
    std::memcpy(slot, &value, sizeof value);
    return;
  }
  // A value beyond the slot is kept as one no field of nine digits or fewer can hold, so that
  // storing it gives the asterisks and their report rather than a quiet 0.
  const std::int32_t narrow =
      (value >= INT32_MIN && value <= INT32_MAX) ? static_cast<std::int32_t>(value) : INT32_MIN;
  std::memcpy(slot, &narrow, sizeof narrow);
}

bool SlotHoldsStoredValue(const FieldDescriptor& f, const unsigned char* slot,
                          std::string_view stored) {
  const std::string trimmed = AllTrim(stored);
  // Blank fields are written afresh, so a new record gets "0", "F" and the like as always.
  if (trimmed.empty()) return false;
  switch (f.type) {
    case 'D': {
      const std::string shown = StoredDateText(stored);
      return slot[0] == shown.size() && std::memcmp(slot + 1, shown.data(), shown.size()) == 0;
    }
    case 'N':
    case 'F':
      if (double stored = 0; !ParseStoredNumber(trimmed, stored)) {
        // Unreadable text was loaded as 0: a 0 left as it was keeps the file's bytes.
        if (f.decimals > 0) {
          double value = 0;
          std::memcpy(&value, slot, sizeof value);
          return value == 0;
        }
        return GetSlotInteger(f, slot) == 0;
      }
      if (f.decimals > 0) {
        double value = 0;
        std::memcpy(&value, slot, sizeof value);
        return value == ParseDouble(trimmed);
      } else {
        std::int64_t value = 0;
        return ParseWhole(trimmed, value) && GetSlotInteger(f, slot) == value;
      }
    case 'L': {
      const char c = stored[0];
      return (slot[0] != 0) == (c == 'T' || c == 'Y' || c == 't' || c == 'y');
    }
    case 'M': {
      std::int32_t block = 0;
      std::memcpy(&block, slot, sizeof block);
      return block == ParseInt32(trimmed);
    }
    default:
      return false;
  }
}

int TypedSlotSize(const FieldDescriptor& f) {
  switch (f.type) {
    case 'C':
      return f.length + 1;
    case 'D':
      // Room for the date text whatever length a damaged header gives the field.
      return std::max<int>(f.length, 8) + 3;
    case 'N':
    case 'F':
      return f.decimals > 0 || WideIntegerSlot(f) ? 8 : 4;
    case 'L':
      return 1;
    case 'M':
      return 4;
    default:
      return 0;
  }
}
