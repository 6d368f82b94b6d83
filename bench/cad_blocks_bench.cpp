// Screen replay of named blocks: a ring of 200 inserts of one block of 10,000 primitives drawn
// into the display list, and the definition of such a block (block file written and read).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "graphics/cad_blocks.h"
#include "graphics/display_list.h"
#include "graphics/graphics_facade.h"
#include "graphics/graphics_window.h"
#include "graphics/view_control.h"

namespace {

constexpr int kPrimitives = 10000;
constexpr int kInserts = 200;

// Peak resident memory of the process in kB (VmHWM), 0 where unknown.
double PeakRssKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6));
  }
  return 0;
}

// A tooth-like block: short lines and arcs of an outline, a few circles and texts.
void DefineToothBlock(const std::string& name) {
  CadBeginBlock(name);
  for (int i = 0; i < kPrimitives; ++i) {
    const double t = 0.001 * i;
    CadColour(i % 6);
    switch (i % 10) {
      case 8:
        CadArc(10 * std::cos(t), 10 * std::sin(t), 30, 120, 0.5);
        break;
      case 9:
        CadCircle(10 * std::cos(t), 10 * std::sin(t), 0.2);
        break;
      default:
        CadLine(10 * std::cos(t), 10 * std::sin(t), 10 * std::cos(t + 0.001),
                10 * std::sin(t + 0.001));
    }
  }
  CadEndBlock();
}

struct Screen {
  Screen() {
    ResetProgramStateForTests();
    InitGraphicsSettings();
    InitViewState();
    ProgramSettings.ScreenWidth = 1920;
    ProgramSettings.ScreenHeight = 1080;
    facade = std::make_unique<TGraphicsFacade>();
    window = std::make_unique<TGraphicsWindow>();
    window->FormCreate();
    GraphicsWindowInstance = window.get();
    PlotSettings.HideFooterLine = true;
  }
  ~Screen() {
    GraphicsWindowInstance = nullptr;
    window.reset();
    facade.reset();
  }
  std::unique_ptr<TGraphicsFacade> facade;
  std::unique_ptr<TGraphicsWindow> window;
};

void BM_ReplayRingOfInserts(benchmark::State& state) {
  Screen screen;
  CadOpen(kCadScreen);
  CadSheetFrame(-400, -400, 400, 400);
  CadBeginBlocks();
  DefineToothBlock("TOOTH");
  CadEndSection();
  const double fileBytes = static_cast<double>(std::filesystem::file_size(BlockFileName("TOOTH")));
  std::size_t records = 0, bytes = 0;
  for (auto _ : state) {
    DisplayList->Clear();
    CadBeginEntities();
    for (int i = 0; i < kInserts; ++i) {
      const double a = 360.0 * i / kInserts;
      CadInsertBlock("TOOTH", 300 * std::cos(a * M_PI / 180), 300 * std::sin(a * M_PI / 180), a, 1,
                     1);
    }
    CadEndSection();
    records = DisplayList->Count();
    bytes = DisplayList->MemoryBytes();
  }
  CadClose();
  state.counters["records"] = static_cast<double>(records);
  state.counters["list_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["block_file_kB"] = fileBytes / 1e3;
  state.counters["peak_rss_MB"] = PeakRssKb() / 1e3;
  state.counters["primitives_per_s"] = benchmark::Counter(
      static_cast<double>(kPrimitives) * kInserts, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReplayRingOfInserts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DefineBlock(benchmark::State& state) {
  Screen screen;
  CadOpen(kCadScreen);
  CadBeginBlocks();
  for (auto _ : state) {
    DefineToothBlock("TOOTH");
  }
  CadEndSection();
  CadClose();
}
BENCHMARK(BM_DefineBlock)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
