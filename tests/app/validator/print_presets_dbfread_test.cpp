// The presets table the program ships (empty) and fills, read by python3-dbfread: field names,
// types, widths and every value of the stored presets.
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

}  // namespace
