// The dock: layout and hit testing, the dynamic records, the icon centres
// animations aim at, and what the dock draws (bounce, running dots,
// separator, trash fill, tooltip and the Empty Bin popup).
#include "kernel/wm/dock.h"

#include <gtest/gtest.h>

#include <set>

#include "kernel/wm/launch.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Dock = WmTest;

constexpr i32 H = 768;

TEST_F(Dock, SevenBuiltInTilesLayoutAndHitBoxes) {
  const DockLayout l = dock_layout();
  EXPECT_EQ((Ints{l.slots, l.width, l.left, dock_slot_x(l, 0)}), (Ints{7, 591, 216, 228}));
  i32 x, y, w, h;
  dock_trash_rect(&x, &y, &w, &h);
  EXPECT_EQ((Ints{x, y, w, h}), (Ints{714, H - 71, 56, 56}));
  // Slot s answers from x = 220 + 70 s to 291 + 70 s, rows H - 78 to H - 3;
  // where two boxes share a column the lower slot wins.
  const i32 tiles[][3] = {{219, H - 38, -1}, {220, H - 38, 0},  {291, H - 38, 0},  {292, H - 38, 1},
                          {711, H - 3, 6},   {712, H - 38, -1}, {300, H - 79, -1}, {300, H - 2, -1}};
  for (const auto& t : tiles) EXPECT_EQ(dock_hit_test(t[0], t[1]), t[2]) << t[0] << "," << t[1];
  const i32 trash[][3] = {{706, H - 83, 1}, {777, H - 8, 1}, {705, H - 50, 0}, {778, H - 50, 0}, {740, H - 7, 0}};
  for (const auto& t : trash) EXPECT_EQ(trash_hit_test(t[0], t[1]), u32(t[2])) << t[0] << "," << t[1];
}

TEST_F(Dock, EmptyRecordsTakeNoSlot) {
  dock_items[2].pinned = 0;  // Clock no longer shown
  const DockLayout l = dock_layout();
  EXPECT_EQ((Ints{l.slots, l.left}), (Ints{6, 251}));
  EXPECT_EQ(dock_hit_test(dock_slot_x(l, 2) + 10, H - 38), 3);  // Term moved into slot 2
  i32 x, y;
  dock_icon_center_for_app(3, &x, &y);
  EXPECT_EQ(x, 251 + 2 * 70 + 40);
  dock_icon_center_for_app(2, &x, &y);  // no visible Clock record
  EXPECT_EQ((Ints{x, y}), (Ints{512, H - 38}));
}

TEST_F(Dock, DynamicRecordsAppendAfterThePinnedOnes) {
  dock_add_dynamic_item(9, -1, "Tavlin Media Player");
  EXPECT_EQ(dock_dynamic_count, 1);
  const DockItem& d = dock_items[16];
  EXPECT_EQ((Ints{d.app, d.pinned, d.is_file}), (Ints{9, 0, 0}));
  EXPECT_STREQ(d.label, "Tavlin Media Player");
  EXPECT_EQ(dock_hit_test(dock_slot_x(dock_layout(), 7) + 5, H - 38), 16);
  dock_add_dynamic_item(9, -1, "again");   // already there
  dock_add_dynamic_item(4, -1, "Finder");  // pinned already
  EXPECT_EQ(dock_dynamic_count, 1);
  dock_add_dynamic_item(6, 12, "a very long name for a dock label");
  EXPECT_EQ(dock_items[17].is_file, 1);
  EXPECT_STREQ(dock_items[17].label, "a very long name for a ");  // 23 characters
  dock_add_dynamic_item(7, -1, nullptr);
  EXPECT_STREQ(dock_items[18].label, "App");
}

TEST_F(Dock, SeventeenthDynamicRecordIsRefused) {
  for (i32 i = 0; i < 16; ++i) dock_add_dynamic_item(6, 20 + i, "img");
  dock_add_dynamic_item(9, -1, "one too many");
  EXPECT_EQ(dock_dynamic_count, 16);
  for (const DockItem& d : dock_items) EXPECT_NE(d.app, 9);
  // All 23 tiles are laid out and the last one is hit-testable.
  const DockLayout l = dock_layout();
  EXPECT_EQ(l.slots, 23);
  EXPECT_EQ(dock_hit_test(dock_slot_x(l, 22) + 5, H - 38), 31);
}

