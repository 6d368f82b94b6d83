// Opening a table into the current work area and creating new tables.
#include "xbase/table_open.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/file_writer.h"
#include "xbase/dbf_file.h"
#include "xbase/xbase_dates.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_platform.h"
#include "xbase/xbase_utils.h"

namespace {

// The file of a name: as given, else with its extension in upper or in lower case.
std::string ExistingTableFile(const std::string& name) {
  if (FileExistsShort(name)) return name;
  std::string dir, base, ext;
  SplitFileName(name, dir, base, ext);
  std::string lower = ext;
  for (char& c : lower) c = CharLower(c);
  for (const std::string& variant : {UpperAscii(ext), lower}) {
    const std::string candidate = name.substr(0, name.size() - ext.size()) + variant;
    if (FileExistsShort(candidate)) return candidate;
  }
  return name;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Opening and creating

bool UseDbf(const std::string& fileName, bool exclusive, bool readOnly) {
  if (CurrentArea < 1 || CurrentArea > kWorkAreaCount) return false;
  CloseArea();
  const std::string name = ExistingTableFile(ForceDefaultExt(AllTrim(fileName), "DBF"));
  std::uint16_t code = 0;
  const int fd = XbOpenFile(name, exclusive, readOnly, code);
  XbaseErrorCode = code;
  if (fd < 0) {
    SetError(code, "File:  " + name + " [USE]");
    return false;
  }
  // A rewrite of the table (a pack) killed half way left its work file beside it.
  platform::RemoveLeftoverWorkFiles(name);
  auto area = std::make_unique<WorkAreaRecord>();
  area->tableName = name;
  area->path = name;
  area->fileHandle = fd;
  area->exclusive = exclusive;
  if (!ReadDbfHeader(*area)) {
    XbCloseFile(fd);
    return false;
  }
  area->ownTypedStorage.assign(TypedBufferSize(area->fields), 0);
  area->typedBuffer = area->ownTypedStorage.data();
  area->typedSize = static_cast<std::uint16_t>(area->ownTypedStorage.size());
  area->ownsTypedBuffer = true;
  WorkAreas[CurrentArea] = std::move(area);
  LastOpenExclusive = exclusive;
  WorkAreaRecord& opened = *CurrentWorkArea();
  const unsigned char* head = opened.headerImage.data();
  const std::uint32_t counted =
      IsDbase2(opened)
          ? std::uint32_t(head[1] | head[2] << 8)
          : std::uint32_t(head[4] | head[5] << 8 | head[6] << 16) | std::uint32_t(head[7]) << 24;
  const std::int32_t whole = opened.recordCount;
  // Another program may have appended without writing the header yet.
  RefreshRecCount();
  std::uint16_t memoCode = 0;
  if (opened.hasMemo && MemoHooks.openMemofile) {
    MemoHooks.openMemofile(opened.tableName);
    memoCode = XbaseErrorCode;
  }
  if (opened.recordCount > 0) {
    GetDbfRecord(opened, 1);
    // Damage inside the first record is that record's, told when a move shows it: here its
    // code only stands, the open does not fail on it.
    if (XbaseErrorCode == 0) {
      const bool handling = SetErrorHandling(false);
      LoadFields();
      SetErrorHandling(handling);
    }
  } else {
    ClearRecord();
    opened.recordNumber = 1;
    opened.bof = true;
    opened.eof = true;
  }
  // The table without its memo file is no table that opened: the memo's code stays.
  if (memoCode != 0) {
    XbaseErrorCode = memoCode;
    return false;
  }
  if (counted > static_cast<std::uint32_t>(whole) &&
      (XbaseErrorCode == 0 || opened.loadedRecord == 1)) {
    // A copy cut short: what it holds whole stays readable, and the loss is told, whatever
    // record 1 holds: that is the record's damage, this the table's.
    SetError(213, "Header counts " + std::to_string(counted) + " records, the file holds " +
                      std::to_string(whole) + " whole  File:  " + name + " [USE]");
    opened.openCode = 213;
    return true;
  }
  // Damage inside the first record is told, and the table stands open on that record.
  return XbaseErrorCode == 0 || opened.loadedRecord == 1;
}

namespace {
bool ValidFieldSpec(const TFieldSpec& f) {
  if (f.name.empty() || f.name.size() > 10) return false;
  for (char c : f.name)
    if (!(IsUpperLetter(CharUpper(c)) || (c >= '0' && c <= '9') || c == '_')) return false;
  switch (f.type) {
    case 'C':
      return f.length >= 1 && f.length <= 254;
    case 'N':
    case 'F':
      return f.length >= 1 && f.length <= 20 && (f.decimals == 0 || f.decimals + 2 <= f.length);
    case 'L':
      return f.length == 1;
    case 'D':
      return f.length == 8;
    case 'M':
      return f.length == 10;
    default:
      return false;
  }
}

// The version byte a table with memo fields is written with: other readers open the memo file
// only when the version says there is one.
std::uint8_t MemoBearingVersion(std::uint8_t version) {
  switch (version) {
    case 0x03:
      return 0x83;  // dBASE III PLUS with memo
    case 0x04:
      return 0x8C;
    default:
      return version;
  }
}

}  // namespace

bool CreateDbf(const std::string& fileName, const std::vector<TFieldSpec>& fields,
               std::uint8_t version, bool exclusive) {
  const std::string name = ForceDefaultExt(AllTrim(fileName), "DBF");
  bool memo = false;
  std::vector<std::string> names;
  for (const TFieldSpec& f : fields) {
    if (!ValidFieldSpec(f)) {
      SetError(211, "Invalid field definition " + f.name + " [CreateDbf(" + name + ")]");
      return false;
    }
    // Readers find fields by name: a second field of one name would be lost to them.
    const std::string upper = UpperAscii(f.name);
    if (std::find(names.begin(), names.end(), upper) != names.end()) {
      SetError(211, "Field name " + upper + " given twice [CreateDbf(" + name + ")]");
      return false;
    }
    names.push_back(upper);
    memo = memo || f.type == 'M';
  }
  if (fields.empty() || fields.size() > 255) {
    SetError(220, "Invalid field count [CreateDbf(" + name + ")]");
    return false;
  }
  if (version == 0) version = 0x03;
  if (memo) version = MemoBearingVersion(version);
  // The header written here has the 32-byte layout: a dBASE II version byte would have it
  // read as the other one.
  const bool dbase2 = version == 0x02 && ExtraDbfVersion1 == 0 && ExtraDbfVersion2 == 0;
  if (dbase2 || (memo && !IsValidDbfVersion(version))) {
    SetError(220, "Tables of version " + std::to_string(version) +
                      (dbase2 ? " are not created" : " hold no memo fields") + " [CreateDbf(" +
                      name + ")]");
    return false;
  }
  int year = 0, month = 0, day = 0, dow = 0;
  GetDate(year, month, day, dow);
  const std::string header = BuildDbfHeader(version, fields, year, month, day);
  // Written under a work name beside the target and renamed when complete: a name the next
  // open's clean-up knows when a create is killed half way, and one that fits however long
  // the table's name.
  if (const int err = platform::WriteWholeFile(name, header)) {
    SetError(DosCodeOfErrno(err),
             "Cannot create " + name + ": " + std::strerror(err) + " [CreateDbf]");
    return false;
  }
  if (memo) {
    std::string dir, base, ext;
    SplitFileName(name, dir, base, ext);
    // The memo file's extension follows the case of the table's (t.dbt beside t.dbf): names
    // are case-sensitive here and other readers look for the one that matches.
    std::string memoExt = MemoFileExt(version);
    if (std::any_of(ext.begin(), ext.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
      for (char& c : memoExt) c = CharLower(c);
    MakeMemoFile(dir + base + "." + memoExt, version, 512, "CreateDbf");
    if (XbaseErrorCode != 0) return false;
  }
  return UseDbf(name, exclusive);
}
