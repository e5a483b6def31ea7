// The dock: layout and hit testing, the dynamic records, the icon centres
// animations aim at, and the launch bounce and running dot it draws.
#include "kernel/wm/dock.h"

#include <gtest/gtest.h>

#include "kernel/wm/launch.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Dock = WmTest;

constexpr i32 H = 768;

TEST_F(Dock, TileAndTrashHitBoxesAndEmptyRecordsTakeNoSlot) {
  // Slot s answers from x = 220 + 70 s to 291 + 70 s, rows H - 78 to H - 3;
  // where two boxes share a column the lower slot wins.
  const i32 tiles[][3] = {{219, H - 38, -1}, {220, H - 38, 0},  {291, H - 38, 0},  {292, H - 38, 1},
                          {711, H - 3, 6},   {712, H - 38, -1}, {300, H - 79, -1}, {300, H - 2, -1}};
  for (const auto& t : tiles) EXPECT_EQ(dock_hit_test(t[0], t[1]), t[2]) << t[0] << "," << t[1];
  const i32 trash[][3] = {{706, H - 83, 1}, {777, H - 8, 1}, {705, H - 50, 0}, {778, H - 50, 0}, {740, H - 7, 0}};
  for (const auto& t : trash) EXPECT_EQ(trash_hit_test(t[0], t[1]), u32(t[2])) << t[0] << "," << t[1];
  dock_items[2].pinned = 0;  // Clock no longer shown
  const DockLayout l = dock_layout();
  EXPECT_EQ((Ints{l.slots, l.left}), (Ints{6, 251}));
  EXPECT_EQ(dock_hit_test(dock_slot_x(l, 2) + 10, H - 38), 3);  // Term moved into slot 2
  i32 x, y;
  dock_icon_center_for_app(2, &x, &y);  // no visible Clock record: the dock's middle
  EXPECT_EQ((Ints{x, y}), (Ints{512, H - 38}));
}

TEST_F(Dock, DynamicRecordsAppendOnceCloseTheirGapAndStopAtSixteen) {
  dock_add_dynamic_item(9, -1, "a");
  dock_add_dynamic_item(9, -1, "again");   // already there
  dock_add_dynamic_item(4, -1, "Finder");  // pinned already
  dock_add_dynamic_item(6, 5, "a very long name for a dock label");
  dock_add_dynamic_item(7, -1, nullptr);
  EXPECT_EQ(dock_dynamic_count, 3);
  EXPECT_EQ(dock_hit_test(dock_slot_x(dock_layout(), 7) + 5, H - 38), 16);
  EXPECT_STREQ(dock_items[17].label, "a very long name for a ");  // 23 characters
  EXPECT_STREQ(dock_items[18].label, "App");
  dock_remove_dynamic_item(6, 5);
  dock_remove_dynamic_item(4, -1);  // pinned records are not touched here
  EXPECT_EQ((Ints{dock_dynamic_count, dock_items[17].app, dock_items[18].app, dock_items[0].app}), (Ints{2, 7, 0, 4}));
  for (i32 i = 0; i < 16; ++i) dock_add_dynamic_item(6, 20 + i, "img");
  EXPECT_EQ(dock_dynamic_count, 16);
  EXPECT_EQ(dock_hit_test(dock_slot_x(dock_layout(), 22) + 5, H - 38), 31);  // all 23 tiles answer
  dock_items[7] = {5, 0xF5C842, "notes.txt", 1, 9, 1};  // a pinned file stays
  dock_reset_dynamic();
  EXPECT_EQ((Ints{dock_dynamic_count, dock_items[16].app, dock_items[7].app}), (Ints{0, 0, 5}));
}

// The dock drawn alone over the sky.
class DockPixels : public WmTest {
 protected:
  void draw() {
    clear(kSky);
    draw_dock();
  }
};

TEST_F(DockPixels, RunningDotAndTheLaunchBounceUntilClickedOrThreeAndAHalfSeconds) {
  open_app(3);  // the Terminal tile in slot 3: its dot at x = 466, its lower half plain at x = 443
  const struct {
    u32 t, launched;
    i32 lift;
  } hops[] = {{0, 0, 0}, {17, 0, 16}, {35, 0, 22}, {70, 0, 0}, {87, 1, 0}, {367, 0, 0}};
  for (const auto& h : hops) {
    pit_ticks = windows[0].launch_tick + h.t;
    windows[0].launched = h.launched;
    draw();
    EXPECT_EQ(px(443, H - 20 - h.lift), 0x1C1C1Eu) << h.t;
    if (h.lift) EXPECT_NE(px(443, H - 20), 0x1C1C1Eu) << h.t;
  }
  EXPECT_EQ(px(466, H - 10), 0x555555u);
}

}  // namespace
}  // namespace tavlin::test
