// Damage tracking: after every main-loop pass of a seeded run of interface
// actions, the framebuffer (recomposed and presented only where damaged)
// holds exactly what a whole redraw of the same state paints.
#include <random>
#include <vector>

#include "kernel/fs/fs.h"
#include "kernel/init/kmain.h"
#include "kernel/wm/launch.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

constexpr u32 kPitch = 1040;  // framebuffer rows longer than the screen's

class Damage : public DispatchTest {
 protected:
  void SetUp() override {
    DispatchTest::SetUp();
    fs_init();
    desktop_icons_sync();
    screen.assign(size_t(kPitch) * fb_height, 0xDEADBEEF);
    fb = reinterpret_cast<uptr>(screen.data());
    fb_pitch_px = kPitch;
    fb_ok = 1;
  }
  void TearDown() override { fb = 0; }
  std::vector<u32> screen;

  // Pixels where the framebuffer differs from a whole redraw, which is made
  // in the back buffer and then undone.
  int differences_from_redraw() {
    const std::vector<u32> kept(backbuf, backbuf + size_t(fb_width) * fb_height);
    compose_frame();
    int differ = 0;
    for (u32 y = 0; y < fb_height; ++y)
      for (u32 x = 0; x < fb_width; ++x) differ += screen[y * kPitch + x] != backbuf[y * fb_width + x];
    std::copy(kept.begin(), kept.end(), backbuf);
    return differ;
  }

  static Window* some_window() {
    Window* last = nullptr;
    for (Window& w : windows)
      if (w.in_use && !w.minimized && !win_is_closing(w)) last = &w;
    return last;
  }

  // Returns how many passes to watch one tick apart: all of a closing or
  // minimising animation, down to its smallest frames.
  int random_action(std::mt19937& rng) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<u32>(n)); };
    const i32 x = pick(1024), y = pick(768);
    switch (pick(13)) {
      case 0: move_to(x, y); break;
      case 1: click(x, y); break;
      case 2: press_pass(x, y), move_pass(pick(1024), pick(768)), release(); break;
      case 3: type(std::string(1, "ab1 \n\x08"[pick(6)])); break;
      case 4: advance(1 + pick(40)); break;
      case 5: open_app(std::vector<i32>{app::kClock, app::kTerminal, app::kFinder, app::kTextEdit}[pick(4)]); break;
      case 6: open_file_in_app(fs_resolve_path(pick(2) ? "/Desktop/DoruViza.zeva" : "/Desktop/Tavlin.yrf")); break;
      case 7: close_window(some_window()); return 18;
      case 8: right_press(x, y), pass(), release(); break;
      case 9: if (Window* w = some_window()) pick(2) ? win_toggle_maximize(*w) : win_minimize(*w); return 24;
      case 10:  // a title bar dragged
        if (Window* w = win_focused()) press_pass(w->x + 90, w->y + 12), move_pass(x, y), release();
        break;
      case 11: render_frame(), fill_rect(x, y, 90, 60, 0xFF00FF), present(); break;  // as a program draws
      default: click(dock_slot_centre(pick(7)), kDockRow); break;
    }
    return 1;
  }
};

TEST_F(Damage, EveryPassShowsWhatAWholeRedrawPaints) {
  for (u32 seed : {3u, 7u}) {
    std::mt19937 rng(seed);
    for (int step = 0; step < 40; ++step) {
      for (int passes = random_action(rng); passes > 0; --passes) {
        main_loop_pass();
        ASSERT_EQ(differences_from_redraw(), 0) << "seed " << seed << ", step " << step;
        advance(1);
      }
    }
  }
}

}  // namespace
}  // namespace tavlin::test
