// The wallpaper's gradient capsules across a 1920 x 1080 screen, against one
// plain full-screen fill timed in the same run. The counter fill_ratio is
// the wallpaper's cost in full-screen fills.
#include <benchmark/benchmark.h>

#include <chrono>

#include "kernel/core/framebuffer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/wallpaper.h"

namespace {

using namespace tavlin;

double seconds_per_fill() {
  constexpr int kReps = 50;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kReps; ++i) {
    fill_rect(0, 0, 1920, 1080, 0x123456u + i);
    benchmark::DoNotOptimize(backbuf[i]);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kReps;
}

void BM_PlainFullScreenFill(benchmark::State& state) {
  fb_width = 1920;
  fb_height = 1080;
  for (auto _ : state) {
    fill_rect(0, 0, 1920, 1080, 0x123456);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PlainFullScreenFill)->Unit(benchmark::kMicrosecond);

void BM_WallpaperPills1920(benchmark::State& state) {
  fb_width = 1920;
  fb_height = 1080;
  const double reference = seconds_per_fill();
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    paint_wallpaper();
    benchmark::ClobberMemory();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["fill_ratio"] = total / static_cast<double>(state.iterations()) / reference;
}
BENCHMARK(BM_WallpaperPills1920)->Unit(benchmark::kMicrosecond);

}  // namespace
