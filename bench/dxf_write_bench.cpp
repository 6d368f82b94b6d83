// Writing DXF LINE entities: to memory (the writer alone) and to a file on disk (writer,
// atomic file and the file system). The peer is ezdxf writing the same lines:
//   /usr/bin/python3 bench/dxf_write_ezdxf.py 1000000
#include <benchmark/benchmark.h>

#include <filesystem>
#include <streambuf>
#include <string>

#include "graphics/cad_output_file.h"
#include "graphics/dxf_writer.h"

namespace {

// Counts what it is given and keeps nothing.
class CountingBuffer : public std::streambuf {
 public:
  std::size_t bytes = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    bytes += static_cast<std::size_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++bytes;
    return c;
  }
};

void DrawLines(CadWriter& w, long count) {
  w.SheetFrame(0, 0, 1000, 1000);
  w.BeginTables(0);
  w.BeginBlocks();
  w.EndSection();
  w.BeginEntities();
  for (long i = 0; i < count; ++i) {
    const long double x = static_cast<long double>(i % 1000);
    const long double y = static_cast<long double>(i / 1000) * 0.001L;
    w.Line(x, y, x + 0.5L, y + 1.25L);
  }
  w.EndSection();
  w.Close();
}

void BM_DxfLinesToMemory(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountingBuffer buffer;
    std::ostream out(&buffer);
    DxfWriter writer(out, {});
    DrawLines(writer, state.range(0));
    bytes = buffer.bytes;
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DxfLinesToMemory)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DxfLinesToFile(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "vuko_dxf_write_bench.dxf";
  for (auto _ : state) {
    std::string error;
    auto file = CadOutputFile::Open(CadFileFormat::Dxf, path, {}, {}, error);
    if (!file) {
      state.SkipWithError(error.c_str());
      break;
    }
    DrawLines(file->Writer(), state.range(0));
    if (!file->Close(error)) state.SkipWithError(error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_DxfLinesToFile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
