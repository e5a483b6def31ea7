// The mouse handler fed one byte at a time, and its controller set-up.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "kernel/core/mouse.h"
#include "unit/core/screen_fixture.h"

namespace tavlin {
namespace {

using Ints = std::vector<i32>;

class Mouse : public test::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    mouse_cycle = mouse_vel_x = mouse_vel_y = mouse_buttons = 0;
    mouse_x = 512;
    mouse_y = 384;
    pending_click_event = pending_rclick_event = 0;
  }
  // A packet for a movement of (dx, dy) device counts (up positive).
  static void packet(int dx, int dy, u8 buttons = 0) {
    mouse_handle_byte(static_cast<u8>(0x08 | buttons | (dx < 0 ? 0x10 : 0) | (dy < 0 ? 0x20 : 0)));
    mouse_handle_byte(static_cast<u8>(dx & 0xFF));
    mouse_handle_byte(static_cast<u8>(dy & 0xFF));
  }
};

// Velocity v = (7 v + 10 d) / 8 with d clamped to 40, gain min(|v|, 20) + 10, step gain * d / 10 (toward zero)
// capped at 60; up on the device is up.
TEST_F(Mouse, PacketsMoveByTheAccelerationRule) {
  const std::tuple<std::vector<std::pair<int, int>>, i32, i32, i32> cases[] = {  // packets, then x, y, velocity
      {{{1, 0}}, 513, 384, 1}, {{{0, 1}}, 512, 383, 0},
      {{{200, 0}}, 572, 384, 50},  // no sign bit: 200 clamped to 40, 1200 / 10 capped
      {{{200, 0}, {-40, 0}}, 512, 384, -6}, {{{10, 0}}, 534, 384, 12}, {{{10, 0}, {10, 0}}, 564, 384, 23},
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
