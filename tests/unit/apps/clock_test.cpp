// The wall-clock reading from a fake CMOS clock (BCD and binary, 12- and
// 24-hour, the time-zone offset), the bar's clock text and the Clock and About windows.

#include <map>

#include "fake/fake_hw.h"
#include "kernel/apps/apps.h"
#include "kernel/apps/clock.h"
#include "kernel/core/timer.h"
#include "unit/apps/app_screen.h"
#include "unit/gfx/shapes_canvas.h"

namespace tavlin::test {
namespace {

// CMOS registers behind the index and data ports; status A reports an
// update in progress for the first `busy_reads` reads.
struct FakeCmos {
  std::map<uint8_t, uint8_t> regs;
  uint8_t index = 0;
  int busy_reads = 0;
  void install() {
    fake_hw::add_port_device({0x70, 0x71,
                              [this](uint16_t port, int) -> uint32_t {
                                if (port == 0x71 && index == 0x0A && busy_reads > 0) return --busy_reads, 0x80;
                                return port == 0x71 ? regs[index] : 0;
                              },
                              [this](uint16_t port, uint32_t v, int) {
                                if (port == 0x70) index = static_cast<uint8_t>(v);
                              }});
  }
  void set(uint8_t hour, uint8_t minute, uint8_t second, uint8_t status_b) {
    regs = {{0x04, hour}, {0x02, minute}, {0x00, second}, {0x0B, status_b}};
  }
};

constexpr uint8_t kBcd24 = 0x02, kBcd12 = 0x00, kBinary24 = 0x06;

class Clock : public CanvasTest {
 protected:
  FakeCmos cmos;
  void SetUp() override {
    fake_hw::reset();
    cmos.install();
  }
  void TearDown() override { timezone_offset_hours = 0; }
};

TEST_F(Clock, ReadsTheHardwareClockInEveryModeWithTheOffset) {
  // Hour, minute, second, status B, the offset, update-in-progress reads, and the seconds read.
  const std::vector<i32> cases[] = {
      {0x23, 0x30, 0x00, kBcd24, 2, 0, 5400},  {0x00, 0x15, 0x00, kBcd24, -1, 5, 83700},  // the second while updating
      {0x92, 0x00, 0x00, kBcd12, 0, 0, 43200}, {0x12, 0x00, 0x00, kBcd12, 0, 0, 0},      // 12 PM, 12 AM
      {0x81, 0x59, 0x07, kBcd12, 0, 0, 50347}, {17, 45, 30, kBinary24, 0, 0, 63930},
      {0xFF, 0xFF, 0xFF, 0xFF, 0, 1 << 30, 54915}};  // stuck and garbled: still a time
  for (const std::vector<i32>& c : cases) {
    cmos.set(u8(c[0]), u8(c[1]), u8(c[2]), u8(c[3]));
    cmos.busy_reads = c[5];
    timezone_offset_hours = c[4];
    EXPECT_EQ(i32(get_current_time_seconds()), c[6]) << std::hex << c[0];
  }
  char text[8];
  format_clock_text(9 * 3600 + 5 * 60 + 59, text);
  EXPECT_STREQ(text, "09.05");
}

TEST_F(Clock, ClockWindowShowsTheOffsetTimeAndAboutTheUptime) {
  use_canvas(460, 300);
  clear(0xECECEC);
  cmos.set(0x03, 0x40, 0x30, kBcd24);
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