TEST_F(Dock, RemovingADynamicRecordClosesTheGapAndStartUpEmptiesThem) {
  dock_add_dynamic_item(9, -1, "a");
  dock_add_dynamic_item(6, 5, "b");
  dock_add_dynamic_item(5, 6, "c");
  dock_remove_dynamic_item(6, 5);
  EXPECT_EQ(dock_dynamic_count, 2);
  EXPECT_STREQ(dock_items[16].label, "a");
  EXPECT_STREQ(dock_items[17].label, "c");
  EXPECT_EQ((Ints{dock_items[18].app, dock_items[18].fs_idx}), (Ints{0, -1}));
  dock_remove_dynamic_item(6, 5);   // gone already
  dock_remove_dynamic_item(4, -1);  // pinned records are not touched here
  EXPECT_EQ(dock_dynamic_count, 2);
  EXPECT_EQ(dock_items[0].app, 4);
  dock_items[7] = {5, 0xF5C842, "notes.txt", 1, 9, 1};
  dock_reset_dynamic();
  EXPECT_EQ((Ints{dock_dynamic_count, dock_items[16].app, dock_items[7].app}), (Ints{0, 0, 5}));
}

TEST_F(Dock, PinnedTileSurvivesCloseDynamicTileDoesNot) {
  open_app(4);  // Finder: pinned, no dynamic record
  EXPECT_EQ(dock_dynamic_count, 0);
  open_app(9);  // Media player: not pinned, named by its title
  EXPECT_EQ(dock_dynamic_count, 1);
  EXPECT_EQ((Ints{dock_items[16].app, dock_items[16].fs_idx}), (Ints{9, -1}));
  EXPECT_STREQ(dock_items[16].label, "Tavlin Media Player");
  close_window(&windows[0]);
  close_window(&windows[1]);
  EXPECT_EQ((Ints{dock_items[0].app, dock_items[0].pinned}), (Ints{4, 1}));
  EXPECT_EQ((Ints{dock_dynamic_count, dock_items[16].app}), (Ints{0, 0}));
}

// The dock drawn alone over the sky.
class DockPixels : public WmTest {
 protected:
  void draw() {
    clear(kSky);
    draw_dock();
  }
};

TEST_F(DockPixels, RunningDotUnderTheTileOfAnOpenWindow) {
  // Terminal tile in slot 3 at x = 438; its dot is centred on x = 466, y = H - 10.
  draw();
  const u32 idle = px(466, H - 10);
  Window& w = make_window(app::kTerminal, 100, 100, 560, 380);
  draw();
  EXPECT_EQ((std::vector<u32>{px(466, H - 10), px(463, H - 10), px(469, H - 10)}),
            (std::vector<u32>{0x555555, 0x555555, idle}));
  w.minimized = 1;
  draw();
  EXPECT_EQ((std::vector<u32>{px(466, H - 10), px(463, H - 10)}), (std::vector<u32>{0x999999, 0xFFFFFF}));
}

TEST_F(DockPixels, FreshLaunchBouncesUntilClicked) {
  // The Terminal tile's lower half is its plain colour at rest, at x = 443.
  auto tile_bottom_at = [&](i32 lift) {
    draw();
    return px(443, H - 20 - lift) == 0x1C1C1Eu && (lift == 0 || px(443, H - 20) != 0x1C1C1Eu);
  };
  EXPECT_TRUE(tile_bottom_at(0));
  open_app(3);
  Window& w = windows[0];
  advance(17);  // t = 17: p = 48, lift = (100 - 52 * 52 / 100) * 22 / 100 = 16
  EXPECT_TRUE(tile_bottom_at(16));
  advance(18);  // t = 35: at the top of the hop
  EXPECT_TRUE(tile_bottom_at(22));
  advance(35);  // t = 0 of the second hop: at rest
  EXPECT_TRUE(tile_bottom_at(0));
  advance(17);
  w.launched = 1;  // clicked: the bounce stops at once
  EXPECT_TRUE(tile_bottom_at(0));
  w.launched = 0;
  pit_ticks = w.launch_tick + 350 + 17;  // bounces end after 3.5 s
  EXPECT_TRUE(tile_bottom_at(0));
}

