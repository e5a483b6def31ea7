// Framebuffer discovery from hand-made Multiboot2 information blocks.
#include <gtest/gtest.h>

#include <string>

#include "fake/fake_hw.h"
#include "unit/core/multiboot_builder.h"
#include "kernel/core/framebuffer.h"

namespace tavlin {
namespace {

class FramebufferDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    fb = fb_width = fb_height = fb_pitch_px = fb_ok = 0;
    fake_hw::reset();
    fake_hw::set_default(0x3FD, 0x20);
  }
};

TEST_F(FramebufferDiscovery, TheLastFramebufferTagBeforeTheEndWins) {
  using test::MultibootInfo;
  const struct {
    const char* what;
    std::vector<uint8_t> info;
    u32 found, address, width, height, pitch_px;
  } cases[] = {
      {"one tag", MultibootInfo().tag(1, 9).framebuffer(0xFD000000, 4096, 1024, 768).end().build(), 1, 0xFD000000,
       1024, 768, 1024},
      {"no tag", MultibootInfo().tag(4, 16).end().build(), 0},
      {"large mode clamped, pitch kept", MultibootInfo().framebuffer(0xE0000000, 2560 * 4 + 256, 2560, 1440).end().build(),
       1, 0xE0000000, 1920, 1080, 2624},
      {"later tag", MultibootInfo().framebuffer(0x1000, 3200, 800, 600).framebuffer(0x2000, 4096, 1024, 768).end().build(),
       1, 0x2000, 1024, 768, 1024},
      {"after the end tag", MultibootInfo().end().framebuffer(0x2000, 4096, 1024, 768).build(), 0},
      {"total size under the header", MultibootInfo().framebuffer(0x2000, 4096, 1024, 768).end().build(4), 0},
      {"starts above 4 GiB", MultibootInfo().framebuffer(0x1FD000000ull, 4096, 1024, 768).end().build(), 0},
      {"ends above 4 GiB", MultibootInfo().framebuffer(0xFFF00000ull, 4096, 1024, 768).end().build(), 0}};
  for (const auto& c : cases) {
    SetUp();
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

TEST_F(FramebufferDiscovery, OddSizesNeverWalkOutsideTheBlock) {
  // Under AddressSanitizer each block is its own allocation, so any read
  // past its end is reported.
  const uint32_t sizes[] = {0, 1, 7, 9, 15, 27, 0xFFFFFFF0u, 0xFFFFFFFFu};
  for (uint32_t size : sizes) {
    auto info = test::MultibootInfo().tag(3, 8).build();
    // Rewrite the tag's size field by hand: the builder pads sensibly.
    std::memcpy(&info[12], &size, 4);
    std::vector<uint8_t> exact(info.begin(), info.end());
    EXPECT_EQ(framebuffer_discover(exact.data()), 0u) << size;
  }
  // A framebuffer tag cut short by total_size is not read.
  auto cut = test::MultibootInfo().framebuffer(0x2000, 4096, 1024, 768).build();
  std::vector<uint8_t> shorter(cut.begin(), cut.begin() + 20);
  uint32_t total = 20;
  std::memcpy(&shorter[0], &total, 4);
  EXPECT_EQ(framebuffer_discover(shorter.data()), 0u);
}

}  // namespace
}  // namespace tavlin
