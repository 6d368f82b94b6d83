// Building an NDX index over a table of 100000 records: a character key with many repeats and
// a numeric key, sorted in memory-bounded runs and merged through the work file.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_tables.h"
#include "xbase/ndx_build.h"
#include "xbase/ndx_sets.h"
#include "xbase/work_areas.h"
#include "xbase/xbase_errors.h"
#include "xbase/xbase_expr_compiler.h"

namespace {

constexpr int kRecords = 100000;

// One table for all runs, made on first use.
const std::string& Table() {
  static const std::string dir = MakeBenchTable(kRecords, 30011);
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
