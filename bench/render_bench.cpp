// render_frame of the default desktop with four open windows, at 1024 x 768
// and 1920 x 1080, against one full-frame memcpy timed in the same run. The
// counter memcpy_ratio is the frame's cost in full-frame copies.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/render.h"
#include "kernel/wm/window.h"

namespace {

using namespace tavlin;

void desktop_with_four_windows(u32 w, u32 h) {
  fb_width = w;
  fb_height = h;
  windows_init();
  dock_reset_all();
  desktop_icons_reset();
  pit_ticks = 1000;
  for (i32 kind : {3, 4, 5, 2}) open_app(kind);
  pit_ticks = 5000;  // openings and launch bounces are over
  mouse_x = static_cast<i32>(w / 2);
  mouse_y = static_cast<i32>(h / 2);
}

double seconds_per_copy(u32 w, u32 h) {
  static std::vector<u32> screen(kMaxScreenWidth * kMaxScreenHeight);
  constexpr int kReps = 50;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kReps; ++i) {
    std::memcpy(screen.data(), backbuf, static_cast<size_t>(w) * h * 4);
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kReps;
}

void BM_RenderFrameFourWindows(benchmark::State& state) {
  const u32 w = static_cast<u32>(state.range(0)), h = static_cast<u32>(state.range(1));
  desktop_with_four_windows(w, h);
  render_frame();  // warm the buffer
  const double reference = seconds_per_copy(w, h);
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    render_frame();
    benchmark::ClobberMemory();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["memcpy_ratio"] = total / static_cast<double>(state.iterations()) / reference;
}
BENCHMARK(BM_RenderFrameFourWindows)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
