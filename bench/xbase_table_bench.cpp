// A table of 1,000,000 records: building an NDX index on its character key, reading the key of
// every record in record order and in index order, and the peer, dbfread reading the same keys
// of the same file (bench/dbf_scan_dbfread.py, run by the last benchmark):
//   build/bench/xbase_table_bench
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

constexpr int kRecords = 1000000;

// One table for all runs, made on first use in a private directory.
const std::string& Dir() {
  static std::string dir;
  if (!dir.empty()) return dir;
  char pattern[] = "/tmp/vuko-table-bench-XXXXXX";
  dir = mkdtemp(pattern);
  InitXbaseCore();
  InstallParserHooks();
  IndexInit();
  SetErrorHandling(false);
  const std::vector<TFieldSpec> fields = {{"NAME", 'C', 20, 0}, {"AMOUNT", 'N', 12, 2}};
  const std::string table = dir + "/big.dbf";
  CreateDbf(table, fields, 0x03, true);
  CloseAll();
  // Records written straight into the file: appends are not what is measured here.
  std::fstream f(table, std::ios::in | std::ios::out | std::ios::binary);
  unsigned char head[32];
  f.read(reinterpret_cast<char*>(head), 32);
  const int headerLength = head[8] | head[9] << 8;
  std::string records;
  records.reserve(33u * kRecords + 1);
  for (int i = 1; i <= kRecords; ++i) {
    char rec[40];
    std::snprintf(rec, sizeof rec, " CUSTOMER%06d      %12.2f",
                  static_cast<int>((i * 7919LL) % 300007), ((i * 104729LL) % 1000003) / 100.0);
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

void BM_IndexBuild1M(benchmark::State& state) {
  const std::string dir = Dir();
  for (auto _ : state) {
    MakeIndex(dir + "/big.ndx", "NAME", false, 1, false, false);
    if (XbaseErrorCode) state.SkipWithError(XbaseErrorMessage.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_IndexBuild1M)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every record's key read through navigation; the count must come out whole.
void Scan(benchmark::State& state, bool indexed) {
  const std::string dir = Dir();
  if (indexed) {
    MakeIndex(dir + "/big.ndx", "NAME", false, 1, false, false);
    SetIndexTo(dir + "/big.ndx", 1);
  }
  std::size_t keyBytes = 0;
  for (auto _ : state) {
    long seen = 0;
    for (GoTop(); !dEOF(); Skip(1)) {
      keyBytes += GetFieldText(1).size();
      ++seen;
    }
    if (seen != kRecords) state.SkipWithError("scan did not see every record");
  }
  benchmark::DoNotOptimize(keyBytes);
  if (indexed) CloseAllIndexes();
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_FullScan1M(benchmark::State& state) {
  Scan(state, false);
}
BENCHMARK(BM_FullScan1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_IndexOrderScan1M(benchmark::State& state) {
  Scan(state, true);
}
BENCHMARK(BM_IndexOrderScan1M)->Unit(benchmark::kMillisecond)->Iterations(3);

// The peer: dbfread iterating the same file for the same field, timed by the script itself.
void BM_DbfreadScan1M(benchmark::State& state) {
  const std::string table = Dir() + "/big.dbf";
  const std::string command =
      "/usr/bin/python3 " VUKO_SOURCE_DIR "/bench/dbf_scan_dbfread.py " + table + " 2>/dev/null";
  for (auto _ : state) {
    FILE* p = popen(command.c_str(), "r");
    double seconds = -1;
    long seen = 0;
    if (p) {
      if (std::fscanf(p, "%lf %ld", &seconds, &seen) != 2) seconds = -1;
      pclose(p);
    }
    if (seconds < 0 || seen != kRecords) {
      state.SkipWithError("dbfread (python3-dbfread) did not run");
      break;
    }
    state.SetIterationTime(seconds);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_DbfreadScan1M)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
