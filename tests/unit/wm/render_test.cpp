// Frame composition into the back buffer: the wallpaper's columns, window
// chrome, opening, closing and minimising frames, stacking order, the
// desktop layer, the upload dialog's pop-in and the pointer.
#include "kernel/wm/render.h"

#include <gtest/gtest.h>

#include "kernel/wm/render_parts.h"
#include "kernel/wm/wallpaper.h"
#include "unit/apps/app_screen.h"
#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Compose = WmTest;

constexpr u32 kBody = 0xECECEC;
constexpr u32 kFocusedTitle = 0xD8D8D8;
constexpr u32 kTitle = 0xE4E4E4;
constexpr u32 kOutline = 0xB0B0B0;
// A window kind with no drawing of its own: its content area stays kBody.
constexpr u32 kBlank = app::kNone;

// The screen as it is now, to compare with later frames.
Picture shot() {
  Picture p(static_cast<i32>(fb_width), static_cast<i32>(fb_height), 0);
  p.px.assign(backbuf, backbuf + size_t(fb_width) * fb_height);
  return p;
}

u32 veiled(u32 colour, u32 alpha) { return blend_colour(0xFFFFFF, colour, alpha); }

TEST_F(Compose, WallpaperColumnsAreScaledFromTheScreenWidth) {
  const struct {
    i32 w, h, row, x, width;  // a column's left edge and width
  } cases[] = {{1024, 768, 668, 3, 142}, {1024, 768, 668, 890, 128}, {1920, 1080, 980, 1079, 288}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << " wide, column at " << c.x);
    use_canvas(c.w, c.h);
    draw_wallpaper();
    EXPECT_EQ((std::vector<u32>{px(c.x - 1, c.row), px(c.x, c.row), px(c.x + c.width - 1, c.row), px(0, 300)}),
              (std::vector<u32>{kSky, 0xA0C6E4, 0xA0C6E4, kSky}));
  }
}

// The chrome as its layers are listed: shadow, body, title bar, buttons,
// title, outline, content background; the grip last so that it shows.
void layered_chrome(i32 x, i32 y, i32 w, i32 h, u32 title_bar) {
  fill_rect_alpha(x + 6, y + 8, w, h, 0x000000, 60);
  fill_rounded_rect(x, y, w, h, 10, kBody);
  fill_rect(x + 1, y + 1, w - 2, 29, title_bar);
  fill_rounded_rect(x, y, w, 40, 10, title_bar);
  fill_rect(x + 1, y + 30, w - 2, 10, title_bar);
  fill_circle(x + 16, y + 15, 6, 0xFF5F57);
  fill_circle(x + 36, y + 15, 6, 0xFEBC2E);
  fill_circle(x + 56, y + 15, 6, 0x28C840);
  draw_text_centered(x + w / 2, y + 11, "Title", 0x1C1C1C, 1);
  draw_rect_outline(x, y, w, h, kOutline);
  fill_rect(x + 1, y + 30, w - 2, h - 31, kBody);
  if (w > 13 && h > 13) {
    fill_rect(x + w - 5, y + h - 9, 3, 1, 0x888888);
    fill_rect(x + w - 8, y + h - 6, 6, 1, 0x888888);
    fill_rect(x + w - 11, y + h - 3, 9, 1, 0x888888);
  }
}

