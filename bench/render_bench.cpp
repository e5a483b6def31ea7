// render_frame of the default desktop with four open windows, at 1024 x 768
// and 1920 x 1080, and with sixteen desktop icons as well, against one
// full-frame memcpy timed in the same run (best rounds of each). The counter
// memcpy_ratio is the frame's cost in full-frame copies. The same desktop
// through render_damaged and present_damage: a pass where nothing changed and
// one where only the pointer moved.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/fs/fs.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/gfx/damage.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/render.h"
#include "kernel/wm/window.h"
#include "ratio.h"

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

// The standard tree with files and folders added to its Desktop: more than
// the sixteen the icon table holds.
void sixteen_desktop_icons() {
  fs_init();
  const i32 desktop = ensure_desktop_dir();
  char name[] = "Item 00";
  for (i32 i = 0; i < 16; ++i) {
    name[5] = static_cast<char>('0' + i / 10);
    name[6] = static_cast<char>('0' + i % 10);
    fs_create(desktop, name, i % 3 ? kFsFile : kFsDir);
  }
  desktop_icons_sync();
}

// Best rounds of each side, so a busy machine slows both alike.
void measure_frames(benchmark::State& state, u32 w, u32 h) {
  static std::vector<u32> screen(kMaxScreenWidth * kMaxScreenHeight);
  render_frame();  // warm the buffer
  tavlin::bench::run_with_ratio(state, "memcpy_ratio", render_frame, [&] {
    std::memcpy(screen.data(), backbuf, static_cast<size_t>(w) * h * 4);
    benchmark::DoNotOptimize(screen.data());
  });
}

void BM_RenderFrameFourWindows(benchmark::State& state) {
  const u32 w = static_cast<u32>(state.range(0)), h = static_cast<u32>(state.range(1));
  desktop_with_four_windows(w, h);
  measure_frames(state, w, h);
}
BENCHMARK(BM_RenderFrameFourWindows)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// The top bar, four windows and sixteen desktop icons.
void BM_RenderFrameFourWindowsSixteenIcons(benchmark::State& state) {
  desktop_with_four_windows(1024, 768);
  sixteen_desktop_icons();
  measure_frames(state, 1024, 768);
}
BENCHMARK(BM_RenderFrameFourWindowsSixteenIcons)->Unit(benchmark::kMicrosecond);

// One main-loop frame after `change`, on a framebuffer of the host's.
template <typename Change>
void measure_damaged_passes(benchmark::State& state, Change&& change) {
  const u32 w = static_cast<u32>(state.range(0)), h = static_cast<u32>(state.range(1));
  static std::vector<u32> screen(kMaxScreenWidth * kMaxScreenHeight);
  desktop_with_four_windows(w, h);
  fb = reinterpret_cast<uptr>(screen.data());
  fb_pitch_px = w;
  render_damaged();
  present_damage();
  tavlin::bench::run_with_ratio(
      state, "memcpy_ratio",
      [&] {
        change();
        render_damaged();
        present_damage();
      },
      [&] {
        std::memcpy(screen.data(), backbuf, static_cast<size_t>(w) * h * 4);
        benchmark::DoNotOptimize(screen.data());
      });
  fb = 0;
}

void BM_DamagedPassStill(benchmark::State& state) {
  measure_damaged_passes(state, [] {});
}
BENCHMARK(BM_DamagedPassStill)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

void BM_DamagedPassPointerMoves(benchmark::State& state) {
  measure_damaged_passes(state, [] { mouse_x = mouse_x % 600 + 7; });
}
BENCHMARK(BM_DamagedPassPointerMoves)->Args({1024, 768})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
