// A table of 1,000,000 records: building an NDX index on its character key, reading the key of
// every record in record order and in index order, and the peer, dbfread reading the same keys
// of the same file (bench/dbf_scan_dbfread.py, run by the last benchmark):
//   build/bench/xbase_table_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "bench_tables.h"
#include "xbase/ndx_build.h"
#include "xbase/ndx_sets.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

namespace {

constexpr int kRecords = 1000000;

// One table for all runs, made on first use.
const std::string& Dir() {
  static const std::string dir = MakeBenchTable(kRecords, 300007);
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
  // The paths reach the shell as variables, so no blank or quote in them is parsed.
  setenv("VUKO_BENCH_SCRIPT", VUKO_SOURCE_DIR "/bench/dbf_scan_dbfread.py", 1);
  setenv("VUKO_BENCH_TABLE", table.c_str(), 1);
  const std::string command =
      "/usr/bin/python3 \"$VUKO_BENCH_SCRIPT\" \"$VUKO_BENCH_TABLE\" 2>/dev/null";
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
