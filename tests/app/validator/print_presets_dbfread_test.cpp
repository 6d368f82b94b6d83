// The presets table the program ships (empty) and fills, read by python3-dbfread: field names,
// types, widths and every value of the stored presets; a table with memos packed by the table
// form's Pack, its records and memos read back by dbfread.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/print_presets.h"
#include "common/program_state.h"
#include "common/scripted_dialog_host.h"
#include "validator_support.h"
#include "xbase/memo_ops.h"
#include "xbase/table_fields.h"
#include "xbase/work_areas.h"
#include "xbase/xb_dbf.h"

namespace {

// One line per field ("F name type length decimals"), then one per record with the values
// separated by "|" (logicals as True/False, numbers as Python prints them).
constexpr char kReader[] =
    "import sys, dbfread\n"
    "t = dbfread.DBF(sys.argv[1], encoding='cp850')\n"
    "for f in t.fields: print('F', f.name, f.type, f.length, f.decimal_count)\n"
    "for r in t: print('|'.join(str(v) for v in r.values()))\n";

std::vector<std::string> ReadBack(const std::string& file) {
  setenv("VUKO_READER", kReader, 1);
  const validator_support::ToolRun run =
      validator_support::Execute("PYTHONIOENCODING=utf-8 " SYSTEM_PYTHON3 " -c \"$VUKO_READER\" " +
                                 validator_support::Quote(file));
  std::vector<std::string> lines;
  std::string line;
  for (const char c : run.output) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  return lines;
}

TEST(PrintPresetsValidator, StoredPresetsAreReadByDbfread) {
  REQUIRE_VALIDATOR(validator_support::HavePythonModule("dbfread"), "python3-dbfread");
  std::string pattern = (std::filesystem::temp_directory_path() / "vuko-presets-XXXXXX").string();
  const std::string dir = mkdtemp(pattern.data());
  InitXbaseCore();
  InitXbaseMemo();
  LoadLogicalTexts();
  InitPrintPresets();
  ConfigVariables.PresetDirectory = dir;
  ProgramSettings.dbfDirectory = dir;
  std::filesystem::copy_file(VUKO_DATA_DIR "/printout.dbf", dir + "/printout.dbf");
  {
    ScriptedDialogHost host;
    host.AnswerText("A4 landscape \xC3\x84");  // typed as UTF-8, stored as DOS code page
    ASSERT_TRUE(StorePreset({"0.5", "2", "15", "-25", 1, 0, true, false}));
    host.AnswerText("plain");
    ASSERT_TRUE(StorePreset({"1,25", "1", "0", "7", 0, 1, false, true}));
  }
  DoneXbaseCore();

  const std::vector<std::string> expected = {
      "F NAME C 25 0",
      "F XSCALE N 12 4",
      "F YSCALE N 12 4",
      "F XORIGIN N 6 0",
      "F YORIGIN N 6 0",
      "F LANDSCAPE L 1 0",
      "F MONOCHROM L 1 0",
      "F VARIABLE L 1 0",
      "F BORDERLINE L 1 0",
      "A4 landscape \xC3\x84|0.5|2.0|15|-25|True|True|True|False",
      "plain|1.25|1.0|0|7|False|False|False|True",
  };
  EXPECT_EQ(ReadBack(dir + "/printout.dbf"), expected);
  // As shipped: the same fields and no preset.
  EXPECT_EQ(ReadBack(VUKO_DATA_DIR "/printout.dbf"),
            std::vector<std::string>(expected.begin(), expected.begin() + 9));
  std::filesystem::remove_all(dir);
}

// The second record marked and packed away: the others keep their order and their memos (each
// memo layout the library writes), the memo file loses the removed one's.
TEST(PrintPresetsValidator, PackedTableKeepsTheMemosOfItsRecords) {
  REQUIRE_VALIDATOR(validator_support::HavePythonModule("dbfread"), "python3-dbfread");
  // dbfread's count and deleted records, whether every memo holds its record's text, the first
  // three names and the last.
  const char* const three = "2 0 True ['r1', 'r3'] r3\n";
  struct {
    const char* layout;
    std::uint8_t version;
    const char* memoExt;
    int records, marked;  // records 2 to marked + 1 packed away
    const char* read;
  } cases[] = {{"dBASE III", 0x83, ".dbt", 3, 1, three},
               {"dBASE IV", 0x8B, ".dbt", 3, 1, three},
               {"FoxPro", 0xF5, ".fpt", 3, 1, three},
               {"a count above 255 in the header", 0x83, ".dbt", 300, 1,
                "299 0 True ['r1', 'r3', 'r4'] r300\n"},
               {"a count that falls below 256", 0x83, ".dbt", 300, 50,
                "250 0 True ['r1', 'r52', 'r53'] r300\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layout);
    std::string pattern = (std::filesystem::temp_directory_path() / "vuko-pack-XXXXXX").string();
    const std::string dir = mkdtemp(pattern.data());
    const std::string table = dir + "/notes.dbf";
    InitXbaseCore();
    InitXbaseMemo();
    LoadLogicalTexts();
    InitPrintPresets();
    ScriptedDialogHost host;
    ASSERT_TRUE(CreateDbf(table, {{"NAME", 'C', 8, 0}, {"NOTE", 'M', 10, 0}}, c.version));
    for (int r = 1; r <= c.records; ++r) {
      const std::string name = "r" + std::to_string(r);
      ClearRecord();
      SetFieldText(1, name);
      SetFieldMemo(2, AddMemo(name + " note, " + std::string(600, 'x')));  // two blocks
      Append();
    }
    CloseAll();
    const auto memoSize = [&] { return std::filesystem::file_size(dir + "/notes" + c.memoExt); };
    const auto before = memoSize();
    DbTableOpen(table);
    for (int r = 2; r <= c.marked + 1; ++r) {
      DbTableGo(r);
      ASSERT_TRUE(DbTableSetDeleted(true));
    }
    ASSERT_TRUE(DbTablePack());
    DbTableClose();
    DoneXbaseCore();
    EXPECT_TRUE(host.Messages().empty()) << host.Messages().front();
    EXPECT_LE(memoSize(), before - 1024) << "the removed memo's two blocks are gone";
    const auto files = std::distance(std::filesystem::directory_iterator(dir), {});
    EXPECT_EQ(files, 2) << "the table and its memo file, no work file left";

    setenv("VUKO_READER",
           "import sys, dbfread\n"
           "t = dbfread.DBF(sys.argv[1], encoding='cp850', load=True)\n"
           "names = [r['NAME'] for r in t]\n"
           "notes = all(r['NOTE'][:610].startswith(r['NAME'] + ' note, xxx') for r in t)\n"
           "print(t.header.numrecords, len(t.deleted), notes, names[:3], names[-1])\n",
           1);
    const validator_support::ToolRun run = validator_support::Execute(
        SYSTEM_PYTHON3 " -c \"$VUKO_READER\" " + validator_support::Quote(table));
    EXPECT_EQ(run.output, c.read);
    std::filesystem::remove_all(dir);
  }
}

}  // namespace
