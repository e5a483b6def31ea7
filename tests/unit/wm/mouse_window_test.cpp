// Pointer scenarios on windows: the title bar, the grip, the title-bar buttons
// and click-to-front; presses routed into application windows and the upload dialog.

#include "kernel/apps/upload_dialog.h"
#include "kernel/net/ipv4.h"
#include "kernel/net/nic.h"
#include "unit/codec/codec_builders.h"
#include "unit/wm/dispatch_fixture.h"

namespace tavlin::test {
namespace {

using WindowMouse = DispatchTest;
using AppClicks = DispatchTest;

TEST_F(WindowMouse, TitleBarDragFollowsThePointerAndTheGripResizesWithinLimits) {
  Window& w = make_window(app::kClock, 100, 100, 320, 260);
  drag(200, 110, 450, 20);  // the title bar cannot go under the top bar
  move_pass(600, 500);
  EXPECT_EQ(frame(w), (Ints{350, 28, 320, 260}));
  press_pass(665, 283);  // 5 px inside the bottom-right corner
  // the minimum, then the screen's edge and the dock's top
  const Ints moves[] = {{765, 333, 420, 310}, {400, 50, 180, 100}, {1023, 767, 674, 664}};
  for (const Ints& m : moves) {
    move_pass(m[0], m[1]);
    EXPECT_EQ(frame(w), (Ints{350, 28, m[2], m[3]})) << m[0] << "," << m[1];
  }
  release_pass();
  Window& big = make_window(app::kTextEdit, 100, 200, 480, 360);
  win_toggle_maximize(big);
  drag(512, 40, 520, 40);  // restored under the same grab point, halfway along
  EXPECT_EQ((Ints{i32(big.maximized), big.x, big.y, big.w}), (Ints{0, 520 - 240, 28, 480}));
}

TEST_F(WindowMouse, ClickRaisesAndTheButtonsMaximiseMinimiseAndClose) {
  Window& w = make_window(app::kAbout, 100, 100, 400, 300);
  Window& other = make_window(app::kClock, 600, 400, 200, 200);
  w.launched = 0;
  click(122, 121);  // 6² + 6² > 64: beside the close button, a plain title-bar press
  EXPECT_EQ((Ints{i32(w.anim_kind), focused_window, i32(w.launched), w.z > other.z}),
            (Ints{anim::kNone, win_index(w), 1, 1}));
  press(156, 115);
  release_pass();  // down and up between two passes still counts
  EXPECT_EQ(frame(w), (Ints{0, 28, 1024, 664}));
  click(56, 43);  // the button moved with the window
  win_focus_and_raise(other);
  click(136, 115);  // minimising does not take the focus
  EXPECT_EQ((Ints{i32(w.anim_kind), focused_window, w.w}), (Ints{anim::kMinimize, win_index(other), 400}));
  advance(22);
  pass();
  win_restore_and_focus(w);
  advance(22);
  click(116 + 8, 115);  // the close circle's edge still counts
  for (i32 x : {136, 156, 300}) click(x, 115);  // a closing window takes no presses
  click(300, 300);
  EXPECT_EQ((Ints{i32(w.anim_kind), focused_window}), (Ints{i32(anim::kClose), -1}));
  advance(16);
  pass();
  EXPECT_EQ(w.in_use, 0u);
}

TEST_F(AppClicks, ClockAndImageViewerButtonsStepWithinTheirLimits) {
  make_window(app::kClock, 100, 100, 320, 260);  // "-" from x 121 to 150 and "+" to 398, rows 329 to 358
  const Tap taps[] = {{121, 340, -1}, {150, 358, -2}, {120, 340, -2}, {121, 359, -2}, {369, 340, -1}, {399, 340, -1}};
  for (const Tap& t : taps) {
    tap(t.x, t.y);
    EXPECT_EQ(timezone_offset_hours, t.after) << t.x << "," << t.y;
  }
  for (int i = 0; i < 15; ++i) tap(130, 340);
  EXPECT_EQ(timezone_offset_hours, -12);
  Window& w = make_window(app::kImageViewer, 100, 100, 420, 340);
  const std::vector<u16> red(200 * 100, 0xF800);
  w.image_node = make_blob_file("red.yrf", codec_test::yrf_file(200, 100, codec_test::runs_of(red)));
  // "-" from x 109, "+" to 190, "Fit" to 220, rows 130 to 151; fitting
  // takes the narrower of 418 / 200 and 287 / 100. Rows: x, y, zoom before, after.
  const Ints zooms[] = {{109, 140, 100, 90}, {190, 130, 100, 110}, {191, 140, 100, 209}, {108, 140, 100, 100},
                        {109, 152, 100, 100}, {109, 140, 15, 10},   {180, 140, 795, 800}};
  for (const Ints& z : zooms) {
    w.zoom = z[2];
    tap(z[0], z[1]);
    EXPECT_EQ(w.zoom, z[3]) << z[0] << "," << z[1];
  }
}

TEST_F(AppClicks, TextEditPressPutsTheCaretAndADragSelects) {
  // Text columns start at x = 143, lines at y = 130, 12 pixels apart.
  Window& w = make_window(app::kTextEdit, 100, 100, 480, 360);
  std::strcpy(w.text, "hello\nworld\n\nlast");
  w.text_len = 17;
  w.te_line_h = 12;
  const Tap taps[] = {{169, 145, 9}, {500, 133, 5}, {137, 133, 0}, {223, 167, 17}, {150, 178, 17}, {136, 143, 17}};
  for (const Tap& t : taps) {  // past a line's end, the left margin, past the last line, the gutter
    tap(t.x, t.y);
    EXPECT_EQ(w.te_caret, u32(t.after)) << t.x << "," << t.y;
  }
  drag(143 + 3 * 8, 145, 143 + 8, 133);
  EXPECT_EQ((Ints{w.te_sel_anchor, w.te_sel_end, i32(w.te_sel_active), i32(w.te_caret)}), (Ints{9, 1, 1, 9}));
  w.te_scroll = 2;
  w.te_line_h = 40;  // taller than the editor allows: 24 is used
  tap(143 + 8, 130 + 24);
  EXPECT_EQ((Ints{i32(w.te_caret), i32(w.te_sel_active)}), (Ints{14, 0}));  // row 1 + 2: "last", from 13
}

TEST_F(AppClicks, StorePressesReachItsHeaderScrollbarAndCards) {
  nic_detach();  // no card and no address: a download fails at once
  net_config_clear();
  StoreState& s = vuzedezoz_idir[0];
  s = StoreState{};
  s.file_count = 12;  // 4 rows of cards: 397 pixels of scroll, a 156-pixel thumb in 175 free
  for (int i = 0; i < 12; ++i) std::snprintf(s.file_names[i], 64, "f%d.txt", i);
  make_window(app::kStore, 100, 100, 600, 420).store = &s;
  tap(109, 140);  // "RE"
  tap(695, 464);  // the track below the thumb
  EXPECT_EQ((Ints{i32(s.refresh_pending), s.list_scroll}), (Ints{1, 397}));
  tap(695, 200);
  drag(695, 174, 695, 224);  // the thumb, grabbed 10 pixels below its top
  move_pass(695, 400);
  EXPECT_EQ(s.list_scroll, 50 * 397 / 175);
  s.list_scroll = 0;
  tap(313, 335);  // card 1's Download button
  EXPECT_STREQ(s.status, "Download failed");
  tap(690, 155);  // "UP"
  EXPECT_EQ((Ints{i32(upload_dialog.active), i32(upload_dialog.popin_active)}), (Ints{1, 1}));
}

TEST_F(AppClicks, UploadDialogTakesTheLeftPressesAndARightPressWaits) {
  Window& w = make_window(app::kAbout, 100, 100, 300, 200);
  make_window(app::kClock, 600, 100, 300, 200);
  fs_create(fs_root, "readme.txt", kFsFile);
  upload_dialog_open();  // the form box at (282, 244, 460, 280) once popped in
  upload_dialog.popin_active = 0;
  upload_dialog.popin_scale = 100;
  upload_dialog.browse_button = {352, 376, 70, 22};
  right_press(150, 150);
  press_pass(150, 150);
  EXPECT_EQ((Ints{focused_window == win_index(w), pending_rclick_event, ctx_menu.active}), (Ints{0, 1, 0}));
  release_pass();
  EXPECT_EQ((Ints{pending_rclick_event, ctx_menu.active}), (Ints{0, 1}));  // right presses are not blocked
  ctx_menu.active = 0;
  click(352, 324);  // the description field
  EXPECT_EQ(upload_dialog.focused_field, 1u);
  click(700, 500);  // "Upload"
  EXPECT_STREQ(upload_dialog.message, "Please select a file and enter a name");
  for (auto [x, y] : {std::pair{360, 380}, {400, 290}, {700, 540}}) click(x, y);  // Browse, the second row, Select
  EXPECT_STREQ(upload_dialog.file_path, "/readme.txt");
  std::strcpy(upload_dialog.name, "readme");
  nic_detach();  // no network: the upload cannot complete
  click(700, 500);
  EXPECT_STREQ(upload_dialog.message, "Upload failed!");
  click(360, 380);
  click(300, 540);  // the picker's "Cancel"
  EXPECT_EQ(upload_dialog.picker_open, 0u);
  click(381, 484);  // "Cancel"
  EXPECT_EQ(upload_dialog.active, 0u);
  upload_dialog.active = 1;
  upload_dialog.close_button = {714, 250, 20, 20};
  click(720, 255);
  EXPECT_EQ(upload_dialog.active, 0u);
}

}  // namespace
}  // namespace tavlin::test
