// present() and a full-screen fill at 1920x1080 against memcpy and memset
// of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "kernel/gfx/gfx.h"
#include "ratio.h"

namespace tavlin {
namespace {

std::vector<u32>& screen_1080p() {
  static std::vector<u32> screen(1920 * 1080);
  fb = reinterpret_cast<uptr>(screen.data());
  fb_width = fb_pitch_px = 1920;
  fb_height = 1080;
  return screen;
}

void Present1080p(benchmark::State& state) {
  auto& screen = screen_1080p();
  const size_t bytes = screen.size() * 4;
  bench::run_with_ratio(state, "x_memcpy", [] { present(); },
                        [&] { std::memcpy(screen.data(), backbuf, bytes); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(Present1080p)->Unit(benchmark::kMicrosecond);

void FillRect1080p(benchmark::State& state) {
  auto& screen = screen_1080p();
  const size_t bytes = screen.size() * 4;
  bench::run_with_ratio(state, "x_memset", [] { fill_rect(0, 0, 1920, 1080, 0x3A6EA5); },
                        [&] { std::memset(backbuf, 0x3A, bytes); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(FillRect1080p)->Unit(benchmark::kMicrosecond);

void FillRectAlpha1080p(benchmark::State& state) {
  auto& screen = screen_1080p();
  const size_t bytes = screen.size() * 4;
  bench::run_with_ratio(state, "x_memcpy", [] { fill_rect_alpha(0, 0, 1920, 1080, 0xFFFFFF, 90); },
                        [&] { std::memcpy(screen.data(), backbuf, bytes); });
}
BENCHMARK(FillRectAlpha1080p)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavlin

