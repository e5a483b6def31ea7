// The interrupt controllers, timer and dispatcher; keyboard and mouse bytes one at a time (their interrupts' port
// reads are exercised by the boot system test); the crash report and its wait that only an Enter press ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "unit/core/screen_fixture.h"
#include "kernel/core/crash_screen.h"
#include "kernel/core/descriptors.h"
#include "kernel/core/interrupts.h"
#include "kernel/core/keyboard.h"
#include "kernel/core/mouse.h"
#include "kernel/core/timer.h"
#include "kernel/gfx/crash_report.h"

namespace tavlin {
namespace {

constexpr u8 kRelease = 0x80;

// Every device's state as start-up leaves it, over a fresh screen and fake hardware.
class Devices : public test::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    pit_ticks = 0;
    unhandled_irq_count = 0;
    keyboard_reset();
    kbd_head = kbd_tail = 0;
    pending_f2_event = 0;
    for (auto& k : key_states) k = 0;
    crash_screen_set_painter(draw_crash_screen);
    mouse_cycle = mouse_vel_x = mouse_vel_y = mouse_buttons = 0;
    mouse_x = 512;
    mouse_y = 384;
    pending_click_event = pending_rclick_event = 0;
  }
  static std::string drain() {
    std::string out;
    u8 c;
    while (kbd_pop(&c)) out.push_back(static_cast<char>(c));
    return out;
  }
  // A mouse packet for a movement of (dx, dy) device counts (up positive).
  static void packet(int dx, int dy, u8 buttons = 0) {
    mouse_handle_byte(static_cast<u8>(0x08 | buttons | (dx < 0 ? 0x10 : 0) | (dy < 0 ? 0x20 : 0)));
    mouse_handle_byte(static_cast<u8>(dx & 0xFF));
    mouse_handle_byte(static_cast<u8>(dy & 0xFF));
  }
};
using Interrupts = Devices;
using Keyboard = Devices;
using Mouse = Devices;
using CrashScreen = Devices;

void raise(u32 vector, u32 error = 0, u32 eip = 0x101234) {
  InterruptFrame frame{.vector = vector, .error_code = error, .eip = eip};
  tavlin_interrupt_dispatch(&frame);
}

// End-of-interrupt commands sent to one controller.
size_t eoi_count(u16 port) {
  const auto writes = fake_hw::writes_to(port);
  return std::count_if(writes.begin(), writes.end(), [](const fake_hw::PortWrite& w) { return w.value == 0x20; });
}

TEST_F(Interrupts, IrqsMoveTo32And40AndTheTimerTicksAt100Hz) {
  pic_remap();
  pit_init();
  EXPECT_EQ(fake_hw::writes_to(0x21).front().value, 32u);
  EXPECT_EQ(fake_hw::writes_to(0xA1).front().value, 40u);
  const auto divisor = fake_hw::writes_to(0x40);
  EXPECT_EQ(1193182 / (divisor[0].value | divisor[1].value << 8), 100u);
  idt_install();
  for (u32 v = 0; v < 256; ++v) EXPECT_EQ(idt[v].type_attr, v < 48 ? 0x8E : 0) << v;
  fake_hw::clear_writes();
  raise(32);
  raise(32);
  EXPECT_EQ((std::pair{pit_ticks, eoi_count(0x20)}), (std::pair{2u, size_t{2}}));
}

TEST_F(Interrupts, LinesWithoutHandlersAreMaskedAndSpuriousOnesLeftAlone) {
  // Unhandled count, end-of-interrupts to the master and the slave, the slave's mask afterwards (from 0).
  const std::tuple<const char*, u32, std::vector<size_t>> cases[] = {
      {"spurious IRQ 7", 39, {0, 0, 0, 0}},
      {"spurious IRQ 15: the cascade was real", 47, {0, 1, 0, 0}},
      {"a network card's IRQ 11", 43, {1, 1, 1, 0x08}}};
  for (const auto& [what, interrupt, want] : cases) {
    SetUp();
    raise(interrupt);  // the in-service registers read 0
    const auto mask = fake_hw::writes_to(0xA1);
    const size_t slave_mask = mask.empty() ? 0 : mask.back().value;
    EXPECT_EQ((std::vector<size_t>{unhandled_irq_count, eoi_count(0x20), eoi_count(0xA0), slave_mask}), want) << what;
  }
}

TEST_F(Interrupts, ExceptionsEndInTheCrashScreenWithTheirDetails) {
  script_enter_key();
  EXPECT_THROW(raise(14, 0x2, 0x00104ABC), fake_hw::MachineReset);
  const auto log = fake_hw::bytes_written_to(0x3F8);
  EXPECT_NE(std::string(log.begin(), log.end()).find("[CPU] exception 14 error 0x00000002 at EIP 0x00104ABC"),
            std::string::npos);
}

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

using Ints = std::vector<i32>;

// Velocity v = (7 v + 10 d) / 8 with d clamped to 40, gain min(|v|, 20) + 10, step gain * d / 10 (toward zero)
// capped at 60; up on the device is up.
TEST_F(Mouse, PacketsMoveByTheAccelerationRule) {
  const std::tuple<std::vector<std::pair<int, int>>, i32, i32, i32> cases[] = {  // packets, then x, y, velocity
      // 200 has no sign bit: clamped to 40, and the step of 1200 / 10 capped.
      {{{1, 0}}, 513, 384, 1}, {{{0, 1}}, 512, 383, 0}, {{{200, 0}}, 572, 384, 50}, {{{10, 0}}, 534, 384, 12},
      {{{200, 0}, {-40, 0}}, 512, 384, -6}, {{{10, 0}, {10, 0}}, 564, 384, 23},
      {{{10, 0}, {10, 0}, {-1, 0}}, 562, 384, 18}};
  for (const auto& [packets, x, y, vel_x] : cases) {
    SetUp();
    for (auto [dx, dy] : packets) packet(dx, dy);
    EXPECT_EQ((Ints{mouse_x, mouse_y, mouse_vel_x}), (Ints{x, y, vel_x})) << packets.size() << " packets";
  }
}

TEST_F(Mouse, ThePointerStaysOnScreenALostByteResynchronisesAndOnlyAPressIsAClick) {
  for (int i = 0; i < 50; ++i) packet(-40, 40);
  EXPECT_EQ((Ints{mouse_x, mouse_y}), (Ints{0, 0}));
  for (int i = 0; i < 50; ++i) packet(40, -40);
  EXPECT_EQ((Ints{mouse_x, mouse_y}), (Ints{1023, 767}));
  SetUp();
  mouse_handle_byte(0x05);  // bit 3 clear: not a flags byte, dropped
  mouse_handle_byte(0x02);
  EXPECT_EQ(mouse_cycle, 0);
  packet(0, 0, kMouseLeft | kMouseRight);  // only a press is a click, of either button
  EXPECT_EQ((Ints{mouse_buttons, pending_click_event, pending_rclick_event, click_event_x, rclick_event_y}),
            (Ints{kMouseLeft | kMouseRight, 1, 1, 512, 384}));
  pending_click_event = pending_rclick_event = 0;
  packet(5, 0, kMouseLeft);  // dragging
  packet(0, 0, 0);           // letting go
  EXPECT_EQ((Ints{mouse_buttons, pending_click_event, pending_rclick_event}), (Ints{0, 0, 0}));
}

// The interrupt's acknowledgements are exercised by the boot system test's pointer moves.
TEST_F(Mouse, SetUpMasksIrq12MeanwhileAndAnInterruptWithNothingWaitingReadsNothing) {
  fake_hw::set_default(0x64, 0x01);  // output full, input empty
  fake_hw::script_reads(0x60, {0x61, 0xFA, 0xFA});
  mouse_init();
  EXPECT_EQ(fake_hw::writes().front(), (fake_hw::PortWrite{0xA1, 0x10, 1}));
  EXPECT_EQ(fake_hw::writes().back(), (fake_hw::PortWrite{0xA1, 0x00, 1}));
  EXPECT_EQ(fake_hw::writes_to(0x60).front().value, 0x43u);  // 0x61 with IRQ 12 on and the aux clock running
  SetUp();
  fake_hw::set_default(0x60, 0xFA);  // a stale acknowledge byte, with the status saying nothing waits
  isr_mouse();
  EXPECT_EQ(mouse_cycle, 0);
}

}  // namespace
}  // namespace tavlin
