// Framebuffer discovery from hand-made Multiboot2 information blocks (odd tag sizes and cut tags are in the fuzz
// target's corpus), and the boot screen: a label for each step, and the logo fitted into a small screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/framebuffer.h"
#include "kernel/gfx/gfx.h"
#include "kernel/init/boot_screen.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin {
namespace {

using Words = std::vector<uint32_t>;

// A framebuffer tag: address, pitch, width and height, 32 bits a pixel in direct RGB.
Words fb_tag(uint64_t address, uint32_t pitch, uint32_t width, uint32_t height) {
  return {8, 32, uint32_t(address), uint32_t(address >> 32), pitch, width, height, 32 | 1 << 8};
}

// An information block: its total size in bytes (or `total`), a reserved word, the tags, an end tag.
Words info(const std::vector<Words>& tags, uint32_t total = 0) {
  Words block = {0, 0};
  for (const Words& tag : tags) block.insert(block.end(), tag.begin(), tag.end());
  block.insert(block.end(), {0, 8});
  block[0] = total ? total : static_cast<uint32_t>(block.size() * 4);
  return block;
}

TEST(FramebufferDiscovery, TheLastFramebufferTagBeforeTheEndWins) {
  // What is found: address, width, height and pitch in pixels; empty when refused.
  const std::tuple<const char*, Words, std::vector<uptr>> cases[] = {
      {"one tag", info({{1, 9, 0, 0}, fb_tag(0xFD000000, 4096, 1024, 768)}), {0xFD000000, 1024, 768, 1024}},
      {"no tag", info({{4, 16, 0, 0}}), {}},
      {"large mode clamped, pitch kept", info({fb_tag(0xE0000000, 2560 * 4 + 256, 2560, 1440)}),
       {0xE0000000, 1920, 1080, 2624}},
      {"later tag", info({fb_tag(0x1000, 3200, 800, 600), fb_tag(0x2000, 4096, 1024, 768)}), {0x2000, 1024, 768, 1024}},
      {"after the end tag", info({{0, 8}, fb_tag(0x2000, 4096, 1024, 768)}), {}},
      {"total size under the header", info({fb_tag(0x2000, 4096, 1024, 768)}, 4), {}},
      {"starts above 4 GiB", info({fb_tag(0x1FD000000ull, 4096, 1024, 768)}), {}},
      {"ends above 4 GiB", info({fb_tag(0xFFF00000ull, 4096, 1024, 768)}), {}}};
  for (const auto& [what, block, want] : cases) {
    fb = fb_width = fb_height = fb_pitch_px = fb_ok = 0;
    fake_hw::reset();
    ASSERT_EQ(framebuffer_discover(block.data()), want.empty() ? 0u : 1u) << what;
    if (!want.empty())
      EXPECT_EQ((std::vector<uptr>{fb, fb_width, fb_height, fb_pitch_px}), want) << what;
    else
      EXPECT_EQ(fb_ok, 0u) << what;
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

TEST_F(BootScreen, ALabelForEveryProgressBandAndNothingPastASmallScreen) {
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
  // On a small screen the logo shrinks: the picture is presented whole, and nothing lands past the screen.
  use_screen(200, 150);
  draw_boot_screen(0);
  EXPECT_TRUE(std::equal(screen.begin(), screen.end(), backbuf));
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin
