// Framebuffer discovery from hand-made Multiboot2 information blocks (odd tag sizes and cut tags are in the fuzz
// target's corpus), and the boot screen: a label for each step, and the logo fitted into a small screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/framebuffer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/init/boot_screen.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin {
namespace {

// An information block: the 8-byte header, then tags padded to 8 bytes.
struct MultibootInfo {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(8);
  // A tag of `size` bytes, header included; the body fills the rest.
  MultibootInfo& tag(uint32_t type, uint32_t size, const void* body = nullptr) {
    const size_t at = bytes.size();
    bytes.resize(at + ((size + 7) & ~7u));
    std::memcpy(&bytes[at], &type, 4);
    std::memcpy(&bytes[at + 4], &size, 4);
    if (body) std::memcpy(&bytes[at + 8], body, size - 8);
    return *this;
  }
  MultibootInfo& framebuffer(uint64_t address, uint32_t pitch, uint32_t width, uint32_t height) {
    const struct {
      uint64_t address;
      uint32_t pitch, width, height;
      uint8_t depth = 32, direct_rgb = 1;
    } body{address, pitch, width, height};
    static_assert(sizeof body == 24);
    return tag(8, 32, &body);
  }
  // The block closed by an end tag, total_size filled in or forced to `total`.
  std::vector<uint8_t> end(uint32_t total = 0) {
    tag(0, 8);
    total = total ? total : static_cast<uint32_t>(bytes.size());
    std::memcpy(bytes.data(), &total, 4);
    return bytes;
  }
};

TEST(FramebufferDiscovery, TheLastFramebufferTagBeforeTheEndWins) {
  const struct {
    const char* what;
    std::vector<uint8_t> info;
    u32 found, address, width, height, pitch_px;
  } cases[] = {
      {"one tag", MultibootInfo().tag(1, 9).framebuffer(0xFD000000, 4096, 1024, 768).end(), 1, 0xFD000000, 1024, 768,
       1024},
      {"no tag", MultibootInfo().tag(4, 16).end(), 0},
      {"large mode clamped, pitch kept", MultibootInfo().framebuffer(0xE0000000, 2560 * 4 + 256, 2560, 1440).end(), 1,
       0xE0000000, 1920, 1080, 2624},
      {"later tag", MultibootInfo().framebuffer(0x1000, 3200, 800, 600).framebuffer(0x2000, 4096, 1024, 768).end(), 1,
       0x2000, 1024, 768, 1024},
      {"after the end tag", MultibootInfo().tag(0, 8).framebuffer(0x2000, 4096, 1024, 768).end(), 0},
      {"total size under the header", MultibootInfo().framebuffer(0x2000, 4096, 1024, 768).end(4), 0},
      {"starts above 4 GiB", MultibootInfo().framebuffer(0x1FD000000ull, 4096, 1024, 768).end(), 0},
      {"ends above 4 GiB", MultibootInfo().framebuffer(0xFFF00000ull, 4096, 1024, 768).end(), 0}};
  for (const auto& c : cases) {
    fb = fb_width = fb_height = fb_pitch_px = fb_ok = 0;
    fake_hw::reset();
    ASSERT_EQ(framebuffer_discover(c.info.data()), c.found) << c.what;
    if (c.found)
      EXPECT_EQ((std::vector<uptr>{fb, fb_width, fb_height, fb_pitch_px}),
                (std::vector<uptr>{c.address, c.width, c.height, c.pitch_px}))
          << c.what;
    else
      EXPECT_EQ(fb_ok, 0u) << c.what;
  }
  const auto log = fake_hw::bytes_written_to(0x3F8);  // the last case's
  EXPECT_NE(std::string(log.begin(), log.end()).find("[FB] Framebuffer above 4 GiB refused"), std::string::npos);
}

constexpr u32 kBackground = 0x1C1C1E;

using BootScreen = test::ScreenCanvas;

// The 8 rows of the label centred at H / 2 + 98.
std::vector<u32> label_band() {
  const size_t first = size_t(fb_height / 2 + 94) * fb_width;
  return std::vector<u32>(backbuf + first, backbuf + first + 8 * fb_width);
}

TEST_F(BootScreen, ALabelForEveryProgressBandAndTheLogoShrunkOnASmallScreen) {
  const std::pair<i32, const char*> cases[] = {
      {0, "Initialising hardware..."}, {19, "Initialising hardware..."}, {20, "Setting up memory..."},
      {40, "Loading drivers..."}, {60, "Starting services..."}, {80, "Almost ready..."}, {99, "Almost ready..."},
      {100, "Ready!"}, {101, "Almost ready..."}};
  for (const auto& [percent, label] : cases) {
    clear(kBackground);
    draw_text_centered(fb_width / 2, fb_height / 2 + 98, label, 0x888888, 1);
    const std::vector<u32> expect = label_band();
    draw_boot_screen(percent);
    EXPECT_EQ(label_band(), expect) << percent;
  }
  // The 144-pixel logo shrinks to fit half a small screen, the 75-pixel square at (62, 7).
  use_screen(200, 150);
  draw_boot_screen(0);
  int logo = 0;
  for (i32 y = 7; y < 7 + 75; ++y)
    for (i32 x = 62; x < 62 + 75; ++x) logo += px(x, y) != kBackground;
  EXPECT_GT(logo, 75 * 75 / 2);
  EXPECT_EQ(px(55, 44), kBackground);  // where the unshrunk logo would reach
  EXPECT_TRUE(std::equal(screen.begin(), screen.end(), backbuf));
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin
