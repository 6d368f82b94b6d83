// Replay speed of the display list onto a full-HD image, and the memory a record takes.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <memory>
#include <random>

#include "common/graphics_settings.h"
#include "common/program_state.h"
#include "graphics/display_list.h"
#include "graphics/forms/graphics_window_form.h"
#include "graphics/graphics_window.h"
#include "graphics/step_animation.h"
#include "graphics/view_control.h"

namespace {

constexpr int kLines = 1000000;

// A picture of random lines in the world window 0..400 x 0..225 (about 4.8 pixels per unit).
// Drawings are made of short pieces (involute and fillet polylines, hatching, text frames):
// maxLength 4 units gives pieces of up to about 20 pixels; 400 gives lines across the screen.
void BuildPicture(TDisplayList& list, int lines, double maxLength = 4) {
  ProgramSettings.ScreenWidth = 1920;
  ProgramSettings.ScreenHeight = 1080;
  InitGraphicsSettings();
  InitViewState();
  list.Clear();
  DisplayList = &list;
  TGraphicsWindow window;
  window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 400, 225);
  window.SetColor(12);
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> x(0, 400), y(0, 225), d(-maxLength, maxLength);
  for (int i = 0; i < lines; ++i) {
    const double x1 = x(rng), y1 = y(rng);
    window.line(x1, y1, std::clamp(x1 + d(rng), 0.0, 400.0), std::clamp(y1 + d(rng), 0.0, 225.0));
  }
  DisplayList = nullptr;
}

void BM_ReplayLinesFullHd(benchmark::State& state) {
  TDisplayList list;
  BuildPicture(list, kLines, static_cast<double>(state.range(0)));
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    std::unique_ptr<TReplayCanvas> canvas(NewPainterCanvas(&painter));
    TReplay replay;
    replay.Begin(list, canvas.get(), nullptr, TPrinterPage{}, false);
    while (replay.Run() != TReplayStop::Done) {
    }
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["records"] = static_cast<double>(list.Count());
  state.counters["bytes_per_record"] =
      static_cast<double>(list.MemoryBytes()) / static_cast<double>(list.Count());
}
// Argument: the longest piece in world units (4: drawing-like pieces; 400: across the screen).
BENCHMARK(BM_ReplayLinesFullHd)->Arg(4)->Arg(400)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AppendLines(benchmark::State& state) {
  for (auto _ : state) {
    TDisplayList list;
    BuildPicture(list, kLines);
    benchmark::DoNotOptimize(list.Count());
  }
}
BENCHMARK(BM_AppendLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
