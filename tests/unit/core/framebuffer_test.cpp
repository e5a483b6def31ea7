// Framebuffer discovery from hand-made Multiboot2 information blocks (odd
// tag sizes and cut tags are in the fuzz target's corpus).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/framebuffer.h"

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

}  // namespace
}  // namespace tavlin
