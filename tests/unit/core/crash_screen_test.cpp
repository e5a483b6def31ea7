// The crash screen: where the report's parts land for different logs and
// codes, and the polled wait that only an Enter press ends in a reset.
#include <gtest/gtest.h>

#include <deque>
#include <utility>
#include <vector>

#include "fake/fake_hw.h"
#include "kernel/core/crash_screen.h"
#include "kernel/core/keyboard.h"
#include "kernel/gfx/crash_report.h"
#include "kernel/gfx/gfx.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

constexpr u32 kLogColour = 0xCCAAAA;
constexpr u32 kSeparator = 0x552222;
constexpr u32 kBadge = 0x3A1010;
constexpr u32 kCodeColour = 0xFFB347;
constexpr u32 kWhite = 0xFFFFFF;

class CrashScreen : public ScreenCanvas {
 protected:
  void SetUp() override {
    ScreenCanvas::SetUp();
    fake_hw::reset();
    key_states[0x1C] = 0;  // Enter up unless a test holds it
  }
  // Rows (top of each 8-row text band) holding pixels of the colour.
  static std::vector<i32> text_rows(u32 colour) {
    std::vector<i32> rows;
    for (i32 y = 0; y < i32(fb_height); ++y)
      for (i32 x = 0; x < i32(fb_width); ++x)
        if (px(x, y) == colour) {
          if (rows.empty() || y >= rows.back() + 8) rows.push_back(y);
          break;
        }
    return rows;
  }
  static bool separator_at(i32 y) {
    for (i32 x = 10; x < i32(fb_width) - 10; ++x)
      if (px(x, y) != kSeparator) return false;
    return px(9, y) != kSeparator && px(fb_width - 10, y) != kSeparator;
  }
  // Top row of each log line as drawn by draw_text alone, for comparison.
  static std::vector<i32> expected_rows(std::initializer_list<std::pair<const char*, i32>> lines) {
    std::fill(backbuf, backbuf + size_t(fb_width) * fb_height, 0);
    for (auto [text, y] : lines) draw_text(18, y, text, kLogColour, 1);
    return text_rows(kLogColour);
  }
};

TEST_F(CrashScreen, ThreeLineLogRowsAndTheSeparatorBelow) {
  const std::vector<i32> expect = expected_rows({{"first", 188}, {"second", 204}, {"third", 220}});
  draw_crash_screen("GENERAL_PROTECTION_FAULT", "first\nsecond\nthird");
  EXPECT_EQ(text_rows(kLogColour), expect);
  EXPECT_TRUE(separator_at(70));
  EXPECT_TRUE(separator_at(246));
  EXPECT_FALSE(separator_at(245));
  // "Get help:" at y + 26 = 262, the two help lines at 278 and 294.
  EXPECT_EQ(text_rows(0x88AAFF).size(), 2u);
  EXPECT_GE(text_rows(0x88AAFF)[0], 278);
  EXPECT_LT(text_rows(0x88AAFF)[1], 302);
  EXPECT_TRUE(std::equal(screen.begin(), screen.end(), backbuf));  // presented
}

TEST_F(CrashScreen, EmptyLogPrintsNothingBelowTheHeading) {
  draw_crash_screen("MANUAL_CRASH", "");
  EXPECT_TRUE(text_rows(kLogColour).empty());
  EXPECT_TRUE(separator_at(198));
  // The badge of a 12-character code is 112 pixels wide from x = 10.
  EXPECT_EQ(px(121, 150), kBadge);
  EXPECT_EQ(px(122, 150), 0x000000u);
  EXPECT_GT(count(kCodeColour), 0);
}

TEST_F(CrashScreen, EmptyCodeLeavesASixteenPixelBadge) {
  draw_crash_screen("", "User invoked crash via Shift+C+R+Enter");
  EXPECT_EQ(count(kCodeColour), 0);
  EXPECT_EQ(px(10, 150), kBadge);
  EXPECT_EQ(px(25, 150), kBadge);
  EXPECT_EQ(px(26, 150), 0x000000u);
  EXPECT_EQ(px(10, 142), 0x000000u);  // rounded corner
  EXPECT_EQ(text_rows(kLogColour), std::vector<i32>{188});
}

