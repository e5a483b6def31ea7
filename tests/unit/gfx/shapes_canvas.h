// A small screen over the real back buffer for drawing tests: everything past the visible area is filled with a
// sentinel so a test can prove that a drawing never wrote outside the screen.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "kernel/core/framebuffer.h"
#include "kernel/gfx/gfx.h"

namespace tavlin::test {

constexpr u32 kSentinel = 0xA5A5A5A5;
constexpr u32 kPaper = 0x00102030;  // background no shape uses

// A plain model of the screen, for expected pictures worked out by hand.
struct Picture {
  i32 w, h;
  std::vector<u32> px;
  Picture(i32 width, i32 height, u32 fill) : w(width), h(height), px(size_t(width) * height, fill) {}
  void set(long long x, long long y, u32 c) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + size_t(x)] = c;
  }
  u32 at(i32 x, i32 y) const { return px[size_t(y) * w + size_t(x)]; }
};

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override { use_canvas(64, 48); }

  void use_canvas(u32 width, u32 height) {
    std::fill(std::begin(backbuf), std::end(backbuf), kSentinel);
    fb_width = width;
    fb_height = height;
    clear(kPaper);
  }
  void clear(u32 colour) { std::fill(backbuf, backbuf + size_t(fb_width) * fb_height, colour); }
  static u32 px(i32 x, i32 y) { return backbuf[size_t(y) * fb_width + size_t(x)]; }

  // The first element past the screen that is not the sentinel, or -1.
  static long long first_write_beyond_screen() {
    const size_t end = std::size(backbuf);
    for (size_t i = size_t(fb_width) * fb_height; i < end; ++i)
      if (backbuf[i] != kSentinel) return static_cast<long long>(i);
    return -1;
  }

  // Compares the screen with a picture; reports the first difference.
  static ::testing::AssertionResult matches(const Picture& p) {
    for (i32 y = 0; y < p.h; ++y)
      for (i32 x = 0; x < p.w; ++x)
        if (px(x, y) != p.at(x, y))
          return ::testing::AssertionFailure()
                 << "pixel (" << x << ", " << y << ") is 0x" << std::hex << px(x, y) << ", expected 0x"
                 << p.at(x, y);
    return ::testing::AssertionSuccess();
  }

  static int count(u32 colour) {
    return static_cast<int>(std::count(backbuf, backbuf + size_t(fb_width) * fb_height, colour));
  }
};

// A canvas with a host framebuffer behind it, for code that presents.
class ScreenCanvas : public CanvasTest {
 protected:
  void SetUp() override { use_screen(1024, 768); }
  void use_screen(u32 width, u32 height, u32 pitch_px = 0) {
    use_canvas(width, height);
    fb_pitch_px = pitch_px ? pitch_px : width;
    screen.assign(size_t(fb_pitch_px) * height, 0xDEADBEEF);
    fb = reinterpret_cast<uptr>(screen.data());
    fb_ok = 1;
  }
  void TearDown() override { fb = 0; }
  std::vector<u32> screen;
};

}  // namespace tavlin::test
