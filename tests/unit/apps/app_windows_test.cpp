// What the small application windows paint: the image viewer's picture at 800 % cut to its canvas and its
// note for a file that is no image, the Trash window's records, the hardware clock in its modes, and the time in
// the Clock and About windows.
#include <map>

#include "fake/fake_hw.h"
#include "kernel/apps/apps.h"
#include "kernel/apps/clock.h"
#include "kernel/apps/trash_window.h"
#include "unit/apps/app_screen.h"
#include "unit/codec/codec_nodes.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using namespace codec_test;

// The content area of a 420 x 340 viewer at (40, 30).
constexpr i32 kX = 41, kY = 60, kW = 418, kH = 309;
constexpr i32 kCanvasTop = kY + 22;

class ImageViewer : public CanvasTest {
 protected:
  void SetUp() override {
    use_canvas(640, 480);
    fresh_tree_and_cache();
    std::memset(&win, 0, sizeof win);
    win.app = app::kImageViewer;
    win.image_node = -1;
    win.zoom = 100;
  }

  // A PNG of the given 0xAARRGGBB pixels, as a file the viewer shows.
  void show(u32 w, u32 h, const std::vector<u32>& argb) {
    PngSpec picture{w, h, PNG_COLOR_TYPE_RGBA, {}};
    for (u32 p : argb) picture.samples.insert(picture.samples.end(), {u8(p >> 16), u8(p >> 8), u8(p), u8(p >> 24)});
    win.image_node = blob_file("picture.png", libpng_write(picture));
  }

  void paint() { draw_app_imageview(&win, kX, kY, kW, kH); }

  Window win;
};

TEST_F(ImageViewer, EightHundredPercentShowsTheCentreCutToTheCanvas) {
  std::vector<u32> argb(512 * 512);
  for (u32 i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000 | (i % 512) << 16 | (i / 512) << 8 | (i * 7 & 255);
  show(512, 512, argb);
  win.zoom = 800;
  paint();
  const i32 dx = kX + (kW - 4096) / 2, dy = kCanvasTop + (kH - 22 - 4096) / 2;
  for (i32 y = kCanvasTop; y < kY + kH; ++y)
    for (i32 x = kX; x < kX + kW; ++x)
      ASSERT_EQ(px(x, y), argb[size_t((y - dy) / 8) * 512 + size_t((x - dx) / 8)] & 0xFFFFFF) << x << "," << y;
  // Nothing beyond the content area: the paper around it is untouched.
  EXPECT_EQ(count(kPaper), 640 * 480 - kW * kH);
}

TEST_F(ImageViewer, AFileThatIsNoImageShowsANote) {
  win.image_node = blob_file("fake.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  paint();
  EXPECT_TRUE(text_drawn_at(kX + kW / 2 - 80, kCanvasTop + (kH - 22) / 2 - 4, "Cannot preview image", 0xAAAAAA));
}

using TrashWindow = WmTest;

TEST_F(TrashWindow, ContentForNoneOneTwoAndSixtyFourRecords) {
  // Content (303, 230, 418, 289): four columns from x = 315, three rows from y = 266.
  // Records, the count shown, and the index of the last record drawn (-1 for none).
  const std::tuple<u32, const char*, i32> cases[] = {
      {0, "0 items", -1}, {1, "1 item", 0}, {2, "2 items", 1}, {64, "64 items", 11}};
  for (const auto& [records, shown, last_tile] : cases) {
    SCOPED_TRACE(shown);
    trash_count = 0;
    trash_add_item("Old", kFsDir, "", 0, 0, -1);
    for (u32 i = 1; i < records; ++i) trash_add_item(("f" + std::to_string(i)).c_str(), kFsFile, "x", 1, 0, -1);
    trash_count = records;
    clear(kPaper);
    draw_app_trash(303, 230, 418, 289);
    EXPECT_TRUE(text_drawn_at(311, 236, shown, 0x555555));
    EXPECT_EQ(bool(text_drawn_at(456, 382, "Trash is Empty", 0x999999)), records == 0);
    auto drawn = [](i32 i) { return px(315 + 90 * (i % 4), 286 + 78 * (i / 4)) == 0x888888; };
    EXPECT_EQ((Ints{drawn(last_tile), drawn(last_tile + 1)}), (Ints{last_tile >= 0, 0}));
  }
}

// CMOS registers behind the index and data ports; status A reports an update in progress for `busy_reads` reads.
class ClockWindow : public CanvasTest {
 protected:
  std::map<u8, u8> cmos;
  u8 index = 0;
  i32 busy_reads = 0;
  void SetUp() override {
    fake_hw::reset();
    fake_hw::add_port_device({0x70, 0x71, [this](uint16_t port, int) { return port == 0x71 ? read() : 0u; },
                              [this](uint16_t port, uint32_t v, int) { index = port == 0x70 ? u8(v) : index; }});
  }
  u32 read() { return index == 0x0A ? (busy_reads-- > 0 ? 0x80u : 0u) : cmos[index]; }
  void set(u8 hour, u8 minute, u8 second, u8 status_b) {
    cmos = {{0x04, hour}, {0x02, minute}, {0x00, second}, {0x0B, status_b}};
  }
  void TearDown() override {
    timezone_offset_hours = 0;
    fake_hw::reset();
  }
};

TEST_F(ClockWindow, ReadsTheHardwareClockInEveryModeWithTheOffset) {
  constexpr u8 kBcd24 = 0x02, kBcd12 = 0x00, kBinary24 = 0x06;
  // Hour, minute, second, status B, the offset, update-in-progress reads; the seconds of the day read.
  const std::vector<i32> cases[] = {
      {0x23, 0x30, 0x00, kBcd24, 2, 0, 5400},  {0x00, 0x15, 0x00, kBcd24, -1, 5, 83700},  // the second while updating
      {0x92, 0x00, 0x00, kBcd12, 0, 0, 43200}, {0x12, 0x00, 0x00, kBcd12, 0, 0, 0},      // 12 PM, 12 AM
      {0x81, 0x59, 0x07, kBcd12, 0, 0, 50347}, {17, 45, 30, kBinary24, 0, 0, 63930},
      {0xFF, 0xFF, 0xFF, 0xFF, 0, 1 << 30, 54915}};  // stuck and garbled: still a time
  for (const std::vector<i32>& c : cases) {
    set(u8(c[0]), u8(c[1]), u8(c[2]), u8(c[3]));
    busy_reads = c[5];
    timezone_offset_hours = c[4];
    EXPECT_EQ(i32(get_current_time_seconds()), c[6]) << std::hex << c[0];
  }
}

TEST_F(ClockWindow, ShowsTheOffsetTimeAndAboutTheUptime) {
  set(0x03, 0x40, 0x30, 0x02);  // 03:40:30 in BCD, 24-hour
  use_canvas(460, 300);
  clear(0xECECEC);
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
