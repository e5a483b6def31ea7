// The crash screen: the report presented with its log lines cut, and the
// polled wait that only a keyboard Enter press ends in a reset.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "kernel/core/crash_screen.h"
#include "kernel/core/keyboard.h"
#include "kernel/gfx/crash_report.h"
#include "unit/core/screen_fixture.h"

namespace tavlin::test {
namespace {

using CrashScreen = ScreenTest;

TEST_F(CrashScreen, TheReportIsPresentedAndALogLineLongerThanItsBufferIsCutNotWrapped) {
  draw_crash_screen("GENERAL_PROTECTION_FAULT", "first\nsecond");
  EXPECT_TRUE(std::equal(screen.begin(), screen.end(), backbuf));
  draw_crash_screen("X", std::string(1000, 'x').c_str());
  EXPECT_EQ(px(18 + 8 * 120 + 1, 190), 0xCCAAAAu);  // drawn to the screen's edge on its row
  EXPECT_EQ(std::count(backbuf + 200 * fb_width, backbuf + 240 * fb_width, 0xCCAAAAu), 0);
}

// The 8042 as the crash screen sees it: bytes waiting with their status bits, an input buffer busy for some
// reads once they are read, and the reset command.
struct Controller {
  std::deque<std::pair<u8, u8>> waiting;
  int busy_reads = 0, consumed = 0, consumed_at_reset = -1;
  uint32_t read(uint16_t port) {
    if (port == 0x60 && !waiting.empty()) {
      const u8 byte = waiting.front().second;
      waiting.pop_front();
      ++consumed;
      return byte;
    }
    if (port != 0x64) return 0;
    if (waiting.empty()) return busy_reads-- > 0 ? 0x02 : 0;
    return waiting.front().first | 0x01;
  }
};

TEST_F(CrashScreen, OnlyAKeyboardEnterPressResets) {
  // What waits (status, byte), Enter held before, reads the input buffer stays busy, bytes read at the reset.
  const std::tuple<const char*, std::deque<std::pair<u8, u8>>, u8, int, int> cases[] = {
      {"A, Enter up, Shift, prefix + Escape, Enter", {{0, 0x1E}, {0, 0x9C}, {0, 0x2A}, {0, 0xE0}, {0, 0x01}, {0, 0x1C}},
       0, 0, 6},
      // The chord leaves Enter held: its key repeat must not reset before a release.
      {"Enter held: repeat, release, press", {{0, 0x1C}, {0, 0x1C}, {0, 0x9C}, {0, 0x1C}}, 1, 0, 4},
      {"mouse bytes that look like Enter", {{0x20, 0x1C}, {0x20, 0x08}, {0x20, 0x1C}, {0, 0x1C}}, 0, 0, 4},
      {"reset waits for the input buffer", {{0, 0x1C}}, 0, 3, 1},
  };
  for (const auto& [what, bytes, enter_held, busy_reads, consumed_at_reset] : cases) {
    fake_hw::reset();
    Controller kbc{bytes, busy_reads};
    fake_hw::add_port_device({0x60, 0x64, [&kbc](uint16_t port, int) { return kbc.read(port); },
                              [&kbc](uint16_t port, uint32_t value, int) {
                                if (port == 0x64 && value == 0xFE) kbc.consumed_at_reset = kbc.consumed;
                              }});
    key_states[0x1C] = enter_held;
    EXPECT_THROW(crash_screen("MANUAL_CRASH", ""), fake_hw::MachineReset) << what;
    EXPECT_EQ((std::vector<int>{kbc.consumed_at_reset, kbc.busy_reads < 0}), (std::vector<int>{consumed_at_reset, 1}))
        << what;
    EXPECT_EQ(fake_hw::writes_to(0x64).size(), 1u) << what;
    EXPECT_FALSE(fake_hw::interrupts_enabled());
    EXPECT_EQ(fake_hw::halt_count(), 0);  // polled, never halted
    fake_hw::reset();  // before the controller model goes
  }
  key_states[0x1C] = 0;
}

}  // namespace
}  // namespace tavlin::test
