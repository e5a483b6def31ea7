// The Clock window: the time read from a fake CMOS clock with the time-zone offset;
// the About window's uptime.

#include <map>

#include "fake/fake_hw.h"
#include "kernel/apps/apps.h"
#include "kernel/apps/clock.h"
#include "kernel/core/timer.h"
#include "unit/apps/app_screen.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

// CMOS registers behind the index and data ports.
struct FakeCmos {
  std::map<uint8_t, uint8_t> regs;
  uint8_t index = 0;
  void install() {
    fake_hw::add_port_device({0x70, 0x71, [this](uint16_t port, int) { return port == 0x71 ? regs[index] : 0u; },
                              [this](uint16_t port, uint32_t v, int) {
                                if (port == 0x70) index = static_cast<uint8_t>(v);
                              }});
  }
};

class Clock : public CanvasTest {
 protected:
  FakeCmos cmos;
  void SetUp() override {
    fake_hw::reset();
    cmos.install();
  }
  void TearDown() override { timezone_offset_hours = 0; }
};

TEST_F(Clock, ClockWindowShowsTheOffsetTimeAndAboutTheUptime) {
  use_canvas(460, 300);
  clear(0xECECEC);
  cmos.regs = {{0x04, 0x03}, {0x02, 0x40}, {0x00, 0x30}, {0x0B, 0x02}};  // 03:40:30 in BCD, 24-hour
  timezone_offset_hours = -3;
  draw_app_clock(0, 0, 300, 300);
  EXPECT_TRUE(text_drawn_at(150 - 32, 130 + 110 + 16, "00:40:30", 0x1C1C1C));
  EXPECT_TRUE(text_drawn_at(150 - 20, 300 - 28, "UTC-3", 0x1C1C1C));
  EXPECT_EQ(first_write_beyond_screen(), -1);
  pit_ticks = 3725 * 100 + 99;
  draw_app_about(0, 0);
  EXPECT_TRUE(text_drawn_at(20, 200, "Uptime: 1h 2m 5s", 0x555555));
}

}  // namespace
}  // namespace tavlin::test
