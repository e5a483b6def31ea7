// Presses in a Store window (header buttons, the card grid's scrollbar and
// its thumb, a card's Download button) and in the upload dialog, which
// takes every left press while it is open.
#include <gtest/gtest.h>

#include <string>

#include "kernel/apps/apps.h"
#include "kernel/apps/store_layout.h"
#include "kernel/apps/upload_dialog.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

// A 600 x 420 Store window at (100, 100): content from (101, 130), 598 x
// 389; "RE" at x 109..144 and "UP" at 655..690, rows 134..155; the grid
// from y = 160, 339 high; cards 182 wide from x = 111, 303 and 495, card
// rows of 184 pixels; the scrollbar's track at x 691, from y = 164, 331 long.
class StoreClicks : public DispatchTest {
 protected:
  void SetUp() override {
    DispatchTest::SetUp();
    nic_detach();  // no card and no address: a download fails at once
    net_config_clear();
    std::memset(state, 0, sizeof *state);
    vuzedezoz_idir_used[0] = 1;
    state->selected = -1;
    win = &make_window(app::kStore, 100, 100, 600, 420);
    win->store = state;
  }

  void list(int files) {
    state->file_count = static_cast<u32>(files);
    for (int i = 0; i < files; ++i) std::snprintf(state->file_names[i], 64, "f%d.txt", i);
  }

  StoreState* state = &vuzedezoz_idir[0];
  Window* win = nullptr;
};

TEST_F(StoreClicks, HeaderButtonsRefreshAndOpenAnEmptyUploadDialog) {
  win->store = nullptr;  // a window without its state ignores presses
  tap(109, 140);
  EXPECT_EQ(state->refresh_pending, 0u);
  win->store = state;
  tap(108, 140);  // left of "RE"
  tap(109, 156);  // below it
  EXPECT_EQ(state->refresh_pending, 0u);
  tap(109, 140);  // "RE"
  EXPECT_EQ(state->refresh_pending, 1u);
  EXPECT_STREQ(state->status, "Refreshing...");
  std::strcpy(upload_dialog.name, "left over");
  tap(690, 155);  // "UP"
  EXPECT_EQ((std::vector<u32>{upload_dialog.active, upload_dialog.popin_active, upload_dialog.picker_open,
                              upload_dialog.focused_field}),
            (std::vector<u32>{1, 1, 0, 0}));
  EXPECT_EQ(upload_dialog.popin_start_tick, pit_ticks - 2);
  EXPECT_EQ(upload_dialog.popin_scale, 0);
  EXPECT_STREQ(upload_dialog.name, "");
  EXPECT_STREQ(upload_dialog.message, "Fill in the details");
}

TEST_F(StoreClicks, TrackPressJumpsAndTheThumbDrags) {
  list(12);  // 4 rows: 736 pixels of cards in a 339-pixel view
  // Thumb 156 pixels long, 175 free; 397 pixels of scroll.
  tap(695, 464);
  EXPECT_EQ(state->list_scroll, 397);
  tap(695, 200);
  EXPECT_EQ(state->list_scroll, 0);
  press_pass(695, 174);  // on the thumb, 10 pixels below its top
  EXPECT_EQ((Ints{i32(state->dragging), state->drag_offset}), (Ints{1, 10}));
  move_pass(695, 224);
  EXPECT_EQ(state->list_scroll, 50 * 397 / 175);
  move_pass(695, 760);
  EXPECT_EQ(state->list_scroll, 397);
  release_pass();
  EXPECT_EQ(state->dragging, 0u);
  move_pass(695, 200);
  EXPECT_EQ(state->list_scroll, 397);
}

TEST_F(StoreClicks, DownloadButtonReportsItsOutcome) {
  list(2);
  // Card 0's button spans x 121 to 272, rows 312 to 335.
  std::strcpy(state->status, "Ready");
  tap(121, 311);  // just above the button
  tap(120, 320);  // left of it, on the card
  tap(273, 320);  // right of it
  tap(293, 320);  // the gap between cards
  tap(510, 320);  // a third card's place, but there are two files
  EXPECT_STREQ(state->status, "Ready");
  tap(313, 335);  // card 1's button; there is no network in the test
  EXPECT_STREQ(state->status, "Download failed");
}

TEST_F(StoreClicks, WhatIsDrawnIsWhatAnswers) {
  list(7);
  state->list_scroll = 120;  // the first row partly above the grid, the third below it
  const i32 x = win->x + 1, y = win->y + 30, w = win->w - 2, h = win->h - 31;
  clear(0x123456);
  draw_app_zivirerev(state, x, y, w, h);
  const StoreLayout l = store_layout(*state, x, y, w, h);
  int blue = 0;
  for (i32 py = 0; py < 768; ++py) {
    for (i32 px_ = 0; px_ < 1024; ++px_) {
      const u32 c = px(px_, py);
      if (!l.content.contains(px_, py)) {
        ASSERT_EQ(c, 0x123456u) << px_ << "," << py;  // nothing spills out of the window
        continue;
      }
      const i32 hit = store_download_button_at(l, *state, px_, py);
      if (c == 0x4A90E2) ++blue;
      ASSERT_EQ(c == 0x4A90E2, hit >= 0 && c != 0xFFFFFF) << px_ << "," << py;
    }
  }
  EXPECT_GT(blue, 6 * 100);  // the six buttons of the first two rows
  tap(l.upload_button.x, l.upload_button.y);
  EXPECT_EQ(upload_dialog.active, 1u);
  EXPECT_EQ(px(l.upload_button.x + 2, l.upload_button.y + 2), 0x4CAF50u);
}

