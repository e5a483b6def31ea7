// One image viewer paint of a 512 x 512 image at 100 %, whole on its canvas,
// against one memcpy of a 1024 x 768 frame timed in the same run. The
// counter memcpy_ratio is the paint's cost in copies of the frame. Argument
// 1: an opaque image (a photograph); 0: two thirds of it translucent.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "kernel/apps/apps.h"
#include "kernel/codec/image_cache.h"
#include "kernel/core/framebuffer.h"
#include "kernel/fs/node_table.h"
#include "kernel/wm/window.h"
#include "ratio.h"
#include "unit/codec/codec_nodes.h"

namespace {

using namespace tavlin;

constexpr u32 kSide = 512;

void BM_ImageViewerPaint512At100(benchmark::State& state) {
  fb_width = 1024;
  fb_height = 768;
  codec_test::fresh_tree_and_cache();
  codec_test::PngSpec picture{kSide, kSide, PNG_COLOR_TYPE_RGBA, codec_test::image_data(kSide, kSide)};
  // Its flat squares are opaque and the rest translucent: both paths of the blend.
  if (state.range(0))
    for (size_t i = 3; i < picture.samples.size(); i += 4) picture.samples[i] = 255;
  static Window viewer;
  viewer = Window{};
  viewer.app = app::kImageViewer;
  viewer.zoom = 100;
  viewer.image_node = codec_test::blob_file("bench.png", codec_test::libpng_write(picture));
  const DecodedImage* img = image_get_decoded(viewer.image_node);
  if (!img || !img->valid) {
    state.SkipWithError("the benchmark image did not decode");
    return;
  }
  const std::vector<u32> frame(fb_width * fb_height, 0x336699);
  std::vector<u32> copy(frame.size());
  const auto paint = [] { draw_app_imageview(&viewer, 200, 60, 560, 560); };
  const auto reference = [&] {
    std::memcpy(copy.data(), frame.data(), copy.size() * 4);
    benchmark::DoNotOptimize(copy.data());
  };
  tavlin::bench::run_with_ratio(state, "memcpy_ratio", paint, reference);
}
BENCHMARK(BM_ImageViewerPaint512At100)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