TEST_F(DockPixels, HoveredTileGrowsByTenPixels) {
  // The Finder tile is 56 wide at 228; hovered, 66 wide from 223.
  draw();
  const u32 finder = px(228, H - 30);
  EXPECT_NE(px(224, H - 30), finder);
  dock_hover = 0;
  draw();
  EXPECT_EQ((std::vector<bool>{px(224, H - 30) == finder, px(288, H - 30) == finder, px(289, H - 30) == finder}),
            (std::vector<bool>{true, true, false}));
}

TEST_F(DockPixels, SeparatorOnlyWithDynamicRecords) {
  // With 8 slots the dock is 661 wide at 181; the separator pair is at
  // 181 + 7 * 70 + 4 = 675 and 676.
  dock_add_dynamic_item(9, -1, "Tavlin Media Player");
  draw();
  const u32 glass = px(674, H - 40);
  EXPECT_EQ(px(675, H - 40), blend_colour(0x000000, glass, 40));
  EXPECT_EQ(px(676, H - 40), blend_colour(0xFFFFFF, glass, 60));
  dock_remove_dynamic_item(9, -1);
  draw();
  // Back to 7 slots at 216: the gap after the last pinned tile is at 710.
  EXPECT_EQ(px(710, H - 40), px(709, H - 40));
  EXPECT_EQ(px(711, H - 40), px(709, H - 40));
}

TEST_F(DockPixels, TrashFillsInTenthsAndIsFullFromTen) {
  // The can body runs 39 rows (56 * 22 / 100 = 12 to 56 * 92 / 100 = 51);
  // the top two lie under the white rim line, so a full can shows 37.
  const std::pair<u32, size_t> cases[] = {{0, 0}, {1, 3}, {5, 19}, {9, 35}, {10, 37}, {64, 37}};
  for (auto [count, rows] : cases) {
    trash_count = count;
    draw();
    std::set<i32> filled;
    for (i32 y = H - 71; y < H - 15; ++y)
      for (i32 x = 714; x < 770; ++x)
        if (px(x, y) == 0xB8B8BCu) filled.insert(y);
    EXPECT_EQ(filled.size(), rows) << count;
  }
}

TEST_F(DockPixels, TooltipAfterTwoAndAHalfSecondsFollowsThePointer) {
  dock_hover = 0;  // "Finder": 64 x 18
  mouse_x = 256;
  mouse_y = H - 38;
  dock_hover_start_tick = pit_ticks - 249;
  clear(kSky);
  draw_dock_tooltip();
  EXPECT_EQ(count(0x2C2C2E), 0);
  dock_hover_start_tick = pit_ticks - 250;
  draw_dock_tooltip();
  EXPECT_EQ(px(224 + 10, H - 70 + 2), 0x2C2C2Eu);  // x = 256 - 32, y = H - 38 - 32
  EXPECT_EQ(px(224 + 63, H - 70 + 9), 0x2C2C2Eu);
  clear(kSky);
  mouse_x = 1020;  // kept 2 pixels inside the right edge
  draw_dock_tooltip();
  EXPECT_EQ(px(1021, H - 70 + 9), 0x2C2C2Eu);
  EXPECT_NE(px(1022, H - 70 + 9), 0x2C2C2Eu);
  clear(kSky);
  mouse_y = 10;  // never above y = 2
  draw_dock_tooltip();
  EXPECT_EQ(px(1018, 2 + 9), 0x2C2C2Eu);
  EXPECT_EQ(px(1018, 1), kSky);
}

TEST_F(DockPixels, EmptyBinPopupStaysOnScreen) {
  trash_confirm_active = 1;
  trash_confirm_x = 1020;
  trash_confirm_y = 700;
  draw();
  // px = 930 would pass W - 4, so 840; py = 600.
  EXPECT_EQ(px(840, 600 + 45), 0xC7C7C7u);
  EXPECT_EQ(px(840 + 90, 600 + 45), 0xF7F7F7u);
  trash_confirm_x = 10;
  trash_confirm_y = 50;
  draw();
  EXPECT_EQ(px(4, 32 + 45), 0xC7C7C7u);  // left edge at 4, top at 32
  EXPECT_EQ(px(4 + 90, 32 + 45), 0xF7F7F7u);
}

}  // namespace
}  // namespace tavlin::test