TEST_F(CrashScreen, FooterCentredNearTheBottom) {
  use_screen(800, 600);
  draw_crash_screen("X", "y");
  // 42 characters centred on (400, 576): from x = 232, rows 572..579.
  i32 min_x = 800, max_y = 0, min_y = 600;
  for (i32 y = 540; y < 600; ++y)
    for (i32 x = 0; x < 800; ++x)
      if (px(x, y) == kWhite) {
        min_x = std::min(min_x, x);
        min_y = std::min(min_y, y);
        max_y = std::max(max_y, y);
      }
  EXPECT_GE(min_x, 232);
  EXPECT_LT(min_x, 240);
  EXPECT_GE(min_y, 572);
  EXPECT_LE(max_y, 579);
}

// The 8042 as the crash screen sees it: bytes waiting with their status,
// and the reset command.
struct Controller {
  struct Byte {
    u8 status, data;
  };
  std::deque<Byte> waiting;
  int consumed = 0, input_busy_reads = 0;
  int consumed_at_reset = -1;
  void attach() {
    fake_hw::add_port_device(
        {0x60, 0x64,
         [this](uint16_t port, int) -> uint32_t {
           if (port == 0x64) {
             if (input_busy_reads > 0 && consumed_at_reset < 0 && waiting.empty()) {
               --input_busy_reads;
               return 0x02;
             }
             return waiting.empty() ? 0 : (waiting.front().status | 0x01);
           }
           if (waiting.empty()) return 0;
           const u8 d = waiting.front().data;
           waiting.pop_front();
           ++consumed;
           return d;
         },
         [this](uint16_t port, uint32_t value, int) {
           if (port == 0x64 && value == 0xFE) consumed_at_reset = consumed;
         }});
  }
};

using CrashWait = CrashScreen;

TEST_F(CrashWait, OnlyAnEnterPressResets) {
  Controller kbc;
  // A, Enter released, left Shift, keypad prefix + Escape, then Enter.
  kbc.waiting = {{0, 0x1E}, {0, 0x9C}, {0, 0x2A}, {0, 0xE0}, {0, 0x01}, {0, 0x1C}};
  kbc.attach();
  EXPECT_THROW(crash_screen("MANUAL_CRASH", "User invoked crash via Shift+C+R+Enter"),
               fake_hw::MachineReset);
  EXPECT_EQ(kbc.consumed_at_reset, 6);
  EXPECT_FALSE(fake_hw::interrupts_enabled());
  EXPECT_EQ(fake_hw::halt_count(), 0);  // polled, never halted
}

TEST_F(CrashWait, EnterHeldByTheChordMustBeReleasedBeforeAPressCounts) {
  Controller kbc;
  kbc.waiting = {{0, 0x1C}, {0, 0x1C}, {0, 0x9C}, {0, 0x1C}};  // key repeat, release, press
  kbc.attach();
  key_states[0x1C] = 1;
  EXPECT_THROW(crash_screen("MANUAL_CRASH", ""), fake_hw::MachineReset);
  EXPECT_EQ(kbc.consumed_at_reset, 4);
}

TEST_F(CrashWait, MouseBytesThatLookLikeEnterAreIgnored) {
  Controller kbc;
  kbc.waiting = {{0x20, 0x1C}, {0x20, 0x08}, {0x20, 0x1C}, {0, 0x1C}};
  kbc.attach();
  EXPECT_THROW(crash_screen("UNHANDLED_EXCEPTION", "Unhandled CPU exception"), fake_hw::MachineReset);
  EXPECT_EQ(kbc.consumed_at_reset, 4);
}

TEST_F(CrashWait, ResetWaitsForTheInputBufferToEmpty) {
  Controller kbc;
  kbc.waiting = {{0, 0x1C}};
  kbc.input_busy_reads = 3;
  kbc.attach();
  EXPECT_THROW(crash_screen("X", ""), fake_hw::MachineReset);
  EXPECT_EQ(kbc.input_busy_reads, 0);
  EXPECT_EQ(fake_hw::writes_to(0x64).size(), 1u);
}

}  // namespace
}  // namespace tavlin::test
