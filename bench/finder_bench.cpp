// render_frame at 1024 x 768 with a Finder showing sixteen entries (folders,
// text files and image thumbnails taken from the image cache on every pass)
// against one full-frame memcpy. The argument is how many of the sixteen are
// images: up to four stay in the cache, more are decoded again every pass.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "kernel/codec/image_cache.h"
#include "kernel/core/framebuffer.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/fs/fs.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/desktop_icons.h"
#include "kernel/wm/dock.h"
#include "kernel/wm/launch.h"
#include "kernel/wm/render.h"
#include "kernel/wm/window.h"
#include "ratio.h"

namespace tavlin {
namespace {

constexpr i32 kEntries = 16;

// A folder of sixteen entries, images first, alternating the two sample
// images, then folders and text files.
i32 folder_of_sixteen(i32 images) {
  const i32 dir = fs_create(fs_root, "Bench", kFsDir);
  for (i32 i = 0; i < kEntries; ++i) {
    const std::string name = "entry" + std::to_string(i);
    const bool image = i < images, folder = !image && i % 2 == 0;
    const i32 node = fs_create(dir, name.c_str(), folder ? kFsDir : kFsFile);
    if (image) {
      const SampleFile f = i % 2 ? sample_png() : sample_yrf();
      fs_set_image_content(node, f.data, f.size);
    } else if (!folder) {
      fs_set_content(node, "notes");
    }
  }
  return dir;
}

void FinderSixteenEntries(benchmark::State& state) {
  fb_width = 1024;
  fb_height = 768;
  windows_init();
  fs_init();
  dock_reset_all();
  desktop_icons_reset();
  image_cache_init();
  pit_ticks = 1000;
  open_app(static_cast<i32>(app::kFinder));
  Window& finder = windows[focused_window];
  finder.w = 560;  // four columns by four rows
  finder.h = 400;
  finder.finder_dir = folder_of_sixteen(static_cast<i32>(state.range(0)));
  pit_ticks = 5000;  // the opening is over
  mouse_x = 900;
  mouse_y = 700;
  static std::vector<u32> screen(1024 * 768);
  bench::run_with_ratio(state, "x_memcpy", [] { render_frame(); },
                        [] { std::memcpy(screen.data(), backbuf, screen.size() * 4); });
}
BENCHMARK(FinderSixteenEntries)->Arg(4)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavlin
