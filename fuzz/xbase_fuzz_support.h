// The table library started as the print presets start it, with errors recorded (a damaged
// file must end in an error code, never in the program's end), and a small sample table.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz_support.h"
#include "xbase/dbf_file.h"
#include "xbase/memo_ops.h"
#include "xbase/ndx_sets.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

namespace fuzz {

struct XbaseSession {
  XbaseSession() {
    ClearScratch();
    InitXbaseCore();
    InitXbaseMemo();
    InstallParserHooks();
    IndexInit();
    SetErrorHandling(false);
  }
  ~XbaseSession() {
    IndexDone();
    CloseAll();
    ResetExprUnit();
    DoneXbaseCore();
  }
};

// NAME C 10, AMOUNT N 10.2, BORN D, DONE L (and NOTES M with a memo version), rows given.
inline void MakeSampleTable(const std::string& path, std::uint8_t version, bool memo, int rows) {
  std::vector<TFieldSpec> fields = {
      {"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 10, 2}, {"BORN", 'D', 8, 0}, {"DONE", 'L', 1, 0}};
  if (memo) fields.push_back({"NOTES", 'M', 10, 0});
  if (!CreateDbf(path, fields, version, true)) abort();
  for (int i = 1; i <= rows; ++i) {
    ClearRecord();
    SetFieldText(1, "K" + std::to_string((i * 7919) % 97));
    SetFieldNumber(2, i * 12.5 - 40);
    SetFieldText(3, "01/0" + std::to_string(1 + i % 9) + "/19" + std::to_string(70 + i));
    SetFieldLogical(4, i % 2 == 0);
    if (memo) SetFieldMemo(5, i);
    Append();
  }
  CloseAll();
}

// The bytes of that sample table, made once per kind and laid down afresh for every input.
inline const std::string& SampleTableBytes(std::uint8_t version, bool memo, int rows) {
  static std::map<std::tuple<std::uint8_t, bool, int>, std::string> made;
  std::string& bytes = made[{version, memo, rows}];
  if (bytes.empty()) {
    XbaseSession library;
    const std::string path =
        Path("template" + std::to_string(version) + (memo ? "m" : "") + ".dbf");
    MakeSampleTable(path, version, memo, rows);
    bytes = GetFile(path);
  }
  return bytes;
}

// Every field of every record (at most `limit`) through the typed readers.
inline void ReadEveryField(std::int32_t limit) {
  const std::int32_t count = RecCount();
  for (std::int32_t r = 1; r <= count && r <= limit; ++r) {
    Go(r);
    RecordDeleted();
    for (int f = 1; f <= FieldCount(); ++f) {
      FieldAsText(f);
      FieldName(f);
      switch (FieldType(f)) {
        case 'C':
        case 'D':
          GetFieldText(f);
          break;
        case 'N':
        case 'F':
          GetFieldNumber(f);
          break;
        case 'L':
          GetFieldLogical(f);
          break;
        case 'M':
          GetFieldMemo(f);
          break;
        default:
          break;
      }
    }
  }
}

}  // namespace fuzz