TEST(StoreCards, PicturesArePreviewedByTheirExtension) {
  for (const char* name : {"a.png", "B.JPG", "c.jpeg", "d.bmp", "e.yrf", "x.tar.Png", "f.pngx"})
    EXPECT_TRUE(store_name_is_image(name)) << name;
  for (const char* name : {"png", "a.txt", "a.pn", "a.", "a.hit"}) EXPECT_FALSE(store_name_is_image(name)) << name;
}

// The dialog at full size on a 1024 x 768 screen: form box (282, 244,
// 460, 280), picker box (262, 209, 500, 350).
class UploadDialogClicks : public DispatchTest {
 protected:
  void SetUp() override {
    DispatchTest::SetUp();
    upload_dialog_open();
    upload_dialog.popin_active = 0;
    upload_dialog.popin_scale = 100;
    upload_dialog.close_button = {714, 250, 20, 20};
    upload_dialog.browse_button = {352, 376, 70, 22};
  }
};

TEST_F(UploadDialogClicks, FieldsTakeTheFocusAndTheButtonsAnswer) {
  const Tap focus[] = {{352, 324, 1}, {732, 300, 1}, {731, 317, 0}};  // right of the fields: no change
  for (const Tap& t : focus) {
    click(t.x, t.y);
    EXPECT_EQ(upload_dialog.focused_field, u32(t.after)) << t.x << "," << t.y;
  }
  click(700, 500);  // "Upload"
  EXPECT_STREQ(upload_dialog.message, "Please select a file and enter a name");
  EXPECT_EQ(upload_dialog.active, 1u);
  nic_detach();  // no network: the upload cannot complete
  net_config_clear();
  fs_create(fs_root, "readme.txt", kFsFile);
  std::strcpy(upload_dialog.file_path, "/readme.txt");
  std::strcpy(upload_dialog.name, "readme.txt");
  click(700, 500);
  EXPECT_STREQ(upload_dialog.message, "Upload failed!");
  EXPECT_EQ(upload_dialog.active, 1u);
  click(381, 484);  // "Cancel"
  EXPECT_EQ(upload_dialog.active, 0u);
  upload_dialog.active = 1;
  click(733, 269);  // the close box
  EXPECT_EQ(upload_dialog.active, 0u);
}

TEST_F(UploadDialogClicks, PickerEntersFoldersAndSelectsAFile) {
  const i32 docs = fs_create(fs_root, "Documents", kFsDir);
  fs_create(fs_root, "readme.txt", kFsFile);
  click(360, 380);  // "Browse"
  ASSERT_EQ(upload_dialog.picker_open, 1u);
  EXPECT_STREQ(upload_dialog.picker_path, "/");
  // Rows from y = 269, 18 pixels each: Desktop, Documents, readme.txt.
  click(400, 310);
  EXPECT_EQ(upload_dialog.picker_sel, fs_find_child(fs_root, "readme.txt"));
  click(700, 540);  // "Select"
  EXPECT_EQ(upload_dialog.picker_open, 0u);
  EXPECT_STREQ(upload_dialog.file_path, "/readme.txt");

  click(360, 380);
  click(400, 290);
  EXPECT_STREQ(upload_dialog.picker_path, "/Documents");
  EXPECT_EQ(upload_dialog.picker_sel, -1);
  click(400, 275);  // an empty folder has no rows
  EXPECT_EQ(upload_dialog.picker_sel, -1);
  click(700, 540);  // nothing selected: the picker stays
  EXPECT_EQ(upload_dialog.picker_open, 1u);
  click(300, 540);  // "Cancel"
  EXPECT_EQ(upload_dialog.picker_open, 0u);
  EXPECT_STREQ(upload_dialog.file_path, "/readme.txt");
  EXPECT_TRUE(fs_is_live_dir(docs));
}

TEST_F(UploadDialogClicks, ButtonsStillAnswerBelowALongFolderList) {
  for (int i = 0; i < 20; ++i) fs_create(fs_root, ("file" + std::to_string(i)).c_str(), kFsFile);
  click(360, 380);
  click(400, 290);  // row 1: file0
  ASSERT_GE(upload_dialog.picker_sel, 0);
  click(700, 540);
  EXPECT_EQ(upload_dialog.picker_open, 0u);
  EXPECT_STREQ(upload_dialog.file_path, "/file0");
}

TEST_F(UploadDialogClicks, TheDialogSwallowsLeftPressesAndARightPressWaits) {
  Window& w = make_window(app::kAbout, 100, 100, 300, 200);
  make_window(app::kClock, 600, 100, 300, 200);
  right_press(150, 150);
  press_pass(150, 150);
  EXPECT_NE(focused_window, win_index(w));
  EXPECT_EQ((Ints{pending_rclick_event, ctx_menu.active}), (Ints{1, 0}));
  pass();
  EXPECT_EQ((Ints{pending_rclick_event, ctx_menu.active}), (Ints{0, 1}));  // right presses are not blocked
}

}  // namespace
}  // namespace tavlin::test
