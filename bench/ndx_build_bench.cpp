// Building an NDX index over a table of 100000 records: a character key with many repeats and
// a numeric key, sorted in memory-bounded runs and merged through the work file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "xbase/ndx_build.h"
#include "xbase/ndx_sets.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

namespace {

constexpr int kRecords = 100000;

// One table for all runs, made on first use in a private directory.
const std::string& Table() {
  static std::string dir;
  if (!dir.empty()) return dir;
  char pattern[] = "/tmp/vuko-ndx-bench-XXXXXX";
  dir = mkdtemp(pattern);
  InitXbaseCore();
  InstallParserHooks();
  IndexInit();
  SetErrorHandling(false);
  const std::vector<TFieldSpec> fields = {{"NAME", 'C', 20, 0}, {"AMOUNT", 'N', 12, 2}};
  const std::string table = dir + "/big.dbf";
  CreateDbf(table, fields, 0x03, true);
  CloseAll();
  // Records written straight into the file: the benchmark measures the index, not appends.
  std::fstream f(table, std::ios::in | std::ios::out | std::ios::binary);
  unsigned char head[32];
  f.read(reinterpret_cast<char*>(head), 32);
  const int headerLength = head[8] | head[9] << 8;
  std::string records;
  for (int i = 1; i <= kRecords; ++i) {
    char rec[40];
    std::snprintf(rec, sizeof rec, " CUSTOMER%06d      %12.2f", (i * 7919) % 30011,
                  ((i * 104729LL) % 1000003) / 100.0);
    records.append(rec, 33);
  }
  records += '\x1A';
  f.seekp(headerLength);
  f.write(records.data(), static_cast<std::streamsize>(records.size()));
  const unsigned char count[4] = {kRecords & 0xFF, (kRecords >> 8) & 0xFF, (kRecords >> 16) & 0xFF,
                                  0};
  f.seekp(4);
  f.write(reinterpret_cast<const char*>(count), 4);
  f.close();
  UseDbf(table, true);
  std::atexit([] { std::filesystem::remove_all(dir); });
  return dir;
}

void BuildIndex(benchmark::State& state, const char* expression) {
  const std::string dir = Table();
  for (auto _ : state) {
    MakeIndex(dir + "/big.ndx", expression, false, 1, false, false);
    if (XbaseErrorCode) state.SkipWithError(XbaseErrorMessage.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_NdxBuildCharacterKey(benchmark::State& state) {
  BuildIndex(state, "NAME");
}
void BM_NdxBuildNumericKey(benchmark::State& state) {
  BuildIndex(state, "AMOUNT");
}

BENCHMARK(BM_NdxBuildCharacterKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NdxBuildNumericKey)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
