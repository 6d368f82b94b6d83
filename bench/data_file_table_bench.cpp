// The table of data files over a folder of 2,000 joints, one in a hundred of them damaged: every
// file is read and calculated and becomes a row, as File, Open (Table) fills its window.
//   build/bench/data_file_table_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/data_file_table.h"
#include "app/startup.h"
#include "common/program_state.h"

namespace {

constexpr int kFiles = 2000;

namespace fs = std::filesystem;

std::string ReadExample(const std::string& name) {
  std::ifstream in(std::string(VUKO_SOURCE_DIR) + "/data/" + name, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// One folder for all runs: the shipped examples in turn, every hundredth file cut short.
const std::string& Folder() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/vuko-table-bench-XXXXXX";
    const std::string made = mkdtemp(pattern);
    const std::string examples[] = {
        ReadExample("example_balls.vuk"), ReadExample("example_span.vuk"),
        ReadExample("example_thickness.vuk"), ReadExample("example_x.vuk")};
    for (int i = 0; i < kFiles; ++i) {
      const std::string& bytes = examples[i % 4];
      std::ofstream out(made + "/joint" + std::to_string(10000 + i) + ".vuk", std::ios::binary);
      out << (i % 100 == 7 ? bytes.substr(0, bytes.size() / 3) : bytes);
    }
    return made;
  }();
  return dir;
}

void BM_ScanDataFiles2000(benchmark::State& state) {
  InitModules();
  SetProgramIdentity();
  MessagesEnabled = false;  // the closing message of the damaged files is not measured
  const std::string dir = Folder();
  std::size_t rows = 0;
  for (auto _ : state) {
    const TTextGrid grid = ScanDataFiles(dir);
    rows = grid.size() - 1;
    if (rows != kFiles) state.SkipWithError("a file is missing from the table");
  }
  benchmark::DoNotOptimize(rows);
  state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ScanDataFiles2000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(Folder());
  return 0;
}
