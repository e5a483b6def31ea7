// Frame composition into the back buffer: window chrome, opening and closing frames,
// stacking order, the desktop layer, and nothing drawn outside the screen.
#include "kernel/wm/render.h"

#include "unit/wm/wm_fixture.h"

namespace tavlin::test {
namespace {

using Compose = WmTest;
using Colours = std::vector<u32>;

constexpr u32 kBody = 0xECECEC;
constexpr u32 kFocusedTitle = 0xD8D8D8;
constexpr u32 kTitle = 0xE4E4E4;
constexpr u32 kOutline = 0xB0B0B0;
// A window kind with no drawing of its own: its content area stays kBody.
constexpr u32 kBlank = app::kNone;

u32 veiled(u32 colour, u32 alpha) { return blend_colour(0xFFFFFF, colour, alpha); }

TEST_F(Compose, StackingFocusAndMaximisingDecideWhatShows) {
  Window& a = make_window(kBlank, 300, 260, 300, 200);
  Window& b = make_window(kBlank, 200, 200, 400, 300);
  render_frame();
  // b's content over a's title bar, b's title bar, close button, outline and grip.
  EXPECT_EQ((Colours{px(400, 270), px(580, 220), px(216, 215), px(200, 400), px(596, 491)}),
            (Colours{kBody, kFocusedTitle, 0xFF5F57, kOutline, 0x888888}));
  a.z = 9;  // a higher value is painted last
  focused_window = -1;
  b.maximized = 1;  // a maximised window has no grip
  render_frame();
  EXPECT_EQ((Colours{px(400, 270), px(580, 220), px(596, 491)}), (Colours{kTitle, kTitle, kBody}));
}

TEST_F(Compose, OpeningGrowsOutOfAWhiteVeilAndClosingShrinksAndFades) {
  render_frame();
  const u32 desktop = px(205, 155);
  make_window(kBlank, 700, 100, 300, 200).minimized = 1;  // not drawn
  Window& w = make_window(kBlank, 200, 150, 400, 300);
  w.launch_tick = pit_ticks;
  w.launched = 0;
  render_frame();  // 60 %: 240 x 180 about the centre (400, 300), under white at alpha 200
  EXPECT_EQ((Colours{px(400, 350), px(360, 235)}), (Colours{veiled(kBody, 200), veiled(kFocusedTitle, 200)}));
  EXPECT_EQ(px(205, 155), desktop);
  advance(18);
  render_frame();
  EXPECT_EQ(px(205, 155), kFocusedTitle);
  close_window(&w);
  advance(1);  // q = 12: (201, 151, 353, 265) under alpha 26
  render_frame();
  EXPECT_EQ(px(201, 300), veiled(kOutline, 26));
  advance(11);  // q = 94: (212, 161, 30, 24), too small for chrome
  render_frame();
  EXPECT_EQ(px(227, 166), veiled(kBody, 206));
}

TEST_F(Compose, DesktopIconsSelectionAndRubberBand) {
  desktop_icons[0] = {1, "notes.txt", 0x9FC7FF, 40, 50, make_file("notes.txt", "x"), 0, "", 1, 0, 0};
  desktop_icons[1] = {1, "Things", 0xFFD27A, 40, 170, -1, 0, "", 0, 0, 0};
  desktop_rubber_active = 1;
  desktop_rubber_start_x = desktop_rubber_start_y = 300;
  desktop_rubber_cur_x = 200;
  desktop_rubber_cur_y = 250;
  render_frame();
  EXPECT_EQ((Colours{px(50, 80), px(36, 120), px(40, 182), px(200, 260)}),
            (Colours{0xA8B8C8, 0x3390FF, 0xB87A20, 0x0A84FF}));  // text bar, selection, folder, band
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
  make_window(app::kClock, 10, 40, 300, 200).minimized = 1;
  StoreState& store = vuzedezoz_idir[0];
  std::memset(&store, 0, sizeof store);
  store.file_count = 2;
  make_window(app::kStore, 200, 60, 600, 420).store = &store;
  dock_add_dynamic_item(9, -1, "Tavlin Media Player");
  dock_hover = 2;
  dock_hover_start_tick = pit_ticks - 1000;
  dock_trash_hover = 1;
  trash_count = 5;
  ctx_menu = CtxMenu{1, 630, 470, {"New Finder Window", "Empty Trash"}, {action::kNewFinderWindow, action::kEmptyTrash},
                     2, -1, 0};
  trash_confirm_active = 1;
  trash_confirm_x = mouse_x = 639;
  trash_confirm_y = mouse_y = 479;
  upload_dialog.active = upload_dialog.popin_active = 1;  // popping in, then full size
  upload_dialog.popin_start_tick = pit_ticks;
  std::strcpy(upload_dialog.picker_path, "/Desktop");
  make_file("a file with a long name.txt");
  for (u32 t = 0; t < 25; ++t) {
    upload_dialog.picker_open = t > 20;  // the form, then its file picker
    render_frame();
    advance(1);
  }
  EXPECT_EQ(first_write_beyond_screen(), -1);
}

}  // namespace
}  // namespace tavlin::test
