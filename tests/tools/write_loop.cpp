// Writes one file over and over until it is killed, for the test that kills writers at random
// moments. "write_loop refs <kind> <dir>" writes the versions the file may hold; "write_loop
// loop <kind> <dir>" then rewrites <dir>/target.* alternating between them for ever.
//   data   the data file, two data sets (a.vuk, b.vuk)
//   dbf    a table whose 40 records are rewritten field by field and appended to
//   index  an index built again and again, by two key expressions (a.ndx, b.ndx)
//   keys   records appended and rewritten with AutoCommit on an exclusive table whose two
//          indexes (a.ndx, b.ndx) follow every change of a key
//   memo   memos of a table rewritten, then the memo file packed
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/data_file.h"
#include "app/documentation_records.h"
#include "calc/toothing_data.h"
#include "common/message_list.h"
#include "common/program_state.h"
#include "drawings/drawing_documentation.h"
#include "memo_text.h"
#include "xbase/dbf_file.h"
#include "xbase/memo_ops.h"
#include "xbase/memo_pack.h"
#include "xbase/ndx_build.h"
#include "xbase/ndx_sets.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

namespace {

constexpr int kRecords = 40;

void DataSet(int version) {
  InitProgramState();
  SetProgramIdentity();
  InitMessageList();
  InitToothingData();
  InitChangeRecords();
  InitDocumentSlots();
  NewSplineExample();
  AbortFlag = false;
  DrawingTexts[1] = version == 0 ? "first version" : "second version";
  ToothingData.mn = version == 0 ? 2.5L : 3.0L;
  // Enough change records that a write takes more than one buffer.
  ChangeRecords.count = 25;
  for (int i = 1; i <= 25; ++i)
    ChangeRecords.changes[i] = {"change " + std::to_string(i) + (version == 0 ? " a" : " b"),
                                "2026/01/05", "AB", std::string(200, version == 0 ? 'a' : 'b')};
}

void StartTables() {
  InitXbaseCore();
  InstallParserHooks();
  IndexInit();
  SetErrorHandling(false);
}

// Record r of a version: its name and amount belong together.
void PutRecord(int r, int version) {
  SetFieldText(1, (version == 0 ? "A" : "B") + std::to_string(r));
  SetFieldNumber(2, r + version * 1000.0);
}

// "memo": every third record gets its other memo version (told by NAME), then a pack.
// "keys": a record is appended and another gets a new name and amount.
void Round(const std::string& kind, int round) {
  for (int r = 1 + round % 2; kind == "memo" && r <= RecCount(); r += 3) {
    Go(r);
    const int version = GetFieldText(1)[0] == '1' ? 0 : 1;
    SetFieldText(1, std::to_string(version));
    SetFieldMemo(2, ReplaceMemo(0, MemoText(r, version)));
    StoreFields();
    PutDbfRecord(*CurrentWorkArea(), r);
  }
  if (kind == "memo") return PackMemofile();
  ClearRecord();
  SetFieldText(1, "N" + std::to_string(round % 997));
  SetFieldNumber(2, (round * 7919) % 1000);
  Append();
  Go(1 + (round * 13) % RecCount());
  SetFieldText(1, (GetFieldText(1)[0] == 'Z' ? "A" : "Z") + GetFieldText(1).substr(1));
  SetFieldNumber(2, 1000 - GetFieldNumber(2));
  StoreFields();
  PutDbfRecord(*CurrentWorkArea(), RecNo());
}

bool MakeTable(const std::string& path) {
  const std::vector<TFieldSpec> fields = {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 10, 2}};
  if (!CreateDbf(path, fields, 0x03, true)) return false;
  for (int r = 1; r <= kRecords; ++r) {
    ClearRecord();
    PutRecord(r, (r * 7) % 2);
    Append();
  }
  return XbaseErrorCode == 0;
}

int Refs(const std::string& kind, const std::string& dir) {
  if (kind == "data") {
    for (int v = 0; v < 2; ++v) {
      DataSet(v);
      WriteDataFile(dir + (v == 0 ? "/a.vuk" : "/b.vuk"));
      if (AbortFlag) return 1;
    }
    return 0;
  }
  StartTables();
  InitXbaseMemo();
  if (kind == "memo") {
    const std::vector<TFieldSpec> fields = {{"NAME", 'C', 10, 0}, {"NOTES", 'M', 10, 0}};
    if (!CreateDbf(dir + "/target.dbf", fields, 0x83, true)) return 1;
    for (int r = 1; r <= kRecords; ++r) {
      ClearRecord();
      SetFieldText(1, "0");
      SetFieldMemo(2, AddMemo(MemoText(r, 0)));
      Append();
    }
  } else if (!MakeTable(dir + "/target.dbf")) {
    return 1;
  }
  if (kind == "index" || kind == "keys") {
    MakeIndex(dir + "/a.ndx", "NAME", false, 1, false, false);
    MakeIndex(dir + "/b.ndx", "STR(AMOUNT,10,2)+NAME", false, 1, false, false);
  }
  CloseAll();
  return XbaseErrorCode == 0 ? 0 : 1;
}

int Loop(const std::string& kind, const std::string& dir) {
  if (kind == "data") {
    for (int v = 0;; v = 1 - v) {
      DataSet(v);
      WriteDataFile(dir + "/target.vuk");
      if (AbortFlag) return 1;
    }
  }
  StartTables();
  InitXbaseMemo();
  if (!UseDbf(dir + "/target.dbf", true)) return 1;
  if (kind == "keys" && (!SetIndexTo(dir + "/a.ndx", 1) || !SetIndexTo(dir + "/b.ndx", 2)))
    return 1;
  AutoCommit = kind == "keys";
  for (int round = 0; kind == "memo" || kind == "keys"; ++round) {
    Round(kind, round);
    if (XbaseErrorCode != 0) return 1;
  }
  for (int v = 0;; v = 1 - v) {
    if (kind == "dbf") {
      for (int r = 1; r <= RecCount(); ++r) {
        Go(r);
        PutRecord(r, v);
        StoreFields();
        PutDbfRecord(*CurrentWorkArea(), r);
      }
      ClearRecord();
      PutRecord(RecCount() + 1, v);
      Append();
    } else {
      MakeIndex(dir + "/target.ndx", v == 0 ? "NAME" : "STR(AMOUNT,10,2)+NAME", false, 1, false,
                false);
    }
    if (XbaseErrorCode != 0) return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string mode = argv[1];
  if (mode == "refs") return Refs(argv[2], argv[3]);
  if (mode == "loop") return Loop(argv[2], argv[3]);
  return 2;
}