TEST_F(Compose, ChromeMatchesItsLayersAtEverySizeAndEdge) {
  use_canvas(300, 200);
  Window& win = make_window(0, 0, 0, 0, 0, "Title");
  const i32 sizes[] = {4, 13, 14, 20, 31, 41, 120};  // each side of the grip, radius and title bar limits
  const i32 places[][2] = {{40, 30}, {-15, -12}, {250, 170}, {-100, 150}};
  for (i32 w : sizes)
    for (i32 h : sizes)
      for (const auto& p : places)
        for (bool focused : {false, true}) {
          SCOPED_TRACE(::testing::Message() << w << "x" << h << " at " << p[0] << "," << p[1]);
          clear(kSky);
          layered_chrome(p[0], p[1], w, h, focused ? kFocusedTitle : kTitle);
          const Picture expect = shot();
          clear(kSky);
          win.x = p[0];
          win.y = p[1];
          win.w = w;
          win.h = h;
          draw_window_chrome(win, focused);
          ASSERT_TRUE(matches(expect));
        }
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

TEST_F(Compose, StackingFocusAndMaximisingDecideWhatShows) {
  Window& a = make_window(kBlank, 300, 260, 300, 200);
  Window& b = make_window(kBlank, 200, 200, 400, 300);
  render_frame();
  EXPECT_EQ(px(400, 270), kBody);                        // b's content covers a's title bar
  EXPECT_EQ(px(b.x + b.w - 20, b.y + 20), kFocusedTitle);
  EXPECT_EQ(px(b.x + b.w - 4, b.y + b.h - 9), 0x888888u);  // the grip
  a.z = 9;  // a higher value is painted last
  focused_window = -1;
  b.maximized = 1;  // a maximised window has no grip
  render_frame();
  EXPECT_EQ(px(400, 270), kTitle);
  EXPECT_EQ(px(b.x + b.w - 20, b.y + 20), kTitle);
  EXPECT_EQ(px(b.x + b.w - 4, b.y + b.h - 9), kBody);
}

TEST_F(Compose, OpeningGrowsOutOfAWhiteVeilAndClosingShrinksAndFades) {
  render_frame();
  const Picture empty = shot();
  Window& w = make_window(kBlank, 200, 150, 400, 300);
  w.launch_tick = pit_ticks;
  w.launched = 0;
  render_frame();
  // 60 %: 240 x 180 about the centre (400, 300), under white at alpha 200.
  EXPECT_EQ(px(400, 350), veiled(kBody, 200));
  EXPECT_EQ(px(360, 235), veiled(kFocusedTitle, 200));
  EXPECT_EQ(px(205, 155), empty.at(205, 155));
  advance(18);
  render_frame();
  EXPECT_EQ(px(205, 155), kFocusedTitle);
  close_window(&w);
  advance(1);  // q = 12: (201, 151, 353, 265) under alpha 26
  render_frame();
  EXPECT_EQ(px(201, 300), veiled(kOutline, 26));
  EXPECT_EQ(window_at(300, 300), &w);
  advance(11);  // q = 94: (212, 161, 30, 24), too small for chrome
  render_frame();
  EXPECT_EQ(px(227, 166), veiled(kBody, 206));
  EXPECT_EQ(window_at(300, 300), &w);
}

TEST_F(Compose, MinimisedWindowIsNotDrawnAMinimisingOneIs) {
  render_frame();
  const Picture empty = shot();
  make_window(kBlank, 100, 100, 300, 200).minimized = 1;
  win_minimize(make_window(app::kAbout, 500, 100, 300, 200));
  advance(1);
  render_frame();
  EXPECT_EQ(px(250, 200), empty.at(250, 200));
  EXPECT_NE(px(650, 200), empty.at(650, 200));
}

TEST_F(Compose, PointerIsAWhiteArrowWithABlackOutlineCutAtTheScreenEdge) {
  render_frame();
  Picture tip_only = shot();
  tip_only.set(1023, 767, 0x000000);
  mouse_x = 1023;
  mouse_y = 767;
  render_frame();
  EXPECT_TRUE(matches(tip_only));
  mouse_x = mouse_y = 100;
  render_frame();
  EXPECT_EQ((std::vector<u32>{px(100, 100), px(101, 102), px(109, 109), px(100, 113)}),
            (std::vector<u32>{0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000}));  // tip, inside, column 9, last row
  EXPECT_NE(px(100, 114), 0x000000u);
}

TEST_F(Compose, DesktopIconsSelectionAndRubberBand) {
  desktop_icons[0] = {1, "notes.txt", 0x9FC7FF, 40, 50, make_file("notes.txt", "x"), 0, "", 1, 0, 0};
  desktop_icons[1] = {1, "Things", 0xFFD27A, 40, 170, -1, 0, "", 0, 0, 0};
  desktop_rubber_active = 1;
  desktop_rubber_start_x = desktop_rubber_start_y = 300;
  desktop_rubber_cur_x = 200;
  desktop_rubber_cur_y = 250;
  render_frame();
  EXPECT_EQ((std::vector<u32>{px(50, 80), px(36, 120), px(40, 182), px(200, 260)}),
            (std::vector<u32>{0xA8B8C8, 0x3390FF, 0xB87A20, 0x0A84FF}));  // text bar, selection, folder, band
  EXPECT_TRUE(text_drawn_at(48, 244, "Things", 0xF5F5F5));  // the label centred under the tile
  show_desktop_icons = 0;
  desktop_rubber_active = 0;
  render_frame();
  EXPECT_NE(px(50, 80), 0xA8B8C8u);
  EXPECT_NE(px(200, 260), 0x0A84FFu);
}

TEST_F(Compose, UploadDialogPopsInFromTenPercent) {
  upload_dialog.active = upload_dialog.popin_active = 1;
  upload_dialog.popin_start_tick = pit_ticks;
  const ButtonRect& c = upload_dialog.close_button;
  render_frame();
  EXPECT_EQ((Ints{c.x, c.y, c.w, c.h}), (Ints{507, 376, 20, 20}));  // 46 x 28 about the 460 x 280 dialog's centre
  advance(20);
  render_frame();
  EXPECT_EQ((Ints{i32(upload_dialog.popin_active), upload_dialog.popin_scale, c.x, c.y}), (Ints{0, 100, 714, 250}));
  EXPECT_EQ(px(290, 300), 0xFFFFFFu);  // the white box
}

TEST_F(Compose, EverythingStaysInsideTheBackBuffer) {
  use_canvas(640, 480);
  make_window(kBlank, -200, -100, 500, 400);
  win_toggle_maximize(make_window(app::kTerminal, 500, 400, 400, 300));
  Window& closing = make_window(app::kAbout, 600, -50, 100, 100);
  close_window(&closing);
  make_window(app::kFinder, -300, 450, 400, 300).launch_tick = pit_ticks;  // opening
  desktop_icons[0] = {1, "far away", 0xFFD27A, 630, 470, -1, 1, "", 1, 0, 0};
  desktop_icons[1] = {1, "left", 0xFFD27A, -60, -60, -1, 1, "a long new name", 0, 0, 0};  // renaming
  dock_hover = 2;
  dock_hover_start_tick = pit_ticks - 1000;
  trash_confirm_active = 1;
  trash_confirm_x = mouse_x = 639;
  trash_confirm_y = mouse_y = 479;
  upload_dialog.active = upload_dialog.picker_open = 1;
  upload_dialog.popin_scale = 100;
  std::strcpy(upload_dialog.picker_path, "/Desktop");
  make_file("a file with a long name.txt");
  for (u32 t = 0; t < 25; ++t) {
    render_frame();
    advance(1);
  }
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin::test
