// The keyboard handler fed one scancode at a time (its interrupt, reading the port and acknowledging, is exercised
// by the boot system test's typing), and the crash screen: the report with its log lines cut, and the polled wait
// that only a keyboard Enter press ends in a reset.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "unit/core/screen_fixture.h"
#include "kernel/core/crash_screen.h"
#include "kernel/core/keyboard.h"
#include "kernel/gfx/crash_report.h"

namespace tavlin {
namespace {

constexpr u8 kRelease = 0x80;

using CrashScreen = test::ScreenTest;

class Keyboard : public test::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    keyboard_reset();
    kbd_head = kbd_tail = 0;
    pending_f2_event = 0;
    for (auto& k : key_states) k = 0;
    crash_screen_set_painter(draw_crash_screen);  // as start-up does
  }
  static std::string drain() {
    std::string out;
    u8 c;
    while (kbd_pop(&c)) out.push_back(static_cast<char>(c));
    return out;
  }
};

// Each key pressed and released, in order.
std::vector<u8> taps(const std::vector<u8>& keys) {
  std::vector<u8> out;
  for (u8 k : keys) out.insert(out.end(), {k, static_cast<u8>(k | kRelease)});
  return out;
}

TEST_F(Keyboard, ScancodesTypeTheUsLayout) {
  const std::tuple<std::vector<u8>, std::string, int> cases[] = {  // scancodes, what they type, Shift after
      {taps({0x1E, 0x30, 0x02, 0x0C, 0x39, 0x35, 0x29, 0x2B, 0x37}), "ab1- /`\\*", 0},
      {taps({0x1C, 0x0E, 0x0F, 0x01}), "\n\b\t\x1b", 0},
      // Both shifts down; releasing either one (right: B6) ends the shift.
      {{0x2A, 0x36, 0x1E, 0x9E, 0x02, 0x82, 0x28, 0xA8, 0xB6, 0x1E, 0x9E}, "A!\"a", 0},
      {{0x2A, 0x2E, 0x13}, "CR", 1},               // Shift, C and R alone are letters
      {{0x2A, 0x2E, 0x13, 0x93, 0x1C}, "CR\n", 1},  // R let go: Enter no longer completes the chord
      {taps({0x3C, 0x48, 0x50}), "", 0}};          // F2 and the cursor keys type nothing
  for (const auto& [codes, typed, shift_after] : cases) {
    SetUp();
    for (u8 code : codes) keyboard_handle_scancode(code);
    EXPECT_EQ(drain(), typed);
    EXPECT_EQ(key_shift, shift_after) << typed;
  }
  EXPECT_EQ(pending_f2_event, 1);
}

TEST_F(Keyboard, ExtendedKeysKeepTheirStateAndThe64thCharacterIsDropped) {
  keyboard_handle_scancode(scancode::kExtendedPrefix);
  keyboard_handle_scancode(0x48);  // cursor up
  EXPECT_EQ(key_states[0x48], 1);
  keyboard_handle_scancode(scancode::kExtendedPrefix);
  keyboard_handle_scancode(0x48 | kRelease);
  EXPECT_EQ(key_states[0x48], 0);
  for (u8 code : taps(std::vector<u8>(64, 0x1E))) keyboard_handle_scancode(code);
  EXPECT_EQ(drain(), std::string(63, 'a'));
  for (u8 code : taps({0x30})) keyboard_handle_scancode(code);
  EXPECT_EQ(drain(), "b");  // room again once read
}

TEST_F(Keyboard, TheChordCrashesInAnyOrder) {
  const u8 keys[4] = {0x2A, 0x2E, 0x13, 0x1C};
  const int orders[][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 3, 0, 2}, {2, 0, 3, 1}};
  for (const auto& order : orders) {
    SetUp();
    for (int i = 0; i < 3; ++i) keyboard_handle_scancode(keys[order[i]]);
    const std::string before = drain();
    script_enter_key();
    EXPECT_THROW(keyboard_handle_scancode(keys[order[3]]), fake_hw::MachineReset);
    EXPECT_EQ(screen[0], 0x000000u);  // the report was presented
    // Enter pressed before the chord completed still typed its line feed.
    EXPECT_EQ(before.find('\n') != std::string::npos, order[3] != 3);
  }
}

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
}  // namespace tavlin
