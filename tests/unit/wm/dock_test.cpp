// The dock: layout and hit testing, the dynamic records, the icon centres
// animations aim at, and the launch bounce and running dot it draws.
#include "kernel/wm/dock.h"

#include "kernel/wm/launch.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Dock = WmTest;

constexpr i32 H = 768;

TEST_F(Dock, AnUnpinnedRecordTakesNoSlotAndTheTrashAnswersBesideTheTiles) {
  EXPECT_EQ((Ints{dock_hit_test(712, H - 38), i32(trash_hit_test(706, H - 83)), i32(trash_hit_test(705, H - 50))}),
            (Ints{-1, 1, 0}));  // the last tile ends at 711, the trash begins at 706
  dock_items[2].pinned = 0;  // Clock no longer shown
  const DockLayout l = dock_layout();
  EXPECT_EQ((Ints{l.slots, l.left, dock_hit_test(dock_slot_x(l, 2) + 10, H - 38)}), (Ints{6, 251, 3}));
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
  // Ticks since the launch, whether the window was clicked, the tile's lift.
  const Ints hops[] = {{0, 0, 0}, {17, 0, 16}, {35, 0, 22}, {70, 0, 0}, {87, 1, 0}, {367, 0, 0}};
  for (const Ints& h : hops) {
    pit_ticks = windows[0].launch_tick + u32(h[0]);
    windows[0].launched = u32(h[1]);
    draw();
    EXPECT_EQ(px(443, H - 20 - h[2]), 0x1C1C1Eu) << h[0];
    if (h[2]) EXPECT_NE(px(443, H - 20), 0x1C1C1Eu) << h[0];
  }
  EXPECT_EQ(px(466, H - 10), 0x555555u);
}

}  // namespace
}  // namespace tavlin::test
